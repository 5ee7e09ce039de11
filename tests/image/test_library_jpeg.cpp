#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "LibraryFixtures.h"
#include "image/RxMemFile.h"
#include "image/codecs/RxImageJPG.h"

namespace {

JpegFixture Picture(int components, int width = 16, int height = 8) {
    JpegFixture jpeg;
    jpeg.width = width;
    jpeg.height = height;
    jpeg.components = components;
    jpeg.quality = 100;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                // Flat quarters keep the compression error small.
                jpeg.samples.push_back(uint8_t((x < width / 2 ? 40 : 200) + (y < height / 2 ? 0 : 30) - c * 15));
    return jpeg;
}

int Distance(BYTE a, int b) {
    return std::abs(int(a) - b);
}

TEST(JpegDecode, GreyColourAndCmykPictures) {
    for (int components : {1, 3, 4}) {
        for (bool progressive : {false, true}) {
            SCOPED_TRACE(testing::Message() << components << " components" << (progressive ? ", progressive" : ""));
            JpegFixture jpeg = Picture(components);
            jpeg.progressive = progressive;
            LibraryProbe image;
            ASSERT_TRUE(DecodeBytes(image, jpeg.Build(), RXIMAGE_FORMAT_JPG)) << image.GetLastError();
            EXPECT_EQ(image.GetBpp(), components == 1 ? 8 : 24);
            EXPECT_EQ(image.IsGrayScale(), components == 1);
            EXPECT_EQ(image.GetType(), DWORD(RXIMAGE_FORMAT_JPG));
            for (int y = 0; y < jpeg.height; y += 3)
                for (int x = 0; x < jpeg.width; x += 3) {
                    const uint8_t* s = &jpeg.samples[size_t((y * jpeg.width + x) * components)];
                    // Four components are scaled by the fourth, in file order.
                    int red = components == 4 ? s[0] * s[3] / 255 : s[0];
                    int green = components == 1 ? s[0] : components == 4 ? s[1] * s[3] / 255 : s[1];
                    int blue = components == 1 ? s[0] : components == 4 ? s[2] * s[3] / 255 : s[2];
                    RGBQUAD got = image.GetPixelColor(x, jpeg.height - 1 - y);
                    EXPECT_LE(Distance(got.rgbRed, red), 4) << x << "," << y;
                    EXPECT_LE(Distance(got.rgbGreen, green), 4) << x << "," << y;
                    EXPECT_LE(Distance(got.rgbBlue, blue), 4) << x << "," << y;
                }
        }
    }
}

TEST(JpegDecode, ResolutionFromTheDensity) {
    struct Case {
        int unit, x, y;
        LONG xDpi, yDpi;
    } cases[] = {
        {2, 118, 118, 300, 300},  // dots per centimetre
        {1, 72, 144, 72, 144},
        {0, 1, 2, 1, 2},          // an aspect ratio only: taken as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        JpegFixture jpeg = Picture(3);
        jpeg.densityUnit = c.unit;
        jpeg.xDensity = c.x;
        jpeg.yDensity = c.y;
        LibraryProbe image;
        ASSERT_TRUE(DecodeBytes(image, jpeg.Build(), RXIMAGE_FORMAT_JPG)) << image.GetLastError();
        EXPECT_EQ(image.GetXDPI(), c.xDpi);
        EXPECT_EQ(image.GetYDPI(), c.yDpi);
    }
}

TEST(JpegExif, RecordFieldsAndResolution) {
    ExifFixture exif;
    exif.orientation = 6;
    exif.xResolution = 72;
    exif.yResolution = 118;
    exif.resolutionUnit = 3;  // centimetres
    exif.make = "Acme";
    exif.model = "Pinhole 2";
    exif.dateTime = "2024:05:06 07:08:09";
    JpegFixture plain = Picture(3);
    plain.densityUnit = 1;
    plain.xDensity = plain.yDensity = 50;
    Bytes file = WithApp1(plain.Build(), exif.Build());

    RxImageJPG codec;
    RxMemFile memory(file.data(), uint32_t(file.size()));
    ASSERT_TRUE(codec.DecodeExif(&memory));
    EXPECT_EQ(memory.Tell(), 0);  // the position is kept
    const RxExifInfo& record = codec.GetExifInfo();
    EXPECT_TRUE(record.isExif);
    EXPECT_EQ(record.orientation, 6);
    EXPECT_STREQ(record.cameraMake, "Acme");
    EXPECT_STREQ(record.cameraModel, "Pinhole 2");
    EXPECT_STREQ(record.dateTime, "2024:05:06 07:08:09");
    EXPECT_EQ(record.width, 16);
    EXPECT_EQ(record.height, 8);
    EXPECT_EQ(record.components, 3);
    EXPECT_FALSE(codec.IsValid());  // nothing decoded

    // The Exif resolution wins over the JFIF density.
    ASSERT_TRUE(codec.Decode(&memory)) << codec.GetLastError();
    EXPECT_EQ(codec.GetXDPI(), 182);  // 72 per centimetre
    EXPECT_EQ(codec.GetYDPI(), 299);
}

// Values no device writes fall back to the JFIF density; an empty comment
// section leaves the comment empty.
TEST(JpegExif, ImplausibleValuesAreNotTaken) {
    ExifFixture exif;
    exif.xResolution = 4000000000u;
    exif.yResolution = 4000000000u;
    exif.resolutionUnit = 2;
    exif.orientation = 0xFFFF;
    JpegFixture plain = Picture(3);
    plain.densityUnit = 1;
    plain.xDensity = plain.yDensity = 72;
    Bytes file = WithApp1(plain.Build(), exif.Build());
    Bytes comment = {0xFF, 0xFE, 0x00, 0x02};
    file.insert(file.begin() + 2, comment.begin(), comment.end());
    RxImageJPG codec;
    RxMemFile memory(file.data(), uint32_t(file.size()));
    ASSERT_TRUE(codec.Decode(&memory)) << codec.GetLastError();
    EXPECT_EQ(codec.GetXDPI(), 72);
    EXPECT_EQ(codec.GetYDPI(), 72);
    EXPECT_EQ(codec.GetExifInfo().orientation, 0xFFFF);
    EXPECT_STREQ(codec.GetExifInfo().comment, "");
}

TEST(JpegExif, DamagedSectionsStopTheReaderSafely) {
    Bytes good = Picture(1).Build();
    Bytes padded = good;
    padded.insert(padded.begin() + 2, 7, 0xFF);  // seven fill bytes before a marker
    Bytes shortLength = {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x01};
    Bytes endsEarly = {0xFF, 0xD8, 0xFF, 0xE1, 0x10, 0x00, 'E', 'x'};
    Bytes noImage = {0xFF, 0xD8, 0xFF, 0xD9};
    Bytes manySections = {0xFF, 0xD8};
    for (int i = 0; i < 21; ++i) manySections.insert(manySections.end(), {0xFF, 0xE2, 0x00, 0x02});
    Bytes wildExif = WithApp1(good, Bytes{'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0x7F});
    struct Case {
        const char* name;
        Bytes data;
        const char* error;
    } cases[] = {
        {"padding", padded, "too many padding bytes\n"},
        {"length below two", shortLength, "invalid marker"},
        {"ends inside a section", endsEarly, "Premature end of file?"},
        {"no image", noImage, "No image in jpeg!\n"},
        {"too many sections", manySections, "Too many sections in jpg file"},
        {"directory outside the block", wildExif, ""},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        RxImageJPG codec;
        RxMemFile memory(c.data.data(), uint32_t(c.data.size()));
        testing::internal::CaptureStdout();
        codec.DecodeExif(&memory);
        testing::internal::GetCapturedStdout();
        EXPECT_STREQ(codec.GetExifInfo().lastError, c.error);
        EXPECT_EQ(codec.GetExifInfo().orientation, 0);
        EXPECT_STREQ(codec.GetLastError(), "");  // the image's own error is untouched
    }
}

TEST(JpegDecode, QuantisedToAPalette) {
    RxImageJPG codec;
    codec.SetDecodeColors(16);
    Bytes file = Picture(3).Build();
    RxMemFile memory(file.data(), uint32_t(file.size()));
    ASSERT_TRUE(codec.Decode(&memory)) << codec.GetLastError();
    EXPECT_EQ(codec.GetBpp(), 8);
    EXPECT_TRUE(codec.IsIndexed());
    RGBQUAD corner = codec.GetPixelColor(0, codec.GetHeight() - 1);  // top left: (40, 25, 10)
    EXPECT_LE(Distance(corner.rgbRed, 40), 40);
    EXPECT_LE(Distance(corner.rgbBlue, 10), 40);
}

TEST(JpegDecode, TruncatedFileKeepsItsRowsAndEmptyInputFails) {
    JpegFixture jpeg = Picture(3, 64, 64);
    Bytes file = jpeg.Build();
    size_t scan = 0;
    for (size_t i = 2; i + 1 < file.size() && !scan; ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xDA) scan = i;
    ASSERT_GT(scan, 0u);
    Bytes truncated(file.begin(), file.begin() + long(scan + (file.size() - scan) / 2));
    LibraryProbe image;
    ASSERT_TRUE(DecodeBytes(image, truncated, RXIMAGE_FORMAT_JPG)) << image.GetLastError();
    RGBQUAD top = image.GetPixelColor(0, 63);
    EXPECT_LE(Distance(top.rgbRed, 40), 4);

    struct Case {
        const char* name;
        Bytes data;
    } failures[] = {
        {"empty", {}},
        {"not a JPEG", {'P', '6', '\n', '1', ' ', '1', '\n'}},
        {"header only", Bytes(file.begin(), file.begin() + 20)},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.name);
        LibraryProbe failed;
        EXPECT_FALSE(DecodeBytes(failed, c.data, RXIMAGE_FORMAT_JPG));
        EXPECT_STRNE(failed.GetLastError(), "");
        EXPECT_FALSE(failed.IsValid());
    }
}

TEST(JpegDecode, EscapeCancels) {
    RxImageJPG codec;
    codec.SetEscape(1);
    Bytes file = Picture(3).Build();
    RxMemFile memory(file.data(), uint32_t(file.size()));
    EXPECT_FALSE(codec.Decode(&memory));
    EXPECT_STREQ(codec.GetLastError(), "Cancelled");
}

// --- encoding

TEST(JpegEncode, ColourAndGreyRoundTripTopRowFirst) {
    RxImage colour(16, 8, 24, 0);
    RxImage grey(16, 8, 8, 0);
    grey.SetGrayPalette();
    for (LONG y = 0; y < 8; ++y)
        for (LONG x = 0; x < 16; ++x) {
            BYTE v = BYTE(y < 4 ? 30 : 220);  // dark bottom half, light top half
            colour.SetPixelColor(x, y, RGBQUAD{BYTE(v / 2), v, BYTE(255 - v), 0});
            grey.SetPixelIndex(x, y, v);
        }
    for (RxImage* image : {&colour, &grey}) {
        image->SetJpegQuality(100);
        image->SetXDPI(200);
        image->SetYDPI(150);
        Bytes file = EncodeBytes(*image, RXIMAGE_FORMAT_JPG);
        ASSERT_FALSE(file.empty()) << image->GetLastError();
        ASSERT_GT(file.size(), 20u);
        EXPECT_EQ(file[13], 1);  // density in dots per inch
        LibraryProbe back;
        ASSERT_TRUE(DecodeBytes(back, file, RXIMAGE_FORMAT_JPG)) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), image->GetBpp());
        EXPECT_EQ(back.GetXDPI(), 200);
        EXPECT_EQ(back.GetYDPI(), 150);
        for (LONG y : {0, 7})
            for (LONG x : {0, 15}) {
                RGBQUAD want = image->GetPixelColor(x, y), got = back.GetPixelColor(x, y);
                EXPECT_LE(Distance(got.rgbRed, want.rgbRed), 3) << x << "," << y;
                EXPECT_LE(Distance(got.rgbGreen, want.rgbGreen), 3) << x << "," << y;
                EXPECT_LE(Distance(got.rgbBlue, want.rgbBlue), 3) << x << "," << y;
            }
    }
}

TEST(JpegEncode, QualityChangesTheSize) {
    RxImage image(64, 64, 24, 0);
    for (LONG y = 0; y < 64; ++y)
        for (LONG x = 0; x < 64; ++x) image.SetPixelColor(x, y, RGBQUAD{BYTE(x * 4), BYTE(y * 4), BYTE(x * y), 0});
    image.SetJpegQuality(10);
    size_t low = EncodeBytes(image, RXIMAGE_FORMAT_JPG).size();
    image.SetJpegQuality(95);
    size_t high = EncodeBytes(image, RXIMAGE_FORMAT_JPG).size();
    EXPECT_GT(low, 0u);
    EXPECT_LT(low, high);
}

TEST(JpegEncode, RefusesColourPalettesAndReportsWriteErrors) {
    RxImage palette(4, 4, 8, 0);
    palette.SetPaletteColor(1, RGBQUAD{0, 0, 255, 0});
    EXPECT_TRUE(EncodeBytes(palette, RXIMAGE_FORMAT_JPG).empty());
    EXPECT_STREQ(palette.GetLastError(), "JPEG can save only RGB or GreyScale images");

    RxImage image(4, 4, 24, 0);
    image.Clear(0x80);
    uint8_t none = 0;
    class FullFile : public RxMemFile {
    public:
        explicit FullFile(uint8_t* block) : RxMemFile(block, 0) {}
        uint64_t Write(const void*, size_t, size_t) override { return 0; }
    } full(&none);
    EXPECT_FALSE(image.Encode(&full, RXIMAGE_FORMAT_JPG));
    EXPECT_STRNE(image.GetLastError(), "");
}

}  // namespace
