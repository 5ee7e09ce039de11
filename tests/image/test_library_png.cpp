#include <gtest/gtest.h>

#include <png.h>

#include <cstring>

#include "LibraryFixtures.h"
#include "image/RxMemFile.h"
#include "image/codecs/RxImagePNG.h"

namespace {

const int kWidth = 11, kHeight = 7;  // odd sizes exercise every interlace pass and row padding

int Sample(int x, int y, int c, int depth) {
    return (x * 37 + y * 91 + c * 53 + x * y * 5) % (1 << depth);
}

int Channels(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 1;
    }
}

RGBQUAD PaletteEntry(int i) {
    return RGBQUAD{BYTE(i * 29 + 3), BYTE(i * 13 + 1), BYTE(i * 7), 0};
}

PngFixture Picture(int colorType, int depth, bool interlaced) {
    PngFixture png;
    png.width = kWidth;
    png.height = kHeight;
    png.colorType = colorType;
    png.bitDepth = depth;
    png.interlaced = interlaced;
    int channels = Channels(colorType);
    for (int y = 0; y < kHeight; ++y) {
        Bytes row((size_t(kWidth * channels * depth) + 7) / 8, 0);
        for (int x = 0; x < kWidth; ++x)
            for (int c = 0; c < channels; ++c) {
                int v = Sample(x, y, c, depth);
                size_t bit = size_t(x * channels + c) * size_t(depth);
                if (depth == 16) {
                    row[bit / 8] = uint8_t(v >> 8);
                    row[bit / 8 + 1] = uint8_t(v);
                } else {
                    row[bit / 8] |= uint8_t(v << (8 - depth - bit % 8));
                }
            }
        png.rows.push_back(row);
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        for (int i = 0; i < (1 << depth); ++i) {
            RGBQUAD e = PaletteEntry(i);
            png.palette.insert(png.palette.end(), {e.rgbRed, e.rgbGreen, e.rgbBlue});
        }
    return png;
}

// A sample as the image holds it: 16-bit samples keep their high byte,
// grey levels below 8 bits are spread over 0..255.
BYTE Level(int v, int depth) {
    if (depth == 16) return BYTE(v >> 8);
    if (depth == 8) return BYTE(v);
    return BYTE(v * 255 / ((1 << depth) - 1));
}

struct Expected {
    RGBQUAD colour;
    int alpha;  // -1 without alpha
};

Expected ExpectedAt(int colorType, int depth, int x, int y) {
    auto s = [&](int c) { return Sample(x, y, c, depth); };
    switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE: return {PaletteEntry(s(0)), -1};
    case PNG_COLOR_TYPE_GRAY: {
        BYTE g = Level(s(0), depth);
        return {RGBQUAD{g, g, g, 0}, -1};
    }
    case PNG_COLOR_TYPE_GRAY_ALPHA: {
        BYTE g = Level(s(0), depth);
        return {RGBQUAD{g, g, g, 0}, Level(s(1), depth)};
    }
    case PNG_COLOR_TYPE_RGB:
        return {RGBQUAD{Level(s(2), depth), Level(s(1), depth), Level(s(0), depth), 0}, -1};
    default:
        return {RGBQUAD{Level(s(2), depth), Level(s(1), depth), Level(s(0), depth), 0}, Level(s(3), depth)};
    }
}

WORD ExpectedBpp(int colorType, int depth) {
    if (colorType != PNG_COLOR_TYPE_GRAY && colorType != PNG_COLOR_TYPE_PALETTE) return 24;
    return depth == 16 ? 8 : depth == 2 ? 4 : WORD(depth);
}

// Every colour type with every bit depth it allows, plain and interlaced.
TEST(PngDecode, EveryColourTypeAndDepth) {
    struct Kind {
        int colorType;
        std::vector<int> depths;
    } kinds[] = {
        {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},
        {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},
        {PNG_COLOR_TYPE_RGB, {8, 16}},
        {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
        {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
    };
    for (const Kind& kind : kinds)
        for (int depth : kind.depths)
            for (bool interlaced : {false, true}) {
                SCOPED_TRACE(testing::Message() << "colour type " << kind.colorType << ", depth " << depth
                                                << (interlaced ? ", interlaced" : ""));
                Bytes file = Picture(kind.colorType, depth, interlaced).Build();
                ASSERT_FALSE(file.empty());
                LibraryProbe image;
                ASSERT_TRUE(DecodeBytes(image, file, RXIMAGE_FORMAT_PNG)) << image.GetLastError();
                EXPECT_EQ(image.GetBpp(), ExpectedBpp(kind.colorType, depth));
                EXPECT_EQ(image.GetWidth(), kWidth);
                EXPECT_EQ(image.GetHeight(), kHeight);
                EXPECT_EQ(image.GetType(), DWORD(RXIMAGE_FORMAT_PNG));
                bool withAlpha = (kind.colorType & PNG_COLOR_MASK_ALPHA) != 0;
                EXPECT_EQ(image.AlphaIsValid(), withAlpha);
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x) {
                        Expected e = ExpectedAt(kind.colorType, depth, x, y);
                        RGBQUAD got = image.GetPixelColor(x, kHeight - 1 - y);
                        ASSERT_EQ(got.rgbRed, e.colour.rgbRed) << x << "," << y;
                        ASSERT_EQ(got.rgbGreen, e.colour.rgbGreen) << x << "," << y;
                        ASSERT_EQ(got.rgbBlue, e.colour.rgbBlue) << x << "," << y;
                        if (withAlpha) {
                            ASSERT_EQ(image.AlphaGet(x, kHeight - 1 - y), e.alpha) << x << "," << y;
                        }
                    }
            }
}

PngFixture TinyPalette(std::vector<uint8_t> trans) {
    PngFixture png;
    png.width = 2;
    png.height = 1;
    png.colorType = PNG_COLOR_TYPE_PALETTE;
    png.bitDepth = 8;
    png.rows = {Bytes{0, 1}};
    png.palette = {10, 20, 30, 40, 50, 60};
    png.trans = trans;
    return png;
}

TEST(PngDecode, SingleTransparentEntryBecomesTheTransparentIndex) {
    LibraryProbe image;
    ASSERT_TRUE(DecodeBytes(image, TinyPalette({0}).Build(), RXIMAGE_FORMAT_PNG)) << image.GetLastError();
    EXPECT_EQ(image.GetTransIndex(), 0);
    EXPECT_FALSE(image.AlphaPaletteIsEnabled());
    EXPECT_EQ(image.GetPaletteColor(1).rgbReserved, 0);
}

TEST(PngDecode, PartialTransparencyBecomesPaletteAlpha) {
    LibraryProbe image;
    ASSERT_TRUE(DecodeBytes(image, TinyPalette({128}).Build(), RXIMAGE_FORMAT_PNG)) << image.GetLastError();
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_TRUE(image.AlphaPaletteIsEnabled());
    EXPECT_EQ(image.GetPaletteColor(0).rgbReserved, 128);
    EXPECT_EQ(image.GetPaletteColor(1).rgbReserved, 255);  // entries past the chunk are opaque
}

// A transparent grey level or colour is flattened onto the file's
// background, or onto light grey without one.
TEST(PngDecode, ColourKeyIsFlattenedOntoTheBackground) {
    struct Case {
        const char* name;
        int colorType;
        std::vector<uint8_t> key;
        std::vector<uint16_t> background;
        RGBQUAD keyed, other;
    } cases[] = {
        {"grey without background", PNG_COLOR_TYPE_GRAY, {0, 100}, {}, {192, 192, 192, 0}, {50, 50, 50, 0}},
        {"grey on its background", PNG_COLOR_TYPE_GRAY, {0, 100}, {7}, {7, 7, 7, 0}, {50, 50, 50, 0}},
        {"colour on its background", PNG_COLOR_TYPE_RGB, {0, 100, 0, 100, 0, 100}, {1, 2, 3}, {3, 2, 1, 0},
         {50, 50, 50, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PngFixture png;
        png.width = 2;
        png.height = 1;
        png.colorType = c.colorType;
        png.rows = {c.colorType == PNG_COLOR_TYPE_GRAY ? Bytes{100, 50} : Bytes{100, 100, 100, 50, 50, 50}};
        png.trans = c.key;
        png.background = c.background;
        LibraryProbe image;
        ASSERT_TRUE(DecodeBytes(image, png.Build(), RXIMAGE_FORMAT_PNG)) << image.GetLastError();
        RGBQUAD keyed = image.GetPixelColor(0, 0), other = image.GetPixelColor(1, 0);
        EXPECT_EQ(keyed.rgbRed, c.keyed.rgbRed);
        EXPECT_EQ(keyed.rgbGreen, c.keyed.rgbGreen);
        EXPECT_EQ(keyed.rgbBlue, c.keyed.rgbBlue);
        EXPECT_EQ(other.rgbRed, c.other.rgbRed);
        EXPECT_FALSE(image.AlphaIsValid());
    }
}

TEST(PngDecode, BackgroundOfAnAlphaImageBecomesTheTransparentColour) {
    PngFixture png = Picture(PNG_COLOR_TYPE_RGB_ALPHA, 8, false);
    png.background = {10, 20, 30};
    LibraryProbe image;
    ASSERT_TRUE(DecodeBytes(image, png.Build(), RXIMAGE_FORMAT_PNG)) << image.GetLastError();
    EXPECT_EQ(image.GetInfo().transColor.rgbRed, 10);
    EXPECT_EQ(image.GetInfo().transColor.rgbGreen, 20);
    EXPECT_EQ(image.GetInfo().transColor.rgbBlue, 30);
}

TEST(PngDecode, ResolutionFromPhysicalSize) {
    struct Case {
        int unit;
        uint32_t x, y;
        LONG xDpi, yDpi;
    } cases[] = {
        {PNG_RESOLUTION_METER, 11811, 3780, 300, 96},
        {PNG_RESOLUTION_UNKNOWN, 3, 2, 3, 2},
        {-1, 0, 0, 96, 96},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        PngFixture png = Picture(PNG_COLOR_TYPE_GRAY, 8, false);
        png.physUnit = c.unit;
        png.physX = c.x;
        png.physY = c.y;
        LibraryProbe image;
        ASSERT_TRUE(DecodeBytes(image, png.Build(), RXIMAGE_FORMAT_PNG));
        EXPECT_EQ(image.GetXDPI(), c.xDpi);
        EXPECT_EQ(image.GetYDPI(), c.yDpi);
    }
}

TEST(PngDecode, DamagedFilesFailWithTheLibrarysMessage) {
    Bytes good = Picture(PNG_COLOR_TYPE_RGB, 8, false).Build();
    Bytes badCrc = good;
    badCrc[29] ^= 0xFF;  // inside the header chunk's CRC
    Bytes truncated(good.begin(), good.begin() + long(good.size() / 2));
    Bytes notPng = {'P', '6', '\n', '1', ' ', '1', '\n', '2', '5', '5', '\n', 0, 0, 0};
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {{"bad CRC", badCrc}, {"truncated", truncated}, {"not a PNG", notPng}, {"empty", {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LibraryProbe image;
        EXPECT_FALSE(DecodeBytes(image, c.data, RXIMAGE_FORMAT_PNG));
        EXPECT_STRNE(image.GetLastError(), "");
        EXPECT_FALSE(image.IsValid());
    }
}

TEST(PngDecode, EscapeCancels) {
    RxImagePNG codec;
    codec.SetEscape(1);
    Bytes file = Picture(PNG_COLOR_TYPE_RGB, 8, false).Build();
    RxMemFile memory(file.data(), uint32_t(file.size()));
    EXPECT_FALSE(codec.Decode(&memory));
    EXPECT_STREQ(codec.GetLastError(), "Cancelled");
}

// --- encoding

RxImage PaletteImage(WORD bpp) {
    RxImage image(5, 3, bpp, 0);
    int entries = 1 << bpp;
    for (int i = 0; i < entries; ++i) image.SetPaletteColor(BYTE(i), PaletteEntry(i));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.SetPixelIndex(x, y, BYTE((x + y * 5) % entries));
    return image;
}

RxImage ColourImage(bool withAlpha) {
    RxImage image(5, 3, 24, 0);
    if (withAlpha) image.AlphaCreate();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            image.SetPixelColor(x, y, RGBQUAD{BYTE(x * 50), BYTE(y * 80), BYTE(x * y * 10), 0});
            if (withAlpha) image.AlphaSet(x, y, BYTE(x * 60));
        }
    return image;
}

void ExpectSamePixels(RxImage& a, RxImage& b) {
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    for (LONG y = 0; y < a.GetHeight(); ++y)
        for (LONG x = 0; x < a.GetWidth(); ++x) {
            RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            ASSERT_EQ(RxImage::RGBQUADtoRGB(p), RxImage::RGBQUADtoRGB(q)) << x << "," << y;
        }
}

TEST(PngEncode, RoundTripsEveryDepth) {
    for (WORD bpp : {1, 4, 8}) {
        SCOPED_TRACE(bpp);
        RxImage image = PaletteImage(bpp);
        image.SetXDPI(300);
        Bytes file = EncodeBytes(image, RXIMAGE_FORMAT_PNG);
        ASSERT_FALSE(file.empty()) << image.GetLastError();
        RxImage back;
        ASSERT_TRUE(DecodeBytes(back, file, RXIMAGE_FORMAT_PNG)) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(back.GetXDPI(), 300);
        ExpectSamePixels(image, back);
    }
    RxImage colour = ColourImage(false);
    RxImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(colour, RXIMAGE_FORMAT_PNG), RXIMAGE_FORMAT_PNG));
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_FALSE(back.AlphaIsValid());
    ExpectSamePixels(colour, back);
}

TEST(PngEncode, AlphaPlaneIsScaledByTheOverallOpacity) {
    RxImage image = ColourImage(true);
    image.AlphaSetMax(128);
    RxImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(image, RXIMAGE_FORMAT_PNG), RXIMAGE_FORMAT_PNG));
    ASSERT_TRUE(back.AlphaIsValid());
    ExpectSamePixels(image, back);
    for (LONG x = 0; x < 5; ++x) EXPECT_EQ(back.AlphaGet(x, 1), x * 60 * 128 / 255);
}

// The transparent entry is written first so that a one-entry chunk covers
// it; the image being saved keeps its own palette and indices.
TEST(PngEncode, TransparentIndexMovesToEntryZeroInTheFileOnly) {
    RxImage image = PaletteImage(4);
    image.SetTransIndex(3);
    RGBQUAD before = image.GetPixelColor(3, 0);
    BYTE indexBefore = image.GetPixelIndex(3, 0);
    Bytes file = EncodeBytes(image, RXIMAGE_FORMAT_PNG);
    ASSERT_FALSE(file.empty()) << image.GetLastError();
    EXPECT_EQ(image.GetPixelIndex(3, 0), indexBefore);
    EXPECT_EQ(RxImage::RGBQUADtoRGB(image.GetPaletteColor(3)), RxImage::RGBQUADtoRGB(before));
    EXPECT_EQ(image.GetTransIndex(), 3);

    RxImage back;
    ASSERT_TRUE(DecodeBytes(back, file, RXIMAGE_FORMAT_PNG)) << back.GetLastError();
    EXPECT_EQ(back.GetTransIndex(), 0);
    EXPECT_FALSE(back.AlphaPaletteIsEnabled());
    EXPECT_EQ(RxImage::RGBQUADtoRGB(back.GetPaletteColor(0)), RxImage::RGBQUADtoRGB(before));
    ExpectSamePixels(image, back);
}

TEST(PngEncode, PaletteAlphaIsWrittenForEveryEntry) {
    RxImage image = PaletteImage(4);
    for (int i = 0; i < 16; ++i) {
        RGBQUAD e = PaletteEntry(i);
        e.rgbReserved = BYTE(i * 16);
        image.SetPaletteColor(BYTE(i), e);
    }
    image.AlphaPaletteEnable(true);
    RxImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(image, RXIMAGE_FORMAT_PNG), RXIMAGE_FORMAT_PNG));
    EXPECT_TRUE(back.AlphaPaletteIsEnabled());
    for (int i = 0; i < 16; ++i) EXPECT_EQ(back.GetPaletteColor(BYTE(i)).rgbReserved, i * 16) << i;
}

TEST(PngEncode, TransparentColourOfAColourImageBecomesAlpha) {
    RxImage image = ColourImage(false);
    RGBQUAD key = image.GetPixelColor(2, 1);
    image.SetTransColor(key);
    image.SetTransIndex(0);
    RxImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(image, RXIMAGE_FORMAT_PNG), RXIMAGE_FORMAT_PNG));
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_FALSE(image.AlphaIsValid());  // the passing plane is not left behind
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 5; ++x) {
            bool isKey = RxImage::RGBQUADtoRGB(image.GetPixelColor(x, y)) == RxImage::RGBQUADtoRGB(key);
            EXPECT_EQ(back.AlphaGet(x, y), isKey ? 0 : 255) << x << "," << y;
        }
}

TEST(PngEncode, FailuresAreReported) {
    RxImage empty;
    EXPECT_TRUE(EncodeBytes(empty, RXIMAGE_FORMAT_PNG).empty());
    EXPECT_STRNE(empty.GetLastError(), "");

    // A file that refuses every byte.
    RxImage image = ColourImage(false);
    uint8_t none = 0;
    class FullFile : public RxMemFile {
    public:
        explicit FullFile(uint8_t* block) : RxMemFile(block, 0) {}
        uint64_t Write(const void*, size_t, size_t) override { return 0; }
    } full(&none);
    EXPECT_FALSE(image.Encode(&full, RXIMAGE_FORMAT_PNG));
    EXPECT_STREQ(image.GetLastError(), "Error saving PNG file");
}

}  // namespace
