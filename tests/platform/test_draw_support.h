#pragma once

// Helpers shared by the drawing tests.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/CDC.h"

namespace drawtest {

constexpr uint32_t Px(COLORREF c) { return Surface::FromColorRef(c); }

// Bounding box of the pixels that differ from `background`; empty (all
// zero) when there are none.
inline RECT InkBox(const Surface& s, uint32_t background) {
    RECT box{0, 0, 0, 0};
    bool any = false;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            if (s.Row(y)[x] == background) continue;
            if (!any) {
                box = RECT{x, y, x + 1, y + 1};
                any = true;
            } else {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    return box;
}

inline int CountPixels(const Surface& s, uint32_t value) {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) n += s.Row(y)[x] == value;
    return n;
}

// Little-endian writers for building files in memory.
inline void Put16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(uint8_t(v));
    out->push_back(uint8_t(v >> 8));
}
inline void Put32(std::vector<uint8_t>* out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A BITMAPINFOHEADER followed by a palette.
inline std::vector<uint8_t> DibHeader(int width, int height, int bitCount, DWORD compression,
                                      const std::vector<uint32_t>& palette, DWORD imageSize = 0) {
    std::vector<uint8_t> h;
    Put32(&h, 40);
    Put32(&h, uint32_t(width));
    Put32(&h, uint32_t(height));
    Put16(&h, 1);
    Put16(&h, uint32_t(bitCount));
    Put32(&h, compression);
    Put32(&h, imageSize);
    Put32(&h, 3780);
    Put32(&h, 3780);
    Put32(&h, uint32_t(palette.size()));
    Put32(&h, 0);
    for (uint32_t c : palette) Put32(&h, c);  // 0x00RRGGBB as B, G, R, 0
    return h;
}

// A .bmp file around a header and pixel rows.
inline std::vector<uint8_t> BmpFile(const std::vector<uint8_t>& dibHeader, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> f = {'B', 'M'};
    Put32(&f, uint32_t(14 + dibHeader.size() + rows.size()));
    Put32(&f, 0);
    Put32(&f, uint32_t(14 + dibHeader.size()));
    f.insert(f.end(), dibHeader.begin(), dibHeader.end());
    f.insert(f.end(), rows.begin(), rows.end());
    return f;
}

}  // namespace drawtest
