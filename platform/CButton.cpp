#include "platform/CButton.h"

#include <algorithm>

#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

namespace {

// At 96 dpi, in pixels.
constexpr int kCheckBoxSize = 13;
constexpr int kRadioSize = 12;
constexpr int kCheckTextGap = 4;
constexpr int kPushTextInset = 2;
constexpr int kFocusInset = 3;
constexpr int kGroupTextIndent = 8;
constexpr int kGroupTextGap = 2;  // the background kept clear beside the caption

}  // namespace

BEGIN_MESSAGE_MAP(CButton, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

CButton::CButton() = default;
CButton::~CButton() = default;

BOOL CButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Button", caption, style, rect, parent, id);
}

void CButton::TakeOverState(CWnd& previous) {
    if (auto* button = dynamic_cast<CButton*>(&previous)) {
        m_check = button->m_check;
        m_pushed = button->m_pushed;
    }
}

bool CButton::IsPushLike() const {
    UINT type = Type();
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW ||
           type == BS_USERBUTTON;
}

bool CButton::IsCheckLike() const {
    UINT type = Type();
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}

bool CButton::IsRadio() const {
    UINT type = Type();
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool CButton::HasFocus() const { return GetFocus() == this; }

int CButton::GetCheck() const { return int(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK)); }
void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, WPARAM(check)); }
UINT CButton::GetState() const { return UINT(const_cast<CButton*>(this)->SendMessage(BM_GETSTATE)); }
void CButton::SetState(BOOL pushed) { SendMessage(BM_SETSTATE, WPARAM(pushed)); }

void CButton::SetButtonStyle(UINT style, BOOL redraw) {
    SendMessage(BM_SETSTYLE, WPARAM(style), LPARAM(redraw));
}

void CButton::Click() { SendMessage(BM_CLICK); }

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

void CButton::SetPushed(bool pushed) {
    if (m_pushed == pushed) return;
    m_pushed = pushed;
    Invalidate(FALSE);
}

void CButton::UncheckGroupSiblings() {
    CWnd* parent = GetParent();
    if (!parent) return;
    const std::vector<CWnd*>& siblings = parent->GetChildren();
    size_t self = 0;
    while (self < siblings.size() && siblings[self] != this) ++self;
    if (self == siblings.size()) return;
    // The group runs from the nearest WS_GROUP at or before this button to the
    // next WS_GROUP after it.
    size_t first = self;
    while (first > 0 && !(siblings[first]->GetStyle() & WS_GROUP)) --first;
    for (size_t i = first; i < siblings.size(); ++i) {
        CWnd* sibling = siblings[i];
        if (i > self && (sibling->GetStyle() & WS_GROUP)) break;
        if (sibling == this) continue;
        if (sibling->GetWindowClassName() != "Button" && !dynamic_cast<CButton*>(sibling)) continue;
        if ((sibling->GetStyle() & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            sibling->SendMessage(BM_SETCHECK, BST_UNCHECKED);
    }
}

UINT CButton::DialogCode() const {
    switch (Type()) {
        case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX: return DLGC_STATIC;
        default: return DLGC_BUTTON;
    }
}

void CButton::OnButtonDown() {
    if (Type() == BS_GROUPBOX) return;
    SetFocus();
    SetCapture();
    m_tracking = true;
    SetPushed(true);
}

void CButton::OnButtonMove(WPARAM keys, CPoint point) {
    if (!m_tracking || GetCapture() != this) return;
    if (!(keys & MK_LBUTTON)) {
        // The release went elsewhere (a menu opened by the press took it):
        // the press ends without a click.
        m_tracking = false;
        ReleaseCapture();
        SetPushed(false);
        return;
    }
    CRect client;
    GetClientRect(&client);
    SetPushed(client.PtInRect(point));
}

void CButton::OnButtonUp(CPoint point) {
    if (!m_tracking) return;
    m_tracking = false;
    CRect client;
    GetClientRect(&client);
    bool inside = client.PtInRect(point);
    if (GetCapture() == this) ReleaseCapture();
    SetPushed(false);
    if (inside) Click();
}

LRESULT CButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painting covers the whole button
        case WM_GETDLGCODE:
            return LRESULT(DialogCode());
        case WM_NCHITTEST:
            return Type() == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown();
            return 0;
        case WM_MOUSEMOVE:
            OnButtonMove(wParam, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_CAPTURECHANGED:
            if (m_tracking && reinterpret_cast<CWnd*>(lParam) != this) {
                m_tracking = false;
                SetPushed(false);
            }
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && Type() != BS_GROUPBOX) {
                m_spaceDown = true;
                SetPushed(true);
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wParam == VK_SPACE && m_spaceDown) {
                m_spaceDown = false;
                SetPushed(false);
                Click();
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (message == WM_KILLFOCUS) {
                m_spaceDown = false;
                SetPushed(false);
            }
            Invalidate(FALSE);
            if (CWnd* parent = GetParent(); parent && (GetStyle() & BS_NOTIFY))
                parent->SendMessage(WM_COMMAND,
                                    MAKEWPARAM(UINT(GetDlgCtrlID()),
                                               message == WM_SETFOCUS ? BN_SETFOCUS : BN_KILLFOCUS),
                                    reinterpret_cast<LPARAM>(this));
            return 0;
        case WM_ENABLE:
            Invalidate(FALSE);
            return 0;
        case WM_SETTEXT: {
            LRESULT result = CWnd::DefWindowProc(message, wParam, lParam);
            Invalidate(FALSE);
            return result;
        }
        case BM_GETCHECK:
            return IsCheckLike() || IsRadio() ? m_check : BST_UNCHECKED;
        case BM_SETCHECK: {
            if (!IsCheckLike() && !IsRadio()) return 0;
            int check = int(wParam);
            bool threeState = Type() == BS_3STATE || Type() == BS_AUTO3STATE;
            if (check == BST_INDETERMINATE && !threeState) check = BST_CHECKED;
            if (check != BST_CHECKED && check != BST_INDETERMINATE) check = BST_UNCHECKED;
            if (check != m_check) {
                m_check = check;
                Invalidate(FALSE);
            }
            return 0;
        }
        case BM_GETSTATE:
            return LRESULT((IsCheckLike() || IsRadio() ? UINT(m_check) : 0u) |
                           (m_pushed ? BST_PUSHED : 0u) | (HasFocus() ? BST_FOCUS : 0u));
        case BM_SETSTATE:
            SetPushed(wParam != 0);
            return 0;
        case BM_SETSTYLE:
            ModifyStyle(BS_TYPEMASK, DWORD(wParam) & BS_TYPEMASK);
            if (lParam) Invalidate(FALSE);
            return 0;
        case BM_CLICK: {
            if (!IsWindowEnabled() || Type() == BS_GROUPBOX) return 0;
            switch (Type()) {
                case BS_AUTOCHECKBOX:
                    SendMessage(BM_SETCHECK, m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
                    break;
                case BS_AUTO3STATE:
                    SendMessage(BM_SETCHECK, WPARAM((m_check + 1) % 3));
                    break;
                case BS_AUTORADIOBUTTON:
                    SendMessage(BM_SETCHECK, BST_CHECKED);
                    UncheckGroupSiblings();
                    break;
                default:
                    break;
            }
            if (CWnd* parent = GetParent())
                parent->SendMessage(WM_COMMAND, MAKEWPARAM(UINT(GetDlgCtrlID()), BN_CLICKED),
                                    reinterpret_cast<LPARAM>(this));
            return 0;
        }
        default:
            break;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CButton::Paint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.SelectObject(ClassicLook::ControlFont(this));
    switch (Type()) {
        case BS_OWNERDRAW:
            RequestOwnerDraw(dc, client);
            break;
        case BS_GROUPBOX:
            PaintGroupBox(dc, client);
            break;
        default:
            if (IsCheckLike() || IsRadio())
                PaintCheckOrRadio(dc, client);
            else
                PaintPushButton(dc, client);
            break;
    }
}

void CButton::RequestOwnerDraw(CDC& dc, const CRect& client) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = UINT(GetDlgCtrlID());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = (m_pushed ? ODS_SELECTED : 0u) | (HasFocus() ? ODS_FOCUS : 0u) |
                     (IsWindowEnabled() ? 0u : ODS_DISABLED);
    item.hwndItem = this;
    item.hDC = &dc;
    item.rcItem = client;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_DRAWITEM, WPARAM(item.CtlID), reinterpret_cast<LPARAM>(&item));
}

void CButton::DrawCaption(CDC& dc, CRect rect, UINT format) {
    std::string caption = GetWindowText();
    dc.SetBkMode(TRANSPARENT);
    if (!IsWindowEnabled()) {
        ClassicLook::DrawEngravedText(dc, caption, rect, format);
        return;
    }
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc.DrawText(caption, &rect, format);
}

void CButton::PaintPushButton(CDC& dc, const CRect& client) {
    ClassicLook::PaintBackground(this, dc, client, WM_CTLCOLORBTN, GetSysColor(COLOR_BTNFACE));
    CRect face = client;
    bool isDefault = Type() == BS_DEFPUSHBUTTON;
    const int line = ClassicLook::LineWidth();
    if (isDefault) {
        CBrush black(GetSysColor(COLOR_WINDOWFRAME));
        ClassicLook::FrameRect(dc, face, &black);
        face.DeflateRect(line, line);
    }
    if (m_pushed && isDefault) {
        // A pressed default button is flat: a shadow frame around the face.
        CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
        ClassicLook::FrameRect(dc, face, &shadow);
        CRect inside = face;
        inside.DeflateRect(line, line);
        dc.FillSolidRect(inside, GetSysColor(COLOR_BTNFACE));
    } else {
        CRect frame = face;
        ClassicLook::DrawPushButtonFace(dc, &frame, m_pushed);
    }
    CRect text = face;
    text.DeflateRect(DisplayScale::Scale(kPushTextInset), DisplayScale::Scale(kPushTextInset));
    if (m_pushed) text.OffsetRect(line, line);
    UINT format = (GetStyle() & BS_MULTILINE) ? DT_CENTER | DT_WORDBREAK
                                              : DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    DrawCaption(dc, text, format);
    if (HasFocus()) {
        CRect focus = face;
        focus.DeflateRect(DisplayScale::Scale(kFocusInset), DisplayScale::Scale(kFocusInset));
        ClassicLook::DrawFocusRect(dc, focus);
    }
}

void CButton::PaintCheckOrRadio(CDC& dc, const CRect& client) {
    ClassicLook::PaintBackground(this, dc, client, WM_CTLCOLORSTATIC, GetSysColor(COLOR_BTNFACE));
    bool leftText = (GetStyle() & BS_LEFTTEXT) != 0;
    // The glyph takes the width of the rectangle given for it; the text
    // starts after the check box's column either way.
    const int column = DisplayScale::Scale(kCheckBoxSize);
    const int glyph = DisplayScale::Scale(IsRadio() ? kRadioSize : kCheckBoxSize);
    CRect box = client;
    if (leftText) box.left = client.right - column;
    box.right = box.left + column;
    CRect glyphBox = box;
    glyphBox.right = glyphBox.left + glyph;
    UINT state = IsRadio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (m_check == BST_CHECKED) state |= DFCS_CHECKED;
    if (m_check == BST_INDETERMINATE) state |= DFCS_CHECKED | DFCS_INACTIVE;
    if (m_pushed) state |= DFCS_PUSHED;
    if (!IsWindowEnabled()) state |= DFCS_INACTIVE;
    dc.DrawFrameControl(&glyphBox, DFC_BUTTON, state);

    CRect text = client;
    if (leftText)
        text.right = box.left - DisplayScale::Scale(kCheckTextGap);
    else
        text.left = box.right + DisplayScale::Scale(kCheckTextGap);
    UINT align = leftText ? DT_RIGHT : DT_LEFT;
    UINT format = (GetStyle() & BS_MULTILINE) ? align | DT_WORDBREAK
                                              : align | DT_VCENTER | DT_SINGLELINE;
    DrawCaption(dc, text, format);
    if (HasFocus() && !GetWindowText().empty()) {
        // The focus rectangle hugs the caption, one pixel out.
        CRect measured = text;
        dc.DrawText(GetWindowText(), &measured, format | DT_CALCRECT);
        int height = measured.Height();
        int width = std::min(measured.Width(), text.Width());
        CRect focus(text.left, text.top + (text.Height() - height) / 2, text.left + width,
                    text.top + (text.Height() - height) / 2 + height);
        if (GetStyle() & BS_MULTILINE) focus.MoveToXY(text.left, text.top);
        if (leftText) focus.MoveToXY(text.right - width, focus.top);
        focus.InflateRect(ClassicLook::LineWidth(), ClassicLook::LineWidth());
        focus &= client;
        ClassicLook::DrawFocusRect(dc, focus);
    }
}

void CButton::PaintGroupBox(CDC& dc, const CRect& client) {
    // A group box is transparent: only its frame and caption are drawn, so the
    // controls inside it stay visible.
    std::string caption = GetWindowText();
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    CRect frame = client;
    frame.top += metrics.tmHeight / 2;
    ClassicLook::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (caption.empty()) return;
    const int indent = DisplayScale::Scale(kGroupTextIndent), gapWidth = DisplayScale::Scale(kGroupTextGap);
    CRect text(client.left + indent, client.top, client.right - indent, client.top + metrics.tmHeight);
    CRect measured = text;
    dc.DrawText(caption, &measured, DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
    CRect gap(text.left - gapWidth, text.top, std::min(measured.right + gapWidth, text.right), text.bottom);
    ClassicLook::PaintBackground(this, dc, gap, WM_CTLCOLORSTATIC, GetSysColor(COLOR_BTNFACE));
    DrawCaption(dc, text, DT_LEFT | DT_SINGLELINE);
}
