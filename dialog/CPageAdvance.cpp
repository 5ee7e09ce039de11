#include "dialog/CPageAdvance.h"

#include "platform/CDataExchange.h"
#include "resources/ResourceIds.h"

namespace {
constexpr int kScaleEdit = 1005;
constexpr int kScaleToFitCheck = 1023;
constexpr int kSolidRadio = 1024;
constexpr int kOutlineRadio = 1020;
constexpr int kKeepWidthRadio = 1026;
constexpr int kThinWidthRadio = 1027;
}  // namespace

BEGIN_MESSAGE_MAP(CPageAdvance, CTabPage)
    ON_BN_CLICKED(kScaleToFitCheck, OnScaleToFit)
    ON_BN_CLICKED(kSolidRadio, OnSolidEntity)
    ON_BN_CLICKED(kOutlineRadio, OnOutline)
    ON_BN_CLICKED(kKeepWidthRadio, OnKeepWidth)
    ON_BN_CLICKED(kThinWidthRadio, OnThinWidth)
END_MESSAGE_MAP()

CPageAdvance::CPageAdvance(ImportOptions& options) : CTabPage(IDD_PAGE_DRAWING), options_(options) {}

void CPageAdvance::DoDataExchange(CDataExchange* pDX) {
    CTabPage::DoDataExchange(pDX);
    DDX_Text(pDX, kScaleEdit, options_.scale);
}

BOOL CPageAdvance::OnInitDialog() {
    CTabPage::OnInitDialog();
    UpdateData(FALSE);
    CheckDlgButton(kScaleToFitCheck, BST_UNCHECKED);
    CheckDlgButton(kSolidRadio, BST_CHECKED);
    CheckDlgButton(kKeepWidthRadio, BST_CHECKED);
    EnableScaleEdit();
    return TRUE;
}

void CPageAdvance::EnableScaleEdit() {
    if (CWnd* edit = GetDlgItem(kScaleEdit)) edit->EnableWindow(options_.scaleToFit == 0);
}

void CPageAdvance::OnScaleToFit() {
    options_.scaleToFit = 1 - options_.scaleToFit;
    EnableScaleEdit();
}

void CPageAdvance::OnSolidEntity() { options_.fillSolid = 1; }
void CPageAdvance::OnOutline() { options_.fillSolid = 0; }
void CPageAdvance::OnKeepWidth() { options_.keepLineWidth = 1; }
void CPageAdvance::OnThinWidth() { options_.keepLineWidth = 0; }

bool CPageAdvance::CollectDrawingOptions() {
    // Taken over whether the edit is enabled or not.
    const bool accepted = UpdateData(TRUE) != FALSE;
    if (options_.scaleToFit == 1) options_.scale = -1.0;
    return accepted;
}
