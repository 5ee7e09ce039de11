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
    // Picks the image nearest to wantWidth x wantHeight (0 x 0: the
    // largest not above 32 x 32, else the smallest), preferring more colours.
    static std::unique_ptr<Icon> Decode(const void* data, size_t size, int wantWidth, int wantHeight,
                                        std::string* error);
};
