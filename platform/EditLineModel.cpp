#include "platform/EditLineModel.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsWordChar(char c) {
    return !std::isspace(static_cast<unsigned char>(c));
}

}  // namespace

bool EditLineModel::IsStorable(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x20 && u != 0x7F;
}

void EditLineModel::SetText(const std::string& text) {
    text_.clear();
    for (char c : text)
        if (IsStorable(c)) text_ += c;
    caret_ = anchor_ = 0;
    scroll_ = 0;
}

void EditLineModel::Select(size_t anchor, size_t caret) {
    anchor_ = std::min(anchor, text_.size());
    caret_ = std::min(caret, text_.size());
}

void EditLineModel::ReplaceSelection(const std::string& text) {
    std::string clean;
    clean.reserve(text.size());
    for (char c : text)
        if (IsStorable(c)) clean += c;
    size_t start = SelStart();
    text_.replace(start, SelEnd() - start, clean);
    caret_ = anchor_ = start + clean.size();
}

void EditLineModel::Backspace() {
    if (HasSelection()) {
        ReplaceSelection("");
    } else if (caret_ > 0) {
        text_.erase(caret_ - 1, 1);
        anchor_ = --caret_;
    }
}

void EditLineModel::Delete() {
    if (HasSelection())
        ReplaceSelection("");
    else if (caret_ < text_.size())
        text_.erase(caret_, 1);
}

void EditLineModel::MoveTo(size_t pos, bool extend) {
    caret_ = std::min(pos, text_.size());
    if (!extend) anchor_ = caret_;
}

void EditLineModel::MoveLeft(bool extend) {
    // Without Shift a selection collapses to its start rather than moving past it.
    if (!extend && HasSelection())
        MoveTo(SelStart(), false);
    else
        MoveTo(caret_ > 0 ? caret_ - 1 : 0, extend);
}

void EditLineModel::MoveRight(bool extend) {
    if (!extend && HasSelection())
        MoveTo(SelEnd(), false);
    else
        MoveTo(caret_ + 1, extend);
}

void EditLineModel::MoveWordLeft(bool extend) {
    size_t p = caret_;
    while (p > 0 && !IsWordChar(text_[p - 1])) --p;
    while (p > 0 && IsWordChar(text_[p - 1])) --p;
    MoveTo(p, extend);
}

void EditLineModel::MoveWordRight(bool extend) {
    size_t p = caret_;
    while (p < text_.size() && IsWordChar(text_[p])) ++p;
    while (p < text_.size() && !IsWordChar(text_[p])) ++p;
    MoveTo(p, extend);
}

void EditLineModel::KeepCaretVisible(int viewWidth, const PrefixWidth& width) {
    if (viewWidth <= 0) return;
    int caretX = width(caret_);
    int textWidth = width(text_.size());
    int jump = viewWidth / 4;
    if (caretX < scroll_)
        scroll_ = std::max(0, caretX - jump);
    else if (caretX >= scroll_ + viewWidth)
        scroll_ = caretX - viewWidth + 1 + jump;
    // Never leave blank space at the right while text is hidden at the left;
    // one pixel more than the text leaves room for the caret at the end.
    int maxScroll = std::max(0, textWidth + 1 - viewWidth);
    scroll_ = std::min(scroll_, maxScroll);
}

size_t EditLineModel::PositionAt(int x, const PrefixWidth& width) const {
    int target = x + scroll_;
    if (target <= 0) return 0;
    // Prefix widths grow with the count, so a binary search finds the boundary.
    size_t lo = 0, hi = text_.size();
    while (lo < hi) {
        size_t mid = lo + (hi - lo + 1) / 2;
        if (width(mid) <= target) lo = mid; else hi = mid - 1;
    }
    if (lo < text_.size()) {
        int left = width(lo), right = width(lo + 1);
        if (target - left > right - target) ++lo;
    }
    return lo;
}
