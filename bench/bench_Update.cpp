// One frame of the game's update on a busy board: cubes turning and spinning, bombs
// sparking, particles and labels fading.
#include "Game.h"

#include <benchmark/benchmark.h>

#include <filesystem>

static void BM_UpdateBusyBoard(benchmark::State& state)
{
    NullGameHost host;
    TRandom rng(7);
    TGame game(host, rng, std::filesystem::temp_directory_path(),
               std::filesystem::temp_directory_path());
    for (int n = 1; n <= MaxLevels; ++n)
    {
        TLevel& l = game.Levels[n];
        l.LevelKind = lkNormal;
        l.NewCubes = {0, 3, 3};
        l.Colours = {0, 7, 7};
        l.FigureMin = l.FigureMax = 1;
        l.Target = {0, 1e12, 1e12};
    }
    TBonusFigure& f = game.Figures[1];
    f.Width = 1;
    f.Height = 1;
    f.TopColour = 7;
    f.At(1, 1).Colour = f.At(1, 1).ShownColour = 7;
    game.FigureCount = 1;
    game.NewGame();
    for (int k = 0; k < 12; ++k)
    {
        game.NewTurn();
    }
    for (int k = 0; k < 4; ++k)
    {
        game.AddSpecialCube(ckBomb);
    }
    host.MouseX = 0;
    host.MouseY = 0;
    for (int k = 0; k < 100; ++k)
    {
        game.Update(16);
    }
    for (auto _ : state)
    {
        game.Update(16);
        benchmark::DoNotOptimize(game.Particles.Count(3));
    }
    state.counters["cubes"] = game.CubeCount;
}
BENCHMARK(BM_UpdateBusyBoard);
