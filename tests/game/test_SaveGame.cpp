// Saved games: the file a player leaves behind, and what comes back from it.
#include "base/AtomicFile.h"
#include "base/DataError.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>

#include <sstream>
#include <vector>

namespace
{
// Everything of a file but its date line.
std::string Body(const std::string& text)
{
    return text.substr(text.find('\n') + 1);
}

class SaveGameTest : public ::testing::Test
{
protected:
    SaveGameTest() : T(ShippedDataFolder(), User.Path() / "data")
    {
        TGameSetup& g = T.Game;
        // A small level table of our own, so the saves do not depend on the shipped levels.
        g.LevelCount = MaxLevels;
        TLevel level = HandMadeLevel(5, 0, 0);
        level.Colours[2] = 6;
        level.FigureMax = 2;
        SetLevels(g, 1, MaxLevels, level,
                  [](int l, TLevel& v)
                  {
                      v.Target = {0, 1000.0 + l, 2000.0 + l};
                      v.Stones = {0, 10 + l, 20 + l};
                      v.LevelKind = l % 5 == 4 ? lkFlyBy : (l % 5 == 0 ? lkBonus : lkNormal);
                  });
        g.FigureCount = 2;
        SetFigure(g, 1, {"12"}, 100);
        SetFigure(g, 2, {"12"}, 100);
        g.ClearBoard();
    }

    // Puts a cube of the given kind and state on (x, y), keeping the board's books true.
    void Put(uint8_t kind, uint8_t x, uint8_t y, uint8_t state)
    {
        TGameSetup& g = T.Game;
        const int n = ++g.CubeCount;
        TCube& c = g.Cubes[n];
        c = TCube{};
        c.Kind = kind;
        c.X = x;
        c.Y = y;
        c.State = csWaiting;
        ++g.StateCounts[StateSlot(csWaiting)];
        g.SetState(n, state);
        for (int j = 1; j <= g.FreeCount; ++j)
        {
            if (g.FreeCells[j] == TCell{x, y})
            {
                g.DropFreeCell(j);
                break;
            }
        }
        g.Cells[x][y].Occupancy = state == csWaiting ? coReserved : coOccupied;
        g.Cells[x][y].Cube = static_cast<uint8_t>(n);
    }

    std::filesystem::path Save1() const { return T.Game.SaveFile(gmNormal); }
    std::filesystem::path Save2() const { return T.Game.SaveFile(gmTimed); }

    TempFolder User;
    TestGame T;
};

TEST_F(SaveGameTest, SlotsLiveInTheUserFolderOnePerMode)
{
    EXPECT_EQ(Save1(), User.Path() / "data" / "Save1.dat");
    EXPECT_EQ(Save2(), User.Path() / "data" / "Save2.dat");
}

TEST_F(SaveGameTest, WritesTheExactLinesOfAKnownBoard)
{
    TGameSetup& g = T.Game;
    g.Mode = gmNormal;
    g.Level = 3;
    g.Levels[3].Stones[1] = 2;
    g.Levels[3].Progress = 0;
    g.Score = 1500;
    g.Figure = 2;
    Put(1, 1, 1, csWaiting);
    Put(ckStone, 9, 9, csIdle);
    Put(ckJoker, 5, 4, csSelected);
    Put(ckPaint7, 2, 8, csGrowing);
    Put(7, 3, 3, csVanishing);
    g.Selected = 3;

    g.SaveGame(); // the folder does not exist yet: it is made

    const std::string text = ReadFile(Save1());
    ASSERT_FALSE(text.empty());
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 8u + 4 * 5 + 3);
    EXPECT_FALSE(lines[0].empty()); // the date of saving
    EXPECT_EQ(Body(text), "1\n"
                          "3\n"
                          "2\n"
                          " 0.00000000000000E+0000\n"
                          " 1.50000000000000E+0003\n"
                          "2\n"
                          "5\n"
                          "0\n0\n1\n1\n"   // waiting kind 1
                          "1\n17\n9\n9\n"  // stone
                          "1\n7\n5\n4\n"   // joker
                          "1\n16\n2\n8\n"  // paint cube of colour 7
                          "1\n6\n3\n3\n"   // colour 7, vanishing
                          "0\n"           // the deal's seed
                          "0\n"           // no move to take back
                          "0\n");         // the figure's colours as the file gives them
    EXPECT_FALSE(std::filesystem::exists(Save2()));
    EXPECT_FALSE(std::filesystem::exists(TemporaryFileFor(Save1())));
}

TEST_F(SaveGameTest, RealsKeepTheirSignExponentAndFifteenDigits)
{
    TGameSetup& g = T.Game;
    g.Mode = gmTimed;
    g.Level = 1;
    const std::pair<double, const char*> cases[] = {
        {-12.25, "-1.22500000000000E+0001"},
        {0.5, " 5.00000000000000E-0001"},
        {123456789.123456789, " 1.23456789123457E+0008"},
        {9.999999999999999, " 1.00000000000000E+0001"},
        {1e-300, " 1.00000000000000E-0300"},
    };
    for (const auto& [value, text] : cases)
    {
        g.Levels[1].Progress = value;
        g.Score = -value;
        g.SaveGame();
        const std::vector<std::string> lines = Lines(ReadFile(Save2()));
        ASSERT_GE(lines.size(), 8u);
        EXPECT_EQ(lines[4], text) << value;
        EXPECT_EQ(lines[4].size(), 23u);
        // The score line carries the opposite sign in the same field.
        std::string negated = text;
        negated[0] = text[0] == '-' ? ' ' : '-';
        EXPECT_EQ(lines[5], negated) << value;
    }
}

TEST_F(SaveGameTest, RoundTripRestoresTheGameWithGrownCubesGrowingAgain)
{
    TGameSetup& g = T.Game;
    g.Mode = gmTimed;
    g.Level = 37;
    g.Levels[37].Stones[2] = 3;
    g.Levels[37].Progress = 1234.5678;
    g.Score = 98765.4321;
    g.Combo = 4;
    g.PathLength = 5;
    struct Want
    {
        uint8_t Kind, X, Y, State;
    };
    const std::vector<Want> cubes = {
        {1, 1, 1, csWaiting},   {ckStone, 9, 9, csIdle},  {ckJoker, 5, 5, csSelected},
        {ckBomb, 1, 9, csIdle}, {ckShot, 9, 1, csSpin},   {ckPaint1, 4, 6, csTurn},
        {ckPaint7, 6, 4, csIdle}, {7, 2, 3, csGrowing},   {3, 3, 2, csWaiting},
        {4, 7, 7, csVanishing},
    };
    for (const Want& w : cubes)
    {
        Put(w.Kind, w.X, w.Y, w.State);
    }
    g.Selected = 3;
    g.SaveGame();
    const std::string saved = ReadFile(Save2());

    // Start over in the other mode, as the menu does before it offers the resume.
    g.Mode = gmNormal;
    g.Level = 1;
    g.Score = 0;
    g.Levels[37].Stones[2] = 99;
    g.Levels[37].Progress = 0;
    g.ClearBoard();
    g.LoadGame(gmTimed);

    EXPECT_EQ(g.Mode, gmTimed);
    EXPECT_EQ(g.Level, 37);
    EXPECT_EQ(g.Levels[37].Stones[2], 3);
    EXPECT_EQ(g.Levels[37].Stones[1], 10 + 37); // the other mode's count is not in the file
    EXPECT_EQ(g.Levels[36].Stones[2], 20 + 36); // nor are other levels
    EXPECT_DOUBLE_EQ(g.Levels[37].Progress, 1234.5678);
    EXPECT_DOUBLE_EQ(g.Score, 98765.4321);
    EXPECT_EQ(g.Selected, 0);
    EXPECT_EQ(g.Combo, 0);
    EXPECT_EQ(g.PathLength, 0);
    EXPECT_EQ(g.LevelTime, 0);
    EXPECT_GE(g.Figure, 1);
    EXPECT_LE(g.Figure, 2);
    EXPECT_DOUBLE_EQ(g.Display.Fraction, 1234.5678 / g.Levels[37].Target[2]);

    ASSERT_EQ(g.CubeCount, static_cast<int>(cubes.size()));
    EXPECT_EQ(g.FreeCount, CellCount - static_cast<int>(cubes.size()));
    int waiting = 0;
    for (int i = 1; i <= g.CubeCount; ++i)
    {
        const Want& w = cubes[i - 1];
        const TCube& c = g.Cubes[i];
        SCOPED_TRACE("cube " + std::to_string(i));
        EXPECT_EQ(c.Kind, w.Kind);
        EXPECT_EQ(c.X, w.X);
        EXPECT_EQ(c.Y, w.Y);
        const uint8_t state = w.State == csWaiting ? csWaiting : csGrowing;
        waiting += state == csWaiting;
        EXPECT_EQ(c.State, state);
        EXPECT_EQ(g.Cells[w.X][w.Y].Cube, i);
        EXPECT_EQ(g.Cells[w.X][w.Y].Occupancy, state == csWaiting ? coReserved : coOccupied);
        EXPECT_FLOAT_EQ(c.Position.x, w.X - 5.0f);
        EXPECT_FLOAT_EQ(c.Position.y, w.Y - 5.0f);
        EXPECT_FLOAT_EQ(c.Position.z, 0.15f);
        EXPECT_FLOAT_EQ(c.Scale.x, 0.3f);
        EXPECT_EQ(c.Anim, 0);
    }
    EXPECT_EQ(g.StateCounts[StateSlot(csWaiting)], waiting);
    EXPECT_EQ(g.StateCounts[StateSlot(csGrowing)], g.CubeCount - waiting);
    EXPECT_EQ(g.PrevStateCounts, g.StateCounts);
    // Every free cell is listed once and holds no cube.
    for (int j = 1; j <= g.FreeCount; ++j)
    {
        const TCell c = g.FreeCells[j];
        EXPECT_EQ(g.Cells[c.X][c.Y].Occupancy, coEmpty);
        for (int k = j + 1; k <= g.FreeCount; ++k)
        {
            EXPECT_FALSE(g.FreeCells[k] == c);
        }
    }

    // Saved again, the file says the same (the figure on offer was chosen afresh, a draw of
    // the deal, whose seed is the last line but one).
    g.Figure = std::stoi(Lines(saved)[6]);
    g.Deal = TRandom(static_cast<uint32_t>(std::stoul(Lines(saved).end()[-2])));
    g.SaveGame();
    EXPECT_EQ(Body(ReadFile(Save2())), Body(saved));
}

// The desktop's locale (a decimal comma here) reaches the C library when the launcher
// starts; the files must not notice.
class GermanLocale
{
public:
    GermanLocale() : Before(std::setlocale(LC_ALL, nullptr))
    {
        Active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~GermanLocale() { std::setlocale(LC_ALL, Before.c_str()); }
    bool Active = false;

private:
    std::string Before;
};

TEST_F(SaveGameTest, AGermanDesktopWritesAndResumesTheSameFile)
{
    TGameSetup& g = T.Game;
    g.Mode = gmNormal;
    g.Level = 23;
    g.Levels[23].Stones[1] = 4;
    g.Levels[23].Progress = 812.625;
    g.Score = 15234.75;
    Put(3, 2, 7, csIdle);
    Put(ckBomb, 8, 1, csWaiting);
    g.SaveGame();
    const std::string plain = ReadFile(Save1());
    {
        const GermanLocale german; // installed by tools/install-deps
        ASSERT_TRUE(german.Active) << "the de_DE.UTF-8 locale is missing";
        g.SaveGame();
        const std::string text = ReadFile(Save1());
        EXPECT_EQ(Body(text), Body(plain));
        EXPECT_EQ(Lines(text)[5], " 1.52347500000000E+0004");

        g.Score = 0;
        g.Level = 1;
        g.ClearBoard();
        g.LoadGame(gmNormal);
        EXPECT_EQ(g.Level, 23);
        EXPECT_DOUBLE_EQ(g.Score, 15234.75);
        EXPECT_DOUBLE_EQ(g.Levels[23].Progress, 812.625);
        EXPECT_EQ(g.CubeCount, 2);
    }

    // A save written by a build that followed the locale has decimal commas: it resumes.
    std::string comma = Body(plain);
    for (char& c : comma)
    {
        c = c == '.' ? ',' : c;
    }
    User.Write("data/Save1.dat", "07.12.2026 09:00:00\n" + comma);
    g.ClearBoard();
    g.LoadGame(gmNormal);
    EXPECT_EQ(g.Level, 23);
    EXPECT_DOUBLE_EQ(g.Score, 15234.75);
    EXPECT_DOUBLE_EQ(g.Levels[23].Progress, 812.625);
    ASSERT_EQ(g.CubeCount, 2);
    EXPECT_EQ(g.Cubes[2].Kind, ckBomb);
}

TEST_F(SaveGameTest, AnEmptyBoardIsElevenLinesAndLoadsEmptyWithThePointsStillCounted)
{
    TGameSetup& g = T.Game;
    g.Mode = gmNormal;
    g.Level = 12;
    g.Score = 700;
    g.PendingScore = 77; // the last move's points, still being counted in
    g.Levels[12].Progress = 173;
    g.SaveGame();
    EXPECT_EQ(Lines(ReadFile(Save1())).size(), 11u); // the deal, no undo, the figure's colour shift

    g.Level = 1;
    g.Score = 0;
    Put(2, 4, 4, csIdle);
    g.LoadGame(gmNormal);
    EXPECT_EQ(g.Level, 12);
    EXPECT_DOUBLE_EQ(g.Score, 777);
    EXPECT_DOUBLE_EQ(g.Levels[12].Progress, 250);
    EXPECT_DOUBLE_EQ(g.PendingScore, 0);
    EXPECT_EQ(g.CubeCount, 0);
    EXPECT_EQ(g.FreeCount, CellCount);
    EXPECT_EQ(g.Cells[4][4].Occupancy, coEmpty);
}

TEST_F(SaveGameTest, EachModeWritesAndReadsOnlyItsOwnSlot)
{
    TGameSetup& g = T.Game;
    g.Mode = gmTimed;
    g.Level = 8;
    g.SaveGame();
    EXPECT_TRUE(std::filesystem::exists(Save2()));
    EXPECT_FALSE(std::filesystem::exists(Save1()));

    // No file for mode 1: a cleared board at level 1 of mode 1, and the mode 2 save stays.
    Put(3, 2, 2, csIdle);
    g.LoadGame(gmNormal);
    EXPECT_EQ(g.Mode, gmNormal);
    EXPECT_EQ(g.Level, 1);
    EXPECT_EQ(g.CubeCount, 0);
    EXPECT_EQ(g.FreeCount, CellCount);
    EXPECT_TRUE(std::filesystem::exists(Save2()));

    g.LoadGame(gmTimed);
    EXPECT_EQ(g.Level, 8);
    EXPECT_TRUE(std::filesystem::exists(Save2())); // resuming does not remove the save
}

TEST_F(SaveGameTest, DamagedFilesAreRefusedAndLeftAlone)
{
    const std::string head = "Mon 07 Dec 2026 08:00\n";
    const std::string good = "1\n7\n4\n 5.0E+0002\n 9.0E+0003\n1\n";
    struct Case
    {
        const char* Name;
        std::string Text;
        int Line;
        const char* Problem;
    };
    const std::vector<Case> cases = {
        {"cell named twice", head + good + "2\n1\n1\n2\n3\n0\n4\n2\n3\n", 16, "already taken"},
        {"X below the board", head + good + "1\n0\n4\n0\n5\n", 11, "cube 1 X 0"},
        {"Y beyond the board", head + good + "1\n0\n4\n9\n10\n", 12, "cube 1 Y 10"},
        {"too many cubes", head + good + "82\n", 8, "cube count 82"},
        {"negative cube count", head + good + "-1\n", 8, "cube count -1"},
        {"level 0", head + "1\n0\n", 3, "level 0"},
        {"level 101", head + "1\n101\n", 3, "level 101"},
        {"mode 3", head + "3\n7\n", 2, "game mode 3"},
        {"mode 0", head + "0\n7\n", 2, "game mode 0"},
        {"negative stones", head + "1\n7\n-4\n", 4, "stone count -4"},
        {"a billion stones", head + "1\n7\n1000000000\n", 4, "stone count 1000000000 is outside 0..81"},
        {"score beyond any game", head + "1\n7\n4\n 5.0E+0002\n 1.0E+0300\n", 6, "score 1e+300"},
        {"save of newlines beyond any save's size", std::string(2 << 20, '\n'), 0, "bytes long"},
        {"malformed whole number", head + "1\n7\n4\n 5.0E+0002\n 9.0E+0003\nx1\n", 7, "'x1'"},
        {"malformed real", head + "1\n7\n4\n 5.0E+00O2\n", 5, "'5.0E+00O2'"},
        {"malformed kind", head + good + "1\n1\n1.5\n4\n4\n", 10, "'1.5'"},
        {"file ends inside a cube", head + good + "2\n1\n0\n4\n4\n1\n1\n", 15, "cube 2 X"},
        {"file ends before the cubes", head + good + "1\n\n\n", 11, "cube 1 state"},
        {"only a date", head, 2, "game mode"},
        {"empty file", "", 1, "game mode"},
        // What files since the undo add after the cubes.
        {"deal seed beyond 32 bits", head + good + "0\n4294967296\n", 9, "deal seed 4294967296"},
        {"undo flag 2", head + good + "0\n5\n2\n", 10, "undo flag 2 is outside 0..1"},
        {"file ends inside the undo point", head + good + "0\n5\n1\n7\n", 12, "undo stone count"},
        {"undo cell named twice",
         head + good + "0\n5\n1\n7\n3\n 1.0E+0002\n 5.0E+0002\n0\n1\n0\n2\n1\n1\n2\n3\n0\n4\n2\n3\n", 26,
         "cell (2, 3) of undo cube 2 is already taken by undo cube 1"},
        {"figure colours beyond any level's", head + good + "0\n5\n0\n9\n", 11, "figure colour shift 9"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.Name);
        TGameSetup& g = T.Game;
        g.ClearBoard();
        g.Mode = gmNormal;
        g.Level = 9;
        g.Score = 4321;
        g.Levels[7].Stones[1] = 55;
        g.Levels[7].Progress = 66;
        Put(1, 5, 5, csIdle);
        const auto file = User.Write("data/Save1.dat", c.Text);

        try
        {
            (void)g.ReadSavedGame(gmNormal); // what the offer to resume reads first
            ADD_FAILURE() << "read for the offer";
        }
        catch (const TDataError& e)
        {
            EXPECT_EQ(e.Line, c.Line) << e.what();
        }
        try
        {
            g.LoadGame(gmNormal);
            ADD_FAILURE() << "accepted";
        }
        catch (const TDataError& e)
        {
            EXPECT_EQ(e.File, file);
            EXPECT_EQ(e.Line, c.Line);
            EXPECT_NE(e.Problem.find(c.Problem), std::string::npos) << e.what();
        }
        EXPECT_EQ(g.Mode, gmNormal);
        EXPECT_EQ(g.Level, 1);
        EXPECT_EQ(g.CubeCount, 0);
        EXPECT_EQ(g.FreeCount, CellCount);
        EXPECT_EQ(g.Cells[5][5].Occupancy, coEmpty);
        EXPECT_EQ(g.Levels[7].Stones[1], 55);
        EXPECT_DOUBLE_EQ(g.Levels[7].Progress, 66);
        EXPECT_EQ(ReadFile(file), c.Text);
    }
}

TEST_F(SaveGameTest, TheFigureBeingBuiltComesBackAndTheOfferReadsLevelScoreAndTime)
{
    TGameSetup& g = T.Game;
    g.Mode = gmNormal;
    g.Level = 12;
    g.Score = 4500;
    const auto shown = [&]
    {
        std::vector<int> figure{g.Figure};
        for (const TBonusCube& cell : g.Figures[g.Figure].Cells)
        {
            figure.push_back(cell.ShownColour);
        }
        return figure;
    };
    // Saved with several figures and colourings of the level's choice: each comes back.
    std::set<std::vector<int>> seen;
    for (int k = 0; k < 12; ++k)
    {
        g.NewFigure(false);
        const auto built = shown();
        seen.insert(built);
        g.SaveGame();
        g.NewFigure(false);
        g.LoadGame(gmNormal);
        EXPECT_EQ(shown(), built);
    }
    EXPECT_GE(seen.size(), 3u) << "the figures saved differ";

    const TSaveSummary saved = g.ReadSavedGame(gmNormal);
    EXPECT_EQ(saved.Mode, gmNormal);
    EXPECT_EQ(saved.Level, 12);
    EXPECT_DOUBLE_EQ(saved.Score, 4500);
    EXPECT_EQ(saved.Written, std::filesystem::last_write_time(Save1()));

    // A file of an older version, without the figure's colours, gets a figure of the level.
    std::string text = ReadFile(Save1());
    text.erase(text.rfind('\n', text.size() - 2) + 1);
    User.Write("data/Save1.dat", text);
    g.LoadGame(gmNormal);
    EXPECT_GE(g.Figure, g.Levels[12].FigureMin);
    EXPECT_LE(g.Figure, g.Levels[12].FigureMax);
}

TEST_F(SaveGameTest, AKindCodeOutsideTheTableComesBackAsKindOne)
{
    User.Write("data/Save1.dat", "x\n1\n2\n0\n0\n0\n1\n3\n"
                                 "1\n18\n1\n1\n"
                                 "0\n-3\n2\n2\n"
                                 "1\n0\n3\n3\n");
    T.Game.LoadGame(gmNormal);
    ASSERT_EQ(T.Game.CubeCount, 3);
    EXPECT_EQ(T.Game.Cubes[1].Kind, 1);
    EXPECT_EQ(T.Game.Cubes[2].Kind, 1);
    EXPECT_EQ(T.Game.Cubes[3].Kind, 1);
    EXPECT_EQ(T.Game.Cubes[2].State, csWaiting);
}

TEST_F(SaveGameTest, AFailedWriteLeavesTheOldSaveIntact)
{
    TGameSetup& g = T.Game;
    g.Mode = gmNormal;
    g.Level = 6;
    g.SaveGame();
    const std::string before = ReadFile(Save1());

    // Something stands where the new file is written first.
    std::filesystem::create_directory(TemporaryFileFor(Save1()));
    g.Level = 7;
    EXPECT_THROW(g.SaveGame(), TDataError);
    EXPECT_EQ(ReadFile(Save1()), before);
    std::filesystem::remove(TemporaryFileFor(Save1()));

    // The user folder is a file: nothing can be saved, and the error names the save.
    TempFolder other;
    const auto blocker = other.Write("tandrel", "not a folder");
    TestGame t2(ShippedDataFolder(), blocker / "data");
    t2.Game.Levels = g.Levels;
    t2.Game.Level = 6;
    try
    {
        t2.Game.SaveGame();
        ADD_FAILURE() << "saved into a file";
    }
    catch (const TDataError& e)
    {
        EXPECT_EQ(e.File, blocker / "data" / "Save1.dat");
    }
    EXPECT_EQ(ReadFile(blocker), "not a folder");

    // And the good save still loads.
    g.LoadGame(gmNormal);
    EXPECT_EQ(g.Level, 6);
}
} // namespace
