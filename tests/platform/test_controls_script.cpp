#include <gtest/gtest.h>

#include <string>

#include "platform/CTabCtrl.h"
#include "test_controls_fixture.h"

namespace {

// A modal dialog that keeps what its controls hold when it closes with OK.
class ScriptedDialog : public CDialog {
public:
    std::string editText;
    UINT checked = 0;
    int tab = -1;
    int clicks = 0;

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (auto* tabs = dynamic_cast<CTabCtrl*>(GetDlgItem(80))) {
            tabs->InsertItem(0, "General");
            tabs->InsertItem(1, "Advanced");
        }
        return TRUE;
    }
    void OnOK() override {
        GetDlgItemText(70, editText);
        checked = IsDlgButtonChecked(31);
        if (auto* tabs = dynamic_cast<CTabCtrl*>(GetDlgItem(80))) tab = tabs->GetCurSel();
        CDialog::OnOK();
    }
};

class ScriptTest : public ControlsTest {};

TEST_F(ScriptTest, ClickTypeAndTabWorkOnTheStockControls) {
    DialogTemplate t{0, "Scripted", WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 10, 10, 220, 140, "MS Sans Serif", 8, {
        DialogItemTemplate{70, "Edit", "old text", 5, 5, 100, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        DialogItemTemplate{31, "Button", "Check", 5, 22, 60, 10, BS_AUTOCHECKBOX | WS_TABSTOP},
        DialogItemTemplate{80, "SysTabControl32", "", 110, 5, 100, 80, 0},
        DialogItemTemplate{IDOK, "Button", "OK", 5, 100, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
    }};
    ScriptedDialog dlg;
    dlg.InitModalIndirect(&t);
    driver_->LoadScriptText("type 70 typed, replacing\nclick 31\ntab 1\nclick 1\n");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.editText, "typed, replacing");
    EXPECT_EQ(dlg.checked, BST_CHECKED);
    EXPECT_EQ(dlg.tab, 1);
}

}  // namespace
