#include <gtest/gtest.h>

#include <string>

#include "platform/CEdit.h"
#include "platform/Clipboard.h"
#include "platform/KeyboardState.h"
#include "platform/SysColors.h"
#include "test_controls_fixture.h"

namespace {

class EditTest : public ControlsTest {
protected:
    CEdit* MakeEdit(DWORD style = ES_AUTOHSCROLL, int cx = 80) {
        RecordingDialog* dlg = MakeDialog({DialogItemTemplate{
            70, "Edit", "", 5, 5, cx, 12, WS_BORDER | WS_TABSTOP | style}});
        if (!dlg) return nullptr;
        auto* edit = dynamic_cast<CEdit*>(dlg->GetDlgItem(70));
        if (edit) edit->SetFocus();
        return edit;
    }

    // Keys in a small language: plain characters are typed; '<' '>' arrows,
    // 'H' Home, 'E' End, 'B' Backspace, 'D' Delete, '[' and ']' press and
    // release Shift, '^' Ctrl+A, 'C' 'X' 'V' Ctrl+C, Ctrl+X, Ctrl+V.
    static void Press(CWnd* edit, const std::string& keys) {
        for (char k : keys) {
            switch (k) {
                case '<': edit->SendMessage(WM_KEYDOWN, VK_LEFT); break;
                case '>': edit->SendMessage(WM_KEYDOWN, VK_RIGHT); break;
                case 'H': edit->SendMessage(WM_KEYDOWN, VK_HOME); break;
                case 'E': edit->SendMessage(WM_KEYDOWN, VK_END); break;
                case 'D': edit->SendMessage(WM_KEYDOWN, VK_DELETE); break;
                case 'B': edit->SendMessage(WM_CHAR, VK_BACK); break;
                case '[': edit->SendMessage(WM_KEYDOWN, VK_SHIFT); break;
                case ']': edit->SendMessage(WM_KEYUP, VK_SHIFT); break;
                case '^': edit->SendMessage(WM_CHAR, 0x01); break;
                case 'C': edit->SendMessage(WM_CHAR, 0x03); break;
                case 'X': edit->SendMessage(WM_CHAR, 0x18); break;
                case 'V': edit->SendMessage(WM_CHAR, 0x16); break;
                default: edit->SendMessage(WM_CHAR, WPARAM(static_cast<unsigned char>(k))); break;
            }
        }
    }
    void TearDown() override {
        KeyboardState::SetModifiers(0);
        ControlsTest::TearDown();
    }
};

struct EditCase {
    const char* start;
    const char* keys;
    const char* text;
    int selStart, selEnd;
};

class EditKeys : public EditTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(EditKeys, GiveTextAndSelection) {
    const EditCase& c = GetParam();
    CEdit* edit = MakeEdit();
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText(c.start);
    Press(edit, c.keys);
    EXPECT_EQ(edit->GetWindowText(), c.text) << "keys " << c.keys;
    int s = -1, e = -1;
    edit->GetSel(s, e);
    EXPECT_EQ(s, c.selStart) << "keys " << c.keys;
    EXPECT_EQ(e, c.selEnd) << "keys " << c.keys;
}

INSTANTIATE_TEST_SUITE_P(Table, EditKeys, ::testing::Values(
    EditCase{"", "hello", "hello", 5, 5},
    EditCase{"abc", "Exy", "abcxy", 5, 5},
    EditCase{"abc", "HB", "abc", 0, 0},
    EditCase{"abcdef", "H>>[>>]", "abcdef", 2, 4},
    EditCase{"abcdef", "H>>[>>]B", "abef", 2, 2},
    EditCase{"abcdef", "H>>[>>]D", "abef", 2, 2},
    EditCase{"abcdef", "H>>[>>]Z", "abZef", 3, 3},
    EditCase{"abcdef", "E[HH]", "abcdef", 0, 6},
    EditCase{"abcdef", "E[<<]<", "abcdef", 4, 4},
    EditCase{"abcdef", "^Q", "Q", 1, 1},
    EditCase{"abcdef", "H>D>B", "adef", 1, 1},
    EditCase{"abcdef", "H[>>]CEV", "abcdefab", 8, 8},
    EditCase{"abcdef", "H[>>]XEV", "cdefab", 6, 6},
    EditCase{"abcdef", "^XV", "abcdef", 6, 6}
));

TEST_F(EditTest, ClickPlacesTheCaretAndShiftClickSelects) {
    CEdit* edit = MakeEdit();
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText("iiiiiiiiii");
    edit->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 5));
    edit->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(1, 5));
    EXPECT_EQ(edit->GetCaretIndex(), 0);
    edit->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(200, 5));
    edit->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    int s = -1, e = -1;
    edit->GetSel(s, e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 10);
    // Dragging back selects from the press point.
    edit->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 5));
    edit->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, 5));
    edit->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(1, 5));
    edit->GetSel(s, e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 10);
    EXPECT_EQ(edit->GetCaretIndex(), 0);
}

TEST_F(EditTest, LongTextScrollsWithAutoHScrollAndIsRefusedWithout) {
    CEdit* scrolling = MakeEdit(ES_AUTOHSCROLL, 40);
    ASSERT_NE(scrolling, nullptr);
    std::string typed(60, 'w');
    Press(scrolling, typed);
    EXPECT_EQ(scrolling->GetWindowText(), typed);
    EXPECT_GT(scrolling->GetScrollOffset(), 0);
    Press(scrolling, "H");
    EXPECT_EQ(scrolling->GetScrollOffset(), 0);
    TearDown();
    SetUp();

    CEdit* fixed = MakeEdit(0, 40);
    ASSERT_NE(fixed, nullptr);
    Press(fixed, typed);
    std::string kept = fixed->GetWindowText();
    EXPECT_LT(kept.size(), typed.size());
    EXPECT_GT(kept.size(), 0u);
    EXPECT_EQ(fixed->GetScrollOffset(), 0);
}

TEST_F(EditTest, TellsTheParentOfUserChangesOnly) {
    CEdit* edit = MakeEdit();
    ASSERT_NE(edit, nullptr);
    RecordingDialog* dlg = dialog_.get();
    Press(edit, "ab");
    EXPECT_EQ(dlg->CountCommands(70, EN_CHANGE), 2);
    Press(edit, "<H");  // moving the caret changes nothing
    EXPECT_EQ(dlg->CountCommands(70, EN_CHANGE), 2);
}

TEST_F(EditTest, SetWindowTextResetsCaretAndReadOnlyRefusesTyping) {
    CEdit* edit = MakeEdit();
    ASSERT_NE(edit, nullptr);
    Press(edit, "typed");
    edit->SetWindowText("replaced");
    EXPECT_EQ(edit->GetCaretIndex(), 0);
    edit->SetReadOnly(TRUE);
    Press(edit, "xB");
    EXPECT_EQ(edit->GetWindowText(), "replaced");
}

TEST_F(EditTest, PasswordsNeverReachTheClipboard) {
    CEdit* edit = MakeEdit(ES_AUTOHSCROLL | ES_PASSWORD);
    ASSERT_NE(edit, nullptr);
    Clipboard::SetText("before");
    edit->SetWindowText("secret");
    Press(edit, "^C^X");
    EXPECT_EQ(Clipboard::GetText(), "before");
    EXPECT_EQ(edit->GetWindowText(), "secret");
}

TEST_F(EditTest, SetSelFollowsTheClassicRules) {
    CEdit* edit = MakeEdit();
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText("abcdef");
    struct SelCase {
        int start, end, wantStart, wantEnd;
    };
    const SelCase cases[] = {{0, -1, 0, 6}, {4, 2, 2, 4}, {1, 99, 1, 6}, {-1, 0, 6, 6}};
    for (const SelCase& c : cases) {
        edit->SetSel(c.start, c.end);
        int s = -1, e = -1;
        edit->GetSel(s, e);
        EXPECT_EQ(s, c.wantStart) << c.start << "," << c.end;
        EXPECT_EQ(e, c.wantEnd) << c.start << "," << c.end;
    }
}

TEST_F(EditTest, DisabledEditHasAGreyBackgroundAndGreyText) {
    CEdit* edit = MakeEdit();
    ASSERT_NE(edit, nullptr);
    edit->SetWindowText("HHHH");
    EXPECT_EQ(PixelOf(edit, 4, 3), GetSysColor(COLOR_WINDOW));
    edit->EnableWindow(FALSE);
    EXPECT_EQ(PixelOf(edit, 4, 3), GetSysColor(COLOR_BTNFACE));
    bool greyInk = false, blackInk = false;
    for (int y = 2; y < 18; ++y)
        for (int x = 2; x < 40; ++x) {
            COLORREF c = PixelOf(edit, x, y);
            greyInk |= c == GetSysColor(COLOR_GRAYTEXT);
            blackInk |= GetRValue(c) < 64 && GetGValue(c) < 64 && GetBValue(c) < 64;
        }
    EXPECT_TRUE(greyInk);
    EXPECT_FALSE(blackInk);
}

}  // namespace
