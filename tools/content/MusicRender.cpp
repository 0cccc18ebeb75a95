// Places every note of every part, mixes the parts with their pan and room send, and
// finishes the tune: a wrapped loop or an ending with a fade.
#include "tools/content/Instruments.h"
#include "tools/content/Music.h"
#include "tools/content/Synth.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double Pi = 3.14159265358979323846;

// A gentle limiter without memory, so that a looped tune stays seamless: linear up to the
// knee, then bending towards the ceiling.
float SoftLimit(float x)
{
    const float knee = 0.7f;
    const float ceiling = 0.95f;
    const float a = std::fabs(x);
    if (a <= knee)
    {
        return x;
    }
    const float room = ceiling - knee;
    const float bent = knee + room * std::tanh((a - knee) / room);
    return x < 0 ? -bent : bent;
}

float LoudestRms(const std::vector<float>& stereo, size_t window)
{
    double sum = 0;
    double best = 0;
    const size_t n = window * 2;
    for (size_t i = 0; i < stereo.size(); ++i)
    {
        sum += static_cast<double>(stereo[i]) * stereo[i];
        if (i >= n)
        {
            sum -= static_cast<double>(stereo[i - n]) * stereo[i - n];
        }
        best = std::max(best, sum);
    }
    return static_cast<float>(std::sqrt(std::max(0.0, best) / static_cast<double>(n)));
}
} // namespace

TWave RenderSong(const TSong& song)
{
    const double spb = song.SecondsPerBeat();
    const size_t length = FramesOf(song.Beats() * spb);
    const size_t tail = song.Loops ? FramesOf(6.0) : FramesOf(song.EndSeconds);
    const size_t frames = length + tail;
    std::vector<float> dry(frames * 2, 0.0f);
    std::vector<float> send(frames, 0.0f);

    uint32_t partIndex = 0;
    for (const TPart& part : song.Parts)
    {
        ++partIndex;
        const double angle = (static_cast<double>(part.Pan) + 1.0) * Pi / 4.0;
        const float left = static_cast<float>(std::cos(angle) * std::sqrt(2.0)) * part.Gain;
        const float right = static_cast<float>(std::sin(angle) * std::sqrt(2.0)) * part.Gain;
        const float toRoom = part.Reverb * part.Gain;
        uint32_t noteIndex = 0;
        for (const TNote& note : part.Notes)
        {
            ++noteIndex;
            const uint32_t seed = Hash(song.Seed, partIndex, noteIndex);
            // A little human looseness: notes land up to 6 ms late and vary in strength.
            const double late = 0.006 * HashUnit(static_cast<int>(noteIndex),
                                                 static_cast<int>(partIndex), song.Seed);
            const float velocity =
                note.Velocity * (0.94f + 0.06f * HashUnit(static_cast<int>(noteIndex), 99, seed));
            const std::vector<float> samples =
                RenderNote(part.Instrument, NoteHz(note.Pitch), note.Beats * spb, velocity, seed);
            const size_t start = FramesOf(note.Beat * spb + late);
            for (size_t i = 0; i < samples.size() && start + i < frames; ++i)
            {
                const float v = samples[i];
                dry[(start + i) * 2] += v * left;
                dry[(start + i) * 2 + 1] += v * right;
                send[start + i] += v * toRoom;
            }
        }
    }

    TReverb reverb(song.Room, song.Damping);
    for (size_t i = 0; i < frames; ++i)
    {
        float l = 0;
        float r = 0;
        reverb.Process(send[i], l, r);
        dry[i * 2] += l;
        dry[i * 2 + 1] += r;
    }

    TWave out;
    out.Channels = 2;
    if (song.Loops)
    {
        // What rings past the end sounds again over the start when the tune comes round.
        for (size_t i = length; i < frames; ++i)
        {
            const size_t j = (i - length) % length;
            dry[j * 2] += dry[i * 2];
            dry[j * 2 + 1] += dry[i * 2 + 1];
        }
        dry.resize(length * 2);
    }
    else
    {
        // The ending: let the last chord ring, then fade over the final seconds.
        const size_t fade = std::min(frames, FramesOf(std::min(3.0, song.EndSeconds)));
        for (size_t i = 0; i < fade; ++i)
        {
            const float k =
                static_cast<float>(0.5 - 0.5 * std::cos(Pi * static_cast<double>(i) / fade));
            dry[(frames - 1 - i) * 2] *= k;
            dry[(frames - 1 - i) * 2 + 1] *= k;
        }
    }
    const float loud = LoudestRms(dry, FramesOf(0.4));
    const float gain = loud > 0 ? song.Loudness / loud : 1.0f;
    for (float& v : dry)
    {
        v = SoftLimit(v * gain);
    }
    out.Samples = std::move(dry);
    return out;
}

void MakeTune(const TOutput& out, const char* name, const TSong& song)
{
    out.WriteOgg(std::string("Music/") + name, RenderSong(song), 0.3f);
}
