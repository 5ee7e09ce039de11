// BMP, packed DIB, ICO and CUR decoding, including hostile files.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/BmpDecoder.h"
#include "platform/DibReader.h"
#include "platform/IconDecoder.h"
#include "platform/PngWriter.h"
#include "test_draw_support.h"

using drawtest::BmpFile;
using drawtest::DibHeader;
using drawtest::Px;
using drawtest::Put16;
using drawtest::Put32;

namespace {

const uint32_t kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;

// A 2 x 2 image in every depth: top row red, green; bottom row blue, white.
std::vector<uint8_t> SampleBmp(int bits) {
    const std::vector<uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    std::vector<uint8_t> rows;
    switch (bits) {
    case 1:  // only black and white: top row black, white; bottom white, black
        rows = {0x80, 0, 0, 0, 0x40, 0, 0, 0};
        return BmpFile(DibHeader(2, 2, 1, BI_RGB, {0x000000, 0xFFFFFF}), rows);
    case 4: rows = {0x23, 0, 0, 0, 0x01, 0, 0, 0}; break;
    case 8: rows = {2, 3, 0, 0, 0, 1, 0, 0}; break;
    case 24: rows = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}; break;
    case 32: rows = {255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0}; break;
    }
    return BmpFile(DibHeader(2, 2, bits, BI_RGB, bits <= 8 ? palette : std::vector<uint32_t>()), rows);
}

void ExpectSample(const Surface& s) {
    ASSERT_EQ(s.Width(), 2);
    ASSERT_EQ(s.Height(), 2);
    EXPECT_EQ(s.At(0, 0) | kBlack, Px(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(1, 0) | kBlack, Px(RGB(0, 255, 0)));
    EXPECT_EQ(s.At(0, 1) | kBlack, Px(RGB(0, 0, 255)));
    EXPECT_EQ(s.At(1, 1) | kBlack, kWhite);
}

}  // namespace

TEST(DrawDecoders, BmpOfEveryDepth) {
    for (int bits : {4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        const std::vector<uint8_t> file = SampleBmp(bits);
        Surface s;
        std::string error;
        ASSERT_TRUE(BmpDecoder::Decode(file.data(), file.size(), &s, &error)) << error;
        ExpectSample(s);
    }
    const std::vector<uint8_t> mono = SampleBmp(1);
    Surface s;
    ASSERT_TRUE(BmpDecoder::Decode(mono.data(), mono.size(), &s, nullptr));
    EXPECT_EQ(s.At(0, 0), kBlack);
    EXPECT_EQ(s.At(1, 0), kWhite);
    EXPECT_EQ(s.At(0, 1), kWhite);
    EXPECT_EQ(s.At(1, 1), kBlack);
}

TEST(DrawDecoders, BitFieldsAndRunLengthEncoding) {
    // 16-bit 5-6-5: one red pixel.
    std::vector<uint8_t> header = DibHeader(1, 1, 16, BI_BITFIELDS, {});
    Put32(&header, 0xF800);
    Put32(&header, 0x07E0);
    Put32(&header, 0x001F);
    std::vector<uint8_t> file = BmpFile(header, {0x00, 0xF8, 0, 0});
    Surface s;
    std::string error;
    ASSERT_TRUE(BmpDecoder::Decode(file.data(), file.size(), &s, &error)) << error;
    EXPECT_EQ(s.At(0, 0), Px(RGB(255, 0, 0)));

    // RLE8 4 x 2: bottom row 4 x index 1, top row absolute 2,3,2 then end.
    const std::vector<uint8_t> rle = {4, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 0, 0, 1};
    file = BmpFile(DibHeader(4, 2, 8, BI_RLE8, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, DWORD(rle.size())), rle);
    ASSERT_TRUE(BmpDecoder::Decode(file.data(), file.size(), &s, &error)) << error;
    EXPECT_EQ(s.At(0, 1), Px(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(3, 1), Px(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(0, 0), Px(RGB(0, 255, 0)));
    EXPECT_EQ(s.At(1, 0), Px(RGB(0, 0, 255)));
    EXPECT_EQ(s.At(3, 0), kBlack);  // never written: palette entry 0
}

TEST(DrawDecoders, RunLengthRunsAndDeltasPastTheEdgesStayInside) {
    // Runs wider than a row, deltas far right and far down, no end marker.
    std::vector<uint8_t> rle;
    for (int i = 0; i < 50; ++i) rle.insert(rle.end(), {255, 1});
    rle.insert(rle.end(), {0, 2, 255, 0, 0, 2, 255, 0, 3, 2, 0, 2, 0, 255});
    const std::vector<uint8_t> file =
        BmpFile(DibHeader(3, 2, 8, BI_RLE8, {0x000000, 0xFF0000}, DWORD(rle.size())), rle);
    Surface s;
    std::string error;
    ASSERT_TRUE(BmpDecoder::Decode(file.data(), file.size(), &s, &error)) << error;
    EXPECT_EQ(s.At(0, 1), Px(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(2, 1), Px(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(0, 0), kBlack);
}

TEST(DrawDecoders, HostileBitmapsAreRefused) {
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    };
    std::vector<Case> cases;
    cases.push_back({"huge dimensions", BmpFile(DibHeader(1000000, 1000000, 24, BI_RGB, {}), {0, 0, 0, 0})});
    cases.push_back({"width times height overflows", BmpFile(DibHeader(0x7FFFFFFF, 0x7FFFFFFF, 32, BI_RGB, {}), {})});
    cases.push_back({"negative width", BmpFile(DibHeader(-5, 2, 24, BI_RGB, {}), std::vector<uint8_t>(64))});
    cases.push_back({"zero height", BmpFile(DibHeader(2, 0, 24, BI_RGB, {}), std::vector<uint8_t>(64))});
    cases.push_back({"most negative height", BmpFile(DibHeader(2, int(0x80000000u), 24, BI_RGB, {}), {})});
    cases.push_back({"odd depth", BmpFile(DibHeader(2, 2, 7, BI_RGB, {}), std::vector<uint8_t>(64))});
    cases.push_back({"unknown compression", BmpFile(DibHeader(2, 2, 24, 9, {}), std::vector<uint8_t>(64))});
    cases.push_back({"RLE8 claimed for 24 bits", BmpFile(DibHeader(2, 2, 24, BI_RLE8, {}), std::vector<uint8_t>(64))});
    cases.push_back({"rows missing", BmpFile(DibHeader(100, 100, 24, BI_RGB, {}), std::vector<uint8_t>(100))});
    std::vector<uint8_t> hugePalette = DibHeader(2, 2, 8, BI_RGB, {});
    hugePalette[32] = 0xFF;  // biClrUsed = 0xFFFFFFFF with no palette behind it
    hugePalette[33] = 0xFF;
    hugePalette[34] = 0xFF;
    hugePalette[35] = 0xFF;
    cases.push_back({"palette larger than the file", BmpFile(hugePalette, {})});
    std::vector<uint8_t> badHeaderSize = DibHeader(2, 2, 24, BI_RGB, {});
    badHeaderSize[0] = 20;
    cases.push_back({"unknown header size", BmpFile(badHeaderSize, std::vector<uint8_t>(16))});
    std::vector<uint8_t> longHeader = DibHeader(2, 2, 8, BI_RGB, {});
    longHeader[0] = 0xE8;  // 1000 bytes: longer than any real header
    longHeader[1] = 0x03;
    longHeader.resize(1200);
    cases.push_back({"overlong header", BmpFile(longHeader, std::vector<uint8_t>(64))});
    cases.push_back({"not a bitmap", {'P', '6', '\n', '1', ' ', '1', '\n'}});
    cases.push_back({"empty", {}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Surface s;
        std::string error;
        EXPECT_FALSE(BmpDecoder::Decode(c.file.data(), c.file.size(), &s, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(DrawDecoders, EveryTruncationOfAValidFileIsSafe) {
    for (int bits : {1, 4, 8, 24, 32}) {
        const std::vector<uint8_t> file = SampleBmp(bits);
        for (size_t n = 0; n < file.size(); ++n) {
            std::vector<uint8_t> prefix(file.begin(), file.begin() + std::ptrdiff_t(n));  // exact-size buffer for ASan
            Surface s;
            EXPECT_FALSE(BmpDecoder::Decode(prefix.data(), prefix.size(), &s, nullptr)) << bits << " bits, " << n;
        }
    }
}

TEST(DrawDecoders, MutatedFilesNeverReadOutOfBounds) {
    // Deterministic byte mutations of valid files; the decoders may accept
    // or refuse them but must stay within the buffer (checked under ASan).
    uint32_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    const std::vector<uint8_t> rle = {4, 1, 0, 0, 0, 3, 2, 3, 2, 0, 0, 0, 0, 1};
    const std::vector<std::vector<uint8_t>> seeds = {
        SampleBmp(4), SampleBmp(8), SampleBmp(24),
        BmpFile(DibHeader(4, 2, 8, BI_RLE8, {0, 0xFF0000, 0xFF00, 0xFF}, DWORD(rle.size())), rle)};
    for (int round = 0; round < 4000; ++round) {
        std::vector<uint8_t> file = seeds[size_t(round) % seeds.size()];
        const int flips = 1 + int(next() % 4);
        for (int f = 0; f < flips; ++f) file[next() % file.size()] = uint8_t(next());
        Surface s;
        BmpDecoder::Decode(file.data(), file.size(), &s, nullptr);
        DibReader::Decode(file.data() + 14, file.size() - 14, &s, nullptr);
    }
}

namespace {

// An icon or cursor file with the given images (each a complete DIB or PNG).
struct IconImage {
    int width, height, hotX, hotY, bitCount;
    std::vector<uint8_t> data;
};

std::vector<uint8_t> IconFile(int type, const std::vector<IconImage>& images) {
    std::vector<uint8_t> f;
    Put16(&f, 0);
    Put16(&f, uint32_t(type));
    Put16(&f, uint32_t(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (const IconImage& image : images) {
        f.push_back(uint8_t(image.width));
        f.push_back(uint8_t(image.height));
        f.push_back(0);
        f.push_back(0);
        Put16(&f, type == 2 ? uint32_t(image.hotX) : 1);
        Put16(&f, type == 2 ? uint32_t(image.hotY) : uint32_t(image.bitCount));
        Put32(&f, uint32_t(image.data.size()));
        Put32(&f, offset);
        offset += uint32_t(image.data.size());
    }
    for (const IconImage& image : images) f.insert(f.end(), image.data.begin(), image.data.end());
    return f;
}

// A square 4-bit icon image: left half palette 1 (red), right half palette 2
// (green); the mask makes the top-left pixel transparent, and its colour is
// black there as icon images have it (the colour is XOR-ed onto the screen).
std::vector<uint8_t> FourBitIconDib(int size) {
    std::vector<uint8_t> dib = DibHeader(size, size * 2, 4, BI_RGB, {0, 0xFF0000, 0x00FF00, 0, 0, 0, 0, 0, 0, 0, 0,
                                                                       0, 0, 0, 0, 0});
    const size_t rowBytes = ((size_t(size) * 4 + 31) / 32) * 4;
    for (int y = 0; y < size; ++y)
        for (size_t b = 0; b < rowBytes; ++b) {
            const int x = int(b) * 2;
            uint8_t pair = x < size / 2 ? 0x11 : (x < size ? 0x22 : 0);
            if (y == size - 1 && b == 0) pair = 0x01;  // rows are bottom-up: this is the top-left
            dib.push_back(pair);
        }
    const size_t maskRow = ((size_t(size) + 31) / 32) * 4;
    for (int y = 0; y < size; ++y)  // bottom-up: the last row is the top
        for (size_t b = 0; b < maskRow; ++b) dib.push_back(y == size - 1 && b == 0 ? 0x80 : 0x00);
    return dib;
}

std::vector<uint8_t> AlphaIconDib(int size, uint8_t alpha) {
    std::vector<uint8_t> dib = DibHeader(size, size * 2, 32, BI_RGB, {});
    for (int i = 0; i < size * size; ++i) {
        dib.insert(dib.end(), {0, 0, 255, alpha});
    }
    const size_t maskRow = ((size_t(size) + 31) / 32) * 4;
    dib.insert(dib.end(), maskRow * size_t(size), 0);
    return dib;
}

}  // namespace

TEST(DrawDecoders, IconWithAndMaskPicksTheNearestSize) {
    const std::vector<uint8_t> file =
        IconFile(1, {{16, 16, 0, 0, 4, FourBitIconDib(16)}, {32, 32, 0, 0, 4, FourBitIconDib(32)}});
    std::string error;
    std::unique_ptr<Icon> icon = IconDecoder::Decode(file.data(), file.size(), 0, 0, &error);
    ASSERT_TRUE(icon) << error;
    EXPECT_EQ(icon->width, 32);
    EXPECT_FALSE(icon->isCursor);
    EXPECT_EQ(icon->hotSpot.x, 16);  // icons: the centre
    EXPECT_EQ(icon->colour.At(1, 5), Px(RGB(255, 0, 0)));
    EXPECT_EQ(icon->colour.At(30, 5), Px(RGB(0, 255, 0)));
    EXPECT_EQ(icon->mask.At(0, 0), kWhite);  // transparent
    EXPECT_EQ(icon->mask.At(1, 0), kBlack);
    EXPECT_EQ(icon->mask.At(0, 31), kBlack);
    std::unique_ptr<Icon> small = IconDecoder::Decode(file.data(), file.size(), 16, 16, &error);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->width, 16);

    // Drawn: the transparent pixel keeps the background.
    Surface target(32, 32, Px(RGB(1, 2, 3)));
    CDC dc(&target);
    dc.DrawIcon(0, 0, icon.get());
    EXPECT_EQ(target.At(0, 0), Px(RGB(1, 2, 3)));
    EXPECT_EQ(target.At(1, 0), Px(RGB(255, 0, 0)));
}

TEST(DrawDecoders, AlphaAndPngIconImages) {
    std::string error;
    const std::vector<uint8_t> alphaFile = IconFile(1, {{8, 8, 0, 0, 32, AlphaIconDib(8, 128)}});
    std::unique_ptr<Icon> alpha = IconDecoder::Decode(alphaFile.data(), alphaFile.size(), 0, 0, &error);
    ASSERT_TRUE(alpha) << error;
    EXPECT_TRUE(alpha->hasAlpha);
    Surface target(8, 8, kBlack);
    CDC dc(&target);
    dc.DrawIcon(0, 0, alpha.get());
    const uint32_t blended = target.At(3, 3);
    EXPECT_NEAR(int((blended >> 16) & 0xFF), 128, 1);  // half red over black

    Surface picture(4, 4, Px(RGB(0, 0, 255)));
    std::vector<uint8_t> png;
    ASSERT_TRUE(PngWriter::Encode(picture, &png, &error));
    const std::vector<uint8_t> pngFile = IconFile(1, {{4, 4, 0, 0, 32, png}});
    std::unique_ptr<Icon> fromPng = IconDecoder::Decode(pngFile.data(), pngFile.size(), 0, 0, &error);
    ASSERT_TRUE(fromPng) << error;
    EXPECT_EQ(fromPng->width, 4);
    EXPECT_EQ(fromPng->colour.At(2, 2), Px(RGB(0, 0, 255)));
    EXPECT_EQ(fromPng->mask.At(2, 2), kBlack);
}

TEST(DrawDecoders, CursorKeepsItsHotSpot) {
    const std::vector<uint8_t> file = IconFile(2, {{32, 32, 7, 30, 0, FourBitIconDib(32)}});
    std::string error;
    std::unique_ptr<Icon> cursor = IconDecoder::Decode(file.data(), file.size(), 0, 0, &error);
    ASSERT_TRUE(cursor) << error;
    EXPECT_TRUE(cursor->isCursor);
    EXPECT_EQ(cursor->hotSpot.x, 7);
    EXPECT_EQ(cursor->hotSpot.y, 30);
    // A hot spot outside the image is pulled inside.
    const std::vector<uint8_t> wild = IconFile(2, {{32, 32, 500, 500, 0, FourBitIconDib(32)}});
    cursor = IconDecoder::Decode(wild.data(), wild.size(), 0, 0, &error);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor->hotSpot.x, 31);
}

TEST(DrawDecoders, HostileIconFiles) {
    const std::vector<uint8_t> good = IconFile(1, {{16, 16, 0, 0, 4, FourBitIconDib(16)}});
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"wrong type", IconFile(3, {{16, 16, 0, 0, 4, FourBitIconDib(16)}})});
    cases.push_back({"no images", IconFile(1, {})});
    std::vector<uint8_t> manyEntries = good;
    manyEntries[4] = 0xFF;  // 255 entries claimed, one present
    cases.push_back({"directory longer than the file", manyEntries});
    std::vector<uint8_t> farOffset = good;
    farOffset[18] = 0xFF;  // image offset far beyond the end
    farOffset[19] = 0xFF;
    farOffset[20] = 0xFF;
    cases.push_back({"image outside the file", farOffset});
    std::vector<uint8_t> bigSize = good;
    bigSize[14] = 0xFF;  // image size beyond the end
    bigSize[15] = 0xFF;
    bigSize[16] = 0xFF;
    cases.push_back({"image size beyond the file", bigSize});
    std::vector<uint8_t> noMask = FourBitIconDib(16);
    noMask.resize(noMask.size() - 64);
    cases.push_back({"mask missing", IconFile(1, {{16, 16, 0, 0, 4, noMask}})});
    std::vector<uint8_t> badPng = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 1, 2, 3};
    cases.push_back({"broken PNG image", IconFile(1, {{16, 16, 0, 0, 32, badPng}})});
    cases.push_back({"huge image", IconFile(1, {{0, 0, 0, 0, 32, DibHeader(100000, 200000, 32, BI_RGB, {})}})});
    std::vector<uint8_t> widePng;
    PngWriter::Encode(Surface(2000, 1), &widePng, nullptr);
    cases.push_back({"PNG image wider than any icon", IconFile(1, {{0, 0, 0, 0, 32, widePng}})});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(IconDecoder::Decode(c.file.data(), c.file.size(), 0, 0, &error));
        EXPECT_FALSE(error.empty());
    }
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> prefix(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_FALSE(IconDecoder::Decode(prefix.data(), prefix.size(), 0, 0, nullptr)) << n;
    }
    uint32_t seed = 777;
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> file = good;
        for (int f = 0; f < 3; ++f) {
            seed = seed * 1103515245u + 12345u;
            const size_t at = (seed >> 8) % file.size();
            seed = seed * 1103515245u + 12345u;
            file[at] = uint8_t(seed >> 16);
        }
        std::unique_ptr<Icon> icon = IconDecoder::Decode(file.data(), file.size(), 0, 0, nullptr);
        if (icon) {
            ASSERT_EQ(icon->colour.Width(), icon->width);
            ASSERT_EQ(icon->mask.Height(), icon->height);
        }
    }
}
