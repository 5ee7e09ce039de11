#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "OpsTestImages.h"

namespace {

const int kMatrix[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

void FillGray(RxImage& image, LONG width, LONG height, BYTE level) {
    ASSERT_TRUE(image.Create(DWORD(width), DWORD(height), 24));
    image.Clear(level);
}

int CountWhite(RxImage& image) {
    int white = 0;
    for (LONG y = 0; y < image.GetHeight(); ++y)
        for (LONG x = 0; x < image.GetWidth(); ++x) white += image.GetPixelIndex(x, y) == 1;
    return white;
}

void ExpectBlackWhitePalette(RxImage& image) {
    EXPECT_EQ(image.GetPaletteColor(0).rgbRed, 0);
    EXPECT_EQ(image.GetPaletteColor(1).rgbRed, 255);
    EXPECT_EQ(image.GetPaletteColor(1).rgbBlue, 255);
}

TEST(ImageDepth, DitherOrderedFollowsTheMatrix) {
    OpsImage image(0);
    FillGray(image, 8, 8, 128);
    image.SetEscape(0);
    ASSERT_TRUE(image.Dither(1));
    ASSERT_EQ(image.GetBpp(), 1);
    ExpectBlackWhitePalette(image);
    // 128 x 16 / 255 = 8: threshold 8.
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 8; ++x)
            EXPECT_EQ(image.GetPixelIndex(x, y), kMatrix[y % 4][x % 4] < 8 ? 1 : 0) << x << "," << y;

    struct Case {
        BYTE level;
        int white;  // of 16 pixels
    } cases[] = {{0, 0}, {16, 1}, {64, 4}, {200, 12}, {254, 15}, {255, 16}};
    for (const Case& c : cases) {
        OpsImage flat(0);
        FillGray(flat, 4, 4, c.level);
        ASSERT_TRUE(flat.Dither(1));
        EXPECT_EQ(CountWhite(flat), c.white) << int(c.level);
    }
}

TEST(ImageDepth, DitherDiffusionKeepsTheMeanLevel) {
    struct Case {
        BYTE level;
        double low, high;  // share of white pixels
    } cases[] = {{128, 0.45, 0.55}, {0, 0.0, 0.0}, {255, 1.0, 1.0}, {64, 0.2, 0.3}, {192, 0.7, 0.8}};
    for (const Case& c : cases) {
        OpsImage image(0);
        FillGray(image, 40, 40, c.level);
        ASSERT_TRUE(image.Dither(0));
        const double share = CountWhite(image) / 1600.0;
        EXPECT_GE(share, c.low) << int(c.level);
        EXPECT_LE(share, c.high) << int(c.level);
    }
}

TEST(ImageDepth, DitherKeepsPlanesAndLeavesOneBitAlone) {
    for (WORD bpp : {4, 8, 24}) {
        OpsImage image(0);
        MakePattern(image, 6, 3, bpp);
        ASSERT_TRUE(image.Dither(0)) << bpp;
        EXPECT_EQ(image.GetBpp(), 1);
        EXPECT_EQ(image.AlphaGet(5, 2), AlphaAt(5, 2)) << bpp;
        EXPECT_TRUE(image.SelectionIsValid()) << bpp;
        EXPECT_TRUE(image.SelectionIsInside(0, 0));
        EXPECT_FALSE(image.SelectionIsInside(5, 0));
        EXPECT_EQ(image.GetTransIndex(), -1) << bpp;
    }
    OpsImage oneBit(0);
    MakePattern(oneBit, 6, 3, 1);
    const std::vector<DWORD> before = PixelValues(oneBit);
    ASSERT_TRUE(oneBit.Dither(1));
    EXPECT_EQ(PixelValues(oneBit), before);
    EXPECT_EQ(oneBit.GetPaletteColor(0).rgbBlue, TestPaletteColor(0).rgbBlue);
}

TEST(ImageDepth, DecreaseOnlyGoesDown) {
    struct Case {
        WORD from;
        DWORD to;
        bool result;
        WORD after;
    } cases[] = {
        {8, 8, true, 8},  {4, 8, false, 4}, {24, 8, true, 8}, {24, 4, true, 4}, {24, 1, true, 1},
        {8, 1, true, 1},  {8, 4, true, 4},  {4, 1, true, 1},  {24, 2, false, 24}, {24, 24, false, 24},
        {1, 4, false, 1},
    };
    for (const Case& c : cases) {
        OpsImage original(0);
        MakePattern(original, 5, 3, c.from);
        OpsImage image(original);
        EXPECT_EQ(image.DecreaseBpp(c.to, false), c.result) << c.from << " to " << c.to;
        EXPECT_EQ(image.GetBpp(), c.after) << c.from << " to " << c.to;
        if (c.after == c.from) {
            EXPECT_EQ(PixelValues(image), PixelValues(original)) << c.from << " to " << c.to;
            EXPECT_TRUE(SamePalette(image, original));
        } else {
            EXPECT_EQ(image.AlphaGet(4, 2), AlphaAt(4, 2));
            EXPECT_TRUE(image.SelectionIsValid());
        }
    }
}

TEST(ImageDepth, DecreaseToTheNearestPaletteColour) {
    // Colours of the standard palette come through exactly.
    OpsImage image(0);
    ASSERT_TRUE(image.Create(4, 1, 24));
    image.SetPixelColor(0, 0, RGB(255, 0, 0));
    image.SetPixelColor(1, 0, RGB(192, 192, 192));
    image.SetPixelColor(2, 0, RGB(0, 0, 120));  // nearest: dark blue (0, 0, 128)
    image.SetPixelColor(3, 0, RGB(250, 250, 250));
    ASSERT_TRUE(image.DecreaseBpp(4, false));
    EXPECT_EQ(image.GetPixelIndex(0, 0), 9);
    EXPECT_EQ(image.GetPixelIndex(1, 0), 7);
    EXPECT_EQ(image.GetPixelIndex(2, 0), 4);
    EXPECT_EQ(image.GetPixelIndex(3, 0), 15);

    // A given palette is used instead.
    const RGBQUAD custom[2] = {RGBQUAD{0, 0, 255, 0}, RGBQUAD{255, 0, 0, 0}};  // red, blue
    OpsImage coloured(0);
    ASSERT_TRUE(coloured.Create(2, 1, 24));
    coloured.SetPixelColor(0, 0, RGB(0, 0, 200));
    coloured.SetPixelColor(1, 0, RGB(200, 0, 0));
    ASSERT_TRUE(coloured.DecreaseBpp(1, false, custom));
    EXPECT_EQ(coloured.GetPixelIndex(0, 0), 1);
    EXPECT_EQ(coloured.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(coloured.GetPaletteColor(0).rgbRed, 255);

    // The transparent colour stays transparent in the new palette.
    OpsImage indexed(0);
    ASSERT_TRUE(indexed.Create(2, 1, 8));
    indexed.SetPaletteColor(3, 255, 255, 0);
    indexed.SetPixelIndex(0, 0, 3);
    indexed.SetTransIndex(3);
    ASSERT_TRUE(indexed.DecreaseBpp(4, false));
    EXPECT_EQ(indexed.GetTransIndex(), 11);  // yellow
    EXPECT_EQ(indexed.GetPixelIndex(0, 0), 11);
}

TEST(ImageDepth, DecreaseOfManyColoursPicksTheNearestForEachPixel) {
    OpsImage original(0);
    MakePattern(original, 96, 64, 24, false);
    OpsImage image(original);
    ASSERT_TRUE(image.DecreaseBpp(8, false));
    for (LONG y = 0; y < 64; ++y)
        for (LONG x = 0; x < 96; ++x) {
            const RGBQUAD c = original.GetPixelColor(x, y);
            int best = 1 << 30;
            for (DWORD i = 0; i < 256; ++i) {
                const RGBQUAD e = image.GetPaletteColor(BYTE(i));
                const int db = e.rgbBlue - c.rgbBlue, dg = e.rgbGreen - c.rgbGreen, dr = e.rgbRed - c.rgbRed;
                best = std::min(best, db * db + dg * dg + dr * dr);
            }
            const RGBQUAD chosen = image.GetPaletteColor(image.GetPixelIndex(x, y));
            const int db = chosen.rgbBlue - c.rgbBlue, dg = chosen.rgbGreen - c.rgbGreen,
                      dr = chosen.rgbRed - c.rgbRed;
            ASSERT_EQ(db * db + dg * dg + dr * dr, best) << x << "," << y;
        }
}

TEST(ImageDepth, DecreaseWithDiffusionSpreadsTheError) {
    OpsImage flat(0);
    FillGray(flat, 40, 40, 100);
    ASSERT_TRUE(flat.DecreaseBpp(1, true));
    const double share = CountWhite(flat) / 1600.0;
    // 100 / 255 of the light, less the 2/16 that the weights drop.
    EXPECT_GT(share, 0.25);
    EXPECT_LT(share, 0.45);

    OpsImage plain(0);
    FillGray(plain, 40, 40, 100);
    ASSERT_TRUE(plain.DecreaseBpp(1, false));
    EXPECT_EQ(CountWhite(plain), 0);
}

TEST(ImageDepth, IncreaseOnlyGoesUp) {
    struct Case {
        WORD from;
        DWORD to;
        bool result;
        WORD after;
    } cases[] = {
        {1, 4, true, 4},  {1, 8, true, 8},   {4, 8, true, 8},     {1, 24, true, 24}, {8, 24, true, 24},
        {8, 8, true, 8},  {8, 4, false, 8},  {24, 8, false, 24},  {4, 16, false, 4}, {4, 32, false, 4},
    };
    for (const Case& c : cases) {
        OpsImage original(0);
        MakePattern(original, 7, 3, c.from);
        OpsImage image(original);
        EXPECT_EQ(image.IncreaseBpp(c.to), c.result) << c.from << " to " << c.to;
        ASSERT_EQ(image.GetBpp(), c.after);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 7; ++x) {
                const RGBQUAD a = original.GetPixelColor(x, y), b = image.GetPixelColor(x, y);
                ASSERT_EQ(a.rgbRed, b.rgbRed) << c.from << " to " << c.to;
                ASSERT_EQ(a.rgbGreen, b.rgbGreen);
                ASSERT_EQ(a.rgbBlue, b.rgbBlue);
                ASSERT_EQ(image.AlphaGet(x, y), AlphaAt(x, y));
            }
        EXPECT_TRUE(image.SelectionIsValid());
        if (c.after != 24 && c.after != c.from) {
            EXPECT_EQ(PixelValues(image), PixelValues(original));
            EXPECT_EQ(image.GetTransIndex(), 1);
        }
    }
}

TEST(ImageDepth, IncreaseTurnsPaletteAlphaIntoAPlane) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(2, 1, 1));
    image.SetPaletteColor(0, 10, 20, 30, 0);
    image.SetPaletteColor(1, 40, 50, 60, 200);
    image.SetPixelIndex(0, 0, 0);
    image.SetPixelIndex(1, 0, 1);
    image.SetTransIndex(1);
    ASSERT_TRUE(image.IncreaseBpp(24));
    ASSERT_TRUE(image.AlphaIsValid());
    EXPECT_EQ(image.AlphaGet(0, 0), 0);
    EXPECT_EQ(image.AlphaGet(1, 0), 200);
    EXPECT_EQ(image.GetPixelColor(1, 0).rgbGreen, 50);
    EXPECT_EQ(image.GetTransColor().rgbRed, 40);  // the transparent entry's colour
}

TEST(ImageDepth, BlackAndWhite) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(4, 1, 24));
    image.SetPixelColor(0, 0, RGB(20, 30, 40));
    image.SetPixelColor(1, 0, RGB(200, 220, 180));
    image.SetPixelColor(2, 0, RGB(127, 127, 127));  // nearer black
    image.SetPixelColor(3, 0, RGB(128, 128, 128));  // nearer white
    OpsImage second(image);
    ASSERT_EQ(image.ConvertWB(), 1);
    EXPECT_EQ(image.GetBpp(), 1);
    EXPECT_EQ(image.ClrImportant(), 2u);
    EXPECT_EQ(image.DibClrImportant(), 2u);
    ExpectBlackWhitePalette(image);
    EXPECT_EQ(PixelValues(image), (std::vector<DWORD>{0, 1, 0, 1}));

    ASSERT_EQ(second.ConvertWB2(RGBQUAD{180, 220, 200, 0}), 1);
    EXPECT_EQ(PixelValues(second), (std::vector<DWORD>{0, 1, 0, 0}));

    OpsImage absent(0);
    MakePattern(absent, 6, 4, 8);
    ASSERT_EQ(absent.ConvertWB2(RGBQUAD{1, 2, 3, 0}), 1);
    EXPECT_EQ(PixelValues(absent), std::vector<DWORD>(24, 0));
    EXPECT_EQ(absent.AlphaGet(5, 3), AlphaAt(5, 3));
    EXPECT_TRUE(absent.SelectionIsValid());

    // A one-bit picture that counts one important colour is left as it is.
    OpsImage marked(0);
    MakePattern(marked, 6, 2, 1);
    marked.SetClrImportant(1);
    const std::vector<DWORD> before = PixelValues(marked);
    EXPECT_EQ(marked.ConvertWB2(RGBQUAD{0, 0, 0, 0}), 1);
    EXPECT_EQ(PixelValues(marked), before);
    EXPECT_EQ(marked.ClrImportant(), 1u);
}

}  // namespace
