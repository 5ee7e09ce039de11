#include "controls/CDropDownButton.h"

#include "platform/ClassicLook.h"
#include "platform/CDC.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WindowManager.h"

namespace {

// On the 96-dpi layout; the screen's scale applies to them.
constexpr int kFaceInset = 6;         // image position from the button's corner
constexpr int kEnabledImageTop = 3;   // the enabled image sits higher than the disabled one
constexpr int kCaptionGap = 2;        // between the image place and the caption
constexpr int kFocusInset = 4;        // focus rectangle inside the face
constexpr int kZoneInset = 2;         // drop zone inside the face
constexpr int kArrowRows = 4;

}  // namespace

BEGIN_MESSAGE_MAP(CDropDownButton, CButton)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_CAPTURECHANGED()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CDropDownButton::CDropDownButton() { m_popupMenu.CreatePopupMenu(); }

CDropDownButton::~CDropDownButton() {
    m_popupMenu.DestroyMenu();
    m_faceImages.DeleteImageList();
    m_faceBitmap.DeleteObject();
    m_disabledFace.DeleteObject();
}

BOOL CDropDownButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    m_commandTarget = parent;
    return CButton::Create(caption, style | BS_OWNERDRAW, rect, parent, id);
}

int CDropDownButton::SetFaceBitmap(UINT resourceId, COLORREF maskColour) {
    m_faceBitmap.DeleteObject();
    m_faceImages.DeleteImageList();
    m_disabledFace.DeleteObject();
    m_faceSize = SIZE{0, 0};
    if (m_faceBitmap.LoadBitmap(resourceId)) {
        BITMAP info{};
        m_faceBitmap.GetBitmap(&info);
        m_faceSize = SIZE{info.bmWidth, info.bmHeight};
        m_faceImages.Create(resourceId, m_faceSize.cx, 1, maskColour);
    }
    m_hasFaceBitmap = true;
    m_maskColour = maskColour;
    // The disabled look embosses the picture: its transparent colour must
    // read as white paper, not as ink.
    const COLORMAP toWhite{maskColour, RGB(255, 255, 255)};
    m_disabledFace.LoadMappedBitmap(resourceId, &toWhite, 1);
    Invalidate();
    return 1;
}

int CDropDownButton::AppendMenuEntry(UINT commandId, std::string text, UINT flags) {
    const BOOL appended = m_popupMenu.AppendMenu(flags, commandId, text.c_str());
    if (appended) m_hasMenuEntries = true;
    return appended;
}

// ---- mouse ----

bool CDropDownButton::MenuHit(CPoint clientPoint) const {
    if (!m_hasMenuEntries) return false;
    CPoint screen = clientPoint;
    ClientToScreen(&screen);
    CRect window;
    GetWindowRect(&window);
    return window.PtInRect(screen);
}

void CDropDownButton::RepaintNow() {
    if (!GetSafeHwnd()) return;
    Invalidate(TRUE);
    UpdateWindow();
}

void CDropDownButton::ShowMenu() {
    m_menuShown = true;
    RepaintNow();
    CRect window;
    GetWindowRect(&window);
    // A button taken over without a target still serves its parent.
    CWnd* target = m_commandTarget ? m_commandTarget : GetParent();
    m_popupMenu.TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, window.left, window.bottom, target);
    m_menuShown = false;
    RepaintNow();
}

void CDropDownButton::OnLButtonDown(UINT, CPoint point) {
    if (m_menuShown) {
        m_menuShown = false;
        RepaintNow();
        return;
    }
    if (MenuHit(point)) {
        // The menu took the press and its release; handing the press on would
        // leave the button holding the mouse after the menu has gone.
        ShowMenu();
        return;
    }
    m_pressed = true;
    RepaintNow();
    Default();
}

void CDropDownButton::EndPress() {
    m_pressed = false;
    if (GetCapture() == this) ReleaseCapture();
    RepaintNow();
}

void CDropDownButton::OnLButtonUp(UINT, CPoint) {
    const bool wasPressed = m_pressed;
    m_pressed = false;
    // The standard handling reports the click while it still holds the mouse.
    Default();
    if (wasPressed) EndPress();
}

void CDropDownButton::OnMouseMove(UINT, CPoint point) {
    if (m_pressed) {
        CPoint screen = point;
        ClientToScreen(&screen);
        if (WindowFromPoint(screen) != this) EndPress();
    }
    Default();
}

void CDropDownButton::OnCaptureChanged(CWnd* newCapture) {
    Default();
    // Whatever took the mouse (a disabled button, a window popping up) ends the press.
    if (m_pressed && newCapture != this) {
        m_pressed = false;
        RepaintNow();
    }
}

void CDropDownButton::OnSetFocus(CWnd*) {
    Default();
    RepaintNow();
}

void CDropDownButton::OnKillFocus(CWnd*) { Default(); }

void CDropDownButton::OnSysColorChange() {
    Default();
    RepaintNow();
}

// ---- drawing ----

int CDropDownButton::PressedShift() const { return m_pressed ? DisplayScale::Scale(1) : 0; }

void CDropDownButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (!drawItem || drawItem->CtlType != ODT_BUTTON || !drawItem->hDC) return;
    CDC& dc = *drawItem->hDC;
    const bool disabled = (drawItem->itemState & ODS_DISABLED) != 0;
    const int pressed = PressedShift();
    const int line = ClassicLook::LineWidth();
    const CRect item = drawItem->rcItem;
    dc.FillSolidRect(item, GetSysColor(COLOR_BTNFACE));

    // The owner-draw type contains the default-push bit, so every button of
    // this class has the default button's outline.
    CRect face = item;
    const bool outlined = (GetStyle() & BS_DEFPUSHBUTTON) != 0;
    if (outlined) face.DeflateRect(line, line);
    CRect focus = face;
    focus.DeflateRect(DisplayScale::Scale(kFocusInset), DisplayScale::Scale(kFocusInset));
    if (!m_menuShown) focus.OffsetRect(pressed, pressed);
    focus.right -= DisplayScale::Scale(DropZoneWidth);

    if (!m_pressed || m_menuShown) {
        CRect frame = face;
        ClassicLook::DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
    }
    if (!disabled && outlined) {
        CBrush black(RGB(0, 0, 0));
        ClassicLook::FrameRect(dc, item, &black);
        if (m_pressed && !m_menuShown) ClassicLook::FrameRect(dc, face, &black);
    }
    if (((drawItem->itemState & ODS_FOCUS) || m_pressed) && !m_menuShown) dc.DrawFocusRect(&focus);

    DrawFace(dc, disabled);
    DrawCaptionText(dc, focus, disabled);
    DrawDropZone(dc, face, disabled);
}

void CDropDownButton::DrawFace(CDC& dc, bool disabled) {
    if (!m_hasFaceBitmap) return;
    const int pressed = PressedShift();
    const int left = DisplayScale::Scale(kFaceInset) + pressed;
    if (disabled) {
        if (m_disabledFace.IsCreated())
            dc.DrawState(POINT{left, DisplayScale::Scale(kFaceInset) + pressed}, m_faceSize, &m_disabledFace,
                         DST_BITMAP | DSS_DISABLED);
        return;
    }
    if (m_faceImages.GetImageCount() == 0) return;
    const POINT at{left, DisplayScale::Scale(kEnabledImageTop) + pressed};
    m_faceImages.DrawEx(&dc, 0, at, m_faceSize, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT);
}

void CDropDownButton::DrawCaptionText(CDC& dc, CRect focus, bool disabled) {
    CGdiObject* oldFont = dc.SelectStockObject(DEFAULT_GUI_FONT);
    focus.left += m_faceSize.cx + DisplayScale::Scale(kCaptionGap);
    const std::string caption = GetWindowText();
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldBk = dc.SetBkColor(GetSysColor(COLOR_BTNFACE));
    const COLORREF oldText = dc.GetTextColor();
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (disabled) {
        CRect engraved = focus;
        engraved.OffsetRect(ClassicLook::LineWidth(), ClassicLook::LineWidth());
        dc.SetTextColor(GetSysColor(COLOR_WINDOW));
        dc.DrawText(caption, &engraved, format);
        dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
        dc.DrawText(caption, &focus, format);
    } else {
        dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        dc.DrawText(caption, &focus, format);
    }
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBk);
    dc.SetBkMode(oldMode);
    if (oldFont) dc.SelectObject(oldFont);
}

CRect CDropDownButton::DropZoneOf(const CRect& face) {
    CRect zone = face;
    zone.DeflateRect(DisplayScale::Scale(kZoneInset), DisplayScale::Scale(kZoneInset));
    zone.left = zone.right - DisplayScale::Scale(DropZoneWidth);
    return zone;
}

void CDropDownButton::DrawDropZone(CDC& dc, const CRect& face, bool disabled) {
    const int pressed = PressedShift();
    const int line = ClassicLook::LineWidth();
    CRect zone = DropZoneOf(face);
    // The etched separator between the caption and the zone.
    dc.FillSolidRect(CRect(zone.left, zone.top, zone.left + line, zone.bottom), GetSysColor(COLOR_BTNSHADOW));
    dc.FillSolidRect(CRect(zone.left + line, zone.top, zone.left + 2 * line, zone.bottom),
                     GetSysColor(COLOR_BTNHIGHLIGHT));

    // A downward triangle of 1, 3, 5, 7... pixels, its apex on the anchor;
    // its rows grow with the screen, so it keeps its shape and sharp edges.
    const int x = (zone.left + zone.right) / 2 + pressed;
    const int y = (zone.top + zone.bottom) / 2 + pressed;
    const COLORREF arrow = GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
    const int rows = DisplayScale::Scale(kArrowRows);
    for (int row = 0; row < rows; ++row) dc.FillSolidRect(CRect(x - row, y - row, x + row + 1, y - row + 1), arrow);

    if (m_menuShown && !disabled) {
        zone.InflateRect(line, line);
        ClassicLook::DrawEdge(dc, &zone, BDR_SUNKENOUTER, BF_RECT);
    }
}
