#include "platform/MessageBoxWindow.h"

#include <algorithm>

#include "platform/CDC.h"
#include "platform/CFont.h"

namespace {

const char* const kFace = "MS Sans Serif";
constexpr int kPointSize = 8;
// Dialog units.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 6;

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

// Pixels to dialog units, rounded up so that nothing measured is cut.
int ToUnitsX(int px, CSize base) { return (px * 4 + int(base.cx) - 1) / int(base.cx); }
int ToUnitsY(int px, CSize base) { return (px * 8 + int(base.cy) - 1) / int(base.cy); }

}  // namespace

BEGIN_MESSAGE_MAP(MessageBoxWindow, CDialog)
    ON_COMMAND_RANGE(IDOK, IDNO, OnButton)
END_MESSAGE_MAP()

MessageBoxWindow::MessageBoxWindow(const std::string& text, const std::string& caption, UINT type)
    : m_type(type & MB_TYPEMASK) {
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
    CRect measured(0, 0, kMaxTextWidth, 0);
    dc.DrawText(text.empty() ? std::string(" ") : text, &measured,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    int textWidth = ToUnitsX(std::min(int(measured.Width()), kMaxTextWidth), base);
    int textHeight = ToUnitsY(int(measured.Height()), base);

    std::vector<int> buttons = ButtonsOf(m_type);
    int rowWidth = int(buttons.size()) * kButtonWidth + (int(buttons.size()) - 1) * kButtonGap;
    int width = std::max(textWidth, rowWidth) + 2 * kMargin;
    int buttonTop = kMargin + textHeight + kMargin;
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
    m_template.items.push_back(DialogItemTemplate{IDC_STATIC, "Static", text, kMargin, kMargin, width - 2 * kMargin,
                                                  textHeight, SS_LEFT | SS_NOPREFIX | WS_GROUP});
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

void MessageBoxWindow::OnOK() { EndDialog(ButtonsOf(m_type).front()); }

void MessageBoxWindow::OnCancel() {
    std::vector<int> buttons = ButtonsOf(m_type);
    if (std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end())
        EndDialog(IDCANCEL);
    else if (buttons.size() == 1)
        EndDialog(buttons.front());
}

