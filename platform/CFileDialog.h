#pragma once

// The open-file dialog. Which one the user sees: PDFIMPORT_FILE_DIALOG=portal
// asks only the desktop's file chooser service, =builtin shows our own
// dialog; without a choice, the offscreen driver answers from its script
// (choose-file), and on a real display the desktop's chooser is asked when
// the session bus offers it, else our own dialog is shown.

#include <ostream>
#include <string>

#include "platform/WinUser.h"

class CWnd;
class Driver;

class CFileDialog {
public:
    enum class Kind { Scripted, Portal, Builtin };

    // lpszFilter: "Description|pattern|...||". Only the open dialog exists:
    // bOpenFileDialog is accepted for the classic signature.
    CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr,
                const char* lpszFileName = nullptr, DWORD dwFlags = OFN_HIDEREADONLY,
                const char* lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK with a chosen file, IDCANCEL otherwise; nothing changes on cancel.
    virtual INT_PTR DoModal();
    std::string GetPathName() const { return m_path; }
    std::string GetFileName() const;
    std::string GetFileExt() const;

    // The dialog DoModal shows for this environment and driver; notices
    // (an unknown PDFIMPORT_FILE_DIALOG value) go to `log`.
    static Kind ChooseKind(const Driver& driver, std::ostream& log);

    DWORD m_flags;

private:
    CWnd* Owner() const;
    INT_PTR RunScripted(CWnd* owner);
    // Failed: the chooser could not be used (reason in `error`).
    enum class PortalResult { Chosen, Cancelled, Failed };
    PortalResult RunPortal(CWnd* owner, std::string& error);
    INT_PTR RunBuiltin(CWnd* owner);
    std::string InitialFolder() const;

    std::string m_defExt;
    std::string m_fileName;
    std::string m_filter;
    CWnd* m_parent;
    std::string m_path;
};
