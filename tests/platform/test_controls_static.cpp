#include <gtest/gtest.h>

#include <vector>

#include "platform/CStatic.h"
#include "platform/ResourceTable.h"
#include "platform/SysColors.h"
#include "test_controls_fixture.h"

namespace {

// A bottom-up 24-bit BMP file of one colour.
std::vector<unsigned char> SolidBmp(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) & ~3;
    const int imageSize = stride * height;
    std::vector<unsigned char> file(54 + size_t(imageSize), 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    file[26] = 1;
    file[28] = 24;
    put32(34, uint32_t(imageSize));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t at = 54 + size_t(y) * size_t(stride) + size_t(x) * 3;
            file[at] = GetBValue(colour);
            file[at + 1] = GetGValue(colour);
            file[at + 2] = GetRValue(colour);
        }
    return file;
}

constexpr UINT kBitmapId = 0x7A01;

class StaticTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        bmp_ = SolidBmp(30, 20, RGB(0, 0, 255));
        ResourceTable::Instance().Add(RT_BITMAP, kBitmapId, bmp_.data(), bmp_.size());
    }
    void TearDown() override {
        ControlsTest::TearDown();
        ResourceTable::Instance().Remove(RT_BITMAP, kBitmapId);
    }
    std::vector<unsigned char> bmp_;
};

struct PictureCase {
    DWORD style;
    DWORD exStyle;
    int border;  // pixels of edge around the picture
};

class PictureStatics : public StaticTest, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(PictureStatics, TakeTheBitmapsSizeInsideTheirEdge) {
    const PictureCase& c = GetParam();
    DialogItemTemplate item{60, "Static", "", 5, 5, 80, 40, SS_BITMAP | c.style};
    item.exStyle = c.exStyle;
    item.resourceId = kBitmapId;
    RecordingDialog* dlg = MakeDialog({item});
    ASSERT_NE(dlg, nullptr);
    CWnd* picture = dlg->GetDlgItem(60);
    CRect client;
    picture->GetClientRect(&client);
    EXPECT_EQ(client.Width(), 30 + 2 * c.border);
    EXPECT_EQ(client.Height(), 20 + 2 * c.border);
    EXPECT_EQ(PixelOf(picture, c.border, c.border), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(picture, c.border + 29, c.border + 19), RGB(0, 0, 255));
    if (c.border > 0) {
        // The sunken edge: shadow at the top left, highlight at the bottom right.
        EXPECT_EQ(PixelOf(picture, 0, 0), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(PixelOf(picture, client.Width() - 1, client.Height() - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PictureStatics, ::testing::Values(
    PictureCase{0, 0, 0},
    PictureCase{SS_SUNKEN, 0, 1},
    PictureCase{0, WS_EX_CLIENTEDGE, 2}
));

TEST_F(StaticTest, MissingPictureLeavesThePlaceEmpty) {
    DialogItemTemplate item{60, "Static", "", 5, 5, 40, 20, SS_BITMAP};
    item.resourceId = 0x7A02;  // not registered
    RecordingDialog* dlg = MakeDialog({item});
    ASSERT_NE(dlg, nullptr);
    auto* picture = dynamic_cast<CStatic*>(dlg->GetDlgItem(60));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetBitmap(), nullptr);
    EXPECT_EQ(PixelOf(picture, 3, 3), GetSysColor(COLOR_BTNFACE));
}

TEST_F(StaticTest, OnlyNotifyingStaticsTakeClicks) {
    RecordingDialog* dlg = MakeDialog({
        DialogItemTemplate{61, "Static", "plain", 5, 5, 40, 8, SS_LEFT},
        DialogItemTemplate{62, "Static", "notify", 5, 20, 40, 8, SS_LEFT | SS_NOTIFY},
    });
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetDlgItem(61)->SendMessage(WM_NCHITTEST), HTTRANSPARENT);
    EXPECT_EQ(dlg->GetDlgItem(62)->SendMessage(WM_NCHITTEST), HTCLIENT);
    Click(dlg->GetDlgItem(61));
    Click(dlg->GetDlgItem(62));
    EXPECT_EQ(dlg->CountCommands(61, STN_CLICKED), 0);
    EXPECT_EQ(dlg->CountCommands(62, STN_CLICKED), 1);
}

TEST_F(StaticTest, OneLineLabelKeepsItsLastWordInsteadOfWrappingItAway) {
    // "last" would wrap onto a second line, hidden below a label one line high.
    RecordingDialog* dlg = MakeDialog({
        DialogItemTemplate{64, "Static", "wwwwwwwwww lastlastlast", 5, 5, 80, 8, SS_LEFT},
        DialogItemTemplate{65, "Static", "wwwwwwwwww lastlastlast", 5, 20, 80, 20, SS_LEFT},
    });
    ASSERT_NE(dlg, nullptr);
    auto inkInRightPart = [&](CWnd* label, int rows) {
        CRect r;
        label->GetClientRect(&r);
        int n = 0;
        for (int y = 0; y < rows; ++y)
            for (int x = r.Width() * 3 / 4; x < r.Width(); ++x) n += GetRValue(PixelOf(label, x, y)) < 100;
        return n;
    };
    EXPECT_GT(inkInRightPart(dlg->GetDlgItem(64), 13), 0);
    // A taller label still wraps: its first line ends before the last word.
    EXPECT_EQ(inkInRightPart(dlg->GetDlgItem(65), 13), 0);
}

TEST_F(StaticTest, ShapesFillWithTheirSystemColours) {
    struct ShapeCase {
        DWORD style;
        COLORREF centre, corner;
    };
    const ShapeCase cases[] = {
        {SS_BLACKRECT, RGB(0, 0, 0), RGB(0, 0, 0)},
        {SS_GRAYRECT, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW)},
        {SS_WHITERECT, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOW)},
        {SS_BLACKFRAME, GetSysColor(COLOR_BTNFACE), RGB(0, 0, 0)},
        {SS_ETCHEDFRAME, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW)},
    };
    for (const ShapeCase& c : cases) {
        RecordingDialog* dlg = MakeDialog({DialogItemTemplate{63, "Static", "", 5, 5, 20, 20, c.style}});
        ASSERT_NE(dlg, nullptr);
        CWnd* shape = dlg->GetDlgItem(63);
        EXPECT_EQ(PixelOf(shape, 10, 10), c.centre) << "style " << c.style;
        EXPECT_EQ(PixelOf(shape, 0, 0), c.corner) << "style " << c.style;
        TearDown();
        SetUp();
    }
}

}  // namespace
