#include "app/KeyCodes.h"

#include <SDL_mouse.h>

uint16_t VirtualKey(const SDL_Keysym& key)
{
    const SDL_Keycode k = key.sym;
    const SDL_Scancode s = key.scancode;
    // Letters and the digit row by their place on the keyboard, as the original's codes
    // were: every layout (Cyrillic, Greek, ...) gives A..Z, and layouts that need Shift for
    // digits still give 48..57. Upper case whatever the shift.
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z)
    {
        return static_cast<uint16_t>('A' + (s - SDL_SCANCODE_A));
    }
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9)
    {
        return static_cast<uint16_t>('1' + (s - SDL_SCANCODE_1));
    }
    if (s == SDL_SCANCODE_0)
    {
        return '0';
    }
    // A key event without a position (synthesised by some input methods): by its symbol.
    if (s == SDL_SCANCODE_UNKNOWN && k >= SDLK_a && k <= SDLK_z)
    {
        return static_cast<uint16_t>('A' + (k - SDLK_a));
    }
    // The keypad types digits while Num Lock is on, and moves like the arrow block otherwise.
    if (s >= SDL_SCANCODE_KP_1 && s <= SDL_SCANCODE_KP_0)
    {
        const int digit = s == SDL_SCANCODE_KP_0 ? 0 : 1 + (s - SDL_SCANCODE_KP_1);
        if ((key.mod & KMOD_NUM) != 0)
        {
            return static_cast<uint16_t>('0' + digit);
        }
        //                                  0   1   2   3   4  5   6   7   8   9
        constexpr uint16_t Navigation[10] = {45, 35, 40, 34, 37, 0, 39, 36, 38, 33};
        return Navigation[digit];
    }
    // The punctuation keys the names can hold, by place as well.
    switch (s)
    {
    case SDL_SCANCODE_COMMA: return VkComma;
    case SDL_SCANCODE_MINUS: return VkMinus;
    case SDL_SCANCODE_PERIOD: return VkPeriod;
    case SDL_SCANCODE_SLASH: return VkSlash;
    default: break;
    }
    if (k >= SDLK_F1 && k <= SDLK_F12)
    {
        return static_cast<uint16_t>(VkF1 + (k - SDLK_F1));
    }
    switch (k)
    {
    case SDLK_BACKSPACE: return VkBack;
    case SDLK_TAB: return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VkEnter;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return 17;
    case SDLK_LALT:
    case SDLK_RALT: return 18;
    case SDLK_PAUSE: return 19;
    case SDLK_CAPSLOCK: return 20;
    case SDLK_ESCAPE: return VkEscape;
    case SDLK_SPACE: return VkSpace;
    case SDLK_PAGEUP: return VkPageUp;
    case SDLK_PAGEDOWN: return VkPageDown;
    case SDLK_END: return VkEnd;
    case SDLK_HOME: return VkHome;
    case SDLK_LEFT: return VkLeft;
    case SDLK_UP: return VkUp;
    case SDLK_RIGHT: return VkRight;
    case SDLK_DOWN: return VkDown;
    case SDLK_PRINTSCREEN: return 44;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return VkDelete;
    case SDLK_LGUI: return 91;
    case SDLK_RGUI: return 92;
    case SDLK_APPLICATION: return 93;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD: return (key.mod & KMOD_NUM) != 0 ? 110 : 46;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_NUMLOCKCLEAR: return 144;
    case SDLK_SCROLLLOCK: return 145;
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: return 0;
    }
}

int MouseButton(uint8_t sdlButton)
{
    switch (sdlButton)
    {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return -1;
    }
}
