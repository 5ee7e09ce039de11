// Painting of CWnd: invalid regions (kept as one rectangle per window), the
// paint pass from the back to the front, and device contexts on windows.

#include "platform/CDC.h"
#include "platform/CWnd.h"
#include "platform/WindowManager.h"

CPoint CWnd::ClientOriginInTopLevel() const {
    CPoint origin(0, 0);
    for (const CWnd* w = this; w->m_parent; w = w->m_parent) origin.Offset(w->m_rect.TopLeft());
    return origin;
}

CRect CWnd::VisibleRectInTopLevel() const {
    CRect visible(ClientOriginInTopLevel(), m_rect.Size());
    for (const CWnd* w = m_parent; w; w = w->m_parent) {
        const CRect area(w->ClientOriginInTopLevel(), w->m_rect.Size());
        visible &= area;
    }
    return visible;
}

void CWnd::InvalidateTree(const CRect& clientRect, bool erase, bool children) {
    if (!m_hWnd) return;
    CRect area = clientRect & CRect(0, 0, m_rect.Width(), m_rect.Height());
    if (area.IsRectEmpty()) return;
    m_updateRect |= area;
    m_eraseNeeded = m_eraseNeeded || erase;
    if (!children) return;
    // Painting this window covers the children above the area, so they
    // paint again after it.
    for (CWnd* child : m_children) {
        const CRect overlap = area & child->m_rect;
        if (overlap.IsRectEmpty()) continue;
        child->InvalidateTree(overlap - child->m_rect.TopLeft(), true, true);
    }
}

void CWnd::Invalidate(BOOL bErase) { InvalidateRect(nullptr, bErase); }

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    const CRect area = lpRect ? CRect(*lpRect) : CRect(0, 0, m_rect.Width(), m_rect.Height());
    InvalidateTree(area, bErase != FALSE, true);
    InvalidateSiblingsAbove(area);
}

void CWnd::InvalidateSiblingsAbove(const CRect& clientRect) {
    // Windows above this one in z-order that overlap the area are painted
    // over when it repaints, so they paint again after it (a tab page over
    // its tab control, say).
    CRect area = clientRect & CRect(0, 0, m_rect.Width(), m_rect.Height());
    for (const CWnd* w = this; w->m_parent && !area.IsRectEmpty(); w = w->m_parent) {
        const CWnd* parent = w->m_parent;
        area.OffsetRect(w->ClientOriginInTopLevel() - parent->ClientOriginInTopLevel());
        for (CWnd* sibling : parent->m_children) {
            if (sibling == w) break;  // the rest lie below
            if (!(sibling->m_style & WS_VISIBLE)) continue;
            const CRect overlap = area & sibling->m_rect;
            if (!overlap.IsRectEmpty()) sibling->InvalidateTree(overlap - sibling->m_rect.TopLeft(), true, true);
        }
        area &= CRect(0, 0, parent->m_rect.Width(), parent->m_rect.Height());
    }
}

void CWnd::ValidateRect(LPCRECT lpRect) {
    if (!lpRect) {
        m_updateRect.SetRectEmpty();
        m_eraseNeeded = false;
        return;
    }
    // One rectangle cannot hold a hole: validate only what covers it fully.
    const CRect r(*lpRect);
    if ((r & m_updateRect) == m_updateRect) {
        m_updateRect.SetRectEmpty();
        m_eraseNeeded = false;
    }
}

BOOL CWnd::GetUpdateRect(LPRECT lpRect, BOOL bErase) {
    if (lpRect) *lpRect = m_updateRect;
    if (bErase && m_eraseNeeded && !m_updateRect.IsRectEmpty()) {
        CDC dc;
        if (AttachClientDC(dc)) {
            dc.IntersectClipRect(m_updateRect);
            m_eraseNeeded = !SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc));
            MarkPixelsChanged(m_updateRect);
        }
    }
    return m_updateRect.IsRectEmpty() ? FALSE : TRUE;
}

void CWnd::PaintTree() {
    if (!m_hWnd || !(m_style & WS_VISIBLE)) return;
    WindowManager& wm = WindowManager::Instance();
    if (!m_updateRect.IsRectEmpty()) {
        m_paintBegun = false;
        SendMessage(WM_PAINT);
        if (!wm.Exists(this)) return;
        // A handler that did not paint must not be asked again and again;
        // what a painting handler invalidated waits for the next pass.
        if (!m_paintBegun) {
            m_updateRect.SetRectEmpty();
            m_eraseNeeded = false;
        }
    }
    // Back to front: the first child in z-order paints last, on top.
    const std::vector<CWnd*> children = m_children;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        if (wm.Exists(*it) && (*it)->m_parent == this) (*it)->PaintTree();
}

void CWnd::UpdateWindow() {
    if (!m_hWnd) return;
    PaintTree();
    WindowManager::Instance().Present(GetTopLevelParent());
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, void*, UINT flags) {
    if (!m_hWnd) return FALSE;
    const CRect area = lpRectUpdate ? CRect(*lpRectUpdate) : CRect(0, 0, m_rect.Width(), m_rect.Height());
    if (flags & RDW_INVALIDATE)
        InvalidateTree(area, (flags & RDW_ERASE) != 0, (flags & RDW_NOCHILDREN) == 0);
    if (flags & RDW_VALIDATE) ValidateRect(lpRectUpdate);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) UpdateWindow();
    return TRUE;
}

void CWnd::MarkPixelsChanged(const CRect& clientRect) {
    CWnd* top = GetTopLevelParent();
    CRect area = clientRect;
    area.OffsetRect(ClientOriginInTopLevel());
    area &= VisibleRectInTopLevel();
    top->m_presentDirty |= area;
}

bool CWnd::AttachClientDC(CDC& dc) const {
    if (!m_hWnd) return false;
    CWnd* top = GetTopLevelParent();
    if (!top->m_surface) return false;
    // A hidden window has nothing on the screen to draw on.
    const CRect visible = IsWindowVisible() ? VisibleRectInTopLevel() : CRect();
    dc.Attach(top->m_surface.get(), ClientOriginInTopLevel(), visible);
    return true;
}

void CWnd::BeginPaintOn(CDC& dc, PAINTSTRUCT* lpPaint) {
    PAINTSTRUCT ps{&dc, FALSE, {0, 0, 0, 0}};
    CRect area = m_updateRect & CRect(0, 0, m_rect.Width(), m_rect.Height());
    // A paint message sent by hand repaints everything.
    if (area.IsRectEmpty()) area = CRect(0, 0, m_rect.Width(), m_rect.Height());
    const bool erase = m_eraseNeeded;
    m_paintBegun = true;
    m_updateRect.SetRectEmpty();
    m_eraseNeeded = false;
    if (AttachClientDC(dc)) {
        dc.IntersectClipRect(area);
        if (erase) {
            dc.SaveDC();
            ps.fErase = SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(&dc)) ? FALSE : TRUE;
            dc.RestoreDC(-1);
        }
        MarkPixelsChanged(area);
    }
    ps.rcPaint = area;
    if (lpPaint) *lpPaint = ps;
}

void CWnd::EndPaintOn(CDC& dc, const PAINTSTRUCT*) { dc.Detach(); }

CDC* CWnd::BeginPaint(PAINTSTRUCT* lpPaint) {
    CDC* dc = new CDC();
    PAINTSTRUCT ps;
    BeginPaintOn(*dc, &ps);
    if (lpPaint) *lpPaint = ps;
    return dc;
}

void CWnd::EndPaint(const PAINTSTRUCT* lpPaint) {
    if (!lpPaint || !lpPaint->hdc) return;
    EndPaintOn(*lpPaint->hdc, lpPaint);
    delete lpPaint->hdc;
}

CDC* CWnd::GetDC() {
    CDC* dc = new CDC();
    if (!AttachClientDC(*dc)) {
        delete dc;
        return nullptr;
    }
    return dc;
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC) return 0;
    if (m_hWnd) MarkPixelsChanged(CRect(0, 0, m_rect.Width(), m_rect.Height()));
    pDC->Detach();
    delete pDC;
    return 1;
}
