#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Export.h"

// A byte stream that every codec reads from and writes to. Offsets and sizes
// are 32-bit signed, as the codecs' file formats are.
class PDFIMPORT_EXPORT RxFile {
public:
    virtual ~RxFile();

    // Releases the underlying stream or memory block.
    virtual bool Close() = 0;
    // Reads up to count items of size bytes; returns the number of whole items read.
    virtual uint64_t Read(void* buffer, size_t size, size_t count) = 0;
    // Writes count items of size bytes; returns the number of items written.
    virtual uint64_t Write(const void* buffer, size_t size, size_t count) = 0;
    // origin: 0 start, 1 current position, 2 end.
    virtual bool Seek(int32_t offset, int origin) = 0;
    virtual int32_t Tell() = 0;
    virtual int32_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual int32_t Error() = 0;
    virtual bool PutC(unsigned char c);
    // Next byte, or -1 at the end.
    virtual int32_t GetC() = 0;
};
