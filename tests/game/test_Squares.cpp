#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

namespace
{
// Lays out a 2 x 2 square at (1, 1) missing its upper right cube and moves a cube of the
// colour from (9, 9) into the gap; then the check at the end of the move runs.
void ScoreSquareByMove(RulesGame& t, int colour = 1)
{
    LayOut(t.Game, 1, 1, {std::string(2, char('0' + colour)), std::string(1, char('0' + colour))});
    const int m = PutCube(t.Game, colour, 9, 9);
    ASSERT_TRUE(t.Move(m, 2, 2));
    t.Game.CheckSquares();
    t.Settle();
    t.FinishVanishing();
}

// A move that scores nothing: a lone cube steps aside and back.
void MoveWithoutScore(RulesGame& t)
{
    const int m = PutCube(t.Game, 3, 5, 9);
    ASSERT_TRUE(t.Move(m, 6, 9));
    t.Game.CheckSquares();
    t.Settle();
    t.Game.SetState(t.CubeAt(6, 9), csRemoved);
    t.FinishVanishing();
}

// Squares found on a board laid out at (1, 1), with no bonus figure to find.
int SquaresFound(const std::vector<std::string>& rows)
{
    RulesGame t;
    t.Game.Figure = 0;
    LayOut(t.Game, 1, 1, rows);
    t.Game.CheckSquares();
    return t.Game.PendingScore == 0 ? 0 : static_cast<int>(t.Game.PendingScore) / 40;
}
// Where a label the rules put at `rule` is drawn: board labels are kept inside the board
// (test_Labels.cpp), and the squares here lie on its edge.
TVector3 KeptOnBoard(const TVector3& rule, int font, int colour, const char* text, int size)
{
    TScoreLabels labels;
    labels.AddBoardLabel(rule, font, colour, text, size);
    return labels.Labels[1].Position;
}
} // namespace

TEST(Squares, OneSquareScoresItsPointsWithALabelAndASound)
{
    RulesGame t;
    ScoreSquareByMove(t);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 40);
    EXPECT_EQ(t.Game.Combo, 1);
    EXPECT_EQ(t.Game.CubeCount, 0);
    EXPECT_EQ(t.Host.Count(snFigureDone), 1);
    EXPECT_FALSE(t.Game.NoScoreMove);
    ASSERT_EQ(LabelTexts(t.Game), std::vector<std::string>{"40"});
    const TScoreLabel& l = t.Game.Labels.Labels[1];
    EXPECT_EQ(l.Position, KeptOnBoard({-5, -4, 0}, 2, 2, "40", 14)); // the rules' (1 - 6, 1 - 5)
    EXPECT_EQ(l.Font, 2);
    EXPECT_EQ(l.Colour, 2);
    EXPECT_EQ(l.Size, 14);
}

TEST(Squares, OverlappingSquaresAllCount)
{
    EXPECT_EQ(SquaresFound({"11", "11"}), 1);
    EXPECT_EQ(SquaresFound({"11", "11", "11"}), 2);
    EXPECT_EQ(SquaresFound({"111", "111", "111"}), 4);
    EXPECT_EQ(SquaresFound({"1111", "1111"}), 3);
    EXPECT_EQ(SquaresFound({"11", "12"}), 0);
    EXPECT_EQ(SquaresFound({"11.", ".11"}), 0);

    // A 3 x 3 block completed by one move: four squares in one label.
    RulesGame t;
    LayOut(t.Game, 1, 1, {"111", "111", "11"});
    const int m = PutCube(t.Game, 1, 9, 9);
    ASSERT_TRUE(t.Move(m, 3, 3));
    t.Game.CheckSquares();
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 4 * 40);
    EXPECT_EQ(LabelTexts(t.Game), std::vector<std::string>{"160"});
    EXPECT_EQ(t.CountState(csVanishing), 9);
}

TEST(Squares, JokersMatchAnyColourAndFourJokersCount)
{
    EXPECT_EQ(SquaresFound({"1J", "11"}), 1);
    EXPECT_EQ(SquaresFound({"J1", "1J"}), 1);
    EXPECT_EQ(SquaresFound({"JJ", "JJ"}), 1);
    EXPECT_EQ(SquaresFound({"JJ", "J3"}), 1);  // the colour comes from the far corner
    EXPECT_EQ(SquaresFound({"JJ", "22"}), 1);  // or from the cube above the first
    EXPECT_EQ(SquaresFound({"JJ", "23"}), 0);
    EXPECT_EQ(SquaresFound({"J1", "2J"}), 0);
}

TEST(Squares, SpecialCubesNeverCountEvenAmongJokers)
{
    for (char special : {'B', 'S', 'P', 'X'})
    {
        for (int at = 0; at < 4; ++at)
        {
            std::string cells = "JJJJ";
            cells[at] = special;
            EXPECT_EQ(SquaresFound({cells.substr(0, 2), cells.substr(2, 2)}), 0)
                << special << " at " << at;
            std::string coloured = "1111";
            coloured[at] = special;
            EXPECT_EQ(SquaresFound({coloured.substr(0, 2), coloured.substr(2, 2)}), 0);
        }
    }
}

TEST(Squares, OnlyTheFarCornerAlreadyVanishingStopsASquare)
{
    RulesGame far;
    LayOut(far.Game, 1, 1, {"11", "11"});
    far.Game.SetState(far.CubeAt(2, 2), csVanishing);
    far.Game.CheckSquares();
    EXPECT_DOUBLE_EQ(far.Game.PendingScore, 0);

    RulesGame nearCorner;
    LayOut(nearCorner.Game, 1, 1, {"11", "11"});
    nearCorner.Game.SetState(nearCorner.CubeAt(1, 1), csVanishing);
    nearCorner.Game.CheckSquares();
    EXPECT_DOUBLE_EQ(nearCorner.Game.PendingScore, 40);
    EXPECT_EQ(nearCorner.CountState(csVanishing), 4);
}

TEST(Combo, ConsecutiveScoringMovesMultiplyWithVoicesAndSpecials)
{
    RulesGame t;
    struct Round
    {
        const char* points;
        const char* voice;
        TSound sound;
        int owed;
    };
    const Round rounds[] = {
        {"40", nullptr, snFigureDone, 0},        {"40x2", "Double score", snDouble, 0},
        {"40x3", "Triple score", snTriple, 1},   {"40x4", "Quadro score", snQuadro, 1},
        {"40x5", "5x score", snExcellent, 2},    {"40x6", "6x score", snExcellent, 2},
        {"40x7", "7x score", snExcellent, 3},
    };
    double expected = 0;
    for (int k = 0; k < 7; ++k)
    {
        t.Game.Labels.Clear();
        t.Host.Forget();
        ScoreSquareByMove(t);
        expected += 40.0 * (k + 1);
        EXPECT_EQ(t.Game.Combo, k + 1);
        EXPECT_DOUBLE_EQ(t.Game.PendingScore, expected);
        EXPECT_EQ(t.Game.SpecialsOwed, rounds[k].owed) << "combo " << k + 1;
        EXPECT_EQ(t.Host.Count(rounds[k].sound), 1) << "combo " << k + 1;
        const auto texts = LabelTexts(t.Game);
        ASSERT_EQ(texts.size(), rounds[k].voice ? 2u : 1u);
        EXPECT_EQ(texts[0], rounds[k].points);
        if (rounds[k].voice)
        {
            EXPECT_EQ(texts[1], rounds[k].voice);
            const TScoreLabel& v = t.Game.Labels.Labels[2];
            EXPECT_FLOAT_EQ(v.Position.x, KeptOnBoard({-4, -3, 0}, 1, 3, rounds[k].voice, 12).x);
            EXPECT_GE(v.Position.y, -3.0f);
            EXPECT_LT(v.Position.y, -2.0f);
            EXPECT_EQ(v.Font, 1);
            EXPECT_EQ(v.Colour, 3);
            EXPECT_EQ(v.Size, 12);
        }
    }

    // A move that scores nothing ends the combo.
    MoveWithoutScore(t);
    EXPECT_EQ(t.Game.Combo, 0);
    ScoreSquareByMove(t);
    EXPECT_EQ(t.Game.Combo, 1);
}

TEST(Combo, AMoveThatOnlyFiresABombKeepsTheCombo)
{
    RulesGame t;
    ScoreSquareByMove(t);
    ScoreSquareByMove(t);
    ASSERT_EQ(t.Game.Combo, 2);
    PutCube(t.Game, 4, 8, 2);
    const int b = PutCube(t.Game, ckBomb, 8, 8);
    ASSERT_TRUE(t.Move(b, 8, 3));
    t.Game.CheckSquares();
    t.Settle();
    t.FinishVanishing();
    EXPECT_EQ(t.Game.Combo, 2);
    ScoreSquareByMove(t);
    EXPECT_EQ(t.Game.Combo, 3);
}

TEST(Combo, SquaresMadeByGrowingCubesScoreWithoutChangingTheCombo)
{
    RulesGame t;
    LayOut(t.Game, 1, 1, {"11", "11"});
    t.Game.CheckSquares(); // no move ended: the combo is at least 1
    EXPECT_EQ(t.Game.Combo, 1);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 40);

    RulesGame c;
    c.Game.Combo = 4;
    LayOut(c.Game, 1, 1, {"22", "22"});
    c.Game.CheckSquares();
    EXPECT_EQ(c.Game.Combo, 4);
    EXPECT_DOUBLE_EQ(c.Game.PendingScore, 160);
    EXPECT_EQ(LabelTexts(c.Game), (std::vector<std::string>{"40x4", "Quadro score"}));
}

TEST(Figures, TheFigureMatchesAsShownWithoutTurningAndScoresItsValue)
{
    RulesGame t;
    t.Level().Colours = {0, 2, 2};
    SetFigure(t.Game, 1, {"12"}, 125);
    t.Level().FigureFactor = 0.2;
    t.Game.NewFigure(false);
    ASSERT_EQ(t.Game.Figure, 1);
    EXPECT_DOUBLE_EQ(t.Game.Figures[1].Value, 150);

    LayOut(t.Game, 3, 3, {"1", "2"}); // turned a quarter: no match
    LayOut(t.Game, 6, 6, {"21"});     // mirrored: no match
    EXPECT_FALSE(t.Game.CheckFigure());
    EXPECT_EQ(t.CountState(csVanishing), 0);

    LayOut(t.Game, 2, 8, {"12"});
    LayOut(t.Game, 7, 2, {"12"});
    t.Host.Forget();
    t.Game.NoScoreMove = true;
    t.Game.CheckSquares();
    EXPECT_EQ(t.CountState(csVanishing), 2);
    // The first placement with the smallest x wins.
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(2, 8)].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(3, 8)].State, csVanishing);
    EXPECT_EQ(t.Game.Cubes[t.CubeAt(7, 2)].State, csIdle);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 150);
    EXPECT_EQ(LabelTexts(t.Game), (std::vector<std::string>{"BONUS", "150"}));
    // At the last cell (3, 8), kept on the board: "BONUS" would rise off its top.
    EXPECT_EQ(t.Game.Labels.Labels[1].Position, KeptOnBoard({-3, 4, 0}, 1, 3, "BONUS", 12));
    EXPECT_LT(t.Game.Labels.Labels[1].Position.y, 4.0f);
    EXPECT_EQ(t.Game.Labels.Labels[2].Position, KeptOnBoard({-3, 3, 0}, 2, 2, "150", 14));
    EXPECT_EQ(t.Host.Count(snShowBonus), 1);
    EXPECT_EQ(t.Host.Count(snExcellent) + t.Host.Count(snTandrel), 1);
    EXPECT_EQ(t.Game.SpecialsOwed, 1);
    EXPECT_FALSE(t.Game.NoScoreMove);
    EXPECT_EQ(t.Game.Combo, 0); // no move ended, no square
}

TEST(Figures, JokersFillAFigureButStonesAndSpecialsDoNot)
{
    auto found = [](const std::string& row)
    {
        RulesGame t;
        t.Level().Colours = {0, 3, 3};
        SetFigure(t.Game, 1, {"123"}, 60);
        t.Game.NewFigure(false);
        LayOut(t.Game, 4, 4, {row});
        return t.Game.CheckFigure();
    };
    EXPECT_TRUE(found("123"));
    EXPECT_TRUE(found("J2J"));
    EXPECT_TRUE(found("JJJ"));
    EXPECT_FALSE(found("X23"));
    EXPECT_FALSE(found("1B3"));
    EXPECT_FALSE(found("12P"));
    EXPECT_FALSE(found("12."));
}

TEST(Figures, CubesOfASquareInTheSameCheckAlsoMakeTheFigure)
{
    RulesGame t;
    t.Level().Colours = {0, 1, 1};
    SetFigure(t.Game, 1, {"11"}, 90);
    t.Game.NewFigure(false);
    LayOut(t.Game, 1, 1, {"11", "11"});
    t.Game.CheckSquares();
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 40 + 90);
}

TEST(Figures, TheColourShiftStaysWithinTheColoursAndNeverHidesAFigure)
{
    for (int colours = 0; colours <= 9; ++colours)
    {
        for (int top = 1; top <= 7; ++top)
        {
            for (uint32_t seed = 1; seed <= 12; ++seed)
            {
                RulesGame t(seed);
                const auto n = static_cast<uint8_t>(colours);
                t.Level().Colours = {0, n, n};
                std::string row(4, '0');
                row[0] = '1';
                row[3] = char('0' + top);
                SetFigure(t.Game, 1, {row, "0" + std::to_string(top) + "00"}, 10);
                t.Game.NewFigure(false);
                const TBonusFigure& f = t.Game.Figures[1];
                const int shift = f.At(1, 1).ShownColour - 1;
                ASSERT_GE(shift, 0);
                for (const TBonusCube& c : f.Cells)
                {
                    ASSERT_LE(c.ShownColour, 7);
                    ASSERT_EQ(c.ShownColour, c.Colour == 0 ? 0 : c.Colour + shift);
                }
                // A level of fewer colours than the figure shows the figure as drawn.
                if (top >= std::min(colours, 7))
                {
                    ASSERT_EQ(shift, 0) << colours << " " << top;
                }
                else
                {
                    ASSERT_LE(f.At(4, 1).ShownColour, std::min(colours, 7));
                }
            }
        }
    }
}

TEST(Figures, AFigureWithNoCellToShowMatchesNowhere)
{
    // The figure file claims colour 1 at most but draws colour 7: shifted up, every cell
    // leaves the colours and the figure shows nothing.
    bool shifted = false;
    for (uint32_t seed = 1; seed <= 20; ++seed)
    {
        RulesGame t(seed);
        t.Level().Colours = {0, 7, 7};
        SetFigure(t.Game, 1, {"77"}, 100);
        t.Game.Figures[1].TopColour = 1;
        t.Game.NewFigure(false);
        LayOut(t.Game, 1, 1, {"JJJJJJJJJ", "777777777"});
        const bool hidden = t.Game.Figures[1].At(1, 1).ShownColour == 0;
        shifted = shifted || hidden;
        EXPECT_EQ(t.Game.CheckFigure(), !hidden);
    }
    EXPECT_TRUE(shifted);

    RulesGame empty;
    SetFigure(empty.Game, 1, {"0000", "0000", "0000", "0000"}, 100);
    empty.Game.NewFigure(false);
    LayOut(empty.Game, 1, 1, {"JJJJ", "JJJJ", "JJJJ", "JJJJ"});
    EXPECT_FALSE(empty.Game.CheckFigure());
    EXPECT_DOUBLE_EQ(empty.Game.PendingScore, 0);
}

TEST(Figures, TheLevelsFigureRangeIsKeptWithinTheFigures)
{
    RulesGame t;
    for (int f = 1; f <= 3; ++f)
    {
        SetFigure(t.Game, f, {"1"}, 10);
    }
    t.Game.FigureCount = 3;
    t.Level().FigureMin = 2;
    t.Level().FigureMax = 9;
    std::set<int> chosen;
    for (int k = 0; k < 50; ++k)
    {
        t.Game.NewFigure(false);
        chosen.insert(t.Game.Figure);
    }
    EXPECT_EQ(t.Level().FigureMax, 3); // the level keeps the lowered value
    EXPECT_EQ(chosen, (std::set<int>{2, 3}));

    t.Level().FigureMin = 7; // past the end: still a figure that exists
    t.Game.NewFigure(false);
    EXPECT_GE(t.Game.Figure, 1);
    EXPECT_LE(t.Game.Figure, 3);

    t.Game.FigureCount = 0; // no figures at all: nothing to find
    t.Game.NewFigure(false);
    EXPECT_EQ(t.Game.Figure, 0);
    LayOut(t.Game, 1, 1, {"1"});
    EXPECT_FALSE(t.Game.CheckFigure());
}

TEST(Figures, ValuesRoundHalvesToEvenAndBonusLevelsKeepTheFigure)
{
    RulesGame t;
    t.Level().FigureFactor = 0.5;
    SetFigure(t.Game, 1, {"1"}, 5); // 7.5
    t.Game.NewFigure(false);
    EXPECT_DOUBLE_EQ(t.Game.Figures[1].Value, 8);
    SetFigure(t.Game, 1, {"1"}, 3); // 4.5
    t.Game.NewFigure(false);
    EXPECT_DOUBLE_EQ(t.Game.Figures[1].Value, 4);

    t.Level().LevelKind = lkBonus;
    t.Game.Figures[1].Value = 33;
    t.Game.Figures[1].At(1, 1).ShownColour = 5;
    t.Game.NewFigure(true);
    EXPECT_DOUBLE_EQ(t.Game.Figures[1].Value, 33);
    EXPECT_EQ(t.Game.Figures[1].At(1, 1).ShownColour, 5);
    EXPECT_EQ(t.Game.SpecialsOwed, 1);
}

TEST(Banking, PointsFlowAtTwoHundredPerSecondAndNeverBelowZero)
{
    RulesGame t;
    t.Game.PendingScore = 100;
    t.Game.BankScore(false, 100);
    EXPECT_DOUBLE_EQ(t.Game.Score, 20);
    EXPECT_DOUBLE_EQ(t.Level().Progress, 20);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 80);
    t.Game.BankScore(false, 10000);
    EXPECT_DOUBLE_EQ(t.Game.Score, 100);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 0);
    t.Game.BankScore(false, 100);
    t.Game.BankScore(true, 0);
    t.Game.BankScore(false, -50);
    EXPECT_DOUBLE_EQ(t.Game.Score, 100);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 0);

    t.Game.PendingScore = 30;
    t.Game.BankScore(false, -50);
    EXPECT_DOUBLE_EQ(t.Game.PendingScore, 30);
    t.Game.BankScore(true, 0);
    EXPECT_DOUBLE_EQ(t.Game.Score, 130);
    EXPECT_DOUBLE_EQ(t.Level().Progress, 130);
}

TEST(Banking, TheTimedModeBonusLevelGainsScoreButNoProgress)
{
    RulesGame t;
    t.Game.Mode = gmTimed;
    t.Level().Progress = 50;
    t.Game.PendingScore = 40;
    t.Game.BankScore(true, 0);
    EXPECT_DOUBLE_EQ(t.Level().Progress, 90);
    t.Level().LevelKind = lkBonus;
    t.Game.PendingScore = 40;
    t.Game.BankScore(true, 0);
    EXPECT_DOUBLE_EQ(t.Level().Progress, 90);
    EXPECT_DOUBLE_EQ(t.Game.Score, 80);
}

TEST(BonusLevel, TheEndPaysForFewStonesLeft)
{
    struct Case
    {
        int stones;
        int bonusPoints;
        const char* first;
        float firstX;
        const char* second;
        double bonus;
    };
    const Case cases[] = {
        {0, 400, "No cubes left", 3.08f, "Bonus  +400", 400},
        {1, 400, "One cube left", 3.08f, "Bonus  +300", 300},
        {2, 400, "Two cubes left", 3.47f, "Bonus  +200", 200},
        {3, 400, "Three cubes left", 3.92f, "Bonus  +100", 100},
        {1, 302, "One cube left", 3.08f, "Bonus  +226", 226}, // 226.5 to even
        {4, 400, "4 cubes left", 2.67f, "No bonus", 0},
        {12, 400, "12 cubes left", 2.67f, "No bonus", 0},
    };
    for (const Case& c : cases)
    {
        RulesGame t;
        t.Level().LevelKind = lkBonus;
        t.Level().BonusPoints = c.bonusPoints;
        for (int k = 0; k < c.stones; ++k)
        {
            PutCube(t.Game, ckStone, k % 9 + 1, k / 9 + 1);
        }
        PutCube(t.Game, ckBomb, 9, 9);
        t.Game.PendingScore = 20;
        t.Game.EndBonusLevel();

        EXPECT_EQ(LabelTexts(t.Game), std::vector<std::string>{"LEVEL COMPLETED"});
        EXPECT_EQ(t.Host.Count(snMessage), 1);
        EXPECT_TRUE(t.Game.DelayedLabels[1].Active);
        EXPECT_EQ(t.Game.DelayedLabels[1].Text, c.first);
        EXPECT_FLOAT_EQ(t.Game.DelayedLabels[1].Position.x, c.firstX);
        EXPECT_TRUE(t.Game.DelayedLabels[2].Active);
        EXPECT_EQ(t.Game.DelayedLabels[2].Text, c.second);
        EXPECT_FLOAT_EQ(t.Game.DelayedLabels[2].Position.x, c.bonus > 0 ? 2.3f : 2.0f);
        // Everything is banked at once and the board is cleared for the next level.
        EXPECT_DOUBLE_EQ(t.Game.Score, 20 + c.bonus);
        EXPECT_DOUBLE_EQ(t.Game.PendingScore, 0);
        EXPECT_EQ(t.Game.EndPhase, epLevelDone);
        EXPECT_EQ(t.Game.CubeCount, 0);
        EXPECT_TRUE(BoardIsConsistent(t.Game));
    }
}
