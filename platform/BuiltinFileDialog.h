#pragma once

// The open-file dialog of our own, for desktops without a file chooser
// service and for scripted runs: the current folder, a list of its parent,
// sub-folders and the files of the filter, a file name edit that also takes
// typed paths (absolute, relative to the folder shown, or from "~"), Open and
// Cancel. Enter or a double click opens the selected folder or file;
// Backspace in the list goes up one folder. A typed name without extension
// that does not exist gets the default extension. What cannot be opened is
// reported in a message box and the dialog stays open.

#include <string>

#include "platform/CDialog.h"
#include "platform/DialogTemplate.h"
#include "platform/FileTypeFilter.h"
#include "platform/FolderListing.h"

class BuiltinFileDialog : public CDialog {
public:
    enum : int {
        IDC_FOLDER = 1120,     // static: the folder shown
        IDC_LIST = 1121,       // list box: parent, sub-folders, files
        IDC_FILE_NAME = 1122,  // edit: file name or path
        IDC_FILE_TYPE = 1123,  // static: the filter's description
    };

    BuiltinFileDialog(const FileTypeFilter& filter, const std::string& defaultExtension, CWnd* owner);
    ~BuiltinFileDialog() override;

    // The folder shown first; the last folder a file was chosen from in this
    // process, else the working folder, when not set or unreadable.
    void SetInitialFolder(const std::string& folder) { m_initialFolder = folder; }
    // IDOK with GetPathName, or IDCANCEL.
    INT_PTR DoModal() override;
    const std::string& GetPathName() const { return m_path; }
    const std::string& GetFolder() const { return m_folder; }

    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    enum ItemKind : DWORD_PTR { kParent = 0, kFolder = 1, kFile = 2 };

    static DialogTemplate MakeTemplate();
    bool ShowFolder(const std::string& folder, bool reportFailure);
    void FillList();
    void OpenSelected();
    void OpenTyped(const std::string& typed);
    void Choose(const std::string& path);
    void Complain(const std::string& text);
    std::string WithDefaultExtension(const std::string& path) const;

    DialogTemplate m_template;
    FileTypeFilter m_filter;
    std::string m_defaultExtension;
    std::string m_initialFolder;
    std::string m_folder;
    FolderListing m_listing;
    std::string m_path;
};
