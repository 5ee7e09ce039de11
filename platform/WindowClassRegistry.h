#pragma once

// Window kinds by class name ("Button", "Static", "Edit", "SysTabControl32"):
// the object a dialog creates for a template item of that kind.

#include <string>

class CWnd;

class WindowClassRegistry {
public:
    typedef CWnd* (*Factory)();
    static void Register(const std::string& className, Factory factory);
    // A new object of the kind, or a plain CWnd for an unknown kind. The
    // stock controls are registered on first use.
    static CWnd* CreateObject(const std::string& className);
    static bool IsRegistered(const std::string& className);
};

// Registers the stock controls' kinds and the message box window; defined
// with the stock controls.
void RegisterStockControls();
