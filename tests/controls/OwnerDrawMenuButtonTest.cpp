// The owner-drawn menu an icon button carries: the converter window's
// buttons, which hold no menu, leave every menu request to the ordinary
// handling; a button with a loaded menu opens it below itself and answers
// the menu's measuring and mnemonic requests. Snapshots of both looks are
// written to the working directory for a look by eye.

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "ControlsFixture.h"
#include "controls/COwnerDrawMenu.h"
#include "platform/MenuTemplate.h"
#include "platform/SystemInfo.h"

namespace {

enum : UINT {
    kMenuButtonId = 1060,
    kMenuResource = 3101,
    kPrevious = 2101,
    kNext = 2102,
    kConvert = 2103,
    kGrid = 2104,
    kClose = 2105,
    kAbout = 2106,
    kContents = 2107,
};

const std::vector<unsigned char>& MenuBytes() {
    static const std::vector<unsigned char> bytes = MenuTemplate::Build({
        {0, kPrevious, L"&Previous Page\tPgUp", {}},
        {MF_CHECKED, kNext, L"&Next Page\tPgDn", {}},
        {0, kConvert, L"&Convert\tCtrl+Enter", {}},
        {0, 0, L"", {}},
        {MF_CHECKED, kGrid, L"Show &Grid", {}},
        {MF_GRAYED, kClose, L"C&lose Document", {}},
        {MF_POPUP, 0, L"&Help", {{0, kAbout, L"&About", {}}, {0, kContents, L"C&ontents\tF1", {}}}},
    });
    return bytes;
}

// An icon button that notes where its menu showed and what it measured.
class RecordingIconButton : public CIconButton {
public:
    CRect popupRect;
    std::vector<MEASUREITEMSTRUCT> measured;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const LRESULT result = CIconButton::WindowProc(message, wParam, lParam);
        if (message == WM_MEASUREITEM) measured.push_back(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        if (message == WM_DRAWITEM)
            for (CWnd* top : WindowManager::Instance().VisibleTopLevels())
                if (dynamic_cast<PopupMenuWindow*>(top)) top->GetWindowRect(&popupRect);
        return result;
    }
};

class OwnerDrawMenuButtonTest : public ControlsTest {
protected:
    OwnerDrawMenuButtonTest() {
        template_.items.push_back(Item(kMenuButtonId, "Button", "Menu", 6, 26, 40, 14, BS_PUSHBUTTON | WS_TABSTOP));
    }
    void SetUp() override {
        ControlsTest::SetUp();
        ResourceTable::Instance().Add(RT_MENU, kMenuResource, MenuBytes().data(), MenuBytes().size());
        for (UINT id : {kPrevious, kNext, kClose})
            if (COwnerDrawMenu::SharedImageIndex(id) < 0)
                COwnerDrawMenu::AddSharedImage(id == kPrevious ? 1001 : 1000, id);
        if (COwnerDrawMenu::SharedImageIndex(kConvert) < 0)
            COwnerDrawMenu::AddSharedImage(1010, kConvert, RGB(255, 255, 255));
        if (COwnerDrawMenu::SharedImageIndex(kAbout) < 0)
            COwnerDrawMenu::AddSharedImage(134, kAbout, RGB(255, 0, 255));
        ASSERT_TRUE(button_.SubclassDlgItem(kMenuButtonId, &Dialog()));
    }
    void TearDown() override {
        SystemInfo::ResetReport();
        COwnerDrawMenu::ReadSystemReport();
        ResourceTable::Instance().Remove(RT_MENU, kMenuResource);
        ControlsTest::TearDown();
    }
    void UseXpLook() {
        SystemInfo::Report report;
        report.version = SystemInfo::Version{true, SystemInfo::Family::NT, 5, 1};
        report.themeFile = "C:\\WINDOWS\\Resources\\Themes\\Luna.theme";
        SystemInfo::SetReport(report);
        COwnerDrawMenu::ReadSystemReport();
    }
    // Clicks the button with a script ready for the menu it opens.
    void ClickWithScript(const std::string& script) {
        driver_->LoadScriptText(script);
        ClickAt(button_, 5, 5);
        WindowManager::Instance().PumpPending();
    }

    RecordingIconButton button_;
};

TEST_F(OwnerDrawMenuButtonTest, ConverterButtonsLeaveMenuRequestsToTheOrdinaryHandling) {
    ControlsDialog& dlg = Dialog();
    CMenu foreign;
    foreign.CreatePopupMenu();
    foreign.AppendMenu(MF_STRING, 1, "&Foreign");
    static int data;
    for (CIconButton* button : {&dlg.previous, &dlg.next, &dlg.convert}) {
        MEASUREITEMSTRUCT m{};
        m.CtlType = ODT_MENU;
        m.itemID = 1;
        m.itemData = reinterpret_cast<ULONG_PTR>(&data);
        EXPECT_FALSE(button->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m)));
        EXPECT_EQ(m.itemWidth, 0u);
        EXPECT_EQ(m.itemHeight, 0u);
        EXPECT_EQ(button->SendMessage(WM_MENUCHAR, MAKEWPARAM('f', MF_POPUP), reinterpret_cast<LPARAM>(foreign.m_hMenu)), 0);
    }
    // A click without a menu is an ordinary click.
    dlg.convert.EnableWindow(TRUE);
    ClickAt(dlg.convert, 5, 5);
    WindowManager::Instance().PumpPending();
    EXPECT_EQ(dlg.Count(WM_COMMAND, kConvertId, BN_CLICKED), 1);
    EXPECT_EQ(dlg.events.size(), 1u);
}

TEST_F(OwnerDrawMenuButtonTest, LoadedMenuOpensBelowTheButtonAndItsCommandReachesTheParent) {
    ASSERT_TRUE(button_.GetMenu().LoadMenu(kMenuResource));
    ClickWithScript("menu 2103\n");
    ControlsDialog& dlg = Dialog();
    EXPECT_EQ(dlg.Count(WM_COMMAND, kMenuButtonId, BN_CLICKED), 1);
    EXPECT_EQ(dlg.Count(WM_COMMAND, kConvert, 0), 1);

    CRect window;
    button_.GetWindowRect(&window);
    EXPECT_EQ(button_.popupRect.left, window.left);
    EXPECT_EQ(button_.popupRect.top, window.bottom);
    // Every item, the separator too, was measured by the button's menu.
    ASSERT_EQ(button_.measured.size(), 7u);
    for (const MEASUREITEMSTRUCT& m : button_.measured) EXPECT_GT(m.itemHeight, 0u);
    EXPECT_EQ(button_.measured[3].itemHeight, 9u);

    // Dismissed, the menu sends nothing.
    ClickWithScript("key Escape\n");
    EXPECT_EQ(dlg.Count(WM_COMMAND, kMenuButtonId, BN_CLICKED), 2);
    EXPECT_EQ(dlg.events.size(), 3u);
}

TEST_F(OwnerDrawMenuButtonTest, MnemonicsChooseItemsInTheMenuAndItsSubmenu) {
    ASSERT_TRUE(button_.GetMenu().LoadMenu(kMenuResource));
    ControlsDialog& dlg = Dialog();
    const struct {
        const char* script;
        UINT command;
    } cases[] = {
        {"key N\n", kNext},
        {"key g\n", kGrid},
        {"key h\nkey o\n", kContents},  // through the Help submenu
        {"key l\nkey Escape\n", 0},     // grayed: not chosen
        {"key x\nkey Escape\n", 0},     // "x" has no ampersand anywhere
    };
    for (const auto& c : cases) {
        dlg.events.clear();
        ClickWithScript(c.script);
        int commands = 0;
        for (const auto& e : dlg.events) commands += e.message == WM_COMMAND && e.id != int(kMenuButtonId);
        EXPECT_EQ(commands, c.command ? 1 : 0) << c.script;
        if (c.command) {
            EXPECT_EQ(dlg.Count(WM_COMMAND, int(c.command), 0), 1) << c.script;
        }
    }
}

class OwnerDrawMenuSnapshotTest : public OwnerDrawMenuButtonTest {
protected:
    // The menu with its first item hovered, then with the Help submenu open.
    void SnapshotBothStates(const std::string& prefix) {
        ASSERT_TRUE(button_.GetMenu().LoadMenu(kMenuResource));
        ClickWithScript("key Down\nsnapshot " + prefix + "-menu.png\nkey End\nkey Right\nkey Down\nsnapshot " +
                        prefix + "-submenu.png\nkey Escape\nkey Escape\n");
        EXPECT_EQ(log_.str().find("script line"), std::string::npos) << log_.str();
        for (const char* state : {"-menu.png", "-submenu.png"})
            EXPECT_TRUE(std::ifstream(prefix + state).good()) << prefix << state;
    }
};

TEST_F(OwnerDrawMenuSnapshotTest, ClassicLook) { SnapshotBothStates("owner-drawn-classic"); }

TEST_F(OwnerDrawMenuSnapshotTest, XpLook) {
    UseXpLook();
    SnapshotBothStates("owner-drawn-xp");
}

}  // namespace
