#include "render/Cursor.h"
#include "tests/render/RenderTestSupport.h"

#include <gtest/gtest.h>

TEST(Cursor, WindowPixelsMapOntoTheFullScreenPicture)
{
    TRecordingRenderer t;
    TCursor c(t.Device, "/nonexistent", 800, 600);
    EXPECT_FLOAT_EQ(c.X(), RoomCentreX);
    c.MoveCursor(0, 0);
    EXPECT_NEAR(c.X(), 5.425f, 1e-5f);
    EXPECT_NEAR(c.Y(), 5.16875f, 1e-5f);
    c.MoveCursor(800, 600);
    EXPECT_NEAR(c.X(), -9.025f, 1e-5f);
    EXPECT_NEAR(c.Y(), -5.66875f, 1e-5f);
    c.MoveCursor(400, 300);
    EXPECT_NEAR(c.X(), -1.8f, 1e-5f);
    EXPECT_NEAR(c.Y(), -0.25f, 1e-5f);
    // All three variants move together and keep z.
    EXPECT_EQ(c.Sprites[3]->Position, c.Sprites[1]->Position);
    EXPECT_FLOAT_EQ(c.Sprites[2]->Position.z, 0.01f);
}
