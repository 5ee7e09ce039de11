#pragma once

#include "platform/WinTypes.h"

// A point with the arithmetic that window code uses on coordinates.
class CPoint : public POINT {
public:
    CPoint() : POINT{0, 0} {}
    CPoint(int x0, int y0) : POINT{x0, y0} {}
    CPoint(POINT pt) : POINT(pt) {}

    void Offset(int dx, int dy) { x += dx; y += dy; }
    void Offset(POINT pt) { Offset(pt.x, pt.y); }
    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
    CPoint& operator+=(POINT pt) { Offset(pt); return *this; }
    CPoint& operator-=(POINT pt) { Offset(-pt.x, -pt.y); return *this; }
    CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
    CPoint operator-(POINT pt) const { return CPoint(x - pt.x, y - pt.y); }
    CPoint operator-() const { return CPoint(-x, -y); }
};
