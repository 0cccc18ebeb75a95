// Floating score labels: how they rise, drift, fade and leave.
#include "game/Labels.h"

#include <gtest/gtest.h>

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
