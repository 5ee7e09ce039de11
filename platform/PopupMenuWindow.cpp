#include "platform/PopupMenuWindow.h"

#include <algorithm>
#include <cctype>

#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

namespace {

// At 96 dpi, in pixels.
constexpr int kBorder = 3;        // raised edge and one pixel of face
constexpr int kCheckColumn = 17;  // left of the text: check marks
constexpr int kArrowColumn = 17;  // right of the text: submenu arrows
constexpr int kAcceleratorGap = 12;
constexpr int kSeparatorHeight = 9;
constexpr int kItemExtra = 5;     // a text item's height beyond the text
constexpr int kTickSize = 7;      // the check mark
constexpr int kArrowColumns = 4;  // the submenu arrow's width
constexpr int kArrowInset = 2;    // the arrow left of the column's middle

int Border() { return DisplayScale::Scale(kBorder); }
int CheckColumn() { return DisplayScale::Scale(kCheckColumn); }

// "Label\tAccelerator": the label and the text after the last tab.
void SplitText(const std::string& text, std::string& label, std::string& accelerator) {
    size_t tab = text.find('\t');
    if (tab == std::string::npos) {
        label = text;
        accelerator.clear();
        return;
    }
    label = text.substr(0, tab);
    accelerator = text.substr(text.rfind('\t') + 1);
}

}  // namespace

PopupMenuWindow::PopupMenuWindow(HMENU menu, CWnd* owner) : m_menu(menu), m_owner(owner) {}

PopupMenuWindow::~PopupMenuWindow() = default;

CSize PopupMenuWindow::MeasureOwnerDrawn(size_t i) {
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = UINT(m_items[i].id);
    measure.itemData = m_items[i].itemData;
    if (m_owner) m_owner->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    // An owner that does not measure leaves it to the menu object.
    if (measure.itemWidth == 0 && measure.itemHeight == 0)
        if (CMenu* object = CMenu::FromHandlePermanent(m_menu)) object->MeasureItem(&measure);
    // Keep hostile sizes within what a window can show.
    int width = int(std::min<UINT>(measure.itemWidth, 4096));
    int height = int(std::min<UINT>(measure.itemHeight, 1024));
    return CSize(width, height);
}

CSize PopupMenuWindow::Measure() {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT)));
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    const int textHeight = metrics.tmHeight + DisplayScale::Scale(kItemExtra);
    int labelWidth = 0, acceleratorWidth = 0, ownerWidth = 0;
    std::vector<int> heights;
    for (size_t i = 0; i < m_items.size(); ++i) {
        // Owner-drawn separators are measured by their owner too.
        if (IsOwnerDrawn(i)) {
            CSize size = MeasureOwnerDrawn(i);
            ownerWidth = std::max(ownerWidth, int(size.cx));
            heights.push_back(size.cy);
        } else if (IsSeparator(i)) {
            heights.push_back(DisplayScale::Scale(kSeparatorHeight));
        } else {
            std::string label, accelerator;
            SplitText(m_items[i].text, label, accelerator);
            CRect r(0, 0, 0, 0);
            dc.DrawText(label, &r, DT_SINGLELINE | DT_CALCRECT);
            labelWidth = std::max(labelWidth, int(r.Width()));
            if (!accelerator.empty())
                acceleratorWidth = std::max(acceleratorWidth, int(dc.GetTextExtent(accelerator).cx));
            heights.push_back(textHeight);
        }
    }
    m_textWidth = labelWidth + (acceleratorWidth ? DisplayScale::Scale(kAcceleratorGap) + acceleratorWidth : 0);
    int inner = std::max(CheckColumn() + m_textWidth + DisplayScale::Scale(kArrowColumn), ownerWidth);
    const int border = Border();
    int y = border;
    m_rects.clear();
    for (int h : heights) {
        m_rects.emplace_back(border, y, border + inner, y + h);
        y += h;
    }
    return CSize(inner + 2 * border, y + border);
}

UINT PopupMenuWindow::Track(UINT flags, int x, int y) {
    const std::vector<MenuItem>* items = MenuTable::Items(m_menu);
    if (!items || items->empty()) return 0;
    m_items = *items;
    m_flags = flags;
    CSize size = Measure();
    if (flags & TPM_RIGHTALIGN) x -= size.cx;
    else if (flags & TPM_CENTERALIGN) x -= size.cx / 2;
    if (flags & TPM_BOTTOMALIGN) y -= size.cy;
    else if (flags & TPM_VCENTERALIGN) y -= size.cy / 2;
    // Keep the menu on the screen: shift it left, and above the point when
    // there is no room below.
    SIZE screen = WindowManager::Instance().GetDriver().ScreenSize();
    // A menu taller or wider than the screen is cut at its edge.
    size.cx = std::min(size.cx, screen.cx);
    size.cy = std::min(size.cy, screen.cy);
    if (x + size.cx > screen.cx) x = screen.cx - size.cx;
    if (y + size.cy > screen.cy && y - size.cy >= 0) y -= size.cy;
    x = std::max(x, 0);
    y = std::max(y, 0);

    CWnd* owner = m_owner ? m_owner->GetTopLevelParent() : nullptr;
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "#32768", "", WS_POPUP,
                  CRect(x, y, x + size.cx, y + size.cy), owner, 0))
        return 0;
    CWnd* previousFocus = GetFocus();
    ShowWindow(SW_SHOWNA);
    SetFocus();
    SetCapture();
    int result = RunModalLoop();
    if (m_hWnd) {
        if (GetCapture() == this) ReleaseCapture();
        DestroyWindow();
    }
    if (previousFocus && CWnd::IsWindow(previousFocus)) previousFocus->SetFocus();
    return m_finished ? UINT(result) : 0;
}

bool PopupMenuWindow::LocateScriptItem(ScriptItem kind, int value, POINT& clientPoint) const {
    if (kind != ScriptItem::MenuCommand) return false;
    for (size_t i = 0; i < m_items.size() && i < m_rects.size(); ++i) {
        if (IsSeparator(i) || (m_items[i].flags & MF_POPUP) || m_items[i].id != UINT_PTR(UINT(value)))
            continue;
        clientPoint = m_rects[i].CenterPoint();
        return true;
    }
    return false;
}

int PopupMenuWindow::ItemAt(CPoint point) const {
    for (size_t i = 0; i < m_rects.size(); ++i)
        if (m_rects[i].PtInRect(point)) return IsSeparator(i) ? -1 : int(i);
    return -1;
}

void PopupMenuWindow::SetHot(int item) {
    if (item == m_hot) return;
    m_hot = item;
    Invalidate(FALSE);
    if (m_owner) {
        UINT itemFlags = item >= 0 ? m_items[size_t(item)].flags : 0xFFFF;
        UINT id = item >= 0 ? UINT(m_items[size_t(item)].id) : 0;
        m_owner->SendMessage(WM_MENUSELECT, MAKEWPARAM(id, itemFlags),
                             reinterpret_cast<LPARAM>(item >= 0 ? m_menu : nullptr));
    }
}

void PopupMenuWindow::MoveHot(int step) {
    int count = int(m_items.size());
    int start = m_hot < 0 ? (step > 0 ? -1 : count) : m_hot;
    for (int n = 0; n < count; ++n) {
        int i = ((start + step * (n + 1)) % count + count) % count;
        if (!IsSeparator(size_t(i)) && !IsGrayed(size_t(i))) {
            SetHot(i);
            return;
        }
    }
}

void PopupMenuWindow::Choose(int item) {
    if (item < 0 || IsSeparator(size_t(item)) || IsGrayed(size_t(item))) return;
    if (m_items[size_t(item)].flags & MF_POPUP) {
        OpenSubmenu(item);
        return;
    }
    m_finished = true;
    m_exit = Exit::Chosen;
    EndModalLoop(int(UINT(m_items[size_t(item)].id)));
}

void PopupMenuWindow::Dismiss() { Leave(m_parentPopup ? Exit::Back : Exit::DismissAll); }

void PopupMenuWindow::Leave(Exit exit) {
    m_finished = false;
    m_exit = exit;
    if (IsInModalLoop()) EndModalLoop(0);
}

int PopupMenuWindow::Depth() const {
    int depth = 0;
    for (const PopupMenuWindow* p = m_parentPopup; p; p = p->m_parentPopup) ++depth;
    return depth;
}

void PopupMenuWindow::OpenSubmenu(int item) {
    if (item < 0 || size_t(item) >= m_items.size() || !(m_items[size_t(item)].flags & MF_POPUP) ||
        IsGrayed(size_t(item)) || m_openItem >= 0 || Depth() + 1 >= kMaxDepth)
        return;
    SetHot(item);
    CRect r = m_rects[size_t(item)];
    ClientToScreen(&r);
    PopupMenuWindow child(m_items[size_t(item)].subMenu, m_owner);
    child.m_parentPopup = this;
    m_openItem = item;
    UINT command = child.Track(m_flags & ~(TPM_RIGHTALIGN | TPM_CENTERALIGN | TPM_BOTTOMALIGN | TPM_VCENTERALIGN),
                               r.right, r.top - Border());
    m_openItem = -1;
    if (!m_hWnd) return;
    switch (child.m_exit) {
        case Exit::Chosen:
            m_finished = true;
            m_exit = Exit::Chosen;
            EndModalLoop(int(command));
            return;
        case Exit::DismissAll:
            Leave(Exit::DismissAll);
            return;
        default:
            break;
    }
    // Back in this menu: it takes the mouse again and handles what made the
    // submenu close, when that happened over it.
    SetCapture();
    if (child.m_forwardMessage) {
        CPoint p(child.m_forwardPoint);
        ScreenToClient(&p);
        SendMessage(child.m_forwardMessage, 0, MAKELPARAM(p.x, p.y));
    }
}

void PopupMenuWindow::MouseOutside(UINT message, CPoint point) {
    CPoint screen = point;
    ClientToScreen(&screen);
    // The menus this one was opened from, nearest first.
    for (PopupMenuWindow* p = m_parentPopup; p; p = p->m_parentPopup) {
        CRect rect;
        p->GetWindowRect(&rect);
        if (!rect.PtInRect(screen)) continue;
        CPoint inParent = screen;
        p->ScreenToClient(&inParent);
        // Resting on the item that opened this submenu keeps it open.
        if (message == WM_MOUSEMOVE && p == m_parentPopup && p->ItemAt(inParent) == p->m_openItem) return;
        m_forwardMessage = message;
        m_forwardPoint = screen;
        Leave(Exit::Back);
        return;
    }
    if (message == WM_MOUSEMOVE)
        SetHot(-1);
    else if (message != WM_LBUTTONUP && message != WM_RBUTTONUP)
        Leave(Exit::DismissAll);
}

void PopupMenuWindow::OnCharacter(UINT ch) {
    int lower = std::tolower(int(ch & 0xFF));
    std::vector<int> matches;
    for (size_t i = 0; i < m_items.size(); ++i) {
        const std::string& text = m_items[i].text;
        for (size_t k = 0; k + 1 < text.size(); ++k) {
            if (text[k] != '&') continue;
            if (text[k + 1] == '&') { ++k; continue; }
            if (std::tolower(static_cast<unsigned char>(text[k + 1])) == lower) matches.push_back(int(i));
            break;
        }
    }
    if (matches.size() == 1) {
        SetHot(matches[0]);
        Choose(matches[0]);
        return;
    }
    if (matches.size() > 1) {
        // Several items share the letter: each press moves to the next one.
        auto next = std::upper_bound(matches.begin(), matches.end(), m_hot);
        SetHot(next == matches.end() ? matches.front() : *next);
        return;
    }
    if (!m_owner) return;
    LRESULT answer = m_owner->SendMessage(WM_MENUCHAR, MAKEWPARAM(ch, MF_POPUP),
                                          reinterpret_cast<LPARAM>(m_menu));
    switch (HIWORD(uintptr_t(answer))) {
        case MNC_CLOSE: Dismiss(); break;
        case MNC_EXECUTE: {
            int item = LOWORD(uintptr_t(answer));
            if (size_t(item) < m_items.size()) {
                SetHot(item);
                Choose(item);
            }
            break;
        }
        case MNC_SELECT: {
            int item = LOWORD(uintptr_t(answer));
            if (size_t(item) < m_items.size() && !IsSeparator(size_t(item))) SetHot(item);
            break;
        }
        default: break;
    }
}

LRESULT PopupMenuWindow::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    CRect client;
    if (m_hWnd) GetClientRect(&client);
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEMOVE:
            if (!client.PtInRect(point) && m_parentPopup) {
                MouseOutside(message, point);
                return 0;
            }
            SetHot(ItemAt(point));
            if (m_hot >= 0 && (m_items[size_t(m_hot)].flags & MF_POPUP)) OpenSubmenu(m_hot);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (client.PtInRect(point)) {
                SetHot(ItemAt(point));
                if (m_hot >= 0 && (m_items[size_t(m_hot)].flags & MF_POPUP)) OpenSubmenu(m_hot);
            } else if (m_parentPopup) {
                MouseOutside(message, point);
            } else {
                Leave(Exit::DismissAll);
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            // A release outside (the press that opened the menu) keeps it open.
            if (message == WM_RBUTTONUP && !(m_flags & TPM_RIGHTBUTTON)) return 0;
            if (client.PtInRect(point)) Choose(ItemAt(point));
            return 0;
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_UP: MoveHot(-1); break;
                case VK_DOWN: MoveHot(1); break;
                case VK_HOME: SetHot(-1); MoveHot(1); break;
                case VK_END: SetHot(-1); MoveHot(-1); break;
                case VK_RETURN: Choose(m_hot); break;
                case VK_RIGHT: OpenSubmenu(m_hot); break;
                case VK_LEFT:
                    if (m_parentPopup) Leave(Exit::Back);
                    break;
                case VK_ESCAPE: Dismiss(); break;
                default: break;
            }
            return 0;
        case WM_CHAR:
            if (wParam > ' ' && wParam != 0x7F) OnCharacter(UINT(wParam));
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTARROWS;
        case WM_CLOSE:
        case WM_CANCELMODE:
            Dismiss();
            return 0;
        case WM_CAPTURECHANGED:
            // A submenu taking the mouse is part of this menu.
            if (reinterpret_cast<CWnd*>(lParam) != this && m_openItem < 0 && IsInModalLoop()) Dismiss();
            return 0;
        default:
            break;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void PopupMenuWindow::Paint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_MENU));
    CRect edge = client;
    ClassicLook::DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    dc.SelectObject(static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT)));
    for (size_t i = 0; i < m_items.size() && i < m_rects.size(); ++i) PaintItem(dc, i);
}

void PopupMenuWindow::DrawSubmenuArrow(CDC& dc, const CRect& r, COLORREF colour) {
    const int columns = DisplayScale::Scale(kArrowColumns);
    const int ax = r.right - DisplayScale::Scale(kArrowColumn) / 2 - DisplayScale::Scale(kArrowInset);
    const int ay = r.top + r.Height() / 2;
    for (int k = 0; k < columns; ++k)
        dc.FillSolidRect(ax + k, ay - (columns - 1) + k, 1, 2 * (columns - k) - 1, colour);
}

void PopupMenuWindow::PaintItem(CDC& dc, size_t i) {
    const MenuItem& item = m_items[i];
    const CRect& r = m_rects[i];
    const bool hot = int(i) == m_hot;
    const bool grayed = IsGrayed(i);
    if (IsOwnerDrawn(i)) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = UINT(item.id);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = (hot ? ODS_SELECTED : 0u) | ((item.flags & MF_GRAYED) ? ODS_GRAYED : 0u) |
                         ((item.flags & MF_DISABLED) ? ODS_DISABLED : 0u) |
                         ((item.flags & MF_CHECKED) ? ODS_CHECKED : 0u);
        draw.hwndItem = reinterpret_cast<HWND>(m_menu);
        draw.hDC = &dc;
        draw.rcItem = r;
        draw.itemData = item.itemData;
        dc.SaveDC();
        dc.IntersectClipRect(r);
        if (m_owner) m_owner->SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        // The submenu arrow is the menu's own, in the colour the owner left
        // for the item's text.
        if (item.flags & MF_POPUP) DrawSubmenuArrow(dc, r, dc.GetTextColor());
        dc.RestoreDC(-1);
        return;
    }
    if (IsSeparator(i)) {
        const int width = ClassicLook::LineWidth();
        CRect line(r.left + width, r.top + r.Height() / 2 - width, r.right - width, r.top + r.Height() / 2 + width);
        ClassicLook::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (hot) dc.FillSolidRect(r, GetSysColor(COLOR_HIGHLIGHT));
    COLORREF ink = hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_MENUTEXT);
    if (grayed && hot) ink = GetSysColor(COLOR_GRAYTEXT);

    if (item.flags & MF_CHECKED) {
        // The tick of a check mark, centred in the check column; at a larger
        // scale each of its seven columns is stretched to whole pixels.
        const int size = DisplayScale::Scale(kTickSize);
        const int ox = r.left + (CheckColumn() - size) / 2, oy = r.top + (r.Height() - size) / 2;
        auto at = [size](int v) { return (v * size + kTickSize / 2) / kTickSize; };
        static const int tickTop[kTickSize] = {2, 3, 4, 3, 2, 1, 0};
        COLORREF tick = grayed ? GetSysColor(COLOR_GRAYTEXT) : ink;
        for (int k = 0; k < kTickSize; ++k)
            dc.FillSolidRect(ox + at(k), oy + at(tickTop[k]), at(k + 1) - at(k), at(tickTop[k] + 3) - at(tickTop[k]),
                             tick);
    }
    if (item.flags & MF_POPUP) DrawSubmenuArrow(dc, r, ink);

    std::string label, accelerator;
    SplitText(item.text, label, accelerator);
    CRect text(r.left + CheckColumn(), r.top, r.left + CheckColumn() + m_textWidth, r.bottom);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    dc.SetBkMode(TRANSPARENT);
    if (grayed && !hot) {
        ClassicLook::DrawEngravedText(dc, label, text, format | DT_LEFT);
        if (!accelerator.empty()) ClassicLook::DrawEngravedText(dc, accelerator, text, format | DT_RIGHT);
        return;
    }
    dc.SetTextColor(ink);
    CRect left = text, right = text;
    dc.DrawText(label, &left, format | DT_LEFT);
    if (!accelerator.empty()) dc.DrawText(accelerator, &right, format | DT_RIGHT);
}
