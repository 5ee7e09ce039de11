#include "platform/CWinApp.h"

#include <algorithm>
#include <vector>

#include "platform/CWnd.h"

namespace {

std::vector<CWinApp*>& Applications() {
    static std::vector<CWinApp*>* apps = new std::vector<CWinApp*>();
    return *apps;
}

}  // namespace

CWinApp::CWinApp(const char* lpszAppName) : m_pszAppName(lpszAppName ? lpszAppName : "") {
    Applications().push_back(this);
}

CWinApp::~CWinApp() {
    auto& apps = Applications();
    apps.erase(std::remove(apps.begin(), apps.end(), this), apps.end());
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() {
    const auto& apps = Applications();
    return apps.empty() ? nullptr : apps.back();
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app && CWnd::FromHandlePermanent(app->m_pMainWnd) ? app->m_pMainWnd : nullptr;
}
