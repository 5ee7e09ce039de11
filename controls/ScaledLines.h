#pragma once

// Frames and edges whose lines are several device pixels thick. The drawing
// context draws one-pixel lines; on a screen of 150 % or 200 % the controls
// draw each line `thickness` times, one inside the other, so that bevels and
// outlines keep their proportions and stay sharp. With a thickness of 1 they
// draw exactly what the drawing context's own calls draw.

#include "platform/CDC.h"
#include "platform/CRect.h"

class ScaledLines {
public:
    // A one-pixel line of the 96-dpi layout on this screen.
    static int Thickness();

    static void FrameRect(CDC& dc, const RECT& rect, CBrush* brush, int thickness);
    static void Draw3dRect(CDC& dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight, int thickness);
    // DrawEdge with each of the edge's lines `thickness` pixels thick: the
    // outer lines first, then the inner ones, so an etched line stays one
    // dark band over one light band.
    static void DrawEdge(CDC& dc, RECT* rect, UINT edge, UINT flags, int thickness);
};
