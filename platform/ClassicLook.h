#pragma once

// Drawing pieces that several stock controls share: the control font, the
// background from the parent's colour request, and engraved (disabled) text.

#include <string>

#include "platform/WinTypes.h"

class CDC;
class CFont;
class CWnd;
struct RECT;

class ClassicLook {
public:
    // The window's font, or the stock dialog font when it has none.
    static CFont* ControlFont(const CWnd* wnd);
    // Asks the parent for the background with a WM_CTLCOLOR* request
    // (`message`), after setting the default text colour. Fills `rect` with the
    // brush answered, with `fallback` when the parent gave none, and leaves it
    // alone for a null brush (transparent controls).
    static void PaintBackground(CWnd* wnd, CDC& dc, const RECT& rect, UINT message,
                                COLORREF fallback);
    // Disabled text: once in the highlight colour one pixel down and right,
    // then in the shadow colour in place.
    static void DrawEngravedText(CDC& dc, const std::string& text, RECT rect, UINT format);
};
