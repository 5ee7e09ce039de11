#pragma once

// The stock tab control: one row of tabs with text and an optional picture
// from an image list above a raised display area. Clicking a tab, or Left and
// Right while it has the focus, selects it and tells the parent with
// TCN_SELCHANGING (which may refuse) and TCN_SELCHANGE through WM_NOTIFY.
// Tabs that do not fit in the width are cut off at the right edge.

#include <string>
#include <vector>

#include "platform/CWnd.h"

class CImageList;

constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;

constexpr UINT TCHT_NOWHERE = 0x0001;
constexpr UINT TCHT_ONITEMICON = 0x0002;
constexpr UINT TCHT_ONITEMLABEL = 0x0004;
constexpr UINT TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

struct TCITEM {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    char* pszText;   // in: the text; out: a buffer of cchTextMax characters
    int cchTextMax;
    int iImage;
    LPARAM lParam;
};

struct TCHITTESTINFO {
    POINT pt;
    UINT flags;
};

class CTabCtrl : public CWnd {
public:
    CTabCtrl();
    ~CTabCtrl() override;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    // The list is not owned; returns the previous one.
    CImageList* SetImageList(CImageList* imageList);
    CImageList* GetImageList() const { return m_images; }

    // Inserts before nItem (at the end when past it); returns the new index or -1.
    int InsertItem(int nItem, const char* text, int image = -1);
    int InsertItem(int nItem, const TCITEM* item);
    BOOL GetItem(int nItem, TCITEM* item) const;
    BOOL SetItem(int nItem, const TCITEM* item);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    int GetItemCount() const { return int(m_items.size()); }

    int GetCurSel() const { return m_current; }
    // Selects without notifying; returns the previous selection, -1 when none
    // or when nItem is out of range (nothing changes then).
    int SetCurSel(int nItem);
    // The item's rectangle in client coordinates (unselected size).
    BOOL GetItemRect(int nItem, LPRECT rect) const;
    int HitTest(TCHITTESTINFO* info) const;
    // larger FALSE: window rectangle -> display area; TRUE: the reverse.
    void AdjustRect(BOOL larger, LPRECT rect) const;

    bool LocateScriptItem(ScriptItem kind, int value, POINT& clientPoint) const override;
    void TakeOverState(CWnd& previous) override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Item {
        std::string text;
        int image = -1;
        LPARAM param = 0;
    };

    int ItemHeight() const;
    // The bottom of the row of tabs, where the body begins.
    int RowBottom() const;
    void Layout() const;
    // Selects with notifications, as a click or a key does.
    void SelectByUser(int nItem);
    LRESULT Notify(UINT code);
    void Paint();
    void PaintItem(CDC& dc, int index, bool selected) const;

    std::vector<Item> m_items;
    int m_current = -1;
    CImageList* m_images = nullptr;
    mutable std::vector<CRect> m_itemRects;  // from Layout
};
