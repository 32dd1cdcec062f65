#include "platform/KeyCodes.h"

namespace {
// Letters and digits are contiguous in SDL but not in the scan-code order, so
// they go through small tables.
constexpr int kLetters[26] = {
    KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
    KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
};
constexpr int kDigits[10] = { KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9, KEY_0 };
constexpr int kKeypadDigits[10] = {
    KEY_NUMPAD1, KEY_NUMPAD2, KEY_NUMPAD3, KEY_NUMPAD4, KEY_NUMPAD5,
    KEY_NUMPAD6, KEY_NUMPAD7, KEY_NUMPAD8, KEY_NUMPAD9, KEY_NUMPAD0,
};
constexpr int kFunctionKeys[12] = {
    KEY_F1, KEY_F2, KEY_F3, KEY_F4, KEY_F5, KEY_F6, KEY_F7, KEY_F8, KEY_F9, KEY_F10, KEY_F11, KEY_F12,
};

int MapOther(SDL_Scancode sc)
{
    switch (sc) {
    case SDL_SCANCODE_ESCAPE: return KEY_ESCAPE;
    case SDL_SCANCODE_MINUS: return KEY_MINUS;
    case SDL_SCANCODE_EQUALS: return KEY_EQUALS;
    case SDL_SCANCODE_BACKSPACE: return KEY_BACK;
    case SDL_SCANCODE_TAB: return KEY_TAB;
    case SDL_SCANCODE_LEFTBRACKET: return KEY_LBRACKET;
    case SDL_SCANCODE_RIGHTBRACKET: return KEY_RBRACKET;
    case SDL_SCANCODE_RETURN: return KEY_RETURN;
    case SDL_SCANCODE_LCTRL: return KEY_LCONTROL;
    case SDL_SCANCODE_SEMICOLON: return KEY_SEMICOLON;
    case SDL_SCANCODE_APOSTROPHE: return KEY_APOSTROPHE;
    case SDL_SCANCODE_GRAVE: return KEY_GRAVE;
    case SDL_SCANCODE_LSHIFT: return KEY_LSHIFT;
    case SDL_SCANCODE_BACKSLASH: return KEY_BACKSLASH;
    case SDL_SCANCODE_NONUSHASH: return KEY_BACKSLASH; // same physical position
    case SDL_SCANCODE_COMMA: return KEY_COMMA;
    case SDL_SCANCODE_PERIOD: return KEY_PERIOD;
    case SDL_SCANCODE_SLASH: return KEY_SLASH;
    case SDL_SCANCODE_RSHIFT: return KEY_RSHIFT;
    case SDL_SCANCODE_KP_MULTIPLY: return KEY_MULTIPLY;
    case SDL_SCANCODE_LALT: return KEY_LALT;
    case SDL_SCANCODE_SPACE: return KEY_SPACE;
    case SDL_SCANCODE_CAPSLOCK: return KEY_CAPITAL;
    case SDL_SCANCODE_NUMLOCKCLEAR: return KEY_NUMLOCK;
    case SDL_SCANCODE_SCROLLLOCK: return KEY_SCROLL;
    case SDL_SCANCODE_KP_MINUS: return KEY_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return KEY_ADD;
    case SDL_SCANCODE_KP_PERIOD: return KEY_DECIMAL;
    case SDL_SCANCODE_NONUSBACKSLASH: return KEY_OEM_102;
    case SDL_SCANCODE_F13: return KEY_F13;
    case SDL_SCANCODE_F14: return KEY_F14;
    case SDL_SCANCODE_F15: return KEY_F15;
    case SDL_SCANCODE_KP_EQUALS: return KEY_NUMPADEQUALS;
    case SDL_SCANCODE_KP_ENTER: return KEY_NUMPADENTER;
    case SDL_SCANCODE_RCTRL: return KEY_RCONTROL;
    case SDL_SCANCODE_KP_COMMA: return KEY_NUMPADCOMMA;
    case SDL_SCANCODE_KP_DIVIDE: return KEY_DIVIDE;
    case SDL_SCANCODE_PRINTSCREEN: return KEY_SYSRQ;
    case SDL_SCANCODE_RALT: return KEY_RALT;
    case SDL_SCANCODE_PAUSE: return KEY_PAUSE;
    case SDL_SCANCODE_HOME: return KEY_HOME;
    case SDL_SCANCODE_UP: return KEY_UP;
    case SDL_SCANCODE_PAGEUP: return KEY_PRIOR;
    case SDL_SCANCODE_LEFT: return KEY_LEFT;
    case SDL_SCANCODE_RIGHT: return KEY_RIGHT;
    case SDL_SCANCODE_END: return KEY_END;
    case SDL_SCANCODE_DOWN: return KEY_DOWN;
    case SDL_SCANCODE_PAGEDOWN: return KEY_NEXT;
    case SDL_SCANCODE_INSERT: return KEY_INSERT;
    case SDL_SCANCODE_DELETE: return KEY_DELETE;
    case SDL_SCANCODE_LGUI: return KEY_LWIN;
    case SDL_SCANCODE_RGUI: return KEY_RWIN;
    case SDL_SCANCODE_APPLICATION: return KEY_APPS;
    default: return KEY_NONE;
    }
}
} // namespace

int SdlScancodeToKeyCode(SDL_Scancode scancode)
{
    const int sc = static_cast<int>(scancode);
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z)
        return kLetters[sc - SDL_SCANCODE_A];
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0)
        return kDigits[sc - SDL_SCANCODE_1];
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_0)
        return kKeypadDigits[sc - SDL_SCANCODE_KP_1];
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12)
        return kFunctionKeys[sc - SDL_SCANCODE_F1];
    return MapOther(scancode);
}
