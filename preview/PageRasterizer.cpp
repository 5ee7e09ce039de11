#include "preview/PageRasterizer.h"
#include "preview/BoundedSplashOutputDev.h"

#include <PDFDoc.h>
#include <Catalog.h>
#include <GlobalParams.h>
#include <Page.h>
#include <goo/GooString.h>
#include <splash/SplashBitmap.h>

#include <cmath>
#include <vector>

PageRasterizer::PageRasterizer() = default;

PageRasterizer::~PageRasterizer() { ReleaseDocument(); }

void PageRasterizer::ReleaseDocument() {
    outputDevice_.reset();
    document_.reset();
    globalParams.reset();
}

std::string PageRasterizer::PageImagePath(const std::string& tempDir, int page) {
    return tempDir + "ATemp" + std::to_string(page) + ".ppm";
}

int PageRasterizer::FitResolution(double x1, double y1, double x2, double y2, int rotation,
                                  const RECT& drawRect) {
    // Whole points, as the page's box is read.
    double width = std::trunc(x2 - x1);
    double height = std::trunc(y2 - y1);
    const double rectWidth = double(drawRect.right) - drawRect.left;
    const double rectHeight = double(drawRect.bottom) - drawRect.top;
    if (!(width > 0) || !(height > 0) || !(rectWidth > 0) || !(rectHeight > 0))
        return kFallbackResolution;
    double aspect = width / height;
    if (rotation == 90 || rotation == 270) {
        aspect = 1 / aspect;
        std::swap(width, height);
    }
    const double pointsPerPixel = aspect > rectWidth / rectHeight ? width / rectWidth : height / rectHeight;
    const double dpi = std::trunc(90 / pointsPerPixel);
    if (!(dpi >= 1)) return 1;
    return dpi > 100000 ? 100000 : int(dpi);
}

int PageRasterizer::FitResolutionOf(int page, const RECT& drawRect) const {
    Page* pdfPage = document_->getPage(page);
    if (!pdfPage) return kFallbackResolution;
    const PDFRectangle* box = pdfPage->getMediaBox();
    return FitResolution(box->x1, box->y1, box->x2, box->y2, document_->getPageRotate(page), drawRect);
}

bool PageRasterizer::OpenAndRender(const std::string& path, int page, const RECT& drawRect,
                                   const std::string& imagePath, int& pageCount) {
    ReleaseDocument();
    globalParams = std::make_unique<GlobalParams>();
    globalParams->setupBaseFonts(nullptr);
    document_ = std::make_unique<PDFDoc>(std::make_unique<GooString>(path));
    if (!document_->isOk()) {
        ReleaseDocument();
        return false;
    }
    pageCount = document_->getNumPages();
    SplashColor paper = {255, 255, 255};
    outputDevice_ = std::make_unique<BoundedSplashOutputDev>(splashModeRGB8, 1, false, paper, true);
    outputDevice_->startDoc(document_.get());
    if (page < 1 || page > pageCount || !Render(page, drawRect, imagePath)) {
        ReleaseDocument();
        return false;
    }
    return true;
}

bool PageRasterizer::Render(int page, const RECT& drawRect, const std::string& imagePath) {
    if (!document_ || page < 1 || page > document_->getNumPages()) return false;
    const int dpi = FitResolutionOf(page, drawRect);
    document_->displayPage(outputDevice_.get(), page, dpi, dpi, 0, false, true, false);
    SplashBitmap* bitmap = outputDevice_->getBitmap();
    if (!bitmap) return false;
    std::vector<char> name(imagePath.begin(), imagePath.end());
    name.push_back('\0');
    // A file that cannot be written is noticed by the pane, which then
    // keeps its previous picture.
    bitmap->writePNMFile(name.data());
    return true;
}

std::optional<PageRasterizer::ObjectRef> PageRasterizer::PageReference(int page) const {
    if (!document_ || page < 1 || page > document_->getNumPages()) return std::nullopt;
    const Ref* ref = document_->getCatalog()->getPageRef(page);
    if (!ref) return std::nullopt;
    return ObjectRef{ref->num, ref->gen};
}
