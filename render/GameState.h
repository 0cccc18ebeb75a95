// The application state: what the frame shows and where input goes, and TScreenState,
// the one object through which it changes.
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

// Name of a state for the debug log: "launch", "menu", "game", ...
const char* GameStateName(TGameState state);

// The screen state of the program. The main window owns the one instance and hands it by
// reference to whatever changes it (the menus, the input routing, the game host); every
// change goes through Set, which writes it to the debug log (" State menu -> game").
// Reading is a plain conversion to TGameState.
class TScreenState
{
public:
    TScreenState() = default;
    TScreenState(const TScreenState&) = delete;
    TScreenState& operator=(const TScreenState&) = delete;

    void Set(TGameState next);
    TScreenState& operator=(TGameState next)
    {
        Set(next);
        return *this;
    }
    operator TGameState() const { return Value; }

private:
    TGameState Value = gsLaunch;
};
