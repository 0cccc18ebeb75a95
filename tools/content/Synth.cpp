#include "tools/content/Synth.h"

#include <algorithm>

namespace
{
constexpr int SineTableSize = 4096;

std::vector<double> BuildSineTable()
{
    std::vector<double> t(SineTableSize + 1);
    for (int i = 0; i <= SineTableSize; ++i)
    {
        t[static_cast<size_t>(i)] = std::sin(TwoPi * i / SineTableSize);
    }
    return t;
}

const std::vector<double> SineTable = BuildSineTable();
} // namespace

double FastSin01(double x)
{
    x -= std::floor(x);
    const double pos = x * SineTableSize;
    const int i = static_cast<int>(pos);
    const double f = pos - i;
    const double a = SineTable[static_cast<size_t>(i)];
    return a + (SineTable[static_cast<size_t>(i) + 1] - a) * f;
}

double TOsc::Sine(double hz)
{
    const double v = FastSin01(Phase);
    Phase += hz / SampleRate;
    Phase -= std::floor(Phase);
    return v;
}

double TOsc::Saw(double hz)
{
    const double dt = hz / SampleRate;
    const double v = 2.0 * Phase - 1.0 - PolyBlep(Phase, dt);
    Phase += dt;
    Phase -= std::floor(Phase);
    return v;
}

double TOsc::Square(double hz, double width)
{
    const double dt = hz / SampleRate;
    double v = Phase < width ? 1.0 : -1.0;
    v += PolyBlep(Phase, dt);
    double shifted = Phase + 1.0 - width;
    shifted -= std::floor(shifted);
    v -= PolyBlep(shifted, dt);
    Phase += dt;
    Phase -= std::floor(Phase);
    return v;
}

double TOsc::Triangle(double hz)
{
    // Integrated band-limited square.
    const double sq = Square(hz);
    Tri = Tri + (4.0 * hz / SampleRate) * sq;
    Tri *= 0.9995;
    return Tri;
}

double Adsr(double t, double hold, double attack, double decay, double sustain, double release)
{
    if (t < 0)
    {
        return 0;
    }
    auto level = [&](double u)
    {
        if (u < attack)
        {
            return u / attack;
        }
        u -= attack;
        return sustain + (1.0 - sustain) * std::exp(-u / std::max(decay, 1e-4));
    };
    if (t < hold)
    {
        return level(t);
    }
    return level(hold) * std::exp(-(t - hold) / std::max(release, 1e-4));
}

void TSvf::Set(double cutoffHz, double q)
{
    cutoffHz = std::clamp(cutoffHz, 10.0, SampleRate * 0.45);
    G = std::tan(3.14159265358979 * cutoffHz / SampleRate);
    K = 1.0 / std::max(q, 0.05);
    A1 = 1.0 / (1.0 + G * (G + K));
    A2 = G * A1;
    A3 = G * A2;
}

void TSvf::Tick(double x)
{
    V0 = x;
    const double v3 = x - Ic2;
    V1 = A1 * Ic1 + A2 * v3;
    V2 = Ic2 + A2 * Ic1 + A3 * v3;
    Ic1 = 2.0 * V1 - Ic1;
    Ic2 = 2.0 * V2 - Ic2;
}

double TSvf::Low(double x)
{
    Tick(x);
    return V2;
}

double TSvf::Band(double x)
{
    Tick(x);
    return V1;
}

double TSvf::High(double x)
{
    Tick(x);
    return V0 - K * V1 - V2;
}

float TDelayLine::Read(double delaySamples) const
{
    const double d = std::clamp(delaySamples, 1.0, static_cast<double>(Buffer.size() - 1));
    const size_t whole = static_cast<size_t>(d);
    const float frac = static_cast<float>(d - static_cast<double>(whole));
    const float a = Tap(whole);
    const float b = Tap(whole + 1);
    return a + (b - a) * frac;
}

void TDelayLine::Write(float x)
{
    Pos = (Pos + 1) % Buffer.size();
    Buffer[Pos] = x;
}

float TReverb::TComb::Run(float in, float feedback, float damp)
{
    const float out = Buffer[Pos];
    Store = out * (1.0f - damp) + Store * damp;
    Buffer[Pos] = in + Store * feedback;
    Pos = (Pos + 1) % Buffer.size();
    return out;
}

float TReverb::TAllpass::Run(float in)
{
    const float buffered = Buffer[Pos];
    const float out = buffered - in;
    Buffer[Pos] = in + buffered * 0.5f;
    Pos = (Pos + 1) % Buffer.size();
    return out;
}

TReverb::TReverb(double roomSize, double damping, double width)
    : Feedback(static_cast<float>(0.7 + 0.28 * roomSize)), Damp(static_cast<float>(damping * 0.4)),
      Width(static_cast<float>(width))
{
    static const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int allpasses[4] = {556, 441, 341, 225};
    for (int side = 0; side < 2; ++side)
    {
        const int spread = side * 23;
        for (int c : combs)
        {
            Combs[side].push_back(TComb{std::vector<float>(static_cast<size_t>(c + spread), 0.0f)});
        }
        for (int a : allpasses)
        {
            Allpasses[side].push_back(
                TAllpass{std::vector<float>(static_cast<size_t>(a + spread), 0.0f)});
        }
    }
}

void TReverb::Process(float in, float& left, float& right)
{
    float out[2] = {0, 0};
    const float input = in * 0.03f;
    for (int side = 0; side < 2; ++side)
    {
        for (TComb& c : Combs[side])
        {
            out[side] += c.Run(input, Feedback, Damp);
        }
        for (TAllpass& a : Allpasses[side])
        {
            out[side] = a.Run(out[side]);
        }
    }
    const float w1 = Width / 2.0f + 0.5f;
    const float w2 = (1.0f - Width) / 2.0f;
    left = out[0] * w1 + out[1] * w2;
    right = out[1] * w1 + out[0] * w2;
}

TWave WithReverb(const TWave& dry, double roomSize, double damping, float wet, double tailSeconds)
{
    TWave out;
    out.Channels = 2;
    const size_t frames = dry.Frames() + FramesOf(tailSeconds);
    out.Samples.assign(frames * 2, 0.0f);
    TReverb reverb(roomSize, damping);
    for (size_t i = 0; i < frames; ++i)
    {
        float l = 0;
        float r = 0;
        if (i < dry.Frames())
        {
            l = dry.At(i, 0);
            r = dry.Channels > 1 ? dry.At(i, 1) : l;
        }
        float wl = 0;
        float wr = 0;
        reverb.Process((l + r) * 0.5f, wl, wr);
        out.At(i, 0) = l + wl * wet;
        out.At(i, 1) = r + wr * wet;
    }
    return out;
}
