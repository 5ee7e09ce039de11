#include "platform/DesktopResolution.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

float PlainNumber(const std::string& text) {
    if (text.empty() || text.size() > 16) return 0;
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !(value > 0) || value > 10000) return 0;
    return value;
}

}  // namespace

float DesktopResolution::XftDpiOfResources(const std::string& resources) {
    size_t start = 0;
    while (start < resources.size()) {
        size_t end = resources.find('\n', start);
        if (end == std::string::npos) end = resources.size();
        const std::string line = resources.substr(start, end - start);
        start = end + 1;
        const size_t colon = line.find(':');
        if (colon == std::string::npos || Trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
        return PlainNumber(Trimmed(line.substr(colon + 1)));
    }
    return 0;
}

float DesktopResolution::XftDpi() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 0;
    const char* resources = XResourceManagerString(display);
    const float dpi = resources ? XftDpiOfResources(resources) : 0;
    XCloseDisplay(display);
    return dpi;
}
