#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace
{
TCell C(int x, int y)
{
    return {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
}
} // namespace

TEST(Board, ClearBoardFreesEveryCellInColumnOrder)
{
    RulesGame t;
    LayOut(t.Game, 1, 1, {"123", "J.X"});
    t.Game.Select(1);
    t.Game.PathLength = 5;
    t.Game.ClearBoard();

    EXPECT_EQ(t.Game.CubeCount, 0);
    EXPECT_EQ(t.Game.FreeCount, 81);
    EXPECT_EQ(t.Game.PathLength, 0);
    EXPECT_EQ(t.Game.Selected, 0);
    for (int i = 1; i <= 81; ++i)
    {
        EXPECT_EQ(t.Game.FreeCells[i], C((i - 1) / 9 + 1, (i - 1) % 9 + 1)) << i;
    }
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Board, AnnouncedCubesAreSmallOnReservedCellsInTheLevelsColours)
{
    RulesGame t;
    for (int k = 0; k < 81; ++k)
    {
        t.Game.AddCube();
    }
    ASSERT_EQ(t.Game.CubeCount, 81);
    EXPECT_EQ(t.Game.FreeCount, 0);
    EXPECT_EQ(t.Game.EndPhase, epPlaying);
    std::set<int> kinds;
    for (int i = 1; i <= 81; ++i)
    {
        const TCube& c = t.Game.Cubes[i];
        kinds.insert(c.Kind);
        EXPECT_EQ(c.State, csWaiting);
        EXPECT_FLOAT_EQ(c.Scale.x, 0.3f);
        EXPECT_FLOAT_EQ(c.Position.z, 0.15f);
        EXPECT_FLOAT_EQ(c.Position.x, c.X - 5.0f);
    }
    EXPECT_EQ(kinds, (std::set<int>{1, 2, 3, 4, 5})); // JokerOdds 0 never gives a joker
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Board, JokersAndStonesComeAtTheLevelsOdds)
{
    auto kindsMade = [](int jokerOdds, int stones, int colours, int* stonesLeft = nullptr)
    {
        std::vector<int> made(19, 0);
        for (uint32_t seed = 1; seed <= 20; ++seed)
        {
            RulesGame t(seed);
            t.Level().JokerOdds = jokerOdds;
            t.Level().Stones = {0, stones, stones};
            t.Level().Colours = {0, static_cast<uint8_t>(colours), static_cast<uint8_t>(colours)};
            for (int k = 0; k < 40; ++k)
            {
                t.Game.AddCube();
            }
            for (int i = 1; i <= t.Game.CubeCount; ++i)
            {
                ++made[t.Game.Cubes[i].Kind];
            }
            if (stonesLeft != nullptr)
            {
                // Every stone made is one fewer still to come.
                EXPECT_EQ(t.Level().Stones[1] + t.Game.CountKind(ckStone), stones);
                *stonesLeft = t.Level().Stones[1];
            }
        }
        return made;
    };

    EXPECT_EQ(kindsMade(1, 0, 5)[ckJoker], 0); // a joker needs a draw equal to 1
    EXPECT_EQ(kindsMade(0, 0, 5)[ckJoker], 0);
    EXPECT_GT(kindsMade(2, 0, 5)[ckJoker], 200); // about one in two of 800
    EXPECT_EQ(kindsMade(0, 20, 5)[ckStone], 0);   // divisor 40 - 40 = 0

    // 21 stones to come: a chance of 1 in 2 until the first one, then 20 and no more.
    int left = 0;
    const auto one = kindsMade(0, 21, 5, &left);
    EXPECT_EQ(one[ckStone], 20);
    EXPECT_EQ(left, 20);
    EXPECT_GT(kindsMade(0, 19, 5)[ckStone], 20);

    // A level asking for more colours than there are still makes only colours 1..7.
    const auto wide = kindsMade(0, 0, 9);
    EXPECT_GT(wide[7], 0);
    for (int k = 8; k <= 18; ++k)
    {
        EXPECT_EQ(wide[k], 0) << k;
    }
    const auto none = kindsMade(0, 0, 0);
    EXPECT_EQ(none[1], 800);
}

TEST(Board, BonusLevelsAnnounceStonesOnlyAndNoNewTurnCubes)
{
    RulesGame t;
    t.Level().LevelKind = lkBonus;
    for (int k = 0; k < 10; ++k)
    {
        t.Game.AddCube();
    }
    EXPECT_EQ(t.Game.CountKind(ckStone), 10);
    t.Game.NewTurn();
    EXPECT_EQ(t.Game.CubeCount, 10);
    EXPECT_EQ(t.CountState(csGrowing), 10);
}

TEST(Board, NewTurnGrowsTheAnnouncedCubesAndAnnouncesMore)
{
    RulesGame t;
    t.Game.AddCube();
    t.Game.AddCube();
    t.Game.BoardQuiet = false;
    t.Game.NewTurn();
    EXPECT_EQ(t.CountState(csGrowing), 2);
    EXPECT_EQ(t.CountState(csWaiting), 3);
    EXPECT_EQ(t.Host.Count(snNewTurn), 1);
    EXPECT_TRUE(t.Game.BoardQuiet);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(GameOver, AFullBoardEndsTheGameAndDeletesThatModesSave)
{
    RulesGame t;
    const auto save1 = t.Game.SaveFile(1);
    const auto save2 = t.Game.SaveFile(2);
    std::ofstream(save1) << "saved";
    std::ofstream(save2) << "saved";
    for (int k = 0; k < 81; ++k)
    {
        t.Game.AddCube();
    }
    t.Host.SelectedLoop = true;

    t.Game.AddCube();
    EXPECT_EQ(t.Game.EndPhase, epGameOver);
    EXPECT_EQ(t.Game.CubeCount, 81);
    EXPECT_EQ(t.Host.Count(snGameOver), 1);
    EXPECT_FALSE(t.Host.SelectedLoop);
    EXPECT_TRUE(t.Host.MusicStopped);
    EXPECT_FALSE(std::filesystem::exists(save1));
    EXPECT_TRUE(std::filesystem::exists(save2));

    // Once over, nothing more is placed and the end is not announced twice.
    t.Game.AddCube();
    t.Game.AddSpecialCube(ckBomb);
    t.Game.GrowWaitingCubes();
    EXPECT_EQ(t.Game.CubeCount, 81);
    EXPECT_EQ(t.Host.Count(snGameOver), 1);
    EXPECT_EQ(t.CountState(csWaiting), 81);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(GameOver, ATimedLevelDrainedBelowZeroEndsTheGameButABonusLevelDoesNot)
{
    RulesGame t;
    t.Game.Mode = gmTimed;
    t.Level().Progress = -0.5;
    t.Level().LevelKind = lkBonus;
    EXPECT_FALSE(t.Game.CheckGameOver(false));
    t.Level().LevelKind = lkNormal;
    EXPECT_TRUE(t.Game.CheckGameOver(false));
    EXPECT_EQ(t.Game.EndPhase, epGameOver);

    RulesGame n;
    n.Level().Progress = -0.5; // the normal mode never drains
    EXPECT_FALSE(n.Game.CheckGameOver(false));
}

TEST(GameOver, AFullBoardAtTheEndOfALevelPlacesNothing)
{
    RulesGame t;
    for (int k = 0; k < 81; ++k)
    {
        t.Game.AddCube();
    }
    t.Game.EndPhase = epLevelDone;
    t.Game.AddCube();
    t.Game.AddSpecialCube(ckShot);
    t.Game.PlaceSpecialCube(ckShot, C(1, 1));
    EXPECT_EQ(t.Game.CubeCount, 81);
    EXPECT_EQ(t.Game.EndPhase, epLevelDone);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Selection, SelectingLiftsOneCubeAndPutsTheFormerDown)
{
    RulesGame t;
    LayOut(t.Game, 1, 1, {"12"});
    t.Game.Select(1);
    EXPECT_EQ(t.Game.Cubes[1].State, csSelected);
    EXPECT_EQ(t.Host.Count(snSelectCube), 1);
    t.Game.Cubes[1].Position.z = 0.9f; // hovering
    t.Game.Select(2);
    EXPECT_EQ(t.Game.Cubes[1].State, csIdle);
    EXPECT_FLOAT_EQ(t.Game.Cubes[1].Position.z, 0.4f);
    EXPECT_EQ(t.Game.Cubes[2].State, csSelected);
    t.Game.Select(0);
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_EQ(t.Game.Cubes[2].State, csIdle);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Paths, ThePathRunsFromTheTargetBackToTheCubeOneStepAtATime)
{
    RulesGame t;
    const int m = PutCube(t.Game, 1, 1, 1);
    LayOut(t.Game, 2, 2, {"XXXXXXX"}); // a wall on row 2 from x = 2 to 8
    t.Aim(m, 5, 3);
    ASSERT_GT(t.Game.PathLength, 0);
    // Round the wall's free end at x = 1 (or x = 9): up to row 3, then along it.
    EXPECT_EQ(t.Game.PathLength, 2 + 4);
    EXPECT_EQ(t.Game.Path[0].DotKind, 2);
    EXPECT_EQ(t.Game.Path[0].X, 5);
    EXPECT_EQ(t.Game.Path[0].Y, 3);
    int px = 1;
    int py = 1;
    for (int k = t.Game.PathLength - 1; k >= 0; --k)
    {
        const TDot& d = t.Game.Path[k];
        EXPECT_EQ(std::abs(d.X - px) + std::abs(d.Y - py), 1) << "dot " << k;
        EXPECT_NE(t.Game.Cells[d.X][d.Y].Occupancy, coOccupied);
        EXPECT_EQ(d.DotKind, k == 0 ? 2 : 1);
        EXPECT_FLOAT_EQ(d.Position.x, d.X - 5.0f);
        EXPECT_FLOAT_EQ(d.Position.z, 0.05f);
        px = d.X;
        py = d.Y;
    }

    t.Aim(m, 4, 2); // onto the wall: no path at all
    EXPECT_EQ(t.Game.PathLength, 0);
}

TEST(Paths, AnnouncedCubesDoNotBlockAndMoreThanThirtyStepsIsOutOfReach)
{
    RulesGame t;
    // A wall down column 5 with one gap held by an announced cube.
    for (int y = 1; y <= 9; ++y)
    {
        PutCube(t.Game, y == 5 ? 2 : ckStone, 5, y, y == 5 ? csWaiting : csIdle);
    }
    const int m = PutCube(t.Game, 1, 1, 5);
    t.Aim(m, 9, 5);
    EXPECT_EQ(t.Game.PathLength, 8);
    EXPECT_EQ(t.Game.Path[0].DotKind, 2);

    // A winding corridor: walls on x = 2, 4, 6, 8 with gaps at alternate ends.
    RulesGame w;
    for (int x : {2, 4, 6, 8})
    {
        const int gap = (x == 2 || x == 6) ? 9 : 1;
        for (int y = 1; y <= 9; ++y)
        {
            if (y != gap)
            {
                PutCube(w.Game, ckStone, x, y);
            }
        }
    }
    const int c = PutCube(w.Game, 3, 1, 1);
    w.Aim(c, 7, 9); // 30 steps away
    EXPECT_EQ(w.Game.PathLength, 30);
    EXPECT_EQ(w.Game.Path[0].DotKind, 2);
    w.Aim(c, 7, 8); // 31 steps away
    ASSERT_EQ(w.Game.PathLength, 1);
    EXPECT_EQ(w.Game.Path[0].DotKind, 3);
    EXPECT_EQ(w.Game.Path[0].X, 7);
    EXPECT_EQ(w.Game.Path[0].Y, 8);
    w.Game.StartMove(); // an unreachable target starts nothing
    EXPECT_EQ(w.Game.Cubes[c].State, csSelected);
}

TEST(Moves, ACubeHopsAlongThePathAndArrives)
{
    RulesGame t;
    const int m = PutCube(t.Game, 2, 1, 1);
    t.Aim(m, 4, 1);
    ASSERT_EQ(t.Game.PathLength, 3);
    t.Host.SelectedLoop = true;
    t.Host.Forget();
    t.Game.StartMove();
    EXPECT_FALSE(t.Game.BoardQuiet); // no press can start a second move
    EXPECT_FALSE(t.Host.SelectedLoop);
    EXPECT_TRUE(t.Game.NoScoreMove);
    EXPECT_EQ(t.Game.PathLength, 4);

    float lowest = 10;
    for (int guard = 0; guard < 1000 && t.Game.Cubes[m].State == csMoving; ++guard)
    {
        t.Game.UpdateMoving(m, 10);
        const TCube& c = t.Game.Cubes[m];
        EXPECT_GE(c.Position.x, -4.0f);
        EXPECT_LE(c.Position.x, -1.0f);
        lowest = std::min(lowest, c.Position.z);
    }
    EXPECT_GE(lowest, 0.4f);
    const TCube& c = t.Game.Cubes[m];
    EXPECT_EQ(c.State, csIdle);
    EXPECT_EQ(c.X, 4);
    EXPECT_FLOAT_EQ(c.Position.x, -1.0f);
    EXPECT_FLOAT_EQ(c.Position.z, 0.4f);
    EXPECT_EQ(t.Game.Cells[4][1].Cube, m);
    EXPECT_EQ(t.Game.Cells[1][1].Occupancy, coEmpty);
    EXPECT_EQ(t.Game.PathLength, 0);
    EXPECT_EQ(t.Game.Selected, 0);
    // One hop sound per cell; the last one is the landing.
    const std::vector<TSound> hops{snMoveCube, snMoveCube, snMoved};
    EXPECT_EQ(t.Host.Played, hops);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Moves, ABombMovesWithItsOwnSound)
{
    RulesGame t;
    const int b = PutCube(t.Game, ckBomb, 1, 1);
    t.Aim(b, 1, 4);
    t.Host.Forget();
    t.RunMove();
    EXPECT_EQ(t.Host.Count(snMoveBomb), 2);
    EXPECT_EQ(t.Host.Count(snMoved), 1);
    EXPECT_EQ(t.Host.Count(snMoveCube), 0);
}

TEST(Moves, ArrivingOnAnAnnouncedCubePushesItToAFreeCell)
{
    for (uint32_t seed = 1; seed <= 10; ++seed)
    {
        RulesGame t(seed);
        const int m = PutCube(t.Game, 2, 1, 1);
        const int w = PutCube(t.Game, 3, 3, 1, csWaiting);
        ASSERT_TRUE(t.Move(m, 3, 1));
        EXPECT_EQ(t.Game.Cubes[m].X, 3);
        EXPECT_EQ(t.Game.Cells[3][1].Cube, m);
        const TCube& pushed = t.Game.Cubes[w];
        EXPECT_EQ(pushed.State, csWaiting);
        EXPECT_FALSE(pushed.X == 3 && pushed.Y == 1);
        EXPECT_FALSE(pushed.X == 1 && pushed.Y == 1); // the old cell was not free yet
        EXPECT_TRUE(BoardIsConsistent(t.Game));
    }
}

TEST(Moves, ArrivingOnAnAnnouncedCubeOfAFullBoardSwapsTheTwo)
{
    RulesGame t;
    const int m = PutCube(t.Game, 2, 1, 1);
    const int w = PutCube(t.Game, 3, 2, 1, csWaiting);
    for (int x = 1; x <= 9; ++x)
    {
        for (int y = 1; y <= 9; ++y)
        {
            if (t.Game.Cells[x][y].Occupancy == coEmpty)
            {
                PutCube(t.Game, ckStone, x, y);
            }
        }
    }
    ASSERT_EQ(t.Game.FreeCount, 0);
    ASSERT_TRUE(t.Move(m, 2, 1));
    EXPECT_EQ(t.Game.Cubes[m].X, 2);
    EXPECT_EQ(t.Game.Cubes[w].X, 1);
    EXPECT_EQ(t.Game.Cubes[w].State, csWaiting);
    EXPECT_EQ(t.Game.Cells[1][1].Occupancy, coReserved);
    EXPECT_EQ(t.Game.FreeCount, 0);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Specials, ABombClearsItsBlockButLeavesAnnouncedAndGrowingCubes)
{
    RulesGame t;
    const int b = PutCube(t.Game, ckBomb, 1, 1);
    const int near = PutCube(t.Game, 1, 4, 4);
    const int stone = PutCube(t.Game, ckStone, 6, 6);
    const int waiting = PutCube(t.Game, 2, 5, 6, csWaiting);
    const int far = PutCube(t.Game, 1, 7, 7);
    ASSERT_TRUE(t.Move(b, 5, 5));

    EXPECT_EQ(t.Game.Cubes[b].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[near].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[stone].State, csVanishing); // only a bomb breaks a stone
    EXPECT_EQ(t.Game.Cubes[waiting].State, csWaiting);
    EXPECT_EQ(t.Game.Cubes[far].State, csIdle);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 45);
    EXPECT_EQ(LabelTexts(t.Game), std::vector<std::string>{"45"});
    // Beside the blast, moved towards the left only as far as its drift to the right needs.
    EXPECT_GE(t.Game.Labels.Labels[1].Position.x, -1.0f);
    EXPECT_LT(t.Game.Labels.Labels[1].Position.x, 0.0f);
    EXPECT_EQ(t.Host.Count(snExplodeBomb), 1);
    EXPECT_FALSE(t.Game.NoScoreMove);
    t.FinishVanishing();
    EXPECT_EQ(t.Game.CubeCount, 2);
    EXPECT_TRUE(BoardIsConsistent(t.Game));

    // A cube still growing is on a reserved cell too.
    const int growing = PutCube(t.Game, 3, 8, 8, csGrowing);
    const int corner = PutCube(t.Game, ckBomb, 9, 9);
    t.Game.ExplodeBomb(C(9, 9));
    EXPECT_EQ(t.Game.Cubes[growing].State, csGrowing);
    EXPECT_EQ(t.Game.Cubes[corner].State, csVanishing);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 60);
}

TEST(Specials, BombsCaughtOnANormalModeBonusLevelScoreNothing)
{
    for (uint8_t mode : {gmNormal, gmTimed})
    {
        RulesGame t;
        t.Game.Mode = mode;
        t.Level().LevelKind = lkBonus;
        LayOut(t.Game, 1, 1, {"BX", "XB"});
        t.Game.ExplodeBomb(C(1, 1));
        EXPECT_DOUBLE_EQ(t.Game.PendingScore, mode == gmNormal ? 30 : 60);
        EXPECT_EQ(t.CountState(csVanishing), 4);
    }
}

TEST(Specials, PaintRecoloursTheBlockAndScoresEvenCubesOfItsOwnColour)
{
    RulesGame t;
    const int p = PutCube(t.Game, ckPaint1 + 2, 9, 9); // paints colour 3
    LayOut(t.Game, 4, 4, {"3J2", "1.B", "X.S"});
    const int far = PutCube(t.Game, 1, 7, 7);
    ASSERT_TRUE(t.Move(p, 5, 5));

    EXPECT_EQ(t.Game.Cubes[t.CubeAt(4, 4)].Kind, 3); // already colour 3: still scores
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(5, 4)].Kind, ckJoker);
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(6, 4)].Kind, 3);
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(4, 5)].Kind, 3);
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(6, 5)].Kind, ckBomb);
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(4, 6)].Kind, ckStone);
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(6, 6)].Kind, ckShot);
    EXPECT_EQ(t.Game.Cubes[far].Kind, 1);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 3 * 15);
    EXPECT_EQ(LabelTexts(t.Game), std::vector<std::string>{"45"});
    EXPECT_EQ(t.Game.Cubes[p].State, csVanishing);
    EXPECT_EQ(t.CountState(csVanishing), 1);
    EXPECT_EQ(t.Host.Count(snColorize), 1);
    EXPECT_FALSE(t.Game.NoScoreMove);
}

TEST(Specials, AShotTakesEveryCubeOfItsColourExceptAnnouncedOnes)
{
    RulesGame t;
    const int idle = PutCube(t.Game, 2, 1, 1);
    const int growing = PutCube(t.Game, 2, 2, 2, csGrowing);
    const int waiting = PutCube(t.Game, 2, 3, 3, csWaiting);
    const int other = PutCube(t.Game, 3, 4, 4);
    t.Game.HoverCell = C(1, 1);
    t.Game.Shoot(2);
    EXPECT_EQ(t.Game.Cubes[idle].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[growing].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[waiting].State, csWaiting);
    EXPECT_EQ(t.Game.Cubes[other].State, csIdle);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 30);
    EXPECT_EQ(t.Host.Count(snShot), 1);
    EXPECT_FALSE(t.Game.NoScoreMove);
    ASSERT_EQ(t.Game.Labels.LabelCount, 1);
    // The rules put it at (1 - 6, 1 - 5), past the board's edge; it is kept on the board.
    TScoreLabels kept;
    kept.AddBoardLabel({-5, -4, 0}, 2, 2, "30", 14);
    EXPECT_EQ(t.Game.Labels.Labels[1].Position, kept.Labels[1].Position);
}

TEST(Specials, TheLevelChoosesWhichSpecialsAreGiven)
{
    RulesGame none;
    none.Game.AddSpecial();
    EXPECT_EQ(none.Game.CubeCount, 0);

    RulesGame bombs;
    bombs.Level().AllowBombs = true;
    for (int k = 0; k < 5; ++k)
    {
        bombs.Game.AddSpecial();
    }
    EXPECT_EQ(bombs.Game.CountKind(ckBomb), 5);
    EXPECT_EQ(bombs.CountState(csIdle), 5); // specials need no growth

    RulesGame all;
    all.Level().AllowBombs = all.Level().AllowPaints = all.Level().AllowShots = true;
    all.Level().Colours = {0, 9, 9}; // paint colours still stay within 1..7
    std::set<int> kinds;
    for (int k = 0; k < 60; ++k)
    {
        all.Game.AddSpecial();
    }
    for (int i = 1; i <= all.Game.CubeCount; ++i)
    {
        kinds.insert(all.Game.Cubes[i].Kind);
    }
    EXPECT_TRUE(kinds.count(ckBomb) && kinds.count(ckShot) && kinds.count(ckPaint1));
    EXPECT_GE(*kinds.begin(), ckBomb);
    EXPECT_LE(*kinds.rbegin(), ckPaint7);
    EXPECT_TRUE(BoardIsConsistent(all.Game));

    RulesGame three;
    three.Level().AllowPaints = true;
    three.Level().Colours = {0, 3, 3};
    for (int k = 0; k < 30; ++k)
    {
        three.Game.AddSpecial();
    }
    for (int i = 1; i <= three.Game.CubeCount; ++i)
    {
        EXPECT_LE(three.Game.Cubes[i].Kind, ckPaint1 + 2);
    }
}

TEST(Specials, PuttingACubeBackOnACellTakenMeanwhileUsesAFreeCell)
{
    RulesGame t;
    PutCube(t.Game, 1, 3, 3);
    t.Game.PlaceSpecialCube(ckShot, C(3, 3));
    ASSERT_EQ(t.Game.CubeCount, 2);
    EXPECT_EQ(t.Game.Cubes[2].Kind, ckShot);
    EXPECT_FALSE(t.Game.Cubes[2].X == 3 && t.Game.Cubes[2].Y == 3);
    EXPECT_TRUE(BoardIsConsistent(t.Game));

    t.Game.PlaceSpecialCube(ckShot, C(7, 2));
    EXPECT_EQ(t.CubeAt(7, 2), 3);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Removal, DeletingACubeKeepsTheGridAndTheSelectionTrue)
{
    RulesGame t;
    LayOut(t.Game, 1, 1, {"12345"});
    const int keep = PutCube(t.Game, 6, 5, 5);
    t.Game.Select(4);
    t.Game.SetState(1, csRemoved);
    t.Game.RemoveCube(1);
    EXPECT_EQ(t.Game.CubeCount, 5);
    EXPECT_EQ(t.Game.FreeCount, 76);
    EXPECT_EQ(t.Game.Selected, 3);
    EXPECT_EQ(t.Game.Cubes[3].Kind, 4);
    EXPECT_TRUE(BoardIsConsistent(t.Game));

    // A bomb next to the moved cubes takes exactly the cubes it touches.
    t.Game.Select(0);
    t.Game.ExplodeBomb(C(5, 4));
    EXPECT_EQ(t.Game.Cubes[keep - 1].State, csVanishing); // the colour 6 at (5, 5)
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(5, 1)].State, csIdle);
    EXPECT_EQ(t.CountState(csVanishing), 1);

    t.Game.RemoveCube(0);
    t.Game.RemoveCube(99);
    EXPECT_EQ(t.Game.CubeCount, 5);
}

// Random play through the public operations, with the animations finished by hand:
// whatever happens, every cell stays in exactly one place and every count stays true.
TEST(Invariants, HoldThroughRandomPlay)
{
    for (uint32_t seed = 1; seed <= 30; ++seed)
    {
        RulesGame t(seed);
        TRandom dice(seed * 7919u);
        t.Level().JokerOdds = 6;
        t.Level().NewCubes = {0, 7, 7}; // fills up now and then
        t.Level().Stones = {0, 15, 15};
        t.Level().AllowBombs = t.Level().AllowPaints = t.Level().AllowShots = true;
        SetFigure(t.Game, 1, {"12", "2."}, 80);
        t.Game.NewFigure(false);
        for (int step = 0; step < 300; ++step)
        {
            if (t.Game.EndPhase == epGameOver)
            {
                t.Game.ClearBoard();
                t.Game.EndPhase = epPlaying;
            }
            const int op = dice.Random(10);
            if (op < 2)
            {
                t.Game.NewTurn();
                t.Settle();
                t.FinishGrowth();
                t.Game.CheckSquares();
            }
            else if (op < 7 && t.Game.CubeCount > 0)
            {
                const int i = dice.Random(t.Game.CubeCount) + 1;
                if (t.Game.Cubes[i].Kind != ckStone && t.Game.Cubes[i].State == csIdle)
                {
                    if (t.Move(i, dice.Random(9) + 1, dice.Random(9) + 1))
                    {
                        t.Game.CheckSquares();
                        t.Settle();
                    }
                    t.Game.Select(0);
                }
            }
            else if (op == 7)
            {
                t.Game.AddSpecial();
            }
            else if (op == 8)
            {
                t.Game.HoverCell = C(dice.Random(9) + 1, dice.Random(9) + 1);
                t.Game.Shoot(static_cast<uint8_t>(dice.Random(5) + 1));
            }
            else
            {
                t.Game.ExplodeBomb(C(dice.Random(9) + 1, dice.Random(9) + 1));
            }
            ASSERT_TRUE(BoardIsConsistent(t.Game)) << "seed " << seed << " step " << step;
            t.FinishVanishing();
            ASSERT_TRUE(BoardIsConsistent(t.Game)) << "seed " << seed << " step " << step;
            ASSERT_GE(t.Game.PendingScore, 0);
        }
    }
}
