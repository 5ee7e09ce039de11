#include <gtest/gtest.h>

#include "NativeCodecSupport.h"
#include "image/codecs/RxByteReader.h"
#include "image/codecs/RxImageBMP.h"

namespace {

struct BmpSpec {
    LONG width = 0, height = 0;
    WORD bits = 0;
    DWORD compression = 0;
    DWORD headerSize = 40;
    bool fileHeader = true;
    std::vector<RGBQUAD> palette;
    std::vector<uint32_t> masks;  // written after a 40-byte header
    std::vector<uint8_t> pixels;  // as stored in the file
};

std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
    ByteBuilder info;
    if (s.headerSize == 12) {
        info.u32(12).u16(s.width).u16(s.height).u16(1).u16(s.bits);
    } else {
        info.u32(s.headerSize).u32(uint32_t(s.width)).u32(uint32_t(s.height)).u16(1).u16(s.bits);
        info.u32(s.compression).u32(0).u32(3780).u32(3780).u32(uint32_t(s.palette.size())).u32(0);
        info.fill(s.headerSize - 40, 0);
    }
    for (uint32_t m : s.masks) info.u32(m);
    for (const RGBQUAD& c : s.palette) {
        info.u8(c.rgbBlue).u8(c.rgbGreen).u8(c.rgbRed);
        if (s.headerSize != 12) info.u8(0);
    }
    ByteBuilder file;
    if (s.fileHeader) {
        size_t offset = 14 + info.bytes.size();
        file.u16(0x4D42).u32(uint32_t(offset + s.pixels.size())).u32(0).u32(uint32_t(offset));
    }
    return file.raw(info.bytes).raw(s.pixels).bytes;
}

const std::vector<RGBQUAD> kFour = {{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}};

// Colours of a decoded picture, top row first, as 0xRRGGBB.
std::vector<uint32_t> TopDown(RxImage& image) {
    std::vector<uint32_t> out;
    for (LONG y = 0; y < image.GetHeight(); ++y)
        for (LONG x = 0; x < image.GetWidth(); ++x) out.push_back(TopDownRgb(image, x, y));
    return out;
}

struct DecodeCase {
    const char* name;
    BmpSpec spec;
    WORD bpp;                       // of the decoded image
    std::vector<uint32_t> expected;  // top row first
};

class BmpDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecode, GivesThePixels) {
    const DecodeCase& c = GetParam();
    RxImageBMP bmp;
    ASSERT_TRUE(DecodeBytes(bmp, MakeBmp(c.spec))) << bmp.GetLastError();
    EXPECT_EQ(bmp.GetBpp(), c.bpp);
    EXPECT_EQ(TopDown(bmp), c.expected);
}

const uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, K = 0;

BmpSpec Spec(LONG w, LONG h, WORD bits, std::vector<uint8_t> pixels) {
    BmpSpec s;
    s.width = w;
    s.height = h;
    s.bits = bits;
    s.palette = bits <= 8 ? kFour : std::vector<RGBQUAD>();
    s.pixels = std::move(pixels);
    return s;
}

BmpSpec With(BmpSpec s, DWORD headerSize, bool fileHeader = true) {
    s.headerSize = headerSize;
    s.fileHeader = fileHeader;
    return s;
}

BmpSpec Rle(BmpSpec s, DWORD compression) {
    s.compression = compression;
    return s;
}

BmpSpec Masks(BmpSpec s, std::vector<uint32_t> masks) {
    s.compression = 3;
    s.masks = std::move(masks);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Variants, BmpDecode,
    ::testing::Values(
        // Rows are stored bottom-up: the file's first row is the picture's last.
        DecodeCase{"Bits8", Spec(2, 2, 8, {1, 2, 0, 0, 3, 0, 0, 0}), 8, {B, K, R, G}},
        DecodeCase{"NegativeHeightIsTopDown", Spec(2, -2, 8, {1, 2, 0, 0, 3, 0, 0, 0}), 8, {R, G, B, K}},
        DecodeCase{"BareHeader", With(Spec(2, 2, 8, {1, 2, 0, 0, 3, 0, 0, 0}), 40, false), 8, {B, K, R, G}},
        DecodeCase{"CoreHeaderThreeBytePalette", With(Spec(2, 1, 8, {3, 1, 0, 0}), 12), 8, {B, R}},
        DecodeCase{"Header64", With(Spec(2, 1, 8, {3, 1, 0, 0}), 64), 8, {B, R}},
        DecodeCase{"Header124", With(Spec(2, 1, 8, {3, 1, 0, 0}), 124), 8, {B, R}},
        DecodeCase{"Bits1", Spec(3, 1, 1, {0xA0, 0, 0, 0}), 1, {R, K, R}},
        DecodeCase{"Bits4", Spec(3, 1, 4, {0x12, 0x30, 0, 0}), 4, {R, G, B}},
        DecodeCase{"Bits24", Spec(2, 1, 24, {1, 2, 3, 4, 5, 6, 0, 0}), 24, {0x030201, 0x060504}},
        DecodeCase{"Bits32", Spec(2, 1, 32, {1, 2, 3, 99, 4, 5, 6, 99}), 24, {0x030201, 0x060504}},
        // 5-5-5: 0x7FFF is white with the low three bits of every channel clear.
        DecodeCase{"Bits16Default555", Spec(2, 1, 16, {0xFF, 0x7F, 0x1F, 0x00}), 24, {0xF8F8F8, 0x0000F8}},
        DecodeCase{"Bits16Masks565", Masks(Spec(2, 1, 16, {0x00, 0xF8, 0xE0, 0x07}), {0xF800, 0x07E0, 0x001F}),
                   24, {0xF80000, 0x00FC00}},
        DecodeCase{"Bits32MasksReordered",
                   Masks(Spec(1, 1, 32, {0x11, 0x22, 0x33, 0x44}), {0x000000FF, 0x0000FF00, 0x00FF0000}), 24,
                   {0x112233}},
        // RLE8: a run, end of line, an odd absolute run (padded), a delta, end of bitmap.
        DecodeCase{"Rle8Escapes",
                   Rle(Spec(4, 3, 8, {2, 1, 0, 0,  0, 3, 3, 2, 1, 0,  0, 0,  0, 2, 2, 0,  1, 3,  0, 1}), 1), 8,
                   {K, K, B, K, B, G, R, K, R, R, K, K}},
        // RLE4: a run alternates its two nibbles; an absolute run of three nibbles.
        DecodeCase{"Rle4Escapes", Rle(Spec(4, 2, 4, {4, 0x12, 0, 0,  0, 3, 0x32, 0x10,  0, 1}), 2), 4,
                   {B, G, R, K, R, G, R, G}}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

struct ErrorCase {
    ErrorCase(const char* name, std::vector<uint8_t> bytes, const char* error)
        : name(name), bytes(std::move(bytes)), error(error) {}
    ErrorCase(const char* name, const BmpSpec& spec, const char* error) : ErrorCase(name, MakeBmp(spec), error) {}
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;
};

class BmpErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(BmpErrors, FailWithText) {
    RxImageBMP bmp;
    EXPECT_FALSE(DecodeBytes(bmp, GetParam().bytes));
    EXPECT_STREQ(bmp.GetLastError(), GetParam().error);
}

std::vector<uint8_t> Truncated(const BmpSpec& spec, size_t cut) {
    std::vector<uint8_t> bytes = MakeBmp(spec);
    bytes.resize(bytes.size() - cut);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, BmpErrors,
    ::testing::Values(
        ErrorCase{"TooShort", std::vector<uint8_t>{'B', 'M', 1, 2}, "Not a BMP"},
        ErrorCase{"PageImage", PageImage(40, 30), "Error reading BMP info"},
        ErrorCase{"OddHeaderSize", With(Spec(2, 1, 8, {0, 0, 0, 0}), 52), "Error reading BMP info"},
        ErrorCase{"BitCount7", Spec(2, 1, 7, {0, 0, 0, 0}), "Error reading BMP info"},
        ErrorCase{"ZeroWidth", Spec(0, 1, 8, {}), "Error reading BMP info"},
        // Run-length data has no least length: the decode limit refuses the size.
        ErrorCase{"HugeDimensions", Rle(Spec(0x7FFFFFFF, 0x7FFFFFF, 8, {0, 1}), 1), "Can't allocate memory"},
        ErrorCase{"HugePlainRows", Spec(0x7FFFFFFF, 0x7FFFFFF, 24, {}), "Unexpected end of BMP data"},
        ErrorCase{"Rle8On4Bits", Rle(Spec(2, 1, 4, {0, 1}), 1), "compression type not supported"},
        ErrorCase{"Jpeg8Bits", Rle(Spec(2, 1, 8, {0, 1}), 4), "compression type not supported"},
        ErrorCase{"Rle24", Rle(Spec(1, 1, 24, {0, 0, 0, 0}), 1), "unknown compression"},
        ErrorCase{"Rle32", Rle(Spec(1, 1, 32, {0, 0, 0, 0}), 1), "unknown compression"},
        ErrorCase{"TruncatedRows", Truncated(Spec(4, 4, 24, std::vector<uint8_t>(48, 1)), 5),
                  "Unexpected end of BMP data"},
        ErrorCase{"RleWithoutEnd", Rle(Spec(2, 2, 8, {2, 1}), 1), "Unexpected end of BMP data"},
        ErrorCase{"RleRunPastLastRow", Rle(Spec(2, 1, 8, {0, 0, 2, 1}), 1), "RLE data passes the end of the bitmap"},
        ErrorCase{"RleDeltaPastLastRow", Rle(Spec(2, 2, 8, {0, 2, 0, 5, 1, 1}), 1),
                  "RLE data passes the end of the bitmap"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(BmpEncode, RoundTripKeepsEveryDepth) {
    for (WORD bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE(bpp);
        RxImage image;
        MakePattern(image, 13, 7, bpp);
        image.SetXDPI(300);
        bool ok = false;
        std::vector<uint8_t> bytes = EncodeBytes<RxImageBMP>(image, &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(RxByteReader::Le32(bytes.data() + 2), bytes.size());
        EXPECT_EQ(RxByteReader::Le32(bytes.data() + 10), 14 + 40 + image.GetPaletteSize());
        RxImageBMP back;
        ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_EQ(back.GetXDPI(), 300);
        EXPECT_TRUE(SamePixels(image, back));
    }
}

TEST(BmpDecode, AbsurdResolutionIsKeptInRange) {
    std::vector<uint8_t> bytes = MakeBmp(Spec(2, 1, 8, {1, 2, 0, 0}));
    for (int field : {38, 42}) {  // pixels per metre, x and y
        bytes[field] = 0xFF, bytes[field + 1] = 0xFF, bytes[field + 2] = 0xFF, bytes[field + 3] = 0x7F;
    }
    RxImageBMP bmp;
    ASSERT_TRUE(DecodeBytes(bmp, bytes));
    EXPECT_EQ(bmp.GetXDPI(), 1000000);
    bytes[41] = 0xFF;  // negative
    RxImageBMP negative;
    ASSERT_TRUE(DecodeBytes(negative, bytes));
    EXPECT_EQ(negative.GetXDPI(), 0);
}

TEST(BmpEncode, EmptyImageFails) {
    RxImageBMP empty;
    RxMemFile file;
    file.Open();
    EXPECT_FALSE(empty.Encode(&file));
    EXPECT_STREQ(empty.GetLastError(), "Cannot encode an empty image");
    EXPECT_EQ(file.Size(), 0);
}

TEST(BmpDecode, EscapeCancels) {
    RxImageBMP bmp;
    bmp.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(bmp, MakeBmp(Spec(2, 2, 8, {1, 2, 0, 0, 3, 0, 0, 0}))));
    EXPECT_STREQ(bmp.GetLastError(), "Cancelled");
}

TEST(BmpDecode, FailureKeepsThePreviousPicture) {
    RxImage image;
    MakePattern(image, 5, 5, 8);
    std::vector<uint8_t> bad = PageImage(4, 4);
    EXPECT_FALSE(image.Decode(bad.data(), DWORD(bad.size()), RXIMAGE_FORMAT_BMP));
    EXPECT_EQ(image.GetWidth(), 5);
    EXPECT_STREQ(image.GetLastError(), "Error reading BMP info");
}

}  // namespace
