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
