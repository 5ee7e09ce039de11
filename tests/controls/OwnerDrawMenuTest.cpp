// The owner-drawn menu: the look the system report selects, loading menus
// from templates, item bookkeeping, mnemonics, measuring and drawing.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "controls/CMenuMemDC.h"
#include "controls/COwnerDrawMenu.h"
#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/DisplayScale.h"
#include "platform/MenuTemplate.h"
#include "platform/ResourceTable.h"
#include "platform/SysColors.h"
#include "platform/WinUser.h"
#include "resources/ConverterResources.h"

namespace {

enum Command : UINT { kOpen = 2001, kSave = 2002, kGrid = 2003, kOff = 2004, kAbout = 2005, kDeep = 2006 };
constexpr UINT kMenuResource = 3001;
constexpr UINT kArrowIcon = 1000;     // 32 x 32 icon of the converter's artwork
constexpr UINT kConvertBitmap = 1010;  // 20 x 16 bitmap of the converter's artwork
constexpr UINT kCheckMarkBitmap = 3050;

// A 32 x 15 bitmap file: two 16 x 15 check marks, the unchecked one red and
// the checked one blue, each a square on the menus' grey background.
const std::vector<unsigned char>& CheckMarkBitmap() {
    static const std::vector<unsigned char> file = [] {
        const int w = 32, h = 15, row = w * 3;  // 96 bytes: no row padding
        std::vector<unsigned char> bytes(54 + size_t(row) * h);
        auto put32 = [&bytes](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = static_cast<unsigned char>(v >> (8 * i));
        };
        bytes[0] = 'B';
        bytes[1] = 'M';
        put32(2, uint32_t(bytes.size()));
        put32(10, 54);
        put32(14, 40);
        put32(18, w);
        put32(22, h);
        bytes[26] = 1;
        bytes[28] = 24;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                unsigned char* p = &bytes[54 + size_t(y) * row + size_t(x) * 3];  // B, G, R
                const bool square = x % 16 >= 4 && x % 16 < 12 && y >= 4 && y < 11;
                p[0] = p[1] = p[2] = 192;
                if (square) {
                    p[0] = x < 16 ? 0 : 255;
                    p[1] = 0;
                    p[2] = x < 16 ? 255 : 0;
                }
            }
        return bytes;
    }();
    return file;
}

enum class Look { Classic, XPLuna, XPPlain };

const std::vector<unsigned char>& MenuBytes() {
    static const std::vector<unsigned char> bytes = MenuTemplate::Build({
        {0, kOpen, L"&Open\tCtrl+O", {}},
        {MF_CHECKED, kSave, L"Save &As", {}},
        {0, 0, L"", {}},
        {MF_GRAYED, kOff, L"E&xit", {}},
        {MF_POPUP, 0, L"&More", {{0, kAbout, L"&About", {}}, {MF_POPUP, 0, L"Deeper", {{0, kDeep, L"&Deep", {}}}}}},
    });
    return bytes;
}

class OwnerDrawMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ConverterResources::Register();
        ResourceTable::Instance().Add(RT_MENU, kMenuResource, MenuBytes().data(), MenuBytes().size());
        ResourceTable::Instance().Add(RT_BITMAP, kCheckMarkBitmap, CheckMarkBitmap().data(), CheckMarkBitmap().size());
        UseLook(Look::Classic);
    }
    void TearDown() override {
        DisplayScale::SetPercent(100);
        SystemInfo::ResetReport();
        COwnerDrawMenu::SetStyleSettings(COwnerDrawMenu::StyleSettings{});
        COwnerDrawMenu::ReadSystemReport();
        ResourceTable::Instance().Remove(RT_MENU, kMenuResource);
        ResourceTable::Instance().Remove(RT_BITMAP, kCheckMarkBitmap);
    }

    static void UseLook(Look look, int menuHeight = 19, bool palette = false) {
        SystemInfo::Report report;
        report.menuHeight = menuHeight;
        report.paletteDisplay = palette;
        if (look != Look::Classic) report.version = SystemInfo::Version{true, SystemInfo::Family::NT, 5, 1};
        if (look == Look::XPLuna) report.themeFile = "C:\\WINDOWS\\Resources\\Themes\\Luna.theme";
        if (look == Look::XPPlain) report.themeFile = "C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme";
        SystemInfo::SetReport(report);
        COwnerDrawMenu::StyleSettings settings;
        settings.classicDrawMode = look == Look::XPPlain ? 1 : 0;
        COwnerDrawMenu::SetStyleSettings(settings);
        COwnerDrawMenu::ReadSystemReport();
    }

    static MEASUREITEMSTRUCT Measure(COwnerDrawMenu& menu, const CMenuItemData* record) {
        MEASUREITEMSTRUCT m{};
        m.CtlType = ODT_MENU;
        m.itemData = reinterpret_cast<ULONG_PTR>(record);
        menu.MeasureItem(&m);
        return m;
    }
    // The width of a text in the menu font, measured apart from the menu.
    static int TextWidth(const std::string& text) {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CFont font;
        const LOGFONT logFont = SystemInfo::GetMenuFont();
        font.CreateFontIndirect(&logFont);
        dc.SelectObject(&font);
        return int(dc.GetTextExtent(text).cx);
    }

    // Draws one item into a fresh surface of width x its measured height,
    // prefilled with a colour no menu uses.
    void Draw(COwnerDrawMenu& menu, const CMenuItemData* record, UINT state, int width = 180) {
        const int height = int(Measure(menu, record).itemHeight);
        surface_.Resize(width, height, Surface::FromColorRef(kUnpainted));
        CDC dc(&surface_);
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_MENU;
        d.itemState = state;
        d.hDC = &dc;
        d.rcItem = RECT{0, 0, width, height};
        d.itemData = reinterpret_cast<ULONG_PTR>(record);
        menu.DrawItem(&d);
    }
    COLORREF At(int x, int y) const { return Surface::ToColorRef(surface_.At(x, y)); }
    // Columns [x0, x1) holding a pixel that passes `ink`.
    template <class Ink>
    bool InkIn(int x0, int x1, Ink ink) const {
        for (int y = 0; y < surface_.Height(); ++y)
            for (int x = x0; x < x1; ++x)
                if (ink(At(x, y))) return true;
        return false;
    }
    // The smallest rectangle holding every pixel of columns [x0, x1) that
    // passes `ink`; empty when none does.
    template <class Ink>
    CRect InkBox(int x0, int x1, Ink ink) const {
        CRect box(x1, surface_.Height(), x0, 0);
        for (int y = 0; y < surface_.Height(); ++y)
            for (int x = x0; x < x1; ++x)
                if (ink(At(x, y))) box = CRect(std::min<int>(box.left, x), std::min<int>(box.top, y),
                                               std::max<int>(box.right, x + 1), std::max<int>(box.bottom, y + 1));
        return box.IsRectEmpty() ? CRect() : box;
    }
    static bool Darkish(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }

    static constexpr COLORREF kUnpainted = RGB(255, 0, 255);
    Surface surface_;
};

COLORREF Lighten(COLORREF c, double f) { return COwnerDrawMenu::LightenColour(c, f); }

// ---- the system report and the look ----

TEST_F(OwnerDrawMenuTest, OsClassFollowsTheVersionTable) {
    using F = SystemInfo::Family;
    const struct {
        SystemInfo::Version version;
        int osClass;
    } cases[] = {
        {{true, F::Win32s, 3, 10}, 0}, {{true, F::Windows9x, 3, 95}, 0}, {{true, F::Windows9x, 4, 0}, 2},
        {{true, F::Windows9x, 4, 10}, 3}, {{true, F::Windows9x, 4, 90}, 4}, {{true, F::NT, 4, 0}, 5},
        {{true, F::NT, 5, 0}, 6}, {{true, F::NT, 5, 1}, 7}, {{true, F::NT, 5, 2}, 1},
        {{true, F::NT, 6, 0}, 1}, {{true, F::NT, 10, 0}, 1}, {{true, F::NT, 3, 51}, 1},
        {{false, F::NT, 0, 0}, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(COwnerDrawMenu::OsClassOf(c.version), c.osClass)
            << int(c.version.family) << " " << c.version.major << "." << c.version.minor;
    // This platform reports a later NT system.
    SystemInfo::ResetReport();
    COwnerDrawMenu::ReadSystemReport();
    EXPECT_EQ(COwnerDrawMenu::GetOsClass(), 1);
    EXPECT_EQ(COwnerDrawMenu::StyleFor(nullptr), COwnerDrawMenu::Style::Classic);
}

TEST_F(OwnerDrawMenuTest, ClassicThemeIsRecognisedByItsFileName) {
    const struct {
        const char* file;
        bool classic;
    } cases[] = {
        {"C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme", true},
        {"c:\\themes\\WINDOWS CLASSIC.THEME", true},
        {"Windows Classic.theme", true},
        {"C:\\WINDOWS\\Resources\\Themes\\Luna.theme", false},
        {"Windows Classic.theme.bak", false},
        {"Classic.theme", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(COwnerDrawMenu::ThemeFileIsClassic(c.file), c.classic) << c.file;
}

TEST_F(OwnerDrawMenuTest, StyleDependsOnSystemThemeDisplayAndSettings) {
    const struct {
        Look look;
        bool palette;
        COwnerDrawMenu::Style style;
    } cases[] = {
        {Look::XPLuna, false, COwnerDrawMenu::Style::XP},
        {Look::XPLuna, true, COwnerDrawMenu::Style::Classic},  // palette displays are always classic
        {Look::Classic, false, COwnerDrawMenu::Style::Classic},
        {Look::XPPlain, false, COwnerDrawMenu::Style::XP},  // classic draw mode switched to XP
        {Look::XPPlain, true, COwnerDrawMenu::Style::Classic},
    };
    for (const auto& c : cases) {
        UseLook(c.look, 19, c.palette);
        EXPECT_EQ(COwnerDrawMenu::StyleFor(nullptr), c.style) << int(c.look) << " " << c.palette;
    }
    // Without the switch, a classic theme on XP stays classic.
    UseLook(Look::XPPlain);
    COwnerDrawMenu::SetStyleSettings(COwnerDrawMenu::StyleSettings{});
    EXPECT_EQ(COwnerDrawMenu::StyleFor(nullptr), COwnerDrawMenu::Style::Classic);
}

TEST_F(OwnerDrawMenuTest, LightenColourMovesChannelsTowardWhite) {
    const struct {
        COLORREF colour;
        double factor;
        COLORREF expected;
    } cases[] = {
        {RGB(10, 36, 106), 0.85, RGB(218, 222, 232)},
        {RGB(10, 36, 106), 0.7, RGB(181, 189, 210)},
        {RGB(128, 128, 128), 0.4, RGB(178, 178, 178)},
        {RGB(0, 100, 255), 1.0, RGB(255, 255, 255)},
        {RGB(0, 100, 255), 0.0, RGB(0, 100, 255)},
        {RGB(0, 100, 255), -0.5, RGB(0, 100, 255)},
        {RGB(0, 100, 255), 1.5, RGB(0, 100, 255)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lighten(c.colour, c.factor), c.expected) << std::hex << c.colour << " " << c.factor;
}

// ---- making menus ----

TEST_F(OwnerDrawMenuTest, LoadedTemplateBecomesOwnerDrawnItemsWithSubmenus) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenuResource));
    ASSERT_EQ(menu.GetMenuItemCount(), 5u);
    const auto& records = menu.GetItemRecords();
    ASSERT_EQ(records.size(), 5u);
    for (UINT i = 0; i < 5; ++i) {
        MENUITEMINFO info{};
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        ASSERT_TRUE(menu.GetMenuItemInfo(i, &info, TRUE));
        EXPECT_TRUE(info.fType & MF_OWNERDRAW) << i;
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(records[i].get())) << i;
    }
    EXPECT_EQ(records[0]->text, L"&Open\tCtrl+O");
    EXPECT_EQ(records[0]->commandId, UINT_PTR(kOpen));
    EXPECT_TRUE(menu.GetMenuState(kSave, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(menu.GetMenuState(kOff, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(records[2]->itemFlags & MF_SEPARATOR);  // identifier 0

    // The popup is a COwnerDrawMenu of its own, known class-wide.
    const HMENU more = menu.GetSubMenu(4);
    auto* sub = dynamic_cast<COwnerDrawMenu*>(CMenu::FromHandlePermanent(more));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(records[4]->commandId, reinterpret_cast<UINT_PTR>(more));
    EXPECT_TRUE(COwnerDrawMenu::IsOwnerDrawnSubMenu(more));
    EXPECT_TRUE(menu.IsOwnMenu(more));
    const HMENU deeper = sub->GetSubMenu(1);
    EXPECT_TRUE(menu.IsOwnMenu(deeper));
    EXPECT_EQ(sub->GetItemRecords()[0]->text, L"&About");

    // Found by command through the submenus, with the position there.
    const struct {
        UINT id;
        HMENU holder;
        int position;
    } finds[] = {{kSave, menu.m_hMenu, 1}, {kAbout, more, 0}, {kDeep, deeper, 0}, {4242, nullptr, -1}};
    for (const auto& f : finds) {
        int position = 99;
        COwnerDrawMenu* holder = menu.FindItemByCommand(f.id, &position);
        EXPECT_EQ(holder ? holder->m_hMenu : nullptr, f.holder) << f.id;
        EXPECT_EQ(position, f.position) << f.id;
    }

    // Destroying forgets every submenu and frees the window-system menus.
    menu.DestroyMenu();
    EXPECT_TRUE(menu.GetItemRecords().empty());
    for (HMENU gone : {more, deeper}) {
        EXPECT_FALSE(COwnerDrawMenu::IsOwnerDrawnSubMenu(gone));
        EXPECT_FALSE(MenuTable::Exists(gone));
        EXPECT_FALSE(menu.IsOwnMenu(gone));
    }
}

TEST_F(OwnerDrawMenuTest, LoadByNameAndFailedLoadsLeaveTheMenuAlone) {
    COwnerDrawMenu menu;
    EXPECT_TRUE(menu.LoadMenu("#3001"));
    EXPECT_EQ(menu.GetMenuItemCount(), 5u);

    static const std::vector<unsigned char> broken = {0, 0, 0x80, 0, 1};
    ResourceTable::Instance().Add(RT_MENU, kMenuResource + 1, broken.data(), broken.size());
    const struct {
        const char* what;
        const char* name;
    } failures[] = {
        {"no such number", "#3999"},
        {"malformed template", "#3002"},
        {"named resource", "MAINMENU"},
        {"number without digits", "#"},
        {"number too large", "#70000"},
    };
    for (const auto& f : failures) {
        EXPECT_FALSE(menu.LoadMenu(f.name)) << f.what;
        EXPECT_EQ(menu.GetMenuItemCount(), 5u) << f.what;
    }
    ResourceTable::Instance().Remove(RT_MENU, kMenuResource + 1);

    COwnerDrawMenu empty;
    EXPECT_FALSE(empty.LoadMenu(3999u));
    EXPECT_EQ(empty.GetSafeHmenu(), nullptr);
}

TEST_F(OwnerDrawMenuTest, AppendedImagesAreSharedByCommand) {
    const int before = COwnerDrawMenu::SharedImageCount();
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.AppendOwnedItem("Icon", MF_OWNERDRAW, 7001, int(kArrowIcon)));
    ASSERT_TRUE(menu.AppendOwnedItem("Bitmap", MF_OWNERDRAW, 7002, int(kConvertBitmap)));
    ASSERT_TRUE(menu.AppendOwnedItem("Missing", MF_OWNERDRAW, 7003, 4999));
    // Each image comes with its plain and shadow companions.
    EXPECT_EQ(COwnerDrawMenu::SharedImageCount(), before + 6);
    const auto& records = menu.GetItemRecords();
    EXPECT_EQ(records[0]->imageIndex, before);
    EXPECT_EQ(records[1]->imageIndex, before + 3);
    EXPECT_EQ(records[2]->imageIndex, -1);
    EXPECT_EQ(COwnerDrawMenu::SharedImageIndex(7002), before + 3);
    EXPECT_EQ(COwnerDrawMenu::SharedImageIndex(7003), -1);

    // Another menu's item of the same command finds the image.
    COwnerDrawMenu other;
    ASSERT_TRUE(other.AppendOwnedItem("Same command", MF_OWNERDRAW, 7001, -1));
    EXPECT_EQ(other.GetItemRecords()[0]->imageIndex, before);
}

TEST_F(OwnerDrawMenuTest, ModifiedItemsKeepOneRecordPerOwnerDrawnItem) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenuResource));
    ASSERT_TRUE(menu.ModifyOwnedItem(0, MF_OWNERDRAW, 2101, "&Reopen"));
    ASSERT_EQ(menu.GetItemRecords().size(), 5u);
    EXPECT_EQ(menu.GetItemRecords()[0]->text, L"&Reopen");
    EXPECT_EQ(menu.GetMenuItemID(0), 2101u);

    // An ordinary item has no record; the others keep theirs, in order.
    ASSERT_TRUE(menu.ModifyOwnedItem(1, MF_STRING, 2102, "Plain"));
    ASSERT_EQ(menu.GetItemRecords().size(), 4u);
    EXPECT_EQ(menu.GetItemRecords()[1]->itemFlags & MF_SEPARATOR, UINT(MF_SEPARATOR));
    MENUITEMINFO info{};
    info.fMask = MIIM_DATA | MIIM_FTYPE;
    ASSERT_TRUE(menu.GetMenuItemInfo(1, &info, TRUE));
    EXPECT_EQ(info.dwItemData, 0u);
    EXPECT_FALSE(info.fType & MF_OWNERDRAW);

    EXPECT_FALSE(menu.ModifyOwnedItem(5, MF_OWNERDRAW, 1, "past the end"));
    EXPECT_EQ(menu.GetMenuItemCount(), 5u);
}

// ---- mnemonics ----

TEST_F(OwnerDrawMenuTest, MnemonicNeedsTheAmpersandInEitherCase) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenuResource));
    const struct {
        UINT ch;
        LRESULT answer;
    } cases[] = {
        {'o', MAKELRESULT(0, MNC_EXECUTE)}, {'O', MAKELRESULT(0, MNC_EXECUTE)},
        {'a', MAKELRESULT(1, MNC_EXECUTE)}, {'A', MAKELRESULT(1, MNC_EXECUTE)},
        {'x', MAKELRESULT(3, MNC_EXECUTE)}, {'m', MAKELRESULT(4, MNC_EXECUTE)},
        {'p', 0},  // in "Open", but without an ampersand before it
        {'z', 0},
    };
    for (const auto& c : cases) EXPECT_EQ(COwnerDrawMenu::FindMnemonic(c.ch, MF_POPUP, &menu), c.answer) << char(c.ch);

    // Submenus answer for their own items; other menus and non-popups get
    // the default handling.
    CMenu* more = CMenu::FromHandlePermanent(menu.GetSubMenu(4));
    EXPECT_EQ(COwnerDrawMenu::FindMnemonic('a', MF_POPUP, more), MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(COwnerDrawMenu::FindMnemonic('o', 0, &menu), 0);
    CMenu plain;
    plain.CreatePopupMenu();
    plain.AppendMenu(MF_STRING, 1, "&Open");
    EXPECT_EQ(COwnerDrawMenu::FindMnemonic('o', MF_POPUP, &plain), 0);
    EXPECT_EQ(COwnerDrawMenu::FindMnemonic('o', MF_POPUP, nullptr), 0);

    // Items added behind the menu's back keep their positions.
    menu.InsertMenu(0, MF_BYPOSITION | MF_STRING, 2200, "&Zoom");
    EXPECT_EQ(COwnerDrawMenu::FindMnemonic('z', MF_POPUP, &menu), MAKELRESULT(0, MNC_EXECUTE));
    EXPECT_EQ(COwnerDrawMenu::FindMnemonic('o', MF_POPUP, &menu), MAKELRESULT(1, MNC_EXECUTE));
}

// ---- measuring ----

TEST_F(OwnerDrawMenuTest, SeparatorHeightFollowsMenuHeightAndPadding) {
    const struct {
        Look look;
        int menuHeight;
        UINT expected;
    } cases[] = {
        {Look::Classic, 19, 9},  {Look::Classic, 17, 9},  {Look::Classic, 24, 12}, {Look::Classic, 30, 15},
        {Look::XPLuna, 19, 11},  {Look::XPLuna, 24, 12},  {Look::XPLuna, 20, 11},
    };
    for (const auto& c : cases) {
        UseLook(c.look, c.menuHeight);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        const MEASUREITEMSTRUCT m = Measure(menu, menu.GetItemRecords()[2].get());
        EXPECT_EQ(m.itemHeight, c.expected) << int(c.look) << " " << c.menuHeight;
        EXPECT_EQ(m.itemWidth, 0u);
    }
}

TEST_F(OwnerDrawMenuTest, ItemsAreMeasuredOverTheirWholeText) {
    const int plain = TextWidth("Save &As");
    const int tabbed = TextWidth("&Open\tCtrl+O");
    const struct {
        Look look;
        int menuHeight;
        UINT width;  // of "Save &As"
        UINT least;  // of "&Open\tCtrl+O": the whole text, tab included
        UINT height;
    } cases[] = {
        {Look::Classic, 19, UINT(16 + plain + 16 + 1), UINT(16 + tabbed + 16 + 1), 19},
        {Look::Classic, 25, UINT(16 + plain + 16 + 1), UINT(16 + tabbed + 16 + 1), 25},
        {Look::XPLuna, 19, UINT(16 + 7 + plain + 8), UINT(16 + 7 + tabbed + 8), 22},
        {Look::XPLuna, 24, UINT(16 + 7 + plain + 8), UINT(16 + 7 + tabbed + 8), 24},
    };
    for (const auto& c : cases) {
        UseLook(c.look, c.menuHeight);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        const MEASUREITEMSTRUCT saveAs = Measure(menu, menu.GetItemRecords()[1].get());
        EXPECT_EQ(saveAs.itemWidth, c.width) << int(c.look);
        EXPECT_EQ(saveAs.itemHeight, c.height) << int(c.look);
        // Wide enough for the whole text, and for label and accelerator
        // apart (see LabelLeftAndAcceleratorRightInBothStyles).
        EXPECT_GE(Measure(menu, menu.GetItemRecords()[0].get()).itemWidth, c.least) << int(c.look);
    }
    // The oldest systems pad every character of the single-line text.
    SystemInfo::Report win32s;
    win32s.version = SystemInfo::Version{true, SystemInfo::Family::Win32s, 3, 10};
    SystemInfo::SetReport(win32s);
    COwnerDrawMenu::ReadSystemReport();
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.AppendOwnedItem("Abcd", MF_OWNERDRAW, 1));
    const int padded = TextWidth("Abcd") + 3;
    EXPECT_EQ(Measure(menu, menu.GetItemRecords()[0].get()).itemWidth, UINT(16 + padded + 3 * (padded / 4) + 16 + 1));
}

TEST_F(OwnerDrawMenuTest, RequestsForUnknownItemsAreLeftAlone) {
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.LoadMenu(kMenuResource));
    int stranger = 0;
    MEASUREITEMSTRUCT m = Measure(menu, reinterpret_cast<const CMenuItemData*>(&stranger));
    EXPECT_EQ(m.itemWidth, 0u);
    EXPECT_EQ(m.itemHeight, 0u);
    EXPECT_FALSE(menu.ConcernsOwnMenu(m));
    Draw(menu, menu.GetItemRecords()[0].get(), 0);  // sizes the surface
    Draw(menu, reinterpret_cast<const CMenuItemData*>(&stranger), 0);
    EXPECT_EQ(surface_.Width(), 180);
    EXPECT_FALSE(InkIn(0, 180, [](COLORREF c) { return c != kUnpainted; }));
    // Items of submenus concern the menu; so does a popup item naming one.
    m = Measure(menu, nullptr);
    m.itemID = UINT(reinterpret_cast<uintptr_t>(menu.GetSubMenu(4)));
    EXPECT_TRUE(menu.ConcernsOwnMenu(m));
    COwnerDrawMenu* more = dynamic_cast<COwnerDrawMenu*>(CMenu::FromHandlePermanent(menu.GetSubMenu(4)));
    m = Measure(menu, more->GetItemRecords()[0].get());
    EXPECT_TRUE(menu.ConcernsOwnMenu(m));
    EXPECT_GT(m.itemWidth, 0u);
}

// ---- drawing ----

TEST_F(OwnerDrawMenuTest, XpStyleFillsColumnTextAreaAndHighlight) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const struct {
        Look look;
        UINT state;
        COLORREF column, text, frame;
    } cases[] = {
        {Look::XPLuna, 0, face, window, window},
        {Look::XPPlain, 0, Lighten(face, 0.25), window, window},
        {Look::XPLuna, ODS_SELECTED, Lighten(highlight, 0.7), Lighten(highlight, 0.7), highlight},
        {Look::XPPlain, ODS_SELECTED, Lighten(highlight, 0.85), Lighten(highlight, 0.85), highlight},
        // Grayed items are never highlighted.
        {Look::XPLuna, ODS_SELECTED | ODS_GRAYED, face, window, window},
    };
    for (const auto& c : cases) {
        UseLook(c.look);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        Draw(menu, menu.GetItemRecords()[1].get(), c.state);  // "Save &As", no image
        const int last = surface_.Width() - 1;
        EXPECT_EQ(At(2, 2), c.column) << int(c.look) << " " << c.state;
        EXPECT_EQ(At(last - 2, 2), c.text) << int(c.look) << " " << c.state;
        EXPECT_EQ(At(last, 5), c.frame) << int(c.look) << " " << c.state;
        EXPECT_EQ(At(0, 0), c.state == ODS_SELECTED ? highlight : c.column) << int(c.look) << " " << c.state;
    }
}

TEST_F(OwnerDrawMenuTest, XpIconCellShowsCheckedAndRaisedImages) {
    UseLook(Look::XPLuna);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT);
    COwnerDrawMenu menu;
    ASSERT_TRUE(menu.AppendOwnedItem("Image", MF_OWNERDRAW, 7101, int(kArrowIcon)));
    const CMenuItemData* item = menu.GetItemRecords()[0].get();
    // Column 23 x 22: the cell is (1,1)-(22,21), the 16 x 15 icon centred at (4, 4).
    const struct {
        UINT state;
        COLORREF cellCorner;   // (1, 1): inside the cell, outside the icon
        COLORREF cellInside;   // (2, 2)
    } cases[] = {
        {0, face, face},
        {ODS_SELECTED, Lighten(highlight, 0.7), Lighten(highlight, 0.7)},
        {ODS_CHECKED, highlight, Lighten(highlight, 0.85)},
        {ODS_CHECKED | ODS_SELECTED, highlight, Lighten(highlight, 0.7)},
    };
    for (const auto& c : cases) {
        Draw(menu, item, c.state);
        EXPECT_EQ(At(1, 1), c.cellCorner) << c.state;
        EXPECT_EQ(At(2, 2), c.cellInside) << c.state;
        EXPECT_TRUE(InkIn(3, 21, [](COLORREF p) { return GetGValue(p) > GetRValue(p) + 40; })) << c.state;
    }
    // Hovered and unchecked, the icon rises over its shadow: the shadow's
    // grey shows right of and below the lifted icon.
    Draw(menu, item, ODS_SELECTED);
    const COLORREF shade = Lighten(GetSysColor(COLOR_BTNSHADOW), 0.4);
    EXPECT_TRUE(InkIn(3, 22, [shade](COLORREF p) { return p == shade; }));
    Draw(menu, item, 0);
    EXPECT_FALSE(InkIn(3, 22, [shade](COLORREF p) { return p == shade; }));
}

TEST_F(OwnerDrawMenuTest, CheckMarkWithoutImageAndGrayedImages) {
    for (Look look : {Look::XPLuna, Look::Classic}) {
        UseLook(look);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        ASSERT_TRUE(menu.AppendOwnedItem("Grayed image", MF_OWNERDRAW | MF_GRAYED, 7201, int(kArrowIcon)));
        const int text = look == Look::XPLuna ? 16 + 7 + 8 : 16 + 9;
        // "Save &As" is checked and has no image: a tick in the icon place.
        Draw(menu, menu.GetItemRecords()[1].get(), ODS_CHECKED);
        EXPECT_TRUE(InkIn(0, 16 + 4, Darkish)) << int(look);
        Draw(menu, menu.GetItemRecords()[1].get(), 0);
        EXPECT_FALSE(InkIn(0, 16 + 4, Darkish)) << int(look);
        // A grayed image loses its colours.
        Draw(menu, menu.GetItemRecords()[5].get(), ODS_GRAYED);
        EXPECT_FALSE(InkIn(0, text, [](COLORREF p) { return GetGValue(p) > GetRValue(p) + 40; })) << int(look);
        EXPECT_TRUE(InkIn(0, text, [](COLORREF p) { return p == GetSysColor(COLOR_BTNSHADOW); })) << int(look);
    }
}

TEST_F(OwnerDrawMenuTest, SeparatorIsAnEtchedLineAcrossTheMiddle) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const struct {
        Look look;
        int lineStart;  // first column of the line
        int middle;
    } cases[] = {{Look::XPLuna, 16 + 7 + 7, 5}, {Look::Classic, 0, 4}};
    for (const auto& c : cases) {
        UseLook(c.look);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        Draw(menu, menu.GetItemRecords()[2].get(), 0);
        EXPECT_EQ(At(c.lineStart, c.middle), shadow) << int(c.look);
        EXPECT_EQ(At(c.lineStart + 20, c.middle), shadow) << int(c.look);
        EXPECT_EQ(At(c.lineStart + 20, c.middle + 1), light) << int(c.look);
        EXPECT_NE(At(c.lineStart + 20, c.middle - 1), shadow) << int(c.look);
        if (c.lineStart > 0) {
            EXPECT_NE(At(c.lineStart - 1, c.middle), shadow) << int(c.look);
        }
    }
}

TEST_F(OwnerDrawMenuTest, LabelLeftAndAcceleratorRightInBothStyles) {
    for (Look look : {Look::XPLuna, Look::Classic}) {
        UseLook(look);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        const CMenuItemData* open = menu.GetItemRecords()[0].get();  // "&Open\tCtrl+O"
        // Drawn as the menu shows it: at its measured width, and wider.
        const int measured = int(Measure(menu, open).itemWidth);
        for (int width : {measured, measured + 60}) {
            Draw(menu, open, 0, width);
            const int textLeft = look == Look::XPLuna ? 16 + 7 + 8 : 16 + 9;
            const int accelerator = TextWidth("Ctrl+O");
            const int accelRight = width - 16;
            EXPECT_TRUE(InkIn(textLeft, textLeft + 6, Darkish)) << int(look) << " " << width;
            EXPECT_FALSE(InkIn(textLeft - 4, textLeft, Darkish)) << int(look) << " " << width;
            EXPECT_TRUE(InkIn(accelRight - accelerator, accelRight, Darkish)) << int(look) << " " << width;
            EXPECT_FALSE(InkIn(accelRight + 1, width, Darkish)) << int(look) << " " << width;
            // Label and accelerator stay apart, and the tab itself never shows.
            EXPECT_GT(accelRight - accelerator, textLeft + TextWidth("Open") + 4) << int(look) << " " << width;
            EXPECT_FALSE(InkIn(textLeft + TextWidth("Open") + 2, accelRight - accelerator - 2, Darkish))
                << int(look) << " " << width;
        }
    }
}

TEST_F(OwnerDrawMenuTest, GrayedTextColours) {
    const COLORREF grey = GetSysColor(COLOR_GRAYTEXT), white = GetSysColor(COLOR_BTNHIGHLIGHT);
    const struct {
        Look look;
        UINT state;
        COLORREF ink;
        bool engraved;  // with a white copy one pixel down and right
    } cases[] = {
        {Look::XPLuna, ODS_GRAYED, grey, false},
        {Look::XPPlain, ODS_GRAYED, Lighten(grey, 0.4), false},
        {Look::Classic, ODS_GRAYED, grey, true},
        {Look::Classic, ODS_GRAYED | ODS_SELECTED, GetSysColor(COLOR_MENU), false},
    };
    for (const auto& c : cases) {
        UseLook(c.look);
        COwnerDrawMenu::StyleSettings settings = COwnerDrawMenu::GetStyleSettings();
        settings.selectDisabled = 1;  // so that the grayed, selected classic item shows its highlight
        COwnerDrawMenu::SetStyleSettings(settings);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        Draw(menu, menu.GetItemRecords()[3].get(), c.state);  // "E&xit"
        const int w = surface_.Width();
        EXPECT_TRUE(InkIn(25, w, [&c](COLORREF p) { return p == c.ink; })) << int(c.look) << " " << c.state;
        // No ordinary menu text: nothing dark on the light backgrounds.
        if (!(c.state & ODS_SELECTED)) {
            EXPECT_FALSE(InkIn(25, w, Darkish)) << int(c.look) << " " << c.state;
        }
        if (c.engraved) {
            EXPECT_TRUE(InkIn(25, w, [white](COLORREF p) { return p == white; })) << int(c.look);
        }
    }
}

TEST_F(OwnerDrawMenuTest, ClassicStyleHighlightsAndRaisesIcons) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), menuColour = GetSysColor(COLOR_MENU);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const SystemInfo::Version nt4{true, SystemInfo::Family::NT, 4, 0};
    const struct {
        SystemInfo::Version version;
        UINT state;
        COLORREF background, boxTop, boxBottom;
    } cases[] = {
        {SystemInfo::Version{}, 0, menuColour, menuColour, menuColour},
        {SystemInfo::Version{}, ODS_SELECTED, highlight, highlight, highlight},  // class 1: no box
        {nt4, ODS_SELECTED, highlight, light, shadow},                         // raised
        {nt4, ODS_SELECTED | ODS_CHECKED, highlight, shadow, light},           // sunken
        {SystemInfo::Version{}, ODS_CHECKED, menuColour, shadow, light},
    };
    for (const auto& c : cases) {
        SystemInfo::Report report;
        report.version = c.version;
        SystemInfo::SetReport(report);
        COwnerDrawMenu::ReadSystemReport();
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.AppendOwnedItem("Image", MF_OWNERDRAW, 7301, int(kArrowIcon)));
        Draw(menu, menu.GetItemRecords()[0].get(), c.state);
        // The box is 20 x 19 at the left edge, centred in the 19 pixels.
        EXPECT_EQ(At(100, 2), c.background) << c.state;
        EXPECT_EQ(At(1, 0), c.boxTop) << c.state;
        EXPECT_EQ(At(1, 18), c.boxBottom) << c.state;
        const bool selected = c.state & ODS_SELECTED;
        EXPECT_EQ(InkIn(25, 60, [](COLORREF p) { return p == RGB(255, 255, 255); }), selected) << c.state;
    }
}

TEST_F(OwnerDrawMenuTest, CustomCheckMarksAreSharedWithSubmenus) {
    const auto blue = [](COLORREF p) { return p == RGB(0, 0, 255); };
    const auto red = [](COLORREF p) { return p == RGB(255, 0, 0); };
    for (Look look : {Look::XPLuna, Look::Classic}) {
        UseLook(look);
        COwnerDrawMenu menu;
        ASSERT_TRUE(menu.LoadMenu(kMenuResource));
        EXPECT_FALSE(menu.LoadCheckMarkImages(4999));
        ASSERT_TRUE(menu.LoadCheckMarkImages(kCheckMarkBitmap));
        // "Save &As" is checked and has no image of its own.
        Draw(menu, menu.GetItemRecords()[1].get(), ODS_CHECKED);
        EXPECT_TRUE(InkIn(0, 24, blue)) << int(look);
        EXPECT_FALSE(InkIn(0, 24, red)) << int(look);
        EXPECT_FALSE(InkIn(0, surface_.Width(), [](COLORREF p) { return p == RGB(192, 192, 192); })) << int(look);
        // The submenus loaded before the images were set use them too.
        auto* more = dynamic_cast<COwnerDrawMenu*>(CMenu::FromHandlePermanent(menu.GetSubMenu(4)));
        auto* deeper = dynamic_cast<COwnerDrawMenu*>(CMenu::FromHandlePermanent(more->GetSubMenu(1)));
        Draw(*deeper, deeper->GetItemRecords()[0].get(), ODS_CHECKED);
        EXPECT_TRUE(InkIn(0, 24, blue)) << int(look);
        // Destroying a submenu's owner leaves nothing dangling behind.
        menu.DestroyMenu();
    }
}

TEST(MenuMemDCTest, DrawingLandsInPlaceAndOnlyAtTheEnd) {
    Surface surface(40, 30, Surface::FromColorRef(RGB(255, 255, 255)));
    CDC target(&surface);
    target.SetViewportOrg(5, 2);
    const COLORREF red = RGB(200, 0, 0);
    {
        CMenuMemDC memory(&target, CRect(10, 10, 30, 20));
        ASSERT_TRUE(memory.IsReady());
        // Starts from what the target shows.
        EXPECT_EQ(memory.GetPixel(12, 12), RGB(255, 255, 255));
        memory.FillSolidRect(CRect(0, 0, 40, 30), red);  // clipped to the copy
        EXPECT_EQ(Surface::ToColorRef(surface.At(20, 15)), RGB(255, 255, 255));
    }
    // Copied back at the same logical place, and nowhere else.
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= 15 && x < 35 && y >= 12 && y < 22;
            EXPECT_EQ(Surface::ToColorRef(surface.At(x, y)), inside ? red : RGB(255, 255, 255)) << x << "," << y;
        }
    CMenuMemDC empty(&target, CRect(10, 10, 10, 20));
    EXPECT_FALSE(empty.IsReady());
}

}  // namespace

namespace {

// ---- on a screen of more pixels per inch ----

TEST_F(OwnerDrawMenuTest, ItemsIconColumnAndTickGrowWithTheDisplayScale) {
    // What a user sees at 100 %, and at 150 % and 200 % in proportion: one
    // pixel off per rounding, two where two sizes add up.
    struct Look100 {
        int height = 0, separator = 0, column = 0, textLeft = 0;
        CRect tick;
    };
    for (Look look : {Look::XPPlain, Look::Classic}) {
        Look100 base;
        for (int percent : {100, 150, 200}) {
            SCOPED_TRACE(std::to_string(int(look)) + " at " + std::to_string(percent) + " %");
            DisplayScale::SetPercent(percent);
            UseLook(look);  // the system's menu metrics are given on the 96-dpi layout
            COwnerDrawMenu menu;
            ASSERT_TRUE(menu.LoadMenu(kMenuResource));
            const CMenuItemData* save = menu.GetItemRecords()[1].get();  // checked, no image
            const int height = int(Measure(menu, save).itemHeight);
            const int separator = int(Measure(menu, menu.GetItemRecords()[2].get()).itemHeight);
            Draw(menu, save, ODS_CHECKED, DisplayScale::Scale(180));
            // The icon place ends 20 pixels in at 100 %; the text starts later.
            const int iconPlace = DisplayScale::Scale(20);
            const CRect tick = InkBox(0, iconPlace, Darkish);
            const int textLeft = InkBox(iconPlace, surface_.Width(), Darkish).left;
            const COLORREF columnColour = Lighten(GetSysColor(COLOR_BTNFACE), 0.25);
            int column = 0;
            while (column < surface_.Width() && At(column, 0) == columnColour) ++column;
            ASSERT_FALSE(tick.IsRectEmpty());
            EXPECT_TRUE(tick.left >= 0 && tick.top >= 0 && tick.right <= iconPlace && tick.bottom <= height)
                << "the tick fits its place";
            if (percent == 100) {
                base = Look100{height, separator, column, textLeft, tick};
                continue;
            }
            const double s = percent / 100.0;
            EXPECT_NEAR(height, base.height * s, 1);
            EXPECT_NEAR(separator, base.separator * s, 1);
            EXPECT_NEAR(column, base.column * s, 1);
            EXPECT_NEAR(textLeft, base.textLeft * s, 2);
            EXPECT_NEAR(tick.Width(), base.tick.Width() * s, 1);
            EXPECT_NEAR(tick.Height(), base.tick.Height() * s, 1);
            EXPECT_NEAR(tick.CenterPoint().x, base.tick.CenterPoint().x * s, 2);
            EXPECT_NEAR(tick.CenterPoint().y, base.tick.CenterPoint().y * s, 2);
        }
        if (look == Look::XPPlain) {
            EXPECT_EQ(base.column, 16 + 7) << "the icon column of the wide XP look";
        }
    }
}

}  // namespace
