#include "platform/CFileDialog.h"

#include "platform/CWnd.h"
#include "platform/WindowManager.h"

CFileDialog::CFileDialog(BOOL, const char* lpszDefExt, const char* lpszFileName,
                         DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd)
    : m_flags(dwFlags),
      m_defExt(lpszDefExt ? lpszDefExt : ""),
      m_fileName(lpszFileName ? lpszFileName : ""),
      m_filter(lpszFilter ? lpszFilter : ""),
      m_parent(pParentWnd) {}

INT_PTR CFileDialog::DoModal() {
    WindowManager& wm = WindowManager::Instance();
    CWnd* owner = CWnd::FromHandlePermanent(m_parent) ? m_parent->GetTopLevelParent() : wm.ActiveModalWindow();
    OpenFileRequest request;
    request.filter = m_filter;
    request.defaultExtension = m_defExt;
    request.initialName = m_fileName;
    request.owner = owner ? owner->GetDriverWindow() : 0;
    std::string path;
    // The window below stays as it was while the dialog is open.
    wm.PaintAll();
    if (!wm.GetDriver().ChooseOpenFile(request, path) || path.empty()) return IDCANCEL;
    m_path = path;
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    const size_t slash = m_path.find_last_of('/');
    return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
    const std::string name = GetFileName();
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}
