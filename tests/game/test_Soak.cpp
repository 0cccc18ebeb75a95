// Two hundred whole games played by the bot through the mouse, in both modes and at two
// frame times, with the board's books checked after every update. Levels are capped at
// the first bonus level, so the run stays short; a slow thinker in the timed mode makes
// sure games are lost too.
#include "tools/sim/Playthrough.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Soak, TwoHundredBotGamesKeepTheBoardsBooksTrue)
{
    TPlaySettings settings;
    settings.MaxLevel = 5;      // normal levels, the fly-by level 4 and the bonus level 5
    settings.MaxSeconds = 1800; // a game that drags on is cut short
    TPlaythrough play(ShippedDataFolder(), settings);

    int gameOvers = 0;
    int finished = 0;
    int bonusLevels = 0;
    long moves = 0;
    long specials = 0;
    for (int n = 0; n < 200; ++n)
    {
        play.Settings.Mode = n % 2 == 0 ? gmNormal : gmTimed;
        play.Settings.Dt = n % 3 == 2 ? 33.0f : 16.0f;
        const bool slow = n % 8 == 7; // a timed game lost to the drain
        play.Settings.Bot.ThinkMs = slow ? 5000.0f : 150.0f;
        play.Settings.Bot.AimMs = slow ? 1000.0f : 60.0f;

        const TGameResult r = play.Play(GameSeed(2024, n));
        SCOPED_TRACE("game " + std::to_string(n));
        ASSERT_EQ(r.Violations, 0) << r.FirstViolation;
        EXPECT_NE(r.End, TGameEnd::Stuck);
        EXPECT_NE(r.End, TGameEnd::TimeCap);
        EXPECT_EQ(r.Bot.Misses, 0) << "the bot and the game disagree about a press";
        gameOvers += r.End == TGameEnd::GameOver ? 1 : 0;
        finished += r.End == TGameEnd::MaxLevel ? 1 : 0;
        bonusLevels += r.BonusPaid[5] >= 0 ? 1 : 0;
        moves += r.Bot.Moves;
        specials += r.Bot.Bombs + r.Bot.Paints + r.Bot.Shots;
    }
    // The run went where it should: games were won and lost, bonus levels played out,
    // and the specials were used.
    EXPECT_GT(gameOvers, 0);
    EXPECT_GT(finished, 100);
    EXPECT_GT(bonusLevels, 100);
    EXPECT_GT(moves, 200 * 35); // about 47 a game since the first four levels are short
    EXPECT_GT(specials, 200);
}
