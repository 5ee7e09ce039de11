#pragma once

// The stock single-line edit: caret, selection by mouse and Shift, typing,
// Backspace, Delete, Home, End, arrows (Ctrl for words), Ctrl+A, Cut, Copy
// and Paste (Ctrl+X, Ctrl+C, Ctrl+V, through the process's Clipboard), horizontal
// scrolling with ES_AUTOHSCROLL (without it, text that would not fit is
// refused), read-only and disabled looks. The text lives in the window text,
// so SetWindowText and data exchange see what the user typed.

#include <string>

#include "platform/CWnd.h"
#include "platform/EditLineModel.h"

constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;

class CEdit : public CWnd {
public:
    CEdit();
    ~CEdit() override;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    void SetSel(int startChar, int endChar, BOOL noScroll = FALSE);
    void GetSel(int& startChar, int& endChar) const;
    void ReplaceSel(const char* newText, BOOL canUndo = FALSE);
    // 0 removes the limit (the default).
    void SetLimitText(UINT maxChars);
    BOOL SetReadOnly(BOOL readOnly = TRUE);

    // The caret position and horizontal scroll offset in pixels (tests, painting).
    int GetCaretIndex() const;
    int GetScrollOffset() const;

    void TakeOverState(CWnd& previous) override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The model follows the window text whenever someone else has set it.
    EditLineModel& Model() const;
    bool IsReadOnly() const { return (GetStyle() & ES_READONLY) != 0; }
    bool HasFocus() const { return GetFocus() == this; }
    std::string DisplayText() const;
    CRect TextArea() const;
    int PrefixWidth(size_t count) const;
    int TextOrigin() const;  // x of the text's start in client coordinates, scroll included
    void ScrollToCaret();
    // Puts the model's text into the window text and tells the parent.
    void CommitEdit(const std::string& before);
    bool Insert(const std::string& text);
    void Notify(UINT code);

    bool OnKeyDown(UINT key);
    void OnCharacter(UINT ch);
    void OnMouseDown(WPARAM flags, CPoint point, bool doubleClick);
    void OnMouseDrag(CPoint point);
    LRESULT OnGetSel(WPARAM wParam, LPARAM lParam) const;
    void OnSetSel(int start, int end);
    void Paint();

    mutable EditLineModel m_model;
    mutable std::string m_syncedText;
    UINT m_limit = 0;
    bool m_selecting = false;
};
