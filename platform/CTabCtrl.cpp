#include "platform/CTabCtrl.h"

#include <algorithm>
#include <cstring>

#include "platform/CClientDC.h"
#include "platform/CDC.h"
#include "platform/CImageList.h"
#include "platform/CPaintDC.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"

namespace {

// At 96 dpi, in pixels.
constexpr int kPadding = 6;     // left and right of an item's content
constexpr int kImageGap = 3;    // between picture and text
constexpr int kFirstItemX = 2;  // the selected tab grows 2 pixels to each side
constexpr int kRaise = 2;       // and 2 pixels up
constexpr int kItemExtra = 5;   // an item's height beyond its text or picture
constexpr int kBodyInset = 4;   // the display area inside the body's edges
constexpr int kFocusTop = 2;    // the focus rectangle below the tab's top

int Raise() { return DisplayScale::Scale(kRaise); }

}  // namespace

CTabCtrl::CTabCtrl() = default;
CTabCtrl::~CTabCtrl() = default;

BOOL CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SysTabControl32", "", style, rect, parent, id);
}

void CTabCtrl::TakeOverState(CWnd& previous) {
    if (auto* tabs = dynamic_cast<CTabCtrl*>(&previous)) {
        m_items = tabs->m_items;
        m_current = tabs->m_current;
        m_images = tabs->m_images;
    }
}

CImageList* CTabCtrl::SetImageList(CImageList* imageList) {
    CImageList* previous = m_images;
    m_images = imageList;
    Invalidate(FALSE);
    return previous;
}

int CTabCtrl::InsertItem(int nItem, const char* text, int image) {
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    return InsertItem(nItem, &item);
}

int CTabCtrl::InsertItem(int nItem, const TCITEM* source) {
    if (!source || nItem < 0) return -1;
    Item item;
    if ((source->mask & TCIF_TEXT) && source->pszText) item.text = source->pszText;
    if (source->mask & TCIF_IMAGE) item.image = source->iImage;
    if (source->mask & TCIF_PARAM) item.param = source->lParam;
    size_t index = std::min(size_t(nItem), m_items.size());
    m_items.insert(m_items.begin() + long(index), item);
    // The first item becomes the selection; a selection after the new item moves up.
    if (m_current < 0)
        m_current = 0;
    else if (size_t(m_current) >= index)
        ++m_current;
    Invalidate(FALSE);
    return int(index);
}

BOOL CTabCtrl::GetItem(int nItem, TCITEM* out) const {
    if (!out || nItem < 0 || size_t(nItem) >= m_items.size()) return FALSE;
    const Item& item = m_items[size_t(nItem)];
    if ((out->mask & TCIF_TEXT) && out->pszText && out->cchTextMax > 0) {
        size_t n = std::min(item.text.size(), size_t(out->cchTextMax - 1));
        std::memcpy(out->pszText, item.text.data(), n);
        out->pszText[n] = '\0';
    }
    if (out->mask & TCIF_IMAGE) out->iImage = item.image;
    if (out->mask & TCIF_PARAM) out->lParam = item.param;
    return TRUE;
}

BOOL CTabCtrl::SetItem(int nItem, const TCITEM* source) {
    if (!source || nItem < 0 || size_t(nItem) >= m_items.size()) return FALSE;
    Item& item = m_items[size_t(nItem)];
    if (source->mask & TCIF_TEXT) item.text = source->pszText ? source->pszText : "";
    if (source->mask & TCIF_IMAGE) item.image = source->iImage;
    if (source->mask & TCIF_PARAM) item.param = source->lParam;
    Invalidate(FALSE);
    return TRUE;
}

BOOL CTabCtrl::DeleteItem(int nItem) {
    if (nItem < 0 || size_t(nItem) >= m_items.size()) return FALSE;
    m_items.erase(m_items.begin() + nItem);
    if (m_current == nItem)
        m_current = m_items.empty() ? -1 : std::min(nItem, int(m_items.size()) - 1);
    else if (m_current > nItem)
        --m_current;
    Invalidate(FALSE);
    return TRUE;
}

BOOL CTabCtrl::DeleteAllItems() {
    m_items.clear();
    m_current = -1;
    Invalidate(FALSE);
    return TRUE;
}

int CTabCtrl::SetCurSel(int nItem) {
    if (nItem < 0 || size_t(nItem) >= m_items.size()) return -1;
    int previous = m_current;
    m_current = nItem;
    Invalidate(FALSE);
    return previous;
}

int CTabCtrl::ItemHeight() const {
    CClientDC dc(const_cast<CTabCtrl*>(this));
    dc.SelectObject(ClassicLook::ControlFont(this));
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    int content = metrics.tmHeight;
    if (m_images) content = std::max(content, int(m_images->GetImageSize().cy));
    return content + DisplayScale::Scale(kItemExtra);
}

int CTabCtrl::RowBottom() const { return Raise() + ItemHeight(); }

void CTabCtrl::Layout() const {
    CClientDC dc(const_cast<CTabCtrl*>(this));
    dc.SelectObject(ClassicLook::ControlFont(this));
    int height = ItemHeight();
    int x = DisplayScale::Scale(kFirstItemX);
    m_itemRects.clear();
    for (const Item& item : m_items) {
        int width = 2 * DisplayScale::Scale(kPadding) + dc.GetTextExtent(item.text).cx;
        if (m_images && item.image >= 0)
            width += m_images->GetImageSize().cx + (item.text.empty() ? 0 : DisplayScale::Scale(kImageGap));
        m_itemRects.emplace_back(x, Raise(), x + width, Raise() + height);
        x += width;
    }
}

BOOL CTabCtrl::GetItemRect(int nItem, LPRECT rect) const {
    if (!rect || nItem < 0 || size_t(nItem) >= m_items.size()) return FALSE;
    Layout();
    *rect = m_itemRects[size_t(nItem)];
    return TRUE;
}

int CTabCtrl::HitTest(TCHITTESTINFO* info) const {
    if (!info) return -1;
    Layout();
    info->flags = TCHT_NOWHERE;
    // The selected tab is drawn larger and on top, so it is tested first.
    if (m_current >= 0) {
        CRect selected = m_itemRects[size_t(m_current)];
        selected.InflateRect(Raise(), Raise(), Raise(), 0);
        if (selected.PtInRect(info->pt)) {
            info->flags = TCHT_ONITEM;
            return m_current;
        }
    }
    for (size_t i = 0; i < m_itemRects.size(); ++i)
        if (m_itemRects[i].PtInRect(info->pt)) {
            info->flags = TCHT_ONITEM;
            return int(i);
        }
    return -1;
}

void CTabCtrl::AdjustRect(BOOL larger, LPRECT rect) const {
    if (!rect) return;
    const int inset = DisplayScale::Scale(kBodyInset);
    const int top = RowBottom() + DisplayScale::Scale(kRaise);
    if (larger) {
        rect->left -= inset;
        rect->right += inset;
        rect->bottom += inset;
        rect->top -= top;
    } else {
        rect->left += inset;
        rect->right -= inset;
        rect->bottom -= inset;
        rect->top += top;
    }
}

bool CTabCtrl::LocateScriptItem(ScriptItem kind, int value, POINT& clientPoint) const {
    CRect rect;
    if (kind != ScriptItem::Tab || !GetItemRect(value, &rect)) return false;
    clientPoint = rect.CenterPoint();
    return true;
}

LRESULT CTabCtrl::Notify(UINT code) {
    CWnd* parent = GetParent();
    if (!parent) return 0;
    NMHDR header{this, UINT_PTR(GetDlgCtrlID()), code};
    return parent->SendMessage(WM_NOTIFY, WPARAM(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&header));
}

void CTabCtrl::SelectByUser(int nItem) {
    if (nItem < 0 || size_t(nItem) >= m_items.size() || nItem == m_current) return;
    if (Notify(TCN_SELCHANGING)) return;  // the parent refused
    m_current = nItem;
    Invalidate(FALSE);
    Notify(TCN_SELCHANGE);
}

LRESULT CTabCtrl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN: {
            TCHITTESTINFO info{{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0};
            int hit = HitTest(&info);
            if (hit < 0) return 0;
            SetFocus();
            SelectByUser(hit);
            Notify(NM_CLICK);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_LEFT || wParam == VK_RIGHT) {
                if (m_current >= 0) SelectByUser(m_current + (wParam == VK_LEFT ? -1 : 1));
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETFONT:
            Invalidate(FALSE);
            break;
        default:
            break;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CTabCtrl::PaintItem(CDC& dc, int index, bool selected) const {
    const int line = ClassicLook::LineWidth();
    CRect r = m_itemRects[size_t(index)];
    // The selected tab also covers the body's top line below it.
    if (selected) r.InflateRect(Raise(), Raise(), Raise(), line);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    dc.FillSolidRect(r, face);
    // Left and top in highlight with a cut corner, right in shadow and dark
    // shadow; every line and the corner's step `line` pixels wide.
    dc.FillSolidRect(r.left, r.top + 2 * line, line, r.Height() - 2 * line, highlight);
    dc.FillSolidRect(r.left + line, r.top + line, line, line, highlight);
    dc.FillSolidRect(r.left + 2 * line, r.top, r.Width() - 4 * line, line, highlight);
    dc.FillSolidRect(r.right - 2 * line, r.top + 2 * line, line, r.Height() - 2 * line, shadow);
    dc.FillSolidRect(r.right - line, r.top + 2 * line, line, r.Height() - 2 * line, dark);
    dc.FillSolidRect(r.right - 2 * line, r.top + line, line, line, dark);

    const Item& item = m_items[size_t(index)];
    CRect content = m_itemRects[size_t(index)];
    content.DeflateRect(DisplayScale::Scale(kPadding), 0);
    if (selected) content.OffsetRect(0, -line);
    if (m_images && item.image >= 0) {
        SIZE size = m_images->GetImageSize();
        m_images->Draw(&dc, item.image, CPoint(content.left, content.top + (content.Height() - size.cy) / 2),
                       ILD_TRANSPARENT);
        content.left += size.cx + DisplayScale::Scale(kImageGap);
    }
    UINT format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    dc.SetBkMode(TRANSPARENT);
    if (!IsWindowEnabled()) {
        ClassicLook::DrawEngravedText(dc, item.text, content, format);
    } else {
        dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
        CRect text = content;
        dc.DrawText(item.text, &text, format);
    }
    if (selected && GetFocus() == this) {
        CRect measured = content;
        dc.DrawText(item.text, &measured, format | DT_CALCRECT);
        CRect focus(content.left - line, content.top + DisplayScale::Scale(kFocusTop),
                    std::min(measured.right, content.right) + line, content.bottom - line);
        ClassicLook::DrawFocusRect(dc, focus);
    }
}

void CTabCtrl::Paint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.SelectObject(ClassicLook::ControlFont(this));
    ClassicLook::PaintBackground(this, dc, client, WM_CTLCOLORSTATIC, GetSysColor(COLOR_BTNFACE));
    Layout();
    CRect body(client.left, RowBottom(), client.right, client.bottom);
    if (body.Height() > 0) ClassicLook::DrawEdge(dc, &body, EDGE_RAISED, BF_RECT | BF_SOFT);
    for (size_t i = 0; i < m_items.size(); ++i)
        if (int(i) != m_current) PaintItem(dc, int(i), false);
    if (m_current >= 0) PaintItem(dc, m_current, true);
}
