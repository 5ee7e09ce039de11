// Artwork on high-DPI screens: the pictures drawn for 100, 150 and 200 %,
// the ones resized for the scales in between and above, icons at the size
// asked for and the hand cursor with its hot spot.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/BmpDecoder.h"
#include "platform/CBitmap.h"
#include "platform/DisplayScale.h"
#include "platform/IconDecoder.h"
#include "platform/ImageScaler.h"
#include "platform/ResourceTable.h"
#include "platform/SdlCursors.h"
#include "test_draw_support.h"

using drawtest::BmpFile;
using drawtest::DibHeader;
using drawtest::Px;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// The drawn scales, one between them and one above, made from a drawn one.
constexpr int kScales[] = {100, 125, 150, 200, 300};

struct Picture {
    const char* stem;
    UINT id;
    int width, height;  // at 100 %
    bool pixelArt;
};

const Picture kBitmaps[] = {
    {"bitmap-1003-tabs", 1003, 48, 17, true},       {"bitmap-1004-banner", 1004, 668, 84, false},
    {"bitmap-1006-fill-solid", 1006, 80, 42, false}, {"bitmap-1007-fill-outline", 1007, 80, 42, false},
    {"bitmap-1008-width-kept", 1008, 80, 42, false}, {"bitmap-1009-width-thin", 1009, 80, 42, false},
    {"bitmap-1010-convert", 1010, 20, 16, true},     {"bitmap-1012-about", 1012, 63, 67, false},
    {"bitmap-134-help", 134, 14, 16, true},
};
constexpr UINT kNextIcon = 1000, kPreviousIcon = 1001, kHandCursor = 1002;

int AtScale(int length, int percent) { return (length * percent + 50) / 100; }

// 300 % is the 150 % picture doubled; the others have the 100 % size at the scale.
SIZE ExpectedSize(const Picture& p, int percent) {
    if (percent == 300) return SIZE{2 * AtScale(p.width, 150), 2 * AtScale(p.height, 150)};
    return SIZE{AtScale(p.width, percent), AtScale(p.height, percent)};
}

std::string ReadArtwork(const std::string& name) {
    std::ifstream in(std::string(PROJECT_SOURCE_DIR) + "/resources/artwork/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The artwork as the library embeds it, read once and kept for the process.
struct Embedded {
    std::vector<std::string> names, bytes;
    std::vector<EmbeddedFile> files;

    Embedded() {
        for (const Picture& p : kBitmaps)
            for (const char* suffix : {"", "@150", "@200"}) Add(std::string(p.stem) + suffix + ".bmp");
        Add("icon-1000-next-page.ico");
        Add("icon-1001-previous-page.ico");
        Add("cursor-1002-hand.cur");
        for (size_t i = 0; i < names.size(); ++i)
            files.push_back(EmbeddedFile{names[i].c_str(), reinterpret_cast<const unsigned char*>(bytes[i].data()),
                                         bytes[i].size()});
    }
    void Add(const std::string& name) {
        names.push_back("artwork/" + name);
        bytes.push_back(ReadArtwork(name));
    }
    static const Embedded& Instance() {
        static const Embedded* embedded = new Embedded();
        return *embedded;
    }
};

Surface DecodeFile(const std::string& name) {
    const std::string bytes = ReadArtwork(name);
    Surface surface;
    std::string error;
    EXPECT_TRUE(BmpDecoder::Decode(bytes.data(), bytes.size(), &surface, &error)) << name << ": " << error;
    return surface;
}

bool SamePixels(const Surface& a, const Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if ((a.At(x, y) | kBlack) != (b.At(x, y) | kBlack)) return false;
    return true;
}

std::set<uint32_t> Colours(const Surface& s) {
    std::set<uint32_t> colours;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) colours.insert(s.At(x, y) | kBlack);
    return colours;
}

int Channel(uint32_t p, int shift) { return int((p >> shift) & 0xFF); }

double MeanDifference(const Surface& a, const Surface& b) {
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int shift : {0, 8, 16}) sum += std::abs(Channel(a.At(x, y), shift) - Channel(b.At(x, y), shift));
    return sum / (3.0 * a.Width() * a.Height());
}

// The rightmost column left of `limit` holding a pixel near `ink` within the rows given.
int RightmostInk(const Surface& s, uint32_t ink, int top, int bottom, int limit) {
    int right = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < limit; ++x) {
            const uint32_t p = s.At(x, y);
            const int distance = std::abs(Channel(p, 16) - Channel(ink, 16)) +
                                 std::abs(Channel(p, 8) - Channel(ink, 8)) + std::abs(Channel(p, 0) - Channel(ink, 0));
            if (distance < 60) right = std::max(right, x);
        }
    return right;
}

class ScaledArtwork : public ::testing::Test {
protected:
    void SetUp() override {
        const Embedded& embedded = Embedded::Instance();
        ResourceTable& table = ResourceTable::Instance();
        for (const Picture& p : kBitmaps)
            ASSERT_TRUE(table.AddEmbedded(RT_BITMAP, p.id, embedded.files.data(), embedded.files.size(),
                                          ("artwork/" + std::string(p.stem) + ".bmp").c_str()));
        table.AddEmbedded(RT_ICON, kNextIcon, embedded.files.data(), embedded.files.size(),
                          "artwork/icon-1000-next-page.ico");
        table.AddEmbedded(RT_ICON, kPreviousIcon, embedded.files.data(), embedded.files.size(),
                          "artwork/icon-1001-previous-page.ico");
        table.AddEmbedded(RT_CURSOR, kHandCursor, embedded.files.data(), embedded.files.size(),
                          "artwork/cursor-1002-hand.cur");
    }
    void TearDown() override {
        ResourceTable& table = ResourceTable::Instance();
        for (const Picture& p : kBitmaps) table.Remove(RT_BITMAP, p.id);
        table.Remove(RT_ICON, kNextIcon);
        table.Remove(RT_ICON, kPreviousIcon);
        table.Remove(RT_CURSOR, kHandCursor);
        DisplayScale::SetPercent(100);
    }

    static Surface Load(UINT id, int percent) {
        DisplayScale::SetPercent(percent);
        CBitmap bitmap;
        EXPECT_TRUE(bitmap.LoadBitmap(id)) << id << " at " << percent;
        return bitmap.GetSurface();
    }
};

}  // namespace

TEST_F(ScaledArtwork, EveryBitmapComesAtTheSizeOfTheScale) {
    for (int percent : kScales) {
        for (const Picture& p : kBitmaps) {
            SCOPED_TRACE(std::string(p.stem) + " at " + std::to_string(percent));
            const Surface loaded = Load(p.id, percent);
            const SIZE expected = ExpectedSize(p, percent);
            EXPECT_EQ(loaded.Width(), expected.cx);
            EXPECT_EQ(loaded.Height(), expected.cy);
            // Where a picture was drawn, it is given as drawn: at 100 % the
            // same pixels as always.
            if (percent == 100) {
                EXPECT_TRUE(SamePixels(loaded, DecodeFile(std::string(p.stem) + ".bmp")));
            } else if (percent == 150 || percent == 200) {
                EXPECT_TRUE(SamePixels(loaded, DecodeFile(std::string(p.stem) + "@" + std::to_string(percent) + ".bmp")));
            }
        }
    }
}

TEST_F(ScaledArtwork, PixelArtStaysCrisp) {
    for (const Picture& p : kBitmaps) {
        if (!p.pixelArt) continue;
        SCOPED_TRACE(p.stem);
        const Surface original = Load(p.id, 100);
        const std::set<uint32_t> palette = Colours(original);
        // 200 % repeats every pixel twice each way.
        const Surface doubled = Load(p.id, 200);
        for (int y = 0; y < doubled.Height(); ++y)
            for (int x = 0; x < doubled.Width(); ++x)
                ASSERT_EQ(doubled.At(x, y), original.At(x / 2, y / 2)) << x << "," << y;
        // No scale blurs them: every colour is one of the picture's own (a
        // blend would also spoil the key colour the controls mask out).
        for (int percent : {125, 150, 300}) {
            const std::set<uint32_t> colours = Colours(Load(p.id, percent));
            for (uint32_t c : colours) EXPECT_TRUE(palette.count(c)) << std::hex << c << " at " << std::dec << percent;
        }
    }
}

TEST_F(ScaledArtwork, ThinLinesOfPixelArtDoNotThickenByHalf) {
    // The dark frame of the help picture, one pixel at 100 %: half a pixel
    // more would be drawn as one or two pixels by chance; it stays one up to
    // 150 % and is two from 200 %.
    // At 125 % no whole number is right: one or two pixels, never none.
    struct Case {
        int percent;
        int thinnest, thickest;
    };
    const Case cases[] = {{100, 1, 1}, {125, 1, 2}, {150, 1, 1}, {200, 2, 2}, {300, 2, 2}};
    const uint32_t navy = Px(RGB(0, 0, 128));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        const Surface help = Load(134, c.percent);
        const int y = help.Height() / 2;
        int left = 0;
        while (left < help.Width() && help.At(left, y) != navy) ++left;
        int right = help.Width() - 1;
        while (right >= 0 && help.At(right, y) != navy) --right;
        int leftRun = 0, rightRun = 0;
        while (help.At(left + leftRun, y) == navy) ++leftRun;
        while (help.At(right - rightRun, y) == navy) ++rightRun;
        EXPECT_GE(leftRun, c.thinnest);
        EXPECT_LE(leftRun, c.thickest);
        EXPECT_GE(rightRun, c.thinnest);
        EXPECT_LE(rightRun, c.thickest);
        EXPECT_EQ(help.At(0, y), Px(RGB(255, 0, 255)));  // the key colour around it stays exact
    }
}

TEST_F(ScaledArtwork, DrawnArtworkIsDrawnAgainNotEnlarged) {
    const Surface original = Load(1004, 100);
    const uint32_t titleBlue = Px(RGB(22, 52, 110));
    // The title, left of the picture at 488.
    const int titleRight = RightmostInk(original, titleBlue, 18, 42, 480);
    ASSERT_GT(titleRight, 300);
    for (int percent : {150, 200}) {
        SCOPED_TRACE(percent);
        const Surface banner = Load(1004, percent);
        // The title is set in a larger font: as long in proportion (within
        // what hinting moves), not cut and not a fixed size.
        const int right =
            RightmostInk(banner, titleBlue, AtScale(18, percent), AtScale(42, percent), AtScale(480, percent));
        EXPECT_NEAR(right, titleRight * percent / 100, 8 * percent / 100);
    }
    // A 2x enlargement would make every aligned 2 x 2 block of the title one
    // colour; the smooth edges of type drawn at 200 % do not.
    const Surface banner = Load(1004, 200);
    int blocks = 0, mixed = 0;
    for (int y = 36; y + 1 < 84; y += 2)
        for (int x = 36; x + 1 < 2 * titleRight; x += 2) {
            const uint32_t p = banner.At(x, y);
            ++blocks;
            mixed += banner.At(x + 1, y) != p || banner.At(x, y + 1) != p || banner.At(x + 1, y + 1) != p;
        }
    EXPECT_GT(mixed, blocks / 20);
}

TEST_F(ScaledArtwork, ResizedDrawingsMatchTheirMotif) {
    // At a scale without a drawing, each smooth picture must still show its
    // motif where it belongs. Seen coarsely (a quarter of the 100 % size,
    // where renderings of one motif agree to a few levels), it matches the
    // 100 % drawing; garbage, shifted rows or swapped channels differ by 13
    // to 40 levels. (Pixel art keeps its own colours, checked above.)
    for (int percent : {125, 300}) {
        for (const Picture& p : kBitmaps) {
            if (p.pixelArt) continue;
            SCOPED_TRACE(std::string(p.stem) + " at " + std::to_string(percent));
            const int width = p.width / 4, height = p.height / 4;
            Surface resized, reference;
            ASSERT_TRUE(ImageScaler::Average(Load(p.id, percent), width, height, &resized));
            ASSERT_TRUE(ImageScaler::Average(Load(p.id, 100), width, height, &reference));
            EXPECT_LT(MeanDifference(resized, reference), 8.0);
        }
    }
}

TEST_F(ScaledArtwork, IconsComeAtTheSizeAskedFor) {
    for (int percent : kScales) {
        SCOPED_TRACE(percent);
        DisplayScale::SetPercent(percent);
        const ResourceTable& table = ResourceTable::Instance();
        const int large = AtScale(32, percent), small = AtScale(16, percent);
        for (UINT id : {kNextIcon, kPreviousIcon}) {
            HICON standard = table.LoadIcon(id);
            HICON smallIcon = table.LoadIcon(id, small, small);
            ASSERT_NE(standard, nullptr);
            ASSERT_NE(smallIcon, nullptr);
            EXPECT_EQ(standard->width, large);
            EXPECT_EQ(standard->height, large);
            EXPECT_EQ(smallIcon->width, small);
            EXPECT_EQ(smallIcon->height, small);
            for (HICON icon : {standard, smallIcon}) {
                const int s = icon->width;
                EXPECT_EQ(icon->mask.At(0, 0), kWhite) << s << ": the rounded corner shows through";
                EXPECT_EQ(icon->mask.At(s / 2, s / 2), kBlack) << s;
                EXPECT_EQ(icon->colour.At(s / 2, s / 2) | kBlack, kWhite) << s << ": the arrow in the middle";
                EXPECT_EQ(icon->hotSpot.x, s / 2);
            }
            DestroyIcon(standard);
            DestroyIcon(smallIcon);
        }
    }
    // Any size a caller lays out, exactly.
    HICON odd = ResourceTable::Instance().LoadIcon(kNextIcon, 20, 28);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->width, 20);
    EXPECT_EQ(odd->height, 28);
    EXPECT_EQ(odd->colour.Width(), 20);
    EXPECT_EQ(odd->mask.Height(), 28);
    DestroyIcon(odd);
}

TEST_F(ScaledArtwork, HandCursorKeepsItsHotSpotOnTheFingertip) {
    struct Case {
        int percent;
        int size;
        POINT hotSpot;
    };
    const Case cases[] = {
        {100, 32, {5, 0}}, {125, 40, {6, 0}}, {150, 48, {8, 0}}, {200, 64, {10, 0}}, {300, 96, {16, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        DisplayScale::SetPercent(c.percent);
        HCURSOR hand = ResourceTable::Instance().LoadCursor(kHandCursor);
        ASSERT_NE(hand, nullptr);
        EXPECT_TRUE(hand->isCursor);
        EXPECT_EQ(hand->width, c.size);
        EXPECT_EQ(hand->height, c.size);
        EXPECT_EQ(hand->hotSpot.x, c.hotSpot.x);
        EXPECT_EQ(hand->hotSpot.y, c.hotSpot.y);
        // The fingertip's black outline is under the hot spot.
        EXPECT_EQ(hand->mask.At(c.hotSpot.x, c.hotSpot.y), kBlack);
        EXPECT_EQ(hand->colour.At(c.hotSpot.x, c.hotSpot.y), kBlack);
        EXPECT_EQ(hand->mask.At(c.size - 1, c.size - 1), kWhite);

        // The desktop cursor made from it has its size and shows the tip.
        SDL_Surface* picture = SdlCursors::MakePicture(*hand);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->w, c.size);
        EXPECT_EQ(picture->h, c.size);
        const auto* row = static_cast<const uint32_t*>(picture->pixels);
        EXPECT_EQ(row[c.hotSpot.x], kBlack);
        EXPECT_EQ(row[0], 0u);  // transparent beside the finger
        SDL_FreeSurface(picture);
        DestroyCursor(hand);
    }
}

TEST(ImageScaler, ResizesByPixelAreas) {
    // 2 x 2: red, green / blue, transparent black.
    Surface source(2, 2, 0);
    source.Set(0, 0, Px(RGB(255, 0, 0)));
    source.Set(1, 0, Px(RGB(0, 255, 0)));
    source.Set(0, 1, Px(RGB(0, 0, 255)));

    Surface tripled;
    ASSERT_TRUE(ImageScaler::Average(source, 6, 6, &tripled));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(tripled.At(x, y), source.At(x / 3, y / 3)) << x << "," << y;

    // One pixel: three colours and a transparent one. The transparent
    // pixel lends no black to the colour, only transparency.
    Surface one;
    ASSERT_TRUE(ImageScaler::Average(source, 1, 1, &one));
    EXPECT_EQ(Channel(one.At(0, 0), 24), 191);
    EXPECT_EQ(Channel(one.At(0, 0), 16), 85);
    EXPECT_EQ(Channel(one.At(0, 0), 8), 85);
    EXPECT_EQ(Channel(one.At(0, 0), 0), 85);

    // A key colour stays exact, a thin line is not lost at 5/6.
    Surface keyed(6, 1, Px(RGB(255, 0, 255)));
    keyed.Set(2, 0, Px(RGB(0, 0, 128)));
    Surface smaller;
    ASSERT_TRUE(ImageScaler::Dominant(keyed, 5, 1, &smaller));
    EXPECT_EQ(Colours(smaller), (std::set<uint32_t>{Px(RGB(255, 0, 255)), Px(RGB(0, 0, 128))}));

    for (SIZE bad : {SIZE{0, 4}, SIZE{4, -1}, SIZE{40000, 1}, SIZE{20000, 20000}}) {
        Surface out;
        EXPECT_FALSE(ImageScaler::Average(source, bad.cx, bad.cy, &out)) << bad.cx << " x " << bad.cy;
        EXPECT_FALSE(ImageScaler::Dominant(source, bad.cx, bad.cy, &out)) << bad.cx << " x " << bad.cy;
    }
    EXPECT_FALSE(ImageScaler::Average(Surface(), 4, 4, &tripled));
}

TEST(ScaledResources, VariantsAreFoundByNameAndReplacedWithTheirResource) {
    // 2 x 2 pictures, one colour each: which one was loaded shows in its colour.
    auto plain = [](COLORREF colour, int side) {
        std::vector<uint8_t> rows;
        const size_t stride = (size_t(side) * 3 + 3) & ~size_t(3);
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) rows.insert(rows.end(), {GetBValue(colour), GetGValue(colour), GetRValue(colour)});
            rows.resize(size_t(y + 1) * stride, 0);
        }
        return BmpFile(DibHeader(side, side, 24, BI_RGB, {}), rows);
    };
    const std::vector<uint8_t> base = plain(RGB(255, 0, 0), 2), at150 = plain(RGB(0, 255, 0), 3),
                               at200 = plain(RGB(0, 0, 255), 4);
    const std::vector<uint8_t> junk = {'B', 'M', 9, 9};
    const EmbeddedFile files[] = {
        {"art/p@200.bmp", at200.data(), at200.size()}, {"art/p.bmp", base.data(), base.size()},
        {"art/p@150.bmp", at150.data(), at150.size()}, {"art/p@150.png", junk.data(), junk.size()},
        {"art/p@.bmp", junk.data(), junk.size()},      {"art/pp@250.bmp", junk.data(), junk.size()},
        {"art/p@250.bmpx", junk.data(), junk.size()},
    };
    constexpr UINT kId = 60200;
    ResourceTable& table = ResourceTable::Instance();
    ASSERT_TRUE(table.AddEmbedded(RT_BITMAP, kId, files, std::size(files), "art/p.bmp"));
    ResourceTable::Data data;
    EXPECT_TRUE(table.FindScaled(RT_BITMAP, kId, 150, &data));
    EXPECT_EQ(data.data, at150.data());
    EXPECT_TRUE(table.FindScaled(RT_BITMAP, kId, 200, nullptr));
    EXPECT_FALSE(table.FindScaled(RT_BITMAP, kId, 250, nullptr));

    struct Case {
        int percent;
        int side;
        COLORREF colour;
    };
    // Plain pictures have few colours: pixel art, enlarged from the next
    // smaller variant to the 100 % size at the scale.
    const Case cases[] = {
        {100, 2, RGB(255, 0, 0)}, {125, 3, RGB(255, 0, 0)},  // 2.5 rounded up
        {150, 3, RGB(0, 255, 0)}, {200, 4, RGB(0, 0, 255)}, {250, 5, RGB(0, 0, 255)},
        {300, 6, RGB(0, 255, 0)},  // 150 doubled
        {400, 8, RGB(0, 0, 255)},  // 200 doubled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        DisplayScale::SetPercent(c.percent);
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadBitmap(kId));
        EXPECT_EQ(bitmap.GetSize().cx, c.side);
        EXPECT_EQ(bitmap.GetSize().cy, c.side);
        EXPECT_EQ(Colours(bitmap.GetSurface()), std::set<uint32_t>{Px(c.colour)});
    }

    // A new registration drops the old variants: a stale picture would
    // otherwise show on large screens only.
    table.Add(RT_BITMAP, kId, base.data(), base.size());
    DisplayScale::SetPercent(200);
    CBitmap replaced;
    ASSERT_TRUE(replaced.LoadBitmap(kId));
    EXPECT_EQ(Colours(replaced.GetSurface()), std::set<uint32_t>{Px(RGB(255, 0, 0))});
    EXPECT_EQ(replaced.GetSize().cx, 4);

    // A broken variant fails the load rather than showing garbage; variants
    // need their resource and a scale in range.
    EXPECT_TRUE(table.AddScaled(RT_BITMAP, kId, 200, junk.data(), junk.size()));
    CBitmap broken;
    EXPECT_FALSE(broken.LoadBitmap(kId));
    EXPECT_FALSE(table.AddScaled(RT_BITMAP, kId + 1, 150, at150.data(), at150.size()));
    EXPECT_FALSE(table.AddScaled(RT_BITMAP, kId, 100, at150.data(), at150.size()));
    EXPECT_FALSE(table.AddScaled(RT_BITMAP, kId, 1000, at150.data(), at150.size()));
    table.Remove(RT_BITMAP, kId);
    DisplayScale::SetPercent(100);
}

TEST(ScaledResources, IconFilesGiveTheImageThatResizesBest) {
    // Entries of 16 and 32 pixels, each a plain colour: the one chosen shows.
    auto entry = [](int side, uint8_t red) {
        std::vector<uint8_t> dib = DibHeader(side, side * 2, 32, BI_RGB, {});
        for (int i = 0; i < side * side; ++i) dib.insert(dib.end(), {0, 0, red, 255});
        dib.insert(dib.end(), size_t((side + 31) / 32 * 4 * side), 0);
        return dib;
    };
    const std::vector<uint8_t> e16 = entry(16, 16), e32 = entry(32, 32);
    std::vector<uint8_t> file;
    drawtest::Put16(&file, 0);
    drawtest::Put16(&file, 1);
    drawtest::Put16(&file, 2);
    uint32_t offset = 6 + 2 * 16;
    for (const std::vector<uint8_t>* e : {&e16, &e32}) {
        const int side = e == &e16 ? 16 : 32;
        file.insert(file.end(), {uint8_t(side), uint8_t(side), 0, 0});
        drawtest::Put16(&file, 1);
        drawtest::Put16(&file, 32);
        drawtest::Put32(&file, uint32_t(e->size()));
        drawtest::Put32(&file, offset);
        offset += uint32_t(e->size());
    }
    file.insert(file.end(), e16.begin(), e16.end());
    file.insert(file.end(), e32.begin(), e32.end());

    struct Case {
        int want;
        int chosen;  // the entry the picture comes from
    };
    const Case cases[] = {
        {16, 16}, {32, 32},
        {20, 32},  // reduced from the nearest larger
        {24, 32},
        {64, 32},  // an exact double
        {48, 16},  // an exact triple rather than half again
        {40, 32},  // above all, not a multiple: the largest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want);
        std::string error;
        std::unique_ptr<Icon> icon = IconDecoder::DecodeAtSize(file.data(), file.size(), c.want, c.want, &error);
        ASSERT_NE(icon, nullptr) << error;
        EXPECT_EQ(icon->width, c.want);
        EXPECT_EQ(icon->colour.Height(), c.want);
        EXPECT_EQ(Channel(icon->colour.At(c.want / 2, c.want / 2), 16), c.chosen);
    }
    std::string error;
    EXPECT_EQ(IconDecoder::DecodeAtSize(file.data(), file.size(), 0, 16, &error), nullptr);
    EXPECT_EQ(IconDecoder::DecodeAtSize(file.data(), file.size(), 5000, 5000, &error), nullptr);
    EXPECT_FALSE(error.empty());
}
