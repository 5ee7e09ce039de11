#include "platform/MenuTable.h"

#include <map>

namespace {

struct MenuRecord {
    bool popup = false;
    std::vector<MenuItem> items;
};

std::map<uintptr_t, MenuRecord>& Menus() {
    static std::map<uintptr_t, MenuRecord> menus;
    return menus;
}

uintptr_t Key(HMENU menu) { return reinterpret_cast<uintptr_t>(menu); }

}  // namespace

HMENU MenuTable::Create(bool popup) {
    static uintptr_t next = 0x1000;
    uintptr_t key = next++;
    Menus()[key].popup = popup;
    return reinterpret_cast<HMENU>(key);
}

bool MenuTable::Destroy(HMENU menu) {
    auto it = Menus().find(Key(menu));
    if (it == Menus().end()) return false;
    std::vector<MenuItem> items = std::move(it->second.items);
    Menus().erase(it);
    // A menu that (wrongly) holds itself or an ancestor was erased first, so
    // the recursion ends at handles that no longer exist.
    for (const MenuItem& item : items)
        if (item.subMenu) Destroy(item.subMenu);
    return true;
}

bool MenuTable::Exists(HMENU menu) { return Menus().count(Key(menu)) != 0; }

bool MenuTable::IsPopup(HMENU menu) {
    auto it = Menus().find(Key(menu));
    return it != Menus().end() && it->second.popup;
}

std::vector<MenuItem>* MenuTable::Items(HMENU menu) {
    auto it = Menus().find(Key(menu));
    return it == Menus().end() ? nullptr : &it->second.items;
}
