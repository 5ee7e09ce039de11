#pragma once

// A menu object wrapping a menu handle. Popup menus run modally through
// TrackPopupMenu, which opens a PopupMenuWindow and returns when the user has
// chosen or dismissed.

#include <string>

#include "platform/MenuTable.h"
#include "platform/WinTypes.h"

class CWnd;
struct DRAWITEMSTRUCT;
struct MEASUREITEMSTRUCT;

// Item types and states.
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_BITMAP = 0x0004;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_MENUBARBREAK = 0x0020;
constexpr UINT MF_MENUBREAK = 0x0040;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_END = 0x0080;  // in menu templates: last item of a level

// TrackPopupMenu flags.
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// Answers to WM_MENUCHAR: the item position in the low word, what to do in
// the high word.
constexpr int MNC_IGNORE = 0;
constexpr int MNC_CLOSE = 1;
constexpr int MNC_EXECUTE = 2;
constexpr int MNC_SELECT = 3;
constexpr LRESULT MAKELRESULT(unsigned lo, unsigned hi) { return LRESULT((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)); }

// GetMenuItemInfo masks.
constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_FTYPE = 0x0100;

// The part of the item record that this framework keeps.
struct MENUITEMINFO {
    UINT cbSize;
    UINT fMask;
    UINT fType;      // MF_ type bits (string, separator, owner-draw, popup...)
    UINT fState;     // MF_ state bits (grayed, disabled, checked, hilite, default)
    UINT wID;
    HMENU hSubMenu;
    ULONG_PTR dwItemData;
    char* dwTypeData;  // text buffer for MIIM_STRING/MIIM_TYPE
    UINT cch;          // its size in characters; set to the text length on return
};

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL CreatePopupMenu();
    BOOL CreateMenu();
    virtual BOOL DestroyMenu();
    BOOL Attach(HMENU menu);
    HMENU Detach();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    // The CMenu object attached to the handle, or null when none is.
    static CMenu* FromHandlePermanent(HMENU menu);

    // With MF_OWNERDRAW the third argument is not text but the item's data
    // value, handed back in the measure and draw requests.
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, const char* newItem = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, const char* newItem = nullptr);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, const char* newItem = nullptr);
    // Removes an item; a submenu it holds stays alive.
    BOOL RemoveMenu(UINT position, UINT flags);
    // Removes an item and destroys a submenu it holds.
    BOOL DeleteMenu(UINT position, UINT flags);

    UINT GetMenuItemCount() const;  // (UINT)-1 for a menu that does not exist
    UINT GetMenuItemID(int position) const;  // 0 for separators, (UINT)-1 for popups
    UINT GetMenuState(UINT id, UINT flags) const;
    int GetMenuString(UINT id, std::string& text, UINT flags) const;
    HMENU GetSubMenu(int position) const;
    BOOL GetMenuItemInfo(UINT item, MENUITEMINFO* info, BOOL byPosition = FALSE) const;
    UINT EnableMenuItem(UINT id, UINT enable);  // previous state, or (UINT)-1
    UINT CheckMenuItem(UINT id, UINT check);

    // Shows the menu at screen point (x, y) and runs it modally. The chosen
    // command goes to `owner` as WM_COMMAND, or, with TPM_RETURNCMD, is the
    // result; 0 when the menu was dismissed.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* ignored = nullptr);

    // Owner-drawn items of a menu object are measured and drawn here when the
    // owner window does not handle the request itself.
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    virtual void MeasureItem(MEASUREITEMSTRUCT* item);

    HMENU m_hMenu = nullptr;

private:
    // The index of the item named by `position` and MF_BYPOSITION in `flags`,
    // or -1. By command the search descends into submenus, as the window system
    // does; `owner` receives the menu that holds the item.
    int FindItem(UINT position, UINT flags, HMENU* owner) const;
};
