#include "app/FrameClock.h"

#include <cstdio>

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
        char number[64];
        std::snprintf(number, sizeof number, "%6.0f", rate);
        line = std::string(state == gsMenu ? " gsMenu  FPS:" : " gsGame  FPS:") + number;
    }
    FpsFrames = 0;
    FpsTick = freshTick;
    return line;
}
