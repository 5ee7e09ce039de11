// The window kinds of the stock controls, and the message box window, made
// known to the framework so that dialog templates and message boxes use them.

#include "platform/CButton.h"
#include "platform/CEdit.h"
#include "platform/CStatic.h"
#include "platform/CTabCtrl.h"
#include "platform/CToolTipCtrl.h"
#include "platform/MessageBoxService.h"
#include "platform/MessageBoxWindow.h"
#include "platform/WindowClassRegistry.h"

void RegisterStockControls() {
    WindowClassRegistry::Register("Button", []() -> CWnd* { return new CButton; });
    WindowClassRegistry::Register("Static", []() -> CWnd* { return new CStatic; });
    WindowClassRegistry::Register("Edit", []() -> CWnd* { return new CEdit; });
    WindowClassRegistry::Register("SysTabControl32", []() -> CWnd* { return new CTabCtrl; });
    WindowClassRegistry::Register("tooltips_class32", []() -> CWnd* { return new CToolTipCtrl; });
    MessageBoxService::SetWindowFactory(&MessageBoxWindow::Make);
}
