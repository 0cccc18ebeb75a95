// The six particle systems: sparks from bomb fuses, bursts of vanishing cubes and the
// new-level banner. The game emits and advances them; the renderer draws them.
#pragma once

#include "base/TexMatrix.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int ParticleSystemCount = 6; // systems 0..5
constexpr int ParticleKindCount = 7;   // kinds 0..6
constexpr int FuseSparkSystem = 3;     // the bombs' fuse sparks, which fly while a bomb is on the board
// Room reserved per system up front, so play never allocates. It is also the most a
// system holds: frames shorter than a millisecond fade nothing while bombs keep
// sparking, and a list must not grow without end.
constexpr int MaxParticles = 16384;

struct TParticle
{
    uint8_t Kind = 0;
    TVector3 Position;
    TVector3 Velocity;     // world units per 10000 ms
    TVector3 Accel;        // per-axis velocity change factor of the kind
    float Angle = 0;       // about z, kept in 0..2 pi
    float AngularSpeed = 0; // radians per 10000 ms
    float AngularAccel = 0; // change of AngularSpeed per 10000 ms
    int Life = 0;          // its low 8 bits are the drawn opacity
    float Width = 0;
    float Height = 0;
};

struct TParticleKind
{
    int TextureSlot;
    TVector3 Accel;
    float Fade;
    float StartWidth, StartHeight;
    float GrowWidth, GrowHeight;
    float AngularSpeed;
    float AngularAccel;
    bool Additive;
};
extern const std::array<TParticleKind, ParticleKindCount> ParticleKinds;

// What texture slot 6 shows: the effect it starts with, or the "new level" banner that
// flies up when a level begins. The renderer knows the pictures.
enum TSlot6Picture : uint8_t
{
    spEffect,
    spNewLevel,
};

class TParticleSystems
{
public:
    TParticleSystems();

    // Creates a particle and puts it at the front of the system; a full system
    // (MaxParticles) drops it.
    void EmitParticle(int system, int kind, const TVector3& position, const TVector3& velocity,
                      int life);
    // Advances every particle of the system and removes the dead ones.
    void UpdateParticles(int system, float dt);
    // Gives texture slot 6 a new picture and every particle of the system the size w x h.
    void SetParticleImage(int system, TSlot6Picture picture, float w, float h);

    int Count(int system) const { return static_cast<int>(Systems[system].size()); }
    // The i-th particle from the front (i = 0 is the newest).
    const TParticle& At(int system, int i) const
    {
        const auto& s = Systems[system];
        return s[s.size() - 1 - i];
    }

    // Picture of texture slot 6 and a counter that changes whenever it is set, so the
    // renderer knows to load it again.
    TSlot6Picture Slot6Picture = spEffect;
    int Slot6Version = 0;

private:
    // Stored back to front: the last element is the front of the list.
    std::array<std::vector<TParticle>, ParticleSystemCount> Systems;
};
