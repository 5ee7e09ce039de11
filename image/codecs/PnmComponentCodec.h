#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class ComponentImage;
class ComponentStream;

// Portable any-map reading (P1 to P6: bitmaps, grey maps and pixmaps, in ASCII
// and binary form, maximum sample values 1 to 65535, comments and any white
// space between header fields) and writing (binary grey map or pixmap).
class PnmComponentCodec {
public:
    static bool Matches(const uint8_t* head, size_t count);
    static std::unique_ptr<ComponentImage> Decode(ComponentStream& stream, uint64_t byteLimit,
                                                  std::string* error);
    static bool Encode(const ComponentImage& image, ComponentStream& stream, const char* options,
                       std::string* error);
};
