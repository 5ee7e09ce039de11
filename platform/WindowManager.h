#pragma once

// The state the windows of one user-interface thread share: the driver, the
// posted-message queue, timers, focus, capture, mouse tracking and the stack
// of modal loops. Used by CWnd; code outside the framework sees it through
// CWnd and the few calls below (tests pick the driver with UseDriver).

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "platform/CWnd.h"
#include "platform/Driver.h"

class WindowManager {
public:
    static WindowManager& Instance();

    // Replaces the driver (tests); the previous one is released. Windows that
    // exist keep their driver numbers, so switch only while none exists.
    void UseDriver(std::unique_ptr<Driver> driver);
    Driver& GetDriver();

    // ---- windows ----
    void Register(CWnd* wnd);
    void Unregister(CWnd* wnd);
    bool Exists(const CWnd* wnd) const;
    CWnd* TopLevelOfDriverWindow(int driverWindow) const;
    // Visible top-level windows, the most recently shown last.
    std::vector<CWnd*> VisibleTopLevels() const;

    // ---- queue ----
    void Post(const MSG& msg);
    // Dispatches one queued message, timer or input event; paints when idle.
    // Waits for the driver when nothing is pending. False when the wait ended
    // because the script closed everything.
    void PumpOne();
    // Posted messages and due timers only, without waiting (tests).
    void PumpPending();
    // Paints every invalid window and presents the pixels.
    void PaintAll();
    // The window that receives scripted actions and closes first: the open
    // popup menu, message box or file dialog, else the topmost modal window.
    CWnd* ActiveModalWindow() const;

    // ---- modal loops ----
    void PushModal(CWnd* wnd);
    void PopModal(CWnd* wnd);
    const std::vector<CWnd*>& ModalStack() const { return modalStack_; }

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

    // Routes a driver event to its window as messages.
    void DeliverInput(const InputEvent& event);

private:
    WindowManager();
    struct Timer {
        CWnd* wnd;
        UINT_PTR id;
        UINT elapse;
        TIMERPROC proc;
        int64_t due;
        bool posted;
    };
    void DispatchQueued(MSG& msg);
    bool FireDueTimer();
    int64_t NextTimerDue() const;
    void DeliverMouse(const InputEvent& event, CWnd* topLevel);
    void DeliverKey(const InputEvent& event);
    void CloseActiveWindow();
    void CheckMouseLeave(CWnd* under);
    void ForgetWindow(CWnd* wnd);

    std::unique_ptr<Driver> driver_;
    std::vector<CWnd*> windows_;
    std::deque<MSG> queue_;
    std::vector<Timer> timers_;
    std::vector<CWnd*> modalStack_;
    std::vector<MSG> current_;
    CWnd* focus_ = nullptr;
    CWnd* capture_ = nullptr;
    CWnd* active_ = nullptr;
    CWnd* tracking_ = nullptr;
    CWnd* lastUnder_ = nullptr;
    POINT cursor_{0, 0};
    int closeAttempts_ = 0;
    CWnd* closeTarget_ = nullptr;
};

// Free calls of the classic interface.
BOOL ReleaseCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack);
BOOL GetCursorPos(LPPOINT lpPoint);
HCURSOR SetCursor(HCURSOR hCursor);
DWORD GetTickCount();
