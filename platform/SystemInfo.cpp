#include "platform/SystemInfo.h"

#include <cstring>

#include "platform/DisplayScale.h"
#include "platform/GdiDefs.h"

namespace {

constexpr size_t kThemeFileLimit = 260;

// Windows-1252 at 0x80 ... 0x9F; 0 marks the five unassigned bytes.
constexpr wchar_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

LOGFONT DefaultMenuFont() {
    LOGFONT font{};
    font.lfHeight = -11;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(font.lfFaceName, "Tahoma");
    return font;
}

SystemInfo::Report& Current() {
    static SystemInfo::Report report = [] {
        SystemInfo::Report own;
        own.menuFont = DefaultMenuFont();
        return own;
    }();
    return report;
}

}  // namespace

SystemInfo::Version SystemInfo::GetVersion() { return Current().version; }

std::string SystemInfo::GetThemeFile() { return Current().themeFile.substr(0, kThemeFileLimit); }

int SystemInfo::GetMenuHeight() { return DisplayScale::Scale(Current().menuHeight); }

bool SystemInfo::IsPaletteDisplay() { return Current().paletteDisplay; }

LOGFONT SystemInfo::GetMenuFont() {
    LOGFONT font = Current().menuFont;
    font.lfHeight = DisplayScale::Scale(font.lfHeight);
    font.lfWidth = DisplayScale::Scale(font.lfWidth);
    return font;
}

void SystemInfo::SetReport(const Report& report) {
    Current() = report;
    if (Current().menuFont.lfFaceName[0] == '\0') Current().menuFont = DefaultMenuFont();
}

void SystemInfo::ResetReport() { SetReport(Report{}); }

std::wstring SystemInfo::AnsiToWide(const std::string& text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (unsigned char c : text) {
        wchar_t w = c;
        if (c >= 0x80 && c < 0xA0) w = kHighControls[c - 0x80] ? kHighControls[c - 0x80] : L'?';
        wide.push_back(w);
    }
    return wide;
}

std::string SystemInfo::WideToAnsi(const std::wstring& text) {
    std::string ansi;
    ansi.reserve(text.size());
    for (wchar_t w : text) {
        char c = '?';
        if ((w < 0x80) || (w >= 0xA0 && w <= 0xFF)) {
            c = char(w);
        } else {
            for (int i = 0; i < 32; ++i)
                if (kHighControls[i] == w) c = char(0x80 + i);
        }
        ansi.push_back(c);
    }
    return ansi;
}
