#include "render/Graphics.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Camera, RestEyeLooksDownWithWorldXToTheLeft)
{
    TMatrix v;
    ASSERT_EQ(BuildViewMatrix(v, RestEye, {RoomCentreX, RoomCentreY, 0}, {0, 0, 1}),
              D3D_OK);
    const float expected[4][4] = {
        {-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {-1.8f, 0.25f, 12.7f, 1}};
    for (int i = 0; i < 4; ++i)
    {
        for (int j = 0; j < 4; ++j)
        {
            EXPECT_NEAR(v.m[i][j], expected[i][j], 1e-6f) << i << "," << j;
        }
    }
}

TEST(Camera, FlyByEyeKeepsWorldZAsItsUp)
{
    TMatrix v;
    const TVector3 eye{-1.8f, -10.25f, 12.7f};
    ASSERT_EQ(BuildViewMatrix(v, eye, {RoomCentreX, RoomCentreY, 0}, {0, 0, 1}), D3D_OK);
    // View direction and the normalised projection of +z onto the plane across it.
    TVector3 view{0, 10.0f, -12.7f};
    const float l = std::sqrt(view.y * view.y + view.z * view.z);
    view = {0, view.y / l, view.z / l};
    TVector3 up{0 - view.z * view.x, 0 - view.z * view.y, 1 - view.z * view.z};
    const float lu = std::sqrt(up.x * up.x + up.y * up.y + up.z * up.z);
    EXPECT_NEAR(v.m[1][1], up.y / lu, 1e-5f);
    EXPECT_NEAR(v.m[2][1], up.z / lu, 1e-5f);
    EXPECT_GT(v.m[2][1], 0.0f); // the camera's up leans towards world +z
    EXPECT_NEAR(v.m[1][2], view.y, 1e-5f);
    EXPECT_NEAR(v.m[2][2], view.z, 1e-5f);
    // The eye itself lands at the origin of the camera.
    const TVector3 e = TransformPoint(eye, v);
    EXPECT_NEAR(e.x, 0, 1e-4f);
    EXPECT_NEAR(e.y, 0, 1e-4f);
    EXPECT_NEAR(e.z, 0, 1e-4f);
}

TEST(Camera, DegenerateViewsAreRefused)
{
    TMatrix v;
    EXPECT_EQ(BuildViewMatrix(v, {1, 2, 3}, {1, 2, 3}, {0, 0, 1}), E_INVALIDARG);
}

TEST(Camera, ProjectionOfTheGame)
{
    TMatrix p;
    ASSERT_EQ(BuildProjectionMatrix(p, 0.8f, 0.75f, 0.01f, 200), D3D_OK);
    const float c = std::cos(0.4f) / std::sin(0.4f);
    const float q = 200 / (200 - 0.01f);
    EXPECT_NEAR(p.m[0][0], 0.75f * c, 1e-5f);
    EXPECT_NEAR(p.m[1][1], c, 1e-5f);
    EXPECT_NEAR(p.m[2][2], q, 1e-6f);
    EXPECT_EQ(p.m[2][3], 1.0f);
    EXPECT_NEAR(p.m[3][2], -q * 0.01f, 1e-7f);
    EXPECT_EQ(p.m[3][3], 0.0f);
    // Near and far planes land at depth 0 and 1.
    EXPECT_NEAR((0.01f * q + p.m[3][2]) / 0.01f, 0.0f, 1e-5f);
    EXPECT_NEAR((200 * q + p.m[3][2]) / 200, 1.0f, 1e-5f);
    EXPECT_EQ(BuildProjectionMatrix(p, 0.8f, 0.75f, 1, 1.005f), E_INVALIDARG);
    EXPECT_EQ(BuildProjectionMatrix(p, 0.001f, 0.75f, 0.01f, 200), E_INVALIDARG);
}
