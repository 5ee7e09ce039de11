#include <gtest/gtest.h>

#include <cstring>

#include "ControlsFixture.h"
#include "platform/SysColors.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMarker = RGB(1, 2, 3);

class LinkLabelTest : public ControlsTest {
protected:
    // The page label, wide enough for its text, in red on its own.
    CLinkLabel& RedText() {
        CLinkLabel& label = Dialog().page;
        label.MoveWindow(100, 45, 60, 20);
        label.ChangeText("XXXX");
        label.SetForeground(kRed);
        return label;
    }
};

// Paints a gradient into a surface of the marker colour; returns the surface.
Surface Gradient(int left, int width, COLORREF from, COLORREF to) {
    Surface pixels(240, 6, Surface::FromColorRef(kMarker));
    CDC dc(&pixels);
    CLinkLabel::FillGradient(dc, CRect(left, 1, left + width, 5), from, to);
    return pixels;
}

COLORREF At(const Surface& pixels, int x, int y) { return Surface::ToColorRef(pixels.At(x, y)); }

TEST(LinkLabelGradient, AZeroWidthLabelGetsNoBand) {
    const Surface pixels = Gradient(10, 0, kRed, kWhite);
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x) ASSERT_EQ(At(pixels, x, y), kMarker) << x << "," << y;
}

TEST(LinkLabelGradient, AOnePixelLabelGetsOneBandInTheStartColour) {
    const Surface pixels = Gradient(10, 1, kRed, kWhite);
    for (int y = 1; y < 5; ++y) EXPECT_EQ(At(pixels, 10, y), kRed) << y;
    const POINT outside[] = {{9, 2}, {11, 2}, {10, 0}, {10, 5}};
    for (POINT p : outside) EXPECT_EQ(At(pixels, p.x, p.y), kMarker) << p.x << "," << p.y;
}

TEST(LinkLabelGradient, TwoHundredPixelsGetAHundredBandsOfTwo) {
    const Surface pixels = Gradient(20, 200, kBlack, kWhite);
    // The step is 255 * 256 / 100 = 652 in values scaled by 256.
    for (int band = 0; band < 100; ++band) {
        const int grey = band * 652 / 256;
        for (int x = 20 + 2 * band; x < 22 + 2 * band; ++x) {
            ASSERT_EQ(At(pixels, x, 1), RGB(grey, grey, grey)) << "band " << band;
            ASSERT_EQ(At(pixels, x, 4), RGB(grey, grey, grey)) << "band " << band;
        }
    }
    EXPECT_EQ(At(pixels, 20, 2), kBlack);
    EXPECT_EQ(At(pixels, 219, 2), RGB(252, 252, 252));
    EXPECT_EQ(At(pixels, 220, 2), kMarker);
    EXPECT_EQ(At(pixels, 19, 2), kMarker);
    EXPECT_EQ(At(pixels, 100, 0), kMarker);
    EXPECT_EQ(At(pixels, 100, 5), kMarker);
}

TEST(LinkLabelGradient, NarrowLabelsGetABandPerColumnAndTheLastTakesTheRest) {
    struct Case {
        int width;
        int lastBandStart;  // offset of the last band
        int lastGrey;
        int secondGrey;
    };
    // Below 100 pixels: one band per column. 150 pixels: 99 bands of one
    // pixel, and the last runs to the right edge.
    const Case cases[] = {{50, 49, 49 * 1305 / 256, 1305 / 256}, {150, 99, 99 * 652 / 256, 652 / 256}};
    for (const Case& c : cases) {
        const Surface pixels = Gradient(10, c.width, kBlack, kWhite);
        const int grey = c.lastGrey;
        for (int x = 10 + c.lastBandStart; x < 10 + c.width; ++x)
            EXPECT_EQ(At(pixels, x, 2), RGB(grey, grey, grey)) << c.width << " at " << x;
        EXPECT_EQ(At(pixels, 10 + c.width, 2), kMarker) << c.width;
        EXPECT_EQ(At(pixels, 11, 2), RGB(c.secondGrey, c.secondGrey, c.secondGrey)) << c.width;
    }
}

TEST_F(LinkLabelTest, ABackgroundGradientFillsTheLabel) {
    CLinkLabel& label = Dialog().page;
    label.MoveWindow(60, 45, 200, 10);
    label.ChangeText("");
    label.SetBackground(kBlack, kWhite, TRUE);
    EXPECT_EQ(PixelOf(label, 0, 5), kBlack);
    EXPECT_EQ(PixelOf(label, 199, 5), RGB(252, 252, 252));
    label.SetBackground(kRed);
    EXPECT_EQ(PixelOf(label, 199, 5), kRed);
}

TEST_F(LinkLabelTest, BlinkingTextStartsOffAndTogglesEveryHalfSecond) {
    CLinkLabel& label = RedText();
    ASSERT_TRUE(ShowsInk(label, Reddish));
    label.BlinkText(TRUE);
    // Off until the first tick: any repaint draws the text black when no
    // background colour was chosen.
    label.Invalidate();
    EXPECT_FALSE(label.GetBlinkPhase());
    EXPECT_FALSE(ShowsInk(label, Reddish));
    EXPECT_TRUE(ShowsInk(label, Dark));

    const DWORD start = GetTickCount();
    struct Phase {
        DWORD at;
        bool on;
    };
    const Phase phases[] = {{500, true}, {1000, false}, {1500, true}};
    for (const Phase& p : phases) {
        Tick();
        EXPECT_EQ(GetTickCount() - start, p.at);
        EXPECT_EQ(label.GetBlinkPhase(), p.on) << p.at;
        EXPECT_EQ(ShowsInk(label, Reddish), p.on) << p.at;
    }

    // Off on a white background: the text vanishes into it.
    label.SetBackground(kWhite);
    label.BlinkText(TRUE);
    label.Invalidate();
    EXPECT_FALSE(ShowsInk(label, Reddish));
    EXPECT_FALSE(ShowsInk(label, Dark));
    label.BlinkText(FALSE);
    EXPECT_EQ(label.GetBlinkKind(), CLinkLabel::NoBlink);
    EXPECT_TRUE(ShowsInk(label, Reddish));
}

TEST_F(LinkLabelTest, StoppingBackgroundBlinkingNeverLeavesTheTextHidden) {
    CLinkLabel& label = RedText();
    label.BlinkText(TRUE);
    label.Invalidate();
    ASSERT_FALSE(ShowsInk(label, Reddish));
    label.BlinkBackground(FALSE);
    EXPECT_EQ(label.GetBlinkKind(), CLinkLabel::BlinkingText);
    EXPECT_TRUE(ShowsInk(label, Reddish));

    // Background blinking keeps the timer running but changes nothing visible.
    label.BlinkBackground(TRUE);
    EXPECT_EQ(label.GetBlinkKind(), CLinkLabel::BlinkingBackground);
    Tick();
    EXPECT_TRUE(ShowsInk(label, Reddish));
}

TEST_F(LinkLabelTest, ClicksOpenLinksOrTellTheParent) {
    struct Case {
        const char* name;
        int kind;  // 0 none, 1 web, 2 mail
        BOOL notify;
        const char* target;
        const char* opened;  // null: nothing
    };
    const Case cases[] = {
        {"web link opens its text", 1, FALSE, nullptr, "Open"},
        {"web link opens its target", 1, FALSE, "https://example.org/a b", "https://example.org/a b"},
        {"mail link", 2, FALSE, "ignored", "mailto:Open"},
        {"notify", 1, TRUE, "https://example.org/", nullptr},
        {"no link", 0, FALSE, nullptr, nullptr},
    };
    ControlsDialog& dlg = Dialog();
    RecordingLinkLabel& open = dlg.open;
    for (const Case& c : cases) {
        dlg.events.clear();
        open.opened.clear();
        open.SetTarget(c.target);
        if (c.kind == 2)
            open.SetMailtoLink(TRUE, c.notify);
        else
            open.SetWebLink(c.kind == 1, c.notify);
        ClickAt(open, 3, 3);

        if (c.opened) {
            ASSERT_EQ(open.opened.size(), 1u) << c.name;
            EXPECT_EQ(open.opened[0], c.opened) << c.name;
        } else {
            EXPECT_TRUE(open.opened.empty()) << c.name;
        }
        std::vector<ControlsDialog::Event> expected;
        if (c.notify) expected.push_back({WM_NOTIFY, kOpenId, CLinkLabel::kClickNotification});
        if (c.kind != 0) expected.push_back({WM_COMMAND, kOpenId, STN_CLICKED});
        ASSERT_EQ(dlg.events.size(), expected.size()) << c.name;
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(dlg.events[i].message, expected[i].message) << c.name << " " << i;
            EXPECT_EQ(dlg.events[i].id, expected[i].id) << c.name << " " << i;
            EXPECT_EQ(dlg.events[i].code, expected[i].code) << c.name << " " << i;
        }
    }
}

TEST_F(LinkLabelTest, ADisabledLinkTakesNoClicksAndKeepsItsColour) {
    ControlsDialog& dlg = Dialog();
    dlg.open.EnableWindow(FALSE);
    dlg.open.SetForeground(RGB(128, 128, 128));
    dlg.events.clear();
    ClickAt(dlg.open, 3, 3);
    EXPECT_TRUE(dlg.events.empty());
    EXPECT_TRUE(ShowsInk(dlg.open, MidGrey));
}

TEST_F(LinkLabelTest, TheHoverCursorShowsOverTheLink) {
    ControlsDialog& dlg = Dialog();
    ASSERT_NE(dlg.hand, nullptr);
    MouseAt(dlg.open, InputEvent::Type::MouseMove, 3, 3);
    EXPECT_EQ(driver_->GetCursor(), dlg.hand);
    MouseAt(dlg.convert, InputEvent::Type::MouseMove, 3, 3);
    EXPECT_NE(driver_->GetCursor(), dlg.hand);
}

TEST_F(LinkLabelTest, FontOperationsEditTheFontDescription) {
    CLinkLabel& label = Dialog().page;
    EXPECT_EQ(label.GetFontSpec().lfWeight, FW_BOLD);
    EXPECT_EQ(std::string(label.GetFontSpec().lfFaceName),
              std::string(Dialog().GetDialogFont()->LogFont().lfFaceName));

    label.SetBold(FALSE).SetItalic(TRUE).SetUnderline(TRUE).SetFaceName("Arial", 0).SetPointSize(14);
    const LOGFONT& spec = label.GetFontSpec();
    EXPECT_EQ(spec.lfWeight, FW_NORMAL);
    EXPECT_EQ(spec.lfItalic, 1);
    EXPECT_EQ(spec.lfUnderline, 1);
    EXPECT_EQ(spec.lfHeight, -19);  // 14 points on a 96 dpi screen
    EXPECT_STREQ(spec.lfFaceName, "Arial");
    EXPECT_EQ(label.GetLabelFont().LogFont().lfHeight, -19);

    label.SetEscapement(90);
    EXPECT_EQ(label.GetFontSpec().lfEscapement, 900);
    EXPECT_EQ(label.GetFontSpec().lfOrientation, 900);

    const std::string longName(40, 'F');
    label.SetFaceName(longName.c_str(), 0);
    EXPECT_EQ(std::strlen(label.GetFontSpec().lfFaceName), size_t(LF_FACESIZE - 1));

    // A description whose face name fills the record without an end is cut too.
    LOGFONT unterminated = label.GetFontSpec();
    std::memset(unterminated.lfFaceName, 'G', sizeof unterminated.lfFaceName);
    label.SetLogFont(unterminated);
    EXPECT_EQ(std::strlen(label.GetFontSpec().lfFaceName), size_t(LF_FACESIZE - 1));
}

TEST_F(LinkLabelTest, EmbossRotationAndFramesDrawOnTheLabel) {
    CLinkLabel& label = RedText();
    label.SetBackground(kWhite).SetEmbossColour(RGB(0, 0, 200)).SetEmbossed(TRUE, TRUE);
    EXPECT_TRUE(ShowsInk(label, Bluish));
    EXPECT_TRUE(ShowsInk(label, Reddish));
    label.SetEmbossed(FALSE).SetThinBorder(TRUE);
    EXPECT_EQ(PixelOf(label, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    label.SetThinBorder(FALSE).SetStaticEdge(TRUE);
    EXPECT_EQ(PixelOf(label, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    label.SetStaticEdge(FALSE).SetEscapement(90, TRUE);
    EXPECT_TRUE(ShowsInk(label, Reddish));
}

TEST(LinkLabelWithoutWindow, ChangingTextBeforeTheWindowExistsDoesNothing) {
    CLinkLabel label;
    label.ChangeText("text").SetBold(TRUE).BlinkText(TRUE).BlinkText(FALSE);
    EXPECT_EQ(label.GetWindowText(), "");
}

}  // namespace
