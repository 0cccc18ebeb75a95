#include "app/DeviceErrorText.h"
#include "app/FrameClock.h"

#include <gtest/gtest.h>

TEST(FrameClock, DeltaWrapsAroundTheTickCount)
{
    TFrameClock c;
    c.Activate(0xFFFFFFFBu, 0xFFFFFFFBu);
    c.FrameDone(5, 5);
    EXPECT_EQ(c.FrameDelta, 10u);
    EXPECT_EQ(c.TotalTime, 10.0);
    // Two frames within one tick of the timer.
    c.FrameDone(5, 5);
    EXPECT_EQ(c.FrameDelta, 0u);
    c.FrameDone(21, 22); // the second reading starts the next delta
    EXPECT_EQ(c.FrameDelta, 16u);
    c.FrameDone(30, 30);
    EXPECT_EQ(c.FrameDelta, 8u);
    EXPECT_EQ(c.TotalTime, 34.0);
}

TEST(FrameClock, FrameRateLines)
{
    // 120 frames over 1500 ms in the menu: 80 right-aligned in six characters.
    TFrameClock c;
    c.Activate(1000, 1000);
    c.FpsFrames = 120;
    c.FrameDone(2500, 2500);
    EXPECT_EQ(c.FrameRate(gsMenu, true, 2501), std::optional<std::string>(" gsMenu  FPS:    80"));
    EXPECT_EQ(c.FpsFrames, 0);
    EXPECT_EQ(c.FpsTick, 2501u);

    // In a game, across the wrap of the tick count.
    TFrameClock g;
    g.Activate(0xFFFFFE00u, 0xFFFFFE00u);
    g.FpsFrames = 1234;
    g.FrameDone(0x00000200u, 0x00000200u); // 1024 ms later
    EXPECT_EQ(g.FrameRate(gsGame, true, 0x200), std::optional<std::string>(" gsGame  FPS:  1205"));
}

TEST(FrameClock, NoLineAtExactlyOneSecondNorWithoutWriteDebug)
{
    TFrameClock c;
    c.Activate(0, 0);
    c.FpsFrames = 60;
    c.FrameDone(1000, 1000);
    EXPECT_FALSE(c.FrameRate(gsMenu, true, 1000).has_value());
    EXPECT_EQ(c.FpsFrames, 60) << "the counters are not reset";
    EXPECT_EQ(c.FpsTick, 0u);

    c.FrameDone(1001, 1001);
    EXPECT_FALSE(c.FrameRate(gsMenu, false, 1001).has_value());
    EXPECT_EQ(c.FpsFrames, 60) << "without WriteDebug the frames only count up";

    // Other states write no line but still start a new window.
    for (TGameState s : {gsHiScores, gsTutorial, gsHelp, gsGameOver})
    {
        TFrameClock o;
        o.FpsFrames = 50;
        o.FrameDone(2000, 2000);
        EXPECT_FALSE(o.FrameRate(s, true, 2001).has_value());
        EXPECT_EQ(o.FpsFrames, 0);
        EXPECT_EQ(o.FpsTick, 2001u);
    }
}

TEST(DeviceErrorText, KnownCodesAndTheRest)
{
    EXPECT_EQ(DeviceErrorText(0), "No error occurred.");
    EXPECT_EQ(DeviceErrorText(static_cast<int32_t>(0x88760868u)),
              "The device is lost and cannot be restored at the current time, so rendering is not possible.");
    EXPECT_EQ(DeviceErrorText(static_cast<int32_t>(0x8876081Du)),
              "The application is requesting more texture-filtering operations than the device");
    EXPECT_EQ(DeviceErrorText(static_cast<int32_t>(0x80070057u)),
              "An invalid parameter was passed to the returning function");
    EXPECT_EQ(DeviceErrorText(static_cast<int32_t>(0x88760827u)), "Internal driver error.");
    EXPECT_EQ(DeviceErrorText(-1), "Unrecognized Error");
    EXPECT_EQ(DeviceErrorText(1), "Unrecognized Error");
}
