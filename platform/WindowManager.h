#pragma once

// The state the windows of the user-interface thread share: the driver, the
// posted-message queue, timers, focus, capture, mouse tracking and the stack
// of modal loops. CWnd works through it; tests pick the driver with UseDriver.

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_set>
#include <vector>

#include "platform/CWnd.h"
#include "platform/Driver.h"

class WindowManager {
public:
    static WindowManager& Instance();

    // Replaces the driver; switch only while no window exists.
    void UseDriver(std::unique_ptr<Driver> driver);
    Driver& GetDriver();

    // ---- windows ----
    void Register(CWnd* wnd);
    // Forgets everything that refers to the window (focus, capture, timers,
    // queued messages, modal loops).
    void Unregister(CWnd* wnd);
    bool Exists(const CWnd* wnd) const { return wnd && windows_.count(wnd) != 0; }
    // Hands what refers to `from` over to `to` (subclassing).
    void Transfer(CWnd* from, CWnd* to);
    // Top-level windows, bottom of the stack first.
    const std::vector<CWnd*>& TopLevels() const { return topLevels_; }
    std::vector<CWnd*> VisibleTopLevels() const;
    CWnd* TopLevelOfDriverWindow(int driverWindow) const;
    void BringToTop(CWnd* topLevel);

    // ---- the loop ----
    void Post(const MSG& msg);
    // Handles one queued message, due timer or input event; paints and
    // waits for the driver when nothing else is pending.
    void PumpOne();
    // Queued messages and due timers only, without waiting.
    void PumpPending();
    // Paints every invalid window and presents the changed pixels.
    void PaintAll();
    void Present(CWnd* topLevel);
    // Routes a driver event to its window as messages.
    void DeliverInput(const InputEvent& event);

    // ---- modal loops ----
    int RunModalLoop(CWnd* wnd);
    void EndModalLoop(CWnd* wnd, int result);
    bool IsInModalLoop(const CWnd* wnd) const;
    // The window that scripted actions act on and that closes first: the
    // open popup menu or message box, else the topmost modal window.
    CWnd* ActiveModalWindow() const;

    // ---- focus, capture, activation, tracking ----
    CWnd* Focus() const { return focus_; }
    CWnd* SetFocus(CWnd* wnd);
    CWnd* Capture() const { return capture_; }
    CWnd* SetCapture(CWnd* wnd);
    void ReleaseCapture();
    CWnd* Active() const { return active_; }
    CWnd* SetActive(CWnd* wnd);
    bool TrackMouseLeave(CWnd* wnd, bool cancel);
    POINT CursorPos() const { return cursor_; }

    // ---- timers ----
    UINT_PTR SetTimer(CWnd* wnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
    bool KillTimer(CWnd* wnd, UINT_PTR id);

    // ---- the message being handled (for Default) ----
    void PushCurrent(const MSG& msg) { current_.push_back(msg); }
    void PopCurrent() { current_.pop_back(); }
    const MSG* Current() const { return current_.empty() ? nullptr : &current_.back(); }

private:
    WindowManager();
    struct Timer {
        CWnd* wnd;
        UINT_PTR id;
        UINT elapse;
        TIMERPROC proc;
        int64_t due;
    };
    struct ModalEntry {
        CWnd* wnd;
        bool ended;
        int result;
    };
    bool FireDueTimer();
    int64_t NextTimerDue() const;
    void DeliverMouse(const InputEvent& event);
    void DeliverKey(const InputEvent& event);
    void CloseActiveWindow();
    void ActivateFromDesktop(CWnd* top);
    CWnd* WindowWaitedFor(const CWnd* disabled) const;
    void SendUserToWindowWaitedFor(const CWnd* disabled);
    void CheckMouseLeave(CWnd* under);
    void Translate(MSG& msg);

    std::unique_ptr<Driver> driver_;
    std::unordered_set<const CWnd*> windows_;
    std::vector<CWnd*> topLevels_;  // stacking order, bottom first
    std::deque<MSG> queue_;
    std::vector<Timer> timers_;
    std::vector<ModalEntry> modal_;
    std::vector<MSG> current_;
    CWnd* focus_ = nullptr;
    CWnd* capture_ = nullptr;
    CWnd* active_ = nullptr;
    CWnd* tracking_ = nullptr;
    POINT cursor_{0, 0};
    unsigned keyStates_ = 0;  // MK_ bits
    CWnd* closeTarget_ = nullptr;
    int closeAttempts_ = 0;
};

// Free calls of the classic interface.
BOOL ReleaseCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack);
BOOL GetCursorPos(LPPOINT lpPoint);
HCURSOR SetCursor(HCURSOR hCursor);
DWORD GetTickCount();
