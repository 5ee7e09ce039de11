#include <gtest/gtest.h>

#include "platform/CButton.h"
#include "platform/CDC.h"
#include "platform/CMenu.h"
#include "platform/CToolTipCtrl.h"
#include "platform/MessageBoxService.h"
#include "platform/MessageBoxWindow.h"
#include "platform/PopupMenuWindow.h"
#include "platform/SysColors.h"
#include "test_controls_fixture.h"

namespace {

class PopupTest : public ControlsTest {
protected:
    void FillMenu(CMenu& menu) {
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendMenu(MF_STRING, 10, "&Open");
        menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING | MF_GRAYED, 20, "&Grayed");
        menu.AppendMenu(MF_STRING, 30, "&About\tF1");
    }
    UINT Track(CMenu& menu, const char* script, UINT flags = TPM_RETURNCMD) {
        driver_->LoadScriptText(script);
        CRect r;
        dialog_->GetWindowRect(&r);
        return UINT(menu.TrackPopupMenu(flags | TPM_LEFTALIGN, r.left + 20, r.top + 20, dialog_.get()));
    }
};

struct MenuCase {
    const char* script;
    UINT command;
};

class PopupChoices : public PopupTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(PopupChoices, ReturnTheChosenCommandOrNothing) {
    ASSERT_NE(MakeDialog({}), nullptr);
    CMenu menu;
    FillMenu(menu);
    EXPECT_EQ(Track(menu, GetParam().script), GetParam().command) << GetParam().script;
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, PopupChoices, ::testing::Values(
    MenuCase{"menu 30\n", 30},
    MenuCase{"menu 10\n", 10},
    MenuCase{"menu 20\n", 0},               // a grayed item cannot be chosen: the script ends, the menu closes
    MenuCase{"key Escape\n", 0},
    MenuCase{"key Down\nkey Down\nkey Enter\n", 30},  // the separator and the grayed item are passed over
    MenuCase{"key a\n", 30},                // mnemonic
    MenuCase{"mouse move 30 10\nkey Enter\n", 10},   // hovering highlights the first item
    MenuCase{"mouse down 30 10\nmouse up 30 10\n", 10},
    MenuCase{"mouse down 5000 5000\n", 0},  // a click outside dismisses
    MenuCase{"", 0}                         // no script: closed, never hangs
));

class SubmenuChoices : public PopupTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(SubmenuChoices, ReachCommandsInsideSubmenus) {
    ASSERT_NE(MakeDialog({}), nullptr);
    CMenu menu, sub;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, 41, "&Deep");
    sub.AppendMenu(MF_STRING, 42, "D&eeper");
    menu.AppendMenu(MF_STRING, 10, "&Open");
    menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "&More");
    menu.AppendMenu(MF_STRING, 30, "&About");
    EXPECT_EQ(Track(menu, GetParam().script), GetParam().command) << GetParam().script;
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Table, SubmenuChoices, ::testing::Values(
    MenuCase{"key Down\nkey Down\nkey Right\nkey Down\nkey Enter\n", 41},
    MenuCase{"key Down\nkey Down\nkey Enter\nmenu 42\n", 42},           // Enter opens the submenu
    MenuCase{"mouse move 30 28\nmenu 41\n", 41},                         // resting on the item opens it
    MenuCase{"key Down\nkey Down\nkey Right\nkey Escape\nkey Down\nkey Enter\n", 30},  // Escape closes only the submenu
    MenuCase{"key Down\nkey Down\nkey Right\nkey Left\nkey Up\nkey Enter\n", 10},
    MenuCase{"mouse move 30 28\nmouse down 5000 5000\n", 0},            // a click outside closes both
    MenuCase{"mouse move 30 28\n", 0}                                    // the script ends: both close
));

// A menu that holds itself through its submenu must not open without end.
TEST_F(PopupTest, SelfHoldingSubmenusStopAtTheDepthLimit) {
    ASSERT_NE(MakeDialog({}), nullptr);
    CMenu a, b;
    a.CreatePopupMenu();
    b.CreatePopupMenu();
    a.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(b.m_hMenu), "&B");
    b.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(a.m_hMenu), "&A");
    std::string script;
    for (int i = 0; i < 3 * PopupMenuWindow::kMaxDepth; ++i) script += "key Down\nkey Right\n";
    EXPECT_EQ(Track(a, script.c_str()), 0u);
    b.Detach();  // destroyed with a
}

TEST_F(PopupTest, ChosenCommandIsPostedToTheOwnerWithoutReturnCmd) {
    RecordingDialog* dlg = MakeDialog({});
    ASSERT_NE(dlg, nullptr);
    CMenu menu;
    FillMenu(menu);
    EXPECT_TRUE(Track(menu, "menu 10\n", 0));
    EXPECT_EQ(dlg->CountCommands(10, 0), 0);  // not yet: posted
    WindowManager::Instance().PumpPending();
    EXPECT_EQ(dlg->CountCommands(10, 0), 1);
}

TEST_F(PopupTest, GrayedItemsAreSkippedAndNothingIsChosenFromAnEmptyMenu) {
    ASSERT_NE(MakeDialog({}), nullptr);
    CMenu empty;
    empty.CreatePopupMenu();
    EXPECT_EQ(Track(empty, "menu 1\n"), 0u);
    CMenu noMenu;
    EXPECT_EQ(Track(noMenu, ""), 0u);
}

// An owner that measures and draws its owner-drawn items.
class MenuOwnerDialog : public RecordingDialog {
public:
    std::vector<MEASUREITEMSTRUCT> measured;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MEASUREITEM) {
            auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            m->itemWidth = 120;
            m->itemHeight = 30;
            measured.push_back(*m);
            return TRUE;
        }
        if (message == WM_DRAWITEM) {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            drawRequests.push_back(*d);
            d->hDC->FillSolidRect(d->rcItem, RGB(200, 0, 0));
            return TRUE;
        }
        return RecordingDialog::WindowProc(message, wParam, lParam);
    }
};

TEST_F(PopupTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner) {
    template_ = DialogTemplate{0, "Owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 10, 10, 200, 120,
                               "MS Sans Serif", 8, {}};
    auto owner = std::make_unique<MenuOwnerDialog>();
    ASSERT_TRUE(owner->CreateIndirect(&template_, nullptr));
    CMenu menu;
    menu.CreatePopupMenu();
    static int data;
    menu.AppendMenu(MF_OWNERDRAW, 44, reinterpret_cast<const char*>(&data));
    driver_->LoadScriptText("menu 44\n");
    UINT command = UINT(menu.TrackPopupMenu(TPM_RETURNCMD, 50, 50, owner.get()));
    EXPECT_EQ(command, 44u);
    ASSERT_EQ(owner->measured.size(), 1u);
    EXPECT_EQ(owner->measured[0].CtlType, ODT_MENU);
    EXPECT_EQ(owner->measured[0].itemID, 44u);
    EXPECT_EQ(owner->measured[0].itemData, reinterpret_cast<ULONG_PTR>(&data));
    ASSERT_FALSE(owner->drawRequests.empty());
    const DRAWITEMSTRUCT& draw = owner->drawRequests.back();
    EXPECT_EQ(draw.CtlType, ODT_MENU);
    EXPECT_EQ(draw.itemID, 44u);
    EXPECT_EQ(CRect(draw.rcItem).Width(), 120);
    EXPECT_EQ(CRect(draw.rcItem).Height(), 30);
    EXPECT_EQ(reinterpret_cast<HMENU>(draw.hwndItem), menu.m_hMenu);
    owner->DestroyWindow();
}

TEST_F(PopupTest, MessageBoxOverADialogAnswersAndReportsItsText) {
    RecordingDialog* dlg = MakeDialog({});
    ASSERT_NE(dlg, nullptr);
    driver_->LoadScriptText("answer ok\n");
    EXPECT_EQ(dlg->MessageBox("Input PDF file is empty.", "Converter", MB_OK), IDOK);
    EXPECT_NE(log_.str().find("message box: Input PDF file is empty."), std::string::npos);
    EXPECT_TRUE(CWnd::IsWindow(dlg));
    EXPECT_TRUE(dlg->IsWindowEnabled());  // the owner is usable again

    // Escape: Cancel where there is one; Yes/No boxes wait for an answer.
    driver_->LoadScriptText("key Escape\n");
    EXPECT_EQ(dlg->MessageBox("Sure?", "Converter", MB_OKCANCEL), IDCANCEL);
}

TEST_F(PopupTest, MessageBoxLayoutFitsTextAndButtons) {
    MessageBoxWindow shortBox("Hi", "Caption", MB_YESNOCANCEL);
    const DialogTemplate& t = shortBox.Template();
    ASSERT_EQ(t.items.size(), 4u);
    EXPECT_EQ(t.items[1].id, IDYES);
    EXPECT_EQ(t.items[3].id, IDCANCEL);
    EXPECT_EQ(t.items[1].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    for (const DialogItemTemplate& item : t.items) {
        EXPECT_GE(item.x, 0);
        EXPECT_LE(item.x + item.cx, t.cx);
        EXPECT_LE(item.y + item.cy, t.cy);
    }
    // An icon stands left of the text.
    MessageBoxWindow warning("Please enter a number.", "", MB_OK | MB_ICONEXCLAMATION);
    const DialogTemplate& w = warning.Template();
    ASSERT_EQ(w.items.size(), 3u);
    EXPECT_EQ(w.items[0].id, MessageBoxWindow::kIconId);
    EXPECT_EQ(w.items[0].style & SS_TYPEMASK, SS_OWNERDRAW);
    EXPECT_GE(w.items[1].x, w.items[0].x + w.items[0].cx);
    EXPECT_GE(w.items[2].y, w.items[0].y + w.items[0].cy);
    // A long text wraps instead of making the box endlessly wide.
    MessageBoxWindow longBox(std::string(2000, 'x') + " " + std::string(50, 'y'), "", MB_OK);
    EXPECT_LE(longBox.Template().cx, MessageBoxWindow::kMaxTextWidth * 4 / 6 + 40);
    // And a very long one is cut at a height that fits on a screen.
    std::string lines;
    for (int i = 0; i < 2000; ++i) lines += "line\n";
    MessageBoxWindow tallBox(lines, "", MB_OK);
    EXPECT_LE(tallBox.Template().cy * 13 / 8, 1024);
    EXPECT_EQ(longBox.Template().caption, "Error");
}

TEST_F(PopupTest, ToolTipShowsAfterTheDelayAndHidesOnPress) {
    RecordingDialog* dlg = MakeDialog({DialogItemTemplate{90, "Button", "Tip", 5, 5, 50, 14, BS_PUSHBUTTON}});
    ASSERT_NE(dlg, nullptr);
    CWnd* button = dlg->GetDlgItem(90);
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(button));
    CRect area(0, 0, 10, 10);
    EXPECT_TRUE(tip.AddTool(button, "Next Page", &area, 1));
    EXPECT_FALSE(tip.AddTool(button, "again", &area, 1));
    EXPECT_EQ(tip.GetToolCount(), 1);

    MSG move{button, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3), 0, {0, 0}};
    tip.RelayEvent(&move);
    EXPECT_FALSE(tip.IsTipShown());
    tip.SendMessage(WM_TIMER, 1);  // the initial delay has passed
    EXPECT_TRUE(tip.IsTipShown());
    EXPECT_EQ(tip.GetShownText(), "Next Page");
    EXPECT_TRUE(tip.IsWindowVisible());

    tip.UpdateTipText("Previous Page", button, 1);
    EXPECT_EQ(tip.GetShownText(), "Previous Page");

    MSG press{button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3), 0, {0, 0}};
    tip.RelayEvent(&press);
    EXPECT_FALSE(tip.IsTipShown());
    tip.SendMessage(WM_TIMER, 1);
    EXPECT_FALSE(tip.IsTipShown());  // not again until the pointer leaves the tool

    MSG away{button, WM_MOUSEMOVE, 0, MAKELPARAM(30, 3), 0, {0, 0}};
    tip.RelayEvent(&away);
    tip.RelayEvent(&move);
    tip.Activate(FALSE);
    tip.SendMessage(WM_TIMER, 1);
    EXPECT_FALSE(tip.IsTipShown());
    tip.DestroyWindow();
}

}  // namespace
