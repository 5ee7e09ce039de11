#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "platform/BuiltinFileDialog.h"
#include "platform/CListBox.h"
#include "platform/FolderListing.h"
#include "platform/OffscreenDriver.h"
#include "platform/WindowManager.h"
#include "test_filedlg_bus.h"

namespace {

const char* kPdfFilter = "Adobe PDF files (*.PDF)|*.PDF||";

// Keeps what the dialog showed when it was cancelled, and lets a test add
// script lines once the dialog is laid out.
class ProbedDialog : public BuiltinFileDialog {
public:
    ProbedDialog() : BuiltinFileDialog(FileTypeFilter::Parse(kPdfFilter), "*.PDF", nullptr) {}

    std::function<void(ProbedDialog&)> onOpen;
    int focusAtOpen = 0;
    bool cancelled = false;
    std::vector<std::string> items;  // at cancel
    std::string typedText;           // at cancel

    BOOL OnInitDialog() override {
        const BOOL result = BuiltinFileDialog::OnInitDialog();
        CWnd* focus = GetFocus();
        focusAtOpen = focus ? focus->GetDlgCtrlID() : 0;
        if (onOpen) onOpen(*this);
        return result;
    }
    void OnCancel() override {
        cancelled = true;
        items = Items();
        GetDlgItemText(IDC_FILE_NAME, typedText);
        BuiltinFileDialog::OnCancel();
    }
    CListBox* List() const { return dynamic_cast<CListBox*>(GetDlgItem(IDC_LIST)); }
    std::vector<std::string> Items() const {
        std::vector<std::string> texts;
        for (int i = 0; i < List()->GetCount(); ++i) {
            std::string text;
            List()->GetText(i, text);
            texts.push_back(text);
        }
        return texts;
    }
    // Where item `index` is, in the dialog's client coordinates.
    CPoint ItemPoint(int index) const {
        const int height = List()->GetItemHeight();
        CPoint point(12, 2 + (index - List()->GetTopIndex()) * height + height / 2);
        List()->ClientToScreen(&point);
        ScreenToClient(&point);
        return point;
    }
    std::string ClickLines(int index, int times) const {
        const CPoint p = ItemPoint(index);
        std::ostringstream lines;
        for (int i = 0; i < times; ++i)
            lines << "mouse down " << p.x << ' ' << p.y << "\nmouse up " << p.x << ' ' << p.y << "\n";
        return lines.str();
    }
};

// A folder tree: PDF files in several letter cases, other files, hidden
// ones, sub-folders, a pipe and links.
class BuiltinDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/filedlg-tree-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        root_ = dir;
        for (const char* file : {"a.pdf", "B.PDF", "c.Pdf", "notes.txt", ".hidden.pdf", "sub/inner.pdf", "sub/readme"})
            Touch(file);
        ASSERT_EQ(mkdir((root_ + "/Zeta").c_str(), 0755), 0);
        ASSERT_EQ(mkfifo((root_ + "/pipe.pdf").c_str(), 0644), 0);
        ASSERT_EQ(symlink("/nonexistent/filedlg", (root_ + "/dead.pdf").c_str()), 0);
        ASSERT_EQ(symlink((root_ + "/sub").c_str(), (root_ + "/linked").c_str()), 0);
        auto driver = std::make_unique<OffscreenDriver>(log_);
        driver_ = driver.get();
        WindowManager::Instance().UseDriver(std::move(driver));
        dialog_.SetInitialFolder(root_);
    }
    void TearDown() override { RemoveTree(root_); }
    void Touch(const std::string& name) {
        const size_t slash = name.find('/');
        if (slash != std::string::npos) mkdir((root_ + "/" + name.substr(0, slash)).c_str(), 0755);
        std::ofstream(root_ + "/" + name) << "%PDF-1.4\n";
    }
    INT_PTR Run(const std::string& script) {
        driver_->LoadScriptText(script);
        return dialog_.DoModal();
    }
    // Runs with the script given once the dialog is laid out.
    INT_PTR RunLaidOut(const std::function<std::string(ProbedDialog&)>& script) {
        dialog_.onOpen = [this, script](ProbedDialog& dialog) { driver_->LoadScriptText(script(dialog)); };
        return dialog_.DoModal();
    }

    std::string root_;
    std::ostringstream log_;
    OffscreenDriver* driver_ = nullptr;
    ProbedDialog dialog_;
};

TEST_F(BuiltinDialogTest, ListsParentFoldersAndOnlyPdfFilesWithTheNameEditFocused) {
    EXPECT_EQ(Run("key Escape\n"), IDCANCEL);
    EXPECT_EQ(dialog_.focusAtOpen, BuiltinFileDialog::IDC_FILE_NAME);
    const std::vector<std::string> expected{"..", "linked/", "sub/", "Zeta/", "a.pdf", "B.PDF", "c.Pdf"};
    EXPECT_EQ(dialog_.items, expected);
    EXPECT_EQ(dialog_.GetPathName(), "");
}

TEST_F(BuiltinDialogTest, TypedPathsAndEnterChooseTheFile) {
    ScopedEnv home("HOME", root_);
    struct Case {
        std::string typed;
        std::string chosen;
    };
    const Case cases[] = {
        {"a.pdf", root_ + "/a.pdf"},
        {root_ + "/sub/inner.pdf", root_ + "/sub/inner.pdf"},
        {"sub/../B.PDF", root_ + "/B.PDF"},
        {"~/c.Pdf", root_ + "/c.Pdf"},
        {"a", root_ + "/a.pdf"},              // the default extension, in either case
        {"sub/inner", root_ + "/sub/inner.pdf"},
        {"notes.txt", root_ + "/notes.txt"},  // typed names are not filtered
    };
    for (const Case& c : cases) {
        ProbedDialog dialog;
        dialog.SetInitialFolder(root_);
        driver_->LoadScriptText("type 1122 " + c.typed + "\nkey Enter\n");
        EXPECT_EQ(dialog.DoModal(), IDOK) << c.typed << "\n" << log_.str();
        EXPECT_EQ(dialog.GetPathName(), c.chosen) << c.typed;
    }
}

TEST_F(BuiltinDialogTest, TypedFolderIsEnteredAndTheEditEmptied) {
    EXPECT_EQ(Run("type 1122 sub\nkey Enter\nkey Escape\n"), IDCANCEL);
    EXPECT_EQ(dialog_.GetFolder(), root_ + "/sub");
    EXPECT_EQ(dialog_.items, (std::vector<std::string>{"..", "inner.pdf"}));
    EXPECT_EQ(dialog_.typedText, "");
}

TEST_F(BuiltinDialogTest, WhatCannotBeOpenedIsToldAndTheDialogStaysOpen) {
    struct Case {
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {"missing.pdf", "/missing.pdf\nFile not found."},
        {"pipe.pdf", "/pipe.pdf\nThis is not a file that can be opened."},
        {"dead.pdf", "/dead.pdf\nFile not found."},
        {"a.pdf/deeper.pdf", "/a.pdf/deeper.pdf\nFile not found."},
    };
    for (const Case& c : cases) {
        log_.str("");
        ProbedDialog dialog;
        dialog.SetInitialFolder(root_);
        driver_->LoadScriptText(std::string("type 1122 ") + c.typed + "\nkey Enter\nanswer ok\ntype 1122 a.pdf\nkey Enter\n");
        EXPECT_EQ(dialog.DoModal(), IDOK) << c.typed;
        EXPECT_EQ(dialog.GetPathName(), root_ + "/a.pdf") << c.typed;
        EXPECT_NE(log_.str().find("message box: " + root_ + c.message), std::string::npos) << log_.str();
    }
}

TEST_F(BuiltinDialogTest, CancelButtonEscapeAndClosingChangeNothing) {
    for (const char* script : {"click 2\n", "key Escape\n", "type 1122 a.pdf\nclick 2\n", ""}) {
        ProbedDialog dialog;
        dialog.SetInitialFolder(root_);
        driver_->LoadScriptText(script);
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << script;
        EXPECT_EQ(dialog.GetPathName(), "") << script;
    }
}

TEST_F(BuiltinDialogTest, KeyboardWalksTheList) {
    // Shift+Tab reaches the list from the name edit.
    struct Case {
        const char* keys;
        INT_PTR result;
        std::string pathOrFolder;
    };
    const Case cases[] = {
        {"key End\nkey Enter\n", IDOK, root_ + "/c.Pdf"},
        {"key Home\nkey Down\nkey Down\nkey Enter\nkey Escape\n", IDCANCEL, root_ + "/sub"},
        {"key Home\nkey Enter\nkey Escape\n", IDCANCEL, FolderListing::Parent(root_)},
        {"key Down\nkey PageDown\nkey PageUp\nkey Down\nkey Enter\nkey Escape\n", IDCANCEL, root_ + "/linked"},
        {"key z\nkey Enter\nkey Escape\n", IDCANCEL, root_ + "/Zeta"},
        {"key Backspace\nkey Escape\n", IDCANCEL, FolderListing::Parent(root_)},
    };
    for (const Case& c : cases) {
        ProbedDialog dialog;
        dialog.SetInitialFolder(root_);
        driver_->LoadScriptText(std::string("key Shift+Tab\n") + c.keys);
        EXPECT_EQ(dialog.DoModal(), c.result) << c.keys;
        EXPECT_EQ(c.result == IDOK ? dialog.GetPathName() : dialog.GetFolder(), c.pathOrFolder) << c.keys;
    }
}

TEST_F(BuiltinDialogTest, ClickPutsTheFileNameInTheEditAndDoubleClickOpens) {
    // Items: 0 "..", 1 linked/, 2 sub/, 3 Zeta/, 4 a.pdf, 5 B.PDF, 6 c.Pdf.
    EXPECT_EQ(RunLaidOut([](ProbedDialog& d) { return d.ClickLines(5, 1) + "click 1\n"; }), IDOK);
    EXPECT_EQ(dialog_.GetPathName(), root_ + "/B.PDF");

    ProbedDialog folder;
    folder.SetInitialFolder(root_);
    folder.onOpen = [this](ProbedDialog& d) { driver_->LoadScriptText(d.ClickLines(2, 2) + "key Escape\n"); };
    EXPECT_EQ(folder.DoModal(), IDCANCEL);
    EXPECT_EQ(folder.GetFolder(), root_ + "/sub");

    ProbedDialog file;
    file.SetInitialFolder(root_);
    file.onOpen = [this](ProbedDialog& d) { driver_->LoadScriptText(d.ClickLines(6, 2)); };
    EXPECT_EQ(file.DoModal(), IDOK);
    EXPECT_EQ(file.GetPathName(), root_ + "/c.Pdf");

    // Two clicks apart in time are two single clicks.
    ProbedDialog slow;
    slow.SetInitialFolder(root_);
    slow.onOpen = [this](ProbedDialog& d) {
        driver_->LoadScriptText(d.ClickLines(2, 1) + "wait 800\n" + d.ClickLines(2, 1) + "key Escape\n");
    };
    EXPECT_EQ(slow.DoModal(), IDCANCEL);
    EXPECT_EQ(slow.GetFolder(), root_);
}

TEST_F(BuiltinDialogTest, FolderThatVanishedOrCannotBeReadKeepsTheDialogWhereItWas) {
    // Zeta is listed, then removed before the user opens it.
    EXPECT_EQ(RunLaidOut([this](ProbedDialog& d) {
                  rmdir((root_ + "/Zeta").c_str());
                  return d.ClickLines(3, 2) + "answer ok\nkey Escape\n";
              }),
              IDCANCEL);
    EXPECT_EQ(dialog_.GetFolder(), root_);
    EXPECT_NE(log_.str().find("message box: " + root_ + "/Zeta\nFile not found."), std::string::npos) << log_.str();

    // An initial folder that does not exist falls back to one that does.
    ProbedDialog fallback;
    fallback.SetInitialFolder(root_ + "/nowhere");
    driver_->LoadScriptText("key Escape\n");
    EXPECT_EQ(fallback.DoModal(), IDCANCEL);
    EXPECT_NE(fallback.GetFolder(), root_ + "/nowhere");
    EXPECT_FALSE(fallback.GetFolder().empty());
}

TEST_F(BuiltinDialogTest, UnreadableFolderIsReportedWhenPermissionsApply) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    ASSERT_EQ(chmod((root_ + "/Zeta").c_str(), 0), 0);
    EXPECT_EQ(Run("type 1122 Zeta\nkey Enter\nanswer ok\nkey Escape\n"), IDCANCEL);
    chmod((root_ + "/Zeta").c_str(), 0755);
    EXPECT_EQ(dialog_.GetFolder(), root_);
    EXPECT_NE(log_.str().find("The folder cannot be opened: Permission denied."), std::string::npos) << log_.str();
}

TEST(FolderListingTest, ReadsFoldersAndFilteredFilesAndReportsFailures) {
    FolderListing listing;
    std::string error;
    EXPECT_FALSE(listing.Read("/nonexistent/filedlg", [](const std::string&) { return true; }, error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(listing.Read("/proc/self/status", [](const std::string&) { return true; }, error));
    EXPECT_EQ(error, "Not a directory");
    EXPECT_TRUE(listing.Entries().empty());
}

TEST(FolderListingTest, PathArithmetic) {
    ScopedEnv home("HOME", "/home/user");
    struct Case {
        const char* base;
        const char* path;
        const char* resolved;
    };
    const Case cases[] = {
        {"/a/b", "c.pdf", "/a/b/c.pdf"},  {"/a/b", "../c", "/a/c"},     {"/a/b", "/x//y/./z", "/x/y/z"},
        {"/a", "../../..", "/"},          {"/a", "~/d.pdf", "/home/user/d.pdf"}, {"/a", "~", "/home/user"},
        {"/a", "~other", "/a/~other"},    {"/", "", "/"},               {"/a/b/", ".", "/a/b"},
    };
    for (const Case& c : cases) EXPECT_EQ(FolderListing::Resolve(c.base, c.path), c.resolved) << c.path;
    EXPECT_EQ(FolderListing::Parent("/a/b"), "/a");
    EXPECT_EQ(FolderListing::Parent("/a"), "/");
    EXPECT_EQ(FolderListing::Parent("/"), "/");
    EXPECT_EQ(FolderListing::Join("/", "x"), "/x");
    EXPECT_EQ(FolderListing::Join("/a", "x"), "/a/x");
}

}  // namespace
