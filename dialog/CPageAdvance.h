#pragma once

#include "dialog/CTabPage.h"
#include "dialog/ImportOptions.h"

// The "Advanced" page: output scale or "Scale to Fit", fill mode, line widths.
class CPageAdvance : public CTabPage {
public:
    // The page keeps scale, scaleToFit, fillSolid and keepLineWidth of `options`.
    explicit CPageAdvance(ImportOptions& options);

    // At Convert: takes the scale edit over (a text that is not a number is
    // reported and the old scale kept; the result is then false), and makes
    // the scale -1 when "Scale to Fit" is checked.
    bool CollectDrawingOptions();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnScaleToFit();
    void OnSolidEntity();
    void OnOutline();
    void OnKeepWidth();
    void OnThinWidth();

    DECLARE_MESSAGE_MAP()

private:
    void EnableScaleEdit();

    ImportOptions& options_;
};
