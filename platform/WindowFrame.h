#pragma once

// The classic frame and caption bar around a top-level window's client
// area. A display driver leaves them to the desktop; the offscreen snapshot
// draws them so that a picture shows the window as a user sees it.

#include <string>

#include "platform/CRect.h"
#include "platform/WinTypes.h"

class CDC;

class WindowFrame {
public:
    // At 96 dpi, in pixels; the frame follows the display scale.
    static constexpr int kBorder = 3;         // fixed dialog frame
    static constexpr int kCaptionHeight = 18;  // caption bar, without the line below it

    // The same in device pixels.
    static int BorderWidth();
    static int CaptionHeight();

    // How far the frame reaches beyond the client area on each side (all 0
    // for windows without caption or frame: popup menus, tooltips).
    static CRect Insets(DWORD style, DWORD exStyle);
    // Draws the frame into `outer` (the client area grown by Insets).
    static void Paint(CDC& dc, const CRect& outer, DWORD style, DWORD exStyle, const std::string& caption,
                      bool active);
};
