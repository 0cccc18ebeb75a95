// Where keys and mouse events go, by the application state: to the menu, the game, the
// high-score name entry, the drawn cursor and the light that follows it. Key codes and
// buttons arrive translated (KeyCodes.h); positions in client pixels of the main window.
// Every event is ignored while nothing is loaded (gsLaunch, gsLoading).
#pragma once

#include "front/HighScores.h"
#include "front/IFrontEnd.h"
#include "render/GameState.h"

#include <cstdint>
#include <functional>

class TGame;
class TCursor;
class THiScores;
struct TGraphics;

class TInputRouter
{
public:
    TInputRouter(TScreenState& state, IFrontEnd& frontEnd, bool& appActive) :
        FrontEnd(&frontEnd), State(state), AppActive(appActive)
    {
    }
    // The front end is set before the first event arrives (the main window's SetFrontEnd).
    TInputRouter(TScreenState& state, bool& appActive) :
        FrontEnd(nullptr), State(state), AppActive(appActive)
    {
    }

    // repeat: the key is held and the system repeats it. In a game only the cursor keys
    // repeat; a held Enter or Escape acts once.
    void KeyDown(uint16_t key, bool repeat = false);
    void MouseMove(int x, int y);
    void MouseDown(int button);
    void MouseUp(int button);
    // While a game is played: it pauses with the pause screen, as the pause keys do. True
    // when it did.
    bool PauseGame();
    // A game is played on the board: the cursor keys move the board cursor there.
    bool OnBoard() const;
    // A game is played or paused (its pause screen or the offer of its saved game shows).
    bool InGame() const;
    // The cell of the board cursor (1..9 each way) while the keys drive it.
    bool BoardKeys() const { return KeysOnBoard; }
    int BoardX() const { return CellX; }
    int BoardY() const { return CellY; }

    IFrontEnd* FrontEnd;
    // Set by the load sequence; null before it.
    TGame* Game = nullptr;
    TCursor* Cursor = nullptr;
    TGraphics* Graphics = nullptr;
    // Restarts frames and music after the application was inactive.
    std::function<void()> ResumeState;

private:
    bool Loading() const;
    bool ClosingGame() const; // the game's closing sequence runs
    void BoardKey(uint16_t key);
    void PlaceBoardCursor();
    void NameKey(THiScores& scores, uint16_t key);

    TScreenState& State;
    bool& AppActive;
    bool KeysOnBoard = false; // the keys, not the mouse, drive the cursor
    int CellX = 5;
    int CellY = 5;
};

