#pragma once

#include <cstddef>
#include <cstdint>

class RxByteReader;

// The variable-length LZW decoder of GIF image data. Reads the data
// sub-blocks that follow the minimum code size byte; codes start one bit wider
// than the minimum size and widen up to 12 bits. Corrupt data throws a text.
class GifLzwDecoder {
public:
    // minCodeSize must lie between 2 and 9.
    GifLzwDecoder(RxByteReader& in, int minCodeSize);

    // Decodes up to count pixels into out; returns how many were produced
    // before the end code or the end of the data.
    size_t Decode(uint8_t* out, size_t count);
    // Skips what is left of the data, up to and including the terminator.
    void SkipRest();

private:
    static constexpr int kMaxCodes = 4096;

    void init_exp();
    int get_byte();
    int get_next_code();
    size_t out_line(int code, uint8_t* out, size_t produced, size_t count);

    RxByteReader& in;
    int minCodeSize;
    int clearCode, endCode;
    int codeSize = 0;
    int nextCode = 0;
    int previous = -1;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    int blockLeft = 0;
    bool dataEnded = false;

    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t firstByte[kMaxCodes];
    uint16_t length[kMaxCodes];
};
