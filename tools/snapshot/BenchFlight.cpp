#include "tools/snapshot/BenchFlight.h"

#include "render/GLDevice.h"
#include "render/RenderScene.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace
{
struct TFlightRun
{
    int Frames = 0;
    double MeanMs = 0, WorstMs = 0;
    double CpuMs = 0; // the processor time of every thread, the rasteriser's included
};

// The fly-by at the end of level 4, from the level's completion to the next level, every
// frame drawn whole and shown in the window, as the game draws a flight.
TFlightRun Fly(TRenderer& r, TGLDevice& gl, TGameSetup& game, NullGameHost& host)
{
    game.NewGame();
    game.Level = 3;
    game.NextLevel();
    game.GrowWaitingCubes();
    for (int k = 0; k < 2000 && !game.Still(); ++k)
    {
        game.Update(16);
    }
    TLevel& l = game.CurrentLevel();
    l.Progress = l.Target[game.Mode == gmTimed ? 2 : 1];
    game.CompleteLevel();
    game.Scatter(game.Rng.Random(6));
    TFrame frame;
    frame.Game = &game;
    frame.State = gsGame;
    frame.Fullscreen = true;
    TFlightRun run;
    std::vector<double> times;
    const std::clock_t cpu0 = std::clock();
    while (game.EndPhase == epLevelDone && run.Frames < 2000)
    {
        frame.Eye = host.Eye();
        const auto t0 = std::chrono::steady_clock::now();
        RenderScene(r, frame);
        gl.Finish();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        times.push_back(ms);
        game.Update(33); // the game's time as at 30 frames a second
        ++run.Frames;
    }
    run.CpuMs = 1000.0 * static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC / std::max(1, run.Frames);
    // The first frames wait for the room's pictures: counted, as a player waits for them.
    for (const double t : times)
    {
        run.MeanMs += t / static_cast<double>(times.size());
        run.WorstMs = std::max(run.WorstMs, t);
    }
    run.Frames = static_cast<int>(times.size());
    return run;
}
} // namespace

int BenchFlight(TRenderer& r, TGLDevice& gl, TGameSetup& game, NullGameHost& host, SDL_Window* window, int rounds)
{
    gl.SetSwapOnPresent(true);
    SDL_ShowWindow(window);
    const TPictureArea area = gl.Area();
    std::printf("the fly-by of level 4, %d rounds, window %dx%d\n", rounds, area.Left * 2 + area.Width,
                area.Top * 2 + area.Height);
    for (int round = 0; round < rounds; ++round)
    {
        const TFlightRun run = Fly(r, gl, game, host);
        std::printf("  round %d: %4d frames, %6.1f ms a frame (%5.1f frames a second), worst %6.1f ms, "
                    "%.1f ms of processor time a frame\n",
                    round + 1, run.Frames, run.MeanMs, run.MeanMs > 0 ? 1000 / run.MeanMs : 0.0, run.WorstMs,
                    run.CpuMs);
    }
    return 0;
}
