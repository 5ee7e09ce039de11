#pragma once

// How many device pixels one pixel of the 96-dpi layout takes, in percent.
// Fonts given in points, dialog units, control metrics and artwork all
// follow it, so that a window is as large and as crisp on a 150 % or 200 %
// screen as on a 96-dpi one. One scale holds for the whole process; it is
// fixed when first asked for, before the first window is made.
class DisplayScale {
public:
    static constexpr int kMinPercent = 100;
    static constexpr int kMaxPercent = 400;

    // PDFIMPORT_SCALE when it is set and valid; else what the display
    // driver reads from the screen's resolution (100 when it cannot tell).
    static int Percent();
    // Puts a scale in place (tests; a host that knows better); 0 goes back
    // to the environment and the display on the next question.
    static void SetPercent(int percent);

    // A size or distance of the 96-dpi layout in device pixels, rounded.
    static int Scale(int pixels);
    // A line or border width: whole pixels only, never thinner than one, so
    // a one-pixel line stays sharp at 150 % and doubles at 200 %.
    static int ScaleLine(int pixels);
    // Pixels per logical inch (96 at 100 %), for converting points.
    static int LogPixels();

    // "2", "1.5", "1,25" (a factor) or "150%" to percent; false for anything
    // else or a scale outside kMinPercent..kMaxPercent.
    static bool ParsePercent(const char* text, int* percent);
    // The scale a screen of `dpi` dots per inch asks for: dpi / 96 on the
    // 25 % steps desktops offer, within kMinPercent..kMaxPercent.
    static int PercentForDpi(float dpi);
};
