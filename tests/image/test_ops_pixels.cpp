#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "OpsTestImages.h"

namespace {

bool SameColor(RGBQUAD a, RGBQUAD b) {
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue &&
           a.rgbReserved == b.rgbReserved;
}

TEST(ImagePixels, OutsideReadsFollowTransparencyOrTheFirstPixel) {
    OpsImage indexed(0);
    MakePattern(indexed, 5, 3, 8, false);
    EXPECT_EQ(indexed.GetPixelIndex(-1, 0), 0);
    indexed.SetTransIndex(7);
    EXPECT_EQ(indexed.GetPixelIndex(5, 0), 7);
    EXPECT_TRUE(SameColor(indexed.GetPixelColor(0, 3), TestPaletteColor(7)));
    indexed.SetTransIndex(-1);
    EXPECT_TRUE(SameColor(indexed.GetPixelColor(-4, 9), indexed.GetPixelColor(0, 0)));

    OpsImage colour(0);
    MakePattern(colour, 5, 3, 24, false);
    EXPECT_EQ(colour.GetPixelIndex(1, 1), 0);
    const RGBQUAD key{1, 2, 3, 0};
    colour.SetTransColor(key);
    EXPECT_TRUE(SameColor(colour.GetPixelColor(-1, -1), colour.GetPixelColor(0, 0)));
    colour.SetTransIndex(0);
    EXPECT_TRUE(SameColor(colour.GetPixelColor(-1, -1), key));

    OpsImage empty(0);
    empty.SetTransColor(key);
    EXPECT_TRUE(SameColor(empty.GetPixelColor(0, 0), key));
}

TEST(ImagePixels, AlphaPlaneFillsTheReservedByte) {
    OpsImage image(0);
    MakePattern(image, 4, 2, 24);
    EXPECT_EQ(image.GetPixelColor(3, 1).rgbReserved, AlphaAt(3, 1));
    image.SetPixelColor(2, 0, RGBQUAD{9, 8, 7, 66}, true);
    EXPECT_EQ(image.AlphaGet(2, 0), 66);
    image.SetPixelColor(1, 0, RGBQUAD{9, 8, 7, 99}, false);
    EXPECT_EQ(image.AlphaGet(1, 0), AlphaAt(1, 0));
}

TEST(ImagePixels, NearestIndexTakesTheFirstExactEntryAndCachesIt) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(2, 2, 4));
    for (BYTE i = 0; i < 16; ++i) image.SetPaletteColor(i, BYTE(i * 16), 0, 0);
    image.SetPaletteColor(9, 32, 0, 0);  // a second entry of index 2's colour
    const RGBQUAD red32{0, 0, 32, 0};
    EXPECT_EQ(image.GetNearestIndex(red32), 2);
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 250, 0}), 15);
    EXPECT_EQ(image.GetNearestIndex(RGBQUAD{0, 0, 39, 0}), 2);  // ties go to the first entry

    // A change behind the palette members' back is not seen: the answer
    // comes from the cache.
    EXPECT_EQ(image.GetNearestIndex(red32), 2);
    image.GetPalette()[2].rgbRed = 200;
    EXPECT_EQ(image.GetNearestIndex(red32), 2);
    image.SetPaletteColor(5, 80, 0, 0);
    EXPECT_EQ(image.GetNearestIndex(red32), 9);
}

// The first entry at the smallest distance, found without the image's cache.
BYTE ScanNearest(RxImage& image, RGBQUAD c) {
    int best = 1 << 30;
    BYTE bestIndex = 0;
    for (DWORD i = 0; i < image.GetNumColors(); ++i) {
        const RGBQUAD e = image.GetPaletteColor(BYTE(i));
        const int db = e.rgbBlue - c.rgbBlue, dg = e.rgbGreen - c.rgbGreen, dr = e.rgbRed - c.rgbRed;
        const int d = db * db + dg * dg + dr * dr;
        if (d < best) {
            best = d;
            bestIndex = BYTE(i);
        }
    }
    return bestIndex;
}

TEST(ImagePixels, EveryPaletteChangeDropsTheCachedLookup) {
    const RGBQUAD probe{128, 128, 128, 0};  // mid grey, first at entry 0
    const RGBQUAD swapped[2] = {RGBQUAD{0, 0, 0, 0}, probe};
    const BYTE reds[2] = {0, 128}, greens[2] = {0, 128}, blues[2] = {0, 128};
    const RxImage::RgbTriple triples[2] = {{0, 0, 0}, {128, 128, 128}};
    const std::vector<std::pair<std::string, std::function<void(RxImage&)>>> changes = {
        {"SetPaletteColor rgb", [](RxImage& i) { i.SetPaletteColor(0, 0, 0, 0); }},
        {"SetPaletteColor quad", [](RxImage& i) { i.SetPaletteColor(0, RGBQUAD{}); }},
        {"SetPaletteColor COLORREF", [](RxImage& i) { i.SetPaletteColor(0, COLORREF(0)); }},
        {"SetPalette quads", [&](RxImage& i) { i.SetPalette(swapped, 2); }},
        {"SetPalette arrays", [&](RxImage& i) { i.SetPalette(reds, greens, blues, 2); }},
        {"SetPalette triples", [&](RxImage& i) { i.SetPalette(triples, 2); }},
        {"SwapIndex", [](RxImage& i) { i.SwapIndex(0, 1); }},
        {"SetGrayPalette", [](RxImage& i) { i.SetGrayPalette(); }},
        {"SetStdPalette", [](RxImage& i) { i.SetStdPalette(); }},
        {"BlendPalette", [](RxImage& i) { i.BlendPalette(RGB(255, 255, 255), 50); }},
    };
    for (const auto& change : changes) {
        int moved = 0;  // depths where the change moves the answer away from 0
        for (WORD bpp : {1, 4, 8}) {
            OpsImage image(0);
            ASSERT_TRUE(image.Create(2, 1, bpp));
            for (DWORD i = 0; i < image.GetNumColors(); ++i) image.SetPaletteColor(BYTE(i), RGBQUAD{250, 5, 5, 0});
            image.SetPaletteColor(0, probe);
            image.SetPaletteColor(1, RGBQUAD{1, 1, 1, 0});
            ASSERT_EQ(image.GetNearestIndex(probe), 0);
            change.second(image);
            const BYTE expected = ScanNearest(image, probe);
            moved += expected != 0;
            EXPECT_EQ(image.GetNearestIndex(probe), expected) << change.first << " at " << bpp << " bits";
        }
        EXPECT_GT(moved, 0) << change.first << " does not test the cache";
    }
}

TEST(ImagePixels, StandardPalettes) {
    OpsImage sixteen(0);
    ASSERT_TRUE(sixteen.Create(1, 1, 4));
    sixteen.SetStdPalette();
    const BYTE expected16[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (BYTE i = 0; i < 16; ++i) {
        const RGBQUAD c = sixteen.GetPaletteColor(i);
        EXPECT_EQ(c.rgbRed, expected16[i][0]) << int(i);
        EXPECT_EQ(c.rgbGreen, expected16[i][1]) << int(i);
        EXPECT_EQ(c.rgbBlue, expected16[i][2]) << int(i);
    }

    OpsImage full(0);
    ASSERT_TRUE(full.Create(1, 1, 8));
    full.SetStdPalette();
    auto rgb = [&full](int i) {
        const RGBQUAD c = full.GetPaletteColor(BYTE(i));
        return std::vector<int>{c.rgbRed, c.rgbGreen, c.rgbBlue};
    };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(rgb(i), (std::vector<int>{expected16[i][0], expected16[i][1], expected16[i][2]}));
    EXPECT_EQ(rgb(8), (std::vector<int>{192, 220, 192}));
    EXPECT_EQ(rgb(9), (std::vector<int>{166, 202, 240}));
    EXPECT_EQ(rgb(246), (std::vector<int>{255, 251, 240}));
    EXPECT_EQ(rgb(247), (std::vector<int>{160, 160, 164}));
    EXPECT_EQ(rgb(248), (std::vector<int>{128, 128, 128}));
    EXPECT_EQ(rgb(255), (std::vector<int>{255, 255, 255}));
    for (int i = 226; i <= 245; ++i) {
        const int level = 242 - (i - 226) * 12;
        EXPECT_EQ(rgb(i), (std::vector<int>{level, level, level})) << i;
    }
    // Entries 10 to 225 are ramps from light to dark: brightness falls
    // within each run of one hue.
    int rampStarts = 0;
    for (int i = 10; i < 226; ++i) {
        const auto c = rgb(i), previous = rgb(i - 1);
        const int sum = c[0] + c[1] + c[2], previousSum = previous[0] + previous[1] + previous[2];
        if (i == 10 || sum > previousSum) ++rampStarts;
    }
    EXPECT_EQ(rampStarts, 6);

    OpsImage colour(0);
    ASSERT_TRUE(colour.Create(1, 1, 24));
    colour.SetStdPalette();  // nothing to set, nothing to break
    EXPECT_EQ(colour.GetPalette(), nullptr);
}

TEST(ImagePixels, BlendPaletteMixesByPercentCutAt100) {
    struct Case {
        LONG percent;
        BYTE red;
    } cases[] = {{0, 100}, {50, 150}, {100, 200}, {250, 200}, {-20, 100}};
    for (const Case& c : cases) {
        OpsImage image(0);
        ASSERT_TRUE(image.Create(1, 1, 1));
        image.SetPaletteColor(0, 100, 0, 40);
        image.BlendPalette(RGB(200, 100, 0), c.percent);
        EXPECT_EQ(image.GetPaletteColor(0).rgbRed, c.red) << c.percent;
    }
    OpsImage image(0);
    ASSERT_TRUE(image.Create(1, 1, 1));
    image.SetPaletteColor(0, 100, 0, 40);
    image.BlendPalette(RGB(200, 100, 0), 50);
    EXPECT_EQ(image.GetPaletteColor(0).rgbGreen, 50);
    EXPECT_EQ(image.GetPaletteColor(0).rgbBlue, 20);
}

TEST(ImagePixels, SwapIndexExchangesEntriesPixelsAndTransparency) {
    for (WORD bpp : {1, 4, 8}) {
        OpsImage image(0);
        MakePattern(image, 7, 3, bpp, false);
        image.SetTransIndex(0);
        const std::vector<DWORD> before = PixelValues(image);
        image.SwapIndex(0, 1);
        const std::vector<DWORD> after = PixelValues(image);
        for (size_t i = 0; i < before.size(); ++i) {
            const DWORD expected = before[i] == 0 ? 1 : before[i] == 1 ? 0 : before[i];
            ASSERT_EQ(after[i], expected) << bpp << " pixel " << i;
        }
        EXPECT_EQ(image.GetPaletteColor(0).rgbBlue, TestPaletteColor(1).rgbBlue) << bpp;
        EXPECT_EQ(image.GetPaletteColor(1).rgbBlue, TestPaletteColor(0).rgbBlue) << bpp;
        EXPECT_EQ(image.GetTransIndex(), 1) << bpp;
    }
}

TEST(ImagePixels, IsGrayScaleNeedsEveryEntryEqualToItsIndex) {
    OpsImage grey(0);
    ASSERT_TRUE(grey.Create(1, 1, 8));
    grey.SetGrayPalette();
    EXPECT_TRUE(grey.IsGrayScale());
    grey.SetPaletteColor(77, 77, 77, 78);
    EXPECT_FALSE(grey.IsGrayScale());

    OpsImage blackWhite(0);
    ASSERT_TRUE(blackWhite.Create(1, 1, 1));
    blackWhite.SetGrayPalette();
    EXPECT_FALSE(blackWhite.IsGrayScale());  // entry 1 is 255, not 1

    OpsImage colour(0);
    ASSERT_TRUE(colour.Create(1, 1, 24));
    EXPECT_FALSE(colour.IsGrayScale());
}

TEST(ImagePixels, CreateFromArgbTakesTheTopRowFirst) {
    const BYTE argb[] = {
        1, 2, 3, 10, 4, 5, 6, 20, 7, 8, 9, 30,        // top row
        11, 12, 13, 40, 14, 15, 16, 50, 17, 18, 19, 60,  // bottom row
    };
    OpsImage image(0);
    ASSERT_TRUE(image.CreateFromARGB(3, 2, argb));
    EXPECT_EQ(image.GetBpp(), 24);
    ASSERT_TRUE(image.AlphaIsValid());
    const RGBQUAD topLeft = image.GetPixelColor(0, 1);
    EXPECT_EQ(topLeft.rgbBlue, 1);
    EXPECT_EQ(topLeft.rgbRed, 3);
    EXPECT_EQ(topLeft.rgbReserved, 10);
    const RGBQUAD bottomRight = image.GetPixelColor(2, 0);
    EXPECT_EQ(bottomRight.rgbBlue, 17);
    EXPECT_EQ(bottomRight.rgbReserved, 60);
    EXPECT_FALSE(image.CreateFromARGB(3, 2, nullptr));
}

TEST(ImagePixels, RgbToBgrSwapsWithinOneRowOnly) {
    OpsImage image(0);
    ASSERT_TRUE(image.Create(2, 1, 24));  // rows of 8 bytes
    BYTE buffer[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    image.RGBtoBGR(buffer, 12);
    const BYTE expected[12] = {3, 2, 1, 6, 5, 4, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 12), std::vector<BYTE>(expected, expected + 12));

    OpsImage indexed(0);
    ASSERT_TRUE(indexed.Create(8, 1, 8));
    BYTE untouched[3] = {1, 2, 3};
    indexed.RGBtoBGR(untouched, 3);
    EXPECT_EQ(untouched[0], 1);
}

TEST(ImagePixels, BitfieldsBecomeTrueColourInPlace) {
    struct Case {
        const char* name;
        WORD red, green, blue;
        WORD value;
        BYTE r, g, b;
    } cases[] = {
        {"5-5-5", 0x7C00, 0x03E0, 0x001F, WORD(0x1F << 10 | 0x10 << 5 | 0x01), 0xF8, 0x80, 0x08},
        {"5-6-5", 0xF800, 0x07E0, 0x001F, WORD(0x01 << 11 | 0x3F << 5 | 0x1F), 0x08, 0xFC, 0xF8},
    };
    for (const Case& c : cases) {
        OpsImage image(0);
        ASSERT_TRUE(image.Create(3, 2, 24));
        // The 16-bit rows sit at the start of the image's own buffer.
        BYTE* bits = image.GetBits();
        const size_t sourceRow = 8;  // (3 + 1) / 2 * 4
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const WORD w = c.value;
                bits[y * sourceRow + 2 * x] = BYTE(w);
                bits[y * sourceRow + 2 * x + 1] = BYTE(w >> 8);
            }
        image.Bitfield2RGB(bits, c.red, c.green, c.blue, 16);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const RGBQUAD p = image.GetPixelColor(x, y);
                EXPECT_EQ(p.rgbRed, c.r) << c.name;
                EXPECT_EQ(p.rgbGreen, c.g) << c.name;
                EXPECT_EQ(p.rgbBlue, c.b) << c.name;
            }
    }

    OpsImage image(0);
    ASSERT_TRUE(image.Create(3, 2, 24));
    std::vector<BYTE> source(3 * 2 * 4);
    for (size_t i = 0; i < source.size(); ++i) source[i] = BYTE(i);
    image.Bitfield2RGB(source.data(), 0, 0, 0, 32);
    const RGBQUAD last = image.GetPixelColor(2, 1);
    EXPECT_EQ(last.rgbBlue, 20);
    EXPECT_EQ(last.rgbGreen, 21);
    EXPECT_EQ(last.rgbRed, 22);
}

TEST(ImagePixels, BitfieldsInPlaceKeepEveryPixel) {
    // Distinct 5-5-5 values over several rows, converted inside the
    // image's own buffer: an early write must not spoil a later read.
    const LONG width = 5, height = 4;
    OpsImage image(0);
    ASSERT_TRUE(image.Create(width, height, 24));
    BYTE* bits = image.GetBits();
    const size_t sourceRow = size_t((width + 1) / 2) * 4;
    auto value = [](LONG x, LONG y) { return WORD((x + 1) << 10 | (y + 1) << 5 | (x + y)); };
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) {
            bits[y * sourceRow + 2 * x] = BYTE(value(x, y));
            bits[y * sourceRow + 2 * x + 1] = BYTE(value(x, y) >> 8);
        }
    image.Bitfield2RGB(bits, 0x7C00, 0x03E0, 0x001F, 16);
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) {
            const RGBQUAD p = image.GetPixelColor(x, y);
            EXPECT_EQ(p.rgbRed, (x + 1) << 3) << x << "," << y;
            EXPECT_EQ(p.rgbGreen, (y + 1) << 3) << x << "," << y;
            EXPECT_EQ(p.rgbBlue, (x + y) << 3) << x << "," << y;
        }
}

TEST(ImagePixels, CompareColorsAndSplineKernel) {
    const RGBQUAD dark{0, 0, 10, 0}, light{0, 0, 200, 0};
    EXPECT_LT(OpsImage::CompareColors(&dark, &light), 0);
    EXPECT_EQ(OpsImage::CompareColors(&light, &light), 0);

    OpsImage image(0);
    EXPECT_NEAR(image.b3spline(0.0f), 4.0f / 6.0f, 1e-6);
    EXPECT_NEAR(image.b3spline(1.0f), 1.0f / 6.0f, 1e-6);
    EXPECT_NEAR(image.b3spline(-1.0f), 1.0f / 6.0f, 1e-6);
    EXPECT_NEAR(image.b3spline(2.0f), 0.0f, 1e-6);
    EXPECT_NEAR(image.b3spline(-2.5f), 0.0f, 1e-6);
    for (float f : {0.0f, 0.25f, 0.5f, 0.9f}) {
        float sum = 0;
        for (int m = -1; m <= 2; ++m) sum += image.b3spline(float(m) - f);
        EXPECT_NEAR(sum, 1.0f, 1e-5) << f;
    }
}

}  // namespace
