#pragma once

// The mouse cursors of the display driver: the stock arrow, wait, hand and
// I-beam become the desktop's own; any other cursor (a resource such as the
// hand over a link) is made from its pixels, mask and hot spot.

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/Icon.h"

class SdlCursors {
public:
    SdlCursors() = default;
    ~SdlCursors();
    SdlCursors(const SdlCursors&) = delete;
    SdlCursors& operator=(const SdlCursors&) = delete;

    // Shows `cursor` (hides the pointer for none).
    void Show(HCURSOR cursor);

    // An SDL surface of the cursor's picture: its colours where the mask is
    // opaque, transparent elsewhere. Null for an empty or unreadable cursor.
    static SDL_Surface* MakePicture(const Icon& cursor);

private:
    SDL_Cursor* SystemCursor(SDL_SystemCursor id);
    SDL_Cursor* MadeCursor(const Icon& cursor);
    bool MadeCursorShows(const Icon& cursor) const;

    SDL_Cursor* system_[SDL_NUM_SYSTEM_CURSORS] = {};
    // The last cursor made from pixels, and what it was made from: an
    // address alone can be reused by a new cursor once the old one is gone.
    SDL_Cursor* made_ = nullptr;
    const Icon* madeFrom_ = nullptr;
    POINT madeHotSpot_{0, 0};
    std::vector<uint32_t> madePixels_;
    SDL_Cursor* shown_ = nullptr;
    bool hidden_ = false;
};
