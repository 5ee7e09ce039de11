#include "platform/CImageList.h"

#include <algorithm>

#include "platform/CDC.h"
#include "platform/ResourceTable.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

}  // namespace

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int) {
    if (created_ || cx <= 0 || cy <= 0 || !Surface::SizeIsAcceptable(cx, cy)) return false;
    cx_ = cx;
    cy_ = cy;
    flags_ = flags;
    images_.clear();
    images_.reserve(size_t(std::max(0, std::min(initial, 256))));
    created_ = true;
    return true;
}

bool CImageList::Create(UINT bitmapId, int cx, int grow, COLORREF maskColour) {
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(bitmapId)) return false;
    const SIZE size = bitmap.GetSize();
    if (!Create(cx, size.cy, ILC_COLOR32 | (maskColour == CLR_NONE ? 0 : ILC_MASK), 1, grow)) return false;
    if (Add(&bitmap, maskColour) < 0) {
        DeleteImageList();
        return false;
    }
    return true;
}

bool CImageList::DeleteImageList() {
    if (!created_) return false;
    images_.clear();
    created_ = false;
    cx_ = cy_ = 0;
    return true;
}

int CImageList::Add(const CBitmap* bitmap, COLORREF maskColour) {
    if (!created_ || !bitmap || !bitmap->IsCreated()) return -1;
    const Surface& source = bitmap->GetSurface();
    const int count = source.Width() / cx_;
    if (count == 0) return -1;
    const int first = GetImageCount();
    const uint32_t key = Surface::FromColorRef(maskColour) & 0xFFFFFF;
    const bool masked = maskColour != CLR_NONE && (flags_ & ILC_MASK);
    for (int n = 0; n < count; ++n) {
        Image image;
        image.colour.Resize(cx_, cy_, kBlack);
        image.mask.Resize(cx_, cy_, kBlack);
        image.hasMask = masked;
        for (int y = 0; y < cy_ && y < source.Height(); ++y)
            for (int x = 0; x < cx_; ++x) {
                const uint32_t p = source.Row(y)[n * cx_ + x] | kBlack;
                if (masked && (p & 0xFFFFFF) == key) {
                    image.mask.Row(y)[x] = kWhite;
                    image.colour.Row(y)[x] = kBlack;  // so that AND then XOR leaves the background
                } else {
                    image.colour.Row(y)[x] = p;
                }
            }
        images_.push_back(std::move(image));
    }
    return first;
}

int CImageList::Add(const CBitmap* bitmap, const CBitmap* mask) {
    if (!created_ || !bitmap || !bitmap->IsCreated()) return -1;
    const Surface& source = bitmap->GetSurface();
    const int count = source.Width() / cx_;
    if (count == 0) return -1;
    const int first = GetImageCount();
    const bool masked = mask && mask->IsCreated() && (flags_ & ILC_MASK);
    for (int n = 0; n < count; ++n) {
        Image image;
        image.colour.Resize(cx_, cy_, kBlack);
        image.mask.Resize(cx_, cy_, kBlack);
        image.hasMask = masked;
        for (int y = 0; y < cy_ && y < source.Height(); ++y)
            for (int x = 0; x < cx_; ++x) {
                image.colour.Row(y)[x] = source.Row(y)[n * cx_ + x] | kBlack;
                if (masked) {
                    const uint32_t m = mask->GetSurface().At(n * cx_ + x, y);
                    image.mask.Row(y)[x] = (m & 0xFFFFFF) ? kWhite : kBlack;
                    if (m & 0xFFFFFF) image.colour.Row(y)[x] = kBlack;
                }
            }
        images_.push_back(std::move(image));
    }
    return first;
}

int CImageList::Add(HICON icon) {
    if (!created_ || !icon) return -1;
    Image image;
    image.colour.Resize(cx_, cy_, kBlack);
    image.mask.Resize(cx_, cy_, kWhite);
    image.hasMask = true;
    for (int y = 0; y < cy_; ++y)
        for (int x = 0; x < cx_; ++x) {
            const int sx = int(int64_t(x) * icon->width / cx_), sy = int(int64_t(y) * icon->height / cy_);
            const uint32_t c = icon->colour.At(sx, sy);
            const bool opaque = icon->hasAlpha ? (c >> 24) >= 128 : (icon->mask.At(sx, sy) & 0xFFFFFF) == 0;
            if (opaque) {
                image.mask.Row(y)[x] = kBlack;
                image.colour.Row(y)[x] = c | kBlack;
            }
        }
    images_.push_back(std::move(image));
    return GetImageCount() - 1;
}

bool CImageList::Draw(CDC* dc, int image, POINT pt, UINT style) const {
    return DrawEx(dc, image, pt, SIZE{0, 0}, CLR_DEFAULT, CLR_DEFAULT, style);
}

bool CImageList::DrawEx(CDC* dc, int image, POINT pt, SIZE size, COLORREF bk, COLORREF, UINT style) const {
    if (!dc || image < 0 || image >= GetImageCount()) return false;
    const Image& img = images_[size_t(image)];
    const int w = size.cx > 0 ? std::min<int>(size.cx, cx_) : cx_;
    const int h = size.cy > 0 ? std::min<int>(size.cy, cy_) : cy_;
    const COLORREF background = bk == CLR_DEFAULT ? bkColour_ : bk;
    const bool transparent = img.hasMask && ((style & ILD_TRANSPARENT) || background == CLR_NONE);
    Icon shape;
    shape.width = w;
    shape.height = h;
    shape.colour.Resize(w, h, kBlack);
    shape.mask.Resize(w, h, kBlack);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool clear = img.hasMask && (img.mask.Row(y)[x] & 0xFFFFFF);
            if (clear && transparent) {
                shape.mask.Row(y)[x] = kWhite;
            } else if (clear) {
                shape.colour.Row(y)[x] = Surface::FromColorRef(background);
            } else {
                shape.colour.Row(y)[x] = img.colour.Row(y)[x];
            }
        }
    return dc->DrawIconEx(pt.x, pt.y, &shape, w, h, DI_NORMAL) != FALSE;
}

HICON CImageList::ExtractIcon(int image) const {
    if (image < 0 || image >= GetImageCount()) return nullptr;
    const Image& img = images_[size_t(image)];
    Icon* icon = new Icon();
    icon->width = cx_;
    icon->height = cy_;
    icon->hotSpot = POINT{cx_ / 2, cy_ / 2};
    icon->colour = img.colour;
    icon->mask = img.hasMask ? img.mask : Surface(cx_, cy_, kBlack);
    return icon;
}
