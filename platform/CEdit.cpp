#include "platform/CEdit.h"

#include <algorithm>
#include <cctype>

#include "platform/CClientDC.h"
#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/ClassicLook.h"
#include "platform/Clipboard.h"
#include "platform/DisplayScale.h"
#include "platform/KeyboardState.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

namespace {

constexpr int kMargin = 1;  // between the border and the text, at 96 dpi

}  // namespace

CEdit::CEdit() = default;
CEdit::~CEdit() = default;

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Edit", "", style, rect, parent, id);
}

void CEdit::TakeOverState(CWnd& previous) {
    if (auto* edit = dynamic_cast<CEdit*>(&previous)) {
        m_model = edit->m_model;
        m_syncedText = edit->m_syncedText;
        m_limit = edit->m_limit;
    }
}

EditLineModel& CEdit::Model() const {
    std::string text = GetWindowText();
    if (text != m_syncedText) {
        m_model.SetText(text);
        m_syncedText = text;
    }
    return m_model;
}

void CEdit::SetSel(int startChar, int endChar, BOOL noScroll) {
    SendMessage(EM_SETSEL, WPARAM(startChar), LPARAM(endChar));
    (void)noScroll;
}

void CEdit::GetSel(int& startChar, int& endChar) const {
    DWORD start = 0, end = 0;
    const_cast<CEdit*>(this)->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                          reinterpret_cast<LPARAM>(&end));
    startChar = int(start);
    endChar = int(end);
}

void CEdit::ReplaceSel(const char* newText, BOOL canUndo) {
    SendMessage(EM_REPLACESEL, WPARAM(canUndo), reinterpret_cast<LPARAM>(newText));
}

void CEdit::SetLimitText(UINT maxChars) { SendMessage(EM_LIMITTEXT, WPARAM(maxChars)); }

BOOL CEdit::SetReadOnly(BOOL readOnly) { return BOOL(SendMessage(EM_SETREADONLY, WPARAM(readOnly))); }

int CEdit::GetCaretIndex() const { return int(Model().Caret()); }

int CEdit::GetScrollOffset() const { return Model().ScrollOffset(); }

std::string CEdit::DisplayText() const {
    const std::string& text = Model().Text();
    if (GetStyle() & ES_PASSWORD) return std::string(text.size(), '*');
    return text;
}

CRect CEdit::TextArea() const {
    CRect area;
    GetClientRect(&area);
    // The sunken edge is two lines.
    const bool edged = (GetStyle() & WS_BORDER) || (GetExStyle() & WS_EX_CLIENTEDGE);
    int border = edged ? 2 * ClassicLook::LineWidth() : 0;
    area.DeflateRect(border + DisplayScale::Scale(kMargin), border);
    return area;
}

int CEdit::PrefixWidth(size_t count) const {
    CClientDC dc(const_cast<CEdit*>(this));
    dc.SelectObject(ClassicLook::ControlFont(this));
    std::string shown = DisplayText();
    return dc.GetTextExtent(shown.substr(0, std::min(count, shown.size()))).cx;
}

int CEdit::TextOrigin() const {
    CRect area = TextArea();
    int x = area.left - Model().ScrollOffset();
    if (!(GetStyle() & (ES_CENTER | ES_RIGHT))) return x;
    // The caret keeps its room after the last character.
    int slack = area.Width() - PrefixWidth(Model().Text().size()) - ClassicLook::LineWidth();
    if (slack <= 0) return x;
    return x + ((GetStyle() & ES_RIGHT) ? slack : slack / 2);
}

void CEdit::ScrollToCaret() {
    Model().KeepCaretVisible(TextArea().Width(), [this](size_t n) { return PrefixWidth(n); });
}

void CEdit::Notify(UINT code) {
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(UINT(GetDlgCtrlID()), code),
                            reinterpret_cast<LPARAM>(this));
}

void CEdit::CommitEdit(const std::string& before) {
    ScrollToCaret();
    Invalidate(FALSE);
    if (m_model.Text() == before) return;
    m_syncedText = m_model.Text();
    SetWindowText(m_model.Text());
    Notify(EN_UPDATE);
    Notify(EN_CHANGE);
}

bool CEdit::Insert(const std::string& text) {
    EditLineModel& model = Model();
    std::string filtered;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if ((GetStyle() & ES_NUMBER) && !std::isdigit(u)) continue;
        if (GetStyle() & ES_UPPERCASE) c = char(std::toupper(u));
        if (GetStyle() & ES_LOWERCASE) c = char(std::tolower(u));
        filtered += c;
    }
    if (m_limit > 0) {
        size_t room = m_limit - std::min<size_t>(m_limit, model.Text().size() -
                                                              (model.SelEnd() - model.SelStart()));
        filtered.resize(std::min(filtered.size(), room));
    }
    std::string before = model.Text();
    EditLineModel saved = model;
    model.ReplaceSelection(filtered);
    // Without horizontal scrolling a line holds only what fits in the control.
    if (!(GetStyle() & ES_AUTOHSCROLL) && PrefixWidth(model.Text().size()) >= TextArea().Width()) {
        model = saved;
        return false;
    }
    CommitEdit(before);
    return true;
}

bool CEdit::OnKeyDown(UINT key) {
    if (key == VK_SHIFT || key == VK_CONTROL) {
        KeyboardState::KeyMessage(key, true);
        return true;
    }
    EditLineModel& model = Model();
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    std::string before = model.Text();
    switch (key) {
        case VK_LEFT:
            if (control) model.MoveWordLeft(shift); else model.MoveLeft(shift);
            break;
        case VK_RIGHT:
            if (control) model.MoveWordRight(shift); else model.MoveRight(shift);
            break;
        case VK_HOME: model.MoveHome(shift); break;
        case VK_END: model.MoveEnd(shift); break;
        case VK_DELETE:
            if (IsReadOnly()) return true;
            model.Delete();
            break;
        case 'A':
            if (!control) return false;
            model.SelectAll();
            break;
        default:
            return false;
    }
    CommitEdit(before);
    return true;
}

void CEdit::OnCharacter(UINT ch) {
    EditLineModel& model = Model();
    if (ch == 0x01) {  // Ctrl+A
        model.SelectAll();
        CommitEdit(model.Text());
        return;
    }
    if (ch == 0x03) {  // Ctrl+C
        SendMessage(WM_COPY);
        return;
    }
    if (ch == 0x18) {  // Ctrl+X
        SendMessage(WM_CUT);
        return;
    }
    if (ch == 0x16) {  // Ctrl+V
        SendMessage(WM_PASTE);
        return;
    }
    if (IsReadOnly()) return;
    if (ch == VK_BACK) {
        std::string before = model.Text();
        model.Backspace();
        CommitEdit(before);
        return;
    }
    if (ch < 0x20 || ch == 0x7F || ch > 0xFF) return;
    Insert(std::string(1, char(ch)));
}

void CEdit::OnMouseDown(WPARAM flags, CPoint point, bool doubleClick) {
    if (!HasFocus()) SetFocus();
    EditLineModel& model = Model();
    size_t pos = model.PositionAt(point.x - TextOrigin() - model.ScrollOffset(),
                                  [this](size_t n) { return PrefixWidth(n); });
    if (doubleClick) {
        // The word under the pointer.
        const std::string& text = model.Text();
        size_t start = pos, end = pos;
        while (start > 0 && !std::isspace(static_cast<unsigned char>(text[start - 1]))) --start;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
        model.Select(start, end);
    } else {
        model.MoveTo(pos, (flags & MK_SHIFT) != 0);
        m_selecting = true;
        SetCapture();
    }
    CommitEdit(model.Text());
}

void CEdit::OnMouseDrag(CPoint point) {
    if (!m_selecting || GetCapture() != this) return;
    EditLineModel& model = Model();
    size_t pos = model.PositionAt(point.x - TextOrigin() - model.ScrollOffset(),
                                  [this](size_t n) { return PrefixWidth(n); });
    model.MoveTo(pos, true);
    CommitEdit(model.Text());
}

LRESULT CEdit::OnGetSel(WPARAM wParam, LPARAM lParam) const {
    const EditLineModel& model = Model();
    DWORD start = DWORD(model.SelStart()), end = DWORD(model.SelEnd());
    if (auto* p = reinterpret_cast<DWORD*>(wParam)) *p = start;
    if (auto* p = reinterpret_cast<DWORD*>(lParam)) *p = end;
    return LRESULT(std::min<DWORD>(start, 0xFFFF) | (std::min<DWORD>(end, 0xFFFF) << 16));
}

void CEdit::OnSetSel(int start, int end) {
    EditLineModel& model = Model();
    size_t length = model.Text().size();
    if (start == -1) {
        model.MoveTo(model.Caret(), false);  // removes the selection
    } else {
        size_t s = start < 0 ? length : size_t(start);
        size_t e = end < 0 ? length : size_t(end);
        model.Select(s, e);
    }
    CommitEdit(model.Text());
}

LRESULT CEdit::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        case WM_SETCURSOR:
            if (LOWORD(uintptr_t(lParam)) == HTCLIENT) {
                ::SetCursor(LoadStockCursor(IDC_IBEAM));
                return TRUE;
            }
            break;
        case WM_SETFOCUS:
            Invalidate(FALSE);
            Notify(EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            m_selecting = false;
            Invalidate(FALSE);
            Notify(EN_KILLFOCUS);
            return 0;
        case WM_ENABLE:
            Invalidate(FALSE);
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(UINT(wParam))) return 0;
            break;
        case WM_KEYUP:
            if (wParam == VK_SHIFT || wParam == VK_CONTROL) {
                KeyboardState::KeyMessage(UINT(wParam), false);
                return 0;
            }
            break;
        case WM_CHAR:
            OnCharacter(UINT(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnMouseDown(wParam, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)),
                        message == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseDrag(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        case WM_LBUTTONUP:
            if (m_selecting) {
                m_selecting = false;
                if (GetCapture() == this) ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED:
            m_selecting = false;
            return 0;
        case WM_SETTEXT: {
            LRESULT result = CWnd::DefWindowProc(message, wParam, lParam);
            Model();
            Invalidate(FALSE);
            return result;
        }
        case WM_COPY:
        case WM_CUT: {
            // A password never leaves its edit.
            EditLineModel& model = Model();
            if ((GetStyle() & ES_PASSWORD) || !model.HasSelection()) return 0;
            Clipboard::SetText(model.SelectedText());
            if (message == WM_CUT && !IsReadOnly()) {
                std::string before = model.Text();
                model.ReplaceSelection("");
                CommitEdit(before);
            }
            return 0;
        }
        case WM_PASTE:
            if (!IsReadOnly() && Clipboard::HasText()) Insert(Clipboard::GetText());
            return 0;
        case EM_GETSEL:
            return OnGetSel(wParam, lParam);
        case EM_SETSEL:
            OnSetSel(int(intptr_t(wParam)), int(intptr_t(lParam)));
            return 0;
        case EM_REPLACESEL:
            if (lParam) Insert(reinterpret_cast<const char*>(lParam));
            return 0;
        case EM_LIMITTEXT:
            m_limit = UINT(wParam);
            return 0;
        case EM_GETLIMITTEXT:
            return LRESULT(m_limit);
        case EM_SETREADONLY:
            ModifyStyle(wParam ? 0 : ES_READONLY, wParam ? ES_READONLY : 0);
            Invalidate(FALSE);
            return TRUE;
        default:
            break;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CEdit::Paint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.SelectObject(ClassicLook::ControlFont(this));
    bool enabled = IsWindowEnabled();
    bool greyBackground = !enabled || IsReadOnly();
    ClassicLook::PaintBackground(this, dc, client, greyBackground ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                 GetSysColor(greyBackground ? COLOR_BTNFACE : COLOR_WINDOW));
    COLORREF textColour = enabled ? dc.GetTextColor() : GetSysColor(COLOR_GRAYTEXT);
    if ((GetStyle() & WS_BORDER) || (GetExStyle() & WS_EX_CLIENTEDGE)) {
        CRect edge = client;
        ClassicLook::DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    }

    CRect area = TextArea();
    dc.SaveDC();
    dc.IntersectClipRect(area);
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    int top = area.top + std::max(0, (area.Height() - int(metrics.tmHeight)) / 2);
    int x = TextOrigin();
    std::string shown = DisplayText();
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(textColour);
    dc.TextOut(x, top, shown);

    const EditLineModel& model = Model();
    bool focused = HasFocus();
    if (model.HasSelection() && (focused || (GetStyle() & ES_NOHIDESEL)) && enabled) {
        int left = x + PrefixWidth(model.SelStart());
        int right = x + PrefixWidth(model.SelEnd());
        dc.FillSolidRect(CRect(left, top, right, top + metrics.tmHeight), GetSysColor(COLOR_HIGHLIGHT));
        dc.SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
        dc.IntersectClipRect(left, top, right, top + metrics.tmHeight);
        dc.TextOut(x, top, shown);
    }
    dc.RestoreDC(-1);
    if (focused && enabled) {
        int caretX = x + PrefixWidth(model.Caret());
        const int caretWidth = ClassicLook::LineWidth();
        if (caretX >= area.left - caretWidth && caretX < area.right + caretWidth)
            dc.FillSolidRect(caretX, top, caretWidth, metrics.tmHeight, GetSysColor(COLOR_WINDOWTEXT));
    }
}
