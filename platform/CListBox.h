#pragma once

// The stock single-selection list box: a column of text items with one
// selected, a vertical scroll bar when they do not fit, selection by click,
// Up/Down/Home/End/PageUp/PageDown and by the first letter typed, scrolling
// by the bar and the mouse wheel. With LBS_NOTIFY the parent hears of
// selection changes (LBN_SELCHANGE) and double clicks (LBN_DBLCLK). A second
// press on the same item within the double-click time counts as a double
// click whether or not the framework reports it as one.

#include <string>
#include <vector>

#include "platform/CWnd.h"

constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr int LB_ERR = -1;
constexpr UINT LBN_SELCHANGE = 1;
constexpr UINT LBN_DBLCLK = 2;
constexpr DWORD LBS_NOTIFY = 0x0001;

class CListBox : public CWnd {
public:
    CListBox();
    ~CListBox() override;

    // Makes the kind "ListBox" known to dialog templates (idempotent).
    static void RegisterWindowClass();

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    // Index of the new item (at the end).
    int AddString(const char* text);
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    // LB_ERR when nothing is selected.
    int GetCurSel() const;
    // -1 clears the selection; the item is scrolled into view. No
    // notification, as for the classic message.
    int SetCurSel(int index);
    int GetText(int index, std::string& text) const;
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    int GetTopIndex() const;
    int SetTopIndex(int index);
    int GetItemHeight() const;
    // Whole items that fit in the list area.
    int VisibleRows() const;

    void TakeOverState(CWnd& previous) override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Item {
        std::string text;
        DWORD_PTR data = 0;
    };
    enum class BarPart { None, Up, Down, PageUp, PageDown, Thumb };

    bool Valid(int index) const { return index >= 0 && index < int(m_items.size()); }
    int Border() const;
    CRect ListArea() const;
    bool HasScrollBar() const;
    CRect ScrollBarRect() const;
    CRect ThumbRect() const;
    int MaxTop() const;
    void ScrollTo(int top);
    void EnsureVisible(int index);
    int ItemAt(CPoint point) const;
    BarPart BarPartAt(CPoint point) const;
    // Selects as the user did: scrolls, repaints and notifies on change.
    void SelectByUser(int index);
    void Notify(UINT code);

    bool OnKeyDown(UINT key);
    void OnCharacter(UINT ch);
    void OnButtonDown(CPoint point, bool doubleClick);
    void OnMouseMove(CPoint point);
    void OnScrollBarDown(BarPart part, CPoint point);
    void Paint();
    void PaintScrollBar(CDC& dc);

    std::vector<Item> m_items;
    int m_selected = -1;
    int m_top = 0;
    bool m_selecting = false;     // the button went down on an item
    bool m_draggingThumb = false;
    int m_dragOffset = 0;         // pointer to thumb top while dragging
    int m_lastPressItem = -1;     // for double clicks told as two presses
    DWORD m_lastPressTime = 0;
    CPoint m_lastPressPoint;
};
