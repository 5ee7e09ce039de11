#include "platform/ClassicLook.h"

#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/CWnd.h"
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
    RECT shifted{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
    dc.DrawText(text, &shifted, format);
    dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
    dc.DrawText(text, &rect, format);
    dc.SetTextColor(old);
    dc.SetBkMode(mode);
}
