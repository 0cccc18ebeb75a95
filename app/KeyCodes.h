// SDL's keys and mouse buttons translated into what the game compares against: the
// virtual-key codes of the original platform (letters 65..90 whatever the shift state,
// digits 48..57, Backspace 8, Enter 13, Escape 27, Space 32, arrows 37..40, F1 112,
// Shift 16, Control 17, Alt 18, ...) and the buttons 0 left, 1 right, 2 middle.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>

// 0 for a key the game has no code for.
uint16_t VirtualKey(const SDL_Keysym& key);
// -1 for a button the game does not know (the side buttons).
int MouseButton(uint8_t sdlButton);
