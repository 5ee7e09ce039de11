#pragma once

// An off-screen copy of one rectangle of a drawing surface: drawing goes to
// a bitmap with the same logical coordinates, and the result is copied back
// in one piece when the object goes away, so that a menu item drawn in
// several layers never shows half done.

#include "platform/CBitmap.h"
#include "platform/CDC.h"
#include "platform/CRect.h"

class CMenuMemDC : public CDC {
public:
    // Starts from what `target` shows under `rect` (logical coordinates).
    CMenuMemDC(CDC* target, const RECT& rect);
    ~CMenuMemDC() override;
    CMenuMemDC(const CMenuMemDC&) = delete;
    CMenuMemDC& operator=(const CMenuMemDC&) = delete;

    // False when the off-screen bitmap could not be made; drawing then goes
    // nowhere and nothing is copied back.
    bool IsReady() const { return m_oldBitmap != nullptr; }

private:
    CDC* m_target;
    CRect m_rect;
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
};
