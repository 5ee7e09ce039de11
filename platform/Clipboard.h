#pragma once

// The text that Cut and Copy leave for Paste. It lives in this process: the
// drivers have no clipboard of the desktop to hand it to.

#include <string>

class Clipboard {
public:
    static void SetText(const std::string& text);
    static std::string GetText();
    static bool HasText();
};
