#include "platform/Icon.h"

#include <cstring>

#include "platform/GdiDefs.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;

// Stock cursor artwork: 'X' black, '.' white, anything else transparent.
const char* const kArrow[] = {
    "X",           "XX",          "X.X",         "X..X",        "X...X",       "X....X",     "X.....X",
    "X......X",    "X.......X",   "X........X",  "X.....XXXXX", "X..X..X",     "X.X X..X",   "XX  X..X",
    "X    X..X",   "     X..X",   "      X..X",  "      X..X",  "       XX",   nullptr};
const char* const kWait[] = {
    "XXXXXXXXXXX", "X.........X", " X.......X",  " X.......X",  " X.X.X.X.X",  "  X.X.X.X",  "   X.X.X",
    "    X.X",     "    X.X",     "   X...X",    "  X.....X",   " X...X...X",  " X..X.X..X", " X.X.X.X.X",
    "X.........X", "XXXXXXXXXXX", nullptr};
const char* const kHand[] = {
    "     XX",          "    X..X",         "    X..X",         "    X..X",      "    X..XXX",
    "    X..X..XXX",    " XX X..X..X..XX",  "X..XX........X.X", "X...X..........X", " X.............X",
    "  X............X", "  X...........X",  "   X..........X",  "   X.........X", "    X........X",
    "    X........X",   "    XXXXXXXXXX",   nullptr};
const char* const kIBeam[] = {
    "XXX XXX", "   X", "   X", "   X", "   X", "   X", "   X", "   X",
    "   X",    "   X", "   X", "   X", "   X", "   X", "   X", "XXX XXX", nullptr};

Icon* MakeCursor(const char* const* art, int hotX, int hotY) {
    Icon* cursor = new Icon();
    cursor->width = 32;
    cursor->height = 32;
    cursor->isCursor = true;
    cursor->hotSpot = POINT{hotX, hotY};
    cursor->colour.Resize(32, 32, kBlack);
    cursor->mask.Resize(32, 32, kWhite);
    for (int y = 0; art[y] && y < 32; ++y)
        for (int x = 0; art[y][x] && x < 32; ++x) {
            const char c = art[y][x];
            if (c != 'X' && c != '.') continue;
            cursor->mask.Row(y)[x] = kBlack;
            cursor->colour.Row(y)[x] = c == '.' ? kWhite : kBlack;
        }
    return cursor;
}

}  // namespace

HICON CopyIcon(HICON icon) { return icon ? new Icon(*icon) : nullptr; }

BOOL DestroyIcon(HICON icon) {
    if (!icon || icon == LoadStockCursor(IDC_ARROW) || icon == LoadStockCursor(IDC_WAIT) ||
        icon == LoadStockCursor(IDC_HAND) || icon == LoadStockCursor(IDC_IBEAM))
        return FALSE;  // stock cursors are shared
    delete icon;
    return TRUE;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
    if (!icon || !info) return FALSE;
    info->fIcon = icon->isCursor ? FALSE : TRUE;
    info->xHotspot = DWORD(icon->hotSpot.x);
    info->yHotspot = DWORD(icon->hotSpot.y);
    info->mask = &icon->mask;
    info->colour = &icon->colour;
    return TRUE;
}

HCURSOR LoadStockCursor(UINT id) {
    // Made once and shared for the whole process, like the system's cursors.
    static Icon* arrow = MakeCursor(kArrow, 0, 0);
    static Icon* wait = MakeCursor(kWait, 5, 8);
    static Icon* hand = MakeCursor(kHand, 5, 0);
    static Icon* ibeam = MakeCursor(kIBeam, 3, 8);
    switch (id) {
    case IDC_WAIT: return wait;
    case IDC_HAND: return hand;
    case IDC_IBEAM: return ibeam;
    default: return arrow;
    }
}
