#pragma once

// The application object: one per module, reachable through AfxGetApp.

#include <string>

#include "platform/WinTypes.h"

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    std::string m_pszAppName;
    CWnd* m_pMainWnd = nullptr;
};

// The application object constructed last that still exists, or null.
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
