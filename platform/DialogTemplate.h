#pragma once

// A dialog template as data: sizes and positions in dialog units, converted
// to pixels through the dialog base units of the template's font.

#include <string>
#include <vector>

#include "platform/WinTypes.h"

struct DialogItemTemplate {
    int id;                 // IDC_STATIC (-1) for controls nobody addresses
    std::string className;  // window kind: "Button", "Static", "Edit", "SysTabControl32"...
    std::string text;
    int x, y, cx, cy;       // dialog units
    DWORD style;            // WS_CHILD and WS_VISIBLE are implied unless `hidden`
    DWORD exStyle = 0;
    UINT resourceId = 0;    // picture controls: the bitmap or icon shown
    bool hidden = false;    // created without WS_VISIBLE
};

struct DialogTemplate {
    UINT id;
    std::string caption;
    DWORD style;            // WS_POPUP | WS_CAPTION ... or WS_CHILD for pages
    DWORD exStyle;
    int x, y, cx, cy;       // dialog units; cx, cy are the client size
    std::string fontFace;
    int pointSize;
    std::vector<DialogItemTemplate> items;  // template order: z-order and tab order
};
