// The stock controls on screens of 100, 150 and 200 %: what a user would
// see go wrong is a glyph that does not grow, a blurred or half-drawn line,
// a text cut off, or a control whose parts keep their 96-dpi sizes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>

#include "platform/CButton.h"
#include "platform/CClientDC.h"
#include "platform/CDC.h"
#include "platform/CListBox.h"
#include "platform/CMenu.h"
#include "platform/CTabCtrl.h"
#include "platform/ClassicLook.h"
#include "platform/DisplayScale.h"
#include "platform/MessageBoxWindow.h"
#include "platform/PopupMenuWindow.h"
#include "platform/SysColors.h"
#include "platform/SystemInfo.h"
#include "platform/WindowFrame.h"
#include "test_controls_fixture.h"

namespace {

constexpr int kScales[] = {100, 150, 200};

COLORREF Sys(int index) { return GetSysColor(index); }

// The pixels of a child control after painting, in its client coordinates.
class ControlPixels {
public:
    ControlPixels(CWnd* dialog, CWnd* control) : surface_(dialog->GetSurface()) {
        WindowManager::Instance().PaintAll();
        POINT origin{0, 0};
        control->MapWindowPoints(dialog, &origin, 1);
        origin_ = origin;
        control->GetClientRect(&client_);
    }
    COLORREF At(int x, int y) const {
        return Surface::ToColorRef(surface_->At(origin_.x + x, origin_.y + y));
    }
    // How many pixels from (x, y) on, stepping by (dx, 0), have `colour`.
    int Run(int x, int y, int dx, COLORREF colour) const {
        int n = 0;
        while (x >= 0 && x < client_.Width() && At(x, y) == colour) {
            ++n;
            x += dx;
        }
        return n;
    }
    // The bounding box within `area` of the pixels `match` accepts.
    CRect Box(const CRect& area, const std::function<bool(COLORREF)>& match) const {
        CRect box(0, 0, 0, 0);
        bool any = false;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) {
                if (!match(At(x, y))) continue;
                if (!any) box = CRect(x, y, x + 1, y + 1);
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
                any = true;
            }
        return box;
    }
    int Count(const CRect& area, COLORREF colour) const {
        int n = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) n += At(x, y) == colour;
        return n;
    }
    const CRect& Client() const { return client_; }

private:
    const Surface* surface_;
    POINT origin_{0, 0};
    CRect client_;
};

class ScaleTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        CListBox::RegisterWindowClass();
    }
    void TearDown() override {
        ControlsTest::TearDown();
        DisplayScale::SetPercent(100);
    }
    static int S(int pixels) { return DisplayScale::Scale(pixels); }
    static int Line() { return DisplayScale::ScaleLine(1); }
};

class ControlsAtScale : public ScaleTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        ScaleTest::SetUp();
        DisplayScale::SetPercent(GetParam());
    }
};

INSTANTIATE_TEST_SUITE_P(Scales, ControlsAtScale, ::testing::ValuesIn(kScales),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param); });

bool IsFace(COLORREF c) { return c == Sys(COLOR_BTNFACE); }

}  // namespace

TEST_P(ControlsAtScale, CheckBoxAndRadioGlyphsGrowSharpAndProportional) {
    RecordingDialog* dlg = MakeDialog({
        DialogItemTemplate{10, "Button", "Keep line widths", 7, 7, 90, 12, BS_AUTOCHECKBOX | WS_TABSTOP},
        DialogItemTemplate{11, "Button", "All pages", 7, 25, 90, 12, BS_AUTORADIOBUTTON | WS_TABSTOP},
    });
    ASSERT_NE(dlg, nullptr);
    auto* check = static_cast<CButton*>(dlg->GetDlgItem(10));
    auto* radio = static_cast<CButton*>(dlg->GetDlgItem(11));
    check->SetCheck(BST_CHECKED);
    radio->SetCheck(BST_CHECKED);
    const double k = DisplayScale::Percent() / 100.0;
    const std::set<COLORREF> glyphColours = {Sys(COLOR_BTNSHADOW), Sys(COLOR_3DDKSHADOW), Sys(COLOR_BTNHIGHLIGHT),
                                             Sys(COLOR_3DLIGHT),   Sys(COLOR_WINDOW),     Sys(COLOR_WINDOWTEXT)};

    {
        ControlPixels px(dlg, check);
        const CRect column(0, 0, S(13), px.Client().Height());
        const CRect glyph = px.Box(column, [](COLORREF c) { return !IsFace(c); });
        EXPECT_EQ(glyph.Width(), S(13));
        EXPECT_EQ(glyph.Height(), S(13));
        // No blended pixel: only the colours of the classic glyph.
        for (int y = glyph.top; y < glyph.bottom; ++y)
            for (int x = glyph.left; x < glyph.right; ++x)
                EXPECT_EQ(glyphColours.count(px.At(x, y)), 1u) << x << "," << y;
        // Two sunken lines, each a whole number of pixels thick.
        const int middle = glyph.top + glyph.Height() / 2;
        EXPECT_EQ(px.Run(glyph.left, middle, 1, Sys(COLOR_BTNSHADOW)), Line());
        EXPECT_EQ(px.Run(glyph.left + Line(), middle, 1, Sys(COLOR_3DDKSHADOW)), Line());
        // The tick grows with the box (21 pixels at 100 %).
        const int ink = px.Count(glyph, Sys(COLOR_WINDOWTEXT));
        EXPECT_NEAR(ink, 21 * k * k, 21 * k * k * 0.2);
        // The gap before the caption stays clear of ink.
        const CRect gap(S(13), 0, S(13) + S(4), px.Client().Height());
        EXPECT_EQ(px.Count(gap, Sys(COLOR_BTNTEXT)), 0);
    }
    {
        ControlPixels px(dlg, radio);
        const CRect column(0, 0, S(13), px.Client().Height());
        const CRect glyph = px.Box(column, [](COLORREF c) { return !IsFace(c); });
        EXPECT_EQ(glyph.Width(), S(12));
        EXPECT_EQ(glyph.Height(), S(12));
        const CRect dot = px.Box(glyph, [](COLORREF c) { return c == Sys(COLOR_WINDOWTEXT); });
        EXPECT_NEAR(px.Count(glyph, Sys(COLOR_WINDOWTEXT)), 12 * k * k, 12 * k * k * 0.35);
        // The dot sits in the middle of the glyph.
        EXPECT_EQ(dot.left - glyph.left, glyph.right - dot.right);
        EXPECT_EQ(dot.top - glyph.top, glyph.bottom - dot.bottom);
    }
}

TEST_P(ControlsAtScale, EdgesAreWholeLinesThatGrowTogether) {
    RecordingDialog* dlg = MakeDialog({
        DialogItemTemplate{10, "Edit", "text", 7, 7, 90, 12, WS_BORDER | WS_TABSTOP},
        DialogItemTemplate{11, "Button", "Group", 7, 25, 90, 40, BS_GROUPBOX},
        DialogItemTemplate{12, "Button", "OK", 110, 7, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
        DialogItemTemplate{13, "ListBox", "", 110, 30, 60, 40, WS_BORDER | LBS_NOTIFY},
    });
    ASSERT_NE(dlg, nullptr);
    struct Case {
        int id;
        COLORREF first, second;  // from the left edge inwards, in the middle row
    } cases[] = {
        {10, Sys(COLOR_BTNSHADOW), Sys(COLOR_3DDKSHADOW)},   // sunken edit
        {11, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)},  // etched group box
        {12, Sys(COLOR_WINDOWFRAME), Sys(COLOR_BTNHIGHLIGHT)},  // default button: frame, then bevel
        {13, Sys(COLOR_BTNSHADOW), Sys(COLOR_3DDKSHADOW)},   // sunken list box
    };
    for (const Case& c : cases) {
        ControlPixels px(dlg, dlg->GetDlgItem(c.id));
        const int middle = px.Client().Height() * 3 / 4;
        EXPECT_EQ(px.Run(0, middle, 1, c.first), Line()) << c.id;
        EXPECT_EQ(px.Run(Line(), middle, 1, c.second), Line()) << c.id;
    }
}

TEST_P(ControlsAtScale, TabsRaiseTheSelectedTabWithScaledLines) {
    RecordingDialog* dlg = MakeDialog({DialogItemTemplate{10, "SysTabControl32", "", 7, 7, 180, 80, WS_TABSTOP}});
    ASSERT_NE(dlg, nullptr);
    auto* tabs = static_cast<CTabCtrl*>(dlg->GetDlgItem(10));
    tabs->InsertItem(0, "General");
    tabs->InsertItem(1, "Advanced");
    CRect selected, other;
    ASSERT_TRUE(tabs->GetItemRect(0, &selected));
    ASSERT_TRUE(tabs->GetItemRect(1, &other));
    // The tab's text fits its height with room to spare.
    CClientDC dc(tabs);
    dc.SelectObject(ClassicLook::ControlFont(tabs));
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    EXPECT_GE(other.Height(), metrics.tmHeight + S(4));
    EXPECT_GE(other.Width(), dc.GetTextExtent("Advanced").cx + S(10));

    ControlPixels px(dlg, tabs);
    // The selected tab stands S(2) higher and wider than its slot; its left
    // line is one highlight line thick.
    const int y = selected.top + selected.Height() / 2;
    EXPECT_EQ(px.Run(selected.left - S(2), y, 1, Sys(COLOR_BTNHIGHLIGHT)), Line());
    EXPECT_EQ(px.At(selected.left - S(2) - 1, y), Sys(COLOR_BTNFACE));
    EXPECT_EQ(px.At(selected.left + selected.Width() / 2, selected.top - S(2)), Sys(COLOR_BTNHIGHLIGHT));
    // The unselected tab's right side: shadow then dark shadow, each a line thick.
    const int right = other.right - 1;
    EXPECT_EQ(px.Run(right, other.top + other.Height() / 2, -1, Sys(COLOR_3DDKSHADOW)), Line());
}

TEST_P(ControlsAtScale, PopupMenuItemsTicksAndArrowsGrow) {
    // The owner looks at the open menu whenever its highlight moves.
    struct Seen {
        int itemHeight = 0, tickInk = 0, arrowInk = 0, separatorRun = 0;
    };
    class Owner : public RecordingDialog {
    public:
        Seen seen;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_MENUSELECT)
                if (auto* popup = dynamic_cast<PopupMenuWindow*>(CWnd::GetCapture())) Look(popup);
            return RecordingDialog::WindowProc(message, wParam, lParam);
        }
        void Look(PopupMenuWindow* popup) {
            POINT first{}, second{}, checked{};
            if (!popup->LocateScriptItem(CWnd::ScriptItem::MenuCommand, 10, first) ||
                !popup->LocateScriptItem(CWnd::ScriptItem::MenuCommand, 20, second) ||
                !popup->LocateScriptItem(CWnd::ScriptItem::MenuCommand, 30, checked))
                return;
            seen.itemHeight = second.y - first.y;
            WindowManager::Instance().PaintAll();
            const Surface* s = popup->GetSurface();
            const COLORREF text = Sys(COLOR_MENUTEXT);
            const int h = seen.itemHeight;
            const int column = DisplayScale::Scale(17);
            int tick = 0, arrow = 0;
            for (int y = checked.y - h / 2; y < checked.y + h / 2; ++y)
                for (int x = 0; x < column; ++x) tick += Surface::ToColorRef(s->At(x, y)) == text;
            // The submenu item follows the checked one.
            for (int y = checked.y + h / 2; y < checked.y + 3 * h / 2; ++y)
                for (int x = s->Width() - column; x < s->Width(); ++x)
                    arrow += Surface::ToColorRef(s->At(x, y)) == text;
            seen.tickInk = tick;
            seen.arrowInk = arrow;
            // The separator between the second and third items: two etched
            // lines, looked at left of the text.
            const int x = DisplayScale::Scale(3) + 2 * DisplayScale::ScaleLine(1);
            int run = 0;
            for (int y = second.y; y < checked.y; ++y) run += Surface::ToColorRef(s->At(x, y)) == Sys(COLOR_BTNSHADOW);
            seen.separatorRun = run;
        }
    };
    template_ = DialogTemplate{};
    template_.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    template_.cx = 200;
    template_.cy = 120;
    template_.fontFace = "MS Sans Serif";
    template_.pointSize = 8;
    Owner owner;
    ASSERT_TRUE(owner.CreateIndirect(&template_, nullptr));
    CMenu menu, sub;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(sub.CreatePopupMenu());
    sub.AppendMenu(MF_STRING, 41, "Deep");
    menu.AppendMenu(MF_STRING, 10, "&Open");
    menu.AppendMenu(MF_STRING, 20, "&Save");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_CHECKED, 30, "&Keep");
    menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Detach()), "&More");
    driver_->LoadScriptText("key Down\nkey Escape\n");
    menu.TrackPopupMenu(TPM_RETURNCMD, 40, 40, &owner);
    owner.DestroyWindow();

    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(static_cast<CFont*>(GetStockObject(DEFAULT_GUI_FONT)));
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    const double k = DisplayScale::Percent() / 100.0;
    EXPECT_GE(owner.seen.itemHeight, metrics.tmHeight + S(4));
    EXPECT_NEAR(owner.seen.tickInk, 21 * k * k, 21 * k * k * 0.2);
    EXPECT_NEAR(owner.seen.arrowInk, 16 * k * k, 16 * k * k * 0.2);  // 7 + 5 + 3 + 1 at 100 %
    EXPECT_EQ(owner.seen.separatorRun, Line());
}

TEST_P(ControlsAtScale, MessageBoxFitsItsTextAndButtons) {
    const std::string text =
        "The page range 1,3,5-12 names pages that the document does not have.\n"
        "Only the pages that exist are imported; the others are left out without a further question.";
    std::unique_ptr<CWnd> box(MessageBoxWindow::Make(nullptr, text, "Converter", MB_OKCANCEL | MB_ICONWARNING));
    ASSERT_NE(box, nullptr);
    CRect client;
    box->GetClientRect(&client);
    CWnd* label = nullptr;
    for (CWnd* child : box->GetChildren())
        if (child->GetWindowText() == text) label = child;
    ASSERT_NE(label, nullptr);
    CRect labelRect;
    label->GetWindowRect(&labelRect);
    box->ScreenToClient(&labelRect);
    // The text, wrapped at the label's width in the label's font, fits in it.
    CClientDC dc(label);
    dc.SelectObject(ClassicLook::ControlFont(label));
    CRect needed(0, 0, labelRect.Width(), 0);
    dc.DrawText(text, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    EXPECT_LE(needed.Width(), labelRect.Width());
    EXPECT_LE(needed.Height(), labelRect.Height());
    // The wrap width grows with the scale: as many lines at 200 % as at 100 %.
    TEXTMETRIC metrics{};
    dc.GetTextMetrics(&metrics);
    EXPECT_LE(needed.Height() / metrics.tmHeight, 4);
    // The icon is drawn at its scaled size, and the buttons lie below the text.
    CRect icon;
    box->GetDlgItem(MessageBoxWindow::kIconId)->GetWindowRect(&icon);
    EXPECT_GE(icon.Width(), S(32));
    EXPECT_GE(icon.Height(), S(32));
    for (int id : {IDOK, IDCANCEL}) {
        CRect button;
        box->GetDlgItem(id)->GetWindowRect(&button);
        box->ScreenToClient(&button);
        EXPECT_GE(button.top, labelRect.bottom) << id;
        EXPECT_LE(button.bottom, client.bottom) << id;
        EXPECT_GE(button.left, 0) << id;
        EXPECT_LE(button.right, client.right) << id;
    }
    box->DestroyWindow();
}

TEST_P(ControlsAtScale, WindowFrameCaptionAndCloseBoxGrow) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const CRect insets = WindowFrame::Insets(style, 0);
    EXPECT_EQ(insets.left, S(3));
    EXPECT_EQ(insets.top, S(3) + S(18) + Line());
    Surface surface(S(200), S(60), 0xFF00FF00u);
    CDC dc(&surface);
    const CRect outer(0, 0, S(200), S(60));
    WindowFrame::Paint(dc, outer, style, 0, "Converter", true);
    // The caption's text is white on the bar and fits in its height.
    int top = surface.Height(), bottom = 0;
    for (int y = S(3); y < insets.top; ++y)
        for (int x = S(3); x < S(100); ++x)
            if (Surface::ToColorRef(surface.At(x, y)) == RGB(255, 255, 255)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
    EXPECT_GE(bottom - top, S(6));  // the text grew with the bar
    EXPECT_GE(top, S(3));
    EXPECT_LE(bottom, S(3) + S(18));
    // The close box: a raised button S(16) wide at the bar's right end,
    // its edges a line thick.
    const int boxRight = outer.right - S(3) - S(2), boxLeft = boxRight - S(16), y = S(3) + S(18) / 2;
    auto at = [&](int x) { return Surface::ToColorRef(surface.At(x, y)); };
    EXPECT_EQ(at(boxLeft), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_NE(at(boxLeft - 1), Sys(COLOR_BTNHIGHLIGHT));
    for (int i = 0; i < Line(); ++i) EXPECT_EQ(at(boxRight - 1 - i), Sys(COLOR_3DDKSHADOW)) << i;
    EXPECT_EQ(at(boxRight - 1 - Line()), Sys(COLOR_BTNSHADOW));
}

TEST_P(ControlsAtScale, FocusRectangleDotsGrowAndASecondCallRemovesThem) {
    Surface surface(S(40), S(20), 0xFFFFFFFFu);
    CDC dc(&surface);
    const CRect rect(S(2), S(2), S(30), S(14));
    ClassicLook::DrawFocusRect(dc, rect);
    // The band is one line thick on every side, its dots a line long.
    const uint32_t white = 0xFFFFFFFFu;
    EXPECT_NE(surface.At(rect.left, rect.top), white);
    EXPECT_NE(surface.At(rect.left + Line() - 1, rect.top + Line() - 1), white);
    EXPECT_EQ(surface.At(rect.left + Line(), rect.top + Line()), white);  // inside the band
    EXPECT_EQ(surface.At(rect.left + Line(), rect.top), white);           // the gap after the first dot
    EXPECT_NE(surface.At(rect.left + 2 * Line(), rect.top), white);       // the next dot
    ClassicLook::DrawFocusRect(dc, rect);
    int changed = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x) changed += surface.At(x, y) != white;
    EXPECT_EQ(changed, 0);
}

// Metrics of each control at 150 and 200 % against 100 %: proportional,
// give or take the rounding of the font's pixel size and one pixel per
// scaled step.
TEST_F(ScaleTest, ControlMetricsGrowInProportion) {
    auto dialogMetric = [this](std::vector<DialogItemTemplate> items, std::function<int(CDialog*)> measure) {
        return [this, items, measure]() {
            RecordingDialog* dlg = MakeDialog(items);
            const int value = dlg ? measure(dlg) : -1;
            ControlsTest::TearDown();
            return value;
        };
    };
    // Sizes from text follow the font, whose pixel size is rounded: 8 points
    // are 11, 16 and 21 pixels, not 22. The message box's width is all text.
    struct Metric {
        const char* name;
        std::function<int()> measure;
        bool sameInDialogUnits = false;
    };
    const std::vector<Metric> metrics = {
        {"tab row height", dialogMetric({DialogItemTemplate{10, "SysTabControl32", "", 7, 7, 180, 80, 0}},
                                        [](CDialog* d) {
                                            auto* tabs = static_cast<CTabCtrl*>(d->GetDlgItem(10));
                                            tabs->InsertItem(0, "General");
                                            CRect r;
                                            tabs->GetItemRect(0, &r);
                                            return int(r.Height());
                                        })},
        {"tab page top", dialogMetric({DialogItemTemplate{10, "SysTabControl32", "", 7, 7, 180, 80, 0}},
                                      [](CDialog* d) {
                                          auto* tabs = static_cast<CTabCtrl*>(d->GetDlgItem(10));
                                          tabs->InsertItem(0, "General");
                                          CRect r(0, 0, 100, 100);
                                          tabs->AdjustRect(FALSE, &r);
                                          return int(r.top);
                                      })},
        {"list item height", dialogMetric({DialogItemTemplate{10, "ListBox", "", 7, 7, 100, 60, WS_BORDER}},
                                          [](CDialog* d) {
                                              return static_cast<CListBox*>(d->GetDlgItem(10))->GetItemHeight();
                                          })},
        {"caption height", [] { return int(WindowFrame::Insets(WS_CAPTION, 0).top); }},
        {"menu bar line", [] { return SystemInfo::GetMenuHeight(); }},
        {"menu font", [] { return -int(SystemInfo::GetMenuFont().lfHeight); }},
        {"message box width", [] {
             MessageBoxWindow box("A message of a few words on one line.", "Converter", MB_OK);
             return box.Template().cx;  // dialog units stay; the box grows with them
         }, true},
    };
    for (const Metric& metric : metrics) {
        DisplayScale::SetPercent(100);
        const int base = metric.measure();
        ASSERT_GT(base, 0) << metric.name;
        for (int percent : {150, 200}) {
            DisplayScale::SetPercent(percent);
            const int value = metric.measure();
            const double expected = metric.sameInDialogUnits ? base : base * percent / 100.0;
            const double tolerance = std::max(2.0, expected * (metric.sameInDialogUnits ? 0.1 : 0.06));
            EXPECT_NEAR(value, expected, tolerance) << metric.name << " at " << percent << " %";
        }
    }
}
