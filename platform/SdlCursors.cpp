#include "platform/SdlCursors.h"

#include <algorithm>

#include "platform/GdiDefs.h"

SdlCursors::~SdlCursors() {
    for (SDL_Cursor* cursor : system_)
        if (cursor) SDL_FreeCursor(cursor);
    if (made_) SDL_FreeCursor(made_);
}

void SdlCursors::Show(HCURSOR cursor) {
    if (!cursor) {
        if (!hidden_) SDL_ShowCursor(SDL_DISABLE);
        hidden_ = true;
        return;
    }
    SDL_Cursor* wanted = nullptr;
    if (cursor == LoadStockCursor(IDC_ARROW)) wanted = SystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    else if (cursor == LoadStockCursor(IDC_WAIT)) wanted = SystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    else if (cursor == LoadStockCursor(IDC_HAND)) wanted = SystemCursor(SDL_SYSTEM_CURSOR_HAND);
    else if (cursor == LoadStockCursor(IDC_IBEAM)) wanted = SystemCursor(SDL_SYSTEM_CURSOR_IBEAM);
    else wanted = MadeCursor(*cursor);
    if (!wanted) wanted = SystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (hidden_) {
        SDL_ShowCursor(SDL_ENABLE);
        hidden_ = false;
    }
    // The framework sets the cursor on every move; the desktop hears of changes only.
    if (wanted && wanted != shown_) {
        SDL_SetCursor(wanted);
        shown_ = wanted;
    }
}

SDL_Cursor* SdlCursors::SystemCursor(SDL_SystemCursor id) {
    if (!system_[id]) system_[id] = SDL_CreateSystemCursor(id);
    return system_[id];
}

static std::vector<uint32_t> PixelsOf(const Icon& cursor) {
    std::vector<uint32_t> pixels(cursor.colour.Pixels(),
                                 cursor.colour.Pixels() + size_t(cursor.colour.Width()) * size_t(cursor.colour.Height()));
    pixels.insert(pixels.end(), cursor.mask.Pixels(),
                  cursor.mask.Pixels() + size_t(cursor.mask.Width()) * size_t(cursor.mask.Height()));
    return pixels;
}

bool SdlCursors::MadeCursorShows(const Icon& cursor) const {
    return made_ && madeFrom_ == &cursor && madeHotSpot_.x == cursor.hotSpot.x &&
           madeHotSpot_.y == cursor.hotSpot.y && madePixels_ == PixelsOf(cursor);
}

SDL_Cursor* SdlCursors::MadeCursor(const Icon& cursor) {
    if (MadeCursorShows(cursor)) return made_;
    SDL_Surface* picture = MakePicture(cursor);
    if (!picture) return nullptr;
    const int hotX = std::min(std::max(int(cursor.hotSpot.x), 0), picture->w - 1);
    const int hotY = std::min(std::max(int(cursor.hotSpot.y), 0), picture->h - 1);
    SDL_Cursor* made = SDL_CreateColorCursor(picture, hotX, hotY);
    SDL_FreeSurface(picture);
    if (!made) return nullptr;
    if (made_ == shown_) {
        // Never free the cursor on the screen before another replaces it.
        SDL_SetCursor(made);
        shown_ = made;
    }
    if (made_) SDL_FreeCursor(made_);
    made_ = made;
    madeFrom_ = &cursor;
    madeHotSpot_ = cursor.hotSpot;
    madePixels_ = PixelsOf(cursor);
    return made_;
}

SDL_Surface* SdlCursors::MakePicture(const Icon& cursor) {
    const Surface& colour = cursor.colour;
    const int width = colour.Width(), height = colour.Height();
    // Cursors are small; anything larger is not one.
    if (width <= 0 || height <= 0 || width > 256 || height > 256) return nullptr;
    const bool masked = cursor.mask.Width() == width && cursor.mask.Height() == height;
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!picture) return nullptr;
    for (int y = 0; y < height; ++y) {
        uint32_t* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(picture->pixels) + size_t(y) * size_t(picture->pitch));
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = colour.At(x, y);
            if (cursor.hasAlpha) {
                out[x] = pixel;
                continue;
            }
            // A white mask pixel lets the screen through (an inverting
            // pixel has no equivalent here and is left out too).
            const bool transparent = masked && (cursor.mask.At(x, y) & 0x00FFFFFFu) != 0;
            out[x] = transparent ? 0u : (pixel | 0xFF000000u);
        }
    }
    return picture;
}
