#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/WinTypes.h"

class PDFDoc;
class SplashOutputDev;

// Renders pages of one open PDF document into PPM files fitted to a
// rectangle. Owns the document, its raster output device and the PDF
// library's process-wide settings object while a document is open.
class PageRasterizer {
public:
    struct ObjectRef {
        int number;
        int generation;
    };

    PageRasterizer();
    ~PageRasterizer();
    PageRasterizer(const PageRasterizer&) = delete;
    PageRasterizer& operator=(const PageRasterizer&) = delete;

    // Opens `path` and, when 1 <= page <= its page count, renders that page
    // fitted to drawRect into imagePath and keeps the document open.
    // pageCount is written whenever the file is a readable PDF. Returns
    // whether the page was rendered; on false nothing stays open.
    bool OpenAndRender(const std::string& path, int page, const RECT& drawRect,
                       const std::string& imagePath, int& pageCount);
    // Renders a page of the open document into imagePath; false when none is
    // open or the page is not one of its pages. A file that cannot be written
    // is not reported: the pane that loads it keeps its previous picture.
    bool Render(int page, const RECT& drawRect, const std::string& imagePath);
    bool IsOpen() const { return document_ != nullptr; }
    // The object holding page n of the open document.
    std::optional<ObjectRef> PageReference(int page) const;
    void ReleaseDocument();

    // The paper size the library assumes, in points.
    static constexpr int kPaperWidth = 612;
    static constexpr int kPaperHeight = 792;

    // Dots per inch at which a page with this media box and rotation fills
    // drawRect on its tighter side with a factor of 90 (about 1.25 times the
    // rectangle). Always positive: degenerate boxes or rectangles fall back
    // to kFallbackResolution.
    static int FitResolution(double x1, double y1, double x2, double y2, int rotation, const RECT& drawRect);
    static constexpr int kFallbackResolution = 36;

    // tempDir + "ATemp<n>.ppm".
    static std::string PageImagePath(const std::string& tempDir, int page);

private:
    int FitResolutionOf(int page, const RECT& drawRect) const;

    std::unique_ptr<PDFDoc> document_;
    std::unique_ptr<SplashOutputDev> outputDevice_;
};
