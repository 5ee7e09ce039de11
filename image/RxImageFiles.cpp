#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <sys/stat.h>

#include "image/RxIOFile.h"
#include "image/RxImage.h"
#include "image/RxImageCodecTable.h"
#include "image/RxMemFile.h"

namespace {

struct CloseFile {
    void operator()(FILE* f) const { std::fclose(f); }
};
typedef std::unique_ptr<FILE, CloseFile> FileHandle;

FileHandle OpenFile(const char* name, const char* mode) {
    return FileHandle(name ? std::fopen(name, mode) : nullptr);
}

// Wide names go to the file system in the locale's multibyte encoding;
// false for a name that encoding cannot express.
bool NarrowName(const wchar_t* name, std::string* narrow) {
    if (!name) return false;
    std::mbstate_t state{};
    const wchar_t* source = name;
    size_t length = std::wcsrtombs(nullptr, &source, 0, &state);
    if (length == size_t(-1)) return false;
    narrow->assign(length, '\0');
    source = name;
    state = std::mbstate_t{};
    std::wcsrtombs(&(*narrow)[0], &source, length + 1, &state);
    return true;
}

FileHandle OpenFile(const wchar_t* name, const char* mode) {
    std::string narrow;
    return NarrowName(name, &narrow) ? OpenFile(narrow.c_str(), mode) : FileHandle();
}

bool NarrowName(const char* name, std::string* narrow) {
    if (!name) return false;
    *narrow = name;
    return true;
}

struct FreeBlock {
    void operator()(BYTE* block) const { std::free(block); }
};

// The codec object of the dispatch, released on every path.
struct CodecDeleter {
    void operator()(RxImage* codec) const { delete codec; }
};
typedef std::unique_ptr<RxImage, CodecDeleter> CodecHandle;

}  // namespace

template <class Name>
static bool LoadFrom(RxImage& image, Name fileName, DWORD type, char* lastError, size_t errorSize) {
    if (type >= 1 && type < RXIMAGE_FORMAT_COUNT) {
        FileHandle file = OpenFile(fileName, "rb");
        if (!file) return false;
        if (image.Decode(file.get(), type)) return true;
    }
    std::string kept(lastError);
    FileHandle file = OpenFile(fileName, "rb");
    if (!file) return false;
    bool decoded = image.Decode(file.get(), 0);
    if (!decoded && type != 0) {
        std::strncpy(lastError, kept.c_str(), errorSize - 1);
        lastError[errorSize - 1] = '\0';
    }
    return decoded;
}

bool RxImage::Load(const char* fileName, DWORD type) {
    return LoadFrom(*this, fileName, type, info.lastError, sizeof(info.lastError));
}

bool RxImage::Load(const wchar_t* fileName, DWORD type) {
    return LoadFrom(*this, fileName, type, info.lastError, sizeof(info.lastError));
}

// The picture is encoded in memory before the file is opened: a picture the
// format cannot hold leaves an existing file as it was instead of emptying it.
// A file this save created and could not write completely is removed rather
// than left cut short; an existing one (perhaps a device) is never removed.
template <class Name>
static bool SaveTo(RxImage& image, Name fileName, DWORD type) {
    BYTE* encoded = nullptr;
    LONG size = 0;
    if (!image.Encode(encoded, size, type)) return false;
    std::unique_ptr<BYTE, FreeBlock> owned(encoded);
    std::string path;
    if (!NarrowName(fileName, &path)) return false;
    struct stat status;
    const bool existed = ::stat(path.c_str(), &status) == 0;
    FileHandle file = OpenFile(path.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(encoded, 1, size_t(size), file.get()) == size_t(size);
    if (std::fclose(file.release()) != 0) written = false;
    if (!written && !existed) std::remove(path.c_str());
    return written;
}

bool RxImage::Save(const char* fileName, DWORD type) { return SaveTo(*this, fileName, type); }

bool RxImage::Save(const wchar_t* fileName, DWORD type) { return SaveTo(*this, fileName, type); }

bool RxImage::Decode(FILE* stream, DWORD type) {
    RxIOFile file(stream);
    return Decode(&file, type);
}

bool RxImage::Decode(BYTE* buffer, DWORD size, DWORD type) {
    RxMemFile file(buffer, size);
    return Decode(&file, type);
}

bool RxImage::Decode(RxFile* file, DWORD type) {
    if (!file) return false;
    if (type == RXIMAGE_FORMAT_UNKNOWN) return DecodeByContent(file);
    if (type < RXIMAGE_FORMAT_COUNT && RxImageCodecTable::Find(type)) return DecodeWith(file, type);
    SetLastError("Decode: Unknown or wrong format");
    return false;
}

bool RxImage::DecodeByContent(RxFile* file) {
    int32_t start = file->Tell();
    for (size_t i = 0; i < RxImageCodecTable::Count(); ++i) {
        const RxImageCodecTable::Entry& entry = RxImageCodecTable::At(i);
        // The component codec recognises its formats by content itself.
        DWORD codecType = entry.type == RXIMAGE_FORMAT_PNM ? RXIMAGE_FORMAT_UNKNOWN : entry.type;
        CodecHandle codec(entry.create(codecType));
        if (!codec) {
            SetLastError("Can't allocate memory");
            return false;
        }
        codec->info.escape = info.escape;
        if (entry.takesFrame) codec->info.frame = info.frame;
        if (entry.decode(codec.get(), file)) {
            Transfer(*codec);
            return true;
        }
        file->Seek(start, SEEK_SET);
    }
    SetLastError("Decode: Unknown or wrong format");
    return false;
}

bool RxImage::DecodeWith(RxFile* file, DWORD type) {
    const RxImageCodecTable::Entry* entry = RxImageCodecTable::Find(type);
    CodecHandle codec(entry->create(type));
    if (!codec) {
        SetLastError("Can't allocate memory");
        return false;
    }
    codec->info.escape = info.escape;
    if (entry->takesFrame) codec->info.frame = info.frame;
    if (entry->decode(codec.get(), file)) {
        Transfer(*codec);
        return true;
    }
    SetLastError(codec->info.lastError);
    if (entry->takesFrame) info.numFrames = codec->info.numFrames;
    return false;
}

bool RxImage::Encode(FILE* stream, DWORD type) {
    RxIOFile file(stream);
    return Encode(&file, type);
}

bool RxImage::Encode(RxFile* file, DWORD type) {
    const RxImageCodecTable::Entry* entry =
        (type >= 1 && type < RXIMAGE_FORMAT_COUNT) ? RxImageCodecTable::Find(type) : nullptr;
    if (!entry) {
        SetLastError("Encode: Unknown format");
        return false;
    }
    CodecHandle codec(entry->create(type));
    if (!codec) {
        SetLastError("Can't allocate memory");
        return false;
    }
    codec->Ghost(this);
    // The codec writes the format that was asked for, whatever this
    // picture was read from.
    codec->info.type = type;
    if (entry->encode(codec.get(), file)) return true;
    SetLastError(codec->info.lastError);
    return false;
}

bool RxImage::Encode(FILE* stream, RxImage** images, int count, DWORD type) {
    RxIOFile file(stream);
    return Encode(&file, images, count, type);
}

bool RxImage::Encode(RxFile* file, RxImage** images, int count, DWORD type) {
    const RxImageCodecTable::Entry* entry = nullptr;
    if (type == RXIMAGE_FORMAT_TIF || type == RXIMAGE_FORMAT_GIF) entry = RxImageCodecTable::Find(type);
    if (!entry || !entry->encodePages) {
        SetLastError("Multipage Encode, Unsupported operation for this format");
        return false;
    }
    CodecHandle codec(entry->create(type));
    if (!codec) {
        SetLastError("Can't allocate memory");
        return false;
    }
    codec->Ghost(this);
    if (entry->encodePages(codec.get(), file, images, count)) return true;
    SetLastError(codec->info.lastError);
    return false;
}

bool RxImage::Encode(BYTE*& buffer, LONG& size, DWORD type) {
    if (buffer) return false;
    RxMemFile file;
    if (!file.Open()) {
        SetLastError("Can't allocate memory");
        return false;
    }
    if (!Encode(&file, type)) return false;
    size = file.Size();
    buffer = file.GetBuffer();
    return true;
}
