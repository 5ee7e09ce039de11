// Measuring and drawing the items of an owner-drawn menu, in the XP and the
// classic style.

#include <algorithm>

#include "controls/CMenuMemDC.h"
#include "controls/COwnerDrawMenu.h"
#include "platform/ClassicLook.h"
#include "platform/CDC.h"
#include "platform/CFont.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"
#include "platform/WinUser.h"

namespace {

// On the 96-dpi layout; DisplayScale::Scale() gives them in device pixels.
constexpr int kXpTextGap = 8;     // between the icon column and the text (XP)
constexpr int kClassicTextGap = 9;  // from the item's left edge past the icon box (classic)
constexpr int kClassicBoxMargin = 4;
constexpr int kCheckBoxSize = 16;
constexpr int kAcceleratorGap = 12;  // least room between a label and its accelerator
constexpr int kClassicWidthExtra = 1;
constexpr int kPadding = 4;
constexpr int kWidePadding = 7;
// The tick: a short arm down and a long arm up at 45 degrees, strokes three
// pixels high.
constexpr int kTickShortArm = 2;
constexpr int kTickStroke = 3;

// "Label\tAccelerator": the label ends at the first tab, the accelerator
// text starts after the last one.
void SplitAtTabs(const std::string& text, std::string* label, std::string* accelerator) {
    const size_t first = text.find('\t');
    *label = text.substr(0, first);
    accelerator->clear();
    if (first != std::string::npos) *accelerator = text.substr(text.rfind('\t') + 1);
}

// Where an image of w x h sits centred in `cell`: offsets rounded to nearest,
// never negative.
CPoint CentredIn(const CRect& cell, int w, int h) {
    const int dx = std::max(0, (int(cell.Width()) - w + 1) / 2);
    const int dy = std::max(0, (int(cell.Height()) - h + 1) / 2);
    return CPoint(cell.left + dx, cell.top + dy);
}

class MenuFont {
public:
    MenuFont() {
        const LOGFONT font = SystemInfo::GetMenuFont();
        font_.CreateFontIndirect(&font);
    }
    CFont* Get() { return &font_; }

private:
    CFont font_;
};

}  // namespace

struct COwnerDrawMenu::DrawContext {
    CDC* dc = nullptr;
    CRect item;
    const CMenuItemData* record = nullptr;
    bool selected = false;
    bool checked = false;
    bool grayed = false;
    bool luna = false;
    int padding = 4;
    int image = -1;           // shared image index
    bool companions = false;  // a plain variant and a shadow follow the image
};

// ---- style ----

COwnerDrawMenu::Style COwnerDrawMenu::StyleFor(const CDC*) {
    const bool luna = GetOsClass() == 7 && !IsThemeClassic();
    if (SystemInfo::IsPaletteDisplay()) return Style::Classic;
    const StyleSettings settings = GetStyleSettings();
    return (luna ? settings.xpDrawMode : settings.classicDrawMode) == 1 ? Style::XP : Style::Classic;
}

int COwnerDrawMenu::Padding(Style style) {
    return DisplayScale::Scale(style == Style::XP && GetStyleSettings().xpWidePadding ? kWidePadding : kPadding);
}

COLORREF COwnerDrawMenu::LightenColour(COLORREF colour, double factor) {
    if (!(factor > 0.0 && factor <= 1.0)) return colour;
    auto lift = [factor](int channel) { return int(channel + factor * (255 - channel)); };
    return RGB(lift(GetRValue(colour)), lift(GetGValue(colour)), lift(GetBValue(colour)));
}

// ---- measuring ----

CSize COwnerDrawMenu::MeasureText(const std::wstring& text) const {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    MenuFont font;
    dc.SelectObject(font.Get());
    const std::string ansi = SystemInfo::WideToAnsi(text);
    if (GetOsClass() != 0) return dc.GetTextExtent(ansi);
    // The oldest systems measure as a single-line text and pad each character.
    CRect r(0, 0, 0, 0);
    dc.DrawText(ansi, &r, DT_SINGLELINE | DT_CALCRECT);
    const int padded = r.Width() + 3;
    return CSize(padded + (ansi.empty() ? 0 : 3 * (padded / int(ansi.size()))), r.Height());
}

void COwnerDrawMenu::MeasureItem(MEASUREITEMSTRUCT* measure) {
    if (!measure || measure->CtlType != ODT_MENU) return;
    const CMenuItemData* record = FindRecord(measure->itemData);
    if (!record) return;
    const Style style = StyleFor(nullptr);
    const int padding = Padding(style);
    const int menuHeight = SystemInfo::GetMenuHeight();
    if (record->itemFlags & MF_SEPARATOR) {
        measure->itemWidth = 0;
        measure->itemHeight = UINT(std::max(menuHeight / 2, (m_iconHeight + padding) / 2));
        return;
    }
    const int textWidth = MeasureText(record->text).cx;
    int width = style == Style::XP ? m_iconWidth + padding + textWidth + DisplayScale::Scale(kXpTextGap)
                                   : m_iconWidth + textWidth + m_iconWidth + DisplayScale::Scale(kClassicWidthExtra);
    // A tab is narrow in the menu font, so the whole text's width can leave
    // too little room for the label and the accelerator drawn apart: the
    // item is widened until they no longer overlap.
    std::string label, accelerator;
    SplitAtTabs(SystemInfo::WideToAnsi(record->text), &label, &accelerator);
    if (!accelerator.empty()) {
        const int textLeft = style == Style::XP ? m_iconWidth + padding + DisplayScale::Scale(kXpTextGap)
                                                : m_iconWidth + DisplayScale::Scale(kClassicTextGap);
        const int apart = textLeft + MeasureText(SystemInfo::AnsiToWide(label)).cx +
                          DisplayScale::Scale(kAcceleratorGap) + MeasureText(SystemInfo::AnsiToWide(accelerator)).cx +
                          m_iconWidth;
        width = std::max(width, apart);
    }
    measure->itemWidth = UINT(std::max(width, 0));
    measure->itemHeight = UINT(std::max(menuHeight, m_iconHeight + padding));
}

// ---- drawing ----

int COwnerDrawMenu::ImageOf(const CMenuItemData& record) {
    if (record.itemFlags & (MF_POPUP | MF_SEPARATOR)) return -1;
    if (record.imageIndex >= 0 && record.imageIndex < SharedImageCount()) return record.imageIndex;
    return SharedImageIndex(record.commandId);
}

void COwnerDrawMenu::DrawItem(DRAWITEMSTRUCT* draw) {
    if (!draw || draw->CtlType != ODT_MENU || !draw->hDC) return;
    const CMenuItemData* record = FindRecord(draw->itemData);
    if (!record) return;
    DrawContext c;
    c.item = draw->rcItem;
    c.record = record;
    c.selected = (draw->itemState & ODS_SELECTED) != 0;
    c.checked = (draw->itemState & ODS_CHECKED) != 0;
    c.grayed = (draw->itemState & ODS_GRAYED) != 0;
    c.luna = GetOsClass() == 7 && !IsThemeClassic();
    const Style style = StyleFor(draw->hDC);
    c.padding = Padding(style);
    c.image = ImageOf(*record);
    const std::vector<UINT_PTR>& ids = SharedIds();
    c.companions = GetStyleSettings().xpWidePadding && c.image >= 0 && size_t(c.image) + 2 < ids.size() &&
                   ids[size_t(c.image) + 1] == record->commandId && ids[size_t(c.image) + 2] == record->commandId;
    // Grayed items are never highlighted.
    if (c.grayed && GetStyleSettings().selectDisabled == 0) c.selected = false;

    MenuFont font;
    CDC& target = *draw->hDC;
    target.SaveDC();
    target.SelectObject(font.Get());
    if (c.grayed) {
        // Disabled items draw in several layers: off screen, then at once.
        CMenuMemDC memory(&target, c.item);
        memory.SelectObject(font.Get());
        c.dc = memory.IsReady() ? &memory : &target;
        style == Style::XP ? DrawXP(c) : DrawClassic(c);
        const COLORREF ink = c.dc->GetTextColor();
        target.RestoreDC(-1);
        target.SetTextColor(ink);
        return;
    }
    c.dc = &target;
    style == Style::XP ? DrawXP(c) : DrawClassic(c);
    const COLORREF ink = target.GetTextColor();
    target.RestoreDC(-1);
    // The menu draws the submenu arrow after the item, in the item's ink.
    target.SetTextColor(ink);
}

void COwnerDrawMenu::DrawXP(DrawContext& c) {
    CDC& dc = *c.dc;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF columnColour = c.luna ? face : LightenColour(face, 0.25);
    const COLORREF textArea = GetSysColor(COLOR_WINDOW);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF highlightFill = LightenColour(highlight, c.luna ? 0.7 : 0.85);
    CRect column(c.item.left, c.item.top, c.item.left + m_iconWidth + c.padding, c.item.bottom);

    if (c.record->itemFlags & MF_SEPARATOR) {
        dc.FillSolidRect(c.item, textArea);
        dc.FillSolidRect(column, columnColour);
        CRect line(column.right + c.padding, c.item.top + c.item.Height() / 2, c.item.right, c.item.bottom);
        ClassicLook::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    if (c.selected) {
        dc.FillSolidRect(c.item, highlightFill);
        CBrush frame(highlight);
        ClassicLook::FrameRect(dc, c.item, &frame);
    } else {
        dc.FillSolidRect(c.item, textArea);
        dc.FillSolidRect(column, columnColour);
    }
    DrawXPIconCell(c, column);

    COLORREF ink = GetSysColor(COLOR_MENUTEXT);
    if (c.grayed) {
        ink = GetSysColor(COLOR_GRAYTEXT);
        if (!c.luna && !c.selected) ink = LightenColour(ink, 0.4);
    }
    CRect text(column.right + DisplayScale::Scale(kXpTextGap), c.item.top, c.item.right, c.item.bottom);
    DrawItemText(c, text, ink);
}

void COwnerDrawMenu::DrawXPIconCell(DrawContext& c, const CRect& column) {
    CDC& dc = *c.dc;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF columnColour = c.luna ? face : LightenColour(face, 0.25);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF highlightFill = LightenColour(highlight, c.luna ? 0.7 : 0.85);
    const int line = ClassicLook::LineWidth();
    CRect cell = column;
    cell.DeflateRect(line, line);
    const CPoint at = CentredIn(column, m_iconWidth, m_iconHeight);
    const int lift = DisplayScale::Scale(1);
    const CPoint lifted(at.x - lift, at.y - lift);
    CBrush frame(highlight);

    if (c.image >= 0) {
        if (c.grayed) {
            DrawSharedImage(dc, c.image, at, true);
        } else if (c.selected) {
            dc.FillSolidRect(cell, highlightFill);
            if (c.checked) {
                ClassicLook::FrameRect(dc, cell, &frame);
                DrawSharedImage(dc, c.image, lifted, false);
            } else if (c.companions) {
                DrawSharedImage(dc, c.image + 2, CPoint(at.x + lift, at.y + lift), false);
                DrawSharedImage(dc, c.image, lifted, false);
            } else {
                DrawSharedImage(dc, c.image, at, false);
            }
        } else if (c.checked) {
            dc.FillSolidRect(cell, LightenColour(highlight, 0.85));
            ClassicLook::FrameRect(dc, cell, &frame);
            DrawSharedImage(dc, c.image, lifted, false);
        } else {
            dc.FillSolidRect(cell, columnColour);
            DrawSharedImage(dc, c.companions ? c.image + 1 : c.image, at, false);
        }
        return;
    }
    if (!c.checked) return;
    const COLORREF ink = c.grayed ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_MENUTEXT);
    if (m_checkImages) {
        dc.FillSolidRect(cell, columnColour);
        DrawCheckImage(dc, column);
        return;
    }
    const int boxSize = DisplayScale::Scale(kCheckBoxSize);
    const CPoint box = CentredIn(column, boxSize, boxSize);
    DrawCheckMark(dc, CRect(box, CSize(boxSize, boxSize)), ink);
}

void COwnerDrawMenu::DrawClassic(DrawContext& c) {
    CDC& dc = *c.dc;
    const COLORREF background = c.luna ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_MENU);
    if (c.record->itemFlags & MF_SEPARATOR) {
        dc.FillSolidRect(c.item, background);
        CRect line(c.item.left, c.item.top + c.item.Height() / 2, c.item.right, c.item.bottom);
        ClassicLook::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    dc.FillSolidRect(c.item, c.selected ? GetSysColor(COLOR_HIGHLIGHT) : background);

    const int boxMargin = DisplayScale::Scale(kClassicBoxMargin);
    const int boxWidth = m_iconWidth + boxMargin, boxHeight = m_iconHeight + boxMargin;
    const CRect box(CPoint(c.item.left, c.item.top + (c.item.Height() - boxHeight) / 2), CSize(boxWidth, boxHeight));
    const CPoint at = CentredIn(box, m_iconWidth, m_iconHeight);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (c.image >= 0) {
        // A checked icon sits in a sunken box; a hovered one rises.
        if (c.checked && !c.grayed)
            ClassicLook::Draw3dRect(dc, box, shadow, light);
        else if (c.selected && !c.grayed && GetOsClass() >= 2)
            ClassicLook::Draw3dRect(dc, box, light, shadow);
        DrawSharedImage(dc, c.image, at, c.grayed);
    } else if (c.checked) {
        const COLORREF ink = c.selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_MENUTEXT);
        if (m_checkImages && !c.grayed)
            DrawCheckImage(dc, box);
        else
            DrawCheckMark(dc, box, c.grayed ? GetSysColor(COLOR_GRAYTEXT) : ink);
    }

    CRect text(c.item.left + m_iconWidth + DisplayScale::Scale(kClassicTextGap), c.item.top, c.item.right,
               c.item.bottom);
    if (c.grayed && !c.selected) {
        CRect raised = text;
        raised.OffsetRect(ClassicLook::LineWidth(), ClassicLook::LineWidth());
        DrawItemText(c, raised, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawItemText(c, text, GetSysColor(COLOR_GRAYTEXT));
    } else if (c.grayed) {
        DrawItemText(c, text, background);
    } else {
        DrawItemText(c, text, c.selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_MENUTEXT));
    }
}

void COwnerDrawMenu::DrawItemText(DrawContext& c, const CRect& textRect, COLORREF colour) {
    CDC& dc = *c.dc;
    std::string label, accelerator;
    SplitAtTabs(c.record->GetAnsiText(), &label, &accelerator);
    const UINT format = DT_SINGLELINE | DT_VCENTER;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(colour);
    CRect left = textRect;
    dc.DrawText(label, &left, format | DT_LEFT);
    if (accelerator.empty()) return;
    CRect right = textRect;
    right.right -= m_iconWidth;
    dc.DrawText(accelerator, &right, format | DT_RIGHT);
}

// The standard check mark: a tick centred in `cell`, its arms at 45 degrees
// at every scale so that its edges stay sharp.
void COwnerDrawMenu::DrawCheckMark(CDC& dc, const CRect& cell, COLORREF colour) const {
    const int arm = DisplayScale::Scale(kTickShortArm), stroke = DisplayScale::Scale(kTickStroke);
    const int width = 3 * arm + 1, height = 2 * arm + stroke;
    const int x = cell.left + (cell.Width() - width) / 2, y = cell.top + (cell.Height() - height) / 2;
    for (int k = 0; k < width; ++k) {
        const int top = k <= arm ? arm + k : 3 * arm - k;
        dc.FillSolidRect(x + k, y + top, 1, stroke, colour);
    }
}

// The custom check mark for a checked item, centred in `cell`.
void COwnerDrawMenu::DrawCheckImage(CDC& dc, const CRect& cell) const {
    const SIZE size = m_checkImages->GetImageSize();
    m_checkImages->Draw(&dc, m_selectedCheckImage, CentredIn(cell, size.cx, size.cy), ILD_TRANSPARENT);
}

void COwnerDrawMenu::DrawSharedImage(CDC& dc, int image, CPoint at, bool disabled) {
    const CImageList& images = SharedImages();
    if (!disabled) {
        images.Draw(&dc, image, at, ILD_TRANSPARENT);
        return;
    }
    HICON icon = images.ExtractIcon(image);
    if (!icon) return;
    const SIZE size = images.GetImageSize();
    dc.DrawState(at, size, icon, DST_ICON | DSS_DISABLED);
    DestroyIcon(icon);
}
