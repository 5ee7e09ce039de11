#pragma once

// The record behind one owner-drawn menu item: its text, its image and the
// flags it was made with. The menu hands the record's address to the window
// system as the item's data and gets it back in the measure and draw requests.

#include <string>

#include "platform/MenuTable.h"
#include "platform/WinTypes.h"

class CMenuItemData {
public:
    CMenuItemData() = default;
    CMenuItemData(const CMenuItemData&) = delete;
    CMenuItemData& operator=(const CMenuItemData&) = delete;

    // Text in the ANSI code page, kept as wide characters.
    void SetAnsiText(const std::string& ansi);
    std::string GetAnsiText() const;

    std::wstring text;
    int imageIndex = -1;     // into the menus' shared image list, -1 = none
    UINT itemFlags = 0;      // MF_ bits the item was made with
    UINT_PTR commandId = 0;  // for a popup: the submenu's handle
};
