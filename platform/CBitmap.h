#pragma once

#include <memory>

#include "platform/CGdiObject.h"
#include "platform/GdiDefs.h"
#include "platform/Surface.h"

class CDC;

// A colour colour-map entry for LoadMappedBitmap.
struct COLORMAP {
    COLORREF from;
    COLORREF to;
};

// A bitmap: 32-bit colour or monochrome. Monochrome bitmaps keep their
// pixels as black (bit 0) and white (bit 1) in the same 32-bit layout, so
// that every blit reads one format; IsMonochrome() decides the GDI
// colour conversions.
class CBitmap : public CGdiObject {
public:
    CBitmap() : CGdiObject(Kind::Bitmap) {}

    // From the resource registry; false when there is no such bitmap.
    bool LoadBitmap(UINT resourceId);
    // The same, with each `from` colour replaced by its `to` colour.
    bool LoadMappedBitmap(UINT resourceId, const COLORMAP* map, int mapSize);
    // A colour bitmap, or a monochrome one when dc is a memory context
    // holding a monochrome bitmap (or none), as the classic call does.
    bool CreateCompatibleBitmap(CDC* dc, int width, int height);
    // bitsPerPixel 1 makes a monochrome bitmap, anything else a colour one.
    // bits (optional) are top-down rows, word-aligned for 1 bpp, in the
    // given depth (1, 24 or 32); the pixel data is copied.
    bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    // From a packed DIB: BITMAPINFO (header + palette) and its bottom-up
    // (or top-down when biHeight < 0) pixel rows. bitsSize bounds reads.
    bool CreateFromDIB(const BITMAPINFO* info, size_t infoSize, const void* bits, size_t bitsSize);
    // Takes over decoded pixels.
    bool Attach(Surface&& pixels, bool monochrome);
    bool IsCreated() const override { return created_; }
    bool DeleteObject() override;

    int GetBitmap(BITMAP* info) const;
    SIZE GetSize() const { return SIZE{surface_.Width(), surface_.Height()}; }
    bool IsMonochrome() const { return monochrome_; }
    Surface& GetSurface() { return surface_; }
    const Surface& GetSurface() const { return surface_; }

    // Reads rows as a packed DIB would hold them: info->bmiHeader gives the
    // wanted bit count (24 or 32) and orientation (biHeight > 0 bottom-up);
    // when bits is null only the header is completed (size, biSizeImage).
    // Returns the number of scan lines copied, 0 on failure.
    int GetDIBits(UINT startScan, UINT scanLines, void* bits, BITMAPINFO* info) const;

private:
    bool created_ = false;
    bool monochrome_ = false;
    Surface surface_;
};
