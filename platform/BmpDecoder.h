#pragma once

#include <cstddef>
#include <string>

#include "platform/Surface.h"

// Decodes a .bmp file (file header + packed DIB) into 32-bit pixels.
class BmpDecoder {
public:
    static bool Decode(const void* data, size_t size, Surface* out, std::string* error);
};
