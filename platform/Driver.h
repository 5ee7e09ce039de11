#pragma once

// The seam between the window framework and the outside world: top-level
// windows, their pixels, input, time and cursors. The offscreen driver runs
// without a display, fed by a script; a display driver shows real windows.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Icon.h"
#include "platform/ScriptAction.h"
#include "platform/Surface.h"
#include "platform/WinTypes.h"

enum class PopupKind { Dialog, Menu, Tooltip };

struct DriverWindowSpec {
    std::string caption;
    RECT rect;           // client area in screen coordinates
    int owner = 0;       // driver window of the owner, 0 for none
    PopupKind kind = PopupKind::Dialog;
};

struct InputEvent {
    enum class Type {
        MouseMove,
        MouseDown,
        MouseUp,
        KeyDown,
        KeyUp,
        Char,
        Close,   // the close box; window 0: the active window (a scripted run ends)
        Script,  // a scripted action for the framework to carry out
        Leave,   // the pointer left the window
        Activate,  // the desktop gave the window the keyboard focus
    };
    Type type = Type::MouseMove;
    int window = 0;        // driver window
    int x = 0, y = 0;      // client coordinates of that window
    int button = 0;        // 0 left, 1 right, 2 middle
    bool doubleClick = false;  // MouseDown: the second press of a double click
    unsigned key = 0;      // virtual key, or the character of Char
    unsigned modifiers = 0;  // MK_SHIFT | MK_CONTROL
    ScriptAction action;   // Script events
};

struct OpenFileRequest {
    std::string filter;        // "Description|pattern|...||"
    std::string defaultExtension;
    std::string initialName;
    int owner = 0;             // driver window
};

class Driver {
public:
    virtual ~Driver() = default;
    virtual const char* Name() const = 0;
    // True when windows appear on a real display (desktop services such as
    // the file chooser portal are worth asking then); drivers without one
    // say so.
    virtual bool IsDisplay() const { return true; }

    // Returns a window number > 0.
    virtual int CreateWindow(const DriverWindowSpec& spec) = 0;
    virtual void ShowWindow(int window, bool show) = 0;
    virtual void MoveWindow(int window, const RECT& screenRect) = 0;
    virtual void SetCaption(int window, const std::string& caption) = 0;
    virtual void DestroyWindow(int window) = 0;
    // Brings the window to the front of the desktop with the keyboard focus.
    // Drivers without a desktop have nothing to bring forward.
    virtual void RaiseWindow(int) {}
    // The window's pixels changed inside `dirty` (client coordinates).
    virtual void Present(int window, const Surface& pixels, const RECT& dirty) = 0;

    // Waits for the next event until the time `deadlineMs` of NowMs (no limit
    // when negative); false when the deadline came first.
    virtual bool WaitEvent(InputEvent& event, int64_t deadlineMs) = 0;
    // Milliseconds of the driver's clock (timers run on it).
    virtual int64_t NowMs() = 0;

    virtual void SetCursor(HCURSOR cursor) = 0;
    virtual SIZE ScreenSize() const = 0;
    // The scale the screen asks for, in percent: its resolution over 96
    // dpi. Drivers that cannot tell keep the layout's own size.
    virtual int ScalePercent() const { return 100; }

    // The open-file dialog: true and the chosen path, or false when cancelled.
    virtual bool ChooseOpenFile(const OpenFileRequest& request, std::string& path) = 0;
    // The window as desktop services name their parent windows ("x11:<hex
    // id>", "wayland:<handle>"); empty when the driver cannot tell.
    virtual std::string DesktopWindowId(int) const { return std::string(); }
    // The desktop's clipboard, where the driver reaches one (8-bit text).
    virtual bool SetClipboardText(const std::string&) { return false; }
    virtual bool GetClipboardText(std::string&) { return false; }

    // Every message box text, as it is shown.
    virtual void MessageBoxShown(const std::string& text) = 0;
    // A scripted action that could not be carried out.
    virtual void ReportScriptProblem(int line, const std::string& problem) = 0;

    // PDFIMPORT_UI=offscreen|sdl; without it, a display driver when DISPLAY or
    // WAYLAND_DISPLAY is set, else offscreen. Falls back to offscreen when the
    // chosen driver is not available.
    static std::unique_ptr<Driver> CreateFromEnvironment();
};
