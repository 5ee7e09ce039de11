#pragma once

// The text, caret and selection of a single-line edit, without any window:
// the edit control feeds it keys and mouse positions and paints what it holds.
// Text is 8-bit, so a position is a byte index from 0 to the text length.

#include <cstddef>
#include <functional>
#include <string>

class EditLineModel {
public:
    // Width in pixels of the first `count` characters of the text.
    using PrefixWidth = std::function<int(size_t count)>;

    const std::string& Text() const { return text_; }
    size_t Caret() const { return caret_; }
    size_t Anchor() const { return anchor_; }
    size_t SelStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
    size_t SelEnd() const { return caret_ < anchor_ ? anchor_ : caret_; }
    bool HasSelection() const { return caret_ != anchor_; }
    std::string SelectedText() const { return text_.substr(SelStart(), SelEnd() - SelStart()); }

    // Replaces everything; the caret goes to the start with nothing selected.
    void SetText(const std::string& text);
    // Selects from `anchor` to `caret`, both clamped to the text; the caret ends at `caret`.
    void Select(size_t anchor, size_t caret);
    void SelectAll() { Select(0, text_.size()); }

    // Replaces the selection (or inserts at the caret) with `text`; characters that an
    // edit line cannot hold (controls, line breaks) are dropped.
    void ReplaceSelection(const std::string& text);
    void Backspace();
    void Delete();

    // Caret movements; with `extend` the anchor stays, as with Shift held.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveWordLeft(bool extend);
    void MoveWordRight(bool extend);
    void MoveHome(bool extend) { MoveTo(0, extend); }
    void MoveEnd(bool extend) { MoveTo(text_.size(), extend); }
    void MoveTo(size_t pos, bool extend);

    // Horizontal scrolling: the pixel offset of the text's start left of the view.
    int ScrollOffset() const { return scroll_; }
    // Scrolls so that the caret lies inside a view `viewWidth` pixels wide; a jump
    // goes a quarter of the view further so typing does not scroll at every key.
    void KeepCaretVisible(int viewWidth, const PrefixWidth& width);
    // The position nearest to pixel `x` of the view (x measured from the view's left).
    size_t PositionAt(int x, const PrefixWidth& width) const;

    static bool IsStorable(char c);

private:
    std::string text_;
    size_t caret_ = 0;
    size_t anchor_ = 0;
    int scroll_ = 0;
};
