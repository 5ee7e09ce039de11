// Resource registry, bitmaps from resources, image lists, icons and the
// disabled (embossed) look.

#include <gtest/gtest.h>

#include "platform/CDC.h"
#include "platform/CImageList.h"
#include "platform/ResourceTable.h"
#include "platform/SysColors.h"
#include "test_draw_support.h"

using drawtest::BmpFile;
using drawtest::DibHeader;
using drawtest::Px;

namespace {

const uint32_t kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;

// Resource numbers far from the ones the product registers.
constexpr UINT kBitmap = 60001;
constexpr UINT kStrip = 60002;
constexpr UINT kMissing = 60099;

// 4 x 2, 24-bit: top row magenta, red, magenta, blue; bottom row all magenta.
std::vector<uint8_t> StripBmp() {
    std::vector<uint8_t> rows = {255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255,  // bottom
                                 255, 0, 255, 0, 0, 255, 255, 0, 255, 255, 0, 0};
    return BmpFile(DibHeader(4, 2, 24, BI_RGB, {}), rows);
}

struct Registered {
    std::vector<uint8_t> strip = StripBmp();
    Registered() {
        ResourceTable::Instance().Add(RT_BITMAP, kStrip, strip.data(), strip.size());
        ResourceTable::Instance().Add(RT_BITMAP, kBitmap, strip.data(), strip.size());
    }
    ~Registered() {
        ResourceTable::Instance().Remove(RT_BITMAP, kStrip);
        ResourceTable::Instance().Remove(RT_BITMAP, kBitmap);
    }
};

}  // namespace

TEST(DrawResources, LookupByTypeAndNumber) {
    Registered resources;
    ResourceTable& table = ResourceTable::Instance();
    ResourceTable::Data data;
    EXPECT_TRUE(table.Find(RT_BITMAP, kBitmap, &data));
    EXPECT_EQ(data.size, resources.strip.size());
    EXPECT_FALSE(table.Find(RT_ICON, kBitmap, &data));  // the type is part of the key
    EXPECT_FALSE(table.Find(RT_BITMAP, kMissing, &data));

    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(kBitmap));
    EXPECT_EQ(bitmap.GetSize().cx, 4);
    EXPECT_EQ(bitmap.GetSurface().At(1, 0), Px(RGB(255, 0, 0)));
    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(kMissing));
    EXPECT_FALSE(missing.IsCreated());
    EXPECT_EQ(table.LoadIcon(kMissing), nullptr);
    EXPECT_EQ(table.LoadCursor(kMissing), nullptr);

    // Garbage registered as a bitmap is refused, not crashed on.
    const unsigned char junk[] = {'B', 'M', 1, 2, 3};
    table.Add(RT_BITMAP, kMissing, junk, sizeof junk);
    CBitmap broken;
    EXPECT_FALSE(broken.LoadBitmap(kMissing));
    table.Remove(RT_BITMAP, kMissing);
}

TEST(DrawResources, StringsAndEmbeddedFiles) {
    ResourceTable& table = ResourceTable::Instance();
    table.AddString(60010, "Input PDF file is empty.");
    EXPECT_EQ(table.LoadString(60010), "Input PDF file is empty.");
    std::string text = "unchanged";
    EXPECT_FALSE(table.LoadString(60011, &text));
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(table.LoadString(60011), "");
    table.Remove(RT_STRING, 60010);
    EXPECT_FALSE(table.HasString(60010));

    static const unsigned char bytes[] = {1, 2, 3};
    const EmbeddedFile files[] = {{"art/a.bmp", bytes, 3}, {"art/b.ico", bytes, 2}, {nullptr, nullptr, 0}};
    EXPECT_TRUE(table.AddEmbedded(RT_ICON, 60012, files, 2, "art/b.ico"));
    EXPECT_FALSE(table.AddEmbedded(RT_ICON, 60013, files, 2, "art/c.ico"));
    ResourceTable::Data data;
    ASSERT_TRUE(table.Find(RT_ICON, 60012, &data));
    EXPECT_EQ(data.size, 2u);
    table.Remove(RT_ICON, 60012);
}

TEST(DrawResources, MappedBitmapReplacesColours) {
    Registered resources;
    CBitmap bitmap;
    const COLORMAP map[1] = {{RGB(255, 0, 255), RGB(255, 255, 255)}};
    ASSERT_TRUE(bitmap.LoadMappedBitmap(kBitmap, map, 1));
    EXPECT_EQ(bitmap.GetSurface().At(0, 0), kWhite);
    EXPECT_EQ(bitmap.GetSurface().At(1, 0), Px(RGB(255, 0, 0)));
}

TEST(DrawResources, ImageListWithMaskColour) {
    Registered resources;
    CImageList list;
    ASSERT_TRUE(list.Create(kStrip, 2, 1, RGB(255, 0, 255)));
    EXPECT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(list.GetImageSize().cx, 2);

    Surface target(4, 2, Px(RGB(212, 208, 200)));
    CDC dc(&target);
    ASSERT_TRUE(list.Draw(&dc, 0, POINT{0, 0}, ILD_TRANSPARENT));
    EXPECT_EQ(target.At(0, 0), Px(RGB(212, 208, 200)));  // magenta is transparent
    EXPECT_EQ(target.At(1, 0), Px(RGB(255, 0, 0)));
    ASSERT_TRUE(list.Draw(&dc, 1, POINT{2, 0}, ILD_NORMAL));
    EXPECT_EQ(target.At(3, 0), Px(RGB(0, 0, 255)));
    EXPECT_EQ(target.At(2, 1), Px(RGB(212, 208, 200)));  // no background colour: transparent too
    list.SetBkColor(RGB(0, 255, 0));
    list.Draw(&dc, 1, POINT{2, 0}, ILD_NORMAL);
    EXPECT_EQ(target.At(2, 1), Px(RGB(0, 255, 0)));
    EXPECT_FALSE(list.Draw(&dc, 2, POINT{0, 0}, ILD_NORMAL));
    EXPECT_FALSE(list.Draw(&dc, -1, POINT{0, 0}, ILD_NORMAL));

    CImageList fromMissing;
    EXPECT_FALSE(fromMissing.Create(kMissing, 2, 1, RGB(255, 0, 255)));
}

TEST(DrawResources, DisabledLookEmbossesTheInk) {
    // Dark pixels become a highlight copy one pixel down-right under a shadow
    // copy; light pixels (white) vanish.
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(3, 3, 1, 32, nullptr));
    bitmap.GetSurface().Fill(kWhite);
    bitmap.GetSurface().Set(1, 1, kBlack);
    Surface target(6, 6, Px(GetSysColor(COLOR_BTNFACE)));
    CDC dc(&target);
    ASSERT_TRUE(dc.DrawState(POINT{1, 1}, SIZE{0, 0}, &bitmap, DST_BITMAP | DSS_DISABLED));
    EXPECT_EQ(target.At(2, 2), Px(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(target.At(3, 3), Px(GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(drawtest::CountPixels(target, Px(GetSysColor(COLOR_BTNFACE))), 34);

    // The same for an icon, whose transparent pixels never count as ink.
    Icon icon;
    icon.width = icon.height = 2;
    icon.colour.Resize(2, 2, kBlack);
    icon.mask.Resize(2, 2, kBlack);
    icon.mask.Set(0, 0, kWhite);
    Surface iconTarget(4, 4, Px(GetSysColor(COLOR_BTNFACE)));
    CDC idc(&iconTarget);
    ASSERT_TRUE(idc.DrawState(POINT{0, 0}, SIZE{0, 0}, &icon, DST_ICON | DSS_DISABLED));
    EXPECT_EQ(iconTarget.At(0, 0), Px(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(iconTarget.At(1, 0), Px(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(iconTarget.At(2, 2), Px(GetSysColor(COLOR_BTNHIGHLIGHT)));
}

TEST(DrawResources, IconMaskAndXorAndScaling) {
    Icon icon;
    icon.width = icon.height = 2;
    icon.colour.Resize(2, 2, kBlack);
    icon.mask.Resize(2, 2, kBlack);
    icon.mask.Set(1, 0, kWhite);                  // screen pixel
    icon.colour.Set(1, 1, Px(RGB(255, 0, 0)));    // opaque red
    icon.mask.Set(0, 1, kWhite);
    icon.colour.Set(0, 1, kWhite);                // inverted screen
    Surface target(4, 4, Px(RGB(0, 255, 0)));
    CDC dc(&target);
    ASSERT_TRUE(dc.DrawIconEx(0, 0, &icon, 4, 4, DI_NORMAL));
    EXPECT_EQ(target.At(0, 0), kBlack);
    EXPECT_EQ(target.At(3, 0), Px(RGB(0, 255, 0)));
    EXPECT_EQ(target.At(0, 3), Px(RGB(255, 0, 255)));
    EXPECT_EQ(target.At(3, 3), Px(RGB(255, 0, 0)));
    EXPECT_FALSE(dc.DrawIcon(0, 0, nullptr));
    // A record whose images do not match its size is not drawn.
    Icon lying = icon;
    lying.width = 50;
    EXPECT_FALSE(dc.DrawIcon(0, 0, &lying));
    EXPECT_FALSE(dc.DrawState(POINT{0, 0}, SIZE{0, 0}, &lying, DST_ICON | DSS_DISABLED));
}

TEST(DrawResources, StockCursorsAndCopies) {
    for (UINT id : {IDC_ARROW, IDC_WAIT, IDC_HAND, IDC_IBEAM}) {
        HCURSOR cursor = LoadStockCursor(id);
        ASSERT_NE(cursor, nullptr);
        EXPECT_TRUE(cursor->isCursor);
        EXPECT_EQ(cursor->width, 32);
        EXPECT_EQ(cursor->mask.At(cursor->hotSpot.x, cursor->hotSpot.y), kBlack) << id;  // the hot spot is drawn
        EXPECT_FALSE(DestroyCursor(cursor));  // shared: never destroyed
        EXPECT_EQ(LoadStockCursor(id), cursor);
    }
    EXPECT_EQ(LoadStockCursor(IDC_ARROW)->hotSpot.x, 0);
    HICON copy = CopyIcon(LoadStockCursor(IDC_WAIT));
    ASSERT_NE(copy, nullptr);
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(copy, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.colour->Width(), 32);
    EXPECT_TRUE(DestroyIcon(copy));
}
