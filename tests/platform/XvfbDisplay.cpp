#include "XvfbDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

bool XvfbDisplay::ToolsPresent() {
    return std::system("command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1") == 0;
}

bool XvfbDisplay::Start(int width, int height) {
    int ready[2];
    if (pipe(ready) != 0) return false;
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
        close(ready[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        if (devnull >= 0) {
            dup2(devnull, 1);
            dup2(devnull, 2);
        }
        const std::string fd = std::to_string(ready[1]);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        // No key repeat: on a busy machine the release of a sent key can come
        // late enough for the server to repeat it, and a repeated Escape closes
        // the window below the one it was meant for.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               "-ardelay", "60000", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd p{ready[0], POLLIN, 0};
    while (poll(&p, 1, 15000) > 0) {
        char c;
        if (read(ready[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(ready[0]);
    if (number.empty()) return false;
    name_ = ":" + number;
    setenv("DISPLAY", name_.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    display_ = XOpenDisplay(name_.c_str());
    return display_ != nullptr;
}

void XvfbDisplay::Stop() {
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

bool XvfbDisplay::Xdo(const std::string& arguments) const {
    return std::system(("DISPLAY=" + name_ + " xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<uint32_t> XvfbDisplay::Pixels(int x, int y, int width, int height) const {
    std::vector<uint32_t> pixels;
    if (!display_) return pixels;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, unsigned(width), unsigned(height),
                              AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.reserve(size_t(width) * size_t(height));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels.push_back(uint32_t(XGetPixel(image, column, row)) & 0xFFFFFFu);
    XDestroyImage(image);
    return pixels;
}

XvfbDisplay::Cursor XvfbDisplay::CurrentCursor() const {
    Cursor cursor;
    XFixesCursorImage* image = display_ ? XFixesGetCursorImage(display_) : nullptr;
    if (!image) return cursor;
    cursor.width = image->width;
    cursor.height = image->height;
    cursor.hotX = image->xhot;
    cursor.hotY = image->yhot;
    for (size_t i = 0; i < size_t(image->width) * size_t(image->height); ++i)
        cursor.argb.push_back(uint32_t(image->pixels[i]));
    XFree(image);
    return cursor;
}

std::vector<long> XvfbDisplay::Property(unsigned long window, const char* name, std::string* type) const {
    std::vector<long> items;
    if (type) type->clear();
    if (!display_) return items;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1024, False, AnyPropertyType,
                           &actualType, &format, &count, &remaining, &data) != Success)
        return items;
    // Xlib hands 32-bit items over as longs.
    if (format == 32 && data) items.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    if (type && actualType != None) *type = AtomName(long(actualType));
    if (data) XFree(data);
    return items;
}

std::string XvfbDisplay::AtomName(long atom) const {
    char* name = display_ && atom ? XGetAtomName(display_, Atom(atom)) : nullptr;
    if (!name) return std::string();
    const std::string text = name;
    XFree(name);
    return text;
}

std::string XvfbDisplay::WindowName(unsigned long window) const {
    char* name = nullptr;
    if (!display_ || !XFetchName(display_, window, &name) || !name) return std::string();
    const std::string text = name;
    XFree(name);
    return text;
}

unsigned long XvfbDisplay::FocusWindow() const {
    ::Window focus = None;
    int revert = 0;
    if (display_) XGetInputFocus(display_, &focus, &revert);
    return focus;
}

bool XvfbDisplay::SetResources(const std::string& resources) const {
    if (!display_) return false;
    // Our own connection stays open, so the server keeps the property for
    // the clients that come after.
    const Atom property = XInternAtom(display_, "RESOURCE_MANAGER", False);
    XChangeProperty(display_, DefaultRootWindow(display_), property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(resources.data()), int(resources.size()));
    XSync(display_, False);
    return true;
}
