#pragma once

// The text that Cut and Copy leave for Paste. A display driver hands it to
// the desktop's clipboard (and Paste takes the desktop's text); without one
// it lives in this process.

#include <string>

class Clipboard {
public:
    static void SetText(const std::string& text);
    static std::string GetText();
    static bool HasText();
};
