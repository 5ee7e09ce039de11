#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class ComponentImage;
class ComponentStream;

// JPEG 2000 decoding through OpenJPEG: JP2 files (recognised by their
// signature box) and bare code streams (recognised by the start of code
// stream and size markers).
class Jpeg2000ComponentCodec {
public:
    static bool MatchesJp2(const uint8_t* head, size_t count);
    static bool MatchesCodestream(const uint8_t* head, size_t count);
    static std::unique_ptr<ComponentImage> DecodeJp2(ComponentStream& stream, uint64_t byteLimit,
                                                     std::string* error);
    static std::unique_ptr<ComponentImage> DecodeCodestream(ComponentStream& stream,
                                                            uint64_t byteLimit,
                                                            std::string* error);
};
