#include "platform/CStatic.h"

#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/ClassicLook.h"
#include "platform/ResourceTable.h"
#include "platform/SysColors.h"

BEGIN_MESSAGE_MAP(CStatic, CWnd)
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

CStatic::CStatic() = default;
CStatic::~CStatic() = default;

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create("Static", text, style, rect, parent, id);
}

void CStatic::TakeOverState(CWnd& previous) {
    if (auto* other = dynamic_cast<CStatic*>(&previous)) {
        m_bitmap = other->m_bitmap;
        m_icon = other->m_icon;
        m_ownBitmap = other->m_ownBitmap;
        m_ownIcon = other->m_ownIcon;
    }
}

CBitmap* CStatic::SetBitmap(CBitmap* bitmap) {
    return reinterpret_cast<CBitmap*>(
        SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

CBitmap* CStatic::GetBitmap() const {
    return reinterpret_cast<CBitmap*>(const_cast<CStatic*>(this)->SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
}

HICON CStatic::SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}

HICON CStatic::GetIcon() const {
    return reinterpret_cast<HICON>(const_cast<CStatic*>(this)->SendMessage(STM_GETICON));
}

void CStatic::DrawItem(LPDRAWITEMSTRUCT) {}

int CStatic::BorderWidth() const {
    if (GetExStyle() & WS_EX_CLIENTEDGE) return 2 * ClassicLook::LineWidth();
    if ((GetExStyle() & WS_EX_STATICEDGE) || (GetStyle() & SS_SUNKEN)) return ClassicLook::LineWidth();
    return 0;
}

void CStatic::LoadTemplateImage(UINT resourceId) {
    if (resourceId == 0) return;
    if (Type() == SS_BITMAP) {
        auto bitmap = std::make_shared<CBitmap>();
        if (!ResourceTable::Instance().LoadBitmap(resourceId, bitmap.get())) return;
        m_ownBitmap = bitmap;
        SetBitmap(bitmap.get());
    } else if (Type() == SS_ICON) {
        HICON icon = ResourceTable::Instance().LoadIcon(resourceId);
        if (!icon) return;
        m_ownIcon.reset(icon, [](Icon* i) { DestroyIcon(i); });
        SetIcon(icon);
    }
}

void CStatic::FitToImage(SIZE image) {
    if (GetStyle() & SS_CENTERIMAGE) return;
    int border = BorderWidth();
    CRect rect;
    GetWindowRect(&rect);
    if (CWnd* parent = GetParent()) parent->ScreenToClient(&rect);
    SetWindowPos(nullptr, rect.left, rect.top, image.cx + 2 * border, image.cy + 2 * border,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CStatic::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<LPCREATESTRUCT>(lParam);
            if (create) LoadTemplateImage(create->resourceId);
            return 0;
        }
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return (GetStyle() & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if ((GetStyle() & SS_NOTIFY) && GetParent())
                GetParent()->SendMessage(
                    WM_COMMAND,
                    MAKEWPARAM(UINT(GetDlgCtrlID()), message == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK),
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
        case STM_SETIMAGE:
            if (wParam == IMAGE_BITMAP) {
                CBitmap* previous = m_bitmap;
                m_bitmap = reinterpret_cast<CBitmap*>(lParam);
                if (m_bitmap && m_bitmap->IsCreated()) FitToImage(m_bitmap->GetSize());
                Invalidate(FALSE);
                return reinterpret_cast<LRESULT>(previous);
            }
            if (wParam == IMAGE_ICON) return SendMessage(STM_SETICON, WPARAM(lParam));
            return 0;
        case STM_GETIMAGE:
            if (wParam == IMAGE_BITMAP) return reinterpret_cast<LRESULT>(m_bitmap);
            if (wParam == IMAGE_ICON) return reinterpret_cast<LRESULT>(m_icon);
            return 0;
        case STM_SETICON: {
            HICON previous = m_icon;
            m_icon = reinterpret_cast<HICON>(wParam);
            if (m_icon) FitToImage(SIZE{m_icon->width, m_icon->height});
            Invalidate(FALSE);
            return reinterpret_cast<LRESULT>(previous);
        }
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(m_icon);
        default:
            break;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

CRect CStatic::PaintBorder(CDC& dc, CRect client) {
    if (GetExStyle() & WS_EX_CLIENTEDGE)
        ClassicLook::DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if ((GetExStyle() & WS_EX_STATICEDGE) || (GetStyle() & SS_SUNKEN))
        ClassicLook::DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    return client;
}

void CStatic::Paint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (Type() == SS_OWNERDRAW) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_STATIC;
        item.CtlID = UINT(GetDlgCtrlID());
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = IsWindowEnabled() ? 0u : ODS_DISABLED;
        item.hwndItem = this;
        item.hDC = &dc;
        item.rcItem = client;
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_DRAWITEM, WPARAM(item.CtlID), reinterpret_cast<LPARAM>(&item));
        return;
    }
    dc.SelectObject(ClassicLook::ControlFont(this));
    ClassicLook::PaintBackground(this, dc, client, WM_CTLCOLORSTATIC, GetSysColor(COLOR_BTNFACE));
    CRect area = PaintBorder(dc, client);
    switch (Type()) {
        case SS_BITMAP:
        case SS_ICON:
            PaintImage(dc, area);
            break;
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            PaintText(dc, area);
            break;
        default:
            PaintShape(dc, area);
            break;
    }
}

void CStatic::PaintText(CDC& dc, const CRect& area) {
    UINT format = 0;
    switch (Type()) {
        case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
        case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
        case SS_SIMPLE: format = DT_LEFT | DT_SINGLELINE; break;
        case SS_LEFTNOWORDWRAP: format = DT_LEFT | DT_EXPANDTABS; break;
        default: format = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS; break;
    }
    if (GetStyle() & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (GetStyle() & SS_ENDELLIPSIS) format |= DT_END_ELLIPSIS;
    if (GetStyle() & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    std::string text = GetWindowText();
    CRect rect = area;
    // A label one line high shows as much of its one line as fits: wrapping
    // would move the last word onto a line no one can see.
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    if ((format & DT_WORDBREAK) && area.Height() < 2 * int(metrics.tmHeight))
        format = (format & ~DT_WORDBREAK) | DT_SINGLELINE;
    if (!IsWindowEnabled()) {
        ClassicLook::DrawEngravedText(dc, text, rect, format);
        return;
    }
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(text, &rect, format);
}

void CStatic::PaintImage(CDC& dc, const CRect& area) {
    SIZE size{0, 0};
    if (Type() == SS_BITMAP && m_bitmap && m_bitmap->IsCreated())
        size = m_bitmap->GetSize();
    else if (Type() == SS_ICON && m_icon)
        size = SIZE{m_icon->width, m_icon->height};
    else
        return;
    int x = area.left, y = area.top;
    if (GetStyle() & SS_CENTERIMAGE) {
        x += (area.Width() - size.cx) / 2;
        y += (area.Height() - size.cy) / 2;
    }
    dc.SaveDC();
    dc.IntersectClipRect(area);
    if (Type() == SS_ICON) {
        dc.DrawIcon(x, y, m_icon);
    } else {
        CDC memory;
        memory.CreateCompatibleDC(&dc);
        CBitmap* old = memory.SelectObject(m_bitmap);
        dc.BitBlt(x, y, size.cx, size.cy, &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
    }
    dc.RestoreDC(-1);
}

void CStatic::PaintShape(CDC& dc, const CRect& area) {
    CRect r = area;
    switch (Type()) {
        case SS_BLACKRECT: dc.FillSolidRect(r, GetSysColor(COLOR_WINDOWFRAME)); break;
        case SS_GRAYRECT: dc.FillSolidRect(r, GetSysColor(COLOR_BTNSHADOW)); break;
        case SS_WHITERECT: dc.FillSolidRect(r, GetSysColor(COLOR_WINDOW)); break;
        case SS_BLACKFRAME: {
            CBrush brush(GetSysColor(COLOR_WINDOWFRAME));
            ClassicLook::FrameRect(dc, r, &brush);
            break;
        }
        case SS_GRAYFRAME: {
            CBrush brush(GetSysColor(COLOR_BTNSHADOW));
            ClassicLook::FrameRect(dc, r, &brush);
            break;
        }
        case SS_WHITEFRAME: {
            CBrush brush(GetSysColor(COLOR_WINDOW));
            ClassicLook::FrameRect(dc, r, &brush);
            break;
        }
        case SS_ETCHEDHORZ: ClassicLook::DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP); break;
        case SS_ETCHEDVERT: ClassicLook::DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT); break;
        case SS_ETCHEDFRAME: ClassicLook::DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT); break;
        default: break;
    }
}
