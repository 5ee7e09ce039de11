#pragma once

// Drawing pieces that several stock controls share: the control font, the
// background from the parent's colour request, engraved (disabled) text, and
// the edges, frames and focus rectangles of the classic look drawn with lines
// as thick as the display scale asks (DisplayScale::ScaleLine), so that a
// control at 200 % is its 100 % self with every line doubled.

#include <string>

#include "platform/WinTypes.h"

class CBrush;
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

    // The thickness of one line of the classic look in device pixels.
    static int LineWidth();
    // CDC::DrawEdge with every line LineWidth() pixels thick.
    static void DrawEdge(CDC& dc, RECT* rect, UINT edge, UINT flags);
    // CDC::FrameRect with a frame LineWidth() pixels thick.
    static void FrameRect(CDC& dc, const RECT& rect, CBrush* brush);
    // CDC::Draw3dRect with both colours LineWidth() pixels thick.
    static void Draw3dRect(CDC& dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
    // The face of a push button (raised, or pressed in), as
    // DrawFrameControl's DFCS_BUTTONPUSH draws it; `rect` becomes the face
    // inside the edges.
    static void DrawPushButtonFace(CDC& dc, RECT* rect, bool pushed);
    // The dotted focus rectangle with dots and line LineWidth() pixels wide;
    // like CDC::DrawFocusRect it inverts, so a second call takes it away.
    static void DrawFocusRect(CDC& dc, const RECT& rect);
};
