#include <gtest/gtest.h>

#include "platform/CTabCtrl.h"
#include "test_controls_fixture.h"

namespace {

class TabTest : public ControlsTest {
protected:
    CTabCtrl* MakeTabs() {
        RecordingDialog* dlg = MakeDialog({DialogItemTemplate{80, "SysTabControl32", "Tab1", 5, 5, 150, 90, 0}});
        if (!dlg) return nullptr;
        auto* tabs = dynamic_cast<CTabCtrl*>(dlg->GetDlgItem(80));
        if (tabs) {
            tabs->InsertItem(0, "General");
            tabs->InsertItem(1, "Advanced");
            tabs->InsertItem(2, "More");
        }
        return tabs;
    }
    static void ClickItem(CTabCtrl* tabs, int item) {
        CRect r;
        ASSERT_TRUE(tabs->GetItemRect(item, &r));
        CPoint c = r.CenterPoint();
        ClickAt(tabs, c.x, c.y);
    }
};

TEST_F(TabTest, ClickingATabSelectsItAndNotifiesTheParent) {
    CTabCtrl* tabs = MakeTabs();
    ASSERT_NE(tabs, nullptr);
    RecordingDialog* dlg = dialog_.get();
    EXPECT_EQ(tabs->GetCurSel(), 0);
    ClickItem(tabs, 1);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    ASSERT_GE(dlg->notifications.size(), 2u);
    EXPECT_EQ(dlg->notifications[0], TCN_SELCHANGING);
    EXPECT_EQ(dlg->notifications[1], TCN_SELCHANGE);

    // Clicking the selected tab again changes nothing.
    dlg->notifications.clear();
    ClickItem(tabs, 1);
    for (UINT code : dlg->notifications) EXPECT_NE(code, TCN_SELCHANGE);

    // The keyboard moves the selection while the control has the focus.
    tabs->SetFocus();
    tabs->SendMessage(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(tabs->GetCurSel(), 2);
    tabs->SendMessage(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(tabs->GetCurSel(), 2);
}

TEST_F(TabTest, SetCurSelDoesNotNotifyAndRefusalKeepsTheSelection) {
    CTabCtrl* tabs = MakeTabs();
    ASSERT_NE(tabs, nullptr);
    RecordingDialog* dlg = dialog_.get();
    EXPECT_EQ(tabs->SetCurSel(2), 0);
    EXPECT_EQ(tabs->SetCurSel(7), -1);
    EXPECT_EQ(tabs->GetCurSel(), 2);
    EXPECT_TRUE(dlg->notifications.empty());

    dlg->refuseCode = TCN_SELCHANGING;
    ClickItem(tabs, 0);
    EXPECT_EQ(tabs->GetCurSel(), 2);
    for (UINT code : dlg->notifications) EXPECT_NE(code, TCN_SELCHANGE);
}

TEST_F(TabTest, ItemRectsLineUpAndAdjustRectRoundTrips) {
    CTabCtrl* tabs = MakeTabs();
    ASSERT_NE(tabs, nullptr);
    CRect first, second;
    ASSERT_TRUE(tabs->GetItemRect(0, &first));
    ASSERT_TRUE(tabs->GetItemRect(1, &second));
    EXPECT_EQ(first.right, second.left);
    EXPECT_EQ(first.top, second.top);
    EXPECT_GT(first.Width(), 0);
    EXPECT_FALSE(tabs->GetItemRect(3, &second));

    CRect window(0, 0, 300, 200), display = window;
    tabs->AdjustRect(FALSE, &display);
    EXPECT_GT(display.top, first.bottom);  // the display area starts below the tabs
    EXPECT_LT(display.Width(), window.Width());
    tabs->AdjustRect(TRUE, &display);
    EXPECT_EQ(display, window);
}

TEST_F(TabTest, DeletingItemsKeepsTheSelectionOnAnExistingItem) {
    CTabCtrl* tabs = MakeTabs();
    ASSERT_NE(tabs, nullptr);
    tabs->SetCurSel(2);
    EXPECT_TRUE(tabs->DeleteItem(0));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_TRUE(tabs->DeleteItem(1));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_FALSE(tabs->DeleteItem(5));
    EXPECT_TRUE(tabs->DeleteAllItems());
    EXPECT_EQ(tabs->GetCurSel(), -1);
    TCHITTESTINFO hit{{10, 10}, 0};
    EXPECT_EQ(tabs->HitTest(&hit), -1);
}

TEST_F(TabTest, ScriptLocatesTabsByIndex) {
    CTabCtrl* tabs = MakeTabs();
    ASSERT_NE(tabs, nullptr);
    POINT p{};
    ASSERT_TRUE(tabs->LocateScriptItem(CWnd::ScriptItem::Tab, 2, p));
    TCHITTESTINFO hit{p, 0};
    EXPECT_EQ(tabs->HitTest(&hit), 2);
    EXPECT_FALSE(tabs->LocateScriptItem(CWnd::ScriptItem::Tab, 3, p));
    EXPECT_FALSE(tabs->LocateScriptItem(CWnd::ScriptItem::MenuCommand, 0, p));
}

}  // namespace
