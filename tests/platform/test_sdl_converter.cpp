// The converter window on a real (Xvfb) display, driven by xdotool through
// the demo host: the same states as an offscreen run must show the same
// pixels, real keys step pages, Convert and Escape end the host, and the
// window sleeps while it waits.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "../dialog/TempFolder.h"
#include "../preview/PdfFixture.h"
#include "XvfbDisplay.h"

namespace {

const char* const kCaption = "Kestrion Orvane PDF to DWG Converter";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int CenterX() const { return (left + right) / 2; }
    int CenterY() const { return (top + bottom) / 2; }
};

// Control rectangles of an offscreen dump (top-level client coordinates):
// the converter window's own controls at depth 1, others at any depth.
std::map<std::string, Rect> ControlsOfDump(const std::string& dump) {
    std::map<std::string, Rect> controls;
    const std::regex line("^( *)(-?\\d+) .* rect=(-?\\d+),(-?\\d+),(-?\\d+),(-?\\d+)$");
    std::istringstream in(dump);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, line)) continue;
        const std::string key = (m[1].length() == 2 ? "" : "page:") + m[2].str();
        if (m[1].length() == 0) controls["window"] = Rect{std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]), std::stoi(m[6])};
        else if (!controls.count(key))
            controls[key] = Rect{std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]), std::stoi(m[6])};
    }
    return controls;
}

class ConverterDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbDisplay::ToolsPresent()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
        ASSERT_TRUE(x.Start()) << "Xvfb did not start";
        std::filesystem::create_directories(Temp());
        pdf = folder.File("three.pdf");
        WritePdf(pdf, std::vector<PdfPageSpec>(3));
        // Sanitizer builds: the X and SDL libraries keep a few buffers of
        // their own until the process ends.
        std::ofstream(folder.File("lsan.supp")) << "leak:libX11.so\nleak:libSDL2\nleak:libdbus\nleak:libfontconfig.so\n";
    }
    void TearDown() override {
        if (host > 0) {
            kill(host, SIGKILL);
            waitpid(host, nullptr, 0);
        }
    }

    std::string Temp() const { return folder.Path() + "/tmp/"; }
    std::string Environment(const std::string& ui) const {
        const std::string scale = ui == "offscreen" && !offscreenScale.empty() ? "PDFIMPORT_SCALE=" + offscreenScale + " " : "";
        return "cd '" + folder.Path() + "' && TMPDIR='" + Temp() + "' LSAN_OPTIONS=suppressions='" +
               folder.File("lsan.supp") + "' PDFIMPORT_UI=" + ui + " PDFIMPORT_FILE_DIALOG=builtin " + scale;
    }
    std::string HostCommand() const {
        return std::string("'") + HOST_PROGRAM + "' --lib '" + PDFIMPORT_LIBRARY + "' --entry GetPDFInfo2Out";
    }

    // Runs the host offscreen with a script; its exit status.
    int RunOffscreen(const std::vector<std::string>& script) const {
        std::ofstream out(folder.File("user.script"));
        for (const std::string& line : script) out << line << '\n';
        out.close();
        const std::string command = Environment("offscreen") + "PDFIMPORT_SCRIPT='" + folder.File("user.script") +
                                    "' " + HostCommand() + " >/dev/null 2>'" + folder.File("offscreen.err") + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Starts the host on the display and waits for its window.
    bool StartOnDisplay() {
        host = fork();
        if (host == 0) {
            const std::string command = "exec " + HostCommand() + " >'" + folder.File("out.txt") + "' 2>'" +
                                        folder.File("err.txt") + "'";
            execl("/bin/sh", "sh", "-c", (Environment("sdl") + command).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (!WaitForWindow(kCaption)) return false;
        // The window's client area on the screen.
        FILE* geometry = popen(("DISPLAY=" + x.Name() + " xdotool search --onlyvisible --name '^" + kCaption +
                                "$' getwindowgeometry --shell").c_str(), "r");
        if (!geometry) return false;
        char line[128];
        while (std::fgets(line, sizeof line, geometry)) {
            std::sscanf(line, "X=%d", &origin.first);
            std::sscanf(line, "Y=%d", &origin.second);
            std::sscanf(line, "WIDTH=%d", &size.first);
            std::sscanf(line, "HEIGHT=%d", &size.second);
        }
        pclose(geometry);
        return true;
    }

    // Polls for a window with this caption (a search can fail while windows
    // come and go); false when none appeared.
    bool WaitForWindow(const std::string& caption) const {
        for (int i = 0; i < 100; ++i) {
            if (x.Xdo("search --onlyvisible --name '^" + caption + "$'")) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // Waits until the keyboard focus is in the window of that caption: keys
    // sent before would reach the window below it.
    bool WaitForFocus(const std::string& caption) const {
        for (int i = 0; i < 100; ++i) {
            if (x.Xdo("getwindowfocus getwindowname | grep -qx '" + caption + "'")) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    // Waits for the host to end; its exit status, -1 when it did not end.
    int WaitForHost() {
        for (int i = 0; i < 300; ++i) {
            int status = 0;
            if (waitpid(host, &status, WNOHANG) == host) {
                host = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }

    long CpuTicksOfHost() const {
        std::istringstream stat(ReadFile("/proc/" + std::to_string(host) + "/stat"));
        std::string field;
        std::vector<std::string> fields;
        while (stat >> field) fields.push_back(field);
        // utime and stime, after the command name (which has no blanks here).
        return fields.size() > 14 ? std::stol(fields[13]) + std::stol(fields[14]) : -1;
    }

    std::string At(const Rect& r, int dx = 0, int dy = 0) const {
        return std::to_string(origin.first + r.CenterX() + dx) + " " + std::to_string(origin.second + r.CenterY() + dy);
    }

    // Pixels of the window's client area on the screen against the client
    // area of an offscreen snapshot (which adds the frame around it), or of
    // `area` (client coordinates; it may reach beyond the client area where a
    // popup lies); the number that differ, -1 when they cannot be compared.
    int DifferingFromSnapshot(const std::string& png, const Rect& client, Rect area = Rect()) {
        const std::string raw = png + ".rgb";
        const std::string convert = "/usr/bin/python3 -c 'import sys; from PIL import Image; i = Image.open(sys.argv[1]).convert(\"RGB\"); "
                                    "open(sys.argv[2], \"wb\").write(i.tobytes()); print(i.size[0], i.size[1])' '" +
                                    png + "' '" + raw + "'";
        FILE* sizes = popen(convert.c_str(), "r");
        int width = 0, height = 0;
        if (!sizes || std::fscanf(sizes, "%d %d", &width, &height) != 2) {
            if (sizes) pclose(sizes);
            return -1;
        }
        pclose(sizes);
        const std::string rgb = ReadFile(raw);
        const int w = client.right - client.left, h = client.bottom - client.top;
        if (area.right <= area.left) {
            // The window alone: the frame is as wide at the sides as below.
            area = Rect{0, 0, w, h};
            frameLeft = (width - w) / 2;
            frameTop = height - h - frameLeft;
        }
        const int aw = area.right - area.left, ah = area.bottom - area.top;
        if (frameLeft < 0 || frameTop < 0 || rgb.size() != size_t(width) * size_t(height) * 3 ||
            frameLeft + area.left < 0 || frameTop + area.top < 0 || frameLeft + area.right > width ||
            frameTop + area.bottom > height)
            return -1;
        const std::vector<uint32_t> screen = x.Pixels(origin.first + area.left, origin.second + area.top, aw, ah);
        if (screen.size() != size_t(aw) * size_t(ah)) return -1;
        int differing = 0;
        for (int row = 0; row < ah; ++row)
            for (int column = 0; column < aw; ++column) {
                const size_t at = (size_t(row + area.top + frameTop) * size_t(width) + size_t(column + area.left + frameLeft)) * 3;
                const uint32_t pixel = uint32_t(uint8_t(rgb[at])) << 16 | uint32_t(uint8_t(rgb[at + 1])) << 8 |
                                       uint32_t(uint8_t(rgb[at + 2]));
                differing += pixel != screen[size_t(row) * size_t(aw) + size_t(column)];
            }
        return differing;
    }

    // Polls until the screen shows the snapshot; the differing pixels of
    // the last look (the limit only keeps a broken run from hanging).
    int SettlesToSnapshot(const std::string& png, const Rect& client, Rect area = Rect()) {
        int differing = -1;
        for (int i = 0; i < 40 && differing != 0; ++i) {
            if (i) std::this_thread::sleep_for(std::chrono::milliseconds(200));
            differing = DifferingFromSnapshot(png, client, area);
        }
        return differing;
    }

    bool Eventually(const std::function<bool()>& done) const {
        for (int i = 0; i < 40; ++i) {
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        return false;
    }

    // Clicks "...", types the fixture's path into the built-in file dialog
    // and presses Enter.
    void LoadThroughFileDialog(const Rect& browse) const {
        ASSERT_TRUE(x.Xdo("mousemove " + At(browse) + " click 1"));
        ASSERT_TRUE(WaitForWindow("Open")) << ReadFile(folder.File("err.txt"));
        ASSERT_TRUE(WaitForFocus("Open"));
        ASSERT_TRUE(x.Xdo("type --delay 2 '" + pdf + "'"));
        ASSERT_TRUE(x.Xdo("key Return"));
        Settle();
    }

    // Lets the host handle what was sent (the X server orders our requests
    // after its drawing once the pointer has moved away).
    void Settle() const { std::this_thread::sleep_for(std::chrono::milliseconds(600)); }

    XvfbDisplay x;
    TempFolder folder;
    std::string pdf;
    pid_t host = -1;
    std::pair<int, int> origin{0, 0};
    std::pair<int, int> size{0, 0};
    std::string offscreenScale;  // PDFIMPORT_SCALE of the offscreen runs
    int frameLeft = -1, frameTop = -1;  // where the client area lies in a snapshot
};

TEST_F(ConverterDisplayTest, RealWindowLoadsStepsAndConverts) {
    // An offscreen run of the same steps tells where the controls are and
    // what the window must look like.
    const std::string dump = folder.File("controls.txt");
    const std::string page2 = folder.File("page2.png"), page3 = folder.File("page3.png");
    const std::string hovered = folder.File("hovered.png"), menu = folder.File("menu.png");
    RunOffscreen({"dump " + dump});
    const std::map<std::string, Rect> controls = ControlsOfDump(ReadFile(dump));
    ASSERT_TRUE(controls.count("window") && controls.count("page:1006") && controls.count("1") &&
                controls.count("1002") && controls.count("1044") && controls.count("134"))
        << ReadFile(dump);
    const Rect previous = controls.at("1002");
    RunOffscreen({"click 1006", "type 1122 " + pdf, "key enter", "key down", "mouse move 0 0", "snapshot " + page2,
                  "key pagedown", "mouse move 0 0", "snapshot " + page3,
                  "mouse move " + std::to_string(previous.CenterX()) + " " + std::to_string(previous.CenterY()),
                  "wait 1500", "snapshot " + hovered, "mouse move 0 0", "click 134", "mouse move 0 0",
                  "snapshot " + menu, "key escape"});

    ASSERT_TRUE(StartOnDisplay()) << "the window with the caption appears";
    // Idle: well below 2 % of a core while the window waits for the user.
    Settle();
    const long before = CpuTicksOfHost();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const long used = CpuTicksOfHost() - before;
    EXPECT_LT(used, 3 * sysconf(_SC_CLK_TCK) / 50) << "CPU ticks used in 3 s of waiting: " << used;

    // "..." opens the built-in file dialog; typing the path and Enter loads it.
    ASSERT_NO_FATAL_FAILURE(LoadThroughFileDialog(controls.at("page:1006")));
    ASSERT_TRUE(x.Xdo("key Down mousemove 0 0"));
    EXPECT_EQ(SettlesToSnapshot(page2, controls.at("window")), 0) << "page 2 of 3, as offscreen";
    ASSERT_TRUE(x.Xdo("key Next mousemove 0 0"));
    EXPECT_EQ(SettlesToSnapshot(page3, controls.at("window")), 0) << "page 3 of 3, as offscreen";

    // Hovering the flat arrow: its hover look and, in time, its tooltip near
    // the pointer, as offscreen.
    ASSERT_TRUE(x.Xdo("mousemove " + At(previous)));
    EXPECT_EQ(SettlesToSnapshot(hovered, controls.at("window")), 0) << "the hovered arrow, as offscreen";

    // Help opens its menu right below the button; Down and Enter choose
    // "About", which shows the About box over the window.
    const Rect help = controls.at("134");
    ASSERT_TRUE(x.Xdo("mousemove " + At(help) + " click 1 mousemove 0 0"));
    const Rect belowHelp{help.left, help.bottom, help.left + 40, help.bottom + 16};
    EXPECT_EQ(SettlesToSnapshot(menu, controls.at("window"), belowHelp), 0) << "the menu, as offscreen";
    ASSERT_TRUE(x.Xdo("key Down Return"));
    ASSERT_TRUE(WaitForWindow("About Kestrion ORVANE"));
    ASSERT_TRUE(WaitForFocus("About Kestrion ORVANE"));
    // A click on the converter window (on Convert, which must not hear it)
    // sends the keyboard focus back to the About box, as the classic desktop
    // does; the focus is looked at once the host had time to handle it.
    ASSERT_TRUE(x.Xdo("mousemove " + At(controls.at("1")) + " click 1 mousemove 0 0"));
    Settle();
    EXPECT_TRUE(WaitForFocus("About Kestrion ORVANE")) << "the About box has the focus again";
    ASSERT_TRUE(x.Xdo("key Escape"));
    EXPECT_TRUE(Eventually([&] { return !x.Xdo("search --onlyvisible --name '^About Kestrion ORVANE$'"); }))
        << "Escape closed the About box";

    // Over the enabled Open link the pointer is the hand of cursor 1002.
    ASSERT_TRUE(x.Xdo("mousemove " + At(controls.at("1044"))));
    EXPECT_TRUE(Eventually([&] { return x.CurrentCursor().hotX == 5; }));
    const XvfbDisplay::Cursor hand = x.CurrentCursor();
    EXPECT_EQ(hand.width, 32);
    EXPECT_EQ(hand.hotX, 5);
    EXPECT_EQ(hand.hotY, 0);

    ASSERT_TRUE(x.Xdo("mousemove " + At(controls.at("1")) + " click 1"));
    EXPECT_EQ(WaitForHost(), 0) << ReadFile(folder.File("err.txt"));
    const std::string result = ReadFile(Temp() + "PDFInfo.dat");
    EXPECT_EQ(result.rfind("InputFile:" + pdf + "\r\nRanglist:", 0), 0u) << result;
    EXPECT_EQ(std::regex_search(result, std::regex("Ranglist:(\\d+ \\d+ obj \\d;){3}\r\n")), true) << result;
}

TEST_F(ConverterDisplayTest, DesktopAtTwiceTheResolutionGetsTheWindowDrawnAtTwiceTheSize) {
    // The desktop asks for text at 192 dpi, as its 200 % setting does: the
    // real window must be the offscreen window drawn at scale 2, pixel for
    // pixel, on a screen large enough for it.
    x.Stop();
    ASSERT_TRUE(x.Start(2800, 2200));
    ASSERT_TRUE(x.SetResources("Xft.antialias:\t1\nXft.dpi:\t192\n"));
    offscreenScale = "2";
    const std::string dump = folder.File("controls.txt");
    const std::string page2 = folder.File("page2.png"), hovered = folder.File("hovered.png");
    const std::string menu = folder.File("menu.png");
    RunOffscreen({"dump " + dump});
    const std::map<std::string, Rect> controls = ControlsOfDump(ReadFile(dump));
    ASSERT_TRUE(controls.count("window") && controls.count("page:1006") && controls.count("1002") &&
                controls.count("1044") && controls.count("134"))
        << ReadFile(dump);
    const Rect window = controls.at("window"), previous = controls.at("1002"), help = controls.at("134");
    EXPECT_EQ(window.right - window.left, 2 * 669);
    EXPECT_EQ(window.bottom - window.top, 2 * 528);
    RunOffscreen({"click 1006", "type 1122 " + pdf, "key enter", "key down", "mouse move 0 0", "snapshot " + page2,
                  "mouse move " + std::to_string(previous.CenterX()) + " " + std::to_string(previous.CenterY()),
                  "wait 1500", "snapshot " + hovered, "mouse move 0 0", "click 134", "mouse move 0 0",
                  "snapshot " + menu, "key escape"});

    ASSERT_TRUE(StartOnDisplay());
    EXPECT_EQ(size, std::make_pair(2 * 669, 2 * 528));
    ASSERT_NO_FATAL_FAILURE(LoadThroughFileDialog(controls.at("page:1006")));
    ASSERT_TRUE(x.Xdo("key Down mousemove 0 0"));
    EXPECT_EQ(SettlesToSnapshot(page2, window), 0) << "page 2 at 200 %, as offscreen";
    ASSERT_TRUE(x.Xdo("mousemove " + At(previous)));
    EXPECT_EQ(SettlesToSnapshot(hovered, window), 0) << "the hovered arrow and its tooltip at 200 %, as offscreen";
    ASSERT_TRUE(x.Xdo("mousemove " + At(help) + " click 1 mousemove 0 0"));
    const Rect belowHelp{help.left, help.bottom, help.left + 80, window.bottom};
    EXPECT_EQ(SettlesToSnapshot(menu, window, belowHelp), 0) << "the menu at 200 %, as offscreen";
    ASSERT_TRUE(x.Xdo("key Escape"));

    // The hand is the cursor drawn for the scale, its hot spot on the fingertip.
    ASSERT_TRUE(x.Xdo("mousemove " + At(controls.at("1044"))));
    EXPECT_TRUE(Eventually([&] { return x.CurrentCursor().hotX == 10; }));
    const XvfbDisplay::Cursor hand = x.CurrentCursor();
    EXPECT_EQ(hand.width, 64);
    EXPECT_EQ(hand.hotY, 0);
    ASSERT_TRUE(x.Xdo("key Escape"));
    EXPECT_EQ(WaitForHost(), 1) << ReadFile(folder.File("err.txt"));
}

TEST_F(ConverterDisplayTest, EscapeCancels) {
    ASSERT_TRUE(StartOnDisplay());
    Settle();
    ASSERT_TRUE(x.Xdo("key Escape"));
    EXPECT_EQ(WaitForHost(), 1) << ReadFile(folder.File("err.txt"));
}

}  // namespace
