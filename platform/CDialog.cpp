#include "platform/CDialog.h"

#include <algorithm>

#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/DialogTemplateRegistry.h"
#include "platform/DisplayScale.h"
#include "platform/KeyboardState.h"
#include "platform/SysColors.h"
#include "platform/WindowClassRegistry.h"
#include "platform/WindowFrame.h"
#include "platform/WindowManager.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    // The controls go before the font they were drawing with; the object is
    // already being deleted, so destruction must not delete it again.
    SetAutoDelete(false);
    if (m_hWnd) DestroyWindow();
}

// ---- creation ----

CSize CDialog::BaseUnitsOfFont(const char* face, int pointSize) {
    // Measured on the 96-dpi layout: the units of a template stay the same
    // at every scale, and only their conversion to pixels is scaled.
    CFont font;
    if (!font.CreateFont(-MulDiv(pointSize, SCREEN_DPI, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                         face && *face ? face : "MS Sans Serif"))
        return CSize(4, 8);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CFont* old = dc.SelectObject(&font);
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const SIZE extent = dc.GetTextExtent(kLetters, 52);
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    dc.SelectObject(old);
    // The average letter width, rounded as the classic dialog manager does.
    const int width = (extent.cx / 26 + 1) / 2;
    return CSize(width > 0 ? width : 4, metrics.tmHeight > 0 ? metrics.tmHeight : 8);
}

CSize CDialog::GetDialogBaseUnits() const {
    return CSize(DisplayScale::Scale(m_baseUnits.cx), DisplayScale::Scale(m_baseUnits.cy));
}

// Dialog units to pixels with the scale applied to the exact product, so
// that a 200 % window is exactly twice as large and a 150 % one keeps its
// proportions, which rounded base units would not.
int CDialog::HorizontalPixels(int units) const {
    return MulDiv(units, m_baseUnits.cx * DisplayScale::Percent(), 4 * 100);
}

int CDialog::VerticalPixels(int units) const {
    return MulDiv(units, m_baseUnits.cy * DisplayScale::Percent(), 8 * 100);
}

void CDialog::MapDialogRect(LPRECT lpRect) const {
    if (!lpRect) return;
    lpRect->left = HorizontalPixels(lpRect->left);
    lpRect->right = HorizontalPixels(lpRect->right);
    lpRect->top = VerticalPixels(lpRect->top);
    lpRect->bottom = VerticalPixels(lpRect->bottom);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    const DialogTemplate* dialogTemplate = DialogTemplateRegistry::Find(nIDTemplate);
    return dialogTemplate ? CreateIndirect(dialogTemplate, pParentWnd) : FALSE;
}

BOOL CDialog::CreateIndirect(const DialogTemplate* dialogTemplate, CWnd* pParentWnd) {
    if (!dialogTemplate) return FALSE;
    if (!CreateFromTemplate(*dialogTemplate, pParentWnd)) return FALSE;
    if (dialogTemplate->style & WS_VISIBLE) ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CDialog::InitModalIndirect(const DialogTemplate* dialogTemplate, CWnd* pParentWnd) {
    m_indirectTemplate = dialogTemplate;
    if (pParentWnd) m_pParentWnd = pParentWnd;
    return dialogTemplate ? TRUE : FALSE;
}

bool CDialog::CreateFromTemplate(const DialogTemplate& dialogTemplate, CWnd* pParentWnd) {
    if (m_hWnd) return false;
    WindowManager& wm = WindowManager::Instance();
    m_template = &dialogTemplate;
    m_baseUnits = BaseUnitsOfFont(dialogTemplate.fontFace.c_str(), dialogTemplate.pointSize);
    m_font = std::make_unique<CFont>();
    if (!m_font->CreatePointFont(dialogTemplate.pointSize * 10,
                                 dialogTemplate.fontFace.empty() ? "MS Sans Serif" : dialogTemplate.fontFace.c_str()))
        m_font.reset();

    const bool child = (dialogTemplate.style & WS_CHILD) != 0;
    CRect rect(dialogTemplate.x, dialogTemplate.y, dialogTemplate.x, dialogTemplate.y);
    MapDialogRect(&rect);
    rect.right = rect.left + HorizontalPixels(dialogTemplate.cx);
    rect.bottom = rect.top + VerticalPixels(dialogTemplate.cy);
    if (!child) {
        // The window with its frame is centred over the owner, or on the
        // screen, and kept on the screen.
        const CRect insets = WindowFrame::Insets(dialogTemplate.style, dialogTemplate.exStyle);
        CRect outer = rect;
        outer.InflateRect(insets.left, insets.top, insets.right, insets.bottom);
        CRect area(CPoint(0, 0), wm.GetDriver().ScreenSize());
        if (pParentWnd && CWnd::FromHandlePermanent(pParentWnd)) {
            pParentWnd->GetTopLevelParent()->GetWindowRect(&area);
            const CRect ownerInsets = WindowFrame::Insets(pParentWnd->GetTopLevelParent()->GetStyle(),
                                                          pParentWnd->GetTopLevelParent()->GetExStyle());
            area.InflateRect(ownerInsets.left, ownerInsets.top, ownerInsets.right, ownerInsets.bottom);
        }
        outer.MoveToXY(area.left + (area.Width() - outer.Width()) / 2, area.top + (area.Height() - outer.Height()) / 2);
        const SIZE screen = wm.GetDriver().ScreenSize();
        outer.MoveToXY(std::max<LONG>(0, std::min<LONG>(outer.left, screen.cx - outer.Width())),
                       std::max<LONG>(0, std::min<LONG>(outer.top, screen.cy - outer.Height())));
        rect.MoveToXY(outer.left + insets.left, outer.top + insets.top);
    }
    CREATESTRUCT cs{};
    cs.hwndParent = pParentWnd;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    cs.style = dialogTemplate.style & ~WS_VISIBLE;
    cs.dwExStyle = dialogTemplate.exStyle | (child ? WS_EX_CONTROLPARENT : 0);
    cs.lpszName = dialogTemplate.caption.c_str();
    cs.lpszClass = "#32770";
    cs.hMenu = 0;
    if (!CreateWindowInternal(cs, false)) return false;
    if (m_font) SetFont(m_font.get(), FALSE);
    CreateItems(dialogTemplate);
    const BOOL focusFirst = BOOL(SendMessage(WM_INITDIALOG));
    if (!m_hWnd) return false;
    if (focusFirst && !child) FocusFirstControl();
    return true;
}

void CDialog::CreateItems(const DialogTemplate& dialogTemplate) {
    for (const DialogItemTemplate& item : dialogTemplate.items) {
        CWnd* control = WindowClassRegistry::CreateObject(item.className);
        control->SetAutoDelete(true);
        CREATESTRUCT cs{};
        cs.hwndParent = this;
        cs.hMenu = UINT(item.id);
        cs.x = HorizontalPixels(item.x);
        cs.y = VerticalPixels(item.y);
        cs.cx = HorizontalPixels(item.cx);
        cs.cy = VerticalPixels(item.cy);
        cs.style = item.hidden ? (item.style | WS_CHILD) & ~WS_VISIBLE : item.style | WS_CHILD | WS_VISIBLE;
        cs.dwExStyle = item.exStyle;
        cs.lpszName = item.text.c_str();
        cs.lpszClass = item.className.c_str();
        cs.resourceId = item.resourceId;
        if (!control->CreateWindowInternal(cs, true)) {
            delete control;
            continue;
        }
        if (m_font) control->SetFont(m_font.get(), FALSE);
        if (item.className == "Button" && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) m_defId = UINT(item.id);
    }
}

// ---- modal run ----

INT_PTR CDialog::DoModal() {
    const DialogTemplate* dialogTemplate =
        m_indirectTemplate ? m_indirectTemplate : DialogTemplateRegistry::Find(m_nIDTemplate);
    if (!dialogTemplate || m_hWnd) return -1;
    WindowManager& wm = WindowManager::Instance();
    CWnd* owner = CWnd::FromHandlePermanent(m_pParentWnd) ? m_pParentWnd->GetTopLevelParent() : wm.ActiveModalWindow();
    const bool ownerWasEnabled = owner && owner->IsWindowEnabled();
    if (ownerWasEnabled) owner->EnableWindow(FALSE);
    INT_PTR result = -1;
    if (CreateFromTemplate(*dialogTemplate, owner)) {
        ShowWindow(SW_SHOW);
        result = RunModalLoop();
    }
    // The owner comes back before this window goes, so it is activated.
    if (ownerWasEnabled && CWnd::FromHandlePermanent(owner)) owner->EnableWindow(TRUE);
    if (m_hWnd) DestroyWindow();
    return result;
}

void CDialog::EndDialog(int nResult) {
    if (IsInModalLoop()) EndModalLoop(nResult);
    else ShowWindow(SW_HIDE);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// ---- focus and keyboard ----

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
    if (!pWndCtrl || !CWnd::FromHandlePermanent(pWndCtrl)) return;
    pWndCtrl->SetFocus();
    // Entering an edit by keyboard selects its text.
    if (CWnd::FromHandlePermanent(pWndCtrl) && (pWndCtrl->SendMessage(WM_GETDLGCODE) & DLGC_HASSETSEL))
        pWndCtrl->SendMessage(EM_SETSEL, 0, -1);
}

void CDialog::NextDlgCtrl() { GotoDlgCtrl(GetNextDlgTabItem(GetFocus(), FALSE)); }

void CDialog::PrevDlgCtrl() { GotoDlgCtrl(GetNextDlgTabItem(GetFocus(), TRUE)); }

void CDialog::FocusFirstControl() {
    if (CWnd* first = GetNextDlgTabItem(nullptr, FALSE)) GotoDlgCtrl(first);
    else SetFocus();
}

void CDialog::SetDefID(UINT nID) { m_defId = nID; }

DWORD CDialog::GetDefID() const { return DWORD(MAKELPARAM(int(m_defId), int(DC_HASDEFID))); }

bool CDialog::ContainsFocus() const {
    CWnd* focus = GetFocus();
    return focus && (focus == this || IsChild(focus));
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    // A child dialog (tab page) leaves the keyboard interface to the dialog
    // that holds it, so keys are handled once.
    if (m_style & WS_CHILD) return FALSE;
    return IsDialogMessage(pMsg);
}

void CDialog::SendCommand(int id) {
    CWnd* control = GetDlgItem(id);
    if (!control) control = FindDescendant(id);
    // A disabled button cannot be pressed with the keyboard either.
    if (control && !control->IsWindowEnabled()) return;
    SendMessage(WM_COMMAND, MAKEWPARAM(unsigned(id), BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

bool CDialog::HandleKeyDown(MSG* pMsg) {
    CWnd* target = pMsg->hwnd;
    const UINT code = target == this ? 0 : UINT(target->SendMessage(WM_GETDLGCODE, pMsg->wParam,
                                                                    reinterpret_cast<LPARAM>(pMsg)));
    if (code & DLGC_WANTALLKEYS) return false;
    const bool shift = GetKeyState(int(VK_SHIFT)) < 0;
    switch (pMsg->wParam) {
        case VK_TAB: {
            if (code & DLGC_WANTTAB) return false;
            CWnd* next = GetNextDlgTabItem(target == this ? nullptr : target, shift ? TRUE : FALSE);
            if (next) GotoDlgCtrl(next);
            return true;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if ((code & DLGC_WANTARROWS) || target == this) return false;
            const bool back = pMsg->wParam == VK_LEFT || pMsg->wParam == VK_UP;
            CWnd* next = GetNextDlgGroupItem(target, back ? TRUE : FALSE);
            if (next && next != target) {
                next->SetFocus();
                // Moving onto a radio button chooses it.
                if (CWnd::FromHandlePermanent(next) && (next->SendMessage(WM_GETDLGCODE) & DLGC_RADIOBUTTON))
                    next->SendMessage(BM_CLICK);
            }
            return true;
        }
        case VK_RETURN: {
            // A focused push button is the one Enter presses.
            if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) SendCommand(target->GetDlgCtrlID());
            else SendCommand(int(m_defId));
            return true;
        }
        case VK_ESCAPE: SendCommand(IDCANCEL); return true;
        default: return false;
    }
}

BOOL CDialog::IsDialogMessage(MSG* pMsg) {
    if (!pMsg || !m_hWnd || !pMsg->hwnd) return FALSE;
    if (pMsg->hwnd != this && !IsChild(pMsg->hwnd)) return FALSE;
    if (pMsg->message == WM_KEYDOWN) return HandleKeyDown(pMsg) ? TRUE : FALSE;
    if (pMsg->message == WM_CHAR) {
        // The characters of Tab, Enter and Escape were used as keys.
        const UINT code = pMsg->hwnd == this ? 0 : UINT(pMsg->hwnd->SendMessage(WM_GETDLGCODE, pMsg->wParam,
                                                                                reinterpret_cast<LPARAM>(pMsg)));
        if (code & DLGC_WANTALLKEYS) return FALSE;
        if (pMsg->wParam == '\t' && (code & DLGC_WANTTAB)) return FALSE;
        return pMsg->wParam == '\t' || pMsg->wParam == '\r' || pMsg->wParam == 0x1B ? TRUE : FALSE;
    }
    return FALSE;
}

// ---- default behaviour ----

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog();
        case WM_ERASEBKGND: {
            CDC* dc = reinterpret_cast<CDC*>(wParam);
            if (!dc) return 0;
            HBRUSH brush = reinterpret_cast<HBRUSH>(
                SendMessage(WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(this)));
            CRect client;
            GetClientRect(&client);
            dc->FillRect(client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        case WM_CLOSE:
            SendCommand(IDCANCEL);
            return 0;
        case DM_GETDEFID: return LRESULT(GetDefID());
        case DM_SETDEFID: m_defId = UINT(wParam); return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                m_savedFocus = ContainsFocus() ? GetFocus() : nullptr;
            } else if (CWnd::FromHandlePermanent(m_savedFocus) && IsChild(m_savedFocus)) {
                m_savedFocus->SetFocus();
            } else if (!ContainsFocus() && !(m_style & WS_CHILD)) {
                FocusFirstControl();
            }
            return 0;
        default: return CWnd::DefWindowProc(message, wParam, lParam);
    }
}
