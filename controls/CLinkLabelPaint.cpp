// CLinkLabel: painting.

#include <algorithm>

#include "controls/CLinkLabel.h"
#include "platform/ClassicLook.h"
#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/SysColors.h"

BOOL CLinkLabel::OnEraseBkgnd(CDC*) { return TRUE; }  // painting covers the client area

void CLinkLabel::FillGradient(CDC& dc, const CRect& rect, COLORREF from, COLORREF to) {
    const int width = rect.Width();
    const int bands = std::min(kMaxGradientBands, width);
    if (bands <= 0) return;
    const int divisor = bands < 2 ? 1 : bands;
    // Channels scaled by 256, so that small steps add up.
    int channels[3] = {GetRValue(from) * 256, GetGValue(from) * 256, GetBValue(from) * 256};
    const int steps[3] = {(GetRValue(to) - GetRValue(from)) * 256 / divisor,
                          (GetGValue(to) - GetGValue(from)) * 256 / divisor,
                          (GetBValue(to) - GetBValue(from)) * 256 / divisor};
    const int bandWidth = width / divisor;
    CPen noOutline(PS_NULL, 0, 0);
    CPen* oldPen = dc.SelectObject(&noOutline);
    CBrush* oldBrush = dc.GetCurrentBrush();
    int left = rect.left;
    for (int band = 0; band < bands; ++band) {
        const int right = band == bands - 1 ? rect.right : left + bandWidth;
        CBrush colour(RGB(channels[0] / 256, channels[1] / 256, channels[2] / 256));
        dc.SelectObject(&colour);
        // Without an outline a rectangle fills one pixel less right and down.
        dc.Rectangle(left, rect.top, right + 1, rect.bottom + 1);
        dc.SelectObject(oldBrush);
        left = right;
        for (int c = 0; c < 3; ++c) channels[c] += steps[c];
    }
    dc.SelectObject(oldPen);
}

UINT CLinkLabel::TextFormat(const std::string& text) const {
    const DWORD style = GetStyle();
    UINT format;
    switch (style & SS_TYPEMASK) {
        case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
        case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
        case SS_LEFTNOWORDWRAP: format = DT_LEFT; break;
        default: format = DT_LEFT | DT_WORDBREAK; break;
    }
    if (text.find('\t') != std::string::npos) format |= DT_EXPANDTABS;
    if (style & SS_CENTERIMAGE) {
        format = DT_CENTER;
        if (text.find("\r\n") == std::string::npos) format |= DT_SINGLELINE | DT_VCENTER;
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    return format;
}

CRect CLinkLabel::PaintBorder(CDC& dc, CRect client) const {
    // The framework's windows have no frame of their own: the label draws it.
    const int line = ClassicLook::LineWidth();
    if (GetStyle() & WS_BORDER) {
        CBrush frame(GetSysColor(COLOR_WINDOWFRAME));
        ClassicLook::FrameRect(dc, client, &frame);
        client.DeflateRect(line, line);
    }
    if (GetExStyle() & WS_EX_STATICEDGE) ClassicLook::DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    return client;
}

void CLinkLabel::PaintContent(CDC& dc, const CRect& area, const std::string& text) {
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldText = dc.SetTextColor(m_textColour);
    CFont* oldFont = m_labelFont.IsCreated() ? dc.SelectObject(&m_labelFont) : nullptr;

    if (!m_transparentMode) {
        if (m_gradient)
            FillGradient(dc, area, m_backgroundColour, m_gradientColour);
        else
            dc.FillRect(area, m_backgroundBrush.IsCreated() ? &m_backgroundBrush : &m_systemBrush);
    }
    // The off phase of blinking text draws it in the background's colour.
    if (!m_blinkPhase && m_blinkKind == BlinkingText)
        dc.SetTextColor(m_backgroundBrush.IsCreated() ? m_backgroundBrush.GetColor() : RGB(0, 0, 0));

    if (m_rotated) {
        // The font's escapement turns the text around the label's centre.
        const UINT oldAlign = dc.SetTextAlign(TA_BASELINE);
        const POINT centre = area.CenterPoint();
        const POINT oldOrigin = dc.OffsetViewportOrg(centre.x, centre.y);
        dc.TextOut(0, 0, text);
        dc.SetViewportOrg(oldOrigin);
        dc.SetTextAlign(oldAlign);
    } else {
        const UINT format = TextFormat(text);
        CRect place = area;
        dc.DrawText(text, &place, format);
        if (m_embossed) {
            dc.SetTextColor(m_embossColour);
            place = area;
            const int offset = m_embossDown ? ClassicLook::LineWidth() : -ClassicLook::LineWidth();
            place.OffsetRect(offset, offset);
            dc.DrawText(text, &place, format);
        }
    }
    dc.SetBkMode(oldMode);
    if (oldFont) dc.SelectObject(oldFont);
    dc.SetTextColor(oldText);
}

void CLinkLabel::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const std::string text = GetWindowText();
    const CRect area = PaintBorder(dc, client);
    if (area.IsRectEmpty()) return;
    if (m_transparentMode) {
        PaintContent(dc, area, text);
        return;
    }
    // Drawn off-screen first, so that the background never flickers through.
    CDC memory;
    CBitmap pixels;
    if (!memory.CreateCompatibleDC(&dc) || !pixels.CreateCompatibleBitmap(&dc, client.Width(), client.Height())) {
        PaintContent(dc, area, text);
        return;
    }
    CBitmap* oldBitmap = memory.SelectObject(&pixels);
    PaintContent(memory, area, text);
    dc.BitBlt(area.left, area.top, area.Width(), area.Height(), &memory, area.left, area.top, SRCCOPY);
    memory.SelectObject(oldBitmap);
}
