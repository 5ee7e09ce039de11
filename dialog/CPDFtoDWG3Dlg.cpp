#include "dialog/CPDFtoDWG3Dlg.h"

#include <strings.h>

#include <utility>

#include "dialog/CAboutaDlg.h"
#include "dialog/PageRange.h"
#include "preview/WaitCursor.h"
#include "platform/CDataExchange.h"
#include "platform/DisplayScale.h"
#include "platform/GdiDefs.h"
#include "platform/ResourceTable.h"
#include "platform/Shell.h"
#include "resources/ResourceIds.h"

namespace {
constexpr int kTabControl = 1001;
constexpr int kPreviewPane = 1030;
constexpr int kPreviousButton = 1002;
constexpr int kNextButton = 1003;
constexpr int kPageLabel = 1004;
constexpr int kCountLabel = 1005;
constexpr int kHelpButton = 134;
constexpr int kTitleLabel = 1039;
constexpr int kDescriptionLabel = 1040;
constexpr int kOpenLink = 1044;
constexpr UINT kAboutCommand = 114;
constexpr UINT kHelpCommand = 116;

constexpr int kGeneralTab = 0;
constexpr int kAdvancedTab = 1;

// On the 96-dpi layout; the screen's scale applies to them.
constexpr int kTabPictures = 3;  // side by side in the tab bitmap, each a square
constexpr int kTabPictureSize = 16;
constexpr int kPageInset = 3;    // the pages inside the tab control's display area
constexpr int kStepIconSize = 32;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr COLORREF kLinkGrey = RGB(128, 128, 128);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
}  // namespace

BEGIN_MESSAGE_MAP(CPDFtoDWG3Dlg, CDialog)
    ON_WM_CREATE()
    ON_WM_QUERYDRAGICON()
    ON_NOTIFY(TCN_SELCHANGE, kTabControl, OnTabSelChange)
    ON_BN_CLICKED(kPreviousButton, OnPreviousButton)
    ON_BN_CLICKED(kNextButton, OnNextButton)
    ON_STN_CLICKED(kOpenLink, OnOpenLink)
    ON_COMMAND(kAboutCommand, OnAbout)
    ON_COMMAND(kHelpCommand, OnHelp)
END_MESSAGE_MAP()

CPDFtoDWG3Dlg::CPDFtoDWG3Dlg(CWnd* parent)
    : CDialog(IDD_CONVERTER, parent),
      generalPage_(options_),
      imagePage_(options_.imageOptions),
      drawingPage_(options_) {}

CPDFtoDWG3Dlg::CPDFtoDWG3Dlg(CWnd* parent, std::string imageSettingsPath)
    : CDialog(IDD_CONVERTER, parent),
      generalPage_(options_),
      imagePage_(options_.imageOptions, std::move(imageSettingsPath)),
      drawingPage_(options_) {}

CPDFtoDWG3Dlg::~CPDFtoDWG3Dlg() {
    if (linkCursor_) DestroyCursor(linkCursor_);
}

void CPDFtoDWG3Dlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, convertButton_);
    DDX_Control(pDX, kOpenLink, openLink_);
    DDX_Control(pDX, kDescriptionLabel, descriptionLabel_);
    DDX_Control(pDX, kTitleLabel, titleLabel_);
    DDX_Control(pDX, kPageLabel, pageLabel_);
    DDX_Control(pDX, kCountLabel, countLabel_);
    DDX_Control(pDX, kPreviousButton, previousButton_);
    DDX_Control(pDX, kNextButton, nextButton_);
    DDX_Control(pDX, kPreviewPane, previewPane_);
    DDX_Control(pDX, kTabControl, tabControl_);
}

int CPDFtoDWG3Dlg::OnCreate(LPCREATESTRUCT createStruct) {
    if (CDialog::OnCreate(createStruct) == -1) return -1;
    // The pages' templates are not visible: all three stay hidden for now.
    generalPage_.Create(IDD_PAGE_GENERAL, this);
    imagePage_.Create(IDD_PAGE_IMAGE, this);
    drawingPage_.Create(IDD_PAGE_DRAWING, this);
    return 0;
}

BOOL CPDFtoDWG3Dlg::OnInitDialog() {
    CDialog::OnInitDialog();
    DecorateLabels();
    SetUpTabs();
    DecorateStepButtons();
    convertButton_.SetFlat(FALSE, TRUE);
    convertButton_.SetBitmapImages(IDB_CONVERT, kWhite, 0, 0);
    previousButton_.EnableWindow(FALSE);
    nextButton_.EnableWindow(FALSE);
    DecorateHelpButton();
    pageLabel_.SetBold(1);
    countLabel_.SetBold(1);
    DecorateOpenLink();
    return TRUE;
}

void CPDFtoDWG3Dlg::DecorateLabels() {
    // The banner labels stay hidden; they are dressed all the same.
    titleLabel_.SetPointSize(14);
    titleLabel_.SetBold(1);
    titleLabel_.SetBackground(kWhite, 0, 0);
    descriptionLabel_.SetBackground(kWhite, 0, 0);
    titleLabel_.SetFaceName("Arial", 0);
    descriptionLabel_.SetFaceName("Arial", 0);
}

void CPDFtoDWG3Dlg::SetUpTabs() {
    CBitmap strip;
    strip.LoadBitmap(IDB_TABS);
    // The pictures take their size from the strip as loaded, which is drawn
    // for the screen's scale.
    const int picture = strip.IsCreated() ? int(strip.GetSize().cx) / kTabPictures : DisplayScale::Scale(kTabPictureSize);
    tabImages_.Create(picture, picture, ILC_COLOR32 | ILC_MASK, 1, 3);
    tabImages_.Add(&strip, kWhite);
    tabControl_.SetImageList(&tabImages_);
    tabControl_.InsertItem(kGeneralTab, "General", 0);
    tabControl_.InsertItem(kAdvancedTab, "Advanced", 2);

    CRect item;
    tabControl_.GetItemRect(0, &item);
    CRect page;
    tabControl_.GetWindowRect(&page);
    ScreenToClient(&page);
    const int inset = DisplayScale::Scale(kPageInset);
    page.left += inset;
    page.right -= inset;
    page.bottom -= inset;
    page.top += item.Height() + inset;

    generalPage_.MoveWindow(&page);
    generalPage_.ShowWindow(SW_SHOW);
    imagePage_.MoveWindow(&page);
    imagePage_.ShowWindow(SW_HIDE);
    drawingPage_.MoveWindow(&page);
    drawingPage_.ShowWindow(SW_HIDE);
}

void CPDFtoDWG3Dlg::DecorateStepButtons() {
    const int icon = DisplayScale::Scale(kStepIconSize);
    previousButton_.SetIcons(IDI_PREVIOUS_PAGE, icon, icon, 0, 0, 0);
    previousButton_.OffsetColour(CIconButton::BackIn, 30, TRUE);
    previousButton_.SetColour(CIconButton::ForeIn, kGreen, TRUE);
    previousButton_.SetToolTipText("Previous Page", TRUE);

    nextButton_.SetIcons(IDI_NEXT_PAGE, icon, icon, 0, 0, 0);
    nextButton_.SetToolTipText("Next Page", TRUE);
    nextButton_.OffsetColour(CIconButton::BackIn, 30, TRUE);
    nextButton_.SetColour(CIconButton::ForeIn, kGreen, TRUE);
}

void CPDFtoDWG3Dlg::DecorateHelpButton() {
    helpButton_.SubclassDlgItem(kHelpButton, this);
    helpButton_.SetCommandTarget(this);
    helpButton_.SetFaceBitmap(IDB_HELP, kMagenta);
    const ResourceTable& resources = ResourceTable::Instance();
    helpButton_.AppendMenuEntry(kAboutCommand, resources.LoadString(IDS_ABOUT), 0);
    helpButton_.AppendMenuEntry(kHelpCommand, resources.LoadString(IDS_HELP), 0);
}

void CPDFtoDWG3Dlg::DecorateOpenLink() {
    openLink_.SetWebLink(1, 1);
    openLink_.SetForeground(kLinkBlue);
    openLink_.SetUnderline(1);
    if (!linkCursor_) linkCursor_ = ResourceTable::Instance().LoadCursor(IDC_POINTING_HAND);
    openLink_.SetHoverCursor(linkCursor_);
    SetOpenLinkEnabled(false);
}

void CPDFtoDWG3Dlg::SetOpenLinkEnabled(bool enabled) {
    openLink_.EnableWindow(enabled ? TRUE : FALSE);
    openLink_.SetForeground(enabled ? kLinkBlue : kLinkGrey);
}

void CPDFtoDWG3Dlg::OnTabSelChange(NMHDR*, LRESULT* result) {
    *result = 0;
    switch (tabControl_.GetCurSel()) {
    case kGeneralTab:
        generalPage_.ShowWindow(SW_SHOW);
        imagePage_.ShowWindow(SW_HIDE);
        drawingPage_.ShowWindow(SW_HIDE);
        break;
    case kAdvancedTab:
        generalPage_.ShowWindow(SW_HIDE);
        imagePage_.ShowWindow(SW_HIDE);
        drawingPage_.ShowWindow(SW_SHOW);
        break;
    default:
        break;
    }
}

void CPDFtoDWG3Dlg::LoadDocument(const std::string& path) {
    documentPath_ = path;
    try {
        rasterizer_.ReleaseDocument();
        renderedPages_.clear();
        options_.pageRefs.clear();
        std::string image;
        {
            WaitCursor wait;
            image = RenderPage(documentPath_, 1, pageCount_);
        }
        if (!image.empty()) {
            {
                WaitCursor wait;
                previewPane_.LoadPageImage(image);
            }
            pageLabel_.ChangeText("1");
            countLabel_.ChangeText(std::to_string(pageCount_).c_str());
        }
        currentPage_ = 1;
        previousButton_.EnableWindow(FALSE);
        nextButton_.EnableWindow(pageCount_ > 1 ? TRUE : FALSE);
        SetOpenLinkEnabled(pageCount_ > 0);
    } catch (...) {
        // A failure inside the PDF library or an allocation ends the load
        // quietly; nothing is left open to render from.
        rasterizer_.ReleaseDocument();
    }
}

std::string CPDFtoDWG3Dlg::RenderPage(const std::string& path, int page, int& pageCount) {
    tempDir_ = GetTempDirectory();
    const std::string imagePath = PageRasterizer::PageImagePath(tempDir_, page);
    previewPane_.refWidth = PageRasterizer::kPaperWidth;
    previewPane_.refHeight = PageRasterizer::kPaperHeight;
    if (!rasterizer_.OpenAndRender(path, page, previewPane_.GetDrawRect(), imagePath, pageCount))
        return std::string();
    renderedPages_.push_back(imagePath);
    return imagePath;
}

void CPDFtoDWG3Dlg::ShowPage(int page) {
    const std::string imagePath = PageRasterizer::PageImagePath(tempDir_, page);
    if (FindRenderedPage(imagePath)) {
        previewPane_.LoadPageImage(imagePath);
        pageLabel_.ChangeText(std::to_string(page).c_str());
        return;
    }
    {
        WaitCursor wait;
        if (rasterizer_.IsOpen()) rasterizer_.Render(page, previewPane_.GetDrawRect(), imagePath);
        renderedPages_.push_back(imagePath);
        previewPane_.LoadPageImage(imagePath);
    }
    pageLabel_.ChangeText(std::to_string(page).c_str());
}

bool CPDFtoDWG3Dlg::FindRenderedPage(const std::string& imagePath) const {
    for (const std::string& rendered : renderedPages_)
        if (strcasecmp(rendered.c_str(), imagePath.c_str()) == 0) return true;
    return false;
}

std::optional<PageObjectRef> CPDFtoDWG3Dlg::PageReference(int page) const {
    const auto ref = rasterizer_.PageReference(page);
    if (!ref) return std::nullopt;
    return PageObjectRef{ref->number, ref->generation};
}

void CPDFtoDWG3Dlg::EnableStepButtons() {
    nextButton_.EnableWindow(currentPage_ != pageCount_ ? TRUE : FALSE);
    previousButton_.EnableWindow(currentPage_ != 1 ? TRUE : FALSE);
}

void CPDFtoDWG3Dlg::NextPage() {
    if (currentPage_ >= pageCount_) return;
    ++currentPage_;
    ShowPage(currentPage_);
    EnableStepButtons();
    generalPage_.CurrentPageChanged(currentPage_);
}

void CPDFtoDWG3Dlg::PreviousPage() {
    if (currentPage_ <= 1) return;
    --currentPage_;
    ShowPage(currentPage_);
    EnableStepButtons();
    generalPage_.CurrentPageChanged(currentPage_);
}

void CPDFtoDWG3Dlg::OnPreviousButton() { PreviousPage(); }
void CPDFtoDWG3Dlg::OnNextButton() { NextPage(); }

BOOL CPDFtoDWG3Dlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_DOWN:
        case VK_NEXT:
            NextPage();
            return TRUE;
        case VK_UP:
        case VK_PRIOR:
            PreviousPage();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CPDFtoDWG3Dlg::OnOK() {
    if (converted_) return;
    generalPage_.TakeOverEdits();
    imagePage_.SaveImageSettings();
    // A rejected scale text has been reported by the page; Convert goes on
    // with the previous scale.
    drawingPage_.CollectDrawingOptions();
    options_.pageRefs.clear();
    options_.pageList = ParsePageRange(options_.rangeText, pageCount_);
    options_.pageRefs = CollectPageRefs(options_.rangeMode, options_.pageList, currentPage_, pageCount_,
                                        rasterizer_.IsOpen(),
                                        [this](int page) { return PageReference(page); });
    if (options_.pdfPath.empty()) {
        MessageBox(ResourceTable::Instance().LoadString(IDS_INPUT_EMPTY).c_str(), nullptr, MB_OK);
        return;
    }
    options_.rangeList = BuildRangeList(options_.pageRefs);
    converted_ = 1;
    EndDialog(IDOK);
}

void CPDFtoDWG3Dlg::OnOpenLink() {
    generalPage_.TakeOverEdits();
    if (!options_.pdfPath.empty()) ShellOpen(options_.pdfPath);
}

void CPDFtoDWG3Dlg::OnAbout() {
    CAboutaDlg about(this);
    about.DoModal();
}

void CPDFtoDWG3Dlg::OnHelp() {
    // The help file lies beside this library.
    const std::string library = GetModuleFileName();
    const size_t slash = library.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : library.substr(0, slash + 1);
    ShellOpen(folder + "Velmont64.chm");
}

HCURSOR CPDFtoDWG3Dlg::OnQueryDragIcon() { return windowIcon_; }
