#pragma once

// The framework's text is 8-bit (Latin-1); the desktop speaks UTF-8.

#include <string>

class AnsiText {
public:
    // Characters beyond Latin-1 and malformed sequences become '?'.
    static std::string FromUtf8(const std::string& utf8);
    static std::string ToUtf8(const std::string& ansi);
};
