// The page rasterizer and the preview pane.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

#include "../dialog/TempFolder.h"
#include "PdfFixture.h"
#include "platform/CDialog.h"
#include "platform/DisplayScale.h"
#include "platform/Shell.h"
#include "platform/WindowManager.h"
#include "preview/CDrawImageStatic.h"
#include "preview/PageRasterizer.h"

namespace {

const RECT kDrawRect{5, 5, 290, 390};

TEST(FitResolutionTest, FitsThePageOnItsTighterSide) {
    struct Case {
        const char* page;
        double width, height;
        int rotation, dpi;
    } cases[] = {
        {"Letter", 612, 792, 0, 41},
        {"Letter turned", 612, 792, 90, 32},
        {"Letter turned back", 612, 792, 270, 32},
        {"Letter upside down", 612, 792, 180, 41},
        {"A4 landscape", 1190.55, 841.89, 0, 21},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageRasterizer::FitResolution(0, 0, c.width, c.height, c.rotation, kDrawRect), c.dpi)
            << c.page;
}

TEST(FitResolutionTest, DegenerateBoxesAndRectanglesStayPositiveAndFinite) {
    const RECT empty{5, 5, 5, 390};
    EXPECT_EQ(PageRasterizer::FitResolution(0, 0, 612, 792, 0, empty), PageRasterizer::kFallbackResolution);
    EXPECT_EQ(PageRasterizer::FitResolution(0, 0, 0, 792, 0, kDrawRect), PageRasterizer::kFallbackResolution);
    EXPECT_EQ(PageRasterizer::FitResolution(0, 0, 612, 0.5, 0, kDrawRect), PageRasterizer::kFallbackResolution);
    EXPECT_GE(PageRasterizer::FitResolution(0, 0, 14400, 14400, 0, RECT{0, 0, 2, 2}), 1);
}

TEST(PreviewPaneTest, FitsReferenceProportionsIntoTheDrawRectangle) {
    const CRect draw(5, 5, 290, 390);
    EXPECT_EQ(CDrawImageStatic::FitRect(draw, 200, 400), CRect(51, 5, 244, 390));
    EXPECT_EQ(CDrawImageStatic::FitRect(draw, 349, 451), CRect(5, 13, 290, 382));
    const CRect landscape = CDrawImageStatic::FitRect(draw, 800, 400);
    EXPECT_EQ(landscape.left, 5);
    EXPECT_EQ(landscape.right, 290);
    EXPECT_EQ(landscape.top - draw.top, draw.bottom - landscape.bottom) << "equal grey bands";
}

// A pane of a given client size inside a plain dialog.
struct PaneFixture : ::testing::Test {
    DialogTemplate layout{9998, "Pane", WS_POPUP | WS_CAPTION, 0, 0, 0, 250, 300, "MS Sans Serif", 8, {}};
    CDialog dialog;
    CDrawImageStatic pane;
    TempFolder folder;

    void SetUp() override {
        ASSERT_TRUE(dialog.CreateIndirect(&layout, nullptr));
        ASSERT_TRUE(pane.Create("", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(0, 0, 300, 400), &dialog, 1030));
    }
    void TearDown() override { dialog.DestroyWindow(); }
};

TEST_F(PaneFixture, DrawRectangleKeepsAMargin) { EXPECT_EQ(pane.GetDrawRect(), CRect(5, 5, 290, 390)); }

TEST_F(PaneFixture, FailedLoadKeepsThePreviousPicture) {
    const std::string ppm = folder.File("page.ppm");
    {
        std::ofstream out(ppm, std::ios::binary);
        out << "P6\n349 451\n255\n" << std::string(349 * 451 * 3, '\x40');
    }
    pane.LoadPageImage(folder.File("missing.ppm"));
    EXPECT_FALSE(pane.IsLoaded());
    pane.LoadPageImage(ppm);
    ASSERT_TRUE(pane.IsLoaded());
    EXPECT_EQ(pane.refWidth, 349);
    EXPECT_EQ(pane.refHeight, 451);
    std::ofstream(folder.File("broken.ppm"), std::ios::binary) << "P6\n10 10\n255\nxx";
    pane.LoadPageImage(folder.File("broken.ppm"));
    EXPECT_EQ(pane.PageImage().GetWidth(), 349);
    EXPECT_EQ(pane.refWidth, 349);
}

struct RasterizerTest : ::testing::Test {
    TempFolder folder;
    PageRasterizer rasterizer;
    std::string image = folder.File("ATemp1.ppm");
    int pageCount = -7;
};

TEST_F(RasterizerTest, RendersPageOneAsAPpmFittedToTheRectangle) {
    WritePdf(folder.File("three.pdf"), {{}, {}, {}});
    ASSERT_TRUE(rasterizer.OpenAndRender(folder.File("three.pdf"), 1, kDrawRect, image, pageCount));
    EXPECT_EQ(pageCount, 3);
    std::ifstream in(image, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(maxValue, 255);
    // 41 dpi: 612 x 792 points give 348.5 x 451 pixels.
    EXPECT_NEAR(width, 349, 1);
    EXPECT_NEAR(height, 451, 1);
    EXPECT_TRUE(rasterizer.IsOpen());
}

TEST_F(RasterizerTest, PageReferencesAreTheObjectsOfThePages) {
    WritePdf(folder.File("three.pdf"), {{}, {}, {}});
    ASSERT_TRUE(rasterizer.OpenAndRender(folder.File("three.pdf"), 1, kDrawRect, image, pageCount));
    // Catalog 1, pages 2, then a content stream and a page object per page.
    for (int page = 1; page <= 3; ++page) {
        auto ref = rasterizer.PageReference(page);
        ASSERT_TRUE(ref.has_value()) << page;
        EXPECT_EQ(ref->number, 2 + 2 * page) << page;
        EXPECT_EQ(ref->generation, 0);
    }
    EXPECT_FALSE(rasterizer.PageReference(0).has_value());
    EXPECT_FALSE(rasterizer.PageReference(4).has_value());
}

TEST_F(RasterizerTest, FilesThatAreNoReadablePdfLeaveNothingOpen) {
    std::ofstream(folder.File("text.pdf")) << "just some text, not a PDF\n";
    std::string truncated = MakePdf({{}, {}});
    std::ofstream(folder.File("truncated.pdf"), std::ios::binary) << truncated.substr(0, truncated.size() / 3);
    for (const char* name : {"missing.pdf", "text.pdf", "truncated.pdf"}) {
        pageCount = -7;
        EXPECT_FALSE(rasterizer.OpenAndRender(folder.File(name), 1, kDrawRect, image, pageCount)) << name;
        EXPECT_FALSE(rasterizer.IsOpen()) << name;
    }
}

TEST_F(RasterizerTest, EncryptedPdfNeedsAPasswordAndIsRefused) {
    WritePdf(folder.File("plain.pdf"), {{}});
    const std::string command = "qpdf --encrypt secret owner 256 -- " + folder.File("plain.pdf") + " " +
                                folder.File("locked.pdf") + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << "qpdf is needed for this test";
    EXPECT_FALSE(rasterizer.OpenAndRender(folder.File("locked.pdf"), 1, kDrawRect, image, pageCount));
    EXPECT_EQ(pageCount, -7) << "the page count is not written";
}

TEST_F(RasterizerTest, RotatedAndCroppedPagesChangeTheImageSize) {
    PdfPageSpec turned;
    turned.rotate = 90;
    PdfPageSpec cropped;
    cropped.cropWidth = 306;
    cropped.cropHeight = 396;
    WritePdf(folder.File("pages.pdf"), {turned, cropped});
    ASSERT_TRUE(rasterizer.OpenAndRender(folder.File("pages.pdf"), 1, kDrawRect, image, pageCount));
    RxImage picture;
    ASSERT_TRUE(picture.Load(image.c_str(), 0)) << picture.GetLastError();
    EXPECT_GT(picture.GetWidth(), picture.GetHeight()) << "turned by its rotation";
    ASSERT_TRUE(rasterizer.Render(2, kDrawRect, image));
    ASSERT_TRUE(picture.Load(image.c_str(), 0));
    EXPECT_NEAR(picture.GetWidth(), 174, 1) << "half the media box at 41 dpi";
}

}  // namespace

namespace {

// ---- on a screen of more pixels per inch ----

// What the pane shows, read from its pixels: the frame's and the shadow's
// widths along the middle row and column, the placeholder's letters, and,
// with a page loaded, the page's place and the rendered image's size.
struct PaneLook {
    int frameLeft = 0, frameTop = 0, frameRight = 0, frameBottom = 0;
    int shadowRight = 0, shadowBottom = 0;
    CRect placeholder;
    CRect page;
    int pageShadow = 0;
    int imageWidth = 0, imageHeight = 0;
};

int RunLength(const CDialog& dialog, POINT from, POINT step, COLORREF colour) {
    int n = 0;
    for (POINT p = from; p.x >= 0 && p.y >= 0 && p.x < dialog.GetSurface()->Width() &&
                         p.y < dialog.GetSurface()->Height() &&
                         Surface::ToColorRef(dialog.GetSurface()->At(p.x, p.y)) == colour;
         p.x += step.x, p.y += step.y)
        ++n;
    return n;
}

CRect ColourBox(const CDialog& dialog, const CRect& area, bool (*match)(COLORREF)) {
    CRect box(area.right, area.bottom, area.left, area.top);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (match(Surface::ToColorRef(dialog.GetSurface()->At(x, y))))
                box = CRect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                            std::max<int>(box.bottom, y + 1));
    return box;
}

PaneLook LookAt(int percent, const std::string& pdf, const std::string& image) {
    DisplayScale::SetPercent(percent);
    DialogTemplate layout{9997, "Pane", WS_POPUP | WS_CAPTION, 0, 0, 0, 250, 300, "MS Sans Serif", 8, {}};
    CDialog dialog;
    CDrawImageStatic pane;
    PaneLook look;
    if (!dialog.CreateIndirect(&layout, nullptr)) return look;
    const int w = DisplayScale::Scale(300), h = DisplayScale::Scale(400);
    pane.Create("", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(0, 0, w, h), &dialog, 1030);
    const COLORREF grey = RGB(128, 128, 128), black = RGB(0, 0, 0);
    auto paint = [&] {
        dialog.ShowWindow(SW_SHOW);
        WindowManager::Instance().PaintAll();
    };
    paint();
    look.frameLeft = RunLength(dialog, {0, h / 2}, {1, 0}, grey);
    look.frameTop = RunLength(dialog, {w / 2, 0}, {0, 1}, grey);
    look.frameRight = RunLength(dialog, {w - 1, h / 2}, {-1, 0}, grey);
    look.frameBottom = RunLength(dialog, {w / 2, h - 1}, {0, -1}, grey);
    look.shadowRight = RunLength(dialog, {w - 1 - look.frameRight, h / 2}, {-1, 0}, black);
    look.shadowBottom = RunLength(dialog, {w / 2, h - 1 - look.frameBottom}, {0, -1}, black);
    look.placeholder = ColourBox(dialog, CRect(0, 0, w, h), [](COLORREF c) { return c == RGB(255, 230, 217); });

    PageRasterizer rasterizer;
    int pageCount = 0;
    if (!rasterizer.OpenAndRender(pdf, 1, pane.GetDrawRect(), image, pageCount)) return look;
    pane.LoadPageImage(image);
    look.imageWidth = pane.PageImage().GetWidth();
    look.imageHeight = pane.PageImage().GetHeight();
    paint();
    look.page = ColourBox(dialog, CRect(0, 0, w, h), [](COLORREF c) { return c == RGB(255, 255, 255); });
    look.pageShadow = RunLength(dialog, {int(look.page.right), int(look.page.CenterPoint().y)}, {1, 0}, black);
    dialog.DestroyWindow();
    return look;
}

struct ScaledPreviewTest : ::testing::Test {
    void TearDown() override { DisplayScale::SetPercent(100); }
    TempFolder folder;
};

TEST_F(ScaledPreviewTest, FrameShadowPlaceholderAndPageGrowInProportion) {
    WritePdf(folder.File("one.pdf"), {{}});
    PaneLook base;
    for (int percent : {100, 150, 200}) {
        SCOPED_TRACE(std::to_string(percent) + " %");
        const PaneLook look = LookAt(percent, folder.File("one.pdf"), folder.File("ATemp1.ppm"));
        ASSERT_GT(look.imageWidth, 0);
        ASSERT_FALSE(look.placeholder.IsRectEmpty());
        // Lines are whole pixels: the shadow has one width along both sides
        // and beside the page.
        EXPECT_EQ(look.shadowRight, DisplayScale::ScaleLine(2));
        EXPECT_EQ(look.shadowBottom, DisplayScale::ScaleLine(2));
        EXPECT_EQ(look.pageShadow, DisplayScale::ScaleLine(2));
        if (percent == 100) {
            base = look;
            EXPECT_EQ(base.frameLeft, 3);
            EXPECT_EQ(base.shadowRight, 2);
            continue;
        }
        const double s = percent / 100.0;
        for (auto pair : {std::make_pair(look.frameLeft, base.frameLeft), std::make_pair(look.frameTop, base.frameTop),
                          std::make_pair(look.frameRight, base.frameRight),
                          std::make_pair(look.frameBottom, base.frameBottom),
                          std::make_pair(look.shadowBottom, base.shadowBottom),
                          std::make_pair(look.pageShadow, base.pageShadow)})
            EXPECT_NEAR(pair.first, pair.second * s, 1);
        EXPECT_NEAR(look.placeholder.Height(), base.placeholder.Height() * s, base.placeholder.Height() * s * 0.15);
        EXPECT_NEAR(look.placeholder.Width(), base.placeholder.Width() * s, base.placeholder.Width() * s * 0.15);
        // The page is rendered for the screen's pixels, not stretched; its
        // resolution is a whole number of dots per inch (about 41 at 100 %).
        EXPECT_NEAR(look.imageWidth, base.imageWidth * s, base.imageWidth * s * 0.03);
        EXPECT_NEAR(look.imageHeight, base.imageHeight * s, base.imageHeight * s * 0.03);
        for (LONG CRect::*edge : {&CRect::left, &CRect::top, &CRect::right, &CRect::bottom})
            EXPECT_NEAR(look.page.*edge, base.page.*edge * s, 2);
    }
}

}  // namespace
