// The one-step undo of the normal mode: what a move changed comes back as it was, once, and
// the same move deals the same cubes again.
#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

namespace
{
// The save text without its date: board, announced cubes, score, progress, figure and deal.
std::string Body(const TGame& g)
{
    const std::string text = g.SaveText();
    return text.substr(text.find('\n') + 1);
}

// Updates until the last move can be taken back; false when it never can.
bool PlayUntilUndoable(RulesGame& t, int frames = 2000)
{
    for (int frame = 0; frame < frames && !t.Game.View().CanUndo(); ++frame)
    {
        t.Game.Update(16);
    }
    return t.Game.View().CanUndo();
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
        t.Game.Score = t.Level().Progress = 500;
        t.Game.Combo = 2;
        t.Settle();
    }
    // Sends the cube on (x, y) to (tx, ty) and plays until the board rests.
    void Move(int x, int y, int tx, int ty)
    {
        t.Aim(t.CubeAt(x, y), tx, ty);
        t.Game.StartMove();
        EXPECT_FALSE(t.Game.View().CanUndo()) << "the cube is still on its way";
        ASSERT_TRUE(PlayUntilUndoable(t));
    }

    RulesGame t;
};
} // namespace

TEST_F(UndoTest, AScoringMoveComesBackOnceWithComboAndFigureAndIsDueForTheFile)
{
    const std::string before = Body(t.Game);
    const TBonusFigure figure = t.Game.Figures[1];
    EXPECT_FALSE(t.Game.Undo()) << "no move made yet";
    Move(8, 8, 4, 4);
    ASSERT_EQ(t.Game.Combo, 3);
    t.Game.TakeSaveRequest();

    ASSERT_TRUE(t.Game.Undo());
    EXPECT_EQ(Body(t.Game), before);
    EXPECT_EQ(t.Game.Combo, 2);
    for (int k = 0; k < 16; ++k)
    {
        EXPECT_EQ(t.Game.Figures[1].Cells[k].ShownColour, figure.Cells[k].ShownColour);
    }
    EXPECT_TRUE(BoardIsConsistent(t.Game));
    EXPECT_EQ(t.Host.Count(snMenuEsc), 1);
    EXPECT_EQ(t.Game.TakeSaveRequest(), srWrite);
    EXPECT_FALSE(t.Game.Undo()) << "once per move";
    EXPECT_EQ(Body(t.Game), before);
}

TEST_F(UndoTest, TheSameMoveDealsTheSameCubesHoweverLongThePlayerWaits)
{
    Move(7, 1, 6, 6); // scores nothing: the waiting cube grows, three are announced
    const std::string dealt = Body(t.Game);
    ASSERT_TRUE(t.Game.Undo());
    PlayUntilUndoable(t, 137); // idle cubes draw their turns from the shared generator
    Move(7, 1, 6, 6);
    EXPECT_EQ(Body(t.Game), dealt);
}

TEST_F(UndoTest, NothingToTakeBackInTheTimedModeWhilePausedOrOnceTheGameIsOver)
{
    t.Game.Mode = gmTimed;
    t.Level().Progress = 600; // neither drained nor at the target
    t.Aim(t.CubeAt(8, 8), 4, 4);
    t.Game.StartMove();
    EXPECT_FALSE(PlayUntilUndoable(t, 300));
    EXPECT_FALSE(t.Game.Undo());

    t.Game.Mode = gmNormal;
    Move(7, 1, 6, 6);
    t.Game.Pause();
    EXPECT_FALSE(t.Game.View().CanUndo());
    t.Game.Resume();
    t.Game.FreeCount = 0;
    t.Game.CheckGameOver(true);
    EXPECT_FALSE(t.Game.Undo());
}

TEST_F(UndoTest, TheUndoPointOutlivesTheSaveFileAndAnOlderFileHasNone)
{
    const std::string before = Body(t.Game);
    Move(8, 8, 4, 4);
    t.Game.SaveGame();

    RulesGame resumed; // the game object of the next run
    resumed.User.Write("Save1.dat", ReadFile(t.Game.SaveFile(gmNormal)));
    resumed.Game.LoadGame(gmNormal);
    ASSERT_TRUE(PlayUntilUndoable(resumed));
    ASSERT_TRUE(resumed.Game.Undo());
    EXPECT_EQ(Body(resumed.Game), before);
    EXPECT_EQ(resumed.Game.Combo, 2);

    // A file from before the undo ends after its cubes: it loads, with no undo.
    RulesGame old;
    old.User.Write("Save1.dat", "Mon 07 Dec 2026 08:00\n1\n1\n0\n 1.0E+0002\n 7.0E+0002\n1\n1\n1\n2\n5\n5\n");
    old.Game.LoadGame(gmNormal);
    EXPECT_DOUBLE_EQ(old.Game.Score, 700);
    EXPECT_FALSE(PlayUntilUndoable(old, 200));
}
