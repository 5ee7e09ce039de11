#pragma once

// Message boxes: the window is built by the stock controls (registered with
// SetWindowFactory); showing it modally and returning the answer is done here.

#include <string>

#include "platform/WinUser.h"

class CWnd;

class MessageBoxService {
public:
    // Builds a message box as a created, hidden top-level window owned by
    // `owner`; its buttons end its modal loop with their IDOK/IDCANCEL/...,
    // closing it ends it with IDCANCEL (IDOK for a box with only OK). The
    // object is the service's: it destroys and deletes it after the answer,
    // so the window must not delete itself.
    typedef CWnd* (*WindowFactory)(CWnd* owner, const std::string& text,
                                   const std::string& caption, UINT type);
    static void SetWindowFactory(WindowFactory factory);

    // Shows the box over `owner` (the active window when null), runs it
    // modally and returns the button chosen.
    static int Run(CWnd* owner, const std::string& text, const std::string& caption, UINT type);
    // True while `wnd` is an open message box.
    static bool IsMessageBox(const CWnd* wnd);
};

int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text of string resource nIDPrompt.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = 0);
