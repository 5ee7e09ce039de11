#include "controls/CIconButton.h"

#include <algorithm>

#include "platform/CMenu.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

namespace {

constexpr int kToolTipId = 1;
// Sizes on the 96-dpi layout; the screen's scale applies to them.
constexpr int kToolTipWidth = 400;
constexpr int kCaptionHeight = 12;

}  // namespace

BEGIN_MESSAGE_MAP(CIconButton, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_KILLFOCUS()
    ON_WM_CANCELMODE()
    ON_WM_ACTIVATE()
    ON_WM_ENABLE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
    ON_WM_GETDLGCODE()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
    ON_WM_CTLCOLOR_REFLECT()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
    ON_WM_MEASUREITEM()
    ON_WM_MENUCHAR()
END_MESSAGE_MAP()

CIconButton::CIconButton()
    : m_pressedOffset(DisplayScale::Scale(1), DisplayScale::Scale(1)) {
    // Pixel heights are device pixels: scaled here, the caption grows with the screen.
    m_captionFont.CreateFont(-DisplayScale::Scale(kCaptionHeight), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                             "Arial");
    ResetColours(FALSE);
}

CIconButton::~CIconButton() {
    ReleaseImages();
    m_captionFont.DeleteObject();
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
}

void CIconButton::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    const DWORD style = GetStyle();
    if (style & BS_CHECKBOX) m_checkBoxMode = true;
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) m_isDefault = true;
    // The button draws itself from now on.
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
}

// ---- configuration ----

int CIconButton::SetFlat(BOOL flat, BOOL repaint) {
    m_isFlat = flat != FALSE;
    if (repaint) Repaint();
    return Ok;
}

int CIconButton::SetColour(int index, COLORREF colour, BOOL repaint) {
    if (index < 0 || index >= kStateColourCount) return InvalidIndex;
    m_stateColours[index] = colour;
    if (repaint) Repaint();
    return Ok;
}

int CIconButton::OffsetColour(int index, int offset, BOOL repaint) {
    if (index < 0 || index >= kStateColourCount) return InvalidIndex;
    if (offset < -255 || offset > 255) return InvalidOffset;
    const COLORREF colour = m_stateColours[index];
    const int channels[3] = {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
    // The offset is cut so that no channel leaves 0..255: the hue stays.
    int cut = offset;
    for (int channel : channels) cut = offset > 0 ? std::min(cut, 255 - channel) : std::max(cut, -channel);
    m_stateColours[index] = RGB(channels[0] + cut, channels[1] + cut, channels[2] + cut);
    if (repaint) Repaint();
    return Ok;
}

void CIconButton::ResetColours(BOOL repaint) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    m_stateColours[BackIn] = m_stateColours[BackOut] = m_stateColours[BackFocus] = face;
    m_stateColours[ForeIn] = m_stateColours[ForeOut] = m_stateColours[ForeFocus] = text;
    if (repaint) Repaint();
}

COLORREF CIconButton::GetColour(int index) const {
    return index >= 0 && index < kStateColourCount ? m_stateColours[index] : CLR_INVALID;
}

int CIconButton::SetChecked(BOOL checked, BOOL repaint) {
    if (!m_checkBoxMode) return Ok;
    m_checkState = checked ? TRUE : FALSE;
    if (repaint) Repaint();
    return Ok;
}

void CIconButton::SetToolTipText(const char* text, BOOL activate) {
    if (!text) return;
    PrepareToolTip();
    if (!m_toolTip.GetSafeHwnd()) return;
    if (m_toolTip.GetToolCount() == 0) m_toolTip.AddTool(this, text, nullptr, kToolTipId);
    m_toolTip.UpdateTipText(text, this, kToolTipId);
    m_toolTip.Activate(activate);
}

void CIconButton::PrepareToolTip() {
    if (m_toolTip.GetSafeHwnd() || !GetSafeHwnd()) return;
    if (!m_toolTip.Create(this, 0)) return;
    m_toolTip.Activate(FALSE);
    m_toolTip.SetMaxTipWidth(DisplayScale::Scale(kToolTipWidth));
}

BOOL CIconButton::PreTranslateMessage(MSG* msg) {
    PrepareToolTip();
    if (m_toolTip.GetSafeHwnd()) m_toolTip.RelayEvent(msg);
    // Fast clicking counts every click.
    if (msg->message == WM_LBUTTONDBLCLK) msg->message = WM_LBUTTONDOWN;
    return CButton::PreTranslateMessage(msg);
}

// ---- hover ----

void CIconButton::CancelHover() {
    if (!m_isFlat || !m_mouseOver) return;
    m_mouseOver = false;
    Repaint();
}

void CIconButton::OnMouseMove(UINT flags, CPoint point) {
    Default();
    CPoint screen = point;
    ClientToScreen(&screen);
    CWnd* under = WindowFromPoint(screen);
    // A drag that started elsewhere doesn't light the button up.
    if ((flags & MK_LBUTTON) && !m_mouseOver) return;
    if (!m_isFlat) return;
    if (under != this) {
        CancelHover();
        return;
    }
    if (m_mouseOver) return;
    m_mouseOver = true;
    Repaint();
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, this, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void CIconButton::OnMouseLeave() {
    Default();
    CancelHover();
}

void CIconButton::OnKillFocus(CWnd*) {
    Default();
    CancelHover();
}

void CIconButton::OnCancelMode() {
    Default();
    CancelHover();
}

void CIconButton::OnActivate(UINT state, CWnd*, BOOL) {
    Default();
    if (state == WA_INACTIVE) CancelHover();
}

void CIconButton::OnEnable(BOOL enable) {
    Default();
    if (enable) return;
    // A disabled button can't keep the keyboard: hand the focus on, but only
    // when it is this button's to give.
    CWnd* parent = GetParent();
    if (parent && GetFocus() == this) {
        CWnd* next = parent->GetNextDlgTabItem(this);
        if (next && next != this)
            next->SetFocus();
        else
            parent->SetFocus();
    }
    CancelHover();
}

void CIconButton::OnSysColorChange() {
    Default();
    ResetColours(TRUE);
}

void CIconButton::OnDestroy() {
    if (m_toolTip.GetSafeHwnd()) m_toolTip.DestroyWindow();
    Default();
}

// ---- button messages ----

UINT CIconButton::OnGetDlgCode() {
    const UINT code = UINT(Default());
    return code | (m_isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT CIconButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    const UINT type = UINT(style) & BS_TYPEMASK;
    if (type == BS_DEFPUSHBUTTON) m_isDefault = true;
    if (type == BS_PUSHBUTTON) m_isDefault = false;
    return DefWindowProc(BM_SETSTYLE, (style & ~WPARAM(BS_TYPEMASK)) | BS_OWNERDRAW, redraw);
}

LRESULT CIconButton::OnSetCheck(WPARAM check, LPARAM) {
    SetChecked(check == BST_CHECKED || check == BST_INDETERMINATE, TRUE);
    return 0;
}

LRESULT CIconButton::OnGetCheck(WPARAM, LPARAM) { return m_checkState; }

HBRUSH CIconButton::CtlColor(CDC*, UINT) { return nullptr; }

BOOL CIconButton::OnClicked() {
    SetFocus();
    if (m_checkBoxMode) {
        m_checkState = !m_checkState;
        Repaint();
    } else {
        MenuHandlesClick();
    }
    // The parent receives the click too.
    return FALSE;
}

// ---- the owner-drawn menu's requests ----

void CIconButton::OnMeasureItem(int, LPMEASUREITEMSTRUCT measure) {
    if (!MenuMeasuresItem(measure)) Default();
}

LRESULT CIconButton::OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
    LRESULT result = 0;
    if (MenuAnswersChar(ch, flags, menu, &result)) return result;
    return Default();
}

// The button's owner-drawn menu answers these when a request concerns one of
// its menus; every other request gets the ordinary handling.
bool CIconButton::MenuMeasuresItem(LPMEASUREITEMSTRUCT measure) {
    if (!measure || !m_menu.ConcernsOwnMenu(*measure)) return false;
    m_menu.MeasureItem(measure);
    return true;
}

bool CIconButton::MenuAnswersChar(UINT ch, UINT flags, CMenu* menu, LRESULT* result) {
    if (!menu || !(m_menu.IsOwnMenu(menu->m_hMenu) || COwnerDrawMenu::IsOwnerDrawnSubMenu(menu->m_hMenu)))
        return false;
    *result = COwnerDrawMenu::FindMnemonic(ch, flags, menu);
    return true;
}

// A loaded menu opens below the button; the command chosen goes to the
// parent as a menu command.
bool CIconButton::MenuHandlesClick() {
    const UINT count = m_menu.GetMenuItemCount();
    if (!m_menu.GetSafeHmenu() || count == 0 || count == UINT(-1)) return false;
    CRect window;
    GetWindowRect(&window);
    const UINT command = UINT(m_menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, window.left,
                                                    window.bottom, this));
    CWnd* parent = GetParent();
    if (command && parent && CWnd::IsWindow(parent)) parent->PostMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return true;
}
