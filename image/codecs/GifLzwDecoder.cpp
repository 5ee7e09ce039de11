#include "image/codecs/GifLzwDecoder.h"

#include "image/codecs/RxByteReader.h"

GifLzwDecoder::GifLzwDecoder(RxByteReader& in, int minCodeSize)
    : in(in), minCodeSize(minCodeSize), clearCode(1 << minCodeSize), endCode(clearCode + 1) {
    for (int i = 0; i < clearCode; ++i) {
        prefix[i] = 0;
        suffix[i] = uint8_t(i);
        firstByte[i] = uint8_t(i);
        length[i] = 1;
    }
    init_exp();
}

// Back to the start of a table: after the clear code.
void GifLzwDecoder::init_exp() {
    codeSize = minCodeSize + 1;
    nextCode = clearCode + 2;
    previous = -1;
}

// Next data byte from the sub-blocks, -1 when the data ended.
int GifLzwDecoder::get_byte() {
    if (dataEnded) return -1;
    if (blockLeft == 0) {
        int size = in.GetByte();
        if (size <= 0) {
            dataEnded = true;
            return -1;
        }
        blockLeft = size;
    }
    int c = in.GetByte();
    if (c < 0) {
        dataEnded = true;
        return -1;
    }
    --blockLeft;
    return c;
}

int GifLzwDecoder::get_next_code() {
    while (bitCount < codeSize) {
        int c = get_byte();
        if (c < 0) return -1;
        bitBuffer |= uint32_t(c) << bitCount;
        bitCount += 8;
    }
    int code = int(bitBuffer & ((1u << codeSize) - 1));
    bitBuffer >>= codeSize;
    bitCount -= codeSize;
    return code;
}

// Writes the string of code at out[produced]; a string that would pass the
// end of the picture is cut. Returns the string's full length.
size_t GifLzwDecoder::out_line(int code, uint8_t* out, size_t produced, size_t count) {
    size_t n = length[code];
    size_t last = produced + n - 1;
    while (code >= clearCode) {
        if (last < count) out[last] = suffix[code];
        --last;
        code = prefix[code];
    }
    if (last < count) out[last] = uint8_t(code);
    return n;
}

size_t GifLzwDecoder::Decode(uint8_t* out, size_t count) {
    size_t produced = 0;
    while (produced < count) {
        int code = get_next_code();
        if (code < 0) break;
        if (code == clearCode) {
            init_exp();
            continue;
        }
        if (code == endCode) {
            // Nothing may follow the end code but the terminator.
            SkipRest();
            break;
        }
        if (previous < 0) {
            if (code >= clearCode) code = 0;
            out[produced++] = uint8_t(code);
            previous = code;
            continue;
        }
        uint8_t first;
        if (code < nextCode) {
            first = firstByte[code];
            produced += out_line(code, out, produced, count);
        } else if (code == nextCode && nextCode < kMaxCodes) {
            first = firstByte[previous];
            produced += out_line(previous, out, produced, count);
            if (produced < count) out[produced] = first;
            ++produced;
        } else {
            throw "corrupted GIF: LZW code out of range";
        }
        if (nextCode < kMaxCodes) {
            prefix[nextCode] = uint16_t(previous);
            suffix[nextCode] = first;
            firstByte[nextCode] = firstByte[previous];
            length[nextCode] = uint16_t(length[previous] + 1);
            ++nextCode;
            if (nextCode == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        previous = code;
    }
    return produced < count ? produced : count;
}

void GifLzwDecoder::SkipRest() {
    if (dataEnded) return;
    if (blockLeft && !in.Skip(uint64_t(blockLeft))) {
        dataEnded = true;
        return;
    }
    blockLeft = 0;
    for (;;) {
        int size = in.GetByte();
        if (size <= 0 || !in.Skip(uint64_t(size))) break;
    }
    dataEnded = true;
}
