// Whole games played by the bot, headless, at a fixed frame time: the simulator, the
// soak test and the benchmarks all run games through here.
#pragma once

#include "tools/sim/Bot.h"
#include "game/GameSetup.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>

struct TPlaySettings
{
    int Mode = gmNormal;
    float Dt = 16;            // milliseconds per frame
    int MaxLevel = MaxLevels; // the game stops once this level is passed
    int FirstLevel = 1;       // above 1: the game starts at this level on an empty board
    double MaxSeconds = 4 * 3600; // simulated time after which a game is cut short
    bool CheckInvariants = true;  // after every update
    TBotSettings Bot;
};

enum class TGameEnd : uint8_t
{
    GameOver, // the game-over picture was shown
    MaxLevel, // the last level asked for was passed
    Stuck,    // the bot found nothing to do for a long time
    TimeCap,  // MaxSeconds ran out
};

struct TGameResult
{
    TGameEnd End = TGameEnd::GameOver;
    int LastLevel = 0;    // the level played when the game ended
    int LevelsPassed = 0;
    std::array<bool, MaxLevels + 1> Passed{};
    // Bonus levels: 1 when the stones-left bonus was paid, 0 when not, -1 not finished.
    std::array<int8_t, MaxLevels + 1> BonusPaid{};
    // Normal and fly-by levels: special cubes handed out (bombs, paint and shot cubes, for
    // combos and figures), and the most that stood on the board at once, with the number
    // of cubes on the board at that moment.
    std::array<int16_t, MaxLevels + 1> SpecialsGiven{};
    std::array<int8_t, MaxLevels + 1> SpecialsPeak{};
    std::array<int8_t, MaxLevels + 1> CubesAtPeak{};
    std::array<float, MaxLevels + 1> LevelStart{}; // simulated seconds at the level's start
    double Score = 0;
    double SimSeconds = 0;
    long Updates = 0;
    TBotStats Bot;
    long Violations = 0;
    std::string FirstViolation;
    std::string StuckBoard; // the board the bot could not move on, row by row
};

// The board as text, top row (Y = 9) first: digits for colours, J joker, B bomb, S shot,
// P paint, X stone; an announced cube in lower case (a..g for colours 1..7); '.' free.
std::string BoardText(const TGameSetup& game);

class TPlaythrough
{
public:
    // Loads the level and figure files once; every game starts from these tables.
    TPlaythrough(const std::filesystem::path& dataFolder, const TPlaySettings& settings);

    // One whole game from the given seed. Games are independent of each other.
    TGameResult Play(uint32_t seed);

    // The game of the latest Play, and its host (for inspection after a game).
    TGameSetup& Game() { return *Current; }

    TPlaySettings Settings;

private:
    std::filesystem::path DataFolder;
    std::filesystem::path NoSaves; // a folder never created: the simulator saves nothing
    NullGameHost Host;
    TRandom Rng;
    std::unique_ptr<TGameSetup> Loaded; // the tables as read from the files
    std::unique_ptr<TGameSetup> Current;
};

// A seed for game number n of a run started with seed s (well spread, never repeating
// within a run).
uint32_t GameSeed(uint32_t runSeed, int n);
