#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpsTestImages.h"
#include "tools/rximage/ImageOperations.h"

namespace {

// Parses a whole command tail the way rximage does; false on the first
// argument that is wrong or unknown.
bool ParseAll(ImageOperations& operations, std::vector<std::string> words) {
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(&w[0]);
    for (int i = 0; i < int(argv.size());) {
        const int used = operations.Parse(int(argv.size()), argv.data(), i);
        if (used <= 0) return false;
        i += used;
    }
    return true;
}

TEST(RximageOperations, ParsesValuesStrictly) {
    struct Case {
        std::vector<std::string> words;
        bool ok;
    } cases[] = {
        {{"--gray", "--flip", "--mirror", "--negative"}, true},
        {{"--rotate", "-12.5"}, true},
        {{"--rotate", "12deg"}, false},
        {{"--rotate", "nan"}, false},
        {{"--rotate"}, false},
        {{"--resample", "30x20"}, true},
        {{"--resample", "30x20:2"}, true},
        {{"--resample", "30x20:4"}, false},
        {{"--resample", "0x20"}, false},
        {{"--resample", "30x"}, false},
        {{"--resample", "30x20x5"}, false},
        {{"--crop", "1,2,3,4"}, true},
        {{"--crop", "1,2,3"}, false},
        {{"--crop", "1,2,3,4,5"}, false},
        {{"--crop", "1,2,3,99999999999"}, false},
        {{"--dither", "1"}, true},
        {{"--dither", "2"}, false},
        {{"--bpp", "24"}, true},
        {{"--bpp", "16"}, false},
        {{"--quality", "50"}, false},  // not an operation
    };
    for (const Case& c : cases) {
        ImageOperations operations;
        EXPECT_EQ(ParseAll(operations, c.words), c.ok) << c.words[0] << " " << (c.words.size() > 1 ? c.words[1] : "");
    }
}

TEST(RximageOperations, AppliesInTheOrderGiven) {
    struct Case {
        std::vector<std::string> words;
        LONG width, height;
        WORD bpp;
    } cases[] = {
        {{"--crop", "0,0,4,2", "--rotate", "90"}, 2, 4, 24},
        {{"--rotate", "90", "--crop", "0,0,4,2"}, 4, 2, 24},
        {{"--rotate", "-90"}, 4, 6, 24},
        {{"--rotate", "45"}, 6, 6, 24},
        {{"--resample", "12x8:1", "--gray"}, 12, 8, 8},
        {{"--bpp", "4", "--bpp", "8"}, 6, 4, 8},
        {{"--dither", "0", "--bpp", "24"}, 6, 4, 24},
    };
    for (const Case& c : cases) {
        ImageOperations operations;
        ASSERT_TRUE(ParseAll(operations, c.words)) << c.words[0];
        OpsImage image(0);
        MakePattern(image, 6, 4, 24, false);
        ASSERT_TRUE(operations.Apply(image)) << c.words[0];
        EXPECT_EQ(image.GetWidth(), c.width) << c.words[0] << " " << c.words[1];
        EXPECT_EQ(image.GetHeight(), c.height) << c.words[0] << " " << c.words[1];
        EXPECT_EQ(image.GetBpp(), c.bpp) << c.words[0] << " " << c.words[1];
    }
}

TEST(RximageOperations, QuarterTurnsAreExact) {
    ImageOperations operations;
    ASSERT_TRUE(ParseAll(operations, {"--rotate", "450"}));
    OpsImage original(0);
    MakePattern(original, 5, 3, 24, false);
    OpsImage turned(original), reference(original);
    ASSERT_TRUE(operations.Apply(turned));
    ASSERT_TRUE(reference.RotateRight());
    EXPECT_EQ(PixelValues(turned), PixelValues(reference));
}

TEST(RximageOperations, StopsAtTheFirstFailure) {
    ImageOperations operations;
    ASSERT_TRUE(ParseAll(operations, {"--crop", "5,5,5,9", "--gray"}));
    OpsImage image(0);
    MakePattern(image, 6, 4, 24, false);
    EXPECT_FALSE(operations.Apply(image));
    EXPECT_EQ(image.GetBpp(), 24);
}

}  // namespace
