#include "image/codecs/TiffFileClient.h"

#include <climits>
#include <cstdarg>
#include <cstdio>

#include "image/RxFile.h"

namespace {

TiffFileClient* ClientOf(thandle_t handle) {
    return static_cast<TiffFileClient*>(handle);
}

}  // namespace

TiffFileClient::~TiffFileClient() {
    Close();
}

bool TiffFileClient::Open(RxFile* file, const char* mode, uint64_t maxAllocation) {
    Close();
    file_ = file;
    base_ = file->Tell();
    if (base_ < 0) base_ = 0;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return false;
    TIFFOpenOptionsSetErrorHandlerExtR(options, &KeepError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(options, &IgnoreWarning, this);
    if (maxAllocation) TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(maxAllocation));
    tif_ = TIFFClientOpenExt("RxFile", mode, this, &ReadProc, &WriteProc, &SeekProc, &CloseProc, &SizeProc,
                             &MapProc, &UnmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif_ != nullptr;
}

void TiffFileClient::Close() {
    if (tif_) TIFFClose(tif_);
    tif_ = nullptr;
}

tmsize_t TiffFileClient::ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size <= 0) return 0;
    return tmsize_t(ClientOf(handle)->file_->Read(buffer, 1, size_t(size)));
}

tmsize_t TiffFileClient::WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
    if (size <= 0) return 0;
    return tmsize_t(ClientOf(handle)->file_->Write(buffer, 1, size_t(size)));
}

toff_t TiffFileClient::SeekProc(thandle_t handle, toff_t offset, int whence) {
    TiffFileClient* client = ClientOf(handle);
    RxFile* file = client->file_;
    int64_t target = int64_t(offset);
    if (whence == SEEK_SET) target += client->base_;
    // The file's offsets are 32-bit: anything further is out of reach.
    if (offset > toff_t(INT32_MAX) || target > INT32_MAX || target < INT32_MIN) return toff_t(-1);
    if (!file->Seek(int32_t(target), whence)) return toff_t(-1);
    int32_t position = file->Tell();
    if (position < client->base_) return toff_t(-1);
    return toff_t(position - client->base_);
}

int TiffFileClient::CloseProc(thandle_t) {
    return 0;
}

toff_t TiffFileClient::SizeProc(thandle_t handle) {
    TiffFileClient* client = ClientOf(handle);
    int32_t size = client->file_->Size();
    return size > client->base_ ? toff_t(size - client->base_) : 0;
}

int TiffFileClient::MapProc(thandle_t, void**, toff_t*) {
    return 0;
}

void TiffFileClient::UnmapProc(thandle_t, void*, toff_t) {}

int TiffFileClient::KeepError(TIFF*, void* user, const char* module, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof(text), format, args);
    TiffFileClient* client = static_cast<TiffFileClient*>(user);
    client->lastError_ = module ? std::string(module) + ": " + text : std::string(text);
    return 1;
}

int TiffFileClient::IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}
