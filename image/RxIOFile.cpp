#include "image/RxIOFile.h"

#include <climits>
#include <cstdlib>
#include <string>

namespace {

// Wide names are converted to the multibyte encoding of the locale (UTF-8 on
// this platform) before opening.
bool NarrowName(const wchar_t* wide, std::string* narrow) {
    if (!wide) return false;
    std::mbstate_t state{};
    const wchar_t* source = wide;
    size_t length = std::wcsrtombs(nullptr, &source, 0, &state);
    if (length == size_t(-1)) return false;
    narrow->assign(length, '\0');
    source = wide;
    state = std::mbstate_t{};
    std::wcsrtombs(&(*narrow)[0], &source, length + 1, &state);
    return true;
}

}  // namespace

RxIOFile::RxIOFile(FILE* stream) : fp(stream), closeOnRelease(stream == nullptr) {}

RxIOFile::~RxIOFile() {
    Close();
}

RxIOFile::RxIOFile(const RxIOFile& other) : RxFile(other), fp(other.fp), closeOnRelease(false) {}

RxIOFile& RxIOFile::operator=(const RxIOFile& other) {
    if (this == &other) return *this;
    Close();
    fp = other.fp;
    closeOnRelease = false;
    return *this;
}

bool RxIOFile::Open(const char* fileName, const char* mode) {
    if (fp || !fileName || !mode) return false;
    fp = std::fopen(fileName, mode);
    if (!fp) return false;
    closeOnRelease = true;
    return true;
}

bool RxIOFile::Open(const wchar_t* fileName, const wchar_t* mode) {
    std::string name, narrowMode;
    if (!NarrowName(fileName, &name) || !NarrowName(mode, &narrowMode)) return false;
    return Open(name.c_str(), narrowMode.c_str());
}

bool RxIOFile::Close() {
    if (!fp) return true;
    if (!closeOnRelease) return true;
    int result = std::fclose(fp);
    fp = nullptr;
    return result == 0;
}

uint64_t RxIOFile::Read(void* buffer, size_t size, size_t count) {
    if (!fp) return 0;
    return std::fread(buffer, size, count, fp);
}

uint64_t RxIOFile::Write(const void* buffer, size_t size, size_t count) {
    if (!fp) return 0;
    return std::fwrite(buffer, size, count, fp);
}

bool RxIOFile::Seek(int32_t offset, int origin) {
    if (!fp) return false;
    return std::fseek(fp, offset, origin) == 0;
}

int32_t RxIOFile::Tell() {
    if (!fp) return 0;
    long position = std::ftell(fp);
    if (position < 0 || position > INT32_MAX) return -1;
    return int32_t(position);
}

int32_t RxIOFile::Size() {
    if (!fp) return -1;
    long position = std::ftell(fp);
    std::fseek(fp, 0, SEEK_END);
    long end = std::ftell(fp);
    std::fseek(fp, position, SEEK_SET);
    if (end < 0 || end > INT32_MAX) return -1;
    return int32_t(end);
}

bool RxIOFile::Flush() {
    return fp && std::fflush(fp) == 0;
}

bool RxIOFile::Eof() {
    if (!fp) return true;
    return std::feof(fp) != 0;
}

int32_t RxIOFile::Error() {
    if (!fp) return -1;
    return std::ferror(fp);
}

bool RxIOFile::PutC(unsigned char c) {
    if (!fp) return false;
    return std::fputc(c, fp) == c;
}

int32_t RxIOFile::GetC() {
    if (!fp) return -1;
    return std::fgetc(fp);
}
