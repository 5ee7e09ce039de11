#pragma once

// The menus that exist in the process, looked up by handle. A handle is a
// number, never a pointer, so a stale or forged handle finds nothing instead of
// reaching freed memory.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

typedef struct HMENU__* HMENU;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;

struct MenuItem {
    UINT flags = 0;          // MF_ type and state bits
    UINT_PTR id = 0;         // command id; for a popup item the submenu's handle
    std::string text;        // empty for separators and owner-drawn items
    ULONG_PTR itemData = 0;  // the owner's value of an owner-drawn item
    HMENU subMenu = nullptr;
};

class MenuTable {
public:
    static HMENU Create(bool popup);
    // Destroys the menu and, as the window system does, every submenu it holds.
    static bool Destroy(HMENU menu);
    static bool Exists(HMENU menu);
    static bool IsPopup(HMENU menu);
    // Items of a live menu, or null for an unknown handle.
    static std::vector<MenuItem>* Items(HMENU menu);
};
