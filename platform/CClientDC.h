#pragma once

// A context over a window's whole client area, outside of painting.

#include "platform/CDC.h"

class CWnd;

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    CWnd* m_pWnd;
};
