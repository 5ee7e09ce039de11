#include "platform/CFileDialog.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/BuiltinFileDialog.h"
#include "platform/CWnd.h"
#include "platform/FolderListing.h"
#include "platform/PortalFileChooser.h"
#include "platform/WindowManager.h"

CFileDialog::CFileDialog(BOOL, const char* lpszDefExt, const char* lpszFileName,
                         DWORD dwFlags, const char* lpszFilter, CWnd* pParentWnd)
    : m_flags(dwFlags),
      m_defExt(lpszDefExt ? lpszDefExt : ""),
      m_fileName(lpszFileName ? lpszFileName : ""),
      m_filter(lpszFilter ? lpszFilter : ""),
      m_parent(pParentWnd) {}

CFileDialog::Kind CFileDialog::ChooseKind(const Driver& driver, std::ostream& log) {
    const char* forced = std::getenv("PDFIMPORT_FILE_DIALOG");
    if (forced && std::strcmp(forced, "portal") == 0) return Kind::Portal;
    if (forced && std::strcmp(forced, "builtin") == 0) return Kind::Builtin;
    if (forced && *forced)
        log << "PDFIMPORT_FILE_DIALOG=" << forced << ": unknown, use portal or builtin; choosing as without it\n";
    if (!driver.IsDisplay()) return Kind::Scripted;
    PortalFileChooser chooser;
    std::string error;
    return chooser.Connect(error) && chooser.IsAvailable() ? Kind::Portal : Kind::Builtin;
}

CWnd* CFileDialog::Owner() const {
    WindowManager& wm = WindowManager::Instance();
    return CWnd::FromHandlePermanent(m_parent) ? m_parent->GetTopLevelParent() : wm.ActiveModalWindow();
}

INT_PTR CFileDialog::DoModal() {
    WindowManager& wm = WindowManager::Instance();
    CWnd* owner = Owner();
    // The window below stays as it was while the dialog is open.
    wm.PaintAll();
    switch (ChooseKind(wm.GetDriver(), std::cerr)) {
        case Kind::Scripted: return RunScripted(owner);
        case Kind::Builtin: return RunBuiltin(owner);
        case Kind::Portal: break;
    }
    const char* choice = std::getenv("PDFIMPORT_FILE_DIALOG");
    const bool forced = choice && std::strcmp(choice, "portal") == 0;
    std::string error;
    switch (RunPortal(owner, error)) {
        case PortalResult::Chosen: return IDOK;
        case PortalResult::Cancelled: return IDCANCEL;
        case PortalResult::Failed: break;
    }
    if (forced) {
        std::cerr << "open-file dialog: the desktop's file chooser cannot be used: " << error << "\n";
        return IDCANCEL;
    }
    // The user still gets a dialog.
    return RunBuiltin(owner);
}

INT_PTR CFileDialog::RunScripted(CWnd* owner) {
    OpenFileRequest request;
    request.filter = m_filter;
    request.defaultExtension = m_defExt;
    request.initialName = m_fileName;
    request.owner = owner ? owner->GetDriverWindow() : 0;
    std::string path;
    if (!WindowManager::Instance().GetDriver().ChooseOpenFile(request, path) || path.empty()) return IDCANCEL;
    m_path = path;
    return IDOK;
}

std::string CFileDialog::InitialFolder() const {
    if (m_fileName.find('/') == std::string::npos) return std::string();
    return FolderListing::Parent(FolderListing::Resolve("/", m_fileName));
}

INT_PTR CFileDialog::RunBuiltin(CWnd* owner) {
    BuiltinFileDialog dialog(FileTypeFilter::Parse(m_filter), m_defExt, owner);
    dialog.SetInitialFolder(InitialFolder());
    if (dialog.DoModal() != IDOK) return IDCANCEL;
    m_path = dialog.GetPathName();
    return IDOK;
}

CFileDialog::PortalResult CFileDialog::RunPortal(CWnd* owner, std::string& error) {
    PortalFileChooser chooser;
    if (!chooser.Connect(error)) return PortalResult::Failed;
    PortalFileChooser::Request request;
    request.title = "Open";
    request.filter = FileTypeFilter::Parse(m_filter);
    request.currentFolder = InitialFolder();

    WindowManager& wm = WindowManager::Instance();
    Driver& driver = wm.GetDriver();
    const int ownerWindow = owner ? owner->GetDriverWindow() : 0;
    // The chooser stacks over our window where the desktop knows it.
    if (ownerWindow) request.parentWindow = driver.DesktopWindowId(ownerWindow);
    // The chooser is modal to our window: its input waits, its painting and
    // timers go on, and closing it cancels the chooser.
    const bool ownerWasEnabled = owner && owner->IsWindowEnabled();
    if (ownerWasEnabled) owner->EnableWindow(FALSE);
    auto idle = [&wm, &driver, ownerWindow]() {
        wm.PumpPending();
        // A display driver takes in what the desktop sent meanwhile (a
        // scripted run has nothing to take in while the chooser is open).
        bool keepWaiting = true;
        InputEvent event;
        while (driver.IsDisplay() && driver.WaitEvent(event, driver.NowMs() + 1))
            if (event.type == InputEvent::Type::Close && (event.window == 0 || event.window == ownerWindow))
                keepWaiting = false;
        return keepWaiting;
    };
    std::string path;
    const PortalFileChooser::Outcome outcome = chooser.OpenFile(request, path, error, idle);
    if (ownerWasEnabled && CWnd::FromHandlePermanent(owner)) owner->EnableWindow(TRUE);
    if (outcome == PortalFileChooser::Outcome::Cancelled) return PortalResult::Cancelled;
    if (outcome == PortalFileChooser::Outcome::Failed) return PortalResult::Failed;
    if (path.empty()) return PortalResult::Cancelled;
    m_path = path;
    return PortalResult::Chosen;
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
