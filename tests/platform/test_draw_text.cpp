#include <gtest/gtest.h>

#include <cstring>

#include "platform/CDC.h"
#include "platform/FontInstance.h"
#include "platform/FontResolver.h"
#include "test_draw_support.h"

using drawtest::InkBox;
using drawtest::Px;

namespace {

const uint32_t kWhite = Px(RGB(255, 255, 255));
const uint32_t kBlack = Px(RGB(0, 0, 0));

struct TextCanvas {
    Surface surface;
    CDC dc;
    CFont font;
    explicit TextCanvas(int width = 200, int height = 80, int pointTenths = 80, const char* face = "MS Sans Serif")
        : surface(width, height, 0xFFFFFFFFu), dc(&surface) {
        font.CreatePointFont(pointTenths, face);
        dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
    }
};

}  // namespace

TEST(DrawText, TemplateFacesGiveTheClassicDialogBaseUnits) {
    // Dialog layouts are in units of a quarter average character width and an
    // eighth of the line height; 6 x 13 makes dialog 1025 669 x 528 pixels.
    // The classic dialog faces are narrower than their stand-in, which is
    // drawn at 10 of its 11 pixels' width for them; Arial is its own width.
    const struct {
        const char* face;
        double averageWidth;
    } faces[] = {{"MS Sans Serif", 5.94}, {"Microsoft Sans Serif", 5.94}, {"MS Shell Dlg", 5.94}, {"Arial", 6.4},
                 {"Tahoma", 6.4}};
    for (const auto& [face, averageWidth] : faces) {
        SCOPED_TRACE(face);
        TextCanvas canvas(10, 10, 80, face);
        ASSERT_TRUE(canvas.font.IsCreated());
        TEXTMETRIC tm;
        ASSERT_TRUE(canvas.dc.GetTextMetrics(&tm));
        const SIZE alphabet = canvas.dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const int baseX = (alphabet.cx / 26 + 1) / 2, baseY = tm.tmHeight;
        EXPECT_EQ(baseX, 6);
        EXPECT_EQ(baseY, 13);
        EXPECT_NEAR(alphabet.cx / 52.0, averageWidth, 0.1);
        EXPECT_EQ(canvas.font.Instance()->EmPixels(), 11);
        EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
        // The converter window, 446 x 325 dialog units.
        EXPECT_EQ(MulDiv(446, baseX, 4), 669);
        EXPECT_EQ(MulDiv(325, baseY, 8), 528);
        EXPECT_NE(canvas.font.Instance()->FileName().find("LiberationSans"), std::string::npos);
    }
}

TEST(DrawText, TemplateLabelsFitTheirControls) {
    // Labels of the converter's templates, with their widths in pixels.
    const struct {
        const char* text;
        int width;
    } labels[] = {{"Please select a PDF file to convert:", 168}, {"Convert filled object to DWG solid entity:", 192},
                  {"Create individual DWG file per page", 193 - 13}};
    for (const char* face : {"MS Sans Serif", "Microsoft Sans Serif"}) {
        TextCanvas canvas(10, 10, 80, face);
        for (const auto& label : labels)
            EXPECT_LE(canvas.dc.GetTextExtent(label.text).cx, label.width) << face << ": " << label.text;
    }
}

TEST(DrawText, HeightRuleNegativeIsEmPositiveIsCell) {
    CFont em, cell;
    ASSERT_TRUE(em.CreateFont(-26, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    ASSERT_TRUE(cell.CreateFont(26, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    EXPECT_EQ(em.Instance()->EmPixels(), 26);
    EXPECT_GT(em.Instance()->Height(), 26);  // internal leading comes on top
    EXPECT_LE(cell.Instance()->Height(), 26);
    EXPECT_LT(cell.Instance()->EmPixels(), 26);
    EXPECT_EQ(em.Instance()->Weight(), FW_BOLD);
}

TEST(DrawText, FaceSubstitutionAndUnknownFaces) {
    EXPECT_EQ(FontResolver::SubstituteFace("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(FontResolver::SubstituteFace("microsoft sans serif"), "Liberation Sans");
    EXPECT_EQ(FontResolver::SubstituteFace("Arial"), "Liberation Sans");
    EXPECT_EQ(FontResolver::SubstituteFace("Tahoma"), "Liberation Sans");
    EXPECT_EQ(FontResolver::SubstituteFace("DejaVu Serif"), "DejaVu Serif");
    // An unknown face still gives a usable font (fontconfig's fallback).
    CFont font;
    EXPECT_TRUE(font.CreatePointFont(90, "No Such Face At All"));
    // A face name longer than the record holds is cut to 31 characters.
    LOGFONT lf{};
    lf.lfHeight = -11;
    std::memset(lf.lfFaceName, 'x', LF_FACESIZE);
    CFont longName;
    ASSERT_TRUE(longName.CreateFontIndirect(&lf));
    LOGFONT back;
    ASSERT_EQ(longName.GetLogFont(&back), int(sizeof(LOGFONT)));
    EXPECT_EQ(std::strlen(back.lfFaceName), size_t(LF_FACESIZE - 1));
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
    TextCanvas canvas;
    const SIZE extent = canvas.dc.GetTextExtent("Input PDF file");
    RECT r{10, 20, 10, 20};
    const int height = canvas.dc.DrawText("Input PDF file", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(height, 13);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 10 + extent.cx);
    EXPECT_EQ(r.bottom, 33);
    EXPECT_EQ(InkBox(canvas.surface, kWhite).right, 0) << "DT_CALCRECT drew something";

    // Two lines, the wider decides the width.
    RECT two{0, 0, 0, 0};
    EXPECT_EQ(canvas.dc.DrawText("ab\r\nlonger line", -1, &two, DT_CALCRECT), 26);
    EXPECT_EQ(two.right, canvas.dc.GetTextExtent("longer line").cx);
}

TEST(DrawText, WordBreakWrapsAtSpacesAndKeepsLongWordsWhole) {
    TextCanvas canvas;
    const int wordWidth = canvas.dc.GetTextExtent("word").cx;
    const int pairWidth = canvas.dc.GetTextExtent("word word").cx;
    struct Case {
        const char* text;
        int width;
        int lines;
    } cases[] = {
        {"word word word", pairWidth, 2},           // fits two per line
        {"word word word", pairWidth - 1, 3},       // one per line
        {"word word word", 1000, 1},                // no wrap needed
        {"verylongwordwithoutspaces", wordWidth, 1},  // never split inside a word
        {"a\nb", 1000, 2},                          // explicit line break
        {"", 100, 1},                               // an empty text is one empty line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RECT r{0, 0, c.width, 0};
        EXPECT_EQ(canvas.dc.DrawText(c.text, -1, &r, DT_CALCRECT | DT_WORDBREAK), 13 * c.lines);
    }
    // The measured width of a wrapped text is its widest line, so centring
    // the measured rectangle centres the text (as the caption drawing does).
    RECT r{0, 0, pairWidth, 0};
    canvas.dc.DrawText("word word word", -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    EXPECT_EQ(r.right, pairWidth);
}

TEST(DrawText, HorizontalAndVerticalAlignment) {
    const int width = 200, height = 60;
    struct Case {
        UINT format;
        int expectLeft;   // -1: centred, -2: right-aligned
        bool vcentre;
    } cases[] = {
        {DT_LEFT | DT_SINGLELINE, 0, false},
        {DT_CENTER | DT_SINGLELINE, -1, false},
        {DT_RIGHT | DT_SINGLELINE, -2, false},
        {DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        TextCanvas canvas(width, height);
        const int textWidth = canvas.dc.GetTextExtent("Help").cx;
        RECT r{0, 0, width, height};
        canvas.dc.DrawText("Help", -1, &r, c.format);
        const RECT ink = InkBox(canvas.surface, kWhite);
        int expectedCell = c.expectLeft;
        if (c.expectLeft == -1) expectedCell = (width - textWidth) / 2;
        if (c.expectLeft == -2) expectedCell = width - textWidth;
        EXPECT_GE(ink.left, expectedCell);
        EXPECT_LE(ink.left, expectedCell + 2);  // side bearing of 'H'
        if (c.vcentre) {
            const int cellTop = (height - 13) / 2;
            EXPECT_GE(ink.top, cellTop);
            EXPECT_LE(ink.bottom, cellTop + 13);
        } else {
            EXPECT_LT(ink.top, 13);
        }
    }
}

TEST(DrawText, MnemonicPrefixes) {
    struct Case {
        const char* text;
        UINT format;
        const char* measuredAs;
        bool underlined;
    } cases[] = {
        {"&Convert", 0, "Convert", true},
        {"Save && Exit", 0, "Save & Exit", false},
        {"&Convert", DT_NOPREFIX, "&Convert", false},
        {"&Convert", DT_HIDEPREFIX, "Convert", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TextCanvas canvas;
        RECT measure{0, 0, 0, 0};
        canvas.dc.DrawText(c.text, -1, &measure, c.format | DT_CALCRECT | DT_SINGLELINE);
        EXPECT_EQ(measure.right, canvas.dc.GetTextExtent(c.measuredAs).cx);
        RECT r{0, 0, 200, 40};
        canvas.dc.DrawText(c.text, -1, &r, c.format | DT_SINGLELINE);
        // The underline sits below the baseline, in the descent rows, under
        // the first character only.
        const int underlineRow = 10 + canvas.font.Instance()->UnderlinePosition();
        int inkInRow = 0;
        for (int x = 0; x < 200; ++x) inkInRow += canvas.surface.Row(underlineRow)[x] != kWhite;
        if (c.underlined) {
            EXPECT_GT(inkInRow, 3);
            EXPECT_LE(inkInRow, canvas.dc.GetTextExtent("C").cx);
        } else {
            EXPECT_EQ(inkInRow, 0);
        }
    }
}

TEST(DrawText, EndEllipsisAndBottomAlignment) {
    TextCanvas canvas(200, 60);
    const int width = canvas.dc.GetTextExtent("C:\\Drawings").cx;
    RECT r{0, 0, width, 13};
    canvas.dc.DrawText("C:\\Drawings\\Plan.pdf", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(r.right, width);  // cut, with "..." inside the width
    EXPECT_GT(r.right, width / 2);
    RECT bottom{0, 0, 200, 60};
    EXPECT_EQ(canvas.dc.DrawText("x", -1, &bottom, DT_SINGLELINE | DT_BOTTOM), 60);
    const RECT ink = InkBox(canvas.surface, kWhite);
    EXPECT_GT(ink.top, 47);
    EXPECT_LE(ink.bottom, 60);
}

TEST(DrawText, TabsExpandOnlyWhenAsked) {
    TextCanvas canvas;
    RECT expanded{0, 0, 0, 0}, plain{0, 0, 0, 0};
    canvas.dc.DrawText("a\tb", -1, &expanded, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    canvas.dc.DrawText("a\tb", -1, &plain, DT_CALCRECT | DT_SINGLELINE);
    TEXTMETRIC tm;
    canvas.dc.GetTextMetrics(&tm);
    EXPECT_EQ(expanded.right, 8 * tm.tmAveCharWidth + canvas.dc.GetTextExtent("b").cx);
    EXPECT_EQ(plain.right, canvas.dc.GetTextExtent("ab").cx);
}

TEST(DrawText, ClippedToTheRectangleUnlessNoClip) {
    TextCanvas clipped(200, 40), unclipped(200, 40);
    RECT r{0, 0, 15, 13};
    clipped.dc.DrawText("Wide text here", -1, &r, DT_SINGLELINE);
    EXPECT_LE(InkBox(clipped.surface, kWhite).right, 15);
    unclipped.dc.DrawText("Wide text here", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(InkBox(unclipped.surface, kWhite).right, 40);
}

TEST(DrawText, OpaqueBackgroundFillsTheTextCell) {
    TextCanvas canvas;
    canvas.dc.SetBkMode(OPAQUE);
    canvas.dc.SetBkColor(RGB(255, 0, 0));
    canvas.dc.TextOut(5, 5, "ab");
    const SIZE extent = canvas.dc.GetTextExtent("ab");
    const RECT ink = InkBox(canvas.surface, kWhite);
    EXPECT_EQ(ink.left, 5);
    EXPECT_EQ(ink.top, 5);
    EXPECT_EQ(ink.right, 5 + extent.cx);
    EXPECT_EQ(ink.bottom, 5 + extent.cy);
    EXPECT_EQ(canvas.surface.Row(5)[5], Px(RGB(255, 0, 0)));
}

TEST(DrawText, TextAlignBaselineAndCentre) {
    TextCanvas top, baseline;
    top.dc.TextOut(50, 30, "x");
    baseline.dc.SetTextAlign(TA_BASELINE | TA_CENTER);
    baseline.dc.TextOut(50, 30, "x");
    const RECT a = InkBox(top.surface, kWhite), b = InkBox(baseline.surface, kWhite);
    EXPECT_EQ(a.bottom, 30 + top.font.Instance()->Ascent());  // 'x' sits on the baseline
    EXPECT_EQ(b.bottom, 30);
    EXPECT_NEAR((b.left + b.right) / 2.0, 50, 1.5);
}

TEST(DrawText, TextColourAndAntialiasedEdges) {
    TextCanvas canvas;
    canvas.dc.SetTextColor(RGB(0, 0, 255));
    canvas.dc.TextOut(0, 0, "Open");
    int solid = 0, other = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 40; ++x) {
            const uint32_t p = canvas.surface.Row(y)[x];
            if (p == Px(RGB(0, 0, 255))) ++solid;
            else if (p != kWhite) {
                ++other;
                EXPECT_EQ(p & 0xFF, 0xFFu) << "edge pixels blend towards blue";
            }
        }
    EXPECT_GT(solid, 0);  // hinted horizontal stems are solid
}

TEST(DrawText, EscapementTurnsTheText) {
    TextCanvas canvas(100, 100);
    CFont turned;
    ASSERT_TRUE(turned.CreateFont(-14, 0, 900, 900, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    canvas.dc.SelectObject(&turned);
    canvas.dc.SetTextAlign(TA_BASELINE);
    canvas.dc.TextOut(50, 90, "Rotated");
    const RECT ink = InkBox(canvas.surface, kWhite);
    EXPECT_GT(ink.bottom - ink.top, 30);  // runs upwards
    EXPECT_LT(ink.right - ink.left, 16);
    EXPECT_LE(ink.bottom, 91);
    EXPECT_LE(ink.right, 51);  // glyphs stand left of an upward baseline
}

TEST(DrawText, MonochromeTargetGetsHardEdges) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap mono;
    ASSERT_TRUE(mono.CreateBitmap(60, 20, 1, 1, nullptr));
    dc.SelectObject(&mono);
    dc.PatBlt(0, 0, 60, 20, WHITENESS);
    dc.SetTextColor(RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(0, 0, "Mono");
    const Surface& s = mono.GetSurface();
    int black = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const uint32_t p = s.Row(y)[x];
            ASSERT_TRUE(p == kWhite || p == kBlack);
            black += p == kBlack;
        }
    EXPECT_GT(black, 20);
}
