#pragma once

// Numbers of the converter's resources: dialog templates, artwork, strings.

#include "platform/WinTypes.h"

// Dialog templates.
constexpr UINT IDD_CONVERTER = 1025;
constexpr UINT IDD_PAGE_GENERAL = 1009;
constexpr UINT IDD_PAGE_IMAGE = 1008;
constexpr UINT IDD_PAGE_DRAWING = 1007;
constexpr UINT IDD_ABOUT = 1011;

// Bitmaps.
constexpr UINT IDB_HELP = 134;
constexpr UINT IDB_TABS = 1003;
constexpr UINT IDB_BANNER = 1004;
constexpr UINT IDB_FILL_SOLID = 1006;
constexpr UINT IDB_FILL_OUTLINE = 1007;
constexpr UINT IDB_WIDTH_KEPT = 1008;
constexpr UINT IDB_WIDTH_THIN = 1009;
constexpr UINT IDB_CONVERT = 1010;
constexpr UINT IDB_ABOUT = 1012;
// The line type pictures of the image options page; the module has none.
constexpr UINT IDB_LINE_OUTLINE = 144;
constexpr UINT IDB_LINE_CENTER = 145;

// Icons and cursors.
constexpr UINT IDI_NEXT_PAGE = 1000;
constexpr UINT IDI_PREVIOUS_PAGE = 1001;
constexpr UINT IDC_POINTING_HAND = 1002;

// Strings.
constexpr UINT IDS_INPUT_EMPTY = 1;
constexpr UINT IDS_HELP = 102;
constexpr UINT IDS_ABOUT = 103;
