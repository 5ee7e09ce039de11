#pragma once

// The context of a WM_PAINT handler: draws on the window's client area,
// clipped to the part that needs painting, which it marks as painted.

#include "platform/CDC.h"
#include "platform/WinUser.h"

class CWnd;

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps;

private:
    CWnd* m_pWnd;
};
