// CIconButton: painting one owner-draw request.

#include "controls/CIconButton.h"
#include "platform/ClassicLook.h"
#include "platform/CDC.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"

namespace {

constexpr UINT kCaptionFormat = DT_WORDBREAK | DT_CENTER;
constexpr int kFocusInset = 3;

// Bands of `thickness` pixels along two sides of `rect`, `inset` pixels
// inside it. The top and left bands reach the rectangle's bottom; the bottom
// and right ones are drawn later and own the corners where the two meet.
void FillTopLeft(CDC& dc, const CRect& rect, int inset, int thickness, COLORREF colour) {
    const int l = rect.left + inset, t = rect.top + inset;
    dc.FillSolidRect(CRect(l, t, rect.right - inset, t + thickness), colour);
    dc.FillSolidRect(CRect(l, t, l + thickness, rect.bottom), colour);
}

void FillBottomRight(CDC& dc, const CRect& rect, int inset, int thickness, COLORREF colour) {
    const int l = rect.left + inset, t = rect.top + inset, r = rect.right - inset, b = rect.bottom - inset;
    dc.FillSolidRect(CRect(l, b - thickness, r, b), colour);
    dc.FillSolidRect(CRect(r - thickness, t, r, b), colour);
}

}  // namespace

void CIconButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (!drawItem || !drawItem->hDC) return;
    CDC& dc = *drawItem->hDC;
    const bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
    m_isPressed = m_checkBoxMode ? (selected || m_checkState) : selected;
    m_isFocused = (drawItem->itemState & ODS_FOCUS) != 0;
    m_isDisabled = (drawItem->itemState & ODS_DISABLED) != 0;

    const CRect item = drawItem->rcItem;
    CRect work = item;
    const int savedBkMode = dc.SetBkMode(TRANSPARENT);
    DrawBackground(dc, work);
    DrawFrame(dc, work);

    CRect caption = item;
    const std::string text = GetWindowText();
    const bool hasCaption = !text.empty();
    if (m_iconIn.icon) DrawIconImage(dc, item, caption, hasCaption);
    if (m_bitmapIn.bitmap) {
        dc.SetBkColor(RGB(255, 255, 255));
        DrawBitmapImage(dc, item, caption, hasCaption);
    }
    if (hasCaption) DrawCaption(dc, text, item, caption);
    if (!m_isFlat && m_isFocused) {
        CRect focus = work;
        focus.DeflateRect(DisplayScale::Scale(kFocusInset), DisplayScale::Scale(kFocusInset));
        dc.DrawFocusRect(&focus);
    }
    dc.SetBkMode(savedBkMode);
}

void CIconButton::DrawBackground(CDC& dc, CRect& rect) {
    if (!m_isFlat && (m_isFocused || m_isDefault)) {
        const int line = ClassicLook::LineWidth();
        CBrush black(RGB(0, 0, 0));
        ClassicLook::FrameRect(dc, rect, &black);
        rect.DeflateRect(line, line);
    }
    COLORREF colour = m_stateColours[BackOut];
    if (m_mouseOver || m_isPressed)
        colour = m_stateColours[BackIn];
    else if (m_isFocused)
        colour = m_stateColours[BackFocus];
    dc.FillSolidRect(rect, colour);
}

void CIconButton::DrawFrame(CDC& dc, const CRect& rect) {
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const int line = ClassicLook::LineWidth();
    if (m_isPressed) {
        if (m_isFlat) {
            ClassicLook::Draw3dRect(dc, rect, shadow, highlight);
        } else {
            CBrush frame(shadow);
            ClassicLook::FrameRect(dc, rect, &frame);
        }
        return;
    }
    if (m_isFlat) {
        if (m_mouseOver) ClassicLook::Draw3dRect(dc, rect, highlight, shadow);
        return;
    }
    // The raised look: highlight and light bands top and left, dark shadow
    // and shadow bands bottom and right, the outer band of each pair first.
    FillTopLeft(dc, rect, 0, line, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillTopLeft(dc, rect, line, line, GetSysColor(COLOR_3DLIGHT));
    FillBottomRight(dc, rect, 0, line, GetSysColor(COLOR_3DDKSHADOW));
    FillBottomRight(dc, rect, line, line, GetSysColor(COLOR_BTNSHADOW));
}

CRect CIconButton::PlaceImage(const CRect& item, CRect& caption, bool hasCaption, int w, int h) const {
    CRect image = item;
    const int margin = DisplayScale::Scale(kImageMargin);
    if (hasCaption) {
        image.left += margin;
        caption.left += w + margin;
    } else {
        image.left += (item.Width() - w) / 2;
    }
    image.top += (item.Height() - h) / 2;
    if (m_isPressed && !m_checkBoxMode) image.OffsetRect(m_pressedOffset);
    return image;
}

bool CIconButton::UseInImage() const {
    return m_checkBoxMode ? m_isPressed : (m_isPressed || m_mouseOver);
}

void CIconButton::DrawIconImage(CDC& dc, const CRect& item, CRect& caption, bool hasCaption) {
    const IconImage& chosen = UseInImage() || !m_iconOut.icon ? m_iconIn : m_iconOut;
    const CRect image = PlaceImage(item, caption, hasCaption, chosen.width, chosen.height);
    const UINT state = m_isDisabled ? DSS_DISABLED : DSS_NORMAL;
    dc.DrawState(image.TopLeft(), SIZE{chosen.width, chosen.height}, chosen.icon, DST_ICON | state);
}

void CIconButton::DrawBitmapImage(CDC& dc, const CRect& item, CRect& caption, bool hasCaption) {
    const BitmapImage& chosen = UseInImage() || !m_bitmapOut.bitmap ? m_bitmapIn : m_bitmapOut;
    const CRect image = PlaceImage(item, caption, hasCaption, chosen.width, chosen.height);
    const int w = chosen.width, h = chosen.height;

    CDC source;
    source.CreateCompatibleDC(&dc);
    CBitmap* oldSource = source.SelectObject(chosen.mask);
    if (!m_isDisabled) {
        // The mask's 1 bits keep the background, its 0 bits clear it; the
        // bitmap, black where transparent, is then laid over it.
        const COLORREF oldText = dc.SetTextColor(RGB(0, 0, 0));
        dc.BitBlt(image.left, image.top, w, h, &source, 0, 0, SRCAND);
        source.SelectObject(chosen.bitmap);
        dc.BitBlt(image.left, image.top, w, h, &source, 0, 0, SRCPAINT);
        dc.SetTextColor(oldText);
        source.SelectObject(oldSource);
        return;
    }
    // Disabled: the picture on white, drawn greyed.
    CDC work;
    work.CreateCompatibleDC(&dc);
    CBitmap picture;
    picture.CreateCompatibleBitmap(&dc, w, h);
    CBitmap* oldWork = work.SelectObject(&picture);
    work.FillSolidRect(CRect(0, 0, w, h), RGB(255, 255, 255));
    work.SetTextColor(RGB(0, 0, 0));
    work.SetBkColor(RGB(255, 255, 255));
    work.BitBlt(0, 0, w, h, &source, 0, 0, SRCAND);
    source.SelectObject(chosen.bitmap);
    work.BitBlt(0, 0, w, h, &source, 0, 0, SRCPAINT);
    work.SelectObject(oldWork);
    source.SelectObject(oldSource);
    dc.DrawState(image.TopLeft(), SIZE{w, h}, &picture, DST_BITMAP | DSS_DISABLED);
}

void CIconButton::DrawCaption(CDC& dc, const std::string& text, const CRect&, CRect caption) {
    if (m_isPressed && !m_checkBoxMode) caption.OffsetRect(m_pressedOffset);
    CFont* oldFont = dc.SelectObject(&m_captionFont);
    // Measure the wrapped text, then centre it in the caption rectangle.
    CRect centred = caption;
    dc.DrawText(text, &centred, kCaptionFormat | DT_CALCRECT);
    centred.OffsetRect((caption.Width() - centred.Width()) / 2 + caption.left - centred.left,
                       (caption.Height() - centred.Height()) / 2 + caption.top - centred.top);
    const COLORREF oldText = dc.GetTextColor();
    const COLORREF oldBk = dc.GetBkColor();
    if (m_isDisabled) {
        CRect raised = centred;
        raised.OffsetRect(ClassicLook::LineWidth(), ClassicLook::LineWidth());
        dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
        dc.DrawText(text, &raised, kCaptionFormat);
        dc.SetTextColor(GetSysColor(COLOR_BTNSHADOW));
        dc.DrawText(text, &centred, kCaptionFormat);
    } else {
        int fore = ForeOut, back = BackOut;
        if (m_mouseOver || m_isPressed) {
            fore = ForeIn;
            back = BackIn;
        } else if (m_isFocused) {
            fore = ForeFocus;
            back = BackFocus;
        }
        dc.SetTextColor(m_stateColours[fore]);
        dc.SetBkColor(m_stateColours[back]);
        dc.SetBkMode(TRANSPARENT);
        dc.DrawText(text, &centred, kCaptionFormat);
    }
    dc.SetTextColor(oldText);
    dc.SetBkColor(oldBk);
    dc.SelectObject(oldFont);
}
