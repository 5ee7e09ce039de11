#include "controls/ScaledLines.h"

#include "platform/DisplayScale.h"

int ScaledLines::Thickness() { return DisplayScale::ScaleLine(1); }

void ScaledLines::FrameRect(CDC& dc, const RECT& rect, CBrush* brush, int thickness) {
    CRect ring = rect;
    for (int i = 0; i < thickness && !ring.IsRectEmpty(); ++i, ring.DeflateRect(1, 1)) dc.FrameRect(ring, brush);
}

void ScaledLines::Draw3dRect(CDC& dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight, int thickness) {
    CRect ring = rect;
    for (int i = 0; i < thickness && !ring.IsRectEmpty(); ++i, ring.DeflateRect(1, 1))
        dc.Draw3dRect(ring, topLeft, bottomRight);
}

void ScaledLines::DrawEdge(CDC& dc, RECT* rect, UINT edge, UINT flags, int thickness) {
    if (!rect) return;
    RECT inside = *rect;
    const UINT parts[2] = {edge & BDR_OUTER, edge & BDR_INNER};
    // The middle is filled once, by the last line drawn.
    const UINT lineFlags = (flags & ~UINT(BF_MIDDLE)) | BF_ADJUST;
    int lines = 0;
    for (UINT part : parts) lines += part ? thickness : 0;
    for (UINT part : parts) {
        if (!part) continue;
        for (int i = 0; i < thickness; ++i) {
            const bool last = --lines == 0;
            dc.DrawEdge(&inside, part, last ? lineFlags | (flags & BF_MIDDLE) : lineFlags);
        }
    }
    if (flags & BF_ADJUST) *rect = inside;
}
