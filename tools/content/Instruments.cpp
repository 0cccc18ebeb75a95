// One note of each instrument, rendered on its own; the song renderer places and mixes them.
#include "tools/content/Instruments.h"

#include "tools/content/Synth.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double Rate = SampleRate;

// How long a note sounds in all: its held time plus the ring of its release.
double NoteSeconds(TInstrument instrument, double held)
{
    switch (instrument)
    {
    case TInstrument::EPiano: return held + 0.7;
    case TInstrument::Pad: return held + 4.0;
    case TInstrument::Strings: return held + 2.0;
    case TInstrument::Bass: return held + 0.4;
    case TInstrument::SynthBass: return held + 0.3;
    case TInstrument::Lead: return held + 0.6;
    case TInstrument::Bell: return std::max(held, 0.5) + 2.5;
    case TInstrument::MusicBox: return 3.0;
    case TInstrument::Pluck: return std::min(held, 1.5) + 0.6;
    case TInstrument::Kick: return 0.5;
    case TInstrument::Snare: return 0.4;
    case TInstrument::Clap: return 0.45;
    case TInstrument::HatClosed: return 0.15;
    case TInstrument::HatOpen: return std::min(held, 0.6) + 0.05;
    case TInstrument::Shaker: return 0.15;
    case TInstrument::Rim: return 0.1;
    case TInstrument::Swell: return held;
    }
    return held;
}

double Release(double t, double held, double time)
{
    return t < held ? 1.0 : std::exp(-(t - held) / time);
}

// Fills the note frame by frame: `sample` gets the frame's index and its time in seconds.
template <class TSample> void Fill(std::vector<float>& out, TSample sample)
{
    for (size_t i = 0; i < out.size(); ++i)
    {
        out[i] = static_cast<float>(sample(i, static_cast<double>(i) / Rate));
    }
}

// One note being rendered: its pitch, held time and loudness, and the noise, filters and
// oscillators its instrument plays through, seeded from the note.
struct TVoice
{
    TVoice(double noteHz, double noteHeld, float velocity, uint32_t seed)
        : hz(noteHz), held(noteHeld), vel(velocity), noise(seed),
          o1(HashUnit(static_cast<int>(seed), 1, 7)), o2(HashUnit(static_cast<int>(seed), 2, 7)),
          o3(HashUnit(static_cast<int>(seed), 3, 7)), o4(HashUnit(static_cast<int>(seed), 4, 7)),
          lfo(HashUnit(static_cast<int>(seed), 5, 7))
    {
    }

    void EPiano(std::vector<float>& out)
    {
        const double decay = 0.9 + 180.0 / hz;
        Fill(out, [&](size_t, double t)
        {
            const double env = Perc(t, 0.002, decay) * Release(t, held, 0.1);
            const double index = (0.3 + 1.4 * vel) * std::exp(-t / 0.3) + 0.12;
            double v = FastSin(TwoPi * hz * t + index * FastSin(TwoPi * hz * t));
            v += 0.3 * FastSin(TwoPi * hz * 1.003 * t);
            v += 0.18 * vel * FastSin(TwoPi * hz * 14.0 * t) * std::exp(-t / 0.025);
            return v * env * vel * 0.6;
        });
    }

    void PadOrStrings(std::vector<float>& out, TInstrument instrument)
    {
        const bool pad = instrument == TInstrument::Pad;
        Fill(out, [&](size_t i, double t)
        {
            const double vib = pad ? 1.0 : 1.0 + 0.003 * lfo.Sine(5.2) * std::min(1.0, t / 0.6);
            const double f = hz * vib;
            double v = o1.Saw(f * 1.004) + o2.Saw(f * 0.996) + o3.Saw(f);
            v += pad ? 0.25 * o4.Sine(f * 0.5) : 0.7 * o4.Saw(f * 1.0075);
            const double cutoff = pad ? 650.0 + 700.0 * vel + 300.0 * FastSin(TwoPi * 0.15 * t)
                                      : 1800.0 + 1600.0 * vel;
            if ((i & 15) == 0)
            {
                filter.Set(cutoff, pad ? 0.6 : 0.8);
            }
            const double env =
                pad ? Adsr(t, held, 0.7, 0.8, 0.85, 1.1) : Adsr(t, held, 0.25, 0.4, 0.9, 0.45);
            return filter.Low(v) * env * vel * 0.22;
        });
    }

    void Bass(std::vector<float>& out)
    {
        Fill(out, [&](size_t i, double t)
        {
            if ((i & 15) == 0)
            {
                filter.Set(160.0 + 900.0 * vel * std::exp(-t / 0.12), 0.9);
            }
            const double v = o1.Sine(hz) * 0.8 + filter.Low(o2.Saw(hz)) * 0.6;
            return v * Adsr(t, held, 0.004, 0.35, 0.6, 0.06) * vel * 0.9;
        });
    }

    void SynthBass(std::vector<float>& out)
    {
        Fill(out, [&](size_t i, double t)
        {
            if ((i & 15) == 0)
            {
                filter.Set(220.0 + 2400.0 * vel * std::exp(-t / 0.07), 1.7);
            }
            const double v = o1.Saw(hz) + o2.Saw(hz * 1.005) + 0.5 * o3.Square(hz * 0.5);
            return filter.Low(v) * Adsr(t, held, 0.002, 0.15, 0.55, 0.04) * vel * 0.5;
        });
    }

    void Lead(std::vector<float>& out)
    {
        Fill(out, [&](size_t i, double t)
        {
            const double depth = std::clamp((t - 0.18) / 0.3, 0.0, 1.0);
            const double f = hz * (1.0 + 0.0055 * lfo.Sine(5.4) * depth);
            const double v = 0.55 * o1.Square(f, 0.36) + 0.45 * o2.Saw(f * 1.002);
            if ((i & 15) == 0)
            {
                filter.Set(1400.0 + 1800.0 * vel + 600.0 * std::exp(-t / 0.1), 0.7);
            }
            return filter.Low(v) * Adsr(t, held, 0.012, 0.25, 0.78, 0.12) * vel * 0.45;
        });
    }

    void Bell(std::vector<float>& out)
    {
        Fill(out, [&](size_t, double t)
        {
            const double mod =
                FastSin(TwoPi * hz * 3.5 * t) * (0.6 + 0.8 * vel) * std::exp(-t / 0.4);
            const double v = FastSin(TwoPi * hz * t + mod) +
                             0.25 * FastSin(TwoPi * hz * 2.0 * t) * std::exp(-t / 0.5);
            return v * Perc(t, 0.002, 1.3) * Release(t, std::max(held, 0.5), 0.5) * vel * 0.5;
        });
    }

    void MusicBox(std::vector<float>& out)
    {
        Fill(out, [&](size_t, double t)
        {
            const double v = FastSin(TwoPi * hz * t) * Perc(t, 0.001, 0.9) +
                             0.3 * FastSin(TwoPi * hz * 3.0 * t) * Perc(t, 0.001, 0.25) +
                             0.12 * FastSin(TwoPi * hz * 5.4 * t) * Perc(t, 0.001, 0.07);
            return v * vel * 0.5;
        });
    }

    void Pluck(std::vector<float>& out)
    {
        // A plucked string: a burst of filtered noise circulating in a delay line.
        const double period = Rate / hz;
        TDelayLine line(static_cast<size_t>(period) + 4);
        filter.Set(1200.0 + 4000.0 * vel, 0.7);
        const size_t fill = static_cast<size_t>(period) + 2;
        for (size_t i = 0; i < fill; ++i)
        {
            line.Write(static_cast<float>(filter.Low(noise.Next())));
        }
        double previous = 0;
        const double damp = 0.9975 - 0.000004 * hz;
        Fill(out, [&](size_t, double t)
        {
            const double y = line.Read(period - 1.5);
            line.Write(static_cast<float>(damp * 0.5 * (y + previous)));
            previous = y;
            return y * Release(t, std::min(held, 1.5), 0.12) * vel * 0.8;
        });
    }

    void Kick(std::vector<float>& out)
    {
        Fill(out, [&](size_t, double t)
        {
            const double f = 46.0 + 120.0 * std::exp(-t / 0.028);
            const double v =
                o1.Sine(f) * Perc(t, 0.001, 0.26) + 0.25 * noise.Next() * std::exp(-t / 0.002);
            return v * vel;
        });
    }

    void Snare(std::vector<float>& out)
    {
        filter.Set(2000, 0.7);
        Fill(out, [&](size_t, double t)
        {
            const double tone =
                o1.Sine(185.0 + 40.0 * std::exp(-t / 0.01)) * Perc(t, 0.001, 0.06) * 0.6;
            const double snap = filter.Band(noise.Next()) * Perc(t, 0.001, 0.12) * 1.6;
            return (tone + snap) * vel * 0.8;
        });
    }

    void Clap(std::vector<float>& out)
    {
        filter.Set(1300, 1.1);
        Fill(out, [&](size_t, double t)
        {
            double env = 0;
            for (int k = 0; k < 3; ++k)
            {
                env += Perc(t - 0.011 * k, 0.0005, 0.007);
            }
            env += 0.7 * Perc(t - 0.03, 0.001, 0.11);
            return filter.Band(noise.Next()) * env * vel * 1.5;
        });
    }

    void Hat(std::vector<float>& out, TInstrument instrument)
    {
        const bool open = instrument == TInstrument::HatOpen;
        filter.Set(7500, 0.8);
        filter2.Set(9000, 0.7);
        Fill(out, [&](size_t, double t)
        {
            const double metal = o1.Square(317.0 * 2.0) + o2.Square(433.0 * 2.0) +
                                 o3.Square(551.0 * 2.0) + o4.Square(733.0 * 2.0);
            const double v = filter.High(noise.Next() * 0.8 + metal * 0.15);
            const double env = open ? Perc(t, 0.001, 0.22) * Release(t, std::min(held, 0.6), 0.02)
                                    : Perc(t, 0.0007, 0.03);
            return filter2.Low(v) * env * vel * 0.7;
        });
    }

    void Shaker(std::vector<float>& out)
    {
        filter.Set(6000, 0.7);
        Fill(out, [&](size_t, double t)
        {
            return filter.High(noise.Next()) * Perc(t, 0.012, 0.04) * vel * 0.5;
        });
    }

    void Rim(std::vector<float>& out)
    {
        filter.Set(2800, 2.0);
        Fill(out, [&](size_t, double t)
        {
            const double v = filter.Band(noise.Next()) * Perc(t, 0.0003, 0.01) * 2.0 +
                             o1.Sine(1650.0) * Perc(t, 0.0005, 0.018) * 0.5;
            return v * vel * 0.8;
        });
    }

    void Swell(std::vector<float>& out)
    {
        Fill(out, [&](size_t i, double t)
        {
            const double x = std::min(1.0, t / held);
            if ((i & 15) == 0)
            {
                filter.Set(300.0 * std::pow(20.0, x), 1.2);
            }
            const double end = std::min(1.0, (held - t) / 0.02);
            return filter.Band(noise.Next()) * x * x * end * vel * 0.9;
        });
    }

    const double hz;
    const double held;
    const double vel;
    TNoise noise;
    TSvf filter;
    TSvf filter2;
    TOsc o1;
    TOsc o2;
    TOsc o3;
    TOsc o4;
    TOsc lfo;
};
} // namespace

std::vector<float> RenderNote(TInstrument instrument, double hz, double held, float velocity,
                              uint32_t seed)
{
    const size_t frames = static_cast<size_t>(NoteSeconds(instrument, held) * Rate);
    std::vector<float> out(frames, 0.0f);
    TVoice voice(hz, held, velocity, seed);
    switch (instrument)
    {
    case TInstrument::EPiano:
        voice.EPiano(out);
        break;
    case TInstrument::Pad:
    case TInstrument::Strings:
        voice.PadOrStrings(out, instrument);
        break;
    case TInstrument::Bass:
        voice.Bass(out);
        break;
    case TInstrument::SynthBass:
        voice.SynthBass(out);
        break;
    case TInstrument::Lead:
        voice.Lead(out);
        break;
    case TInstrument::Bell:
        voice.Bell(out);
        break;
    case TInstrument::MusicBox:
        voice.MusicBox(out);
        break;
    case TInstrument::Pluck:
        voice.Pluck(out);
        break;
    case TInstrument::Kick:
        voice.Kick(out);
        break;
    case TInstrument::Snare:
        voice.Snare(out);
        break;
    case TInstrument::Clap:
        voice.Clap(out);
        break;
    case TInstrument::HatClosed:
    case TInstrument::HatOpen:
        voice.Hat(out, instrument);
        break;
    case TInstrument::Shaker:
        voice.Shaker(out);
        break;
    case TInstrument::Rim:
        voice.Rim(out);
        break;
    case TInstrument::Swell:
        voice.Swell(out);
        break;
    }
    return out;
}
