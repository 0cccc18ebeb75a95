#include "app/FrameClock.h"

#include <algorithm>
#include <charconv>

std::optional<std::string> TFrameClock::FrameRate(TGameState state, bool writeDebug, uint32_t freshTick)
{
    const uint32_t window = NowTick - FpsTick;
    if (!writeDebug || window <= 1000)
    {
        return std::nullopt;
    }
    const double rate = static_cast<double>(FpsFrames) * 1000.0 / window;
    std::optional<std::string> line;
    if (state == gsMenu || state == gsGame)
    {
        // Whole frames a second, right-aligned in six places; no locale reaches the log.
        char number[64];
        const auto r = std::to_chars(number, number + sizeof number, rate, std::chars_format::fixed, 0);
        std::string text(number, r.ptr);
        if (text.size() < 6)
        {
            text.insert(0, 6 - text.size(), ' ');
        }
        line = std::string(state == gsMenu ? " gsMenu  FPS:" : " gsGame  FPS:") + text;
    }
    FpsFrames = 0;
    FpsTick = freshTick;
    return line;
}

TFrameDecision DecideFrame(const TFrameInputs& in, uint32_t stillMenuWait, uint32_t stillBoardWait)
{
    const TGameState s = in.State;
    const bool menu = Traits(s).Menu;
    const bool board = Traits(s).DrawsGame;
    if ((!menu && !board) || s != in.DrawnState || in.NeedFrame || in.FrontEndAnimating)
    {
        return {};
    }
    if (menu)
    {
        return in.MusicDue ? TFrameDecision{} : TFrameDecision{false, stillMenuWait};
    }
    if (in.BoardStill)
    {
        return {false, stillBoardWait};
    }
    if (in.BoardSparking && in.SinceDrawnMs < SparkFrameInterval)
    {
        return {false, std::min(SparkUpdateInterval, SparkFrameInterval - in.SinceDrawnMs)};
    }
    return {};
}
