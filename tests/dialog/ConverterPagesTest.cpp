// The tab pages inside a stand-in converter window: their fields, controls,
// key filter and the image options file.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "TempFolder.h"
#include "dialog/CPageAdvance.h"
#include "dialog/CPageImage.h"
#include "dialog/CPageMaster.h"
#include "dialog/ConverterHost.h"
#include "platform/CDialog.h"
#include "platform/CEdit.h"
#include "resources/ConverterResources.h"
#include "resources/ResourceIds.h"

namespace {

// A top-level dialog that stands in for the converter window.
class FakeConverter : public CDialog, public ConverterHost {
public:
    FakeConverter() {
        ConverterResources::Register();
        layout_ = DialogTemplate{9999, "Fake converter", WS_POPUP | WS_CAPTION, 0, 0, 0, 300, 220,
                                 "MS Sans Serif", 8, {}};
        CreateIndirect(&layout_, nullptr);
    }
    ~FakeConverter() override { DestroyWindow(); }

    int GetCurrentPage() const override { return currentPage; }
    int GetPageCount() const override { return pageCount; }
    void LoadDocument(const std::string& path) override { loaded = path; }
    void NextPage() override { ++nextCalls; }
    void PreviousPage() override { ++previousCalls; }

    int currentPage = 0;
    int pageCount = 0;
    int nextCalls = 0;
    int previousCalls = 0;
    std::string loaded;

private:
    DialogTemplate layout_;
};

void Click(CWnd& page, int id) {
    CWnd* button = page.GetDlgItem(id);
    ASSERT_NE(button, nullptr) << id;
    page.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button->GetSafeHwnd()));
}

std::string TextOf(CWnd& page, int id) {
    std::string text;
    page.GetDlgItemText(id, text);
    return text;
}

bool Enabled(CWnd& page, int id) { return page.GetDlgItem(id)->IsWindowEnabled() != FALSE; }

// A key as the message loop would hand it to the focused control.
BOOL PressKey(CWnd& target, UINT key) {
    MSG msg{};
    msg.hwnd = target.GetSafeHwnd();
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    return CWnd::WalkPreTranslateTree(target.GetTopLevelParent()->GetSafeHwnd(), &msg);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct GeneralPageTest : ::testing::Test {
    FakeConverter converter;
    ImportOptions options;
    CPageMaster page{options};
    void SetUp() override { ASSERT_TRUE(page.Create(IDD_PAGE_GENERAL, &converter)); }
};

TEST_F(GeneralPageTest, StartsWithAllPagesAndADisabledRangeEdit) {
    EXPECT_EQ(page.IsDlgButtonChecked(1012), BST_CHECKED);
    EXPECT_FALSE(Enabled(page, 1015));
    EXPECT_EQ(TextOf(page, 1032), "");
}

TEST_F(GeneralPageTest, RadioButtonsWriteTheRangeText) {
    Click(page, 1013);  // before any document: page 0
    EXPECT_EQ(options.rangeText, "0,");
    Click(page, 1012);
    EXPECT_EQ(options.rangeText, "");

    converter.pageCount = 3;
    converter.currentPage = 2;
    Click(page, 1012);
    EXPECT_EQ(options.rangeMode, ImportOptions::AllPages);
    EXPECT_EQ(TextOf(page, 1015), "1,2,3,");
    Click(page, 1014);
    EXPECT_EQ(options.rangeMode, ImportOptions::PageList);
    EXPECT_TRUE(Enabled(page, 1015));
    EXPECT_EQ(TextOf(page, 1015), "1,2,3,") << "the full list stays ready for editing";
    Click(page, 1013);
    EXPECT_EQ(TextOf(page, 1015), "2,");
    EXPECT_FALSE(Enabled(page, 1015));
}

TEST_F(GeneralPageTest, CurrentPageChangedFollowsOnlyInCurrentPageMode) {
    page.CurrentPageChanged(4);
    EXPECT_EQ(options.rangeText, "");
    Click(page, 1013);
    page.CurrentPageChanged(4);
    EXPECT_EQ(TextOf(page, 1015), "4,");
}

TEST_F(GeneralPageTest, RefreshOverwritesUntakenTypingAndTakeOverReadsBoth) {
    page.SetDlgItemText(1032, "/typed/but/not/taken.pdf");
    Click(page, 1012);  // refreshes the edits
    EXPECT_EQ(TextOf(page, 1032), "");
    page.SetDlgItemText(1032, "/plans/site.pdf");
    page.SetDlgItemText(1015, "1,3,5-12");
    page.TakeOverEdits();
    EXPECT_EQ(options.pdfPath, "/plans/site.pdf");
    EXPECT_EQ(options.rangeText, "1,3,5-12");
}

TEST_F(GeneralPageTest, KeyFilterStepsPagesAndSwallowsEnter) {
    CWnd* edit = page.GetDlgItem(1032);
    struct Case {
        UINT key;
        int next, previous;
    } cases[] = {{VK_DOWN, 1, 0}, {VK_NEXT, 1, 0}, {VK_UP, 0, 1}, {VK_PRIOR, 0, 1}, {VK_RETURN, 0, 0}};
    for (const Case& c : cases) {
        converter.nextCalls = converter.previousCalls = 0;
        EXPECT_TRUE(PressKey(*edit, c.key)) << c.key;
        EXPECT_EQ(converter.nextCalls, c.next) << c.key;
        EXPECT_EQ(converter.previousCalls, c.previous) << c.key;
    }
    EXPECT_FALSE(PressKey(*edit, 'A')) << "other keys reach the control";
}

struct DrawingPageTest : ::testing::Test {
    FakeConverter converter;
    ImportOptions options;
    CPageAdvance page{options};
    void SetUp() override { ASSERT_TRUE(page.Create(IDD_PAGE_DRAWING, &converter)); }
};

TEST_F(DrawingPageTest, StartsWithTheDefaults) {
    EXPECT_EQ(TextOf(page, 1005), "1");
    EXPECT_EQ(page.IsDlgButtonChecked(1023), BST_UNCHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(1024), BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(1026), BST_CHECKED);
    EXPECT_TRUE(page.CollectDrawingOptions());
    EXPECT_EQ(options.scale, 1.0);
    EXPECT_EQ(options.fillSolid, 1);
    EXPECT_EQ(options.keepLineWidth, 1);
}

TEST_F(DrawingPageTest, ScaleTextIsTakenWithoutRangeCheck) {
    for (auto [text, value] : {std::pair<const char*, double>{"0.5", 0.5}, {"-3", -3.0}, {"0", 0.0}}) {
        page.SetDlgItemText(1005, text);
        EXPECT_TRUE(page.CollectDrawingOptions()) << text;
        EXPECT_EQ(options.scale, value) << text;
    }
}

TEST_F(DrawingPageTest, TextThatIsNoNumberKeepsTheLastScale) {
    page.SetDlgItemText(1005, "2.5");
    page.CollectDrawingOptions();
    page.SetDlgItemText(1005, "abc");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(page.CollectDrawingOptions());
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("message box: Please enter a number."), std::string::npos) << said;
    EXPECT_EQ(options.scale, 2.5);
}

TEST_F(DrawingPageTest, ScaleToFitGivesMinusOneAndTogglesTheEdit) {
    page.SetDlgItemText(1005, "2.5");
    Click(page, 1023);
    EXPECT_EQ(options.scaleToFit, 1);
    EXPECT_FALSE(Enabled(page, 1005));
    page.CollectDrawingOptions();
    EXPECT_EQ(options.scale, -1.0);
    Click(page, 1023);
    EXPECT_TRUE(Enabled(page, 1005));
    page.CollectDrawingOptions();
    EXPECT_EQ(options.scale, 2.5);
}

TEST_F(DrawingPageTest, RadioButtonsSetTheirFields) {
    Click(page, 1020);
    Click(page, 1027);
    EXPECT_EQ(options.fillSolid, 0);
    EXPECT_EQ(options.keepLineWidth, 0);
    Click(page, 1024);
    Click(page, 1026);
    EXPECT_EQ(options.fillSolid, 1);
    EXPECT_EQ(options.keepLineWidth, 1);
}

struct ImagePageTest : ::testing::Test {
    TempFolder folder;
    FakeConverter converter;
    ImageSettings settings;
    std::string path = folder.Path() + "/ImageSet.dat";

    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
};

TEST_F(ImagePageTest, MissingFileIsWrittenWithTheDefaultsWhenTheWindowGoes) {
    {
        CPageImage page(settings, path);
        ASSERT_TRUE(page.Create(IDD_PAGE_IMAGE, &converter));
        page.DestroyWindow();
    }
    const std::string text = ReadFile(path);
    EXPECT_EQ(text.size(), 85u);
    EXPECT_EQ(text,
              "LineType:1\r\nbackground:1\r\nImageToDWG:0\r\nAppendFile:1\r\nIgnoreColor:1\r\n"
              "LayoutpreImg:0\r\n");
}

TEST_F(ImagePageTest, ControlsFollowTheFileAndClicksToggleByTruth) {
    Write("ImageToDWG:1\nLineType:0\nbackground:0\nAppendFile:0\nLayoutpreImg: 7\n");
    CPageImage page(settings, path);
    ASSERT_TRUE(page.Create(IDD_PAGE_IMAGE, &converter));
    EXPECT_EQ(page.IsDlgButtonChecked(1018), BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(1020), BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(1022), BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(1046), BST_CHECKED);
    EXPECT_EQ(page.IsDlgButtonChecked(1047), BST_CHECKED);
    EXPECT_FALSE(Enabled(page, 1047)) << "one file per page: no layout per image";

    Click(page, 1047);
    EXPECT_EQ(settings.layoutPerImage, 0) << "7 is true, so it toggles to 0";
    Click(page, 1046);
    EXPECT_EQ(settings.appendFile, 1);
    EXPECT_TRUE(Enabled(page, 1047));
    Click(page, 1017);
    EXPECT_EQ(settings.imageToDwg, 0);
    for (int id : {1019, 1020, 1021, 1022, 1045, 1046, 1047}) EXPECT_FALSE(Enabled(page, id)) << id;
    Click(page, 1018);
    for (int id : {1019, 1020, 1021, 1022, 1045, 1046, 1047}) EXPECT_TRUE(Enabled(page, id)) << id;
}

}  // namespace
