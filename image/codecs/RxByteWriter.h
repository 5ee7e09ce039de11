#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class RxFile;

// Buffered little-endian writing to an RxFile for the encoders. A failed write
// is remembered; Finish reports whether every byte reached the file.
class RxByteWriter {
public:
    explicit RxByteWriter(RxFile* file);
    RxByteWriter(const RxByteWriter&) = delete;
    RxByteWriter& operator=(const RxByteWriter&) = delete;

    void Put(uint8_t byte) {
        buffer.push_back(byte);
        if (buffer.size() >= kBlock) Drain();
    }
    void Put16(uint16_t value) {
        Put(uint8_t(value));
        Put(uint8_t(value >> 8));
    }
    void Put32(uint32_t value) {
        Put16(uint16_t(value));
        Put16(uint16_t(value >> 16));
    }
    void Write(const void* data, size_t n);
    // Writes what is buffered and flushes the file; false when anything failed.
    bool Finish();
    bool Failed() const { return failed; }

private:
    static constexpr size_t kBlock = 64 * 1024;
    void Drain();

    RxFile* file;
    std::vector<uint8_t> buffer;
    bool failed = false;
};
