// The converter's own controls on screens of 150 % and 200 %: what they show
// must grow in proportion to what they show at 100 %, with lines whole
// pixels thick and texts whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "ControlsFixture.h"
#include "platform/DisplayScale.h"
#include "platform/SysColors.h"

namespace {

constexpr int kScales[] = {100, 150, 200};

class ScaledControlsTest : public ControlsTest {
protected:
    void TearDown() override {
        ControlsTest::TearDown();
        DisplayScale::SetPercent(100);
    }

    // The test dialog made anew on a screen of `percent`.
    void BuildAt(int percent) {
        if (dialog_ && dialog_->GetSafeHwnd()) dialog_->DestroyWindow();
        dialog_.reset();
        DisplayScale::SetPercent(percent);
        dialog_ = std::make_unique<ControlsDialog>();
        ASSERT_TRUE(dialog_->CreateIndirect(&template_, nullptr));
        dialog_->ShowWindow(SW_SHOW);
        WindowManager::Instance().PaintAll();
    }

    COLORREF At(CWnd& wnd, int x, int y) {
        POINT p{x, y};
        wnd.MapWindowPoints(dialog_.get(), &p, 1);
        return Surface::ToColorRef(dialog_->GetSurface()->At(p.x, p.y));
    }
    // The smallest rectangle holding the pixels of `area` (client
    // coordinates of `wnd`) that pass `ink`; empty when none does.
    CRect InkBox(CWnd& wnd, const CRect& area, const std::function<bool(COLORREF)>& ink) {
        WindowManager::Instance().PaintAll();
        CRect box(area.right, area.bottom, area.left, area.top);
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (ink(At(wnd, x, y))) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box.IsRectEmpty() ? CRect() : box;
    }
    static CRect ClientOf(CWnd& wnd) {
        CRect client;
        wnd.GetClientRect(&client);
        return client;
    }
};

// The drop zone of the Help button, read from its pixels along a row above
// the arrow: the etched separator's left edge from the button's right, the
// widths of its dark and light lines, and the arrow's extent.
struct DropZoneLook {
    int separatorFromRight = 0;
    int shadowWidth = 0;
    int highlightWidth = 0;
    CRect arrow;
    bool onlyFaceAndArrow = true;
};

TEST_F(ScaledControlsTest, DropDownArrowAndSeparatorGrowInProportion) {
    DropZoneLook base;
    for (int percent : kScales) {
        SCOPED_TRACE(std::to_string(percent) + " %");
        BuildAt(percent);
        CDropDownButton& help = Dialog().help;
        const CRect client = ClientOf(help);
        const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
        const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), ink = GetSysColor(COLOR_WINDOWTEXT);
        DropZoneLook look;
        const int row = client.Height() / 4;
        int x = client.right - 1;
        while (x > 0 && At(help, x, row) != light) --x;
        const int highlightRight = x;
        while (x > 0 && At(help, x, row) == light) --x;
        look.highlightWidth = highlightRight - x;
        const int shadowRight = x;
        while (x > 0 && At(help, x, row) == shadow) --x;
        look.shadowWidth = shadowRight - x;
        look.separatorFromRight = client.right - (x + 1);
        // Right of the separator and inside the raised face: face and arrow only.
        const int edge = 3 * DisplayScale::ScaleLine(1);
        const CRect zone(highlightRight + 1, edge, client.right - edge, client.bottom - edge);
        look.arrow = InkBox(help, zone, [ink](COLORREF c) { return c == ink; });
        for (int y = zone.top; y < zone.bottom; ++y)
            for (int zx = zone.left; zx < zone.right; ++zx) {
                const COLORREF c = At(help, zx, y);
                look.onlyFaceAndArrow = look.onlyFaceAndArrow && (c == face || c == ink);
            }

        // Whole pixels: a one-pixel line of 96 dpi is one pixel at 150 %.
        EXPECT_EQ(look.shadowWidth, DisplayScale::ScaleLine(1));
        EXPECT_EQ(look.highlightWidth, DisplayScale::ScaleLine(1));
        EXPECT_TRUE(look.onlyFaceAndArrow) << "no blended pixels around the arrow";
        ASSERT_FALSE(look.arrow.IsRectEmpty());
        // The apex is one pixel, the rows widen by one pixel a side.
        EXPECT_EQ(look.arrow.Width(), 2 * look.arrow.Height() - 1);
        EXPECT_EQ(At(help, look.arrow.CenterPoint().x, look.arrow.bottom - 1), ink);
        EXPECT_NE(At(help, look.arrow.CenterPoint().x - 1, look.arrow.bottom - 1), ink);
        // Centred between the separator and the face's right edge.
        EXPECT_NEAR(look.arrow.left - (highlightRight + 1), client.right - edge - look.arrow.right, 2 + edge);
        if (percent == 100) {
            base = look;
            EXPECT_EQ(base.arrow.Height(), 4);
            continue;
        }
        const double s = percent / 100.0;
        EXPECT_NEAR(look.separatorFromRight, base.separatorFromRight * s, 1);
        EXPECT_NEAR(look.arrow.Height(), base.arrow.Height() * s, 1);
        EXPECT_NEAR(look.arrow.Width(), base.arrow.Width() * s, 1);
        EXPECT_NEAR(look.arrow.CenterPoint().y, base.arrow.CenterPoint().y * s, 2);
    }
}

TEST_F(ScaledControlsTest, RaisedConvertButtonKeepsWholePixelBands) {
    for (int percent : kScales) {
        SCOPED_TRACE(std::to_string(percent) + " %");
        BuildAt(percent);
        CIconButton& convert = Dialog().convert;
        convert.SetFocus();
        WindowManager::Instance().PaintAll();
        const CRect client = ClientOf(convert);
        const int line = DisplayScale::ScaleLine(1), x = client.Width() / 2;
        // From the top: the focus outline, then the highlight and the light
        // band; from the bottom: the outline, dark shadow and shadow.
        const COLORREF top[] = {RGB(0, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DLIGHT)};
        const COLORREF bottom[] = {RGB(0, 0, 0), GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_BTNSHADOW)};
        for (int band = 0; band < 3; ++band)
            for (int k = 0; k < line; ++k) {
                EXPECT_EQ(At(convert, x, band * line + k), top[band]) << "top band " << band;
                EXPECT_EQ(At(convert, x, client.bottom - 1 - band * line - k), bottom[band]) << "bottom band " << band;
            }
        EXPECT_EQ(At(convert, x, 3 * line), GetSysColor(COLOR_BTNFACE));
    }
}

// Texts drawn in fonts the controls make themselves: the Convert caption
// (given in pixels) and the bold page counter.
TEST_F(ScaledControlsTest, ConvertCaptionAndCounterGrowAndStayWhole) {
    struct Text {
        const char* name;
        std::function<CWnd&(ControlsDialog&)> control;
        // Where the text lies, in client coordinates, away from frame and image.
        std::function<CRect(const CRect&)> area;
    };
    const int edge = 4;      // frame bands and focus outline, at 100 %
    const int picture = 24;  // the Convert picture ends here, at 100 %
    const Text texts[] = {
        {"Convert caption", [](ControlsDialog& d) -> CWnd& { return d.convert; },
         [edge, picture](const CRect& c) {
             const int inset = DisplayScale::Scale(edge);
             return CRect(DisplayScale::Scale(picture), inset, c.right - inset, c.bottom - inset);
         }},
        {"page counter", [](ControlsDialog& d) -> CWnd& { return d.page; }, [](const CRect& c) { return c; }},
    };
    for (const Text& text : texts) {
        CRect base;
        for (int percent : kScales) {
            SCOPED_TRACE(std::string(text.name) + " at " + std::to_string(percent) + " %");
            BuildAt(percent);
            CWnd& control = text.control(Dialog());
            const CRect area = text.area(ClientOf(control));
            const CRect ink = InkBox(control, area, Dark);
            ASSERT_FALSE(ink.IsRectEmpty());
            // Not cut by the area's edges (where a clipped text would end).
            EXPECT_GT(ink.left, area.left);
            EXPECT_LT(ink.right, area.right);
            EXPECT_GT(ink.top, area.top);
            EXPECT_LT(ink.bottom, area.bottom);
            if (percent == 100) {
                base = ink;
                continue;
            }
            // Fonts grow by whole pixels of height: within 15 % of the scale.
            const double s = percent / 100.0;
            EXPECT_NEAR(ink.Height(), base.Height() * s, base.Height() * s * 0.15 + 1);
            EXPECT_NEAR(ink.Width(), base.Width() * s, base.Width() * s * 0.15 + 1);
        }
    }
}

}  // namespace
