// CIconButton: loading, copying and masking its images.

#include <cstdint>
#include <memory>

#include "controls/CIconButton.h"
#include "platform/ResourceTable.h"

namespace {

constexpr uint32_t kBlackPixel = 0xFF000000u;
constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;

uint32_t Channels(uint32_t pixel) { return pixel & 0x00FFFFFFu; }

// Luminance 0.299 R + 0.587 G + 0.114 B, truncated, in all three channels.
uint32_t GreyPixel(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    const uint32_t y = (299 * r + 587 * g + 114 * b) / 1000;
    return (pixel & 0xFF000000u) | (y << 16) | (y << 8) | y;
}

// Each channel loses a quarter of its value, truncated.
uint32_t DarkerPixel(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return (pixel & 0xFF000000u) | ((r - r / 4) << 16) | ((g - g / 4) << 8) | (b - b / 4);
}

}  // namespace

bool CIconButton::IsCopyRequest(const void* handle, CopyKind* kind) {
    const intptr_t value = reinterpret_cast<intptr_t>(handle);
    if (value == kGreyCopy) *kind = CopyKind::Grey;
    else if (value == kDarkerCopy) *kind = CopyKind::Darker;
    else return false;
    return true;
}

bool CIconButton::ReadIcon(HICON icon, IconImage* image) {
    ICONINFO info{};
    CopyKind kind;
    if (IsCopyRequest(icon, &kind) || !GetIconInfo(icon, &info)) return false;
    // Width and height are twice the hot spot (an icon's is its centre).
    const int width = int(info.xHotspot) * 2, height = int(info.yHotspot) * 2;
    if (width <= 0 || height <= 0 || !info.colour || width > info.colour->Width() ||
        height > info.colour->Height() || info.mask->Width() != info.colour->Width() ||
        info.mask->Height() != info.colour->Height())
        return false;
    image->icon = icon;
    image->width = width;
    image->height = height;
    return true;
}

HICON CIconButton::CopyIconAs(const IconImage& source, CopyKind kind) {
    // The copy is made at twice the hot-spot size and keeps the in icon's mask.
    Icon* copy = new Icon(*source.icon);
    copy->width = source.width;
    copy->height = source.height;
    for (int y = 0; y < copy->colour.Height(); ++y) {
        uint32_t* row = copy->colour.Row(y);
        for (int x = 0; x < copy->colour.Width(); ++x) {
            if (Channels(row[x]) == 0) continue;  // black stays black
            row[x] = kind == CopyKind::Grey ? GreyPixel(row[x]) : DarkerPixel(row[x]);
        }
    }
    return copy;
}

CBitmap* CIconButton::CopyBitmapAs(const CBitmap& source, COLORREF transparent, CopyKind kind) {
    const Surface& pixels = source.GetSurface();
    Surface copy = pixels;
    const uint32_t clear = Channels(Surface::FromColorRef(transparent));
    for (int y = 0; y < copy.Height(); ++y) {
        uint32_t* row = copy.Row(y);
        for (int x = 0; x < copy.Width(); ++x) {
            if (Channels(row[x]) == clear) continue;  // stays transparent
            row[x] = kind == CopyKind::Grey ? GreyPixel(row[x]) : DarkerPixel(row[x]);
        }
    }
    auto bitmap = std::make_unique<CBitmap>();
    if (!bitmap->Attach(std::move(copy), false)) return nullptr;
    return bitmap.release();
}

CBitmap* CIconButton::MakeMask(CBitmap& bitmap, COLORREF transparent) {
    const int width = bitmap.GetSize().cx, height = bitmap.GetSize().cy;
    Surface mask;
    if (!mask.Resize(width, height, kBlackPixel)) return nullptr;
    Surface& pixels = bitmap.GetSurface();
    const uint32_t clear = Channels(Surface::FromColorRef(transparent));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t& pixel = pixels.Row(y)[x];
            if (Channels(pixel) != clear) continue;
            // 1 in the mask keeps the background under AND; black in the
            // bitmap leaves it alone under OR.
            mask.Row(y)[x] = kWhitePixel;
            pixel = kBlackPixel;
        }
    auto result = std::make_unique<CBitmap>();
    if (!result->Attach(std::move(mask), true)) return nullptr;
    return result.release();
}

void CIconButton::ReleaseImages() {
    if (m_iconOut.icon != m_iconIn.icon) DestroyIcon(m_iconOut.icon);
    DestroyIcon(m_iconIn.icon);
    m_iconIn = IconImage{};
    m_iconOut = IconImage{};
    for (BitmapImage* image : {&m_bitmapIn, &m_bitmapOut}) {
        delete image->bitmap;
        delete image->mask;
        *image = BitmapImage{};
    }
}

// ---- icons ----

int CIconButton::SetIcons(int inId, int inWidth, int inHeight, int outId, int outWidth, int outHeight) {
    const ResourceTable& table = ResourceTable::Instance();
    HICON in = inId > 0 ? table.LoadIcon(UINT(inId), inWidth, inHeight) : nullptr;
    HICON out = nullptr;
    if (outId == kGreyCopy)
        out = GreyIconCopy();
    else if (outId == kDarkerCopy)
        out = DarkerIconCopy();
    else if (outId > 0)
        out = table.LoadIcon(UINT(outId), outWidth, outHeight);
    return SetIconHandles(in, out);
}

int CIconButton::SetIconHandles(HICON in, HICON out) {
    ReleaseImages();
    CopyKind kind = CopyKind::Grey;
    const bool copyOut = IsCopyRequest(out, &kind);
    // Images that can't be kept are the button's to destroy all the same.
    auto discard = [&](HICON icon) {
        CopyKind ignored;
        if (icon && !IsCopyRequest(icon, &ignored)) DestroyIcon(icon);
    };
    if (!in) {
        if (!copyOut) discard(out);
        Repaint();
        return Ok;
    }
    if (!ReadIcon(in, &m_iconIn)) {
        discard(in);
        if (out != in && !copyOut) discard(out);
        Repaint();
        return UnreadableImage;
    }
    if (copyOut) {
        m_iconOut = m_iconIn;
        m_iconOut.icon = CopyIconAs(m_iconIn, kind);
    } else if (out == in) {
        m_iconOut = m_iconIn;  // shared: destroyed once
    } else if (out && !ReadIcon(out, &m_iconOut)) {
        discard(out);
        ReleaseImages();
        Repaint();
        return UnreadableImage;
    }
    Repaint();
    return Ok;
}

// ---- bitmaps ----

int CIconButton::SetBitmapImages(int inId, COLORREF inTransparent, int outId, COLORREF outTransparent) {
    auto load = [](int id) -> CBitmap* {
        auto bitmap = std::make_unique<CBitmap>();
        if (id <= 0 || !bitmap->LoadBitmap(UINT(id))) return nullptr;
        return bitmap.release();
    };
    CBitmap* in = load(inId);
    CBitmap* out = nullptr;
    if (outId == kGreyCopy)
        out = GreyBitmapCopy();
    else if (outId == kDarkerCopy)
        out = DarkerBitmapCopy();
    else
        out = load(outId);
    return SetBitmapHandles(in, inTransparent, out, outTransparent);
}

int CIconButton::StoreBitmap(BitmapImage& image, CBitmap* bitmap, COLORREF transparent) {
    BITMAP info{};
    if (!bitmap->IsCreated() || !bitmap->GetBitmap(&info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        delete bitmap;
        return UnreadableImage;
    }
    image.bitmap = bitmap;
    image.width = info.bmWidth;
    image.height = info.bmHeight;
    image.transparent = transparent;
    image.mask = MakeMask(*bitmap, transparent);
    return image.mask ? Ok : MaskFailed;
}

int CIconButton::SetBitmapHandles(CBitmap* in, COLORREF inTransparent, CBitmap* out, COLORREF outTransparent) {
    ReleaseImages();
    CopyKind kind = CopyKind::Grey;
    const bool copyOut = IsCopyRequest(out, &kind);
    CopyKind ignored;
    if (out == in || copyOut) out = nullptr;  // the in bitmap is kept once
    if (!in || IsCopyRequest(in, &ignored)) {
        delete out;
        Repaint();
        return in ? UnreadableImage : Ok;
    }
    // Copies come from the in bitmap's own pixels, before its mask blackens
    // the transparent ones, so that they keep the transparent colour.
    if (copyOut && in->IsCreated()) {
        out = CopyBitmapAs(*in, inTransparent, kind);
        outTransparent = inTransparent;
    }
    int result = StoreBitmap(m_bitmapIn, in, inTransparent);
    if (result == Ok && out) {
        result = StoreBitmap(m_bitmapOut, out, outTransparent);
        out = nullptr;
    }
    delete out;
    if (result != Ok) ReleaseImages();
    Repaint();
    return result;
}
