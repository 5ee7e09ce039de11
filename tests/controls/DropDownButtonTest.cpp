#include <gtest/gtest.h>

#include "ControlsFixture.h"
#include "platform/SysColors.h"

namespace {

constexpr int kPlainId = 1060;

class DropDownButtonTest : public ControlsTest {
protected:
    CRect HelpClient() {
        CRect client;
        Dialog().help.GetClientRect(&client);
        return client;
    }
    // A point right of the button and its neighbours, over the bare dialog.
    void MoveOffEverything(InputEvent::Type type) {
        CRect client;
        Dialog().GetClientRect(&client);
        MouseAt(Dialog(), type, client.right - 5, client.bottom - 5);
    }
};

TEST_F(DropDownButtonTest, APressAnywhereOpensTheMenuWhoseChoiceGoesToTheTarget) {
    const CRect client = HelpClient();
    struct Case {
        const char* where;
        POINT point;
        int command;
    };
    const Case cases[] = {
        {"caption", {client.Width() / 2 - 5, client.Height() / 2}, kAboutCommand},
        {"arrow", {client.right - 8, client.Height() / 2}, kHelpCommand},
        {"corner", {0, 0}, kAboutCommand},
    };
    ControlsDialog& dlg = Dialog();
    for (const Case& c : cases) {
        dlg.events.clear();
        dlg.menuShownAtOpen = false;
        driver_->LoadScriptText("menu " + std::to_string(c.command) + "\n");
        MouseAt(dlg.help, InputEvent::Type::MouseDown, c.point.x, c.point.y);
        MouseAt(dlg.help, InputEvent::Type::MouseUp, c.point.x, c.point.y);

        EXPECT_TRUE(dlg.menuShownAtOpen) << c.where;
        // Only the drop zone looks pressed while the menu is open.
        EXPECT_EQ(dlg.zoneEdgeAtOpen, GetSysColor(COLOR_BTNSHADOW)) << c.where;
        EXPECT_EQ(dlg.Count(WM_COMMAND, c.command, 0), 1) << c.where;
        EXPECT_EQ(dlg.Count(WM_COMMAND, kHelpId, BN_CLICKED), 0) << c.where;
        EXPECT_FALSE(dlg.help.IsMenuShown()) << c.where;
        EXPECT_FALSE(dlg.help.IsPressed()) << c.where;
        // The button holds no mouse after the menu: the next press elsewhere works.
        EXPECT_NE(CWnd::GetCapture(), &dlg.help) << c.where;
        EXPECT_EQ(PixelOf(dlg.help, client.right - 20, 5), GetSysColor(COLOR_BTNFACE)) << c.where;
    }
}

TEST_F(DropDownButtonTest, ADismissedMenuSendsNothing) {
    ControlsDialog& dlg = Dialog();
    dlg.events.clear();
    driver_->LoadScriptText("key Escape\n");
    MouseAt(dlg.help, InputEvent::Type::MouseDown, 5, 5);
    EXPECT_TRUE(dlg.menuShownAtOpen);
    EXPECT_FALSE(dlg.help.IsMenuShown());
    for (const ControlsDialog::Event& e : dlg.events) EXPECT_NE(e.message, UINT(WM_COMMAND)) << e.id;
}

TEST_F(DropDownButtonTest, WithoutEntriesItIsAPushButtonWithItsOwnPressedLook) {
    CDropDownButton plain;
    ASSERT_TRUE(plain.Create("Plain", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(100, 45, 180, 70), &Dialog(),
                             kPlainId));
    EXPECT_EQ(plain.GetCommandTarget(), &Dialog());
    EXPECT_EQ(plain.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    // Normal: one black outline around the raised face.
    EXPECT_EQ(PixelOf(plain, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(plain, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));

    MouseAt(plain, InputEvent::Type::MouseDown, 10, 10);
    EXPECT_TRUE(plain.IsPressed());
    EXPECT_EQ(CWnd::GetCapture(), &plain);
    EXPECT_EQ(PixelOf(plain, 1, 1), RGB(0, 0, 0));  // the second outline
    MouseAt(plain, InputEvent::Type::MouseUp, 10, 10);
    EXPECT_FALSE(plain.IsPressed());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(Dialog().Count(WM_COMMAND, kPlainId, BN_CLICKED), 1);
    EXPECT_EQ(PixelOf(plain, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));

    // Dragging off restores the look at once and lets the mouse go: no click.
    MouseAt(plain, InputEvent::Type::MouseDown, 10, 10);
    MoveOffEverything(InputEvent::Type::MouseMove);
    EXPECT_FALSE(plain.IsPressed());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    EXPECT_EQ(PixelOf(plain, 1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    MoveOffEverything(InputEvent::Type::MouseUp);
    EXPECT_EQ(Dialog().Count(WM_COMMAND, kPlainId, BN_CLICKED), 1);

    // Disabled while held: the press ends with the lost mouse.
    MouseAt(plain, InputEvent::Type::MouseDown, 10, 10);
    plain.EnableWindow(FALSE);
    EXPECT_FALSE(plain.IsPressed());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    MouseAt(plain, InputEvent::Type::MouseUp, 10, 10);
    EXPECT_EQ(Dialog().Count(WM_COMMAND, kPlainId, BN_CLICKED), 1);
}

TEST_F(DropDownButtonTest, AButtonTakenOverWithoutATargetServesItsParent) {
    CButton stock;
    ASSERT_TRUE(stock.Create("Menu", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(100, 45, 180, 70), &Dialog(),
                             kPlainId));
    CDropDownButton menu;
    ASSERT_TRUE(menu.SubclassWindow(&stock));
    menu.AppendMenuEntry(kHelpCommand, "Help");
    driver_->LoadScriptText("menu 116\n");
    MouseAt(menu, InputEvent::Type::MouseDown, 10, 10);
    EXPECT_EQ(Dialog().Count(WM_COMMAND, kHelpCommand, 0), 1);
}

TEST_F(DropDownButtonTest, DisabledButtonIsGreyWithoutOutline) {
    const CRect client = HelpClient();
    // The arrow's apex is the middle of the drop zone.
    const int apexX = (client.right - 19 + client.right - 3) / 2, apexY = client.Height() / 2;
    struct Case {
        BOOL enabled;
        COLORREF corner;
        COLORREF arrow;
    };
    const Case cases[] = {{TRUE, RGB(0, 0, 0), GetSysColor(COLOR_WINDOWTEXT)},
                          {FALSE, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_GRAYTEXT)}};
    for (const Case& c : cases) {
        Dialog().help.EnableWindow(c.enabled);
        EXPECT_EQ(PixelOf(Dialog().help, 0, 0), c.corner) << c.enabled;
        EXPECT_EQ(PixelOf(Dialog().help, apexX, apexY), c.arrow) << c.enabled;
        EXPECT_EQ(PixelOf(Dialog().help, apexX - 3, apexY - 3), c.arrow) << c.enabled;
        EXPECT_NE(PixelOf(Dialog().help, apexX - 1, apexY), c.arrow) << c.enabled;
    }
}

TEST_F(DropDownButtonTest, FaceBitmapIsTransparentAndAMissingOneLeavesNoImage) {
    CDropDownButton& help = Dialog().help;
    EXPECT_EQ(help.GetFaceSize().cx, 14);
    EXPECT_EQ(help.GetFaceSize().cy, 16);
    EXPECT_FALSE(Shows(help, RGB(255, 0, 255)));
    help.EnableWindow(FALSE);
    EXPECT_FALSE(Shows(help, RGB(255, 0, 255)));
    help.EnableWindow(TRUE);

    EXPECT_EQ(help.SetFaceBitmap(4242, RGB(255, 0, 255)), 1);
    EXPECT_EQ(help.GetFaceSize().cx, 0);
    EXPECT_EQ(help.GetFaceSize().cy, 0);
    PixelOf(help, 0, 0);  // paints without an image
}

}  // namespace
