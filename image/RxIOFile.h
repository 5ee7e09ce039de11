#pragma once

#include <cstdio>

#include "image/RxFile.h"

// RxFile over a standard I/O stream. A stream handed to the constructor stays
// the caller's: Close leaves it open. A copy shares the stream but never
// closes it.
class PDFIMPORT_EXPORT RxIOFile : public RxFile {
public:
    explicit RxIOFile(FILE* stream = nullptr);
    ~RxIOFile() override;
    RxIOFile(const RxIOFile& other);
    RxIOFile& operator=(const RxIOFile& other);

    bool Open(const char* fileName, const char* mode);
    bool Open(const wchar_t* fileName, const wchar_t* mode);

    bool Close() override;
    uint64_t Read(void* buffer, size_t size, size_t count) override;
    uint64_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int32_t offset, int origin) override;
    int32_t Tell() override;
    int32_t Size() override;
    bool Flush() override;
    bool Eof() override;
    int32_t Error() override;
    bool PutC(unsigned char c) override;
    int32_t GetC() override;

    FILE* GetStream() const { return fp; }

protected:
    FILE* fp;
    bool closeOnRelease;
};
