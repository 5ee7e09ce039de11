#include "platform/AnsiText.h"

std::string AnsiText::FromUtf8(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > utf8.size()) {
            out += '?';
            ++i;
            continue;
        }
        unsigned code = length == 1 ? lead : lead & (0x7F >> length);
        bool wellFormed = true;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) wellFormed = false;
            code = (code << 6) | (next & 0x3F);
        }
        if (!wellFormed) {
            out += '?';
            ++i;
            continue;
        }
        out += code <= 0xFF ? char(code) : '?';
        i += length;
    }
    return out;
}

std::string AnsiText::ToUtf8(const std::string& ansi) {
    std::string out;
    out.reserve(ansi.size() * 2);
    for (char c : ansi) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += char(0xC0 | (byte >> 6));
            out += char(0x80 | (byte & 0x3F));
        }
    }
    return out;
}
