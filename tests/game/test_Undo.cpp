// The one-step undo of the normal mode: what a move changed comes back as it was, once, and
// the same move deals the same cubes again.
#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

namespace
{
// The save text without its date line: the board, the announced cubes, the score, the
// level's progress and stones, the figure and the deal, as the file would hold them.
std::string Body(const TGame& g)
{
    const std::string text = g.SaveText();
    return text.substr(text.find('\n') + 1);
}

// Updates until the last move can be taken back; false when it never can.
bool PlayUntilUndoable(RulesGame& t)
{
    for (int frame = 0; frame < 2000; ++frame)
    {
        t.Game.Update(16);
        if (t.Game.View().CanUndo())
        {
            return true;
        }
    }
    return false;
}

// Sends the cube on (x, y) to (tx, ty) as a click would, and plays until the board rests.
void MoveAndRest(RulesGame& t, int x, int y, int tx, int ty)
{
    t.Aim(t.CubeAt(x, y), tx, ty);
    ASSERT_GT(t.Game.PathLength, 0);
    t.Game.StartMove();
    EXPECT_FALSE(t.Game.View().CanUndo()) << "the cube is still on its way";
    ASSERT_TRUE(PlayUntilUndoable(t));
}

struct UndoTest : public ::testing::Test
{
    UndoTest()
    {
        // Three cubes of colour 1 wait for the fourth on (4, 4); colour 2 lies about.
        LayOut(t.Game, 3, 3, {"11", "1."});
        LayOut(t.Game, 7, 1, {"23", "32"});
        PutCube(t.Game, 1, 8, 8);
        PutCube(t.Game, 4, 1, 9, csWaiting);
        t.Game.Deal = TRandom(99);
        t.Game.Score = 500;
        t.Level().Progress = 500;
        t.Game.Combo = 2;
        t.Settle();
    }

    RulesGame t;
};
} // namespace

TEST_F(UndoTest, AScoringMoveComesBackOnceWithScoreComboAndFigure)
{
    const std::string before = Body(t.Game);
    const TBonusFigure figure = t.Game.Figures[t.Game.Figure];
    EXPECT_FALSE(t.Game.Undo()) << "no move made yet";

    MoveAndRest(t, 8, 8, 4, 4);
    EXPECT_GT(t.Game.Score, 500);
    EXPECT_EQ(t.Game.Combo, 3);
    EXPECT_NE(Body(t.Game), before);
    t.Game.TakeSaveRequest();

    t.Host.Forget();
    ASSERT_TRUE(t.Game.Undo());
    EXPECT_EQ(Body(t.Game), before);
    EXPECT_DOUBLE_EQ(t.Game.Score, 500);
    EXPECT_DOUBLE_EQ(t.Level().Progress, 500);
    EXPECT_EQ(t.Game.Combo, 2);
    EXPECT_EQ(t.Game.Figure, 1);
    for (int k = 0; k < 16; ++k)
    {
        EXPECT_EQ(t.Game.Figures[1].Cells[k].ShownColour, figure.Cells[k].ShownColour);
    }
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(8, 8)].State, csIdle) << "put down, not held";
    EXPECT_EQ(t.Game.Labels.LabelCount, 0) << "the points taken back float no more";
    EXPECT_TRUE(BoardIsConsistent(t.Game));
    EXPECT_EQ(t.Host.Count(snMenuEsc), 1);
    EXPECT_EQ(t.Game.TakeSaveRequest(), srWrite) << "the undone game is due for its file";

    // Once per move.
    EXPECT_FALSE(t.Game.View().CanUndo());
    EXPECT_FALSE(t.Game.Undo());
    EXPECT_EQ(Body(t.Game), before);
}

TEST_F(UndoTest, TheSameMoveDealsTheSameCubesHoweverLongThePlayerWaits)
{
    MoveAndRest(t, 7, 1, 6, 6); // scores nothing: the waiting cube grows, three are announced
    const std::string dealt = Body(t.Game);
    ASSERT_TRUE(t.Game.Undo());
    // Idle cubes draw their turns from the shared generator meanwhile.
    for (int frame = 0; frame < 137; ++frame)
    {
        t.Game.Update(16);
    }
    MoveAndRest(t, 7, 1, 6, 6);
    EXPECT_EQ(Body(t.Game), dealt);
}

TEST_F(UndoTest, NothingToTakeBackInTheTimedModeOrAfterTheGameEnds)
{
    t.Game.Mode = gmTimed;
    t.Level().Progress = 600; // neither drained nor at the target
    t.Aim(t.CubeAt(8, 8), 4, 4);
    t.Game.StartMove();
    for (int frame = 0; frame < 300; ++frame)
    {
        t.Game.Update(16);
    }
    const std::string after = Body(t.Game);
    EXPECT_FALSE(t.Game.View().CanUndo());
    EXPECT_FALSE(t.Game.Undo());
    EXPECT_EQ(Body(t.Game), after);

    t.Game.Mode = gmNormal;
    MoveAndRest(t, 7, 1, 6, 6);
    t.Game.CheckGameOver(true); // not over: the board has room
    EXPECT_TRUE(t.Game.View().CanUndo());
    t.Game.Pause();
    EXPECT_FALSE(t.Game.View().CanUndo()) << "not while paused";
    t.Game.Resume();
    t.Game.FreeCount = 0;
    t.Game.CheckGameOver(true);
    EXPECT_FALSE(t.Game.View().CanUndo());
    EXPECT_FALSE(t.Game.Undo());
}

TEST_F(UndoTest, TheUndoPointOutlivesTheSaveFileAndAnOlderFileHasNone)
{
    const std::string before = Body(t.Game);
    MoveAndRest(t, 8, 8, 4, 4);
    t.Game.SaveGame();

    RulesGame resumed; // the game object of the next run
    std::filesystem::create_directories(resumed.Game.SaveFile(gmNormal).parent_path());
    std::filesystem::copy_file(t.Game.SaveFile(gmNormal), resumed.Game.SaveFile(gmNormal));
    resumed.Game.LoadGame(gmNormal);
    ASSERT_TRUE(PlayUntilUndoable(resumed)) << "the resumed game can still take the move back";
    ASSERT_TRUE(resumed.Game.Undo());
    EXPECT_EQ(Body(resumed.Game), before);
    EXPECT_EQ(resumed.Game.Combo, 2);
    EXPECT_TRUE(BoardIsConsistent(resumed.Game));

    // A file of a version before the undo ends after its cubes: it loads, with no undo.
    RulesGame old;
    old.User.Write(old.Game.SaveFile(gmNormal).lexically_relative(old.User.Path()).string(),
                   "Mon 07 Dec 2026 08:00\n1\n1\n0\n 1.0E+0002\n 7.0E+0002\n1\n1\n1\n2\n5\n5\n");
    old.Game.LoadGame(gmNormal);
    EXPECT_DOUBLE_EQ(old.Game.Score, 700);
    EXPECT_EQ(old.Game.CubeCount, 1);
    for (int frame = 0; frame < 200; ++frame)
    {
        old.Game.Update(16);
    }
    EXPECT_FALSE(old.Game.View().CanUndo());
    EXPECT_FALSE(old.Game.Undo());
}
