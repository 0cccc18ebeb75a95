// A player without hands: it looks at the board the way a player does and works the game
// only through the mouse (cursor position, MouseMove, MouseDown), one frame at a time.
//
// It plays like a decent player: it completes squares and the bonus figure when it can,
// otherwise it builds towards them and keeps the board open; it uses bombs on stones and
// crowded corners, paint cubes where a block of mixed colours turns into squares, and
// shots on the commonest colour. It pauses to think before each press, as a person does.
#pragma once

#include "game/GameSetup.h"

#include <cstdint>

struct TBotSettings
{
    float ThinkMs = 700; // from a quiet board to the press on the chosen cube
    float AimMs = 250;   // from that press to the press on the target
    float GiveUpMs = 30000; // a quiet board with nothing to do for this long: stuck
};

struct TBotStats
{
    int Moves = 0;    // moves started (any cube)
    int Squares = 0;  // moves the bot made expecting a square
    int Figures = 0;  // moves the bot made expecting the bonus figure
    int Bombs = 0;
    int Paints = 0;
    int Shots = 0;
    int Misses = 0; // presses that did not do what the bot expected
};

class TBot
{
public:
    TBot(TGameSetup& game, NullGameHost& host, const TBotSettings& settings = {});

    // One frame of the player, run before the game's Update of that frame.
    void Frame(float dt);
    // Drops any half-done action (a new game or level starts).
    void Reset();

    // True once the board has been quiet for GiveUpMs with no move possible (normal mode
    // only: in the timed mode the drain ends such a board).
    bool Stuck() const { return StuckMs >= Settings.GiveUpMs; }

    TBotStats Stats;

private:
    enum class TStep : uint8_t
    {
        Idle,     // waiting for a quiet board, then choosing
        Thinking, // the cursor rests on the chosen cube
        Aiming,   // the cube is selected, the cursor rests on the target
        ShotWait, // the shot cube is vanishing
        ShotAim,  // the cursor rests on a cube of the colour to shoot
    };
    enum class TActionKind : uint8_t
    {
        None,
        Move,
        Shot,
    };
    struct TAction
    {
        TActionKind Kind = TActionKind::None;
        TCell From;
        TCell To;
        uint8_t CubeKind = 0;
        bool ExpectSquare = false;
        bool ExpectFigure = false;
        double Value = -1e30;
    };

    void Choose();
    void PressSource();
    void PressTarget();
    void StartShotAim();
    void PressShot();
    void PointAt(TCell cell);
    bool BoardChanged() const;
    uint32_t BoardSignature() const;

    TGameSetup& Game;
    NullGameHost& Host;
    TBotSettings Settings;
    TStep Step = TStep::Idle;
    TAction Plan;
    float Timer = 0;
    float StuckMs = 0;
    uint32_t PlannedSignature = 0;
    uint8_t ShotColour = 0;
};
