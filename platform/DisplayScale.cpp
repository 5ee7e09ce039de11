#include "platform/DisplayScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iostream>

#include "platform/WindowManager.h"

namespace {

int g_percent = 0;  // 0: not yet decided

int ResolvePercent() {
    const char* text = std::getenv("PDFIMPORT_SCALE");
    if (text && *text) {
        int percent = 0;
        if (DisplayScale::ParsePercent(text, &percent)) return percent;
        std::cerr << "PDFIMPORT_SCALE=" << text << ": use a factor from 1 to 4 (1.5 for 150 %) or a percentage;"
                  << " using the display's scale\n";
    }
    return WindowManager::Instance().GetDriver().ScalePercent();
}

}  // namespace

int DisplayScale::Percent() {
    if (g_percent == 0) g_percent = ResolvePercent();
    return g_percent;
}

void DisplayScale::SetPercent(int percent) {
    g_percent = percent == 0 ? 0 : std::max(kMinPercent, std::min(kMaxPercent, percent));
}

int DisplayScale::Scale(int pixels) {
    const long scaled = long(pixels) * Percent();
    return int(scaled >= 0 ? (scaled + 50) / 100 : -((-scaled + 50) / 100));
}

int DisplayScale::ScaleLine(int pixels) {
    if (pixels <= 0) return pixels;
    return std::max(1, int(long(pixels) * Percent() / 100));
}

int DisplayScale::LogPixels() { return Scale(96); }

bool DisplayScale::ParsePercent(const char* text, int* percent) {
    if (!text || !percent) return false;
    // Digits with an optional fraction of up to two places, then "%" or
    // nothing; parsed by hand so that the locale's decimal point does not
    // matter.
    long whole = 0;
    int fraction = 0, places = 0, digits = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9' && digits < 6; ++p, ++digits) whole = whole * 10 + (*p - '0');
    if (digits == 0) return false;
    if (*p == '.' || *p == ',') {
        for (++p; *p >= '0' && *p <= '9'; ++p, ++places) {
            if (places >= 2) return false;
            fraction = fraction * 10 + (*p - '0');
        }
        if (places == 0) return false;
    }
    if (places == 1) fraction *= 10;
    long value;
    if (*p == '%') {
        if (places != 0) return false;
        value = whole;
        ++p;
    } else {
        value = whole * 100 + fraction;
    }
    if (*p != '\0' || value < kMinPercent || value > kMaxPercent) return false;
    *percent = int(value);
    return true;
}

int DisplayScale::PercentForDpi(float dpi) {
    if (!(dpi > 0) || !std::isfinite(dpi)) return kMinPercent;
    const long steps = std::lround(dpi / 96.0f * 4.0f);
    return int(std::max<long>(kMinPercent, std::min<long>(kMaxPercent, steps * 25)));
}
