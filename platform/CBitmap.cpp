#include "platform/CBitmap.h"

#include <cstring>

#include "platform/CDC.h"
#include "platform/DibReader.h"
#include "platform/ResourceTable.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

}  // namespace

bool CBitmap::LoadBitmap(UINT resourceId) {
    if (created_) return false;
    return ResourceTable::Instance().LoadBitmap(resourceId, this);
}

bool CBitmap::LoadMappedBitmap(UINT resourceId, const COLORMAP* map, int mapSize) {
    if (!LoadBitmap(resourceId)) return false;
    if (!map || mapSize <= 0) return true;
    for (int y = 0; y < surface_.Height(); ++y) {
        uint32_t* row = surface_.Row(y);
        for (int x = 0; x < surface_.Width(); ++x) {
            const COLORREF c = Surface::ToColorRef(row[x]);
            for (int i = 0; i < mapSize; ++i)
                if ((map[i].from & 0xFFFFFF) == c) {
                    row[x] = Surface::FromColorRef(map[i].to);
                    break;
                }
        }
    }
    return true;
}

bool CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    const bool mono = dc && dc->IsMemoryDC() && dc->IsMonochrome();
    return CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
}

bool CBitmap::CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits) {
    if (created_ || !Surface::SizeIsAcceptable(width, height)) return false;
    const bool mono = bitsPerPixel == 1;
    Surface pixels;
    if (!pixels.Resize(width, height, kBlack)) return false;
    if (bits) {
        const auto* src = static_cast<const uint8_t*>(bits);
        if (mono) {
            const size_t rowBytes = ((size_t(width) + 15) / 16) * 2;  // word-aligned rows
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint8_t b = src[size_t(y) * rowBytes + size_t(x >> 3)];
                    pixels.Row(y)[x] = ((b >> (7 - (x & 7))) & 1) ? kWhite : kBlack;
                }
        } else if (bitsPerPixel == 24 || bitsPerPixel == 32) {
            const size_t bytesPerPixel = bitsPerPixel / 8;
            const size_t rowBytes = ((size_t(width) * bytesPerPixel + 1) / 2) * 2;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint8_t* p = src + size_t(y) * rowBytes + size_t(x) * bytesPerPixel;
                    pixels.Row(y)[x] = kBlack | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                }
        } else {
            return false;
        }
    }
    return Attach(std::move(pixels), mono);
}

bool CBitmap::CreateFromDIB(const BITMAPINFO* info, size_t infoSize, const void* bits, size_t bitsSize) {
    if (created_) return false;
    DibReader::Info dib;
    if (!DibReader::ReadInfo(info, infoSize, &dib, nullptr)) return false;
    Surface pixels;
    if (!DibReader::DecodePixels(dib, bits, bitsSize, &pixels, nullptr)) return false;
    for (int y = 0; y < pixels.Height(); ++y) {
        uint32_t* row = pixels.Row(y);
        for (int x = 0; x < pixels.Width(); ++x) row[x] |= kBlack;
    }
    return Attach(std::move(pixels), false);
}

bool CBitmap::Attach(Surface&& pixels, bool monochrome) {
    if (created_ || pixels.IsEmpty()) return false;
    surface_ = std::move(pixels);
    monochrome_ = monochrome;
    created_ = true;
    return true;
}

bool CBitmap::DeleteObject() {
    if (IsStock() || !created_) return false;
    surface_ = Surface();
    monochrome_ = false;
    created_ = false;
    return true;
}

int CBitmap::GetBitmap(BITMAP* info) const {
    if (!info || !created_) return 0;
    info->bmType = 0;
    info->bmWidth = surface_.Width();
    info->bmHeight = surface_.Height();
    info->bmPlanes = 1;
    info->bmBitsPixel = monochrome_ ? 1 : 32;
    info->bmWidthBytes = monochrome_ ? ((surface_.Width() + 15) / 16) * 2 : surface_.Width() * 4;
    info->bmBits = nullptr;
    return int(sizeof(BITMAP));
}

int CBitmap::GetDIBits(UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info) const {
    if (!created_ || !info) return 0;
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    // Reading needs a context over our pixels; the surface is not modified.
    dc.SelectObject(const_cast<CBitmap*>(this));
    const int height = surface_.Height();
    if (startScan >= UINT(height)) return 0;
    const int lines = int(std::min<UINT>(scanLines, UINT(height) - startScan));
    const bool topDown = info->bmiHeader.biHeight < 0;
    // Scan lines count from the bottom for bottom-up requests.
    const int top = topDown ? int(startScan) : height - int(startScan) - lines;
    const RECT rect{0, top, surface_.Width(), top + lines};
    return dc.GetDIBits(rect, bits, info);
}
