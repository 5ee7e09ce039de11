#pragma once

// The window of a popup menu while TrackPopupMenu runs it: measures and
// paints the items (owner-drawn ones through WM_MEASUREITEM and WM_DRAWITEM
// to the owner), highlights the item under the pointer, and ends its modal
// loop with the chosen command, or 0 when a click outside, Escape or a lost
// capture dismisses it. It holds the mouse capture and the focus while open.
// A submenu opens at the right of its item when the pointer rests on it, on a
// click, or on Right or Enter; Left or Escape closes only the submenu.

#include <vector>

#include "platform/CMenu.h"
#include "platform/CWnd.h"

constexpr UINT WM_INITMENUPOPUP = 0x0117;

class PopupMenuWindow : public CWnd {
public:
    PopupMenuWindow(HMENU menu, CWnd* owner);
    ~PopupMenuWindow() override;

    // Shows the menu at screen point (x, y) placed by the TPM_ flags, runs it
    // and returns the chosen command, 0 when dismissed.
    UINT Track(UINT flags, int x, int y);

    int GetHotItem() const { return m_hot; }
    bool LocateScriptItem(ScriptItem kind, int value, POINT& clientPoint) const override;

    // Menus nested deeper than this do not open (a menu may hold itself).
    static constexpr int kMaxDepth = 8;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool IsSeparator(size_t i) const { return (m_items[i].flags & MF_SEPARATOR) != 0; }
    bool IsGrayed(size_t i) const { return (m_items[i].flags & (MF_GRAYED | MF_DISABLED)) != 0; }
    bool IsOwnerDrawn(size_t i) const { return (m_items[i].flags & MF_OWNERDRAW) != 0; }
    CSize Measure();
    CSize MeasureOwnerDrawn(size_t i);
    int ItemAt(CPoint point) const;
    void SetHot(int item);
    void MoveHot(int step);
    void Choose(int item);
    void Dismiss();
    // How a submenu ended, for the menu that opened it.
    enum class Exit { Open, Chosen, Back, DismissAll };
    void Leave(Exit exit);
    void OpenSubmenu(int item);
    // A mouse message outside a submenu: back to the menu under the pointer,
    // or away altogether.
    void MouseOutside(UINT message, CPoint point);
    int Depth() const;
    void OnCharacter(UINT ch);
    void Paint();
    void PaintItem(CDC& dc, size_t i);
    static void DrawSubmenuArrow(CDC& dc, const CRect& r, COLORREF colour);

    HMENU m_menu;
    CWnd* m_owner;
    UINT m_flags = 0;
    std::vector<MenuItem> m_items;  // a copy: the menu may change while it is open
    std::vector<CRect> m_rects;     // client coordinates
    int m_textWidth = 0;
    int m_hot = -1;
    bool m_finished = false;
    PopupMenuWindow* m_parentPopup = nullptr;
    int m_openItem = -1;     // the item whose submenu is open
    Exit m_exit = Exit::Open;
    UINT m_forwardMessage = 0;  // with Back: the mouse message for the parent
    POINT m_forwardPoint{0, 0};  // and where it happened, on the screen
};
