// The level file (and, built with TANDREL_FUZZ_FIGURES, the bonus figure file): whatever
// the reader accepts, a game then plays a few seconds of the chosen level without fault.
#include "base/DataError.h"
#include "fuzz/FuzzFiles.h"
#include "game/GameSetup.h"
#include "game/GameHost.h"
#include "game/Random.h"

#include <filesystem>

namespace
{
#ifdef TANDREL_FUZZ_FIGURES
constexpr const char* FuzzedFile = "BonusFigures.dat";
constexpr const char* ShippedFile = "Levels.dat";
#else
constexpr const char* FuzzedFile = "Levels.dat";
constexpr const char* ShippedFile = "BonusFigures.dat";
#endif
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path folder = ScratchFolder() / "data";
    static const bool copied = [&]
    {
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(ShippedFolder() / "data" / ShippedFile, folder / ShippedFile,
                                   std::filesystem::copy_options::overwrite_existing);
        return true;
    }();
    (void)copied;
    WriteBytes(folder / FuzzedFile, data, size);

    NullGameHost host;
    TRandom random(static_cast<uint32_t>(size));
    auto game = std::make_unique<TGameSetup>(host, random, folder, ScratchFolder() / "user");
    try
    {
        game->CreateLevels();
        game->CreateBonus();
    }
    catch (const TDataError&)
    {
        return 0; // refused with the file, the line and the problem
    }
    // Play the level the input's length picks, in the mode its parity picks.
    TGameSetup& g = *game;
    g.Mode = size % 2 == 0 ? gmNormal : gmTimed;
    g.NewGame();
    g.Level = static_cast<int>(size % static_cast<size_t>(g.LevelCount));
    g.ClearBoard();
    g.NextLevel();
    for (int frame = 0; frame < 40; ++frame)
    {
        g.Update(50);
    }
    return 0;
}
