// Cube animations (growth, random turns, spins under the cursor, hovering, vanishing),
// the particles tied to cubes, the scatter of a fly-by level and the camera flights of
// the level-end phases. Every step is a few float operations on the fixed cube table.
#include "game/Game.h"
#include "game/RuleHelpers.h"

#include "base/BoardFrame.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{
constexpr float Pi = std::numbers::pi_v<float>;

// The camera's rest position, where ResetEye puts it.
constexpr float RestX = RestEye.x;
constexpr float RestY = RestEye.y;
constexpr float RestZ = RestEye.z;

using rules::RestHeight;
constexpr float RestScale = rules::CubeScale;

// The rotation angle about a turn axis (1 = X, 2 = Y, 3 = Z).
float& AxisAngle(TCube& c, int axis)
{
    switch (axis)
    {
    case 1:
        return c.Rotation.x;
    case 2:
        return c.Rotation.y;
    default:
        return c.Rotation.z;
    }
}

bool Reached(const TCube& c, float angle)
{
    return c.TurnDir > 0 ? angle >= c.TurnTarget : angle <= c.TurnTarget;
}

void SetScale(TCube& c, float s)
{
    c.Scale = {s, s, s};
}

// After a bounce: a fifth slower, and a component below 0.01 stops.
float Settle(float v)
{
    v *= 0.8f;
    return std::fabs(v) < 0.01f ? 0.0f : v;
}
TVector3 Settle(const TVector3& v)
{
    return {Settle(v.x), Settle(v.y), Settle(v.z)};
}
} // namespace

void TGame::Grow(int i, float dt)
{
    TCube& c = Cubes[i];
    if (c.Anim > 1)
    {
        SetState(i, csIdle);
        Cells[c.X][c.Y].Occupancy = coOccupied;
        Cells[c.X][c.Y].Cube = static_cast<uint8_t>(i);
        SetScale(c, RestScale);
        c.Position.z = RestHeight;
        return;
    }
    c.Anim += dt * 0.005f;
    SetScale(c, c.Anim * 0.5f + 0.3f);
    c.Position.z = c.Anim * 0.65f + 0.15f;
}

void TGame::StartTurn(int i)
{
    TCube& c = Cubes[i];
    if (c.Kind == ckStone || c.Kind == ckBomb)
    {
        return;
    }
    c.TurnAxis = static_cast<uint8_t>(Rng.Random(3) + 1);
    c.TurnDir = static_cast<int8_t>(Rng.Random(2) * 2 - 1);
    c.TurnTarget = AxisAngle(c, c.TurnAxis) + c.TurnDir * Pi / 2;
    SetState(i, csTurn);
}

void TGame::Turn(int i, float dt)
{
    TCube& c = Cubes[i];
    float& angle = AxisAngle(c, c.TurnAxis);
    // Fast at first, slowing as the target comes near; the 0.01 carries it past.
    angle += (std::fabs(c.TurnTarget - angle) + 0.01f) * c.TurnDir * (0.02f / Pi) * dt;
    if (Reached(c, angle))
    {
        angle = c.TurnTarget;
        SetState(i, csIdle);
    }
}

void TGame::StartSpin(int i)
{
    TCube& c = Cubes[i];
    if (c.Kind == ckStone)
    {
        return;
    }
    if (c.Kind == ckBomb)
    {
        c.TurnAxis = 3;
        c.TurnDir = 1;
        c.TurnTarget = c.Rotation.z + 2 * Pi;
    }
    else
    {
        c.TurnAxis = static_cast<uint8_t>(Rng.Random(3) + 1);
        c.TurnDir = static_cast<int8_t>(Rng.Random(2) * 2 - 1);
        c.TurnTarget = AxisAngle(c, c.TurnAxis) + c.TurnDir * Pi / 2;
    }
    c.Anim = 0;
    SetState(i, csSpin);
}

void TGame::SpinCube(int i, float dt)
{
    TCube& c = Cubes[i];
    const float p = std::sin(c.Anim * 4) * 0.1f + 0.8f;
    float e = dt;
    if (c.Kind == ckBomb)
    {
        e = dt * 2; // a bomb turns twice as fast and does not pulse
    }
    else
    {
        SetScale(c, p);
    }
    c.Anim += e * 0.004f;
    float& angle = AxisAngle(c, c.TurnAxis);
    angle += c.TurnDir * 0.004f * e;
    if (Reached(c, angle))
    {
        angle = c.TurnTarget;
        SetState(i, csIdle);
        SetScale(c, RestScale);
    }
}

void TGame::Hover(int i, float dt)
{
    TCube& c = Cubes[i];
    c.Position.x = c.X - 5 + 0.06f * std::sin(c.Anim * 4);
    c.Position.y = c.Y - 5 + 0.06f * std::sin(c.Anim * 3);
    c.Position.z = RestHeight + 0.2f * std::sin(c.Anim);
    c.Anim += dt * 0.01f;
}

void TGame::Vanish(int i, float dt)
{
    if (CubeCount <= 0)
    {
        return;
    }
    TCube& c = Cubes[i];
    const float b = dt * 0.003f;
    c.Anim += b;
    if (c.Anim < 0.003f)
    {
        c.Rotation = {0, 0, 0};
    }
    c.Rotation.x += dt * 0.006f;
    c.Rotation.y += dt * 0.006f;
    // Swells for the first 100 ms, then shrinks away.
    c.Scale.z += c.Anim < 0.3f ? b : -b;
    c.Scale.x = c.Scale.z;
    c.Scale.y = c.Scale.z;
    if (c.Scale.z <= 0)
    {
        SetState(i, csRemoved);
    }
}

void TGame::EmitFuseSparks(int i)
{
    const TCube& c = Cubes[i];
    const float r = c.Rotation.z;
    // The fuse tip turns with the bomb.
    const TVector3 tip{c.Position.x - 0.31f * std::cos(r) - 0.52f * std::sin(r),
                       c.Position.y - 0.31f * std::sin(r) + 0.52f * std::cos(r), 0.85f};
    // A spark flies at most its speed for its life (256 at a fade of at least 1 a
    // millisecond; velocities are per 10000 ms and only slow down) and is drawn as a quad of
    // this half diagonal.
    constexpr float Flight = 256.0f / 10000;
    constexpr int Kind = 5;
    const float half = 0.5f * std::hypot(ParticleKinds[Kind].StartWidth, ParticleKinds[Kind].StartHeight);
    // On the edge cells the sparks stay inside the well of the board's frame as the resting
    // eye sees them, a little clear of its rim: a spark bound outwards flies inwards, one
    // still too far is slowed, and the tip of a fuse turned outwards gives them off nearer in.
    const auto keepInside = [&](float& at, float& speed, float eye, float low, float high, float height)
    {
        const float seen = RestEye.z / (RestEye.z - height); // how much larger the eye sees it
        const float lo = eye + (low - eye) / seen + half + SparkClearance;
        const float hi = eye + (high - eye) / seen - half - SparkClearance;
        at = std::clamp(at, lo, hi);
        if (at + speed * Flight < lo || at + speed * Flight > hi)
        {
            speed = -speed;
        }
        speed = std::clamp(speed, (lo - at) / Flight, (hi - at) / Flight);
    };
    for (int k = 0; k < 17; ++k)
    {
        const float u1 = static_cast<float>(Rng.RandomFloat());
        const float u2 = static_cast<float>(Rng.RandomFloat());
        const float u3 = static_cast<float>(Rng.RandomFloat());
        TVector3 velocity{(u1 - 0.5f) * 25, (u2 - 0.5f) * 25, (u3 - 0.5f) * 25};
        const float highest = tip.z + std::max(0.0f, velocity.z * Flight);
        TVector3 from = tip;
        keepInside(from.x, velocity.x, RestEye.x, FrameWellRight, FrameWellLeft, highest);
        keepInside(from.y, velocity.y, RestEye.y, FrameWellBottom, FrameWellTop, highest);
        Particles.EmitParticle(FuseSparkSystem, Kind, from, velocity, 256);
    }
}

void TGame::Burst(int i)
{
    const TCube& c = Cubes[i];
    const TVector3 at{c.Position.x, c.Position.y, 1.0f};
    // A ring of particles: a_k = k x pi / 18, fresh (u, v) for every particle.
    auto ring = [&](int count, int system, int kind, float speed)
    {
        for (int k = 1; k <= count; ++k)
        {
            const float a = k * Pi / 18;
            const float u = static_cast<float>(Rng.RandomFloat());
            const float v = static_cast<float>(Rng.RandomFloat());
            Particles.EmitParticle(system, kind, at,
                                   {(u + 2 * std::sin(a) - 0.5f) * speed,
                                    (v + 2 * std::cos(a) - 0.5f) * speed, 0},
                                   256);
        }
    };

    if (c.Kind == ckBomb)
    {
        for (int k = 1; k <= 72; ++k)
        {
            const float a = k * Pi / 18;
            float u = static_cast<float>(Rng.RandomFloat());
            float v = static_cast<float>(Rng.RandomFloat());
            const TVector3 spark{(u + 2 * std::sin(a) - 0.5f) * 12,
                                 (v + 2 * std::cos(a) - 0.5f) * 12, 0};
            Particles.EmitParticle(1, 3, at, spark, 256);
            u = static_cast<float>(Rng.RandomFloat());
            v = static_cast<float>(Rng.RandomFloat());
            Particles.EmitParticle(1, 2, at, {(u - 0.5f) * 40, (v - 0.5f) * 40, 0}, 256);
        }
    }
    else if (IsColourKind(c.Kind))
    {
        ring(36, 0, 0, 10);
    }
    else if (c.Kind == ckJoker)
    {
        for (int k = 1; k <= 36; ++k)
        {
            const float a = k * Pi / 18;
            const float u = static_cast<float>(Rng.RandomFloat());
            const float v = static_cast<float>(Rng.RandomFloat());
            const TVector3 from{at.x + 0.5f * std::cos(a), at.y + 0.5f * std::sin(a), 1.0f};
            Particles.EmitParticle(0, 1, from, {(u - 0.5f) * 20, (v - 0.5f) * 20, 0}, 256);
        }
    }
    else if (c.Kind == ckStone)
    {
        ring(36, 0, 1, 5);
    }
    else if (IsPaintKind(c.Kind))
    {
        ring(72, 2, 4, 5);
    }
    // A shot cube leaves without a burst.
}

void TGame::Scatter(int style)
{
    auto u = [this] { return static_cast<float>(Rng.RandomFloat()); };
    // Away from the board's middle line along one axis, a gentle push near it.
    auto away = [&](float p)
    {
        const float r = u();
        if (std::fabs(p) > 0.1f)
        {
            return (r - 0.5f) * 0.05f + 0.07f * (p > 0 ? 1.0f : -1.0f);
        }
        return (r - 0.5f) * 0.05f + 0.035f;
    };
    constexpr TVector3 Fall{0, 0, -0.005f};

    for (int i = 1; i <= CubeCount; ++i)
    {
        TCube& c = Cubes[i];
        switch (style)
        {
        case 0:
        {
            const float vy = (u() - 0.5f) * 0.05f + 0.1f;
            const float vz = (u() - 0.5f) * 0.1f + 0.2f;
            c.Velocity = {0, vy, vz};
            c.Gravity = Fall;
            c.Spin = {-0.05f, 0, 0};
            break;
        }
        case 1:
        {
            const float vx = (u() - 0.5f) * 0.25f + 0.01f;
            const float vy = (u() - 0.5f) * 0.25f + 0.01f;
            const float vz = (u() - 0.5f) * 0.1f + 0.2f;
            c.Velocity = {vx, vy, vz};
            c.Gravity = Fall;
            const float sx = (u() - 0.5f) * 0.01f + 0.05f;
            const float sy = (u() - 0.5f) * 0.01f + 0.05f;
            const float sz = (u() - 0.5f) * 0.01f + 0.05f;
            c.Spin = {sx, sy, sz};
            break;
        }
        case 2:
        case 5:
        case 4:
        {
            float vx = 0;
            float vy = 0;
            if (style == 4)
            {
                vx = away(c.Position.x);
                vy = away(c.Position.y);
            }
            else
            {
                vx = away(c.Position.y);
                vy = away(c.Position.x);
            }
            const float vz = (u() - 0.5f) * 0.1f + 0.2f;
            c.Velocity = {vx, vy, vz};
            c.Gravity = Fall;
            const float sx = (u() - 0.5f) * 0.1f;
            const float sy = (u() - 0.5f) * 0.1f;
            const float sz = (u() - 0.5f) * 0.1f;
            c.Spin = {sx, sy, sz};
            break;
        }
        case 3:
        {
            // Rows slide sideways, alternate rows the other way.
            const bool odd = static_cast<int>(std::fabs(c.Position.y)) % 2 == 1;
            c.Velocity = {odd ? -0.07f : 0.07f, 0, 0.005f};
            c.Gravity = {0, 0, 0};
            c.Spin = {0, (u() - 0.5f) * 0.07f + 0.04f, 0};
            break;
        }
        default:
            break;
        }
    }
}

void TGame::ScatterStep()
{
    // One step per update, not scaled by the frame time.
    for (int i = 1; i <= CubeCount; ++i)
    {
        TCube& c = Cubes[i];
        c.Position.x += c.Velocity.x;
        c.Position.y += c.Velocity.y;
        c.Position.z += c.Velocity.z;
        c.Velocity.x += c.Gravity.x;
        c.Velocity.y += c.Gravity.y;
        c.Velocity.z += c.Gravity.z;
        c.Rotation.x += c.Spin.x;
        c.Rotation.y += c.Spin.y;
        c.Rotation.z += c.Spin.z;
        if (c.Position.z <= RestHeight)
        {
            // Bounce off the floor, losing a fifth of the speed and spin.
            c.Position.z = RestHeight;
            c.Velocity.z = -c.Velocity.z;
            c.Velocity = Settle(c.Velocity);
            c.Spin = Settle(c.Spin);
        }
    }
}

void TGame::MoveCamera(double t)
{
    // The flight backs away, circles the board once and comes back to rest at end + 200.
    const double end = EndPhase == epGameOver ? 5800 : 2800;
    const double span = end - 200;
    TVector3& eye = Host.Eye();
    if (t <= 200)
    {
        eye.y = static_cast<float>(RestY - 0.05 * t);
    }
    else if (t < end)
    {
        const double b = (t - 200) * 2 * std::numbers::pi / span;
        eye.x = static_cast<float>(RestX + 10 * std::sin(b));
        eye.y = static_cast<float>(RestY - 10 * std::cos(b));
        eye.z = static_cast<float>(RestZ - 11 * std::fabs(std::sin(b)));
    }
    else
    {
        eye.x = RestX;
        eye.y = static_cast<float>(RestY - 10 + 0.05 * (t - end));
    }
}
