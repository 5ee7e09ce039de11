#include "platform/ClassicLook.h"

#include <algorithm>

#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/CWnd.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"

CFont* ClassicLook::ControlFont(const CWnd* wnd) {
    if (CFont* font = wnd->GetFont()) return font;
    return static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT));
}

void ClassicLook::PaintBackground(CWnd* wnd, CDC& dc, const RECT& rect, UINT message,
                                  COLORREF fallback) {
    dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    dc.SetBkColor(fallback);
    CBrush* brush = nullptr;
    if (CWnd* parent = wnd->GetParent())
        brush = reinterpret_cast<CBrush*>(
            parent->SendMessage(message, reinterpret_cast<WPARAM>(&dc), reinterpret_cast<LPARAM>(wnd)));
    if (!brush)
        dc.FillSolidRect(rect, fallback);
    else if (!brush->IsNull())
        dc.FillRect(rect, brush);
}

void ClassicLook::DrawEngravedText(CDC& dc, const std::string& text, RECT rect, UINT format) {
    int mode = dc.SetBkMode(TRANSPARENT);
    COLORREF old = dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    const int offset = DisplayScale::ScaleLine(1);
    RECT shifted{rect.left + offset, rect.top + offset, rect.right + offset, rect.bottom + offset};
    dc.DrawText(text, &shifted, format);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    dc.DrawText(text, &rect, format);
    dc.SetTextColor(old);
    dc.SetBkMode(mode);
}

int ClassicLook::LineWidth() { return DisplayScale::ScaleLine(1); }

void ClassicLook::DrawEdge(CDC& dc, RECT* rect, UINT edge, UINT flags) {
    if (!rect) return;
    const int line = LineWidth();
    if (line == 1) {
        dc.DrawEdge(rect, edge, flags);
        return;
    }
    // Each one-pixel line of the edge drawn `line` times, one inside the other.
    RECT r = *rect;
    const UINT lineFlags = (flags & ~UINT(BF_MIDDLE)) | BF_ADJUST;
    for (UINT part : {UINT(edge & BDR_OUTER), UINT(edge & BDR_INNER)})
        if (part)
            for (int i = 0; i < line; ++i) dc.DrawEdge(&r, part, lineFlags);
    if (flags & BF_MIDDLE) dc.DrawEdge(&r, 0, flags | BF_ADJUST);
    if (flags & BF_ADJUST) *rect = r;
}

void ClassicLook::FrameRect(CDC& dc, const RECT& rect, CBrush* brush) {
    RECT r = rect;
    for (int i = 0; i < LineWidth() && r.right > r.left && r.bottom > r.top; ++i) {
        dc.FrameRect(r, brush);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

void ClassicLook::Draw3dRect(CDC& dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    RECT r = rect;
    for (int i = 0; i < LineWidth() && r.right > r.left && r.bottom > r.top; ++i) {
        dc.Draw3dRect(r, topLeft, bottomRight);
        r = RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

void ClassicLook::DrawPushButtonFace(CDC& dc, RECT* rect, bool pushed) {
    if (!rect) return;
    if (!pushed) {
        DrawEdge(dc, rect, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE | BF_ADJUST);
        return;
    }
    CBrush dark(GetSysColor(COLOR_3DDKSHADOW)), shadow(GetSysColor(COLOR_BTNSHADOW));
    const int line = LineWidth();
    RECT r = *rect;
    FrameRect(dc, r, &dark);
    r = RECT{r.left + line, r.top + line, r.right - line, r.bottom - line};
    FrameRect(dc, r, &shadow);
    r = RECT{r.left + line, r.top + line, r.right - line, r.bottom - line};
    CBrush face(GetSysColor(COLOR_BTNFACE));
    dc.FillRect(r, &face);
    *rect = r;
}

void ClassicLook::DrawFocusRect(CDC& dc, const RECT& rect) {
    const int line = LineWidth();
    if (line == 1) {
        dc.DrawFocusRect(&rect);
        return;
    }
    // Dots of line x line pixels on every other place of a grid of that
    // size; each pixel of the band is inverted at most once.
    const int left = rect.left, top = rect.top, right = rect.right, bottom = rect.bottom;
    if (right <= left || bottom <= top) return;
    auto dotAt = [&](int x, int y) { return (((x - left) / line + (y - top) / line) & 1) == 0; };
    auto invertRun = [&](int x0, int x1, int y) {
        for (int x = x0; x < x1;) {
            const int end = std::min(x1, left + ((x - left) / line + 1) * line);
            if (dotAt(x, y)) dc.InvertRect(RECT{x, y, end, y + 1});
            x = end;
        }
    };
    for (int y = top; y < bottom; ++y) {
        if (y < top + line || y >= bottom - line) {
            invertRun(left, right, y);
        } else {
            invertRun(left, std::min(right, left + line), y);
            invertRun(std::max(left + line, right - line), right, y);
        }
    }
}
