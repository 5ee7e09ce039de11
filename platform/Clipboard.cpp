#include "platform/Clipboard.h"

#include "platform/WindowManager.h"

namespace {

struct Content {
    bool present = false;
    std::string text;
};

Content& Current() {
    static Content content;
    return content;
}

}  // namespace

void Clipboard::SetText(const std::string& text) {
    Current().present = true;
    Current().text = text;
    WindowManager::Instance().GetDriver().SetClipboardText(text);
}

std::string Clipboard::GetText() {
    std::string desktop;
    if (WindowManager::Instance().GetDriver().GetClipboardText(desktop)) return desktop;
    return Current().text;
}

bool Clipboard::HasText() {
    std::string desktop;
    return WindowManager::Instance().GetDriver().GetClipboardText(desktop) || Current().present;
}
