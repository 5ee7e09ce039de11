#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "NativeCodecSupport.h"
#include "image/codecs/RxImageGIF.h"

namespace {

// Offset of the first occurrence of needle, or npos.
size_t Find(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& needle, size_t from = 0) {
    auto it = std::search(bytes.begin() + from, bytes.end(), needle.begin(), needle.end());
    return it == bytes.end() ? std::string::npos : size_t(it - bytes.begin());
}

std::vector<uint8_t> EncodeAnimation(RxImageGIF& gif, std::vector<RxImage*> images, bool* ok = nullptr) {
    RxMemFile file;
    file.Open();
    bool result = gif.Encode(&file, images.data(), int(images.size()));
    if (ok) *ok = result;
    int32_t size = file.Size();
    unsigned char* data = file.GetBuffer();
    std::vector<uint8_t> out(data, data + size);
    std::free(data);
    return out;
}

struct RoundTrip {
    WORD bpp;
    LONG width, height;
    DWORD option;
    bool noisy;
};

class GifRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Every body coder must give a stream that the decoder reads back exactly,
// including long streams where the code table fills and is cleared.
TEST_P(GifRoundTrip, KeepsThePixels) {
    const RoundTrip& c = GetParam();
    RxImage image;
    MakePattern(image, c.width, c.height, c.bpp);
    if (c.noisy) {
        std::mt19937 random(7);
        for (LONG y = 0; y < c.height; ++y)
            for (LONG x = 0; x < c.width; ++x)
                if (random() % 3) image.SetPixelIndex(x, y, BYTE(random() % image.GetNumColors()));
    }
    bool ok = false;
    std::vector<uint8_t> bytes = EncodeBytes<RxImageGIF>(image, &ok, nullptr, c.option);
    ASSERT_TRUE(ok);
    ASSERT_EQ(bytes.back(), 0x3B);
    RxImageGIF back;
    ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), c.bpp);
    EXPECT_EQ(back.GetNumFrames(), 1);
    EXPECT_TRUE(SamePixels(image, back));
}

std::vector<RoundTrip> RoundTrips() {
    std::vector<RoundTrip> cases;
    for (DWORD option : {0u, 1u, 2u}) {
        for (WORD bpp : {1, 4, 8}) {
            cases.push_back({bpp, 1, 1, option, false});
            cases.push_back({bpp, 37, 23, option, false});
            cases.push_back({bpp, 300, 220, option, true});
        }
        // Long runs of one index: the run coder's tables grow to 12 bits.
        cases.push_back({8, 4000, 40, option, false});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Coders, GifRoundTrip, ::testing::ValuesIn(RoundTrips()),
                         [](const ::testing::TestParamInfo<RoundTrip>& info) {
                             const RoundTrip& c = info.param;
                             return "Option" + std::to_string(c.option) + "Bpp" + std::to_string(c.bpp) + "W" +
                                    std::to_string(c.width) + (c.noisy ? "Noisy" : "");
                         });

TEST(GifEncode, HeaderControlExtensionAndTransparency) {
    RxImage image;
    MakePattern(image, 5, 3, 4);
    image.SetTransIndex(3);
    image.SetFrameDelay(12);
    std::vector<uint8_t> bytes = EncodeBytes<RxImageGIF>(image);
    ASSERT_GE(bytes.size(), 13u + 48 + 8);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF89a");
    EXPECT_EQ(bytes[6], 5);
    EXPECT_EQ(bytes[8], 3);
    EXPECT_EQ(bytes[10], 0x80 | (3 << 5) | 3);
    const std::vector<uint8_t> control = {0x21, 0xF9, 4, 1, 12, 0, 3, 0};
    EXPECT_EQ(Find(bytes, control), 13u + 48);
    RxImageGIF back;
    ASSERT_TRUE(DecodeBytes(back, bytes));
    EXPECT_EQ(back.GetTransIndex(), 3);
    EXPECT_EQ(back.GetFrameDelay(), 12u);
}

// A frame decoded from a larger screen keeps its position; written alone it
// must still lie inside the screen, or readers skip it.
TEST(GifEncode, FrameWithAnOffsetStaysReadable) {
    RxImage image;
    MakePattern(image, 3, 2, 8);
    image.SetOffset(4, 46);
    std::vector<uint8_t> bytes = EncodeBytes<RxImageGIF>(image);
    EXPECT_EQ(bytes[6], 7);
    EXPECT_EQ(bytes[8], 48);
    RxImageGIF back;
    ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
    LONG x = 0, y = 0;
    back.GetOffset(&x, &y);
    EXPECT_EQ(x, 4);
    EXPECT_EQ(y, 46);
    EXPECT_TRUE(SamePixels(image, back));
}

TEST(GifEncode, CommentIsCutAt255AndEmptyCommentIsNotWritten) {
    RxImage image;
    MakePattern(image, 4, 4, 8);
    const std::vector<uint8_t> marker = {0x21, 0xFE};

    RxImageGIF gif;
    gif.Copy(image);
    RxMemFile file;
    file.Open();
    ASSERT_TRUE(gif.Encode(&file));
    std::vector<uint8_t> plain(file.GetBuffer(), file.GetBuffer() + file.Size());
    std::free(file.GetBuffer());
    EXPECT_EQ(Find(plain, marker), std::string::npos);

    std::string longText(300, 'c');
    gif.SetComment(longText.c_str());
    char kept[256];
    gif.GetComment(kept);
    EXPECT_EQ(std::strlen(kept), 255u);
    RxMemFile file2;
    file2.Open();
    ASSERT_TRUE(gif.Encode(&file2));
    std::vector<uint8_t> commented(file2.GetBuffer(), file2.GetBuffer() + file2.Size());
    std::free(file2.GetBuffer());
    size_t at = Find(commented, marker);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(commented[at + 2], 255);
    EXPECT_EQ(commented[at + 3 + 255], 0);

    RxImageGIF back;
    ASSERT_TRUE(DecodeBytes(back, commented));
    back.GetComment(kept);
    EXPECT_EQ(std::string(kept), longText.substr(0, 255));
}

TEST(GifEncode, LoopExtension) {
    RxImage a, b;
    MakePattern(a, 6, 4, 8);
    MakePattern(b, 6, 4, 8);
    b.SetPixelIndex(0, 0, 9);
    const std::vector<uint8_t> netscape = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    struct Case {
        int loops;
        int written;  // -1: no extension
    };
    for (Case c : {Case{1, -1}, Case{0, 0}, Case{3, 2}}) {
        SCOPED_TRACE(c.loops);
        RxImageGIF gif;
        gif.SetLoops(c.loops);
        bool ok = false;
        std::vector<uint8_t> bytes = EncodeAnimation(gif, {&a, &b}, &ok);
        ASSERT_TRUE(ok);
        size_t at = Find(bytes, netscape);
        if (c.written < 0) {
            EXPECT_EQ(at, std::string::npos);
            continue;
        }
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(bytes[at + 11], 3);
        EXPECT_EQ(bytes[at + 12], 1);
        EXPECT_EQ(bytes[at + 13] | (bytes[at + 14] << 8), c.written);
        RxImageGIF back;
        ASSERT_TRUE(DecodeBytes(back, bytes));
        EXPECT_EQ(back.GetLoops(), c.loops);
    }
}

TEST(GifAnimation, EachFrameDecodesByItsNumber) {
    std::vector<RxImage> frames(3);
    std::vector<RxImage*> pointers;
    for (size_t i = 0; i < frames.size(); ++i) {
        MakePattern(frames[i], 9, 5, i == 1 ? 4 : 8);
        frames[i].SetPaletteColor(0, BYTE(i * 50), 1, 2);
        frames[i].SetFrameDelay(DWORD(10 + i));
        pointers.push_back(&frames[i]);
    }
    RxImageGIF gif;
    bool ok = false;
    std::vector<uint8_t> bytes = EncodeAnimation(gif, pointers, &ok);
    ASSERT_TRUE(ok);
    for (LONG i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        RxImageGIF back;
        back.SetFrame(i);
        ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
        EXPECT_EQ(back.GetNumFrames(), 3);
        EXPECT_EQ(back.GetFrameDelay(), DWORD(10 + i));
        EXPECT_TRUE(SamePixels(frames[size_t(i)], back));
    }
    for (LONG wrong : {-1, 3}) {
        RxImage image;
        image.SetFrame(wrong);
        EXPECT_FALSE(image.Decode(bytes.data(), DWORD(bytes.size()), RXIMAGE_FORMAT_GIF));
        EXPECT_EQ(image.GetNumFrames(), 3);
    }
}

TEST(GifAnimation, CombinedFrameIsMixedOverThePreviousOne) {
    RxImage base, patch;
    MakePattern(base, 6, 5, 8);
    patch.Create(2, 2, 8, 0);
    patch.SetPalette(base.GetPalette(), 256);
    patch.Clear(0);
    patch.SetPixelIndex(0, 0, 200);  // bottom left of the patch
    patch.SetPixelIndex(1, 1, 201);  // top right
    patch.SetTransIndex(0);
    patch.SetOffset(3, 1);  // from the left and the top of the screen
    RxImageGIF gif;
    gif.SetDisposalMethod(1);
    std::vector<uint8_t> bytes = EncodeAnimation(gif, {&base, &patch});

    RxImageGIF back;
    back.SetFrame(1);
    ASSERT_TRUE(DecodeBytes(back, bytes)) << back.GetLastError();
    ASSERT_EQ(back.GetWidth(), 6);
    ASSERT_EQ(back.GetHeight(), 5);
    EXPECT_EQ(back.GetBpp(), 8);
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 6; ++x) {
            BYTE expected = base.GetPixelIndex(x, y);
            if (x == 3 && y == 5 - 1 - 2) expected = 200;  // patch row 1 from the top is screen row 2
            if (x == 4 && y == 5 - 1 - 1) expected = 201;
            EXPECT_EQ(back.GetPixelIndex(x, y), expected) << x << "," << y;
        }
}

TEST(GifTrueColour, WrittenAsTilesThatComposeThePicture) {
    RxImage image;
    MakePattern(image, 40, 20, 24);
    bool ok = false;
    std::vector<uint8_t> bytes = EncodeBytes<RxImageGIF>(image, &ok);
    ASSERT_TRUE(ok);
    RxImageGIF first;
    ASSERT_TRUE(DecodeBytes(first, bytes));
    EXPECT_EQ(first.GetNumFrames(), 3 * 2);
    EXPECT_EQ(first.GetWidth(), 17);
    EXPECT_EQ(first.GetHeight(), 15);
    EXPECT_EQ(first.GetBpp(), 8);

    RxImageGIF last;
    last.SetFrame(5);
    ASSERT_TRUE(DecodeBytes(last, bytes));
    EXPECT_EQ(last.GetBpp(), 24);
    EXPECT_TRUE(SamePixels(image, last));
}

TEST(GifDecode, InterlacedRowsArriveInFourPasses) {
    const LONG height = 11;
    RxImage image;
    MakePattern(image, 3, height, 8);
    // Store the rows in transmission order, then mark the frame interlaced.
    std::vector<LONG> order;
    for (LONG start : {0, 4, 2, 1})
        for (LONG row = start; row < height; row += (start == 0 || start == 4) ? 8 : start == 2 ? 4 : 2)
            order.push_back(row);
    RxImage shuffled;
    shuffled.Copy(image);
    for (LONG line = 0; line < height; ++line)
        for (LONG x = 0; x < 3; ++x)
            shuffled.SetPixelIndex(x, height - 1 - line, image.GetPixelIndex(x, height - 1 - order[size_t(line)]));
    std::vector<uint8_t> bytes = EncodeBytes<RxImageGIF>(shuffled);
    const size_t descriptor = 13 + 768 + 8;
    ASSERT_EQ(bytes[descriptor], 0x2C);
    bytes[descriptor + 9] |= 0x40;
    RxImageGIF back;
    ASSERT_TRUE(DecodeBytes(back, bytes));
    EXPECT_TRUE(SamePixels(image, back));
}

// A 4 x 1 picture with a 2-entry global table and the given LZW data.
std::vector<uint8_t> TinyGif(int minCodeSize, std::vector<uint8_t> data) {
    ByteBuilder b;
    b.text("GIF89a").u16(4).u16(1).u8(0x80).u8(0).u8(0).u8(0).u8(0).u8(0).u8(255).u8(255).u8(255);
    b.u8(0x2C).u16(0).u16(0).u16(4).u16(1).u8(0).u8(minCodeSize);
    b.u8(int(data.size())).raw(data).u8(0).u8(0x3B);
    return b.bytes;
}

struct ErrorCase {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* error;
};

class GifErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(GifErrors, FailWithText) {
    RxImageGIF gif;
    EXPECT_FALSE(DecodeBytes(gif, GetParam().bytes));
    EXPECT_STREQ(gif.GetLastError(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, GifErrors,
    ::testing::Values(
        // Not a GIF at all: false without a text, so the content search moves on.
        ErrorCase{"PageImage", PageImage(8, 8), ""},
        ErrorCase{"Short", {'G', 'I', 'F', '8'}, ""},
        // clear, 0, then code 7 while the next free code is 6
        ErrorCase{"CodeOutOfRange", TinyGif(2, {0xC4, 0x01}), "corrupted GIF: LZW code out of range"},
        // clear, 0, end: one pixel of four
        ErrorCase{"DataEndsEarly", TinyGif(2, {0x44, 0x01}), "corrupted GIF: image data ends early"},
        ErrorCase{"CodeSizeTooSmall", TinyGif(1, {0x00}), "corrupted GIF: bad LZW code size"},
        ErrorCase{"CodeSizeTooLarge", TinyGif(10, {0x00}), "corrupted GIF: bad LZW code size"},
        ErrorCase{"NoFrames", ByteBuilder().text("GIF89a").u16(1).u16(1).u8(0).u8(0).u8(0).u8(0x3B).bytes,
                  "GIF frame out of range"},
        ErrorCase{"TruncatedTable", ByteBuilder().text("GIF89a").u16(1).u16(1).u8(0x87).u8(0).u8(0).u8(1).bytes,
                  "corrupted GIF"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(GifDecode, FrameOutsideTheScreenIsSkipped) {
    ByteBuilder b;
    b.text("GIF89a").u16(2).u16(1).u8(0x80).u8(0).u8(0).u8(0).u8(0).u8(0).u8(255).u8(255).u8(255);
    // 3 x 1 frame on a 2 x 1 screen, then a 2 x 1 frame: clear, 1, 1, end.
    b.u8(0x2C).u16(0).u16(0).u16(3).u16(1).u8(0).u8(2).u8(2).u8(0x4C).u8(0x0A).u8(0);
    b.u8(0x2C).u16(0).u16(0).u16(2).u16(1).u8(0).u8(2).u8(2).u8(0x4C).u8(0x0A).u8(0).u8(0x3B);
    RxImageGIF skipped;
    EXPECT_FALSE(DecodeBytes(skipped, b.bytes));
    RxImageGIF second;
    second.SetFrame(1);
    ASSERT_TRUE(DecodeBytes(second, b.bytes)) << second.GetLastError();
    EXPECT_EQ(second.GetNumFrames(), 2);
    EXPECT_EQ(TopDownRgb(second, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(TopDownRgb(second, 1, 0), 0xFFFFFFu);
}

TEST(GifEncode, AnimationErrors) {
    RxImage good, empty, colour;
    MakePattern(good, 2, 2, 8);
    MakePattern(colour, 2, 2, 24);
    RxImage* withNull[] = {&good, nullptr};
    RxImage* withEmpty[] = {&empty};
    RxImage* withColour[] = {&colour};
    RxImage* ok[] = {&good};
    RxMemFile file;
    file.Open();
    struct Case {
        RxFile* file;
        RxImage** images;
        int count;
        const char* error;
    };
    for (Case c : {Case{nullptr, ok, 1, "invalid file pointer"}, Case{&file, nullptr, 1, "multipage GIF, no images!"},
                   Case{&file, ok, 0, "multipage GIF, no images!"}, Case{&file, withNull, 2, "Bad image pointer"},
                   Case{&file, withEmpty, 1, "Bad image pointer"}, Case{&file, withColour, 1, "Bad image pointer"}}) {
        RxImageGIF gif;
        EXPECT_FALSE(gif.Encode(c.file, c.images, c.count));
        EXPECT_STREQ(gif.GetLastError(), c.error);
    }
    RxImageGIF gif;
    gif.Copy(good);
    EXPECT_FALSE(gif.Encode(static_cast<RxFile*>(nullptr)));
    EXPECT_STREQ(gif.GetLastError(), "Can't open GIF for writing");
}

TEST(GifEncode, WriteErrorIsReported) {
    RxImage image;
    MakePattern(image, 8, 8, 8);
    RxImageGIF gif;
    gif.Copy(image);
    unsigned char tiny[4];
    // A file over a fixed block of another owner that is too small cannot
    // be written and reports the failure.
    FILE* stream = fmemopen(tiny, sizeof(tiny), "wb");
    ASSERT_NE(stream, nullptr);
    setvbuf(stream, nullptr, _IONBF, 0);
    EXPECT_FALSE(gif.Encode(stream));
    EXPECT_STREQ(gif.GetLastError(), "Write Error in GIF file");
    std::fclose(stream);
}

}  // namespace
