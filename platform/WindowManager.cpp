#include "platform/WindowManager.h"

#include <algorithm>

#include "platform/KeyboardState.h"
#include "platform/ScriptPlayer.h"

WindowManager& WindowManager::Instance() {
    // Never destroyed: application objects may still destroy windows while
    // the program exits.
    static WindowManager* instance = new WindowManager();
    return *instance;
}

WindowManager::WindowManager() = default;

void WindowManager::UseDriver(std::unique_ptr<Driver> driver) { driver_ = std::move(driver); }

Driver& WindowManager::GetDriver() {
    if (!driver_) driver_ = Driver::CreateFromEnvironment();
    return *driver_;
}

// ---- windows ----

void WindowManager::Register(CWnd* wnd) {
    windows_.insert(wnd);
    if (!wnd->m_parent && std::find(topLevels_.begin(), topLevels_.end(), wnd) == topLevels_.end())
        topLevels_.push_back(wnd);
}

void WindowManager::Unregister(CWnd* wnd) {
    windows_.erase(wnd);
    topLevels_.erase(std::remove(topLevels_.begin(), topLevels_.end(), wnd), topLevels_.end());
    if (focus_ == wnd) focus_ = nullptr;
    if (capture_ == wnd) capture_ = nullptr;
    if (active_ == wnd) active_ = nullptr;
    if (tracking_ == wnd) tracking_ = nullptr;
    if (closeTarget_ == wnd) closeTarget_ = nullptr;
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                                 [wnd](const Timer& t) { return t.wnd == wnd; }),
                  timers_.end());
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                                [wnd](const MSG& m) { return m.hwnd == wnd; }),
                 queue_.end());
    for (ModalEntry& entry : modal_) {
        if (entry.wnd != wnd) continue;
        if (!entry.ended) entry.result = IDCANCEL;
        entry.ended = true;
        entry.wnd = nullptr;
    }
}

void WindowManager::Transfer(CWnd* from, CWnd* to) {
    auto swap = [from, to](CWnd*& p) {
        if (p == from) p = to;
    };
    swap(focus_);
    swap(capture_);
    swap(active_);
    swap(tracking_);
    swap(closeTarget_);
    for (Timer& t : timers_) swap(t.wnd);
    for (MSG& m : queue_) swap(m.hwnd);
    for (ModalEntry& e : modal_) swap(e.wnd);
    for (CWnd*& top : topLevels_) swap(top);
}

std::vector<CWnd*> WindowManager::VisibleTopLevels() const {
    std::vector<CWnd*> visible;
    for (CWnd* top : topLevels_)
        if (top->m_style & WS_VISIBLE) visible.push_back(top);
    return visible;
}

CWnd* WindowManager::TopLevelOfDriverWindow(int driverWindow) const {
    for (CWnd* top : topLevels_)
        if (top->m_driverWindow == driverWindow) return top;
    return nullptr;
}

void WindowManager::BringToTop(CWnd* topLevel) {
    auto it = std::find(topLevels_.begin(), topLevels_.end(), topLevel);
    if (it == topLevels_.end()) return;
    topLevels_.erase(it);
    topLevels_.push_back(topLevel);
}

// ---- the loop ----

void WindowManager::Post(const MSG& msg) { queue_.push_back(msg); }

void WindowManager::PumpOne() {
    if (!queue_.empty()) {
        MSG msg = queue_.front();
        queue_.pop_front();
        if (Exists(msg.hwnd)) CWnd::Dispatch(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        return;
    }
    if (FireDueTimer()) return;
    PaintAll();
    InputEvent event;
    if (GetDriver().WaitEvent(event, NextTimerDue())) DeliverInput(event);
}

void WindowManager::PumpPending() {
    for (;;) {
        if (!queue_.empty()) {
            MSG msg = queue_.front();
            queue_.pop_front();
            if (Exists(msg.hwnd)) CWnd::Dispatch(msg.hwnd, msg.message, msg.wParam, msg.lParam);
            continue;
        }
        if (!FireDueTimer()) break;
    }
    PaintAll();
}

void WindowManager::PaintAll() {
    const std::vector<CWnd*> tops = topLevels_;
    for (CWnd* top : tops) {
        if (!Exists(top) || !(top->m_style & WS_VISIBLE)) continue;
        top->PaintTree();
        if (Exists(top)) Present(top);
    }
}

void WindowManager::Present(CWnd* topLevel) {
    if (!Exists(topLevel) || !topLevel->m_surface || topLevel->m_presentDirty.IsRectEmpty()) return;
    const CRect dirty = topLevel->m_presentDirty;
    topLevel->m_presentDirty.SetRectEmpty();
    GetDriver().Present(topLevel->m_driverWindow, *topLevel->m_surface, dirty);
}

// ---- timers ----

UINT_PTR WindowManager::SetTimer(CWnd* wnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    // The classic lower bound keeps a zero period from starving the loop.
    const UINT period = std::max<UINT>(elapse, 10);
    const int64_t due = GetDriver().NowMs() + period;
    for (Timer& t : timers_) {
        if (t.wnd == wnd && t.id == id) {
            t.elapse = period;
            t.proc = proc;
            t.due = due;
            return id;
        }
    }
    if (!wnd && id == 0) {
        // Window-less timers get a fresh number.
        UINT_PTR next = 1;
        for (const Timer& t : timers_)
            if (!t.wnd && t.id >= next) next = t.id + 1;
        id = next;
    }
    timers_.push_back(Timer{wnd, id, period, proc, due});
    return id == 0 ? 1 : id;
}

bool WindowManager::KillTimer(CWnd* wnd, UINT_PTR id) {
    const auto it = std::find_if(timers_.begin(), timers_.end(),
                                 [wnd, id](const Timer& t) { return t.wnd == wnd && t.id == id; });
    if (it == timers_.end()) return false;
    timers_.erase(it);
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                                [wnd, id](const MSG& m) {
                                    return m.hwnd == wnd && m.message == WM_TIMER && m.wParam == id;
                                }),
                 queue_.end());
    return true;
}

int64_t WindowManager::NextTimerDue() const {
    int64_t next = -1;
    for (const Timer& t : timers_)
        if (next < 0 || t.due < next) next = t.due;
    return next;
}

bool WindowManager::FireDueTimer() {
    if (timers_.empty()) return false;
    const int64_t now = GetDriver().NowMs();
    auto due = std::min_element(timers_.begin(), timers_.end(),
                                [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (due->due > now) return false;
    // Ticks that were missed are not made up for: one message per period.
    due->due = now + due->elapse;
    const Timer tick = *due;
    if (tick.proc) tick.proc(tick.wnd, WM_TIMER, tick.id, DWORD(now));
    else if (Exists(tick.wnd)) CWnd::Dispatch(tick.wnd, WM_TIMER, tick.id, 0);
    return true;
}

// ---- modal loops ----

int WindowManager::RunModalLoop(CWnd* wnd) {
    modal_.push_back(ModalEntry{wnd, false, 0});
    const size_t index = modal_.size() - 1;
    while (!modal_[index].ended) PumpOne();
    const int result = modal_[index].result;
    modal_.erase(modal_.begin() + long(index));
    if (closeTarget_ == wnd) closeTarget_ = nullptr;
    return result;
}

void WindowManager::EndModalLoop(CWnd* wnd, int result) {
    for (auto it = modal_.rbegin(); it != modal_.rend(); ++it) {
        if (it->wnd == wnd && !it->ended) {
            it->ended = true;
            it->result = result;
            return;
        }
    }
}

bool WindowManager::IsInModalLoop(const CWnd* wnd) const {
    for (const ModalEntry& e : modal_)
        if (e.wnd == wnd && !e.ended) return true;
    return false;
}

CWnd* WindowManager::ActiveModalWindow() const {
    for (auto it = modal_.rbegin(); it != modal_.rend(); ++it)
        if (!it->ended && Exists(it->wnd)) return it->wnd;
    return Exists(active_) ? active_ : nullptr;
}

// ---- focus, capture, activation, tracking ----

CWnd* WindowManager::SetFocus(CWnd* wnd) {
    if (wnd && !Exists(wnd)) return focus_;
    CWnd* old = focus_;
    if (old == wnd) return old;
    focus_ = wnd;
    if (Exists(old)) old->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(wnd));
    if (wnd && focus_ == wnd && Exists(wnd))
        wnd->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(Exists(old) ? old : nullptr));
    return Exists(old) ? old : nullptr;
}

CWnd* WindowManager::SetCapture(CWnd* wnd) {
    CWnd* old = capture_;
    capture_ = Exists(wnd) ? wnd : nullptr;
    if (Exists(old) && old != capture_)
        old->SendMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(capture_));
    return Exists(old) ? old : nullptr;
}

void WindowManager::ReleaseCapture() {
    CWnd* old = capture_;
    capture_ = nullptr;
    if (Exists(old)) old->SendMessage(WM_CAPTURECHANGED, 0, 0);
}

CWnd* WindowManager::SetActive(CWnd* wnd) {
    if (wnd && !Exists(wnd)) return active_;
    CWnd* old = active_;
    if (old == wnd) return old;
    active_ = wnd;
    if (Exists(old))
        old->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(wnd));
    if (wnd && active_ == wnd && Exists(wnd))
        wnd->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0),
                         reinterpret_cast<LPARAM>(Exists(old) ? old : nullptr));
    return Exists(old) ? old : nullptr;
}

bool WindowManager::TrackMouseLeave(CWnd* wnd, bool cancel) {
    if (!Exists(wnd)) return false;
    if (cancel) {
        if (tracking_ == wnd) tracking_ = nullptr;
        return true;
    }
    // Already outside: the notification comes at once.
    if (CWnd::WindowFromPoint(cursor_) != wnd) {
        wnd->PostMessage(WM_MOUSELEAVE);
        if (tracking_ == wnd) tracking_ = nullptr;
        return true;
    }
    tracking_ = wnd;
    return true;
}

void WindowManager::CheckMouseLeave(CWnd* under) {
    if (!tracking_ || under == tracking_) return;
    CWnd* left = tracking_;
    tracking_ = nullptr;
    // Before the window now under the mouse hears of it.
    if (Exists(left)) left->SendMessage(WM_MOUSELEAVE);
}

// ---- input ----

void WindowManager::DeliverInput(const InputEvent& event) {
    if (event.type != InputEvent::Type::Script && event.type != InputEvent::Type::Close)
        KeyboardState::SetModifiers(event.modifiers);
    switch (event.type) {
        case InputEvent::Type::Script: ScriptPlayer::Perform(event.action); break;
        case InputEvent::Type::Close: {
            if (event.window == 0) {
                CloseActiveWindow();
                break;
            }
            CWnd* top = TopLevelOfDriverWindow(event.window);
            if (top && top->IsWindowEnabled()) top->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
            break;
        }
        case InputEvent::Type::MouseMove:
        case InputEvent::Type::MouseDown:
        case InputEvent::Type::MouseUp: DeliverMouse(event); break;
        case InputEvent::Type::KeyDown:
        case InputEvent::Type::KeyUp:
        case InputEvent::Type::Char: DeliverKey(event); break;
        case InputEvent::Type::Leave:
            // A drag keeps its window; otherwise nothing is under the pointer now.
            if (!Exists(capture_)) CheckMouseLeave(nullptr);
            break;
        case InputEvent::Type::Activate: ActivateFromDesktop(TopLevelOfDriverWindow(event.window)); break;
    }
}

static bool IsMenuOrTooltip(const CWnd* top) {
    return top->GetWindowClassName() == "#32768" || top->GetWindowClassName() == "tooltips_class32";
}

void WindowManager::ActivateFromDesktop(CWnd* top) {
    if (!top || !(top->m_style & WS_VISIBLE)) return;
    // A window disabled under a modal one stays inactive as the modal one
    // keeps working; the user is sent there instead.
    if (!top->IsWindowEnabled()) {
        SendUserToWindowWaitedFor(top);
        return;
    }
    // Popup menus and tooltips never become active.
    if (IsMenuOrTooltip(top)) return;
    BringToTop(top);
    SetActive(top);
}

// The window a disabled one waits for: the topmost visible and enabled
// dialog among those it owns, directly or through other owned windows.
CWnd* WindowManager::WindowWaitedFor(const CWnd* disabled) const {
    for (auto it = topLevels_.rbegin(); it != topLevels_.rend(); ++it) {
        CWnd* top = *it;
        if (top == disabled || !(top->m_style & WS_VISIBLE) || !top->IsWindowEnabled() || IsMenuOrTooltip(top))
            continue;
        // Owner chains are no longer than the list of windows; a longer one
        // can only be a loop.
        const CWnd* owner = top->m_owner;
        for (size_t depth = 0; owner && depth < topLevels_.size(); ++depth, owner = owner->m_owner)
            if (owner == disabled) return top;
    }
    return nullptr;
}

void WindowManager::SendUserToWindowWaitedFor(const CWnd* disabled) {
    // As the classic desktop does when a window that a modal dialog keeps
    // disabled is clicked: the dialog comes to the front with the focus.
    CWnd* waitedFor = WindowWaitedFor(disabled);
    if (!waitedFor) return;
    BringToTop(waitedFor);
    SetActive(waitedFor);
    GetDriver().RaiseWindow(waitedFor->m_driverWindow);
}

// Edits and statics read double clicks; every other kind sees a second
// press, as classes without the double-click style do.
static bool ReadsDoubleClicks(const CWnd* wnd) {
    return wnd->GetWindowClassName() == "Edit" || wnd->GetWindowClassName() == "Static";
}

static UINT MouseMessage(const InputEvent& event, const CWnd* target) {
    static const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT doubles[] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
    static const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    const int button = std::min(std::max(event.button, 0), 2);
    if (event.type == InputEvent::Type::MouseDown)
        return event.doubleClick && ReadsDoubleClicks(target) ? doubles[button] : downs[button];
    if (event.type == InputEvent::Type::MouseUp) return ups[button];
    return WM_MOUSEMOVE;
}

static unsigned ButtonBit(int button) {
    return button == 1 ? MK_RBUTTON : button == 2 ? MK_MBUTTON : MK_LBUTTON;
}

void WindowManager::Translate(MSG& msg) {
    CWnd* top = msg.hwnd->GetTopLevelParent();
    if (CWnd::WalkPreTranslateTree(top, &msg)) return;
    if (Exists(msg.hwnd)) CWnd::Dispatch(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void WindowManager::DeliverMouse(const InputEvent& event) {
    CWnd* top = TopLevelOfDriverWindow(event.window);
    if (!top) return;
    keyStates_ = (keyStates_ & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) |
                 (event.modifiers & (MK_SHIFT | MK_CONTROL));
    if (event.type == InputEvent::Type::MouseDown) keyStates_ |= ButtonBit(event.button);
    if (event.type == InputEvent::Type::MouseUp) keyStates_ &= ~ButtonBit(event.button);
    const CPoint screen = top->m_rect.TopLeft() + CPoint(event.x, event.y);
    cursor_ = screen;
    if (event.type == InputEvent::Type::MouseDown && !Exists(capture_) && (top->m_style & WS_VISIBLE) &&
        !top->IsWindowEnabled())
        SendUserToWindowWaitedFor(top);

    CWnd* under = nullptr;
    const bool inside = CRect(0, 0, top->m_rect.Width(), top->m_rect.Height()).PtInRect(CPoint(event.x, event.y));
    if (inside && (top->m_style & WS_VISIBLE) && !(top->m_style & WS_DISABLED)) {
        under = top->DeepHit(CPoint(event.x, event.y));
        if (!under) under = top;
    }
    CheckMouseLeave(under);
    CWnd* target = Exists(capture_) ? capture_ : under;
    if (!target) return;
    const UINT message = MouseMessage(event, target);
    if (!capture_ && under)
        under->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(int(HTCLIENT), int(message)));
    if (!Exists(target)) return;
    CPoint client = screen;
    target->ScreenToClient(&client);
    MSG msg{target, message, WPARAM(keyStates_), MAKELPARAM(client.x, client.y),
            DWORD(GetDriver().NowMs()), screen};
    Translate(msg);
}

void WindowManager::DeliverKey(const InputEvent& event) {
    keyStates_ = (keyStates_ & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) |
                 (event.modifiers & (MK_SHIFT | MK_CONTROL));
    CWnd* modal = ActiveModalWindow();
    CWnd* target = Exists(focus_) ? focus_ : nullptr;
    // Keys belong to the window the user works in: a popup menu or message
    // box takes them even while the focus stays in the window below.
    if (modal && (!target || target->GetTopLevelParent() != modal)) target = modal;
    if (!target) target = Exists(active_) ? active_ : nullptr;
    if (!target) return;
    UINT message = WM_KEYDOWN;
    LPARAM lParam = 1;
    if (event.type == InputEvent::Type::KeyUp) {
        message = WM_KEYUP;
        lParam = LPARAM(0xC0000001u);
    } else if (event.type == InputEvent::Type::Char) {
        message = WM_CHAR;
    }
    MSG msg{target, message, WPARAM(event.key), lParam, DWORD(GetDriver().NowMs()), cursor_};
    Translate(msg);
}

void WindowManager::CloseActiveWindow() {
    CWnd* wnd = ActiveModalWindow();
    if (!wnd) return;
    if (wnd != closeTarget_) {
        closeTarget_ = wnd;
        closeAttempts_ = 0;
    }
    ++closeAttempts_;
    if (closeAttempts_ == 1) {
        // As the close box would.
        wnd->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    } else if (closeAttempts_ == 2) {
        // As Escape would.
        InputEvent key;
        key.type = InputEvent::Type::KeyDown;
        key.key = VK_ESCAPE;
        DeliverKey(key);
        key.type = InputEvent::Type::KeyUp;
        DeliverKey(key);
    } else if (IsInModalLoop(wnd)) {
        // A window that refuses both still must not hang a scripted run.
        EndModalLoop(wnd, IDCANCEL);
    } else {
        wnd->DestroyWindow();
    }
}

// ---- free calls ----

BOOL ReleaseCapture() {
    WindowManager::Instance().ReleaseCapture();
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* lpEventTrack) {
    if (!lpEventTrack || !(lpEventTrack->dwFlags & TME_LEAVE)) return FALSE;
    const bool cancel = (lpEventTrack->dwFlags & TME_CANCEL) != 0;
    return WindowManager::Instance().TrackMouseLeave(lpEventTrack->hwndTrack, cancel) ? TRUE : FALSE;
}

BOOL GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) return FALSE;
    *lpPoint = WindowManager::Instance().CursorPos();
    return TRUE;
}

HCURSOR SetCursor(HCURSOR hCursor) {
    static HCURSOR current = nullptr;
    HCURSOR previous = current;
    current = hCursor;
    WindowManager::Instance().GetDriver().SetCursor(hCursor);
    return previous;
}

DWORD GetTickCount() { return DWORD(WindowManager::Instance().GetDriver().NowMs()); }
