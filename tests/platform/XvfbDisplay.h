#pragma once

// A private X display for tests of real windows: Xvfb on a display number it
// picks itself (so parallel tests never collide), xdotool for real input,
// and reading the screen's pixels and cursor through Xlib.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

class XvfbDisplay {
public:
    XvfbDisplay() = default;
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;
    ~XvfbDisplay() { Stop(); }

    static bool ToolsPresent();
    // Starts the server and points DISPLAY at it; false when it did not come up.
    bool Start(int width = 1280, int height = 1024);
    void Stop();
    const std::string& Name() const { return name_; }

    // Runs xdotool with `arguments`; true when it succeeded.
    bool Xdo(const std::string& arguments) const;

    // The screen's pixels (0xRRGGBB) in a rectangle, row by row; empty when
    // they cannot be read.
    std::vector<uint32_t> Pixels(int x, int y, int width, int height) const;

    struct Cursor {
        int width = 0, height = 0, hotX = 0, hotY = 0;
        std::vector<uint32_t> argb;
    };
    // The cursor the server shows now.
    Cursor CurrentCursor() const;

    // What a client told the desktop about its window: a property of 32-bit
    // items (empty when it is not set), its type's name, an atom's name, the
    // window's title.
    std::vector<long> Property(unsigned long window, const char* name, std::string* type = nullptr) const;
    std::string AtomName(long atom) const;
    std::string WindowName(unsigned long window) const;
    // The window with the keyboard focus.
    unsigned long FocusWindow() const;
    // Puts the desktop's resource listing ("Xft.dpi:\t192\n"), as a desktop
    // session does for the programs that connect later.
    bool SetResources(const std::string& resources) const;

private:
    pid_t pid_ = -1;
    std::string name_;
    _XDisplay* display_ = nullptr;
};
