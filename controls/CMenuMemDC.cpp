#include "controls/CMenuMemDC.h"

CMenuMemDC::CMenuMemDC(CDC* target, const RECT& rect) : m_target(target), m_rect(rect) {
    if (!m_target || m_rect.IsRectEmpty() || !CreateCompatibleDC(m_target)) return;
    if (!m_bitmap.CreateCompatibleBitmap(m_target, m_rect.Width(), m_rect.Height())) return;
    m_oldBitmap = SelectObject(&m_bitmap);
    if (!m_oldBitmap) return;
    BitBlt(0, 0, m_rect.Width(), m_rect.Height(), m_target, m_rect.left, m_rect.top, SRCCOPY);
    SetViewportOrg(-m_rect.left, -m_rect.top);
}

CMenuMemDC::~CMenuMemDC() {
    if (!m_oldBitmap) return;
    SetViewportOrg(0, 0);
    m_target->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, 0, 0, SRCCOPY);
    SelectObject(m_oldBitmap);
}
