// Set-up scenes of the snapshot tool: the scene file is read strictly, its board lands on the
// cells the player sees, and its moves are played by the real rules.
#include "base/DataError.h"
#include "game/Invariants.h"
#include "tools/snapshot/SetupScene.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const char* const EmptyBoard = "board\n"
                               ". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
                               ". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n"
                               ". . . . . . . . .\n. . . . . . . . .\n. . . . . . . . .\n";

// A board with the given rows in place of the first ones.
std::string Board(std::initializer_list<const char*> rows)
{
    std::string text = "board\n";
    int n = 0;
    for (const char* row : rows)
    {
        text += std::string(row) + "\n";
        ++n;
    }
    for (; n < BoardSize; ++n)
    {
        text += ".........\n";
    }
    return text;
}

struct TScene
{
    TempFolder Folder;
    std::filesystem::path File;
    NullGameHost Host;
    TRandom Rng{1};
    TGameSetup Game{Host, Rng, ShippedDataFolder(), Folder.Path()};

    explicit TScene(const std::string& text) : File(Folder.Write("scenes.txt", text))
    {
        Game.CreateLevels();
        Game.CreateBonus();
    }

    TSetupScene Build(size_t index = 0)
    {
        const TSetupScene scene = ReadSetupScenes(File).at(index);
        BuildSetupScene(Game, Host, scene, File);
        return scene;
    }

    const TCube& CubeAt(int column, int row) const
    {
        const TCell c = ScreenCell(column, row);
        return Game.Cubes[Game.Cells[c.X][c.Y].Cube];
    }
};

// The problem a bad file is refused with, on which line.
TDataError Refusal(const std::string& text)
{
    TempFolder folder;
    const auto file = folder.Write("scenes.txt", text);
    try
    {
        ReadSetupScenes(file);
    }
    catch (const TDataError& e)
    {
        EXPECT_EQ(file, e.File);
        return e;
    }
    ADD_FAILURE() << "accepted:\n" << text;
    return TDataError(file, -1, "accepted");
}
} // namespace

TEST(SetupScenes, AFileReadsBackWithEverySetting)
{
    TempFolder folder;
    const auto file = folder.Write("scenes.txt", "# pictures\n"
                                                 "scene first-one   # a comment\n"
                                                 "level 5\nmode 2\nseed 77\ncursor off\nclock 5236\n" +
                                                     Board({"R.......J", "r g b y p c w X T"}) +
                                                     "click 1 1\npoint 9 2\nwait 400\nfigure 12 2\n"
                                                     "combo 3\nscore 1500\nprogress 0.25\nlamps 2\n"
                                                     "cells 2 3 7 7\n"
                                                     "scene second\narea 4.75 -4.95 -4.45 -5.72\n");
    const std::vector<TSetupScene> scenes = ReadSetupScenes(file);
    ASSERT_EQ(2u, scenes.size());
    const TSetupScene& a = scenes[0];
    EXPECT_EQ("first-one", a.Name);
    EXPECT_EQ(2, a.Line);
    EXPECT_EQ(5, a.Level);
    EXPECT_EQ(2, a.Mode);
    EXPECT_EQ(77u, a.Seed);
    EXPECT_FALSE(a.Cursor);
    EXPECT_EQ(5236, a.Clock);
    ASSERT_TRUE(a.HasBoard);
    EXPECT_EQ("R.......J", a.Board[0]);
    EXPECT_EQ("rgbypcwXT", a.Board[1]);
    EXPECT_EQ(".........", a.Board[8]);
    ASSERT_EQ(8u, a.Steps.size());
    EXPECT_EQ("click", a.Steps[0].Verb);
    EXPECT_EQ((std::vector<double>{1, 1}), a.Steps[0].Args);
    EXPECT_EQ(18, a.Steps[0].Line);
    EXPECT_EQ("progress", a.Steps[6].Verb);
    EXPECT_EQ(0.25, a.Steps[6].Args[0]);
    // Columns 2..7 and rows 3..7 with a margin of 0.15 cells.
    ASSERT_TRUE(a.Cropped);
    EXPECT_FLOAT_EQ(3.65f, a.Left);
    EXPECT_FLOAT_EQ(2.65f, a.Top);
    EXPECT_FLOAT_EQ(-2.65f, a.Right);
    EXPECT_FLOAT_EQ(-2.65f, a.Bottom);

    const TSetupScene& b = scenes[1];
    EXPECT_EQ(1, b.Level);
    EXPECT_TRUE(b.Cursor);
    EXPECT_FALSE(b.HasBoard);
    EXPECT_FLOAT_EQ(4.75f, b.Left);
    EXPECT_FLOAT_EQ(-4.45f, b.Right);
    EXPECT_FLOAT_EQ(-4.95f, b.Top);
    EXPECT_FLOAT_EQ(-5.72f, b.Bottom);
}

TEST(SetupScenes, BadFilesAreRefusedNamingTheLine)
{
    struct TCase
    {
        std::string Text;
        int Line;
        const char* Problem;
    };
    const std::string board = EmptyBoard;
    for (const TCase& c : {
             TCase{"", 0, "holds no scene"},
             TCase{"# nothing\n", 0, "holds no scene"},
             TCase{"level 3\n", 1, "must start with a scene line"},
             TCase{"scene a\nscene a\n", 2, "already named on line 1"},
             TCase{"scene A\n", 1, "takes only a-z"},
             TCase{"scene a\nlevel 101\n", 2, "outside 1..100"},
             TCase{"scene a\nlevel 2.5\n", 2, "not a whole number"},
             TCase{"scene a\nmode x\n", 2, "'x' is not a number"},
             TCase{"scene a\nclick 0 4\n", 2, "outside 1..9"},
             TCase{"scene a\nclick 4\n", 2, "takes 2 values, not 1"},
             TCase{"scene a\nwait 10 20\n", 2, "takes 1 value, not 2"},
             TCase{"scene a\nfigure 3 7\n", 2, "outside 0..6"},
             TCase{"scene a\nprogress 1.5\n", 2, "outside 0..1"},
             TCase{"scene a\njump 3 3\n", 2, "unknown word 'jump'"},
             TCase{"scene a\ncursor maybe\n", 2, "'on' or 'off'"},
             TCase{"scene a\ncells 5 5 4 6\n", 2, "from the top left cell"},
             TCase{"scene a\narea 1 1 1 2\n", 2, "width and a height"},
             TCase{"scene a\nboard\n.........\n........\n", 4, "9 cells, not 8"},
             TCase{"scene a\nboard\n....Q....\n", 3, "'Q' is not a cell"},
             TCase{"scene a\nboard\n.........\n", 3, "ends after 1 rows"},
             TCase{"scene a\n" + board + board, 12, "has a board already"},
         })
    {
        SCOPED_TRACE(c.Text);
        const TDataError e = Refusal(c.Text);
        EXPECT_EQ(c.Line, e.Line);
        EXPECT_NE(std::string::npos, e.Problem.find(c.Problem)) << e.Problem;
    }
    EXPECT_THROW(ReadSetupScenes("/nonexistent/scenes.txt"), TDataError);
}

TEST(SetupScenes, TheBoardLandsOnTheCellsThePlayerSees)
{
    TScene s("scene a\n" + Board({"R.......J", ".g.....O.", "...X.T...", ".........", ".........",
                                   ".........", ".........", ".........", "1.......7"}));
    s.Build();
    EXPECT_EQ("", CheckInvariants(s.Game));
    EXPECT_EQ(8, s.Game.CubeCount);
    EXPECT_EQ(81 - 8, s.Game.FreeCount);
    // Column 1, row 1 is the top left cell: the far end of the board's x and y, which the
    // back plane shows at the left and the top.
    EXPECT_EQ((TCell{9, 9}), ScreenCell(1, 1));
    EXPECT_EQ((TCell{1, 1}), ScreenCell(9, 9));
    const TCube& red = s.CubeAt(1, 1);
    EXPECT_EQ(1, red.Kind);
    EXPECT_EQ(csIdle, red.State);
    EXPECT_FLOAT_EQ(4.0f, red.Position.x);
    EXPECT_FLOAT_EQ(4.0f, red.Position.y);
    EXPECT_EQ(ckJoker, s.CubeAt(9, 1).Kind);
    EXPECT_EQ(ckStone, s.CubeAt(8, 2).Kind);
    EXPECT_EQ(ckBomb, s.CubeAt(4, 3).Kind);
    EXPECT_EQ(ckShot, s.CubeAt(6, 3).Kind);
    EXPECT_EQ(ckPaint1, s.CubeAt(1, 9).Kind);
    EXPECT_EQ(ckPaint7, s.CubeAt(9, 9).Kind);
    const TCube& small = s.CubeAt(2, 2);
    EXPECT_EQ(2, small.Kind);
    EXPECT_EQ(csWaiting, small.State);
    EXPECT_FLOAT_EQ(0.3f, small.Scale.x);
    const TCell c = ScreenCell(2, 2);
    EXPECT_EQ(coReserved, s.Game.Cells[c.X][c.Y].Occupancy);
    EXPECT_TRUE(s.Game.BoardQuiet);
}

TEST(SetupScenes, MovesArePlayedByTheRules)
{
    // A free way, a walled-in cube, and a square completed.
    {
        TScene s("scene a\n" + Board({"R........"}) + "click 1 1\npoint 3 2\n");
        s.Build();
        EXPECT_EQ(s.Game.Cells[9][9].Cube, s.Game.Selected);
        ASSERT_GT(s.Game.PathLength, 0);
        EXPECT_EQ(2, s.Game.Path[0].DotKind) << "the target is reachable";
        EXPECT_EQ("", CheckInvariants(s.Game));
    }
    {
        TScene s("scene a\n" + Board({".G.......", "GRG......", ".G......."}) + "click 2 2\npoint 6 6\n");
        s.Build();
        ASSERT_GT(s.Game.PathLength, 0);
        EXPECT_EQ(3, s.Game.Path[0].DotKind) << "walled in";
    }
    {
        TScene s("scene a\n" + Board({"YY.......", "Y........", "....Y...."}) + "click 5 3\nclick 2 2\nwait 420\n");
        s.Build();
        EXPECT_EQ(4, s.Game.StateCounts[StateSlot(csVanishing)]);
        EXPECT_GE(s.Game.Labels.LabelCount, 1) << "the points rise from the square";
        EXPECT_EQ("", CheckInvariants(s.Game));
    }
}

TEST(SetupScenes, FigureAndDisplaySettingsReachTheGame)
{
    TScene s("scene a\n" + Board({"R........"}) + "figure 12 2\ncombo 2\nscore 1500\nprogress 0.5\nlamps 2\n");
    s.Build();
    EXPECT_EQ(12, s.Game.Figure);
    const TBonusFigure& f = s.Game.Figures[12];
    for (const TBonusCube& cell : f.Cells)
    {
        EXPECT_EQ(cell.Colour == 0 ? 0 : cell.Colour + 2, cell.ShownColour);
    }
    EXPECT_GT(f.Value, 0);
    EXPECT_EQ(2, s.Game.Combo);
    EXPECT_EQ(1500, s.Game.Score);
    EXPECT_DOUBLE_EQ(0.5, s.Game.Display.Fraction);
    EXPECT_EQ(2, s.Game.Display.LampCount);
}

TEST(SetupScenes, StepsTheRulesCannotFollowNameTheirLine)
{
    {
        TScene s("scene a\n" + Board({"R........"}) + "\nclick 5 5\n");
        try
        {
            s.Build();
            FAIL() << "a click on nothing was taken";
        }
        catch (const TDataError& e)
        {
            EXPECT_EQ(s.File, e.File);
            EXPECT_EQ(13, e.Line);
        }
    }
    {
        TScene s("scene a\nfigure 0 0\n");
        EXPECT_THROW(s.Build(), TDataError);
    }
    {
        // Figure 30 uses all seven colours: no room to move them up.
        TScene s("scene a\nfigure 30 1\n");
        EXPECT_THROW(s.Build(), TDataError);
    }
}

TEST(SetupScenes, TheCropFollowsTheBackPlane)
{
    TSetupScene whole;
    const TPixelRect all = SceneCrop(whole, 2400, 1800);
    EXPECT_EQ(0, all.X);
    EXPECT_EQ(2400, all.Width);
    EXPECT_EQ(1800, all.Height);
    // The whole board, cells 1..9 with their margin: world x 4.65..-4.65, y 4.65..-4.65.
    TSetupScene board;
    board.Cropped = true;
    board.Left = 4.65f;
    board.Top = 4.65f;
    board.Right = -4.65f;
    board.Bottom = -4.65f;
    const TPixelRect b = SceneCrop(board, 1445, 1083);
    EXPECT_NEAR((5.425 - 4.65) / 14.45 * 1445, b.X, 1);
    EXPECT_NEAR(9.3 / 14.45 * 1445, b.Width, 1);
    EXPECT_NEAR((5.16875 - 4.65) / 10.8375 * 1083, b.Y, 1);
    EXPECT_NEAR(9.3 / 10.8375 * 1083, b.Height, 1);
    // Never outside the frame.
    board.Left = 20;
    board.Bottom = -20;
    const TPixelRect c = SceneCrop(board, 640, 480);
    EXPECT_EQ(0, c.X);
    EXPECT_EQ(480, c.Y + c.Height);
}
