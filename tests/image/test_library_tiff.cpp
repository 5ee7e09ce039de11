#include <gtest/gtest.h>

#include <tiffio.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <unistd.h>

#include "LibraryFixtures.h"
#include "image/RxIOFile.h"
#include "image/RxMemFile.h"
#include "image/codecs/RxImageTIF.h"

namespace {

std::string TempPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/libcodecs_" + std::to_string(getpid()) + "_" + name;
}

Bytes ReadFileBytes(const std::string& path) {
    Bytes out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
    std::fclose(f);
    return out;
}

// One page written by libtiff itself. Samples are given per pixel through
// `sample` (x, y from the top, channel), at the page's bit depth.
struct TiffPage {
    uint32_t width = 9, height = 6;
    uint16_t samples = 1, bits = 8, photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint32_t tile = 0;  // 0: strips of two rows
    bool withAlpha = false;
    float xResolution = 0, yResolution = 0;
    uint16_t resolutionUnit = RESUNIT_INCH;
    std::function<int(int x, int y, int c)> sample = [](int x, int y, int c) { return x * 20 + y * 7 + c * 40; };

    int Value(int x, int y, int c) const { return sample(x, y, c) & ((1 << bits) - 1); }

    void Write(TIFF* tif) const {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, orientation);
        if (xResolution > 0) {
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, xResolution);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, yResolution);
            TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, resolutionUnit);
        }
        if (withAlpha) {
            uint16_t kind = EXTRASAMPLE_UNASSALPHA;
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &kind);
        }
        if (photometric == PHOTOMETRIC_PALETTE) {
            size_t n = size_t(1) << bits;
            std::vector<uint16_t> map(3 * n);
            for (size_t i = 0; i < n; ++i) {
                RGBQUAD e = Entry(int(i));
                map[i] = uint16_t(e.rgbRed * 257);
                map[n + i] = uint16_t(e.rgbGreen * 257);
                map[2 * n + i] = uint16_t(e.rgbBlue * 257);
            }
            TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data() + n, map.data() + 2 * n);
        }
        if (compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_YCBCR)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        size_t rowBytes = (size_t(width) * samples * bits + 7) / 8;
        auto packRow = [&](uint32_t y, uint8_t* row, uint32_t count) {
            std::memset(row, 0, (size_t(count) * samples * bits + 7) / 8);
            for (uint32_t x = 0; x < count; ++x)
                for (uint16_t c = 0; c < samples; ++c) {
                    int v = x < width ? Value(int(x), int(y), c) : 0;
                    size_t bit = (size_t(x) * samples + c) * bits;
                    if (bits == 16) {
                        uint16_t w = uint16_t(v);
                        std::memcpy(row + bit / 8, &w, 2);
                    } else {
                        row[bit / 8] |= uint8_t(v << (8 - bits - bit % 8));
                    }
                }
        };
        if (tile) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, tile);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, tile);
            size_t tileRow = (size_t(tile) * samples * bits + 7) / 8;
            std::vector<uint8_t> buffer(tileRow * tile);
            for (uint32_t top = 0; top < height; top += tile)
                for (uint32_t left = 0; left < width; left += tile) {
                    std::fill(buffer.begin(), buffer.end(), 0);
                    for (uint32_t r = 0; r < tile && top + r < height; ++r) {
                        std::vector<uint8_t> full((size_t(width + tile) * samples * bits + 7) / 8 + 2);
                        packRow(top + r, full.data(), width + tile);
                        size_t from = size_t(left) * samples * bits / 8;
                        std::memcpy(&buffer[r * tileRow], &full[from], tileRow);
                    }
                    TIFFWriteTile(tif, buffer.data(), left, top, 0, 0);
                }
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, compression == COMPRESSION_JPEG ? 16u : 2u);
            std::vector<uint8_t> row(rowBytes + 2);
            for (uint32_t y = 0; y < height; ++y) {
                packRow(y, row.data(), width);
                TIFFWriteScanline(tif, row.data(), y, 0);
            }
        }
        TIFFWriteDirectory(tif);
    }

    static RGBQUAD Entry(int i) { return RGBQUAD{BYTE(i * 9), BYTE(i * 31 + 2), BYTE(255 - i), 0}; }

    // The colour of pixel (x, y from the top) as stored.
    RGBQUAD Colour(int x, int y) const {
        auto level = [&](int c) {
            int v = Value(x, y, c);
            if (bits == 16) return BYTE(v >> 8);
            return BYTE(v * 255 / ((1 << bits) - 1));
        };
        switch (photometric) {
        case PHOTOMETRIC_MINISBLACK: { BYTE g = level(0); return RGBQUAD{g, g, g, 0}; }
        case PHOTOMETRIC_MINISWHITE: { BYTE g = BYTE(255 - level(0)); return RGBQUAD{g, g, g, 0}; }
        case PHOTOMETRIC_PALETTE: return Entry(Value(x, y, 0));
        case PHOTOMETRIC_SEPARATED: {
            int k = Value(x, y, 3);
            auto ink = [&](int c) { return BYTE((255 - Value(x, y, c)) * (255 - k) / 255); };
            return RGBQUAD{ink(2), ink(1), ink(0), 0};
        }
        default: return RGBQUAD{level(2), level(1), level(0), 0};
        }
    }
};

Bytes WriteTiff(const std::vector<TiffPage>& pages) {
    std::string path = TempPath("fixture.tif");
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) return Bytes();
    for (const TiffPage& page : pages) page.Write(tif);
    TIFFClose(tif);
    Bytes out = ReadFileBytes(path);
    std::remove(path.c_str());
    return out;
}

void ExpectPicture(RxImage& image, const TiffPage& page, int tolerance) {
    ASSERT_EQ(image.GetWidth(), LONG(page.width));
    ASSERT_EQ(image.GetHeight(), LONG(page.height));
    for (int y = 0; y < int(page.height); ++y)
        for (int x = 0; x < int(page.width); ++x) {
            RGBQUAD want = page.Colour(x, y), got = image.GetPixelColor(x, int(page.height) - 1 - y);
            ASSERT_LE(std::abs(got.rgbRed - want.rgbRed), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(got.rgbGreen - want.rgbGreen), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(got.rgbBlue - want.rgbBlue), tolerance) << x << "," << y;
        }
}

TEST(TiffDecode, LayoutsDepthsAndCompressions) {
    auto page = [](uint16_t photometric, uint16_t bits, uint16_t samples, uint16_t compression, uint32_t tile) {
        TiffPage p;
        p.photometric = photometric;
        p.bits = bits;
        p.samples = samples;
        p.compression = compression;
        p.tile = tile;
        return p;
    };
    struct Case {
        const char* name;
        TiffPage page;
        WORD bpp;
        int tolerance;
    } cases[] = {
        {"black is zero, 1 bit", page(PHOTOMETRIC_MINISBLACK, 1, 1, COMPRESSION_NONE, 0), 1, 0},
        {"white is zero, 1 bit, group 4", page(PHOTOMETRIC_MINISWHITE, 1, 1, COMPRESSION_CCITTFAX4, 0), 1, 0},
        {"grey 2 bits", page(PHOTOMETRIC_MINISBLACK, 2, 1, COMPRESSION_NONE, 0), 4, 0},
        {"grey 4 bits, LZW", page(PHOTOMETRIC_MINISBLACK, 4, 1, COMPRESSION_LZW, 0), 4, 0},
        {"grey 8 bits, PackBits", page(PHOTOMETRIC_MINISBLACK, 8, 1, COMPRESSION_PACKBITS, 0), 8, 0},
        {"white is zero, 8 bits", page(PHOTOMETRIC_MINISWHITE, 8, 1, COMPRESSION_NONE, 0), 8, 0},
        {"grey 16 bits keeps the high byte", page(PHOTOMETRIC_MINISBLACK, 16, 1, COMPRESSION_DEFLATE, 0), 8, 0},
        {"palette 4 bits", page(PHOTOMETRIC_PALETTE, 4, 1, COMPRESSION_NONE, 0), 4, 0},
        {"palette 8 bits, tiled", page(PHOTOMETRIC_PALETTE, 8, 1, COMPRESSION_LZW, 16), 8, 0},
        {"grey 1 bit, tiled", page(PHOTOMETRIC_MINISBLACK, 1, 1, COMPRESSION_NONE, 16), 1, 0},
        {"RGB", page(PHOTOMETRIC_RGB, 8, 3, COMPRESSION_LZW, 0), 24, 0},
        {"RGB, tiled", page(PHOTOMETRIC_RGB, 8, 3, COMPRESSION_NONE, 16), 24, 0},
        {"RGB 16 bits", page(PHOTOMETRIC_RGB, 16, 3, COMPRESSION_NONE, 0), 24, 1},
        {"CMYK", page(PHOTOMETRIC_SEPARATED, 8, 4, COMPRESSION_NONE, 0), 24, 1},
        {"JPEG in TIFF", page(PHOTOMETRIC_YCBCR, 8, 3, COMPRESSION_JPEG, 0), 24, 40},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.page.compression == COMPRESSION_JPEG) {
            c.page.width = 16;
            c.page.height = 16;
            c.page.sample = [](int x, int, int ch) { return (x < 8 ? 60 : 180) + ch * 10; };
        }
        Bytes file = WriteTiff({c.page});
        ASSERT_FALSE(file.empty());
        LibraryProbe image;
        ASSERT_TRUE(DecodeBytes(image, file, RXIMAGE_FORMAT_TIF)) << image.GetLastError();
        EXPECT_EQ(image.GetBpp(), c.bpp);
        EXPECT_EQ(image.GetType(), DWORD(RXIMAGE_FORMAT_TIF));
        EXPECT_EQ(image.GetNumFrames(), 1);
        ExpectPicture(image, c.page, c.tolerance);
    }
}

// Tags that contradict each other (colour with one 2-bit sample, found by
// fuzzing) give an index picture, never rows wider than the picture.
TEST(TiffDecode, ColourOfOneNarrowSampleIsReadAsIndices) {
    TiffPage page;
    page.photometric = PHOTOMETRIC_RGB;
    page.bits = 2;
    page.compression = COMPRESSION_LZW;
    LibraryProbe image;
    ASSERT_TRUE(DecodeBytes(image, WriteTiff({page}), RXIMAGE_FORMAT_TIF)) << image.GetLastError();
    EXPECT_EQ(image.GetBpp(), 4);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(image.GetPixelIndex(x, 5 - y), page.Value(x, y, 0));
}

TEST(TiffDecode, AlphaSampleBecomesThePlane) {
    TiffPage page;
    page.photometric = PHOTOMETRIC_RGB;
    page.samples = 4;
    page.withAlpha = true;
    LibraryProbe image;
    ASSERT_TRUE(DecodeBytes(image, WriteTiff({page}), RXIMAGE_FORMAT_TIF)) << image.GetLastError();
    ASSERT_TRUE(image.AlphaIsValid());
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(image.AlphaGet(x, 5 - y), page.Value(x, y, 3) & 0xFF);
}

// Each orientation names where the stored first row and column belong;
// pixel (x, y) of the upright picture (y from the top) is computed from that.
TEST(TiffDecode, EveryOrientationShowsThePictureUpright) {
    const int w = 4, h = 3;
    auto stored = [](int x, int y, int) { return y * 4 + x + 1; };
    struct Case {
        uint16_t orientation;
        std::function<void(int, int, int*, int*)> sourceOf;  // upright (x, y) -> stored (x, y)
        bool turned;
    } cases[] = {
        {1, [](int x, int y, int* sx, int* sy) { *sx = x; *sy = y; }, false},
        {2, [](int x, int y, int* sx, int* sy) { *sx = w - 1 - x; *sy = y; }, false},
        {3, [](int x, int y, int* sx, int* sy) { *sx = w - 1 - x; *sy = h - 1 - y; }, false},
        {4, [](int x, int y, int* sx, int* sy) { *sx = x; *sy = h - 1 - y; }, false},
        {5, [](int x, int y, int* sx, int* sy) { *sx = y; *sy = x; }, true},
        {6, [](int x, int y, int* sx, int* sy) { *sx = y; *sy = h - 1 - x; }, true},
        {7, [](int x, int y, int* sx, int* sy) { *sx = w - 1 - y; *sy = h - 1 - x; }, true},
        {8, [](int x, int y, int* sx, int* sy) { *sx = w - 1 - y; *sy = x; }, true},
    };
    for (const Case& c : cases)
        for (bool colour : {false, true}) {
            SCOPED_TRACE(testing::Message() << "orientation " << c.orientation << (colour ? " colour" : " grey"));
            TiffPage page;
            page.width = w;
            page.height = h;
            page.orientation = c.orientation;
            page.sample = stored;
            if (colour) {
                page.photometric = PHOTOMETRIC_RGB;
                page.samples = 3;
            }
            LibraryProbe image;
            ASSERT_TRUE(DecodeBytes(image, WriteTiff({page}), RXIMAGE_FORMAT_TIF)) << image.GetLastError();
            int uw = c.turned ? h : w, uh = c.turned ? w : h;
            ASSERT_EQ(image.GetWidth(), uw);
            ASSERT_EQ(image.GetHeight(), uh);
            for (int y = 0; y < uh; ++y)
                for (int x = 0; x < uw; ++x) {
                    int sx = 0, sy = 0;
                    c.sourceOf(x, y, &sx, &sy);
                    EXPECT_EQ(image.GetPixelColor(x, uh - 1 - y).rgbRed, stored(sx, sy, 0)) << x << "," << y;
                }
        }
}

TEST(TiffDecode, PagesAreCountedAndChosen) {
    std::vector<TiffPage> pages(3);
    for (int i = 0; i < 3; ++i) {
        pages[size_t(i)].width = uint32_t(5 + i);
        pages[size_t(i)].sample = [i](int, int, int) { return 50 * (i + 1); };
    }
    Bytes file = WriteTiff(pages);
    for (LONG frame = 0; frame < 3; ++frame) {
        RxImage image;
        image.SetFrame(frame);
        ASSERT_TRUE(DecodeBytes(image, file, RXIMAGE_FORMAT_TIF)) << image.GetLastError();
        EXPECT_EQ(image.GetNumFrames(), 3);
        EXPECT_EQ(image.GetWidth(), 5 + frame);
        EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 50 * (frame + 1));
    }
    RxImage image;
    image.SetFrame(3);
    EXPECT_FALSE(DecodeBytes(image, file, RXIMAGE_FORMAT_TIF));
    EXPECT_STREQ(image.GetLastError(), "Error: page not present in TIFF file");
    EXPECT_EQ(image.GetNumFrames(), 3);
}

TEST(TiffDecode, ResolutionInDotsPerInch) {
    struct Case {
        uint16_t unit;
        float x, y;
        LONG xDpi, yDpi;
    } cases[] = {{RESUNIT_INCH, 300, 150, 300, 150}, {RESUNIT_CENTIMETER, 118.11f, 40, 300, 102}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        TiffPage page;
        page.resolutionUnit = c.unit;
        page.xResolution = c.x;
        page.yResolution = c.y;
        RxImage image;
        ASSERT_TRUE(DecodeBytes(image, WriteTiff({page}), RXIMAGE_FORMAT_TIF));
        EXPECT_EQ(image.GetXDPI(), c.xDpi);
        EXPECT_EQ(image.GetYDPI(), c.yDpi);
    }
}

TEST(TiffDecode, DamagedFilesFail) {
    TiffPage page;
    page.width = 64;
    page.height = 64;
    page.compression = COMPRESSION_LZW;
    Bytes good = WriteTiff({page});
    Bytes truncated(good.begin(), good.begin() + long(good.size() / 3));
    Bytes header = {'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x0F};
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {{"truncated", truncated}, {"directory out of reach", header}, {"not a TIFF", {'G', 'I', 'F', '8', '9', 'a'}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RxImage image;
        EXPECT_FALSE(DecodeBytes(image, c.data, RXIMAGE_FORMAT_TIF));
        EXPECT_STRNE(image.GetLastError(), "");
    }
}

// --- encoding

RxImage Palette(WORD bpp, bool grey) {
    RxImage image(7, 5, bpp, 0);
    int entries = 1 << bpp;
    if (grey)
        image.SetGrayPalette();
    else
        for (int i = 0; i < entries; ++i) image.SetPaletteColor(BYTE(i), TiffPage::Entry(i));
    for (LONG y = 0; y < 5; ++y)
        for (LONG x = 0; x < 7; ++x) image.SetPixelIndex(x, y, BYTE((x * 3 + y) % entries));
    return image;
}

RxImage Colour(bool withAlpha) {
    RxImage image(16, 16, 24, 0);
    if (withAlpha) image.AlphaCreate();
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 16; ++x) {
            image.SetPixelColor(x, y, RGBQUAD{BYTE(y < 8 ? 40 : 200), BYTE(x < 8 ? 90 : 160), 120, 0});
            if (withAlpha) image.AlphaSet(x, y, BYTE(x * 16));
        }
    return image;
}

// Every pixel of its own colour, so that a pixel taken from its neighbour or
// channels out of order show; narrow widths reach the row ends.
RxImage Distinct(LONG width) {
    RxImage image(width, 3, 24, 0);
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < width; ++x)
            image.SetPixelColor(x, y, RGBQUAD{BYTE(10 + x * 20), BYTE(100 + y * 30), BYTE(250 - x * 7 - y), 0});
    return image;
}

void ExpectSame(RxImage& a, RxImage& b, int tolerance) {
    ASSERT_EQ(a.GetWidth(), b.GetWidth());
    ASSERT_EQ(a.GetHeight(), b.GetHeight());
    for (LONG y = 0; y < a.GetHeight(); ++y)
        for (LONG x = 0; x < a.GetWidth(); ++x) {
            RGBQUAD p = a.GetPixelColor(x, y), q = b.GetPixelColor(x, y);
            ASSERT_LE(std::abs(p.rgbRed - q.rgbRed), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(p.rgbGreen - q.rgbGreen), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(p.rgbBlue - q.rgbBlue), tolerance) << x << "," << y;
        }
}

uint32_t TagOf(const Bytes& file, ttag_t tag, int page = 0) {
    std::string path = TempPath("tags.tif");
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    uint32_t value = 0;
    if (tif) {
        TIFFSetDirectory(tif, tdir_t(page));
        // The subfile type is a 32-bit field; the others asked for here are 16-bit.
        if (tag == TIFFTAG_SUBFILETYPE) {
            TIFFGetField(tif, tag, &value);
        } else {
            uint16_t shortValue = 0;
            TIFFGetField(tif, tag, &shortValue);
            value = shortValue;
        }
        TIFFClose(tif);
    }
    std::remove(path.c_str());
    return value;
}

TEST(TiffEncode, EveryDepthRoundTripsWithItsDefaultCompression) {
    struct Case {
        const char* name;
        RxImage image;
        uint16_t compression, photometric;
        int tolerance;
    } cases[] = {
        {"black and white", Palette(1, true), COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, 0},
        {"white and black", Palette(1, false), COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, 0},
        {"grey 4 bits", Palette(4, true), COMPRESSION_NONE, PHOTOMETRIC_MINISBLACK, 0},
        {"palette 4 bits", Palette(4, false), COMPRESSION_NONE, PHOTOMETRIC_PALETTE, 0},
        {"grey 8 bits", Palette(8, true), COMPRESSION_PACKBITS, PHOTOMETRIC_MINISBLACK, 0},
        {"palette 8 bits", Palette(8, false), COMPRESSION_PACKBITS, PHOTOMETRIC_PALETTE, 0},
        {"colour", Colour(false), COMPRESSION_JPEG, PHOTOMETRIC_RGB, 6},
        {"colour with alpha", Colour(true), COMPRESSION_JPEG, PHOTOMETRIC_RGB, 6},
    };
    // A 1-bit image whose entry 0 is the lighter one.
    cases[1].image.SetPaletteColor(0, RGBQUAD{255, 255, 255, 0});
    cases[1].image.SetPaletteColor(1, RGBQUAD{0, 0, 0, 0});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.image.SetXDPI(200);
        RxImage before(c.image);
        Bytes file = EncodeBytes(c.image, RXIMAGE_FORMAT_TIF);
        ASSERT_FALSE(file.empty()) << c.image.GetLastError();
        EXPECT_EQ(TagOf(file, TIFFTAG_COMPRESSION), c.compression);
        EXPECT_EQ(TagOf(file, TIFFTAG_PHOTOMETRIC), c.photometric);
        ExpectSame(c.image, before, 0);  // saving leaves the image as it was
        RxImage back;
        ASSERT_TRUE(DecodeBytes(back, file, RXIMAGE_FORMAT_TIF)) << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), c.image.GetBpp());
        EXPECT_EQ(back.GetXDPI(), 200);
        EXPECT_EQ(back.AlphaIsValid(), c.image.AlphaIsValid());
        ExpectSame(c.image, back, c.tolerance);
    }
}

TEST(TiffEncode, ChosenCompressions) {
    struct Case {
        const char* name;
        RxImage image;
        DWORD option;
        bool ok;
    } cases[] = {
        {"LZW colour with predictor", Colour(false), COMPRESSION_LZW, true},
        {"LZW black and white", Palette(1, true), COMPRESSION_LZW, true},
        {"deflate palette", Palette(8, false), COMPRESSION_ADOBE_DEFLATE, true},
        {"none", Colour(true), COMPRESSION_NONE, true},
        {"none, one pixel wide", Distinct(1), COMPRESSION_NONE, true},
        {"none, two pixels wide", Distinct(2), COMPRESSION_NONE, true},
        {"none, odd width", Distinct(11), COMPRESSION_NONE, true},
        {"group 4 cannot hold colour", Colour(false), COMPRESSION_CCITTFAX4, false},
        {"unknown scheme", Palette(8, true), 12345, false},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.image.SetEncodeOption(c.option);
        Bytes file = EncodeBytes(c.image, RXIMAGE_FORMAT_TIF);
        if (!c.ok) {
            EXPECT_TRUE(file.empty());
            EXPECT_STREQ(c.image.GetLastError(), "Error saving TIFF file");
            continue;
        }
        ASSERT_FALSE(file.empty()) << c.image.GetLastError();
        EXPECT_EQ(TagOf(file, TIFFTAG_COMPRESSION), c.option);
        RxImage back;
        ASSERT_TRUE(DecodeBytes(back, file, RXIMAGE_FORMAT_TIF)) << back.GetLastError();
        ExpectSame(c.image, back, 0);
    }
}

std::string PageName(const Bytes& file, int page) {
    std::string path = TempPath("names.tif");
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    std::string name;
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    if (tif) {
        char* text = nullptr;
        if (TIFFSetDirectory(tif, tdir_t(page)) && TIFFGetField(tif, TIFFTAG_PAGENAME, &text) && text) name = text;
        TIFFClose(tif);
    }
    std::remove(path.c_str());
    return name;
}

TEST(TiffEncode, ThreeImagesMakeThreeNamedPages) {
    RxImage first = Palette(1, true), second = Palette(8, false), third = Colour(false);
    RxImage* images[] = {&first, &second, &third};
    RxImage holder;
    RxMemFile file;
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(holder.Encode(&file, images, 3, RXIMAGE_FORMAT_TIF)) << holder.GetLastError();
    Bytes bytes(file.GetBuffer(), file.GetBuffer() + file.Size());
    std::free(file.GetBuffer());
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(PageName(bytes, page), "Page " + std::to_string(page + 1));
        EXPECT_EQ(TagOf(bytes, TIFFTAG_SUBFILETYPE, page), FILETYPE_PAGE);
        RxImage back;
        back.SetFrame(page);
        ASSERT_TRUE(DecodeBytes(back, bytes, RXIMAGE_FORMAT_TIF)) << back.GetLastError();
        EXPECT_EQ(back.GetNumFrames(), 3);
        ExpectSame(*images[page], back, 6);
    }
}

TEST(TiffEncode, MultiPageErrors) {
    RxImage image = Colour(false), empty;
    RxImage* good[] = {&image};
    RxImage* bad[] = {&image, &empty};
    RxImage* none[] = {nullptr};
    RxMemFile file;
    ASSERT_TRUE(file.Open());
    RxImageTIF codec;
    EXPECT_FALSE(codec.Encode(&file, good, 0));
    EXPECT_STREQ(codec.GetLastError(), "multipage TIFF, no images!");
    EXPECT_FALSE(codec.Encode(&file, bad, 2));
    EXPECT_STREQ(codec.GetLastError(), "Bad image pointer");
    EXPECT_FALSE(codec.Encode(&file, none, 1));
    EXPECT_STREQ(codec.GetLastError(), "Bad image pointer");
    EXPECT_FALSE(codec.Encode(static_cast<RxFile*>(nullptr), good, 1));
    EXPECT_STREQ(codec.GetLastError(), "invalid file pointer");
    EXPECT_EQ(file.Size(), 0);
}

// The append encoder keeps its handle between calls; the pages reach a
// write-only stream when the last one is written.
TEST(TiffEncode, AppendWritesPageByPage) {
    std::string path = TempPath("append.tif");
    FILE* stream = std::fopen(path.c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    RxImageTIF codec;
    for (int page = 0; page < 3; ++page) {
        RxImage source = page == 1 ? Palette(8, true) : Colour(false);
        codec.Copy(source);
        ASSERT_TRUE(codec.Encode(stream, page < 2)) << codec.GetLastError();
    }
    std::fclose(stream);
    Bytes bytes = ReadFileBytes(path);
    std::remove(path.c_str());
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(PageName(bytes, page), "Page " + std::to_string(page + 1));
        RxImage back;
        back.SetFrame(page);
        ASSERT_TRUE(DecodeBytes(back, bytes, RXIMAGE_FORMAT_TIF)) << back.GetLastError();
        EXPECT_EQ(back.GetNumFrames(), 3);
        EXPECT_EQ(back.GetBpp(), page == 1 ? 8 : 24);
    }

    // A failed page closes the file and starts the count again.
    RxMemFile file;
    ASSERT_TRUE(file.Open());
    codec.SetEncodeOption(COMPRESSION_CCITTFAX4);
    EXPECT_FALSE(codec.Encode(&file, true));
    codec.SetEncodeOption(0);
    ASSERT_TRUE(codec.Encode(&file, false)) << codec.GetLastError();
    Bytes single(file.GetBuffer(), file.GetBuffer() + file.Size());
    std::free(file.GetBuffer());
    RxImage back;
    ASSERT_TRUE(DecodeBytes(back, single, RXIMAGE_FORMAT_TIF));
    EXPECT_EQ(back.GetNumFrames(), 1);
}

TEST(TiffEncode, PagesAreFoundByContent) {
    RxImage image = Palette(8, false);
    RxImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(image, RXIMAGE_FORMAT_TIF), RXIMAGE_FORMAT_UNKNOWN)) << back.GetLastError();
    EXPECT_EQ(back.GetType(), DWORD(RXIMAGE_FORMAT_TIF));
}

}  // namespace
