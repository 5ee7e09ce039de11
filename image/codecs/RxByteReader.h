#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class RxFile;

// Buffered little-endian reading over an RxFile for the codecs. Reading ahead
// in blocks keeps the per-byte cost of run-length and LZW data low; the bytes
// read ahead but not used are handed back (the file is sought to the logical
// position) when the reader goes away, so the next reader starts where this one
// stopped.
class RxByteReader {
public:
    explicit RxByteReader(RxFile* file);
    ~RxByteReader();
    RxByteReader(const RxByteReader&) = delete;
    RxByteReader& operator=(const RxByteReader&) = delete;

    // Next byte, or -1 at the end of the file.
    int GetByte() {
        if (position < end) return buffer[position++];
        return GetByteSlow();
    }
    // All n bytes, or false when the file ends first.
    bool Read(void* target, size_t n);
    // As many of n bytes as there are; returns the count.
    size_t ReadSome(void* target, size_t n);
    bool Skip(uint64_t n);
    // Absolute position in the file.
    bool SeekTo(int64_t offset);
    int64_t Tell() const { return bufferStart + int64_t(position); }
    // Total size of the file, or -1 when unknown.
    int64_t FileSize() const;

    static uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
    static uint32_t Le32(const uint8_t* p) {
        return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    }

private:
    int GetByteSlow();
    bool Fill();

    RxFile* file;
    std::vector<uint8_t> buffer;
    size_t position = 0;
    size_t end = 0;
    int64_t bufferStart = 0;
    bool atEnd = false;
    mutable int64_t cachedSize = -2;
};
