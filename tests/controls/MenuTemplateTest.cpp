// Menu templates as resources: reading hostile bytes, writing them back, and
// the ANSI code page the menu texts pass through.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/CMenu.h"
#include "platform/MenuTemplate.h"
#include "platform/SystemInfo.h"

namespace {

std::vector<unsigned char> Words(std::initializer_list<unsigned> words) {
    std::vector<unsigned char> bytes;
    for (unsigned w : words) {
        bytes.push_back(static_cast<unsigned char>(w & 0xFF));
        bytes.push_back(static_cast<unsigned char>(w >> 8));
    }
    return bytes;
}

TEST(MenuTemplateTest, NestedLevelsRoundTrip) {
    MenuTemplateItem open{MF_CHECKED, 10, L"&Open\tCtrl+O", {}};
    MenuTemplateItem separator{0, 0, L"", {}};
    MenuTemplateItem deep{MF_GRAYED, 30, L"Deep \u20AC", {}};
    MenuTemplateItem inner{MF_POPUP, 0, L"Inner", {deep}};
    MenuTemplateItem more{MF_POPUP, 0, L"&More", {inner, MenuTemplateItem{0, 20, L"Last", {}}}};
    const std::vector<unsigned char> bytes = MenuTemplate::Build({open, separator, more});

    std::vector<MenuTemplateItem> items;
    ASSERT_TRUE(MenuTemplate::Parse(bytes.data(), bytes.size(), &items));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].flags, UINT(MF_CHECKED));
    EXPECT_EQ(items[0].id, 10u);
    EXPECT_EQ(items[0].text, L"&Open\tCtrl+O");
    EXPECT_EQ(items[1].id, 0u);
    EXPECT_EQ(items[2].flags, UINT(MF_POPUP));  // the end flag is not kept
    ASSERT_EQ(items[2].children.size(), 2u);
    ASSERT_EQ(items[2].children[0].children.size(), 1u);
    EXPECT_EQ(items[2].children[0].children[0].text, L"Deep \u20AC");
    EXPECT_EQ(items[2].children[0].children[0].flags, UINT(MF_GRAYED));
    EXPECT_EQ(items[2].children[1].id, 20u);
}

TEST(MenuTemplateTest, TextOutsideTheBasicPlaneJoinsItsSurrogates) {
    // One item: flags MF_END, id 1, U+1F600 then a lone low surrogate.
    const std::vector<unsigned char> bytes = Words({0, 0, MF_END, 1, 0xD83D, 0xDE00, 0xDC00, 0});
    std::vector<MenuTemplateItem> items;
    ASSERT_TRUE(MenuTemplate::Parse(bytes.data(), bytes.size(), &items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, std::wstring({wchar_t(0x1F600), wchar_t(0xFFFD)}));
}

TEST(MenuTemplateTest, MalformedTemplatesAreRefused) {
    std::vector<unsigned char> tooDeep = Words({0, 0});
    for (int level = 0; level <= MenuTemplate::kMaxDepth; ++level) {
        const std::vector<unsigned char> popup = Words({MF_POPUP | MF_END, 'P', 0});
        tooDeep.insert(tooDeep.end(), popup.begin(), popup.end());
    }
    const std::vector<unsigned char> leaf = Words({MF_END, 1, 'x', 0});
    tooDeep.insert(tooDeep.end(), leaf.begin(), leaf.end());
    std::vector<unsigned char> oddLength = Words({0, 0, MF_END, 1, 'a', 0});
    oddLength.pop_back();

    const struct {
        const char* what;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty", {}},
        {"header only", Words({0, 0})},
        {"other version", Words({1, 0, MF_END, 1, 'a', 0})},
        {"offset past the end", Words({0, 40, MF_END, 1, 'a', 0})},
        {"identifier cut off", Words({0, 0, MF_END})},
        {"text without its end", Words({0, 0, MF_END, 1, 'a', 'b'})},
        {"odd length", oddLength},
        {"level without an end flag", Words({0, 0, 0, 1, 'a', 0, 0, 2, 'b', 0})},
        {"popup without items", Words({0, 0, MF_POPUP | MF_END, 'P', 0})},
        {"too deep", tooDeep},
    };
    for (const auto& c : cases) {
        std::vector<MenuTemplateItem> items{MenuTemplateItem{}};
        EXPECT_FALSE(MenuTemplate::Parse(c.bytes.data(), c.bytes.size(), &items)) << c.what;
        EXPECT_TRUE(items.empty()) << c.what;
    }
}

TEST(MenuTemplateTest, DamagedTemplatesNeverReadPastTheirEnd) {
    // Every prefix and random byte changes of a real template: each parses
    // or is refused, reading only its own bytes (checked by the sanitizers).
    MenuTemplateItem leaf{0, 5, L"Leaf", {}};
    MenuTemplateItem popup{MF_POPUP, 0, L"Popup", {leaf, MenuTemplateItem{MF_POPUP, 0, L"P2", {leaf}}}};
    const std::vector<unsigned char> good = MenuTemplate::Build({leaf, popup, leaf});
    std::vector<MenuTemplateItem> items;
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<unsigned char> prefix(good.begin(), good.begin() + long(n));
        EXPECT_FALSE(MenuTemplate::Parse(prefix.data(), prefix.size(), &items)) << n;
    }
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 2000; ++round) {
        std::vector<unsigned char> bytes = good;
        for (int k = 0; k < 3; ++k) bytes[next() % bytes.size()] = static_cast<unsigned char>(next() >> 16);
        if (MenuTemplate::Parse(bytes.data(), bytes.size(), &items)) {
            EXPECT_FALSE(items.empty());
        }
    }
}

TEST(MenuTemplateTest, HeaderOffsetSkipsToTheItems) {
    const std::vector<unsigned char> bytes = Words({0, 4, 0xFFFF, 0xFFFF, MF_END, 7, 'a', 0});
    std::vector<MenuTemplateItem> items;
    ASSERT_TRUE(MenuTemplate::Parse(bytes.data(), bytes.size(), &items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].id, 7u);
}

TEST(SystemInfoTest, AnsiCodePageMapsBothWays) {
    const struct {
        std::string ansi;
        std::wstring wide;
    } cases[] = {
        {"Plain &Text\t1", L"Plain &Text\t1"},
        {"\x80 \x85 \x9F", L"\u20AC \u2026 \u0178"},
        {"\xE9t\xE9", L"\u00E9t\u00E9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SystemInfo::AnsiToWide(c.ansi), c.wide) << c.ansi;
        EXPECT_EQ(SystemInfo::WideToAnsi(c.wide), c.ansi) << c.ansi;
    }
    // Unassigned bytes and characters the code page lacks become '?'.
    EXPECT_EQ(SystemInfo::AnsiToWide("\x81"), L"?");
    EXPECT_EQ(SystemInfo::WideToAnsi(L"\u4E2D\u0100"), "??");
}

}  // namespace
