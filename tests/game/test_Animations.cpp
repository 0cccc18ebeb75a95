// Cube animations, the particles they emit, the fly-by scatter and the camera flights.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace
{
constexpr float Pi = std::numbers::pi_v<float>;

// Puts a cube of the given kind and state on (x, y) as the rules would leave it.
int PutCubeInState(TGameSetup& g, uint8_t kind, int x, int y, uint8_t state)
{
    const int n = ++g.CubeCount;
    TCube& c = g.Cubes[n];
    c = TCube{};
    c.Kind = kind;
    c.X = static_cast<uint8_t>(x);
    c.Y = static_cast<uint8_t>(y);
    const bool small = state == csWaiting || state == csGrowing;
    c.Position = {static_cast<float>(x - 5), static_cast<float>(y - 5), small ? 0.15f : 0.4f};
    c.Scale = small ? TVector3{0.3f, 0.3f, 0.3f} : TVector3{0.8f, 0.8f, 0.8f};
    c.State = state;
    ++g.StateCounts[StateSlot(state)];
    g.Cells[x][y] = {static_cast<uint8_t>(small ? coReserved : coOccupied),
                     static_cast<uint8_t>(n), 0};
    return n;
}

// Runs an animation step at dt until the cube leaves the state; returns the updates taken.
template <typename Step> int RunWhile(TGameSetup& g, int i, uint8_t state, Step step, int limit = 100000)
{
    int n = 0;
    while (g.Cubes[i].State == state && n < limit)
    {
        step();
        ++n;
    }
    return n;
}

float Distance(const TVector3& a, const TVector3& b)
{
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}
} // namespace

TEST(Animations, GrowthTakesAbout200msThenSnapsToRest)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, 3, 4, 6, csGrowing);

    g.Grow(i, 16);
    EXPECT_FLOAT_EQ(g.Cubes[i].Scale.x, 0.08f * 0.5f + 0.3f);
    EXPECT_FLOAT_EQ(g.Cubes[i].Position.z, 0.08f * 0.65f + 0.15f);
    EXPECT_EQ(g.Cells[4][6].Occupancy, coReserved);

    const int more = RunWhile(g, i, csGrowing, [&] { g.Grow(i, 16); });
    // 13 steps of 16 ms bring Anim past 1, the next one puts the cube down.
    EXPECT_EQ(1 + more, 14);
    const TCube& c = g.Cubes[i];
    EXPECT_EQ(c.State, csIdle);
    EXPECT_EQ(c.Scale, (TVector3{0.8f, 0.8f, 0.8f}));
    EXPECT_FLOAT_EQ(c.Position.z, 0.4f);
    EXPECT_EQ(g.Cells[4][6].Occupancy, coOccupied);
    EXPECT_EQ(g.Cells[4][6].Cube, i);
    EXPECT_EQ(g.StateCounts[StateSlot(csGrowing)], 0);
    EXPECT_EQ(g.StateCounts[StateSlot(csIdle)], 1);
}

TEST(Animations, GrowthJustPastOneSnapsOnTheNextUpdate)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, 1, 1, 1, csGrowing);
    g.Cubes[i].Anim = 1.0001f;
    g.Cubes[i].Position.z = 0.8f;
    g.Grow(i, 1000); // however long the frame, growth does not go further
    EXPECT_EQ(g.Cubes[i].State, csIdle);
    EXPECT_FLOAT_EQ(g.Cubes[i].Position.z, 0.4f);
    EXPECT_FLOAT_EQ(g.Cubes[i].Scale.y, 0.8f);
}

TEST(Animations, TurnEndsExactlyAQuarterTurnAwayAndTenfoldTimeIsMuchFaster)
{
    for (uint32_t seed = 1; seed <= 12; ++seed)
    {
        TestGame t({}, {}, seed);
        TGameSetup& g = t.Game;
        const int slow = PutCubeInState(g, 2, 3, 3, csIdle);
        const int fast = PutCubeInState(g, 2, 7, 7, csIdle);
        g.StartTurn(slow);
        g.StartTurn(fast);
        ASSERT_EQ(g.Cubes[slow].State, csTurn);
        const TCube& s = g.Cubes[slow];
        ASSERT_TRUE(s.TurnAxis >= 1 && s.TurnAxis <= 3);
        ASSERT_TRUE(s.TurnDir == 1 || s.TurnDir == -1);

        const int slowSteps = RunWhile(g, slow, csTurn, [&] { g.Turn(slow, 16); });
        const int fastSteps = RunWhile(g, fast, csTurn, [&] { g.Turn(fast, 160); });
        EXPECT_GT(slowSteps, 30); // roughly three quarters of a second at 16 ms
        EXPECT_LE(fastSteps * 10, slowSteps);

        for (const int i : {slow, fast})
        {
            const TCube& c = g.Cubes[i];
            EXPECT_EQ(c.State, csIdle);
            const float angles[] = {c.Rotation.x, c.Rotation.y, c.Rotation.z};
            for (int axis = 1; axis <= 3; ++axis)
            {
                const float expected = axis == c.TurnAxis ? c.TurnDir * Pi / 2 : 0.0f;
                EXPECT_FLOAT_EQ(angles[axis - 1], expected) << "seed " << seed << " axis " << axis;
            }
        }
    }
}

TEST(Animations, StonesNeverTurnOrSpinAndBombsOnlySpinAboutZ)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int stone = PutCubeInState(g, ckStone, 2, 2, csIdle);
    const int bomb = PutCubeInState(g, ckBomb, 5, 5, csIdle);
    const uint32_t seed = t.Rng.Seed;

    g.StartTurn(stone);
    g.StartSpin(stone);
    g.StartTurn(bomb);
    EXPECT_EQ(g.Cubes[stone].State, csIdle);
    EXPECT_EQ(g.Cubes[bomb].State, csIdle);
    EXPECT_EQ(t.Rng.Seed, seed); // no chance was even drawn

    g.Cubes[bomb].Rotation.z = 0.5f;
    g.StartSpin(bomb);
    ASSERT_EQ(g.Cubes[bomb].State, csSpin);
    EXPECT_EQ(g.Cubes[bomb].TurnAxis, 3);
    const int steps = RunWhile(g, bomb, csSpin, [&] {
        g.SpinCube(bomb, 16);
        EXPECT_FLOAT_EQ(g.Cubes[bomb].Scale.x, 0.8f);
    });
    // 0.128 radians per 16 ms: one full circle in 50 updates.
    EXPECT_EQ(steps, 50);
    EXPECT_FLOAT_EQ(g.Cubes[bomb].Rotation.z, 0.5f + 2 * Pi);
    EXPECT_EQ(g.Cubes[bomb].Rotation.x, 0.0f);
    EXPECT_EQ(g.Cubes[bomb].Rotation.y, 0.0f);
}

TEST(Animations, ColouredCubeSpinPulsesAndComesBackToRestScale)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, 5, 5, 5, csIdle);
    g.StartSpin(i);
    ASSERT_EQ(g.Cubes[i].State, csSpin);
    float low = 1, high = 0;
    RunWhile(g, i, csSpin, [&] {
        g.SpinCube(i, 4);
        if (g.Cubes[i].State == csSpin)
        {
            low = std::min(low, g.Cubes[i].Scale.x);
            high = std::max(high, g.Cubes[i].Scale.x);
        }
    });
    EXPECT_GE(low, 0.7f - 1e-5f);
    EXPECT_LE(high, 0.9f + 1e-5f);
    EXPECT_GT(high, 0.85f); // it does pulse
    EXPECT_EQ(g.Cubes[i].State, csIdle);
    EXPECT_FLOAT_EQ(g.Cubes[i].Scale.z, 0.8f);
    const TCube& c = g.Cubes[i];
    const float angles[] = {c.Rotation.x, c.Rotation.y, c.Rotation.z};
    EXPECT_FLOAT_EQ(angles[c.TurnAxis - 1], c.TurnDir * Pi / 2);
}

TEST(Animations, HoverBobsAroundTheCellCentre)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, 1, 8, 2, csSelected);
    for (int k = 0; k < 500; ++k)
    {
        g.Hover(i, 16);
        const TCube& c = g.Cubes[i];
        ASSERT_LE(std::fabs(c.Position.x - 3), 0.06f + 1e-5f);
        ASSERT_LE(std::fabs(c.Position.y + 3), 0.06f + 1e-5f);
        ASSERT_GE(c.Position.z, 0.2f - 1e-5f);
        ASSERT_LE(c.Position.z, 0.6f + 1e-5f);
    }
    EXPECT_EQ(g.Cubes[i].State, csSelected);
}

TEST(Animations, VanishingSwellsThenShrinksAwayInAbout467ms)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, 4, 3, 3, csVanishing);
    float biggest = 0;
    const int steps = RunWhile(g, i, csVanishing, [&] {
        g.Vanish(i, 4);
        biggest = std::max(biggest, g.Cubes[i].Scale.z);
        EXPECT_EQ(g.Cubes[i].Scale.x, g.Cubes[i].Scale.z);
    });
    EXPECT_NEAR(steps * 4, 467, 8);
    EXPECT_NEAR(biggest, 1.1f, 0.02f);
    EXPECT_EQ(g.Cubes[i].State, csRemoved);
    EXPECT_EQ(g.StateCounts[StateSlot(csRemoved)], 1);
    EXPECT_EQ(g.StateCounts[StateSlot(csVanishing)], 0);
    EXPECT_GT(g.Cubes[i].Rotation.x, 2.5f); // it tumbles while it goes
}

TEST(Animations, FuseSparksLeaveTheFuseTipAsTheBombTurns)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, ckBomb, 7, 4, csIdle); // at (2, -1)
    g.EmitFuseSparks(i);
    ASSERT_EQ(g.Particles.Count(3), 17);
    for (int k = 0; k < 17; ++k)
    {
        const TParticle& p = g.Particles.At(3, k);
        EXPECT_EQ(p.Kind, 5);
        EXPECT_EQ(p.Life, 256);
        EXPECT_NEAR(p.Position.x, 2 - 0.31f, 1e-5f);
        EXPECT_NEAR(p.Position.y, -1 + 0.52f, 1e-5f);
        EXPECT_FLOAT_EQ(p.Position.z, 0.85f);
        EXPECT_LE(std::fabs(p.Velocity.x), 12.5f);
        EXPECT_LE(std::fabs(p.Velocity.z), 12.5f);
    }
    // A quarter turn about Z carries the fuse round with it.
    g.Cubes[i].Rotation.z = Pi / 2;
    g.EmitFuseSparks(i);
    EXPECT_EQ(g.Particles.Count(3), 34);
    EXPECT_NEAR(g.Particles.At(3, 0).Position.x, 2 - 0.52f, 1e-5f);
    EXPECT_NEAR(g.Particles.At(3, 0).Position.y, -1 - 0.31f, 1e-5f);
    for (int s : {0, 1, 2, 4, 5})
    {
        EXPECT_EQ(g.Particles.Count(s), 0);
    }
}

TEST(Animations, BurstsByKind)
{
    struct Case
    {
        uint8_t Kind;
        int Counts[6];
    };
    const Case cases[] = {
        {3, {36, 0, 0, 0, 0, 0}},       {ckJoker, {36, 0, 0, 0, 0, 0}},
        {ckStone, {36, 0, 0, 0, 0, 0}}, {ckBomb, {0, 144, 0, 0, 0, 0}},
        {ckPaint1 + 2, {0, 0, 72, 0, 0, 0}}, {ckShot, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case& k : cases)
    {
        TestGame t;
        TGameSetup& g = t.Game;
        const int i = PutCubeInState(g, k.Kind, 2, 8, csVanishing); // at (-3, 3)
        g.Burst(i);
        for (int s = 0; s < ParticleSystemCount; ++s)
        {
            EXPECT_EQ(g.Particles.Count(s), k.Counts[s])
                << "kind " << int(k.Kind) << " system " << s;
        }
        for (int s = 0; s < 3; ++s)
        {
            for (int p = 0; p < g.Particles.Count(s); ++p)
            {
                const TParticle& q = g.Particles.At(s, p);
                EXPECT_FLOAT_EQ(q.Position.z, 1.0f);
                EXPECT_EQ(q.Velocity.z, 0.0f);
                EXPECT_EQ(q.Life, 256);
                const float fromCentre = std::hypot(q.Position.x + 3, q.Position.y - 3);
                // Jokers burst from a ring of radius 0.5, everything else from the centre.
                EXPECT_NEAR(fromCentre, k.Kind == ckJoker ? 0.5f : 0.0f, 1e-5f);
            }
        }
        if (k.Kind == ckBomb)
        {
            int sparks = 0, smoke = 0;
            for (int p = 0; p < 144; ++p)
            {
                const int kind = g.Particles.At(1, p).Kind;
                sparks += kind == 3;
                smoke += kind == 2;
            }
            EXPECT_EQ(sparks, 72);
            EXPECT_EQ(smoke, 72);
        }
    }
}

TEST(Animations, ColouredBurstFliesOutwardsAllRound)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, 6, 5, 5, csVanishing);
    g.Burst(i);
    // Each particle leaves along its own spoke, (2 sin a, 2 cos a), give or take 0.5.
    float sumX = 0, sumY = 0;
    for (int p = 0; p < 36; ++p)
    {
        const TParticle& q = g.Particles.At(0, p);
        EXPECT_EQ(q.Kind, 0);
        EXPECT_GE(std::hypot(q.Velocity.x, q.Velocity.y), (2 - std::sqrt(0.5f)) * 10 - 1e-3f);
        sumX += q.Velocity.x;
        sumY += q.Velocity.y;
    }
    EXPECT_LT(std::fabs(sumX / 36), 5.0f);
    EXPECT_LT(std::fabs(sumY / 36), 5.0f);
}

TEST(Animations, ScatterStylesPushCubesOutwardsOrSideways)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int right = PutCubeInState(g, 1, 9, 5, csIdle);  // x = 4, y = 0
    const int middle = PutCubeInState(g, 1, 5, 5, csIdle); // x = 0, y = 0
    const int top = PutCubeInState(g, 1, 5, 8, csIdle);    // x = 0, y = 3 (odd row)
    const int low = PutCubeInState(g, 1, 5, 3, csIdle);    // x = 0, y = -2 (even row)

    g.Scatter(4);
    EXPECT_NEAR(g.Cubes[right].Velocity.x, 0.07f, 0.025f + 1e-6f);
    EXPECT_NEAR(g.Cubes[middle].Velocity.x, 0.035f, 0.025f + 1e-6f);
    EXPECT_NEAR(g.Cubes[top].Velocity.y, 0.07f, 0.025f + 1e-6f);
    EXPECT_NEAR(g.Cubes[low].Velocity.y, -0.07f, 0.025f + 1e-6f);
    EXPECT_FLOAT_EQ(g.Cubes[right].Gravity.z, -0.005f);

    g.Scatter(2); // the axes are crossed: x follows y and y follows x
    EXPECT_NEAR(g.Cubes[top].Velocity.x, 0.07f, 0.025f + 1e-6f);
    EXPECT_NEAR(g.Cubes[right].Velocity.y, 0.07f, 0.025f + 1e-6f);

    g.Scatter(3);
    EXPECT_FLOAT_EQ(g.Cubes[top].Velocity.x, -0.07f);
    EXPECT_FLOAT_EQ(g.Cubes[low].Velocity.x, 0.07f);
    EXPECT_EQ(g.Cubes[low].Gravity, (TVector3{0, 0, 0}));
    EXPECT_EQ(g.Cubes[low].Spin.x, 0.0f);
    EXPECT_NEAR(g.Cubes[low].Spin.y, 0.04f, 0.035f + 1e-6f);
}

TEST(Animations, ScatteredCubesBounceOnTheFloorUntilTheySettle)
{
    TestGame t;
    TGameSetup& g = t.Game;
    const int i = PutCubeInState(g, 1, 5, 5, csIdle);
    g.Scatter(0);
    const TCube& c = g.Cubes[i];
    EXPECT_GT(c.Velocity.z, 0.14f);
    EXPECT_EQ(c.Spin, (TVector3{-0.05f, 0, 0}));

    float impact = 0;
    int bounces = 0;
    for (int step = 0; step < 3000; ++step)
    {
        const float before = c.Velocity.z + c.Gravity.z;
        g.ScatterStep();
        ASSERT_GE(c.Position.z, 0.4f);
        if (before < 0 && c.Velocity.z > 0 && bounces == 0)
        {
            impact = -before;
            EXPECT_NEAR(c.Velocity.z, impact * 0.8f, 1e-4f);
            EXPECT_NEAR(c.Spin.x, -0.04f, 1e-6f);
        }
        bounces += before < 0 && c.Velocity.z > 0;
    }
    EXPECT_GT(impact, 0.14f);
    EXPECT_GT(bounces, 3);
    // The slide and the tumbling stop; what is left is a small hop that the one-step
    // gravity keeps alive, never rising far off the floor.
    EXPECT_EQ(c.Velocity.x, 0.0f);
    EXPECT_EQ(c.Velocity.y, 0.0f);
    EXPECT_EQ(c.Spin, (TVector3{0, 0, 0}));
    for (int step = 0; step < 200; ++step)
    {
        g.ScatterStep();
        ASSERT_LE(c.Position.z, 0.6f);
        ASSERT_LE(std::fabs(c.Velocity.z), 0.05f);
    }
}

TEST(Animations, LevelDoneCameraFlightCirclesTheBoardAndComesHome)
{
    TestGame t;
    TGameSetup& g = t.Game;
    g.EndPhase = epLevelDone;
    TVector3& eye = t.Host.Eye();
    const TVector3 rest = NullGameHost::RestEye;

    g.MoveCamera(0);
    EXPECT_EQ(eye, rest);
    g.MoveCamera(200);
    EXPECT_FLOAT_EQ(eye.y, rest.y - 10);
    EXPECT_FLOAT_EQ(eye.x, rest.x);
    g.MoveCamera(200 + 2600 / 4.0); // a quarter round: at the side, low over the floor
    EXPECT_NEAR(eye.x, rest.x + 10, 1e-4f);
    EXPECT_NEAR(eye.y, rest.y, 1e-4f);
    EXPECT_NEAR(eye.z, 1.7f, 1e-4f);
    g.MoveCamera(200 + 2600 / 2.0); // half way: opposite the start
    EXPECT_NEAR(eye.x, rest.x, 1e-4f);
    EXPECT_NEAR(eye.y, rest.y + 10, 1e-4f);
    EXPECT_NEAR(eye.z, 12.7f, 1e-4f);
    g.MoveCamera(2800);
    EXPECT_FLOAT_EQ(eye.x, rest.x);
    EXPECT_FLOAT_EQ(eye.y, rest.y - 10);
    g.MoveCamera(3000);
    EXPECT_NEAR(eye.y, rest.y, 1e-5f);

    // No jumps anywhere along the way.
    t.Host.ResetEye();
    TVector3 last = eye;
    for (int ms = 0; ms <= 3000; ++ms)
    {
        g.MoveCamera(ms);
        ASSERT_LT(Distance(eye, last), 0.06f) << "at " << ms;
        last = eye;
    }
}

TEST(Animations, GameOverCameraFlightTakesTheLongerCircle)
{
    TestGame t;
    TGameSetup& g = t.Game;
    g.EndPhase = epGameOver;
    TVector3& eye = t.Host.Eye();
    const TVector3 rest = NullGameHost::RestEye;
    g.MoveCamera(200 + 5600 / 4.0);
    EXPECT_NEAR(eye.x, rest.x + 10, 1e-4f);
    EXPECT_NEAR(eye.z, 1.7f, 1e-4f);
    g.MoveCamera(5800);
    EXPECT_FLOAT_EQ(eye.y, rest.y - 10);
    g.MoveCamera(6000);
    EXPECT_NEAR(eye.y, rest.y, 1e-5f);
}
