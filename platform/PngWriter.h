#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Surface.h"

// Writes a surface as an 8-bit RGB PNG (alpha dropped); used for snapshots.
class PngWriter {
public:
    static bool Write(const Surface& surface, const std::string& path, std::string* error);
    static bool Encode(const Surface& surface, std::vector<uint8_t>* png, std::string* error);
};
