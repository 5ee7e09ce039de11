#pragma once

#include <vector>

#include "image/RxImage.h"

// Reaches the protected members that the operations tests look at.
class OpsImage : public RxImage {
public:
    using RxImage::Bitfield2RGB;
    using RxImage::b3spline;
    using RxImage::CompareColors;
    using RxImage::RGBtoBGR;
    using RxImage::RxImage;

    DWORD ClrImportant() const { return header.biClrImportant; }
    DWORD DibClrImportant() const { return static_cast<const BITMAPINFOHEADER*>(dib)->biClrImportant; }
    void SetClrImportant(DWORD count) {
        header.biClrImportant = count;
        static_cast<BITMAPINFOHEADER*>(dib)->biClrImportant = count;
    }
    const BYTE* AlphaPlane() const { return alpha; }
    const BYTE* SelectionPlane() const { return selection; }
    RECT SelectionBox() const { return info.selectionBox; }
};

// Palette entry i of the test palettes: distinct colours, not grey.
RGBQUAD TestPaletteColor(DWORD i);

// Index (palette images) or colour number (24 bits) of pixel (x, y) of the
// test pattern; every pixel of a row differs from its neighbours.
BYTE PatternIndex(LONG x, LONG y, WORD bpp);
RGBQUAD PatternColor(LONG x, LONG y);

// A width x height picture of the test pattern with the test palette, an
// alpha plane of value AlphaAt (x, y), a selection of the left half and
// transparent index 1 (palette images).
void MakePattern(RxImage& image, LONG width, LONG height, WORD bpp, bool withPlanes = true);
BYTE AlphaAt(LONG x, LONG y);

// The picture's pixels as comparable numbers: indices or 0xRRGGBB values.
std::vector<DWORD> PixelValues(RxImage& image);
DWORD PixelValue(RxImage& image, LONG x, LONG y);
bool SamePalette(RxImage& a, RxImage& b);
