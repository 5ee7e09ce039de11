#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "platform/Icon.h"

// Decodes .ico and .cur files: the directory, then the chosen image as a
// DIB with its AND mask (1/4/8/24/32 bpp; 32 bpp with alpha). Cursors take
// their hot spot from the directory, icons get the centre.
class IconDecoder {
public:
    // Picks the image that makes the best picture at wantWidth x wantHeight
    // (0 x 0: 32 x 32) and returns it at its own size: that size, else one
    // the wanted size is a whole multiple of, else the nearest larger one,
    // else the largest; more colours first among equal sizes.
    static std::unique_ptr<Icon> Decode(const void* data, size_t size, int wantWidth, int wantHeight,
                                        std::string* error);
    // The same image at exactly width x height (at most 1024 each), resized
    // when the file has no image of that size; a cursor's hot spot moves
    // with the picture.
    static std::unique_ptr<Icon> DecodeAtSize(const void* data, size_t size, int width, int height,
                                              std::string* error);
};
