// Opening the display driver where no desktop can be reached: a reason in
// the log, SDL's video closed again, and the framework running offscreen.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "platform/SdlDriver.h"

namespace {

// Sets variables for one case and puts the earlier values back after it.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const std::map<std::string, const char*>& values) {
        for (const auto& entry : values) {
            const char* earlier = std::getenv(entry.first.c_str());
            earlier_[entry.first] = earlier ? std::make_pair(true, std::string(earlier)) : std::make_pair(false, std::string());
            if (entry.second) setenv(entry.first.c_str(), entry.second, 1);
            else unsetenv(entry.first.c_str());
        }
    }
    ~ScopedEnvironment() {
        for (const auto& entry : earlier_) {
            if (entry.second.first) setenv(entry.first.c_str(), entry.second.second.c_str(), 1);
            else unsetenv(entry.first.c_str());
        }
    }

private:
    std::map<std::string, std::pair<bool, std::string>> earlier_;
};

TEST(SdlOpen, WithoutAReachableDesktopTheDriverIsNotOpenedAndSaysWhy) {
    const std::string runtime = ::testing::TempDir();
    const struct Case {
        const char* what;
        std::map<std::string, const char*> environment;
        const char* reason;
    } cases[] = {
        // Only desktops are tried: SDL's own fallbacks are not reached.
        {"no display at all", {{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}, {"SDL_VIDEODRIVER", nullptr}},
         "not available"},
        {"Wayland asked for, no compositor running",
         {{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", "pdfimport-no-compositor"}, {"XDG_RUNTIME_DIR", runtime.c_str()},
          {"SDL_VIDEODRIVER", "wayland"}},
         "wayland not available"},
        {"an X display that does not exist", {{"DISPLAY", ":9999"}, {"SDL_VIDEODRIVER", "x11"}}, "x11 not available"},
        {"SDL's invisible driver asked for", {{"SDL_VIDEODRIVER", "offscreen"}}, "no display to open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedEnvironment environment(c.environment);
        std::ostringstream log;
        EXPECT_FALSE(SdlDriver::Open(log));
        EXPECT_NE(log.str().find(c.reason), std::string::npos) << log.str();
        EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "SDL's video is closed again";

        ScopedEnvironment sdl({{"PDFIMPORT_UI", "sdl"}, {"PDFIMPORT_SCRIPT", nullptr}});
        testing::internal::CaptureStderr();
        const std::unique_ptr<Driver> driver = Driver::CreateFromEnvironment();
        const std::string notice = testing::internal::GetCapturedStderr();
        EXPECT_STREQ(driver->Name(), "offscreen");
        EXPECT_NE(notice.find("running offscreen"), std::string::npos) << notice;
    }
}

}  // namespace
