#pragma once

// What the system reports about itself to code that adapts its look: the
// version, the desktop theme, the metrics of menus and the ANSI code page.
// This platform reports a system of the NT family, version 10.0, with no
// desktop theme file; tests may replace the report to see other systems.
// Metrics are kept for a 96-dpi screen and handed out in device pixels of
// the current display scale, as the system tells a program that knows
// about resolutions.

#include <string>

#include "platform/WinTypes.h"

class SystemInfo {
public:
    enum class Family { Win32s, Windows9x, NT };
    struct Version {
        bool known = true;  // false: the version query failed (out of memory)
        Family family = Family::NT;
        int major = 10;
        int minor = 0;
    };
    struct Report {
        Version version;
        // The file of the current desktop theme, as the user's settings name
        // it (at most 260 characters); empty when none is set.
        std::string themeFile;
        int menuHeight = 19;  // height of a menu bar line, in pixels at 96 dpi
        bool paletteDisplay = false;  // the screen shows 256 colours through a palette
        LOGFONT menuFont{};   // filled with the default menu font when left empty; heights at 96 dpi
    };

    static Version GetVersion();
    static std::string GetThemeFile();
    // In device pixels.
    static int GetMenuHeight();
    static bool IsPaletteDisplay();
    // With its height in device pixels.
    static LOGFONT GetMenuFont();

    // Replaces the report (tests), or goes back to this platform's own.
    static void SetReport(const Report& report);
    static void ResetReport();

    // Text in the ANSI code page (Windows-1252) to and from wide characters;
    // characters the code page lacks become '?'.
    static std::wstring AnsiToWide(const std::string& text);
    static std::string WideToAnsi(const std::wstring& text);
};
