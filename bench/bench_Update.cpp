// The per-frame update on a full and on a busy board, and whole games played by the bot.
//
// Heap allocations are counted with the game tests' replacement of operator new
// (HeapCount.cpp): the update must not allocate once the board has settled (counter
// allocs_per_update).
#include "tests/game/HeapCount.h"
#include "game/Invariants.h"
#include "tools/sim/Playthrough.h"

#include <benchmark/benchmark.h>

namespace
{
// Counting stays on for the whole program; each benchmark reads the difference.
const bool CountAllocations = (heap::Counting = true);

const std::filesystem::path DataFolder = std::filesystem::path(TANDREL_GAME_DIR) / "data";
const std::filesystem::path NoSaves = std::filesystem::temp_directory_path() / "tandrel-bench-no-saves";

// A full board of 81 cubes in five colours with no square and no bonus figure on it,
// five bombs among them sparking, the cursor over one cube (it spins), a level target
// out of reach. The update then runs every cube's animation and the fuse sparks.
struct TFullBoard
{
    TFullBoard() : Rng(7), Game(Host, Rng, DataFolder, NoSaves)
    {
        Game.CreateLevels();
        Game.CreateBonus();
        Game.Mode = gmNormal;
        Game.Level = 3;
        Game.Levels[3].Target = {0, 1e12, 1e12};
        Game.ClearBoard();
        Game.Figure = 1;
        const TCell bombs[] = {{2, 2}, {4, 7}, {6, 3}, {8, 8}, {5, 5}};
        for (uint8_t x = 1; x <= BoardSize; ++x)
        {
            for (uint8_t y = 1; y <= BoardSize; ++y)
            {
                uint8_t kind = static_cast<uint8_t>((x + 2 * y) % 5 + 1);
                for (const TCell& b : bombs)
                {
                    kind = b == TCell{x, y} ? static_cast<uint8_t>(ckBomb) : kind;
                }
                Game.PlaceSpecialCube(kind, {x, y});
            }
        }
        Game.EndPhase = epPlaying;
        Game.BoardQuiet = true;
        Host.MouseX = 1; // over the cube on (6, 4)
        Host.MouseY = -1;
        for (int i = 0; i < 500; ++i)
        {
            Game.Update(16); // sparks reach their steady number
        }
    }

    NullGameHost Host;
    TRandom Rng;
    TGameSetup Game;
};

void BM_UpdateFullBoard(benchmark::State& state)
{
    TFullBoard board;
    if (board.Game.CubeCount != CellCount || board.Game.CountKind(ckBomb) != 5 ||
        !CheckInvariants(board.Game).empty())
    {
        state.SkipWithError("the full board did not come out as planned");
        return;
    }
    long allocations = 0;
    long updates = 0;
    for (auto _ : state)
    {
        const long before = heap::Allocations.load(std::memory_order_relaxed);
        board.Game.Update(16);
        allocations += heap::Allocations.load(std::memory_order_relaxed) - before;
        ++updates;
    }
    int particles = 0;
    for (int s = 0; s < ParticleSystemCount; ++s)
    {
        particles += board.Game.Particles.Count(s);
    }
    state.counters["allocs_per_update"] = static_cast<double>(allocations) / static_cast<double>(updates);
    state.counters["particles"] = particles;
    state.counters["cubes"] = board.Game.CubeCount;
}
BENCHMARK(BM_UpdateFullBoard);

// A busy board grown by the rules themselves: twelve turns of new cubes and four bombs,
// the cursor over the centre.
void BM_UpdateBusyBoard(benchmark::State& state)
{
    NullGameHost host;
    TRandom rng(7);
    TGameSetup game(host, rng, std::filesystem::temp_directory_path(),
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

// Whole games, bot and invariant checks included, as the simulator plays them; one game
// per iteration, a new seed each time.
void BM_SimulatedGame(benchmark::State& state)
{
    TPlaySettings settings;
    settings.Mode = static_cast<int>(state.range(0));
    TPlaythrough play(DataFolder, settings);
    double simSeconds = 0;
    long updates = 0;
    long allocations = 0;
    int levels = 0;
    int n = 0;
    for (auto _ : state)
    {
        const long before = heap::Allocations.load(std::memory_order_relaxed);
        const TGameResult r = play.Play(GameSeed(1, n++));
        allocations += heap::Allocations.load(std::memory_order_relaxed) - before;
        simSeconds += r.SimSeconds;
        updates += r.Updates;
        levels += r.LastLevel;
        if (r.Violations != 0)
        {
            state.SkipWithError("invariant violated");
            return;
        }
    }
    state.counters["sim_s_per_wall_s"] = benchmark::Counter(simSeconds, benchmark::Counter::kIsRate);
    state.counters["updates_per_s"] = benchmark::Counter(static_cast<double>(updates), benchmark::Counter::kIsRate);
    state.counters["allocs_per_update"] = static_cast<double>(allocations) / static_cast<double>(updates);
    state.counters["levels"] = static_cast<double>(levels) / n;
}
BENCHMARK(BM_SimulatedGame)->Arg(gmNormal)->Arg(gmTimed)->Unit(benchmark::kMillisecond)->Iterations(8);
} // namespace
