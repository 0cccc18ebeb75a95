// The six particle systems: emission, fading, growth, turning and removal.
#include "game/Particles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

TEST(Particles, NewestParticleIsAtTheFrontAndTakesItsKindsRow)
{
    TParticleSystems ps;
    ps.EmitParticle(2, 4, {1, 2, 3}, {10, 0, 0}, 256);
    ps.EmitParticle(2, 0, {4, 5, 6}, {0, 0, 0}, 200);
    ASSERT_EQ(ps.Count(2), 2);
    EXPECT_EQ(ps.At(2, 0).Kind, 0);
    EXPECT_EQ(ps.At(2, 1).Kind, 4);
    const TParticle& p = ps.At(2, 1);
    EXPECT_EQ(p.Position, (TVector3{1, 2, 3}));
    EXPECT_EQ(p.Life, 256);
    EXPECT_FLOAT_EQ(p.Width, 0.2f);
    EXPECT_FLOAT_EQ(p.AngularSpeed, 250);
    EXPECT_EQ(p.Angle, 0.0f);
    for (int s : {0, 1, 3, 4, 5})
    {
        EXPECT_EQ(ps.Count(s), 0);
    }
}

TEST(Particles, OneUpdateMovesFadesAndGrows)
{
    TParticleSystems ps;
    ps.EmitParticle(0, 0, {0, 0, 1}, {10000, -5000, 0}, 256);
    ps.UpdateParticles(0, 16);
    const TParticle& p = ps.At(0, 0);
    EXPECT_EQ(p.Life, 251); // 256 - round(0.3 x 16)
    // Moved with the old velocity, then slowed by half a per mille per ms.
    EXPECT_FLOAT_EQ(p.Position.x, 16);
    EXPECT_FLOAT_EQ(p.Position.y, -8);
    EXPECT_FLOAT_EQ(p.Velocity.x, 10000 * (1 - 0.0005f * 16));
    EXPECT_FLOAT_EQ(p.Width, 0.4f - 0.4f / 10000 * 16);
}

TEST(Particles, AShrinkingParticleDiesOfFadingFirst)
{
    TParticleSystems ps;
    ps.EmitParticle(0, 1, {0, 0, 0}, {0, 0, 0}, 256);
    // Kind 1 fades 2 per 10 ms: Life 6 after 1250 ms, 4 after 1260 ms.
    for (int k = 0; k < 125; ++k)
    {
        ps.UpdateParticles(0, 10);
    }
    ASSERT_EQ(ps.Count(0), 1);
    EXPECT_EQ(ps.At(0, 0).Life, 6);
    EXPECT_GT(ps.At(0, 0).Width, 0.0f);
    ps.UpdateParticles(0, 10);
    EXPECT_EQ(ps.Count(0), 0);
}

TEST(Particles, ASpinningParticleSlowsDownAndItsAngleStaysInOneTurn)
{
    TParticleSystems ps;
    ps.EmitParticle(2, 4, {0, 0, 0}, {0, 0, 0}, 100000);
    constexpr float TwoPi = 2 * std::numbers::pi_v<float>;
    for (int ms = 10; ms <= 1000; ms += 10)
    {
        ps.UpdateParticles(2, 10);
        ASSERT_EQ(ps.Count(2), 1);
        const TParticle& p = ps.At(2, 0);
        ASSERT_GE(p.Angle, 0.0f);
        ASSERT_LE(p.Angle, TwoPi);
        if (ms == 490)
        {
            EXPECT_GT(p.AngularSpeed, 0.0f);
        }
        if (ms == 510)
        {
            EXPECT_LT(p.AngularSpeed, 0.0f);
        }
    }
}

TEST(Particles, DeadParticlesLeaveAndTheOthersKeepTheirOrder)
{
    TParticleSystems ps;
    ps.EmitParticle(4, 0, {1, 0, 0}, {0, 0, 0}, 256);
    ps.EmitParticle(4, 0, {2, 0, 0}, {0, 0, 0}, 8); // fades out in the first update
    ps.EmitParticle(4, 0, {3, 0, 0}, {0, 0, 0}, 256);
    ps.UpdateParticles(4, 16);
    ASSERT_EQ(ps.Count(4), 2);
    EXPECT_FLOAT_EQ(ps.At(4, 0).Position.x, 3);
    EXPECT_FLOAT_EQ(ps.At(4, 1).Position.x, 1);
}

TEST(Particles, BannerImageResizesTheWholeSystem)
{
    TParticleSystems ps;
    const int version = ps.Slot6Version;
    ps.SetParticleImage(5, spNewLevel, 4.45f, 0.85f); // empty: nothing to do
    EXPECT_EQ(ps.Slot6Version, version);
    EXPECT_EQ(ps.Slot6Picture, spEffect);

    ps.EmitParticle(5, 6, {0, -3, 1}, {0, 50, 0}, 256);
    ps.SetParticleImage(5, spNewLevel, 4.45f, 0.85f);
    EXPECT_EQ(ps.Slot6Picture, spNewLevel);
    EXPECT_NE(ps.Slot6Version, version);
    EXPECT_FLOAT_EQ(ps.At(5, 0).Width, 4.45f);
    EXPECT_FLOAT_EQ(ps.At(5, 0).Height, 0.85f);
    // Kind 6 fades 8 per 100 ms, which at 16 ms frames rounds to 1 per update: the
    // banner shows for 251 updates.
    int ms = 0;
    while (ps.Count(5) > 0 && ms < 10000)
    {
        ps.UpdateParticles(5, 16);
        ms += 16;
    }
    EXPECT_EQ(ms, 251 * 16);
}

TEST(Particles, AFullSystemDropsNewParticles)
{
    TParticleSystems ps;
    for (int k = 0; k < MaxParticles + 10; ++k)
    {
        ps.EmitParticle(3, 5, {0, 0, 0}, {0, 0, 0}, 256);
    }
    EXPECT_EQ(ps.Count(3), MaxParticles);
    ps.UpdateParticles(3, 0); // a frame too short to fade anything
    EXPECT_EQ(ps.Count(3), MaxParticles);
    ps.UpdateParticles(3, 250); // sparks fade out within a quarter second
    EXPECT_EQ(ps.Count(3), 0);
    ps.EmitParticle(3, 5, {0, 0, 0}, {0, 0, 0}, 256);
    EXPECT_EQ(ps.Count(3), 1);
}
