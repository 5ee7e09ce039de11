#pragma once

// The controls gallery: one dialog holding every stock control of the window
// framework in its states (normal, default, focused, checked, disabled...),
// with a popup menu, a message box and a tooltip one click away.

#include <memory>

#include "platform/CDialog.h"
#include "platform/CImageList.h"
#include "platform/CToolTipCtrl.h"
#include "platform/DialogTemplate.h"

class GalleryDialog : public CDialog {
public:
    GalleryDialog();
    ~GalleryDialog() override;

    // The template the gallery runs (exposed for its smoke test).
    static const DialogTemplate& Template();

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnMenuButton();
    void OnMessageButton();
    void OnTabChanged(NMHDR* header, LRESULT* result);

    DECLARE_MESSAGE_MAP()

private:
    void DrawOwnerButton(const DRAWITEMSTRUCT& item);
    void ShowChoice(const char* text);

    CImageList m_tabImages;
    CToolTipCtrl m_toolTip;
};
