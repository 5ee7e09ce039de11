// Block copies, raster operations, colour conversions and packed DIBs.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/CDC.h"
#include "test_draw_support.h"

using drawtest::Px;

namespace {

const uint32_t kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;

// A memory context with a selected bitmap of one colour.
struct MemoryCanvas {
    CDC dc;
    CBitmap bitmap;
    MemoryCanvas(int w, int h, bool mono, uint32_t fill) {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(w, h, 1, mono ? 1 : 32, nullptr);
        bitmap.GetSurface().Fill(fill);
        dc.SelectObject(&bitmap);
    }
    uint32_t At(int x, int y) const { return bitmap.GetSurface().At(x, y); }
};

}  // namespace

TEST(DrawRaster, RopsOnColourBitmaps) {
    struct Case {
        DWORD rop;
        uint32_t expected;
    } cases[] = {
        {SRCCOPY, 0xFF0F0F0Fu},
        {SRCAND, 0xFF0C0C00u},  // 0x3C3C00 & 0x0F0F0F
        {SRCPAINT, 0xFF3F3F0Fu},
        {SRCINVERT, 0xFF33330Fu},
        {SRCERASE, 0xFF03030Fu},     // source AND NOT destination
        {NOTSRCCOPY, 0xFFF0F0F0u},
        {NOTSRCERASE, 0xFFC0C0F0u},  // NOT (source OR destination)
        {MERGEPAINT, 0xFFFCFCF0u},   // NOT source OR destination
        {DSTERASE, 0xFF303000u},     // destination AND NOT source
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rop);
        MemoryCanvas dest(4, 4, false, 0xFF3C3C00u), src(4, 4, false, 0xFF0F0F0Fu);
        ASSERT_TRUE(dest.dc.BitBlt(1, 1, 2, 2, &src.dc, 0, 0, c.rop));
        EXPECT_EQ(dest.At(1, 1), c.expected);
        EXPECT_EQ(dest.At(2, 2), c.expected);
        EXPECT_EQ(dest.At(0, 0), 0xFF3C3C00u);  // outside the block
        EXPECT_EQ(dest.At(3, 3), 0xFF3C3C00u);
    }
}

TEST(DrawRaster, TransparentDrawWithMaskAndThenPaint) {
    // The icon-button way: AND a mask (white where transparent), then OR the
    // image whose transparent pixels were set to black.
    MemoryCanvas dest(2, 1, false, Px(RGB(212, 208, 200)));
    MemoryCanvas mask(2, 1, true, kBlack), image(2, 1, false, kBlack);
    mask.bitmap.GetSurface().Set(1, 0, kWhite);
    image.bitmap.GetSurface().Set(0, 0, Px(RGB(200, 10, 10)));
    dest.dc.SetTextColor(RGB(0, 0, 0));
    dest.dc.SetBkColor(RGB(255, 255, 255));
    dest.dc.BitBlt(0, 0, 2, 1, &mask.dc, 0, 0, SRCAND);
    dest.dc.BitBlt(0, 0, 2, 1, &image.dc, 0, 0, SRCPAINT);
    EXPECT_EQ(dest.At(0, 0), Px(RGB(200, 10, 10)));
    EXPECT_EQ(dest.At(1, 0), Px(RGB(212, 208, 200)));
}

TEST(DrawRaster, MonoToColourUsesTextAndBackgroundColours) {
    MemoryCanvas dest(2, 1, false, kBlack), mono(2, 1, true, kBlack);
    mono.bitmap.GetSurface().Set(1, 0, kWhite);
    dest.dc.SetTextColor(RGB(10, 20, 30));  // for 0 bits
    dest.dc.SetBkColor(RGB(200, 210, 220));  // for 1 bits
    dest.dc.BitBlt(0, 0, 2, 1, &mono.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dest.At(0, 0), Px(RGB(10, 20, 30)));
    EXPECT_EQ(dest.At(1, 0), Px(RGB(200, 210, 220)));
}

TEST(DrawRaster, ColourToMonoMarksTheSourceBackgroundColour) {
    MemoryCanvas colour(3, 1, false, Px(RGB(255, 0, 255)));
    colour.bitmap.GetSurface().Set(1, 0, Px(RGB(255, 0, 254)));  // near but not equal
    colour.bitmap.GetSurface().Set(2, 0, kWhite);
    colour.dc.SetBkColor(RGB(255, 0, 255));
    MemoryCanvas mono(3, 1, true, kBlack);
    mono.dc.BitBlt(0, 0, 3, 1, &colour.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(mono.At(0, 0), kWhite);
    EXPECT_EQ(mono.At(1, 0), kBlack);
    EXPECT_EQ(mono.At(2, 0), kBlack);
}

TEST(DrawRaster, MonoRopsStayBlackAndWhite) {
    MemoryCanvas dest(2, 1, true, kWhite), src(2, 1, true, kBlack);
    src.bitmap.GetSurface().Set(1, 0, kWhite);
    dest.dc.BitBlt(0, 0, 2, 1, &src.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(dest.At(0, 0), kWhite);
    EXPECT_EQ(dest.At(1, 0), kBlack);
    // Drawing a colour on a monochrome bitmap picks the nearer of black and white.
    dest.dc.FillSolidRect(0, 0, 1, 1, RGB(200, 200, 200));
    dest.dc.FillSolidRect(1, 0, 1, 1, RGB(60, 60, 60));
    EXPECT_EQ(dest.At(0, 0), kWhite);
    EXPECT_EQ(dest.At(1, 0), kBlack);
    // A compatible bitmap of a fresh memory context is monochrome.
    CDC fresh;
    fresh.CreateCompatibleDC(nullptr);
    CBitmap compatible;
    ASSERT_TRUE(compatible.CreateCompatibleBitmap(&fresh, 4, 4));
    EXPECT_TRUE(compatible.IsMonochrome());
    CBitmap screen;
    ASSERT_TRUE(screen.CreateCompatibleBitmap(nullptr, 4, 4));
    EXPECT_FALSE(screen.IsMonochrome());
}

TEST(DrawRaster, StretchByNearestNeighbourAndMirror) {
    MemoryCanvas src(2, 1, false, kBlack);
    src.bitmap.GetSurface().Set(0, 0, Px(RGB(255, 0, 0)));
    src.bitmap.GetSurface().Set(1, 0, Px(RGB(0, 0, 255)));
    MemoryCanvas dest(4, 2, false, kWhite);
    dest.dc.SetStretchBltMode(COLORONCOLOR);
    dest.dc.StretchBlt(0, 0, 4, 2, &src.dc, 0, 0, 2, 1, SRCCOPY);
    const uint32_t red = Px(RGB(255, 0, 0)), blue = Px(RGB(0, 0, 255));
    EXPECT_EQ(dest.At(0, 0), red);
    EXPECT_EQ(dest.At(1, 1), red);
    EXPECT_EQ(dest.At(2, 0), blue);
    EXPECT_EQ(dest.At(3, 1), blue);
    // A negative destination width mirrors.
    dest.dc.StretchBlt(3, 0, -4, 1, &src.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dest.At(0, 0), blue);
    EXPECT_EQ(dest.At(3, 0), red);
}

TEST(DrawRaster, OverlappingCopyWithinOneSurface) {
    Surface s(5, 1, kBlack);
    for (int x = 0; x < 5; ++x) s.Set(x, 0, 0xFF000000u | uint32_t(x));
    CDC dc(&s);
    dc.BitBlt(1, 0, 4, 1, &dc, 0, 0, SRCCOPY);  // scroll right by one
    for (int x = 1; x < 5; ++x) EXPECT_EQ(s.At(x, 0), 0xFF000000u | uint32_t(x - 1));
}

TEST(DrawRaster, BlitsHonourTheClipAndSourceBounds) {
    MemoryCanvas src(4, 4, false, Px(RGB(1, 2, 3)));
    MemoryCanvas dest(8, 8, false, kWhite);
    dest.dc.IntersectClipRect(2, 2, 4, 4);
    dest.dc.BitBlt(0, 0, 8, 8, &src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(drawtest::CountPixels(dest.bitmap.GetSurface(), Px(RGB(1, 2, 3))), 4);
    // Parts of the source outside its bitmap leave the target alone.
    MemoryCanvas again(8, 8, false, kWhite);
    again.dc.BitBlt(0, 0, 8, 8, &src.dc, 2, 2, SRCCOPY);
    EXPECT_EQ(drawtest::CountPixels(again.bitmap.GetSurface(), Px(RGB(1, 2, 3))), 4);
    EXPECT_EQ(again.At(2, 2), kWhite);
}

namespace {

// 3 x 2 bottom-up DIB: bottom row red, green, blue; top row white, black, grey.
std::vector<uint8_t> Rows24() {
    const uint8_t rows[] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,  // bottom row + padding
                            255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};
    return std::vector<uint8_t>(rows, rows + sizeof rows);
}

}  // namespace

TEST(DrawRaster, SetDIBitsToDeviceCopiesBottomUpRows) {
    const std::vector<uint8_t> header = drawtest::DibHeader(3, 2, 24, BI_RGB, {});
    const std::vector<uint8_t> rows = Rows24();
    Surface s(5, 4, kBlack);
    CDC dc(&s);
    EXPECT_EQ(dc.SetDIBitsToDevice(1, 1, 3, 2, 0, 0, 0, 2, rows.data(),
                                   reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS),
              2);
    EXPECT_EQ(s.At(1, 1), kWhite);
    EXPECT_EQ(s.At(3, 1), Px(RGB(128, 128, 128)));
    EXPECT_EQ(s.At(1, 2), Px(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(3, 2), Px(RGB(0, 0, 255)));
    EXPECT_EQ(s.At(0, 0), kBlack);
    EXPECT_EQ(s.At(4, 3), kBlack);

    // Top-down (negative height) rows come in reading order.
    const std::vector<uint8_t> topDown = drawtest::DibHeader(3, -2, 24, BI_RGB, {});
    Surface t(3, 2, kBlack);
    CDC tdc(&t);
    tdc.SetDIBitsToDevice(0, 0, 3, 2, 0, 0, 0, 2, rows.data(), reinterpret_cast<const BITMAPINFO*>(topDown.data()),
                          DIB_RGB_COLORS);
    EXPECT_EQ(t.At(0, 0), Px(RGB(255, 0, 0)));
    EXPECT_EQ(t.At(0, 1), kWhite);
}

TEST(DrawRaster, PaletteDibsOfEveryDepth) {
    const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    struct Case {
        int bits;
        std::vector<uint8_t> row;  // one row of 4 pixels: indices 1, 2, 3, 0
    } cases[] = {
        {1, {0x90, 0, 0, 0}},  // 1 0 0 1 -> palette entries 1, 0, 0, 1
        {4, {0x12, 0x30, 0, 0}},
        {8, {1, 2, 3, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const std::vector<uint8_t> header = drawtest::DibHeader(4, 1, c.bits, BI_RGB, palette);
        Surface s(4, 1, kWhite);
        CDC dc(&s);
        ASSERT_EQ(dc.SetDIBitsToDevice(0, 0, 4, 1, 0, 0, 0, 1, c.row.data(),
                                       reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS),
                  1);
        if (c.bits == 1) {
            EXPECT_EQ(s.At(0, 0), Px(RGB(255, 0, 0)));
            EXPECT_EQ(s.At(1, 0), kBlack);
            EXPECT_EQ(s.At(3, 0), Px(RGB(255, 0, 0)));
        } else {
            EXPECT_EQ(s.At(0, 0), Px(RGB(255, 0, 0)));
            EXPECT_EQ(s.At(1, 0), Px(RGB(0, 255, 0)));
            EXPECT_EQ(s.At(2, 0), Px(RGB(0, 0, 255)));
            EXPECT_EQ(s.At(3, 0), kBlack);
        }
    }
}

TEST(DrawRaster, StretchDIBitsScalesTheSourceRectangle) {
    const std::vector<uint8_t> header = drawtest::DibHeader(3, 2, 24, BI_RGB, {});
    const std::vector<uint8_t> rows = Rows24();
    Surface s(6, 4, kBlack);
    CDC dc(&s);
    dc.SetStretchBltMode(COLORONCOLOR);
    ASSERT_EQ(dc.StretchDIBits(0, 0, 6, 4, 0, 0, 3, 2, rows.data(),
                               reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS, SRCCOPY),
              2);
    EXPECT_EQ(s.At(0, 0), kWhite);
    EXPECT_EQ(s.At(1, 1), kWhite);
    EXPECT_EQ(s.At(5, 3), Px(RGB(0, 0, 255)));
    // A source rectangle measured from the bottom: just the bottom-right pixel.
    Surface one(2, 2, kBlack);
    CDC odc(&one);
    odc.StretchDIBits(0, 0, 2, 2, 2, 0, 1, 1, rows.data(), reinterpret_cast<const BITMAPINFO*>(header.data()),
                      DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(drawtest::CountPixels(one, Px(RGB(0, 0, 255))), 4);
}

TEST(DrawRaster, GetDIBitsReadsThePixelsUnderARectangle) {
    Surface s(4, 3, kBlack);
    s.Set(1, 1, Px(RGB(10, 20, 30)));
    s.Set(2, 2, Px(RGB(40, 50, 60)));
    CDC dc(&s);
    dc.SetViewportOrg(1, 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biHeight = 1;  // bottom-up
    const RECT r{0, 0, 3, 2};     // surface (1,1)-(4,3)
    ASSERT_EQ(dc.GetDIBits(r, nullptr, &info), 2);
    EXPECT_EQ(info.bmiHeader.biWidth, 3);
    EXPECT_EQ(info.bmiHeader.biHeight, 2);
    EXPECT_EQ(info.bmiHeader.biSizeImage, 24u);  // rows of 9 bytes padded to 12
    std::vector<uint8_t> bits(info.bmiHeader.biSizeImage, 0xAA);
    ASSERT_EQ(dc.GetDIBits(r, bits.data(), &info), 2);
    // First row in memory is the bottom one: surface row 2.
    EXPECT_EQ(bits[3], 60);  // (2,2) blue
    EXPECT_EQ(bits[5], 40);  // red
    EXPECT_EQ(bits[9], 0);   // padding cleared
    EXPECT_EQ(bits[12], 30);  // top row, (1,1) blue
    EXPECT_EQ(bits[14], 10);

    // Rows beyond the surface read as black rather than out of bounds.
    const RECT outside{2, 1, 5, 4};
    std::vector<uint8_t> more(64, 0xAA);
    BITMAPINFO info32{};
    info32.bmiHeader.biBitCount = 32;
    info32.bmiHeader.biHeight = -1;
    ASSERT_EQ(dc.GetDIBits(outside, more.data(), &info32), 3);
    EXPECT_EQ(more[0], 0);
}

TEST(DrawRaster, BitmapGetDIBitsAndCreateFromDib) {
    const std::vector<uint8_t> header = drawtest::DibHeader(3, 2, 24, BI_RGB, {});
    const std::vector<uint8_t> rows = Rows24();
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateFromDIB(reinterpret_cast<const BITMAPINFO*>(header.data()), header.size(), rows.data(),
                                     rows.size()));
    BITMAP bm;
    ASSERT_TRUE(bitmap.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    BITMAPINFO info{};
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biHeight = 2;
    std::vector<uint8_t> back(24);
    ASSERT_EQ(bitmap.GetDIBits(0, 2, back.data(), &info), 2);
    for (size_t i : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 12u, 13u, 14u, 20u}) EXPECT_EQ(back[i], rows[i]) << i;
    // Truncated pixel data is refused rather than read past its end.
    CBitmap truncated;
    EXPECT_FALSE(truncated.CreateFromDIB(reinterpret_cast<const BITMAPINFO*>(header.data()), header.size(),
                                         rows.data(), rows.size() - 1));
}
