#include "tools/content/Arrange.h"

#include <stdexcept>
#include <string>

namespace
{
float Strength(char c, float velocity)
{
    if (c >= 'A' && c <= 'Z')
    {
        return velocity;
    }
    if (c == 'o')
    {
        return velocity * 0.55f;
    }
    return velocity * 0.8f;
}

// Length of the run of holds ('-') after step i, plus the step itself, in steps.
int Held(std::string_view steps, size_t i)
{
    int n = 1;
    while (i + n < steps.size() && steps[i + n] == '-')
    {
        ++n;
    }
    return n;
}

std::string Compact(std::string_view s)
{
    std::string out;
    for (char c : s)
    {
        if (c != ' ' && c != '|')
        {
            out += c;
        }
    }
    return out;
}
} // namespace

void AddRhythm(TPart& part, const TSong& song, int bar, int bars, std::string_view text,
               float velocity, int pitch)
{
    const std::string steps = Compact(text);
    const double step = static_cast<double>(song.BeatsPerBar) / static_cast<double>(steps.size());
    for (int b = 0; b < bars; ++b)
    {
        const double start = static_cast<double>((bar + b) * song.BeatsPerBar);
        for (size_t i = 0; i < steps.size(); ++i)
        {
            if (steps[i] == '.' || steps[i] == '-')
            {
                continue;
            }
            part.Add(start + step * static_cast<double>(i), step * Held(steps, i), pitch,
                     Strength(steps[i], velocity));
        }
    }
}

void AddChords(TPart& part, const TSong& song, int bar, const std::vector<TChord>& chords, int low,
               std::string_view text, float velocity)
{
    const std::string steps = Compact(text);
    const double step = static_cast<double>(song.BeatsPerBar) / static_cast<double>(steps.size());
    for (size_t b = 0; b < chords.size(); ++b)
    {
        const double start = static_cast<double>((bar + static_cast<int>(b)) * song.BeatsPerBar);
        const std::vector<int> notes = Voicing(chords[b], low);
        for (size_t i = 0; i < steps.size(); ++i)
        {
            if (steps[i] == '.' || steps[i] == '-')
            {
                continue;
            }
            for (int n : notes)
            {
                part.Add(start + step * static_cast<double>(i), step * Held(steps, i), n,
                         Strength(steps[i], velocity));
            }
        }
    }
}

void AddBass(TPart& part, const TSong& song, int bar, const std::vector<TChord>& chords, int low,
             std::string_view text, float velocity, const TChord* after)
{
    const std::string steps = Compact(text);
    const double step = static_cast<double>(song.BeatsPerBar) / static_cast<double>(steps.size());
    for (size_t b = 0; b < chords.size(); ++b)
    {
        const double start = static_cast<double>((bar + static_cast<int>(b)) * song.BeatsPerBar);
        const int root = BassNote(chords[b], low);
        const TChord& next = b + 1 < chords.size() ? chords[b + 1] : (after ? *after : chords[0]);
        const int nextRoot = BassNote(next, low);
        for (size_t i = 0; i < steps.size(); ++i)
        {
            const char c = steps[i];
            if (c == '.' || c == '-')
            {
                continue;
            }
            int pitch = root;
            switch (c)
            {
            case 'R':
            case 'r': pitch = root; break;
            case 'O':
            case 'o': pitch = root + 12; break;
            case 'F':
            case 'f': pitch = root + 7; break;
            case 'A':
            case 'a': pitch = nextRoot > root ? nextRoot - 1 : nextRoot + 2; break;
            default: throw std::runtime_error(std::string("unknown bass step ") + c);
            }
            const float v = (c >= 'A' && c <= 'Z') ? velocity : velocity * 0.7f;
            part.Add(start + step * static_cast<double>(i), step * Held(steps, i), pitch, v);
        }
    }
}

void AddArpeggio(TPart& part, const TSong& song, int bar, const std::vector<TChord>& chords,
                 int low, std::string_view text, float velocity, double noteBeats)
{
    const std::string steps = Compact(text);
    const double step = static_cast<double>(song.BeatsPerBar) / static_cast<double>(steps.size());
    for (size_t b = 0; b < chords.size(); ++b)
    {
        const double start = static_cast<double>((bar + static_cast<int>(b)) * song.BeatsPerBar);
        std::vector<int> tones = Voicing(chords[b], low);
        const size_t n = tones.size();
        for (size_t i = 0; i < n; ++i)
        {
            tones.push_back(tones[i] + 12);
        }
        // Up and back down without repeating the top.
        std::vector<int> order = tones;
        for (size_t i = tones.size() - 1; i-- > 1;)
        {
            order.push_back(tones[i]);
        }
        size_t k = 0;
        for (size_t i = 0; i < steps.size(); ++i)
        {
            if (steps[i] == '.' || steps[i] == '-')
            {
                continue;
            }
            const double length = noteBeats > 0 ? noteBeats : step * Held(steps, i);
            part.Add(start + step * static_cast<double>(i), length, order[k % order.size()],
                     Strength(steps[i], velocity));
            ++k;
        }
    }
}

void AddLine(TPart& part, const TSong& song, int bar, std::string_view melody, float velocity,
             int transpose)
{
    AddMelody(part, static_cast<double>(bar * song.BeatsPerBar), melody, song.BeatsPerBar, velocity,
              transpose);
}

void AddHarmony(TPart& part, const TSong& song, int bar, std::string_view melody, int keyRoot,
                bool minor, float velocity)
{
    TPart voice{part.Instrument, 1, 0, 0, {}};
    AddLine(voice, song, bar, melody, velocity);
    for (const TNote& n : voice.Notes)
    {
        part.Add(n.Beat, n.Beats, ThirdBelow(n.Pitch, keyRoot, minor), n.Velocity);
    }
}
