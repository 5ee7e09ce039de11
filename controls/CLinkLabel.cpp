#include "controls/CLinkLabel.h"

#include <algorithm>
#include <cstring>

#include "platform/Shell.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

namespace {

constexpr int kMaxPoints = 1000;  // beyond any label; keeps font sizes sane

}  // namespace

BEGIN_MESSAGE_MAP(CLinkLabel, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel() : m_textColour(GetSysColor(COLOR_WINDOWTEXT)) {
    m_systemBrush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

CLinkLabel::~CLinkLabel() {
    if (m_timerStarted && GetSafeHwnd()) KillTimer(kBlinkTimer);
    m_labelFont.DeleteObject();
    m_systemBrush.DeleteObject();
    m_backgroundBrush.DeleteObject();
}

void CLinkLabel::PreSubclassWindow() {
    CStatic::PreSubclassWindow();
    const CFont* font = GetFont();
    if (!font || !font->IsCreated()) font = static_cast<const CFont*>(GetStockObject(SYSTEM_FONT));
    if (font) font->GetLogFont(&m_fontSpec);
    RebuildFont();
}

void CLinkLabel::RebuildFont() {
    m_labelFont.DeleteObject();
    m_labelFont.CreateFontIndirect(&m_fontSpec);
}

void CLinkLabel::RepaintWithParent() {
    if (!GetSafeHwnd()) return;
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    CWnd* parent = GetParent();
    if (!parent) return;
    CRect covered;
    GetWindowRect(&covered);
    parent->ScreenToClient(&covered);
    parent->InvalidateRect(&covered, TRUE);
    parent->UpdateWindow();
}

// ---- colours ----

CLinkLabel& CLinkLabel::SetBackground(COLORREF colour, COLORREF gradientEnd, BOOL gradient) {
    m_backgroundColour = colour;
    m_gradientColour = gradientEnd;
    m_gradient = gradient != FALSE;
    m_backgroundBrush.DeleteObject();
    if (!m_gradient) m_backgroundBrush.CreateSolidBrush(colour);
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetForeground(COLORREF colour) {
    m_textColour = colour;
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetEmbossColour(COLORREF colour) {
    m_embossColour = colour;
    RepaintWithParent();
    return *this;
}

// ---- text and font ----

CLinkLabel& CLinkLabel::ChangeText(const char* text) {
    if (!GetSafeHwnd()) return *this;
    SetWindowText(text ? text : "");
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetBold(BOOL bold) {
    m_fontSpec.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetFaceName(const char* faceName, BYTE charSet) {
    m_fontSpec.lfCharSet = charSet;
    // The record holds 31 characters; longer names are cut.
    std::memset(m_fontSpec.lfFaceName, 0, sizeof m_fontSpec.lfFaceName);
    if (faceName) std::strncpy(m_fontSpec.lfFaceName, faceName, LF_FACESIZE - 1);
    RebuildFont();
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetUnderline(BOOL underline) {
    m_fontSpec.lfUnderline = underline ? 1 : 0;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetItalic(BOOL italic) {
    m_fontSpec.lfItalic = italic ? 1 : 0;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetPointSize(int points) {
    points = std::clamp(points, 1, kMaxPoints);
    // The screen's height and width of that size in the current face.
    CFont sized;
    LOGFONT measured{};
    if (sized.CreatePointFont(points * 10, m_fontSpec.lfFaceName) && sized.GetLogFont(&measured)) {
        m_fontSpec.lfHeight = measured.lfHeight;
        m_fontSpec.lfWidth = measured.lfWidth;
    }
    RebuildFont();
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetEscapement(int degrees, BOOL rotated) {
    const LONG tenths = LONG(degrees % 360) * 10;
    m_fontSpec.lfEscapement = tenths;
    m_fontSpec.lfOrientation = tenths;
    m_rotated = rotated != FALSE;
    RebuildFont();
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetLogFont(const LOGFONT& logFont) {
    m_fontSpec = logFont;
    m_fontSpec.lfFaceName[LF_FACESIZE - 1] = '\0';
    RebuildFont();
    RepaintWithParent();
    return *this;
}

CLinkLabel& CLinkLabel::SetEmbossed(BOOL embossed, BOOL down) {
    m_embossed = embossed != FALSE;
    m_embossDown = down != FALSE;
    RepaintWithParent();
    return *this;
}

// ---- frame and transparency ----

CLinkLabel& CLinkLabel::SetStaticEdge(BOOL edge) {
    ModifyStyleEx(edge ? 0 : WS_EX_STATICEDGE, edge ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
    return *this;
}

CLinkLabel& CLinkLabel::SetThinBorder(BOOL border) {
    ModifyStyle(border ? 0 : WS_BORDER, border ? WS_BORDER : 0, SWP_FRAMECHANGED);
    return *this;
}

CLinkLabel& CLinkLabel::SetTransparentMode(BOOL transparent) {
    m_transparentMode = transparent != FALSE;
    // Siblings beneath are painted first from now on.
    ModifyStyleEx(0, WS_EX_TRANSPARENT);
    RepaintWithParent();
    return *this;
}

// ---- blinking ----

void CLinkLabel::StartBlinking(BlinkKind kind, BOOL blink) {
    if (m_timerStarted && GetSafeHwnd()) KillTimer(kBlinkTimer);
    if (blink) {
        m_blinkPhase = false;
        m_timerStarted = true;
        SetTimer(kBlinkTimer, kBlinkPeriodMs);
        m_blinkKind = kind;
        return;
    }
    if (kind == BlinkingText) m_blinkKind = NoBlink;
    // Stopped blinking leaves the text visible, whichever kind was stopped.
    if (!m_blinkPhase) {
        m_blinkPhase = true;
        RepaintWithParent();
    }
}

CLinkLabel& CLinkLabel::BlinkText(BOOL blink) {
    StartBlinking(BlinkingText, blink);
    return *this;
}

CLinkLabel& CLinkLabel::BlinkBackground(BOOL blink) {
    StartBlinking(BlinkingBackground, blink);
    return *this;
}

void CLinkLabel::OnTimer(UINT_PTR id) {
    if (id != kBlinkTimer) {
        Default();
        return;
    }
    m_blinkPhase = !m_blinkPhase;
    RepaintWithParent();
}

// ---- links ----

void CLinkLabel::SetLinkStyle() {
    if (m_linkKind != NoLink)
        ModifyStyle(0, SS_NOTIFY);
    else
        ModifyStyle(SS_NOTIFY, 0);
}

CLinkLabel& CLinkLabel::SetWebLink(BOOL link, BOOL notifyParent) {
    m_linkKind = link ? WebLink : NoLink;
    m_notifyParent = notifyParent != FALSE;
    SetLinkStyle();
    return *this;
}

CLinkLabel& CLinkLabel::SetMailtoLink(BOOL link, BOOL notifyParent) {
    m_linkKind = link ? MailLink : NoLink;
    m_notifyParent = notifyParent != FALSE;
    SetLinkStyle();
    return *this;
}

CLinkLabel& CLinkLabel::SetTarget(const char* target) {
    m_target = target ? target : "";
    return *this;
}

CLinkLabel& CLinkLabel::SetHoverCursor(HCURSOR cursor) {
    m_hoverCursor = cursor;
    return *this;
}

void CLinkLabel::OpenLink(const std::string& link) { ShellOpen(link); }

void CLinkLabel::OnLButtonDown(UINT, CPoint) {
    CWnd* parent = GetParent();
    if (m_notifyParent) {
        if (parent) {
            NMHDR header{this, UINT_PTR(GetDlgCtrlID()), kClickNotification};
            parent->SendMessage(WM_NOTIFY, WPARAM(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&header));
        }
    } else if (m_linkKind == WebLink) {
        OpenLink(m_target.empty() ? GetWindowText() : m_target);
    } else if (m_linkKind == MailLink) {
        OpenLink("mailto:" + GetWindowText());
    }
    // With the notify style the ordinary handling reports the click as a command.
    if (GetSafeHwnd()) Default();
}

BOOL CLinkLabel::OnSetCursor(CWnd*, UINT, UINT) {
    if (!m_hoverCursor) return BOOL(Default());
    ::SetCursor(m_hoverCursor);
    return TRUE;
}

void CLinkLabel::OnSysColorChange() {
    m_systemBrush.DeleteObject();
    m_systemBrush.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    RepaintWithParent();
}
