#include "image/RxImage.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

std::atomic<uint64_t> decodeLimit{RxImage::kDefaultDecodeLimit};

DWORD RoundBpp(DWORD bpp) {
    if (bpp <= 1) return 1;
    if (bpp <= 4) return 4;
    if (bpp <= 8) return 8;
    return 24;
}

DWORD PaletteEntries(DWORD bpp) {
    switch (bpp) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

LONG PelsPerMeter(LONG dpi) {
    return LONG(std::floor(double(dpi) * 10000.0 / 254.0 + 0.5));
}

}  // namespace

void RxImage::SetDecodeLimit(uint64_t bytes) {
    decodeLimit = bytes;
}

uint64_t RxImage::GetDecodeLimit() {
    return decodeLimit;
}

RxImage::RxImage(DWORD type) {
    Startup(type);
}

RxImage::RxImage(DWORD width, DWORD height, DWORD bpp, DWORD type) {
    Startup(type);
    Create(width, height, bpp, type);
}

RxImage::RxImage(const RxImage& other, bool copyPixels, bool copySelection, bool copyAlpha) {
    Startup(other.info.type);
    Copy(other, copyPixels, copySelection, copyAlpha);
}

RxImage::RxImage(const char* fileName, DWORD type) {
    Startup(type);
    Load(fileName, type);
}

RxImage::RxImage(FILE* stream, DWORD type) {
    Startup(type);
    Decode(stream, type);
}

RxImage::RxImage(RxFile* file, DWORD type) {
    Startup(type);
    Decode(file, type);
}

RxImage::RxImage(BYTE* buffer, DWORD size, DWORD type) {
    Startup(type);
    Decode(buffer, size, type);
}

RxImage::~RxImage() {
    Destroy();
}

RxImage& RxImage::operator=(const RxImage& other) {
    if (this != &other) Copy(other);
    return *this;
}

void RxImage::Startup(DWORD type) {
    dib = nullptr;
    selection = nullptr;
    alpha = nullptr;
    layers = nullptr;
    std::memset(&header, 0, sizeof(header));
    header.biSize = sizeof(BITMAPINFOHEADER);
    std::memset(&info, 0, sizeof(info));
    info.type = type;
    info.jpegQuality = 75;
    info.alphaMax = 255;
    info.transIndex = -1;
    info.enabled = true;
    SetXDPI(96);
    SetYDPI(96);
}

bool RxImage::PixelBytes(uint64_t width, uint64_t height, DWORD bpp, uint64_t* effWidth,
                         uint64_t* imageBytes) {
    uint64_t rowBits;
    if (__builtin_mul_overflow(width, uint64_t(bpp), &rowBits) || rowBits > UINT64_MAX - 31)
        return false;
    uint64_t row = (rowBits + 31) / 32 * 4;
    uint64_t total;
    if (__builtin_mul_overflow(row, height, &total)) return false;
    *effWidth = row;
    *imageBytes = total;
    return true;
}

bool RxImage::FitsDecodeLimit(uint64_t width, uint64_t height, uint64_t bpp) {
    uint64_t row = 0, total = 0;
    if (bpp > 32 || !PixelBytes(width, height, DWORD(bpp), &row, &total)) return false;
    return total <= GetDecodeLimit();
}

void* RxImage::Create(DWORD width, DWORD height, DWORD bpp, DWORD type) {
    Destroy();
    // A ghost's buffers belong to the image it borrows from; a new picture
    // makes this image the owner of its own buffers again.
    if (info.ghostOf) {
        dib = nullptr;
        selection = nullptr;
        alpha = nullptr;
        layers = nullptr;
        info.numLayers = 0;
        info.ghostOf = nullptr;
    }
    bpp = RoundBpp(bpp);
    DWORD entries = PaletteEntries(bpp);
    uint64_t effWidth = 0, imageBytes = 0;
    if (width > DWORD(INT32_MAX) || height > DWORD(INT32_MAX) ||
        !PixelBytes(width, height, bpp, &effWidth, &imageBytes))
        return nullptr;
    uint64_t total = uint64_t(sizeof(BITMAPINFOHEADER)) + entries * sizeof(RGBQUAD) + imageBytes;
    if (effWidth > UINT32_MAX || total > UINT32_MAX) return nullptr;

    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = LONG(width);
    header.biHeight = LONG(height);
    header.biPlanes = 1;
    header.biBitCount = WORD(bpp);
    header.biCompression = 0;
    header.biClrImportant = 0;
    header.biClrUsed = entries;
    header.biSizeImage = DWORD(imageBytes);
    info.type = type;
    info.effWidth = DWORD(effWidth);

    dib = std::malloc(size_t(total));
    if (!dib) {
        info.bits = nullptr;
        return nullptr;
    }
    std::memset(static_cast<BYTE*>(dib) + sizeof(BITMAPINFOHEADER), 0, GetPaletteSize());
    std::free(selection);
    selection = nullptr;
    std::free(alpha);
    alpha = nullptr;
    std::memcpy(dib, &header, sizeof(header));
    info.bits = GetBits();
    return dib;
}

bool RxImage::Destroy() {
    if (info.ghostOf) return false;
    if (layers) {
        for (LONG i = 0; i < info.numLayers; ++i) delete layers[i];
        std::free(layers);
        layers = nullptr;
    }
    info.numLayers = 0;
    std::free(selection);
    selection = nullptr;
    std::free(alpha);
    alpha = nullptr;
    std::free(dib);
    dib = nullptr;
    info.bits = nullptr;
    return true;
}

void RxImage::Copy(const RxImage& other, bool copyPixels, bool copySelection, bool copyAlpha) {
    if (&other == this) return;
    Info saved = other.info;
    saved.ghostOf = info.ghostOf;  // Create below settles ownership
    saved.numLayers = info.numLayers;
    info = saved;
    if (!Create(DWORD(other.header.biWidth), DWORD(other.header.biHeight), other.header.biBitCount,
                other.info.type))
        return;
    if (copyPixels && other.dib) {
        std::memcpy(dib, other.dib, GetSize());
    } else if (other.GetPalette()) {
        SetPalette(other.GetPalette(), 256);
    }
    size_t planeBytes = size_t(GetWidth()) * size_t(GetHeight());
    if (copySelection && other.selection) {
        selection = static_cast<BYTE*>(std::malloc(planeBytes ? planeBytes : 1));
        if (selection) std::memcpy(selection, other.selection, planeBytes);
    }
    if (copyAlpha && other.alpha) {
        alpha = static_cast<BYTE*>(std::malloc(planeBytes ? planeBytes : 1));
        if (alpha) std::memcpy(alpha, other.alpha, planeBytes);
    }
}

bool RxImage::Transfer(RxImage& other) {
    if (&other == this) return true;
    Destroy();
    header = other.header;
    info = other.info;
    dib = other.dib;
    selection = other.selection;
    alpha = other.alpha;
    layers = other.layers;
    for (LONG i = 0; layers && i < info.numLayers; ++i)
        if (layers[i]) layers[i]->info.parent = this;
    std::memset(&other.header, 0, sizeof(other.header));
    std::memset(&other.info, 0, sizeof(other.info));
    other.dib = nullptr;
    other.selection = nullptr;
    other.alpha = nullptr;
    other.layers = nullptr;
    return true;
}

void RxImage::Ghost(const RxImage* other) {
    if (!other) return;
    header = other->header;
    info = other->info;
    dib = other->dib;
    selection = other->selection;
    alpha = other->alpha;
    layers = other->layers;
    info.ghostOf = const_cast<RxImage*>(other);
}

void RxImage::CopyInfo(const RxImage& other) {
    if (!dib) info = other.info;
}

void RxImage::Clear(BYTE value) {
    if (dib) std::memset(GetBits(), value, header.biSizeImage);
}

const char* RxImage::GetVersion() {
    return "RxImage 1.0";
}

BYTE* RxImage::GetBits() const {
    if (!dib) return nullptr;
    return static_cast<BYTE*>(dib) + header.biSize + GetPaletteSize();
}

DWORD RxImage::GetSize() const {
    return header.biSize + header.biSizeImage + GetPaletteSize();
}

bool RxImage::IsInside(LONG x, LONG y) const {
    return x >= 0 && y >= 0 && x < header.biWidth && y < header.biHeight;
}

BYTE RxImage::GetColorType() const {
    if (alpha) return 4;
    return header.biBitCount <= 8 ? 1 : 2;
}

void RxImage::GetOffset(LONG* x, LONG* y) const {
    if (x) *x = info.xOffset;
    if (y) *y = info.yOffset;
}

void RxImage::SetOffset(LONG x, LONG y) {
    info.xOffset = x;
    info.yOffset = y;
}

void RxImage::SetXDPI(LONG dpi) {
    info.xDpi = dpi;
    header.biXPelsPerMeter = PelsPerMeter(dpi);
}

void RxImage::SetYDPI(LONG dpi) {
    info.yDpi = dpi;
    header.biYPelsPerMeter = PelsPerMeter(dpi);
}

RGBQUAD RxImage::GetTransColor() {
    if (header.biBitCount < 24 && info.transIndex != -1) return GetPaletteColor(BYTE(info.transIndex));
    return info.transColor;
}

void RxImage::SetFlags(DWORD flags, bool lockReserved) {
    info.flags = lockReserved ? (flags & 0xFFFF) : flags;
}

void RxImage::SetLastError(const char* text) {
    if (!text) text = "";
    std::strncpy(info.lastError, text, sizeof(info.lastError) - 1);
    info.lastError[sizeof(info.lastError) - 1] = '\0';
}

void RxImage::ThrowIfCancelled() const {
    if (info.escape) throw "Cancelled";
}
