// Real windows under a private Xvfb: what the screen shows, real input from
// xdotool, popups, cursors, mouse capture across windows and an idle loop.

#include <gtest/gtest.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "XvfbDisplay.h"
#include "platform/CDC.h"
#include "platform/CDialog.h"
#include "platform/CFileDialog.h"
#include "test_filedlg_bus.h"
#include "platform/OffscreenDriver.h"
#include "platform/SdlDriver.h"
#include "platform/WindowClassRegistry.h"
#include "platform/WindowManager.h"

namespace {

constexpr int kEditId = 10, kOtherEditId = 11, kButtonId = 5, kTrackerId = 20;

// A child that asks for the mouse-leave notification, takes the capture on a
// press, shows its own cursor, and records what reaches it.
class Tracker : public CWnd {
public:
    static HCURSOR cursor;
    int leaves = 0;
    std::vector<CPoint> releases;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_MOUSEMOVE: {
                TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, this, 0};
                TrackMouseEvent(&track);
                return 0;
            }
            case WM_MOUSELEAVE: ++leaves; return 0;
            case WM_LBUTTONDOWN: SetCapture(); return 0;
            case WM_LBUTTONUP:
                releases.push_back(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
                ReleaseCapture();
                return 0;
            case WM_SETCURSOR:
                if (cursor) {
                    ::SetCursor(cursor);
                    return TRUE;
                }
                break;
            default: break;
        }
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
};
HCURSOR Tracker::cursor = nullptr;

class RecordingDialog : public CDialog {
public:
    std::vector<int> clicks;
    std::vector<UINT> keys;

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        if (HIWORD(wParam) == BN_CLICKED) clicks.push_back(LOWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN) keys.push_back(UINT(msg->wParam));
        return CDialog::PreTranslateMessage(msg);
    }
};

DialogTemplate TestTemplate() {
    DialogTemplate t{900, "Display test", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 200, 100,
                     "MS Sans Serif", 8, {}};
    t.items = {
        {kButtonId, "Button", "Press", 10, 10, 50, 14, BS_PUSHBUTTON | WS_TABSTOP},
        {kEditId, "Edit", "", 10, 30, 100, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        {kOtherEditId, "Edit", "", 10, 50, 100, 12, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
        {-1, "Static", "A label", 10, 70, 60, 8, SS_LEFT},
        {kTrackerId, "SdlTestTracker", "", 130, 10, 50, 30, 0},
    };
    return t;
}

// Steps run one per timer tick inside whatever loop runs (a modal one too).
std::deque<std::function<void()>>& Steps() {
    static std::deque<std::function<void()>> steps;
    return steps;
}

void RunNextStep(HWND, UINT, UINT_PTR, DWORD) {
    if (Steps().empty()) return;
    std::function<void()> step = Steps().front();
    Steps().pop_front();
    step();
}

double ProcessCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

class SdlDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbDisplay::ToolsPresent()) GTEST_SKIP() << "Xvfb or xdotool is not installed";
        ASSERT_TRUE(x.Start()) << "Xvfb did not start";
        // The desktop's session bus (input methods) stays out of the test.
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + x.Name() + "-no-bus").c_str(), 1);
        std::unique_ptr<SdlDriver> driver = SdlDriver::Open(log);
        ASSERT_TRUE(driver) << log.str();
        WindowManager::Instance().UseDriver(std::move(driver));
        WindowClassRegistry::Register("SdlTestTracker", []() -> CWnd* { return new Tracker; });
        Tracker::cursor = nullptr;
        Steps().clear();
    }
    void TearDown() override {
        WindowManager& wm = WindowManager::Instance();
        dialog.reset();
        const std::vector<CWnd*> left = wm.TopLevels();
        for (CWnd* top : left)
            if (wm.Exists(top)) top->DestroyWindow();
        wm.UseDriver(std::make_unique<OffscreenDriver>(log));
    }

    // The test dialog, shown at (100, 100) of the screen and painted.
    RecordingDialog& OpenDialog() {
        dialog = std::make_unique<RecordingDialog>();
        dialogTemplate = TestTemplate();
        EXPECT_TRUE(dialog->CreateIndirect(&dialogTemplate));
        CRect rect;
        dialog->GetWindowRect(&rect);
        dialog->MoveWindow(100, 100, rect.Width(), rect.Height());
        dialog->ShowWindow(SW_SHOW);
        Settle();
        return *dialog;
    }

    // Pumps the loop until `done` holds; the generous limit only keeps a
    // broken run from hanging.
    bool RunUntil(const std::function<bool()>& done, int limitMs = 8000) {
        WindowManager& wm = WindowManager::Instance();
        const UINT_PTR tick = wm.SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {});
        const int64_t end = wm.GetDriver().NowMs() + limitMs;
        while (!done() && wm.GetDriver().NowMs() < end) wm.PumpOne();
        wm.KillTimer(nullptr, tick);
        wm.PumpPending();
        return done();
    }
    // Lets the input already sent arrive and be handled.
    void Settle() {
        RunUntil([] { return false; }, 300);
    }

    // The centre of a control in screen coordinates, as xdotool arguments.
    std::string ScreenPoint(CWnd* wnd, int dx = 0, int dy = 0) const {
        CRect rect;
        wnd->GetWindowRect(&rect);
        const CPoint c = rect.CenterPoint();
        return std::to_string(c.x + dx) + " " + std::to_string(c.y + dy);
    }

    // Screen pixels of a top-level window against its surface; the number of
    // pixels that differ.
    int DifferingPixels(CWnd* top) const {
        CRect rect;
        top->GetWindowRect(&rect);
        const Surface* surface = top->GetSurface();
        const std::vector<uint32_t> screen = x.Pixels(rect.left, rect.top, rect.Width(), rect.Height());
        if (!surface || screen.size() != size_t(surface->Width()) * size_t(surface->Height())) return -1;
        int differing = 0;
        for (int row = 0; row < surface->Height(); ++row)
            for (int column = 0; column < surface->Width(); ++column)
                differing += (surface->At(column, row) & 0xFFFFFFu) != screen[size_t(row) * size_t(surface->Width()) + size_t(column)];
        return differing;
    }

    // The X window of a top-level window, as the driver names it to desktop
    // services; 0 when it names none.
    unsigned long XWindowOf(CWnd* top) const {
        const std::string id = WindowManager::Instance().GetDriver().DesktopWindowId(top->GetDriverWindow());
        if (id.rfind("x11:", 0) != 0 || id.size() == 4 || id.find_first_not_of("0123456789abcdef", 4) != std::string::npos)
            return 0;
        return std::stoul(id.substr(4), nullptr, 16);
    }

    std::string Text(int id) const {
        std::string text;
        dialog->GetDlgItemText(id, text);
        return text;
    }

    XvfbDisplay x;
    std::ostringstream log;
    std::unique_ptr<RecordingDialog> dialog;
    DialogTemplate dialogTemplate;
};

TEST_F(SdlDisplayTest, ScreenShowsTheSurfaceAfterEachChange) {
    RecordingDialog& dlg = OpenDialog();
    EXPECT_EQ(DifferingPixels(&dlg), 0) << "first paint";
    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(dlg.GetDlgItem(kEditId)) + " click 1 type 'typed text'"));
    ASSERT_TRUE(RunUntil([&] { return Text(kEditId) == "typed text"; }));
    Settle();
    EXPECT_EQ(DifferingPixels(&dlg), 0) << "after typing (only the edit was presented again)";
    dlg.GetDlgItem(kButtonId)->EnableWindow(FALSE);
    Settle();
    EXPECT_EQ(DifferingPixels(&dlg), 0) << "after disabling a button";
}

TEST_F(SdlDisplayTest, KeysAndClicksReachTheControls) {
    RecordingDialog& dlg = OpenDialog();
    CWnd* edit = dlg.GetDlgItem(kEditId);
    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(dlg.GetDlgItem(kButtonId)) + " click 1"));
    ASSERT_TRUE(RunUntil([&] { return dlg.clicks.size() == 1; })) << "a click on the button";
    EXPECT_EQ(dlg.clicks[0], kButtonId);

    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(edit) + " click 1 type 'one Two'"));
    ASSERT_TRUE(RunUntil([&] { return Text(kEditId) == "one Two"; })) << Text(kEditId);
    ASSERT_TRUE(x.Xdo("key BackSpace Down Next Up Prior"));
    ASSERT_TRUE(RunUntil([&] { return Text(kEditId) == "one Tw"; })) << "Backspace types its character";
    Settle();
    const std::vector<UINT> expected{VK_BACK, VK_DOWN, VK_NEXT, VK_UP, VK_PRIOR};
    EXPECT_TRUE(std::search(dlg.keys.begin(), dlg.keys.end(), expected.begin(), expected.end()) != dlg.keys.end());

    // A double click selects the word under the pointer; the selection goes
    // to the desktop's clipboard and comes back in the other edit.
    CRect rect;
    edit->GetWindowRect(&rect);
    ASSERT_TRUE(x.Xdo("mousemove " + std::to_string(rect.left + 6) + " " + std::to_string(rect.CenterPoint().y) +
                      " click --repeat 2 --delay 80 1"));
    ASSERT_TRUE(RunUntil([&] { return edit->SendMessage(EM_GETSEL) == LRESULT(MAKELPARAM(0, 3)); }))
        << "the first word is selected";
    ASSERT_TRUE(x.Xdo("key ctrl+c"));
    Settle();
    char* desktop = SDL_GetClipboardText();
    EXPECT_STREQ(desktop, "one");
    SDL_free(desktop);
    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(dlg.GetDlgItem(kOtherEditId)) + " click 1 key ctrl+v"));
    EXPECT_TRUE(RunUntil([&] { return Text(kOtherEditId) == "one"; })) << Text(kOtherEditId);
}

TEST_F(SdlDisplayTest, PopupsSitExactlyWhereTheFrameworkPutsThem) {
    RecordingDialog& dlg = OpenDialog();
    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(dlg.GetDlgItem(kEditId)) + " click 1"));
    Settle();
    for (const char* kind : {"#32768", "tooltips_class32"}) {
        SCOPED_TRACE(kind);
        CWnd popup;
        // Made small and sized while hidden, as tooltips are.
        ASSERT_TRUE(popup.CreateEx(0, kind, "", WS_POPUP, CRect(0, 0, 1, 1), &dlg, 0));
        popup.MoveWindow(400, 500, 120, 60);
        popup.ShowWindow(SW_SHOWNA);
        CDC* dc = popup.GetDC();
        dc->FillSolidRect(CRect(0, 0, 120, 60), RGB(200, 30, 60));
        popup.ReleaseDC(dc);
        Settle();
        EXPECT_EQ(DifferingPixels(&popup), 0);
        const std::vector<uint32_t> around = x.Pixels(399, 499, 1, 1);
        ASSERT_EQ(around.size(), 1u);
        EXPECT_NE(around[0], 0xC81E3Cu) << "nothing drawn outside the popup";
        // The keyboard stays with the dialog while the popup shows.
        const std::string before = Text(kEditId);
        ASSERT_TRUE(x.Xdo("type k"));
        EXPECT_TRUE(RunUntil([&] { return Text(kEditId) == before + "k"; })) << Text(kEditId);
        popup.DestroyWindow();
    }
}

TEST_F(SdlDisplayTest, MouseLeaveAndCaptureFollowThePointerAcrossWindows) {
    RecordingDialog& dlg = OpenDialog();
    Tracker* tracker = static_cast<Tracker*>(dlg.GetDlgItem(kTrackerId));
    ASSERT_TRUE(tracker);
    struct Case {
        const char* where;
        std::string to;
    } cases[] = {
        {"another control", ScreenPoint(dlg.GetDlgItem(kEditId))},
        {"outside every window", "5 1000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        const int before = tracker->leaves;
        ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(tracker) + " sleep 0.1 mousemove " + c.to));
        EXPECT_TRUE(RunUntil([&] { return tracker->leaves == before + 1; }));
    }

    // A drag that starts in the dialog and ends over another window stays
    // with the control that took the capture.
    CWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, "#32768", "", WS_POPUP, CRect(700, 300, 800, 400), &dlg, 0));
    popup.ShowWindow(SW_SHOWNA);
    Settle();
    CRect trackerRect;
    tracker->GetWindowRect(&trackerRect);
    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(tracker) + " mousedown 1 sleep 0.1 mousemove 750 350 sleep 0.1 mouseup 1"));
    ASSERT_TRUE(RunUntil([&] { return tracker->releases.size() == 1; }));
    EXPECT_EQ(tracker->releases[0], CPoint(750 - trackerRect.left, 350 - trackerRect.top));
    popup.DestroyWindow();
}

TEST_F(SdlDisplayTest, CursorsFromPixelsKeepTheirHotSpot) {
    RecordingDialog& dlg = OpenDialog();
    Icon hand;
    hand.width = hand.height = 32;
    hand.isCursor = true;
    hand.hotSpot = POINT{5, 0};
    hand.colour.Resize(32, 32, 0xFF000000u);
    hand.mask.Resize(32, 32, 0xFFFFFFFFu);
    for (int y = 0; y < 20; ++y)
        for (int x0 = 4; x0 < 8; ++x0) hand.mask.Set(x0, y, 0xFF000000u);  // an opaque black finger
    Tracker::cursor = &hand;
    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(dlg.GetDlgItem(kTrackerId))));
    ASSERT_TRUE(RunUntil([&] { return x.CurrentCursor().width == 32 && x.CurrentCursor().hotX == 5; }));
    const XvfbDisplay::Cursor shown = x.CurrentCursor();
    EXPECT_EQ(shown.hotY, 0);
    ASSERT_EQ(shown.argb.size(), 32u * 32u);
    EXPECT_EQ(shown.argb[10 * 32 + 5], 0xFF000000u) << "the finger is opaque black";
    EXPECT_EQ(shown.argb[10 * 32 + 20] >> 24, 0u) << "beside it the screen shows through";

    ASSERT_TRUE(x.Xdo("mousemove " + ScreenPoint(dlg.GetDlgItem(kButtonId))));
    ASSERT_TRUE(RunUntil([&] { return x.CurrentCursor().width != 32 || x.CurrentCursor().hotX != 5; }));
    const XvfbDisplay::Cursor arrow = x.CurrentCursor();
    ::SetCursor(LoadStockCursor(IDC_WAIT));
    EXPECT_TRUE(RunUntil([&] { return x.CurrentCursor().argb != arrow.argb; })) << "the wait cursor shows";
    ::SetCursor(LoadStockCursor(IDC_ARROW));
    Tracker::cursor = nullptr;
}

TEST_F(SdlDisplayTest, ModalWindowKeepsInputFromItsOwner) {
    RecordingDialog& owner = OpenDialog();
    DialogTemplate childTemplate{901, "Modal", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 80, 40,
                                 "MS Sans Serif", 8, {{IDOK, "Button", "OK", 15, 12, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP}}};
    CDialog child;
    child.InitModalIndirect(&childTemplate, &owner);
    // The click on the owner sends the keyboard focus back to the dialog
    // (the driver itself gives it to a clicked window).
    unsigned long childWindow = 0, focusAfterOwnerClick = 0;
    Steps() = {
        [&] {
            childWindow = XWindowOf(&child);
            x.Xdo("mousemove " + ScreenPoint(owner.GetDlgItem(kButtonId)) + " click 1");
        },
        [] {},
        [&] { focusAfterOwnerClick = x.FocusWindow(); },
        [&] { x.Xdo("mousemove " + ScreenPoint(child.GetDlgItem(IDOK)) + " click 1"); },
    };
    WindowManager& wm = WindowManager::Instance();
    const UINT_PTR steps = wm.SetTimer(nullptr, 0, 300, RunNextStep);
    EXPECT_EQ(child.DoModal(), IDOK);
    wm.KillTimer(nullptr, steps);
    EXPECT_TRUE(owner.clicks.empty()) << "the owner's button did not hear the click";
    EXPECT_NE(childWindow, 0u);
    EXPECT_EQ(focusAfterOwnerClick, childWindow) << "the modal dialog has the focus again";
}

TEST_F(SdlDisplayTest, DialogsAskTheDesktopForAFixedFrameWithoutMinimiseOrMaximise) {
    RecordingDialog& top = OpenDialog();
    DialogTemplate ownedTemplate{902, "Owned", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 80, 40,
                                 "MS Sans Serif", 8, {}};
    CDialog owned;
    ASSERT_TRUE(owned.CreateIndirect(&ownedTemplate, &top));
    owned.ShowWindow(SW_SHOW);
    CWnd menu;
    ASSERT_TRUE(menu.CreateEx(0, "#32768", "", WS_POPUP, CRect(400, 500, 480, 560), &top, 0));
    menu.ShowWindow(SW_SHOWNA);
    Settle();
    const unsigned long topWindow = XWindowOf(&top), ownedWindow = XWindowOf(&owned);
    ASSERT_NE(topWindow, 0u);
    ASSERT_NE(ownedWindow, 0u);
    EXPECT_EQ(x.WindowName(topWindow), "Display test") << "the driver names the window with that caption";
    EXPECT_EQ(x.WindowName(ownedWindow), "Owned");

    // Motif hints: move and close only; border, title and window menu.
    const std::vector<long> dialogFrame{1 | 2, 4 | 32, 2 | 8 | 16, 0, 0};
    struct Case {
        const char* what;
        CWnd* wnd;
        const char* type;
        unsigned long transientFor;
    } cases[] = {
        {"the dialog without an owner", &top, "_NET_WM_WINDOW_TYPE_NORMAL", 0},
        {"an owned dialog", &owned, "_NET_WM_WINDOW_TYPE_DIALOG", topWindow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const unsigned long window = XWindowOf(c.wnd);
        EXPECT_EQ(x.Property(window, "_MOTIF_WM_HINTS"), dialogFrame);
        const std::vector<long> type = x.Property(window, "_NET_WM_WINDOW_TYPE");
        ASSERT_EQ(type.size(), 1u);
        EXPECT_EQ(x.AtomName(type[0]), c.type);
        const std::vector<long> transient = x.Property(window, "WM_TRANSIENT_FOR");
        EXPECT_EQ(transient.empty() ? 0ul : (unsigned long)transient[0], c.transientFor);
    }
    // The menu keeps the bare popup SDL makes of it.
    const std::vector<long> menuHints = x.Property(XWindowOf(&menu), "_MOTIF_WM_HINTS");
    ASSERT_EQ(menuHints.size(), 5u);
    EXPECT_EQ(menuHints[2], 0) << "no decorations";

    // Minimum and maximum size are the size, also after a move and after the
    // framework resizes the window.
    struct Size {
        const char* what;
        CRect rect;
    } sizes[] = {
        {"as created", CRect()},
        {"moved", CRect(300, 260, 0, 0)},
        {"resized", CRect(300, 260, 300 + 251, 260 + 133)},
    };
    for (const Size& size : sizes) {
        SCOPED_TRACE(size.what);
        CRect rect;
        owned.GetWindowRect(&rect);
        if (!size.rect.IsRectNull()) {
            const CRect target = size.rect.right ? size.rect : CRect(size.rect.TopLeft(), rect.Size());
            owned.MoveWindow(target.left, target.top, target.Width(), target.Height());
            Settle();
            owned.GetWindowRect(&rect);
            ASSERT_EQ(rect, target);
        }
        std::string type;
        const std::vector<long> hints = x.Property(ownedWindow, "WM_NORMAL_HINTS", &type);
        EXPECT_EQ(type, "WM_SIZE_HINTS");
        ASSERT_GE(hints.size(), 9u);
        const long minAndMax = 16 | 32;
        EXPECT_EQ(hints[0] & minAndMax, minAndMax);
        EXPECT_EQ(std::vector<long>(hints.begin() + 5, hints.begin() + 9),
                  (std::vector<long>{rect.Width(), rect.Height(), rect.Width(), rect.Height()}));
    }
    menu.DestroyWindow();
    owned.DestroyWindow();
}

TEST_F(SdlDisplayTest, TheDesktopsFileChooserIsToldWhichWindowItBelongsTo) {
    PrivateSessionBus bus;
    ASSERT_TRUE(bus.Start());
    ASSERT_TRUE(bus.StartChooser({"choose", "file:///tmp/chosen.pdf"}));
    RecordingDialog& owner = OpenDialog();
    char expected[64];
    std::snprintf(expected, sizeof expected, "parent=x11:%lx\n", XWindowOf(&owner));
    ScopedEnv portal("PDFIMPORT_FILE_DIALOG", "portal");
    CFileDialog chooser(TRUE, "pdf", nullptr, OFN_HIDEREADONLY, "PDF files (*.pdf)|*.pdf||", &owner);
    ASSERT_EQ(chooser.DoModal(), IDOK);
    EXPECT_EQ(chooser.GetPathName(), "/tmp/chosen.pdf");
    EXPECT_NE(bus.Record().find(expected), std::string::npos) << bus.Record();
}

TEST_F(SdlDisplayTest, WaitingLoopRunsTimersWithoutBusyWaiting) {
    RecordingDialog& dlg = OpenDialog();
    static RecordingDialog* running = nullptr;
    running = &dlg;
    WindowManager& wm = WindowManager::Instance();
    const double cpuBefore = ProcessCpuSeconds();
    const int64_t start = wm.GetDriver().NowMs();
    const UINT_PTR end = wm.SetTimer(nullptr, 0, 2000, [](HWND, UINT, UINT_PTR, DWORD) { running->EndModalLoop(IDOK); });
    EXPECT_EQ(dlg.RunModalLoop(), IDOK) << "the timer ended the loop";
    wm.KillTimer(nullptr, end);
    const double elapsed = double(wm.GetDriver().NowMs() - start) / 1000.0;
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    EXPECT_GE(elapsed, 1.9);
    EXPECT_LT(cpu, 0.02 * elapsed) << "the loop used " << cpu << " s of CPU in " << elapsed << " s";
}

}  // namespace
