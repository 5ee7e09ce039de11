#pragma once

#include <algorithm>

#include "platform/CPoint.h"
#include "platform/CSize.h"
#include "platform/WinTypes.h"

// A rectangle with exclusive right and bottom edges, as window and drawing
// code everywhere expects.
class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rc) : RECT(rc) {}
    CRect(POINT topLeft, SIZE size)
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}
    CRect(POINT topLeft, POINT bottomRight)
        : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    bool PtInRect(POINT pt) const {
        return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom;
    }

    void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void MoveToXY(int x, int y) { OffsetRect(x - left, y - top); }

    // Intersection of a and b; empty rectangles give (0,0,0,0) and false.
    bool IntersectRect(const RECT& a, const RECT& b) {
        SetRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }
    // Smallest rectangle holding a and b; an empty one adds nothing.
    bool UnionRect(const RECT& a, const RECT& b) {
        const CRect ra(a), rb(b);
        if (ra.IsRectEmpty()) *this = rb;
        else if (rb.IsRectEmpty()) *this = ra;
        else SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom));
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }

    bool operator==(const RECT& r) const {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const RECT& r) const { return !(*this == r); }
    CRect& operator&=(const RECT& r) { IntersectRect(*this, r); return *this; }
    CRect& operator|=(const RECT& r) { UnionRect(*this, r); return *this; }
    CRect operator&(const RECT& r) const { CRect c; c.IntersectRect(*this, r); return c; }
    CRect operator|(const RECT& r) const { CRect c; c.UnionRect(*this, r); return c; }
    CRect& operator+=(POINT pt) { OffsetRect(pt); return *this; }
    CRect& operator-=(POINT pt) { OffsetRect(-pt.x, -pt.y); return *this; }
    CRect operator+(POINT pt) const { CRect c(*this); c.OffsetRect(pt); return c; }
    CRect operator-(POINT pt) const { CRect c(*this); c.OffsetRect(-pt.x, -pt.y); return c; }
};
