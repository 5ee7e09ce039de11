// Block transfers, packed DIBs, icons and the disabled (embossed) look.

#include <algorithm>
#include <cstring>

#include "platform/CDC.h"
#include "platform/DibReader.h"
#include "platform/SysColors.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
// Pixels darker than this count as the image's ink in the disabled look;
// lighter ones (white, button face) vanish into the background.
constexpr int kInkLuma = 200;

bool IsSourceRop(DWORD rop) {
    switch (rop) {
    case SRCCOPY: case SRCAND: case SRCPAINT: case SRCINVERT: case SRCERASE: case NOTSRCCOPY: case NOTSRCERASE:
    case MERGEPAINT: case DSTERASE: return true;
    default: return false;
    }
}

int Luma(uint32_t p) { return (int((p >> 16) & 0xFF) * 30 + int((p >> 8) & 0xFF) * 59 + int(p & 0xFF) * 11) / 100; }

inline uint32_t Combine(uint32_t d, uint32_t s, DWORD rop) {
    switch (rop) {
    case SRCAND: return (d & s) | 0xFF000000u;
    case SRCPAINT: return (d | s) | 0xFF000000u;
    case SRCINVERT: return (d ^ s) | 0xFF000000u;
    case SRCERASE: return (s & ~d) | 0xFF000000u;
    case NOTSRCCOPY: return (~s) | 0xFF000000u;
    case NOTSRCERASE: return ~(s | d) | 0xFF000000u;
    case MERGEPAINT: return (~s | d) | 0xFF000000u;
    case DSTERASE: return (d & ~s) | 0xFF000000u;
    default: return s | 0xFF000000u;
    }
}

// Scaled index of a destination offset: nearest neighbour, mirrored when asked.
inline int SourceIndex(int offset, int destLength, int srcLength, bool mirror) {
    const int o = mirror ? destLength - 1 - offset : offset;
    return int((int64_t(o) * srcLength) / destLength);
}

}  // namespace

bool CDC::StretchSurface(int x, int y, int width, int height, const BlitSource& src, int xSrc, int ySrc, int srcWidth,
                         int srcHeight, DWORD rop) {
    if (!surface_ || !src.pixels || width == 0 || height == 0 || srcWidth == 0 || srcHeight == 0) return false;
    if (!IsSourceRop(rop)) return false;
    const bool mirrorX = (width < 0) != (srcWidth < 0);
    const bool mirrorY = (height < 0) != (srcHeight < 0);
    const int w = std::abs(width), h = std::abs(height);
    const int sw = std::abs(srcWidth), sh = std::abs(srcHeight);
    const int sLeft = srcWidth < 0 ? xSrc + srcWidth + 1 : xSrc;
    const int sTop = srcHeight < 0 ? ySrc + srcHeight + 1 : ySrc;
    const int dLeft = width < 0 ? x + width + 1 : x;
    const int dTop = height < 0 ? y + height + 1 : y;
    const RECT dest = LogicalToSurface(RECT{dLeft, dTop, dLeft + w, dTop + h});

    // Reading and writing the same pixels: take a copy of the source first.
    Surface copy;
    const Surface* pixels = src.pixels;
    int srcOffsetX = 0, srcOffsetY = 0;
    if (pixels == surface_) {
        const int cl = std::max(0, sLeft), ct = std::max(0, sTop);
        const int cr = std::min(pixels->Width(), sLeft + sw), cb = std::min(pixels->Height(), sTop + sh);
        if (cr <= cl || cb <= ct) return true;
        copy.Resize(cr - cl, cb - ct);
        for (int row = ct; row < cb; ++row)
            std::memcpy(copy.Row(row - ct), pixels->Row(row) + cl, size_t(cr - cl) * sizeof(uint32_t));
        pixels = &copy;
        srcOffsetX = cl;
        srcOffsetY = ct;
    }

    const bool targetMono = IsMonochrome();
    Conversion conversion = Conversion::None;
    if (src.mono && !targetMono) conversion = Conversion::MonoToColour;
    if (!src.mono && targetMono) conversion = Conversion::ColourToMono;
    const uint32_t foreground = DevicePixel(state_.textColour);  // mono 0 bits
    const uint32_t background = DevicePixel(state_.bkColour);    // mono 1 bits
    const uint32_t sourceBk = Surface::FromColorRef(src.bkColour) & 0xFFFFFF;
    auto convert = [&](uint32_t p) -> uint32_t {
        switch (conversion) {
        case Conversion::MonoToColour: return (p & 0xFFFFFF) ? background : foreground;
        case Conversion::ColourToMono: return (p & 0xFFFFFF) == sourceBk ? kWhite : kBlack;
        default: return p;
        }
    };
    const bool plainCopy = conversion == Conversion::None && rop == SRCCOPY && !mirrorX && w == sw;

    for (const RECT& c : effectiveClip_) {
        const int left = std::max(dest.left, c.left), right = std::min(dest.right, c.right);
        const int top = std::max(dest.top, c.top), bottom = std::min(dest.bottom, c.bottom);
        for (int py = top; py < bottom; ++py) {
            const int sy = sTop + SourceIndex(py - dest.top, h, sh, mirrorY) - srcOffsetY;
            if (sy < 0 || sy >= pixels->Height()) continue;
            const uint32_t* srow = pixels->Row(sy);
            uint32_t* drow = surface_->Row(py);
            if (plainCopy) {
                // Unscaled: one clipped row copy.
                int from = left, to = right;
                const int shift = sLeft - srcOffsetX - dest.left;
                from = std::max(from, -shift);
                to = std::min(to, pixels->Width() - shift);
                if (to > from) std::memcpy(drow + from, srow + from + shift, size_t(to - from) * sizeof(uint32_t));
                continue;
            }
            for (int px = left; px < right; ++px) {
                const int sx = sLeft + SourceIndex(px - dest.left, w, sw, mirrorX) - srcOffsetX;
                if (sx < 0 || sx >= pixels->Width()) continue;
                drow[px] = Combine(drow[px], convert(srow[sx]), rop);
            }
        }
    }
    return true;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop) {
    if (!IsSourceRop(rop)) return PatBlt(x, y, width, height, rop);
    return StretchBlt(x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                     DWORD rop) {
    if (!IsSourceRop(rop)) return PatBlt(x, y, width, height, rop);
    if (!src || !src->surface_) return FALSE;
    BlitSource source;
    source.pixels = src->surface_;
    source.mono = src->IsMonochrome();
    source.bkColour = src->state_.bkColour;
    const POINT origin = src->LogicalToSurface(POINT{xSrc, ySrc});
    return StretchSurface(x, y, width, height, source, origin.x, origin.y, srcWidth, srcHeight, rop) ? TRUE : FALSE;
}

namespace {

// Header and palette size bound for a caller's BITMAPINFO: the header says
// how long it is; masks and a full palette may follow.
size_t InfoBound(const BITMAPINFO* info) { return size_t(info->bmiHeader.biSize) + 12 + 256 * 4; }

}  // namespace

int CDC::SetDIBitsToDevice(int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                           UINT scanLines, const void* bits, const BITMAPINFO* info, UINT) {
    if (!info || !bits || width == 0 || height == 0 || scanLines == 0) return 0;
    DibReader::Info dib;
    if (!DibReader::ReadInfo(info, InfoBound(info), &dib, nullptr)) return 0;
    if (startScan >= UINT(dib.height)) return 0;
    const int available = int(std::min<UINT>(scanLines, UINT(dib.height) - startScan));
    // The block holds `available` rows starting at scan line startScan
    // (counted from the bottom for bottom-up bitmaps).
    DibReader::Info part = dib;
    part.height = available;
    size_t bytes = 0;
    if (!DibReader::ImageSize(dib.width, available, dib.bitCount, &bytes)) return 0;
    if (dib.compression == BI_RLE4 || dib.compression == BI_RLE8) bytes = info->bmiHeader.biSizeImage;
    Surface rows;
    if (!DibReader::DecodePixels(part, bits, bytes, &rows, nullptr)) return 0;
    // rows is top-down; in DIB terms its top row is scan line startScan + available - 1.
    const int w = int(std::min<DWORD>(width, DWORD(dib.width)));
    const int h = int(std::min<DWORD>(height, DWORD(dib.height)));
    int topInRows;
    if (dib.topDown)
        topInRows = ySrc - int(startScan);
    else
        topInRows = (int(startScan) + available - 1) - (ySrc + h - 1);
    BlitSource source;
    source.pixels = &rows;
    StretchSurface(x, y, w, h, source, xSrc, topInRows, w, h, SRCCOPY);
    return available;
}

int CDC::StretchDIBits(int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                       const void* bits, const BITMAPINFO* info, UINT, DWORD rop) {
    if (!info || !bits) return 0;
    DibReader::Info dib;
    if (!DibReader::ReadInfo(info, InfoBound(info), &dib, nullptr)) return 0;
    size_t bytes = 0;
    if (!DibReader::ImageSize(dib.width, dib.height, dib.bitCount, &bytes)) return 0;
    if (dib.compression == BI_RLE4 || dib.compression == BI_RLE8) bytes = info->bmiHeader.biSizeImage;
    Surface rows;
    if (!DibReader::DecodePixels(dib, bits, bytes, &rows, nullptr)) return 0;
    // Source rectangles of bottom-up bitmaps are measured from the bottom row.
    const int top = dib.topDown ? ySrc : dib.height - ySrc - srcHeight;
    BlitSource source;
    source.pixels = &rows;
    if (!StretchSurface(x, y, width, height, source, xSrc, top, srcWidth, srcHeight, rop)) return 0;
    return dib.height;
}

int CDC::GetDIBits(const RECT& rect, void* bits, BITMAPINFO* info) const {
    if (!info || !surface_) return 0;
    BITMAPINFOHEADER& header = info->bmiHeader;
    const int bitCount = header.biBitCount;
    if (bitCount != 24 && bitCount != 32) return 0;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || !Surface::SizeIsAcceptable(width, height)) return 0;
    const bool topDown = header.biHeight < 0;
    size_t bytes = 0;
    if (!DibReader::ImageSize(width, height, bitCount, &bytes)) return 0;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = topDown ? -height : height;
    header.biPlanes = 1;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(bytes);
    if (!bits) return height;
    const size_t rowBytes = bytes / size_t(height);
    const RECT s = LogicalToSurface(rect);
    auto* out = static_cast<uint8_t*>(bits);
    for (int j = 0; j < height; ++j) {
        uint8_t* row = out + size_t(topDown ? j : height - 1 - j) * rowBytes;
        std::memset(row, 0, rowBytes);
        const int sy = s.top + j;
        for (int i = 0; i < width; ++i) {
            const uint32_t p = surface_->At(s.left + i, sy);
            uint8_t* px = row + size_t(i) * size_t(bitCount / 8);
            px[0] = uint8_t(p);
            px[1] = uint8_t(p >> 8);
            px[2] = uint8_t(p >> 16);
            if (bitCount == 32) px[3] = 0;
        }
    }
    return height;
}

// --- icons and the disabled look ---

namespace {

// Colour and mask must both cover the icon's size before we index them.
bool IconIsConsistent(const Icon& icon) {
    return icon.width > 0 && icon.height > 0 && icon.colour.Width() == icon.width &&
           icon.colour.Height() == icon.height && icon.mask.Width() == icon.width && icon.mask.Height() == icon.height;
}

}  // namespace

void CDC::DrawIconImage(int x, int y, const Icon& icon, int cx, int cy, UINT flags) {
    if (!surface_ || !IconIsConsistent(icon)) return;
    if (cx <= 0) cx = icon.width;
    if (cy <= 0) cy = icon.height;
    const RECT dest = LogicalToSurface(RECT{x, y, x + cx, y + cy});
    const bool mono = IsMonochrome();
    for (const RECT& c : effectiveClip_) {
        const int left = std::max(dest.left, c.left), right = std::min(dest.right, c.right);
        const int top = std::max(dest.top, c.top), bottom = std::min(dest.bottom, c.bottom);
        for (int py = top; py < bottom; ++py) {
            const int sy = SourceIndex(py - dest.top, cy, icon.height, false);
            uint32_t* drow = surface_->Row(py);
            const uint32_t* colour = icon.colour.Row(sy);
            const uint32_t* mask = icon.mask.Row(sy);
            for (int px = left; px < right; ++px) {
                const int sx = SourceIndex(px - dest.left, cx, icon.width, false);
                uint32_t d = drow[px];
                const uint32_t s = colour[sx];
                if ((flags & DI_NORMAL) == DI_NORMAL && icon.hasAlpha) {
                    const uint32_t a = s >> 24;
                    if (a == 0) continue;
                    uint32_t out = 0xFF000000u;
                    for (int shift = 0; shift <= 16; shift += 8) {
                        const uint32_t dc = (d >> shift) & 0xFF, sc = (s >> shift) & 0xFF;
                        out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
                    }
                    d = out;
                } else {
                    if (flags & DI_MASK) d = (d & mask[sx]) | 0xFF000000u;
                    if (flags & DI_IMAGE) d = (flags & DI_MASK) ? (d ^ (s & 0xFFFFFF)) : (s | 0xFF000000u);
                }
                if (mono) d = Luma(d) >= 128 ? kWhite : kBlack;
                drow[px] = d;
            }
        }
    }
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) {
    if (!icon || !IconIsConsistent(*icon)) return FALSE;
    DrawIconImage(x, y, *icon, icon->width, icon->height, DI_NORMAL);
    return TRUE;
}

BOOL CDC::DrawIconEx(int x, int y, HICON icon, int cx, int cy, UINT flags) {
    if (!icon || !IconIsConsistent(*icon)) return FALSE;
    DrawIconImage(x, y, *icon, cx, cy, flags);
    return TRUE;
}

void CDC::DrawEmbossed(int x, int y, int width, int height, const std::vector<uint8_t>& ink) {
    const uint32_t light = DevicePixel(GetSysColor(COLOR_BTNHIGHLIGHT));
    const uint32_t dark = DevicePixel(GetSysColor(COLOR_BTNSHADOW));
    const POINT origin = LogicalToSurface(POINT{x, y});
    for (int pass = 0; pass < 2; ++pass) {
        const int offset = pass == 0 ? 1 : 0;
        const uint32_t pixel = pass == 0 ? light : dark;
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i)
                if (ink[size_t(j) * size_t(width) + size_t(i)])
                    PlotSurface(origin.x + i + offset, origin.y + j + offset, pixel);
    }
}

BOOL CDC::DrawState(POINT pt, SIZE size, CBitmap* bitmap, UINT flags, CBrush*) {
    if (!bitmap || !bitmap->IsCreated()) return FALSE;
    const Surface& pixels = bitmap->GetSurface();
    const int w = size.cx > 0 ? std::min<int>(size.cx, pixels.Width()) : pixels.Width();
    const int h = size.cy > 0 ? std::min<int>(size.cy, pixels.Height()) : pixels.Height();
    if (flags & DSS_DISABLED) {
        std::vector<uint8_t> ink(size_t(w) * size_t(h));
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) ink[size_t(j) * size_t(w) + size_t(i)] = Luma(pixels.Row(j)[i]) < kInkLuma;
        DrawEmbossed(pt.x, pt.y, w, h, ink);
        return TRUE;
    }
    BlitSource source;
    source.pixels = &pixels;
    source.mono = bitmap->IsMonochrome();
    source.bkColour = RGB(255, 255, 255);
    return StretchSurface(pt.x, pt.y, w, h, source, 0, 0, w, h, SRCCOPY) ? TRUE : FALSE;
}

BOOL CDC::DrawState(POINT pt, SIZE size, HICON icon, UINT flags, CBrush*) {
    if (!icon || !IconIsConsistent(*icon)) return FALSE;
    const int w = size.cx > 0 ? int(size.cx) : icon->width;
    const int h = size.cy > 0 ? int(size.cy) : icon->height;
    if (!(flags & DSS_DISABLED)) {
        DrawIconImage(pt.x, pt.y, *icon, w, h, DI_NORMAL);
        return TRUE;
    }
    std::vector<uint8_t> ink(size_t(w) * size_t(h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const int sx = SourceIndex(i, w, icon->width, false), sy = SourceIndex(j, h, icon->height, false);
            const uint32_t colour = icon->colour.Row(sy)[sx];
            const bool opaque = icon->hasAlpha ? (colour >> 24) >= 128 : (icon->mask.Row(sy)[sx] & 0xFFFFFF) == 0;
            ink[size_t(j) * size_t(w) + size_t(i)] = opaque && Luma(colour) < kInkLuma;
        }
    DrawEmbossed(pt.x, pt.y, w, h, ink);
    return TRUE;
}
