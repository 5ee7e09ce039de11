#pragma once

// The stock button: push, default push, check box, radio button, group box
// and owner-drawn buttons. Its behaviour lives in DefWindowProc, so derived
// classes can take messages in their maps and still call Default() for the
// ordinary handling. Owner-drawn buttons send WM_DRAWITEM to the parent,
// which reflects it back to DrawItem.

#include <string>

#include "platform/CWnd.h"

class CButton : public CWnd {
public:
    CButton();
    ~CButton() override;

    virtual BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    int GetCheck() const;
    void SetCheck(int check);
    UINT GetState() const;
    void SetState(BOOL pushed);
    UINT GetButtonStyle() const { return GetStyle() & 0xFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    // What a click does: toggles check boxes, checks radio buttons, notifies
    // the parent with BN_CLICKED.
    void Click();

    // Owner-drawn buttons: the reflected drawing request.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

    void TakeOverState(CWnd& previous) override;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    UINT Type() const { return GetStyle() & BS_TYPEMASK; }
    bool IsPushLike() const;
    bool IsCheckLike() const;
    bool IsRadio() const;
    bool HasFocus() const;
    void SetPushed(bool pushed);
    void UncheckGroupSiblings();
    UINT DialogCode() const;

    void Paint();
    void PaintPushButton(CDC& dc, const CRect& client);
    void PaintCheckOrRadio(CDC& dc, const CRect& client);
    void PaintGroupBox(CDC& dc, const CRect& client);
    void RequestOwnerDraw(CDC& dc, const CRect& client);
    void DrawCaption(CDC& dc, CRect rect, UINT format);

    void OnButtonDown();
    void OnButtonMove(WPARAM keys, CPoint point);
    void OnButtonUp(CPoint point);

    int m_check = BST_UNCHECKED;
    bool m_pushed = false;
    bool m_tracking = false;  // the left button went down on this button
    bool m_spaceDown = false;
};
