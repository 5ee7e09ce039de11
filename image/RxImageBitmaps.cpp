#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/RxImage.h"
#include "platform/CBitmap.h"
#include "platform/CDC.h"
#include "platform/Icon.h"
#include "platform/ResourceTable.h"

namespace {

constexpr DWORD kBitfields = 3;  // pixel masks follow the header

LONG DpiFromPelsPerMeter(LONG pels) {
    if (pels == 0) return 96;
    return LONG(double(pels) * 254.0 / 10000.0 + 0.5);
}

}  // namespace

void* RxImage::CopyToHandle() const {
    if (!dib) return nullptr;
    void* block = std::calloc(1, GetSize());
    if (block) std::memcpy(block, dib, GetSize());
    return block;
}

bool RxImage::CreateFromHANDLE(const void* packedBitmap, size_t length) {
    if (!packedBitmap || length < sizeof(BITMAPINFOHEADER)) return false;
    const BYTE* block = static_cast<const BYTE*>(packedBitmap);
    BITMAPINFOHEADER source;
    std::memcpy(&source, block, sizeof(source));
    WORD bpp = source.biBitCount;
    bool knownDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    if (source.biSize < sizeof(BITMAPINFOHEADER) || source.biSize > length || source.biWidth <= 0 ||
        source.biHeight == 0 || source.biHeight == INT32_MIN || !knownDepth ||
        (source.biCompression != 0 && source.biCompression != kBitfields) || source.biClrUsed > 256)
        return false;
    bool topDown = source.biHeight < 0;
    LONG height = topDown ? -source.biHeight : source.biHeight;
    LONG width = source.biWidth;

    // Where the palette and the pixel rows lie in the block, and whether the
    // block holds all of them.
    uint64_t masksOffset = source.biSize;
    uint64_t paletteOffset = masksOffset + (source.biCompression == kBitfields ? 12 : 0);
    DWORD sourceEntries = source.biClrUsed ? source.biClrUsed : (bpp <= 8 ? DWORD(1) << bpp : 0);
    uint64_t pixelsOffset = paletteOffset + uint64_t(sourceEntries) * 4;
    uint64_t rowBytes = (uint64_t(width) * bpp + 31) / 32 * 4;
    uint64_t pixelBytes = rowBytes * uint64_t(height);
    if (pixelsOffset > length || pixelBytes > length - pixelsOffset) return false;

    if (!Create(DWORD(width), DWORD(height), bpp, 0)) return false;
    info.xDpi = DpiFromPelsPerMeter(source.biXPelsPerMeter);
    info.yDpi = DpiFromPelsPerMeter(source.biYPelsPerMeter);
    header.biXPelsPerMeter = source.biXPelsPerMeter;
    header.biYPelsPerMeter = source.biYPelsPerMeter;
    std::memcpy(dib, &header, sizeof(header));

    const BYTE* pixels = block + pixelsOffset;
    std::vector<BYTE> bottomUp;
    if (topDown) {
        bottomUp.resize(size_t(pixelBytes));
        for (LONG y = 0; y < height; ++y)
            std::memcpy(&bottomUp[size_t(y) * size_t(rowBytes)], pixels + size_t(height - 1 - y) * size_t(rowBytes),
                        size_t(rowBytes));
        pixels = bottomUp.data();
    }
    if (bpp == 16 || bpp == 32 || source.biCompression == kBitfields) {
        DWORD masks[3] = {0x7C00, 0x03E0, 0x001F};
        if (source.biCompression == kBitfields) std::memcpy(masks, block + masksOffset, sizeof(masks));
        Bitfield2RGB(pixels, WORD(masks[0]), WORD(masks[1]), WORD(masks[2]), BYTE(bpp));
        return true;
    }
    if (GetPalette()) {
        DWORD entries = sourceEntries < header.biClrUsed ? sourceEntries : header.biClrUsed;
        SetPalette(reinterpret_cast<const RGBQUAD*>(block + paletteOffset), entries);
    }
    std::memcpy(info.bits, pixels, header.biSizeImage);
    return true;
}

CBitmap* RxImage::MakeBitmap(CDC* /*dc: every bitmap here is device independent*/) {
    if (!dib) return nullptr;
    CBitmap* bitmap = new CBitmap;
    if (!bitmap->CreateFromDIB(static_cast<const BITMAPINFO*>(dib), sizeof(BITMAPINFOHEADER) + GetPaletteSize(),
                               info.bits, header.biSizeImage)) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

bool RxImage::CreateFromHBITMAP(CBitmap* bitmap) {
    if (!bitmap || !bitmap->IsCreated()) {
        Destroy();
        return false;
    }
    BITMAP description{};
    bitmap->GetBitmap(&description);
    bool mono = bitmap->IsMonochrome();
    if (!Create(DWORD(description.bmWidth), DWORD(description.bmHeight), mono ? 1 : 24, 0)) return false;
    LONG width = GetWidth(), height = GetHeight();
    if (width == 0 || height == 0) return true;

    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 24;
    if (!mono) {
        if (bitmap->GetDIBits(0, UINT(height), info.bits, &request) == 0) {
            SetLastError("GetDIBits failed");
            return false;
        }
        return true;
    }
    // Monochrome bitmaps come as colour rows; white pixels become index 1.
    std::vector<BYTE> rows(size_t((uint64_t(width) * 24 + 31) / 32 * 4) * size_t(height));
    if (bitmap->GetDIBits(0, UINT(height), rows.data(), &request) == 0) {
        SetLastError("GetDIBits failed");
        return false;
    }
    SetPaletteColor(0, 0, 0, 0);
    SetPaletteColor(1, 255, 255, 255);
    size_t rowBytes = rows.size() / size_t(height);
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) SetPixelIndex(x, y, rows[size_t(y) * rowBytes + size_t(x) * 3] ? 1 : 0);
    return true;
}

bool RxImage::CreateFromHICON(const Icon* icon) {
    Destroy();
    if (!icon || icon->colour.Width() <= 0 || icon->colour.Height() <= 0) return false;
    int width = icon->colour.Width(), height = icon->colour.Height();
    if (!Create(DWORD(width), DWORD(height), 24, 0)) return false;
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = icon->colour.Row(height - 1 - y);
        BYTE* target = info.bits + size_t(y) * info.effWidth;
        for (int x = 0; x < width; ++x, target += 3) {
            target[0] = BYTE(source[x]);
            target[1] = BYTE(source[x] >> 8);
            target[2] = BYTE(source[x] >> 16);
        }
    }
    bool hasMask = icon->mask.Width() == width && icon->mask.Height() == height;
    if (!hasMask && !icon->hasAlpha) return true;

    // The mask is white where the icon is transparent: its grey levels,
    // inverted, are the alpha plane.
    RxImage mask(0);
    if (hasMask) {
        if (!mask.Create(DWORD(width), DWORD(height), 24, 0)) return true;
        for (int y = 0; y < height; ++y) {
            const uint32_t* source = icon->mask.Row(height - 1 - y);
            BYTE* target = mask.info.bits + size_t(y) * mask.info.effWidth;
            for (int x = 0; x < width; ++x, target += 3) {
                target[0] = BYTE(source[x]);
                target[1] = BYTE(source[x] >> 8);
                target[2] = BYTE(source[x] >> 16);
            }
        }
        mask.GrayScale();
        mask.Negative();
    }
    size_t planeBytes = size_t(width) * size_t(height);
    alpha = static_cast<BYTE*>(std::malloc(planeBytes));
    if (!alpha) return true;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned level = hasMask ? mask.GetPixelIndex(x, y) : 255;
            // Icons with their own alpha channel keep it inside the mask.
            if (icon->hasAlpha) level = level * (icon->colour.Row(height - 1 - y)[x] >> 24) / 255;
            alpha[size_t(y) * size_t(width) + size_t(x)] = BYTE(level);
        }
    return true;
}

bool RxImage::LoadResource(UINT resourceType, UINT resourceId, DWORD type) {
    ResourceTable::Data data;
    if (!ResourceTable::Instance().Find(resourceType, resourceId, &data) || !data.data ||
        data.size > UINT32_MAX) {
        SetLastError("Unable to load resource!");
        return false;
    }
    return Decode(const_cast<BYTE*>(data.data), DWORD(data.size), type);
}
