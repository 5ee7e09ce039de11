#include "image/RxImage.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/PixelRow.h"

namespace {

// One row of colours being reduced, as signed channels so that diffused
// errors can be added before they are clamped.
struct ColorRow {
    std::vector<int> channels;  // blue, green, red per pixel

    void Load(RxImage& image, LONG y) {
        const LONG width = image.GetWidth();
        channels.resize(size_t(width) * 3);
        for (LONG x = 0; x < width; ++x) {
            const RGBQUAD c = image.GetPixelColor(x, y);
            channels[3 * size_t(x)] = c.rgbBlue;
            channels[3 * size_t(x) + 1] = c.rgbGreen;
            channels[3 * size_t(x) + 2] = c.rgbRed;
        }
    }

    RGBQUAD At(LONG x) const {
        const int* c = &channels[3 * size_t(x)];
        return RGBQUAD{BYTE(c[0]), BYTE(c[1]), BYTE(c[2]), 0};
    }

    // Adds error x numerator / 16 to pixel x, when the row holds it.
    void Spread(LONG x, const int error[3], int numerator) {
        if (x < 0 || size_t(x) * 3 >= channels.size()) return;
        int* c = &channels[3 * size_t(x)];
        for (int i = 0; i < 3; ++i) c[i] = std::clamp(c[i] + error[i] * numerator / 16, 0, 255);
    }
};

// Remembers the nearest palette index of recently seen colours, so that a
// picture of many colours does not scan the palette for every pixel. The
// palette must not change while it is in use.
class NearestIndexMemo {
public:
    explicit NearestIndexMemo(RxImage& image) : image(image), keys(kEntries, 0), indices(kEntries, 0) {}

    BYTE Find(RGBQUAD c) {
        const uint32_t key = uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
        const size_t slot = (key * 2654435761u) >> (32 - kBits);
        if (keys[slot] != key + 1) {
            keys[slot] = key + 1;
            indices[slot] = image.GetNearestIndex(RGBQUAD{c.rgbBlue, c.rgbGreen, c.rgbRed, 0});
        }
        return indices[slot];
    }

private:
    static constexpr int kBits = 16;
    static constexpr size_t kEntries = size_t(1) << kBits;
    RxImage& image;
    std::vector<uint32_t> keys;  // colour + 1; 0 marks an empty slot
    std::vector<BYTE> indices;
};

}  // namespace

bool RxImage::DecreaseBpp(DWORD bits, bool errorDiffusion, const RGBQUAD* palette) {
    if (!dib || (bits != 1 && bits != 4 && bits != 8) || header.biBitCount < bits) return false;
    if (header.biBitCount == bits) return true;
    const LONG width = header.biWidth, height = header.biHeight;
    RxImage reduced;
    if (!CreateLike(reduced, DWORD(width), DWORD(height), bits)) return false;
    if (!CopyPlane(alpha, reduced.alpha, PlaneBytes()) ||
        !CopyPlane(selection, reduced.selection, PlaneBytes()))
        return false;
    if (palette) {
        reduced.SetPalette(palette, reduced.header.biClrUsed);
    } else if (bits == 1) {
        reduced.SetPaletteColor(0, 0, 0, 0);
        reduced.SetPaletteColor(1, 255, 255, 255);
    } else {
        reduced.SetStdPalette();
    }
    // The transparent colour keeps being transparent in the new palette.
    if (info.transIndex != -1) {
        const RGBQUAD t = header.biClrUsed ? GetPaletteColor(BYTE(info.transIndex)) : info.transColor;
        reduced.info.transIndex = reduced.GetNearestIndex(RGBQUAD{t.rgbBlue, t.rgbGreen, t.rgbRed, 0});
    }

    const WORD bpp = WORD(bits);
    std::unique_ptr<NearestIndexMemo> memo;
    try {
        memo = std::make_unique<NearestIndexMemo>(reduced);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!errorDiffusion) {
        for (LONG y = 0; y < height && NextRow(y, height); ++y) {
            BYTE* row = reduced.info.bits + size_t(y) * reduced.info.effWidth;
            for (LONG x = 0; x < width; ++x) {
                PixelRow::SetIndex(row, x, bpp, memo->Find(GetPixelColor(x, y)));
            }
        }
    } else {
        try {
            ColorRow current, next;
            current.Load(*this, 0);
            for (LONG y = 0; y < height && NextRow(y, height); ++y) {
                if (y + 1 < height) next.Load(*this, y + 1);
                BYTE* row = reduced.info.bits + size_t(y) * reduced.info.effWidth;
                for (LONG x = 0; x < width; ++x) {
                    const RGBQUAD c = current.At(x);
                    const BYTE index = memo->Find(c);
                    PixelRow::SetIndex(row, x, bpp, index);
                    const RGBQUAD chosen = reduced.GetPaletteColor(index);
                    const int error[3] = {c.rgbBlue - chosen.rgbBlue, c.rgbGreen - chosen.rgbGreen,
                                          c.rgbRed - chosen.rgbRed};
                    current.Spread(x + 1, error, 7);
                    if (y + 1 < height) {
                        next.Spread(x - 1, error, 2);
                        next.Spread(x, error, 4);
                        next.Spread(x + 1, error, 1);
                    }
                }
                std::swap(current, next);
            }
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    AdoptResult(reduced, nullptr);
    return true;
}

bool RxImage::IncreaseBpp(DWORD bits) {
    if (!dib || (bits != 4 && bits != 8 && bits != 24) || header.biBitCount > bits) return false;
    if (header.biBitCount == bits) return true;
    const LONG width = header.biWidth, height = header.biHeight;
    const WORD bpp = header.biBitCount;
    RxImage wider;
    if (!CreateLike(wider, DWORD(width), DWORD(height), bits)) return false;
    if (!CopyPlane(alpha, wider.alpha, PlaneBytes()) ||
        !CopyPlane(selection, wider.selection, PlaneBytes()))
        return false;

    if (bits != 24) {
        wider.SetPalette(GetPalette(), header.biClrUsed);
        for (LONG y = 0; y < height && NextRow(y, height); ++y) {
            const BYTE* source = info.bits + size_t(y) * info.effWidth;
            BYTE* target = wider.info.bits + size_t(y) * wider.info.effWidth;
            for (LONG x = 0; x < width; ++x)
                PixelRow::SetIndex(target, x, WORD(bits), PixelRow::GetIndex(source, x, bpp));
        }
        AdoptResult(wider, nullptr);
        return true;
    }

    if (!wider.alpha && AlphaPaletteIsValid() && !wider.AlphaCreate()) return false;
    // A true-colour picture marks its transparent colour by value.
    if (info.transIndex != -1) wider.info.transColor = GetPaletteColor(BYTE(info.transIndex));
    for (LONG y = 0; y < height && NextRow(y, height); ++y)
        for (LONG x = 0; x < width; ++x) wider.SetPixelColor(x, y, GetPixelColor(x, y), true);
    AdoptResult(wider, nullptr);
    return true;
}
