#include "platform/WindowFrame.h"

#include "platform/CBrush.h"
#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/CPen.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WinUser.h"

namespace {

// At 96 dpi, in pixels.
constexpr int kCaptionFontHeight = 11;
constexpr int kCaptionTextIndent = 3;
constexpr int kCloseBoxSize = 16;
constexpr int kCloseBoxMargin = 2;  // around the close box inside the caption bar
constexpr int kCrossMargin = 7;     // the close box's height beyond its cross

}  // namespace

int WindowFrame::BorderWidth() { return DisplayScale::Scale(kBorder); }

int WindowFrame::CaptionHeight() { return DisplayScale::Scale(kCaptionHeight); }

CRect WindowFrame::Insets(DWORD style, DWORD exStyle) {
    const bool framed = (style & (WS_CAPTION | WS_DLGFRAME | WS_THICKFRAME)) || (exStyle & WS_EX_DLGMODALFRAME);
    if (!framed) return CRect(0, 0, 0, 0);
    // The caption bar and the line below it.
    const int caption = (style & WS_CAPTION) == WS_CAPTION ? CaptionHeight() + ClassicLook::LineWidth() : 0;
    const int border = BorderWidth();
    return CRect(border, border + caption, border, border);
}

namespace {

COLORREF Mix(COLORREF a, COLORREF b, int step, int steps) {
    auto channel = [&](int x, int y) { return x + (y - x) * step / steps; };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

void PaintCloseBox(CDC& dc, const CRect& box) {
    CRect face = box;
    ClassicLook::DrawPushButtonFace(dc, &face, false);
    // The cross: two strokes two lines wide.
    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
    CPen* old = dc.SelectObject(&pen);
    const int line = ClassicLook::LineWidth();
    const int size = box.Height() - DisplayScale::Scale(kCrossMargin);
    const int left = box.left + (box.Width() - size) / 2 - line;
    const int top = box.top + (box.Height() - size) / 2;
    for (int dx = 0; dx < 2 * line; ++dx) {
        dc.MoveTo(left + dx, top);
        dc.LineTo(left + dx + size, top + size);
        dc.MoveTo(left + dx, top + size - 1);
        dc.LineTo(left + dx + size, top - 1);
    }
    dc.SelectObject(old);
}

}  // namespace

void WindowFrame::Paint(CDC& dc, const CRect& outer, DWORD style, DWORD exStyle, const std::string& caption,
                        bool active) {
    const CRect insets = Insets(style, exStyle);
    if (insets.IsRectNull()) return;
    CRect frame = outer;
    dc.FillSolidRect(frame, GetSysColor(COLOR_BTNFACE));
    ClassicLook::DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
    if ((style & WS_CAPTION) != WS_CAPTION) return;

    const int border = BorderWidth();
    const CRect bar(outer.left + border, outer.top + border, outer.right - border,
                    outer.top + border + CaptionHeight());
    const COLORREF from = active ? RGB(10, 36, 106) : RGB(128, 128, 128);
    const COLORREF to = active ? RGB(166, 202, 240) : RGB(192, 192, 192);
    const int width = bar.Width();
    for (int x = 0; x < width; ++x)
        dc.FillSolidRect(bar.left + x, bar.top, 1, bar.Height(), Mix(from, to, x, width > 1 ? width - 1 : 1));

    CFont font;
    font.CreateFont(-DisplayScale::Scale(kCaptionFontHeight), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                    "MS Sans Serif");
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(active ? RGB(255, 255, 255) : RGB(212, 208, 200));
    CRect text = bar;
    const int boxMargin = DisplayScale::Scale(kCloseBoxMargin);
    text.left += DisplayScale::Scale(kCaptionTextIndent);
    if (style & WS_SYSMENU) text.right -= CaptionHeight() + boxMargin;
    dc.DrawText(caption, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    dc.SelectObject(oldFont);

    if (style & WS_SYSMENU) {
        const int boxSize = DisplayScale::Scale(kCloseBoxSize);
        const CRect box(bar.right - boxMargin - boxSize, bar.top + boxMargin, bar.right - boxMargin,
                        bar.bottom - boxMargin);
        PaintCloseBox(dc, box);
    }
}
