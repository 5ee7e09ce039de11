#include "platform/CClientDC.h"

#include "platform/CWnd.h"

CClientDC::CClientDC(CWnd* pWnd) : m_pWnd(pWnd) {
    if (m_pWnd) m_pWnd->AttachClientDC(*this);
}

CClientDC::~CClientDC() {
    Detach();
    // What was drawn must reach the screen.
    if (m_pWnd && CWnd::FromHandlePermanent(m_pWnd)) {
        CRect client;
        m_pWnd->GetClientRect(&client);
        m_pWnd->MarkPixelsChanged(client);
    }
}
