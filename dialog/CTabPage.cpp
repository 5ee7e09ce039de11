#include "dialog/CTabPage.h"

CTabPage::CTabPage(UINT templateId) : CDialog(templateId) {}

ConverterHost* CTabPage::Host() const {
    return dynamic_cast<ConverterHost*>(GetParent());
}

BOOL CTabPage::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_RETURN:
            return TRUE;
        case VK_DOWN:
        case VK_NEXT:
            if (ConverterHost* host = Host()) host->NextPage();
            return TRUE;
        case VK_UP:
        case VK_PRIOR:
            if (ConverterHost* host = Host()) host->PreviousPage();
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}
