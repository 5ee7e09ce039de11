#pragma once

// A static text control that paints itself: text colour, a background colour
// or horizontal gradient, font attributes, a thin border or sunken edge, an
// embossed second drawing of the text, rotated text, blinking text, and clicks
// that open a web or mail link (or are reported to the parent) with a cursor
// of its own. It takes over a static control of a dialog template
// (SubclassDlgItem) and is configured by calls after that; every operation
// returns the label so that calls can be chained.

#include <string>

#include "platform/CBrush.h"
#include "platform/CFont.h"
#include "platform/CStatic.h"
#include "platform/Icon.h"

class CDC;

class CLinkLabel : public CStatic {
public:
    enum LinkKind { NoLink = 0, WebLink = 1, MailLink = 2 };
    enum BlinkKind { NoBlink = 0, BlinkingText = 1, BlinkingBackground = 2 };
    // The notification a click sends the parent when it is to be told.
    static constexpr UINT kClickNotification = 0x8200;
    static constexpr UINT_PTR kBlinkTimer = 1;
    static constexpr UINT kBlinkPeriodMs = 500;
    static constexpr int kMaxGradientBands = 100;

    CLinkLabel();
    ~CLinkLabel() override;

    virtual CLinkLabel& SetBackground(COLORREF colour, COLORREF gradientEnd = 0, BOOL gradient = FALSE);
    virtual CLinkLabel& SetForeground(COLORREF colour);
    virtual CLinkLabel& ChangeText(const char* text);
    virtual CLinkLabel& SetBold(BOOL bold);
    virtual CLinkLabel& SetFaceName(const char* faceName, BYTE charSet = ANSI_CHARSET);
    virtual CLinkLabel& SetUnderline(BOOL underline);
    virtual CLinkLabel& SetItalic(BOOL italic);
    virtual CLinkLabel& SetPointSize(int points);
    virtual CLinkLabel& SetStaticEdge(BOOL edge);
    virtual CLinkLabel& SetThinBorder(BOOL border);
    virtual CLinkLabel& SetTransparentMode(BOOL transparent);
    virtual CLinkLabel& BlinkText(BOOL blink);
    virtual CLinkLabel& BlinkBackground(BOOL blink);
    virtual CLinkLabel& SetWebLink(BOOL link, BOOL notifyParent = FALSE);
    virtual CLinkLabel& SetHoverCursor(HCURSOR cursor);
    virtual CLinkLabel& SetEmbossed(BOOL embossed, BOOL down = TRUE);
    virtual CLinkLabel& SetEscapement(int degrees, BOOL rotated = TRUE);
    virtual CLinkLabel& SetEmbossColour(COLORREF colour);
    virtual CLinkLabel& SetLogFont(const LOGFONT& logFont);
    virtual CLinkLabel& SetMailtoLink(BOOL link, BOOL notifyParent = FALSE);
    virtual CLinkLabel& SetTarget(const char* target);

    const LOGFONT& GetFontSpec() const { return m_fontSpec; }
    CFont& GetLabelFont() { return m_labelFont; }
    COLORREF GetTextColour() const { return m_textColour; }
    int GetLinkKind() const { return m_linkKind; }
    int GetBlinkKind() const { return m_blinkKind; }
    bool GetBlinkPhase() const { return m_blinkPhase; }
    const std::string& GetTarget() const { return m_target; }

    void PreSubclassWindow() override;

    // Fills rect with up to 100 vertical bands running from `from` to `to`.
    static void FillGradient(CDC& dc, const CRect& rect, COLORREF from, COLORREF to);

protected:
    // Hands a link to the user's default application.
    virtual void OpenLink(const std::string& link);

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnTimer(UINT_PTR id);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnSysColorChange();

    DECLARE_MESSAGE_MAP()

private:
    void RepaintWithParent();
    void RebuildFont();
    void StartBlinking(BlinkKind kind, BOOL blink);
    void SetLinkStyle();
    // The client area inside the border the label draws itself.
    CRect PaintBorder(CDC& dc, CRect client) const;
    void PaintContent(CDC& dc, const CRect& area, const std::string& text);
    UINT TextFormat(const std::string& text) const;

    COLORREF m_textColour;
    COLORREF m_embossColour = RGB(255, 255, 255);
    CBrush m_systemBrush;
    CBrush m_backgroundBrush;
    LOGFONT m_fontSpec{};
    CFont m_labelFont;
    bool m_blinkPhase = false;
    bool m_timerStarted = false;
    int m_linkKind = NoLink;
    bool m_transparentMode = false;
    bool m_embossed = false;
    bool m_notifyParent = false;
    bool m_rotated = false;
    int m_blinkKind = NoBlink;
    HCURSOR m_hoverCursor = nullptr;
    bool m_embossDown = true;
    bool m_gradient = false;
    COLORREF m_gradientColour = 0;
    COLORREF m_backgroundColour = 0;
    std::string m_target;
};
