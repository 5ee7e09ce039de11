#pragma once

#include "platform/WinTypes.h"

// Raw access to one packed pixel row of 1, 4, 8 or 24 bits per pixel, for
// the inner loops of the image operations (bounds are the caller's).
namespace PixelRow {

inline BYTE GetIndex(const BYTE* row, LONG x, WORD bpp) {
    switch (bpp) {
        case 8: return row[x];
        case 4: return (x & 1) ? BYTE(row[x >> 1] & 0x0F) : BYTE(row[x >> 1] >> 4);
        case 1: return BYTE((row[x >> 3] >> (7 - (x & 7))) & 1);
        default: return 0;
    }
}

inline void SetIndex(BYTE* row, LONG x, WORD bpp, BYTE index) {
    switch (bpp) {
        case 8: row[x] = index; break;
        case 4: {
            BYTE& pair = row[x >> 1];
            pair = (x & 1) ? BYTE((pair & 0xF0) | (index & 0x0F)) : BYTE((pair & 0x0F) | (index << 4));
            break;
        }
        case 1: {
            const BYTE mask = BYTE(0x80 >> (x & 7));
            row[x >> 3] = index ? BYTE(row[x >> 3] | mask) : BYTE(row[x >> 3] & ~mask);
            break;
        }
        default: break;
    }
}

// Copies pixel `sx` of `source` to pixel `dx` of `target`, both of `bpp`.
inline void CopyPixel(const BYTE* source, LONG sx, BYTE* target, LONG dx, WORD bpp) {
    if (bpp == 24) {
        const BYTE* s = source + 3 * size_t(sx);
        BYTE* d = target + 3 * size_t(dx);
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    } else {
        SetIndex(target, dx, bpp, GetIndex(source, sx, bpp));
    }
}

inline int Gray(BYTE red, BYTE green, BYTE blue) {
    return (red * 306 + green * 601 + blue * 117) >> 10;
}

}  // namespace PixelRow
