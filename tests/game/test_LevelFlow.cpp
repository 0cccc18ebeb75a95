// The per-frame update and the level flow: new games, new levels, turn ends, the timed
// drain, the end of levels and of the game, and the level-end phases.
#include "tests/game/HeapCount.h"
#include "tests/game/RulesFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace
{
class FlowHost : public RecordingHost
{
public:
    void PlayMusic(TTune t) override { Tunes.push_back(t); }
    std::vector<TTune> Tunes;
};

// A hundred hand-made levels: four colours, three new cubes a turn, targets 500 and
// 1000; bonus levels lay out six stones and give three bombs. Figure 1 needs colour 7,
// which these levels never make.
struct FlowGame
{
    explicit FlowGame(uint8_t mode = gmNormal, uint32_t seed = 1)
        : Rng(seed), Game(Host, Rng, User.Path(), User.Path())
    {
        TLevel level = HandMadeLevel(4, 500, 1000);
        level.Drain = 0.001;
        level.Darkness = 2;
        SetLevels(Game, 1, MaxLevels, level,
                  [](int n, TLevel& l)
                  {
                      l.LevelKind = n % 5 == 0 ? lkBonus : n % 5 == 4 ? lkFlyBy : lkNormal;
                      if (l.LevelKind == lkBonus)
                      {
                          l.NewCubes = {0, 6, 6};
                          l.Stones = {0, 3, 3};
                          l.Target[1] = 6 * 15;
                      }
                  });
        Game.LevelCount = MaxLevels;
        SetFigure(Game, 1, {"7", "7"}, 100);
        Game.FigureCount = 1;
        Game.Mode = mode;
        Game.ClearBoard();
    }

    // Starts play on level n as if the level before had just ended.
    void StartAt(int n)
    {
        Game.Level = n - 1;
        Game.NextLevel();
        Host.Forget();
    }

    TLevel& Level() { return Game.CurrentLevel(); }

    int CountState(uint8_t state) const { return Game.StateCounts[StateSlot(state)]; }

    // Updates of 16 ms until the condition holds; returns how many ran.
    template <typename Done> int RunUntil(Done done, int limit = 20000)
    {
        int n = 0;
        while (!done() && n < limit)
        {
            Game.Update(16);
            ++n;
        }
        return n;
    }

    void PointAt(int x, int y)
    {
        Host.MouseX = static_cast<float>(x - 5);
        Host.MouseY = static_cast<float>(y - 5);
    }

    bool HasLabel(const std::string& text) const
    {
        for (const std::string& t : LabelTexts(Game))
        {
            if (t == text)
            {
                return true;
            }
        }
        return false;
    }

    TempFolder User;
    FlowHost Host;
    TRandom Rng;
    TGameSetup Game;
};

float EyeDistanceFromRest(const TVector3& e)
{
    const TVector3 r = NullGameHost::RestEye;
    return std::hypot(e.x - r.x, e.y - r.y, e.z - r.z);
}
} // namespace

TEST(LevelFlow, NewGameAnnouncesCubesAndTheFirstUpdateGrowsThem)
{
    for (uint8_t mode : {gmNormal, gmTimed})
    {
        FlowGame f(mode);
        TGameSetup& g = f.Game;
        g.Score = 777;
        g.PendingScore = 12;
        g.Level = 37;
        PutCube(f.Game, 2, 5, 5); // from an earlier game
        g.NewGame();

        EXPECT_EQ(g.Level, 1);
        EXPECT_EQ(g.Score, 0);
        EXPECT_EQ(g.PendingScore, 0);
        EXPECT_EQ(f.Host.CursorIndex, 2);
        EXPECT_EQ(g.CubeCount, 3);
        EXPECT_EQ(f.CountState(csWaiting), 3);
        EXPECT_EQ(f.Level().Progress, mode == gmNormal ? 0 : 500);
        EXPECT_EQ(f.Host.Count(snNewLevel), 1);
        EXPECT_EQ(g.Particles.Count(5), 0); // no banner on the first level
        EXPECT_EQ(g.Display.LampCount, 3);
        EXPECT_TRUE(BoardIsConsistent(g));

        g.Update(16);
        EXPECT_EQ(f.CountState(csGrowing), 3);
        EXPECT_EQ(f.CountState(csWaiting), 3);
        EXPECT_EQ(f.Host.Count(snNewTurn), 1);
        EXPECT_TRUE(BoardIsConsistent(g));

        f.RunUntil([&] { return f.CountState(csGrowing) == 0; });
        g.Update(16);
        // Grown and resting; the announced cubes wait for the end of the first move.
        EXPECT_EQ(g.CubeCount, 6);
        EXPECT_EQ(f.CountState(csWaiting), 3);
        EXPECT_EQ(f.Host.Count(snNewTurn), 1);
        EXPECT_TRUE(g.BoardQuiet);
        EXPECT_TRUE(BoardIsConsistent(g));
    }
}

TEST(LevelFlow, OnlyAMoveThatScoresNothingEndsTheTurn)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    f.StartAt(2);
    PutCube(f.Game, 1, 1, 1);
    PutCube(f.Game, 1, 2, 1);
    PutCube(f.Game, 1, 1, 2);
    const int mover = PutCube(f.Game, 1, 5, 5);
    PutCube(f.Game, 3, 8, 8);
    g.AddCube(); // one cube announced for the next turn
    g.Update(16);
    ASSERT_EQ(f.CountState(csWaiting), 1);
    ASSERT_EQ(g.CubeCount, 6);

    g.Select(mover);
    g.ComputeDistances();
    g.HoverCell = {2, 2};
    g.BuildPath();
    g.StartMove();
    f.RunUntil([&] { return f.CountState(csMoving) == 0; });
    // The square vanishes, bursting into 4 x 36 particles; nothing grows, nothing is announced.
    EXPECT_EQ(f.CountState(csVanishing), 4);
    EXPECT_EQ(g.Particles.Count(0), 4 * 36);
    EXPECT_EQ(f.CountState(csWaiting), 1);
    EXPECT_EQ(f.CountState(csGrowing), 0);
    EXPECT_EQ(g.Combo, 1);

    f.RunUntil([&] { return g.CubeCount == 2; }, 100);
    ASSERT_EQ(g.CubeCount, 2);
    EXPECT_TRUE(BoardIsConsistent(g));
    f.RunUntil([&] { return g.PendingScore == 0; }, 100);
    EXPECT_NEAR(g.Score, 40, 1e-9);
    EXPECT_NEAR(f.Level().Progress, 40, 1e-9);
    EXPECT_EQ(f.Host.Count(snNewTurn), 0);

    // Now a move that scores nothing: the waiting cube grows and three more are announced.
    const int other = g.Cubes[1].State == csWaiting ? 2 : 1;
    ASSERT_EQ(g.Cubes[other].Kind, 3);
    g.Select(other);
    g.ComputeDistances();
    g.HoverCell = {8, 7}; // next to (8, 8), unless the announced cube stands there
    if (g.Cells[8][7].Occupancy != coEmpty)
    {
        g.HoverCell = {7, 8};
    }
    g.BuildPath();
    ASSERT_EQ(g.Path[0].DotKind, 2);
    g.StartMove();
    f.RunUntil([&] { return f.CountState(csMoving) == 0; });
    EXPECT_EQ(f.Host.Count(snNewTurn), 1);
    EXPECT_EQ(f.CountState(csGrowing), 1);
    EXPECT_EQ(f.CountState(csWaiting), 3);
    EXPECT_EQ(g.Combo, 0);
    EXPECT_TRUE(BoardIsConsistent(g));
}

TEST(LevelFlow, BonusLevelStartsOnAClearedBoardOfStonesAndBombs)
{
    for (uint8_t mode : {gmNormal, gmTimed})
    {
        FlowGame f(mode);
        TGameSetup& g = f.Game;
        g.Level = 4;
        PutCube(f.Game, 1, 3, 3);
        PutCube(f.Game, 2, 4, 4);
        g.NextLevel();

        EXPECT_EQ(g.Level, 5);
        EXPECT_EQ(g.CubeCount, 9);
        EXPECT_EQ(g.CountKind(ckStone), 6);
        EXPECT_EQ(g.CountKind(ckBomb), 3);
        EXPECT_EQ(f.CountState(csGrowing), 6);
        EXPECT_EQ(f.CountState(csIdle), 3);
        EXPECT_EQ(f.Host.Count(snBonusLevel), 1);
        EXPECT_EQ(f.Host.Count(snNewLevel), 0);
        EXPECT_EQ(f.Level().Progress, mode == gmNormal ? 0 : 1000);
        EXPECT_TRUE(BoardIsConsistent(g));
        // The new-level banner.
        ASSERT_EQ(g.Particles.Count(5), 1);
        EXPECT_EQ(g.Particles.At(5, 0).Kind, 6);
        EXPECT_FLOAT_EQ(g.Particles.At(5, 0).Width, 4.45f);
        EXPECT_FLOAT_EQ(g.Particles.At(5, 0).Height, 0.85f);
        EXPECT_EQ(g.Particles.Slot6Picture, spNewLevel);

        // No turns on a bonus level: the stones grow, nothing is announced, bombs fizz.
        g.Update(16);
        EXPECT_EQ(g.CubeCount, 9);
        EXPECT_EQ(f.Host.Count(snNewTurn), 0);
        EXPECT_EQ(g.Particles.Count(3), 3 * 17);
        g.Update(16);
        EXPECT_EQ(g.Particles.Count(3), 6 * 17);
        EXPECT_EQ(g.EndPhase, epPlaying);
    }
}

TEST(LevelFlow, BonusLevelEndPaysForStonesLeftWithLabelsAfterOneAndTwoSeconds)
{
    const char* first[] = {"No cubes left", "One cube left", "Two cubes left", "Three cubes left",
                           "4 cubes left"};
    const char* second[] = {"Bonus  +300", "Bonus  +225", "Bonus  +150", "Bonus  +75", "No bonus"};
    const int bonus[] = {300, 225, 150, 75, 0};
    for (int n = 0; n <= 4; ++n)
    {
        SCOPED_TRACE(n);
        FlowGame f;
        TGameSetup& g = f.Game;
        f.StartAt(5);
        g.ClearBoard();
        for (int k = 0; k < n; ++k)
        {
            PutCube(f.Game, ckStone, 2 + k, 7);
        }
        g.Score = 1000;
        g.Update(16); // no bomb left: the level ends at once

        EXPECT_EQ(g.EndPhase, epLevelDone);
        EXPECT_EQ(g.Score, 1000 + bonus[n]);
        EXPECT_EQ(g.PendingScore, 0);
        EXPECT_EQ(g.CubeCount, 0);
        EXPECT_TRUE(f.HasLabel("LEVEL COMPLETED"));
        EXPECT_EQ(f.Host.Count(snBonusLevelDone), 1);
        EXPECT_EQ(f.Host.Count(snMessage), 1);

        // PhaseTime grows by 8 per 16 ms update: 1000 after 125 updates, 2000 after 250.
        f.RunUntil([&] { return f.HasLabel(first[n]); });
        EXPECT_EQ(g.PhaseTime, 1000);
        EXPECT_FALSE(g.DelayedLabels[1].Active);
        EXPECT_TRUE(g.DelayedLabels[1].Text.empty());
        EXPECT_EQ(f.Host.Count(snMessage), 2);
        f.RunUntil([&] { return f.HasLabel(second[n]); });
        EXPECT_EQ(g.PhaseTime, 2000);
        EXPECT_FALSE(g.DelayedLabels[2].Active);
        EXPECT_EQ(f.Host.Count(snMessage), 3);
        EXPECT_EQ(f.Host.Count(snBonusLevelDone), 1);

        const int more = f.RunUntil([&] { return g.Level == 6; });
        EXPECT_EQ(more, 125); // the whole phase: 375 updates, 6 s
        EXPECT_EQ(g.EndPhase, epPlaying);
        EXPECT_EQ(g.Score, 1000 + bonus[n]);
    }
}

TEST(LevelFlow, LevelDonePhaseLengthsByKind)
{
    // Updates of 16 ms from the one in which the level is won to the next level.
    struct Case
    {
        int Level;
        int Milliseconds; // 3000 at 5.5 per ms on a normal level, 0.8 per ms on a fly-by one
    };
    for (const Case c : {Case{2, 545}, Case{4, 3750}})
    {
        FlowGame f;
        TGameSetup& g = f.Game;
        f.StartAt(c.Level);
        PutCube(f.Game, 1, 2, 2);
        PutCube(f.Game, 2, 6, 3);
        PutCube(f.Game, 3, 8, 8);
        f.Level().Progress = 500;
        g.Update(16);
        ASSERT_EQ(g.EndPhase, epLevelDone);
        EXPECT_EQ(f.Host.Count(snFlyingBy), c.Level == 4 ? 1 : 0);

        float farthest = 0;
        double lastFraction = g.Display.Fraction;
        const int n = f.RunUntil([&] {
            farthest = std::max(farthest, EyeDistanceFromRest(f.Host.EyePoint));
            EXPECT_LE(g.Display.Fraction, lastFraction); // the mode-1 bar empties
            lastFraction = g.Display.Fraction;
            return g.Level != c.Level;
        });
        EXPECT_NEAR(n * 16, c.Milliseconds, 16) << "level " << c.Level;
        EXPECT_LE(lastFraction, 0.0);
        EXPECT_EQ(g.EndPhase, epPlaying);
        EXPECT_EQ(f.Host.EyePoint, NullGameHost::RestEye);
        if (c.Level == 4)
        {
            EXPECT_GT(farthest, 9.0f); // the camera flew round the board
            EXPECT_EQ(g.Level, 5);     // and a bonus level follows on a fresh board
            EXPECT_EQ(g.CountKind(ckStone), 6);
        }
        else
        {
            EXPECT_EQ(farthest, 0.0f);
            EXPECT_EQ(g.CubeCount, 3); // play goes on with the same cubes
            EXPECT_EQ(f.Host.Count(snNewLevel), 1);
        }
    }
}

TEST(LevelFlow, FlyByLevelScattersTheCubes)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    f.StartAt(4);
    const int a = PutCube(f.Game, 1, 2, 2);
    const int b = PutCube(f.Game, 2, 8, 7);
    const TVector3 start = g.Cubes[a].Position;
    f.Level().Progress = 600;
    g.Update(16);
    ASSERT_EQ(g.EndPhase, epLevelDone);
    EXPECT_NE(g.Cubes[a].Velocity, (TVector3{0, 0, 0}));
    EXPECT_NE(g.Cubes[b].Velocity, (TVector3{0, 0, 0}));
    for (int k = 0; k < 30; ++k)
    {
        g.Update(16);
    }
    EXPECT_GT(std::hypot(g.Cubes[a].Position.x - start.x, g.Cubes[a].Position.y - start.y,
                         g.Cubes[a].Position.z - start.z),
              0.5f);
    EXPECT_GE(g.Cubes[a].Position.z, 0.4f);
}

TEST(LevelFlow, TimedBarMovesToOneHalfWhileTheLevelEnds)
{
    FlowGame f(gmTimed);
    TGameSetup& g = f.Game;
    f.StartAt(2);
    PutCube(f.Game, 1, 2, 2);
    g.Update(16);
    EXPECT_NEAR(g.Display.Fraction, 0.5, 1e-3); // half of the target to start with
    f.Level().Progress = 1001; // the target, after one update's drain
    g.Update(16);
    ASSERT_EQ(g.EndPhase, epLevelDone);
    f.RunUntil([&] { return g.Level == 3; });
    EXPECT_NEAR(g.Display.Fraction, 0.5, 0.02);
    g.Update(16);
    EXPECT_NEAR(g.Display.Fraction, 0.5, 1e-3);
}

TEST(LevelFlow, GameOverFlightThenThePictureAndAClearedBoard)
{
    FlowGame f(gmTimed);
    TGameSetup& g = f.Game;
    f.StartAt(2);
    PutCube(f.Game, 1, 2, 2);
    PutCube(f.Game, 2, 5, 5);
    f.Level().Progress = -0.5;
    g.Update(16);
    ASSERT_EQ(g.EndPhase, epGameOver);
    EXPECT_EQ(f.Host.Count(snGameOver), 1);
    EXPECT_EQ(g.CubeCount, 2); // the board stays while the camera flies

    float farthest = 0;
    const int n = f.RunUntil([&] {
        farthest = std::max(farthest, EyeDistanceFromRest(f.Host.EyePoint));
        return f.Host.GameOverShown;
    });
    EXPECT_NEAR((1 + n) * 16, 6000 / 0.9, 16); // 0.9 per ms up to 6000: about 6.7 s
    EXPECT_GT(farthest, 9.0f);
    EXPECT_EQ(g.EndPhase, epPlaying);
    EXPECT_EQ(g.PhaseTime, 0);
    EXPECT_EQ(g.CubeCount, 0);
    EXPECT_EQ(g.FreeCount, 81);
    EXPECT_EQ(f.Host.EyePoint, NullGameHost::RestEye);
    ASSERT_FALSE(f.Host.Tunes.empty());
    EXPECT_EQ(f.Host.Tunes.back(), tnMenu2);
}

TEST(LevelFlow, TimedDrainGrowsTenPercentAfterTheFirstMinuteThenEvery15s)
{
    FlowGame f(gmTimed);
    TGameSetup& g = f.Game;
    f.StartAt(2);
    f.Level().Target[2] = 1e9;
    f.Level().Progress = 1e6;
    PutCube(f.Game, 1, 2, 2);
    PutCube(f.Game, 2, 6, 6);

    double expected = 1e6;
    for (int k = 0; k < 3749; ++k) // 59 984 ms
    {
        g.Update(16);
        expected -= 0.001 * 16;
    }
    EXPECT_DOUBLE_EQ(f.Level().Drain, 0.001);
    EXPECT_NEAR(f.Level().Progress, expected, 1e-6);
    g.Update(16); // 60 000 ms
    EXPECT_DOUBLE_EQ(f.Level().Drain, 0.0011);
    EXPECT_EQ(g.LevelTime, 45000);
    for (int k = 0; k < 937; ++k) // 14 992 ms more
    {
        g.Update(16);
    }
    EXPECT_DOUBLE_EQ(f.Level().Drain, 0.0011);
    g.Update(16);
    EXPECT_NEAR(f.Level().Drain, 0.00121, 1e-12);
    EXPECT_EQ(g.EndPhase, epPlaying);

    // The normal mode does not drain.
    FlowGame n;
    n.StartAt(2);
    PutCube(n.Game, 1, 2, 2);
    n.Level().Progress = 100;
    for (int k = 0; k < 100; ++k)
    {
        n.Game.Update(16);
    }
    EXPECT_EQ(n.Level().Progress, 100);
}

TEST(LevelFlow, TimedBonusLevelEndsWhenDrainedInsteadOfEndingTheGame)
{
    FlowGame f(gmTimed);
    TGameSetup& g = f.Game;
    f.StartAt(5);
    g.ClearBoard();
    PutCube(f.Game, ckStone, 2, 2);
    PutCube(f.Game, ckStone, 8, 8);
    PutCube(f.Game, ckBomb, 5, 5);
    f.Level().Progress = 10;
    f.Level().Drain = 0.5;
    g.Update(16);
    EXPECT_EQ(g.EndPhase, epPlaying);
    EXPECT_DOUBLE_EQ(f.Level().Progress, 2);
    g.Score = 0;
    g.Update(16); // drained below zero
    EXPECT_EQ(g.EndPhase, epLevelDone);
    EXPECT_EQ(f.Host.Count(snGameOver), 0);
    EXPECT_EQ(g.Score, 150); // two stones left
    EXPECT_TRUE(f.HasLabel("LEVEL COMPLETED"));
    EXPECT_EQ(g.DelayedLabels[1].Text, "Two cubes left");

    // In the normal mode the same board just waits for the player.
    FlowGame n;
    n.StartAt(5);
    n.Game.ClearBoard();
    PutCube(n.Game, ckStone, 2, 2);
    PutCube(n.Game, ckBomb, 5, 5);
    for (int k = 0; k < 200; ++k)
    {
        n.Game.Update(16);
    }
    EXPECT_EQ(n.Game.EndPhase, epPlaying);
}

TEST(LevelFlow, ABombMoveThatEndsADrainedBonusLevelGivesNoNewTurn)
{
    FlowGame f(gmTimed);
    TGameSetup& g = f.Game;
    f.StartAt(5);
    g.ClearBoard();
    PutCube(f.Game, ckStone, 1, 1);
    PutCube(f.Game, ckStone, 1, 9);
    const int bomb = PutCube(f.Game, ckBomb, 5, 5);
    g.Update(16);
    g.Select(bomb);
    g.ComputeDistances();
    g.HoverCell = {8, 5};
    g.BuildPath();
    g.StartMove();
    f.RunUntil([&] { return g.Cubes[bomb].PathPos - 16 * 0.014f <= 1; });
    f.Level().Progress = 0.001; // drained in the update in which the bomb lands
    f.Host.Forget();
    g.Update(16);
    EXPECT_EQ(g.EndPhase, epLevelDone);
    EXPECT_EQ(g.CubeCount, 0);
    EXPECT_EQ(f.Host.Count(snExplodeBomb), 1);
    EXPECT_EQ(f.Host.Count(snNewTurn), 0);
    EXPECT_TRUE(BoardIsConsistent(g));
}

TEST(LevelFlow, AfterLevel100PlayGoesOnAtLevel1OfTheOtherMode)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    f.StartAt(100);
    g.ClearBoard();
    PutCube(f.Game, ckStone, 4, 4); // no bombs: the level ends
    g.Score = 5000;
    g.Update(16);
    ASSERT_EQ(g.EndPhase, epLevelDone);
    f.RunUntil([&] { return g.EndPhase == epPlaying; });
    EXPECT_EQ(g.Level, 1);
    EXPECT_EQ(g.Mode, gmTimed);
    EXPECT_EQ(g.Score, 5000 + 225);
    EXPECT_EQ(f.Level().Progress, 500);
    EXPECT_EQ(f.CountState(csWaiting), 3);
    ASSERT_EQ(f.Host.Tunes.size(), 1u);
    EXPECT_EQ(f.Host.Tunes[0], tnTheme2);

    g.Level = 100;
    g.NextLevel();
    EXPECT_EQ(g.Level, 1);
    EXPECT_EQ(g.Mode, gmNormal);
    EXPECT_EQ(f.Host.Tunes.back(), tnTheme1);
}

TEST(LevelFlow, CursorHurriesATurnAndSpinsAnIdleCube)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    f.StartAt(2);
    const int under = PutCube(f.Game, 1, 3, 3);
    const int away = PutCube(f.Game, 2, 7, 7);
    const int stone = PutCube(f.Game, ckStone, 5, 8);
    g.StartTurn(under);
    g.StartTurn(away);
    f.PointAt(3, 3);
    const int fast = f.RunUntil([&] { return g.Cubes[under].State != csTurn; });
    const int slow = f.RunUntil([&] { return g.Cubes[away].State != csTurn; }) + fast;
    EXPECT_LE(fast * 10, slow);
    EXPECT_EQ(g.Cubes[under].State, csSpin); // still under the cursor: it spins

    f.PointAt(5, 8);
    for (int k = 0; k < 50; ++k)
    {
        g.Update(16);
        ASSERT_EQ(g.Cubes[stone].State, csIdle);
    }
}

TEST(LevelFlow, VanishingCubesBurstOnceAndAreRemovedAfterAbout467ms)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    f.StartAt(2);
    PutCube(f.Game, 2, 8, 8);
    const int i = PutCube(f.Game, 3, 4, 4);
    g.SetState(i, csVanishing);
    g.Update(16);
    EXPECT_EQ(g.Particles.Count(0), 36);
    g.Update(16);
    EXPECT_EQ(g.Particles.Count(0), 36); // no second burst
    const int n = f.RunUntil([&] { return g.CubeCount == 1; });
    // Gone after 29 updates (464 ms), deleted from the table by the 30th.
    EXPECT_EQ(2 + n, 30);
    EXPECT_EQ(g.FreeCount, 80);
    EXPECT_EQ(g.Cells[4][4].Occupancy, coEmpty);
    EXPECT_TRUE(BoardIsConsistent(g));
}

TEST(LevelFlow, ALowTimedBarBeepsFasterTheEmptierItIsAndOnlyWhilePlayed)
{
    // A tenth full: the first beep 150 ms after the bar got low, then one every 225 ms.
    FlowGame f(gmTimed);
    TGameSetup& g = f.Game;
    f.StartAt(2);
    PutCube(f.Game, 1, 2, 2);
    f.Level().Progress = 100; // of 1000
    const auto beepsIn = [&](int frames)
    {
        f.Host.Forget();
        for (int k = 0; k < frames; ++k)
        {
            g.Update(16);
        }
        return f.Host.Count(snTimeUp);
    };
    EXPECT_EQ(beepsIn(10), 0);     // 160 ms
    EXPECT_EQ(beepsIn(1), 1);      // 176 ms
    EXPECT_EQ(beepsIn(52), 3);     // 1008 ms: at 400, 624 and 848 ms
    g.EndPhase = epPaused;         // a paused game is silent, and its beeps wait
    EXPECT_EQ(beepsIn(100), 0);
    g.EndPhase = epPlaying;
    EXPECT_EQ(beepsIn(5), 1);      // 1072 ms of play
    f.Level().Progress = 500;      // half full: silent
    EXPECT_EQ(beepsIn(100), 0);
    EXPECT_EQ(g.NextBeep, 0);

    // The normal mode never beeps, however low its bar.
    FlowGame n;
    n.StartAt(2);
    PutCube(n.Game, 1, 2, 2);
    n.Level().Progress = 10;
    n.RunUntil([] { return false; }, 100);
    EXPECT_EQ(n.Host.Count(snTimeUp), 0);
}

TEST(LevelFlow, PausingDropsTheSelectionAndStopsTheDrain)
{
    FlowGame f(gmTimed);
    TGameSetup& g = f.Game;
    f.StartAt(2);
    const int i = PutCube(f.Game, 1, 3, 3);
    g.Select(i);
    g.EndPhase = epPaused;
    const double progress = f.Level().Progress;
    g.Update(16);
    EXPECT_EQ(g.Selected, 0);
    EXPECT_EQ(g.Cubes[i].State, csIdle);
    EXPECT_FALSE(f.Host.Stopped.empty());
    EXPECT_EQ(f.Host.Stopped.back(), snSelected);
    EXPECT_EQ(f.Level().Progress, progress);
}

TEST(LevelFlow, ProgressBarFollowsProgressWhilePlaying)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    g.SyncDisplay(); // before any game: an empty bar, not a division by zero
    EXPECT_EQ(g.Display.Fraction, 0);
    f.StartAt(3);
    PutCube(f.Game, 1, 1, 1);
    f.Level().Progress = 125;
    g.Update(16);
    EXPECT_DOUBLE_EQ(g.Display.Fraction, 0.25);
    EXPECT_DOUBLE_EQ(g.Display.StartFraction, 0.25);
    g.EndPhase = epPaused;
    f.Level().Progress = 250;
    g.SyncDisplay();
    EXPECT_DOUBLE_EQ(g.Display.Fraction, 0.25);

    // The lamps: 5 - Darkness, all five for a darkness above 5.
    const std::pair<int, int> lampCases[] = {{0, 5}, {2, 3}, {5, 0}, {6, 5}};
    for (const auto& [darkness, lamps] : lampCases)
    {
        g.Levels[4].Darkness = static_cast<uint8_t>(darkness);
        f.StartAt(4);
        EXPECT_EQ(g.Display.LampCount, lamps);
    }
}

TEST(LevelFlow, SteadyPlayDoesNotAllocate)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    g.NewGame();
    for (int placed = 0, x = 1; placed < 2 && x <= 9; ++x)
    {
        if (g.Cells[x][9].Occupancy == coEmpty)
        {
            PutCube(f.Game, ckBomb, x, 9);
            ++placed;
        }
    }
    ASSERT_EQ(g.CountKind(ckBomb), 2);
    f.PointAt(9, 9);
    f.Host.Played.reserve(100000);
    f.Host.Stopped.reserve(100000);
    f.RunUntil([] { return false; }, 200); // growth, sparks, spins and turns under way
    ASSERT_EQ(g.EndPhase, epPlaying);

    heap::Allocations = 0;
    heap::Counting = true;
    for (int k = 0; k < 2000; ++k)
    {
        g.Update(16);
        f.PointAt(1 + k % 9, 1 + (k / 9) % 9);
    }
    heap::Counting = false;
    EXPECT_EQ(heap::Allocations, 0);
    EXPECT_GT(g.Particles.Count(3), 0);
}

TEST(LevelFlow, IdleTurnsKeepTheirRatePerSecondAtAnyFrameLengthOnAStillBoard)
{
    // Idle turns started in half an hour of play by 25 cubes that can never make a square,
    // the pointer off the board, updated every dt ms.
    const auto turnsIn30Minutes = [](float dt)
    {
        FlowGame f;
        TGameSetup& g = f.Game;
        f.StartAt(2);
        for (int x = 1; x <= 9; x += 2)
        {
            for (int y = 1; y <= 9; y += 2)
            {
                PutCube(f.Game, 1 + (x + y) % 4, x, y);
            }
        }
        f.PointAt(20, 20);
        f.RunUntil([&] { return g.Still(); }); // the new level's banner fades
        int turns = 0;
        std::array<uint8_t, CellCount + 1> before{};
        for (double t = 0; t < 30 * 60 * 1000.0; t += dt)
        {
            for (int i = 1; i <= g.CubeCount; ++i)
            {
                before[i] = g.Cubes[i].State;
            }
            g.Update(dt);
            for (int i = 1; i <= g.CubeCount; ++i)
            {
                turns += before[i] == csIdle && g.Cubes[i].State == csTurn;
            }
            EXPECT_EQ(g.Still(), f.CountState(csTurn) == 0) << "at " << t << " ms";
        }
        EXPECT_EQ(g.CubeCount, 25);
        return turns;
    };
    // The rule as it was, one chance in 2000 per frame, at 60 frames a second: 25 cubes
    // times about 0.03 turns a second, less the time each spends turning.
    const int at60 = turnsIn30Minutes(1000.0f / 60);
    EXPECT_GT(at60, 1000);
    for (const float dt : {16.0f, 33.0f, StillUpdateInterval, 250.0f})
    {
        const int turns = turnsIn30Minutes(dt);
        EXPECT_LT(std::abs(turns - at60), 4 * std::sqrt(turns + at60)) << dt << " ms: " << turns << " turns, " << at60 << " at 60 frames a second";
    }
}

TEST(LevelFlow, ABoardIsStillOnlyWhileNothingMovesOrCounts)
{
    FlowGame f;
    TGameSetup& g = f.Game;
    f.StartAt(2);
    const int cube = PutCube(f.Game, 1, 3, 3);
    f.PointAt(20, 20);
    EXPECT_FALSE(g.Still()) << "the new level's banner";
    f.RunUntil([&] { return g.Still(); });
    ASSERT_TRUE(g.Still());
    g.StartTurn(cube);
    EXPECT_FALSE(g.Still()) << "a turning cube";
    f.RunUntil([&] { return g.Still(); });
    f.PointAt(3, 3);
    g.Update(16);
    EXPECT_FALSE(g.Still()) << "the cube under the pointer spins";
    f.PointAt(20, 20);
    f.RunUntil([&] { return g.Still(); }, 500);
    g.PendingScore = 10;
    EXPECT_FALSE(g.Still()) << "the score counting in";
    EXPECT_LT(f.RunUntil([&] { return g.Still(); }, 2000), 2000);
    g.Mode = gmTimed;
    EXPECT_FALSE(g.Still()) << "the timed bar drains";
}
