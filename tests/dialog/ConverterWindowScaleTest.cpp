// The converter window on screens of 150 % and 200 %: every control where it
// is at 100 %, in proportion, and every caption and label whole inside its
// control. Each scale is laid out in a process of its own, as a host starts
// the window once per process, so that nothing made for one scale (stock
// fonts, shared pictures) is seen at another.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "controls/CDropDownButton.h"
#include "controls/CIconButton.h"
#include "controls/CLinkLabel.h"
#include "dialog/CPDFtoDWG3Dlg.h"
#include "platform/CDC.h"
#include "platform/DisplayScale.h"
#include "platform/OffscreenDriver.h"
#include "platform/WindowManager.h"
#include "resources/ConverterResources.h"
#include "resources/ResourceIds.h"

namespace {

// One window of the converter as laid out: where it lies in the converter's
// client area and, for a caption or label, the room its text needs and has.
struct Placed {
    int depth = 0;
    int id = 0;
    bool shown = false;  // its own visibility; a page's controls count even while the page is hidden
    CRect rect;
    int needWidth = 0, needHeight = 0, roomWidth = 0, roomHeight = 0;
    std::string text;
};

int BitmapWidth(UINT id) {
    CBitmap bitmap;
    return bitmap.LoadBitmap(id) ? int(bitmap.GetSize().cx) : 0;
}

bool IsCheckOrRadio(CWnd& wnd) {
    const DWORD type = wnd.GetStyle() & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON ||
           type == BS_3STATE || type == BS_AUTO3STATE;
}

// The font a control draws its text in and the room it leaves for it, as
// the control lays itself out on the 96-dpi layout, scaled.
CFont* TextRoom(CWnd& wnd, CRect* room) {
    const int line = DisplayScale::ScaleLine(1);
    CRect client;
    wnd.GetClientRect(&client);
    *room = client;
    if (auto* button = dynamic_cast<CIconButton*>(&wnd)) {
        // Right of the image and its margin, inside the raised frame.
        room->left += (button->HasBitmap() ? BitmapWidth(IDB_CONVERT) : 0) + DisplayScale::Scale(CIconButton::kImageMargin);
        room->DeflateRect(0, 3 * line);
        room->right -= 3 * line;
        return &button->GetCaptionFont();
    }
    if (dynamic_cast<CDropDownButton*>(&wnd)) {
        room->DeflateRect(line + DisplayScale::Scale(4), line + DisplayScale::Scale(4));
        room->right -= DisplayScale::Scale(CDropDownButton::DropZoneWidth);
        room->left += BitmapWidth(IDB_HELP) + DisplayScale::Scale(2);
        return static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT));
    }
    if (auto* label = dynamic_cast<CLinkLabel*>(&wnd)) return &label->GetLabelFont();
    if (wnd.GetWindowClassName() == "Button") {
        if (IsCheckOrRadio(wnd))
            room->left += DisplayScale::Scale(13 + 4);  // the glyph's column and the gap after it
        else
            room->DeflateRect(DisplayScale::Scale(2) + 2 * line, DisplayScale::Scale(2) + 2 * line);
    }
    return wnd.GetFont();
}

void Place(CWnd& wnd, CWnd& converter, int depth, std::vector<Placed>* out) {
    Placed placed;
    placed.depth = depth;
    placed.id = wnd.GetDlgCtrlID();
    placed.shown = (wnd.GetStyle() & WS_VISIBLE) != 0;
    wnd.GetWindowRect(&placed.rect);
    converter.ScreenToClient(&placed.rect);
    placed.text = wnd.GetWindowText();
    const std::string kind = wnd.GetWindowClassName();
    if ((kind == "Button" || kind == "Static") && placed.text.find_first_not_of(' ') != std::string::npos) {
        CRect room;
        CFont* font = TextRoom(wnd, &room);
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        if (font) dc.SelectObject(font);
        const bool wraps = kind == "Static" && (wnd.GetStyle() & SS_TYPEMASK) != SS_LEFTNOWORDWRAP &&
                           !(wnd.GetStyle() & SS_CENTERIMAGE);
        CRect need(0, 0, room.Width(), 0);
        dc.DrawText(placed.text, &need, DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
        placed.needWidth = need.Width();
        placed.needHeight = need.Height();
        placed.roomWidth = room.Width();
        placed.roomHeight = room.Height();
    }
    out->push_back(placed);
    for (CWnd* child : wnd.GetChildren()) Place(*child, converter, depth + 1, out);
}

// Lays the converter window out at `percent` and writes one line per window.
std::string LayOut(int percent, const std::string& settingsPath) {
    DisplayScale::SetPercent(percent);
    ConverterResources::Register();
    std::ostringstream log;
    WindowManager::Instance().UseDriver(std::make_unique<OffscreenDriver>(log));
    CPDFtoDWG3Dlg converter(nullptr, settingsPath);
    if (!converter.Create(IDD_CONVERTER, nullptr)) return "";
    converter.ShowWindow(SW_SHOW);
    WindowManager::Instance().PaintAll();
    std::vector<Placed> placed;
    for (CWnd* child : converter.GetChildren()) Place(*child, converter, 1, &placed);
    std::ostringstream out;
    for (const Placed& p : placed)
        out << p.depth << ' ' << p.id << ' ' << p.shown << ' ' << p.rect.left << ' ' << p.rect.top << ' '
            << p.rect.right << ' ' << p.rect.bottom << ' ' << p.needWidth << ' ' << p.needHeight << ' '
            << p.roomWidth << ' ' << p.roomHeight << ' ' << p.text << '\n';
    converter.DestroyWindow();
    return out.str();
}

std::vector<Placed> Parse(const std::string& text) {
    std::vector<Placed> placed;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Placed p;
        fields >> p.depth >> p.id >> p.shown >> p.rect.left >> p.rect.top >> p.rect.right >> p.rect.bottom >>
            p.needWidth >> p.needHeight >> p.roomWidth >> p.roomHeight;
        fields.get();
        std::getline(fields, p.text);
        placed.push_back(p);
    }
    return placed;
}

// The layout at `percent`, made by a child process.
std::vector<Placed> LayOutApart(int percent, const std::string& settingsPath) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        const std::string report = LayOut(percent, settingsPath);
        size_t written = 0;
        while (written < report.size()) {
            const ssize_t n = write(pipeEnds[1], report.data() + written, report.size() - written);
            if (n <= 0) break;
            written += size_t(n);
        }
        _exit(written == report.size() ? 0 : 1);
    }
    close(pipeEnds[1]);
    std::string report;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0) report.append(buffer, size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return Parse(report);
}

TEST(ConverterWindowScaleTest, ControlsKeepTheirProportionsAndTextsFit) {
    TempFolder folder;
    const std::string settings = folder.File("ImageSet.dat");
    const std::vector<Placed> base = LayOutApart(100, settings);
    ASSERT_GT(base.size(), 40u) << "the converter window with its three pages";
    for (int percent : {100, 150, 200}) {
        SCOPED_TRACE(std::to_string(percent) + " %");
        const std::vector<Placed> scaled = percent == 100 ? base : LayOutApart(percent, settings);
        ASSERT_EQ(scaled.size(), base.size());
        const double s = percent / 100.0;
        for (size_t i = 0; i < scaled.size(); ++i) {
            const Placed& p = scaled[i];
            const Placed& b = base[i];
            ASSERT_EQ(p.id, b.id);
            const std::string what = std::to_string(p.id) + " \"" + p.text + "\"";
            // A position rounds once per level it is placed in; a far edge
            // once more, for the rounded size.
            EXPECT_NEAR(p.rect.left, b.rect.left * s, p.depth) << what;
            EXPECT_NEAR(p.rect.top, b.rect.top * s, p.depth) << what;
            EXPECT_NEAR(p.rect.right, b.rect.right * s, p.depth + 1) << what;
            EXPECT_NEAR(p.rect.bottom, b.rect.bottom * s, p.depth + 1) << what;
            if (!p.shown || p.roomWidth == 0) continue;
            EXPECT_LE(p.needWidth, p.roomWidth) << what;
            EXPECT_LE(p.needHeight, p.roomHeight) << what;
        }
    }
}

}  // namespace
