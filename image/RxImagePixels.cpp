#include "image/RxImage.h"

#include <cstring>

BYTE RxImage::GetPixelIndex(LONG x, LONG y) {
    if (!dib || header.biClrUsed == 0) return 0;
    if (!IsInside(x, y)) return info.transIndex != -1 ? BYTE(info.transIndex) : 0;
    const BYTE* row = info.bits + size_t(y) * info.effWidth;
    switch (header.biBitCount) {
        case 8: return row[x];
        case 4: {
            BYTE pair = row[x >> 1];
            return (x & 1) ? (pair & 0x0F) : BYTE(pair >> 4);
        }
        case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
        default: return 0;
    }
}

void RxImage::SetPixelIndex(LONG x, LONG y, BYTE index) {
    if (!dib || header.biClrUsed == 0 || !IsInside(x, y)) return;
    BYTE* row = info.bits + size_t(y) * info.effWidth;
    switch (header.biBitCount) {
        case 8: row[x] = index; break;
        case 4: {
            BYTE& pair = row[x >> 1];
            if (x & 1)
                pair = BYTE((pair & 0xF0) | (index & 0x0F));
            else
                pair = BYTE((pair & 0x0F) | (index << 4));
            break;
        }
        case 1: {
            BYTE mask = BYTE(0x80 >> (x & 7));
            if (index)
                row[x >> 3] |= mask;
            else
                row[x >> 3] &= BYTE(~mask);
            break;
        }
        default: break;
    }
}

RGBQUAD RxImage::GetPixelColor(LONG x, LONG y) {
    if (!dib) return info.transColor;
    if (!IsInside(x, y)) {
        if (info.transIndex != -1) {
            if (header.biBitCount == 24) return info.transColor;
            return GetPaletteColor(BYTE(info.transIndex));
        }
        x = 0;
        y = 0;
        if (!IsInside(0, 0)) return info.transColor;
    }
    RGBQUAD color;
    if (header.biClrUsed) {
        color = GetPaletteColor(GetPixelIndex(x, y));
    } else {
        const BYTE* pixel = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
        color = RGBQUAD{pixel[0], pixel[1], pixel[2], 0};
    }
    if (alpha) color.rgbReserved = alpha[size_t(y) * size_t(header.biWidth) + size_t(x)];
    return color;
}

BYTE RxImage::GetPixelGray(LONG x, LONG y) {
    RGBQUAD c = GetPixelColor(x, y);
    return BYTE((c.rgbRed * 306 + c.rgbGreen * 601 + c.rgbBlue * 117) >> 10);
}

void RxImage::SetPixelColor(LONG x, LONG y, RGBQUAD color, bool setAlpha) {
    if (!dib || !IsInside(x, y)) return;
    if (header.biClrUsed) {
        SetPixelIndex(x, y, GetNearestIndex(color));
        return;
    }
    BYTE* pixel = info.bits + size_t(y) * info.effWidth + size_t(x) * 3;
    pixel[0] = color.rgbBlue;
    pixel[1] = color.rgbGreen;
    pixel[2] = color.rgbRed;
    if (setAlpha && alpha) alpha[size_t(y) * size_t(header.biWidth) + size_t(x)] = color.rgbReserved;
}

void RxImage::SetPixelColor(LONG x, LONG y, COLORREF rgb) {
    SetPixelColor(x, y, RGBtoRGBQUAD(rgb), false);
}

RGBQUAD RxImage::RGBtoRGBQUAD(COLORREF rgb) {
    return RGBQUAD{GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 0};
}

COLORREF RxImage::RGBQUADtoRGB(RGBQUAD color) {
    return RGB(color.rgbRed, color.rgbGreen, color.rgbBlue);
}
