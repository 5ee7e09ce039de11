#include "controls/COwnerDrawMenu.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

#include "platform/CDC.h"
#include "platform/DisplayScale.h"
#include "platform/MenuTemplate.h"
#include "platform/ResourceTable.h"
#include "platform/SysColors.h"
#include "platform/WinUser.h"

namespace {

constexpr size_t kMnemonicTextLimit = 1024;
// The icons' size on the 96-dpi layout: the menus' own and the shared images'.
constexpr int kIconWidth = 16;
constexpr int kIconHeight = 15;
constexpr int kMaxSubMenuDepth = MenuTemplate::kMaxDepth;

// What every COwnerDrawMenu shares.
struct ClassState {
    bool reportRead = false;
    int osClass = 1;
    bool themeClassic = false;
    std::vector<HMENU> allSubMenus;
    CImageList sharedImages;
    std::vector<UINT_PTR> sharedImageIds;
    COwnerDrawMenu::StyleSettings settings;
};

ClassState& Shared() {
    static ClassState state;
    return state;
}

void Forget(std::vector<HMENU>& list, HMENU menu) { list.erase(std::remove(list.begin(), list.end(), menu), list.end()); }

// A bitmap scaled to w x h, for the shared list of one image size.
bool ScaledCopy(const CBitmap& source, int w, int h, CBitmap* copy) {
    if (!copy->CreateBitmap(w, h, 1, 32, nullptr)) return false;
    const Surface& from = source.GetSurface();
    Surface& to = copy->GetSurface();
    if (from.Width() <= 0 || from.Height() <= 0) return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            to.Row(y)[x] = from.At(int(int64_t(x) * from.Width() / w), int(int64_t(y) * from.Height() / h));
    return true;
}

// The companions of an image for the XP look: a slightly washed-out variant
// for resting items and a flat grey silhouette that gives hovered items
// their raised look.
Icon* Companion(const Icon& image, bool shadow) {
    Icon* copy = new Icon(image);
    const COLORREF shade = COwnerDrawMenu::LightenColour(GetSysColor(COLOR_BTNSHADOW), 0.4);
    for (int y = 0; y < copy->height; ++y)
        for (int x = 0; x < copy->width; ++x) {
            if (copy->mask.At(x, y) & 0xFFFFFF) continue;  // transparent
            const COLORREF c = Surface::ToColorRef(copy->colour.At(x, y));
            copy->colour.Row(y)[x] = Surface::FromColorRef(shadow ? shade : COwnerDrawMenu::LightenColour(c, 0.2));
        }
    return copy;
}

}  // namespace

COwnerDrawMenu::COwnerDrawMenu()
    : m_iconWidth(DisplayScale::Scale(kIconWidth)), m_iconHeight(DisplayScale::Scale(kIconHeight)) {
    if (!Shared().reportRead) ReadSystemReport();
}

COwnerDrawMenu::~COwnerDrawMenu() { DestroyMenu(); }

// ---- class-wide state ----

void COwnerDrawMenu::ReadSystemReport() {
    ClassState& state = Shared();
    state.osClass = OsClassOf(SystemInfo::GetVersion());
    state.themeClassic = ThemeFileIsClassic(SystemInfo::GetThemeFile());
    state.reportRead = true;
}

COwnerDrawMenu::StyleSettings COwnerDrawMenu::GetStyleSettings() { return Shared().settings; }

void COwnerDrawMenu::SetStyleSettings(const StyleSettings& settings) { Shared().settings = settings; }

int COwnerDrawMenu::GetOsClass() { return Shared().osClass; }

bool COwnerDrawMenu::IsThemeClassic() { return Shared().themeClassic; }

int COwnerDrawMenu::OsClassOf(const SystemInfo::Version& v) {
    if (!v.known) return 1;
    switch (v.family) {
        case SystemInfo::Family::Win32s: return 0;
        case SystemInfo::Family::Windows9x:
            if (v.major < 4) return 0;
            if (v.major == 4 && v.minor == 10) return 3;
            if (v.major == 4 && v.minor == 90) return 4;
            return 2;
        case SystemInfo::Family::NT:
            if (v.major == 4) return 5;
            if (v.major == 5 && v.minor == 0) return 6;
            if (v.major == 5 && v.minor == 1) return 7;
            return 1;
    }
    return 1;
}

bool COwnerDrawMenu::ThemeFileIsClassic(const std::string& themeFile) {
    static const std::string kClassic = "windows classic.theme";
    if (themeFile.size() < kClassic.size()) return false;
    const std::string tail = themeFile.substr(themeFile.size() - kClassic.size());
    for (size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kClassic[i]) return false;
    return true;
}

bool COwnerDrawMenu::IsOwnerDrawnSubMenu(HMENU menu) {
    const std::vector<HMENU>& all = Shared().allSubMenus;
    return menu && std::find(all.begin(), all.end(), menu) != all.end();
}

int COwnerDrawMenu::SharedImageIndex(UINT_PTR id) {
    const std::vector<UINT_PTR>& ids = Shared().sharedImageIds;
    auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : int(it - ids.begin());
}

int COwnerDrawMenu::SharedImageCount() { return int(Shared().sharedImageIds.size()); }

const CImageList& COwnerDrawMenu::SharedImages() { return Shared().sharedImages; }

const std::vector<UINT_PTR>& COwnerDrawMenu::SharedIds() { return Shared().sharedImageIds; }

int COwnerDrawMenu::AddSharedImage(int resource, UINT_PTR id, COLORREF background) {
    ClassState& state = Shared();
    if (!state.sharedImages.IsCreated() &&
        !state.sharedImages.Create(DisplayScale::Scale(kIconWidth), DisplayScale::Scale(kIconHeight),
                                   ILC_COLOR24 | ILC_MASK, 8, 8))
        return -1;
    // Every image takes the size the list was made with.
    const int w = state.sharedImages.GetImageSize().cx, h = state.sharedImages.GetImageSize().cy;
    int index = -1;
    CBitmap bitmap, scaled;
    if (ResourceTable::Instance().LoadBitmap(UINT(resource), &bitmap)) {
        if (ScaledCopy(bitmap, w, h, &scaled)) index = state.sharedImages.Add(&scaled, background);
    } else if (HICON icon = ResourceTable::Instance().LoadIcon(UINT(resource), w, h)) {
        index = state.sharedImages.Add(icon);
        DestroyIcon(icon);
    }
    if (index < 0) return -1;
    state.sharedImageIds.push_back(id);
    if (state.settings.xpWidePadding) {
        // The wide XP look raises hovered icons over a shadow.
        HICON image = state.sharedImages.ExtractIcon(index);
        for (bool shadow : {false, true}) {
            HICON companion = image ? Companion(*image, shadow) : nullptr;
            if (companion && state.sharedImages.Add(companion) >= 0) state.sharedImageIds.push_back(id);
            if (companion) DestroyIcon(companion);
        }
        if (image) DestroyIcon(image);
    }
    return index;
}

// ---- making and destroying ----

BOOL COwnerDrawMenu::LoadMenu(UINT resourceId) {
    return LoadMenu(reinterpret_cast<const char*>(uintptr_t(resourceId & 0xFFFF)));
}

BOOL COwnerDrawMenu::LoadMenu(const char* resourceName) {
    UINT id = 0;
    const uintptr_t value = reinterpret_cast<uintptr_t>(resourceName);
    if (value < 0x10000) {
        id = UINT(value);
    } else if (resourceName[0] == '#') {
        char* end = nullptr;
        const unsigned long number = std::strtoul(resourceName + 1, &end, 10);
        if (end == resourceName + 1 || *end != '\0' || number > 0xFFFF) return FALSE;
        id = UINT(number);
    } else {
        return FALSE;
    }
    std::vector<MenuTemplateItem> items;
    if (!MenuTemplate::Load(id, &items)) return FALSE;
    DestroyMenu();
    if (!CreatePopupMenu()) return FALSE;
    return LoadItems(items);
}

BOOL COwnerDrawMenu::LoadItems(const std::vector<MenuTemplateItem>& items) {
    for (const MenuTemplateItem& item : items) {
        if (item.flags & MF_POPUP) {
            auto subMenu = std::make_unique<COwnerDrawMenu>();
            if (!subMenu->CreatePopupMenu()) return FALSE;
            ShareSettingsWith(*subMenu);
            if (!subMenu->LoadItems(item.children)) return FALSE;
            const HMENU handle = subMenu->m_hMenu;
            m_ownedSubMenus.push_back(std::move(subMenu));
            if (!AppendRecord(item.text, item.flags, reinterpret_cast<UINT_PTR>(handle), -1)) return FALSE;
        } else if (item.id == 0) {
            if (!AppendRecord(item.text, item.flags | MF_SEPARATOR, 0, -1)) return FALSE;
        } else if (!AppendRecord(item.text, item.flags, item.id, -1)) {
            return FALSE;
        }
    }
    return TRUE;
}

void COwnerDrawMenu::ShareSettingsWith(COwnerDrawMenu& subMenu) const {
    subMenu.m_iconWidth = m_iconWidth;
    subMenu.m_iconHeight = m_iconHeight;
    subMenu.m_bitmapBackground = m_bitmapBackground;
    subMenu.m_checkImages = m_checkImages;
    subMenu.m_unselectedCheckImage = m_unselectedCheckImage;
    subMenu.m_selectedCheckImage = m_selectedCheckImage;
}

BOOL COwnerDrawMenu::DestroyMenu() {
    ClassState& state = Shared();
    Forget(state.allSubMenus, m_hMenu);
    for (HMENU sub : m_subMenus) Forget(state.allSubMenus, sub);
    m_subMenus.clear();
    // The submenu objects first: each forgets its own submenus and frees its
    // records; the window system's menus go with them.
    m_ownedSubMenus.clear();
    const BOOL destroyed = CMenu::DestroyMenu();
    m_itemRecords.clear();
    m_checkImages.reset();
    return destroyed;
}

BOOL COwnerDrawMenu::AppendOwnedItem(const char* text, UINT flags, UINT_PTR id, int image) {
    const std::wstring wide = SystemInfo::AnsiToWide(text ? text : "");
    if (!m_hMenu && !CreatePopupMenu()) return FALSE;
    return AppendRecord(wide, flags, id, image);
}

BOOL COwnerDrawMenu::AppendRecord(const std::wstring& text, UINT flags, UINT_PTR id, int image) {
    if (!m_hMenu) return FALSE;
    auto record = std::make_unique<CMenuItemData>();
    record->text = text;
    record->itemFlags = flags | MF_OWNERDRAW;
    record->commandId = id;
    const bool popup = (flags & MF_POPUP) != 0;
    if (!popup && !(flags & MF_SEPARATOR))
        record->imageIndex = image >= 0 ? AddSharedImage(image, id, m_bitmapBackground) : SharedImageIndex(id);
    if (!AppendMenu(record->itemFlags, id, reinterpret_cast<const char*>(record.get()))) return FALSE;
    m_itemRecords.push_back(std::move(record));
    if (popup) {
        m_subMenus.push_back(reinterpret_cast<HMENU>(id));
        Shared().allSubMenus.push_back(reinterpret_cast<HMENU>(id));
    }
    return TRUE;
}

BOOL COwnerDrawMenu::ModifyOwnedItem(UINT position, UINT flags, UINT_PTR id, const char* text) {
    const std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    if (!items || position >= items->size()) return FALSE;
    std::unique_ptr<CMenuItemData> record;
    const char* data = text;
    if (flags & MF_OWNERDRAW) {
        record = std::make_unique<CMenuItemData>();
        record->SetAnsiText(text ? text : "");
        record->itemFlags = flags;
        record->commandId = id;
        if (!(flags & (MF_POPUP | MF_SEPARATOR))) record->imageIndex = SharedImageIndex(id);
        data = reinterpret_cast<const char*>(record.get());
    }
    if (!ModifyMenu(position, (flags & ~MF_BYCOMMAND) | MF_BYPOSITION, id, data)) return FALSE;
    if (record) m_itemRecords.push_back(std::move(record));
    SyncRecords();
    return TRUE;
}

// Keeps one record per owner-drawn item of ours, in menu order; records of
// items that are gone are freed.
void COwnerDrawMenu::SyncRecords() {
    const std::vector<MenuItem>* items = MenuTable::Items(m_hMenu);
    std::vector<std::unique_ptr<CMenuItemData>> ordered;
    if (items)
        for (const MenuItem& item : *items) {
            if (!(item.flags & MF_OWNERDRAW)) continue;
            for (auto& record : m_itemRecords)
                if (record && reinterpret_cast<ULONG_PTR>(record.get()) == item.itemData) {
                    ordered.push_back(std::move(record));
                    break;
                }
        }
    m_itemRecords = std::move(ordered);
}

// ---- finding ----

CMenuItemData* COwnerDrawMenu::FindRecord(ULONG_PTR itemData) const {
    if (!itemData) return nullptr;
    for (const auto& record : m_itemRecords)
        if (reinterpret_cast<ULONG_PTR>(record.get()) == itemData) return record.get();
    for (const auto& sub : m_ownedSubMenus)
        if (CMenuItemData* found = sub->FindRecord(itemData)) return found;
    return nullptr;
}

bool COwnerDrawMenu::IsOwnMenu(HMENU menu) const {
    if (!menu) return false;
    if (menu == m_hMenu || std::find(m_subMenus.begin(), m_subMenus.end(), menu) != m_subMenus.end()) return true;
    for (const auto& sub : m_ownedSubMenus)
        if (sub->IsOwnMenu(menu)) return true;
    return false;
}

bool COwnerDrawMenu::ConcernsOwnMenu(const MEASUREITEMSTRUCT& measure) const {
    if (measure.CtlType != ODT_MENU) return false;
    return IsOwnMenu(reinterpret_cast<HMENU>(uintptr_t(measure.itemID))) || FindRecord(measure.itemData);
}

COwnerDrawMenu* COwnerDrawMenu::FindItemByCommand(UINT id, int* position) {
    // Breadth first through the owner-drawn submenus; a menu is searched once
    // even when it is reachable twice.
    std::vector<COwnerDrawMenu*> pending{this};
    std::vector<HMENU> seen;
    for (size_t next = 0; next < pending.size(); ++next) {
        COwnerDrawMenu* menu = pending[next];
        const std::vector<MenuItem>* items = MenuTable::Items(menu->m_hMenu);
        if (!items || std::find(seen.begin(), seen.end(), menu->m_hMenu) != seen.end()) continue;
        seen.push_back(menu->m_hMenu);
        for (size_t i = 0; i < items->size(); ++i) {
            const MenuItem& item = (*items)[i];
            if (!(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == id) {
                if (position) *position = int(i);
                return menu;
            }
        }
        for (const MenuItem& item : *items)
            if (item.flags & MF_POPUP)
                if (auto* sub = dynamic_cast<COwnerDrawMenu*>(CMenu::FromHandlePermanent(item.subMenu)))
                    pending.push_back(sub);
    }
    if (position) *position = -1;
    return nullptr;
}

LRESULT COwnerDrawMenu::FindMnemonic(UINT ch, UINT flags, CMenu* menu) {
    auto* ownerDrawn = dynamic_cast<COwnerDrawMenu*>(menu);
    if (!(flags & MF_POPUP) || !ownerDrawn) return 0;
    const std::vector<MenuItem>* items = MenuTable::Items(ownerDrawn->m_hMenu);
    if (!items) return 0;
    if (ownerDrawn->m_itemRecords.size() != items->size()) ownerDrawn->SyncRecords();
    const std::wstring typed = SystemInfo::AnsiToWide(std::string(1, char(ch & 0xFF)));
    const std::wstring key = std::wstring(L"&") + wchar_t(std::towlower(wint_t(typed[0])));
    for (size_t i = 0; i < items->size(); ++i) {
        const MenuItem& item = (*items)[i];
        const CMenuItemData* record = (item.flags & MF_OWNERDRAW) ? ownerDrawn->FindRecord(item.itemData) : nullptr;
        std::wstring text = record ? record->text : SystemInfo::AnsiToWide(item.text);
        text.resize(std::min(text.size(), kMnemonicTextLimit));
        for (wchar_t& c : text) c = wchar_t(std::towlower(wint_t(c)));
        if (text.find(key) != std::wstring::npos) return MAKELRESULT(i, MNC_EXECUTE);
    }
    return 0;
}

bool COwnerDrawMenu::LoadCheckMarkImages(UINT bitmapId) {
    CBitmap bitmap;
    auto images = std::make_shared<CImageList>();
    // The cells follow the picture as loaded, drawn for this screen or not.
    if (!ResourceTable::Instance().LoadBitmap(bitmapId, &bitmap) || bitmap.GetSize().cx < 2 ||
        !images->Create(bitmap.GetSize().cx / 2, bitmap.GetSize().cy, ILC_COLOR24 | ILC_MASK, 2, 0) ||
        images->Add(&bitmap, m_bitmapBackground) < 0 || images->GetImageCount() < 2)
        return false;
    m_checkImages = std::move(images);
    m_unselectedCheckImage = 0;
    m_selectedCheckImage = 1;
    PassCheckMarksDown();
    return true;
}

void COwnerDrawMenu::PassCheckMarksDown() {
    for (const auto& sub : m_ownedSubMenus) {
        sub->m_checkImages = m_checkImages;
        sub->m_unselectedCheckImage = m_unselectedCheckImage;
        sub->m_selectedCheckImage = m_selectedCheckImage;
        sub->PassCheckMarksDown();
    }
}
