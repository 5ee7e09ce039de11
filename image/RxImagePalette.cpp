#include "image/RxImage.h"

#include <cstring>

DWORD RxImage::GetPaletteSize() const {
    return header.biClrUsed * DWORD(sizeof(RGBQUAD));
}

RGBQUAD* RxImage::GetPalette() const {
    if (!dib || header.biClrUsed == 0) return nullptr;
    return reinterpret_cast<RGBQUAD*>(static_cast<BYTE*>(dib) + sizeof(BITMAPINFOHEADER));
}

RGBQUAD RxImage::GetPaletteColor(BYTE index) {
    RGBQUAD color{0, 0, 0, 0};
    RGBQUAD* palette = GetPalette();
    if (palette && index < header.biClrUsed) color = palette[index];
    return color;
}

bool RxImage::GetPaletteColor(BYTE index, BYTE* red, BYTE* green, BYTE* blue) {
    RGBQUAD* palette = GetPalette();
    if (!palette) return false;
    RGBQUAD color = index < header.biClrUsed ? palette[index] : RGBQUAD{0, 0, 0, 0};
    if (red) *red = color.rgbRed;
    if (green) *green = color.rgbGreen;
    if (blue) *blue = color.rgbBlue;
    return true;
}

void RxImage::SetPaletteColor(BYTE index, BYTE red, BYTE green, BYTE blue, BYTE alphaValue) {
    RGBQUAD* palette = GetPalette();
    if (!palette || index >= header.biClrUsed) return;
    palette[index] = RGBQUAD{blue, green, red, alphaValue};
    info.lastColorValid = false;
}

void RxImage::SetPaletteColor(BYTE index, RGBQUAD color) {
    SetPaletteColor(index, color.rgbRed, color.rgbGreen, color.rgbBlue, color.rgbReserved);
}

void RxImage::SetPaletteColor(BYTE index, COLORREF rgb) {
    SetPaletteColor(index, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb), 0);
}

void RxImage::SetPalette(const RGBQUAD* colors, DWORD count) {
    RGBQUAD* palette = GetPalette();
    if (!colors || !palette) return;
    if (count > header.biClrUsed) count = header.biClrUsed;
    std::memmove(palette, colors, count * sizeof(RGBQUAD));
    info.lastColorValid = false;
}

void RxImage::SetPalette(const BYTE* red, const BYTE* green, const BYTE* blue, DWORD count) {
    RGBQUAD* palette = GetPalette();
    if (!red || !palette) return;
    if (!green) green = red;
    if (!blue) blue = green;
    if (count > header.biClrUsed) count = header.biClrUsed;
    for (DWORD i = 0; i < count; ++i) palette[i] = RGBQUAD{blue[i], green[i], red[i], 0};
    info.lastColorValid = false;
}

void RxImage::SetPalette(const RgbTriple* colors, DWORD count) {
    RGBQUAD* palette = GetPalette();
    if (!colors || !palette) return;
    if (count > header.biClrUsed) count = header.biClrUsed;
    for (DWORD i = 0; i < count; ++i)
        palette[i] = RGBQUAD{colors[i].b, colors[i].g, colors[i].r, 0};
    info.lastColorValid = false;
}

void RxImage::SetGrayPalette() {
    RGBQUAD* palette = GetPalette();
    DWORD entries = header.biClrUsed;
    if (!palette || entries < 2) return;
    DWORD step = 255 / (entries - 1);
    for (DWORD i = 0; i < entries; ++i) {
        BYTE level = BYTE(i * step);
        palette[i] = RGBQUAD{level, level, level, 0};
    }
    info.lastColorValid = false;
}

bool RxImage::IsGrayScale() {
    RGBQUAD* palette = GetPalette();
    if (!palette) return false;
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        if (palette[i].rgbBlue != i || palette[i].rgbGreen != i || palette[i].rgbRed != i)
            return false;
    }
    return true;
}

BYTE RxImage::GetNearestIndex(RGBQUAD color) {
    RGBQUAD* palette = GetPalette();
    if (!palette) return 0;
    if (info.lastColorValid && std::memcmp(&color, &info.lastColor, sizeof(color)) == 0)
        return info.lastColorIndex;
    info.lastColor = color;
    info.lastColorValid = true;
    long best = 200000;
    BYTE bestIndex = 0;
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        long db = long(palette[i].rgbBlue) - color.rgbBlue;
        long dg = long(palette[i].rgbGreen) - color.rgbGreen;
        long dr = long(palette[i].rgbRed) - color.rgbRed;
        long distance = db * db + dg * dg + dr * dr;
        if (distance == 0) {
            bestIndex = BYTE(i);
            break;
        }
        if (distance < best) {
            best = distance;
            bestIndex = BYTE(i);
        }
    }
    info.lastColorIndex = bestIndex;
    return bestIndex;
}
