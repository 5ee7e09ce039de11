#include "image/RxImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "image/PixelRow.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Truncates toward zero like a cast to int; values that a 32-bit integer
// cannot hold (or not-a-number) come back as `outside`.
LONG TruncOr(double v, LONG outside) {
    if (!(v > -2147483648.0 && v < 2147483648.0)) return outside;
    return LONG(v);
}

}  // namespace

bool RxImage::RotateLeft(RxImage* destination) {
    if (!dib) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    const WORD bpp = header.biBitCount;
    RxImage turned;
    if (!CreateTurned(turned, DWORD(height), DWORD(width), bpp)) return false;
    // new (i, j) = old (j, height - 1 - i): new row j reads old column j.
    for (LONG j = 0; j < width && NextRow(j, width); ++j) {
        BYTE* target = turned.info.bits + size_t(j) * turned.info.effWidth;
        BYTE* targetAlpha = turned.alpha ? turned.alpha + size_t(j) * size_t(height) : nullptr;
        for (LONG i = 0; i < height; ++i) {
            const LONG oy = height - 1 - i;
            PixelRow::CopyPixel(info.bits + size_t(oy) * info.effWidth, j, target, i, bpp);
            if (targetAlpha) targetAlpha[i] = alpha[size_t(oy) * size_t(width) + size_t(j)];
        }
    }
    AdoptResult(turned, destination);
    return true;
}

bool RxImage::RotateRight(RxImage* destination) {
    if (!dib) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    const WORD bpp = header.biBitCount;
    RxImage turned;
    if (!CreateTurned(turned, DWORD(height), DWORD(width), bpp)) return false;
    // new (j, i) = old (width - 1 - i, j): new row i reads old column width - 1 - i.
    for (LONG i = 0; i < width && NextRow(i, width); ++i) {
        BYTE* target = turned.info.bits + size_t(i) * turned.info.effWidth;
        BYTE* targetAlpha = turned.alpha ? turned.alpha + size_t(i) * size_t(height) : nullptr;
        const LONG ox = width - 1 - i;
        for (LONG j = 0; j < height; ++j) {
            PixelRow::CopyPixel(info.bits + size_t(j) * info.effWidth, ox, target, j, bpp);
            if (targetAlpha) targetAlpha[j] = alpha[size_t(j) * size_t(width) + size_t(ox)];
        }
    }
    AdoptResult(turned, destination);
    return true;
}

bool RxImage::Rotate180(RxImage* destination) {
    if (!dib) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    const WORD bpp = header.biBitCount;
    RxImage turned;
    if (!CreateTurned(turned, DWORD(width), DWORD(height), bpp)) return false;
    for (LONG y = 0; y < height && NextRow(y, height); ++y) {
        const LONG oy = height - 1 - y;
        const BYTE* source = info.bits + size_t(oy) * info.effWidth;
        BYTE* target = turned.info.bits + size_t(y) * turned.info.effWidth;
        for (LONG x = 0; x < width; ++x) PixelRow::CopyPixel(source, width - 1 - x, target, x, bpp);
        if (alpha) {
            const BYTE* a = alpha + size_t(oy) * size_t(width);
            std::reverse_copy(a, a + width, turned.alpha + size_t(y) * size_t(width));
        }
    }
    AdoptResult(turned, destination);
    return true;
}

bool RxImage::Rotate(float angle, RxImage* destination) {
    if (!dib || !std::isfinite(angle)) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    const WORD bpp = header.biBitCount;
    const double theta = -double(angle) * kPi / 180.0;
    const double c = std::cos(theta), s = std::sin(theta);

    // The bounding box of the turned corners, the origin included.
    const double corners[4][2] = {{0, 0}, {double(width), 0}, {0, double(height)},
                                  {double(width) - 1, double(height)}};
    int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const auto& p : corners) {
        const int64_t x = int64_t(p[0] * c - p[1] * s);
        const int64_t y = int64_t(p[0] * s + p[1] * c);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    const int64_t newWidth = maxX - minX, newHeight = maxY - minY;
    if (newWidth > std::numeric_limits<LONG>::max() || newHeight > std::numeric_limits<LONG>::max())
        return false;

    RxImage turned;
    if (!CreateTurned(turned, DWORD(newWidth), DWORD(newHeight), bpp)) return false;

    const bool indexed = header.biClrUsed != 0;
    const BYTE outsideIndex = GetPixelIndex(-1, -1);
    const RGBQUAD outsideColor = GetPixelColor(-1, -1);
    for (LONG i = 0; i < LONG(newHeight) && NextRow(i, newHeight); ++i) {
        const double y = double(minY + i);
        BYTE* target = turned.info.bits + size_t(i) * turned.info.effWidth;
        BYTE* targetAlpha = turned.alpha ? turned.alpha + size_t(i) * size_t(newWidth) : nullptr;
        for (LONG j = 0; j < LONG(newWidth); ++j) {
            const double x = double(minX + j);
            const LONG sx = TruncOr(x * c + y * s - 0.5, -1);
            const LONG sy = TruncOr(y * c - x * s - 0.5, -1);
            if (IsInside(sx, sy)) {
                PixelRow::CopyPixel(info.bits + size_t(sy) * info.effWidth, sx, target, j, bpp);
                if (targetAlpha) targetAlpha[j] = alpha[size_t(sy) * size_t(width) + size_t(sx)];
            } else if (indexed) {
                PixelRow::SetIndex(target, j, bpp, outsideIndex);
            } else {
                BYTE* p = target + 3 * size_t(j);
                p[0] = outsideColor.rgbBlue;
                p[1] = outsideColor.rgbGreen;
                p[2] = outsideColor.rgbRed;
            }
        }
    }
    AdoptResult(turned, destination);
    return true;
}

bool RxImage::CreateTurned(RxImage& fresh, DWORD width, DWORD height, DWORD bpp) const {
    if (!CreateLike(fresh, width, height, bpp)) return false;
    fresh.SetPalette(GetPalette(), header.biClrUsed);
    fresh.ClearSelectionBox();
    return !alpha || fresh.AlphaCreate();
}
