#pragma once

#include "platform/CGdiObject.h"
#include "platform/GdiDefs.h"

// A solid or null brush.
class CBrush : public CGdiObject {
public:
    CBrush() : CGdiObject(Kind::Brush) {}
    explicit CBrush(COLORREF colour) : CGdiObject(Kind::Brush) { CreateSolidBrush(colour); }

    bool CreateSolidBrush(COLORREF colour);
    bool CreateStockObject(int index);
    // A brush of the system colour COLOR_*.
    bool CreateSysColorBrush(int index);
    bool IsCreated() const override { return created_; }
    bool DeleteObject() override;

    bool IsNull() const { return style_ == BS_NULL; }
    int GetStyle() const { return style_; }
    COLORREF GetColor() const { return colour_; }

private:
    friend CGdiObject* GetStockObject(int);
    friend CBrush* GetSysColorBrush(int);
    bool created_ = false;
    int style_ = BS_SOLID;
    COLORREF colour_ = 0;
};
