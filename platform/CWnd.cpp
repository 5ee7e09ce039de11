#include "platform/CWnd.h"

#include <algorithm>
#include <cstring>

#include "platform/MessageBoxService.h"
#include "platform/WindowManager.h"

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;

CWnd::CWnd() = default;

CWnd::~CWnd() {
    // Too late for PostNcDestroy to delete the object: it is being deleted.
    m_autoDelete = false;
    if (m_hWnd) DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return WindowManager::Instance().Exists(hWnd) ? hWnd : nullptr;
}

// ---- creation and destruction ----

BOOL CWnd::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                    DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, void* lpParam) {
    CREATESTRUCT cs{};
    cs.lpCreateParams = lpParam;
    cs.hwndParent = pParentWnd;
    cs.hMenu = nID;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.style = dwStyle;
    cs.lpszName = lpszWindowName;
    cs.lpszClass = lpszClassName;
    cs.dwExStyle = dwExStyle;
    return CreateWindowInternal(cs, false) ? TRUE : FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

static PopupKind PopupKindOfClass(const std::string& className) {
    if (className == "#32768") return PopupKind::Menu;
    if (className == "tooltips_class32") return PopupKind::Tooltip;
    return PopupKind::Dialog;
}

bool CWnd::CreateWindowInternal(const CREATESTRUCT& csIn, bool atBottomOfZOrder) {
    if (m_hWnd) return false;
    CREATESTRUCT cs = csIn;
    if (!PreCreateWindow(cs)) return false;
    WindowManager& wm = WindowManager::Instance();
    CWnd* parent = cs.hwndParent;
    if (parent && !wm.Exists(parent)) return false;
    const bool child = (cs.style & WS_CHILD) != 0;
    if (child && !parent) return false;
    if (cs.cx < 0) cs.cx = 0;
    if (cs.cy < 0) cs.cy = 0;
    if (!child && !Surface::SizeIsAcceptable(cs.cx, cs.cy)) return false;

    m_className = cs.lpszClass ? cs.lpszClass : "";
    m_text = cs.lpszName ? cs.lpszName : "";
    m_style = cs.style;
    m_exStyle = cs.dwExStyle;
    m_rect = CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy);
    m_updateRect.SetRectEmpty();
    m_presentDirty.SetRectEmpty();
    if (child) {
        m_parent = parent;
        m_nID = cs.hMenu;
        if (atBottomOfZOrder) parent->m_children.push_back(this);
        else parent->m_children.insert(parent->m_children.begin(), this);
    } else {
        m_parent = nullptr;
        m_owner = parent ? parent->GetTopLevelParent() : nullptr;
        m_nID = cs.hMenu;
        m_surface = std::make_unique<Surface>(cs.cx, cs.cy, 0xFFFFFFFFu);
    }
    m_hWnd = this;
    wm.Register(this);
    if (!child) {
        DriverWindowSpec spec;
        spec.caption = m_text;
        spec.rect = m_rect;
        spec.owner = m_owner ? m_owner->m_driverWindow : 0;
        spec.kind = PopupKindOfClass(m_className);
        m_driverWindow = wm.GetDriver().CreateWindow(spec);
    }

    const bool visible = (m_style & WS_VISIBLE) != 0;
    m_style &= ~WS_VISIBLE;  // shown below, once the window has been created
    cs.hwndParent = parent;
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return false;
    }
    if (!m_hWnd) return false;  // destroyed while being created
    if (visible) ShowWindow(SW_SHOW);
    return true;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd || m_destroying) return FALSE;
    m_destroying = true;
    WindowManager& wm = WindowManager::Instance();
    if (m_parent && (m_style & WS_VISIBLE)) m_parent->InvalidateTree(m_rect, true, true);
    SendMessage(WM_DESTROY);
    // Windows it owns go first, then its children.
    if (!m_parent) {
        const std::vector<CWnd*> tops = wm.TopLevels();
        for (CWnd* top : tops)
            if (wm.Exists(top) && top->m_owner == this) top->DestroyWindow();
    }
    while (!m_children.empty()) {
        CWnd* child = m_children.front();
        if (!child->DestroyWindow()) child->Unlink();
    }
    if (!m_parent && m_driverWindow) wm.GetDriver().DestroyWindow(m_driverWindow);
    m_driverWindow = 0;
    m_surface.reset();
    Unlink();
    const bool wasActive = wm.Active() == this;
    wm.Unregister(this);
    m_hWnd = nullptr;
    // The owner becomes active again when its popup or dialog goes.
    if (wasActive && wm.Exists(m_owner) && m_owner->IsWindowVisible()) wm.SetActive(m_owner);
    m_destroying = false;
    PostNcDestroy();  // may delete this
    return TRUE;
}

void CWnd::Unlink() {
    if (!m_parent) return;
    auto& siblings = m_parent->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    m_parent = nullptr;
}

void CWnd::PostNcDestroy() {
    if (m_autoDelete) delete this;
}

// ---- subclassing ----

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (!pParent || !pParent->m_hWnd) return FALSE;
    CWnd* existing = pParent->GetDlgItem(int(nID));
    if (!existing) return FALSE;
    return SubclassWindow(existing);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd || !hWnd || hWnd == this || !WindowManager::Instance().Exists(hWnd)) return FALSE;
    CWnd& previous = *hWnd;
    TakeOverPlaceOf(previous);
    TakeOverState(previous);
    if (previous.m_autoDelete) delete &previous;
    PreSubclassWindow();
    Invalidate();
    return TRUE;
}

void CWnd::TakeOverPlaceOf(CWnd& previous) {
    WindowManager& wm = WindowManager::Instance();
    m_nID = previous.m_nID;
    m_style = previous.m_style;
    m_exStyle = previous.m_exStyle;
    m_className = previous.m_className;
    m_text = previous.m_text;
    m_font = previous.m_font;
    m_owner = previous.m_owner;
    m_rect = previous.m_rect;
    m_updateRect = previous.m_updateRect;
    m_eraseNeeded = previous.m_eraseNeeded;
    m_parent = previous.m_parent;
    m_children.swap(previous.m_children);
    for (CWnd* child : m_children) child->m_parent = this;
    if (m_parent) std::replace(m_parent->m_children.begin(), m_parent->m_children.end(), &previous, this);
    m_driverWindow = previous.m_driverWindow;
    m_surface = std::move(previous.m_surface);
    m_presentDirty = previous.m_presentDirty;

    previous.m_parent = nullptr;
    previous.m_driverWindow = 0;
    previous.m_hWnd = nullptr;
    m_hWnd = this;
    // Handed over first, so that a top-level window keeps its one place in
    // the stacking order.
    wm.Transfer(&previous, this);
    wm.Register(this);
    wm.Unregister(&previous);
}

void CWnd::PreSubclassWindow() {}

void CWnd::TakeOverState(CWnd&) {}

// ---- identity and attributes ----

int CWnd::SetDlgCtrlID(int nID) {
    const int old = int(m_nID);
    m_nID = UINT(nID);
    return old;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD kept = WS_VISIBLE | WS_DISABLED;
    const DWORD style = (m_style & ~(dwRemove & ~kept)) | (dwAdd & ~kept);
    if (style == m_style) return FALSE;
    m_style = style;
    if (nFlags & SWP_FRAMECHANGED) Invalidate();
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD style = (m_exStyle & ~dwRemove) | dwAdd;
    if (style == m_exStyle) return FALSE;
    m_exStyle = style;
    if (nFlags & SWP_FRAMECHANGED) Invalidate();
    return TRUE;
}

LONG CWnd::GetWindowLong(int nIndex) const {
    switch (nIndex) {
        case GWL_STYLE: return LONG(m_style);
        case GWL_EXSTYLE: return LONG(m_exStyle);
        case GWL_ID: return LONG(m_nID);
        default: return 0;
    }
}

LONG CWnd::SetWindowLong(int nIndex, LONG value) {
    const LONG old = GetWindowLong(nIndex);
    switch (nIndex) {
        case GWL_STYLE: {
            // Visibility and enabling keep going through their own calls.
            const DWORD kept = WS_VISIBLE | WS_DISABLED;
            m_style = (m_style & kept) | (DWORD(value) & ~kept);
            break;
        }
        case GWL_EXSTYLE: m_exStyle = DWORD(value); break;
        case GWL_ID: m_nID = UINT(value); break;
        default: break;
    }
    return old;
}

void CWnd::SetWindowText(const char* lpszString) {
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString ? lpszString : ""));
}

void CWnd::GetWindowText(std::string& text) const { text = GetWindowText(); }

std::string CWnd::GetWindowText() const {
    if (!m_hWnd) return std::string();
    CWnd* self = const_cast<CWnd*>(this);
    const int length = int(self->SendMessage(WM_GETTEXTLENGTH));
    if (length <= 0) return std::string();
    std::string text(size_t(length) + 1, '\0');
    const int copied = int(self->SendMessage(WM_GETTEXT, WPARAM(text.size()), reinterpret_cast<LPARAM>(&text[0])));
    text.resize(size_t(std::max(0, std::min(copied, length))));
    return text;
}

int CWnd::GetWindowText(char* buffer, int maxCount) const {
    if (!buffer || maxCount <= 0) return 0;
    const std::string text = GetWindowText();
    const int n = std::min(int(text.size()), maxCount - 1);
    std::memcpy(buffer, text.data(), size_t(n));
    buffer[n] = '\0';
    return n;
}

int CWnd::GetWindowTextLength() const {
    return m_hWnd ? int(const_cast<CWnd*>(this)->SendMessage(WM_GETTEXTLENGTH)) : 0;
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont), MAKELPARAM(bRedraw ? 1 : 0, 0));
}

CFont* CWnd::GetFont() const {
    return m_hWnd ? reinterpret_cast<CFont*>(const_cast<CWnd*>(this)->SendMessage(WM_GETFONT)) : nullptr;
}

// ---- family ----

CWnd* CWnd::GetParent() const { return m_parent ? m_parent : m_owner; }

CWnd* CWnd::GetOwner() const { return m_owner ? m_owner : m_parent; }

CWnd* CWnd::GetTopLevelParent() const {
    const CWnd* w = this;
    while (w->m_parent) w = w->m_parent;
    return const_cast<CWnd*>(w);
}

CWnd* CWnd::GetWindow(UINT nCmd) const {
    if (nCmd == GW_CHILD) return m_children.empty() ? nullptr : m_children.front();
    if (nCmd == GW_OWNER) return m_owner;
    if (!m_parent) return nullptr;
    const auto& siblings = m_parent->m_children;
    const auto it = std::find(siblings.begin(), siblings.end(), this);
    if (it == siblings.end()) return nullptr;
    switch (nCmd) {
        case GW_HWNDFIRST: return siblings.front();
        case GW_HWNDLAST: return siblings.back();
        case GW_HWNDNEXT: return it + 1 == siblings.end() ? nullptr : *(it + 1);
        case GW_HWNDPREV: return it == siblings.begin() ? nullptr : *(it - 1);
        default: return nullptr;
    }
}

CWnd* CWnd::GetDlgItem(int nID) const {
    for (CWnd* child : m_children)
        if (int(child->m_nID) == nID) return child;
    return nullptr;
}

CWnd* CWnd::FindDescendant(int nID) const {
    std::vector<const CWnd*> level{this};
    while (!level.empty()) {
        std::vector<const CWnd*> next;
        for (const CWnd* w : level)
            for (CWnd* child : w->m_children) {
                if (int(child->m_nID) == nID) return child;
                next.push_back(child);
            }
        level.swap(next);
    }
    return nullptr;
}

BOOL CWnd::IsChild(const CWnd* pWnd) const {
    for (const CWnd* w = pWnd ? pWnd->m_parent : nullptr; w; w = w->m_parent)
        if (w == this) return TRUE;
    return FALSE;
}

CWnd* CWnd::ChildWindowFromPoint(POINT clientPoint) const {
    for (CWnd* child : m_children) {
        if (!(child->m_style & WS_VISIBLE) || (child->m_style & WS_DISABLED)) continue;
        if (child->m_rect.PtInRect(clientPoint)) return child;
    }
    return const_cast<CWnd*>(this);
}

CWnd* CWnd::DeepHit(POINT clientPoint) {
    for (CWnd* child : m_children) {
        if (!(child->m_style & WS_VISIBLE) || !child->m_rect.PtInRect(clientPoint)) continue;
        // Mouse input over a disabled control goes to its parent.
        if (child->m_style & WS_DISABLED) return this;
        CWnd* hit = child->DeepHit(CPoint(clientPoint) - child->m_rect.TopLeft());
        if (hit) return hit;
    }
    CPoint screen(clientPoint);
    ClientToScreen(&screen);
    if (SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT) return nullptr;
    return this;
}

CWnd* CWnd::WindowFromPoint(POINT screenPoint) {
    const std::vector<CWnd*> tops = WindowManager::Instance().VisibleTopLevels();
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        CWnd* top = *it;
        if (!top->m_rect.PtInRect(screenPoint)) continue;
        if (top->m_style & WS_DISABLED) return top;
        CWnd* hit = top->DeepHit(CPoint(screenPoint) - top->m_rect.TopLeft());
        return hit ? hit : top;
    }
    return nullptr;
}

// ---- geometry ----

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (lpRect) *lpRect = CRect(0, 0, m_rect.Width(), m_rect.Height());
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (!lpRect) return;
    CRect r(0, 0, m_rect.Width(), m_rect.Height());
    ClientToScreen(&r);
    *lpRect = r;
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const {
    if (!lpPoint) return;
    for (const CWnd* w = this; w; w = w->m_parent) {
        lpPoint->x += w->m_rect.left;
        lpPoint->y += w->m_rect.top;
    }
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    if (!lpRect) return;
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    CRect r(*lpRect);
    r.OffsetRect(origin);
    *lpRect = r;
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const {
    if (!lpPoint) return;
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    if (!lpRect) return;
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    CRect r(*lpRect);
    r.OffsetRect(-origin.x, -origin.y);
    *lpRect = r;
}

void CWnd::MapWindowPoints(const CWnd* pwndTo, LPRECT lpRect) const {
    if (!lpRect) return;
    ClientToScreen(lpRect);
    if (pwndTo) pwndTo->ScreenToClient(lpRect);
}

void CWnd::MapWindowPoints(const CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
    if (!lpPoint) return;
    for (UINT i = 0; i < nCount; ++i) {
        ClientToScreen(&lpPoint[i]);
        if (pwndTo) pwndTo->ScreenToClient(&lpPoint[i]);
    }
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    SetWindowPos(nullptr, x, y, nWidth, nHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0u : SWP_NOREDRAW));
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    if (lpRect)
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                   lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    if (!m_hWnd) return FALSE;
    CRect rect = m_rect;
    if (!(nFlags & SWP_NOMOVE)) rect.MoveToXY(x, y);
    if (!(nFlags & SWP_NOSIZE)) {
        rect.right = rect.left + std::max(0, cx);
        rect.bottom = rect.top + std::max(0, cy);
    }
    if (!m_parent && !Surface::SizeIsAcceptable(rect.Width(), rect.Height())) return FALSE;
    const CRect old = m_rect;
    const bool moved = rect.TopLeft() != old.TopLeft();
    const bool sized = rect.Size() != old.Size();
    bool restacked = false;
    if (m_parent && !(nFlags & SWP_NOZORDER) && pWndInsertAfter) {
        auto& siblings = m_parent->m_children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
        if (pWndInsertAfter == &wndBottom) siblings.push_back(this);
        else if (pWndInsertAfter == &wndTop) siblings.insert(siblings.begin(), this);
        else {
            auto it = std::find(siblings.begin(), siblings.end(), pWndInsertAfter);
            siblings.insert(it == siblings.end() ? siblings.begin() : it + 1, this);
        }
        restacked = true;
    } else if (!m_parent && !(nFlags & SWP_NOZORDER) && pWndInsertAfter == &wndTop) {
        WindowManager::Instance().BringToTop(this);
    }
    m_rect = rect;
    if (m_parent) {
        if (!(nFlags & SWP_NOREDRAW) && (moved || sized || restacked) && (m_style & WS_VISIBLE)) {
            m_parent->InvalidateTree(old, true, true);
            m_parent->InvalidateTree(rect, true, true);
        }
    } else {
        if (sized) {
            m_surface->Resize(rect.Width(), rect.Height(), 0xFFFFFFFFu);
            Invalidate();
        }
        if (moved || sized) WindowManager::Instance().GetDriver().MoveWindow(m_driverWindow, rect);
    }
    if (moved) SendMessage(WM_MOVE, 0, MAKELPARAM(rect.left, rect.top));
    if (sized) SendMessage(WM_SIZE, 0, MAKELPARAM(rect.Width(), rect.Height()));
    if (nFlags & SWP_FRAMECHANGED) Invalidate();
    if (nFlags & SWP_SHOWWINDOW) ShowWindow((nFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (nFlags & SWP_HIDEWINDOW) ShowWindow(SW_HIDE);
    return TRUE;
}

// ---- visibility and state ----

BOOL CWnd::ShowWindow(int nCmdShow) {
    if (!m_hWnd) return FALSE;
    const bool show = nCmdShow != SW_HIDE;
    const bool was = (m_style & WS_VISIBLE) != 0;
    if (show == was) return was;
    SendMessage(WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!m_hWnd) return was;
    WindowManager& wm = WindowManager::Instance();
    if (show) m_style |= WS_VISIBLE;
    else m_style &= ~WS_VISIBLE;
    if (m_parent) {
        if (show) InvalidateTree(CRect(0, 0, m_rect.Width(), m_rect.Height()), true, true);
        else m_parent->InvalidateTree(m_rect, true, true);
    } else {
        if (show) {
            wm.BringToTop(this);
            Invalidate();
        }
        wm.GetDriver().ShowWindow(m_driverWindow, show);
        if (!show && wm.Active() == this && wm.Exists(m_owner) && m_owner->IsWindowVisible())
            wm.SetActive(m_owner);
        const bool activate = nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE &&
                              PopupKindOfClass(m_className) == PopupKind::Dialog;
        if (show && activate) wm.SetActive(this);
    }
    return was;
}

BOOL CWnd::IsWindowVisible() const {
    if (!m_hWnd) return FALSE;
    for (const CWnd* w = this; w; w = w->m_parent)
        if (!(w->m_style & WS_VISIBLE)) return FALSE;
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    const BOOL wasDisabled = (m_style & WS_DISABLED) ? TRUE : FALSE;
    if (!m_hWnd || (bEnable != FALSE) == !wasDisabled) return wasDisabled;
    WindowManager& wm = WindowManager::Instance();
    if (bEnable) {
        m_style &= ~WS_DISABLED;
    } else {
        m_style |= WS_DISABLED;
        if (wm.Capture() == this) SendMessage(WM_CANCELMODE);
    }
    SendMessage(WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    Invalidate();
    return wasDisabled;
}

// ---- messages ----

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return 0;
    return Dispatch(this, message, wParam, lParam);
}

LRESULT CWnd::Dispatch(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowManager& wm = WindowManager::Instance();
    MSG msg{wnd, message, wParam, lParam, DWORD(wm.GetDriver().NowMs()), wm.CursorPos()};
    wm.PushCurrent(msg);
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wm.PopCurrent();
    return result;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_hWnd) return FALSE;
    WindowManager& wm = WindowManager::Instance();
    wm.Post(MSG{this, message, wParam, lParam, DWORD(wm.GetDriver().NowMs()), wm.CursorPos()});
    return TRUE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
    const std::vector<CWnd*> children = m_children;
    for (CWnd* child : children) {
        if (!WindowManager::Instance().Exists(child)) continue;
        child->SendMessage(message, wParam, lParam);
        if (bDeep && WindowManager::Instance().Exists(child))
            child->SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
}

const MSG* CWnd::GetCurrentMessage() const { return WindowManager::Instance().Current(); }

LRESULT CWnd::Default() {
    const MSG* msg = WindowManager::Instance().Current();
    if (!msg) return 0;
    return DefWindowProc(msg->message, msg->wParam, msg->lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    WindowManager& wm = WindowManager::Instance();
    for (CWnd* w = pMsg->hwnd; w && wm.Exists(w); w = w->m_parent) {
        if (w->PreTranslateMessage(pMsg)) return TRUE;
        if (w == hWndStop) break;
    }
    return FALSE;
}

// ---- focus, capture, activation ----

CWnd* CWnd::SetFocus() { return WindowManager::Instance().SetFocus(this); }
CWnd* CWnd::GetFocus() { return WindowManager::Instance().Focus(); }
CWnd* CWnd::SetCapture() { return WindowManager::Instance().SetCapture(this); }
CWnd* CWnd::GetCapture() { return WindowManager::Instance().Capture(); }
CWnd* CWnd::GetActiveWindow() { return WindowManager::Instance().Active(); }
CWnd* CWnd::SetActiveWindow() { return WindowManager::Instance().SetActive(GetTopLevelParent()); }

// ---- timers and modal loops ----

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    if (!m_hWnd) return 0;
    return WindowManager::Instance().SetTimer(this, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) {
    return WindowManager::Instance().KillTimer(this, nIDEvent) ? TRUE : FALSE;
}

int CWnd::RunModalLoop(DWORD) { return WindowManager::Instance().RunModalLoop(this); }

void CWnd::EndModalLoop(int nResult) { WindowManager::Instance().EndModalLoop(this, nResult); }

bool CWnd::IsInModalLoop() const { return WindowManager::Instance().IsInModalLoop(this); }

int CWnd::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType) {
    return MessageBoxService::Run(m_hWnd ? GetTopLevelParent() : nullptr, lpszText ? lpszText : "",
                                  lpszCaption ? lpszCaption : "", nType);
}

bool CWnd::LocateScriptItem(ScriptItem, int, POINT&) const { return false; }
