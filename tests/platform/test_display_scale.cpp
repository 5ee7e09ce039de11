#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/CDC.h"
#include "platform/CDialog.h"
#include "platform/CFont.h"
#include "platform/DesktopResolution.h"
#include "platform/DisplayScale.h"

namespace {

// Each test leaves the process at the layout's own scale.
class DisplayScaleTest : public ::testing::Test {
protected:
    void TearDown() override {
        unsetenv("PDFIMPORT_SCALE");
        DisplayScale::SetPercent(100);
    }
};

}  // namespace

TEST_F(DisplayScaleTest, ParsesFactorsAndPercentages) {
    const struct {
        const char* text;
        int percent;  // 0: refused
    } cases[] = {{"1", 100},   {"2", 200},    {"1.5", 150},  {"1,5", 150}, {"1.25", 125}, {"1.75", 175},
                 {"150%", 150}, {"4", 400},   {"400%", 400}, {"0.5", 0},   {"0", 0},      {"5", 0},
                 {"1.", 0},     {".5", 0},    {"1.255", 0},  {"1.5%", 0},  {"150 %", 0},  {"x", 0},
                 {"", 0},       {"-2", 0},    {"2x", 0},     {"99%", 0},   {"9999999999999", 0}};
    for (const auto& c : cases) {
        int percent = -1;
        const bool parsed = DisplayScale::ParsePercent(c.text, &percent);
        EXPECT_EQ(parsed, c.percent != 0) << '"' << c.text << '"';
        if (parsed) {
            EXPECT_EQ(percent, c.percent) << '"' << c.text << '"';
        }
    }
}

TEST_F(DisplayScaleTest, ScreenResolutionGivesTheNearestDesktopStep) {
    const struct {
        float dpi;
        int percent;
    } cases[] = {{96, 100}, {100, 100}, {120, 125}, {144, 150}, {160, 175}, {192, 200},
                 {288, 300}, {72, 100}, {0, 100},   {-1, 100},  {1e6f, 400}, {NAN, 100}};
    for (const auto& c : cases) EXPECT_EQ(DisplayScale::PercentForDpi(c.dpi), c.percent) << c.dpi;
}

TEST_F(DisplayScaleTest, SizesRoundAndLinesStayWholeAndSharp) {
    const struct {
        int percent, pixels, size, line;
    } cases[] = {{100, 1, 1, 1}, {100, 13, 13, 13}, {150, 1, 2, 1}, {150, 2, 3, 3}, {150, 13, 20, 19},
                 {150, -3, -5, -3}, {200, 1, 2, 2}, {200, 16, 32, 32}, {125, 1, 1, 1}, {250, 1, 3, 2},
                 {150, 0, 0, 0}};
    for (const auto& c : cases) {
        DisplayScale::SetPercent(c.percent);
        EXPECT_EQ(DisplayScale::Scale(c.pixels), c.size) << c.percent << "% of " << c.pixels;
        EXPECT_EQ(DisplayScale::ScaleLine(c.pixels), c.line) << c.percent << "% of " << c.pixels;
    }
}

TEST_F(DisplayScaleTest, EnvironmentChoosesTheScaleAndABadValueFallsBackToTheDisplay) {
    setenv("PDFIMPORT_SCALE", "1.5", 1);
    DisplayScale::SetPercent(0);
    EXPECT_EQ(DisplayScale::Percent(), 150);
    EXPECT_EQ(DisplayScale::LogPixels(), 144);
    setenv("PDFIMPORT_SCALE", "huge", 1);
    DisplayScale::SetPercent(0);
    EXPECT_EQ(DisplayScale::Percent(), 100);  // the offscreen screen has no resolution of its own
}

TEST_F(DisplayScaleTest, PointFontsFollowTheScreenResolution) {
    // 8 points are 11 pixels at 96 dpi, 16 at 144 and 21 at 192, as points
    // always convert; fonts given in pixels at 96 dpi grow with the layout.
    const struct {
        int percent, em;
    } cases[] = {{100, 11}, {125, 13}, {150, 16}, {200, 21}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        DisplayScale::SetPercent(c.percent);
        CFont font, stock, defaultSize;
        ASSERT_TRUE(font.CreatePointFont(80, "MS Sans Serif"));
        ASSERT_TRUE(stock.CreateStockObject(DEFAULT_GUI_FONT));
        ASSERT_TRUE(defaultSize.CreateFont(0, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
        EXPECT_EQ(font.Instance()->EmPixels(), c.em);
        EXPECT_EQ(stock.Instance()->EmPixels(), DisplayScale::Scale(11));
        EXPECT_EQ(defaultSize.Instance()->EmPixels(), DisplayScale::Scale(11));
    }
}

TEST_F(DisplayScaleTest, DesktopTextResolutionIsReadFromTheResourceListing) {
    const struct {
        const char* resources;
        float dpi;
    } cases[] = {{"Xft.dpi:\t192\n", 192},
                 {"Xcursor.size:\t24\nXft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 144},
                 {"Xft.dpi: 120", 120},
                 {"Xft.dpi:\t96.5\r\n", 96.5f},
                 {"Xft.dpix:\t192\n", 0},
                 {"*dpi:\t192\n", 0},
                 {"Xft.dpi:\t\n", 0},
                 {"Xft.dpi:\tlarge\n", 0},
                 {"Xft.dpi:\t-96\n", 0},
                 {"Xft.dpi:\t1e30\n", 0},
                 {"Xft.dpi\n", 0},
                 {"", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(DesktopResolution::XftDpiOfResources(c.resources), c.dpi) << c.resources;
}
