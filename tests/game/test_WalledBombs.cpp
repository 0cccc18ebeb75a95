// A bonus level whose last bombs are walled in by stones cannot be played on: it ends
// with the stones-left count, instead of waiting for ever for a move nobody can make.
#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

namespace
{
struct WalledBombs : public ::testing::Test
{
    WalledBombs()
    {
        R.Level().LevelKind = lkBonus;
        R.Level().BonusPoints = 300;
        R.Game.Score = 1000;
    }
    RulesGame R;
};

TEST_F(WalledBombs, ABombInACornerBehindStonesEndsTheLevel)
{
    LayOut(R.Game, 8, 1, {"XB", ".X"}); // (8, 1) stone, (9, 1) bomb, (9, 2) stone
    R.Game.Update(16);
    EXPECT_EQ(R.Game.EndPhase, epLevelDone);
    // Two stones left: half the bonus points.
    EXPECT_DOUBLE_EQ(R.Game.Score, 1000 + 150);
    EXPECT_EQ(R.Game.CubeCount, 0);
}

TEST_F(WalledBombs, ABombWithOneWayOutKeepsTheLevelGoing)
{
    LayOut(R.Game, 7, 1, {"XB.", ".X."}); // (9, 1) is free beside the bomb
    for (int f = 0; f < 100; ++f)
    {
        R.Game.Update(16);
    }
    EXPECT_EQ(R.Game.EndPhase, epPlaying);

    // Walled in among other bombs: none of them can move either.
    RulesGame g2;
    g2.Level().LevelKind = lkBonus;
    LayOut(g2.Game, 7, 1, {"XBB", ".XX"});
    g2.Game.Update(16);
    EXPECT_EQ(g2.Game.EndPhase, epLevelDone);
}

TEST_F(WalledBombs, ABombStillOnItsWayKeepsTheLevelGoing)
{
    // The bomb has left its corner; the level waits for it to land and go off.
    LayOut(R.Game, 7, 1, {"XB.", ".X."});
    const int bomb = R.CubeAt(8, 1);
    R.Aim(bomb, 9, 1);
    ASSERT_EQ(R.Game.Path[0].DotKind, 2);
    R.Game.StartMove();
    PutCube(R.Game, ckStone, 9, 2); // the way back is closed behind it
    R.Game.Update(16);
    EXPECT_EQ(R.Game.EndPhase, epPlaying);
}
} // namespace
