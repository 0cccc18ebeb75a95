// SDL's keys and mouse buttons translated into what the game compares against: the
// virtual-key codes of the original platform (letters 65..90 whatever the shift state,
// digits 48..57, Backspace 8, Enter 13, Escape 27, Space 32, arrows 37..40, F1 112,
// Shift 16, Control 17, Alt 18, ...) and the buttons 0 left, 1 right, 2 middle.
#pragma once

#include <SDL_keyboard.h>

#include <cstdint>

// The codes the shell's own routing compares against.
constexpr uint16_t VkBack = 8;
constexpr uint16_t VkEnter = 13;
constexpr uint16_t VkEscape = 27;
constexpr uint16_t VkSpace = 32;
constexpr uint16_t VkPageUp = 33;
constexpr uint16_t VkPageDown = 34;
constexpr uint16_t VkEnd = 35;
constexpr uint16_t VkHome = 36;
constexpr uint16_t VkLeft = 37;
constexpr uint16_t VkUp = 38;
constexpr uint16_t VkRight = 39;
constexpr uint16_t VkDown = 40;
constexpr uint16_t VkDelete = 46;
constexpr uint16_t VkP = 80;
constexpr uint16_t VkF1 = 112;

// 0 for a key the game has no code for.
uint16_t VirtualKey(const SDL_Keysym& key);
// -1 for a button the game does not know (the side buttons).
int MouseButton(uint8_t sdlButton);
