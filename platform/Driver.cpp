#include "platform/Driver.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/OffscreenDriver.h"
#include "platform/SdlDriver.h"

static bool DisplayPresent() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

std::unique_ptr<Driver> Driver::CreateFromEnvironment() {
    const char* ui = std::getenv("PDFIMPORT_UI");
    const bool chosen = ui && *ui;
    bool display = false;
    if (chosen && std::strcmp(ui, "sdl") == 0) display = true;
    else if (chosen && std::strcmp(ui, "offscreen") != 0)
        std::cerr << "PDFIMPORT_UI=" << ui << ": unknown, use offscreen or sdl; running offscreen\n";
    else if (!chosen) display = DisplayPresent();
    if (display) {
        if (std::unique_ptr<SdlDriver> sdl = SdlDriver::Open(std::cerr)) return sdl;
        std::cerr << "the display cannot be opened; running offscreen\n";
    }
    auto driver = std::make_unique<OffscreenDriver>(std::cerr);
    driver->LoadScriptFromEnvironment();
    return driver;
}
