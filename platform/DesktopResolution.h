#pragma once

#include <string>

// The resolution an X desktop asks programs to draw text at: the "Xft.dpi"
// resource that desktop scaling settings write (192 for 200 %). It says
// what the user chose, where the screen's physical size only says what the
// monitor reports.
class DesktopResolution {
public:
    // From the resources of the display named by DISPLAY; 0 when there is
    // none or no X display can be opened.
    static float XftDpi();
    // The value of "Xft.dpi" in a resource listing ("name:\tvalue" lines);
    // 0 when it is absent or not a plain positive number.
    static float XftDpiOfResources(const std::string& resources);
};
