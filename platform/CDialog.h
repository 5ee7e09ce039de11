#pragma once

// A dialog: a window built from a template, run modally (DoModal/EndDialog)
// or created as a child (tab pages). Its keyboard handling moves the focus
// with Tab and Shift+Tab over tab stops and with the arrow keys inside a
// group, runs the default button on Enter and cancels on Escape.

#include "platform/CWnd.h"
#include "platform/DialogTemplate.h"

class CFont;

class CDialog : public CWnd {
public:
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Creates the dialog from its template, disables its owner, runs the modal
    // loop and destroys the window; returns the code given to EndDialog, or -1
    // when the template is missing or creation failed.
    virtual INT_PTR DoModal();
    // Modeless or child dialog (tab page) from a registered template.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    BOOL CreateIndirect(const DialogTemplate* dialogTemplate, CWnd* pParentWnd = nullptr);
    // DoModal then runs this template instead of the registered one.
    BOOL InitModalIndirect(const DialogTemplate* dialogTemplate, CWnd* pParentWnd = nullptr);

    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Dialog units to pixels: x * baseX / 4, y * baseY / 8, rounded.
    void MapDialogRect(LPRECT lpRect) const;
    // The base units in pixels of this screen (rounded; the layout itself
    // converts with the exact scale).
    CSize GetDialogBaseUnits() const;
    // The base units of a font on the 96-dpi layout: average width of the 52
    // letters, rounded as the classic dialog manager does, and the font's
    // cell height.
    static CSize BaseUnitsOfFont(const char* face, int pointSize);

    void NextDlgCtrl();
    void PrevDlgCtrl();
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The dialog keyboard interface for a message meant for one of this
    // dialog's controls; TRUE when it was used up.
    BOOL IsDialogMessage(MSG* pMsg);

    const DialogTemplate* GetTemplate() const { return m_template; }
    CFont* GetDialogFont() const { return m_font.get(); }

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    bool CreateFromTemplate(const DialogTemplate& dialogTemplate, CWnd* pParentWnd);
    void CreateItems(const DialogTemplate& dialogTemplate);
    int HorizontalPixels(int units) const;
    int VerticalPixels(int units) const;
    bool HandleKeyDown(MSG* pMsg);
    void SendCommand(int id);
    bool ContainsFocus() const;
    void FocusFirstControl();

    const DialogTemplate* m_template = nullptr;
    const DialogTemplate* m_indirectTemplate = nullptr;
    std::unique_ptr<CFont> m_font;
    CSize m_baseUnits{4, 8};  // on the 96-dpi layout
    UINT m_defId = IDOK;
    CWnd* m_savedFocus = nullptr;  // the focus while another window is active
};
