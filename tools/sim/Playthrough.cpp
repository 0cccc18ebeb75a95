#include "tools/sim/Playthrough.h"

#include "game/Invariants.h"

#include <algorithm>
#include <string_view>

namespace
{
bool IsHandedOut(int kind)
{
    return kind == ckBomb || kind == ckShot || IsPaintKind(kind);
}

// Special cubes in the table in any state, and those of them about to be removed.
struct TSpecialCount
{
    int All = 0;
    int Removed = 0;
};

TSpecialCount CountSpecials(const TGameSetup& game)
{
    TSpecialCount n;
    for (int i = 1; i <= game.CubeCount; ++i)
    {
        if (IsHandedOut(game.Cubes[i].Kind))
        {
            ++n.All;
            n.Removed += game.Cubes[i].State == csRemoved ? 1 : 0;
        }
    }
    return n;
}
} // namespace

TPlaythrough::TPlaythrough(const std::filesystem::path& dataFolder, const TPlaySettings& settings)
    : Settings(settings), DataFolder(dataFolder),
      NoSaves(std::filesystem::temp_directory_path() / "tandrel-sim-saves-are-off"),
      Loaded(std::make_unique<TGameSetup>(Host, Rng, dataFolder, NoSaves))
{
    Loaded->CreateLevels();
    Loaded->CreateBonus();
}

uint32_t GameSeed(uint32_t runSeed, int n)
{
    uint64_t z = (static_cast<uint64_t>(runSeed) << 32) + static_cast<uint64_t>(n) + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>(z ^ (z >> 31));
}

std::string BoardText(const TGameSetup& game)
{
    std::string text;
    for (int y = BoardSize; y >= 1; --y)
    {
        std::string row(BoardSize, '.');
        for (int i = 1; i <= game.CubeCount; ++i)
        {
            const TCube& c = game.Cubes[i];
            if (c.Y != y || c.X < 1 || c.X > BoardSize)
            {
                continue;
            }
            const bool waiting = c.State == csWaiting;
            char ch = 'P';
            if (IsColourKind(c.Kind))
            {
                ch = static_cast<char>((waiting ? 'a' : '1') + c.Kind - 1);
            }
            else
            {
                ch = c.Kind == ckJoker ? 'J' : c.Kind == ckBomb ? 'B' : c.Kind == ckShot ? 'S'
                     : c.Kind == ckStone ? 'X' : 'P';
                ch = waiting ? static_cast<char>(ch - 'A' + 'a') : ch;
            }
            row[c.X - 1] = ch;
        }
        text += row + "\n";
    }
    return text;
}

TGameResult TPlaythrough::Play(uint32_t seed)
{
    Host = NullGameHost{};
    Rng.Seed = seed;
    Current = std::make_unique<TGameSetup>(Host, Rng, DataFolder, NoSaves);
    TGameSetup& g = *Current;
    g.LevelCount = Loaded->LevelCount;
    g.Levels = Loaded->Levels;
    g.FigureCount = Loaded->FigureCount;
    g.Figures = Loaded->Figures;

    TGameResult r;
    r.BonusPaid.fill(-1);
    TBot bot(g, Host, Settings.Bot);

    g.Mode = static_cast<uint8_t>(Settings.Mode);
    g.NewGame();
    if (Settings.FirstLevel > 1)
    {
        // A stretch of levels on its own: as after a bonus level, the board starts empty.
        g.ClearBoard();
        g.Level = std::min(Settings.FirstLevel, MaxLevels) - 1;
        g.NextLevel();
    }
    g.EndPhase = epPlaying;

    const double maxMs = Settings.MaxSeconds * 1000.0;
    double simMs = 0;
    int level = g.Level;
    uint8_t phase = g.EndPhase;
    for (;;)
    {
        bot.Frame(Settings.Dt);
        const TSpecialCount before = CountSpecials(g);
        g.Update(Settings.Dt);
        simMs += Settings.Dt;
        ++r.Updates;

        // Specials arrive at the end of an update; the only ones that leave during it are
        // those already marked removed. Level changes (and the bombs a bonus level lays
        // out) are left out.
        if (g.Level == level && phase == epPlaying && g.EndPhase == epPlaying &&
            g.CurrentLevel().LevelKind != lkBonus && level >= 1 && level <= MaxLevels)
        {
            const TSpecialCount after = CountSpecials(g);
            r.SpecialsGiven[level] += static_cast<int16_t>(std::max(0, after.All - before.All + before.Removed));
            if (after.All > r.SpecialsPeak[level])
            {
                r.SpecialsPeak[level] = static_cast<int8_t>(after.All);
                r.CubesAtPeak[level] = static_cast<int8_t>(g.CubeCount);
            }
        }

        if (Settings.CheckInvariants)
        {
            const std::string problems = CheckInvariants(g);
            if (!problems.empty())
            {
                if (r.Violations == 0)
                {
                    r.FirstViolation = "update " + std::to_string(r.Updates) + ", level " +
                                       std::to_string(g.Level) + ": " + problems;
                }
                ++r.Violations;
            }
        }

        // A bonus level that has just ended tells in its second delayed label whether
        // the stones-left bonus was paid.
        if (phase == epPlaying && g.EndPhase == epLevelDone && g.CurrentLevel().LevelKind == lkBonus)
        {
            const auto& slot = g.DelayedLabels[2];
            r.BonusPaid[g.Level] = std::string_view(slot.Text).starts_with("Bonus") ? 1 : 0;
        }
        phase = g.EndPhase;

        if (g.Level != level)
        {
            const bool wrapped = g.Level < level;
            if (level >= 1 && level <= MaxLevels && !Host.GameOverShown)
            {
                r.Passed[level] = true;
                ++r.LevelsPassed;
            }
            if (wrapped || level >= Settings.MaxLevel)
            {
                r.LastLevel = level;
                r.End = TGameEnd::MaxLevel;
                break;
            }
            level = g.Level;
            r.LevelStart[std::clamp(level, 0, MaxLevels)] = static_cast<float>(simMs / 1000.0);
            bot.Reset();
        }
        if (Host.GameOverShown)
        {
            r.End = TGameEnd::GameOver;
            r.LastLevel = level;
            break;
        }
        if (bot.Stuck())
        {
            r.End = TGameEnd::Stuck;
            r.StuckBoard = BoardText(g);
            r.LastLevel = level;
            break;
        }
        if (simMs >= maxMs)
        {
            r.End = TGameEnd::TimeCap;
            r.LastLevel = level;
            break;
        }
    }
    r.Score = g.Score;
    r.SimSeconds = simMs / 1000.0;
    r.Bot = bot.Stats;
    return r;
}
