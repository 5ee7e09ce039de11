#include "image/RxMemFile.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

RxMemFile::RxMemFile(unsigned char* block, uint32_t length)
    : buffer(block),
      size(length),
      freeOnClose(block == nullptr),
      position(0),
      edge(int32_t(length)) {}

RxMemFile::~RxMemFile() {
    Close();
}

RxMemFile::RxMemFile(const RxMemFile& other)
    : RxFile(other),
      buffer(other.buffer),
      size(other.size),
      freeOnClose(false),
      position(other.position),
      edge(other.edge) {}

RxMemFile& RxMemFile::operator=(const RxMemFile& other) {
    if (this == &other) return *this;
    Close();
    buffer = other.buffer;
    size = other.size;
    freeOnClose = false;
    position = other.position;
    edge = other.edge;
    return *this;
}

void RxMemFile::ClearGapBeforePosition() {
    // Bytes between the old end and a position sought beyond it become
    // zeros rather than whatever the allocation held.
    if (uint32_t(position) > size) std::memset(buffer + size, 0, uint32_t(position) - size);
}

bool RxMemFile::Open() {
    if (buffer) return false;
    position = 0;
    size = 0;
    edge = 0;
    // A zero-byte request may legitimately give none; ask for one byte so
    // that an open file always has a block.
    buffer = static_cast<unsigned char*>(std::malloc(1));
    freeOnClose = true;
    return buffer != nullptr;
}

unsigned char* RxMemFile::GetBuffer() {
    freeOnClose = false;
    return buffer;
}

bool RxMemFile::Close() {
    if (buffer && freeOnClose) {
        std::free(buffer);
        buffer = nullptr;
        size = 0;
    }
    return true;
}

uint64_t RxMemFile::Read(void* destination, size_t itemSize, size_t count) {
    if (!buffer || !destination) return 0;
    if (position < 0 || uint32_t(position) > size) return 0;
    if (itemSize == 0 || count == 0) return 0;
    uint64_t wanted;
    if (__builtin_mul_overflow(uint64_t(itemSize), uint64_t(count), &wanted)) wanted = UINT64_MAX;
    uint64_t available = size - uint32_t(position);
    uint64_t n = wanted < available ? wanted : available;
    std::memcpy(destination, buffer + position, size_t(n));
    position += int32_t(n);
    return n / itemSize;
}

uint64_t RxMemFile::Write(const void* source, size_t itemSize, size_t count) {
    if (!buffer || !source) return 0;
    uint64_t n;
    if (__builtin_mul_overflow(uint64_t(itemSize), uint64_t(count), &n) || n == 0) return 0;
    if (position < 0) return 0;
    uint64_t end = uint64_t(position) + n;
    if (end > uint64_t(INT32_MAX)) return 0;
    if (!Alloc(end)) return 0;
    ClearGapBeforePosition();
    std::memcpy(buffer + position, source, size_t(n));
    position = int32_t(end);
    if (uint32_t(position) > size) size = uint32_t(position);
    return count;
}

bool RxMemFile::PutC(unsigned char c) {
    if (!buffer || position < 0 || position == INT32_MAX) return false;
    if (!Alloc(uint64_t(position) + 1)) return false;
    ClearGapBeforePosition();
    buffer[position++] = c;
    if (uint32_t(position) > size) size = uint32_t(position);
    return true;
}

int32_t RxMemFile::GetC() {
    if (Eof()) return -1;
    return buffer[position++];
}

bool RxMemFile::Seek(int32_t offset, int origin) {
    if (!buffer) return false;
    int64_t target;
    switch (origin) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = int64_t(position) + offset; break;
        case SEEK_END: target = int64_t(size) + offset; break;
        default: return false;
    }
    if (target < 0 || target > INT32_MAX) return false;
    position = int32_t(target);
    return true;
}

int32_t RxMemFile::Tell() {
    if (!buffer) return -1;
    return position;
}

int32_t RxMemFile::Size() {
    if (!buffer) return -1;
    return int32_t(size);
}

bool RxMemFile::Flush() {
    return buffer != nullptr;
}

bool RxMemFile::Eof() {
    if (!buffer) return true;
    return position < 0 || uint32_t(position) >= size;
}

int32_t RxMemFile::Error() {
    if (!buffer) return -1;
    return uint32_t(position) > size ? 1 : 0;
}

bool RxMemFile::Alloc(uint64_t n) {
    uint64_t capacity = uint32_t(edge);
    if (capacity >= n) return true;
    // The smallest multiple of the step that reaches n, or half the old
    // capacity when that is more: growth in fixed steps alone made writing a
    // large file take time in the square of its size.
    uint64_t missing = std::max(n - capacity, capacity / 2);
    uint64_t grow = (missing + kGrowStep - 1) / kGrowStep * kGrowStep;
    uint64_t newCapacity = capacity + grow;
    if (newCapacity > uint64_t(INT32_MAX)) newCapacity = std::max(n, uint64_t(INT32_MAX) / kGrowStep * kGrowStep);
    if (newCapacity > uint64_t(INT32_MAX)) return false;
    void* grown;
    if (buffer && !freeOnClose) {
        // The block is the caller's (or was handed out): leave it untouched
        // and continue in a copy of our own.
        grown = std::malloc(size_t(newCapacity));
        if (!grown) return false;
        std::memcpy(grown, buffer, size_t(capacity));
    } else {
        grown = std::realloc(buffer, size_t(newCapacity));
        if (!grown) return false;
    }
    buffer = static_cast<unsigned char*>(grown);
    freeOnClose = true;
    edge = int32_t(newCapacity);
    return true;
}

void RxMemFile::Free() {
    Close();
}
