#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "platform/CDialog.h"
#include "platform/CFileDialog.h"
#include "platform/FileTypeFilter.h"
#include "platform/OffscreenDriver.h"
#include "platform/PortalFileChooser.h"
#include "platform/WindowManager.h"
#include "test_filedlg_bus.h"

namespace {

const char* kPdfFilter = "Adobe PDF files (*.PDF)|*.PDF||";

TEST(FileUriTest, LocalFileUrisBecomePathsAndEverythingElseIsRefused) {
    struct Case {
        const char* uri;
        bool ok;
        const char* path;
    };
    const Case cases[] = {
        {"file:///tmp/a.pdf", true, "/tmp/a.pdf"},
        {"file:///home/u/My%20Doc%25.pdf", true, "/home/u/My Doc%.pdf"},
        {"FILE:///x/%c3%a9t%C3%A9.pdf", true, "/x/\xc3\xa9t\xc3\xa9.pdf"},
        {"file://localhost/srv/b.pdf", true, "/srv/b.pdf"},
        {"file:///a.pdf#page=2", true, "/a.pdf"},
        {"file://server/share/a.pdf", false, ""},
        {"https://example.invalid/a.pdf", false, ""},
        {"file:", false, ""},
        {"file://", false, ""},
        {"file:///bad%zzescape", false, ""},
        {"file:///cut%2", false, ""},
        {"file:///nul%00byte.pdf", false, ""},
    };
    for (const Case& c : cases) {
        std::string path = "unchanged";
        EXPECT_EQ(PortalFileChooser::PathFromFileUri(c.uri, path), c.ok) << c.uri;
        EXPECT_EQ(path, c.ok ? c.path : "unchanged") << c.uri;
    }
}

TEST(FileUriTest, RequestPathFollowsTheUniqueNameOfTheConnection) {
    EXPECT_EQ(PortalFileChooser::RequestPath(":1.42", "tok_7"), "/org/freedesktop/portal/desktop/request/1_42/tok_7");
}

TEST(FileTypeFilterTest, PdfFilterTakesPdfFilesInAnyLetterCase) {
    const FileTypeFilter filter = FileTypeFilter::Parse(kPdfFilter);
    ASSERT_EQ(filter.Types().size(), 1u);
    EXPECT_EQ(filter.Types()[0].description, "Adobe PDF files (*.PDF)");
    struct Case {
        const char* name;
        bool matches;
    };
    const Case cases[] = {{"a.pdf", true},   {"B.PDF", true},       {"mixed.PdF", true}, {"a.pdf.bak", false},
                          {"pdf", false},    {"notes.txt", false},  {"a pdf", false},    {"x.y.pdf", true}};
    for (const Case& c : cases) EXPECT_EQ(filter.Matches(0, c.name), c.matches) << c.name;
    EXPECT_FALSE(filter.Matches(1, "a.pdf"));
}

TEST(FileTypeFilterTest, SeveralTypesPatternsAndTheEmptyFilter) {
    const FileTypeFilter filter = FileTypeFilter::Parse("Pictures|*.png; *.JPG|Everything|*.*||");
    ASSERT_EQ(filter.Types().size(), 2u);
    EXPECT_TRUE(filter.Matches(0, "a.jpg"));
    EXPECT_TRUE(filter.Matches(0, "b.PNG"));
    EXPECT_FALSE(filter.Matches(0, "c.gif"));
    EXPECT_TRUE(filter.Matches(1, "no-extension"));
    const FileTypeFilter empty = FileTypeFilter::Parse("");
    ASSERT_EQ(empty.Types().size(), 1u);
    EXPECT_TRUE(empty.Matches(0, "anything"));
    EXPECT_EQ(FileTypeFilter::AnyCaseGlob("*.pdf"), "*.[pP][dD][fF]");
    EXPECT_EQ(FileTypeFilter::AnyCaseGlob("[ab]*.x1"), "[ab]*.[xX]1");
    EXPECT_EQ(FileTypeFilter::ExtensionOf("*.PDF"), "PDF");
    EXPECT_EQ(FileTypeFilter::ExtensionOf(".txt"), "txt");
    EXPECT_EQ(FileTypeFilter::ExtensionOf("*.*"), "");
}

// The portal itself, on a private bus with the fake chooser.
class PortalTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (access("/usr/bin/dbus-daemon", X_OK) != 0) GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_TRUE(bus_.Start());
        request_.title = "Open";
        request_.filter = FileTypeFilter::Parse(kPdfFilter);
    }
    PortalFileChooser::Outcome Ask(std::string& path, std::string& error,
                                   const PortalFileChooser::IdleHandler& idle = nullptr) {
        PortalFileChooser chooser;
        if (!chooser.Connect(error)) return PortalFileChooser::Outcome::Failed;
        return chooser.OpenFile(request_, path, error, idle);
    }

    PrivateSessionBus bus_;
    PortalFileChooser::Request request_;
};

TEST_F(PortalTest, ChosenUriComesBackAsAPathAndTheRequestCarriesThePdfFilter) {
    ASSERT_TRUE(bus_.StartChooser({"choose", "file:///tmp/My%20Doc.pdf"}));
    request_.currentFolder = "/tmp";
    std::string path, error;
    EXPECT_EQ(Ask(path, error), PortalFileChooser::Outcome::Chosen) << error;
    EXPECT_EQ(path, "/tmp/My Doc.pdf");
    const std::string record = bus_.Record();
    EXPECT_NE(record.find("parent=\ntitle=Open\n"), std::string::npos) << record;
    EXPECT_NE(record.find("modal=true\n"), std::string::npos) << record;
    EXPECT_NE(record.find("multiple=false\n"), std::string::npos) << record;
    EXPECT_NE(record.find("filter=Adobe PDF files (*.PDF):0/*.PDF,0/*.[pP][dD][fF],\n"), std::string::npos) << record;
    EXPECT_NE(record.find("current_filter=Adobe PDF files (*.PDF):"), std::string::npos) << record;
    EXPECT_NE(record.find("current_folder=/tmp\n"), std::string::npos) << record;
    EXPECT_NE(record.find("handle_token=pdfimport"), std::string::npos) << record;
}

TEST_F(PortalTest, AnswersOtherThanAChoice) {
    struct Case {
        std::vector<std::string> mode;
        PortalFileChooser::Outcome outcome;
        const char* errorPart;
    };
    const Case cases[] = {
        {{"cancel"}, PortalFileChooser::Outcome::Cancelled, ""},
        {{"vanish"}, PortalFileChooser::Outcome::Failed, "stopped"},
        {{"refuse"}, PortalFileChooser::Outcome::Failed, "refused by the test"},
        {{"choose", "https://example.invalid/a.pdf"}, PortalFileChooser::Outcome::Failed, "not a local file"},
        {{"own-handle", "file:///srv/x.pdf"}, PortalFileChooser::Outcome::Chosen, ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(bus_.StartChooser(c.mode)) << c.mode[0];
        std::string path, error;
        EXPECT_EQ(Ask(path, error), c.outcome) << c.mode[0];
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.mode[0] << ": " << error;
        if (c.outcome != PortalFileChooser::Outcome::Chosen) {
            EXPECT_EQ(path, "") << c.mode[0];
        }
        bus_.StopChooser();
    }
}

TEST_F(PortalTest, GivingUpWhileTheChooserIsOpenClosesItsRequest) {
    ASSERT_TRUE(bus_.StartChooser({"silent"}));
    int idleCalls = 0;
    std::string path, error;
    EXPECT_EQ(Ask(path, error, [&idleCalls]() { return ++idleCalls < 5; }), PortalFileChooser::Outcome::Cancelled);
    EXPECT_EQ(idleCalls, 5);
    // The chooser hears of it (give it a moment to write).
    for (int i = 0; i < 100 && bus_.Record().find("closed=") == std::string::npos; ++i) usleep(20000);
    EXPECT_NE(bus_.Record().find("closed=/org/freedesktop/portal/desktop/request/"), std::string::npos);
}

TEST_F(PortalTest, AvailableOnlyWhileTheServiceOwnsItsName) {
    PortalFileChooser chooser;
    std::string error;
    ASSERT_TRUE(chooser.Connect(error)) << error;
    EXPECT_FALSE(chooser.IsAvailable());
    ASSERT_TRUE(bus_.StartChooser({"cancel"}));
    EXPECT_TRUE(chooser.IsAvailable());
}

TEST(PortalConnectTest, NoSessionBusIsAFailureWithAReason) {
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/filedlg-bus");
    PortalFileChooser chooser;
    std::string path, error;
    EXPECT_EQ(chooser.OpenFile(PortalFileChooser::Request(), path, error, nullptr), PortalFileChooser::Outcome::Failed);
    EXPECT_NE(error.find("session bus"), std::string::npos) << error;
}

// The choice CFileDialog makes, with a driver that claims a display.
class DisplayDriver : public OffscreenDriver {
public:
    explicit DisplayDriver(std::ostream& log) : OffscreenDriver(log) {}
    bool IsDisplay() const override { return true; }
    std::string DesktopWindowId(int window) const override { return "x11:" + std::to_string(window + 0x400000); }
    int polls = 0;
    int closeAtPoll = -1;  // the look that finds the user closing our window
    CWnd* watched = nullptr;
    bool watchedEnabledWhileWaiting = false;
    // A look at the desktop's input finds none: the script is for our own
    // windows only.
    bool WaitEvent(InputEvent& event, int64_t deadlineMs) override {
        if (deadlineMs >= 0 && deadlineMs <= NowMs() + 1) {
            ++polls;
            if (watched && watched->IsWindowEnabled()) watchedEnabledWhileWaiting = true;
            if (polls != closeAtPoll) return false;
            event = InputEvent();
            event.type = InputEvent::Type::Close;
            return true;
        }
        return OffscreenDriver::WaitEvent(event, deadlineMs);
    }
};

class FileDialogChoiceTest : public PortalTest {
protected:
    void SetUp() override {
        PortalTest::SetUp();
        if (IsSkipped()) return;
        auto driver = std::make_unique<DisplayDriver>(log_);
        driver_ = driver.get();
        WindowManager::Instance().UseDriver(std::move(driver));
        unsetenv("PDFIMPORT_FILE_DIALOG");
        oldCerr_ = std::cerr.rdbuf(cerr_.rdbuf());
    }
    void TearDown() override {
        if (oldCerr_) std::cerr.rdbuf(oldCerr_);
        unsetenv("PDFIMPORT_FILE_DIALOG");
    }

    std::ostringstream log_;
    std::ostringstream cerr_;
    std::streambuf* oldCerr_ = nullptr;
    DisplayDriver* driver_ = nullptr;
};

TEST_F(FileDialogChoiceTest, KindFollowsTheVariableTheDriverAndTheBus) {
    std::ostringstream notices;
    EXPECT_EQ(CFileDialog::ChooseKind(*driver_, notices), CFileDialog::Kind::Builtin);
    ASSERT_TRUE(bus_.StartChooser({"cancel"}));
    EXPECT_EQ(CFileDialog::ChooseKind(*driver_, notices), CFileDialog::Kind::Portal);
    OffscreenDriver offscreen(log_);
    EXPECT_EQ(CFileDialog::ChooseKind(offscreen, notices), CFileDialog::Kind::Scripted);
    setenv("PDFIMPORT_FILE_DIALOG", "builtin", 1);
    EXPECT_EQ(CFileDialog::ChooseKind(*driver_, notices), CFileDialog::Kind::Builtin);
    setenv("PDFIMPORT_FILE_DIALOG", "portal", 1);
    EXPECT_EQ(CFileDialog::ChooseKind(offscreen, notices), CFileDialog::Kind::Portal);
    EXPECT_EQ(notices.str(), "");
    setenv("PDFIMPORT_FILE_DIALOG", "kde", 1);
    EXPECT_EQ(CFileDialog::ChooseKind(offscreen, notices), CFileDialog::Kind::Scripted);
    EXPECT_NE(notices.str().find("PDFIMPORT_FILE_DIALOG=kde: unknown"), std::string::npos);
}

TEST_F(FileDialogChoiceTest, OnADisplayThePortalAnswers) {
    ASSERT_TRUE(bus_.StartChooser({"choose", "file:///srv/plans/site%201.pdf"}));
    CFileDialog dialog(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, kPdfFilter);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "/srv/plans/site 1.pdf");
    EXPECT_EQ(dialog.GetFileName(), "site 1.pdf");
}

TEST_F(FileDialogChoiceTest, CancelInThePortalChangesNothing) {
    ASSERT_TRUE(bus_.StartChooser({"cancel"}));
    CFileDialog dialog(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, kPdfFilter);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.GetPathName(), "");
}

TEST_F(FileDialogChoiceTest, ClosingOurWindowWhileTheChooserIsOpenCancelsIt) {
    ASSERT_TRUE(bus_.StartChooser({"silent"}));
    // The owner takes no input while the chooser is open, and does again after.
    DialogTemplate ownerTemplate{0, "Owner", WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT, 0, 10, 10, 100, 60,
                                 "MS Sans Serif", 8, {}};
    CDialog owner;
    ASSERT_TRUE(owner.CreateIndirect(&ownerTemplate, nullptr));
    driver_->watched = &owner;
    driver_->closeAtPoll = 3;
    CFileDialog dialog(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, kPdfFilter, &owner);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_NE(bus_.Record().find("parent=x11:" + std::to_string(owner.GetDriverWindow() + 0x400000) + "\n"),
              std::string::npos) << bus_.Record();
    EXPECT_FALSE(driver_->watchedEnabledWhileWaiting);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(driver_->polls, 4);  // the look that finds the close, then one that finds nothing more
    for (int i = 0; i < 100 && bus_.Record().find("closed=") == std::string::npos; ++i) usleep(20000);
    EXPECT_NE(bus_.Record().find("closed="), std::string::npos);
}

TEST_F(FileDialogChoiceTest, WithoutAPortalTheBuiltInDialogOpens) {
    char file[] = "/tmp/filedlg-choice-XXXXXX.pdf";
    const int fd = mkstemps(file, 4);
    ASSERT_GE(fd, 0);
    close(fd);
    driver_->LoadScriptText(std::string("type 1122 ") + file + "\nkey Enter\n");
    CFileDialog dialog(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, kPdfFilter);
    EXPECT_EQ(dialog.DoModal(), IDOK) << log_.str();
    EXPECT_EQ(dialog.GetPathName(), file);
    unlink(file);
}

TEST_F(FileDialogChoiceTest, ForcedPortalThatFailsCancelsWithAMessage) {
    setenv("PDFIMPORT_FILE_DIALOG", "portal", 1);
    // Without a chooser on the bus, and with a chooser that refuses.
    CFileDialog missing(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, kPdfFilter);
    EXPECT_EQ(missing.DoModal(), IDCANCEL);
    ASSERT_TRUE(bus_.StartChooser({"refuse"}));
    CFileDialog refused(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, kPdfFilter);
    EXPECT_EQ(refused.DoModal(), IDCANCEL);
    EXPECT_EQ(refused.GetPathName(), "");
    EXPECT_NE(cerr_.str().find("file chooser cannot be used"), std::string::npos) << cerr_.str();
    EXPECT_NE(cerr_.str().find("refused by the test"), std::string::npos) << cerr_.str();
}

}  // namespace
