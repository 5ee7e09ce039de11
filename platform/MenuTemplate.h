#pragma once

// Menu templates: the binary form in which menus are kept as resources (type
// RT_MENU). Layout, all values little-endian:
//   header: WORD version (0), WORD offset (bytes from the header's end to
//           the first item, normally 0)
//   items:  WORD flags; WORD command identifier, absent when the flags hold
//           MF_POPUP; the text as zero-terminated UTF-16 words.
// A popup item is followed by the items of its submenu. MF_END (0x80) marks
// the last item of a level. Every read is bounded by the resource's size,
// and levels nest at most kMaxDepth deep.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

struct MenuTemplateItem {
    UINT flags = 0;  // MF_ bits, without MF_END
    UINT id = 0;     // 0 for popups
    std::wstring text;
    std::vector<MenuTemplateItem> children;  // a popup's items
};

class MenuTemplate {
public:
    static constexpr int kMaxDepth = 16;

    // The items of the top level; false (and no items) when the data is
    // truncated, malformed or nested too deep.
    static bool Parse(const unsigned char* data, size_t size, std::vector<MenuTemplateItem>* items);
    // The resource of that number; false when there is none or it is malformed.
    static bool Load(UINT resourceId, std::vector<MenuTemplateItem>* items);
    // The template of the items (MF_END is set where levels end). Every level,
    // the top one and each popup's, needs at least one item.
    static std::vector<unsigned char> Build(const std::vector<MenuTemplateItem>& items);
};
