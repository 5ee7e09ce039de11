#include "image/RxImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

bool RxImage::AlphaCreate() {
    if (!dib) return false;
    AlphaDelete();
    const size_t bytes = PlaneBytes();
    alpha = static_cast<BYTE*>(std::calloc(bytes ? bytes : 1, 1));
    return alpha != nullptr;
}

void RxImage::AlphaDelete() {
    std::free(alpha);
    alpha = nullptr;
}

void RxImage::AlphaClear() {
    AlphaSet(BYTE(0));
}

void RxImage::AlphaSet(BYTE value) {
    if (alpha) std::memset(alpha, value, PlaneBytes());
}

void RxImage::AlphaInvert() {
    if (!alpha) return;
    const size_t bytes = PlaneBytes();
    for (size_t i = 0; i < bytes; ++i) alpha[i] = BYTE(255 - alpha[i]);
}

void RxImage::AlphaSet(LONG x, LONG y, BYTE value) {
    if (alpha && IsInside(x, y)) alpha[size_t(y) * size_t(header.biWidth) + size_t(x)] = value;
}

BYTE RxImage::AlphaGet(LONG x, LONG y) {
    if (!alpha || !IsInside(x, y)) return 0;
    return alpha[size_t(y) * size_t(header.biWidth) + size_t(x)];
}

bool RxImage::AlphaCopy(RxImage& other) {
    // A plane of another height would be read past its end or left short.
    if (&other == this || !other.alpha || other.header.biWidth != header.biWidth ||
        other.header.biHeight != header.biHeight)
        return false;
    if (!CopyPlane(other.alpha, alpha, PlaneBytes())) return false;
    info.alphaMax = other.info.alphaMax;
    return true;
}

bool RxImage::AlphaSet(RxImage& other) {
    if (!dib || !other.dib || other.header.biBitCount != 8 || !other.IsGrayScale() ||
        other.header.biWidth != header.biWidth || other.header.biHeight != header.biHeight)
        return false;
    if (!alpha && !AlphaCreate()) return false;
    const size_t width = size_t(header.biWidth);
    for (LONG y = 0; y < header.biHeight; ++y)
        std::memcpy(alpha + size_t(y) * width, other.info.bits + size_t(y) * other.info.effWidth, width);
    return true;
}

bool RxImage::AlphaFlip() {
    if (!alpha) return false;
    const size_t width = size_t(header.biWidth);
    for (LONG low = 0, high = header.biHeight - 1; low < high; ++low, --high)
        std::swap_ranges(alpha + size_t(low) * width, alpha + size_t(low + 1) * width,
                         alpha + size_t(high) * width);
    return true;
}

bool RxImage::AlphaMirror() {
    if (!alpha) return false;
    const size_t width = size_t(header.biWidth);
    for (LONG y = 0; y < header.biHeight; ++y) {
        BYTE* row = alpha + size_t(y) * width;
        std::reverse(row, row + width);
    }
    return true;
}

bool RxImage::AlphaSplit(RxImage* destination) {
    if (!alpha || !destination) return false;
    RxImage plane;
    if (!plane.Create(DWORD(header.biWidth), DWORD(header.biHeight), 8, info.type)) return false;
    plane.SetGrayPalette();
    const size_t width = size_t(header.biWidth);
    for (LONG y = 0; y < header.biHeight; ++y)
        std::memcpy(plane.info.bits + size_t(y) * plane.info.effWidth, alpha + size_t(y) * width, width);
    destination->Transfer(plane);
    return true;
}

bool RxImage::AlphaPaletteSplit(RxImage* destination) {
    const RGBQUAD* palette = GetPalette();
    if (!palette || !destination) return false;
    RxImage plane;
    if (!plane.Create(DWORD(header.biWidth), DWORD(header.biHeight), 8, info.type)) return false;
    plane.SetGrayPalette();
    for (LONG y = 0; y < header.biHeight; ++y) {
        BYTE* row = plane.info.bits + size_t(y) * plane.info.effWidth;
        for (LONG x = 0; x < header.biWidth; ++x) row[x] = GetPaletteColor(GetPixelIndex(x, y)).rgbReserved;
    }
    destination->Transfer(plane);
    return true;
}

void RxImage::AlphaPaletteClear() {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    for (DWORD i = 0; i < header.biClrUsed; ++i) palette[i].rgbReserved = 0;
    info.lastColorValid = false;
}

bool RxImage::AlphaPaletteIsValid() {
    const RGBQUAD* palette = GetPalette();
    if (!palette) return false;
    for (DWORD i = 0; i < header.biClrUsed; ++i)
        if (palette[i].rgbReserved != 0) return true;
    return false;
}

void RxImage::AlphaStrip() {
    const bool paletteAlpha = AlphaPaletteIsValid();
    if (!dib || (!alpha && !paletteAlpha)) return;
    const LONG width = header.biWidth, height = header.biHeight;
    const RGBQUAD back = info.transColor;
    auto flatten = [&](RGBQUAD c, int a) {
        auto mix = [a](BYTE under, BYTE over) { return BYTE((under * (255 - a) + a * over) / 255); };
        return RGBQUAD{mix(back.rgbBlue, c.rgbBlue), mix(back.rgbGreen, c.rgbGreen),
                       mix(back.rgbRed, c.rgbRed), 0};
    };
    auto opacity = [&](LONG x, LONG y) {
        return alpha ? alpha[size_t(y) * size_t(width) + size_t(x)] * info.alphaMax / 255
                     : int(info.alphaMax);
    };

    if (header.biBitCount == 24) {
        for (LONG y = 0; y < height && NextRow(y, height); ++y) {
            BYTE* p = info.bits + size_t(y) * info.effWidth;
            for (LONG x = 0; x < width; ++x, p += 3) {
                const RGBQUAD c = flatten(RGBQUAD{p[0], p[1], p[2], 0}, opacity(x, y));
                p[0] = c.rgbBlue;
                p[1] = c.rgbGreen;
                p[2] = c.rgbRed;
            }
        }
        AlphaDelete();
        return;
    }

    RxImage flat;
    if (!CreateLike(flat, DWORD(width), DWORD(height), 24)) return;
    if (!CopyPlane(selection, flat.selection, PlaneBytes())) return;
    flat.info.transIndex = -1;
    flat.info.transColor = back;
    for (LONG y = 0; y < height && NextRow(y, height); ++y) {
        BYTE* p = flat.info.bits + size_t(y) * flat.info.effWidth;
        for (LONG x = 0; x < width; ++x, p += 3) {
            const RGBQUAD entry = GetPaletteColor(GetPixelIndex(x, y));
            int a = opacity(x, y);
            if (paletteAlpha) a = a * entry.rgbReserved / 255;
            const RGBQUAD c = flatten(entry, a);
            p[0] = c.rgbBlue;
            p[1] = c.rgbGreen;
            p[2] = c.rgbRed;
        }
    }
    AdoptResult(flat, nullptr);
}
