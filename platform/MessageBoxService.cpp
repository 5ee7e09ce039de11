#include "platform/MessageBoxService.h"

#include <algorithm>
#include <iostream>
#include <vector>

#include "platform/CWinApp.h"
#include "platform/CWnd.h"
#include "platform/ResourceTable.h"
#include "platform/WindowClassRegistry.h"
#include "platform/WindowManager.h"

namespace {

MessageBoxService::WindowFactory& Factory() {
    static MessageBoxService::WindowFactory factory = nullptr;
    return factory;
}

std::vector<const CWnd*>& OpenBoxes() {
    static std::vector<const CWnd*> boxes;
    return boxes;
}

}  // namespace

void MessageBoxService::SetWindowFactory(WindowFactory factory) { Factory() = factory; }

bool MessageBoxService::IsMessageBox(const CWnd* wnd) {
    const auto& boxes = OpenBoxes();
    return wnd && std::find(boxes.begin(), boxes.end(), wnd) != boxes.end();
}

int MessageBoxService::Run(CWnd* owner, const std::string& text, const std::string& captionIn, UINT type) {
    WindowManager& wm = WindowManager::Instance();
    wm.GetDriver().MessageBoxShown(text);
    WindowClassRegistry::IsRegistered("Button");  // registers the stock controls on first use
    std::string caption = captionIn;
    if (caption.empty() && AfxGetApp()) caption = AfxGetApp()->m_pszAppName;
    if (!owner) owner = wm.ActiveModalWindow();
    if (owner && !CWnd::FromHandlePermanent(owner)) owner = nullptr;
    if (owner) owner = owner->GetTopLevelParent();

    CWnd* box = Factory() ? Factory()(owner, text, caption, type) : nullptr;
    if (!box) {
        std::cerr << "message box window unavailable; taken as OK: " << text << "\n";
        return IDOK;
    }
    const bool ownerWasEnabled = owner && owner->IsWindowEnabled();
    if (ownerWasEnabled) owner->EnableWindow(FALSE);
    OpenBoxes().push_back(box);
    box->ShowWindow(SW_SHOW);
    const int result = box->RunModalLoop();
    auto& boxes = OpenBoxes();
    boxes.erase(std::remove(boxes.begin(), boxes.end(), box), boxes.end());
    if (ownerWasEnabled && CWnd::FromHandlePermanent(owner)) owner->EnableWindow(TRUE);
    if (CWnd::FromHandlePermanent(box)) box->DestroyWindow();
    delete box;
    return result;
}

int AfxMessageBox(const char* lpszText, UINT nType, UINT) {
    return MessageBoxService::Run(nullptr, lpszText ? lpszText : "", std::string(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    const std::string text = ResourceTable::Instance().LoadString(nIDPrompt);
    return AfxMessageBox(text.c_str(), nType, nIDHelp);
}
