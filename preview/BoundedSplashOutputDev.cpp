#include "preview/BoundedSplashOutputDev.h"

bool BoundedSplashOutputDev::Drawable(int width, int height) {
    return width > 0 && height > 0 && uint64_t(width) * uint64_t(height) <= kMaxImagePixels;
}

void BoundedSplashOutputDev::drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height,
                                           bool invert, bool interpolate, bool inlineImg) {
    if (Drawable(width, height))
        SplashOutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
}

void BoundedSplashOutputDev::drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                       GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                                       bool inlineImg) {
    if (Drawable(width, height))
        SplashOutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
}

void BoundedSplashOutputDev::drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                             GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                             int maskWidth, int maskHeight, bool maskInvert,
                                             bool maskInterpolate) {
    if (Drawable(width, height) && Drawable(maskWidth, maskHeight))
        SplashOutputDev::drawMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr, maskWidth,
                                         maskHeight, maskInvert, maskInterpolate);
}

void BoundedSplashOutputDev::drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                                                 GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                                                 int maskWidth, int maskHeight, GfxImageColorMap* maskColorMap,
                                                 bool maskInterpolate) {
    if (Drawable(width, height) && Drawable(maskWidth, maskHeight))
        SplashOutputDev::drawSoftMaskedImage(state, ref, str, width, height, colorMap, interpolate, maskStr,
                                             maskWidth, maskHeight, maskColorMap, maskInterpolate);
}
