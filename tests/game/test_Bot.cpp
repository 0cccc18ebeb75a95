// The simulator's player: it must play the way the figures it reports assume, through
// the mouse alone. Each case is a board a decent player reads at a glance.
#include "tools/sim/Bot.h"
#include "game/Invariants.h"
#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
struct BotTest : public ::testing::Test
{
    BotTest() : Bot(R.Game, R.Host, Quick()) {}

    static TBotSettings Quick()
    {
        TBotSettings s;
        s.ThinkMs = 100;
        s.AimMs = 50;
        return s;
    }

    // Frames of the bot and the game until done() holds; false when it never does.
    bool PlayUntil(const std::function<bool()>& done, int frames = 2000)
    {
        for (int f = 0; f < frames; ++f)
        {
            Bot.Frame(16);
            R.Game.Update(16);
            const std::string problems = CheckInvariants(R.Game);
            EXPECT_EQ(problems, "");
            if (!problems.empty() || done())
            {
                return problems.empty();
            }
        }
        return false;
    }

    int Count(uint8_t kind) const { return R.Game.CountKind(kind); }
    // Nothing grows, moves or vanishes, and the vanished cubes are gone.
    bool Still() const
    {
        const auto& n = R.Game.StateCounts;
        return R.Game.BoardQuiet && n[StateSlot(csGrowing)] == 0 && n[StateSlot(csVanishing)] == 0 &&
               n[StateSlot(csRemoved)] == 0;
    }

    RulesGame R;
    TBot Bot;
};

TEST_F(BotTest, CompletesASquareWithTheCubeThatFitsIt)
{
    // Three cubes of colour 1 wait for a fourth on (4, 4); the 1 on (8, 8) can get there.
    LayOut(R.Game, 3, 3, {"11", "1."});
    LayOut(R.Game, 7, 1, {"23", "32"});
    PutCube(R.Game, 1, 8, 8);
    PutCube(R.Game, 2, 1, 8);
    ASSERT_TRUE(PlayUntil([&] { return R.Game.Score > 0 && Still(); }));
    EXPECT_EQ(Count(1), 0);
    EXPECT_EQ(Bot.Stats.Squares, 1);
    EXPECT_EQ(Bot.Stats.Moves, 1);
    EXPECT_EQ(Bot.Stats.Misses, 0);
}

TEST_F(BotTest, CompletesTheBonusFigure)
{
    // The level's figure is two cubes of colour 7, one above the other.
    PutCube(R.Game, 7, 2, 2);
    PutCube(R.Game, 7, 6, 6);
    LayOut(R.Game, 4, 8, {"123", "231"});
    ASSERT_TRUE(PlayUntil([&] { return R.Game.Score > 0 && Still(); }));
    EXPECT_EQ(Count(7), 0);
    EXPECT_EQ(Bot.Stats.Figures, 1);
    EXPECT_DOUBLE_EQ(R.Game.Score + R.Game.PendingScore, 100);
}

TEST_F(BotTest, TakesTheBombToTheStones)
{
    LayOut(R.Game, 5, 5, {"XX", "XX"});
    PutCube(R.Game, ckBomb, 1, 1);
    LayOut(R.Game, 1, 8, {"12", "34"});
    ASSERT_TRUE(PlayUntil([&] { return Count(ckStone) < 4 && Still(); }));
    EXPECT_EQ(Count(ckStone), 2); // no free cell reaches all four
    EXPECT_EQ(Count(ckBomb), 0);
    EXPECT_EQ(Bot.Stats.Bombs, 1);
}

TEST_F(BotTest, ShootsTheCommonestColour)
{
    // Four cubes walled into the corners by stones: only the shot cube can do anything.
    LayOut(R.Game, 1, 1, {"2X", "X."});
    LayOut(R.Game, 8, 1, {"X2", ".X"});
    LayOut(R.Game, 1, 8, {"X.", "2X"});
    LayOut(R.Game, 8, 8, {".X", "X3"});
    PutCube(R.Game, ckShot, 5, 5);
    ASSERT_TRUE(PlayUntil([&] { return Count(2) == 0 && Still(); }));
    EXPECT_EQ(Count(3), 1);
    EXPECT_EQ(Count(ckShot), 0);
    EXPECT_EQ(Bot.Stats.Shots, 1);
    EXPECT_EQ(R.Host.Cursor(), 2); // aiming is over
}

TEST_F(BotTest, PaintsAMixedBlockIntoSquares)
{
    // Two cubes of colour 2 beside two of colour 1: a paint cube of colour 1 landing
    // next to the 2s turns them, and the four make a square.
    LayOut(R.Game, 3, 4, {"12", "12"});
    LayOut(R.Game, 7, 8, {"34", "43"});
    PutCube(R.Game, ckPaint1, 9, 1);
    ASSERT_TRUE(PlayUntil([&] { return R.Game.Score > 0 && Still(); }));
    EXPECT_EQ(Bot.Stats.Paints, 1);
    EXPECT_EQ(Count(1), 0);
    EXPECT_EQ(Count(2), 0);
}

TEST_F(BotTest, GivesUpOnlyWhenNothingCanMove)
{
    // A lone cube boxed in by stones, nothing else: the bot reports itself stuck.
    LayOut(R.Game, 1, 1, {"1X", "X."});
    TBotSettings s = Quick();
    s.GiveUpMs = 500;
    TBot bot(R.Game, R.Host, s);
    for (int f = 0; f < 100 && !bot.Stuck(); ++f)
    {
        bot.Frame(16);
        R.Game.Update(16);
    }
    EXPECT_TRUE(bot.Stuck());
    EXPECT_EQ(bot.Stats.Moves, 0);

    // In the timed mode the drain will end it: the bot waits.
    R.Game.Mode = gmTimed;
    R.Level().Progress = 1e9;
    TBot patient(R.Game, R.Host, s);
    for (int f = 0; f < 100; ++f)
    {
        patient.Frame(16);
        R.Game.Update(16);
    }
    EXPECT_FALSE(patient.Stuck());
}
} // namespace
