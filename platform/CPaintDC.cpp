#include "platform/CPaintDC.h"

#include "platform/CWnd.h"

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps{this, FALSE, {0, 0, 0, 0}}, m_pWnd(pWnd) {
    if (m_pWnd) m_pWnd->BeginPaintOn(*this, &m_ps);
}

CPaintDC::~CPaintDC() {
    if (m_pWnd) m_pWnd->EndPaintOn(*this, &m_ps);
}
