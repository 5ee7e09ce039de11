// Lines, pens, rectangles, 3D edges, focus rectangles and frame controls.

#include <gtest/gtest.h>

#include "platform/CDC.h"
#include "platform/SysColors.h"
#include "test_draw_support.h"

using drawtest::InkBox;
using drawtest::Px;

namespace {

const uint32_t kWhite = 0xFFFFFFFFu;

struct Canvas {
    Surface surface;
    CDC dc;
    explicit Canvas(int w = 20, int h = 20) : surface(w, h, 0xFFFFFFFFu), dc(&surface) {}
    uint32_t At(int x, int y) const { return surface.At(x, y); }
};

uint32_t Sys(int index) { return Px(GetSysColor(index)); }

}  // namespace

TEST(DrawShapes, OnePixelLinesLeaveOutTheEndPoint) {
    struct Case {
        POINT from, to;
        int pixels;
    } cases[] = {
        {{2, 5}, {10, 5}, 8},   // horizontal
        {{10, 5}, {2, 5}, 8},   // right to left
        {{4, 1}, {4, 9}, 8},    // vertical
        {{1, 1}, {6, 6}, 5},    // diagonal
        {{3, 3}, {3, 3}, 0},    // a point draws nothing
    };
    for (const Case& c : cases) {
        Canvas canvas;
        canvas.dc.MoveTo(c.from.x, c.from.y);
        canvas.dc.LineTo(c.to.x, c.to.y);
        EXPECT_EQ(drawtest::CountPixels(canvas.surface, 0xFF000000u), c.pixels);
        EXPECT_EQ(canvas.At(c.to.x, c.to.y), kWhite);
        if (c.pixels) {
            EXPECT_EQ(canvas.At(c.from.x, c.from.y), 0xFF000000u);
        }
        EXPECT_EQ(canvas.dc.GetCurrentPosition().x, c.to.x);
    }
}

TEST(DrawShapes, WidePensAreCentredOnThePathWithRoundEnds) {
    // Rows covered by a horizontal line at y = 10: odd widths centre on the
    // pixel, even widths reach one row further up.
    struct Case {
        int width, firstRow, lastRow;
    } cases[] = {{2, 9, 10}, {5, 8, 12}, {6, 7, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        Canvas canvas(40, 20);
        CPen pen(PS_SOLID, c.width, RGB(128, 128, 128));
        canvas.dc.SelectObject(&pen);
        canvas.dc.MoveTo(10, 10);
        canvas.dc.LineTo(30, 10);
        const RECT ink = InkBox(canvas.surface, kWhite);
        EXPECT_EQ(ink.top, c.firstRow);
        EXPECT_EQ(ink.bottom - 1, c.lastRow);
        EXPECT_LE(ink.left, 10 - c.width / 2 + (c.width > 2 ? 1 : 0));  // the start cap
        EXPECT_GE(ink.right, 31);  // wide pens cover the end point
        EXPECT_EQ(canvas.At(20, 10), Px(RGB(128, 128, 128)));
    }
}

TEST(DrawShapes, PreviewFrameLinesAlongTheEdge) {
    // A 5-pixel line along the top edge leaves three rows visible.
    Canvas canvas(30, 30);
    CPen pen(PS_SOLID, 5, RGB(128, 128, 128));
    canvas.dc.SelectObject(&pen);
    canvas.dc.MoveTo(0, 0);
    canvas.dc.LineTo(30, 0);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(canvas.At(15, y), Px(RGB(128, 128, 128))) << y;
    EXPECT_EQ(canvas.At(15, 3), kWhite);
}

TEST(DrawShapes, NullAndStockPensAndPolyline) {
    Canvas canvas;
    canvas.dc.SelectStockObject(NULL_PEN);
    canvas.dc.MoveTo(0, 0);
    canvas.dc.LineTo(10, 10);
    EXPECT_EQ(InkBox(canvas.surface, kWhite).right, 0);
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    canvas.dc.SelectObject(&pen);
    const POINT points[3] = {{1, 1}, {5, 1}, {5, 5}};
    canvas.dc.Polyline(points, 3);
    EXPECT_EQ(canvas.At(1, 1), Px(RGB(255, 0, 0)));
    EXPECT_EQ(canvas.At(5, 1), Px(RGB(255, 0, 0)));  // the corner is the next segment's start
    EXPECT_EQ(canvas.At(5, 4), Px(RGB(255, 0, 0)));
    EXPECT_EQ(canvas.At(5, 5), kWhite);
}

TEST(DrawShapes, RectangleOutlinesInsideAndFillsWithTheBrush) {
    Canvas canvas;
    CBrush brush(RGB(0, 0, 255));
    canvas.dc.SelectObject(&brush);
    canvas.dc.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(InkBox(canvas.surface, kWhite).right, 8);
    EXPECT_EQ(InkBox(canvas.surface, kWhite).bottom, 6);
    EXPECT_EQ(canvas.At(2, 2), 0xFF000000u);
    EXPECT_EQ(canvas.At(7, 5), 0xFF000000u);
    EXPECT_EQ(canvas.At(4, 3), Px(RGB(0, 0, 255)));
    // With the null brush only the outline is drawn.
    Canvas hollow;
    hollow.dc.SelectStockObject(NULL_BRUSH);
    hollow.dc.Rectangle(2, 2, 8, 6);
    EXPECT_EQ(hollow.At(4, 3), kWhite);
    // Without an outline the fill stops one pixel short right and down, which
    // is why gradient bands are drawn one pixel wider.
    Canvas band;
    band.dc.SelectObject(&brush);
    band.dc.SelectStockObject(NULL_PEN);
    band.dc.Rectangle(3, 0, 5, 10);
    EXPECT_TRUE(InkBox(band.surface, kWhite).left == 3 && InkBox(band.surface, kWhite).right == 4);
    EXPECT_EQ(InkBox(band.surface, kWhite).bottom, 9);
    // FillRect with a null brush does nothing; FrameRect draws one pixel wide.
    Canvas frame;
    frame.dc.FillRect(RECT{0, 0, 20, 20}, static_cast<CBrush*>(GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(InkBox(frame.surface, kWhite).right, 0);
    CBrush black(RGB(0, 0, 0));
    frame.dc.FrameRect(RECT{1, 1, 5, 5}, &black);
    EXPECT_EQ(drawtest::CountPixels(frame.surface, 0xFF000000u), 12);
}

TEST(DrawShapes, FillSolidRectLeavesItsColourAsBackground) {
    // Classic behaviour that opaque text drawn afterwards relies on; the other
    // fills leave the background colour alone.
    Canvas canvas;
    canvas.dc.FillSolidRect(RECT{0, 0, 4, 4}, RGB(128, 128, 128));
    EXPECT_EQ(canvas.dc.GetBkColor(), RGB(128, 128, 128));
    CBrush brush(RGB(1, 2, 3));
    canvas.dc.FillRect(RECT{0, 0, 4, 4}, &brush);
    RECT edge{0, 0, 10, 10};
    canvas.dc.DrawEdge(&edge, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(canvas.dc.GetBkColor(), RGB(128, 128, 128));
}

TEST(DrawShapes, Draw3dRectCornersBelongToTheBottomRightColour) {
    Canvas canvas;
    const COLORREF tl = RGB(255, 0, 0), br = RGB(0, 0, 255);
    canvas.dc.Draw3dRect(RECT{2, 2, 8, 7}, tl, br);
    EXPECT_EQ(canvas.At(2, 2), Px(tl));
    EXPECT_EQ(canvas.At(6, 2), Px(tl));
    EXPECT_EQ(canvas.At(7, 2), Px(br));  // top-right
    EXPECT_EQ(canvas.At(2, 6), Px(br));  // bottom-left
    EXPECT_EQ(canvas.At(7, 6), Px(br));
    EXPECT_EQ(canvas.At(4, 4), kWhite);
}

TEST(DrawShapes, EdgeColoursOfTheClassicScheme) {
    struct Case {
        UINT edge, flags;
        int outerTL, outerBR, innerTL, innerBR;
    } cases[] = {
        {EDGE_RAISED, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
        {EDGE_RAISED, BF_RECT | BF_SOFT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW},
        {EDGE_SUNKEN, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
        {EDGE_ETCHED, BF_RECT, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
        {EDGE_BUMP, BF_RECT, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edge);
        Canvas canvas;
        RECT r{2, 2, 12, 10};
        ASSERT_TRUE(canvas.dc.DrawEdge(&r, c.edge, c.flags | BF_ADJUST));
        EXPECT_EQ(canvas.At(5, 2), Sys(c.outerTL));
        EXPECT_EQ(canvas.At(2, 5), Sys(c.outerTL));
        EXPECT_EQ(canvas.At(11, 5), Sys(c.outerBR));
        EXPECT_EQ(canvas.At(5, 9), Sys(c.outerBR));
        EXPECT_EQ(canvas.At(5, 3), Sys(c.innerTL));
        EXPECT_EQ(canvas.At(10, 5), Sys(c.innerBR));
        EXPECT_EQ(canvas.At(5, 5), kWhite);  // no BF_MIDDLE
        EXPECT_EQ(r.left, 4);
        EXPECT_EQ(r.bottom, 8);
    }
    // One side only, then the middle.
    Canvas one;
    RECT r{2, 2, 12, 10};
    one.dc.DrawEdge(&r, BDR_SUNKENOUTER, BF_TOP | BF_MIDDLE);
    EXPECT_EQ(one.At(5, 2), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(one.At(2, 5), Sys(COLOR_BTNFACE));
    EXPECT_EQ(r.top, 2);  // no BF_ADJUST
}

TEST(DrawShapes, FocusRectangleIsDottedAndUndoesItself) {
    Canvas canvas;
    canvas.dc.FillSolidRect(RECT{0, 0, 20, 20}, GetSysColor(COLOR_BTNFACE));
    Surface before = canvas.surface;
    const RECT r{3, 3, 15, 12};
    canvas.dc.DrawFocusRect(&r);
    int changed = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool onEdge = (x == 3 || x == 14 || y == 3 || y == 11) && x >= 3 && x <= 14 && y >= 3 && y <= 11;
            if (canvas.At(x, y) != before.At(x, y)) {
                ++changed;
                EXPECT_TRUE(onEdge) << x << "," << y;
            }
        }
    EXPECT_EQ(changed, 19);  // every other pixel of the 38-pixel outline
    canvas.dc.DrawFocusRect(&r);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.At(x, y), before.At(x, y)) << x << "," << y;
}

TEST(DrawShapes, PushButtonFrameControl) {
    Canvas canvas(40, 20);
    RECT r{0, 0, 40, 20};
    canvas.dc.DrawFrameControl(&r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
    EXPECT_EQ(canvas.At(5, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(5, 1), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.At(5, 19), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(5, 18), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(20, 10), Sys(COLOR_BTNFACE));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.bottom, 18);
    RECT pushed{0, 0, 40, 20};
    canvas.dc.DrawFrameControl(&pushed, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(canvas.At(5, 0), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(5, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(5, 19), Sys(COLOR_3DDKSHADOW));
}

TEST(DrawShapes, CheckBoxShowsItsState) {
    int ink[2] = {0, 0};
    for (int checked = 0; checked < 2; ++checked) {
        Canvas canvas;
        RECT r{0, 0, 13, 13};
        canvas.dc.DrawFrameControl(&r, DFC_BUTTON, DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0));
        EXPECT_EQ(canvas.At(0, 0), Sys(COLOR_BTNSHADOW));
        ink[checked] = drawtest::CountPixels(canvas.surface, Sys(COLOR_WINDOWTEXT));
    }
    EXPECT_EQ(ink[0], 0);
    EXPECT_EQ(ink[1], 21);
}

TEST(DrawShapes, PolygonAndEllipseStayInsideTheirBounds) {
    Canvas canvas(30, 30);
    CBrush brush(RGB(0, 128, 0));
    canvas.dc.SelectObject(&brush);
    canvas.dc.SelectStockObject(NULL_PEN);
    const POINT triangle[3] = {{5, 5}, {15, 5}, {10, 15}};
    canvas.dc.Polygon(triangle, 3);
    const RECT t = InkBox(canvas.surface, kWhite);
    EXPECT_GE(t.left, 5);
    EXPECT_LE(t.right, 15);
    EXPECT_EQ(t.top, 5);
    Canvas round(30, 30);
    round.dc.Ellipse(2, 2, 12, 12);
    const RECT e = InkBox(round.surface, kWhite);
    EXPECT_EQ(e.left, 2);
    EXPECT_EQ(e.right, 12);
    EXPECT_EQ(round.At(2, 2), kWhite);  // corners stay outside
}
