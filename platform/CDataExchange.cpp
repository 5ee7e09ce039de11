#include "platform/CDataExchange.h"

#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/CWnd.h"
#include "platform/MessageBoxService.h"

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

CWnd* CDataExchange::PrepareCtrl(int nIDC) {
    CWnd* control = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
    if (!control) Fail();
    m_lastControl = control;
    m_lastIsEdit = false;
    return control;
}

CWnd* CDataExchange::PrepareEditCtrl(int nIDC) {
    CWnd* control = PrepareCtrl(nIDC);
    m_lastIsEdit = true;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_lastControl && CWnd::FromHandlePermanent(m_lastControl)) {
        // Back to the control the user has to correct.
        m_lastControl->SetFocus();
        if (m_lastIsEdit) m_lastControl->SendMessage(EM_SETSEL, 0, -1);
    }
    throw CUserException();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
    if (control.m_hWnd || !pDX->m_pDlgWnd) return;
    // A missing control leaves the object unbound; the dialog goes on.
    control.SubclassDlgItem(UINT(nIDC), pDX->m_pDlgWnd);
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    CWnd* edit = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) value = edit->GetWindowText();
    else edit->SetWindowText(value);
}

namespace {

std::string Trimmed(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    return text.substr(b, e - b);
}

// A decimal number: optional sign, digits with an optional point, optional
// exponent. Infinities, NaNs and hexadecimal forms are not numbers a user
// types; values beyond the double range are refused too.
bool ParseDecimal(const std::string& text, double& value) {
    std::string s = Trimmed(text);
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    size_t i = (!s.empty() && s[0] == '-') ? 1 : 0;
    size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t exponentDigits = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != s.size()) return false;
    double parsed = 0;
    const auto result = std::from_chars(s.data(), s.data() + s.size(), parsed);
    if (result.ec != std::errc() || result.ptr != s.data() + s.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

}  // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    CWnd* edit = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        double parsed = 0;
        if (!ParseDecimal(edit->GetWindowText(), parsed)) {
            AfxMessageBox("Please enter a number.", MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        value = parsed;
    } else {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        edit->SetWindowText(buffer);
    }
}
