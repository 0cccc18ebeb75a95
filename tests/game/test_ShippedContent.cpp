// Design rules for the level and figure files we ship. They load through the game's own
// reader; these tests keep them playable when someone retunes the numbers by hand.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace
{
class ShippedContent : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NO_THROW(T.Game.CreateLevels());
        ASSERT_NO_THROW(T.Game.CreateBonus());
    }

    bool IsBonus(int l) const { return T.Game.Levels[l].LevelKind == lkBonus; }

    TestGame T;
};
} // namespace

TEST_F(ShippedContent, HoldsFiftyLevelsAndThirtyFigures)
{
    EXPECT_EQ(T.Game.LevelCount, 50);
    EXPECT_EQ(T.Game.FigureCount, 30);
}

// The reader passes over blank lines, so a line lost or added while editing shifts every
// later value without an error. Each record must begin exactly where its separator says.
TEST_F(ShippedContent, EveryRecordStartsOnItsOwnSeparator)
{
    const auto levels = Lines(ReadFile(ShippedDataFolder() / "Levels.dat"));
    ASSERT_EQ(levels.size(), 1u + 17u * 50u);
    for (int l = 1; l <= 50; ++l)
    {
        const std::string& sep = levels[1 + 17 * (l - 1)];
        EXPECT_EQ(sep.rfind("--- Level " + std::to_string(l), 0), 0u) << "separator: " << sep;
        for (int k = 1; k < 17; ++k)
        {
            const std::string& value = levels[1 + 17 * (l - 1) + k];
            EXPECT_TRUE(!value.empty() && (std::isdigit(static_cast<unsigned char>(value[0])) != 0))
                << "level " << l << ", value line " << k << ": '" << value << "'";
        }
    }

    const auto figures = Lines(ReadFile(ShippedDataFolder() / "BonusFigures.dat"));
    ASSERT_EQ(figures.size(), 1u + 9u * 30u);
    for (int f = 1; f <= 30; ++f)
    {
        const std::string& sep = figures[1 + 9 * (f - 1)];
        EXPECT_EQ(sep.rfind("--- Figure " + std::to_string(f) + ":", 0), 0u) << "separator: " << sep;
    }
}

TEST_F(ShippedContent, ColoursAndNewCubesNeverDropAsTheLevelsClimb)
{
    for (int m = 1; m <= 2; ++m)
    {
        int lastNewCubes = 0;
        for (int l = 1; l <= MaxLevels; ++l)
        {
            const TLevel& v = T.Game.Levels[l];
            EXPECT_GE(v.Colours[m], 1) << "level " << l;
            EXPECT_LE(v.Colours[m], MaxColours) << "level " << l;
            if (l > 1)
            {
                EXPECT_GE(v.Colours[m], T.Game.Levels[l - 1].Colours[m])
                    << "colours drop at level " << l << ", mode " << m;
            }
            if (!IsBonus(l))
            {
                EXPECT_GE(v.NewCubes[m], 1) << "level " << l;
                EXPECT_GE(v.NewCubes[m], lastNewCubes)
                    << "new cubes drop at level " << l << ", mode " << m;
                lastNewCubes = v.NewCubes[m];
            }
        }
    }
}

TEST_F(ShippedContent, NormalTargetsNeverFallFromOneNormalLevelToTheNext)
{
    // Levels 51..100 start again at twice the targets of 1..50, so each half climbs alone.
    for (int first : {1, 51})
    {
        double last = 0;
        for (int l = first; l < first + 50; ++l)
        {
            if (IsBonus(l))
            {
                continue;
            }
            const double target = T.Game.Levels[l].Target[gmNormal];
            EXPECT_GT(target, 0) << "level " << l;
            EXPECT_GE(target, last) << "target falls at level " << l;
            last = target;
        }
    }
}

TEST_F(ShippedContent, TimedLevelsDrainHarderButLeaveBreathingRoom)
{
    double lastDrain = 0;
    for (int l = 1; l <= 50; ++l)
    {
        const TLevel& v = T.Game.Levels[l];
        ASSERT_GT(v.Drain, 0) << "level " << l;
        EXPECT_GE(v.Drain, lastDrain) << "drain falls at level " << l;
        lastDrain = v.Drain;

        // Play starts at half the target (the whole pool on a bonus level); idle, the
        // drain must not empty it within the first half minute.
        const double start = IsBonus(l) ? v.Target[gmTimed] : v.Target[gmTimed] / 2;
        EXPECT_GE(start / v.Drain, 30000.0) << "level " << l << " drains away too soon";
    }
}

TEST_F(ShippedContent, BonusLevelsLayOutStonesAndGiveBombsForThem)
{
    for (int l = 5; l <= MaxLevels; l += 5)
    {
        const TLevel& v = T.Game.Levels[l];
        ASSERT_TRUE(IsBonus(l));
        for (int m = 1; m <= 2; ++m)
        {
            const int stones = v.NewCubes[m];
            const int bombs = v.Stones[m];
            EXPECT_GT(stones, 0) << "level " << l;
            EXPECT_GT(bombs, 0) << "level " << l;
            EXPECT_LE(stones + bombs, CellCount) << "level " << l;
            // A bomb clears at most a 3 x 3 block: with fewer, no player could clear them.
            EXPECT_GE(bombs * 9, stones) << "level " << l;
        }
        EXPECT_GT(v.Target[gmTimed], 0) << "level " << l;
    }
}

TEST_F(ShippedContent, StonesOnNormalLevelsCanAllComeAndBeBlasted)
{
    for (int l = 1; l <= MaxLevels; ++l)
    {
        if (IsBonus(l))
        {
            continue;
        }
        const TLevel& v = T.Game.Levels[l];
        for (int m = 1; m <= 2; ++m)
        {
            // The stone chance is 1 in |40 - 2a|: at 20 it is never drawn, and above 20
            // the count stalls at 20, so a level means what it says only below 20.
            EXPECT_GE(v.Stones[m], 0) << "level " << l;
            EXPECT_LT(v.Stones[m], 20) << "level " << l;
            if (v.Stones[m] > 0)
            {
                EXPECT_TRUE(v.AllowBombs) << "level " << l << " lays stones but gives no bombs";
            }
        }
    }
}

TEST_F(ShippedContent, FigureRangesClimbInsideTheTableAndCanBeBuilt)
{
    int lastMin = 1;
    int lastMax = 1;
    for (int l = 1; l <= MaxLevels; ++l)
    {
        const TLevel& v = T.Game.Levels[l];
        ASSERT_GE(v.FigureMin, 1) << "level " << l;
        ASSERT_LE(v.FigureMin, v.FigureMax) << "level " << l;
        ASSERT_LE(v.FigureMax, T.Game.FigureCount) << "level " << l;
        if (l <= 50)
        {
            EXPECT_GE(v.FigureMin, lastMin) << "figure range falls at level " << l;
            EXPECT_GE(v.FigureMax, lastMax) << "figure range falls at level " << l;
            lastMin = v.FigureMin;
            lastMax = v.FigureMax;
        }
        // A figure using more colours than the level deals could never appear on the board.
        for (int f = v.FigureMin; f <= v.FigureMax; ++f)
        {
            for (int m = 1; m <= 2; ++m)
            {
                EXPECT_LE(T.Game.Figures[f].TopColour, v.Colours[m])
                    << "figure " << f << " on level " << l << ", mode " << m;
            }
        }
    }
}

TEST_F(ShippedContent, FiguresMatchTheirHeadersAndCannotBreakIntoSquares)
{
    for (int f = 1; f <= T.Game.FigureCount; ++f)
    {
        const TBonusFigure& fig = T.Game.Figures[f];
        int lowest = MaxColours + 1;
        int highest = 0;
        int right = 0;
        int bottom = 0;
        int cubes = 0;
        for (int c = 1; c <= 4; ++c)
        {
            for (int r = 1; r <= 4; ++r)
            {
                const int colour = fig.At(c, r).Colour;
                if (colour == 0)
                {
                    continue;
                }
                ++cubes;
                lowest = std::min(lowest, colour);
                highest = std::max(highest, colour);
                right = std::max(right, c);
                bottom = std::max(bottom, r);
            }
        }
        EXPECT_GE(cubes, 2) << "figure " << f;
        EXPECT_EQ(fig.TopColour, highest) << "figure " << f;
        // The colour shift moves a figure up from colour 1; a figure starting higher
        // would never be shown in the low colours.
        EXPECT_EQ(lowest, 1) << "figure " << f;
        EXPECT_EQ(fig.Width, right) << "figure " << f;
        EXPECT_EQ(fig.Height, bottom) << "figure " << f;
        bool leftUsed = false;
        bool topUsed = false;
        for (int k = 1; k <= 4; ++k)
        {
            leftUsed = leftUsed || fig.At(1, k).Colour != 0;
            topUsed = topUsed || fig.At(k, 1).Colour != 0;
        }
        EXPECT_TRUE(leftUsed && topUsed) << "figure " << f << " does not start at its corner";

        // Four cubes of one colour in a 2 x 2 block vanish as a square before the rest
        // of the figure can be built.
        for (int c = 1; c <= 3; ++c)
        {
            for (int r = 1; r <= 3; ++r)
            {
                const int a = fig.At(c, r).Colour;
                const bool oneColour = a != 0 && fig.At(c + 1, r).Colour == a &&
                                       fig.At(c, r + 1).Colour == a &&
                                       fig.At(c + 1, r + 1).Colour == a;
                EXPECT_FALSE(oneColour) << "figure " << f << " holds a square at " << c << "," << r;
            }
        }

        if (f > 1)
        {
            EXPECT_GE(fig.BaseValue, T.Game.Figures[f - 1].BaseValue)
                << "figure " << f << " is worth less than the easier one before it";
        }
    }
}
