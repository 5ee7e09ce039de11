#include "image/RxImage.h"

#include <algorithm>
#include <vector>

#include "image/PixelRow.h"

namespace {

const int kOrderedMatrix[4][4] = {
    {0, 8, 2, 10},
    {12, 4, 14, 6},
    {3, 11, 1, 9},
    {15, 7, 13, 5},
};

// Adds error x numerator / 16 to value x of the row, when it holds it.
void Spread(std::vector<int>& row, LONG x, int error, int numerator) {
    if (x < 0 || size_t(x) >= row.size()) return;
    row[size_t(x)] = std::clamp(row[size_t(x)] + error * numerator / 16, 0, 255);
}

}  // namespace

bool RxImage::Dither(LONG method) {
    if (!dib) return false;
    if (header.biBitCount == 1) return true;
    const LONG width = header.biWidth, height = header.biHeight;
    RxImage bw;
    if (!CreateLike(bw, DWORD(width), DWORD(height), 1)) return false;
    if (!CopyPlane(alpha, bw.alpha, PlaneBytes()) || !CopyPlane(selection, bw.selection, PlaneBytes()))
        return false;
    bw.SetPaletteColor(0, 0, 0, 0);
    bw.SetPaletteColor(1, 255, 255, 255);
    // A transparent index would now stand for every black or white pixel.
    bw.info.transIndex = -1;

    // Grey levels of a row, the same as converting to grey first.
    auto loadGray = [&](std::vector<int>& row, LONG y) {
        row.resize(size_t(width));
        for (LONG x = 0; x < width; ++x) row[size_t(x)] = GetPixelGray(x, y);
    };

    try {
        std::vector<int> current, next;
        if (method == 1) {
            for (LONG y = 0; y < height && NextRow(y, height); ++y) {
                loadGray(current, y);
                BYTE* target = bw.info.bits + size_t(y) * bw.info.effWidth;
                for (LONG x = 0; x < width; ++x) {
                    const int level = current[size_t(x)] * 16 / 255;
                    const int offset = level / 16, threshold = level % 16;
                    const int value = kOrderedMatrix[y % 4][x % 4] < threshold ? 1 + offset : offset;
                    PixelRow::SetIndex(target, x, 1, BYTE(value));
                }
            }
        } else if (height > 0) {
            loadGray(current, 0);
            for (LONG y = 0; y < height && NextRow(y, height); ++y) {
                if (y + 1 < height) loadGray(next, y + 1);
                BYTE* target = bw.info.bits + size_t(y) * bw.info.effWidth;
                for (LONG x = 0; x < width; ++x) {
                    const int value = current[size_t(x)];
                    const bool white = value >= 129;
                    const int error = white ? value - 255 : value;
                    PixelRow::SetIndex(target, x, 1, white ? 1 : 0);
                    Spread(current, x + 1, error, 7);
                    if (y + 1 < height) {
                        Spread(next, x - 1, error, 3);
                        Spread(next, x, error, 5);
                        Spread(next, x + 1, error, 1);
                    }
                }
                std::swap(current, next);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    AdoptResult(bw, nullptr);
    return true;
}
