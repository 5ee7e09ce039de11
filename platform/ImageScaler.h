#pragma once

#include <memory>

#include "platform/Icon.h"
#include "platform/Surface.h"

// Resizes artwork for a display scale no picture was drawn for. Both ways
// work on exact pixel areas: a target pixel covers a rectangle of the
// source, and an enlargement by a whole factor repeats every pixel exactly,
// so the result is as sharp as the source allows.
class ImageScaler {
public:
    // Each target pixel is the average of the source area it covers,
    // weighted by alpha so that transparent pixels lend no colour. For
    // pictures drawn with smooth edges.
    static bool Average(const Surface& source, int width, int height, Surface* out);
    // Each target pixel takes the one source colour covering most of its
    // area: no new colour appears, so key colours (a magenta background, a
    // white mask colour) and pixel-art edges stay exact.
    static bool Dominant(const Surface& source, int width, int height, Surface* out);
    // An icon or cursor at width x height: alpha pictures averaged, mask
    // pictures by dominant colour; the hot spot follows the picture.
    static std::unique_ptr<Icon> ResizeIcon(const Icon& icon, int width, int height);
};
