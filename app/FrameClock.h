// Frame timing: when the loop draws, FrameDelta and TotalTime from the 32-bit millisecond tick count (every
// difference taken modulo 2^32, so the wrap after 49.7 days is seamless), and the
// frame-rate lines of the debug log.
#pragma once

#include "render/GameState.h"

#include <cstdint>
#include <optional>
#include <string>

struct TFrameClock
{
    uint32_t NowTick = 0;  // taken after the last frame
    uint32_t LastTick = 0; // start of the next FrameDelta
    uint32_t FpsTick = 0;  // start of the current frame-rate window
    int32_t FpsFrames = 0; // frames since FpsTick
    uint32_t FrameDelta = 0;
    double TotalTime = 0; // sum of every FrameDelta, in ms

    // The window became active: both windows start now (two readings of the clock).
    void Activate(uint32_t tick, uint32_t secondTick)
    {
        LastTick = tick;
        FpsTick = secondTick;
    }
    // After a frame: now is the tick after it, again a second reading.
    void FrameDone(uint32_t now, uint32_t again)
    {
        NowTick = now;
        FrameDelta = NowTick - LastTick;
        LastTick = again;
        TotalTime += FrameDelta;
    }
    // A pass that drew nothing (a still menu): the next FrameDelta starts at tick.
    void Skip(uint32_t tick) { LastTick = tick; }
    // With writeDebug, once more than 1000 ms have passed since FpsTick: the line for the
    // log (" gsMenu  FPS:" or " gsGame  FPS:" and the rate as "%6.0f"; none in the other
    // states), and the window starts afresh at freshTick.
    std::optional<std::string> FrameRate(TGameState state, bool writeDebug, uint32_t freshTick);
};

// What the loop knows before a pass: the screen, the one last drawn, and what may have
// changed since.
struct TFrameInputs
{
    TGameState State = gsLaunch;
    TGameState DrawnState = gsLaunch;
    bool NeedFrame = true;          // an event, a resize, a resumed focus
    bool FrontEndAnimating = false; // the high-score entry's caret
    bool MusicDue = false;          // a menu tune has ended and the next must start
    bool BoardStill = false;        // the rules' board was still when last drawn and is now
    bool BoardSparking = false;     // the same but for the bombs' fuse sparks (TGame::Still(true))
    uint32_t SinceDrawnMs = 0;      // since the last frame was drawn
};
struct TFrameDecision
{
    bool Draw = true;
    // Without a frame: the longest wait for an event before the next pass, in ms (a menu
    // looks for the end of its tune; a still board is updated so its idle turns come).
    uint32_t WaitMs = 0;
};
// A board on which only the bombs' fuse sparks fly is drawn this often, ten times a second:
// the sparks are small, live about a fifth of a second and are scattered at random, so the
// eye takes them at this rate as at the display's (each is seen in two frames). In between
// the rules are updated at about the display's rate, so as many sparks fly as in a frame of
// every pass.
constexpr uint32_t SparkFrameInterval = 100;
constexpr uint32_t SparkUpdateInterval = 16;

// The one decision for every screen: a menu or the board is drawn again only after a
// change, while something moves (fuse sparks alone every SparkFrameInterval), or when it
// has something to do; the loading screen and every other picture are drawn in every pass.
TFrameDecision DecideFrame(const TFrameInputs& in, uint32_t stillMenuWait, uint32_t stillBoardWait);
