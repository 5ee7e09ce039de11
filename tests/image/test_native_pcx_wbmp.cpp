#include <gtest/gtest.h>

#include "NativeCodecSupport.h"
#include "image/codecs/RxImagePCX.h"
#include "image/codecs/RxImageWBMP.h"

namespace {

struct PcxSpec {
    int bitsPerPixel, planes, width, height, bytesPerLine;
    std::vector<uint8_t> data;
    std::vector<uint8_t> palette16 = {};
    int manufacturer = 10, encoding = 1;
};

std::vector<uint8_t> MakePcx(const PcxSpec& s) {
    ByteBuilder b;
    b.u8(s.manufacturer).u8(5).u8(s.encoding).u8(s.bitsPerPixel);
    b.u16(0).u16(0).u16(s.width - 1).u16(s.height - 1).u16(72).u16(150);
    std::vector<uint8_t> palette = s.palette16;
    palette.resize(48);
    b.raw(palette).u8(0).u8(s.planes).u16(s.bytesPerLine).u16(1).fill(58, 0);
    return b.raw(s.data).bytes;
}

std::vector<uint8_t> Palette256() {
    std::vector<uint8_t> p = {12};
    for (int i = 0; i < 256; ++i) {
        p.push_back(uint8_t(i));
        p.push_back(uint8_t(255 - i));
        p.push_back(uint8_t(i / 2));
    }
    return p;
}

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct DecodeCase {
    const char* name;
    PcxSpec spec;
    WORD bpp;
    std::vector<uint32_t> expected;  // top row first
};

class PcxDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PcxDecode, GivesThePixels) {
    const DecodeCase& c = GetParam();
    RxImagePCX pcx;
    ASSERT_TRUE(DecodeBytes(pcx, MakePcx(c.spec))) << pcx.GetLastError();
    EXPECT_EQ(pcx.GetBpp(), c.bpp);
    EXPECT_EQ(pcx.GetXDPI(), 72);
    EXPECT_EQ(pcx.GetYDPI(), 150);
    std::vector<uint32_t> pixels;
    for (LONG y = 0; y < pcx.GetHeight(); ++y)
        for (LONG x = 0; x < pcx.GetWidth(); ++x) pixels.push_back(TopDownRgb(pcx, x, y));
    EXPECT_EQ(pixels, c.expected);
}

const std::vector<uint8_t> kSixteen = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9, 1, 2, 3,
                                       0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 8, 9};

INSTANTIATE_TEST_SUITE_P(
    Variants, PcxDecode,
    ::testing::Values(
        // First scan line is the top row; 0xC3 repeats the next byte three times.
        DecodeCase{"Bits8Palette", {8, 1, 3, 2, 4, Concat({0xC3, 5, 0, 1, 2, 3, 0}, Palette256())}, 8,
                   {0x05FA02, 0x05FA02, 0x05FA02, 0x01FE00, 0x02FD01, 0x03FC01}},
        // A run reaching across the end of a scan line continues on the next.
        DecodeCase{"RunAcrossLines", {8, 1, 2, 2, 2, Concat({0xC4, 7}, Palette256())}, 8,
                   {0x07F803, 0x07F803, 0x07F803, 0x07F803}},
        DecodeCase{"Planes3", {8, 3, 2, 1, 2, {10, 20, 30, 40, 50, 60}}, 24, {0x0A1E32, 0x14283C}},
        DecodeCase{"Planes4", {8, 4, 1, 1, 2, {10, 0, 20, 0, 30, 0, 99, 0}}, 24, {0x0A141E}},
        DecodeCase{"Bits1", {1, 1, 9, 1, 2, {0xA0, 0x80}}, 1,
                   {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0, 0, 0, 0xFFFFFF}},
        // Four planes of one bit: plane p gives bit p of the index.
        DecodeCase{"Planes4Bits1", {1, 4, 2, 1, 2, {0x80, 0, 0x40, 0, 0x80, 0, 0x40, 0}, kSixteen}, 4,
                   {0x010203, 0x070809}},
        DecodeCase{"Bits2", {2, 1, 4, 1, 2, {0x1B, 0}, kSixteen}, 4, {0, 0xFF0000, 0x00FF00, 0x0000FF}}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;
};

class PcxErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(PcxErrors, FailWithText) {
    RxImagePCX pcx;
    EXPECT_FALSE(DecodeBytes(pcx, GetParam().bytes));
    EXPECT_STREQ(pcx.GetLastError(), GetParam().error);
}

PcxSpec Bad(PcxSpec s, int manufacturer, int encoding) {
    s.manufacturer = manufacturer;
    s.encoding = encoding;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, PcxErrors,
    ::testing::Values(
        ErrorCase{"Short", {10, 5, 1}, "Can't read PCX image"},
        ErrorCase{"PageImage", PageImage(40, 40), "Error: Not a PCX file"},
        ErrorCase{"Encoding2", MakePcx(Bad({8, 1, 1, 1, 2, {0, 0}}, 10, 2)), "PCX file has unknown encoding scheme"},
        ErrorCase{"Planes5", MakePcx({1, 5, 1, 1, 2, {}}), "Can't handle image with more than 4 planes"},
        ErrorCase{"RunPastImage", MakePcx({8, 1, 2, 2, 2, {0xC5, 1}}), "repeat count spans end of image"},
        ErrorCase{"Truncated", MakePcx({8, 1, 4, 4, 4, {1, 2, 3}}), "corrupted PCX"},
        ErrorCase{"NoPaletteSignature", MakePcx({8, 1, 1, 1, 2, {1, 2, 11}}), "bad color map signature"},
        ErrorCase{"PackedPlanes", MakePcx({8, 2, 1, 1, 2, {}}), "Can't handle packed pixels with more than 1 plane."},
        ErrorCase{"Bits16", MakePcx({16, 1, 1, 1, 2, {}}), "Can't handle more than 1 bit per pixel"},
        ErrorCase{"LineTooShort", MakePcx({8, 1, 9, 1, 4, {}}), "corrupted PCX"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(PcxEncode, RoundTripKeepsEveryDepth) {
    for (WORD bpp : {8, 24}) {
        for (LONG width : {1, 8, 67}) {
            SCOPED_TRACE(std::to_string(bpp) + " bits, width " + std::to_string(width));
            RxImage image;
            MakePattern(image, width, 5, bpp);
            // Bytes of 0xC0 and above must be coded as runs to survive.
            if (bpp == 8) image.SetPixelIndex(0, 0, 0xC7);
            bool ok = false;
            std::vector<uint8_t> bytes = EncodeBytes<RxImagePCX>(image, &ok);
            ASSERT_TRUE(ok);
            RxImagePCX back;
            ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
            EXPECT_EQ(back.GetBpp(), bpp);
            EXPECT_TRUE(SamePixels(image, back));
        }
    }
}

TEST(PcxEncode, OtherDepthsRefused) {
    for (WORD bpp : {1, 4}) {
        RxImage image;
        MakePattern(image, 3, 3, bpp);
        bool ok = true;
        std::string error;
        EncodeBytes<RxImagePCX>(image, &ok, &error);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, "Bit depth must be 8 or 24");
    }
}

TEST(Wbmp, DecodesRowsFromTheTop) {
    RxImageWBMP wbmp;
    ASSERT_TRUE(DecodeBytes(wbmp, {0, 0, 10, 2, 0xFF, 0xC0, 0x80, 0x00})) << wbmp.GetLastError();
    EXPECT_EQ(wbmp.GetBpp(), 1);
    EXPECT_EQ(wbmp.GetWidth(), 10);
    EXPECT_EQ(TopDownRgb(wbmp, 9, 0), 0xFFFFFFu);
    EXPECT_EQ(TopDownRgb(wbmp, 0, 1), 0xFFFFFFu);
    EXPECT_EQ(TopDownRgb(wbmp, 1, 1), 0u);
}

TEST(Wbmp, MultiByteSizes) {
    // 200 = 0x81 0x48 as a multi-byte integer.
    std::vector<uint8_t> bytes = {0, 0, 0x81, 0x48, 1};
    bytes.resize(bytes.size() + 25, 0xFF);
    RxImageWBMP wbmp;
    ASSERT_TRUE(DecodeBytes(wbmp, bytes)) << wbmp.GetLastError();
    EXPECT_EQ(wbmp.GetWidth(), 200);
    EXPECT_EQ(wbmp.GetHeight(), 1);
}

TEST(Wbmp, Errors) {
    struct Case {
        std::vector<uint8_t> bytes;
        const char* error;
    };
    for (const Case& c : {Case{{}, "Not a WBMP"}, Case{{0, 0, 5}, "Not a WBMP"}, Case{PageImage(3, 3), "Unsupported WBMP type"},
                          Case{{0, 0, 0, 4}, "Corrupted WBMP"}, Case{{0, 0, 4, 0}, "Corrupted WBMP"},
                          Case{{0, 0, 9, 2, 0xFF, 0xFF, 0xFF}, "Corrupted WBMP"},
                          Case{{0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F}, "WBMP Create failed"}}) {
        RxImageWBMP wbmp;
        EXPECT_FALSE(DecodeBytes(wbmp, c.bytes));
        EXPECT_STREQ(wbmp.GetLastError(), c.error);
    }
}

TEST(Wbmp, EncodeRoundTripAndLimits) {
    for (LONG width : {1, 13, 200, 255}) {
        SCOPED_TRACE(width);
        RxImage image;
        MakePattern(image, width, 3, 1);
        image.SetPaletteColor(0, 0, 0, 0);
        image.SetPaletteColor(1, 255, 255, 255);
        bool ok = false;
        std::vector<uint8_t> bytes = EncodeBytes<RxImageWBMP>(image, &ok);
        ASSERT_TRUE(ok);
        RxImageWBMP back;
        ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
        EXPECT_TRUE(SamePixels(image, back));
    }
    struct Case {
        LONG width, height;
        WORD bpp;
    };
    for (Case c : {Case{256, 1, 1}, Case{1, 256, 1}, Case{4, 4, 8}}) {
        RxImage image;
        MakePattern(image, c.width, c.height, c.bpp);
        bool ok = true;
        std::string error;
        EncodeBytes<RxImageWBMP>(image, &ok, &error);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, "Can't save this image as WBMP");
    }
}

TEST(Wbmp, WhiteFirstPaletteIsWrittenSoItLooksTheSame) {
    RxImage image;
    image.Create(8, 1, 1, 0);
    image.SetPaletteColor(0, 255, 255, 255);
    image.SetPaletteColor(1, 0, 0, 0);
    image.Clear(0x0F);  // left half white, right half black
    std::vector<uint8_t> bytes = EncodeBytes<RxImageWBMP>(image);
    ASSERT_EQ(bytes.size(), 5u);
    EXPECT_EQ(bytes[4], 0xF0);
}

}  // namespace
