#pragma once

#include <cstdint>

#include <SplashOutputDev.h>

// The raster output device of the page preview, which leaves out images
// whose pixel count is beyond reason. The library reads every pixel of an
// image to scale it down, even when its data ends after a few bytes, so one
// image claiming 100000 x 100000 pixels would keep the window busy for
// minutes; the preview shows the page without it instead.
class BoundedSplashOutputDev : public SplashOutputDev {
public:
    // About a 16384 x 16384 picture: a page scanned at 600 dpi on A3 paper is
    // a quarter of it.
    static constexpr uint64_t kMaxImagePixels = uint64_t(1) << 28;

    using SplashOutputDev::SplashOutputDev;

    static bool Drawable(int width, int height);

    void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                       bool interpolate, bool inlineImg) override;
    void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                   bool interpolate, const int* maskColors, bool inlineImg) override;
    void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                         GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                         int maskHeight, bool maskInvert, bool maskInterpolate) override;
    void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                             int maskHeight, GfxImageColorMap* maskColorMap, bool maskInterpolate) override;
};
