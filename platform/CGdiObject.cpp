#include "platform/CGdiObject.h"

#include "platform/CBrush.h"
#include "platform/CFont.h"
#include "platform/CPen.h"

namespace {

template <class T>
T* MakeStock(int index) {
    T* object = new T();  // lives for the whole process, like the system's stock objects
    if (!object->CreateStockObject(index)) {
        delete object;
        return nullptr;
    }
    return object;
}

}  // namespace

CGdiObject* GetStockObject(int index) {
    static CGdiObject* stock[DEFAULT_GUI_FONT + 1] = {};
    static bool made[DEFAULT_GUI_FONT + 1] = {};
    if (index < 0 || index > DEFAULT_GUI_FONT) return nullptr;
    if (!made[index]) {
        made[index] = true;
        CGdiObject* object = nullptr;
        if (index <= NULL_BRUSH) {
            CBrush* brush = MakeStock<CBrush>(index);
            if (brush) brush->MarkStock();
            object = brush;
        } else if (index <= NULL_PEN) {
            CPen* pen = MakeStock<CPen>(index);
            if (pen) pen->MarkStock();
            object = pen;
        } else {
            CFont* font = MakeStock<CFont>(index);
            if (font) font->MarkStock();
            object = font;
        }
        stock[index] = object;
    }
    return stock[index];
}
