// SDL's keys and mouse buttons translated into what the game compares against: the
// virtual-key codes of the original platform (front/VirtualKeys.h names those the game
// uses; Shift 16, Control 17, Alt 18, ... by the same table) and the buttons 0 left,
// 1 right, 2 middle.
#pragma once

#include "front/VirtualKeys.h"

#include <SDL_keyboard.h>

#include <cstdint>

// 0 for a key the game has no code for.
uint16_t VirtualKey(const SDL_Keysym& key);
// -1 for a button the game does not know (the side buttons).
int MouseButton(uint8_t sdlButton);
