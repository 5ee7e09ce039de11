#include "image/RxImage.h"

#include <algorithm>

namespace {

// The sixteen system colours as red, green, blue.
const BYTE kSystemColors[16][3] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};

// The fixed last ten entries of the 256-colour table.
const BYTE kHighEntries[10][3] = {
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255},
};

// Hues of the ramps, as which of red, green and blue carry the colour.
const BYTE kRampHues[6][3] = {
    {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {1, 0, 1},
};

constexpr int kRampLength = 36;  // 6 hues x 36 = entries 10..225
constexpr int kTintSteps = 12;   // light tints before the pure hue

// Step `k` of a ramp from a light tint through the pure hue to a dark shade.
void RampLevels(int k, BYTE* carried, BYTE* others) {
    if (k < kTintSteps) {
        *carried = 255;
        *others = BYTE(224 - k * 224 / kTintSteps);
    } else {
        *carried = BYTE(255 - (k - kTintSteps) * 10);
        *others = 0;
    }
}

}  // namespace

void RxImage::SetStdPalette() {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    auto put = [palette](int i, BYTE r, BYTE g, BYTE b) { palette[i] = RGBQUAD{b, g, r, 0}; };
    if (header.biBitCount == 4 && header.biClrUsed == 16) {
        for (int i = 0; i < 16; ++i) put(i, kSystemColors[i][0], kSystemColors[i][1], kSystemColors[i][2]);
    } else if (header.biBitCount == 8 && header.biClrUsed == 256) {
        for (int i = 0; i < 8; ++i) put(i, kSystemColors[i][0], kSystemColors[i][1], kSystemColors[i][2]);
        put(8, 192, 220, 192);
        put(9, 166, 202, 240);
        int entry = 10;
        for (const auto& hue : kRampHues) {
            for (int k = 0; k < kRampLength; ++k, ++entry) {
                BYTE carried, others;
                RampLevels(k, &carried, &others);
                put(entry, hue[0] ? carried : others, hue[1] ? carried : others,
                    hue[2] ? carried : others);
            }
        }
        for (int level = 242; level >= 14; level -= 12, ++entry)
            put(entry, BYTE(level), BYTE(level), BYTE(level));
        for (int i = 0; i < 10; ++i) put(246 + i, kHighEntries[i][0], kHighEntries[i][1], kHighEntries[i][2]);
    } else {
        return;
    }
    info.lastColorValid = false;
}

void RxImage::BlendPalette(COLORREF rgb, LONG percent) {
    RGBQUAD* palette = GetPalette();
    if (!palette) return;
    const LONG p = std::clamp<LONG>(percent, 0, 100);
    auto mix = [p](BYTE colour, BYTE entry) { return BYTE((p * colour + (100 - p) * entry) / 100); };
    for (DWORD i = 0; i < header.biClrUsed; ++i) {
        palette[i].rgbRed = mix(GetRValue(rgb), palette[i].rgbRed);
        palette[i].rgbGreen = mix(GetGValue(rgb), palette[i].rgbGreen);
        palette[i].rgbBlue = mix(GetBValue(rgb), palette[i].rgbBlue);
    }
    info.lastColorValid = false;
}

void RxImage::SwapIndex(BYTE a, BYTE b) {
    RGBQUAD* palette = GetPalette();
    if (!palette || a >= header.biClrUsed || b >= header.biClrUsed || a == b) return;
    std::swap(palette[a], palette[b]);
    info.lastColorValid = false;
    // The transparent entry moves with its colour.
    if (info.transIndex == a)
        info.transIndex = b;
    else if (info.transIndex == b)
        info.transIndex = a;
    const LONG width = header.biWidth, height = header.biHeight;
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            const BYTE index = GetPixelIndex(x, y);
            if (index == a)
                SetPixelIndex(x, y, b);
            else if (index == b)
                SetPixelIndex(x, y, a);
        }
    }
}
