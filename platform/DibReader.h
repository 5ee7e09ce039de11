#pragma once

#include <cstddef>
#include <string>

#include "platform/Surface.h"

// Decodes a packed device-independent bitmap: header (40 bytes or the
// older 12-byte core header, or later versions), palette and pixel rows of
// 1, 4, 8, 16, 24 or 32 bits, uncompressed, bit fields, or RLE4/RLE8.
// Every read is bounded by the sizes given; hostile input gives an error,
// never an out-of-range access.
class DibReader {
public:
    struct Info {
        int width = 0;
        int height = 0;     // always positive
        bool topDown = false;
        int bitCount = 0;
        DWORD compression = 0;
        int paletteSize = 0;        // entries present
        size_t headerSize = 0;      // header + masks + palette
        size_t rowBytes = 0;        // uncompressed row size
        RGBQUAD palette[256] = {};
        DWORD masks[4] = {};        // red, green, blue, alpha for bit fields and 16/32 bpp
    };

    // Reads the header and palette at `header` (bounded by headerSize).
    // heightDivisor 2 reads icon images, whose header counts the mask rows.
    static bool ReadInfo(const void* header, size_t headerSize, Info* info, std::string* error,
                         int heightDivisor = 1);
    // Decodes `rows` (bounded by rowsSize) into out (width x height,
    // top-down, opaque). Rows missing at the end of the data are an error.
    static bool DecodePixels(const Info& info, const void* rows, size_t rowsSize, Surface* out,
                             std::string* error);
    // Header, palette and pixels in one block.
    static bool Decode(const void* dib, size_t size, Surface* out, std::string* error);
    // Size in bytes of the uncompressed rows; false on overflow.
    static bool ImageSize(int width, int height, int bitCount, size_t* bytes);
};
