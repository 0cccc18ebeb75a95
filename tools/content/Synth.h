// Building blocks of our sounds and tunes: oscillators, envelopes, filters, delays and a room
// reverb. Everything runs sample by sample at the game's rate.
#pragma once

#include "tools/content/Audio.h"
#include "tools/content/Noise.h"

#include <cmath>
#include <vector>

inline constexpr double TwoPi = 6.28318530717958647692;

// Frequency of a MIDI note number (69 = A4 = 440 Hz).
inline double NoteHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// sin(2 pi x) from a table: exact enough for sound, several times faster than std::sin.
double FastSin01(double x);
// sin(a) for any angle in radians, by the same table.
inline double FastSin(double radians) { return FastSin01(radians * (1.0 / TwoPi)); }

// Band-limited step correction for saw and square (polyBLEP).
inline double PolyBlep(double t, double dt)
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt)
    {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

class TOsc
{
public:
    explicit TOsc(double phase = 0.0) : Phase(phase) {}
    double Sine(double hz);
    double Saw(double hz);
    double Square(double hz, double width = 0.5);
    double Triangle(double hz);
    double Phase; // 0..1

private:
    double Tri = 0;
};

// Attack, decay to sustain, release after `hold` seconds; t in seconds from the note's start.
double Adsr(double t, double hold, double attack, double decay, double sustain, double release);
// A percussive envelope: fast linear attack, exponential decay with the given time constant.
inline double Perc(double t, double attack, double decay)
{
    if (t < 0)
    {
        return 0;
    }
    if (t < attack)
    {
        return t / attack;
    }
    return std::exp(-(t - attack) / decay);
}

// Chamberlin-free state-variable filter (Simper's trapezoidal form), stable at any cutoff.
class TSvf
{
public:
    void Set(double cutoffHz, double q);
    double Low(double x);
    double Band(double x);
    double High(double x);

private:
    void Tick(double x);
    double G = 0, K = 1, A1 = 0, A2 = 0, A3 = 0;
    double Ic1 = 0, Ic2 = 0;
    double V1 = 0, V2 = 0, V0 = 0;
};

class TDelayLine
{
public:
    explicit TDelayLine(size_t length = 1) : Buffer(length, 0.0f) {}
    float Read(double delaySamples) const; // linear interpolation
    void Write(float x);
    float Tap(size_t delaySamples) const
    {
        return Buffer[(Pos + Buffer.size() - delaySamples) % Buffer.size()];
    }

private:
    std::vector<float> Buffer;
    size_t Pos = 0;
};

// A stereo room after the classic comb-and-allpass design.
class TReverb
{
public:
    TReverb(double roomSize, double damping, double width = 1.0);
    // Feeds one mono sample; returns the wet left and right.
    void Process(float in, float& left, float& right);

private:
    struct TComb
    {
        std::vector<float> Buffer;
        size_t Pos = 0;
        float Store = 0;
        float Run(float in, float feedback, float damp);
    };
    struct TAllpass
    {
        std::vector<float> Buffer;
        size_t Pos = 0;
        float Run(float in);
    };
    std::vector<TComb> Combs[2];
    std::vector<TAllpass> Allpasses[2];
    float Feedback;
    float Damp;
    float Width;
};

// Adds a reverb of the dry sound into a stereo result (`wet` is the send level).
TWave WithReverb(const TWave& dry, double roomSize, double damping, float wet,
                  double tailSeconds);

// White noise in -1..1 from a seeded generator.
class TNoise
{
public:
    explicit TNoise(uint64_t seed) : Rng(seed) {}
    double Next() { return Rng.Uniform() * 2.0 - 1.0; }

private:
    TRng Rng;
};
