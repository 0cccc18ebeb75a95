// Floating score labels: how they rise, drift, fade and leave.
#include "game/Labels.h"

#include "base/Options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

TEST(Labels, MotionDependsOnFontAndColour)
{
    TScoreLabels ls;
    ls.AddLabel({1, 2, 7}, 1, 3, "Double score", 12);
    ls.AddLabel({1, 2, 0}, 1, 2, "40", 14);
    ls.AddLabel({1, 2, 0}, 2, 2, "BONUS", 14);
    ASSERT_EQ(ls.LabelCount, 3);
    EXPECT_EQ(ls.Labels[1].Position, (TVector3{1, 2, 1})); // always drawn at height 1
    EXPECT_EQ(ls.Labels[1].GetText(), "Double score");
    EXPECT_EQ(ls.Labels[1].Alpha, 255);

    ls.UpdateLabels(16);
    const TScoreLabel& slow = ls.Labels[1];
    EXPECT_FLOAT_EQ(slow.Position.y, 2 + 0.0005f * 16);
    EXPECT_FLOAT_EQ(slow.Velocity.y, 0.0005f * (1 - 0.0005f * 16));
    EXPECT_FLOAT_EQ(slow.Position.x, 1);
    EXPECT_FLOAT_EQ(ls.Labels[2].Position.y, 2 + 0.005f * 16);
    // Font 2 drifts to the screen's right (world -x) as it rises.
    EXPECT_FLOAT_EQ(ls.Labels[3].Position.x, 1 - 0.001f * 16);
    EXPECT_FLOAT_EQ(ls.Labels[3].Position.y, 2 + 0.001f * 16);
    EXPECT_FLOAT_EQ(ls.Labels[3].Alpha, 255 - 1.6f);
}

TEST(Labels, ALabelLivesJustOver2300ms)
{
    TScoreLabels ls;
    ls.AddLabel({0, 0, 0}, 1, 2, "45", 14);
    for (int k = 0; k < 143; ++k)
    {
        ls.UpdateLabels(16);
    }
    ASSERT_EQ(ls.LabelCount, 1);
    EXPECT_NEAR(ls.Labels[1].Alpha, 255 - 143 * 1.6f, 1e-3f);
    ls.UpdateLabels(16); // 2304 ms: below 25 now
    EXPECT_EQ(ls.LabelCount, 0);
}

TEST(Labels, TheTwentyFirstLabelIsDropped)
{
    TScoreLabels ls;
    for (int k = 1; k <= 21; ++k)
    {
        ls.AddLabel({static_cast<float>(k), 0, 0}, 1, 2, std::to_string(k), 14);
    }
    EXPECT_EQ(ls.LabelCount, 20);
    EXPECT_EQ(ls.Labels[20].GetText(), "20");
}

TEST(Labels, ARemovedLabelMakesRoomAndTheNextOneWaitsATurn)
{
    TScoreLabels ls;
    ls.AddLabel({0, 0, 0}, 1, 2, "old", 14);
    ls.UpdateLabels(2000); // Alpha 55
    ls.AddLabel({0, 0, 0}, 1, 2, "new", 14);
    ls.UpdateLabels(500); // the old one fades out; the new one moved into its slot
    ASSERT_EQ(ls.LabelCount, 1);
    EXPECT_EQ(ls.Labels[1].GetText(), "new");
    EXPECT_EQ(ls.Labels[1].Alpha, 255); // not updated in the call that moved it
    ls.UpdateLabels(10);
    EXPECT_FLOAT_EQ(ls.Labels[1].Alpha, 254);
}

// Board labels at the rules' places beside every cell: seen from the resting eye, the whole
// text stays over the board from its start until it fades, however long the text; a label
// the rules already put inside is left where they put it.
TEST(Labels, BoardLabelsStayOverTheBoardAndMoveOnlyWhenTheyWouldLeaveIt)
{
    const TVector3 eye = TOptions::RestEye;
    // A point at label height, seen on the board plane; the rise is counted in whole 16 ms
    // frames here, which carries a label a few thousandths of a unit (under a pixel) higher.
    auto onBoard = [&](float x, float y)
    {
        const float k = eye.z / (eye.z - 1);
        const float bx = eye.x + (x - eye.x) * k;
        const float by = eye.y + (y - eye.y) * k;
        return std::fabs(bx) <= 4.505f && std::fabs(by) <= 4.505f;
    };
    struct TKind
    {
        int Font, Colour, Size, Dx, Dy;
    };
    // Points (squares, figures, bombs, paint, shots), the combo's call, "BONUS".
    const TKind kinds[] = {{2, 2, 14, -6, -5}, {1, 3, 12, -5, -3}, {1, 3, 12, -6, -4}};
    const std::string texts[] = {"40", "Double score", std::string(MaxLabelText, 'W')};
    for (int x = 1; x <= 9; ++x)
    {
        for (int y = 1; y <= 9; ++y)
        {
            for (const TKind& k : kinds)
            {
                for (const std::string& text : texts)
                {
                    TScoreLabels ls;
                    const TVector3 rule{float(x + k.Dx), float(y + k.Dy), 0};
                    ls.AddBoardLabel(rule, k.Font, k.Colour, text, k.Size);
                    const TScoreLabel l = ls.Labels[1];
                    const float w = ls.TextWidth(k.Font, text, k.Size);
                    const float h = 0.04f * static_cast<float>(k.Size); // glyph height
                    float top = l.Position.y;
                    float lowX = l.Position.x, highX = l.Position.x;
                    for (TScoreLabels s = ls; s.LabelCount > 0; s.UpdateLabels(16))
                    {
                        top = std::max(top, s.Labels[1].Position.y);
                        lowX = std::min(lowX, s.Labels[1].Position.x);
                        highX = std::max(highX, s.Labels[1].Position.x);
                    }
                    const std::string where =
                        text.substr(0, 12) + " at " + std::to_string(x) + "," + std::to_string(y);
                    EXPECT_TRUE(onBoard(l.Position.x, l.Position.y - h / 2)) << where;
                    EXPECT_TRUE(onBoard(l.Position.x, top + h / 2)) << where;
                    // Wider than the board: it starts at the board's left edge.
                    // Its whole text stays over the board while it drifts (world -x is the
                    // screen's right, where the frame and the side panel are).
                    // One that cannot fit with its drift starts at the board's left edge.
                    const float across = 9 * (eye.z - 1) / eye.z; // the board at label height
                    EXPECT_TRUE(onBoard(lowX - w, l.Position.y) ||
                                (w + highX - lowX > across && !onBoard(l.Position.x + 0.01f, l.Position.y)))
                        << where;
                    EXPECT_TRUE(onBoard(highX, l.Position.y)) << where;
                    const float rise = top - l.Position.y;
                    if (onBoard(rule.x + highX - l.Position.x, rule.y - h / 2) &&
                        onBoard(rule.x - w - (l.Position.x - lowX), rule.y + rise + h / 2))
                    {
                        EXPECT_EQ(l.Position, (TVector3{rule.x, rule.y, 1})) << where;
                    }
                }
            }
        }
    }
    // Until the fonts are told, a character counts as wide as a glyph is high.
    EXPECT_FLOAT_EQ(TScoreLabels().TextWidth(1, "Double score", 12), 12 * 40 * 0.012f);
}
