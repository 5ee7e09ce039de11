// Dialogs: templates in dialog units, keyboard navigation, Enter and Escape,
// modal end codes, child dialogs with their key filters, data exchange.

#include "test_win_fixture.h"
#include "platform/CDataExchange.h"
#include "platform/MessageBoxService.h"

namespace {

constexpr UINT kNav = 9101;

// Push 1 (OK), label, edit 10, radios 20..22 (group), label inside the group,
// a second group 30..31, disabled and hidden tab stops, Cancel 2.
DialogTemplate NavigationTemplate() {
    return Dialog(kNav, {
        Item(1, "TestPush", "OK", 5, 5, 40, 14, WS_TABSTOP),
        Item(-1, "TestLabel", "Name:", 5, 25, 40, 8, WS_GROUP),
        Item(10, "TestEdit", "", 50, 25, 60, 12, WS_TABSTOP),
        Item(20, "TestRadio", "A", 5, 45, 40, 10, WS_GROUP | WS_TABSTOP),
        Item(-1, "TestLabel", "between", 50, 45, 40, 8),
        Item(21, "TestRadio", "B", 5, 55, 40, 10),
        Item(22, "TestRadio", "C", 5, 65, 40, 10),
        Item(30, "TestRadio", "X", 100, 45, 40, 10, WS_GROUP),
        Item(31, "TestRadio", "Y", 100, 55, 40, 10),
        Item(40, "TestPush", "Off", 5, 80, 40, 14, WS_TABSTOP | WS_DISABLED),
        DialogItemTemplate{41, "TestPush", "Hidden", 50, 80, 40, 14, WS_TABSTOP, 0, 0, true},
        Item(2, "TestPush", "Cancel", 150, 80, 40, 14, WS_TABSTOP | WS_GROUP),
    });
}

class RecordingDialog : public CDialog {
public:
    explicit RecordingDialog(UINT id, CWnd* parent = nullptr) : CDialog(id, parent) {}
    std::vector<int> commands;
    bool refuseCancel = false;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back(LOWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    void OnCancel() override {
        if (!refuseCancel) CDialog::OnCancel();
    }
};

class DialogTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        navigation = NavigationTemplate();
        DialogTemplateRegistry::Add(&navigation);
    }
    void TearDown() override {
        DialogTemplateRegistry::Remove(kNav);
        WinTest::TearDown();
    }
    DialogTemplate navigation;
};

int FocusId() { return CWnd::GetFocus() ? CWnd::GetFocus()->GetDlgCtrlID() : 0; }

}  // namespace

TEST_F(DialogTest, TemplateFontGivesTheClassicBaseUnits) {
    EXPECT_EQ(CDialog::BaseUnitsOfFont("MS Sans Serif", 8), CSize(6, 13));
    DialogTemplate big = Dialog(9102, {}, WS_POPUP | WS_CAPTION);
    big.cx = 446;
    big.cy = 325;
    CDialog dialog;
    ASSERT_TRUE(dialog.CreateIndirect(&big));
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(669, 528));

    struct Case {
        RECT dlu;
        RECT pixels;
    };
    const Case cases[] = {
        {{0, 0, 4, 8}, {0, 0, 6, 13}},
        {{389, 304, 439, 318}, {584, 494, 659, 517}},  // halves round away from zero
        {{1, 1, 3, 3}, {2, 2, 5, 5}},
        {{-2, -8, 0, 0}, {-3, -13, 0, 0}},
    };
    for (const Case& c : cases) {
        CRect r(c.dlu);
        dialog.MapDialogRect(&r);
        EXPECT_EQ(r, CRect(c.pixels)) << c.dlu.left << "," << c.dlu.top;
    }
    dialog.DestroyWindow();
}

TEST_F(DialogTest, TabVisitsVisibleEnabledTabStopsInTemplateOrder) {
    RecordingDialog dialog(kNav);
    ASSERT_TRUE(dialog.Create(kNav));
    dialog.ShowWindow(SW_SHOW);
    EXPECT_EQ(FocusId(), 1) << "the first tab stop has the focus";
    std::vector<int> forward, backward;
    for (int i = 0; i < 5; ++i) {
        Press(VK_TAB, 0, '\t');
        forward.push_back(FocusId());
    }
    for (int i = 0; i < 5; ++i) {
        Press(VK_TAB, MK_SHIFT, '\t');
        backward.push_back(FocusId());
    }
    EXPECT_EQ(forward, (std::vector<int>{10, 20, 2, 1, 10}));
    EXPECT_EQ(backward, (std::vector<int>{1, 2, 20, 10, 1}));
    EXPECT_TRUE(static_cast<TestEdit*>(dialog.GetDlgItem(10))->allSelected) << "an edit entered by Tab selects all";
    EXPECT_TRUE(static_cast<TestEdit*>(dialog.GetDlgItem(10))->GetWindowText().empty()) << "no tab character typed";
    dialog.DestroyWindow();
}

TEST_F(DialogTest, ArrowsMoveAndCheckWithinARadioGroup) {
    RecordingDialog dialog(kNav);
    ASSERT_TRUE(dialog.Create(kNav));
    dialog.ShowWindow(SW_SHOW);
    dialog.GetDlgItem(20)->SetFocus();
    struct Step {
        UINT key;
        int focus;
    };
    const Step steps[] = {{VK_DOWN, 21}, {VK_RIGHT, 22}, {VK_DOWN, 20}, {VK_UP, 22}, {VK_LEFT, 21}};
    for (const Step& step : steps) {
        Press(step.key);
        EXPECT_EQ(FocusId(), step.focus) << "key " << step.key;
        for (int id = 20; id <= 22; ++id)
            EXPECT_EQ(dialog.IsDlgButtonChecked(id), id == step.focus ? 1u : 0u) << "radio " << id;
    }
    EXPECT_EQ(dialog.IsDlgButtonChecked(30), 0u) << "the next group is left alone";
    dialog.CheckRadioButton(20, 22, 20);
    EXPECT_EQ(std::vector<UINT>({dialog.IsDlgButtonChecked(20), dialog.IsDlgButtonChecked(21),
                                 dialog.IsDlgButtonChecked(22)}),
              std::vector<UINT>({1, 0, 0}));
    // Arrows inside an edit stay with the edit.
    dialog.GetDlgItem(10)->SetFocus();
    Press(VK_DOWN);
    EXPECT_EQ(FocusId(), 10);
    EXPECT_EQ(static_cast<TestEdit*>(dialog.GetDlgItem(10))->keys, std::vector<UINT>{VK_DOWN});
    dialog.DestroyWindow();
}

TEST_F(DialogTest, EnterAndEscapeRunTheDialogCommands) {
    struct Case {
        const char* what;
        int focus;          // control with the focus, 0: none
        bool disableCancel;
        UINT key;
        std::vector<int> commands;
    };
    const Case cases[] = {
        {"Enter in an edit runs the default button", 10, false, VK_RETURN, {1}},
        {"Enter on a push button presses that button", 2, false, VK_RETURN, {2}},
        {"Escape cancels", 10, false, VK_ESCAPE, {2}},
        {"Escape does nothing while Cancel is disabled", 10, true, VK_ESCAPE, {}},
    };
    for (const Case& c : cases) {
        RecordingDialog dialog(kNav);
        dialog.refuseCancel = true;  // keep the window to look at it
        ASSERT_TRUE(dialog.Create(kNav));
        dialog.ShowWindow(SW_SHOW);
        if (c.disableCancel) dialog.GetDlgItem(2)->EnableWindow(FALSE);
        dialog.GetDlgItem(c.focus)->SetFocus();
        const char typed = c.key == VK_RETURN ? '\r' : '\x1b';
        Press(c.key, 0, typed);
        EXPECT_EQ(dialog.commands, c.commands) << c.what;
        EXPECT_EQ(dialog.GetDlgItem(10)->GetWindowText(), "") << c.what << ": no character reaches the edit";
        dialog.DestroyWindow();
    }
}

TEST_F(DialogTest, DefaultPushButtonOfTheTemplateTakesEnter) {
    DialogTemplate t = Dialog(9103, {
        Item(10, "TestEdit", "", 5, 5, 60, 12, WS_TABSTOP),
        Item(7, "TestPush", "Go", 5, 25, 40, 14, WS_TABSTOP | BS_DEFPUSHBUTTON),
    });
    t.items[1].className = "Button";  // the kind decides what a default push button is
    RecordingDialog dialog(0);
    ASSERT_TRUE(dialog.CreateIndirect(&t));
    EXPECT_EQ(LOWORD(dialog.GetDefID()), 7);
    dialog.DestroyWindow();
}

TEST_F(DialogTest, ModalLoopsReturnTheirEndCodes) {
    struct Case {
        const char* script;
        INT_PTR result;
    };
    const Case cases[] = {
        {"click 1\n", IDOK},
        {"click 2\n", IDCANCEL},
        {"key Escape\n", IDCANCEL},
        {"type 10 hello\nkey Enter\n", IDOK},
        {"", IDCANCEL},  // nothing scripted: the run closes the window
    };
    for (const Case& c : cases) {
        Script(c.script);
        RecordingDialog dialog(kNav);
        EXPECT_EQ(dialog.DoModal(), c.result) << c.script;
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
    EXPECT_EQ(RecordingDialog(424242).DoModal(), -1) << "no such template";
}

TEST_F(DialogTest, NestedModalDialogDisablesItsOwnerUntilItEnds) {
    class Outer : public RecordingDialog {
    public:
        Outer() : RecordingDialog(kNav) {}
        INT_PTR inner = 0;
        bool ownerDisabled = false;

    protected:
        BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
            if (LOWORD(wParam) == 1 && inner == 0) {
                RecordingDialog dialog(kNav, this);
                dialog.refuseCancel = false;
                PostMessage(WM_USER + 1);  // looks at the owner while the inner dialog runs
                inner = dialog.DoModal();
                return TRUE;
            }
            return RecordingDialog::OnCommand(wParam, lParam);
        }
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_USER + 1) ownerDisabled = !IsWindowEnabled();
            return RecordingDialog::WindowProc(message, wParam, lParam);
        }
    };
    Script("click 1\nwait 10\nclick 2\nkey Escape\n");
    Outer outer;
    EXPECT_EQ(outer.DoModal(), IDCANCEL);
    EXPECT_EQ(outer.inner, IDCANCEL);
    EXPECT_TRUE(outer.ownerDisabled);
}

namespace {

constexpr UINT kPage = 9104;
constexpr UINT kHost = 9105;

class Page : public CDialog {
public:
    int swallowed = 0;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && (msg->wParam == VK_DOWN || msg->wParam == VK_RETURN)) {
            ++swallowed;
            return TRUE;
        }
        return CDialog::PreTranslateMessage(msg);
    }
};

class Host : public RecordingDialog {
public:
    Host() : RecordingDialog(kHost) {}
    Page page;
    int hostSawDown = 0;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_DOWN) ++hostSawDown;
        return RecordingDialog::PreTranslateMessage(msg);
    }

protected:
    int OnCreate(LPCREATESTRUCT cs) {
        if (CDialog::OnCreate(cs) == -1) return -1;
        page.Create(kPage, this);
        return 0;
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        page.MoveWindow(10, 40, 150, 60);
        page.ShowWindow(SW_SHOW);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Host, RecordingDialog)
    ON_WM_CREATE()
END_MESSAGE_MAP()

}  // namespace

TEST_F(DialogTest, ChildDialogFiltersKeysBeforeItsHostAndJoinsTheTabOrder) {
    DialogTemplate page = Dialog(kPage, {Item(50, "TestEdit", "", 5, 5, 60, 12, WS_TABSTOP)}, WS_CHILD);
    DialogTemplate host = Dialog(kHost, {Item(1, "TestPush", "OK", 5, 5, 40, 14, WS_TABSTOP),
                                         Item(2, "TestPush", "Cancel", 50, 5, 40, 14, WS_TABSTOP)});
    DialogTemplateRegistry::Add(&page);
    DialogTemplateRegistry::Add(&host);
    Host dialog;
    dialog.refuseCancel = true;
    ASSERT_TRUE(dialog.Create(kHost));
    dialog.ShowWindow(SW_SHOW);
    EXPECT_EQ(dialog.page.GetParent(), &dialog);
    EXPECT_FALSE(dialog.GetDlgItem(50)) << "page controls belong to the page";
    EXPECT_EQ(dialog.FindDescendant(50)->GetParent(), &dialog.page);

    std::vector<int> order;
    for (int i = 0; i < 3; ++i) {
        Press(VK_TAB, 0, '\t');
        order.push_back(FocusId());
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2, 50})) << "pages created later are on top and come first";

    // Focus in the page: the page's filter sees Down and Enter first.
    Press(VK_DOWN);
    Press(VK_RETURN, 0, '\r');
    EXPECT_EQ(dialog.page.swallowed, 2);
    EXPECT_EQ(dialog.hostSawDown, 0);
    EXPECT_TRUE(dialog.commands.empty()) << "a swallowed Enter runs no command";
    Press(VK_ESCAPE, 0, '\x1b');
    EXPECT_EQ(dialog.commands, std::vector<int>{IDCANCEL}) << "other keys reach the host's dialog handling";

    dialog.page.ShowWindow(SW_HIDE);
    dialog.GetDlgItem(2)->SetFocus();
    Press(VK_TAB, 0, '\t');
    EXPECT_EQ(FocusId(), 1) << "a hidden page leaves the tab order";
    dialog.DestroyWindow();
    DialogTemplateRegistry::Remove(kPage);
    DialogTemplateRegistry::Remove(kHost);
}

namespace {

class ScaleDialog : public CDialog {
public:
    ScaleDialog() : CDialog(kNav) {}
    double scale = 1.0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 10, scale); }
};

}  // namespace

TEST_F(DialogTest, DoubleExchangeWritesGeneralFormAndRefusesWhatIsNotANumber) {
    ScaleDialog dialog;
    ASSERT_TRUE(dialog.Create(kNav));
    struct Shown {
        double value;
        const char* text;
    };
    const Shown shown[] = {{1.0, "1"}, {0.5, "0.5"}, {-3, "-3"}, {2.5e-7, "2.5e-07"}, {1234567.25, "1234567.25"}, {0.1, "0.1"}};
    for (const Shown& s : shown) {
        dialog.scale = s.value;
        EXPECT_TRUE(dialog.UpdateData(FALSE));
        EXPECT_EQ(dialog.GetDlgItem(10)->GetWindowText(), s.text);
    }
    struct Read {
        const char* text;
        bool accepted;
        double value;
    };
    const Read reads[] = {
        {"2.5", true, 2.5},   {" -3 ", true, -3},   {"+4", true, 4},       {".5", true, 0.5},
        {"5.", true, 5},      {"1e3", true, 1000},  {"0", true, 0},        {"abc", false, 0},
        {"", false, 0},       {"1.5x", false, 0},   {"inf", false, 0},     {"nan", false, 0},
        {"0x10", false, 0},   {"1e999", false, 0},  {"1,5", false, 0},     {"-", false, 0},
        {"1e", false, 0},     {"--1", false, 0},
    };
    for (const Read& r : reads) {
        dialog.scale = 7.0;
        log.str("");
        dialog.GetDlgItem(10)->SetWindowText(r.text);
        if (!r.accepted) Script("answer ok\n");
        EXPECT_EQ(dialog.UpdateData(TRUE) != FALSE, r.accepted) << '"' << r.text << '"';
        if (r.accepted) {
            EXPECT_EQ(dialog.scale, r.value) << '"' << r.text << '"';
            EXPECT_EQ(log.str(), "") << '"' << r.text << '"';
        } else {
            EXPECT_EQ(dialog.scale, 7.0) << '"' << r.text << "\" keeps the old value";
            EXPECT_NE(log.str().find("message box: Please enter a number."), std::string::npos) << r.text;
        }
    }
    dialog.DestroyWindow();
}

TEST_F(DialogTest, StringExchangeGoesBothWays) {
    class TextDialog : public CDialog {
    public:
        TextDialog() : CDialog(kNav) {}
        std::string text = "first";

    protected:
        void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 10, text); }
    };
    TextDialog dialog;
    ASSERT_TRUE(dialog.Create(kNav));
    EXPECT_EQ(dialog.GetDlgItem(10)->GetWindowText(), "first") << "OnInitDialog refreshes the controls";
    dialog.GetDlgItem(10)->SetWindowText("typed by the user");
    EXPECT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(dialog.text, "typed by the user");
    dialog.DestroyWindow();
}
