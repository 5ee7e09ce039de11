#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/CDropDownButton.h"
#include "controls/CIconButton.h"
#include "controls/CLinkLabel.h"
#include "dialog/CPageAdvance.h"
#include "dialog/CPageImage.h"
#include "dialog/CPageMaster.h"
#include "dialog/ConverterHost.h"
#include "dialog/ImportOptions.h"
#include "dialog/PageRange.h"
#include "platform/CDialog.h"
#include "platform/CImageList.h"
#include "preview/CDrawImageStatic.h"
#include "preview/PageRasterizer.h"
#include "platform/CTabCtrl.h"

// The converter window: banner, page preview with its counter and steps, the
// "General" and "Advanced" tabs, Help, Convert and Exit. It ends with IDOK
// after a Convert whose checks passed, or with IDCANCEL.
class CPDFtoDWG3Dlg : public CDialog, public ConverterHost {
public:
    explicit CPDFtoDWG3Dlg(CWnd* parent = nullptr);
    // The same with another image settings file (tests).
    CPDFtoDWG3Dlg(CWnd* parent, std::string imageSettingsPath);
    ~CPDFtoDWG3Dlg() override;

    // The user's choices; complete after the window ended with IDOK.
    ImportOptions& Options() { return options_; }

    // ConverterHost
    int GetCurrentPage() const override { return currentPage_; }
    int GetPageCount() const override { return pageCount_; }
    void LoadDocument(const std::string& path) override;
    void NextPage() override;
    void PreviousPage() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;  // Convert

    int OnCreate(LPCREATESTRUCT createStruct);
    void OnTabSelChange(NMHDR* header, LRESULT* result);
    void OnPreviousButton();
    void OnNextButton();
    void OnOpenLink();
    void OnAbout();
    void OnHelp();
    HCURSOR OnQueryDragIcon();

    DECLARE_MESSAGE_MAP()

private:
    void DecorateLabels();
    void SetUpTabs();
    void DecorateStepButtons();
    void DecorateHelpButton();
    void DecorateOpenLink();
    void EnableStepButtons();
    // The page rasterizer's operations on this window.
    std::string RenderPage(const std::string& path, int page, int& pageCount);
    void ShowPage(int page);
    bool FindRenderedPage(const std::string& imagePath) const;
    std::optional<PageObjectRef> PageReference(int page) const;
    void SetOpenLinkEnabled(bool enabled);

    // Declaration order is construction order.
    int converted_ = 0;
    CImageList tabImages_;
    ImportOptions options_;
    std::vector<std::string> renderedPages_;
    PageRasterizer rasterizer_;  // the open document and its output device
    int currentPage_ = 0;
    int pageCount_ = 0;
    std::string tempDir_;
    CPageMaster generalPage_;
    CPageImage imagePage_;
    CPageAdvance drawingPage_;
    std::string documentPath_;
    CIconButton convertButton_;
    CLinkLabel openLink_;
    CLinkLabel descriptionLabel_;
    CLinkLabel titleLabel_;
    CLinkLabel pageLabel_;
    CLinkLabel countLabel_;
    CDropDownButton helpButton_;
    CIconButton previousButton_;
    CIconButton nextButton_;
    CDrawImageStatic previewPane_;
    CTabCtrl tabControl_;
    HICON windowIcon_ = nullptr;
    HCURSOR linkCursor_ = nullptr;  // the Open link's hover cursor
};
