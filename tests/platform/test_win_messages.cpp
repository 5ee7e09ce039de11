// Message maps: lookup, inheritance, commands, notifications, reflection to
// controls, the ordinary handling, posting and subclassing.

#include "platform/CBrush.h"
#include "platform/CDC.h"
#include "test_win_fixture.h"

namespace {

std::vector<std::string> g_calls;

class BaseWnd : public CWnd {
public:
    LRESULT defaults = 0;

protected:
    void OnLButtonDown(UINT, CPoint point) {
        g_calls.push_back("base down " + std::to_string(point.x) + "," + std::to_string(point.y));
    }
    LRESULT OnPing(WPARAM wParam, LPARAM) {
        g_calls.push_back("base ping");
        return LRESULT(wParam) * 2;
    }
    void OnHelp() { g_calls.push_back("base command 100"); }
    void OnRange(UINT id) { g_calls.push_back("base range " + std::to_string(id)); }
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 9) {
            ++defaults;
            return 77;
        }
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_USER + 1, OnPing)
    ON_COMMAND(100, OnHelp)
    ON_COMMAND_RANGE(200, 210, OnRange)
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
protected:
    void OnLButtonDown(UINT flags, CPoint point) {
        g_calls.push_back("derived down");
        BaseWnd::OnLButtonDown(flags, point);
    }
    void OnTimer(UINT_PTR id) { g_calls.push_back("derived timer " + std::to_string(id)); }
    void OnKeyDown(UINT key, UINT, UINT) {
        g_calls.push_back("derived key " + std::to_string(key));
        Default();  // the ordinary handling of the kind
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// A control that handles some of what its parent is told about it.
class ReflectingControl : public CWnd {
public:
    BOOL letParentSee = FALSE;

protected:
    void OnClicked() { g_calls.push_back("control clicked"); }
    BOOL OnDoubleClicked() {
        g_calls.push_back("control double-clicked");
        return !letParentSee;
    }
    void OnSelChange(NMHDR* header, LRESULT* result) {
        g_calls.push_back("control notify " + std::to_string(int(header->code)));
        *result = 5;
    }
    HBRUSH CtlColor(CDC*, UINT type) {
        g_calls.push_back("control colour " + std::to_string(type));
        return GetSysColorBrushForTest();
    }
    void DrawItem(LPDRAWITEMSTRUCT item) { g_calls.push_back("control draw " + std::to_string(item->CtlID)); }
    static HBRUSH GetSysColorBrushForTest() {
        static CBrush brush(RGB(1, 2, 3));
        return &brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ReflectingControl, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_CONTROL_REFLECT_EX(BN_DOUBLECLICKED, OnDoubleClicked)
    ON_NOTIFY_REFLECT(TCN_SELCHANGE, OnSelChange)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_DRAWITEM_REFLECT()
END_MESSAGE_MAP()

class ParentWnd : public CWnd {
protected:
    void OnClicked() { g_calls.push_back("parent clicked"); }
    void OnDoubleClicked() { g_calls.push_back("parent double-clicked"); }
    void OnSelChange(NMHDR*, LRESULT* result) {
        g_calls.push_back("parent notify");
        *result = 9;
    }
    void OnOther(NMHDR*, LRESULT*) { g_calls.push_back("parent other notify"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ParentWnd, CWnd)
    ON_BN_CLICKED(7, OnClicked)
    ON_BN_DOUBLECLICKED(7, OnDoubleClicked)
    ON_NOTIFY(TCN_SELCHANGE, 7, OnSelChange)
    ON_NOTIFY(NM_CLICK, 7, OnOther)
END_MESSAGE_MAP()

class MessagesTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        g_calls.clear();
    }
};

}  // namespace

TEST_F(MessagesTest, DerivedEntriesWinAndBaseEntriesAreInherited) {
    DerivedWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "Test", "w", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, -4));
    EXPECT_EQ(wnd.SendMessage(WM_USER + 1, 21), 42);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(205, 0));
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(211, 0));  // outside the range: nobody
    wnd.SendMessage(WM_TIMER, 3);
    wnd.SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"derived down", "base down 3,-4", "base ping",
                                                 "base command 100", "base range 205", "derived timer 3",
                                                 "derived key 40"}));
    // Messages without an entry reach the kind's behaviour.
    EXPECT_EQ(wnd.SendMessage(WM_USER + 9), 77);
    EXPECT_EQ(wnd.defaults, 1);
    wnd.DestroyWindow();
}

TEST_F(MessagesTest, CommandsAndNotificationsAreOfferedToTheControlFirst) {
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "Test", "p", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    ReflectingControl control;
    ASSERT_TRUE(control.Create("Test", "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 7));
    const LPARAM from = reinterpret_cast<LPARAM>(&control);

    struct Case {
        const char* what;
        BOOL letParentSee;
        UINT code;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"plain reflection keeps the click to the control", FALSE, BN_CLICKED, {"control clicked"}},
        {"_EX reflection that declines lets the parent see it", TRUE, BN_DOUBLECLICKED,
         {"control double-clicked", "parent double-clicked"}},
        {"_EX reflection that accepts keeps it", FALSE, BN_DOUBLECLICKED, {"control double-clicked"}},
    };
    for (const Case& c : cases) {
        g_calls.clear();
        control.letParentSee = c.letParentSee;
        parent.SendMessage(WM_COMMAND, MAKEWPARAM(7, c.code), from);
        EXPECT_EQ(g_calls, c.calls) << c.what;
    }

    g_calls.clear();
    NMHDR header{&control, 7, TCN_SELCHANGE};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header)), 5);
    header.code = NM_CLICK;
    parent.SendMessage(WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"control notify " + std::to_string(int(TCN_SELCHANGE)),
                                                 "parent other notify"}));
    parent.DestroyWindow();
}

TEST_F(MessagesTest, OwnerDrawAndColourRequestsReachTheControl) {
    ParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "Test", "p", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    ReflectingControl control;
    ASSERT_TRUE(control.Create("Test", "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 7));
    CWnd plain;
    ASSERT_TRUE(plain.Create("Test", "plain", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 8));

    DRAWITEMSTRUCT item{ODT_BUTTON, 7, 0, ODA_DRAWENTIRE, 0, &control, nullptr, {0, 0, 10, 10}, 0};
    EXPECT_TRUE(parent.SendMessage(WM_DRAWITEM, 7, reinterpret_cast<LPARAM>(&item)));
    CDC dc;
    const LRESULT brush = parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(&dc),
                                             reinterpret_cast<LPARAM>(&control));
    EXPECT_EQ(reinterpret_cast<CBrush*>(brush)->GetColor(), RGB(1, 2, 3));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"control draw 7", "control colour 3"}));

    // A control without its own colours gets the classic ones.
    const LRESULT standard = parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(&dc),
                                                reinterpret_cast<LPARAM>(&plain));
    EXPECT_EQ(reinterpret_cast<CBrush*>(standard)->GetColor(), RGB(212, 208, 200));
    parent.DestroyWindow();
}

TEST_F(MessagesTest, PostedMessagesWaitForTheLoopAndDieWithTheirWindow) {
    DerivedWnd a, b;
    ASSERT_TRUE(a.CreateEx(0, "Test", "a", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    ASSERT_TRUE(b.CreateEx(0, "Test", "b", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    a.PostMessage(WM_TIMER, 1);
    b.PostMessage(WM_TIMER, 2);
    a.PostMessage(WM_TIMER, 3);
    EXPECT_TRUE(g_calls.empty());
    b.DestroyWindow();
    WindowManager::Instance().PumpPending();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"derived timer 1", "derived timer 3"}));
    EXPECT_FALSE(b.PostMessage(WM_TIMER, 4));
    a.DestroyWindow();
}

TEST_F(MessagesTest, SubclassingTakesTheControlsPlace) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "Test", "p", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    CWnd* first = WindowClassRegistry::CreateObject("TestPush");
    ASSERT_TRUE(first->Create("TestPush", "one", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(1, 2, 30, 20), &parent, 11));
    CWnd* second = new CWnd;
    ASSERT_TRUE(second->Create("Test", "two", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &parent, 12));
    first->SetFocus();

    DerivedWnd taker;
    ASSERT_TRUE(taker.SubclassDlgItem(11, &parent));
    delete first;  // released by its creator here; dialogs hand theirs to the framework
    EXPECT_EQ(parent.GetDlgItem(11), &taker);
    EXPECT_EQ(parent.GetChildren(), (std::vector<CWnd*>{second, &taker})) << "keeps its place in the z-order";
    EXPECT_EQ(taker.GetWindowText(), "one");
    EXPECT_TRUE(taker.GetStyle() & WS_TABSTOP);
    CRect rect;
    taker.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(1, 2, 30, 20));
    EXPECT_EQ(CWnd::GetFocus(), &taker);
    taker.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"derived down", "base down 1,1"}));
    EXPECT_FALSE(taker.SubclassDlgItem(12, &parent)) << "an object binds once";
    EXPECT_FALSE(DerivedWnd().SubclassDlgItem(99, &parent)) << "no such control";

    parent.DestroyWindow();
    EXPECT_EQ(taker.m_hWnd, nullptr);
    delete second;  // not framework-owned

    // A top-level window keeps its single place among the top-level windows.
    CWnd plain;
    ASSERT_TRUE(plain.CreateEx(0, "Test", "top", WS_POPUP | WS_VISIBLE, CRect(0, 0, 20, 20), nullptr, 0));
    DerivedWnd topTaker;
    ASSERT_TRUE(topTaker.SubclassWindow(&plain));
    EXPECT_EQ(WindowManager::Instance().TopLevels(), std::vector<CWnd*>{&topTaker});
    EXPECT_EQ(plain.m_hWnd, nullptr);
    topTaker.DestroyWindow();
}
