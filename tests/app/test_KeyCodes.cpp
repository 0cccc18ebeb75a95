#include "app/KeyCodes.h"

#include <SDL_mouse.h>
#include <gtest/gtest.h>

namespace
{
uint16_t Key(SDL_Keycode sym, SDL_Scancode scan = SDL_SCANCODE_UNKNOWN, uint16_t mod = KMOD_NONE)
{
    SDL_Keysym k{};
    k.sym = sym;
    k.scancode = scan;
    k.mod = mod;
    return VirtualKey(k);
}
} // namespace

TEST(KeyCodes, KeysBecomeTheCodesTheGameComparesAgainst)
{
    EXPECT_EQ(Key(SDLK_a, SDL_SCANCODE_A), 65);
    EXPECT_EQ(Key(SDLK_p, SDL_SCANCODE_P, KMOD_LSHIFT), 80) << "upper and lower case give one code";
    EXPECT_EQ(Key(SDLK_p, SDL_SCANCODE_P), 80);
    EXPECT_EQ(Key(SDLK_z, SDL_SCANCODE_Z), 90);
    EXPECT_EQ(Key(SDLK_0, SDL_SCANCODE_0), 48);
    EXPECT_EQ(Key(SDLK_9, SDL_SCANCODE_9), 57);
    // A layout whose digit row types symbols still gives the digits.
    EXPECT_EQ(Key(SDLK_AMPERSAND, SDL_SCANCODE_1), 49);
    EXPECT_EQ(Key(SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE), 8);
    EXPECT_EQ(Key(SDLK_RETURN, SDL_SCANCODE_RETURN), 13);
    EXPECT_EQ(Key(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER), 13);
    EXPECT_EQ(Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), 27);
    EXPECT_EQ(Key(SDLK_SPACE, SDL_SCANCODE_SPACE), 32);
    EXPECT_EQ(Key(SDLK_LEFT, SDL_SCANCODE_LEFT), 37);
    EXPECT_EQ(Key(SDLK_UP, SDL_SCANCODE_UP), 38);
    EXPECT_EQ(Key(SDLK_RIGHT, SDL_SCANCODE_RIGHT), 39);
    EXPECT_EQ(Key(SDLK_DOWN, SDL_SCANCODE_DOWN), 40);
    EXPECT_EQ(Key(SDLK_F1, SDL_SCANCODE_F1), 112);
    EXPECT_EQ(Key(SDLK_F12, SDL_SCANCODE_F12), 123);
    EXPECT_EQ(Key(SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), 16);
    EXPECT_EQ(Key(SDLK_RCTRL, SDL_SCANCODE_RCTRL), 17);
    EXPECT_EQ(Key(SDLK_LALT, SDL_SCANCODE_LALT), 18);
    // The keypad types digits under Num Lock and moves like the cursor block without it.
    EXPECT_EQ(Key(SDLK_KP_5, SDL_SCANCODE_KP_5, KMOD_NUM), '5');
    EXPECT_EQ(Key(SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NUM), '0');
    EXPECT_EQ(Key(SDLK_KP_8, SDL_SCANCODE_KP_8), 38);
    EXPECT_EQ(Key(SDLK_KP_7, SDL_SCANCODE_KP_7), 36);
    // Letters by the key's place: a Cyrillic layout's P and A keys, and the comma key.
    EXPECT_EQ(Key(0x0437, SDL_SCANCODE_P), 80);
    EXPECT_EQ(Key(0x0444, SDL_SCANCODE_A, KMOD_LSHIFT), 65);
    EXPECT_EQ(Key(0x0431, SDL_SCANCODE_COMMA), 188);
    EXPECT_EQ(Key(SDLK_MINUS, SDL_SCANCODE_MINUS), 189);
    EXPECT_EQ(Key(SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP), 0);
}

TEST(KeyCodes, MouseButtons)
{
    EXPECT_EQ(MouseButton(SDL_BUTTON_LEFT), 0);
    EXPECT_EQ(MouseButton(SDL_BUTTON_RIGHT), 1);
    EXPECT_EQ(MouseButton(SDL_BUTTON_MIDDLE), 2);
    EXPECT_EQ(MouseButton(SDL_BUTTON_X1), -1);
}
