// The display driver's translation of keys and text, without a display.

#include <gtest/gtest.h>

#include "platform/AnsiText.h"
#include "platform/SdlKeyMap.h"
#include "platform/WinUser.h"

TEST(SdlKeyMap, KeysBecomeTheVirtualKeysThePagesFilter) {
    const struct {
        SDL_Keycode key;
        unsigned virtualKey;
    } cases[] = {
        {SDLK_DOWN, VK_DOWN},       {SDLK_UP, VK_UP},         {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_PAGEUP, VK_PRIOR},    {SDLK_RETURN, VK_RETURN}, {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_ESCAPE, VK_ESCAPE},   {SDLK_TAB, VK_TAB},       {SDLK_BACKSPACE, VK_BACK},
        {SDLK_a, 'A'},              {SDLK_z, 'Z'},            {SDLK_0, '0'},
        {SDLK_9, '9'},              {SDLK_F1, VK_F1},         {SDLK_F12, VK_F1 + 11},
        {SDLK_LSHIFT, VK_SHIFT},    {SDLK_RCTRL, VK_CONTROL}, {SDLK_DELETE, VK_DELETE},
        {SDLK_KP_0, 0x60},          {SDLK_KP_9, 0x69},        {SDLK_MUTE, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SdlKeyMap::VirtualKey(c.key), c.virtualKey) << "SDL key " << c.key;
}

TEST(SdlKeyMap, ControlCharactersAsTheClassicTranslationTypesThem) {
    const struct {
        unsigned virtualKey;
        bool control;
        unsigned character;
    } cases[] = {
        {'C', true, 0x03}, {'V', true, 0x16}, {'X', true, 0x18}, {'A', true, 0x01},
        {'C', false, 0},  // the desktop's text carries plain letters
        {VK_RETURN, false, '\r'}, {VK_ESCAPE, false, 0x1B}, {VK_BACK, false, '\b'},
        {VK_TAB, false, '\t'},    {VK_TAB, true, 0},        {VK_DOWN, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SdlKeyMap::ControlCharacter(c.virtualKey, c.control), c.character)
            << c.virtualKey << (c.control ? " with Ctrl" : "");
    EXPECT_EQ(SdlKeyMap::Modifiers(KMOD_LSHIFT | KMOD_RCTRL | KMOD_NUM), MK_SHIFT | MK_CONTROL);
}

TEST(AnsiText, DesktopTextToEightBitsAndBack) {
    const struct {
        std::string utf8;
        std::string ansi;
    } cases[] = {
        {"plain.pdf", "plain.pdf"},
        {"caf\xC3\xA9 \xC3\xBF", "caf\xE9 \xFF"},
        {"\xE2\x82\xAC 5", "? 5"},               // beyond Latin-1
        {"\xF0\x9F\x98\x80!", "?!"},             // four bytes
        {"cut \xC3", "cut ?"},                    // ends inside a character
        {"\xC3(x", "?(x"},                        // a lead byte without its follower
        {"\x80\xBF", "??"},                       // stray followers
    };
    for (const auto& c : cases) EXPECT_EQ(AnsiText::FromUtf8(c.utf8), c.ansi) << c.utf8;
    const std::string every = [] {
        std::string s;
        for (int b = 1; b < 256; ++b) s += char(b);
        return s;
    }();
    EXPECT_EQ(AnsiText::FromUtf8(AnsiText::ToUtf8(every)), every);
}
