#pragma once

#include <string>

#include "dialog/CTabPage.h"
#include "dialog/ImageSettings.h"

// The image options page: how scanned images are imported. The converter
// window creates it but never shows it; its values live in ImageSet.dat in
// the host program's folder, read when the page is constructed and written
// at Convert and when the page's window is destroyed.
class CPageImage : public CTabPage {
public:
    // Keeps `settings` and loads it from the settings file at once.
    explicit CPageImage(ImageSettings& settings);
    // The same with another settings file (tests).
    CPageImage(ImageSettings& settings, std::string settingsPath);

    void LoadImageSettings();
    void SaveImageSettings();
    // Enables the vectorizing options when `enable` is non-zero.
    void EnableVectorOptions(int enable);

protected:
    BOOL OnInitDialog() override;
    void OnDestroy();

    void OnImportDirectly();
    void OnVectorize();
    void OnCenterLine();
    void OnOutline();
    void OnWhite();
    void OnBlack();
    void OnIgnoreColor();
    void OnFilePerPage();
    void OnLayoutPerImage();

    DECLARE_MESSAGE_MAP()

private:
    void EnableLayoutPerImage();

    ImageSettings& settings_;
    std::string settingsPath_;
};
