#include "platform/CRgn.h"

#include <algorithm>

#include "platform/GdiDefs.h"

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool IntersectRects(const RECT& a, const RECT& b, RECT* out) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (IsEmptyRect(r)) return false;
    *out = r;
    return true;
}

// Pieces of a that lie outside b (up to four bands).
void SubtractRect(const RECT& a, const RECT& b, std::vector<RECT>* out) {
    RECT overlap;
    if (!IntersectRects(a, b, &overlap)) {
        out->push_back(a);
        return;
    }
    if (a.top < overlap.top) out->push_back(RECT{a.left, a.top, a.right, overlap.top});
    if (overlap.bottom < a.bottom) out->push_back(RECT{a.left, overlap.bottom, a.right, a.bottom});
    if (a.left < overlap.left) out->push_back(RECT{a.left, overlap.top, overlap.left, overlap.bottom});
    if (overlap.right < a.right) out->push_back(RECT{overlap.right, overlap.top, a.right, overlap.bottom});
}

// Joins pieces that share a whole edge, so that a region that is one
// rectangle is held as one (and reported as a simple region).
void Coalesce(std::vector<RECT>* rects) {
    bool merged = true;
    while (merged) {
        merged = false;
        for (size_t i = 0; i < rects->size() && !merged; ++i)
            for (size_t j = i + 1; j < rects->size() && !merged; ++j) {
                RECT& a = (*rects)[i];
                const RECT& b = (*rects)[j];
                if (a.top == b.top && a.bottom == b.bottom && (a.right == b.left || b.right == a.left)) {
                    a.left = std::min(a.left, b.left);
                    a.right = std::max(a.right, b.right);
                    merged = true;
                } else if (a.left == b.left && a.right == b.right && (a.bottom == b.top || b.bottom == a.top)) {
                    a.top = std::min(a.top, b.top);
                    a.bottom = std::max(a.bottom, b.bottom);
                    merged = true;
                }
                if (merged) rects->erase(rects->begin() + std::ptrdiff_t(j));
            }
    }
}

}  // namespace

std::vector<RECT> CRgn::Intersect(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    std::vector<RECT> out;
    for (const RECT& ra : a)
        for (const RECT& rb : b) {
            RECT r;
            if (IntersectRects(ra, rb, &r)) out.push_back(r);
        }
    return out;
}

std::vector<RECT> CRgn::Subtract(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    std::vector<RECT> current = a;
    for (const RECT& cut : b) {
        std::vector<RECT> next;
        for (const RECT& r : current) SubtractRect(r, cut, &next);
        current.swap(next);
    }
    Coalesce(&current);
    return current;
}

std::vector<RECT> CRgn::Union(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    std::vector<RECT> out = a;
    for (const RECT& r : b) {
        if (IsEmptyRect(r)) continue;
        std::vector<RECT> pieces = Subtract(std::vector<RECT>{r}, out);
        out.insert(out.end(), pieces.begin(), pieces.end());
    }
    Coalesce(&out);
    return out;
}

bool CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    // The classic call orders the corners.
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    rects_.clear();
    if (!IsEmptyRect(r)) rects_.push_back(r);
    return true;
}

bool CRgn::CreateRectRgnIndirect(const RECT& rect) {
    return CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    if (!a || (mode != RGN_COPY && !b)) return RGN_ERROR;
    std::vector<RECT> result;
    switch (mode) {
    case RGN_COPY: result = a->rects_; break;
    case RGN_AND: result = Intersect(a->rects_, b->rects_); break;
    case RGN_OR: result = Union(a->rects_, b->rects_); break;
    case RGN_DIFF: result = Subtract(a->rects_, b->rects_); break;
    case RGN_XOR: result = Union(Subtract(a->rects_, b->rects_), Subtract(b->rects_, a->rects_)); break;
    default: return RGN_ERROR;
    }
    rects_.swap(result);
    return Complexity();
}

bool CRgn::DeleteObject() {
    rects_.clear();
    return true;
}

int CRgn::Complexity() const {
    if (rects_.empty()) return NULLREGION;
    return rects_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CRgn::GetRgnBox(RECT* box) const {
    RECT b{0, 0, 0, 0};
    for (size_t i = 0; i < rects_.size(); ++i) {
        const RECT& r = rects_[i];
        if (i == 0) {
            b = r;
        } else {
            b.left = std::min(b.left, r.left);
            b.top = std::min(b.top, r.top);
            b.right = std::max(b.right, r.right);
            b.bottom = std::max(b.bottom, r.bottom);
        }
    }
    if (box) *box = b;
    return Complexity();
}

bool CRgn::PtInRegion(int x, int y) const {
    for (const RECT& r : rects_)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

bool CRgn::RectInRegion(const RECT& rect) const {
    RECT dummy;
    for (const RECT& r : rects_)
        if (IntersectRects(r, rect, &dummy)) return true;
    return false;
}

void CRgn::OffsetRgn(int dx, int dy) {
    for (RECT& r : rects_) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}
