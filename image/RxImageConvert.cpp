#include "image/RxImage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

int CountBits(DWORD mask) {
    return __builtin_popcount(mask);
}

// Shifts right by `amount`, or left when it is negative; the result is cut
// to eight bits.
BYTE ShiftToByte(DWORD value, int amount) {
    if (amount >= 32 || amount <= -32) return 0;
    return BYTE(amount >= 0 ? value >> amount : value << -amount);
}

int GrayLevel(const RGBQUAD& c) {
    return (c.rgbRed * 306 + c.rgbGreen * 601 + c.rgbBlue * 117) >> 10;
}

}  // namespace

bool RxImage::CreateFromARGB(DWORD width, DWORD height, const BYTE* buffer) {
    if (!buffer) return false;
    if (!Create(width, height, 24, info.type)) return false;
    if (!AlphaCreate()) return false;
    const size_t sourceRow = size_t(width) * 4;
    for (DWORD y = 0; y < height; ++y) {
        // The buffer starts with the top row of the picture.
        const BYTE* source = buffer + size_t(height - 1 - y) * sourceRow;
        BYTE* target = info.bits + size_t(y) * info.effWidth;
        BYTE* alphaRow = alpha + size_t(y) * width;
        for (DWORD x = 0; x < width; ++x, source += 4, target += 3) {
            target[0] = source[0];
            target[1] = source[1];
            target[2] = source[2];
            alphaRow[x] = source[3];
        }
    }
    return true;
}

void RxImage::RGBtoBGR(BYTE* buffer, int length) {
    if (!buffer || length <= 0 || header.biClrUsed != 0) return;
    const size_t bytes = std::min<size_t>(size_t(length), info.effWidth);
    for (size_t i = 0; i + 2 < bytes; i += 3) std::swap(buffer[i], buffer[i + 2]);
}

void RxImage::Bitfield2RGB(const BYTE* source, WORD redMask, WORD greenMask, WORD blueMask,
                           BYTE bpp) {
    if (!source || !dib || header.biBitCount != 24) return;
    const LONG width = header.biWidth, height = header.biHeight;
    // Rows and pixels run backwards so that the source may be this image's
    // own pixel buffer: no write ever lands on a byte still to be read.
    if (bpp == 16) {
        const int nr = CountBits(redMask), ng = CountBits(greenMask), nb = CountBits(blueMask);
        const size_t sourceRow = size_t((width + 1) / 2) * 4;
        for (LONG y = height - 1; y >= 0; --y) {
            const BYTE* row = source + size_t(y) * sourceRow;
            BYTE* target = info.bits + size_t(y) * info.effWidth;
            for (LONG x = width - 1; x >= 0; --x) {
                const DWORD w = DWORD(row[2 * x]) | (DWORD(row[2 * x + 1]) << 8);
                const BYTE blue = ShiftToByte(w & blueMask & 0xFF, -(8 - nr));
                const BYTE green = ShiftToByte(w & greenMask, nr + ng - 8);
                const BYTE red = ShiftToByte(w & redMask, nr + ng + nb - 8);
                target[3 * x] = blue;
                target[3 * x + 1] = green;
                target[3 * x + 2] = red;
            }
        }
    } else if (bpp == 32) {
        const size_t sourceRow = size_t(width) * 4;
        for (LONG y = height - 1; y >= 0; --y) {
            const BYTE* row = source + size_t(y) * sourceRow;
            BYTE* target = info.bits + size_t(y) * info.effWidth;
            for (LONG x = width - 1; x >= 0; --x) {
                const BYTE b = row[4 * x], g = row[4 * x + 1], r = row[4 * x + 2];
                target[3 * x] = b;
                target[3 * x + 1] = g;
                target[3 * x + 2] = r;
            }
        }
    }
}

int RxImage::CompareColors(const void* a, const void* b) {
    return GrayLevel(*static_cast<const RGBQUAD*>(a)) - GrayLevel(*static_cast<const RGBQUAD*>(b));
}
