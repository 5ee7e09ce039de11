#pragma once

#include <string>

#include "image/RxImage.h"
#include "platform/CRect.h"
#include "platform/CStatic.h"

// The preview pane: paints the page image fitted and centred on grey inside
// a grey frame with a black shadow, or a "Preview" placeholder before the
// first image.
class CDrawImageStatic : public CStatic {
public:
    CDrawImageStatic();

    // The rectangle the pane draws an image into, in client pixels.
    CRect GetDrawRect() const;
    // Loads an image file (any format, found by content) and repaints;
    // keeps the previous picture when the file cannot be loaded.
    void LoadPageImage(const std::string& path);

    bool IsLoaded() const { return loaded_ != 0; }
    const RxImage& PageImage() const { return pageImage_; }

    // The proportions images are fitted to; the rasterizer sets them to the
    // paper size before it renders a new document's first page.
    LONG refWidth = 200;
    LONG refHeight = 400;

    // Where an image of the reference proportions goes in drawRect: fitted
    // and centred, with the same offset taken from both sides.
    static CRect FitRect(const CRect& drawRect, LONG refWidth, LONG refHeight);

protected:
    void OnPaint();

    DECLARE_MESSAGE_MAP()

private:
    // On the 96-dpi layout; the screen's scale applies to it.
    static constexpr int kMargin = 5;

    void DrawFrame(CDC& dc, LONG width, LONG height);
    void DrawShadow(CDC& dc, const CRect& image, LONG width, LONG height);
    void DrawPlaceholder(CDC& dc, const CRect& image);

    RxImage pageImage_;
    int loaded_ = 0;
};
