#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LibraryFixtures.h"

namespace {

struct Entry {
    std::string name, reference;
    int width = 0, height = 0, tolerance = 0;
    std::string expect;
    int frame = 0;
};

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Files written by independent encoders (Pillow, the libtiff tools, a small
// interlaced PNG writer) decode through the content search to the pixels
// Pillow reads from them; damaged files are refused or decoded without harm.
TEST(LibraryConformance, FilesMadeByOthers) {
    if (std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0) GTEST_SKIP() << "Pillow is not installed";
    char dir[] = "/tmp/libcodecs_conformance_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string out = dir;
    ASSERT_EQ(RunPython(std::string(TEST_SOURCE_DIR) + "/library_conformance.py", out), 0);

    std::ifstream manifest(out + "/manifest.txt");
    std::string line;
    int checked = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        Entry e;
        fields >> e.name >> e.reference >> e.width >> e.height >> e.tolerance >> e.expect >> e.frame;
        SCOPED_TRACE(testing::Message() << e.name << " frame " << e.frame);
        std::string path = out + "/" + e.name;
        LibraryProbe image;
        image.SetFrame(e.frame);
        bool loaded = image.Load(path.c_str(), 0);
        ++checked;
        if (e.expect == "any") continue;
        if (e.expect == "fail") {
            EXPECT_FALSE(loaded);
            continue;
        }
        ASSERT_TRUE(loaded) << image.GetLastError();
        ASSERT_EQ(image.GetWidth(), e.width);
        ASSERT_EQ(image.GetHeight(), e.height);
        std::vector<uint8_t> ref = ReadAll(out + "/" + e.reference);
        ASSERT_EQ(ref.size(), size_t(e.width) * size_t(e.height) * 4);
        int mismatches = 0, worst = 0;
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x) {
                const uint8_t* want = &ref[(size_t(y) * size_t(e.width) + size_t(x)) * 4];
                RGBQUAD got = image.GetPixelColor(x, e.height - 1 - y);
                int d = std::max({std::abs(got.rgbRed - want[0]), std::abs(got.rgbGreen - want[1]),
                                  std::abs(got.rgbBlue - want[2])});
                if (image.AlphaIsValid()) d = std::max(d, std::abs(image.AlphaGet(x, e.height - 1 - y) - want[3]));
                worst = std::max(worst, d);
                if (d > e.tolerance) ++mismatches;
            }
        EXPECT_EQ(mismatches, 0) << "largest difference " << worst;
    }
    EXPECT_GT(checked, 40);
    std::system(("rm -rf " + out).c_str());
}

}  // namespace
