// System colours, stock objects and the shell services.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/CBrush.h"
#include "platform/CFont.h"
#include "platform/CPen.h"
#include "platform/Shell.h"
#include "platform/SysColors.h"

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (hadOld_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool hadOld_ = false;
    std::string old_;
};

}  // namespace

TEST(DrawSystem, ClassicSystemColours) {
    struct Case {
        int index;
        COLORREF colour;
    } cases[] = {
        {COLOR_BTNFACE, RGB(212, 208, 200)},   {COLOR_BTNSHADOW, RGB(128, 128, 128)},
        {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}, {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
        {COLOR_3DLIGHT, RGB(212, 208, 200)},    {COLOR_WINDOW, RGB(255, 255, 255)},
        {COLOR_WINDOWTEXT, RGB(0, 0, 0)},       {COLOR_GRAYTEXT, RGB(128, 128, 128)},
        {COLOR_HIGHLIGHT, RGB(10, 36, 106)},    {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
        {COLOR_MENU, RGB(212, 208, 200)},       {COLOR_MENUTEXT, RGB(0, 0, 0)},
        {COLOR_BTNTEXT, RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetSysColor(c.index), c.colour) << c.index;
        CBrush* brush = GetSysColorBrush(c.index);
        ASSERT_NE(brush, nullptr);
        EXPECT_EQ(brush->GetColor(), c.colour);
        EXPECT_FALSE(brush->DeleteObject());  // shared
    }
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColorBrush(999), nullptr);
}

TEST(DrawSystem, StockObjectsAreSharedAndUndeletable) {
    auto* font = static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT));
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->IsCreated());
    EXPECT_EQ(font->LogFont().lfHeight, -11);
    EXPECT_FALSE(font->DeleteObject());
    EXPECT_TRUE(font->IsCreated());
    auto* nullBrush = static_cast<CBrush*>(GetStockObject(NULL_BRUSH));
    ASSERT_NE(nullBrush, nullptr);
    EXPECT_TRUE(nullBrush->IsNull());
    auto* nullPen = static_cast<CPen*>(GetStockObject(NULL_PEN));
    ASSERT_NE(nullPen, nullptr);
    EXPECT_EQ(nullPen->GetStyle(), PS_NULL);
    EXPECT_EQ(GetStockObject(BLACK_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetStockObject(9), nullptr);  // no such stock object
    EXPECT_EQ(GetStockObject(-3), nullptr);
}

TEST(DrawSystem, TemporaryDirectoryAlwaysEndsWithASlash) {
    struct Case {
        const char* tmpdir;
        const char* expected;
    } cases[] = {
        {nullptr, "/tmp/"},
        {"", "/tmp/"},
        {"/var/tmp", "/var/tmp/"},
        {"/var/tmp/", "/var/tmp/"},
    };
    for (const Case& c : cases) {
        ScopedEnv env("TMPDIR", c.tmpdir);
        EXPECT_EQ(GetTempDirectory(), c.expected);
    }
    ScopedEnv env("TMPDIR", "/var/tmp");
    char buffer[260];
    EXPECT_EQ(GetTempPathA(sizeof buffer, buffer), 9u);
    EXPECT_STREQ(buffer, "/var/tmp/");
    char tiny[4] = "abc";
    EXPECT_EQ(GetTempPathA(sizeof tiny, tiny), 10u);  // the size needed, with the zero
    EXPECT_STREQ(tiny, "");
}

TEST(DrawSystem, FileNamesOfModuleAndProgram) {
    const std::string program = GetProgramFileName();
    ASSERT_FALSE(program.empty());
    EXPECT_NE(program.find("test_drawing"), std::string::npos);
    // Linked statically into the test, the module is the test program.
    EXPECT_EQ(GetModuleFileName(), program);
    char buffer[260];
    EXPECT_EQ(GetModuleFileNameA(buffer, sizeof buffer), program.size());
    EXPECT_EQ(program, buffer);
}

TEST(DrawSystem, OsVersionFromUname) {
    const OsVersion version = GetOsVersion();
    EXPECT_EQ(version.system, "Linux");
    EXPECT_FALSE(version.release.empty());
    EXPECT_GT(version.major, 0);
}

TEST(DrawSystem, ShellOpenHandsTheTargetToTheOpener) {
    // A stand-in opener on the PATH records its argument.
    char dirTemplate[] = "/tmp/pdfimport_shell_XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    const std::string record = dir + "/opened.txt";
    {
        std::ofstream script(dir + "/xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record << ".part' && mv '" << record << ".part' '" << record
               << "'\n";
    }
    chmod((dir + "/xdg-open").c_str(), 0755);
    {
        ScopedEnv path("PATH", (dir + ":/usr/bin:/bin").c_str());
        ShellOpen("/some/file with spaces.chm");
        ShellOpen("");  // nothing to open: ignored
    }
    std::string opened;
    for (int i = 0; i < 100 && opened.empty(); ++i) {
        std::ifstream in(record);
        if (in) {
            std::stringstream content;
            content << in.rdbuf();
            opened = content.str();
        }
        if (opened.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(opened, "/some/file with spaces.chm");
    std::remove(record.c_str());
    std::remove((dir + "/xdg-open").c_str());
    rmdir(dir.c_str());
}
