#include "platform/CToolTipCtrl.h"

#include <algorithm>

#include "platform/CClientDC.h"
#include "platform/CDC.h"
#include "platform/CPaintDC.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

namespace {

// At 96 dpi, in pixels.
constexpr int kMarginX = 3;
constexpr int kMarginY = 2;
constexpr int kCursorHeight = 20;  // the tip appears below the pointer

// The text's distance from the tip's edge: the frame line and the margin.
CSize TextInset() {
    const int frame = ClassicLook::LineWidth();
    return CSize(frame + DisplayScale::Scale(kMarginX), frame + DisplayScale::Scale(kMarginY));
}

}  // namespace

CToolTipCtrl::CToolTipCtrl() = default;
CToolTipCtrl::~CToolTipCtrl() = default;

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    CWnd* owner = parent ? parent->GetTopLevelParent() : nullptr;
    return CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "tooltips_class32", "", WS_POPUP | style,
                    CRect(0, 0, 1, 1), owner, 0);
}

CToolTipCtrl::Tool* CToolTipCtrl::FindTool(CWnd* wnd, UINT_PTR toolId) {
    for (Tool& tool : m_tools)
        if (tool.wnd == wnd && tool.id == toolId) return &tool;
    return nullptr;
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, const char* text, LPCRECT rect, UINT_PTR toolId) {
    if (!wnd || FindTool(wnd, toolId)) return FALSE;
    Tool tool;
    tool.wnd = wnd;
    tool.id = toolId;
    tool.wholeClient = rect == nullptr;
    if (rect) tool.rect = *rect;
    tool.text = text ? text : "";
    m_tools.push_back(tool);
    return TRUE;
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR toolId) {
    for (size_t i = 0; i < m_tools.size(); ++i) {
        if (m_tools[i].wnd != wnd || m_tools[i].id != toolId) continue;
        if (m_hoverTool == int(i)) Hide();
        m_tools.erase(m_tools.begin() + long(i));
        m_hoverTool = -1;
        return;
    }
}

void CToolTipCtrl::UpdateTipText(const char* text, CWnd* wnd, UINT_PTR toolId) {
    Tool* tool = FindTool(wnd, toolId);
    if (!tool) return;
    tool->text = text ? text : "";
    if (m_shown && m_hoverTool >= 0 && &m_tools[size_t(m_hoverTool)] == tool) Show();
}

void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR toolId, LPCRECT rect) {
    if (Tool* tool = FindTool(wnd, toolId)) {
        tool->wholeClient = rect == nullptr;
        if (rect) tool->rect = *rect;
    }
}

void CToolTipCtrl::Activate(BOOL activate) {
    m_active = activate != FALSE;
    if (!m_active) Hide();
}

int CToolTipCtrl::SetMaxTipWidth(int width) {
    int previous = m_maxWidth;
    m_maxWidth = width;
    return previous;
}

std::string CToolTipCtrl::GetShownText() const {
    return m_shown && m_hoverTool >= 0 ? m_tools[size_t(m_hoverTool)].text : std::string();
}

int CToolTipCtrl::ToolAt(CWnd* wnd, POINT clientPoint) const {
    for (size_t i = 0; i < m_tools.size(); ++i) {
        const Tool& tool = m_tools[i];
        if (tool.wnd != wnd) continue;
        CRect rect = tool.rect;
        if (tool.wholeClient) wnd->GetClientRect(&rect);
        if (rect.PtInRect(clientPoint)) return int(i);
    }
    return -1;
}

void CToolTipCtrl::RelayEvent(MSG* msg) {
    if (!msg || !m_hWnd) return;
    switch (msg->message) {
        case WM_MOUSEMOVE: {
            int tool = ToolAt(msg->hwnd, POINT{GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam)});
            if (tool == m_hoverTool) return;
            Hide();
            m_hoverTool = tool;
            m_suppressed = false;
            if (tool >= 0 && m_active) SetTimer(kShowTimer, kInitialDelayMs);
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_LBUTTONDBLCLK:
            Hide();
            m_suppressed = m_hoverTool >= 0;
            return;
        case WM_MOUSELEAVE:
            Hide();
            m_hoverTool = -1;
            return;
        default:
            return;
    }
}

CSize CToolTipCtrl::TextSize(const std::string& text) const {
    CClientDC dc(const_cast<CToolTipCtrl*>(this));
    dc.SelectObject(ClassicLook::ControlFont(this));
    CRect rect(0, 0, m_maxWidth > 0 ? m_maxWidth : 4096, 0);
    UINT format = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | (m_maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    dc.DrawText(text, &rect, format);
    return CSize(rect.Width(), rect.Height());
}

void CToolTipCtrl::Show() {
    KillTimer(kShowTimer);
    if (!m_active || m_suppressed || m_hoverTool < 0) return;
    const std::string& text = m_tools[size_t(m_hoverTool)].text;
    if (text.empty()) return;
    CSize size = TextSize(text);
    const CSize inset = TextInset();
    int width = size.cx + 2 * inset.cx;
    int height = size.cy + 2 * inset.cy;
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    SIZE screen = WindowManager::Instance().GetDriver().ScreenSize();
    width = std::min(width, int(screen.cx));
    height = std::min(height, int(screen.cy));
    int x = std::max(0, std::min(int(cursor.x), int(screen.cx) - width));
    int y = cursor.y + DisplayScale::Scale(kCursorHeight);
    if (y + height > screen.cy) y = std::max(0, int(cursor.y) - height);
    MoveWindow(x, y, width, height, TRUE);
    ShowWindow(SW_SHOWNA);
    Invalidate(TRUE);
    m_shown = true;
    SetTimer(kHideTimer, kAutoPopMs);
}

void CToolTipCtrl::Hide() {
    KillTimer(kShowTimer);
    KillTimer(kHideTimer);
    if (!m_shown) return;
    m_shown = false;
    ShowWindow(SW_HIDE);
}

LRESULT CToolTipCtrl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kShowTimer) {
                Show();
                return 0;
            }
            if (wParam == kHideTimer) {
                Hide();
                m_suppressed = true;
                return 0;
            }
            break;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
            // The pointer reached the tip itself: it gets out of the way.
            Hide();
            return 0;
        default:
            break;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CToolTipCtrl::Paint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(client, GetSysColor(COLOR_INFOBK));
    CBrush frame(GetSysColor(COLOR_INFOTEXT));
    ClassicLook::FrameRect(dc, client, &frame);
    if (m_hoverTool < 0) return;
    dc.SelectObject(ClassicLook::ControlFont(this));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_INFOTEXT));
    CRect text = client;
    const CSize inset = TextInset();
    text.DeflateRect(inset.cx, inset.cy);
    UINT format = DT_NOPREFIX | DT_EXPANDTABS | (m_maxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    dc.DrawText(m_tools[size_t(m_hoverTool)].text, &text, format);
}
