#include "platform/CListBox.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/CClientDC.h"
#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WindowClassRegistry.h"
#include "platform/WindowManager.h"

namespace {

// At 96 dpi, in pixels.
constexpr int kScrollBarWidth = 16;
constexpr int kMinThumb = 8;
constexpr int kTextMargin = 2;
constexpr int kItemExtra = 2;  // an item's height beyond its text
constexpr int kWheelLines = 3;
constexpr int kWheelDelta = 120;
// The classic defaults of the double-click time and rectangle.
constexpr DWORD kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 2;

int ScrollBarWidth() { return DisplayScale::Scale(kScrollBarWidth); }

}  // namespace

CListBox::CListBox() = default;
CListBox::~CListBox() = default;

void CListBox::RegisterWindowClass() {
    WindowClassRegistry::Register("ListBox", []() -> CWnd* { return new CListBox; });
}

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("ListBox", "", style, rect, parent, id);
}

void CListBox::TakeOverState(CWnd& previous) {
    if (auto* list = dynamic_cast<CListBox*>(&previous)) {
        m_items = list->m_items;
        m_selected = list->m_selected;
        m_top = list->m_top;
    }
}

// ---- items ----

int CListBox::AddString(const char* text) {
    m_items.push_back(Item{text ? text : "", 0});
    Invalidate(FALSE);
    return int(m_items.size()) - 1;
}

int CListBox::DeleteString(int index) {
    if (!Valid(index)) return LB_ERR;
    m_items.erase(m_items.begin() + index);
    if (m_selected == index) m_selected = -1;
    else if (m_selected > index) --m_selected;
    m_top = std::min(m_top, MaxTop());
    Invalidate(FALSE);
    return GetCount();
}

void CListBox::ResetContent() {
    m_items.clear();
    m_selected = -1;
    m_top = 0;
    Invalidate(FALSE);
}

int CListBox::GetCount() const { return int(m_items.size()); }

int CListBox::GetCurSel() const { return Valid(m_selected) ? m_selected : LB_ERR; }

int CListBox::SetCurSel(int index) {
    if (index != -1 && !Valid(index)) return LB_ERR;
    m_selected = index;
    if (index >= 0) EnsureVisible(index);
    Invalidate(FALSE);
    return index;
}

int CListBox::GetText(int index, std::string& text) const {
    if (!Valid(index)) return LB_ERR;
    text = m_items[size_t(index)].text;
    return int(text.size());
}

DWORD_PTR CListBox::GetItemData(int index) const {
    return Valid(index) ? m_items[size_t(index)].data : DWORD_PTR(LB_ERR);
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
    if (!Valid(index)) return LB_ERR;
    m_items[size_t(index)].data = data;
    return 0;
}

int CListBox::GetTopIndex() const { return m_top; }

int CListBox::SetTopIndex(int index) {
    if (!Valid(index)) return LB_ERR;
    ScrollTo(index);
    return 0;
}

// ---- geometry ----

int CListBox::GetItemHeight() const {
    CClientDC dc(const_cast<CListBox*>(this));
    dc.SelectObject(ClassicLook::ControlFont(this));
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    return std::max(1, int(metrics.tmHeight) + DisplayScale::Scale(kItemExtra));
}

int CListBox::Border() const {
    // The sunken edge is two lines.
    return (GetStyle() & WS_BORDER) || (GetExStyle() & WS_EX_CLIENTEDGE) ? 2 * ClassicLook::LineWidth() : 0;
}

int CListBox::VisibleRows() const {
    CRect client;
    GetClientRect(&client);
    const int height = client.Height() - 2 * Border();
    return std::max(1, height / GetItemHeight());
}

bool CListBox::HasScrollBar() const { return GetCount() > VisibleRows(); }

CRect CListBox::ListArea() const {
    CRect area;
    GetClientRect(&area);
    area.DeflateRect(Border(), Border());
    if (HasScrollBar()) area.right = std::max(area.left, area.right - ScrollBarWidth());
    return area;
}

CRect CListBox::ScrollBarRect() const {
    CRect bar;
    GetClientRect(&bar);
    bar.DeflateRect(Border(), Border());
    bar.left = std::max(bar.left, bar.right - ScrollBarWidth());
    return bar;
}

CRect CListBox::ThumbRect() const {
    const CRect bar = ScrollBarRect();
    const int arrow = std::min(ScrollBarWidth(), bar.Height() / 2);
    const int track = bar.Height() - 2 * arrow;
    const int count = std::max(1, GetCount());
    const int thumb = std::min(track, std::max(DisplayScale::Scale(kMinThumb), track * VisibleRows() / count));
    const int maxTop = MaxTop();
    const int offset = maxTop > 0 ? (track - thumb) * m_top / maxTop : 0;
    return CRect(bar.left, bar.top + arrow + offset, bar.right, bar.top + arrow + offset + thumb);
}

int CListBox::MaxTop() const { return std::max(0, GetCount() - VisibleRows()); }

void CListBox::ScrollTo(int top) {
    top = std::max(0, std::min(top, MaxTop()));
    if (top == m_top) return;
    m_top = top;
    Invalidate(FALSE);
}

void CListBox::EnsureVisible(int index) {
    if (index < m_top) ScrollTo(index);
    else if (index >= m_top + VisibleRows()) ScrollTo(index - VisibleRows() + 1);
}

int CListBox::ItemAt(CPoint point) const {
    const CRect area = ListArea();
    if (!area.PtInRect(point)) return -1;
    const int index = m_top + (point.y - area.top) / GetItemHeight();
    return Valid(index) ? index : -1;
}

CListBox::BarPart CListBox::BarPartAt(CPoint point) const {
    if (!HasScrollBar()) return BarPart::None;
    const CRect bar = ScrollBarRect();
    if (!bar.PtInRect(point)) return BarPart::None;
    const int arrow = std::min(ScrollBarWidth(), bar.Height() / 2);
    if (point.y < bar.top + arrow) return BarPart::Up;
    if (point.y >= bar.bottom - arrow) return BarPart::Down;
    const CRect thumb = ThumbRect();
    if (point.y < thumb.top) return BarPart::PageUp;
    if (point.y >= thumb.bottom) return BarPart::PageDown;
    return BarPart::Thumb;
}

// ---- user actions ----

void CListBox::Notify(UINT code) {
    if (!(GetStyle() & LBS_NOTIFY)) return;
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(UINT(GetDlgCtrlID()), code), reinterpret_cast<LPARAM>(this));
}

void CListBox::SelectByUser(int index) {
    if (!Valid(index)) return;
    EnsureVisible(index);
    if (index == m_selected) return;
    m_selected = index;
    Invalidate(FALSE);
    Notify(LBN_SELCHANGE);
}

bool CListBox::OnKeyDown(UINT key) {
    if (m_items.empty()) return false;
    const int last = GetCount() - 1;
    const int current = Valid(m_selected) ? m_selected : -1;
    const int page = std::max(1, VisibleRows() - 1);
    int target = current;
    switch (key) {
        case VK_UP: target = current < 0 ? 0 : current - 1; break;
        case VK_DOWN: target = current + 1; break;
        case VK_HOME: target = 0; break;
        case VK_END: target = last; break;
        case VK_PRIOR: target = current < 0 ? 0 : current - page; break;
        case VK_NEXT: target = current < 0 ? page : current + page; break;
        default: return false;
    }
    SelectByUser(std::max(0, std::min(target, last)));
    return true;
}

void CListBox::OnCharacter(UINT ch) {
    if (ch < 0x20 || m_items.empty()) return;
    // The next item after the selection that starts with the letter typed.
    const int count = GetCount();
    const int start = Valid(m_selected) ? m_selected + 1 : 0;
    const int wanted = std::tolower(int(ch & 0xFF));
    for (int i = 0; i < count; ++i) {
        const int index = (start + i) % count;
        const std::string& text = m_items[size_t(index)].text;
        if (!text.empty() && std::tolower(static_cast<unsigned char>(text[0])) == wanted) {
            SelectByUser(index);
            return;
        }
    }
}

void CListBox::OnButtonDown(CPoint point, bool doubleClick) {
    if (GetFocus() != this) SetFocus();
    const BarPart part = BarPartAt(point);
    if (part != BarPart::None) {
        OnScrollBarDown(part, point);
        return;
    }
    const int index = ItemAt(point);
    if (index < 0) return;
    const DWORD now = GetTickCount();
    const int slop = DisplayScale::Scale(kDoubleClickSlop);
    doubleClick = doubleClick || (index == m_lastPressItem && now - m_lastPressTime <= kDoubleClickMs &&
                                  std::abs(point.x - m_lastPressPoint.x) <= slop &&
                                  std::abs(point.y - m_lastPressPoint.y) <= slop);
    // A third press starts over rather than making a second double click.
    m_lastPressItem = doubleClick ? -1 : index;
    m_lastPressTime = now;
    m_lastPressPoint = point;
    SelectByUser(index);
    if (doubleClick) {
        Notify(LBN_DBLCLK);
        return;
    }
    m_selecting = true;
    SetCapture();
}

void CListBox::OnScrollBarDown(BarPart part, CPoint point) {
    const int page = std::max(1, VisibleRows() - 1);
    switch (part) {
        case BarPart::Up: ScrollTo(m_top - 1); break;
        case BarPart::Down: ScrollTo(m_top + 1); break;
        case BarPart::PageUp: ScrollTo(m_top - page); break;
        case BarPart::PageDown: ScrollTo(m_top + page); break;
        case BarPart::Thumb:
            m_draggingThumb = true;
            m_dragOffset = point.y - ThumbRect().top;
            SetCapture();
            break;
        case BarPart::None: break;
    }
}

void CListBox::OnMouseMove(CPoint point) {
    if (m_draggingThumb) {
        const CRect bar = ScrollBarRect();
        const CRect thumb = ThumbRect();
        const int arrow = std::min(ScrollBarWidth(), bar.Height() / 2);
        const int room = bar.Height() - 2 * arrow - thumb.Height();
        if (room <= 0) return;
        const int offset = std::max(0, std::min(room, point.y - m_dragOffset - (bar.top + arrow)));
        ScrollTo(int((long long)offset * MaxTop() / room));
        return;
    }
    if (!m_selecting) return;
    // Dragging past the ends scrolls on, one item per move.
    const CRect area = ListArea();
    if (point.y < area.top) SelectByUser(std::max(0, m_top - 1));
    else if (point.y >= area.bottom) SelectByUser(std::min(GetCount() - 1, m_top + VisibleRows()));
    else {
        const int index = ItemAt(CPoint(area.left, point.y));
        if (index >= 0) SelectByUser(index);
    }
}

// ---- painting ----

void CListBox::PaintScrollBar(CDC& dc) {
    const CRect bar = ScrollBarRect();
    const int arrow = std::min(ScrollBarWidth(), bar.Height() / 2);
    dc.FillSolidRect(bar, GetSysColor(COLOR_SCROLLBAR));
    CRect up(bar.left, bar.top, bar.right, bar.top + arrow);
    CRect down(bar.left, bar.bottom - arrow, bar.right, bar.bottom);
    dc.DrawFrameControl(&up, DFC_SCROLL, DFCS_SCROLLUP | (m_top == 0 ? DFCS_INACTIVE : 0));
    dc.DrawFrameControl(&down, DFC_SCROLL, DFCS_SCROLLDOWN | (m_top >= MaxTop() ? DFCS_INACTIVE : 0));
    CRect thumb = ThumbRect();
    dc.FillSolidRect(thumb, GetSysColor(COLOR_BTNFACE));
    ClassicLook::DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT);
}

void CListBox::Paint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (Border()) {
        CRect edge = client;
        ClassicLook::DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    }
    const bool enabled = IsWindowEnabled();
    const CRect area = ListArea();
    ClassicLook::PaintBackground(this, dc, area, WM_CTLCOLORLISTBOX,
                                 GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    dc.SelectObject(ClassicLook::ControlFont(this));
    dc.SetBkMode(TRANSPARENT);
    dc.IntersectClipRect(area);
    const int height = GetItemHeight();
    const bool focused = GetFocus() == this;
    for (int index = m_top, y = area.top; index < GetCount() && y < area.bottom; ++index, y += height) {
        CRect row(area.left, y, area.right, y + height);
        const bool selected = index == m_selected;
        if (selected) dc.FillSolidRect(row, GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        dc.SetTextColor(GetSysColor(!enabled ? COLOR_GRAYTEXT
                                    : selected && focused ? COLOR_HIGHLIGHTTEXT
                                                          : COLOR_WINDOWTEXT));
        CRect text = row;
        text.left += DisplayScale::Scale(kTextMargin);
        dc.DrawText(m_items[size_t(index)].text, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (selected && focused) ClassicLook::DrawFocusRect(dc, row);
    }
    if (HasScrollBar()) {
        dc.SelectClipRgn(nullptr);
        PaintScrollBar(dc);
    }
}

LRESULT CListBox::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (message) {
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;  // painting covers the whole control
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SIZE:
            Invalidate(FALSE);
            return 0;
        case WM_KEYDOWN: return OnKeyDown(UINT(wParam)) ? 0 : CWnd::DefWindowProc(message, wParam, lParam);
        case WM_CHAR: OnCharacter(UINT(wParam)); return 0;
        case WM_LBUTTONDOWN: OnButtonDown(point, false); return 0;
        case WM_LBUTTONDBLCLK: OnButtonDown(point, true); return 0;
        case WM_MOUSEMOVE: OnMouseMove(point); return 0;
        case WM_LBUTTONUP:
            if (m_selecting || m_draggingThumb) ::ReleaseCapture();
            m_selecting = m_draggingThumb = false;
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<CWnd*>(lParam) != this) m_selecting = m_draggingThumb = false;
            return 0;
        case WM_MOUSEWHEEL: {
            const int notches = int(int16_t(HIWORD(wParam))) / kWheelDelta;
            ScrollTo(m_top - notches * kWheelLines);
            return 0;
        }
        case LB_ADDSTRING: return AddString(reinterpret_cast<const char*>(lParam));
        case LB_DELETESTRING: return DeleteString(int(wParam));
        case LB_RESETCONTENT: ResetContent(); return 0;
        case LB_SETCURSEL: return SetCurSel(int(wParam));
        case LB_GETCURSEL: return GetCurSel();
        case LB_GETTEXTLEN: return Valid(int(wParam)) ? LRESULT(m_items[wParam].text.size()) : LB_ERR;
        case LB_GETCOUNT: return GetCount();
        case LB_GETTOPINDEX: return GetTopIndex();
        case LB_SETTOPINDEX: return SetTopIndex(int(wParam));
        case LB_GETITEMDATA: return LRESULT(GetItemData(int(wParam)));
        case LB_SETITEMDATA: return SetItemData(int(wParam), DWORD_PTR(lParam));
        case LB_GETITEMHEIGHT: return GetItemHeight();
        default: return CWnd::DefWindowProc(message, wParam, lParam);
    }
}
