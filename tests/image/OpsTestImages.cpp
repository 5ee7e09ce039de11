#include "OpsTestImages.h"

RGBQUAD TestPaletteColor(DWORD i) {
    return RGBQUAD{BYTE(i * 7 + 3), BYTE(255 - i), BYTE(i * 13 + 1), 0};
}

BYTE PatternIndex(LONG x, LONG y, WORD bpp) {
    const DWORD entries = bpp == 1 ? 2 : bpp == 4 ? 16 : 256;
    return BYTE((DWORD(x) * 3 + DWORD(y) * 5 + DWORD(x / 2)) % entries);
}

RGBQUAD PatternColor(LONG x, LONG y) {
    return RGBQUAD{BYTE(x * 17 + y), BYTE(y * 29 + x), BYTE(x * y + 5), 0};
}

BYTE AlphaAt(LONG x, LONG y) {
    return BYTE(x * 11 + y * 23 + 1);
}

void MakePattern(RxImage& image, LONG width, LONG height, WORD bpp, bool withPlanes) {
    image.Create(DWORD(width), DWORD(height), bpp);
    image.Clear(0);
    for (DWORD i = 0; i < image.GetNumColors(); ++i) image.SetPaletteColor(BYTE(i), TestPaletteColor(i));
    for (LONG y = 0; y < height; ++y) {
        for (LONG x = 0; x < width; ++x) {
            if (bpp == 24)
                image.SetPixelColor(x, y, PatternColor(x, y));
            else
                image.SetPixelIndex(x, y, PatternIndex(x, y, bpp));
        }
    }
    if (!withPlanes) return;
    if (bpp != 24) image.SetTransIndex(1);
    image.AlphaCreate();
    for (LONG y = 0; y < height; ++y)
        for (LONG x = 0; x < width; ++x) image.AlphaSet(x, y, AlphaAt(x, y));
    image.SelectionAddRect(RECT{0, height, width / 2, 0});
}

DWORD PixelValue(RxImage& image, LONG x, LONG y) {
    if (image.IsIndexed()) return image.GetPixelIndex(x, y);
    const RGBQUAD c = image.GetPixelColor(x, y);
    return DWORD(c.rgbRed) << 16 | DWORD(c.rgbGreen) << 8 | c.rgbBlue;
}

std::vector<DWORD> PixelValues(RxImage& image) {
    std::vector<DWORD> values;
    for (LONG y = 0; y < image.GetHeight(); ++y)
        for (LONG x = 0; x < image.GetWidth(); ++x) values.push_back(PixelValue(image, x, y));
    return values;
}

bool SamePalette(RxImage& a, RxImage& b) {
    if (a.GetNumColors() != b.GetNumColors()) return false;
    for (DWORD i = 0; i < a.GetNumColors(); ++i) {
        const RGBQUAD p = a.GetPaletteColor(BYTE(i)), q = b.GetPaletteColor(BYTE(i));
        if (p.rgbRed != q.rgbRed || p.rgbGreen != q.rgbGreen || p.rgbBlue != q.rgbBlue ||
            p.rgbReserved != q.rgbReserved)
            return false;
    }
    return true;
}
