#include <gtest/gtest.h>

#include <cstring>

#include "ImageTestSupport.h"

namespace {

TEST(RxImage, EmptyImageDefaults) {
    ImageProbe image(0);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetXDPI(), 96);
    EXPECT_EQ(image.GetYDPI(), 96);
    EXPECT_EQ(image.Header().biXPelsPerMeter, 3780);
    EXPECT_EQ(image.GetJpegQuality(), 75);
    EXPECT_EQ(image.GetTransIndex(), -1);
    EXPECT_TRUE(image.IsEnabled());
    EXPECT_EQ(image.AlphaGetMax(), 255);
    EXPECT_STREQ(image.GetLastError(), "");
    EXPECT_STREQ(RxImage::GetVersion(), "RxImage 1.0");
    EXPECT_EQ(image.GetBits(), nullptr);
}

TEST(RxImage, CreateSizes) {
    struct Case {
        DWORD width, height, bpp;
        WORD bits;
        DWORD colours, effWidth, imageBytes;
    } cases[] = {
        {10, 5, 24, 24, 0, 32, 160},  {10, 5, 3, 4, 16, 8, 40},   {1, 1, 32, 24, 0, 4, 4},
        {10, 5, 0, 1, 2, 4, 20},      {33, 2, 1, 1, 2, 8, 16},    {3, 2, 6, 8, 256, 4, 8},
        {0, 7, 24, 24, 0, 0, 0},      {5, 0, 8, 8, 256, 8, 0},
    };
    for (const Case& c : cases) {
        ImageProbe image(0);
        ASSERT_NE(image.Create(c.width, c.height, c.bpp, 4), nullptr) << c.width << "x" << c.bpp;
        EXPECT_EQ(image.GetBpp(), c.bits);
        EXPECT_EQ(image.GetNumColors(), c.colours);
        EXPECT_EQ(image.GetEffWidth(), c.effWidth);
        EXPECT_EQ(image.Header().biSizeImage, c.imageBytes);
        EXPECT_EQ(image.GetSize(), 40 + c.colours * 4 + c.imageBytes);
        EXPECT_EQ(image.GetType(), 4u);
        EXPECT_EQ(image.GetBits(), static_cast<BYTE*>(image.GetDIB()) + 40 + c.colours * 4);
        EXPECT_EQ(std::memcmp(&image.DibHeader(), &image.Header(), 40), 0);
        // The palette starts cleared.
        for (DWORD i = 0; i < c.colours; ++i) EXPECT_EQ(image.GetPaletteColor(BYTE(i)).rgbRed, 0);
    }
}

TEST(RxImage, CreateRefusesSizesThatCannotBeCounted) {
    struct Case {
        DWORD width, height, bpp;
    } cases[] = {
        {0xFFFFFFFFu, 1, 24}, {1, 0x80000000u, 1}, {0x7FFFFFFF, 0x7FFFFFFF, 24}, {100000, 100000, 24},
    };
    for (const Case& c : cases) {
        ImageProbe image(0);
        EXPECT_EQ(image.Create(c.width, c.height, c.bpp), nullptr) << c.width << "x" << c.height;
        EXPECT_FALSE(image.IsValid());
    }
}

TEST(RxImage, SetDpiSetsPixelsPerMetre) {
    ImageProbe image(0);
    image.SetXDPI(300);
    image.SetYDPI(72);
    EXPECT_EQ(image.Header().biXPelsPerMeter, 11811);
    EXPECT_EQ(image.Header().biYPelsPerMeter, 2835);
    EXPECT_EQ(image.GetXDPI(), 300);
}

TEST(RxImage, TransferMovesEverything) {
    ImageProbe source(0);
    ASSERT_TRUE(source.Create(4, 3, 8, 9));
    source.Clear(0x5A);
    source.SetTransIndex(3);
    void* dib = source.GetDIB();
    ImageProbe target(0);
    ASSERT_TRUE(target.Create(2, 2, 24));
    EXPECT_TRUE(target.Transfer(source));
    EXPECT_EQ(target.GetDIB(), dib);
    EXPECT_EQ(target.GetWidth(), 4);
    EXPECT_EQ(target.GetTransIndex(), 3);
    EXPECT_EQ(target.GetType(), 9u);
    EXPECT_FALSE(source.IsValid());
    EXPECT_EQ(source.GetWidth(), 0);
    EXPECT_TRUE(source.Destroy());  // frees nothing: it owns nothing
    EXPECT_EQ(target.GetBits()[0], 0x5A);
}

TEST(RxImage, CopyDuplicatesPixelsOrOnlyThePalette) {
    ImageProbe source(0);
    ASSERT_TRUE(source.Create(3, 2, 8, 5));
    source.SetGrayPalette();
    source.Clear(7);
    source.SetXDPI(200);

    ImageProbe full(source);
    EXPECT_NE(full.GetDIB(), source.GetDIB());
    EXPECT_EQ(std::memcmp(full.GetDIB(), source.GetDIB(), source.GetSize()), 0);
    EXPECT_EQ(full.GetXDPI(), 200);

    ImageProbe paletteOnly(source, false);
    EXPECT_EQ(paletteOnly.GetPaletteColor(200).rgbGreen, 200);
    EXPECT_EQ(paletteOnly.GetWidth(), 3);

    ImageProbe assigned(0);
    assigned = source;
    assigned = assigned;
    EXPECT_EQ(assigned.GetBits()[0], 7);
}

TEST(RxImage, GhostBorrowsAndFreesNothing) {
    ImageProbe owner(0);
    ASSERT_TRUE(owner.Create(2, 2, 24));
    {
        ImageProbe ghost(0);
        ghost.ForceGhostOf(owner);
        EXPECT_EQ(ghost.GetDIB(), owner.GetDIB());
        EXPECT_FALSE(ghost.Destroy());
    }
    // The owner's buffer is still intact (a double free would show under ASan).
    owner.Clear(1);
    EXPECT_EQ(owner.GetBits()[0], 1);
}

TEST(RxImage, InformationMembers) {
    ImageProbe image(0);
    ASSERT_TRUE(image.Create(4, 4, 1));
    image.SetPaletteColor(1, 10, 20, 30);
    EXPECT_EQ(image.GetColorType(), 1);
    EXPECT_FALSE(image.IsTransparent());
    image.SetTransIndex(1);
    EXPECT_TRUE(image.IsTransparent());
    EXPECT_EQ(image.GetTransColor().rgbRed, 10);
    image.SetFlags(0x12345678);
    EXPECT_EQ(image.GetFlags(), 0x5678u);
    image.SetFlags(0x12345678, false);
    EXPECT_EQ(image.GetFlags(), 0x12345678u);
    EXPECT_TRUE(image.IsInside(3, 0));
    EXPECT_FALSE(image.IsInside(4, 0));
    EXPECT_FALSE(image.IsInside(0, -1));
    LONG x = 0, y = 0;
    image.SetOffset(5, -6);
    image.GetOffset(&x, &y);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, -6);

    ImageProbe colour(0);
    ASSERT_TRUE(colour.Create(1, 1, 24));
    colour.SetTransIndex(0);
    colour.SetTransColor(RGBQUAD{1, 2, 3, 0});
    EXPECT_EQ(colour.GetTransColor().rgbRed, 3);
    EXPECT_EQ(colour.GetColorType(), 2);
}

TEST(RxImage, PixelsAndPalette) {
    struct Case {
        DWORD bpp;
        LONG x;
        BYTE index;
    } cases[] = {{1, 9, 1}, {4, 3, 9}, {4, 4, 15}, {8, 2, 200}};
    for (const Case& c : cases) {
        ImageProbe image(0);
        ASSERT_TRUE(image.Create(12, 2, c.bpp));
        image.Clear(0);
        image.SetPixelIndex(c.x, 1, c.index);
        EXPECT_EQ(image.GetPixelIndex(c.x, 1), c.index) << c.bpp;
        EXPECT_EQ(image.GetPixelIndex(c.x - 1, 1), 0) << c.bpp;
        EXPECT_EQ(image.GetPixelIndex(c.x + 1, 1), 0) << c.bpp;
        EXPECT_EQ(image.GetPixelIndex(c.x, 0), 0) << c.bpp;
    }
    ImageProbe grey(0);
    ASSERT_TRUE(grey.Create(2, 1, 4));
    grey.SetGrayPalette();
    EXPECT_EQ(grey.GetPaletteColor(1).rgbBlue, 17);
    EXPECT_EQ(grey.GetPaletteColor(15).rgbBlue, 255);
    grey.SetPixelColor(0, 0, RGB(60, 60, 60));
    EXPECT_EQ(grey.GetPixelIndex(0, 0), 4);  // 68 is the nearest grey

    ImageProbe colour(0);
    ASSERT_TRUE(colour.Create(2, 2, 24));
    colour.SetPixelColor(1, 1, RGB(10, 20, 30));
    RGBQUAD c = colour.GetPixelColor(1, 1);
    EXPECT_EQ(c.rgbRed, 10);
    EXPECT_EQ(c.rgbGreen, 20);
    EXPECT_EQ(c.rgbBlue, 30);
}

}  // namespace
