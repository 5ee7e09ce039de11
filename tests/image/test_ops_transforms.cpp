#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OpsTestImages.h"

namespace {

const WORD kDepths[] = {1, 4, 8, 24};

// Where a geometric transform takes each pixel from: new (x, y) reads
// old (Source(x, y)) of a width x height picture.
struct Geometry {
    std::string name;
    std::function<bool(RxImage&, RxImage*)> apply;
    bool swapsSides;
    std::function<POINT(LONG x, LONG y, LONG width, LONG height)> source;
    bool keepsSelection;
};

const std::vector<Geometry>& Geometries() {
    static const std::vector<Geometry> table = {
        {"Flip", [](RxImage& i, RxImage*) { return i.Flip(); }, false,
         [](LONG x, LONG y, LONG, LONG h) { return POINT{x, h - 1 - y}; }, false},
        {"Mirror", [](RxImage& i, RxImage*) { return i.Mirror(); }, false,
         [](LONG x, LONG y, LONG w, LONG) { return POINT{w - 1 - x, y}; }, false},
        {"RotateLeft", [](RxImage& i, RxImage* d) { return i.RotateLeft(d); }, true,
         [](LONG x, LONG y, LONG, LONG h) { return POINT{y, h - 1 - x}; }, false},
        {"RotateRight", [](RxImage& i, RxImage* d) { return i.RotateRight(d); }, true,
         [](LONG x, LONG y, LONG w, LONG) { return POINT{w - 1 - y, x}; }, false},
        {"Rotate180", [](RxImage& i, RxImage* d) { return i.Rotate180(d); }, false,
         [](LONG x, LONG y, LONG w, LONG h) { return POINT{w - 1 - x, h - 1 - y}; }, false},
    };
    return table;
}

void ExpectMoved(OpsImage& original, OpsImage& moved, const Geometry& g, WORD bpp) {
    const LONG w = original.GetWidth(), h = original.GetHeight();
    ASSERT_EQ(moved.GetWidth(), g.swapsSides ? h : w) << g.name << " " << bpp;
    ASSERT_EQ(moved.GetHeight(), g.swapsSides ? w : h) << g.name << " " << bpp;
    ASSERT_EQ(moved.GetBpp(), bpp);
    for (LONG y = 0; y < moved.GetHeight(); ++y) {
        for (LONG x = 0; x < moved.GetWidth(); ++x) {
            const POINT s = g.source(x, y, w, h);
            ASSERT_EQ(PixelValue(moved, x, y), PixelValue(original, s.x, s.y))
                << g.name << " " << bpp << " bits at " << x << "," << y;
            ASSERT_EQ(moved.AlphaGet(x, y), original.AlphaGet(s.x, s.y)) << g.name << " alpha";
        }
    }
    EXPECT_TRUE(SamePalette(moved, original)) << g.name << " " << bpp;
    EXPECT_EQ(moved.GetTransIndex(), original.GetTransIndex()) << g.name << " " << bpp;
    EXPECT_EQ(moved.SelectionIsValid(), g.keepsSelection) << g.name << " " << bpp;
}

TEST(ImageTransforms, GeometryOverEveryDepth) {
    for (const Geometry& g : Geometries()) {
        for (WORD bpp : kDepths) {
            // Odd sizes put pixels in the middle of packed bytes.
            OpsImage original(0);
            MakePattern(original, 13, 5, bpp);
            OpsImage image(original);
            ASSERT_TRUE(g.apply(image, nullptr)) << g.name;
            ExpectMoved(original, image, g, bpp);
        }
    }
}

TEST(ImageTransforms, TurnsIntoADestinationLeaveTheSourceAlone) {
    for (const Geometry& g : Geometries()) {
        if (g.name == "Flip" || g.name == "Mirror") continue;
        OpsImage original(0);
        MakePattern(original, 9, 4, 1);
        OpsImage image(original);
        OpsImage target(0);
        ASSERT_TRUE(g.apply(image, &target)) << g.name;
        EXPECT_EQ(PixelValues(image), PixelValues(original)) << g.name;
        EXPECT_TRUE(image.SelectionIsValid()) << g.name;
        ExpectMoved(original, target, g, 1);
    }
}

TEST(ImageTransforms, NothingToTransformWithoutAPicture) {
    OpsImage empty(0);
    EXPECT_FALSE(empty.Flip());
    EXPECT_FALSE(empty.Mirror());
    EXPECT_FALSE(empty.RotateLeft());
    EXPECT_FALSE(empty.RotateRight());
    EXPECT_FALSE(empty.Rotate180());
    EXPECT_FALSE(empty.Rotate(30));
    EXPECT_FALSE(empty.GrayScale());
    EXPECT_FALSE(empty.Negative());
    EXPECT_FALSE(empty.Crop(0, 0, 1, 1));
    EXPECT_FALSE(empty.Skew(1, 0));
    EXPECT_FALSE(empty.Resample(2, 2));
    EXPECT_FALSE(empty.Dither(1));
    EXPECT_FALSE(empty.DecreaseBpp(1, false));
    EXPECT_FALSE(empty.IncreaseBpp(24));
    EXPECT_EQ(empty.ConvertWB(), 0);
    EXPECT_EQ(empty.ConvertWB2(RGBQUAD{}), 0);
}

TEST(ImageTransforms, LayersStayWithTheImage) {
    // A transform replaces the picture, not the image's other contents.
    OpsImage image(0);
    MakePattern(image, 6, 4, 24);
    RxImage* before = image.GetParent();
    ASSERT_TRUE(image.RotateLeft());
    EXPECT_EQ(image.GetParent(), before);
    EXPECT_EQ(image.GetNumLayers(), 0);
}

TEST(ImageTransforms, FreeRotationBounds) {
    struct Case {
        LONG width, height;
        float angle;
        LONG newWidth, newHeight;
    } cases[] = {
        {4, 2, 90, 2, 4},
        {4, 2, -90, 2, 4},
        {4, 2, 180, 4, 2},
        {10, 10, 45, 13, 14},  // the fourth corner is (width - 1, height)
        {7, 3, 0, 7, 3},
    };
    for (const Case& c : cases) {
        for (WORD bpp : kDepths) {
            OpsImage image(0);
            MakePattern(image, c.width, c.height, bpp);
            ASSERT_TRUE(image.Rotate(c.angle)) << c.angle;
            EXPECT_EQ(image.GetWidth(), c.newWidth) << c.angle << " " << bpp;
            EXPECT_EQ(image.GetHeight(), c.newHeight) << c.angle << " " << bpp;
            EXPECT_EQ(image.GetBpp(), bpp);
            EXPECT_EQ(image.AlphaIsValid(), true);
            EXPECT_FALSE(image.SelectionIsValid());
        }
    }
}

TEST(ImageTransforms, FreeRotationSamplesBySourcePosition) {
    // At 0 degrees every pixel (j, i) reads ((int)(j - 0.5), (int)(i - 0.5)):
    // column 0 and 1 both read column 0.
    OpsImage original(0);
    MakePattern(original, 5, 3, 24);
    OpsImage image(original);
    ASSERT_TRUE(image.Rotate(0));
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 5; ++x) {
            const LONG sx = x == 0 ? 0 : x - 1, sy = y == 0 ? 0 : y - 1;
            EXPECT_EQ(PixelValue(image, x, y), PixelValue(original, sx, sy)) << x << "," << y;
            EXPECT_EQ(image.AlphaGet(x, y), original.AlphaGet(sx, sy));
        }

    // Corners turned out of the picture read the transparent index.
    OpsImage indexed(0);
    MakePattern(indexed, 10, 10, 8);
    indexed.SetTransIndex(200);
    ASSERT_TRUE(indexed.Rotate(45));
    EXPECT_EQ(indexed.GetPixelIndex(0, 0), 200);
    EXPECT_EQ(indexed.AlphaGet(0, 0), 0);
}

TEST(ImageTransforms, RotationsThatCannotBeAllocatedChangeNothing) {
    OpsImage tall(0);
    ASSERT_TRUE(tall.Create(1, 65536, 24));
    tall.Clear(9);
    EXPECT_FALSE(tall.Rotate(45));  // about 46341 x 46341 x 3 bytes
    EXPECT_EQ(tall.GetWidth(), 1);
    EXPECT_EQ(tall.GetHeight(), 65536);
    EXPECT_EQ(tall.GetPixelColor(0, 100).rgbBlue, 9);
    const float notANumber = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(tall.Rotate(notANumber));
    EXPECT_FALSE(tall.Rotate(std::numeric_limits<float>::infinity()));
}

TEST(ImageTransforms, GrayScaleOverEveryDepth) {
    for (WORD bpp : kDepths) {
        OpsImage original(0);
        MakePattern(original, 7, 3, bpp);
        OpsImage image(original);
        ASSERT_TRUE(image.GrayScale()) << bpp;
        EXPECT_EQ(image.GetBpp(), 8) << bpp;
        EXPECT_TRUE(image.IsGrayScale()) << bpp;
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 7; ++x) {
                ASSERT_EQ(image.GetPixelIndex(x, y), original.GetPixelGray(x, y)) << bpp;
                ASSERT_EQ(image.AlphaGet(x, y), AlphaAt(x, y)) << bpp;
            }
        if (bpp != 24) {
            // The transparent index follows its colour's grey level.
            const RGBQUAD t = TestPaletteColor(1);
            EXPECT_EQ(image.GetTransIndex(), (t.rgbRed * 306 + t.rgbGreen * 601 + t.rgbBlue * 117) >> 10);
        }
    }
}

TEST(ImageTransforms, NegativeRespectsTheSelection) {
    OpsImage original(0);
    MakePattern(original, 6, 2, 24);
    original.SetTransColor(RGBQUAD{10, 20, 30, 0});
    OpsImage image(original);
    ASSERT_TRUE(image.Negative());
    for (LONG x = 0; x < 6; ++x) {
        const DWORD before = PixelValue(original, x, 1), after = PixelValue(image, x, 1);
        EXPECT_EQ(after, x < 3 ? (before ^ 0xFFFFFFu) : before) << x;
    }
    EXPECT_EQ(image.GetTransColor().rgbBlue, 245);

    // A colour palette is inverted; the indices stay.
    OpsImage colourPalette(0);
    MakePattern(colourPalette, 6, 2, 4);
    OpsImage inverted(colourPalette);
    ASSERT_TRUE(inverted.Negative());
    EXPECT_EQ(PixelValues(inverted), PixelValues(colourPalette));
    EXPECT_EQ(inverted.GetPaletteColor(3).rgbRed, 255 - TestPaletteColor(3).rgbRed);

    // A grey palette keeps its entries; the selected indices are inverted.
    OpsImage grey(0);
    ASSERT_TRUE(grey.Create(4, 1, 8));
    grey.SetGrayPalette();
    for (LONG x = 0; x < 4; ++x) grey.SetPixelIndex(x, 0, BYTE(x * 10));
    grey.SelectionAddRect(RECT{0, 1, 2, 0});
    ASSERT_TRUE(grey.Negative());
    EXPECT_TRUE(grey.IsGrayScale());
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 255);
    EXPECT_EQ(grey.GetPixelIndex(1, 0), 245);
    EXPECT_EQ(grey.GetPixelIndex(2, 0), 20);
}

TEST(ImageTransforms, NegativeOfAGreyPictureKeepsItsTransparentPixels) {
    OpsImage grey(0);
    ASSERT_TRUE(grey.Create(3, 1, 8));
    grey.SetGrayPalette();
    grey.SetPixelIndex(0, 0, 40);
    grey.SetTransIndex(40);
    ASSERT_TRUE(grey.Negative());
    EXPECT_EQ(grey.GetTransIndex(), grey.GetPixelIndex(0, 0));
}

TEST(ImageTransforms, CropTakesRowsCountedFromTheTop) {
    for (WORD bpp : kDepths) {
        OpsImage original(0);
        MakePattern(original, 11, 6, bpp);
        OpsImage image(original);
        ASSERT_TRUE(image.Crop(0, 0, 11, 1)) << bpp;
        ASSERT_EQ(image.GetWidth(), 11);
        ASSERT_EQ(image.GetHeight(), 1);
        for (LONG x = 0; x < 11; ++x) EXPECT_EQ(PixelValue(image, x, 0), PixelValue(original, x, 5)) << bpp;

        // Odd left edges, unordered and clamped edges.
        OpsImage part(0);
        ASSERT_TRUE(original.Crop(9, 4, 3, 1, &part)) << bpp;
        EXPECT_EQ(original.GetWidth(), 11);  // the source stays
        ASSERT_EQ(part.GetWidth(), 6);
        ASSERT_EQ(part.GetHeight(), 3);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 6; ++x) {
                // rows 6 - 4 = 2 up to 6 - 1 = 5 (exclusive)
                ASSERT_EQ(PixelValue(part, x, y), PixelValue(original, 3 + x, 2 + y)) << bpp;
                ASSERT_EQ(part.AlphaGet(x, y), original.AlphaGet(3 + x, 2 + y)) << bpp;
            }
        EXPECT_TRUE(SamePalette(part, original));
        EXPECT_EQ(part.GetTransIndex(), original.GetTransIndex());
        EXPECT_FALSE(part.SelectionIsValid());

        OpsImage clamped(0);
        ASSERT_TRUE(original.Crop(-5, -5, 50, 50, &clamped));
        EXPECT_EQ(PixelValues(clamped), PixelValues(original)) << bpp;
        EXPECT_FALSE(original.Crop(4, 0, 4, 6));
        EXPECT_FALSE(original.Crop(0, 7, 11, 9));  // both edges clamp to the bottom
    }
    RECT rect{1, 1, 3, 2};
    OpsImage image(0);
    MakePattern(image, 5, 5, 8);
    ASSERT_TRUE(image.Crop(rect));
    EXPECT_EQ(image.GetWidth(), 2);
    EXPECT_EQ(image.GetHeight(), 1);
}

TEST(ImageTransforms, SkewShiftsRowsWithinTheSelection) {
    OpsImage original(0);
    MakePattern(original, 8, 4, 24, false);
    original.AlphaCreate();
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 8; ++x) original.AlphaSet(x, y, AlphaAt(x, y));
    OpsImage image(original);
    ASSERT_TRUE(image.Skew(1.0f, 0.0f, 0, 0));
    // Row y reads x + y; beyond the right edge the first pixel's colour.
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 8; ++x) {
            const LONG sx = x + y;
            const DWORD expected = sx < 8 ? PixelValue(original, sx, y) : PixelValue(original, 0, 0);
            EXPECT_EQ(PixelValue(image, x, y), expected) << x << "," << y;
            EXPECT_EQ(image.AlphaGet(x, y), sx < 8 ? AlphaAt(sx, y) : 0);
        }

    OpsImage selected(original);
    selected.SelectionAddRect(RECT{0, 4, 4, 0});
    ASSERT_TRUE(selected.Skew(0.0f, 0.5f, 0, 0));
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 8; ++x) {
            const LONG sy = y + LONG(x * 0.5f);
            const DWORD expected = x >= 4 ? PixelValue(original, x, y)
                                   : sy < 4 ? PixelValue(original, x, sy)
                                            : PixelValue(original, 0, 0);
            EXPECT_EQ(PixelValue(selected, x, y), expected) << x << "," << y;
        }

    OpsImage hostile(original);
    EXPECT_TRUE(hostile.Skew(std::numeric_limits<float>::quiet_NaN(), 3e38f, 5, 5));
}

}  // namespace
