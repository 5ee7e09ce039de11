#pragma once

// Tooltips: rectangles of other windows ("tools") with a text each. The owner
// passes its mouse messages through RelayEvent; resting over a tool for the
// initial delay shows the text in a small popup window below the pointer,
// which goes away when the pointer leaves the tool, a button is pressed, or
// after the display time.

#include <string>
#include <vector>

#include "platform/CWnd.h"

class CToolTipCtrl : public CWnd {
public:
    static constexpr UINT kInitialDelayMs = 500;
    static constexpr UINT kAutoPopMs = 5000;

    CToolTipCtrl();
    ~CToolTipCtrl() override;

    // A hidden popup window owned by `parent`'s top-level window.
    virtual BOOL Create(CWnd* parent, DWORD style = 0);
    using CWnd::Create;

    // rect null: the tool's whole client area, as it is when tested.
    BOOL AddTool(CWnd* wnd, const char* text, LPCRECT rect = nullptr, UINT_PTR toolId = 0);
    void DelTool(CWnd* wnd, UINT_PTR toolId = 0);
    void UpdateTipText(const char* text, CWnd* wnd, UINT_PTR toolId = 0);
    void SetToolRect(CWnd* wnd, UINT_PTR toolId, LPCRECT rect);
    int GetToolCount() const { return int(m_tools.size()); }
    // An inactive tooltip shows nothing; deactivating hides it.
    void Activate(BOOL activate);
    bool IsActive() const { return m_active; }
    // Longer lines wrap at this width in pixels; -1 for no wrapping.
    int SetMaxTipWidth(int width);
    void RelayEvent(MSG* msg);
    // Whether a tip is on screen, and its text (tests, snapshots).
    bool IsTipShown() const { return m_shown; }
    std::string GetShownText() const;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Tool {
        CWnd* wnd = nullptr;
        UINT_PTR id = 0;
        bool wholeClient = true;
        CRect rect;
        std::string text;
    };
    enum Timer : UINT_PTR { kShowTimer = 1, kHideTimer = 2 };

    Tool* FindTool(CWnd* wnd, UINT_PTR toolId);
    int ToolAt(CWnd* wnd, POINT clientPoint) const;
    void Show();
    void Hide();
    CSize TextSize(const std::string& text) const;
    void Paint();

    std::vector<Tool> m_tools;
    bool m_active = true;
    int m_maxWidth = -1;
    int m_hoverTool = -1;      // the tool under the pointer
    bool m_suppressed = false;  // a press hid the tip: not again until the pointer leaves
    bool m_shown = false;
};
