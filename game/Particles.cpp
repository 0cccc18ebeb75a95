#include "Particles.h"

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
    for (TParticle& p : s)
    {
        const TParticleKind& k = ParticleKinds[p.Kind];
        p.Position.x += p.Velocity.x / 10000 * dt;
        p.Position.y += p.Velocity.y / 10000 * dt;
        p.Position.z += p.Velocity.z / 10000 * dt;
        p.Angle += p.AngularSpeed / 10000 * dt;
        if (p.Angle > TwoPi)
        {
            p.Angle -= TwoPi;
        }
        if (p.Angle < 0)
        {
            p.Angle += TwoPi;
        }
        p.Velocity.x += p.Velocity.x * p.Accel.x / 1000 * dt;
        p.Velocity.y += p.Velocity.y * p.Accel.y / 1000 * dt;
        p.Velocity.z += p.Velocity.z * p.Accel.z / 1000 * dt;
        p.AngularSpeed += p.AngularAccel / 10000 * dt;
        p.Width += k.GrowWidth / 10000 * dt;
        p.Height += k.GrowHeight / 10000 * dt;
        p.Life -= static_cast<int>(std::nearbyint(k.Fade / 100 * dt));
    }
    RemoveDead(s);
}

void TParticleSystems::SetParticleImage(int system, const std::string& image, float w, float h)
{
    auto& s = Systems[system];
    if (s.empty())
    {
        return;
    }
    Slot6Image = image;
    ++Slot6Version;
    for (TParticle& p : s)
    {
        p.Width = w;
        p.Height = h;
    }
    RemoveDead(s);
}
