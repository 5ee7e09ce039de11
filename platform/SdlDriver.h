#pragma once

// Real windows on the desktop, through SDL2. Each top-level window of the
// framework is an SDL window showing exactly the pixels of its surface:
// dialogs get the desktop's frame and caption (fixed size, no minimise or
// maximise), popup menus and tooltips are borderless popups placed where the
// framework puts them. Input arrives as the framework's events; the loop
// sleeps in SDL until the next event or timer.

#include <SDL.h>

#include <deque>
#include <map>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/Driver.h"
#include "platform/SdlCursors.h"

class SdlDriver : public Driver {
public:
    // Opens the desktop; null (with the reason in `log`) when there is no
    // display to open.
    static std::unique_ptr<SdlDriver> Open(std::ostream& log);
    ~SdlDriver() override;

    const char* Name() const override { return "sdl"; }
    bool IsDisplay() const override { return true; }
    int CreateWindow(const DriverWindowSpec& spec) override;
    void ShowWindow(int window, bool show) override;
    void MoveWindow(int window, const RECT& screenRect) override;
    void SetCaption(int window, const std::string& caption) override;
    void DestroyWindow(int window) override;
    void RaiseWindow(int window) override;
    void Present(int window, const Surface& pixels, const RECT& dirty) override;
    bool WaitEvent(InputEvent& event, int64_t deadlineMs) override;
    int64_t NowMs() override { return int64_t(SDL_GetTicks64()); }
    void SetCursor(HCURSOR cursor) override { cursors_->Show(cursor); }
    SIZE ScreenSize() const override;
    int ScalePercent() const override;
    bool ChooseOpenFile(const OpenFileRequest& request, std::string& path) override;
    // "x11:<hex id>" on X11; empty on Wayland, where SDL offers no handle
    // for other processes.
    std::string DesktopWindowId(int window) const override;
    bool SetClipboardText(const std::string& text) override;
    bool GetClipboardText(std::string& text) override;
    void MessageBoxShown(const std::string&) override {}
    void ReportScriptProblem(int line, const std::string& problem) override;

private:
    explicit SdlDriver(std::ostream& log);

    struct Window {
        SDL_Window* sdl = nullptr;
        Uint32 id = 0;
        PopupKind kind = PopupKind::Dialog;
        int owner = 0;
        bool shown = false;
        RECT rect{};  // where the framework has the client area
        // How far the desktop moved the window from where the framework
        // put it (a window manager places and drags dialogs); the windows it
        // owns follow.
        int shiftX = 0, shiftY = 0;
        std::vector<SDL_Point> requested;  // positions asked for and not yet seen
        // The framework's pixels of the window (they live as long as it),
        // shown again whenever SDL's copy is lost or uncovered.
        const Surface* pixels = nullptr;
    };

    Window* Find(int window);
    const Window* Find(int window) const;
    int NumberOf(Uint32 sdlId) const;
    POINT ShiftOf(int window) const;
    void PlaceOnDesktop(Window& w);
    // Asks the desktop for a dialog's frame: caption, close box and window
    // menu, no minimise, maximise or resizing, above its owner.
    void AskForDialogFrame(Window& w);
    void FocusDialog(int window);
    void RestoreFocusAfterPopup(const Window& popup);
    void PresentAll(Window& w);
    void CopyPixels(Window& w, const Surface& pixels, const RECT& area);

    // Turns one SDL event into events of the framework (none for events
    // the framework has no use for).
    void Translate(const SDL_Event& e);
    void TranslateWindowEvent(const SDL_WindowEvent& e);
    void TranslateButton(const SDL_MouseButtonEvent& e);
    void TranslateMotion(const SDL_MouseMotionEvent& e);
    void TranslateKey(const SDL_KeyboardEvent& e);
    void TranslateText(const SDL_TextInputEvent& e);
    // Mouse events go to the window a drag started in, in its coordinates.
    bool PointerTarget(Uint32 sdlId, int x, int y, int& window, int& cx, int& cy) const;
    void Queue(InputEvent event);

    std::ostream& log_;
    std::map<int, Window> windows_;
    int nextWindow_ = 1;
    std::deque<InputEvent> pending_;
    std::unique_ptr<SdlCursors> cursors_;  // freed before SDL closes
    int dragWindow_ = 0;       // the window the held buttons were pressed in
    unsigned buttonsDown_ = 0;  // bit per button
    int focused_ = 0;          // the dialog window with the keyboard focus
};
