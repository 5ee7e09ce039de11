#include <cmath>
#include <cstring>
#include <utility>

#include "image/RxImage.h"
#include "platform/CBitmap.h"
#include "platform/CDC.h"
#include "platform/CFont.h"

namespace {

uint32_t DevicePixel(const RGBQUAD& c) {
    return 0xFF000000u | (uint32_t(c.rgbRed) << 16) | (uint32_t(c.rgbGreen) << 8) | c.rgbBlue;
}

LONG Clamp(LONG value, LONG low, LONG high) {
    return value < low ? low : (value > high ? high : value);
}

// Draws a 32-bit block onto the device at (x, y), one plain copy per row.
void PutSurface(CDC* dc, LONG x, LONG y, Surface&& pixels) {
    int width = pixels.Width(), height = pixels.Height();
    CBitmap bitmap;
    if (!bitmap.Attach(std::move(pixels), false)) return;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* previous = memory.SelectObject(&bitmap);
    dc->BitBlt(x, y, width, height, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
}

// Restores the clip region of a device context at the end of a drawing call
// that narrowed it.
class ClipGuard {
public:
    ClipGuard(CDC* dc, const RECT* clip) : dc(dc), level(0) {
        if (!clip) return;
        level = dc->SaveDC();
        dc->IntersectClipRect(*clip);
    }
    ~ClipGuard() {
        if (level) dc->RestoreDC(level);
    }

private:
    CDC* dc;
    int level;
};

}  // namespace

LONG RxImage::Draw(CDC* dc, LONG x, LONG y, LONG cx, LONG cy, const RECT* clip) {
    if (!dib || !dc || cx == 0 || cy == 0 || !info.enabled) return 0;
    LONG width = GetWidth(), height = GetHeight();
    if (width <= 0 || height <= 0) return 0;
    if (cx < 0) cx = width;
    if (cy < 0) cy = height;

    ClipGuard guard(dc, clip);
    RECT box;
    dc->GetClipBox(&box);
    RECT paint{Clamp(x, box.left, box.right), Clamp(y, box.top, box.bottom),
               Clamp(LONG(int64_t(x) + cx > INT32_MAX ? INT32_MAX : x + cx), box.left, box.right),
               Clamp(LONG(int64_t(y) + cy > INT32_MAX ? INT32_MAX : y + cy), box.top, box.bottom)};
    if (paint.right <= paint.left || paint.bottom <= paint.top) return 1;

    bool opaque = info.transIndex == -1 && !alpha && !info.alphaPaletteEnabled;
    bool unscaled = cx == width && cy == height;
    if (opaque && unscaled) {
        dc->SetStretchBltMode(COLORONCOLOR);
        dc->SetDIBitsToDevice(x, y, DWORD(width), DWORD(height), 0, 0, 0, DWORD(height), info.bits,
                              static_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
        return 1;
    }
    if (opaque)
        DrawScaled(dc, x, y, cx, cy, paint);
    else
        DrawBlended(dc, x, y, cx, cy, paint);
    return 1;
}

void RxImage::SourceMaps(LONG x, LONG y, LONG cx, LONG cy, const RECT& paint, std::vector<LONG>* columns,
                         std::vector<LONG>* rows) const {
    LONG width = GetWidth(), height = GetHeight();
    bool unscaled = cx == width && cy == height;
    float fx = float(width) / float(cx);
    float fy = float(height) / float(cy);
    columns->resize(size_t(paint.right - paint.left));
    for (LONG X = paint.left; X < paint.right; ++X) {
        LONG sx = unscaled ? X - x : LONG(std::floor(float(int64_t(X) - x) * fx));
        (*columns)[size_t(X - paint.left)] = Clamp(sx, 0, width - 1);
    }
    rows->resize(size_t(paint.bottom - paint.top));
    for (LONG Y = paint.top; Y < paint.bottom; ++Y) {
        // Device rows count downwards; image rows count from the bottom.
        LONG sy = unscaled ? height - 1 - (Y - y) : height - LONG(std::ceil(float(int64_t(Y) - y + 1) * fy));
        (*rows)[size_t(Y - paint.top)] = Clamp(sy, 0, height - 1);
    }
}

void RxImage::DrawScaled(CDC* dc, LONG x, LONG y, LONG cx, LONG cy, const RECT& paint) {
    std::vector<LONG> columns, rows;
    SourceMaps(x, y, cx, cy, paint, &columns, &rows);
    int pw = int(paint.right - paint.left), ph = int(paint.bottom - paint.top);
    Surface out;
    if (!out.Resize(pw, ph)) return;
    uint32_t lut[256] = {};
    RGBQUAD* palette = GetPalette();
    for (DWORD i = 0; palette && i < header.biClrUsed && i < 256; ++i) lut[i] = DevicePixel(palette[i]);
    WORD bpp = header.biBitCount;
    std::vector<uint32_t> offsets(columns.size());
    int wordColumns = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        offsets[i] = uint32_t(columns[i]) * 3;
        if (offsets[i] + 4 <= info.effWidth) wordColumns = int(i) + 1;
    }
    for (int j = 0; j < ph; ++j) {
        const BYTE* source = info.bits + size_t(rows[size_t(j)]) * info.effWidth;
        uint32_t* target = out.Row(j);
        if (bpp == 24) {
            // Blue, green, red and the next byte, read as one little-endian
            // word, are the device pixel once the top byte is made opaque.
            // Columns whose word would reach past the row take the bytes one
            // by one; they are the last ones, as columns only grow.
            int i = 0;
            for (; i < wordColumns; ++i) {
                uint32_t word;
                std::memcpy(&word, source + offsets[size_t(i)], 4);
                target[i] = word | 0xFF000000u;
            }
            for (; i < pw; ++i) {
                const BYTE* p = source + offsets[size_t(i)];
                target[i] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            }
        } else if (bpp == 8) {
            for (int i = 0; i < pw; ++i) target[i] = lut[source[columns[size_t(i)]]];
        } else {
            for (int i = 0; i < pw; ++i) {
                LONG sx = columns[size_t(i)];
                BYTE index = bpp == 4 ? BYTE((source[sx >> 1] >> ((sx & 1) ? 0 : 4)) & 0x0F)
                                      : BYTE((source[sx >> 3] >> (7 - (sx & 7))) & 1);
                target[i] = lut[index];
            }
        }
    }
    PutSurface(dc, paint.left, paint.top, std::move(out));
}

void RxImage::DrawBlended(CDC* dc, LONG x, LONG y, LONG cx, LONG cy, const RECT& paint) {
    std::vector<LONG> columns, rows;
    SourceMaps(x, y, cx, cy, paint, &columns, &rows);
    int pw = int(paint.right - paint.left), ph = int(paint.bottom - paint.top);
    Surface out;
    if (!out.Resize(pw, ph)) return;
    // The device content under the paint box is the background.
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biHeight = -1;  // top-down, like the surface
    dc->GetDIBits(paint, out.Pixels(), &request);
    // The device's pixels are opaque, whatever the read gives as their fourth byte.
    for (int j = 0; j < ph; ++j) {
        uint32_t* row = out.Row(j);
        for (int i = 0; i < pw; ++i) row[i] |= 0xFF000000u;
    }

    RGBQUAD transparent = GetTransColor();
    bool checkTransparent = info.transIndex != -1;
    RGBQUAD* palette = GetPalette();
    LONG width = GetWidth();
    for (int j = 0; j < ph; ++j) {
        LONG sy = rows[size_t(j)];
        uint32_t* target = out.Row(j);
        for (int i = 0; i < pw; ++i) {
            LONG sx = columns[size_t(i)];
            unsigned level = alpha ? alpha[size_t(sy) * size_t(width) + size_t(sx)] : 255;
            unsigned a = ((unsigned(info.alphaMax) + 1) * level) >> 8;
            RGBQUAD colour;
            if (palette) {
                colour = GetPaletteColor(GetPixelIndex(sx, sy));
                if (info.alphaPaletteEnabled) a = (a * (unsigned(colour.rgbReserved) + 1)) >> 8;
            } else {
                const BYTE* p = info.bits + size_t(sy) * info.effWidth + size_t(sx) * 3;
                colour = RGBQUAD{p[0], p[1], p[2], 0};
            }
            if (a == 0) continue;
            if (checkTransparent && std::memcmp(&colour, &transparent, sizeof(colour)) == 0) continue;
            if (a == 255) {
                target[i] = DevicePixel(colour);
                continue;
            }
            uint32_t back = target[i];
            unsigned blue = ((back & 0xFF) * (255 - a) + colour.rgbBlue * a) >> 8;
            unsigned green = (((back >> 8) & 0xFF) * (255 - a) + colour.rgbGreen * a) >> 8;
            unsigned red = (((back >> 16) & 0xFF) * (255 - a) + colour.rgbRed * a) >> 8;
            target[i] = 0xFF000000u | (red << 16) | (green << 8) | blue;
        }
    }
    PutSurface(dc, paint.left, paint.top, std::move(out));
}

LONG RxImage::Draw(CDC* dc, const RECT& rect, const RECT* clip) {
    return Draw(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, clip);
}

LONG RxImage::Draw2(CDC* dc, LONG x, LONG y, LONG cx, LONG cy) {
    if (!dib || !dc || cx == 0 || cy == 0 || !info.enabled) return 0;
    LONG width = GetWidth(), height = GetHeight();
    if (width <= 0 || height <= 0) return 0;
    if (cx < 0) cx = width;
    if (cy < 0) cy = height;
    if (info.transIndex == -1) {
        dc->SetStretchBltMode(COLORONCOLOR);
        dc->StretchDIBits(x, y, cx, cy, 0, 0, width, height, info.bits, static_cast<const BITMAPINFO*>(dib),
                          DIB_RGB_COLORS, SRCCOPY);
        return 1;
    }
    if (!dc->RectVisible(RECT{x, y, x + cx, y + cy})) return 1;
    // The picture at its own size, and a mask that is white where the
    // transparent colour is; exclusive-or, and, exclusive-or leaves the
    // device untouched under the mask.
    CDC imageDC;
    imageDC.CreateCompatibleDC(dc);
    CBitmap picture;
    if (!picture.CreateCompatibleBitmap(dc, width, height)) return 1;
    CBitmap* previousPicture = imageDC.SelectObject(&picture);
    imageDC.SetDIBitsToDevice(0, 0, DWORD(width), DWORD(height), 0, 0, 0, DWORD(height), info.bits,
                              static_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS);
    CDC maskDC;
    maskDC.CreateCompatibleDC(dc);
    CBitmap mask;
    if (!mask.CreateBitmap(width, height, 1, 1, nullptr)) {
        imageDC.SelectObject(previousPicture);
        return 1;
    }
    CBitmap* previousMask = maskDC.SelectObject(&mask);
    imageDC.SetBkColor(RGBQUADtoRGB(GetTransColor()));
    maskDC.BitBlt(0, 0, width, height, &imageDC, 0, 0, SRCCOPY);

    dc->SetStretchBltMode(COLORONCOLOR);
    COLORREF oldText = dc->SetTextColor(RGB(0, 0, 0));
    COLORREF oldBack = dc->SetBkColor(RGB(255, 255, 255));
    dc->StretchBlt(x, y, cx, cy, &imageDC, 0, 0, width, height, SRCINVERT);
    dc->StretchBlt(x, y, cx, cy, &maskDC, 0, 0, width, height, SRCAND);
    dc->StretchBlt(x, y, cx, cy, &imageDC, 0, 0, width, height, SRCINVERT);
    dc->SetTextColor(oldText);
    dc->SetBkColor(oldBack);
    maskDC.SelectObject(previousMask);
    imageDC.SelectObject(previousPicture);
    return 1;
}

LONG RxImage::Draw2(CDC* dc, const RECT& rect) {
    return Draw2(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

LONG RxImage::Stretch(CDC* dc, LONG x, LONG y, LONG cx, LONG cy) {
    if (!dib || !dc) return 0;
    dc->SetStretchBltMode(COLORONCOLOR);
    dc->StretchDIBits(x, y, cx, cy, 0, 0, GetWidth(), GetHeight(), info.bits,
                      static_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS, SRCCOPY);
    return 1;
}

LONG RxImage::Stretch(CDC* dc, const RECT& rect) {
    return Stretch(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

LONG RxImage::Tile(CDC* dc, const RECT* rect) {
    if (!dib || !dc || !rect) return 0;
    LONG width = GetWidth(), height = GetHeight();
    if (width <= 0 || height <= 0) return 1;
    // Cells wholly outside the clip box would draw nothing: start and stop
    // at the visible ones, so a huge rectangle costs no more than the device.
    RECT box;
    dc->GetClipBox(&box);
    int64_t firstColumn = box.left > rect->left ? (int64_t(box.left) - rect->left) / width : 0;
    int64_t firstRow = box.top > rect->top ? (int64_t(box.top) - rect->top) / height : 0;
    int64_t right = rect->right < box.right ? rect->right : box.right;
    int64_t bottom = rect->bottom < box.bottom ? rect->bottom : box.bottom;
    for (int64_t top = rect->top + firstRow * height; top < bottom; top += height) {
        for (int64_t left = rect->left + firstColumn * width; left < right; left += width) {
            RECT cell{LONG(left), LONG(top), LONG(left + width < rect->right ? left + width : rect->right),
                      LONG(top + height < rect->bottom ? top + height : rect->bottom)};
            Draw(dc, cell.left, cell.top, -1, -1, &cell);
        }
    }
    return 1;
}

LONG RxImage::DrawTextA(CDC* dc, LONG x, LONG y, const char* text, COLORREF color, const char* fontName,
                        LONG size, LONG weight, BYTE italic, BYTE underline) {
    if (!dib) return 1;
    if (!text) return 1;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    char face[32] = {};
    if (fontName) std::strncpy(face, fontName, sizeof(face) - 1);
    CFont font;
    CFont* previousFont;
    if (font.CreateFont(size, 0, 0, 0, weight, italic, underline, 0, 0, 0, 0, 0, 0, face))
        previousFont = memory.SelectObject(&font);
    else
        previousFont = static_cast<CFont*>(memory.SelectStockObject(DEFAULT_GUI_FONT));
    memory.SetTextColor(RGB(255, 255, 255));
    memory.SetBkColor(RGB(0, 0, 0));
    memory.SetBkMode(OPAQUE);
    SIZE extent = memory.GetTextExtent(text, int(std::strlen(text)));
    extent.cx += extent.cy;
    if (extent.cx <= 0 || extent.cy <= 0) {
        memory.SelectObject(previousFont);
        return 1;
    }
    CBitmap canvas;
    if (!canvas.CreateBitmap(extent.cx, extent.cy, 1, 24, nullptr)) {
        memory.SelectObject(previousFont);
        return 1;
    }
    CBitmap* previousBitmap = memory.SelectObject(&canvas);
    RECT all{0, 0, extent.cx, extent.cy};
    memory.FillSolidRect(all, RGB(0, 0, 0));
    memory.TextOut(0, 0, text, int(std::strlen(text)));
    memory.SelectObject(previousBitmap);
    memory.SelectObject(previousFont);

    RxImage glyphs(0);
    glyphs.CreateFromHBITMAP(&canvas);
    if (!glyphs.IsValid()) return 1;
    RGBQUAD ink = RGBtoRGBQUAD(color);
    for (LONG j = 0; j < glyphs.GetHeight(); ++j) {
        const BYTE* row = glyphs.info.bits + size_t(j) * glyphs.info.effWidth;
        for (LONG i = 0; i < glyphs.GetWidth(); ++i)
            if (row[size_t(i) * 3] != 0) SetPixelColor(x + i, GetHeight() - y + j - 1, ink, false);
    }
    return 1;
}
