#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageTestSupport.h"
#include "image/RxMemFile.h"
#include "image/codecs/RxImageJAS.h"

namespace {

bool DecodeBytes(RxImage& image, std::vector<uint8_t> data, DWORD type = 0) {
    RxMemFile file(data.data(), uint32_t(data.size()));
    return image.Decode(&file, type);
}

TEST(Jpeg2000, ColourCodestreamAndFileDecodeLosslessly) {
    for (bool jp2 : {false, true}) {
        std::vector<uint8_t> data = MakeJpeg2000(9, 6, 3, 8, jp2);
        ASSERT_FALSE(data.empty());
        RxImage image(0);
        ASSERT_TRUE(DecodeBytes(image, data)) << jp2 << ": " << image.GetLastError();
        ASSERT_EQ(image.GetBpp(), 24);
        ASSERT_EQ(image.GetWidth(), 9);
        ASSERT_EQ(image.GetHeight(), 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x) {
                RGBQUAD c = image.GetPixelColor(x, 5 - y);
                ASSERT_EQ(c.rgbRed, Jpeg2000Sample(x, y, 0, 8)) << x << "," << y;
                ASSERT_EQ(c.rgbGreen, Jpeg2000Sample(x, y, 1, 8)) << x << "," << y;
                ASSERT_EQ(c.rgbBlue, Jpeg2000Sample(x, y, 2, 8)) << x << "," << y;
            }
    }
}

TEST(Jpeg2000, GreyAndDeepPictures) {
    struct Case {
        int components, precision;
        WORD bpp;
        LONG frames;
    } cases[] = {{1, 8, 8, 1}, {1, 4, 4, 1}, {1, 12, 24, 0}, {2, 8, 8, 2}, {3, 12, 24, 0}, {4, 8, 24, 0}};
    for (const Case& c : cases) {
        RxImage image(0);
        ASSERT_TRUE(DecodeBytes(image, MakeJpeg2000(5, 4, c.components, c.precision, false)))
            << c.components << "/" << c.precision << ": " << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), c.bpp) << c.components << "/" << c.precision;
        EXPECT_EQ(image.GetNumFrames(), c.frames) << c.components << "/" << c.precision;
        int top = Jpeg2000Sample(1, 0, 0, c.precision);
        int expected = c.precision == 12 ? (top * 255 + 2047) / 4095 : top;
        EXPECT_EQ(image.GetPixelColor(1, 3).rgbRed, c.precision == 4 ? expected * 17 : expected)
            << c.components << "/" << c.precision;
    }
}

TEST(Jpeg2000, ComponentsBeyondColourAreFrames) {
    std::vector<uint8_t> data = MakeJpeg2000(5, 4, 2, 8, true);
    RxImageJAS codec(0);
    codec.SetFrame(1);
    RxMemFile file(data.data(), uint32_t(data.size()));
    ASSERT_TRUE(codec.Decode(&file)) << codec.GetLastError();
    EXPECT_EQ(codec.GetNumFrames(), 2);
    EXPECT_EQ(codec.GetPixelIndex(2, 3), Jpeg2000Sample(2, 0, 1, 8));

    RxImageJAS beyond(0);
    beyond.SetFrame(2);
    RxMemFile again(data.data(), uint32_t(data.size()));
    EXPECT_FALSE(beyond.Decode(&again));
    EXPECT_STREQ(beyond.GetLastError(), "wrong frame!");
}

TEST(Jpeg2000, DamagedDataFailsWithAText) {
    std::vector<uint8_t> good = MakeJpeg2000(16, 16, 3, 8, true);
    for (size_t length : {size_t(12), size_t(40), good.size() / 2, good.size() - 3}) {
        RxImage image(0);
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(length));
        // A cut code stream may still decode partially; it must never crash.
        if (!DecodeBytes(image, cut, RXIMAGE_FORMAT_PNM)) {
            EXPECT_NE(std::string(image.GetLastError()).find("error: cannot load image data"),
                      std::string::npos)
                << length;
        }
    }
    std::vector<uint8_t> codestream = MakeJpeg2000(16, 16, 1, 8, false);
    for (size_t i = 4; i < codestream.size(); i += 3) {
        std::vector<uint8_t> damaged = codestream;
        damaged[i] ^= 0xA5;
        RxImage image(0);
        DecodeBytes(image, damaged);
    }
}

TEST(Jpeg2000, OversizedHeaderIsRefusedBeforeDecoding) {
    // A code stream whose size marker claims 60000 x 60000 pixels in three
    // components, followed by nothing.
    std::vector<uint8_t> data = {0xFF, 0x4F, 0xFF, 0x51, 0x00, 0x2F, 0x00, 0x00};
    auto put32 = [&](uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) data.push_back(uint8_t(v >> shift));
    };
    put32(60000);  // width
    put32(60000);  // height
    put32(0);
    put32(0);
    put32(60000);  // tile width
    put32(60000);  // tile height
    put32(0);
    put32(0);
    data.push_back(0x00);
    data.push_back(0x03);
    for (int c = 0; c < 3; ++c) {
        data.push_back(0x07);
        data.push_back(0x01);
        data.push_back(0x01);
    }
    RxImage image(0);
    EXPECT_FALSE(DecodeBytes(image, data, RXIMAGE_FORMAT_PNM));
    std::string error = image.GetLastError();
    EXPECT_EQ(error.find("error: cannot load image data: JPEG 2000:"), 0u) << error;
}

}  // namespace
