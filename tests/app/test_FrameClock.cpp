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
    // Nothing a player reads speaks of another platform's graphics.
    for (uint32_t code : {0x80004005u, 0x8007000Eu, 0x8876017Cu})
    {
        EXPECT_EQ(DeviceErrorText(static_cast<int32_t>(code)).find("Direct"), std::string::npos);
    }
    const std::string start = GraphicsStartText("wayland", std::string(5000, 'x'));
    EXPECT_NE(start.find("OpenGL 3.3"), std::string::npos);
    EXPECT_NE(start.find("Window system: wayland."), std::string::npos);
    EXPECT_EQ(start.find(std::string(201, 'x')), std::string::npos) << "the driver's reason is clipped";
    EXPECT_EQ(start.find("Direct"), std::string::npos);
}

TEST(FrameClock, TheLoopDrawsOnlyAfterAChangeWhileSomethingMovesOrWhenAMenuTuneEnds)
{
    const auto decide = [](TGameState state, auto change)
    {
        TFrameInputs in;
        in.State = in.DrawnState = state;
        in.NeedFrame = false;
        in.BoardStill = true;
        change(in);
        return DecideFrame(in, 20, 50);
    };
    const auto nothing = [](TFrameInputs&) {};
    // At rest: no frame, and the wait each screen asks for.
    for (const TGameState s : {gsMenu, gsHiScores, gsTutorial, gsHelp, gsGameOver})
    {
        const TFrameDecision d = decide(s, nothing);
        EXPECT_FALSE(d.Draw) << s;
        EXPECT_EQ(d.WaitMs, 20u) << s;
    }
    const TFrameDecision still = decide(gsGame, nothing);
    EXPECT_FALSE(still.Draw);
    EXPECT_EQ(still.WaitMs, 50u);
    // Any change draws, on every screen; the loading screen is drawn in every pass.
    for (const TGameState s : {gsMenu, gsHiScores, gsGameOver, gsGame})
    {
        EXPECT_TRUE(decide(s, [](TFrameInputs& in) { in.NeedFrame = true; }).Draw) << s;
        EXPECT_TRUE(decide(s, [](TFrameInputs& in) { in.DrawnState = gsLoading; }).Draw) << s;
        EXPECT_TRUE(decide(s, [](TFrameInputs& in) { in.FrontEndAnimating = true; }).Draw) << s;
    }
    EXPECT_TRUE(decide(gsLoading, nothing).Draw);
    // A board that moves draws; a menu does for its next tune; neither asks of the other.
    EXPECT_TRUE(decide(gsGame, [](TFrameInputs& in) { in.BoardStill = false; }).Draw);
    EXPECT_FALSE(decide(gsMenu, [](TFrameInputs& in) { in.BoardStill = false; }).Draw);
    EXPECT_TRUE(decide(gsMenu, [](TFrameInputs& in) { in.MusicDue = true; }).Draw);
    // Only fuse sparks fly: a frame every SparkFrameInterval, the rules updated between.
    const auto sparking = [&](uint32_t since)
    {
        return decide(gsGame, [since](TFrameInputs& in)
                      {
                          in.BoardStill = false;
                          in.BoardSparking = true;
                          in.SinceDrawnMs = since;
                      });
    };
    EXPECT_FALSE(sparking(0).Draw);
    EXPECT_EQ(sparking(0).WaitMs, SparkUpdateInterval);
    EXPECT_EQ(sparking(SparkFrameInterval - 5).WaitMs, 5u);
    EXPECT_TRUE(sparking(SparkFrameInterval).Draw);
}
