// Reading Levels.dat and BonusFigures.dat: values, derived points, the stretch to 100
// levels, figure preview placement, and every way a file can be refused.
#include "base/DataError.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

namespace
{
// The 16 values of one level in file order, as text lines (a comment may follow).
struct LevelLines
{
    std::vector<std::string> v = {"1 darkness", "4", "5", "3", "2", "1", "2",
                                  "500.5 target", "400", "0.01", "9", "0", "1",
                                  "1 bombs", "0 shots", "1 paints"};
};

std::string LevelFile(int n, const std::function<void(int, LevelLines&)>& edit = {})
{
    std::ostringstream s;
    s << n << " levels\n";
    for (int l = 1; l <= n; ++l)
    {
        LevelLines lines;
        lines.v[1] = std::to_string(l % 7 + 1);      // colours, mode 1
        lines.v[3] = std::to_string(l % 9 + 1);      // new cubes, mode 1
        lines.v[7] = std::to_string(100 * l) + ".0"; // target, mode 1
        if (edit)
        {
            edit(l, lines);
        }
        s << "--- level " << l << " ---\n";
        for (const auto& line : lines.v)
        {
            s << line << "\n";
        }
    }
    return s.str();
}

std::string FigureFile(int m, const std::string& extra = {})
{
    std::ostringstream s;
    s << m << "\n";
    for (int f = 1; f <= m; ++f)
    {
        s << "-- figure\n2\n2\n1\n" << 100 * f << "\n1200\n0000\n0000\n0000\n";
    }
    return s.str() + extra;
}

struct Loaded
{
    explicit Loaded(const std::string& levels, const std::string& figures = FigureFile(30))
    {
        tmp.Write("data/Levels.dat", levels);
        tmp.Write("data/BonusFigures.dat", figures);
    }
    TempFolder tmp;
    TestGame t{tmp.Path() / "data", tmp.Path() / "user"};
    TGameSetup& game() { return t.Game; }
    void Load()
    {
        t.Game.CreateLevels();
        t.Game.CreateBonus();
    }
};

// Runs the loader and returns the error it raised (fails the test if none).
TDataError Refused(const std::string& levels, const std::string& figures = FigureFile(30))
{
    Loaded f(levels, figures);
    try
    {
        f.Load();
    }
    catch (const TDataError& e)
    {
        return e;
    }
    ADD_FAILURE() << "the files were accepted";
    return TDataError("", 0, "");
}
} // namespace

TEST(Levels, ReadsValuesInFileOrderAndDerivesPoints)
{
    Loaded f(LevelFile(50));
    f.Load();
    const TGameSetup& g = f.game();
    EXPECT_EQ(g.LevelCount, 50);
    const TLevel& l1 = g.Levels[1];
    EXPECT_EQ(l1.Darkness, 1);
    EXPECT_EQ(l1.Colours[1], 2);
    EXPECT_EQ(l1.Colours[2], 5);
    EXPECT_EQ(l1.NewCubes[1], 2);
    EXPECT_EQ(l1.NewCubes[2], 2);
    EXPECT_EQ(l1.FigureMin, 1);
    EXPECT_EQ(l1.FigureMax, 2);
    EXPECT_DOUBLE_EQ(l1.Target[1], 100.0);
    EXPECT_DOUBLE_EQ(l1.Target[2], 400.0);
    EXPECT_DOUBLE_EQ(l1.Drain, 0.01);
    EXPECT_EQ(l1.JokerOdds, 9);
    EXPECT_EQ(l1.Stones[1], 0);
    EXPECT_EQ(l1.Stones[2], 1);
    EXPECT_TRUE(l1.AllowBombs);
    EXPECT_FALSE(l1.AllowShots);
    EXPECT_TRUE(l1.AllowPaints);

    for (int l = 1; l <= 4; ++l)
    {
        EXPECT_EQ(g.Levels[l].CubePoints, 15);
        EXPECT_EQ(g.Levels[l].SquarePoints, 40);
        EXPECT_DOUBLE_EQ(g.Levels[l].FigureFactor, 0.0);
        EXPECT_EQ(g.Levels[l].BonusPoints, 300);
        EXPECT_EQ(g.Levels[l].LevelKind, l == 4 ? lkFlyBy : lkNormal);
    }
    const TLevel& l5 = g.Levels[5];
    EXPECT_EQ(l5.LevelKind, lkBonus);
    EXPECT_EQ(l5.CubePoints, 20);
    EXPECT_EQ(l5.SquarePoints, 45);
    EXPECT_DOUBLE_EQ(l5.FigureFactor, 0.2);
    EXPECT_EQ(l5.BonusPoints, 400);
    // A bonus level's normal target is its stones times the cube points; timed keeps the file's.
    EXPECT_DOUBLE_EQ(l5.Target[1], 6.0 * 20); // 5 % 9 + 1 stones
    EXPECT_DOUBLE_EQ(l5.Target[2], 400.0);
    EXPECT_EQ(g.Levels[9].LevelKind, lkFlyBy);
    EXPECT_EQ(g.Levels[50].BonusPoints, 1300);
}

TEST(Levels, FiftyLevelsStretchToAHundredHarderOnes)
{
    Loaded f(LevelFile(50));
    f.Load();
    const TGameSetup& g = f.game();
    const TLevel& l1 = g.Levels[1];
    const TLevel& l51 = g.Levels[51];
    EXPECT_EQ(l51.Colours[1], 7);
    EXPECT_EQ(l51.Colours[2], 7);
    EXPECT_EQ(l51.NewCubes[1], 6);
    EXPECT_EQ(l51.NewCubes[2], 5);
    EXPECT_DOUBLE_EQ(l51.Target[1], 2 * l1.Target[1]);
    EXPECT_DOUBLE_EQ(l51.Target[2], 2 * l1.Target[2]);
    // Everything else, the derived values included, is level 1's.
    EXPECT_EQ(l51.CubePoints, l1.CubePoints);
    EXPECT_EQ(l51.SquarePoints, l1.SquarePoints);
    EXPECT_EQ(l51.LevelKind, lkNormal);
    EXPECT_EQ(l51.JokerOdds, l1.JokerOdds);
    EXPECT_EQ(l51.AllowBombs, l1.AllowBombs);

    const TLevel& l5 = g.Levels[5];
    const TLevel& l55 = g.Levels[55];
    EXPECT_EQ(l55.Colours[1], 7);
    EXPECT_EQ(l55.NewCubes[1], l5.NewCubes[1]);
    EXPECT_DOUBLE_EQ(l55.Target[1], l5.Target[1]);
    EXPECT_EQ(l55.LevelKind, lkBonus);
    EXPECT_EQ(l55.CubePoints, 20); // not derived again from 55

    EXPECT_EQ(g.Levels[61].NewCubes[1], 7);
    EXPECT_EQ(g.Levels[60].NewCubes[1], g.Levels[10].NewCubes[1]); // a bonus level keeps its stones
    EXPECT_EQ(g.Levels[69].NewCubes[2], 6);
    EXPECT_EQ(g.Levels[99].NewCubes[1], 10);
    EXPECT_EQ(g.Levels[100].LevelKind, lkBonus);
    EXPECT_EQ(g.Levels[100].NewCubes[1], g.Levels[50].NewCubes[1]);
}

TEST(Levels, AHundredLevelsAreTakenAsWritten)
{
    Loaded f(LevelFile(100));
    f.Load();
    const TLevel& l51 = f.game().Levels[51];
    EXPECT_EQ(l51.Colours[1], 51 % 7 + 1);
    EXPECT_EQ(l51.NewCubes[1], 51 % 9 + 1);
    EXPECT_DOUBLE_EQ(l51.Target[1], 5100.0);
    EXPECT_EQ(l51.CubePoints, 5 * 10 + 15);
}

TEST(Levels, FlagsCommentsAndBlankLines)
{
    Loaded f(LevelFile(50, [](int l, LevelLines& lines) {
        if (l == 2)
        {
            lines.v[13] = "1 a comment after the flag";
            lines.v[14] = " 1 a blank first is false";
            lines.v[15] = "0";
        }
        if (l == 3)
        {
            lines.v[0] = "12\tdarkness with a tab before the comment";
        }
        if (l == 4)
        {
            lines.v[0] = "\n  \n3"; // blank lines before a number are passed over
        }
    }));
    f.Load();
    const TGameSetup& g = f.game();
    EXPECT_TRUE(g.Levels[2].AllowBombs);
    EXPECT_FALSE(g.Levels[2].AllowShots);
    EXPECT_FALSE(g.Levels[2].AllowPaints);
    EXPECT_EQ(g.Levels[3].Darkness, 12);
    EXPECT_EQ(g.Levels[4].Darkness, 3);
    EXPECT_EQ(g.Levels[4].Colours[1], 4 % 7 + 1);
}

TEST(Levels, WindowsLineEndsReadTheSame)
{
    std::string text = LevelFile(50);
    std::string crlf;
    for (char c : text)
    {
        if (c == '\n')
        {
            crlf += '\r';
        }
        crlf += c;
    }
    Loaded f(crlf);
    f.Load();
    EXPECT_EQ(f.game().LevelCount, 50);
    EXPECT_FALSE(f.game().Levels[1].AllowShots);
    EXPECT_TRUE(f.game().Levels[1].AllowPaints);
}

TEST(Figures, GridDigitsAndPreviewPlacement)
{
    const std::string figures = "2\n-- a\n3\n3\n2\n150.5\n1230\n1289\n0000\n7777 comment\n"
                                "-- b\n1\n2\n1\n10\n1100\n0000\n0000\n0000\n";
    Loaded f(LevelFile(50, [](int, LevelLines& lines) { lines.v[6] = "2"; }), figures);
    f.Load();
    const TGameSetup& g = f.game();
    ASSERT_EQ(g.FigureCount, 2);
    const TBonusFigure& a = g.Figures[1];
    EXPECT_EQ(a.TopColour, 3);
    EXPECT_EQ(a.Width, 3);
    EXPECT_EQ(a.Height, 2);
    EXPECT_DOUBLE_EQ(a.BaseValue, 150.5);
    const int row1[4] = {1, 2, 3, 0};
    const int row2[4] = {1, 2, 0, 0};
    for (int c = 1; c <= 4; ++c)
    {
        EXPECT_EQ(a.At(c, 1).Colour, row1[c - 1]);
        EXPECT_EQ(a.At(c, 1).ShownColour, row1[c - 1]);
        EXPECT_EQ(a.At(c, 2).Colour, row2[c - 1]);
        EXPECT_EQ(a.At(c, 4).Colour, 7);
    }
    // Stored column by column.
    EXPECT_EQ(a.Cells[1].Colour, 1); // (1, 2)
    EXPECT_EQ(a.Cells[4].Colour, 2); // (2, 1)

    const TBonusFigure& b = g.Figures[2];
    const TBonusCube& cell = b.At(1, 1);
    EXPECT_NEAR(cell.Position.x, -7.14f, 1e-5f);
    EXPECT_NEAR(cell.Position.y, -2.09f, 1e-5f);
    EXPECT_NEAR(cell.Position.z, 0.2f, 1e-6f);
    EXPECT_NEAR(b.At(2, 1).Position.x, -6.68f, 1e-5f);
    const TMatrix m = MakeWorldMatrix(cell.Scale, cell.Position, cell.Rotation);
    EXPECT_NEAR(TransformPoint({0, 0, 0}, m).x, -7.14f, 1e-5f);
    EXPECT_NEAR(TransformPoint({1, 0, 0}, m).x, -7.14f + 0.46f, 1e-5f);
}

TEST(DataFiles, EveryBadInputIsRefusedWithFileLineAndProblem)
{
    struct Case
    {
        const char* name;
        std::string levels;
        std::string figures;
        const char* file;
        int line;
        const char* words;
    };
    const auto level = [](int which, int index, const char* text) {
        return LevelFile(50, [=](int l, LevelLines& lines) {
            if (l == which)
            {
                lines.v[index] = text;
            }
        });
    };
    const std::string figs = FigureFile(30);
    std::string cut = LevelFile(50);
    cut.resize(cut.rfind("400\n")); // inside level 50, before its timed target
    // Level L's value k (0-based) sits on line 1 + 17 (L - 1) + 2 + k.
    const auto at = [](int l, int k) { return 1 + 17 * (l - 1) + 2 + k; };
    const std::vector<Case> cases = {
        {"word for a number", level(3, 0, "dark"), figs, "Levels.dat", at(3, 0), "'dark'"},
        {"token with letters attached", level(2, 1, "12colours"), figs, "Levels.dat", at(2, 1), "'12colours'"},
        {"real with junk", level(7, 7, "1.5.2"), figs, "Levels.dat", at(7, 7), "'1.5.2'"},
        {"not a real", level(7, 8, "nan"), figs, "Levels.dat", at(7, 8), "'nan'"},
        {"too few levels", LevelFile(49), figs, "Levels.dat", 1, "49 levels"},
        {"too many levels", LevelFile(101), figs, "Levels.dat", 1, "101 levels"},
        {"no colours", level(4, 1, "0"), figs, "Levels.dat", at(4, 1), "Colours 0"},
        {"eight colours", level(4, 2, "8"), figs, "Levels.dat", at(4, 2), "Colours 8"},
        {"too many new cubes", level(6, 3, "82"), figs, "Levels.dat", at(6, 3), "NewCubes 82"},
        {"figure range from 0", level(8, 5, "0"), figs, "Levels.dat", at(8, 5), "FigureMin 0"},
        {"reversed range", level(8, 5, "3"), figs, "Levels.dat", at(8, 6), "below FigureMin"},
        {"range beyond the figures", level(9, 6, "12"), FigureFile(10), "Levels.dat", at(9, 5) + 1,
         "FigureMax 12 of level 9"},
        {"too many figures", LevelFile(50), FigureFile(31), "BonusFigures.dat", 1, "31 figures"},
        {"no figures", LevelFile(50), "0\n", "BonusFigures.dat", 1, "0 figures"},
        {"width 0", LevelFile(50), "1\n-\n1\n0\n1\n5\n1000\n0000\n0000\n0000\n", "BonusFigures.dat", 4, "Width 0"},
        {"height 5", LevelFile(50), "1\n-\n1\n1\n5\n5\n1000\n0000\n0000\n0000\n", "BonusFigures.dat", 5, "Height 5"},
        {"letter in a grid row", LevelFile(50), "1\n-\n1\n1\n1\n5\n1000\n0x00\n0000\n0000\n", "BonusFigures.dat", 8,
         "'x' is not a valid integer value"},
        {"short grid row", LevelFile(50), "1\n-\n1\n1\n1\n5\n10\n0000\n0000\n0000\n", "BonusFigures.dat", 7, "digits"},
        {"file ends in a grid", LevelFile(50), "1\n-\n1\n1\n1\n5\n1000\n", "BonusFigures.dat", 7, "ends"},
        {"huge number", level(2, 10, "99999999999"), figs, "Levels.dat", at(2, 10), "out of range"},
        // Counts and reals the game could not carry.
        {"negative stones", level(3, 11, "-1"), figs, "Levels.dat", at(3, 11), "Stones -1 is outside 0..81"},
        {"a billion stones", level(3, 12, "1000000000"), figs, "Levels.dat", at(3, 12), "Stones 1000000000"},
        {"bombs filling a bonus board", level(5, 11, "75"), figs, "Levels.dat", at(5, 11), "Bombs 75 is outside 0..74"},
        {"target beyond any score", level(6, 8, "1e300"), figs, "Levels.dat", at(6, 8), "Target 1e+300"},
        {"negative drain", level(6, 9, "-0.5"), figs, "Levels.dat", at(6, 9), "Drain -0.5"},
        {"negative figure value", LevelFile(50), "1\n-\n1\n1\n1\n-5\n1000\n0000\n0000\n0000\n", "BonusFigures.dat",
         6, "BaseValue -5"},
        {"cut inside a level", cut, figs, "Levels.dat", at(50, 7), "the file ends inside level 50"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const TDataError e = Refused(c.levels, c.figures);
        EXPECT_EQ(e.File.filename(), c.file);
        EXPECT_EQ(e.Line, c.line);
        EXPECT_NE(std::string(e.what()).find(c.words), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
    }
}

TEST(DataFiles, MissingFilesAreNamed)
{
    TempFolder tmp;
    TestGame t(tmp.Path() / "data", tmp.Path());
    try
    {
        t.Game.CreateLevels();
        FAIL() << "a missing level file was accepted";
    }
    catch (const TDataError& e)
    {
        EXPECT_EQ(e.File, tmp.Path() / "data" / "Levels.dat");
        EXPECT_NE(std::string(e.what()).find("not found"), std::string::npos);
    }
    EXPECT_THROW(t.Game.CreateBonus(), TDataError);
}
