#pragma once

// The window of a popup menu while TrackPopupMenu runs it: measures and
// paints the items (owner-drawn ones through WM_MEASUREITEM and WM_DRAWITEM
// to the owner), highlights the item under the pointer, and ends its modal
// loop with the chosen command, or 0 when a click outside, Escape or a lost
// capture dismisses it. It holds the mouse capture and the focus while open.
// Submenus are shown with their arrow but do not open.

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
    void OnCharacter(UINT ch);
    void Paint();
    void PaintItem(CDC& dc, size_t i);

    HMENU m_menu;
    CWnd* m_owner;
    UINT m_flags = 0;
    std::vector<MenuItem> m_items;  // a copy: the menu may change while it is open
    std::vector<CRect> m_rects;     // client coordinates
    int m_textWidth = 0;
    int m_hot = -1;
    bool m_finished = false;
};
