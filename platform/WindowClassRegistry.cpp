#include "platform/WindowClassRegistry.h"

#include <map>

#include "platform/CWnd.h"

namespace {

std::map<std::string, WindowClassRegistry::Factory>& Factories() {
    static std::map<std::string, WindowClassRegistry::Factory> factories;
    return factories;
}

void EnsureStockControls() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterStockControls();
}

}  // namespace

void WindowClassRegistry::Register(const std::string& className, Factory factory) {
    if (factory) Factories()[className] = factory;
}

CWnd* WindowClassRegistry::CreateObject(const std::string& className) {
    EnsureStockControls();
    const auto it = Factories().find(className);
    if (it != Factories().end()) {
        if (CWnd* wnd = it->second()) return wnd;
    }
    return new CWnd();
}

bool WindowClassRegistry::IsRegistered(const std::string& className) {
    EnsureStockControls();
    return Factories().count(className) != 0;
}
