#pragma once

// Which modifier keys are held. Key and mouse input record it as it arrives,
// so that controls can ask GetKeyState while handling a message (Shift+arrow
// extends an edit's selection, Ctrl+A selects all).

#include "platform/WinTypes.h"

class KeyboardState {
public:
    // MK_SHIFT | MK_CONTROL of the input event being delivered.
    static void SetModifiers(unsigned mk);
    // A key message for a modifier key (VK_SHIFT, VK_CONTROL).
    static void KeyMessage(unsigned virtualKey, bool down);
    static bool IsDown(unsigned virtualKey);
};

// The classic query: the high bit (negative result) when the key is down.
short GetKeyState(int virtualKey);
