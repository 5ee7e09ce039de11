// The page rasterizer and the preview pane.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "../dialog/TempFolder.h"
#include "PdfFixture.h"
#include "platform/CDialog.h"
#include "platform/Shell.h"
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
