// A saved game: whatever the loader accepts resumes, plays a few seconds, and saves again
// into a file that loads back.
#include "base/DataError.h"
#include "fuzz/FuzzFiles.h"
#include "game/GameSetup.h"
#include "game/GameHost.h"
#include "game/Random.h"

#include <cstdlib>
#include <memory>

namespace
{
struct TShippedGame
{
    NullGameHost Host;
    TRandom Random{1};
    TGameSetup Game{Host, Random, ShippedFolder() / "data", ScratchFolder() / "user"};
    TShippedGame()
    {
        Game.CreateLevels();
        Game.CreateBonus();
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TShippedGame shipped;
    auto game = std::make_unique<TGameSetup>(shipped.Host, shipped.Random, ShippedFolder() / "data", ScratchFolder() / "user");
    TGameSetup& g = *game;
    g.LevelCount = shipped.Game.LevelCount;
    g.Levels = shipped.Game.Levels;
    g.FigureCount = shipped.Game.FigureCount;
    g.Figures = shipped.Game.Figures;
    const int mode = size % 2 == 0 ? gmNormal : gmTimed;
    WriteBytes(g.SaveFile(mode), data, size);
    try
    {
        g.LoadGame(mode);
    }
    catch (const TDataError&)
    {
        return 0;
    }
    g.EndPhase = epPlaying;
    for (int frame = 0; frame < 40; ++frame)
    {
        g.Update(50);
    }
    if (g.EndPhase == epGameOver)
    {
        return 0;
    }
    // What a game in progress writes, it reads back.
    g.SaveGame();
    try
    {
        g.LoadGame(g.Mode);
    }
    catch (const TDataError& e)
    {
        std::abort(); // a save the game wrote itself must resume
    }
    return 0;
}
