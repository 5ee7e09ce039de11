#include "platform/Clipboard.h"

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
}

std::string Clipboard::GetText() { return Current().text; }

bool Clipboard::HasText() { return Current().present; }
