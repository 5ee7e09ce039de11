#include "image/codecs/RxByteReader.h"

#include <algorithm>
#include <cstring>

#include "image/RxFile.h"

namespace {
constexpr size_t kBlock = 64 * 1024;
}

RxByteReader::RxByteReader(RxFile* file) : file(file), buffer(kBlock) {
    int32_t start = file->Tell();
    bufferStart = start < 0 ? 0 : start;
}

RxByteReader::~RxByteReader() {
    if (end > position && Tell() <= INT32_MAX) file->Seek(int32_t(Tell()), 0);
}

bool RxByteReader::Fill() {
    if (atEnd) return false;
    bufferStart += int64_t(end);
    position = end = 0;
    end = size_t(file->Read(buffer.data(), 1, buffer.size()));
    if (end == 0) atEnd = true;
    return end > 0;
}

int RxByteReader::GetByteSlow() {
    if (!Fill()) return -1;
    return buffer[position++];
}

size_t RxByteReader::ReadSome(void* target, size_t n) {
    uint8_t* out = static_cast<uint8_t*>(target);
    size_t done = 0;
    while (done < n) {
        if (position == end) {
            // Large reads go straight to the file.
            if (n - done >= buffer.size() && !atEnd) {
                bufferStart += int64_t(end);
                position = end = 0;
                size_t want = n - done;
                size_t got = size_t(file->Read(out + done, 1, want));
                bufferStart += int64_t(got);
                done += got;
                if (got < want) atEnd = true;
                break;
            }
            if (!Fill()) break;
        }
        size_t chunk = std::min(n - done, end - position);
        std::memcpy(out + done, buffer.data() + position, chunk);
        position += chunk;
        done += chunk;
    }
    return done;
}

bool RxByteReader::Read(void* target, size_t n) {
    return ReadSome(target, n) == n;
}

bool RxByteReader::Skip(uint64_t n) {
    uint64_t buffered = end - position;
    if (n <= buffered) {
        position += size_t(n);
        return true;
    }
    int64_t target = Tell() + int64_t(n);
    int64_t size = FileSize();
    if (size >= 0 && target > size) return false;
    return SeekTo(target);
}

bool RxByteReader::SeekTo(int64_t offset) {
    if (offset < 0 || offset > INT32_MAX) return false;
    if (offset >= bufferStart && offset <= bufferStart + int64_t(end)) {
        position = size_t(offset - bufferStart);
        return true;
    }
    if (!file->Seek(int32_t(offset), 0)) return false;
    bufferStart = offset;
    position = end = 0;
    atEnd = false;
    return true;
}

int64_t RxByteReader::FileSize() const {
    if (cachedSize == -2) {
        int32_t size = file->Size();
        cachedSize = size < 0 ? -1 : int64_t(size);
    }
    return cachedSize;
}
