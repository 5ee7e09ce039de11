#pragma once

#include <string>

#include "dialog/CTabPage.h"
#include "dialog/ImportOptions.h"

// The "General" page: the PDF file and which of its pages to import.
class CPageMaster : public CTabPage {
public:
    // The page keeps pdfPath, rangeMode and rangeText of `options`.
    explicit CPageMaster(ImportOptions& options);

    // Edits 1032 and 1015 from the fields, or the fields from the edits.
    void RefreshEdits();
    void TakeOverEdits();

    // The converter window calls this after every page step.
    void CurrentPageChanged(int page);

    // "n," for every page from 1 to pageCount: the text the page writes itself.
    static std::string AllPagesText(int pageCount);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void BrowseForPdf();
    void OnAllPages();
    void OnCurrentPage();
    void OnPages();

    DECLARE_MESSAGE_MAP()

private:
    void EnableRangeEdit(bool enable);

    ImportOptions& options_;
};
