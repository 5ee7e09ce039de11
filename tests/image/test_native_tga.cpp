#include <gtest/gtest.h>

#include "NativeCodecSupport.h"
#include "image/codecs/RxImageTGA.h"

namespace {

struct TgaSpec {
    TgaSpec(int imageType, int depth, int width, int height, int descriptor, std::vector<uint8_t> colorMap,
            std::vector<uint8_t> data, std::string id = std::string())
        : imageType(imageType), depth(depth), width(width), height(height), descriptor(descriptor),
          colorMap(std::move(colorMap)), data(std::move(data)), id(std::move(id)) {}
    int imageType;
    int depth;
    int width, height;
    int descriptor;
    std::vector<uint8_t> colorMap;  // 3-byte entries
    std::vector<uint8_t> data;
    std::string id;
};

std::vector<uint8_t> MakeTga(const TgaSpec& s) {
    ByteBuilder b;
    int mapLength = int(s.colorMap.size() / 3);
    b.u8(int(s.id.size())).u8(mapLength ? 1 : 0).u8(s.imageType).u16(0).u16(mapLength).u8(mapLength ? 24 : 0);
    b.u16(0).u16(0).u16(s.width).u16(s.height).u8(s.depth).u8(s.descriptor);
    return b.text(s.id).raw(s.colorMap).raw(s.data).bytes;
}

const std::vector<uint8_t> kMap = {0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0};  // black, red, green, blue
const uint32_t K = 0, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF;

struct DecodeCase {
    const char* name;
    TgaSpec spec;
    WORD bpp;
    std::vector<uint32_t> expected;  // top row first
    std::vector<BYTE> alpha;         // top row first, when the picture has alpha
};

class TgaDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(TgaDecode, GivesThePixels) {
    const DecodeCase& c = GetParam();
    RxImageTGA tga;
    ASSERT_TRUE(DecodeBytes(tga, MakeTga(c.spec))) << tga.GetLastError();
    EXPECT_EQ(tga.GetBpp(), c.bpp);
    std::vector<uint32_t> pixels;
    std::vector<BYTE> alpha;
    for (LONG y = 0; y < tga.GetHeight(); ++y)
        for (LONG x = 0; x < tga.GetWidth(); ++x) {
            pixels.push_back(TopDownRgb(tga, x, y));
            if (tga.AlphaIsValid()) alpha.push_back(tga.AlphaGet(x, tga.GetHeight() - 1 - y));
        }
    EXPECT_EQ(pixels, c.expected);
    EXPECT_EQ(alpha, c.alpha);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, TgaDecode,
    ::testing::Values(
        // Rows bottom-up unless descriptor bit 0x20 is set.
        DecodeCase{"Mapped", {1, 8, 2, 2, 0, kMap, {1, 2, 3, 0}}, 8, {B, K, R, G}, {}},
        DecodeCase{"MappedTopDown", {1, 8, 2, 2, 0x20, kMap, {1, 2, 3, 0}}, 8, {R, G, B, K}, {}},
        DecodeCase{"Mirrored", {1, 8, 2, 2, 0x10, kMap, {1, 2, 3, 0}}, 8, {K, B, G, R}, {}},
        DecodeCase{"Gray", {3, 8, 2, 1, 0, {}, {0x10, 0xF0}}, 8, {0x101010, 0xF0F0F0}, {}},
        DecodeCase{"IdentifierSkipped", {3, 8, 1, 1, 0, {}, {0x42}, "hello"}, 8, {0x424242}, {}},
        DecodeCase{"True24", {2, 24, 2, 1, 0, {}, {1, 2, 3, 4, 5, 6}}, 24, {0x030201, 0x060504}, {}},
        // 0x7FFF: each five-bit channel at the top of its byte.
        DecodeCase{"True16", {2, 16, 2, 1, 0, {}, {0xFF, 0x7F, 0x1F, 0x00}}, 24, {0xF8F8F8, 0x0000F8}, {}},
        DecodeCase{"True15", {2, 15, 1, 1, 0, {}, {0x00, 0x7C}}, 24, {0xF80000}, {}},
        DecodeCase{"True32TopDownAlpha", {2, 32, 1, 2, 0x28, {}, {1, 2, 3, 40, 4, 5, 6, 50}}, 24,
                   {0x030201, 0x060504}, {40, 50}},
        // Run-length: a run packet crossing into the next row, then a raw packet.
        DecodeCase{"RunLengthMapped", {9, 8, 2, 2, 0, kMap, {0x82, 1, 0x00, 3}}, 8, {R, B, R, R}, {}},
        DecodeCase{"RunLengthTrue", {10, 24, 3, 1, 0, {}, {0x01, 1, 2, 3, 4, 5, 6, 0x80, 9, 9, 9}}, 24,
                   {0x030201, 0x060504, 0x090909}, {}},
        DecodeCase{"RunLengthGray", {11, 8, 4, 1, 0, {}, {0x83, 0x77}}, 8,
                   {0x777777, 0x777777, 0x777777, 0x777777}, {}}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

struct ErrorCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;
};

class TgaErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(TgaErrors, FailWithText) {
    RxImageTGA tga;
    EXPECT_FALSE(DecodeBytes(tga, GetParam().bytes));
    EXPECT_STREQ(tga.GetLastError(), GetParam().error);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t n) {
    bytes.resize(bytes.size() - n);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, TgaErrors,
    ::testing::Values(
        ErrorCase{"Short", {0, 0, 2}, "Not a TGA"},
        ErrorCase{"PageImage", PageImage(640, 480), "bad TGA header"},
        ErrorCase{"Type4", MakeTga({4, 8, 1, 1, 0, {}, {0}}), "Unknown TGA image type"},
        ErrorCase{"ZeroWidth", MakeTga({2, 24, 0, 1, 0, {}, {}}), "bad TGA header"},
        ErrorCase{"Depth12", MakeTga({2, 12, 1, 1, 0, {}, {0, 0}}), "bad TGA header"},
        ErrorCase{"MapTooLong", MakeTga({1, 8, 1, 1, 0, std::vector<uint8_t>(257 * 3), {0}}), "bad TGA header"},
        ErrorCase{"MappedWithoutMap", MakeTga({1, 8, 1, 1, 0, {}, {0}}), "bad TGA header"},
        ErrorCase{"TruncatedRows", Cut(MakeTga({2, 24, 4, 4, 0, {}, std::vector<uint8_t>(48)}), 1), "corrupted TGA"},
        ErrorCase{"TruncatedPacket", MakeTga({10, 24, 4, 1, 0, {}, {0x83, 1, 2}}), "corrupted TGA"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(TgaEncode, RoundTripKeepsEveryDepth) {
    for (WORD bpp : {8, 24}) {
        SCOPED_TRACE(bpp);
        RxImage image;
        MakePattern(image, 11, 6, bpp);
        bool ok = false;
        std::vector<uint8_t> bytes = EncodeBytes<RxImageTGA>(image, &ok);
        ASSERT_TRUE(ok);
        EXPECT_EQ(bytes[2], bpp == 8 ? 1 : 2);
        EXPECT_EQ(bytes[16], bpp);
        RxImageTGA back;
        ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), bpp);
        EXPECT_TRUE(SamePixels(image, back));
    }
}

TEST(TgaEncode, AlphaIsWrittenScaledByTheMaximum) {
    RxImage image;
    MakePattern(image, 3, 2, 24);
    ASSERT_TRUE(image.AlphaCreate());
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x) image.AlphaSet(x, y, BYTE(40 * (x + 3 * y)));
    image.AlphaSetMax(128);
    std::vector<uint8_t> bytes = EncodeBytes<RxImageTGA>(image);
    EXPECT_EQ(bytes[16], 32);
    RxImageTGA back;
    ASSERT_TRUE(DecodeBytes(back, bytes));
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_TRUE(SamePixels(image, back));
    for (LONG y = 0; y < 2; ++y)
        for (LONG x = 0; x < 3; ++x) EXPECT_EQ(back.AlphaGet(x, y), 40 * (x + 3 * y) * 128 / 255);
}

TEST(TgaEncode, FewerThanEightBitsRefused) {
    for (WORD bpp : {1, 4}) {
        RxImage image;
        MakePattern(image, 3, 3, bpp);
        bool ok = true;
        std::string error;
        EncodeBytes<RxImageTGA>(image, &ok, &error);
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, "Bit depth must be 8 or 24");
    }
}

}  // namespace
