#pragma once

// The keyboard of the display driver in the framework's terms: a key of the
// desktop becomes a virtual key, and the keys that type a control character
// (Enter, Escape, Backspace, Tab, Ctrl with a letter) give that character,
// as the classic message translation does.

#include <SDL_keycode.h>

class SdlKeyMap {
public:
    // The virtual key of an SDL key, 0 for a key the framework has no code for.
    static unsigned VirtualKey(SDL_Keycode key);
    // The character a key-down of `virtualKey` types beside the text the
    // desktop reports for it (which never holds control characters); 0 for none.
    static unsigned ControlCharacter(unsigned virtualKey, bool control);
    // MK_SHIFT | MK_CONTROL of SDL modifier bits.
    static unsigned Modifiers(Uint16 sdlModifiers);
};
