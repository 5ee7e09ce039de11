#include "image/codecs/ComponentStream.h"

#include <cstdlib>
#include <cstring>

ComponentStream::ComponentStream(const ComponentStreamOps& streamOps, void* streamHandle)
    : ops(streamOps),
      handle(streamHandle),
      buffer(static_cast<unsigned char*>(std::malloc(kBufferSize))) {}

ComponentStream::~ComponentStream() {
    Close();
    std::free(buffer);
}

void ComponentStream::DropBuffer() {
    bufferPos = 0;
    bufferEnd = 0;
}

bool ComponentStream::Fill(size_t wanted) {
    if (!buffer || closed) return false;
    if (bufferEnd - bufferPos >= wanted) return true;
    // Move what is left to the front, then read up to a full buffer.
    size_t left = bufferEnd - bufferPos;
    if (left && bufferPos) std::memmove(buffer, buffer + bufferPos, left);
    bufferPos = 0;
    bufferEnd = left;
    while (bufferEnd < wanted) {
        size_t got = ops.read ? ops.read(handle, buffer + bufferEnd, kBufferSize - bufferEnd) : 0;
        if (got == 0) {
            reachedEnd = true;
            break;
        }
        bufferEnd += got;
    }
    return bufferEnd >= wanted;
}

int ComponentStream::FillAndGet() {
    if (!Fill(1)) return -1;
    return buffer[bufferPos++];
}

size_t ComponentStream::Read(void* destination, size_t count) {
    if (!destination || closed) return 0;
    unsigned char* out = static_cast<unsigned char*>(destination);
    size_t done = 0;
    size_t buffered = bufferEnd - bufferPos;
    if (buffered) {
        size_t n = buffered < count ? buffered : count;
        std::memcpy(out, buffer + bufferPos, n);
        bufferPos += n;
        done = n;
    }
    // Large reads go straight to the caller's memory.
    while (done < count && count - done >= kBufferSize) {
        size_t got = ops.read ? ops.read(handle, out + done, count - done) : 0;
        if (got == 0) {
            reachedEnd = true;
            return done;
        }
        done += got;
    }
    while (done < count) {
        if (!Fill(1)) break;
        size_t available = bufferEnd - bufferPos;
        size_t n = available < count - done ? available : count - done;
        std::memcpy(out + done, buffer + bufferPos, n);
        bufferPos += n;
        done += n;
    }
    return done;
}

size_t ComponentStream::Peek(void* destination, size_t count) {
    if (!destination || count > kBufferSize) return 0;
    Fill(count);
    size_t available = bufferEnd - bufferPos;
    size_t n = available < count ? available : count;
    std::memcpy(destination, buffer + bufferPos, n);
    return n;
}

size_t ComponentStream::Write(const void* data, size_t count) {
    if (closed || !ops.write) return 0;
    return ops.write(handle, data, count);
}

bool ComponentStream::Seek(int64_t offset, int origin) {
    if (closed || !ops.seek) return false;
    if (origin == 1) offset -= int64_t(bufferEnd - bufferPos);
    DropBuffer();
    reachedEnd = false;
    return ops.seek(handle, offset, origin);
}

int64_t ComponentStream::Tell() {
    if (closed || !ops.tell) return -1;
    int64_t position = ops.tell(handle);
    if (position < 0) return -1;
    return position - int64_t(bufferEnd - bufferPos);
}

int64_t ComponentStream::Length() {
    if (closed || !ops.tell || !ops.seek) return -1;
    int64_t here = ops.tell(handle);
    if (here < 0 || !ops.seek(handle, 0, 2)) return -1;
    int64_t end = ops.tell(handle);
    ops.seek(handle, here, 0);
    return end;
}

bool ComponentStream::Close() {
    if (closed) return true;
    closed = true;
    // Give back what the look-ahead took but nobody consumed, so the
    // caller's position ends right after the data that was decoded.
    size_t unread = bufferEnd - bufferPos;
    if (unread && ops.seek) ops.seek(handle, -int64_t(unread), 1);
    DropBuffer();
    return ops.close ? ops.close(handle) : true;
}
