#include "platform/Driver.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/OffscreenDriver.h"

std::unique_ptr<Driver> Driver::CreateFromEnvironment() {
    const char* ui = std::getenv("PDFIMPORT_UI");
    if (ui && *ui && std::strcmp(ui, "offscreen") != 0 && std::strcmp(ui, "sdl") != 0)
        std::cerr << "PDFIMPORT_UI=" << ui << ": unknown, use offscreen or sdl; running offscreen\n";
    else if (ui && std::strcmp(ui, "sdl") == 0)
        std::cerr << "PDFIMPORT_UI=sdl: this build has no display driver; running offscreen\n";
    // With DISPLAY or WAYLAND_DISPLAY set and no choice made, the display
    // driver becomes the default once it exists; until then every run is
    // offscreen.
    auto driver = std::make_unique<OffscreenDriver>(std::cerr);
    driver->LoadScriptFromEnvironment();
    return driver;
}
