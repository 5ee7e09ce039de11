#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "OpsTestImages.h"

namespace {

int CountSelected(OpsImage& image) {
    int count = 0;
    for (LONG y = 0; y < image.GetHeight(); ++y)
        for (LONG x = 0; x < image.GetWidth(); ++x) count += image.SelectionIsInside(x, y);
    return count;
}

void ExpectBox(const RECT& box, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(box.left, left);
    EXPECT_EQ(box.top, top);
    EXPECT_EQ(box.right, right);
    EXPECT_EQ(box.bottom, bottom);
}

TEST(ImageAlpha, PlaneMembers) {
    OpsImage image(0);
    EXPECT_FALSE(image.AlphaCreate());  // no picture
    ASSERT_TRUE(image.Create(3, 2, 24));
    ASSERT_TRUE(image.AlphaCreate());
    EXPECT_EQ(image.AlphaGet(2, 1), 0);
    image.AlphaSet(BYTE(200));
    image.AlphaSet(1, 1, 7);
    image.AlphaSet(3, 1, 9);  // outside: ignored
    EXPECT_EQ(image.AlphaGet(1, 1), 7);
    EXPECT_EQ(image.AlphaGet(3, 1), 0);
    EXPECT_EQ(image.AlphaGet(0, 0), 200);
    image.AlphaInvert();
    EXPECT_EQ(image.AlphaGet(1, 1), 248);
    EXPECT_EQ(image.AlphaGet(0, 0), 55);
    image.AlphaClear();
    EXPECT_EQ(image.AlphaGet(1, 1), 0);
    image.AlphaDelete();
    EXPECT_FALSE(image.AlphaIsValid());
    EXPECT_FALSE(image.AlphaFlip());
    EXPECT_FALSE(image.AlphaMirror());
}

TEST(ImageAlpha, FlipAndMirrorMoveThePlane) {
    OpsImage image(0);
    MakePattern(image, 5, 3, 8);
    ASSERT_TRUE(image.AlphaFlip());
    EXPECT_EQ(image.AlphaGet(1, 0), AlphaAt(1, 2));
    EXPECT_EQ(image.AlphaGet(4, 1), AlphaAt(4, 1));
    ASSERT_TRUE(image.AlphaMirror());
    EXPECT_EQ(image.AlphaGet(0, 0), AlphaAt(4, 2));
}

TEST(ImageAlpha, CopyNeedsThePlaneAndTheSameSize) {
    OpsImage source(0);
    MakePattern(source, 4, 3, 24);
    source.AlphaSetMax(120);
    struct Case {
        LONG width, height;
        bool expected;
    } cases[] = {{4, 3, true}, {5, 3, false}, {4, 6, false}, {4, 2, false}};
    for (const Case& c : cases) {
        OpsImage target(0);
        ASSERT_TRUE(target.Create(c.width, c.height, 8));
        EXPECT_EQ(target.AlphaCopy(source), c.expected) << c.width << "x" << c.height;
        if (c.expected) {
            EXPECT_EQ(target.AlphaGet(3, 2), AlphaAt(3, 2));
            EXPECT_EQ(target.AlphaGetMax(), 120);
        }
    }
    OpsImage plain(0);
    ASSERT_TRUE(plain.Create(4, 3, 24));
    OpsImage target(0);
    ASSERT_TRUE(target.Create(4, 3, 24));
    EXPECT_FALSE(target.AlphaCopy(plain));
}

TEST(ImageAlpha, SetFromAGreyImage) {
    OpsImage mask(0);
    ASSERT_TRUE(mask.Create(3, 2, 8));
    mask.SetGrayPalette();
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x) mask.SetPixelIndex(x, y, BYTE(10 * x + 100 * y));
    OpsImage image(0);
    ASSERT_TRUE(image.Create(3, 2, 24));
    ASSERT_TRUE(image.AlphaSet(mask));
    EXPECT_EQ(image.AlphaGet(2, 1), 120);
    EXPECT_EQ(image.AlphaGet(1, 0), 10);

    OpsImage shorter(0);
    ASSERT_TRUE(shorter.Create(3, 1, 8));
    shorter.SetGrayPalette();
    EXPECT_FALSE(image.AlphaSet(shorter));
    mask.SetPaletteColor(3, 0, 0, 0);
    EXPECT_FALSE(image.AlphaSet(mask));
}

TEST(ImageAlpha, SplitIntoGreyImages) {
    OpsImage image(0);
    MakePattern(image, 4, 3, 4);
    OpsImage plane(0);
    ASSERT_TRUE(image.AlphaSplit(&plane));
    EXPECT_EQ(plane.GetBpp(), 8);
    EXPECT_TRUE(plane.IsGrayScale());
    EXPECT_EQ(plane.GetPixelIndex(3, 2), AlphaAt(3, 2));

    for (DWORD i = 0; i < 16; ++i) {
        RGBQUAD c = image.GetPaletteColor(BYTE(i));
        c.rgbReserved = BYTE(i * 16);
        image.SetPaletteColor(BYTE(i), c);
    }
    EXPECT_TRUE(image.AlphaPaletteIsValid());
    OpsImage paletteAlpha(0);
    ASSERT_TRUE(image.AlphaPaletteSplit(&paletteAlpha));
    EXPECT_EQ(paletteAlpha.GetPixelIndex(2, 1), PatternIndex(2, 1, 4) * 16);
    image.AlphaPaletteClear();
    EXPECT_FALSE(image.AlphaPaletteIsValid());

    OpsImage none(0);
    ASSERT_TRUE(none.Create(2, 2, 24));
    EXPECT_FALSE(none.AlphaSplit(&plane));
    EXPECT_FALSE(none.AlphaPaletteSplit(&plane));
}

TEST(ImageAlpha, StripFlattensOntoTheTransparentColour) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(2, 1, 24));
    image.SetPixelColor(0, 0, RGB(200, 100, 0));
    image.SetPixelColor(1, 0, RGB(200, 100, 0));
    image.SetTransColor(RGBQUAD{255, 255, 255, 0});  // white background
    ASSERT_TRUE(image.AlphaCreate());
    image.AlphaSet(0, 0, 255);
    image.AlphaSet(1, 0, 51);
    image.AlphaSetMax(255);
    image.AlphaStrip();
    EXPECT_FALSE(image.AlphaIsValid());
    const RGBQUAD opaque = image.GetPixelColor(0, 0), faint = image.GetPixelColor(1, 0);
    EXPECT_EQ(opaque.rgbRed, 200);
    EXPECT_EQ(opaque.rgbBlue, 0);
    // a = 51: (255 x 204 + 51 x c) / 255
    EXPECT_EQ(faint.rgbRed, (255 * 204 + 51 * 200) / 255);
    EXPECT_EQ(faint.rgbGreen, (255 * 204 + 51 * 100) / 255);
    EXPECT_EQ(faint.rgbBlue, 204);

    // A palette image with palette alpha becomes true colour.
    OpsImage indexed(0);
    ASSERT_TRUE(indexed.Create(2, 1, 1));
    indexed.SetPaletteColor(0, 0, 0, 0, 255);
    indexed.SetPaletteColor(1, 100, 100, 100, 0);
    indexed.SetPixelIndex(0, 0, 0);
    indexed.SetPixelIndex(1, 0, 1);
    indexed.SetTransColor(RGBQUAD{10, 20, 30, 0});
    indexed.AlphaStrip();
    EXPECT_EQ(indexed.GetBpp(), 24);
    EXPECT_EQ(indexed.GetPixelColor(0, 0).rgbRed, 0);
    EXPECT_EQ(indexed.GetPixelColor(1, 0).rgbRed, 30);
    EXPECT_EQ(indexed.GetPixelColor(1, 0).rgbBlue, 10);

    // Nothing to flatten: nothing changes.
    OpsImage plain(0);
    ASSERT_TRUE(plain.Create(1, 1, 8));
    plain.AlphaStrip();
    EXPECT_EQ(plain.GetBpp(), 8);
}

TEST(ImageSelection, PlaneAndBox) {
    OpsImage image(0);
    EXPECT_FALSE(image.SelectionCreate());
    ASSERT_TRUE(image.Create(6, 4, 8));
    EXPECT_TRUE(image.SelectionIsInside(5, 3));  // no plane: everything
    EXPECT_FALSE(image.SelectionIsInside(6, 0));
    EXPECT_FALSE(image.SelectionClear());
    EXPECT_FALSE(image.SelectionInvert());
    ASSERT_TRUE(image.SelectionCreate());
    EXPECT_EQ(CountSelected(image), 0);
    ExpectBox(image.SelectionBox(), 6, 0, 0, 4);

    ASSERT_TRUE(image.SelectionAddRect(RECT{4, 1, 1, 3}));  // unordered edges
    EXPECT_EQ(CountSelected(image), 6);
    ExpectBox(image.SelectionBox(), 1, 3, 4, 1);
    ASSERT_TRUE(image.SelectionAddRect(RECT{-10, 100, 2, 3}));  // clamped
    EXPECT_EQ(CountSelected(image), 6 + 2);
    ExpectBox(image.SelectionBox(), 0, 4, 4, 1);

    ASSERT_TRUE(image.SelectionInvert());
    EXPECT_EQ(CountSelected(image), 24 - 8);
    // The box covers the newly selected pixels, here the whole picture.
    ExpectBox(image.SelectionBox(), 0, 4, 6, 0);

    ASSERT_TRUE(image.SelectionClear());
    EXPECT_EQ(CountSelected(image), 0);
    ExpectBox(image.SelectionBox(), 6, 0, 0, 4);
    EXPECT_TRUE(image.SelectionDelete());
    EXPECT_FALSE(image.SelectionIsValid());
}

TEST(ImageSelection, CopyNeedsThePlaneAndTheSameSize) {
    OpsImage source(0);
    MakePattern(source, 6, 2, 8);
    OpsImage same(0), wider(0), taller(0);
    ASSERT_TRUE(same.Create(6, 2, 24));
    ASSERT_TRUE(wider.Create(7, 2, 24));
    ASSERT_TRUE(taller.Create(6, 3, 24));
    ASSERT_TRUE(same.SelectionCopy(source));
    EXPECT_EQ(CountSelected(same), 6);
    ExpectBox(same.SelectionBox(), 0, 2, 3, 0);
    EXPECT_FALSE(wider.SelectionCopy(source));
    EXPECT_FALSE(taller.SelectionCopy(source));
}

TEST(ImageSelection, Ellipse) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(20, 20, 8));
    EXPECT_FALSE(image.SelectionAddEllipse(RECT{5, 2, 5, 12}));   // zero width
    EXPECT_FALSE(image.SelectionAddEllipse(RECT{2, 5, 12, 5}));   // zero height
    EXPECT_FALSE(image.SelectionAddEllipse(RECT{5, 2, 6, 12}));   // half axis 0
    ASSERT_TRUE(image.SelectionAddEllipse(RECT{2, 16, 18, 4}));  // centre (10, 10), 8 x 6
    EXPECT_TRUE(image.SelectionIsInside(10, 10));
    EXPECT_TRUE(image.SelectionIsInside(3, 10));
    EXPECT_TRUE(image.SelectionIsInside(10, 15));
    EXPECT_TRUE(image.SelectionIsInside(10, 5));
    EXPECT_FALSE(image.SelectionIsInside(10, 4));  // the lower rim is exclusive
    EXPECT_FALSE(image.SelectionIsInside(2, 15));   // corner of the rectangle
    EXPECT_FALSE(image.SelectionIsInside(17, 4));
    EXPECT_FALSE(image.SelectionIsInside(18, 10));  // beyond the half axis
    ExpectBox(image.SelectionBox(), 2, 16, 18, 4);
    // Somewhat under pi x 8 x 6 pixels: the rims are cut inwards.
    const int area = CountSelected(image);
    EXPECT_GT(area, 110);
    EXPECT_LT(area, 170);

    // Partly outside the picture: clipped, no stray writes.
    OpsImage small(0);
    ASSERT_TRUE(small.Create(4, 4, 24));
    ASSERT_TRUE(small.SelectionAddEllipse(RECT{-100, 100, 100, -100}));
    EXPECT_EQ(CountSelected(small), 16);
}

TEST(ImageSelection, PolygonRingsAreFilled) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(30, 20, 8));
    EXPECT_FALSE(image.SelectionAddPolygon(nullptr, 4));
    const POINT two[2] = {{1, 1}, {5, 5}};
    EXPECT_FALSE(image.SelectionAddPolygon(two, 2));

    // Two squares, the second ring after the x = -1 marker.
    const POINT rings[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}, {-1, 0}, {20, 10}, {26, 10}, {26, 16}, {20, 16}};
    ASSERT_TRUE(image.SelectionAddPolygon(rings, LONG(sizeof(rings) / sizeof(rings[0]))));
    EXPECT_EQ(CountSelected(image), 49 + 49);
    EXPECT_TRUE(image.SelectionIsInside(5, 5));
    EXPECT_TRUE(image.SelectionIsInside(23, 13));
    EXPECT_FALSE(image.SelectionIsInside(14, 9));
    ExpectBox(image.SelectionBox(), 2, 17, 27, 2);

    // A triangle: its inside and outline, nothing of the outside.
    OpsImage triangle(0);
    ASSERT_TRUE(triangle.Create(20, 20, 24));
    const POINT corners[] = {{2, 2}, {17, 2}, {2, 17}};
    ASSERT_TRUE(triangle.SelectionAddPolygon(corners, 3));
    EXPECT_TRUE(triangle.SelectionIsInside(5, 5));
    EXPECT_TRUE(triangle.SelectionIsInside(9, 9));
    EXPECT_FALSE(triangle.SelectionIsInside(12, 12));
    EXPECT_FALSE(triangle.SelectionIsInside(1, 1));
    const int area = CountSelected(triangle);
    EXPECT_GT(area, 120);  // 16 x 16 / 2 plus the diagonal
    EXPECT_LT(area, 145);
}

TEST(ImageSelection, PolygonWithFarPointsEndsQuickly) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(10, 10, 8));
    const POINT far[] = {{-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000}};
    EXPECT_TRUE(image.SelectionAddPolygon(far, 3));
}

TEST(ImageSelection, ColourAddsMatchingPixels) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(5, 4, 24));
    image.Clear(0);
    image.SetPixelColor(1, 1, RGB(10, 20, 30));
    image.SetPixelColor(3, 2, RGB(10, 20, 30));
    image.SetPixelColor(2, 2, RGB(10, 20, 31));
    ASSERT_TRUE(image.AlphaCreate());
    ASSERT_TRUE(image.SelectionAddColor(RGBQUAD{30, 20, 10, 77}));  // alpha ignored
    EXPECT_EQ(CountSelected(image), 2);
    ExpectBox(image.SelectionBox(), 1, 3, 4, 1);
}

TEST(ImageSelection, RowRunsOfFullySelectedBytes) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(8, 3, 8));
    RxImage::RowRuns runs;
    EXPECT_FALSE(image.SelectionToHRGN(&runs));
    ASSERT_TRUE(image.SelectionAddRect(RECT{1, 0, 3, 1}));
    ASSERT_TRUE(image.SelectionAddRect(RECT{5, 0, 8, 1}));
    ASSERT_TRUE(image.SelectionAddRect(RECT{0, 2, 8, 3}));
    EXPECT_FALSE(image.SelectionToHRGN(nullptr));
    ASSERT_TRUE(image.SelectionToHRGN(&runs));
    ASSERT_EQ(runs.size(), 3u);
    ExpectBox(runs[0], 1, 0, 3, 1);
    ExpectBox(runs[1], 5, 0, 8, 1);
    ExpectBox(runs[2], 0, 2, 8, 3);
}

}  // namespace
