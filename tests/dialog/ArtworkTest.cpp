// The committed artwork must decode with the framework's own decoders, at the
// sizes the dialogs lay out and with the transparency their users assume.

#include "platform/BmpDecoder.h"
#include "platform/IconDecoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadArtwork(const std::string& name)
{
    std::ifstream in(std::string(PROJECT_SOURCE_DIR) + "/resources/artwork/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

constexpr uint32_t White = 0xFFFFFFFFu;
constexpr uint32_t Black = 0xFF000000u;
constexpr uint32_t Magenta = 0xFFFF00FFu;

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }

} // namespace

TEST(Artwork, BitmapsDecodeAtTheirSizes)
{
    struct Case {
        const char* file;
        int width;
        int height;
        int x, y;           // a pixel whose colour is known
        uint32_t expected;  // 0: only the size is checked
    };
    const Case cases[] = {
        {"bitmap-1004-banner.bmp", 668, 84, 0, 0, White},
        {"bitmap-1003-tabs.bmp", 48, 17, 0, 16, White},
        {"bitmap-1010-convert.bmp", 20, 16, 19, 0, White},
        {"bitmap-134-help.bmp", 14, 16, 0, 0, Magenta},
        {"bitmap-1012-about.bmp", 63, 67, 62, 0, White},
        {"bitmap-1006-fill-solid.bmp", 80, 42, 0, 0, White},
        {"bitmap-1007-fill-outline.bmp", 80, 42, 0, 0, White},
        {"bitmap-1008-width-kept.bmp", 80, 42, 79, 41, White},
        {"bitmap-1009-width-thin.bmp", 80, 42, 79, 41, White},
    };
    for (const Case& c : cases) {
        const std::string bytes = ReadArtwork(c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        Surface surface;
        std::string error;
        ASSERT_TRUE(BmpDecoder::Decode(bytes.data(), bytes.size(), &surface, &error)) << c.file << ": " << error;
        EXPECT_EQ(surface.Width(), c.width) << c.file;
        EXPECT_EQ(surface.Height(), c.height) << c.file;
        EXPECT_EQ(surface.At(c.x, c.y), c.expected) << c.file;
    }
}

TEST(Artwork, TabPicturesSitInSixteenPixelCells)
{
    const std::string bytes = ReadArtwork("bitmap-1003-tabs.bmp");
    Surface strip;
    std::string error;
    ASSERT_TRUE(BmpDecoder::Decode(bytes.data(), bytes.size(), &strip, &error)) << error;
    // Orange star, framed window, chart: each cell has content, and its
    // last column is white (transparent) so the pictures don't touch.
    const uint32_t star = strip.At(7, 8);
    EXPECT_GT(Red(star), 200);
    EXPECT_LT(Blue(star), 100);
    EXPECT_NE(strip.At(16 + 7, 8), White);
    EXPECT_NE(strip.At(32 + 7, 9), White);
    for (int cell = 0; cell < 3; ++cell) {
        for (int y = 0; y < 17; ++y)
            EXPECT_EQ(strip.At(16 * cell + 15, y), White) << "cell " << cell << " row " << y;
    }
}

TEST(Artwork, PageIconsPointTheirWay)
{
    struct Case {
        const char* file;
        int whiteX;  // inside the arrow head
        int greenX;  // beside the shaft, on the other side
    };
    const Case cases[] = {
        {"icon-1000-next-page.ico", 17, 14},
        {"icon-1001-previous-page.ico", 14, 17},
    };
    for (const Case& c : cases) {
        const std::string bytes = ReadArtwork(c.file);
        std::string error;
        std::unique_ptr<Icon> icon = IconDecoder::Decode(bytes.data(), bytes.size(), 32, 32, &error);
        ASSERT_NE(icon, nullptr) << c.file << ": " << error;
        EXPECT_EQ(icon->width, 32);
        EXPECT_EQ(icon->height, 32);
        EXPECT_FALSE(icon->isCursor);
        EXPECT_EQ(icon->mask.At(0, 0), White) << c.file << ": rounded corner shows through";
        EXPECT_EQ(icon->mask.At(16, 16), Black) << c.file;
        EXPECT_EQ(icon->colour.At(c.whiteX, 9) | 0xFF000000u, White) << c.file;
        const uint32_t green = icon->colour.At(c.greenX, 9);
        EXPECT_GT(Green(green), Red(green) + 50) << c.file;

        std::unique_ptr<Icon> small = IconDecoder::Decode(bytes.data(), bytes.size(), 16, 16, &error);
        ASSERT_NE(small, nullptr) << c.file << ": " << error;
        EXPECT_EQ(small->width, 16) << c.file;
    }
}

TEST(Artwork, HandCursorPointsWithItsFingertip)
{
    const std::string bytes = ReadArtwork("cursor-1002-hand.cur");
    std::string error;
    std::unique_ptr<Icon> cursor = IconDecoder::Decode(bytes.data(), bytes.size(), 32, 32, &error);
    ASSERT_NE(cursor, nullptr) << error;
    EXPECT_TRUE(cursor->isCursor);
    EXPECT_EQ(cursor->width, 32);
    EXPECT_EQ(cursor->height, 32);
    EXPECT_EQ(cursor->hotSpot.x, 5);
    EXPECT_EQ(cursor->hotSpot.y, 0);
    // The fingertip is drawn black at the hot spot, white inside the finger,
    // and the screen shows through beside it.
    EXPECT_EQ(cursor->mask.At(5, 0), Black);
    EXPECT_EQ(cursor->colour.At(5, 0), Black);
    EXPECT_EQ(cursor->colour.At(5, 1) | 0xFF000000u, White);
    EXPECT_EQ(cursor->mask.At(0, 0), White);
    EXPECT_EQ(cursor->mask.At(31, 31), White);
}
