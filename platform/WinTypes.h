#pragma once

// The plain data types that the window framework, the drawing layer and the
// image classes share. Layouts match the classic 32-bit records field for
// field, since files (BMP headers, packed bitmaps) carry them byte for byte.

#include <cstdint>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int32_t BOOL;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef DWORD COLORREF;  // 0x00BBGGRR

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(BYTE(r)) | (COLORREF(BYTE(g)) << 8) | (COLORREF(BYTE(b)) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE(c >> 8); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE(c >> 16); }

struct RECT {
    LONG left, top, right, bottom;
};

struct POINT {
    LONG x, y;
};

struct SIZE {
    LONG cx, cy;
};

#pragma pack(push, 1)
struct RGBQUAD {
    BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
#pragma pack(pop)

static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is four bytes");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is 40 bytes");
