#include "platform/CPen.h"

bool CPen::CreatePen(int style, int width, COLORREF colour) {
    if (IsStock() || (style != PS_SOLID && style != PS_DASH && style != PS_DOT && style != PS_NULL)) return false;
    style_ = style;
    width_ = width < 1 ? 1 : width;  // width 0 is the one-pixel cosmetic pen
    colour_ = colour & 0xFFFFFF;
    created_ = true;
    return true;
}

bool CPen::CreateStockObject(int index) {
    switch (index) {
    case WHITE_PEN: return CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    case BLACK_PEN: return CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    case NULL_PEN: return CreatePen(PS_NULL, 1, 0);
    default: return false;
    }
}

bool CPen::DeleteObject() {
    if (IsStock() || !created_) return false;
    created_ = false;
    return true;
}
