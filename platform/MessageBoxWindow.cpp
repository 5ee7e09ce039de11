#include "platform/MessageBoxWindow.h"

#include <algorithm>

#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"

namespace {

const char* const kFace = "MS Sans Serif";
constexpr int kPointSize = 8;
// Dialog units.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 6;
constexpr int kIconPixels = 32;  // at 96 dpi, as the rest below
constexpr int kGlyphHeight = 20;
constexpr int kWarningGlyphDrop = 5;  // the "!" sits low in its triangle

const char* ButtonText(int id) {
    switch (id) {
        case IDOK: return "OK";
        case IDCANCEL: return "Cancel";
        case IDABORT: return "&Abort";
        case IDRETRY: return "&Retry";
        case IDIGNORE: return "&Ignore";
        case IDYES: return "&Yes";
        case IDNO: return "&No";
        default: return "";
    }
}

// Pixels of the 96-dpi layout to dialog units, rounded up so that nothing
// measured is cut. The base units are those of a 96-dpi screen too.
int ToUnitsX(int px, CSize base) { return (px * 4 + int(base.cx) - 1) / int(base.cx); }
int ToUnitsY(int px, CSize base) { return (px * 8 + int(base.cy) - 1) / int(base.cy); }

// A length measured on the screen (the font follows the display scale) in
// pixels of the 96-dpi layout, rounded up.
int ToLayoutPixels(int devicePixels) {
    const long percent = DisplayScale::Percent();
    return int((long(devicePixels) * 100 + percent - 1) / percent);
}

}  // namespace

BEGIN_MESSAGE_MAP(MessageBoxWindow, CDialog)
    ON_COMMAND_RANGE(IDOK, IDNO, OnButton)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

MessageBoxWindow::MessageBoxWindow(const std::string& text, const std::string& caption, UINT type)
    : m_type(type & MB_TYPEMASK), m_icon(type & MB_ICONMASK) {
    BuildTemplate(text, caption);
}

MessageBoxWindow::~MessageBoxWindow() = default;

std::vector<int> MessageBoxWindow::ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO: return {IDYES, IDNO};
        case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
        default: return {IDOK};
    }
}

void MessageBoxWindow::BuildTemplate(const std::string& text, const std::string& caption) {
    CSize base = CDialog::BaseUnitsOfFont(kFace, kPointSize);
    if (base.cx <= 0 || base.cy <= 0) base = CSize(6, 13);
    CFont font;
    font.CreatePointFont(kPointSize * 10, kFace);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&font);
    const int maxWidth = DisplayScale::Scale(kMaxTextWidth);
    CRect measured(0, 0, maxWidth, 0);
    dc.DrawText(text.empty() ? std::string(" ") : text, &measured,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    int textWidth = ToUnitsX(ToLayoutPixels(std::min(int(measured.Width()), maxWidth)), base);
    // A text longer than the screen is cut rather than making a box no one can see whole.
    int textHeight =
        ToUnitsY(ToLayoutPixels(std::min(int(measured.Height()), DisplayScale::Scale(kMaxTextHeight))), base);

    std::vector<int> buttons = ButtonsOf(m_type);
    int rowWidth = int(buttons.size()) * kButtonWidth + (int(buttons.size()) - 1) * kButtonGap;
    // With an icon the text moves right of it and is centred against it.
    int iconWidth = m_icon ? ToUnitsX(kIconPixels, base) : 0;
    int iconHeight = m_icon ? ToUnitsY(kIconPixels, base) : 0;
    int textLeft = kMargin + (m_icon ? iconWidth + kMargin : 0);
    int textTop = kMargin + std::max(0, (iconHeight - textHeight) / 2);
    int width = std::max(textLeft + textWidth + kMargin, rowWidth + 2 * kMargin);
    int buttonTop = std::max(textTop + textHeight, kMargin + iconHeight) + kMargin;
    int height = buttonTop + kButtonHeight + kMargin;

    m_template.id = 0;
    m_template.caption = caption.empty() ? "Error" : caption;
    m_template.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    m_template.exStyle = WS_EX_DLGMODALFRAME;
    m_template.x = 0;
    m_template.y = 0;
    m_template.cx = width;
    m_template.cy = height;
    m_template.fontFace = kFace;
    m_template.pointSize = kPointSize;
    m_template.items.clear();
    if (m_icon)
        m_template.items.push_back(DialogItemTemplate{kIconId, "Static", "", kMargin, kMargin, iconWidth, iconHeight,
                                                      SS_OWNERDRAW});
    m_template.items.push_back(DialogItemTemplate{IDC_STATIC, "Static", text, textLeft, textTop,
                                                  width - textLeft - kMargin, textHeight,
                                                  SS_LEFT | SS_NOPREFIX | WS_GROUP});
    int x = (width - rowWidth) / 2;
    for (size_t i = 0; i < buttons.size(); ++i) {
        DWORD style = (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | (i == 0 ? WS_GROUP : 0);
        m_template.items.push_back(DialogItemTemplate{buttons[i], "Button", ButtonText(buttons[i]), x, buttonTop,
                                                      kButtonWidth, kButtonHeight, style});
        x += kButtonWidth + kButtonGap;
    }
}

CWnd* MessageBoxWindow::Make(CWnd* owner, const std::string& text, const std::string& caption, UINT type) {
    auto* box = new MessageBoxWindow(text, caption, type);
    if (!box->CreateIndirect(&box->m_template, owner)) {
        delete box;
        return nullptr;
    }
    return box;
}

void MessageBoxWindow::OnButton(UINT id) { EndDialog(int(id)); }

void MessageBoxWindow::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT item) {
    if (nIDCtl == kIconId && item && item->hDC) DrawIcon(*item->hDC, item->rcItem);
}

void MessageBoxWindow::DrawIcon(CDC& dc, const RECT& rect) const {
    const int size = DisplayScale::Scale(kIconPixels);
    const int line = ClassicLook::LineWidth();
    const int x = rect.left, y = rect.top;
    dc.FillSolidRect(CRect(rect), GetSysColor(COLOR_BTNFACE));
    CPen outline(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* oldPen = dc.SelectObject(&outline);
    COLORREF fill = RGB(255, 255, 255), ink = RGB(0, 0, 0);
    const char* glyph = "i";
    if (m_icon == MB_ICONWARNING) {
        // A yellow triangle with an exclamation mark.
        CBrush yellow(RGB(255, 255, 0));
        CBrush* oldBrush = dc.SelectObject(&yellow);
        const int bottom = y + size - DisplayScale::Scale(3);
        POINT triangle[3] = {{x + size / 2, y + line}, {x + size - 1, bottom}, {x, bottom}};
        dc.Polygon(triangle, 3);
        dc.SelectObject(oldBrush);
        glyph = "!";
    } else {
        if (m_icon == MB_ICONERROR) {
            fill = RGB(255, 0, 0);
            ink = RGB(255, 255, 255);
            glyph = "X";
        } else if (m_icon == MB_ICONQUESTION) {
            ink = RGB(0, 0, 255);
            glyph = "?";
        } else {
            ink = RGB(0, 0, 255);
        }
        // A thicker outline is a black disc under the coloured one.
        CBrush black(RGB(0, 0, 0)), disc(fill);
        CBrush* oldBrush = dc.SelectObject(&black);
        if (line > 1) dc.Ellipse(x, y, x + size - 1, y + size - 1);
        dc.SelectObject(&disc);
        dc.Ellipse(x + line - 1, y + line - 1, x + size - line, y + size - line);
        dc.SelectObject(oldBrush);
    }
    dc.SelectObject(oldPen);
    CFont font;
    font.CreateFont(-DisplayScale::Scale(kGlyphHeight), 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0,
                    "Times New Roman");
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(ink);
    CRect text(x, y + (m_icon == MB_ICONWARNING ? DisplayScale::Scale(kWarningGlyphDrop) : 0), x + size - 1,
               y + size - 1);
    dc.DrawText(glyph, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(oldFont);
}

void MessageBoxWindow::OnOK() { EndDialog(ButtonsOf(m_type).front()); }

void MessageBoxWindow::OnCancel() {
    std::vector<int> buttons = ButtonsOf(m_type);
    if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end())
        EndDialog(IDCANCEL);
    else if (buttons.size() == 1)
        EndDialog(buttons.front());
}

