#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "OpsTestImages.h"

namespace {

const int kModes[] = {1, 2, 3};

TEST(ImageResample, SameSizeCopiesIntoTheDestination) {
    OpsImage image(0);
    MakePattern(image, 6, 4, 8);
    OpsImage copy(0);
    ASSERT_TRUE(image.Resample(6, 4, 2, &copy));
    EXPECT_EQ(PixelValues(copy), PixelValues(image));
    EXPECT_TRUE(SamePalette(copy, image));
    EXPECT_EQ(copy.AlphaGet(5, 3), AlphaAt(5, 3));
    ASSERT_TRUE(image.Resample(6, 4, 1));
    EXPECT_EQ(image.GetWidth(), 6);
}

TEST(ImageResample, RefusesEmptyAndUnallocatableSizes) {
    OpsImage image(0);
    MakePattern(image, 6, 4, 24);
    const std::vector<DWORD> before = PixelValues(image);
    struct Case {
        LONG width, height;
    } cases[] = {{0, 4}, {6, 0}, {-3, 4}, {6, -1}, {100000, 100000}, {2147483647, 2}};
    for (const Case& c : cases) {
        for (int mode : kModes) {
            EXPECT_FALSE(image.Resample(c.width, c.height, mode)) << c.width << "x" << c.height;
            ASSERT_EQ(image.GetWidth(), 6);
            ASSERT_EQ(image.GetHeight(), 4);
            ASSERT_EQ(PixelValues(image), before);
            ASSERT_TRUE(image.AlphaIsValid());
        }
    }
}

TEST(ImageResample, NearestHalvingPicksEveryOtherPixelFromTheFirst) {
    for (WORD bpp : {1, 4, 8, 24}) {
        OpsImage original(0);
        MakePattern(original, 12, 8, bpp);
        OpsImage image(original);
        ASSERT_TRUE(image.Resample(6, 4, 1)) << bpp;
        ASSERT_EQ(image.GetBpp(), bpp);
        EXPECT_TRUE(SamePalette(image, original));
        EXPECT_EQ(image.GetTransIndex(), original.GetTransIndex());
        EXPECT_FALSE(image.SelectionIsValid());
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 6; ++x) {
                ASSERT_EQ(PixelValue(image, x, y), PixelValue(original, 2 * x, 2 * y)) << bpp;
                ASSERT_EQ(image.AlphaGet(x, y), AlphaAt(2 * x, 2 * y)) << bpp;
            }
    }
}

TEST(ImageResample, NearestEnlargingRepeatsPixels) {
    OpsImage original(0);
    MakePattern(original, 3, 2, 24);
    OpsImage image(original);
    ASSERT_TRUE(image.Resample(9, 4, 1));
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 9; ++x) ASSERT_EQ(PixelValue(image, x, y), PixelValue(original, x / 3, y / 2));
}

TEST(ImageResample, FlatPicturesStayFlatInEveryMode) {
    struct Case {
        LONG width, height;
    } sizes[] = {{3, 3}, {7, 5}, {25, 19}, {40, 40}, {11, 30}};
    for (BYTE level : {0, 1, 77, 128, 254, 255}) {
        for (int mode : kModes) {
            for (const Case& s : sizes) {
                OpsImage image(0);
                ASSERT_TRUE(image.Create(20, 20, 24));
                image.Clear(level);
                ASSERT_TRUE(image.Resample(s.width, s.height, mode));
                for (LONG y = 0; y < s.height; ++y)
                    for (LONG x = 0; x < s.width; ++x)
                        ASSERT_EQ(PixelValue(image, x, y), DWORD(level) * 0x010101u)
                            << "mode " << mode << " level " << int(level) << " to " << s.width << "x"
                            << s.height << " at " << x << "," << y;
            }
        }
    }
}

TEST(ImageResample, AreaAveragingMeansTheCoveredPixels) {
    // Shrinking a 24-bit picture by two averages each 2 x 2 block.
    OpsImage image(0);
    ASSERT_TRUE(image.Create(4, 2, 24));
    const BYTE levels[2][4] = {{10, 20, 100, 200}, {30, 40, 0, 100}};
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 4; ++x) image.SetPixelColor(x, y, RGB(levels[y][x], 0, 255 - levels[y][x]));
    ASSERT_TRUE(image.Resample(2, 1, 3));
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 25);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbRed, 100);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbBlue, 155);

    // A third of a pixel counts a third: 3 -> 2 columns.
    OpsImage thirds(0);
    ASSERT_TRUE(thirds.Create(3, 1, 24));
    thirds.SetPixelColor(0, 0, RGB(0, 0, 0));
    thirds.SetPixelColor(1, 0, RGB(90, 0, 0));
    thirds.SetPixelColor(2, 0, RGB(180, 0, 0));
    ASSERT_TRUE(thirds.Resample(2, 1, 3));
    // Only one dimension shrinks: bilinear at x 0 and 1.5.
    EXPECT_EQ(thirds.GetPixelColor(0, 0).rgbRed, 0);
    EXPECT_NEAR(thirds.GetPixelColor(1, 0).rgbRed, 135, 1);

    OpsImage both(0);
    ASSERT_TRUE(both.Create(3, 3, 24));
    for (LONG y = 0; y < 3; ++y) {
        both.SetPixelColor(0, y, RGB(0, 0, 0));
        both.SetPixelColor(1, y, RGB(90, 0, 0));
        both.SetPixelColor(2, y, RGB(180, 0, 0));
    }
    ASSERT_TRUE(both.Resample(2, 2, 3));
    // Column 0 covers 1 + 1/2 old columns: (0 + 45) / 1.5 = 30.
    EXPECT_NEAR(both.GetPixelColor(0, 0).rgbRed, 30, 1);
    EXPECT_NEAR(both.GetPixelColor(1, 0).rgbRed, 150, 1);
}

TEST(ImageResample, SmoothModesFollowAGradient) {
    OpsImage original(0);
    ASSERT_TRUE(original.Create(16, 4, 24));
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 16; ++x) original.SetPixelColor(x, y, RGB(BYTE(x * 16), 50, 0));
    for (int mode : {2, 3}) {
        OpsImage image(original);
        ASSERT_TRUE(image.Resample(32, 8, mode));
        int previous = -1;
        for (LONG x = 0; x < 30; ++x) {
            const int red = image.GetPixelColor(x, 3).rgbRed;
            EXPECT_GE(red, previous) << "mode " << mode << " at " << x;
            EXPECT_NEAR(red, x * 8, 16) << "mode " << mode << " at " << x;
            previous = red;
        }
    }
}

TEST(ImageResample, PaletteImagesKeepTheirPalette) {
    for (WORD bpp : {1, 4, 8}) {
        for (int mode : kModes) {
            OpsImage original(0);
            MakePattern(original, 9, 7, bpp);
            OpsImage image(original);
            ASSERT_TRUE(image.Resample(5, 11, mode)) << bpp << " mode " << mode;
            EXPECT_EQ(image.GetBpp(), bpp);
            EXPECT_TRUE(SamePalette(image, original));
            EXPECT_EQ(image.GetTransIndex(), 1);
            EXPECT_EQ(image.AlphaGet(4, 10), AlphaAt(4 * 9 / 5, 10 * 7 / 11)) << bpp << " mode " << mode;
        }
    }
}

TEST(ImageResample, IntoADestinationLeavesTheSource) {
    OpsImage image(0);
    MakePattern(image, 8, 8, 24);
    const std::vector<DWORD> before = PixelValues(image);
    OpsImage target(0);
    ASSERT_TRUE(image.Resample(3, 5, 2, &target));
    EXPECT_EQ(target.GetWidth(), 3);
    EXPECT_EQ(target.GetHeight(), 5);
    EXPECT_EQ(PixelValues(image), before);
}

TEST(ImageResample, EscapeStopsButStillReplaces) {
    OpsImage image(0);
    MakePattern(image, 8, 8, 24);
    image.SetEscape(1);
    ASSERT_TRUE(image.Resample(16, 16, 1));
    EXPECT_EQ(image.GetWidth(), 16);
    EXPECT_EQ(image.GetPixelColor(15, 15).rgbRed, 0);  // never reached
    image.SetEscape(0);
    ASSERT_TRUE(image.Resample(32, 32, 1));
    EXPECT_EQ(image.GetProgress(), 100 * 31 / 32);
}

}  // namespace
