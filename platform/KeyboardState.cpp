#include "platform/KeyboardState.h"

#include "platform/WinUser.h"

namespace {

unsigned g_modifiers = 0;

unsigned MaskOf(unsigned virtualKey) {
    switch (virtualKey) {
        case VK_SHIFT: return MK_SHIFT;
        case VK_CONTROL: return MK_CONTROL;
        default: return 0;
    }
}

}  // namespace

void KeyboardState::SetModifiers(unsigned mk) { g_modifiers = mk & (MK_SHIFT | MK_CONTROL); }

void KeyboardState::KeyMessage(unsigned virtualKey, bool down) {
    unsigned mask = MaskOf(virtualKey);
    if (down) g_modifiers |= mask; else g_modifiers &= ~mask;
}

bool KeyboardState::IsDown(unsigned virtualKey) {
    unsigned mask = MaskOf(virtualKey);
    return mask != 0 && (g_modifiers & mask) != 0;
}

short GetKeyState(int virtualKey) {
    return KeyboardState::IsDown(unsigned(virtualKey)) ? short(0x8000) : short(0);
}
