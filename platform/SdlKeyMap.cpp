#include "platform/SdlKeyMap.h"

#include "platform/WinUser.h"

unsigned SdlKeyMap::VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + unsigned(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + unsigned(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + unsigned(key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 0x61 + unsigned(key - SDLK_KP_1);  // VK_NUMPAD1...
    switch (key) {
        case SDLK_KP_0: return 0x60;  // VK_NUMPAD0
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_TAB: return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return VK_RETURN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT: return VK_MENU;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_END: return VK_END;
        case SDLK_HOME: return VK_HOME;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_UP: return VK_UP;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_INSERT: return VK_INSERT;
        case SDLK_DELETE: return VK_DELETE;
        // The punctuation keys of a US layout.
        case SDLK_SEMICOLON: return 0xBA;
        case SDLK_EQUALS: return 0xBB;
        case SDLK_COMMA: return 0xBC;
        case SDLK_MINUS: return 0xBD;
        case SDLK_PERIOD: return 0xBE;
        case SDLK_SLASH: return 0xBF;
        case SDLK_BACKQUOTE: return 0xC0;
        case SDLK_LEFTBRACKET: return 0xDB;
        case SDLK_BACKSLASH: return 0xDC;
        case SDLK_RIGHTBRACKET: return 0xDD;
        case SDLK_QUOTE: return 0xDE;
        default: return 0;
    }
}

unsigned SdlKeyMap::ControlCharacter(unsigned virtualKey, bool control) {
    if (control && virtualKey >= 'A' && virtualKey <= 'Z') return virtualKey - 'A' + 1;
    switch (virtualKey) {
        case VK_RETURN: return control ? 0x0A : 0x0D;
        case VK_ESCAPE: return 0x1B;
        case VK_BACK: return control ? 0x7F : 0x08;
        case VK_TAB: return control ? 0 : 0x09;
        default: return 0;
    }
}

unsigned SdlKeyMap::Modifiers(Uint16 sdlModifiers) {
    unsigned modifiers = 0;
    if (sdlModifiers & KMOD_SHIFT) modifiers |= MK_SHIFT;
    if (sdlModifiers & KMOD_CTRL) modifiers |= MK_CONTROL;
    return modifiers;
}
