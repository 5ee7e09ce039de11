#include <gtest/gtest.h>

#include <string>

#include "platform/CListBox.h"
#include "platform/SysColors.h"
#include "test_controls_fixture.h"

namespace {

constexpr int kList = 40;

class ListBoxTest : public ControlsTest {
protected:
    // A list of `count` items "item 0".."item N-1" about ten rows high.
    CListBox* MakeList(int count, DWORD style = LBS_NOTIFY) {
        CListBox::RegisterWindowClass();
        RecordingDialog* dialog = MakeDialog({DialogItemTemplate{kList, "ListBox", "", 5, 5, 120, 100,
                                                                 WS_BORDER | WS_TABSTOP | style}});
        if (!dialog) return nullptr;
        auto* list = dynamic_cast<CListBox*>(dialog->GetDlgItem(kList));
        for (int i = 0; i < count; ++i) list->AddString(("item " + std::to_string(i)).c_str());
        list->SetFocus();
        dialog->commands.clear();
        return list;
    }
    static void Key(CWnd* wnd, UINT key) { wnd->SendMessage(WM_KEYDOWN, key, 1); }
    // The client point of item `index` of the list as it is scrolled now.
    static CPoint ItemPoint(CListBox* list, int index) {
        const int height = list->GetItemHeight();
        return CPoint(10, 2 + (index - list->GetTopIndex()) * height + height / 2);
    }
};

TEST_F(ListBoxTest, KeysMoveTheSelectionWithinTheItemsAndNotifyOnlyChanges) {
    CListBox* list = MakeList(50);
    ASSERT_NE(list, nullptr);
    const int page = list->VisibleRows() - 1;
    ASSERT_GT(page, 2);
    struct Step {
        UINT key;
        int selected;
    };
    const Step steps[] = {
        {VK_DOWN, 0},  {VK_DOWN, 1},         {VK_UP, 0},    {VK_UP, 0},        {VK_NEXT, page},
        {VK_END, 49},  {VK_DOWN, 49},        {VK_PRIOR, 49 - page}, {VK_HOME, 0}, {VK_END, 49},
    };
    int changes = 0, previous = -1;
    for (const Step& s : steps) {
        Key(list, s.key);
        EXPECT_EQ(list->GetCurSel(), s.selected) << "key " << s.key;
        changes += s.selected != previous;
        previous = s.selected;
        // The selection is always in view.
        EXPECT_GE(s.selected, list->GetTopIndex());
        EXPECT_LT(s.selected, list->GetTopIndex() + list->VisibleRows());
    }
    EXPECT_EQ(dialog_->CountCommands(kList, LBN_SELCHANGE), changes);
    EXPECT_EQ(list->GetTopIndex(), 50 - list->VisibleRows());
}

TEST_F(ListBoxTest, TypedLetterFindsTheNextItemStartingWithIt) {
    CListBox* list = MakeList(0);
    for (const char* text : {"apple", "Banana", "berry", "cherry"}) list->AddString(text);
    for (int expected : {1, 2, 1}) {
        list->SendMessage(WM_CHAR, 'b');
        EXPECT_EQ(list->GetCurSel(), expected);
    }
    list->SendMessage(WM_CHAR, 'z');
    EXPECT_EQ(list->GetCurSel(), 1);
}

TEST_F(ListBoxTest, ClicksSelectAndDoubleClicksNotify) {
    CListBox* list = MakeList(5);
    ClickAt(list, ItemPoint(list, 3).x, ItemPoint(list, 3).y);
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(dialog_->CountCommands(kList, LBN_SELCHANGE), 1);
    EXPECT_EQ(dialog_->CountCommands(kList, LBN_DBLCLK), 0);
    // Reported as a double click, or as a second press in time.
    list->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(ItemPoint(list, 3).x, ItemPoint(list, 3).y));
    EXPECT_EQ(dialog_->CountCommands(kList, LBN_DBLCLK), 1);
    ClickAt(list, ItemPoint(list, 1).x, ItemPoint(list, 1).y);
    ClickAt(list, ItemPoint(list, 1).x, ItemPoint(list, 1).y);
    EXPECT_EQ(dialog_->CountCommands(kList, LBN_DBLCLK), 2);
    // A third press is a single click again; a press below the items nothing.
    ClickAt(list, ItemPoint(list, 1).x, ItemPoint(list, 1).y);
    EXPECT_EQ(dialog_->CountCommands(kList, LBN_DBLCLK), 2);
    ClickAt(list, 10, ItemPoint(list, 8).y);
    EXPECT_EQ(list->GetCurSel(), 1);
}

TEST_F(ListBoxTest, WithoutNotifyStyleTheParentHearsNothing) {
    CListBox* list = MakeList(5, 0);
    Key(list, VK_DOWN);
    ClickAt(list, ItemPoint(list, 2).x, ItemPoint(list, 2).y);
    ClickAt(list, ItemPoint(list, 2).x, ItemPoint(list, 2).y);
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_TRUE(dialog_->commands.empty());
}

TEST_F(ListBoxTest, ScrollBarArrowsTrackAndWheelScroll) {
    CListBox* list = MakeList(40);
    CRect client;
    list->GetClientRect(&client);
    const int barX = client.right - 2 - 8;
    const int rows = list->VisibleRows();
    ClickAt(list, barX, client.bottom - 2 - 8);  // down arrow
    EXPECT_EQ(list->GetTopIndex(), 1);
    ClickAt(list, barX, 2 + 8);  // up arrow
    EXPECT_EQ(list->GetTopIndex(), 0);
    ClickAt(list, barX, client.bottom - 2 - 20);  // track below the thumb
    EXPECT_EQ(list->GetTopIndex(), rows - 1);
    list->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, unsigned(-120) & 0xFFFF), 0);
    EXPECT_EQ(list->GetTopIndex(), rows + 2);
    list->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 10 * 120), 0);
    EXPECT_EQ(list->GetTopIndex(), 0);
    // Dragging the thumb to the bottom shows the last items.
    list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(barX, 2 + 16 + 2));
    list->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(barX, client.bottom + 50));
    list->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(barX, client.bottom + 50));
    EXPECT_EQ(list->GetTopIndex(), 40 - rows);
    EXPECT_EQ(list->GetCurSel(), LB_ERR);  // scrolling selects nothing
}

TEST_F(ListBoxTest, ItemsDataAndBadIndexes) {
    CListBox* list = MakeList(3);
    EXPECT_EQ(list->SetItemData(1, 77), 0);
    EXPECT_EQ(list->GetItemData(1), 77u);
    list->SetCurSel(2);
    EXPECT_EQ(list->DeleteString(0), 2);
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(list->GetItemData(0), 77u);
    EXPECT_EQ(list->DeleteString(1), 1);
    EXPECT_EQ(list->GetCurSel(), LB_ERR);
    std::string text;
    for (int bad : {-1, 1, 1000}) {
        EXPECT_EQ(list->GetText(bad, text), LB_ERR) << bad;
        EXPECT_EQ(list->SetCurSel(bad == -1 ? 5 : bad), LB_ERR) << bad;
        EXPECT_EQ(list->SetItemData(bad, 1), LB_ERR) << bad;
        EXPECT_EQ(list->DeleteString(bad), LB_ERR) << bad;
    }
    list->ResetContent();
    Key(list, VK_DOWN);
    list->SendMessage(WM_CHAR, 'i');
    EXPECT_EQ(list->GetCurSel(), LB_ERR);
    EXPECT_EQ(list->SendMessage(LB_GETCOUNT), 0);
}

TEST_F(ListBoxTest, SelectedRowIsPaintedInTheHighlightWhileFocused) {
    CListBox* list = MakeList(5);
    list->SetCurSel(1);
    const CPoint inRow(list->GetItemHeight() > 0 ? 60 : 0, ItemPoint(list, 1).y);
    EXPECT_EQ(PixelOf(list, inRow.x, inRow.y), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(PixelOf(list, inRow.x, ItemPoint(list, 3).y), GetSysColor(COLOR_WINDOW));
    dialog_->SetFocus();
    EXPECT_EQ(PixelOf(list, inRow.x, inRow.y), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
