#include "dialog/CPageMaster.h"

#include "platform/CDataExchange.h"
#include "platform/CFileDialog.h"
#include "resources/ResourceIds.h"

namespace {
constexpr int kPathEdit = 1032;
constexpr int kBrowseButton = 1006;
constexpr int kAllPagesRadio = 1012;
constexpr int kCurrentPageRadio = 1013;
constexpr int kPagesRadio = 1014;
constexpr int kRangeEdit = 1015;

std::string PageItem(int page) { return std::to_string(page) + ","; }
}  // namespace

BEGIN_MESSAGE_MAP(CPageMaster, CTabPage)
    ON_BN_CLICKED(kBrowseButton, BrowseForPdf)
    ON_BN_CLICKED(kAllPagesRadio, OnAllPages)
    ON_BN_CLICKED(kCurrentPageRadio, OnCurrentPage)
    ON_BN_CLICKED(kPagesRadio, OnPages)
END_MESSAGE_MAP()

CPageMaster::CPageMaster(ImportOptions& options) : CTabPage(IDD_PAGE_GENERAL), options_(options) {}

std::string CPageMaster::AllPagesText(int pageCount) {
    std::string text;
    for (int page = 1; page <= pageCount; ++page) text += PageItem(page);
    return text;
}

void CPageMaster::DoDataExchange(CDataExchange* pDX) {
    CTabPage::DoDataExchange(pDX);
    DDX_Text(pDX, kPathEdit, options_.pdfPath);
    DDX_Text(pDX, kRangeEdit, options_.rangeText);
}

void CPageMaster::RefreshEdits() { UpdateData(FALSE); }

void CPageMaster::TakeOverEdits() { UpdateData(TRUE); }

BOOL CPageMaster::OnInitDialog() {
    CTabPage::OnInitDialog();
    RefreshEdits();
    CheckRadioButton(kAllPagesRadio, kPagesRadio, kAllPagesRadio);
    EnableRangeEdit(false);
    return TRUE;
}

void CPageMaster::EnableRangeEdit(bool enable) {
    if (CWnd* edit = GetDlgItem(kRangeEdit)) edit->EnableWindow(enable ? TRUE : FALSE);
}

void CPageMaster::BrowseForPdf() {
    CFileDialog dialog(TRUE, "*.PDF", nullptr, OFN_HIDEREADONLY, "Adobe PDF files (*.PDF)|*.PDF||",
                       GetActiveWindow());
    if (dialog.DoModal() != IDOK) return;
    options_.pdfPath = dialog.GetPathName();
    ConverterHost* host = Host();
    int pageCount = 0;
    if (host) {
        host->LoadDocument(options_.pdfPath);
        pageCount = host->GetPageCount();
    }
    // A list the user typed is replaced: the new document has other pages.
    options_.rangeText = options_.rangeMode == ImportOptions::CurrentPage ? PageItem(1)
                                                                          : AllPagesText(pageCount);
    RefreshEdits();
}

void CPageMaster::OnAllPages() {
    const int pageCount = Host() ? Host()->GetPageCount() : 0;
    options_.rangeMode = ImportOptions::AllPages;
    EnableRangeEdit(false);
    options_.rangeText = AllPagesText(pageCount);
    RefreshEdits();
}

void CPageMaster::OnCurrentPage() {
    const int page = Host() ? Host()->GetCurrentPage() : 0;
    options_.rangeMode = ImportOptions::CurrentPage;
    EnableRangeEdit(false);
    CurrentPageChanged(page);
}

void CPageMaster::OnPages() {
    // The text stays, so that after "All pages" the full list is ready to edit.
    options_.rangeMode = ImportOptions::PageList;
    EnableRangeEdit(true);
}

void CPageMaster::CurrentPageChanged(int page) {
    if (options_.rangeMode != ImportOptions::CurrentPage) return;
    options_.rangeText = PageItem(page);
    RefreshEdits();
}
