#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "ImageTestSupport.h"
#include "platform/CBitmap.h"
#include "platform/CDC.h"
#include "platform/Icon.h"
#include "platform/ResourceTable.h"
#include "platform/Surface.h"

namespace {

constexpr uint32_t kBackground = 0xFF102030u;

// A 24-bit picture whose pixel at column x and top row t has red x, green t
// and blue 7, so that every drawn pixel tells where it came from.
void MakeCoordinatePicture(RxImage& image, DWORD width, DWORD height) {
    ASSERT_TRUE(image.Create(width, height, 24));
    for (LONG y = 0; y < LONG(height); ++y)
        for (LONG x = 0; x < LONG(width); ++x)
            image.SetPixelColor(x, y, RGB(x, LONG(height) - 1 - y, 7));
}

uint32_t Red(uint32_t p) { return (p >> 16) & 0xFF; }
uint32_t Green(uint32_t p) { return (p >> 8) & 0xFF; }
uint32_t Blue(uint32_t p) { return p & 0xFF; }

TEST(RxImageDraw, NothingToDraw) {
    Surface surface(10, 10, kBackground);
    CDC dc(&surface);
    RxImage empty(0);
    EXPECT_EQ(empty.Draw(&dc, 0, 0, 5, 5), 0);
    RxImage image(4, 4, 24);
    EXPECT_EQ(image.Draw(nullptr, 0, 0, 5, 5), 0);
    EXPECT_EQ(image.Draw(&dc, 0, 0, 0, 5), 0);
    EXPECT_EQ(image.Draw(&dc, 0, 0, 5, 0), 0);
    image.Enable(false);
    EXPECT_EQ(image.Draw(&dc, 0, 0, 5, 5), 0);
    EXPECT_EQ(image.Draw2(&dc, 0, 0, 5, 5), 0);
    EXPECT_EQ(image.Stretch(nullptr, 0, 0, 5, 5), 0);
    EXPECT_EQ(image.Tile(&dc, nullptr), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) ASSERT_EQ(surface.At(x, y), kBackground);
}

TEST(RxImageDraw, HalvingPicksTheNamedPixels) {
    RxImage image(0);
    MakeCoordinatePicture(image, 200, 100);
    Surface surface(100, 50, kBackground);
    CDC dc(&surface);
    EXPECT_EQ(image.Draw(&dc, 0, 0, 100, 50), 1);
    EXPECT_EQ(Red(surface.At(0, 0)), 0u);
    EXPECT_EQ(Green(surface.At(0, 0)), 1u);
    EXPECT_EQ(Red(surface.At(99, 49)), 198u);
    EXPECT_EQ(Green(surface.At(99, 49)), 99u);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            ASSERT_EQ(Red(surface.At(x, y)), uint32_t(2 * x)) << x << "," << y;
            ASSERT_EQ(Green(surface.At(x, y)), uint32_t(2 * y + 1)) << x << "," << y;
        }
}

TEST(RxImageDraw, ScalingUpAndOffsetIntoTheClipBox) {
    RxImage image(0);
    MakeCoordinatePicture(image, 3, 2);
    Surface surface(20, 20, kBackground);
    CDC dc(&surface);
    // 3 x 2 drawn as 9 x 4 at (-3, 18): only columns 0..5 and rows 18..19
    // are on the surface.
    EXPECT_EQ(image.Draw(&dc, -3, 18, 9, 4), 1);
    EXPECT_EQ(Red(surface.At(0, 18)), 1u);   // column floor(3 / 3)
    EXPECT_EQ(Green(surface.At(0, 18)), 0u); // row ceil(1 / 2) - 1
    EXPECT_EQ(Green(surface.At(0, 19)), 0u); // row ceil(2 / 2) - 1
    EXPECT_EQ(Red(surface.At(5, 19)), 2u);
    EXPECT_EQ(surface.At(6, 19), kBackground);
    EXPECT_EQ(surface.At(0, 17), kBackground);
}

TEST(RxImageDraw, OwnSizeCopiesRowsUnchanged) {
    struct Case {
        DWORD bpp;
    } cases[] = {{24}, {8}, {4}, {1}};
    for (const Case& c : cases) {
        RxImage image(0);
        ASSERT_TRUE(image.Create(13, 6, c.bpp));
        if (image.IsIndexed()) {
            for (DWORD i = 0; i < image.GetNumColors(); ++i) image.SetPaletteColor(BYTE(i), BYTE(i * 3), BYTE(i), 200);
            for (LONG y = 0; y < 6; ++y)
                for (LONG x = 0; x < 13; ++x) image.SetPixelIndex(x, y, BYTE((x + y * 5) % image.GetNumColors()));
        } else {
            for (LONG y = 0; y < 6; ++y)
                for (LONG x = 0; x < 13; ++x) image.SetPixelColor(x, y, RGB(x * 9, y * 30, 1));
        }
        for (bool scaledPath : {false, true}) {
            Surface surface(20, 10, kBackground);
            CDC dc(&surface);
            if (scaledPath) {
                // The same picture through the blending path.
                image.SetTransIndex(-1);
                image.AlphaPaletteEnable(true);
            }
            ASSERT_EQ(image.Draw(&dc, 2, 1), 1);
            image.AlphaPaletteEnable(false);
            for (LONG y = 0; y < 6; ++y)
                for (LONG x = 0; x < 13; ++x) {
                    RGBQUAD want = image.GetPixelColor(x, 5 - y);
                    uint32_t got = surface.At(2 + x, 1 + y);
                    if (scaledPath && image.IsIndexed()) continue;  // palette alpha 0 leaves background
                    ASSERT_EQ(Red(got), want.rgbRed) << c.bpp << " " << x << "," << y;
                    ASSERT_EQ(Green(got), want.rgbGreen) << c.bpp << " " << x << "," << y;
                    ASSERT_EQ(Blue(got), want.rgbBlue) << c.bpp << " " << x << "," << y;
                }
            EXPECT_EQ(surface.At(1, 1), kBackground);
            EXPECT_EQ(surface.At(15, 1), kBackground);
        }
    }
}

TEST(RxImageDraw, ClipRectangleIsHonouredAndRestored) {
    RxImage image(0);
    MakeCoordinatePicture(image, 10, 10);
    Surface surface(20, 20, kBackground);
    CDC dc(&surface);
    dc.IntersectClipRect(1, 1, 19, 19);
    RECT before;
    dc.GetClipBox(&before);
    RECT clip{4, 4, 6, 6};
    EXPECT_EQ(image.Draw(&dc, 0, 0, 20, 20, &clip), 1);
    RECT after;
    dc.GetClipBox(&after);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof(RECT)), 0);
    EXPECT_NE(surface.At(4, 4), kBackground);
    EXPECT_NE(surface.At(5, 5), kBackground);
    EXPECT_EQ(surface.At(3, 4), kBackground);
    EXPECT_EQ(surface.At(6, 5), kBackground);
}

TEST(RxImageDraw, TransparentIndexAndAlphaBlend) {
    RxImage image(0);
    ASSERT_TRUE(image.Create(2, 1, 8));
    image.SetPaletteColor(0, 255, 0, 0);
    image.SetPaletteColor(1, 0, 0, 255);
    image.SetPixelIndex(0, 0, 0);
    image.SetPixelIndex(1, 0, 1);
    image.SetTransIndex(0);
    Surface surface(4, 1, kBackground);
    CDC dc(&surface);
    EXPECT_EQ(image.Draw(&dc, 0, 0), 1);
    EXPECT_EQ(surface.At(0, 0), kBackground);
    EXPECT_EQ(Blue(surface.At(1, 0)), 255u);

    RxImage colour(0);
    ASSERT_TRUE(colour.Create(1, 1, 24));
    colour.SetPixelColor(0, 0, RGB(200, 100, 0));
    colour.AlphaSetMax(127);  // a = (128 * 255) >> 8 = 127
    ASSERT_TRUE(colour.AlphaCreate());
    colour.AlphaSet(255);
    Surface blend(1, 1, 0xFF000000u);
    CDC blendDC(&blend);
    EXPECT_EQ(colour.Draw(&blendDC, 0, 0), 1);
    EXPECT_EQ(Red(blend.At(0, 0)), uint32_t(200 * 127 >> 8));
    EXPECT_EQ(Green(blend.At(0, 0)), uint32_t(100 * 127 >> 8));
}

TEST(RxImageDraw, TileCutsTheLastColumnAndRow) {
    RxImage image(0);
    MakeCoordinatePicture(image, 30, 20);
    Surface surface(90, 70, kBackground);
    CDC dc(&surface);
    RECT rect{5, 5, 75, 55};
    EXPECT_EQ(image.Tile(&dc, &rect), 1);
    struct Probe {
        int x, y;
        int column, row;  // -1: background
    } probes[] = {
        {5, 5, 0, 0},    {34, 24, 29, 19}, {35, 25, 0, 0},   {65, 45, 0, 0},
        {74, 54, 9, 9},  {75, 54, -1, -1}, {74, 55, -1, -1}, {4, 5, -1, -1},
    };
    for (const Probe& p : probes) {
        uint32_t got = surface.At(p.x, p.y);
        if (p.column < 0) {
            EXPECT_EQ(got, kBackground) << p.x << "," << p.y;
        } else {
            EXPECT_EQ(Red(got), uint32_t(p.column)) << p.x << "," << p.y;
            EXPECT_EQ(Green(got), uint32_t(p.row)) << p.x << "," << p.y;
        }
    }
}

TEST(RxImageDraw, HugeTargetsStayBoundedByTheDevice) {
    RxImage image(0);
    MakeCoordinatePicture(image, 1, 1);
    Surface surface(8, 8, kBackground);
    CDC dc(&surface);
    RECT everywhere{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX - 1, INT32_MAX - 1};
    EXPECT_EQ(image.Tile(&dc, &everywhere), 1);
    EXPECT_EQ(Blue(surface.At(7, 7)), 7u);
    EXPECT_EQ(image.Draw(&dc, INT32_MIN + 1, INT32_MIN + 1, INT32_MAX, INT32_MAX), 1);
}

TEST(RxImageDraw, Draw2AndStretch) {
    RxImage image(0);
    MakeCoordinatePicture(image, 4, 2);
    Surface surface(8, 4, kBackground);
    CDC dc(&surface);
    EXPECT_EQ(image.Stretch(&dc, 0, 0, 8, 4), 1);
    EXPECT_EQ(Red(surface.At(7, 3)), 3u);
    EXPECT_EQ(Green(surface.At(7, 3)), 1u);

    RxImage keyed(0);
    ASSERT_TRUE(keyed.Create(2, 1, 8));
    keyed.SetPaletteColor(0, 0, 255, 0);
    keyed.SetPaletteColor(1, 9, 9, 9);
    keyed.SetPixelIndex(0, 0, 0);
    keyed.SetPixelIndex(1, 0, 1);
    keyed.SetTransIndex(0);
    Surface target(4, 2, kBackground);
    CDC targetDC(&target);
    EXPECT_EQ(keyed.Draw2(&targetDC, 0, 0, 4, 2), 1);
    EXPECT_EQ(target.At(0, 0) & 0xFFFFFF, kBackground & 0xFFFFFF);
    EXPECT_EQ(target.At(1, 1) & 0xFFFFFF, kBackground & 0xFFFFFF);
    EXPECT_EQ(target.At(3, 1) & 0xFFFFFF, 0x090909u);
}

TEST(RxImageDraw, DrawTextWritesOnlyTheColour) {
    RxImage empty(0);
    EXPECT_EQ(empty.DrawTextA(nullptr, 0, 0, "x", RGB(1, 2, 3), "Arial"), 1);
    EXPECT_FALSE(empty.IsValid());

    RxImage image(0);
    ASSERT_TRUE(image.Create(80, 30, 24));
    image.Clear(0);
    EXPECT_EQ(image.DrawTextA(nullptr, 2, 25, "Hi", RGB(250, 10, 20), "Arial", 16), 1);
    int inked = 0;
    for (LONG y = 0; y < 30; ++y)
        for (LONG x = 0; x < 80; ++x) {
            COLORREF c = RxImage::RGBQUADtoRGB(image.GetPixelColor(x, y));
            if (c == 0) continue;
            ASSERT_EQ(c, RGB(250, 10, 20));
            ++inked;
            EXPECT_GE(x, 2);
            EXPECT_GE(y, 30 - 25 - 1);  // the text sits on top-based row 25
        }
    EXPECT_GT(inked, 10);
}

TEST(RxImageBitmaps, PackedBitmapRoundTrip) {
    RxImage image(0);
    MakeCoordinatePicture(image, 5, 3);
    image.SetXDPI(300);
    image.SetYDPI(300);
    ASSERT_TRUE(image.Create(5, 3, 24));  // header carries the resolution
    MakeCoordinatePicture(image, 5, 3);
    void* block = image.CopyToHandle();
    ASSERT_NE(block, nullptr);
    RxImage copy(0);
    ASSERT_TRUE(copy.CreateFromHANDLE(block, image.GetSize()));
    EXPECT_EQ(std::memcmp(copy.GetDIB(), image.GetDIB(), image.GetSize()), 0);
    EXPECT_EQ(copy.GetXDPI(), 300);
    EXPECT_FALSE(copy.CreateFromHANDLE(block, image.GetSize() - 1));
    EXPECT_FALSE(copy.CreateFromHANDLE(block, 39));
    std::free(block);

    RxImage none(0);
    EXPECT_EQ(none.CopyToHandle(), nullptr);
    EXPECT_EQ(none.MakeBitmap(), nullptr);
}

TEST(RxImageBitmaps, DeepPackedBitmapsBecome24Bit) {
    // Two pixels per row, two rows, bottom-up: 16-bit 5-5-5 and 32-bit.
    struct Case {
        WORD bpp;
        std::vector<uint8_t> pixels;
        COLORREF firstBottom, secondTop;
    } cases[] = {
        {16, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}, RGB(248, 0, 0), RGB(248, 248, 248)},
        {32, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}, RGB(3, 2, 1), RGB(12, 11, 10)},
    };
    for (const Case& c : cases) {
        BITMAPINFOHEADER header{};
        header.biSize = 40;
        header.biWidth = 2;
        header.biHeight = 2;
        header.biPlanes = 1;
        header.biBitCount = c.bpp;
        std::vector<uint8_t> block(40);
        std::memcpy(block.data(), &header, 40);
        block.insert(block.end(), c.pixels.begin(), c.pixels.end());
        RxImage image(0);
        ASSERT_TRUE(image.CreateFromHANDLE(block.data(), block.size())) << c.bpp;
        EXPECT_EQ(image.GetBpp(), 24);
        EXPECT_EQ(image.GetXDPI(), 96);
        EXPECT_EQ(RxImage::RGBQUADtoRGB(image.GetPixelColor(0, 0)), c.firstBottom) << c.bpp;
        EXPECT_EQ(RxImage::RGBQUADtoRGB(image.GetPixelColor(1, 1)), c.secondTop) << c.bpp;
        block.pop_back();
        EXPECT_FALSE(image.CreateFromHANDLE(block.data(), block.size())) << c.bpp;
    }
}

TEST(RxImageBitmaps, PlatformBitmapRoundTrip) {
    RxImage image(0);
    MakeCoordinatePicture(image, 6, 4);
    CBitmap* bitmap = image.MakeBitmap();
    ASSERT_NE(bitmap, nullptr);
    RxImage back(0);
    ASSERT_TRUE(back.CreateFromHBITMAP(bitmap));
    delete bitmap;
    ASSERT_EQ(back.GetBpp(), 24);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 6; ++x)
            ASSERT_EQ(RxImage::RGBQUADtoRGB(back.GetPixelColor(x, y)),
                      RxImage::RGBQUADtoRGB(image.GetPixelColor(x, y)));
    EXPECT_FALSE(back.CreateFromHBITMAP(nullptr));
    EXPECT_FALSE(back.IsValid());
}

TEST(RxImageBitmaps, IconMaskBecomesAlpha) {
    Icon icon;
    icon.width = 2;
    icon.height = 1;
    icon.colour.Resize(2, 1, 0xFFFF0000u);
    icon.mask.Resize(2, 1, 0xFF000000u);
    icon.mask.Set(1, 0, 0xFFFFFFFFu);  // transparent
    RxImage image(0);
    ASSERT_TRUE(image.CreateFromHICON(&icon));
    ASSERT_TRUE(image.AlphaIsValid());
    EXPECT_EQ(image.AlphaGet(0, 0), 255);
    EXPECT_EQ(image.AlphaGet(1, 0), 0);
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbRed, 255);
    EXPECT_FALSE(image.CreateFromHICON(nullptr));
}

TEST(RxImageFilesResource, LoadResourceDecodesRegisteredBytes) {
    static const std::string ppm = MakePpm(3, 2);
    ResourceTable::Instance().Add(9001, 77, reinterpret_cast<const unsigned char*>(ppm.data()), ppm.size());
    RxImage image(0);
    EXPECT_TRUE(image.LoadResource(9001, 77)) << image.GetLastError();
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_FALSE(image.LoadResource(9001, 78));
    EXPECT_STREQ(image.GetLastError(), "Unable to load resource!");
    ResourceTable::Instance().Remove(9001, 77);
}

}  // namespace
