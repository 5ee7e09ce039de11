#include <gtest/gtest.h>

#include <string>

#include "platform/EditLineModel.h"

namespace {

// Every character is 5 pixels wide: easy arithmetic for scrolling and hit tests.
int FixedWidth(size_t count) { return int(count) * 5; }

// A small key language: letters and digits type themselves, '<' Left, '>' Right,
// 'H' Home, 'E' End (upper case means with Shift for arrows: '{' Shift+Left,
// '}' Shift+Right, 'h' Shift+Home, 'e' Shift+End), 'B' Backspace, 'D' Delete,
// 'A' select all, 'w'/'W' word left/right.
void Apply(EditLineModel& m, const std::string& keys) {
    for (char k : keys) {
        switch (k) {
            case '<': m.MoveLeft(false); break;
            case '>': m.MoveRight(false); break;
            case '{': m.MoveLeft(true); break;
            case '}': m.MoveRight(true); break;
            case 'H': m.MoveHome(false); break;
            case 'E': m.MoveEnd(false); break;
            case 'h': m.MoveHome(true); break;
            case 'e': m.MoveEnd(true); break;
            case 'B': m.Backspace(); break;
            case 'D': m.Delete(); break;
            case 'A': m.SelectAll(); break;
            case 'w': m.MoveWordLeft(false); break;
            case 'W': m.MoveWordRight(false); break;
            default: m.ReplaceSelection(std::string(1, k)); break;
        }
    }
}

struct KeyCase {
    const char* start;
    const char* keys;
    const char* text;
    size_t selStart, selEnd, caret;
};

class EditModelKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(EditModelKeys, GivesTextAndSelection) {
    const KeyCase& c = GetParam();
    EditLineModel m;
    m.SetText(c.start);
    Apply(m, c.keys);
    EXPECT_EQ(m.Text(), c.text) << "keys " << c.keys;
    EXPECT_EQ(m.SelStart(), c.selStart) << "keys " << c.keys;
    EXPECT_EQ(m.SelEnd(), c.selEnd) << "keys " << c.keys;
    EXPECT_EQ(m.Caret(), c.caret) << "keys " << c.keys;
}

INSTANTIATE_TEST_SUITE_P(Table, EditModelKeys, ::testing::Values(
    KeyCase{"", "abc", "abc", 3, 3, 3},
    KeyCase{"abc", "xy", "xyabc", 2, 2, 2},                  // SetText leaves the caret at 0
    KeyCase{"abc", "EB", "ab", 2, 2, 2},
    KeyCase{"abc", "BD", "bc", 0, 0, 0},                     // Backspace at start does nothing
    KeyCase{"abc", "ED", "abc", 3, 3, 3},                    // Delete at end does nothing
    KeyCase{"abcdef", ">>}}", "abcdef", 2, 4, 4},
    KeyCase{"abcdef", ">>}}B", "abef", 2, 2, 2},             // Backspace removes the selection only
    KeyCase{"abcdef", ">>}}D", "abef", 2, 2, 2},
    KeyCase{"abcdef", ">>}}X", "abXef", 3, 3, 3},            // typing replaces the selection
    KeyCase{"abcdef", ">>}}<", "abcdef", 2, 2, 2},           // Left collapses to the start
    KeyCase{"abcdef", ">>}}>", "abcdef", 4, 4, 4},           // Right collapses to the end
    KeyCase{"abcdef", "EE{{{", "abcdef", 3, 6, 3},
    KeyCase{"abcdef", ">>>h", "abcdef", 0, 3, 0},
    KeyCase{"abcdef", ">>e", "abcdef", 2, 6, 6},
    KeyCase{"abcdef", ">>e{", "abcdef", 2, 5, 5},
    KeyCase{"abcdef", "AZ", "Z", 1, 1, 1},
    KeyCase{"abcdef", "AB", "", 0, 0, 0},
    KeyCase{"abc", "<<<H", "abc", 0, 0, 0},                  // no movement before the start
    KeyCase{"abc", ">>>>>", "abc", 3, 3, 3},                 // nor past the end
    KeyCase{"one two  three", "EwwX", "one Xtwo  three", 5, 5, 5},
    KeyCase{"one two  three", "WWX", "one two  Xthree", 10, 10, 10}
));

TEST(EditModel, DropsCharactersALineCannotHold) {
    EditLineModel m;
    m.SetText("a\r\nb\tc");
    EXPECT_EQ(m.Text(), "abc");
    m.ReplaceSelection("x\ny\x7f");
    EXPECT_EQ(m.Text(), "xyabc");
    m.ReplaceSelection("\xe9");  // 8-bit characters are text, not controls
    EXPECT_EQ(m.Text(), "xy\xe9" "abc");
}

TEST(EditModel, SelectClampsToTheText) {
    EditLineModel m;
    m.SetText("abc");
    m.Select(1, 99);
    EXPECT_EQ(m.SelStart(), 1u);
    EXPECT_EQ(m.SelEnd(), 3u);
    EXPECT_EQ(m.SelectedText(), "bc");
}

TEST(EditModel, ScrollsToKeepTheCaretInView) {
    EditLineModel m;
    // 40 characters of 5 pixels in a view of 50 pixels.
    m.SetText(std::string(40, 'x'));
    m.KeepCaretVisible(50, FixedWidth);
    EXPECT_EQ(m.ScrollOffset(), 0);

    m.MoveEnd(false);
    m.KeepCaretVisible(50, FixedWidth);
    int caretInView = FixedWidth(m.Caret()) - m.ScrollOffset();
    EXPECT_GE(caretInView, 0);
    EXPECT_LT(caretInView, 50);
    EXPECT_EQ(m.ScrollOffset(), 200 + 1 - 50);  // the text's end sits at the right edge

    m.MoveHome(false);
    m.KeepCaretVisible(50, FixedWidth);
    EXPECT_EQ(m.ScrollOffset(), 0);
}

TEST(EditModel, ScrollComesBackWhenTextShrinks) {
    EditLineModel m;
    m.SetText(std::string(40, 'x'));
    m.MoveEnd(false);
    m.KeepCaretVisible(50, FixedWidth);
    m.SelectAll();
    m.ReplaceSelection("ab");
    m.KeepCaretVisible(50, FixedWidth);
    EXPECT_EQ(m.ScrollOffset(), 0);
}

TEST(EditModel, PositionAtPicksTheNearestBoundary) {
    EditLineModel m;
    m.SetText("abcdef");
    EXPECT_EQ(m.PositionAt(-10, FixedWidth), 0u);
    EXPECT_EQ(m.PositionAt(2, FixedWidth), 0u);
    EXPECT_EQ(m.PositionAt(3, FixedWidth), 1u);
    EXPECT_EQ(m.PositionAt(12, FixedWidth), 2u);
    EXPECT_EQ(m.PositionAt(1000, FixedWidth), 6u);
}

}  // namespace
