#include <gtest/gtest.h>

#include <string>

#include "ImageTestSupport.h"
#include "image/RxMemFile.h"

namespace {

bool DecodeText(RxImage& image, std::string data, DWORD type = 0) {
    RxMemFile file(reinterpret_cast<BYTE*>(&data[0]), uint32_t(data.size()));
    return image.Decode(&file, type);
}

std::string Binary16(std::initializer_list<int> samples) {
    std::string out;
    for (int s : samples) {
        out += char(s >> 8);
        out += char(s & 0xFF);
    }
    return out;
}

// Every form of the format; each picture is two pixels wide and one high, so
// its expected result is the depth and the two pixels' colours.
TEST(Pnm, AllForms) {
    struct Case {
        const char* name;
        std::string data;
        WORD bpp;
        COLORREF left, right;
    } cases[] = {
        {"P1 ascii bitmap", "P1\n2 1\n1 0\n", 1, RGB(0, 0, 0), RGB(255, 255, 255)},
        {"P1 without separators", "P1 2 1 10", 1, RGB(0, 0, 0), RGB(255, 255, 255)},
        {"P4 binary bitmap", std::string("P4\n2 1\n") + char(0x40), 1, RGB(255, 255, 255), RGB(0, 0, 0)},
        {"P2 ascii 8-bit", "P2\n2 1\n255\n0 200\n", 8, RGB(0, 0, 0), RGB(200, 200, 200)},
        {"P2 maximum 15", "P2 2 1 15 15 3", 4, RGB(255, 255, 255), RGB(51, 51, 51)},
        {"P2 maximum 1", "P2 2 1 1 1 0", 1, RGB(255, 255, 255), RGB(0, 0, 0)},
        {"P2 maximum 100 is scaled", "P2 2 1 100 100 50", 24, RGB(255, 255, 255), RGB(129, 129, 129)},
        {"P5 binary 8-bit", std::string("P5\n2 1\n255\n") + char(10) + char(250), 8, RGB(10, 10, 10),
         RGB(250, 250, 250)},
        {"P5 16-bit is converted", "P5\n2 1\n65535\n" + Binary16({65535, 0x8080}), 24,
         RGB(255, 255, 255), RGB(128, 128, 128)},
        {"P3 ascii colour", "P3\n2 1\n255\n1 2 3  4 5 6\n", 24, RGB(1, 2, 3), RGB(4, 5, 6)},
        {"P3 maximum 3", "P3 2 1 3 3 0 0 0 3 0", 24, RGB(255, 0, 0), RGB(0, 255, 0)},
        {"P6 binary colour", "P6\n2 1\n255\n\x01\x02\x03\x04\x05\x06", 24, RGB(1, 2, 3), RGB(4, 5, 6)},
        {"P6 16-bit", "P6 2 1 65535\n" + Binary16({65535, 0, 0, 0, 0, 65535}), 24, RGB(255, 0, 0),
         RGB(0, 0, 255)},
        {"P6 maximum 1000", "P6 2 1 1000\n" + Binary16({1000, 500, 0, 0, 0, 1000}), 24,
         RGB(255, 128, 0), RGB(0, 0, 255)},
        {"comments and white space", "P2#c1\n# full line\n\t2 \r\n 1#c2\n255 # c3\n 7\n\f9", 8,
         RGB(7, 7, 7), RGB(9, 9, 9)},
    };
    for (const Case& c : cases) {
        RxImage image(0);
        ASSERT_TRUE(DecodeText(image, c.data)) << c.name << ": " << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), c.bpp) << c.name;
        EXPECT_EQ(image.GetWidth(), 2) << c.name;
        EXPECT_EQ(image.GetHeight(), 1) << c.name;
        EXPECT_EQ(RxImage::RGBQUADtoRGB(image.GetPixelColor(0, 0)), c.left) << c.name;
        EXPECT_EQ(RxImage::RGBQUADtoRGB(image.GetPixelColor(1, 0)), c.right) << c.name;
    }
}

TEST(Pnm, MalformedFilesFailWithAReason) {
    struct Case {
        const char* name;
        std::string data;
        const char* reason;
    } cases[] = {
        {"truncated binary pixels", "P6\n4 4\n255\nabc", "truncated pixel data"},
        {"truncated ascii pixels", "P2 2 2 255 1 2 3", "truncated pixel data"},
        {"truncated header", "P5\n4 ", "truncated header"},
        {"maximum value 0", "P5 1 1 0\nx", "bad maximum value"},
        {"maximum value above 65535", "P5 1 1 65536\nxx", "bad maximum value"},
        {"width beyond 32 bits", "P5 99999999999 1 255\nx", "absurd dimensions"},
        {"zero height", "P5 4 0 255\n", "zero width or height"},
        {"size above the decode limit", "P6 60000 60000 255\n", "image too large"},
        {"letters in the header", "P5 4x 4 255\n", "malformed header"},
        {"negative width", "P5 -4 4 255\n", "malformed header"},
        {"letters in ascii pixels", "P2 1 1 255 z", "malformed pixel data"},
        {"bitmap digit 2", "P1 1 1 2", "malformed pixel data"},
    };
    for (const Case& c : cases) {
        RxImage image(0);
        EXPECT_FALSE(DecodeText(image, c.data, RXIMAGE_FORMAT_PNM)) << c.name;
        std::string error = image.GetLastError();
        EXPECT_EQ(error.find("error: cannot load image data"), 0u) << c.name << ": " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
        EXPECT_FALSE(image.IsValid()) << c.name;
    }
}

TEST(Pnm, TruncatedStreamWithoutKnownLength) {
    // A stream that cannot tell its length is only found short while reading.
    TempFile file("short.pgm", "P5 300 300 255\nabc");
    FILE* pipe = popen((std::string("cat ") + file.Path()).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    RxImage image(0);
    EXPECT_FALSE(image.Decode(pipe, RXIMAGE_FORMAT_PNM));
    EXPECT_NE(std::string(image.GetLastError()).find("truncated pixel data"), std::string::npos)
        << image.GetLastError();
    pclose(pipe);
}

TEST(Pnm, DecodeLimitIsHonoured) {
    uint64_t saved = RxImage::GetDecodeLimit();
    RxImage::SetDecodeLimit(1000);
    RxImage image(0);
    EXPECT_FALSE(DecodeText(image, MakePpm(20, 20), RXIMAGE_FORMAT_PNM));
    EXPECT_NE(std::string(image.GetLastError()).find("image too large"), std::string::npos);
    EXPECT_TRUE(DecodeText(image, MakePpm(10, 10), RXIMAGE_FORMAT_PNM)) << image.GetLastError();
    RxImage::SetDecodeLimit(saved);
}

TEST(Pnm, GreyPictureRoundTrip) {
    RxImage image(0);
    ASSERT_TRUE(DecodeText(image, "P2 3 2 255 0 1 2 3 4 5", RXIMAGE_FORMAT_PNM));
    ASSERT_EQ(image.GetBpp(), 8);
    ASSERT_TRUE(image.IsGrayScale());
    BYTE* block = nullptr;
    LONG size = 0;
    ASSERT_TRUE(image.Encode(block, size, RXIMAGE_FORMAT_PNM)) << image.GetLastError();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), size_t(size)),
              std::string("P5\n3 2\n255\n\0\1\2\3\4\5", 17));
    std::free(block);
}

TEST(Pnm, OnlyColourOrGreyPicturesAreWritten) {
    RxImage image(0);
    ASSERT_TRUE(image.Create(2, 2, 8));
    image.SetPaletteColor(0, 255, 0, 0);
    RxMemFile out;
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(image.Encode(&out, RXIMAGE_FORMAT_PNM));
    EXPECT_STREQ(image.GetLastError(), "JasPer can save only RGB or GrayScale images");
    RxImage empty(0);
    EXPECT_FALSE(empty.Encode(&out, RXIMAGE_FORMAT_PNM));
}

TEST(Pnm, GarbageNeverCrashes) {
    // Every prefix of a valid file, and bytes flipped through it.
    std::string valid = "P3\n# c\n3 2\n255\n1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18\n";
    for (size_t length = 0; length < valid.size(); ++length) {
        RxImage image(0);
        DecodeText(image, valid.substr(0, length));
    }
    for (size_t i = 0; i < valid.size(); ++i)
        for (char replacement : {'\0', '9', '#', ' ', '\xff'}) {
            std::string data = valid;
            data[i] = replacement;
            RxImage image(0);
            DecodeText(image, data);
        }
}

}  // namespace
