#include "image/RxImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/PixelRow.h"

namespace {

// The part of `box` that lies inside a width x height image.
RECT ClampBox(const RECT& box, LONG width, LONG height) {
    return RECT{std::clamp(box.left, 0, width), std::clamp(box.top, 0, height),
                std::clamp(box.right, 0, width), std::clamp(box.bottom, 0, height)};
}

// x + (int)(delta), or -1 (outside every image) when that cannot be held.
LONG OffsetOrOutside(LONG x, double delta) {
    if (!(delta > -2147483648.0 && delta < 2147483648.0)) return -1;
    const int64_t moved = int64_t(x) + int64_t(LONG(delta));
    return moved >= INT32_MIN && moved <= INT32_MAX ? LONG(moved) : -1;
}

bool IsNearerWhite(RGBQUAD c, RGBQUAD) {
    const int toBlack = c.rgbRed * c.rgbRed + c.rgbGreen * c.rgbGreen + c.rgbBlue * c.rgbBlue;
    const int r = 255 - c.rgbRed, g = 255 - c.rgbGreen, b = 255 - c.rgbBlue;
    return r * r + g * g + b * b < toBlack;
}

bool IsSameColor(RGBQUAD c, RGBQUAD reference) {
    return c.rgbRed == reference.rgbRed && c.rgbGreen == reference.rgbGreen &&
           c.rgbBlue == reference.rgbBlue;
}

}  // namespace

bool RxImage::GrayScale() {
    if (!dib) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    const WORD bpp = header.biBitCount;
    if (bpp > 8) {
        RxImage gray;
        if (!CreateLike(gray, DWORD(width), DWORD(height), 8)) return false;
        gray.SetGrayPalette();
        if (!CopyPlane(alpha, gray.alpha, PlaneBytes()) ||
            !CopyPlane(selection, gray.selection, PlaneBytes()))
            return false;
        if (info.transIndex != -1) {
            const RGBQUAD t = info.transColor;
            gray.info.transIndex = PixelRow::Gray(t.rgbRed, t.rgbGreen, t.rgbBlue);
        }
        for (LONG y = 0; y < height && NextRow(y, height); ++y) {
            const BYTE* p = info.bits + size_t(y) * info.effWidth;
            BYTE* target = gray.info.bits + size_t(y) * gray.info.effWidth;
            for (LONG x = 0; x < width; ++x, p += 3) target[x] = BYTE(PixelRow::Gray(p[2], p[1], p[0]));
        }
        AdoptResult(gray, nullptr);
        return true;
    }

    BYTE levels[256] = {};
    const RGBQUAD* palette = GetPalette();
    for (DWORD i = 0; i < header.biClrUsed; ++i)
        levels[i] = BYTE(PixelRow::Gray(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue));
    const LONG transIndex =
        info.transIndex >= 0 && info.transIndex < 256 ? levels[info.transIndex] : info.transIndex;

    if (bpp == 8) {
        for (LONG y = 0; y < height && NextRow(y, height); ++y) {
            BYTE* row = info.bits + size_t(y) * info.effWidth;
            for (LONG x = 0; x < width; ++x) row[x] = levels[row[x]];
        }
        SetGrayPalette();
        info.transIndex = transIndex;
        return true;
    }

    RxImage gray;
    if (!CreateLike(gray, DWORD(width), DWORD(height), 8)) return false;
    gray.SetGrayPalette();
    if (!CopyPlane(alpha, gray.alpha, PlaneBytes()) || !CopyPlane(selection, gray.selection, PlaneBytes()))
        return false;
    gray.info.transIndex = transIndex;
    for (LONG y = 0; y < height && NextRow(y, height); ++y) {
        const BYTE* row = info.bits + size_t(y) * info.effWidth;
        BYTE* target = gray.info.bits + size_t(y) * gray.info.effWidth;
        for (LONG x = 0; x < width; ++x) target[x] = levels[PixelRow::GetIndex(row, x, bpp)];
    }
    AdoptResult(gray, nullptr);
    return true;
}

bool RxImage::Flip() {
    if (!dib) return false;
    const size_t rowBytes = info.effWidth;
    for (LONG low = 0, high = header.biHeight - 1; low < high; ++low, --high)
        std::swap_ranges(info.bits + size_t(low) * rowBytes, info.bits + size_t(low + 1) * rowBytes,
                         info.bits + size_t(high) * rowBytes);
    AlphaFlip();
    SelectionDelete();
    return true;
}

bool RxImage::Mirror() {
    if (!dib) return false;
    const LONG width = header.biWidth;
    const WORD bpp = header.biBitCount;
    for (LONG y = 0; y < header.biHeight; ++y) {
        BYTE* row = info.bits + size_t(y) * info.effWidth;
        if (bpp == 8) {
            std::reverse(row, row + width);
        } else if (bpp == 24) {
            for (LONG low = 0, high = width - 1; low < high; ++low, --high)
                std::swap_ranges(row + 3 * size_t(low), row + 3 * size_t(low) + 3, row + 3 * size_t(high));
        } else {
            for (LONG low = 0, high = width - 1; low < high; ++low, --high) {
                const BYTE a = PixelRow::GetIndex(row, low, bpp);
                PixelRow::SetIndex(row, low, bpp, PixelRow::GetIndex(row, high, bpp));
                PixelRow::SetIndex(row, high, bpp, a);
            }
        }
    }
    AlphaMirror();
    SelectionDelete();
    return true;
}

bool RxImage::Negative() {
    if (!dib) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    auto selected = [&](LONG x, LONG y) {
        return !selection || selection[size_t(y) * size_t(width) + size_t(x)] != 0;
    };
    if (header.biBitCount > 8) {
        const RECT box = selection ? ClampBox(info.selectionBox, width, height)
                                   : RECT{0, height, width, 0};
        for (LONG y = box.bottom; y < box.top; ++y) {
            BYTE* p = info.bits + size_t(y) * info.effWidth + 3 * size_t(box.left);
            for (LONG x = box.left; x < box.right; ++x, p += 3) {
                if (!selected(x, y)) continue;
                p[0] = BYTE(~p[0]);
                p[1] = BYTE(~p[1]);
                p[2] = BYTE(~p[2]);
            }
        }
        RGBQUAD& t = info.transColor;
        t = RGBQUAD{BYTE(~t.rgbBlue), BYTE(~t.rgbGreen), BYTE(~t.rgbRed), t.rgbReserved};
        return true;
    }
    RGBQUAD* palette = GetPalette();
    if (!IsGrayScale()) {
        for (DWORD i = 0; i < header.biClrUsed; ++i) {
            RGBQUAD& e = palette[i];
            e = RGBQUAD{BYTE(~e.rgbBlue), BYTE(~e.rgbGreen), BYTE(~e.rgbRed), e.rgbReserved};
        }
        info.lastColorValid = false;
        return true;
    }
    const BYTE last = BYTE(header.biClrUsed - 1);
    const WORD bpp = header.biBitCount;
    for (LONG y = 0; y < height; ++y) {
        BYTE* row = info.bits + size_t(y) * info.effWidth;
        for (LONG x = 0; x < width; ++x)
            if (selected(x, y)) PixelRow::SetIndex(row, x, bpp, BYTE(last - PixelRow::GetIndex(row, x, bpp)));
    }
    // Without a selection every pixel of the transparent index moved to the
    // inverted index; the transparent colour follows them.
    if (!selection && info.transIndex >= 0 && info.transIndex <= last) info.transIndex = last - info.transIndex;
    return true;
}

bool RxImage::Crop(LONG left, LONG top, LONG right, LONG bottom, RxImage* destination) {
    if (!dib) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    left = std::clamp(left, 0, width);
    right = std::clamp(right, 0, width);
    top = std::clamp(top, 0, height);
    bottom = std::clamp(bottom, 0, height);
    if (left == right || top == bottom) return false;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const LONG newWidth = right - left, newHeight = bottom - top;
    const LONG firstRow = height - bottom;  // top and bottom count from the top
    const WORD bpp = header.biBitCount;

    RxImage cut;
    if (!CreateLike(cut, DWORD(newWidth), DWORD(newHeight), bpp)) return false;
    cut.SetPalette(GetPalette(), header.biClrUsed);
    cut.ClearSelectionBox();
    if (alpha && !cut.AlphaCreate()) return false;
    for (LONG y = 0; y < newHeight && NextRow(y, newHeight); ++y) {
        const BYTE* source = info.bits + size_t(firstRow + y) * info.effWidth;
        BYTE* target = cut.info.bits + size_t(y) * cut.info.effWidth;
        if (bpp >= 8) {
            const size_t pixelBytes = bpp / 8;
            std::memcpy(target, source + pixelBytes * size_t(left), pixelBytes * size_t(newWidth));
        } else {
            for (LONG x = 0; x < newWidth; ++x) PixelRow::CopyPixel(source, left + x, target, x, bpp);
        }
        // The transparency of the kept pixels is kept with them.
        if (alpha)
            std::memcpy(cut.alpha + size_t(y) * size_t(newWidth),
                        alpha + size_t(firstRow + y) * size_t(width) + size_t(left), size_t(newWidth));
    }
    AdoptResult(cut, destination);
    return true;
}

bool RxImage::Crop(const RECT& rect, RxImage* destination) {
    return Crop(rect.left, rect.top, rect.right, rect.bottom, destination);
}

bool RxImage::Skew(float xGain, float yGain, LONG xPivot, LONG yPivot) {
    if (!dib) return false;
    RxImage source(*this, true, false, true);
    if (!source.dib || (alpha && !source.alpha)) return false;
    const LONG width = header.biWidth, height = header.biHeight;
    const RECT box = selection ? ClampBox(info.selectionBox, width, height) : RECT{0, height, width, 0};
    const bool indexed = header.biClrUsed != 0;
    const int64_t rows = int64_t(box.top) - box.bottom;
    for (LONG y = box.bottom; y < box.top && NextRow(y - box.bottom, rows); ++y) {
        const double shiftX = (double(y) - yPivot) * xGain;
        for (LONG x = box.left; x < box.right; ++x) {
            if (!SelectionIsInside(x, y)) continue;
            const LONG sx = OffsetOrOutside(x, shiftX);
            const LONG sy = OffsetOrOutside(y, (double(x) - xPivot) * yGain);
            if (indexed)
                SetPixelIndex(x, y, source.GetPixelIndex(sx, sy));
            else
                SetPixelColor(x, y, source.GetPixelColor(sx, sy), false);
            if (alpha) AlphaSet(x, y, source.AlphaGet(sx, sy));
        }
    }
    return true;
}

int RxImage::ConvertToBlackWhite(bool (*isWhite)(RGBQUAD color, RGBQUAD reference), RGBQUAD reference) {
    if (!dib || header.biBitCount == 0) return 0;
    if (header.biBitCount == 1 && header.biClrImportant == 1) return 1;
    const LONG width = header.biWidth, height = header.biHeight;
    RxImage bw;
    if (!CreateLike(bw, DWORD(width), DWORD(height), 1)) return 0;
    bw.header.biClrImportant = 2;
    static_cast<BITMAPINFOHEADER*>(bw.dib)->biClrImportant = 2;
    bw.SetPaletteColor(0, 0, 0, 0);
    bw.SetPaletteColor(1, 255, 255, 255);
    // A transparent index would now stand for every black or white pixel.
    bw.info.transIndex = -1;
    if (!CopyPlane(alpha, bw.alpha, PlaneBytes()) || !CopyPlane(selection, bw.selection, PlaneBytes()))
        return 0;
    for (LONG y = 0; y < height && NextRow(y, height); ++y) {
        BYTE* row = bw.info.bits + size_t(y) * bw.info.effWidth;
        for (LONG x = 0; x < width; ++x)
            PixelRow::SetIndex(row, x, 1, isWhite(GetPixelColor(x, y), reference) ? 1 : 0);
    }
    AdoptResult(bw, nullptr);
    return 1;
}

int RxImage::ConvertWB() {
    return ConvertToBlackWhite(IsNearerWhite, RGBQUAD{0, 0, 0, 0});
}

int RxImage::ConvertWB2(RGBQUAD color) {
    return ConvertToBlackWhite(IsSameColor, color);
}
