#include <gtest/gtest.h>

#include <cstring>

#include "platform/CDC.h"
#include "platform/FontInstance.h"

namespace {

LOGFONT DialogFont(const char* face, int height) {
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

}  // namespace

TEST(DrawText, DialogBaseUnitsOfTheTemplateFont) {
    Surface surface(100, 100);
    CDC dc(&surface);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(80, "MS Sans Serif"));
    dc.SelectObject(&font);
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    const SIZE alphabet = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    printf("em %d ascent %ld descent %ld height %ld extent %ld ave %ld\n", font.Instance()->EmPixels(), (long)tm.tmAscent, (long)tm.tmDescent, (long)tm.tmHeight, (long)alphabet.cx, (long)tm.tmAveCharWidth);
    const int baseX = (alphabet.cx / 26 + 1) / 2;
    EXPECT_EQ(baseX, 6);
    EXPECT_EQ(tm.tmHeight, 13);
    EXPECT_EQ(font.Instance()->EmPixels(), 11);
}
