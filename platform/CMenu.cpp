#include "platform/CMenu.h"

#include "platform/PopupMenuWindow.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

std::map<HMENU, CMenu*>& Permanent() {
    static std::map<HMENU, CMenu*> objects;
    return objects;
}

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

MenuItem MakeItem(UINT flags, UINT_PTR id, const char* newItem) {
    MenuItem item;
    item.flags = flags & ~MF_BYPOSITION;
    if (flags & MF_POPUP) {
        item.subMenu = reinterpret_cast<HMENU>(id);
        item.id = id;
    } else {
        item.id = id;
    }
    if (flags & MF_OWNERDRAW)
        item.itemData = reinterpret_cast<ULONG_PTR>(newItem);
    else if (!(flags & MF_SEPARATOR) && newItem)
        item.text = newItem;
    return item;
}

// A popup item must name a live menu that is not the menu itself.
bool ItemIsValid(HMENU menu, const MenuItem& item) {
    if (!(item.flags & MF_POPUP)) return true;
    return item.subMenu != menu && MenuTable::Exists(item.subMenu);
}

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

BOOL CMenu::CreatePopupMenu() {
    if (m_hMenu) return FALSE;
    return Attach(MenuTable::Create(true));
}

BOOL CMenu::CreateMenu() {
    if (m_hMenu) return FALSE;
    return Attach(MenuTable::Create(false));
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    HMENU menu = Detach();
    return MenuTable::Destroy(menu) ? TRUE : FALSE;
}

BOOL CMenu::Attach(HMENU menu) {
    if (m_hMenu || !MenuTable::Exists(menu)) return FALSE;
    m_hMenu = menu;
    Permanent()[menu] = this;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu) {
        auto it = Permanent().find(menu);
        if (it != Permanent().end() && it->second == this) Permanent().erase(it);
    }
    m_hMenu = nullptr;
    return menu;
}

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
    auto it = Permanent().find(menu);
    return it == Permanent().end() ? nullptr : it->second;
}

int CMenu::FindItem(UINT position, UINT flags, HMENU* owner) const {
    std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    if (!items) return -1;
    if (flags & MF_BYPOSITION) {
        if (position >= items->size()) return -1;
        *owner = m_hMenu;
        return int(position);
    }
    // By command: this level first, then the submenus, depth first. Handles
    // already visited are skipped so a cycle of popups cannot loop forever.
    std::vector<HMENU> pending{m_hMenu};
    std::vector<HMENU> seen;
    while (!pending.empty()) {
        HMENU menu = pending.front();
        pending.erase(pending.begin());
        bool visited = false;
        for (HMENU s : seen) visited |= s == menu;
        std::vector<MenuItem>* level = MenuTable::Items(menu);
        if (visited || !level) continue;
        seen.push_back(menu);
        for (size_t i = 0; i < level->size(); ++i) {
            const MenuItem& item = (*level)[i];
            if (!(item.flags & MF_POPUP) && item.id == position) {
                *owner = menu;
                return int(i);
            }
        }
        for (const MenuItem& item : *level)
            if (item.flags & MF_POPUP) pending.push_back(item.subMenu);
    }
    return -1;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, const char* newItem) {
    std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    if (!items) return FALSE;
    MenuItem item = MakeItem(flags, idNewItem, newItem);
    if (!ItemIsValid(m_hMenu, item)) return FALSE;
    items->push_back(item);
    return TRUE;
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem, const char* newItem) {
    std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    if (!items) return FALSE;
    MenuItem item = MakeItem(flags, idNewItem, newItem);
    if (!ItemIsValid(m_hMenu, item)) return FALSE;
    HMENU owner = m_hMenu;
    int index = FindItem(position, flags, &owner);
    if (index < 0) {
        // A position past the end appends, as the window system does.
        if (!(flags & MF_BYPOSITION)) return FALSE;
        items->push_back(item);
        return TRUE;
    }
    std::vector<MenuItem>* target = MenuTable::Items(owner);
    target->insert(target->begin() + index, item);
    return TRUE;
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, const char* newItem) {
    HMENU owner = nullptr;
    int index = FindItem(position, flags, &owner);
    if (index < 0) return FALSE;
    MenuItem item = MakeItem(flags, idNewItem, newItem);
    if (!ItemIsValid(owner, item)) return FALSE;
    (*MenuTable::Items(owner))[size_t(index)] = item;
    return TRUE;
}

BOOL CMenu::RemoveMenu(UINT position, UINT flags) {
    HMENU owner = nullptr;
    int index = FindItem(position, flags, &owner);
    if (index < 0) return FALSE;
    std::vector<MenuItem>* items = MenuTable::Items(owner);
    items->erase(items->begin() + index);
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
    HMENU owner = nullptr;
    int index = FindItem(position, flags, &owner);
    if (index < 0) return FALSE;
    std::vector<MenuItem>* items = MenuTable::Items(owner);
    HMENU sub = (*items)[size_t(index)].subMenu;
    items->erase(items->begin() + index);
    if (sub) {
        if (CMenu* object = FromHandlePermanent(sub)) object->Detach();
        MenuTable::Destroy(sub);
    }
    return TRUE;
}

UINT CMenu::GetMenuItemCount() const {
    std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    return items ? UINT(items->size()) : UINT(-1);
}

UINT CMenu::GetMenuItemID(int position) const {
    std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    if (!items || position < 0 || size_t(position) >= items->size()) return UINT(-1);
    const MenuItem& item = (*items)[size_t(position)];
    if (item.flags & MF_POPUP) return UINT(-1);
    return (item.flags & MF_SEPARATOR) ? 0 : UINT(item.id);
}

UINT CMenu::GetMenuState(UINT id, UINT flags) const {
    HMENU owner = nullptr;
    int index = FindItem(id, flags, &owner);
    if (index < 0) return UINT(-1);
    const MenuItem& item = (*MenuTable::Items(owner))[size_t(index)];
    UINT state = item.flags & (kStateBits | MF_SEPARATOR | MF_OWNERDRAW | MF_POPUP);
    if (item.flags & MF_POPUP) {
        // For a popup the high byte holds the submenu's item count.
        std::vector<MenuItem>* sub = MenuTable::Items(item.subMenu);
        state |= UINT(sub ? sub->size() & 0xFF : 0) << 8;
    }
    return state;
}

int CMenu::GetMenuString(UINT id, std::string& text, UINT flags) const {
    HMENU owner = nullptr;
    int index = FindItem(id, flags, &owner);
    text.clear();
    if (index < 0) return 0;
    text = (*MenuTable::Items(owner))[size_t(index)].text;
    return int(text.size());
}

HMENU CMenu::GetSubMenu(int position) const {
    std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    if (!items || position < 0 || size_t(position) >= items->size()) return nullptr;
    return (*items)[size_t(position)].subMenu;
}

BOOL CMenu::GetMenuItemInfo(UINT item, MENUITEMINFO* info, BOOL byPosition) const {
    if (!info) return FALSE;
    HMENU owner = nullptr;
    int index = FindItem(item, byPosition ? MF_BYPOSITION : MF_BYCOMMAND, &owner);
    if (index < 0) return FALSE;
    const MenuItem& record = (*MenuTable::Items(owner))[size_t(index)];
    if (info->fMask & (MIIM_TYPE | MIIM_FTYPE))
        info->fType = record.flags & (MF_SEPARATOR | MF_OWNERDRAW | MF_POPUP | MF_BITMAP |
                                      MF_MENUBREAK | MF_MENUBARBREAK);
    if (info->fMask & MIIM_STATE) info->fState = record.flags & kStateBits;
    if (info->fMask & MIIM_ID) info->wID = UINT(record.id);
    if (info->fMask & MIIM_SUBMENU) info->hSubMenu = record.subMenu;
    if (info->fMask & MIIM_DATA) info->dwItemData = record.itemData;
    if (info->fMask & (MIIM_STRING | MIIM_TYPE)) {
        // Copy what fits, always terminated; cch reports the full length.
        if (info->dwTypeData && info->cch > 0) {
            size_t n = std::min<size_t>(record.text.size(), info->cch - 1);
            std::memcpy(info->dwTypeData, record.text.data(), n);
            info->dwTypeData[n] = '\0';
        }
        info->cch = UINT(record.text.size());
    }
    return TRUE;
}

UINT CMenu::EnableMenuItem(UINT id, UINT enable) {
    HMENU owner = nullptr;
    int index = FindItem(id, enable, &owner);
    if (index < 0) return UINT(-1);
    MenuItem& item = (*MenuTable::Items(owner))[size_t(index)];
    UINT previous = item.flags & (MF_GRAYED | MF_DISABLED);
    item.flags = (item.flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

UINT CMenu::CheckMenuItem(UINT id, UINT check) {
    HMENU owner = nullptr;
    int index = FindItem(id, check, &owner);
    if (index < 0) return UINT(-1);
    MenuItem& item = (*MenuTable::Items(owner))[size_t(index)];
    UINT previous = item.flags & MF_CHECKED;
    item.flags = (item.flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT*) {
    const std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    if (!owner || !CWnd::IsWindow(owner) || !items) return FALSE;
    if (!(flags & TPM_NONOTIFY)) owner->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m_hMenu), 0);
    if (!MenuTable::Exists(m_hMenu) || MenuTable::Items(m_hMenu)->empty()) return FALSE;
    UINT command = 0;
    {
        PopupMenuWindow popup(m_hMenu, owner);
        command = popup.Track(flags, x, y);
    }
    if (flags & TPM_RETURNCMD) return BOOL(command);
    // The command arrives after the menu has gone, as a posted menu command.
    if (command && CWnd::IsWindow(owner)) owner->PostMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return TRUE;
}

void CMenu::DrawItem(DRAWITEMSTRUCT*) {}
void CMenu::MeasureItem(MEASUREITEMSTRUCT*) {}
