// The offscreen driver's script: parsing, reporting malformed lines, acting
// on the active window, and ending every run.

#include <fstream>
#include <iterator>

#include "platform/CFileDialog.h"
#include "platform/ScriptParser.h"
#include "platform/ScriptPlayer.h"
#include "test_win_fixture.h"

namespace {

constexpr UINT kScripted = 9201;

DialogTemplate ScriptedTemplate() {
    return Dialog(kScripted, {
        Item(1, "TestPush", "OK", 5, 5, 40, 14, WS_TABSTOP),
        Item(7, "TestPush", "Browse", 50, 5, 40, 14, WS_TABSTOP),
        Item(10, "TestEdit", "", 5, 25, 60, 12, WS_TABSTOP),
        Item(2, "TestPush", "Cancel", 100, 5, 40, 14, WS_TABSTOP),
    });
}

class BrowsingDialog : public CDialog {
public:
    BrowsingDialog() : CDialog(kScripted) {}
    std::vector<std::string> chosen;
    bool stubborn = false;  // refuses every way of closing but the last

protected:
    void OnBrowse() {
        CFileDialog files(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, "Adobe PDF files (*.PDF)|*.PDF||", this);
        chosen.push_back(files.DoModal() == IDOK ? files.GetPathName() : "(cancelled)");
    }
    void OnCancel() override {
        if (!stubborn) CDialog::OnCancel();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BrowsingDialog, CDialog)
    ON_BN_CLICKED(7, OnBrowse)
END_MESSAGE_MAP()

class ScriptTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        scripted = ScriptedTemplate();
        DialogTemplateRegistry::Add(&scripted);
    }
    void TearDown() override {
        DialogTemplateRegistry::Remove(kScripted);
        WinTest::TearDown();
    }
    static std::string TempPath(const std::string& name) {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/pdfimport_test_win_" + name;
    }
    DialogTemplate scripted;
};

}  // namespace

TEST(ScriptParserTest, ReadsEachCommandAndRefusesMalformedLines) {
    using K = ScriptAction::Kind;
    struct Case {
        const char* line;
        bool ok;
        K kind;
        int value;
        std::string text;
    };
    const Case cases[] = {
        {"click 1002", true, K::Click, 1002, ""},
        {"  CLICK 5  # the Next button", true, K::Click, 5, ""},
        {"type 1032 /tmp/a b#c.pdf", true, K::Type, 1032, "/tmp/a b#c.pdf"},
        {"type 1005 ", true, K::Type, 1005, ""},
        {"key PageDown", true, K::Key, int(VK_NEXT), ""},
        {"key Enter", true, K::Key, int(VK_RETURN), "\r"},
        {"key x", true, K::Key, 'X', "x"},
        {"tab 1", true, K::Tab, 1, ""},
        {"menu 114", true, K::Menu, 114, ""},
        {"wait 500", true, K::Wait, 500, ""},
        {"choose-file /home/user/My File.pdf", true, K::ChooseFile, 0, "/home/user/My File.pdf"},
        {"snapshot out/converter.png", true, K::Snapshot, 0, "out/converter.png"},
        {"dump tree.txt", true, K::Dump, 0, "tree.txt"},
        {"answer OK", true, K::Answer, 0, "ok"},
        {"click", false, K::Click, 0, ""},
        {"click 12 13", false, K::Click, 0, ""},
        {"click twelve", false, K::Click, 0, ""},
        {"click 99999999999999999999", false, K::Click, 0, ""},
        {"type", false, K::Click, 0, ""},
        {"key Hyper", false, K::Click, 0, ""},
        {"key", false, K::Click, 0, ""},
        {"tab -1", false, K::Click, 0, ""},
        {"wait -5", false, K::Click, 0, ""},
        {"wait 99999999999", false, K::Click, 0, ""},
        {"mouse drag 1 2", false, K::Click, 0, ""},
        {"mouse move 1", false, K::Click, 0, ""},
        {"choose-file", false, K::Click, 0, ""},
        {"answer maybe", false, K::Click, 0, ""},
        {"fly 3", false, K::Click, 0, ""},
    };
    for (const Case& c : cases) {
        ScriptAction action;
        std::string reason;
        const bool ok = ScriptParser::ParseLine(c.line, 3, action, reason);
        EXPECT_EQ(ok, c.ok) << c.line;
        if (!ok) {
            EXPECT_FALSE(reason.empty()) << c.line;
            continue;
        }
        EXPECT_EQ(action.kind, c.kind) << c.line;
        EXPECT_EQ(action.line, 3);
        if (c.kind != K::ChooseFile && c.kind != K::Snapshot && c.kind != K::Dump) {
            EXPECT_EQ(action.value, c.value) << c.line;
        }
        EXPECT_EQ(action.text, c.text) << c.line;
    }
    ScriptAction action;
    std::string reason;
    ASSERT_TRUE(ScriptParser::ParseLine("mouse down -4 30", 1, action, reason));
    EXPECT_EQ(action.mouse, ScriptAction::MouseOp::Down);
    EXPECT_EQ(action.x, -4);
    EXPECT_EQ(action.y, 30);
    ASSERT_TRUE(ScriptParser::ParseLine("choose-file cancel", 1, action, reason));
    EXPECT_TRUE(action.cancel);
    ASSERT_TRUE(ScriptParser::ParseLine("key Shift+Tab", 1, action, reason));
    EXPECT_EQ(action.modifiers, unsigned(MK_SHIFT));
    for (const char* quiet : {"", "   ", "# a comment", "  # indented comment", "\r"})
        EXPECT_FALSE(ScriptParser::ParseLine(quiet, 1, action, reason) || !reason.empty()) << '"' << quiet << '"';
}

TEST(ScriptParserTest, ReportsMalformedLinesWithTheirNumbersAndKeepsTheRest) {
    std::ostringstream errors;
    const auto actions = ScriptParser::Parse("# title\nclick 1\nclick\n\nbogus words\r\nwait 10\n", errors);
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0].line, 2);
    EXPECT_EQ(actions[1].line, 6);
    const std::string text = errors.str();
    EXPECT_NE(text.find("script line 3:"), std::string::npos) << text;
    EXPECT_NE(text.find("script line 5: unknown command bogus"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}

TEST(ScriptParserTest, CharactersTypeWithTheirOwnKeys) {
    struct Case {
        char c;
        unsigned key;
        bool shift;
    };
    // '(' shares its code with the Down arrow: it must be typed as Shift+9.
    const Case cases[] = {{'a', 'A', false}, {'Z', 'Z', true}, {'5', '5', false}, {'(', '9', true},
                          {'&', '7', true},  {'.', 0xBE, false}, {'/', 0xBF, false}, {'-', 0xBD, false},
                          {' ', VK_SPACE, false}, {'\x80', 0, false}};
    for (const Case& c : cases) {
        bool shift = false;
        EXPECT_EQ(ScriptParser::KeyOfCharacter(c.c, shift), c.key) << int(c.c);
        EXPECT_EQ(shift, c.shift) << int(c.c);
    }
}

TEST_F(ScriptTest, ARunEndsWhenTheScriptEndsEvenIfTheWindowRefusesToClose) {
    BrowsingDialog dialog;
    dialog.stubborn = true;
    Script("type 10 abc\n");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(WindowManager::Instance().ActiveModalWindow(), nullptr);
}

TEST_F(ScriptTest, ChooseFileAnswersTheOpenFileDialog) {
    Script("click 7\nchoose-file /data/My Plan.pdf\n"
           "click 7\nwait 200\nchoose-file cancel\n"
           "click 7\nkey Tab\n"
           "choose-file /nowhere.pdf\n"
           "click 2\n");
    BrowsingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.chosen, (std::vector<std::string>{"/data/My Plan.pdf", "(cancelled)", "(cancelled)"}));
    const std::string text = log.str();
    EXPECT_NE(text.find("script line 7: the open-file dialog needs choose-file; cancelled"), std::string::npos) << text;
    EXPECT_NE(text.find("script line 8: no open-file dialog is open"), std::string::npos) << text;
}

TEST_F(ScriptTest, ActionsThatFindNothingAreReportedAndSkipped) {
    scripted.items[2].style |= WS_DISABLED;  // edit 10
    Script("click 555\nanswer ok\ntab 3\nmenu 114\ntype 10 abc\nclick 2\n");
    BrowsingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    const std::string text = log.str();
    for (const char* expected : {"script line 1: no control 555", "script line 2: no message box",
                                 "script line 3: no tab 3", "script line 4: no menu item 114",
                                 "script line 5: control 10 is hidden or disabled"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(ScriptTest, DumpListsTheWindowTreeAndSnapshotWritesAPicture) {
    const std::string dumpPath = TempPath("dump.txt");
    const std::string pngPath = TempPath("snapshot.png");
    std::remove(dumpPath.c_str());
    std::remove(pngPath.c_str());
    Script("type 10 hi there\ndump " + dumpPath + "\nsnapshot " + pngPath + "\n");
    BrowsingDialog dialog;
    dialog.DoModal();

    std::ifstream dump(dumpPath);
    const std::string text((std::istreambuf_iterator<char>(dump)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("0 BrowsingDialog kind=#32770 text=\"Test\" visible=1 enabled=1 checked=0 rect=0,0,300,163\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("  10 TestEdit kind=TestEdit text=\"hi there\" visible=1 enabled=1 checked=0 rect=8,41,98,61\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);

    // The picture shows the window with its classic frame and active caption.
    Surface image;
    CDialog framed;
    DialogTemplate t = ScriptedTemplate();
    t.id = kScripted + 1;
    ASSERT_TRUE(framed.CreateIndirect(&t));
    framed.ShowWindow(SW_SHOW);
    WindowManager::Instance().PaintAll();
    ASSERT_TRUE(ScriptPlayer::Compose(&framed, image));
    EXPECT_EQ(image.Width(), 300 + 2 * 3);
    EXPECT_EQ(image.Height(), 163 + 3 + 19 + 3);
    EXPECT_EQ(image.At(3, 4), Surface::FromColorRef(RGB(10, 36, 106))) << "caption bar";
    EXPECT_EQ(image.At(150, 100), Surface::FromColorRef(RGB(212, 208, 200))) << "dialog face";
    framed.DestroyWindow();

    std::ifstream png(pngPath, std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    std::remove(dumpPath.c_str());
    std::remove(pngPath.c_str());
}

TEST_F(ScriptTest, ScriptFilesThatCannotBeUsedAreReportedAndNotRun) {
    std::ostringstream errors;
    OffscreenDriver driver(errors);
    EXPECT_FALSE(driver.LoadScriptFile(TempPath("does-not-exist.script")));
    const std::string huge = TempPath("huge.script");
    {
        std::ofstream out(huge, std::ios::binary);
        const std::string line(1023, '#');
        for (int i = 0; i < 16 * 1024 + 1; ++i) out << line << '\n';
    }
    EXPECT_FALSE(driver.LoadScriptFile(huge));
    std::remove(huge.c_str());
    const std::string text = errors.str();
    EXPECT_NE(text.find("does-not-exist.script: cannot be read"), std::string::npos) << text;
    EXPECT_NE(text.find("huge.script: larger than 16 MiB; not run"), std::string::npos) << text;

    // Nothing was queued: the driver goes straight to closing.
    InputEvent event;
    ASSERT_TRUE(driver.WaitEvent(event, -1));
    EXPECT_EQ(event.type, InputEvent::Type::Close);
}
