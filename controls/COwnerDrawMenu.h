#pragma once

// A popup menu whose items all draw themselves, so that each command can show
// a small icon beside its text, in one of two looks: a flat look with a shaded
// icon column ("XP style") and the classic raised look. Menus are made from a
// menu template resource or item by item. Every item keeps a CMenuItemData
// record owned by the menu; popup submenus are COwnerDrawMenu objects owned
// by the menu that loaded them.
//
// Images come from one image list shared by all menus, where each image is
// registered under the command it belongs to.

#include <memory>
#include <string>
#include <vector>

#include "controls/CMenuItemData.h"
#include "platform/CImageList.h"
#include "platform/CMenu.h"
#include "platform/CRect.h"
#include "platform/SystemInfo.h"

class CDC;

class COwnerDrawMenu : public CMenu {
public:
    COwnerDrawMenu();
    ~COwnerDrawMenu() override;

    // Rebuilds the menu from a menu template resource as owner-drawn items;
    // 0 (and an empty menu) when there is no such resource or it is malformed.
    virtual BOOL LoadMenu(UINT resourceId);
    // The same by name: "#123" or a MAKEINTRESOURCE value; the resources of
    // this library have numbers only.
    virtual BOOL LoadMenu(const char* resourceName);
    // Frees the records, the submenus and the check-mark images, and the menu.
    BOOL DestroyMenu() override;

    // Appends an owner-drawn item. `image` >= 0 is a bitmap or icon resource
    // that is added to the shared images under `id`; a negative value uses
    // the shared image already registered for `id`, if any. MF_POPUP items
    // give a submenu handle as `id`.
    BOOL AppendOwnedItem(const char* text, UINT flags = MF_OWNERDRAW, UINT_PTR id = 0, int image = -1);
    // Replaces the item at `position`; with MF_OWNERDRAW it gets a new record,
    // otherwise it becomes an ordinary item without one.
    BOOL ModifyOwnedItem(UINT position, UINT flags, UINT_PTR id, const char* text);
    // The menu among this one and its owner-drawn submenus that holds the
    // command, and its position there; null and -1 when none does.
    COwnerDrawMenu* FindItemByCommand(UINT id, int* position);

    void MeasureItem(MEASUREITEMSTRUCT* measure) override;
    void DrawItem(DRAWITEMSTRUCT* draw) override;

    // The answer to a menu character request for `menu`: "&" with the lower-
    // cased character in an item's text chooses it (MNC_EXECUTE and its
    // position); 0 leaves the request to the default handling.
    static LRESULT FindMnemonic(UINT ch, UINT flags, CMenu* menu);
    // Whether the handle is one of the menus this object answers for: its own
    // or one of its owner-drawn submenus.
    bool IsOwnMenu(HMENU menu) const;
    // Whether a measure request concerns one of those menus.
    bool ConcernsOwnMenu(const MEASUREITEMSTRUCT& measure) const;
    // Whether any COwnerDrawMenu made the handle as a submenu.
    static bool IsOwnerDrawnSubMenu(HMENU menu);

    // Custom check marks: two images (unchecked, checked) side by side in a
    // bitmap resource, each half its width and its full height; shared with
    // the submenus. False when the bitmap can't be loaded.
    bool LoadCheckMarkImages(UINT bitmapId);

    int GetIconWidth() const { return m_iconWidth; }
    int GetIconHeight() const { return m_iconHeight; }
    const std::vector<std::unique_ptr<CMenuItemData>>& GetItemRecords() const { return m_itemRecords; }

    // The look of the items.
    enum class Style { XP, Classic };
    // What the system reports (version, theme) gives these class-wide values;
    // they are read once, and again after this call.
    static void ReadSystemReport();
    static int GetOsClass();
    static bool IsThemeClassic();
    static int OsClassOf(const SystemInfo::Version& version);
    static bool ThemeFileIsClassic(const std::string& themeFile);
    static Style StyleFor(const CDC* dc);
    // Each channel moved by `factor` (0, 1] of its way to white; other
    // factors leave the colour as it is.
    static COLORREF LightenColour(COLORREF colour, double factor);
    // Room around an icon in its column, in device pixels.
    static int Padding(Style style);

    // Class-wide style settings. The defaults give the XP style where the
    // system has the XP look and the classic style elsewhere, wide padding in
    // the XP style, and grayed items that are never highlighted.
    struct StyleSettings {
        int xpDrawMode = 1;       // 1: XP style on systems with the XP look
        int classicDrawMode = 0;  // 1: XP style on all other systems
        int xpWidePadding = 1;    // 1: padding 7 and raised icons in the XP style
        int selectDisabled = 0;   // 1: grayed items are highlighted too
    };
    static StyleSettings GetStyleSettings();
    static void SetStyleSettings(const StyleSettings& settings);

    // The shared image list and the command of each image; -1 when no image
    // is registered for the command.
    static int SharedImageIndex(UINT_PTR id);
    static int SharedImageCount();
    // Registers a bitmap or icon resource as the image of command `id`;
    // pixels of `background` in a bitmap are transparent. With wide XP
    // padding its plain and shadow companions follow it. The index, or -1
    // when the resource can't be loaded.
    static int AddSharedImage(int resource, UINT_PTR id, COLORREF background = RGB(192, 192, 192));

private:
    struct DrawContext;

    // Loading.
    BOOL LoadItems(const std::vector<struct MenuTemplateItem>& items);
    void ShareSettingsWith(COwnerDrawMenu& subMenu) const;
    void PassCheckMarksDown();
    BOOL AppendRecord(const std::wstring& text, UINT flags, UINT_PTR id, int image);
    void SyncRecords();
    CMenuItemData* FindRecord(ULONG_PTR itemData) const;

    // Measuring and drawing (COwnerDrawMenuDraw.cpp).
    CSize MeasureText(const std::wstring& text) const;
    void DrawXP(DrawContext& c);
    void DrawClassic(DrawContext& c);
    void DrawXPIconCell(DrawContext& c, const CRect& column);
    void DrawCheckMark(CDC& dc, const CRect& cell, COLORREF colour) const;
    void DrawCheckImage(CDC& dc, const CRect& column) const;
    void DrawItemText(DrawContext& c, const CRect& textRect, COLORREF colour);
    static void DrawSharedImage(CDC& dc, int image, CPoint at, bool disabled);
    static int ImageOf(const CMenuItemData& record);
    static const CImageList& SharedImages();
    static const std::vector<UINT_PTR>& SharedIds();

    std::vector<std::unique_ptr<CMenuItemData>> m_itemRecords;
    std::vector<HMENU> m_subMenus;
    std::vector<std::unique_ptr<COwnerDrawMenu>> m_ownedSubMenus;
    int m_iconWidth;   // device pixels, from the 96-dpi layout's 16 x 15
    int m_iconHeight;
    COLORREF m_bitmapBackground = RGB(192, 192, 192);
    std::shared_ptr<CImageList> m_checkImages;  // shared with loaded submenus
    int m_unselectedCheckImage = -1;
    int m_selectedCheckImage = -1;
};
