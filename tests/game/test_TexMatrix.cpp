#include "base/TexMatrix.h"

#include <gtest/gtest.h>

#include <numbers>

namespace
{
void ExpectPoint(const TVector3& p, float x, float y, float z)
{
    EXPECT_NEAR(p.x, x, 1e-5f);
    EXPECT_NEAR(p.y, y, 1e-5f);
    EXPECT_NEAR(p.z, z, 1e-5f);
}
constexpr float Pi = std::numbers::pi_v<float>;
} // namespace

TEST(WorldMatrix, ScalesThenTurnsThenMoves)
{
    const TMatrix m = MakeWorldMatrix({2, 1, 1}, {1, 0, 0}, {0, 0, Pi / 2});
    ExpectPoint(TransformPoint({1, 0, 0}, m), 1, 2, 0);
    // The translation sits in the fourth row, as row vectors need.
    EXPECT_FLOAT_EQ(m.m[3][0], 1.0f);
    EXPECT_FLOAT_EQ(m.m[0][3], 0.0f);
}

TEST(WorldMatrix, TurnsAboutYBeforeX)
{
    const TMatrix m = MakeWorldMatrix({1, 1, 1}, {0, 0, 0}, {Pi / 2, Pi / 2, 0});
    ExpectPoint(TransformPoint({1, 0, 0}, m), 0, 1, 0);
    // The other order would give a different point: z first, then y, then x.
    const TMatrix zyx = MakeWorldMatrix({1, 1, 1}, {0, 0, 0}, {0, Pi / 2, Pi / 2});
    ExpectPoint(TransformPoint({1, 0, 0}, zyx), 0, 1, 0);
    ExpectPoint(TransformPoint({0, 0, 1}, m), 1, 0, 0);
}

TEST(WorldMatrix, ZeroScaleCollapsesOntoThePosition)
{
    const TMatrix m = MakeWorldMatrix({0, 0, 0}, {3, -4, 5}, {0.3f, 1.1f, -2.0f});
    ExpectPoint(TransformPoint({7, 8, 9}, m), 3, -4, 5);
    ExpectPoint(TransformPoint({-1, 0, 2}, m), 3, -4, 5);
}

TEST(WorldMatrix, PlacementRecordCachesItsMatrix)
{
    TTexMatrix t;
    t.Scale = {0.46f, 0.46f, 0.46f};
    t.Position = {-7.14f, -2.09f, 0.2f};
    t.UpdateMatrix();
    ExpectPoint(TransformPoint({0, 0, 0}, t.Matrix), -7.14f, -2.09f, 0.2f);
    ExpectPoint(TransformPoint({1, 1, 1}, t.Matrix), -6.68f, -1.63f, 0.66f);
}
