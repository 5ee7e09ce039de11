#pragma once

// The open-file dialog: asks the driver for a file (the offscreen driver's
// script answers with choose-file).

#include <string>

#include "platform/WinUser.h"

class CWnd;

class CFileDialog {
public:
    // lpszFilter: "Description|pattern|...||". Only the open dialog exists:
    // bOpenFileDialog is accepted for the classic signature.
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                const char* lpszFileName = nullptr, DWORD dwFlags = OFN_HIDEREADONLY,
                const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK with a chosen file, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    std::string GetPathName() const { return m_path; }
    std::string GetFileName() const;
    std::string GetFileExt() const;

    DWORD m_flags;

private:
    std::string m_defExt;
    std::string m_fileName;
    std::string m_filter;
    CWnd* m_parent;
    std::string m_path;
};
