// The application state: what the frame shows and where input goes.
#pragma once

#include <cstdint>

enum TGameState : uint8_t
{
    gsLaunch,   // the window and the device exist; nothing is loaded or drawn
    gsMenu,     // the menus over the menu background
    gsHiScores, // the high-score table over the menu background
    gsGame,     // a game is running (with its in-game menus)
    gsGameOver, // the game-over picture
    gsLoading,  // loading behind the loading bar
    gsTutorial, // the tutorial pages
    gsHelp,     // the help picture before a new game
};
