#pragma once

#include "platform/CGdiObject.h"
#include "platform/GdiDefs.h"

// A cosmetic pen: solid (any width, centred on the path, round ends), dotted,
// dashed or null.
class CPen : public CGdiObject {
public:
    CPen() : CGdiObject(Kind::Pen) {}
    CPen(int style, int width, COLORREF colour) : CGdiObject(Kind::Pen) { CreatePen(style, width, colour); }

    bool CreatePen(int style, int width, COLORREF colour);
    bool CreateStockObject(int index);
    bool IsCreated() const override { return created_; }
    bool DeleteObject() override;

    int GetStyle() const { return style_; }
    int GetWidth() const { return width_; }
    COLORREF GetColor() const { return colour_; }

private:
    friend CGdiObject* GetStockObject(int);
    bool created_ = false;
    int style_ = PS_SOLID;
    int width_ = 1;
    COLORREF colour_ = 0;
};
