// Message dispatch of CWnd: message maps, commands, notifications,
// reflection to controls, and the default behaviour of a window.

#include <cstring>

#include "platform/CDC.h"
#include "platform/CMenu.h"
#include "platform/CWnd.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

static bool IsCommandEntry(UINT message) {
    return message == WM_COMMAND || message == WM_NOTIFY ||
           message == WM_REFLECT_BASE + WM_COMMAND || message == WM_REFLECT_BASE + WM_NOTIFY;
}

int CWnd::FindEntry(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam,
                    LRESULT* pResult) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->pfn; ++e) {
            if (e->nMessage != message) continue;
            if (IsCommandEntry(message) && (e->nCode != code || id < e->nID || id > e->nLastID))
                continue;
            LRESULT result = 0;
            const bool handled = e->pfn(this, wParam, lParam, &result);
            if (pResult) *pResult = result;
            return handled ? 1 : 0;
        }
    }
    return -1;
}

static bool IsColourRequest(UINT message) {
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT result = 0;
    BOOL handled = FALSE;
    if (message == WM_COMMAND) {
        handled = OnCommand(wParam, lParam);
    } else if (message == WM_NOTIFY) {
        handled = OnNotify(wParam, lParam, &result);
    } else if (IsColourRequest(message)) {
        AFX_CTLCOLOR colour{reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                            message - WM_CTLCOLORMSGBOX};
        handled = FindEntry(WM_CTLCOLOR, 0, 0, wParam, reinterpret_cast<LPARAM>(&colour), &result) == 1;
    } else {
        handled = FindEntry(message, 0, 0, wParam, lParam, &result) == 1;
    }
    if (handled && pResult) *pResult = result;
    return handled;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    CWnd* control = reinterpret_cast<CWnd*>(lParam);
    if (control && WindowManager::Instance().Exists(control) && control != this) {
        LRESULT ignored = 0;
        if (control->OnChildNotify(WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
    }
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::OnCmdMsg(UINT nID, UINT nCode, LRESULT* pResult) {
    const WPARAM wParam = MAKEWPARAM(nID, nCode);
    return FindEntry(WM_COMMAND, nCode, nID, wParam, 0, pResult) == 1 ? TRUE : FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return FALSE;
    CWnd* control = header->hwndFrom;
    if (control && WindowManager::Instance().Exists(control) && control != this) {
        if (control->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult)) return TRUE;
    }
    return FindEntry(WM_NOTIFY, header->code, UINT(header->idFrom), wParam, lParam, pResult) == 1
               ? TRUE
               : FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    int found = -1;
    if (message == WM_COMMAND) {
        found = FindEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, wParam, lParam, pResult);
    } else if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header)
            found = FindEntry(WM_REFLECT_BASE + WM_NOTIFY, header->code, 0, wParam, lParam, pResult);
    } else if (IsColourRequest(message)) {
        AFX_CTLCOLOR colour{this, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
        found = FindEntry(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, wParam,
                          reinterpret_cast<LPARAM>(&colour), pResult);
        // A reflected colour handler that returns no brush leaves the parent's answer.
        if (found == 1 && pResult && *pResult == 0) found = 0;
    } else {
        found = FindEntry(WM_REFLECT_BASE + message, 0, 0, wParam, lParam, pResult);
    }
    return found == 1 ? TRUE : FALSE;
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    if (!hWndChild || !WindowManager::Instance().Exists(hWndChild)) return FALSE;
    return hWndChild->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
    const MSG* msg = WindowManager::Instance().Current();
    if (!msg) return FALSE;
    LRESULT ignored = 0;
    return OnChildNotify(msg->message, msg->wParam, msg->lParam, pResult ? pResult : &ignored);
}

// ---- default behaviour ----

LRESULT CWnd::DefaultColour(UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* control = reinterpret_cast<CWnd*>(lParam);
    if (control && control != this && WindowManager::Instance().Exists(control)) {
        LRESULT result = 0;
        if (control->OnChildNotify(message, wParam, lParam, &result)) return result;
    }
    CDC* dc = reinterpret_cast<CDC*>(wParam);
    const bool edit = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX;
    const int background = edit ? COLOR_WINDOW : COLOR_BTNFACE;
    if (dc) {
        dc->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc->SetBkColor(GetSysColor(background));
    }
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

LRESULT CWnd::DefaultSetCursor(WPARAM wParam, LPARAM lParam) {
    // The parent has the first say over its children's cursor.
    if (m_parent && m_parent->SendMessage(WM_SETCURSOR, wParam, lParam)) return TRUE;
    if (reinterpret_cast<CWnd*>(wParam) != this) return FALSE;
    if (LOWORD(uintptr_t(lParam)) == HTCLIENT) {
        ::SetCursor(LoadStockCursor(IDC_ARROW));
        return TRUE;
    }
    return FALSE;
}

static bool ReflectOwnerDraw(CWnd* parent, UINT message, WPARAM wParam, LPARAM lParam) {
    UINT type = 0;
    HWND item = nullptr;
    HMENU menu = nullptr;
    if (message == WM_DRAWITEM) {
        const DRAWITEMSTRUCT* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (!dis) return false;
        type = dis->CtlType;
        item = dis->hwndItem;
        menu = reinterpret_cast<HMENU>(dis->hwndItem);
    } else {
        const MEASUREITEMSTRUCT* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        if (!mis) return false;
        type = mis->CtlType;
        item = parent->GetDlgItem(int(mis->CtlID));
    }
    if (type == ODT_MENU) {
        // Menus are not windows: the menu object itself measures and draws.
        CMenu* owner = message == WM_DRAWITEM ? CMenu::FromHandlePermanent(menu) : nullptr;
        if (message == WM_DRAWITEM && owner) {
            owner->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return true;
        }
        return false;
    }
    if (!item || !WindowManager::Instance().Exists(item) || item == parent) return false;
    LRESULT ignored = 0;
    return item->OnChildNotify(message, wParam, lParam, &ignored) != FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            CDC* dc = BeginPaint(&ps);
            EndPaint(&ps);
            (void)dc;
            return 0;
        }
        case WM_ERASEBKGND: return 0;
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            m_text = text ? text : "";
            if (!m_parent && m_driverWindow)
                WindowManager::Instance().GetDriver().SetCaption(m_driverWindow, m_text);
            Invalidate();
            return TRUE;
        }
        case WM_GETTEXTLENGTH: return LRESULT(m_text.size());
        case WM_GETTEXT: {
            char* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam == 0) return 0;
            const size_t n = std::min(m_text.size(), size_t(wParam) - 1);
            std::memcpy(buffer, m_text.data(), n);
            buffer[n] = '\0';
            return LRESULT(n);
        }
        case WM_SETFONT:
            m_font = reinterpret_cast<CFont*>(wParam);
            if (LOWORD(uintptr_t(lParam))) Invalidate();
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
        case WM_CLOSE: DestroyWindow(); return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessage(WM_CLOSE);
            return 0;
        case WM_NCHITTEST: return HTCLIENT;
        case WM_SETCURSOR: return DefaultSetCursor(wParam, lParam);
        case WM_CANCELMODE:
            if (WindowManager::Instance().Capture() == this) WindowManager::Instance().ReleaseCapture();
            return 0;
        case WM_DRAWITEM:
        case WM_MEASUREITEM: return ReflectOwnerDraw(this, message, wParam, lParam) ? TRUE : FALSE;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return DefaultColour(message, wParam, lParam);
        case WM_TIMER: {
            TIMERPROC proc = reinterpret_cast<TIMERPROC>(lParam);
            if (proc) proc(this, WM_TIMER, UINT_PTR(wParam), DWORD(WindowManager::Instance().GetDriver().NowMs()));
            return 0;
        }
        default: return 0;
    }
}

// ---- handlers: the ordinary handling ----

int CWnd::OnCreate(LPCREATESTRUCT) { return int(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
UINT CWnd::OnGetDlgCode() { return UINT(Default()); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
