#include <gtest/gtest.h>

#include "platform/CButton.h"
#include "platform/CDC.h"
#include "platform/SysColors.h"
#include "test_controls_fixture.h"

namespace {

DialogItemTemplate Item(int id, const char* kind, const char* text, int x, int y, int cx, int cy, DWORD style) {
    return DialogItemTemplate{id, kind, text, x, y, cx, cy, style};
}

class ButtonTest : public ControlsTest {};

TEST_F(ButtonTest, AutoRadioButtonsCheckOnlyOneOfTheirGroup) {
    RecordingDialog* dlg = MakeDialog({
        Item(11, "Button", "One", 5, 5, 60, 10, BS_AUTORADIOBUTTON | WS_GROUP),
        Item(12, "Button", "Two", 5, 20, 60, 10, BS_AUTORADIOBUTTON),
        Item(13, "Button", "Three", 5, 35, 60, 10, BS_AUTORADIOBUTTON),
        Item(21, "Button", "Other group", 80, 5, 60, 10, BS_AUTORADIOBUTTON | WS_GROUP),
        Item(22, "Button", "Plain radio", 80, 20, 60, 10, BS_RADIOBUTTON),
    });
    ASSERT_NE(dlg, nullptr);
    dlg->CheckDlgButton(21, BST_CHECKED);
    dlg->CheckDlgButton(22, BST_CHECKED);

    struct Step {
        int clicked;
        UINT one, two, three;
    };
    const Step steps[] = {{11, 1, 0, 0}, {13, 0, 0, 1}, {12, 0, 1, 0}, {12, 0, 1, 0}};
    for (const Step& s : steps) {
        Click(dlg->GetDlgItem(s.clicked));
        EXPECT_EQ(dlg->IsDlgButtonChecked(11), s.one) << "after " << s.clicked;
        EXPECT_EQ(dlg->IsDlgButtonChecked(12), s.two) << "after " << s.clicked;
        EXPECT_EQ(dlg->IsDlgButtonChecked(13), s.three) << "after " << s.clicked;
        // The next group is never touched.
        EXPECT_EQ(dlg->IsDlgButtonChecked(21), BST_CHECKED);
        EXPECT_EQ(dlg->IsDlgButtonChecked(22), BST_CHECKED);
    }
    EXPECT_EQ(dlg->CountCommands(12, BN_CLICKED), 2);
}

TEST_F(ButtonTest, CheckBoxesToggleByMouseSpaceAndClickMessage) {
    RecordingDialog* dlg = MakeDialog({
        Item(31, "Button", "Auto", 5, 5, 60, 10, BS_AUTOCHECKBOX | WS_TABSTOP),
        Item(32, "Button", "Manual", 5, 20, 60, 10, BS_CHECKBOX | WS_TABSTOP),
        Item(33, "Button", "Three", 5, 35, 60, 10, BS_AUTO3STATE | WS_TABSTOP),
    });
    ASSERT_NE(dlg, nullptr);
    CWnd* box = dlg->GetDlgItem(31);
    Click(box);
    EXPECT_EQ(dlg->IsDlgButtonChecked(31), BST_CHECKED);
    box->SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    box->SendMessage(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(dlg->IsDlgButtonChecked(31), BST_UNCHECKED);
    box->SendMessage(BM_CLICK);
    EXPECT_EQ(dlg->IsDlgButtonChecked(31), BST_CHECKED);
    EXPECT_EQ(dlg->CountCommands(31, BN_CLICKED), 3);

    // A plain check box only reports the click; its owner decides.
    Click(dlg->GetDlgItem(32));
    EXPECT_EQ(dlg->IsDlgButtonChecked(32), BST_UNCHECKED);
    EXPECT_EQ(dlg->CountCommands(32, BN_CLICKED), 1);

    CWnd* three = dlg->GetDlgItem(33);
    const UINT cycle[] = {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED};
    for (UINT expected : cycle) {
        Click(three);
        EXPECT_EQ(dlg->IsDlgButtonChecked(33), expected);
    }
}

TEST_F(ButtonTest, ReleaseOutsideTheButtonIsNoClick) {
    RecordingDialog* dlg = MakeDialog({Item(31, "Button", "Auto", 5, 5, 60, 10, BS_AUTOCHECKBOX)});
    ASSERT_NE(dlg, nullptr);
    CWnd* box = dlg->GetDlgItem(31);
    box->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(box->SendMessage(BM_GETSTATE) & BST_PUSHED);
    box->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 5));
    EXPECT_FALSE(box->SendMessage(BM_GETSTATE) & BST_PUSHED);
    box->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
    EXPECT_EQ(dlg->IsDlgButtonChecked(31), BST_UNCHECKED);
    EXPECT_EQ(dlg->CountCommands(31, BN_CLICKED), 0);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(ButtonTest, EnterRunsTheDefaultPushButton) {
    RecordingDialog* dlg = MakeDialog({
        Item(1, "Button", "OK", 5, 5, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP),
        Item(41, "Button", "Other", 60, 5, 50, 14, BS_PUSHBUTTON | WS_TABSTOP),
        Item(42, "Edit", "", 5, 30, 80, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
    });
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetDlgItem(1)->SendMessage(WM_GETDLGCODE), LRESULT(DLGC_BUTTON | DLGC_DEFPUSHBUTTON));
    EXPECT_EQ(dlg->GetDlgItem(41)->SendMessage(WM_GETDLGCODE), LRESULT(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON));
    CWnd* edit = dlg->GetDlgItem(42);
    edit->SetFocus();
    MSG msg{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(CWnd::WalkPreTranslateTree(dlg->GetSafeHwnd(), &msg));
    EXPECT_EQ(dlg->CountCommands(1, BN_CLICKED), 1);
    EXPECT_EQ(dlg->CountCommands(41, BN_CLICKED), 0);
}

// An owner-drawn button whose class draws the reflected request.
class SelfDrawnButton : public CButton {
public:
    int drawn = 0;
    DRAWITEMSTRUCT last{};
    void DrawItem(LPDRAWITEMSTRUCT item) override {
        ++drawn;
        last = *item;
        CRect r = item->rcItem;
        item->hDC->FillSolidRect(r, RGB(0, 128, 0));
    }
};

TEST_F(ButtonTest, OwnerDrawRequestCarriesStateAndReachesTheControlClass) {
    RecordingDialog* dlg = MakeDialog({Item(51, "Button", "Owner", 5, 5, 50, 14, BS_OWNERDRAW | WS_TABSTOP)});
    ASSERT_NE(dlg, nullptr);
    SelfDrawnButton button;
    ASSERT_TRUE(button.SubclassDlgItem(51, dlg));
    button.SetFocus();
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    button.Invalidate();
    WindowManager::Instance().PaintAll();

    ASSERT_FALSE(dlg->drawRequests.empty());
    const DRAWITEMSTRUCT& request = dlg->drawRequests.back();
    EXPECT_EQ(request.CtlType, ODT_BUTTON);
    EXPECT_EQ(request.CtlID, 51u);
    EXPECT_EQ(request.itemAction, UINT(ODA_DRAWENTIRE));
    EXPECT_EQ(request.itemState & (ODS_SELECTED | ODS_FOCUS | ODS_DISABLED), ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(request.hwndItem, &button);
    CRect client;
    button.GetClientRect(&client);
    EXPECT_EQ(CRect(request.rcItem), client);
    EXPECT_GE(button.drawn, 1);
    EXPECT_EQ(PixelOf(&button, 2, 2), RGB(0, 128, 0));

    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    button.EnableWindow(FALSE);
    WindowManager::Instance().PaintAll();
    EXPECT_EQ(button.last.itemState & (ODS_SELECTED | ODS_DISABLED), ODS_DISABLED);
    button.DestroyWindow();
}

// Text is anti-aliased: ink is told apart by how close it comes to a colour.
bool Near(COLORREF c, COLORREF target) {
    auto close = [](int a, int b) { return a > b - 24 && a < b + 24; };
    return close(GetRValue(c), GetRValue(target)) && close(GetGValue(c), GetGValue(target)) &&
           close(GetBValue(c), GetBValue(target));
}
bool Dark(COLORREF c) { return GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64; }

TEST_F(ButtonTest, DisabledCaptionIsEngraved) {
    RecordingDialog* dlg = MakeDialog({Item(61, "Button", "IIIIIIII", 5, 5, 60, 14, BS_PUSHBUTTON)});
    ASSERT_NE(dlg, nullptr);
    CWnd* button = dlg->GetDlgItem(61);
    auto count = [&](auto matches) {
        CRect r;
        button->GetClientRect(&r);
        int n = 0;
        for (int y = 3; y < r.Height() - 3; ++y)
            for (int x = 3; x < r.Width() - 3; ++x) n += matches(PixelOf(button, x, y));
        return n;
    };
    auto grey = [](COLORREF c) { return Near(c, GetSysColor(COLOR_GRAYTEXT)); };
    auto white = [](COLORREF c) { return Near(c, GetSysColor(COLOR_BTNHIGHLIGHT)); };
    EXPECT_GT(count(Dark), 0);
    EXPECT_EQ(count(grey), 0);
    button->EnableWindow(FALSE);
    EXPECT_EQ(count(Dark), 0);
    EXPECT_GT(count(grey), 0);
    EXPECT_GT(count(white), 0);
}

TEST_F(ButtonTest, DisabledButtonIgnoresClicks) {
    RecordingDialog* dlg = MakeDialog({Item(31, "Button", "Auto", 5, 5, 60, 10, BS_AUTOCHECKBOX)});
    ASSERT_NE(dlg, nullptr);
    CWnd* box = dlg->GetDlgItem(31);
    box->EnableWindow(FALSE);
    box->SendMessage(BM_CLICK);
    EXPECT_EQ(dlg->IsDlgButtonChecked(31), BST_UNCHECKED);
    EXPECT_EQ(dlg->CountCommands(31, BN_CLICKED), 0);
}

}  // namespace
