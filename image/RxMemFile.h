#pragma once

#include "image/RxFile.h"

// RxFile over a growable memory block. A block handed to the constructor stays
// the caller's; a block the file allocates is freed by Close unless GetBuffer
// handed it out. Blocks are allocated with malloc/realloc and released with
// free. A copy shares the block but never frees it: only the file that
// allocated (or was given) ownership releases it.
class PDFIMPORT_EXPORT RxMemFile : public RxFile {
public:
    // Capacity grows in steps of this many bytes, and by at least half of
    // itself, so that neither byte-wise writing nor a long file reallocates
    // (and copies) at every step.
    static constexpr uint32_t kGrowStep = 4096;

    explicit RxMemFile(unsigned char* block = nullptr, uint32_t length = 0);
    ~RxMemFile() override;
    RxMemFile(const RxMemFile& other);
    RxMemFile& operator=(const RxMemFile& other);

    bool Open();
    // Hands the block to the caller, who releases it with free().
    unsigned char* GetBuffer();

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

protected:
    // Makes room for a total of n bytes; false (block unchanged) when the
    // capacity cannot be counted or allocated.
    bool Alloc(uint64_t n);
    void Free();
    void ClearGapBeforePosition();

    unsigned char* buffer;
    uint32_t size;
    bool freeOnClose;
    int32_t position;
    int32_t edge;
};
