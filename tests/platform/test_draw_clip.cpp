// Clip regions, saved states, viewport origins and child-window contexts.

#include <gtest/gtest.h>

#include "platform/CDC.h"
#include "test_draw_support.h"

using drawtest::InkBox;
using drawtest::Px;

namespace {

const uint32_t kWhite = 0xFFFFFFFFu;

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST(DrawClip, ClipBoxStartsAsTheWholeSurface) {
    Surface s(30, 20);
    CDC dc(&s);
    RECT box;
    EXPECT_EQ(dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 30, 20}));
    dc.SetViewportOrg(5, 5);
    dc.GetClipBox(&box);
    EXPECT_TRUE(SameRect(box, RECT{-5, -5, 25, 15}));  // logical coordinates
}

TEST(DrawClip, IntersectThenAddBackRestoresTheClip) {
    // The image drawing's way: remember the clip box, intersect, draw, then
    // add the remembered box back.
    Surface s(30, 20, kWhite);
    CDC dc(&s);
    RECT saved;
    dc.GetClipBox(&saved);
    dc.IntersectClipRect(5, 5, 10, 10);
    RECT narrowed;
    dc.GetClipBox(&narrowed);
    EXPECT_TRUE(SameRect(narrowed, RECT{5, 5, 10, 10}));
    dc.FillSolidRect(RECT{0, 0, 30, 20}, RGB(255, 0, 0));
    EXPECT_EQ(drawtest::CountPixels(s, Px(RGB(255, 0, 0))), 25);
    CRgn back;
    back.CreateRectRgnIndirect(saved);
    EXPECT_EQ(dc.SelectClipRgn(&back, RGN_OR), SIMPLEREGION);
    RECT restored;
    dc.GetClipBox(&restored);
    EXPECT_TRUE(SameRect(restored, saved));
    dc.FillSolidRect(RECT{0, 0, 30, 20}, RGB(0, 0, 255));
    EXPECT_EQ(drawtest::CountPixels(s, Px(RGB(0, 0, 255))), 600);
}

TEST(DrawClip, SaveAndRestoreTheWholeState) {
    Surface s(30, 20, kWhite);
    CDC dc(&s);
    CPen pen(PS_SOLID, 3, RGB(1, 2, 3));
    const int level = dc.SaveDC();
    EXPECT_EQ(level, 1);
    dc.SelectObject(&pen);
    dc.SetTextColor(RGB(9, 9, 9));
    dc.SetBkMode(TRANSPARENT);
    dc.SetViewportOrg(4, 4);
    dc.IntersectClipRect(0, 0, 2, 2);
    dc.SaveDC();
    dc.ExcludeClipRect(0, 0, 1, 1);
    EXPECT_TRUE(dc.RestoreDC(-1));  // the last saved state
    RECT box;
    dc.GetClipBox(&box);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 2, 2}));
    EXPECT_TRUE(dc.RestoreDC(level));
    EXPECT_NE(dc.GetCurrentPen(), &pen);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(dc.GetViewportOrg().x, 0);
    dc.GetClipBox(&box);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 30, 20}));
    // Levels that were never saved (or already restored) are refused.
    EXPECT_FALSE(dc.RestoreDC(1));
    EXPECT_FALSE(dc.RestoreDC(-1));
    EXPECT_FALSE(dc.RestoreDC(0));
}

TEST(DrawClip, ExcludeAndSelectRegions) {
    Surface s(10, 10, kWhite);
    CDC dc(&s);
    EXPECT_EQ(dc.ExcludeClipRect(2, 2, 4, 4), COMPLEXREGION);
    dc.FillSolidRect(RECT{0, 0, 10, 10}, RGB(0, 0, 0));
    EXPECT_EQ(drawtest::CountPixels(s, kWhite), 4);
    EXPECT_FALSE(dc.PtVisible(3, 3));
    EXPECT_TRUE(dc.PtVisible(5, 5));
    EXPECT_FALSE(dc.RectVisible(RECT{2, 2, 4, 4}));
    EXPECT_TRUE(dc.RectVisible(RECT{2, 2, 5, 4}));
    // An empty intersection leaves nothing visible.
    EXPECT_EQ(dc.IntersectClipRect(20, 20, 30, 30), NULLREGION);
    EXPECT_FALSE(dc.RectVisible(RECT{0, 0, 10, 10}));
    EXPECT_EQ(dc.GetPixel(5, 5), CLR_INVALID);
    // Selecting no region removes the clip.
    EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
    EXPECT_TRUE(dc.RectVisible(RECT{0, 0, 1, 1}));
}

TEST(DrawClip, ChildWindowContextDrawsAtItsOriginAndNeverOutside) {
    Surface top(40, 30, kWhite);
    CDC child;
    child.Attach(&top, POINT{10, 5}, RECT{10, 5, 20, 15});  // a 10 x 10 child at (10, 5)
    child.FillSolidRect(RECT{0, 0, 100, 100}, RGB(0, 0, 0));
    EXPECT_TRUE(SameRect(InkBox(top, kWhite), RECT{10, 5, 20, 15}));
    RECT box;
    child.GetClipBox(&box);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 10, 10}));
    // A clip region can narrow the base clip but never widen it.
    CRgn everything;
    everything.CreateRectRgn(-100, -100, 100, 100);
    child.SelectClipRgn(&everything);
    child.FillSolidRect(RECT{-50, -50, 50, 50}, RGB(255, 0, 0));
    EXPECT_TRUE(SameRect(InkBox(top, kWhite), RECT{10, 5, 20, 15}));
    EXPECT_EQ(child.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(top.At(10, 5), Px(RGB(255, 0, 0)));
}

TEST(DrawClip, RegionAlgebra) {
    CRgn a, b, result;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 15, 15);
    struct Case {
        int mode;
        int area;
    } cases[] = {{RGN_AND, 25}, {RGN_OR, 175}, {RGN_DIFF, 75}, {RGN_XOR, 150}, {RGN_COPY, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        result.CombineRgn(&a, &b, c.mode);
        int area = 0;
        for (const RECT& r : result.Rects()) area += (r.right - r.left) * (r.bottom - r.top);
        EXPECT_EQ(area, c.area);  // pieces never overlap
    }
    EXPECT_EQ(result.CombineRgn(&a, &b, 99), RGN_ERROR);
    CRgn reversed;
    reversed.CreateRectRgn(10, 10, 0, 0);  // corners in any order
    RECT box;
    EXPECT_EQ(reversed.GetRgnBox(&box), SIMPLEREGION);
    EXPECT_TRUE(SameRect(box, RECT{0, 0, 10, 10}));
}
