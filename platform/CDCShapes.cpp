// Lines, rectangles, edges and frame controls.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/CDC.h"
#include "platform/SysColors.h"

namespace {

RECT Normalised(const RECT& r) {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

// Dash patterns of cosmetic pens: pixels on, pixels off.
bool PatternOn(int style, int step) {
    switch (style) {
    case PS_DOT: return (step % 6) < 3;
    case PS_DASH: return (step % 24) < 18;
    default: return true;
    }
}

}  // namespace

void CDC::FillLogicalRect(const RECT& rect, COLORREF colour) {
    FillSurfaceRect(LogicalToSurface(Normalised(rect)), DevicePixel(colour));
}

void CDC::FillLogicalRect(int x, int y, int cx, int cy, COLORREF colour) {
    FillLogicalRect(RECT{x, y, x + cx, y + cy}, colour);
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
    // As in the classic framework, the fill colour becomes the background
    // colour (code written for it may draw opaque text right after).
    SetBkColor(colour);
    FillLogicalRect(rect, colour);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    FillSolidRect(RECT{x, y, x + cx, y + cy}, colour);
}

void CDC::FillRect(const RECT& rect, CBrush* brush) {
    if (!brush || !brush->IsCreated() || brush->IsNull()) return;
    FillLogicalRect(rect, brush->GetColor());
}

void CDC::FrameRect(const RECT& rect, CBrush* brush) {
    if (!brush || !brush->IsCreated() || brush->IsNull()) return;
    const RECT r = rect;
    if (r.right <= r.left || r.bottom <= r.top) return;
    const COLORREF c = brush->GetColor();
    FillLogicalRect(RECT{r.left, r.top, r.right, r.top + 1}, c);
    FillLogicalRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, c);
    FillLogicalRect(RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, c);
    FillLogicalRect(RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, c);
}

void CDC::InvertRect(const RECT& rect) { XorSurfaceRect(LogicalToSurface(Normalised(rect)), 0x00FFFFFF); }

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
    const RECT r = LogicalToSurface(Normalised(RECT{x, y, x + width, y + height}));
    switch (rop) {
    case PATCOPY:
        if (state_.brush && state_.brush->IsCreated() && !state_.brush->IsNull())
            FillSurfaceRect(r, DevicePixel(state_.brush->GetColor()));
        else if (!state_.brush)
            FillSurfaceRect(r, DevicePixel(RGB(255, 255, 255)));
        return TRUE;
    case DSTINVERT: XorSurfaceRect(r, 0x00FFFFFF); return TRUE;
    case BLACKNESS: FillSurfaceRect(r, 0xFF000000u); return TRUE;
    case WHITENESS: FillSurfaceRect(r, 0xFFFFFFFFu); return TRUE;
    default: return FALSE;
    }
}

// --- lines ---

void CDC::ThinLine(POINT a, POINT b, uint32_t pixel, int style) {
    // Bresenham from a towards b; b itself is not drawn.
    int x = a.x, y = a.y;
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    for (int step = 0; !(x == b.x && y == b.y); ++step) {
        if (PatternOn(style, step)) PlotSurface(x, y, pixel);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void CDC::Disc(int cx, int cy, int width, uint32_t pixel) {
    // A pen tip of `width` pixels centred on (cx, cy); odd widths centre on
    // the pixel, even widths reach one pixel further up and left.
    const int first = -(width / 2);
    const double r = width / 2.0;
    for (int j = 0; j < width; ++j) {
        const double fy = j + 0.5 - r;
        int spanLeft = width, spanRight = -1;
        for (int i = 0; i < width; ++i) {
            const double fx = i + 0.5 - r;
            if (width <= 2 || fx * fx + fy * fy <= r * r + 0.25) {
                spanLeft = std::min(spanLeft, i);
                spanRight = std::max(spanRight, i);
            }
        }
        if (spanRight >= spanLeft) FillSpan(cx + first + spanLeft, cx + first + spanRight, cy + first + j, pixel);
    }
}

void CDC::WideLine(POINT a, POINT b, uint32_t pixel, int width) {
    // Geometric pens are centred on the path with round ends, so both end
    // points are covered.
    int x = a.x, y = a.y;
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        Disc(x, y, width, pixel);
        if (x == b.x && y == b.y) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void CDC::PenLine(POINT a, POINT b) {
    CPen* pen = state_.pen ? state_.pen : static_cast<CPen*>(GetStockObject(BLACK_PEN));
    if (!pen || !pen->IsCreated() || pen->GetStyle() == PS_NULL) return;
    const uint32_t pixel = DevicePixel(pen->GetColor());
    const POINT sa = LogicalToSurface(a), sb = LogicalToSurface(b);
    if (pen->GetWidth() <= 1)
        ThinLine(sa, sb, pixel, pen->GetStyle());
    else
        WideLine(sa, sb, pixel, pen->GetWidth());
}

POINT CDC::MoveTo(int x, int y) {
    POINT old = state_.currentPos;
    state_.currentPos = POINT{x, y};
    return old;
}

BOOL CDC::LineTo(int x, int y) {
    PenLine(state_.currentPos, POINT{x, y});
    state_.currentPos = POINT{x, y};
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    for (int i = 1; i < count; ++i) PenLine(points[i - 1], points[i]);
    return TRUE;
}

void CDC::FillPolygonSurface(const std::vector<POINT>& points, uint32_t pixel) {
    // Even-odd scan conversion at pixel centres.
    if (points.size() < 3) return;
    int top = points[0].y, bottom = points[0].y;
    for (const POINT& p : points) {
        top = std::min(top, int(p.y));
        bottom = std::max(bottom, int(p.y));
    }
    std::vector<double> crossings;
    for (int y = top; y < bottom; ++y) {
        const double fy = y + 0.5;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const POINT& p = points[i];
            const POINT& q = points[(i + 1) % points.size()];
            if ((p.y <= fy) == (q.y <= fy)) continue;
            crossings.push_back(p.x + (fy - p.y) * double(q.x - p.x) / double(q.y - p.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int x0 = int(std::ceil(crossings[i] - 0.5));
            const int x1 = int(std::ceil(crossings[i + 1] - 0.5)) - 1;
            if (x1 >= x0) FillSpan(x0, x1, y, pixel);
        }
    }
}

BOOL CDC::Polygon(const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    CBrush* brush = state_.brush ? state_.brush : static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
    if (brush && brush->IsCreated() && !brush->IsNull() && count >= 3) {
        std::vector<POINT> surfacePoints;
        for (int i = 0; i < count; ++i) surfacePoints.push_back(LogicalToSurface(points[i]));
        FillPolygonSurface(surfacePoints, DevicePixel(brush->GetColor()));
    }
    for (int i = 0; i < count; ++i) PenLine(points[i], points[(i + 1) % count]);
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    const RECT r = Normalised(RECT{left, top, right, bottom});
    if (r.right - r.left < 1 || r.bottom - r.top < 1) return FALSE;
    CBrush* brush = state_.brush ? state_.brush : static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
    CPen* pen = state_.pen ? state_.pen : static_cast<CPen*>(GetStockObject(BLACK_PEN));
    const bool outlined = pen && pen->IsCreated() && pen->GetStyle() != PS_NULL;
    if (brush && brush->IsCreated() && !brush->IsNull()) {
        // Without an outline the fill reaches one pixel less right and down.
        const RECT inner = outlined ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}
                                    : RECT{r.left, r.top, r.right - 1, r.bottom - 1};
        FillLogicalRect(inner, brush->GetColor());
    }
    if (outlined) {
        const POINT corners[5] = {{r.left, r.top}, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1},
                                  {r.left, r.bottom - 1}, {r.left, r.top}};
        Polyline(corners, 5);  // the closing end pixel is the first corner, already drawn
    }
    return TRUE;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
    const RECT r = LogicalToSurface(Normalised(RECT{left, top, right, bottom}));
    const double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    const double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
    if (rx <= 0 || ry <= 0) return FALSE;
    CBrush* brush = state_.brush ? state_.brush : static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
    CPen* pen = state_.pen ? state_.pen : static_cast<CPen*>(GetStockObject(BLACK_PEN));
    const bool filled = brush && brush->IsCreated() && !brush->IsNull();
    const bool outlined = pen && pen->IsCreated() && pen->GetStyle() != PS_NULL;
    auto inside = [&](int x, int y) {
        const double fx = (x + 0.5 - cx) / rx, fy = (y + 0.5 - cy) / ry;
        return fx * fx + fy * fy <= 1.0;
    };
    const uint32_t fill = filled ? DevicePixel(brush->GetColor()) : 0;
    const uint32_t ink = outlined ? DevicePixel(pen->GetColor()) : 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            if (!inside(x, y)) continue;
            const bool edge = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge && outlined)
                PlotSurface(x, y, ink);
            else if (filled)
                PlotSurface(x, y, fill);
        }
    return TRUE;
}

// --- 3D rectangles and edges ---

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

void CDC::Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, topLeft, bottomRight);
}

void CDC::EdgeLines(const RECT& r, UINT flags, COLORREF topLeft, COLORREF bottomRight) {
    // Top and left in the top-left colour, bottom and right in the other; the
    // bottom-right colour owns the bottom-left and top-right corners.
    if (flags & BF_TOP) FillLogicalRect(RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    if (flags & BF_LEFT) FillLogicalRect(RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    if (flags & BF_RIGHT) FillLogicalRect(RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    if (flags & BF_BOTTOM) FillLogicalRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags) {
    if (!rect) return FALSE;
    RECT r = *rect;
    const UINT outer = edge & BDR_OUTER;
    const UINT inner = edge & BDR_INNER;
    const bool soft = (flags & BF_SOFT) != 0;
    COLORREF outerTL = 0, outerBR = 0, innerTL = 0, innerBR = 0;
    if (flags & BF_MONO) {
        outerTL = outerBR = GetSysColor(COLOR_WINDOWFRAME);
        innerTL = innerBR = GetSysColor(COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        outerTL = outerBR = GetSysColor(COLOR_BTNSHADOW);
        innerTL = innerBR = GetSysColor(COLOR_BTNFACE);
    } else {
        if (outer == BDR_RAISEDOUTER) {
            outerTL = GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT);
            outerBR = GetSysColor(COLOR_3DDKSHADOW);
        } else if (outer == BDR_SUNKENOUTER) {
            outerTL = GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
            outerBR = GetSysColor(COLOR_BTNHIGHLIGHT);
        }
        if (inner == BDR_RAISEDINNER) {
            innerTL = GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT);
            innerBR = GetSysColor(COLOR_BTNSHADOW);
        } else if (inner == BDR_SUNKENINNER) {
            innerTL = GetSysColor(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW);
            innerBR = GetSysColor(COLOR_3DLIGHT);
        }
    }
    auto shrink = [&](RECT* x) {
        if (flags & BF_LEFT) ++x->left;
        if (flags & BF_TOP) ++x->top;
        if (flags & BF_RIGHT) --x->right;
        if (flags & BF_BOTTOM) --x->bottom;
    };
    if (outer == BDR_RAISEDOUTER || outer == BDR_SUNKENOUTER) {
        EdgeLines(r, flags, outerTL, outerBR);
        shrink(&r);
    }
    if (inner == BDR_RAISEDINNER || inner == BDR_SUNKENINNER) {
        EdgeLines(r, flags, innerTL, innerBR);
        shrink(&r);
    }
    if (flags & BF_MIDDLE) FillLogicalRect(r, GetSysColor((flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    if (flags & BF_ADJUST) *rect = r;
    return TRUE;
}

void CDC::DrawFocusRect(const RECT* rect) {
    if (!rect || !surface_) return;
    const RECT r = LogicalToSurface(Normalised(*rect));
    if (r.right <= r.left || r.bottom <= r.top) return;
    // Every other pixel of the outline is inverted, each exactly once, so a
    // second call restores the picture.
    auto invert = [&](int x, int y) {
        if (((x + y) & 1) == 0 && SurfacePointVisible(x, y)) surface_->Row(y)[x] ^= 0x00FFFFFF;
    };
    for (int x = r.left; x < r.right; ++x) {
        invert(x, r.top);
        if (r.bottom - 1 > r.top) invert(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        invert(r.left, y);
        if (r.right - 1 > r.left) invert(r.right - 1, y);
    }
}

// --- frame controls ---

// A frame-control glyph takes the width of the rectangle it is given (13
// pixels for the classic check box, 12 for the radio button, more on a
// screen with more pixels per inch), centred in its height. Its lines grow a
// whole pixel at a time so that they stay sharp at any size.
namespace {

// Where position `v` of a glyph drawn `base` pixels wide lies in one drawn
// `size` pixels wide.
// Larger glyphs are no control's: the size is capped so that a wild
// rectangle cannot hold the drawing for long.
constexpr int kMaxGlyph = 1024;

int GlyphSize(const RECT& r) {
    return int(std::max<long long>(1, std::min<long long>(kMaxGlyph, (long long)r.right - r.left)));
}

int GlyphPos(int v, int size, int base) { return (v * size + base / 2) / base; }

// A length of the `base`-pixel glyph at `size`, with the parity of `size`
// so that it centres on whole pixels.
int CentredLength(int length, int size, int base) {
    int scaled = std::max(1, GlyphPos(length, size, base));
    if ((size - scaled) % 2 != 0) ++scaled;
    return scaled;
}

}  // namespace

void CDC::DrawCheckBox(const RECT& r, UINT state) {
    constexpr int kBase = 13;
    const int size = GlyphSize(r);
    const int line = std::max(1, size / kBase);
    const int x = r.left, y = r.top + (r.bottom - r.top - size) / 2;
    RECT box{x, y, x + size, y + size};
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    const bool pushed = (state & DFCS_PUSHED) != 0;
    if (state & (DFCS_FLAT | DFCS_MONO)) {
        CBrush frame(GetSysColor(COLOR_WINDOWFRAME));
        for (int i = 0; i < line; ++i) {
            FrameRect(box, &frame);
            box = RECT{box.left + 1, box.top + 1, box.right - 1, box.bottom - 1};
        }
    } else {
        for (int i = 0; i < line; ++i) DrawEdge(&box, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        for (int i = 0; i < line; ++i) DrawEdge(&box, BDR_SUNKENINNER, BF_RECT | BF_ADJUST);
    }
    FillLogicalRect(box, GetSysColor(inactive || pushed ? COLOR_BTNFACE : COLOR_WINDOW));
    if (!(state & DFCS_CHECKED)) return;
    // The classic 7 x 7 tick, three pixels thick, three pixels in from the
    // glyph's corner; each of its columns is stretched to whole pixels.
    const COLORREF ink = GetSysColor(inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    static const int tickTop[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i) {
        const int left = GlyphPos(3 + i, size, kBase), right = GlyphPos(4 + i, size, kBase);
        const int top = GlyphPos(3 + tickTop[i], size, kBase), bottom = GlyphPos(6 + tickTop[i], size, kBase);
        FillLogicalRect(x + left, y + top, right - left, bottom - top, ink);
    }
}

void CDC::DrawRadioButton(const RECT& r, UINT state) {
    constexpr int kBase = 12;
    const int size = GlyphSize(r);
    const double ring = std::max(1, size / kBase);
    const int x = r.left, y = r.top + (r.bottom - r.top - size) / 2;
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    const bool pushed = (state & DFCS_PUSHED) != 0;
    const POINT base = LogicalToSurface(POINT{x, y});
    // Four rings from outside in: shadow/highlight, dark shadow/light, then
    // the well; each pixel takes the colour of the half it lies in.
    const double c = size / 2.0;
    const uint32_t shadow = DevicePixel(GetSysColor(COLOR_BTNSHADOW));
    const uint32_t highlight = DevicePixel(GetSysColor(COLOR_BTNHIGHLIGHT));
    const uint32_t dark = DevicePixel(GetSysColor(COLOR_3DDKSHADOW));
    const uint32_t light = DevicePixel(GetSysColor(COLOR_3DLIGHT));
    const uint32_t well = DevicePixel(GetSysColor(inactive || pushed ? COLOR_BTNFACE : COLOR_WINDOW));
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            const double fx = i + 0.5 - c, fy = j + 0.5 - c;
            const double d = std::sqrt(fx * fx + fy * fy);
            if (d > c) continue;
            const bool upperLeft = fx + fy < 0;
            uint32_t pixel = well;
            if (d > c - ring)
                pixel = upperLeft ? shadow : highlight;
            else if (d > c - 2.0 * ring)
                pixel = upperLeft ? dark : light;
            PlotSurface(base.x + i, base.y + j, pixel);
        }
    if (state & DFCS_CHECKED) {
        // The dot: a square four pixels wide with its corners cut, centred.
        const uint32_t ink = DevicePixel(GetSysColor(inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        const int wide = CentredLength(4, size, kBase);
        const int narrow = std::min(wide, CentredLength(2, size, kBase));
        const int a = (size - wide) / 2, b = (size - narrow) / 2;
        FillSurfaceRect(RECT{base.x + a, base.y + b, base.x + a + wide, base.y + b + narrow}, ink);
        FillSurfaceRect(RECT{base.x + b, base.y + a, base.x + b + narrow, base.y + a + wide}, ink);
    }
}

BOOL CDC::DrawFrameControl(RECT* rect, UINT type, UINT state) {
    if (!rect) return FALSE;
    RECT r = *rect;
    if (type == DFC_BUTTON) {
        if (state & DFCS_BUTTONPUSH) {
            if (state & (DFCS_PUSHED | DFCS_CHECKED)) {
                if (state & DFCS_FLAT) {
                    DrawEdge(&r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST);
                } else {
                    CBrush dark(GetSysColor(COLOR_3DDKSHADOW)), shadow(GetSysColor(COLOR_BTNSHADOW));
                    FrameRect(r, &dark);
                    RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
                    FrameRect(inner, &shadow);
                    r = RECT{inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1};
                    FillLogicalRect(r, GetSysColor(COLOR_BTNFACE));
                }
            } else {
                DrawEdge(&r, (state & DFCS_FLAT) ? BDR_RAISEDINNER : EDGE_RAISED,
                         BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
            }
            if (state & DFCS_ADJUSTRECT) *rect = r;
            return TRUE;
        }
        if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE)) {
            DrawRadioButton(r, state);
            return TRUE;
        }
        DrawCheckBox(r, state);
        return TRUE;
    }
    if (type == DFC_SCROLL) {
        // The classic scroll button is 16 pixels square: a larger one has
        // thicker edges and a larger arrow, grown in whole pixels.
        const long long side = std::min<long long>((long long)rect->right - rect->left,
                                                   (long long)rect->bottom - rect->top);
        const int glyph = int(std::max<long long>(0, std::min<long long>(kMaxGlyph, side)));
        const int line = std::max(1, glyph / 16);
        const bool pushed = (state & DFCS_PUSHED) != 0;
        for (int i = 0; i < line; ++i) {
            const UINT middle = i + 1 == line ? BF_MIDDLE : 0;
            if (pushed)
                DrawEdge(&r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | middle | BF_ADJUST);
            else
                DrawEdge(&r, BDR_RAISEDOUTER, BF_RECT | BF_SOFT | BF_ADJUST);
        }
        if (!pushed)
            for (int i = 0; i < line; ++i)
                DrawEdge(&r, BDR_RAISEDINNER, BF_RECT | BF_SOFT | (i + 1 == line ? BF_MIDDLE : 0) | BF_ADJUST);
        // A small filled triangle in the middle, pointing the button's way.
        const int kind = int(state & 0x1F);
        const int rows = std::max(4, glyph / 4);
        const int shift = pushed ? std::max(1, rows / 4) : 0;
        const int cx = (r.left + r.right) / 2 + shift;
        const int cy = (r.top + r.bottom) / 2 + shift;
        const int half = rows / 2;
        const COLORREF ink = GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
        for (int i = 0; i < rows; ++i) {
            switch (kind) {
            case DFCS_SCROLLUP: FillLogicalRect(cx - i, cy - half + i, 2 * i + 1, 1, ink); break;
            case DFCS_SCROLLLEFT: FillLogicalRect(cx - half + i, cy - i, 1, 2 * i + 1, ink); break;
            case DFCS_SCROLLRIGHT: FillLogicalRect(cx + half - 1 - i, cy - i, 1, 2 * i + 1, ink); break;
            default: FillLogicalRect(cx - i, cy + half - 1 - i, 2 * i + 1, 1, ink); break;
            }
        }
        return TRUE;
    }
    return FALSE;
}
