#include "dialog/CPageImage.h"

#include <utility>

#include "resources/ResourceIds.h"

namespace {
constexpr int kImportRadio = 1017;
constexpr int kVectorizeRadio = 1018;
constexpr int kCenterLineRadio = 1019;
constexpr int kOutlineRadio = 1020;
constexpr int kWhiteRadio = 1021;
constexpr int kBlackRadio = 1022;
constexpr int kIgnoreColorCheck = 1045;
constexpr int kFilePerPageCheck = 1046;
constexpr int kLayoutCheck = 1047;

constexpr int kVectorOptions[] = {kCenterLineRadio, kOutlineRadio,     kWhiteRadio, kBlackRadio,
                                  kIgnoreColorCheck, kFilePerPageCheck, kLayoutCheck};

// Toggling goes by the truth value: a non-zero value from the file becomes 0.
int Toggled(int value) { return value ? 0 : 1; }
UINT CheckOf(bool checked) { return checked ? BST_CHECKED : BST_UNCHECKED; }
}  // namespace

BEGIN_MESSAGE_MAP(CPageImage, CTabPage)
    ON_WM_DESTROY()
    ON_BN_CLICKED(kImportRadio, OnImportDirectly)
    ON_BN_CLICKED(kVectorizeRadio, OnVectorize)
    ON_BN_CLICKED(kCenterLineRadio, OnCenterLine)
    ON_BN_CLICKED(kOutlineRadio, OnOutline)
    ON_BN_CLICKED(kWhiteRadio, OnWhite)
    ON_BN_CLICKED(kBlackRadio, OnBlack)
    ON_BN_CLICKED(kIgnoreColorCheck, OnIgnoreColor)
    ON_BN_CLICKED(kFilePerPageCheck, OnFilePerPage)
    ON_BN_CLICKED(kLayoutCheck, OnLayoutPerImage)
END_MESSAGE_MAP()

CPageImage::CPageImage(ImageSettings& settings)
    : CPageImage(settings, ImageSettings::SettingsPath()) {}

CPageImage::CPageImage(ImageSettings& settings, std::string settingsPath)
    : CTabPage(IDD_PAGE_IMAGE), settings_(settings), settingsPath_(std::move(settingsPath)) {
    settings_ = ImageSettings();
    LoadImageSettings();
}

void CPageImage::LoadImageSettings() { settings_.Load(settingsPath_); }

void CPageImage::SaveImageSettings() { settings_.Save(settingsPath_); }

void CPageImage::EnableVectorOptions(int enable) {
    for (int id : kVectorOptions)
        if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable != 0);
}

void CPageImage::EnableLayoutPerImage() {
    if (CWnd* layout = GetDlgItem(kLayoutCheck)) layout->EnableWindow(settings_.appendFile != 0);
}

BOOL CPageImage::OnInitDialog() {
    CTabPage::OnInitDialog();
    EnableVectorOptions(settings_.imageToDwg);
    CheckDlgButton(kImportRadio, CheckOf(settings_.imageToDwg == 0));
    CheckDlgButton(kVectorizeRadio, CheckOf(settings_.imageToDwg != 0));
    CheckDlgButton(kCenterLineRadio, CheckOf(settings_.lineType != 0));
    CheckDlgButton(kOutlineRadio, CheckOf(settings_.lineType == 0));
    CheckDlgButton(kWhiteRadio, CheckOf(settings_.background != 0));
    CheckDlgButton(kBlackRadio, CheckOf(settings_.background == 0));
    CheckDlgButton(kIgnoreColorCheck, CheckOf(settings_.ignoreColor != 0));
    CheckDlgButton(kFilePerPageCheck, CheckOf(settings_.appendFile == 0));
    if (settings_.imageToDwg != 0) EnableLayoutPerImage();
    if (settings_.layoutPerImage != 0) CheckDlgButton(kLayoutCheck, BST_CHECKED);
    return TRUE;
}

void CPageImage::OnDestroy() {
    CTabPage::OnDestroy();
    SaveImageSettings();
}

void CPageImage::OnImportDirectly() {
    settings_.imageToDwg = 0;
    EnableVectorOptions(0);
}

void CPageImage::OnVectorize() {
    settings_.imageToDwg = 1;
    EnableVectorOptions(1);
}

void CPageImage::OnCenterLine() { settings_.lineType = 1; }
void CPageImage::OnOutline() { settings_.lineType = 0; }
void CPageImage::OnWhite() { settings_.background = 1; }
void CPageImage::OnBlack() { settings_.background = 0; }
void CPageImage::OnIgnoreColor() { settings_.ignoreColor = Toggled(settings_.ignoreColor); }

void CPageImage::OnFilePerPage() {
    settings_.appendFile = Toggled(settings_.appendFile);
    EnableLayoutPerImage();
}

void CPageImage::OnLayoutPerImage() { settings_.layoutPerImage = Toggled(settings_.layoutPerImage); }
