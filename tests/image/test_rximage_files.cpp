#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "ImageTestSupport.h"
#include "image/RxIOFile.h"
#include "image/RxMemFile.h"

namespace {

void ExpectPpmPixels(RxImage& image, int width, int height) {
    ASSERT_EQ(image.GetWidth(), width);
    ASSERT_EQ(image.GetHeight(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Rows are stored bottom-up: the file's first row is the top one.
            RGBQUAD got = image.GetPixelColor(x, height - 1 - y);
            RGBQUAD want = PpmColour(x, y);
            ASSERT_EQ(got.rgbRed, want.rgbRed) << x << "," << y;
            ASSERT_EQ(got.rgbGreen, want.rgbGreen) << x << "," << y;
            ASSERT_EQ(got.rgbBlue, want.rgbBlue) << x << "," << y;
        }
}

TEST(RxImageFiles, PpmLoadsByContentTopRowFirst) {
    TempFile file("page.ppm", MakePpm(7, 5));
    RxImage image(0);
    ASSERT_TRUE(image.Load(file.Path(), 0)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 24);
    EXPECT_EQ(image.GetType(), 0u);
    ExpectPpmPixels(image, 7, 5);

    RxImage byName(file.Path(), 0);
    EXPECT_TRUE(byName.IsValid());
    RxImage asPnm(0);
    ASSERT_TRUE(asPnm.Load(file.Path(), RXIMAGE_FORMAT_PNM));
    EXPECT_EQ(asPnm.GetType(), 9u);
}

TEST(RxImageFiles, EveryEarlierCodecRejectsAPageImage) {
    // The content search reaches the component codec only when these fail.
    struct Case {
        DWORD type;
        const char* message;  // null: the library's own text
    } cases[] = {
        {RXIMAGE_FORMAT_BMP, "Error reading BMP info"}, {RXIMAGE_FORMAT_JPG, nullptr},
        {RXIMAGE_FORMAT_GIF, nullptr},                  {RXIMAGE_FORMAT_PNG, nullptr},
        {RXIMAGE_FORMAT_TIF, nullptr},                  {RXIMAGE_FORMAT_TGA, "bad TGA header"},
        {RXIMAGE_FORMAT_PCX, "Error: Not a PCX file"},  {RXIMAGE_FORMAT_WBMP, "Unsupported WBMP type"},
    };
    std::string ppm = MakePpm(40, 30);
    for (const Case& c : cases) {
        RxMemFile file(reinterpret_cast<BYTE*>(&ppm[0]), uint32_t(ppm.size()));
        RxImage image(0);
        EXPECT_FALSE(image.Decode(&file, c.type)) << c.type;
        if (c.message) {
            EXPECT_STREQ(image.GetLastError(), c.message) << c.type;
        }
    }
}

TEST(RxImageFiles, MissingFileLeavesTheLastErrorAsItWas) {
    RxImage image(0);
    RxMemFile garbage(reinterpret_cast<BYTE*>(const_cast<char*>("nothing")), 7);
    ASSERT_FALSE(image.Decode(&garbage, 0));
    std::string before = image.GetLastError();
    EXPECT_EQ(before, "Decode: Unknown or wrong format");
    EXPECT_FALSE(image.Load("/nonexistent/dir/page.ppm", 0));
    EXPECT_FALSE(image.Load("/nonexistent/dir/page.ppm", RXIMAGE_FORMAT_PNM));
    EXPECT_EQ(image.GetLastError(), before);
    EXPECT_FALSE(image.Save("/nonexistent/dir/page.ppm", RXIMAGE_FORMAT_PNM));
}

TEST(RxImageFiles, FailedSaveLeavesAnExistingFileAsItWas) {
    const std::string earlier = "an earlier picture's bytes";
    TempFile file("kept.out", earlier);
    RxImage image(0);
    ASSERT_TRUE(image.Create(4, 3, 8));
    const struct {
        DWORD type;
        const char* message;
    } kCases[] = {
        {RXIMAGE_FORMAT_WBMP, "Can't save this image as WBMP"},  // the format holds 1 bit only
        {RXIMAGE_FORMAT_COUNT, "Encode: Unknown format"},
    };
    for (const auto& c : kCases) {
        EXPECT_FALSE(image.Save(file.Path(), c.type)) << c.type;
        EXPECT_STREQ(image.GetLastError(), c.message);
        EXPECT_EQ(file.Read(), earlier) << c.type;
    }
    ASSERT_TRUE(image.Save(file.Path(), RXIMAGE_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(file.Read().substr(0, 2), "BM");
}

TEST(RxImageFiles, FailedWriteNeverRemovesWhatWasThere) {
    struct stat status;
    if (::stat("/dev/full", &status) != 0) GTEST_SKIP() << "no /dev/full";
    RxImage image(0);
    ASSERT_TRUE(image.Create(4, 3, 24));
    EXPECT_FALSE(image.Save("/dev/full", RXIMAGE_FORMAT_BMP));
    EXPECT_EQ(::stat("/dev/full", &status), 0);
}

TEST(RxImageFiles, FailedLoadKeepsTheRequestedFormatsMessage) {
    TempFile text("notes.txt", "just some text, no picture\n");
    RxImage image(0);
    ASSERT_TRUE(image.Create(3, 3, 24));
    void* before = image.GetDIB();
    EXPECT_FALSE(image.Load(text.Path(), RXIMAGE_FORMAT_PNM));
    EXPECT_STREQ(image.GetLastError(), "error: cannot load image data");
    EXPECT_FALSE(image.Load(text.Path(), 0));
    EXPECT_STREQ(image.GetLastError(), "Decode: Unknown or wrong format");
    // A failed load leaves the previous picture.
    EXPECT_EQ(image.GetDIB(), before);
    EXPECT_EQ(image.GetWidth(), 3);
}

TEST(RxImageFiles, WrongFormatFallsBackToContent) {
    std::string ppm = MakePpm(5, 3);
    RxImage source(reinterpret_cast<BYTE*>(&ppm[0]), DWORD(ppm.size()), 0);
    TempFile png("picture.png");
    ASSERT_TRUE(source.Save(png.Path(), RXIMAGE_FORMAT_PNG)) << source.GetLastError();
    RxImage image(0);
    ASSERT_TRUE(image.Load(png.Path(), RXIMAGE_FORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(image.GetType(), DWORD(RXIMAGE_FORMAT_PNG));
    ExpectPpmPixels(image, 5, 3);

    // Nothing recognises a text file: the requested format's message stays.
    TempFile text("plain.txt", "hello, this is text and not a picture at all\n");
    RxImage failed(0);
    ASSERT_FALSE(failed.Load(text.Path(), RXIMAGE_FORMAT_BMP));
    RxImage asBmp(0);
    RxIOFile file;
    ASSERT_TRUE(file.Open(text.Path(), "rb"));
    ASSERT_FALSE(asBmp.Decode(&file, RXIMAGE_FORMAT_BMP));
    EXPECT_STREQ(failed.GetLastError(), asBmp.GetLastError());
    EXPECT_STRNE(failed.GetLastError(), "Decode: Unknown or wrong format");
}

TEST(RxImageFiles, InvalidFormatIdentifiers) {
    std::string ppm = MakePpm(2, 2);
    RxMemFile file(reinterpret_cast<BYTE*>(&ppm[0]), uint32_t(ppm.size()));
    RxImage image(0);
    EXPECT_FALSE(image.Decode(&file, 12));
    EXPECT_STREQ(image.GetLastError(), "Decode: Unknown or wrong format");
    ASSERT_TRUE(image.Create(2, 2, 24));
    RxMemFile out;
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(image.Encode(&out, 0));
    EXPECT_STREQ(image.GetLastError(), "Encode: Unknown format");
    EXPECT_FALSE(image.Encode(&out, 10));
    EXPECT_STREQ(image.GetLastError(), "Encode: Unknown format");
    RxImage* pages[1] = {&image};
    EXPECT_FALSE(image.Encode(&out, pages, 1, RXIMAGE_FORMAT_PNM));
    EXPECT_STREQ(image.GetLastError(), "Multipage Encode, Unsupported operation for this format");
    EXPECT_FALSE(image.Decode(static_cast<RxFile*>(nullptr), 0));
}

TEST(RxImageFiles, ContentSearchStartsAtTheRememberedPosition) {
    std::string data = "prefix" + MakePpm(4, 3) + "trailing bytes";
    RxMemFile file(reinterpret_cast<BYTE*>(&data[0]), uint32_t(data.size()));
    ASSERT_TRUE(file.Seek(6, SEEK_SET));
    RxImage image(0);
    ASSERT_TRUE(image.Decode(&file, 0)) << image.GetLastError();
    ExpectPpmPixels(image, 4, 3);
    // The file's position ends right after the picture, not after the
    // decoder's look-ahead.
    EXPECT_EQ(file.Tell(), int32_t(data.size() - std::strlen("trailing bytes")));
}

TEST(RxImageFiles, DecodeFromMemoryAndStream) {
    std::string ppm = MakePpm(5, 4);
    RxImage fromMemory(reinterpret_cast<BYTE*>(&ppm[0]), DWORD(ppm.size()), 0);
    ExpectPpmPixels(fromMemory, 5, 4);

    TempFile file("stream.ppm", ppm);
    FILE* stream = std::fopen(file.Path(), "rb");
    ASSERT_NE(stream, nullptr);
    RxImage fromStream(stream, 0);
    ExpectPpmPixels(fromStream, 5, 4);
    // The stream is still the caller's and still open.
    EXPECT_EQ(std::fseek(stream, 0, SEEK_SET), 0);
    EXPECT_EQ(std::fgetc(stream), 'P');
    std::fclose(stream);
}

TEST(RxImageFiles, DecodingDoesNotCloseTheCallersMemoryFile) {
    RxMemFile file;
    ASSERT_TRUE(file.Open());
    std::string ppm = MakePpm(3, 3);
    ASSERT_EQ(file.Write(ppm.data(), 1, ppm.size()), ppm.size());
    ASSERT_TRUE(file.Seek(0, SEEK_SET));
    RxImage image(&file, 0);
    ASSERT_TRUE(image.IsValid()) << image.GetLastError();
    EXPECT_EQ(file.Size(), int32_t(ppm.size()));
    ASSERT_TRUE(file.Seek(0, SEEK_SET));
    EXPECT_EQ(file.GetC(), 'P');
}

TEST(RxImageFiles, SaveAndEncodeToMemoryRoundTrip) {
    std::string ppm = MakePpm(6, 4);
    RxImage image(reinterpret_cast<BYTE*>(&ppm[0]), DWORD(ppm.size()), 0);
    ASSERT_TRUE(image.IsValid());

    BYTE* block = nullptr;
    LONG size = 0;
    ASSERT_TRUE(image.Encode(block, size, RXIMAGE_FORMAT_PNM)) << image.GetLastError();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), size_t(size)), ppm);
    // Only into an empty pointer.
    EXPECT_FALSE(image.Encode(block, size, RXIMAGE_FORMAT_PNM));
    std::free(block);

    TempFile out("saved.ppm");
    ASSERT_TRUE(image.Save(out.Path(), RXIMAGE_FORMAT_PNM));
    EXPECT_EQ(out.Read(), ppm);
    std::wstring wide(out.Path(), out.Path() + std::strlen(out.Path()));
    RxImage again(0);
    ASSERT_TRUE(again.Load(wide.c_str(), 0));
    ExpectPpmPixels(again, 6, 4);
}

TEST(RxImageFiles, EscapeCancelsTheDecode) {
    std::string ppm = MakePpm(3, 3);
    RxMemFile file(reinterpret_cast<BYTE*>(&ppm[0]), uint32_t(ppm.size()));
    RxImage image(0);
    image.SetEscape(1);
    EXPECT_FALSE(image.Decode(&file, RXIMAGE_FORMAT_PNM));
    EXPECT_STREQ(image.GetLastError(), "Cancelled");
}

}  // namespace
