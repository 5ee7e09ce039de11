#include <gtest/gtest.h>

#include "NativeCodecSupport.h"
#include "image/codecs/RxImageBMP.h"
#include "image/codecs/RxImageGIF.h"
#include "image/codecs/RxImagePCX.h"
#include "image/codecs/RxImageTGA.h"
#include "image/codecs/RxImageWBMP.h"

namespace {

// A memory file that counts the bytes handed out.
class CountingFile : public RxMemFile {
public:
    using RxMemFile::RxMemFile;
    uint64_t Read(void* buffer, size_t size, size_t count) override {
        uint64_t items = RxMemFile::Read(buffer, size, count);
        bytesRead += items * size;
        return items;
    }
    int32_t GetC() override {
        int32_t c = RxMemFile::GetC();
        if (c >= 0) ++bytesRead;
        return c;
    }
    uint64_t bytesRead = 0;
};

template <class C>
void ExpectRejectsPageImageEarly(const char* error) {
    std::vector<uint8_t> page = PageImage(1000, 1000);
    CountingFile file(page.data(), uint32_t(page.size()));
    C codec;
    EXPECT_FALSE(codec.Decode(&file));
    EXPECT_STREQ(codec.GetLastError(), error);
    EXPECT_LT(file.bytesRead, page.size() / 10);
}

TEST(NativeDispatch, EveryDecoderRejectsAPageImageInItsFirstChecks) {
    ExpectRejectsPageImageEarly<RxImageBMP>("Error reading BMP info");
    ExpectRejectsPageImageEarly<RxImageGIF>("");
    ExpectRejectsPageImageEarly<RxImageTGA>("bad TGA header");
    ExpectRejectsPageImageEarly<RxImagePCX>("Error: Not a PCX file");
    ExpectRejectsPageImageEarly<RxImageWBMP>("Unsupported WBMP type");
}

TEST(NativeDispatch, PageImageStillLoadsByContent) {
    std::vector<uint8_t> page = PageImage(64, 48);
    RxImage image;
    ASSERT_TRUE(image.Decode(page.data(), DWORD(page.size()), RXIMAGE_FORMAT_UNKNOWN)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(image.GetWidth(), 64);
}

// Files written by each encoder are found by content and by their own type,
// through the image object's encode and decode.
TEST(NativeDispatch, EncodedFilesAreFoundByContent) {
    struct Case {
        DWORD type;
        WORD bpp;
    };
    for (Case c : {Case{RXIMAGE_FORMAT_BMP, 4}, Case{RXIMAGE_FORMAT_BMP, 24}, Case{RXIMAGE_FORMAT_GIF, 8},
                   Case{RXIMAGE_FORMAT_TGA, 24}, Case{RXIMAGE_FORMAT_TGA, 8}, Case{RXIMAGE_FORMAT_PCX, 8},
                   Case{RXIMAGE_FORMAT_PCX, 24}, Case{RXIMAGE_FORMAT_WBMP, 1}}) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.bpp));
        RxImage image;
        MakePattern(image, 19, 9, c.bpp);
        if (c.bpp == 1) {
            image.SetPaletteColor(0, 0, 0, 0);
            image.SetPaletteColor(1, 255, 255, 255);
        }
        BYTE* buffer = nullptr;
        LONG size = 0;
        ASSERT_TRUE(image.Encode(buffer, size, c.type)) << image.GetLastError();
        for (DWORD type : {DWORD(RXIMAGE_FORMAT_UNKNOWN), c.type}) {
            RxImage back;
            ASSERT_TRUE(back.Decode(buffer, DWORD(size), type)) << back.GetLastError();
            EXPECT_EQ(back.GetType(), c.type);
            EXPECT_EQ(back.GetBpp(), c.bpp);
            EXPECT_TRUE(SamePixels(image, back));
        }
        std::free(buffer);
    }
}

TEST(NativeDispatch, GifAnimationThroughTheImageObject) {
    RxImage a, b;
    MakePattern(a, 5, 5, 8);
    MakePattern(b, 5, 5, 4);
    RxImage* frames[] = {&a, &b};
    RxMemFile file;
    file.Open();
    RxImage writer;
    ASSERT_TRUE(writer.Encode(&file, frames, 2, RXIMAGE_FORMAT_GIF)) << writer.GetLastError();
    RxImage back;
    back.SetFrame(1);
    file.Seek(0, 0);
    ASSERT_TRUE(back.Decode(&file, RXIMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(back.GetNumFrames(), 2);
    EXPECT_TRUE(SamePixels(b, back));
}

// Files whose pixel data cannot fit what is left of them are refused before
// the picture is made; files just long enough still decode.
std::vector<uint8_t> Bmp24(LONG width, LONG height, size_t dataBytes) {
    ByteBuilder b;
    b.text("BM").u32(uint32_t(54 + dataBytes)).u32(0).u32(54);
    b.u32(40).u32(uint32_t(width)).u32(uint32_t(height)).u16(1).u16(24).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);
    return b.fill(dataBytes, 0x40).bytes;
}

// Run-length true colour: full packets of 128 grey pixels, then the rest.
std::vector<uint8_t> TgaRle(int width, int height, size_t packets) {
    ByteBuilder b;
    b.u8(0).u8(0).u8(10).u16(0).u16(0).u8(0).u16(0).u16(0).u16(width).u16(height).u8(24).u8(0);
    size_t left = size_t(width) * size_t(height);
    for (size_t i = 0; i < packets && left; ++i) {
        size_t n = left < 128 ? left : 128;
        b.u8(int(0x80 | (n - 1))).u8(1).u8(2).u8(3);
        left -= n;
    }
    return b.bytes;
}

// Three planes of 8 bits coded in runs of 63 bytes.
std::vector<uint8_t> Pcx24(int width, int height, size_t runs) {
    ByteBuilder b;
    b.u8(10).u8(5).u8(1).u8(8).u16(0).u16(0).u16(width - 1).u16(height - 1).u16(72).u16(72).fill(48, 0);
    b.u8(0).u8(3).u16(width).u16(1).fill(58, 0);
    for (size_t i = 0; i < runs; ++i) b.u8(0xFF).u8(0x77);
    return b.bytes;
}

template <class C>
void ExpectDecodes(const std::vector<uint8_t>& bytes, const char* error, const char* what) {
    C codec;
    bool ok = DecodeBytes(codec, bytes);
    if (error) {
        EXPECT_FALSE(ok) << what;
        EXPECT_STREQ(codec.GetLastError(), error) << what;
    } else {
        EXPECT_TRUE(ok) << what << ": " << codec.GetLastError();
    }
}

TEST(NativeDispatch, DataTooShortForThePictureIsRefusedBeforeAllocating) {
    // 5 x 3 at 24 bits: rows of 16 bytes.
    ExpectDecodes<RxImageBMP>(Bmp24(5, 3, 48), nullptr, "BMP exact");
    ExpectDecodes<RxImageBMP>(Bmp24(5, 3, 47), "Unexpected end of BMP data", "BMP one byte short");
    ExpectDecodes<RxImageBMP>(Bmp24(20000, 15000, 64), "Unexpected end of BMP data", "BMP 900 MB claimed");
    // 200 pixels need two packets.
    ExpectDecodes<RxImageTGA>(TgaRle(200, 1, 2), nullptr, "TGA exact");
    ExpectDecodes<RxImageTGA>(TgaRle(200, 1, 1), "corrupted TGA", "TGA one packet short");
    ExpectDecodes<RxImageTGA>(TgaRle(60000, 60000, 4), "corrupted TGA", "TGA 10 GB claimed");
    // 3 planes of 126 bytes: six runs of 63.
    ExpectDecodes<RxImagePCX>(Pcx24(126, 1, 6), nullptr, "PCX exact");
    ExpectDecodes<RxImagePCX>(Pcx24(126, 1, 5), "corrupted PCX", "PCX one run short");
    ExpectDecodes<RxImagePCX>(Pcx24(60000, 60000, 4), "corrupted PCX", "PCX 10 GB claimed");
}

TEST(NativeDispatch, EscapeStopsEveryDecoder) {
    struct Case {
        DWORD type;
        WORD bpp;
    };
    for (Case c : {Case{RXIMAGE_FORMAT_BMP, 8}, Case{RXIMAGE_FORMAT_GIF, 8}, Case{RXIMAGE_FORMAT_TGA, 24},
                   Case{RXIMAGE_FORMAT_PCX, 24}, Case{RXIMAGE_FORMAT_WBMP, 1}}) {
        RxImage image;
        MakePattern(image, 4, 4, c.bpp);
        BYTE* buffer = nullptr;
        LONG size = 0;
        ASSERT_TRUE(image.Encode(buffer, size, c.type));
        RxImage back;
        back.SetEscape(1);
        EXPECT_FALSE(back.Decode(buffer, DWORD(size), c.type));
        EXPECT_STREQ(back.GetLastError(), "Cancelled");
        std::free(buffer);
    }
}

}  // namespace
