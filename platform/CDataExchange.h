#pragma once

// Exchange between a dialog's fields and its controls (UpdateData).

#include <string>

#include "platform/WinUser.h"

class CWnd;

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct CUserException {};

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;  // TRUE: controls -> fields
    CWnd* m_pDlgWnd;

    // The control with that identifier; a missing control is a programming
    // fault and fails the exchange.
    CWnd* PrepareCtrl(int nIDC);
    CWnd* PrepareEditCtrl(int nIDC);
    // Ends the exchange as failed: focus goes to the last prepared control
    // (its text selected when it is an edit). Does not return.
    [[noreturn]] void Fail();

private:
    CWnd* m_lastControl = nullptr;
    bool m_lastIsEdit = false;
};

// Binds the member object `control` to the dialog's control nIDC (once).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// Shown in general form with up to 15 significant digits (1.0 shows "1");
// read as a decimal number, leading and trailing blanks allowed. Anything
// else shows "Please enter a number." and keeps the old value.
void DDX_Text(CDataExchange* pDX, int nIDC, double& value);
