#include "platform/CDC.h"

#include <algorithm>

#include "platform/FontInstance.h"

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT Normalised(int left, int top, int right, int bottom) {
    return RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

CDC::CDC() { defaultBitmap_.CreateBitmap(1, 1, 1, 1, nullptr); }

CDC::CDC(Surface* surface) : CDC() {
    if (surface) Attach(surface, POINT{0, 0}, RECT{0, 0, surface->Width(), surface->Height()});
}

CDC::~CDC() = default;

void CDC::Attach(Surface* surface, POINT windowOrigin, const RECT& baseClip) {
    surface_ = surface;
    windowOrigin_ = windowOrigin;
    baseClip_ = baseClip;
    RecomputeClip();
}

void CDC::Detach() {
    surface_ = nullptr;
    effectiveClip_.clear();
}

BOOL CDC::CreateCompatibleDC(CDC*) {
    memory_ = true;
    state_ = State();
    saved_.clear();
    bitmap_ = &defaultBitmap_;
    Attach(&defaultBitmap_.GetSurface(), POINT{0, 0}, RECT{0, 0, 1, 1});
    return TRUE;
}

BOOL CDC::DeleteDC() {
    Detach();
    memory_ = false;
    bitmap_ = nullptr;
    state_ = State();
    saved_.clear();
    return TRUE;
}

bool CDC::IsMonochrome() const { return memory_ && bitmap_ && bitmap_->IsMonochrome(); }

int CDC::SaveDC() {
    saved_.push_back(state_);
    return int(saved_.size());
}

BOOL CDC::RestoreDC(int savedDC) {
    const int level = savedDC < 0 ? int(saved_.size()) + savedDC + 1 : savedDC;
    if (level < 1 || level > int(saved_.size())) return FALSE;
    state_ = saved_[size_t(level) - 1];
    saved_.resize(size_t(level) - 1);
    RecomputeClip();
    return TRUE;
}

CPen* CDC::SelectObject(CPen* pen) {
    CPen* old = state_.pen;
    state_.pen = pen;
    return old ? old : static_cast<CPen*>(GetStockObject(BLACK_PEN));
}

CBrush* CDC::SelectObject(CBrush* brush) {
    CBrush* old = state_.brush;
    state_.brush = brush;
    return old ? old : static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
}

CFont* CDC::SelectObject(CFont* font) {
    CFont* old = state_.font;
    state_.font = font;
    return old ? old : static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT));
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    if (!memory_ || !bitmap || !bitmap->IsCreated()) return nullptr;
    CBitmap* old = bitmap_;
    bitmap_ = bitmap;
    Surface& s = bitmap->GetSurface();
    state_.hasClip = false;  // a new bitmap starts unclipped
    state_.clip.clear();
    Attach(&s, POINT{0, 0}, RECT{0, 0, s.Width(), s.Height()});
    return old;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (!object) return nullptr;
    switch (object->GetKind()) {
    case CGdiObject::Kind::Pen: return SelectObject(static_cast<CPen*>(object));
    case CGdiObject::Kind::Brush: return SelectObject(static_cast<CBrush*>(object));
    case CGdiObject::Kind::Font: return SelectObject(static_cast<CFont*>(object));
    case CGdiObject::Kind::Bitmap: return SelectObject(static_cast<CBitmap*>(object));
    }
    return nullptr;
}

CGdiObject* CDC::SelectStockObject(int index) { return SelectObject(GetStockObject(index)); }

COLORREF CDC::SetTextColor(COLORREF colour) {
    std::swap(state_.textColour, colour);
    state_.textColour &= 0xFFFFFF;
    return colour;
}

COLORREF CDC::SetBkColor(COLORREF colour) {
    std::swap(state_.bkColour, colour);
    state_.bkColour &= 0xFFFFFF;
    return colour;
}

int CDC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    std::swap(state_.bkMode, mode);
    return mode;
}

UINT CDC::SetTextAlign(UINT align) {
    std::swap(state_.textAlign, align);
    return align;
}

int CDC::SetStretchBltMode(int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    std::swap(state_.stretchMode, mode);
    return mode;
}

POINT CDC::SetViewportOrg(int x, int y) {
    POINT old = state_.viewportOrg;
    state_.viewportOrg = POINT{x, y};
    return old;
}

POINT CDC::OffsetViewportOrg(int dx, int dy) {
    POINT old = state_.viewportOrg;
    state_.viewportOrg = POINT{old.x + dx, old.y + dy};
    return old;
}

// --- clipping ---

void CDC::RecomputeClip() {
    effectiveClip_.clear();
    if (!surface_) return;
    RECT bounds{std::max<LONG>(0, baseClip_.left), std::max<LONG>(0, baseClip_.top),
                std::min<LONG>(surface_->Width(), baseClip_.right), std::min<LONG>(surface_->Height(), baseClip_.bottom)};
    if (IsEmptyRect(bounds)) return;
    effectiveClip_.push_back(bounds);
    if (state_.hasClip) {
        std::vector<RECT> region = state_.clip;
        for (RECT& r : region) {
            r.left += windowOrigin_.x;
            r.right += windowOrigin_.x;
            r.top += windowOrigin_.y;
            r.bottom += windowOrigin_.y;
        }
        effectiveClip_ = CRgn::Intersect(effectiveClip_, region);
    }
}

RECT CDC::LogicalToSurface(const RECT& r) const {
    const int dx = state_.viewportOrg.x + windowOrigin_.x;
    const int dy = state_.viewportOrg.y + windowOrigin_.y;
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

POINT CDC::LogicalToSurface(POINT p) const {
    return POINT{p.x + state_.viewportOrg.x + windowOrigin_.x, p.y + state_.viewportOrg.y + windowOrigin_.y};
}

int CDC::GetClipBox(RECT* rect) const {
    RECT box{0, 0, 0, 0};
    for (size_t i = 0; i < effectiveClip_.size(); ++i) {
        const RECT& r = effectiveClip_[i];
        if (i == 0) {
            box = r;
            continue;
        }
        box = RECT{std::min(box.left, r.left), std::min(box.top, r.top), std::max(box.right, r.right),
                   std::max(box.bottom, r.bottom)};
    }
    if (!effectiveClip_.empty()) {
        const int dx = state_.viewportOrg.x + windowOrigin_.x;
        const int dy = state_.viewportOrg.y + windowOrigin_.y;
        box = RECT{box.left - dx, box.top - dy, box.right - dx, box.bottom - dy};
    }
    if (rect) *rect = box;
    if (effectiveClip_.empty()) return NULLREGION;
    return effectiveClip_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

namespace {

// The region currently in force, in device coordinates: the explicit clip
// region, or the whole base clip when there is none.
std::vector<RECT> DeviceRegion(bool hasClip, const std::vector<RECT>& clip, const RECT& base, POINT origin) {
    if (hasClip) return clip;
    return std::vector<RECT>{RECT{base.left - origin.x, base.top - origin.y, base.right - origin.x,
                                  base.bottom - origin.y}};
}

int RegionKind(const std::vector<RECT>& rects) {
    if (rects.empty()) return NULLREGION;
    return rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    RECT r = Normalised(left + state_.viewportOrg.x, top + state_.viewportOrg.y, right + state_.viewportOrg.x,
                        bottom + state_.viewportOrg.y);
    std::vector<RECT> current = DeviceRegion(state_.hasClip, state_.clip, baseClip_, windowOrigin_);
    state_.clip = IsEmptyRect(r) ? std::vector<RECT>() : CRgn::Intersect(current, std::vector<RECT>{r});
    state_.hasClip = true;
    RecomputeClip();
    return RegionKind(effectiveClip_);
}

int CDC::ExcludeClipRect(int left, int top, int right, int bottom) {
    RECT r = Normalised(left + state_.viewportOrg.x, top + state_.viewportOrg.y, right + state_.viewportOrg.x,
                        bottom + state_.viewportOrg.y);
    std::vector<RECT> current = DeviceRegion(state_.hasClip, state_.clip, baseClip_, windowOrigin_);
    state_.clip = CRgn::Subtract(current, std::vector<RECT>{r});
    state_.hasClip = true;
    RecomputeClip();
    return RegionKind(effectiveClip_);
}

int CDC::SelectClipRgn(const CRgn* region, int mode) {
    if (!region) {
        if (mode != RGN_COPY) return RGN_ERROR;
        state_.hasClip = false;
        state_.clip.clear();
        RecomputeClip();
        return RegionKind(effectiveClip_);
    }
    const std::vector<RECT>& rects = region->Rects();
    std::vector<RECT> current = DeviceRegion(state_.hasClip, state_.clip, baseClip_, windowOrigin_);
    switch (mode) {
    case RGN_COPY: state_.clip = rects; break;
    case RGN_AND: state_.clip = CRgn::Intersect(current, rects); break;
    case RGN_OR: state_.clip = CRgn::Union(current, rects); break;
    case RGN_DIFF: state_.clip = CRgn::Subtract(current, rects); break;
    case RGN_XOR: state_.clip = CRgn::Union(CRgn::Subtract(current, rects), CRgn::Subtract(rects, current)); break;
    default: return RGN_ERROR;
    }
    state_.hasClip = true;
    RecomputeClip();
    return RegionKind(effectiveClip_);
}

BOOL CDC::RectVisible(const RECT& rect) const {
    RECT r = LogicalToSurface(Normalised(rect.left, rect.top, rect.right, rect.bottom));
    return CRgn::Intersect(effectiveClip_, std::vector<RECT>{r}).empty() ? FALSE : TRUE;
}

bool CDC::SurfacePointVisible(int x, int y) const {
    for (const RECT& r : effectiveClip_)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

BOOL CDC::PtVisible(int x, int y) const {
    POINT p = LogicalToSurface(POINT{x, y});
    return SurfacePointVisible(p.x, p.y) ? TRUE : FALSE;
}

// --- pixels ---

COLORREF CDC::GetPixel(int x, int y) const {
    POINT p = LogicalToSurface(POINT{x, y});
    if (!surface_ || !SurfacePointVisible(p.x, p.y)) return CLR_INVALID;
    return Surface::ToColorRef(surface_->Row(p.y)[p.x]);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    POINT p = LogicalToSurface(POINT{x, y});
    if (!surface_ || !SurfacePointVisible(p.x, p.y)) return CLR_INVALID;
    const uint32_t pixel = DevicePixel(colour);
    surface_->Row(p.y)[p.x] = pixel;
    return Surface::ToColorRef(pixel);
}

BOOL CDC::SetPixelV(int x, int y, COLORREF colour) { return SetPixel(x, y, colour) != CLR_INVALID; }

uint32_t CDC::DevicePixel(COLORREF colour) const {
    if (IsMonochrome()) {
        // Monochrome targets take the nearer of black and white.
        const int luma = (GetRValue(colour) * 30 + GetGValue(colour) * 59 + GetBValue(colour) * 11) / 100;
        return luma >= 128 ? 0xFFFFFFFFu : 0xFF000000u;
    }
    return Surface::FromColorRef(colour);
}

void CDC::FillSurfaceRect(RECT r, uint32_t pixel) {
    if (!surface_) return;
    for (const RECT& c : effectiveClip_) {
        const int left = std::max(r.left, c.left), right = std::min(r.right, c.right);
        const int top = std::max(r.top, c.top), bottom = std::min(r.bottom, c.bottom);
        if (left >= right || top >= bottom) continue;
        for (int y = top; y < bottom; ++y) std::fill_n(surface_->Row(y) + left, right - left, pixel);
    }
}

void CDC::XorSurfaceRect(RECT r, uint32_t mask) {
    if (!surface_) return;
    for (const RECT& c : effectiveClip_) {
        const int left = std::max(r.left, c.left), right = std::min(r.right, c.right);
        const int top = std::max(r.top, c.top), bottom = std::min(r.bottom, c.bottom);
        for (int y = top; y < bottom; ++y) {
            uint32_t* row = surface_->Row(y);
            for (int x = left; x < right; ++x) row[x] ^= mask;
        }
    }
}

void CDC::FillSpan(int x0, int x1, int y, uint32_t pixel) { FillSurfaceRect(RECT{x0, y, x1 + 1, y + 1}, pixel); }

void CDC::PlotSurface(int x, int y, uint32_t pixel) {
    if (surface_ && SurfacePointVisible(x, y)) surface_->Row(y)[x] = pixel;
}
