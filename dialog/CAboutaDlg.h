#pragma once

#include "platform/CDialog.h"

// The About box: dialog 1011 as it stands.
class CAboutaDlg : public CDialog {
public:
    explicit CAboutaDlg(CWnd* parent = nullptr);
};
