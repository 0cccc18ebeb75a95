// Where keys and mouse events go, by the application state: to the menu, the game, the
// high-score name entry, the drawn cursor and the light that follows it. Key codes and
// buttons arrive translated (KeyCodes.h); positions in client pixels of the main window.
// Every event is ignored while nothing is loaded (gsLaunch, gsLoading).
#pragma once

#include "front/IFrontEnd.h"
#include "render/GameState.h"

#include <cstdint>
#include <functional>

class TGame;
class TCursor;
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

    void KeyDown(uint16_t key);
    void MouseMove(int x, int y);
    void MouseDown(int button);
    void MouseUp(int button);
    // The game-over picture gives way to the high-score table, with name entry when the
    // game's score (rounded, halves to even) beats the tenth place of its mode's table.
    void LeaveGameOver();

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

    TScreenState& State;
    bool& AppActive;
};

// Score as entered into the table: rounded halves to even, and beyond the 32-bit range
// clamped to it (the table holds 32-bit points).
int64_t RoundedScore(double score);
int32_t TableScore(int64_t rounded);
