#include "platform/CBrush.h"

#include "platform/SysColors.h"

bool CBrush::CreateSolidBrush(COLORREF colour) {
    if (IsStock()) return false;
    style_ = BS_SOLID;
    colour_ = colour & 0xFFFFFF;
    created_ = true;
    return true;
}

bool CBrush::CreateSysColorBrush(int index) { return CreateSolidBrush(GetSysColor(index)); }

bool CBrush::CreateStockObject(int index) {
    switch (index) {
    case WHITE_BRUSH: return CreateSolidBrush(RGB(255, 255, 255));
    case LTGRAY_BRUSH: return CreateSolidBrush(RGB(192, 192, 192));
    case GRAY_BRUSH: return CreateSolidBrush(RGB(128, 128, 128));
    case DKGRAY_BRUSH: return CreateSolidBrush(RGB(64, 64, 64));
    case BLACK_BRUSH: return CreateSolidBrush(RGB(0, 0, 0));
    case NULL_BRUSH:
        if (IsStock()) return false;
        style_ = BS_NULL;
        colour_ = 0;
        created_ = true;
        return true;
    default: return false;
    }
}

bool CBrush::DeleteObject() {
    if (IsStock() || !created_) return false;
    created_ = false;
    return true;
}
