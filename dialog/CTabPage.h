#pragma once

#include "dialog/ConverterHost.h"
#include "platform/CDialog.h"

// A page of the converter window's tab control. Its key filter steps pages
// with the arrow and page keys and swallows Enter, so that neither reaches
// the focused control nor ends the converter window.
class CTabPage : public CDialog {
public:
    explicit CTabPage(UINT templateId);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // The converter window this page lives in; null while the page has no
    // parent that is one.
    ConverterHost* Host() const;

    // Pages never end the converter window on Enter or Escape themselves.
    void OnOK() override {}
    void OnCancel() override {}
};
