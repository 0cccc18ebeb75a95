// The key codes the game compares against: the virtual-key codes of the original platform
// (letters 65..90 whatever the shift state, digits 48..57, Backspace 8, Enter 13, Escape 27,
// Space 32, arrows 37..40, F1 112, ...). The shell translates SDL's keys into them
// (app/KeyCodes.cpp); the menus, the high-score names and the input routing read them.
#pragma once

#include <cstdint>

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
// Takes back the last move on the board; Ctrl+Z and the gamepad's Y send it there too.
constexpr uint16_t VkU = 85;
constexpr uint16_t VkF1 = 112;
// The punctuation keys a high-score name can hold.
constexpr uint16_t VkComma = 188;
constexpr uint16_t VkMinus = 189;
constexpr uint16_t VkPeriod = 190;
constexpr uint16_t VkSlash = 191;
