#pragma once

#include <cstddef>
#include <cstdint>

// The operations a component stream runs on; the caller supplies them with an
// opaque handle (an RxFile for the image codecs).
struct ComponentStreamOps {
    size_t (*read)(void* handle, void* buffer, size_t count);
    size_t (*write)(void* handle, const void* buffer, size_t count);
    // origin: 0 start, 1 current, 2 end; true on success.
    bool (*seek)(void* handle, int64_t offset, int origin);
    // Current position, or -1 when unknown.
    int64_t (*tell)(void* handle);
    bool (*close)(void* handle);
};

// A buffered byte stream over caller-supplied operations, used by the
// component codecs. Reads go through a look-ahead buffer so that parsers can
// take bytes one at a time without a call per byte, and large reads bypass it.
class ComponentStream {
public:
    ComponentStream(const ComponentStreamOps& ops, void* handle);
    ~ComponentStream();
    ComponentStream(const ComponentStream&) = delete;
    ComponentStream& operator=(const ComponentStream&) = delete;

    size_t Read(void* buffer, size_t count);
    // Next byte, or -1 at the end.
    int GetC() {
        if (bufferPos < bufferEnd) return buffer[bufferPos++];
        return FillAndGet();
    }
    // Copies up to count bytes ahead of the position without consuming them;
    // count is at most kBufferSize.
    size_t Peek(void* destination, size_t count);
    size_t Write(const void* data, size_t count);
    bool Seek(int64_t offset, int origin);
    int64_t Tell();
    // Total length from the current position's point of view, or -1.
    int64_t Length();
    bool Close();
    // True once a read came back short.
    bool ReachedEnd() const { return reachedEnd; }

    static constexpr size_t kBufferSize = 64 * 1024;

private:
    int FillAndGet();
    bool Fill(size_t wanted);
    void DropBuffer();

    ComponentStreamOps ops;
    void* handle;
    unsigned char* buffer;
    size_t bufferPos = 0;
    size_t bufferEnd = 0;
    bool reachedEnd = false;
    bool closed = false;
};
