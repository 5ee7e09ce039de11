// Input and time: timers, mouse capture, mouse leave, where clicks go,
// cursors, painting order, and a message box over a dialog.

#include "platform/CClientDC.h"
#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/MessageBoxService.h"
#include "test_win_fixture.h"

namespace {

std::vector<std::string> g_events;

class Ticker : public CWnd {
public:
    std::vector<int64_t> ticks;

protected:
    void OnTimer(UINT_PTR id) {
        ticks.push_back(WindowManager::Instance().GetDriver().NowMs());
        if (id == 2) KillTimer(2);  // one-shot
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Ticker, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

// Records the mouse messages it gets and asks for mouse-leave notices.
class Tracker : public CWnd {
public:
    std::string name;
    bool tracks = false;

protected:
    void OnMouseMove(UINT, CPoint point) {
        g_events.push_back(name + " move " + std::to_string(point.x) + "," + std::to_string(point.y));
        if (!tracks) return;
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, this, 0};
        TrackMouseEvent(&track);
    }
    void OnLButtonDown(UINT, CPoint) {
        g_events.push_back(name + " down");
        SetCapture();
    }
    void OnLButtonUp(UINT, CPoint point) {
        g_events.push_back(name + " up " + std::to_string(point.x) + "," + std::to_string(point.y));
        ReleaseCapture();
    }
    void OnMouseLeave() { g_events.push_back(name + " leave"); }
    BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message) {
        g_events.push_back(name + " cursor for " + static_cast<Tracker*>(wnd)->name);
        return CWnd::OnSetCursor(wnd, hit, message);
    }
    void OnPaint() {
        CPaintDC dc(this);
        g_events.push_back(name + " paint");
        if (paintAgain) {
            paintAgain = false;
            Invalidate(FALSE);  // as a blinking label's next phase would
        }
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(client, colour);
    }
    DECLARE_MESSAGE_MAP()

public:
    COLORREF colour = RGB(0, 0, 255);
    bool paintAgain = false;
};

BEGIN_MESSAGE_MAP(Tracker, CWnd)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSELEAVE()
    ON_WM_SETCURSOR()
    ON_WM_PAINT()
END_MESSAGE_MAP()

class InputTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_events.clear();
        top.name = "top";
        left.name = "left";
        right.name = "right";
        ASSERT_TRUE(top.CreateEx(0, "Test", "top", WS_POPUP | WS_VISIBLE, CRect(100, 100, 300, 200), nullptr, 0));
        ASSERT_TRUE(left.Create("Test", "left", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 60), &top, 1));
        ASSERT_TRUE(right.Create("Test", "right", WS_CHILD | WS_VISIBLE, CRect(100, 10, 150, 60), &top, 2));
        WindowManager::Instance().PumpPending();
        g_events.clear();
    }
    void TearDown() override {
        top.DestroyWindow();
        WinTest::TearDown();
    }
    void Move(int x, int y) { Mouse(&top, InputEvent::Type::MouseMove, x, y); }
    std::vector<std::string> Events() {
        WindowManager::Instance().PumpPending();
        std::vector<std::string> events;
        for (const std::string& e : g_events)
            if (e.find("cursor") == std::string::npos && e.find("paint") == std::string::npos) events.push_back(e);
        g_events.clear();
        return events;
    }
    Tracker top, left, right;
};

}  // namespace

TEST_F(InputTest, TimersTickOnTheDriverClockUntilKilled) {
    Ticker ticker;
    ASSERT_TRUE(ticker.CreateEx(0, "Test", "t", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_EQ(ticker.SetTimer(3, 100), 3u);
    EXPECT_TRUE(ticker.KillTimer(3));
    EXPECT_FALSE(ticker.KillTimer(3));
    ticker.SetTimer(1, 500);
    ticker.SetTimer(2, 300);  // kills itself on its first tick
    const int64_t start = WindowManager::Instance().GetDriver().NowMs();
    // The loop runs while the script waits; then the run closes the window.
    Script("wait 1250\n");
    ticker.RunModalLoop();
    std::vector<int64_t> relative;
    for (int64_t t : ticker.ticks) relative.push_back(t - start);
    EXPECT_EQ(relative, (std::vector<int64_t>{300, 500, 1000}));
    EXPECT_EQ(WindowManager::Instance().GetDriver().NowMs() - start, 1250);
    EXPECT_EQ(ticker.m_hWnd, nullptr) << "closed when the script ended";
}

TEST_F(InputTest, CaptureKeepsTheMouseUntilReleased) {
    Move(20, 20);
    Mouse(&top, InputEvent::Type::MouseDown, 20, 20);
    Move(120, 20);  // over `right`, but `left` holds the capture
    Mouse(&top, InputEvent::Type::MouseUp, 120, 20);
    Move(130, 30);
    EXPECT_EQ(Events(), (std::vector<std::string>{"left move 10,10", "left down", "left move 110,10",
                                                  "left up 110,10", "right move 30,20"}));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);

    // Disabling the window that holds the capture takes it away.
    Mouse(&top, InputEvent::Type::MouseDown, 20, 20);
    EXPECT_EQ(CWnd::GetCapture(), &left);
    left.EnableWindow(FALSE);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

namespace {
int g_procTicks = 0;
void CountTick(HWND, UINT message, UINT_PTR id, DWORD) {
    if (message == WM_TIMER && id == 7) ++g_procTicks;
}
}  // namespace

TEST_F(InputTest, TimerCallbacksRunInsteadOfTheTimerMessage) {
    Ticker ticker;
    ASSERT_TRUE(ticker.CreateEx(0, "Test", "t", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    g_procTicks = 0;
    ticker.SetTimer(7, 100, &CountTick);
    Script("wait 350\n");
    ticker.RunModalLoop();
    EXPECT_EQ(g_procTicks, 3);
    EXPECT_TRUE(ticker.ticks.empty());
}

TEST_F(InputTest, LeavingATrackedWindowIsReportedOnceBeforeTheNextWindowHearsOfIt) {
    top.tracks = left.tracks = right.tracks = true;
    Move(20, 20);
    Move(120, 20);
    Move(121, 20);
    Move(5, 5);
    Move(500, 500);  // off the window
    EXPECT_EQ(Events(), (std::vector<std::string>{"left move 10,10", "left leave", "right move 20,10",
                                                  "right move 21,10", "right leave", "top move 5,5",
                                                  "top leave"}));
}

TEST_F(InputTest, TrackingOutsideTheWindowReportsLeaveAtOnce) {
    Move(120, 20);
    Events();
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, &left, 0};
    EXPECT_TRUE(TrackMouseEvent(&track));
    EXPECT_EQ(Events(), (std::vector<std::string>{"left leave"}));
}

TEST_F(InputTest, DisabledAndTransparentChildrenLetTheClickThrough) {
    left.EnableWindow(FALSE);
    Mouse(&top, InputEvent::Type::MouseDown, 20, 20);
    Mouse(&top, InputEvent::Type::MouseUp, 20, 20);
    class Glass : public CWnd {
    protected:
        LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            return message == WM_NCHITTEST ? HTTRANSPARENT : CWnd::DefWindowProc(message, wParam, lParam);
        }
    } glass;
    ASSERT_TRUE(glass.Create("Test", "", WS_CHILD | WS_VISIBLE, CRect(90, 0, 160, 70), &top, 3));
    glass.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Mouse(&top, InputEvent::Type::MouseDown, 120, 20);
    Mouse(&top, InputEvent::Type::MouseUp, 120, 20);
    EXPECT_EQ(Events(), (std::vector<std::string>{"top down", "top up 20,20", "right down", "right up 20,10"}));
    glass.DestroyWindow();
}

TEST_F(InputTest, TheParentIsAskedForTheCursorFirst) {
    Move(20, 20);
    std::vector<std::string> cursor;
    for (const std::string& e : g_events)
        if (e.find("cursor") != std::string::npos) cursor.push_back(e);
    EXPECT_EQ(cursor, (std::vector<std::string>{"left cursor for left", "top cursor for left"}));
    EXPECT_EQ(offscreen->GetCursor(), LoadStockCursor(IDC_ARROW));
}

TEST_F(InputTest, TopLevelWindowsReachTheDriverWithTheirKindAndOwner) {
    CWnd tip, menu;
    ASSERT_TRUE(tip.CreateEx(0, "tooltips_class32", "", WS_POPUP, CRect(5, 6, 50, 20), &left, 0));
    ASSERT_TRUE(menu.CreateEx(0, "#32768", "", WS_POPUP, CRect(0, 0, 80, 90), &top, 0));
    const auto& windows = offscreen->Windows();
    ASSERT_EQ(windows.count(top.GetDriverWindow()), 1u);
    EXPECT_EQ(CRect(windows.at(top.GetDriverWindow()).rect), CRect(100, 100, 300, 200));
    EXPECT_EQ(windows.at(top.GetDriverWindow()).kind, PopupKind::Dialog);
    EXPECT_EQ(windows.at(tip.GetDriverWindow()).kind, PopupKind::Tooltip);
    EXPECT_EQ(windows.at(tip.GetDriverWindow()).owner, top.GetDriverWindow()) << "owned by the top-level window";
    EXPECT_EQ(windows.at(menu.GetDriverWindow()).kind, PopupKind::Menu);
    const int tipWindow = tip.GetDriverWindow();
    top.DestroyWindow();  // takes the windows it owns along
    EXPECT_EQ(tip.m_hWnd, nullptr);
    EXPECT_EQ(menu.m_hWnd, nullptr);
    EXPECT_EQ(windows.count(tipWindow), 0u);
}

TEST_F(InputTest, ParentsPaintBeforeTheChildrenAboveThem) {
    top.colour = RGB(255, 0, 0);
    top.Invalidate();
    right.ShowWindow(SW_HIDE);
    WindowManager::Instance().PaintAll();
    EXPECT_EQ(g_events, (std::vector<std::string>{"top paint", "left paint"})) << "hidden windows do not paint";
    const Surface& pixels = *top.GetSurface();
    EXPECT_EQ(pixels.At(20, 20), Surface::FromColorRef(RGB(0, 0, 255)));
    EXPECT_EQ(pixels.At(120, 20), Surface::FromColorRef(RGB(255, 0, 0))) << "where the hidden child was";
    g_events.clear();
    left.Invalidate();
    WindowManager::Instance().PaintAll();
    EXPECT_EQ(g_events, (std::vector<std::string>{"left paint"}));

    // Invalidating while painting is kept for the next pass, not lost.
    g_events.clear();
    left.paintAgain = true;
    left.Invalidate();
    WindowManager::Instance().PaintAll();
    WindowManager::Instance().PaintAll();
    WindowManager::Instance().PaintAll();
    EXPECT_EQ(g_events, (std::vector<std::string>{"left paint", "left paint"}));

    // Redrawing at once paints before the call returns, nothing else.
    g_events.clear();
    left.colour = RGB(0, 255, 0);
    left.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(g_events, (std::vector<std::string>{"left paint"}));
    EXPECT_EQ(pixels.At(20, 20), Surface::FromColorRef(RGB(0, 255, 0)));
    g_events.clear();
    WindowManager::Instance().PaintAll();
    EXPECT_TRUE(g_events.empty());

    // Drawing outside of painting lands in the child's place, clipped to it;
    // a hidden window draws nothing.
    {
        CClientDC dc(&right);
        dc.FillSolidRect(-10, -10, 500, 500, RGB(9, 9, 9));
    }
    EXPECT_EQ(pixels.At(120, 20), Surface::FromColorRef(RGB(255, 0, 0)));
    right.ShowWindow(SW_SHOW);
    WindowManager::Instance().PaintAll();
    {
        CClientDC dc(&right);
        dc.FillSolidRect(-10, -10, 500, 500, RGB(1, 2, 3));
    }
    EXPECT_EQ(pixels.At(100, 10), Surface::FromColorRef(RGB(1, 2, 3)));
    EXPECT_EQ(pixels.At(149, 59), Surface::FromColorRef(RGB(1, 2, 3)));
    EXPECT_EQ(pixels.At(99, 10), Surface::FromColorRef(RGB(255, 0, 0)));
    EXPECT_EQ(pixels.At(150, 60), Surface::FromColorRef(RGB(255, 0, 0)));
}

namespace {

// A message box window as the stock controls build it: an OK button that
// ends its modal loop.
class TestMessageBox : public CWnd {
public:
    static CWnd* Make(CWnd* owner, const std::string& text, const std::string&, UINT) {
        auto* box = new TestMessageBox;
        box->CreateEx(0, "Test", text.c_str(), WS_POPUP, CRect(0, 0, 120, 60), owner, 0);
        CWnd* ok = WindowClassRegistry::CreateObject("TestPush");
        ok->Create("TestPush", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(40, 30, 80, 50), box, IDOK);
        box->m_ok.reset(ok);
        return box;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        EndModalLoop(LOWORD(wParam));
        return TRUE;
    }
    std::unique_ptr<CWnd> m_ok;
};

class MessageBoxTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        WindowClassRegistry::IsRegistered("Button");  // the stock message box is registered first
        MessageBoxService::SetWindowFactory(&TestMessageBox::Make);
    }
    void TearDown() override {
        RegisterStockControls();
        WinTest::TearDown();
    }
};

class Asking : public CDialog {
public:
    explicit Asking(UINT id) : CDialog(id) {}
    int answer = 0;
    bool ownerDisabled = false;
    int focusAfter = 0;

protected:
    void OnAsk() {
        PostMessage(WM_USER + 5);
        answer = AfxMessageBox("Input PDF file is empty.");
        focusAfter = GetFocus() ? GetFocus()->GetDlgCtrlID() : 0;
    }
    LRESULT OnCheck(WPARAM, LPARAM) {
        ownerDisabled = !IsWindowEnabled();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Asking, CDialog)
    ON_BN_CLICKED(5, OnAsk)
    ON_MESSAGE(WM_USER + 5, OnCheck)
END_MESSAGE_MAP()

}  // namespace

TEST_F(MessageBoxTest, AMessageBoxOverADialogIsAnsweredAndGivesTheFocusBack) {
    DialogTemplate t = Dialog(9301, {Item(5, "TestPush", "Ask", 5, 5, 40, 14, WS_TABSTOP),
                                     Item(2, "TestPush", "Cancel", 50, 5, 40, 14, WS_TABSTOP)});
    DialogTemplateRegistry::Add(&t);
    Script("click 5\nkey Tab\nanswer ok\nclick 2\n");
    Asking dialog(9301);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.answer, IDOK);
    EXPECT_TRUE(dialog.ownerDisabled);
    EXPECT_EQ(dialog.focusAfter, 5) << "the focus goes back where it was";
    EXPECT_NE(log.str().find("message box: Input PDF file is empty.\n"), std::string::npos) << log.str();
    DialogTemplateRegistry::Remove(9301);
}
