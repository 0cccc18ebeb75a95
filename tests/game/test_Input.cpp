#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

namespace
{
constexpr int Left = 0;
constexpr int Right = 1;
constexpr int Middle = 2;

void Point(RulesGame& t, float x, float y)
{
    t.Host.MouseX = x;
    t.Host.MouseY = y;
    t.Game.MouseMove();
}

// The mouse over the centre of cell (x, y).
void PointAt(RulesGame& t, int x, int y)
{
    Point(t, x - 5.0f, y - 5.0f);
}

void Click(RulesGame& t, int x, int y, int button = Left)
{
    PointAt(t, x, y);
    t.Game.MouseDown(button);
}
} // namespace

TEST(Cursor, TheCursorFindsCellsAndCubes)
{
    RulesGame t;
    auto cell = [&](float x, float y)
    {
        t.Host.MouseX = x;
        t.Host.MouseY = y;
        return std::pair<int, int>(t.Game.CursorCell().X, t.Game.CursorCell().Y);
    };
    EXPECT_EQ(cell(0, 0), std::make_pair(5, 5));
    EXPECT_EQ(cell(0.5f, -0.5f), std::make_pair(5, 5)); // halves go to the even number
    EXPECT_EQ(cell(1.5f, -1.5f), std::make_pair(7, 3));
    EXPECT_EQ(cell(2.5f, 3.49f), std::make_pair(7, 8));
    EXPECT_EQ(cell(-4.5f, 4.49f), std::make_pair(1, 9));
    EXPECT_EQ(cell(40, -40), std::make_pair(9, 1));

    auto onBoard = [&](float x, float y)
    {
        t.Host.MouseX = x;
        t.Host.MouseY = y;
        return t.Game.CursorOnBoard();
    };
    EXPECT_TRUE(onBoard(-4.5f, -4.5f));
    EXPECT_TRUE(onBoard(4.49f, 4.49f));
    EXPECT_FALSE(onBoard(4.5f, 0));
    EXPECT_FALSE(onBoard(0, -4.51f));

    const int c = PutCube(t.Game, 1, 6, 5); // covers 0.5 <= x < 1.5, -0.5 <= y < 0.5
    auto onCube = [&](float x, float y)
    {
        t.Host.MouseX = x;
        t.Host.MouseY = y;
        return t.Game.CursorOnCube(c);
    };
    EXPECT_TRUE(onCube(0.5f, -0.5f));
    EXPECT_TRUE(onCube(1.49f, 0.49f));
    EXPECT_FALSE(onCube(1.5f, 0));
    EXPECT_FALSE(onCube(1, 0.5f));
}

TEST(Clicks, ClicksSelectDeselectAndSwitchCubes)
{
    RulesGame t;
    const int a = PutCube(t.Game, 1, 2, 2);
    const int b = PutCube(t.Game, 2, 4, 4);
    PutCube(t.Game, ckStone, 6, 6);
    PutCube(t.Game, 3, 8, 8, csWaiting);

    Click(t, 2, 2);
    EXPECT_EQ(t.Game.Selected, a);
    EXPECT_EQ(t.Host.Count(snSelectCube), 1);
    EXPECT_TRUE(t.Host.SelectedLoop);

    Click(t, 2, 2); // the same cube again lets it go
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_EQ(t.Game.Cubes[a].State, csIdle);
    EXPECT_FALSE(t.Host.SelectedLoop);

    Click(t, 2, 2);
    Click(t, 4, 4);
    EXPECT_EQ(t.Game.Selected, b);
    EXPECT_EQ(t.Game.Cubes[a].State, csIdle);
    EXPECT_TRUE(t.Host.SelectedLoop);

    Click(t, 6, 6); // a stone cannot be taken; the selection drops
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_FALSE(t.Host.SelectedLoop);

    Click(t, 8, 8); // nor an announced cube
    EXPECT_EQ(t.Game.Selected, 0);

    Click(t, 4, 4);
    EXPECT_TRUE(t.Host.SelectedLoop);
    Click(t, 5, 5, Right); // a right click on an empty cell cancels, and the hum with it
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_FALSE(t.Host.SelectedLoop);
    Click(t, 4, 4);
    t.Game.Deselect(); // as the pause does
    EXPECT_FALSE(t.Host.SelectedLoop);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Clicks, APathFollowsTheCursorWhileACubeIsSelected)
{
    RulesGame t;
    const int a = PutCube(t.Game, 1, 1, 1);
    PointAt(t, 4, 1);
    EXPECT_EQ(t.Game.PathLength, 0); // nothing selected: no path
    Click(t, 1, 1);
    PointAt(t, 4, 1);
    EXPECT_EQ(t.Game.PathLength, 3);
    EXPECT_EQ(t.Game.HoverCell, (TCell{4, 1}));
    PointAt(t, 1, 1);
    EXPECT_EQ(t.Game.PathLength, 0); // over the cube itself
    PointAt(t, 1, 5);
    EXPECT_EQ(t.Game.PathLength, 4);
    Point(t, 6, 0); // off the board
    EXPECT_EQ(t.Game.PathLength, 0);
    EXPECT_EQ(t.Game.Selected, a);
}

TEST(Clicks, AClickOnAReachableCellSendsTheCubeAndTheBoardWaits)
{
    for (int button : {Left, Middle})
    {
        RulesGame t;
        const int a = PutCube(t.Game, 1, 1, 1);
        PutCube(t.Game, 2, 9, 9);
        Click(t, 1, 1, button);
        Click(t, 1, 6, button);
        EXPECT_EQ(t.Game.Cubes[a].State, csMoving);
        EXPECT_FALSE(t.Host.SelectedLoop);
        EXPECT_EQ(t.Game.PathLength, 6);

        // Until the move is over, cursor moves and presses change nothing.
        PointAt(t, 5, 5);
        EXPECT_EQ(t.Game.PathLength, 6);
        EXPECT_EQ(t.Game.Path[0].Y, 6);
        Click(t, 9, 9, button);
        EXPECT_EQ(t.Game.Cubes[a].State, csMoving);
        EXPECT_EQ(t.Game.Cubes[2].State, csIdle);

        t.RunMove();
        EXPECT_EQ(t.Game.Cubes[a].Y, 6);
        EXPECT_TRUE(BoardIsConsistent(t.Game));
    }
}

TEST(Clicks, AnUnreachableCellIgnoresTheClickAndOffTheBoardDropsTheSelection)
{
    RulesGame t;
    const int a = PutCube(t.Game, 1, 1, 1);
    LayOut(t.Game, 1, 2, {"XX"});
    LayOut(t.Game, 2, 1, {"X"});
    Click(t, 1, 1);
    Click(t, 5, 5); // walled in: the dot shows the cell cannot be reached
    EXPECT_EQ(t.Game.PathLength, 1);
    EXPECT_EQ(t.Game.Path[0].DotKind, 3);
    EXPECT_EQ(t.Game.Selected, a);
    EXPECT_TRUE(t.Host.SelectedLoop);

    Point(t, 7, 7);
    t.Game.MouseDown(Left);
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_FALSE(t.Host.SelectedLoop);
}

TEST(Clicks, TheRightButtonLetsGoOrTakesAnotherCubeUnderTheCursor)
{
    RulesGame t;
    const int a = PutCube(t.Game, 1, 1, 1);
    const int b = PutCube(t.Game, 2, 5, 5);
    Click(t, 1, 1);
    Click(t, 3, 3, Right); // a path was shown: no move, just let go
    EXPECT_EQ(t.Game.Cubes[a].State, csIdle);
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_EQ(t.Game.PathLength, 0);

    Click(t, 1, 1);
    PointAt(t, 4, 1);
    Click(t, 1, 1, Right); // on the held cube: let go, the hum and the path dots go too
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_EQ(t.Game.Cubes[a].State, csIdle);
    EXPECT_EQ(t.Game.PathLength, 0);
    EXPECT_FALSE(t.Host.SelectedLoop);
    Click(t, 1, 1);
    Click(t, 5, 5, Right);
    EXPECT_EQ(t.Game.Selected, b);
    EXPECT_EQ(t.Game.Cubes[a].State, csIdle);
}

TEST(Clicks, NothingHappensOutsidePlayOrWhileTheBoardIsBusy)
{
    RulesGame t;
    PutCube(t.Game, 1, 1, 1);
    t.Game.EndPhase = epPaused;
    Click(t, 1, 1);
    EXPECT_EQ(t.Game.Selected, 0);

    t.Game.EndPhase = epPlaying;
    t.Game.BoardQuiet = false; // cubes are growing
    Click(t, 1, 1);
    EXPECT_EQ(t.Game.Selected, 0);
    t.Game.BoardQuiet = true;
    Click(t, 1, 1);
    EXPECT_EQ(t.Game.Selected, 1);
    PointAt(t, 3, 1);
    t.Game.BoardQuiet = false;
    PointAt(t, 6, 1); // the path stays as it was
    EXPECT_EQ(t.Game.PathLength, 2);
}

TEST(Clicks, DeselectReportsTheFormerSelection)
{
    RulesGame t;
    LayOut(t.Game, 1, 1, {"123"});
    Click(t, 3, 1);
    PointAt(t, 3, 5);
    EXPECT_EQ(t.Game.Deselect(), 3);
    EXPECT_EQ(t.Game.PathLength, 0);
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_EQ(t.Game.Deselect(), 0);
}

TEST(Shot, ClickingTheShotCubeAimsAndTheRightButtonPutsItBack)
{
    RulesGame t;
    const int shot = PutCube(t.Game, ckShot, 3, 3);
    PutCube(t.Game, 2, 5, 5);
    Click(t, 3, 3);
    EXPECT_EQ(t.Game.Selected, 0);
    EXPECT_EQ(t.Game.Cubes[shot].State, csVanishing);
    EXPECT_EQ(t.Host.CursorIndex, 3);
    EXPECT_EQ(t.Game.ShotCell, (TCell{3, 3}));
    EXPECT_FALSE(t.Host.SelectedLoop); // the shot cube has no hover loop

    // While the shot cube vanishes no press counts.
    t.Game.MouseDown(Right);
    EXPECT_EQ(t.Host.CursorIndex, 3);
    EXPECT_EQ(t.Game.CubeCount, 2);

    t.FinishVanishing();
    t.Game.BoardQuiet = true;
    t.Game.MouseDown(Right);
    EXPECT_EQ(t.Host.CursorIndex, 2);
    const int back = t.CubeAt(3, 3);
    ASSERT_NE(back, 0);
    EXPECT_EQ(t.Game.Cubes[back].Kind, ckShot);
    EXPECT_EQ(t.Game.Cubes[back].State, csIdle);
    EXPECT_TRUE(BoardIsConsistent(t.Game));
}

TEST(Shot, ALeftPressOnASpinningColouredCubeShootsItsColour)
{
    RulesGame t;
    PutCube(t.Game, ckShot, 3, 3);
    const int a = PutCube(t.Game, 2, 5, 5);
    const int b = PutCube(t.Game, 2, 7, 7);
    const int other = PutCube(t.Game, 3, 8, 8);
    const int joker = PutCube(t.Game, ckJoker, 9, 9);
    const int waiting = PutCube(t.Game, 2, 1, 9, csWaiting);
    Click(t, 3, 3);
    t.FinishVanishing();

    // A joker under the cursor, or an empty cell, or the middle button: still aiming.
    PointAt(t, 9, 9);
    t.Game.SetState(joker - 1, csSpin);
    t.Game.MouseDown(Left);
    t.Game.MouseDown(Middle);
    EXPECT_EQ(t.Host.CursorIndex, 3);
    EXPECT_EQ(t.CountState(csVanishing), 0);
    t.Game.SetState(joker - 1, csIdle);

    PointAt(t, 5, 5);
    t.Game.SetState(a - 1, csSpin); // the cube under the cursor spins
    t.Host.Forget();
    t.Game.MouseDown(Left);
    EXPECT_EQ(t.Host.CursorIndex, 2);
    EXPECT_EQ(t.Game.Cubes[a - 1].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[b - 1].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[other - 1].State, csIdle);
    EXPECT_EQ(t.Game.Cubes[waiting - 1].State, csWaiting);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 30);
    EXPECT_EQ(t.Host.Count(snShot), 1);
}
