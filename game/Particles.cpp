#include "game/Particles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// kind: texture slot, Accel, fade, start size, growth, angular speed and acceleration, additive
const std::array<TParticleKind, ParticleKindCount> ParticleKinds = {{
    {0, {-0.5f, -0.5f, 0}, 30, 0.4f, 0.4f, -0.4f, -0.4f, 0, 0, true},
    {1, {0, 0, 0}, 20, 0.6f, 0.6f, -0.4f, -0.4f, 0, 0, true},
    {2, {-1, -1, 0}, 25, 1, 1, 2, 2, 0, 0, true},
    {3, {1.1f, 1.1f, 0}, 15, 0.125f, 0.125f, 0.3f, 0.3f, 0, 0, true},
    {4, {-0.25f, -0.25f, 0}, 30, 0.2f, 0.2f, 3, 3, 250, -5000, true},
    {5, {-1, -1, -1}, 120, 0.1f, 0.1f, 0, 0, 0, 0, true},
    {6, {0, -1, 0}, 8, 10, 10, 0, 0, 0, 0, false},
}};

namespace
{
bool Alive(const TParticle& p)
{
    return p.Life > 5 && p.Width > 0 && p.Height > 0;
}

// Removing keeps the order of the survivors.
void RemoveDead(std::vector<TParticle>& s)
{
    s.erase(std::remove_if(s.begin(), s.end(), [](const TParticle& p) { return !Alive(p); }),
            s.end());
}
} // namespace

TParticleSystems::TParticleSystems()
{
    for (auto& s : Systems)
    {
        s.reserve(MaxParticles);
    }
}

void TParticleSystems::EmitParticle(int system, int kind, const TVector3& position,
                                    const TVector3& velocity, int life)
{
    auto& s = Systems[system];
    if (s.size() >= static_cast<size_t>(MaxParticles))
    {
        return;
    }
    const TParticleKind& k = ParticleKinds[kind];
    TParticle p;
    p.Kind = static_cast<uint8_t>(kind);
    p.Position = position;
    p.Velocity = velocity;
    p.Accel = k.Accel;
    p.Angle = 0;
    p.AngularSpeed = k.AngularSpeed;
    p.AngularAccel = k.AngularAccel;
    p.Life = life;
    p.Width = k.StartWidth;
    p.Height = k.StartHeight;
    s.push_back(p);
}

void TParticleSystems::UpdateParticles(int system, float dt)
{
    constexpr float TwoPi = 2 * std::numbers::pi_v<float>;
    auto& s = Systems[system];
    // Velocities are per 10000 ms, the accelerations' factors per 1000 ms. Everything a
    // particle's kind decides is worked out once per step: fuse sparks come by the
    // thousand, and this loop is the busiest of an update.
    struct TStep
    {
        int Fade;
        float GrowWidth, GrowHeight, AngularAccel;
        TVector3 Accel;
    };
    std::array<TStep, ParticleKindCount> steps{};
    for (int kind = 0; kind < ParticleKindCount; ++kind)
    {
        const TParticleKind& k = ParticleKinds[kind];
        steps[kind] = {static_cast<int>(std::nearbyint(k.Fade / 100 * dt)), k.GrowWidth / 10000 * dt,
                       k.GrowHeight / 10000 * dt, k.AngularAccel / 10000 * dt,
                       {k.Accel.x / 1000 * dt, k.Accel.y / 1000 * dt, k.Accel.z / 1000 * dt}};
    }
    const float move = dt / 10000;
    // One pass: each particle is advanced and, if it lives on, written back behind the
    // survivors before it, so the order of the list is kept.
    size_t kept = 0;
    for (size_t i = 0; i < s.size(); ++i)
    {
        TParticle p = s[i];
        const TStep& k = steps[p.Kind];
        p.Position.x += p.Velocity.x * move;
        p.Position.y += p.Velocity.y * move;
        p.Position.z += p.Velocity.z * move;
        p.Angle += p.AngularSpeed * move;
        if (p.Angle > TwoPi)
        {
            p.Angle -= TwoPi;
        }
        if (p.Angle < 0)
        {
            p.Angle += TwoPi;
        }
        p.Velocity.x += p.Velocity.x * k.Accel.x;
        p.Velocity.y += p.Velocity.y * k.Accel.y;
        p.Velocity.z += p.Velocity.z * k.Accel.z;
        p.AngularSpeed += k.AngularAccel;
        p.Width += k.GrowWidth;
        p.Height += k.GrowHeight;
        p.Life -= k.Fade;
        if (Alive(p))
        {
            s[kept++] = p;
        }
    }
    s.resize(kept);
}

void TParticleSystems::SetParticleImage(int system, TSlot6Picture picture, float w, float h)
{
    auto& s = Systems[system];
    if (s.empty())
    {
        return;
    }
    Slot6Picture = picture;
    ++Slot6Version;
    for (TParticle& p : s)
    {
        p.Width = w;
        p.Height = h;
    }
    RemoveDead(s);
}
