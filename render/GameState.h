// The application state: what the frame shows and where input goes (one row of traits per
// state, GameStates), and TScreenState, the one object through which it changes.
#pragma once

#include <cstdint>
#include <iterator>

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

// The full-screen picture behind a state.
enum TScreenPicture : uint8_t
{
    spNone,
    spMenuBackground,
    spGameOver,
    spHelp,
};

// What each state is, for the drawing, the frame loop and the input: one row per state.
struct TStateTraits
{
    TGameState State;
    const char* Name;       // for the debug log
    bool Loading;           // before the menu: input is ignored, no screen picture is held
    bool Menu;              // a screen of the front end: drawn again only when it changes
    bool MenuMusic;         // the menu tunes follow each other
    bool DrawsGame;         // the game scene is drawn (and a still board only updated)
    bool BoardInput;        // the mouse and the keys reach the board
    TScreenPicture Picture; // drawn behind everything
    bool ScoreTable;        // the high-score table is drawn over the picture
    bool MenuOverlay;       // the 3D menu is drawn over the scene
};

inline constexpr TStateTraits GameStates[] = {
    // state      name           load   menu   music  game   board  picture           table  overlay
    {gsLaunch,   "launch",      true,  false, false, false, false, spNone,           false, false},
    {gsMenu,     "menu",        false, true,  true,  false, false, spMenuBackground, false, true},
    {gsHiScores, "high scores", false, true,  true,  false, false, spMenuBackground, true,  true},
    {gsGame,     "game",        false, false, false, true,  true,  spNone,           false, true},
    {gsGameOver, "game over",   false, true,  false, false, false, spGameOver,       true,  false},
    {gsLoading,  "loading",     true,  false, false, false, false, spNone,           false, false},
    {gsTutorial, "tutorial",    false, true,  true,  false, false, spNone,           false, true},
    {gsHelp,     "help",        false, true,  false, false, false, spHelp,           false, true},
};
constexpr int GameStateCount = static_cast<int>(std::size(GameStates));

constexpr bool StatesInOrder()
{
    for (int i = 0; i < GameStateCount; ++i)
    {
        if (GameStates[i].State != i)
        {
            return false;
        }
    }
    return true;
}
static_assert(StatesInOrder(), "one row per state, in the order of TGameState");

constexpr const TStateTraits& Traits(TGameState state)
{
    return GameStates[state < GameStateCount ? state : gsLaunch];
}

// Name of a state for the debug log: "launch", "menu", "game", ...; "unknown" outside the
// table.
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
