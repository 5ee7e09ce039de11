// Text measuring and drawing.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/CDC.h"
#include "platform/DisplayScale.h"
#include "platform/FontInstance.h"

namespace {

struct TextLine {
    std::string text;
    int underline = -1;  // index of the mnemonic character, -1 for none
    int width = 0;
};

constexpr int kDefaultTabChars = 8;

bool IntersectRect(const RECT& a, const RECT& b, RECT* out) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) return false;
    *out = r;
    return true;
}

// Width of a run; tab stops (when tabWidth > 0) count from the run's start.
// Control characters take no room.
int RunWidth(FontInstance* font, const char* text, size_t length, int tabWidth) {
    long x64 = 0;
    const long tab64 = long(tabWidth) * 64;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\t' && tab64 > 0)
            x64 = (x64 / tab64 + 1) * tab64;
        else if (ch >= 32)
            x64 += font->GetGlyph(ch).advance64;
    }
    return int((x64 + 32) >> 6);
}

// Removes single '&' markers ("&&" stands for '&') and reports where the
// underlined character ends up.
std::string StripPrefixes(const std::string& text, int* underline) {
    std::string out;
    *underline = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
                continue;
            }
            if (i + 1 < text.size()) *underline = int(out.size());
            continue;
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string> SplitParagraphs(const std::string& text) {
    std::vector<std::string> paragraphs(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            paragraphs.emplace_back();
        } else {
            paragraphs.back() += ch;
        }
    }
    return paragraphs;
}

// Greedy word wrap at spaces; a word wider than the line stays whole.
void WrapParagraph(FontInstance* font, const std::string& text, int underline, int maxWidth, int tabWidth,
                   std::vector<TextLine>* lines) {
    size_t pos = 0;
    if (text.empty()) {
        lines->push_back(TextLine{std::string(), -1, 0});
        return;
    }
    while (pos < text.size()) {
        size_t fitEnd = std::string::npos;
        size_t scan = pos;
        while (scan < text.size()) {
            size_t wordEnd = scan;
            while (wordEnd < text.size() && text[wordEnd] == ' ') ++wordEnd;
            while (wordEnd < text.size() && text[wordEnd] != ' ') ++wordEnd;
            const int width = RunWidth(font, text.data() + pos, wordEnd - pos, tabWidth);
            if (width > maxWidth && fitEnd != std::string::npos) break;
            fitEnd = wordEnd;
            scan = wordEnd;
            if (width > maxWidth) break;
        }
        size_t lineEnd = fitEnd;
        size_t trimmed = lineEnd;
        while (trimmed > pos && text[trimmed - 1] == ' ') --trimmed;
        TextLine line;
        line.text = text.substr(pos, trimmed - pos);
        if (underline >= int(pos) && underline < int(trimmed)) line.underline = underline - int(pos);
        lines->push_back(line);
        pos = lineEnd;
        while (pos < text.size() && text[pos] == ' ') ++pos;
    }
}

void ApplyEndEllipsis(FontInstance* font, TextLine* line, int maxWidth, int tabWidth) {
    if (line->width <= maxWidth) return;
    const std::string dots = "...";
    const int dotsWidth = RunWidth(font, dots.data(), dots.size(), 0);
    std::string text = line->text;
    while (!text.empty() && RunWidth(font, text.data(), text.size(), tabWidth) + dotsWidth > maxWidth) text.pop_back();
    line->text = text + dots;
    if (line->underline >= int(text.size())) line->underline = -1;
    line->width = RunWidth(font, line->text.data(), line->text.size(), tabWidth);
}

}  // namespace

FontInstance* CDC::CurrentFontInstance() const {
    CFont* font = (state_.font && state_.font->IsCreated()) ? state_.font
                                                            : static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT));
    return font ? font->Instance() : nullptr;
}

void CDC::BlendCoverage(const FontInstance::Glyph& glyph, int x, int y, const RECT* clip, uint32_t pixel) {
    if (!surface_ || glyph.width == 0 || glyph.height == 0) return;
    const RECT box{x, y, x + glyph.width, y + glyph.height};
    const bool mono = IsMonochrome();
    const int tr = (pixel >> 16) & 0xFF, tg = (pixel >> 8) & 0xFF, tb = pixel & 0xFF;
    for (const RECT& c : effectiveClip_) {
        RECT area;
        if (!IntersectRect(box, c, &area)) continue;
        if (clip && !IntersectRect(area, *clip, &area)) continue;
        for (int py = area.top; py < area.bottom; ++py) {
            uint32_t* row = surface_->Row(py);
            const uint8_t* cov = glyph.coverage.data() + size_t(py - y) * size_t(glyph.width) - x;
            for (int px = area.left; px < area.right; ++px) {
                const int a = cov[px];
                if (a == 0) continue;
                if (a == 255 || (mono && a >= 128)) {
                    row[px] = pixel;
                } else if (!mono) {
                    const uint32_t d = row[px];
                    const int dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
                    const int r = dr + ((tr - dr) * a + 127) / 255;
                    const int g = dg + ((tg - dg) * a + 127) / 255;
                    const int b = db + ((tb - db) * a + 127) / 255;
                    row[px] = 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
                }
            }
        }
    }
}

void CDC::FillClipped(const RECT& r, const RECT* clip, uint32_t pixel) {
    RECT area = r;
    if (clip && !IntersectRect(area, *clip, &area)) return;
    FillSurfaceRect(area, pixel);
}

int CDC::DrawRun(FontInstance* font, const std::string& text, int x, int baseline, const RECT* clip, int tabWidth,
                 int underline) {
    const uint32_t ink = DevicePixel(state_.textColour);
    long pen64 = 0;
    const long tab64 = long(tabWidth) * 64;
    int underlineLeft = 0, underlineRight = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch == '\t' && tab64 > 0) {
            pen64 = (pen64 / tab64 + 1) * tab64;
            continue;
        }
        if (ch < 32) continue;
        const FontInstance::Glyph& glyph = font->GetGlyph(ch);
        const int pen = int((pen64 + 32) >> 6);
        BlendCoverage(glyph, x + pen + glyph.left, baseline - glyph.top, clip, ink);
        pen64 += glyph.advance64;
        if (int(i) == underline) {
            underlineLeft = pen;
            underlineRight = int((pen64 + 32) >> 6);
        }
    }
    const int pen = int((pen64 + 32) >> 6);
    const int thickness = font->UnderlineThickness();
    const int underlineTop = baseline + font->UnderlinePosition();
    if (font->Underline()) FillClipped(RECT{x, underlineTop, x + pen, underlineTop + thickness}, clip, ink);
    if (font->StrikeOut()) {
        const int top = baseline - font->StrikeoutPosition();
        FillClipped(RECT{x, top, x + pen, top + thickness}, clip, ink);
    }
    if (underline >= 0 && underlineRight > underlineLeft)
        FillClipped(RECT{x + underlineLeft, underlineTop, x + underlineRight, underlineTop + thickness}, clip, ink);
    return pen;
}

void CDC::DrawRotatedRun(FontInstance* font, const std::string& text, int x, int baseline) {
    // Pen position in 1/64 pixel; FreeType's advance is y-up.
    long penX = long(x) * 64, penY = long(baseline) * 64;
    const uint32_t ink = DevicePixel(state_.textColour);
    for (unsigned char ch : text) {
        if (ch < 32) continue;
        long dx = 0, dy = 0;
        const FontInstance::Glyph& glyph = font->GetRotatedGlyph(ch, &dx, &dy);
        const int gx = int((penX + 32) >> 6) + glyph.left;
        const int gy = int((penY + 32) >> 6) - glyph.top;
        BlendCoverage(glyph, gx, gy, nullptr, ink);
        penX += dx;
        penY -= dy;
    }
}

BOOL CDC::TextOut(int x, int y, const char* text, int count) {
    FontInstance* font = CurrentFontInstance();
    if (!font || !text) return FALSE;
    const size_t length = count < 0 ? std::strlen(text) : size_t(count);
    const std::string run(text, length);
    const UINT align = state_.textAlign;
    POINT origin = (align & TA_UPDATECP) ? state_.currentPos : POINT{x, y};
    const int width = RunWidth(font, run.data(), run.size(), 0);

    if (font->Escapement() != 0) {
        // Rotated text turns around its origin; the reference point moves
        // with the turned baseline.
        const double angle = font->Escapement() * M_PI / 1800.0;
        POINT s = LogicalToSurface(origin);
        double bx = s.x, by = s.y;
        if ((align & TA_BASELINE) != TA_BASELINE) {
            const double down = (align & TA_BOTTOM) ? -font->Descent() : font->Ascent();
            bx += down * std::sin(angle);
            by += down * std::cos(angle);
        }
        DrawRotatedRun(font, run, int(std::lround(bx)), int(std::lround(by)));
        return TRUE;
    }

    int left = origin.x;
    if ((align & TA_CENTER) == TA_CENTER)
        left -= width / 2;
    else if (align & TA_RIGHT)
        left -= width;
    int top = origin.y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top -= font->Ascent();
    else if (align & TA_BOTTOM)
        top -= font->Height();
    const RECT cell = LogicalToSurface(RECT{left, top, left + width, top + font->Height()});
    if (state_.bkMode == OPAQUE) FillSurfaceRect(cell, DevicePixel(state_.bkColour));
    DrawRun(font, run, cell.left, cell.top + font->Ascent(), nullptr, 0, -1);
    if (align & TA_UPDATECP) state_.currentPos.x += width;
    return TRUE;
}

SIZE CDC::GetTextExtent(const char* text, int count) const {
    FontInstance* font = CurrentFontInstance();
    if (!font || !text) return SIZE{0, 0};
    const size_t length = count < 0 ? std::strlen(text) : size_t(count);
    return SIZE{RunWidth(font, text, length, 0), font->Height()};
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* tm) const {
    FontInstance* font = CurrentFontInstance();
    if (!font || !tm) return FALSE;
    *tm = TEXTMETRIC{};
    tm->tmHeight = font->Height();
    tm->tmAscent = font->Ascent();
    tm->tmDescent = font->Descent();
    tm->tmInternalLeading = font->InternalLeading();
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = font->AveCharWidth();
    tm->tmMaxCharWidth = font->MaxCharWidth();
    tm->tmWeight = font->Weight();
    tm->tmDigitizedAspectX = DisplayScale::LogPixels();
    tm->tmDigitizedAspectY = DisplayScale::LogPixels();
    tm->tmFirstChar = ' ';
    tm->tmLastChar = char(0xFF);
    tm->tmDefaultChar = '?';
    tm->tmBreakChar = ' ';
    tm->tmItalic = font->Italic() ? 1 : 0;
    tm->tmUnderlined = font->Underline() ? 1 : 0;
    tm->tmStruckOut = font->StrikeOut() ? 1 : 0;
    tm->tmPitchAndFamily = FF_SWISS;
    tm->tmCharSet = ANSI_CHARSET;
    return TRUE;
}

int CDC::DrawText(const char* text, int count, RECT* rect, UINT format) {
    FontInstance* font = CurrentFontInstance();
    if (!font || !text || !rect) return 0;
    const size_t length = count < 0 ? std::strlen(text) : size_t(count);
    int tabChars = kDefaultTabChars;
    if (format & DT_TABSTOP) {
        tabChars = int((format >> 8) & 0xFF);
        format &= ~UINT(0xFF00);
    }
    const int tabWidth = (format & DT_EXPANDTABS) ? std::max(1, tabChars) * std::max(1, font->AveCharWidth()) : 0;
    const int lineHeight = font->Height();
    const int boxWidth = rect->right - rect->left;
    const bool showPrefix = !(format & (DT_NOPREFIX | DT_HIDEPREFIX));

    std::vector<std::string> paragraphs;
    if (format & DT_SINGLELINE) {
        std::string flat;
        for (size_t i = 0; i < length; ++i)
            if (text[i] != '\r' && text[i] != '\n') flat += text[i];
        paragraphs.push_back(flat);
    } else {
        paragraphs = SplitParagraphs(std::string(text, length));
    }

    std::vector<TextLine> lines;
    for (const std::string& paragraph : paragraphs) {
        int underline = -1;
        const std::string clean = (format & DT_NOPREFIX) ? paragraph : StripPrefixes(paragraph, &underline);
        if (!showPrefix) underline = -1;
        if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
            WrapParagraph(font, clean, underline, boxWidth, tabWidth, &lines);
        else
            lines.push_back(TextLine{clean, underline, 0});
    }
    for (TextLine& line : lines) {
        line.width = RunWidth(font, line.text.data(), line.text.size(), tabWidth);
        if (format & DT_END_ELLIPSIS) ApplyEndEllipsis(font, &line, boxWidth, tabWidth);
    }

    const int textHeight = int(lines.size()) * lineHeight;
    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TextLine& line : lines) widest = std::max(widest, line.width);
        rect->right = rect->left + widest;
        rect->bottom = rect->top + textHeight;
        return textHeight;
    }

    int y = rect->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = rect->top + (rect->bottom - rect->top - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = rect->bottom - lineHeight;
    }
    const RECT clipRect = LogicalToSurface(*rect);
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : &clipRect;
    const uint32_t background = DevicePixel(state_.bkColour);
    for (const TextLine& line : lines) {
        int x = rect->left;
        if (format & DT_CENTER)
            x = rect->left + (boxWidth - line.width) / 2;
        else if (format & DT_RIGHT)
            x = rect->right - line.width;
        const RECT cell = LogicalToSurface(RECT{x, y, x + line.width, y + lineHeight});
        if (state_.bkMode == OPAQUE) FillClipped(cell, clip, background);
        DrawRun(font, line.text, cell.left, cell.top + font->Ascent(), clip, tabWidth, line.underline);
        y += lineHeight;
    }
    return (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM)) ? y - rect->top : textHeight;
}
