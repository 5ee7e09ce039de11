#pragma once

#include <cstdint>
#include <string>

#include <tiffio.h>

class RxFile;

// A libtiff handle over an RxFile, with the library's messages kept here
// instead of printed. Offsets inside the TIFF count from the file position at
// opening, so a TIFF stream may start anywhere in the file. The file stays
// the caller's: closing the handle does not close it.
class TiffFileClient {
public:
    TiffFileClient() = default;
    ~TiffFileClient();
    TiffFileClient(const TiffFileClient&) = delete;
    TiffFileClient& operator=(const TiffFileClient&) = delete;

    // mode as for TIFFClientOpen ("r", "w", "a"); false when the library
    // refuses the file.
    bool Open(RxFile* file, const char* mode, uint64_t maxAllocation);
    // Writes any pending directory and releases the handle.
    void Close();

    TIFF* Handle() const { return tif_; }
    const std::string& LastError() const { return lastError_; }

private:
    static tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size);
    static tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size);
    static toff_t SeekProc(thandle_t handle, toff_t offset, int whence);
    static int CloseProc(thandle_t handle);
    static toff_t SizeProc(thandle_t handle);
    static int MapProc(thandle_t handle, void** base, toff_t* size);
    static void UnmapProc(thandle_t handle, void* base, toff_t size);
    static int KeepError(TIFF* tif, void* user, const char* module, const char* format, va_list args);
    static int IgnoreWarning(TIFF* tif, void* user, const char* module, const char* format, va_list args);

    RxFile* file_ = nullptr;
    int32_t base_ = 0;
    TIFF* tif_ = nullptr;
    std::string lastError_;
};
