#include "tools/content/Music.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace
{
int PitchClass(char letter)
{
    switch (letter)
    {
    case 'C': return 0;
    case 'D': return 2;
    case 'E': return 4;
    case 'F': return 5;
    case 'G': return 7;
    case 'A': return 9;
    case 'B': return 11;
    default: throw std::runtime_error(std::string("not a note letter: ") + letter);
    }
}

std::vector<std::string_view> Words(std::string_view text)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size())
    {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\t'))
        {
            ++i;
        }
        size_t j = i;
        while (j < text.size() && text[j] != ' ' && text[j] != '\n' && text[j] != '\t')
        {
            ++j;
        }
        if (j > i)
        {
            words.push_back(text.substr(i, j - i));
        }
        i = j;
    }
    return words;
}

// Turns a root's pitch class and accidental into a pitch class, consuming them.
int ReadRoot(std::string_view& s)
{
    int pc = PitchClass(s[0]);
    s.remove_prefix(1);
    if (!s.empty() && s[0] == '#')
    {
        ++pc;
        s.remove_prefix(1);
    }
    else if (!s.empty() && s[0] == 'b')
    {
        --pc;
        s.remove_prefix(1);
    }
    return (pc + 12) % 12;
}
} // namespace

int ParsePitch(std::string_view name)
{
    if (name == "r")
    {
        return -1;
    }
    std::string_view s = name;
    const int pc = ReadRoot(s);
    // Octave numbers follow the scientific convention: C4 = 60. B#/Cb are not used.
    int octave = 0;
    bool negative = false;
    if (!s.empty() && s[0] == '-')
    {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.empty())
    {
        throw std::runtime_error("note without octave: " + std::string(name));
    }
    for (char c : s)
    {
        octave = octave * 10 + (c - '0');
    }
    if (negative)
    {
        octave = -octave;
    }
    int natural = PitchClass(name[0]);
    const int accidental = ((pc - natural + 18) % 12) - 6;
    return (octave + 1) * 12 + natural + accidental;
}

double AddMelody(TPart& part, double startBeat, std::string_view text, int beatsPerBar,
                 float velocity, int transpose)
{
    double beat = startBeat;
    double barStart = startBeat;
    std::string spaced;
    for (char c : text)
    {
        spaced += (c == '|') ? std::string(" | ") : std::string(1, c);
    }
    for (std::string_view w : Words(spaced))
    {
        if (w == "|")
        {
            if (std::fabs(beat - barStart - beatsPerBar) > 1e-6)
            {
                throw std::runtime_error("a bar of the melody does not add up, at beat " +
                                         std::to_string(beat) + ": " +
                                         std::string(text.substr(0, 40)));
            }
            barStart = beat;
            continue;
        }
        const size_t colon = w.find(':');
        if (colon == std::string_view::npos)
        {
            throw std::runtime_error("melody note without length: " + std::string(w));
        }
        const int pitch = ParsePitch(w.substr(0, colon));
        float v = velocity;
        std::string length(w.substr(colon + 1));
        // A trailing "!" accents the note.
        if (!length.empty() && length.back() == '!')
        {
            v = std::min(1.0f, velocity * 1.2f);
            length.pop_back();
        }
        double beats = 0;
        const auto r = std::from_chars(length.data(), length.data() + length.size(), beats);
        if (r.ec != std::errc() || r.ptr != length.data() + length.size())
        {
            throw std::runtime_error("melody note with a bad length: " + std::string(w));
        }
        if (pitch >= 0)
        {
            part.Add(beat, beats, pitch + transpose, v);
        }
        beat += beats;
    }
    return beat;
}

TChord ParseChord(std::string_view name)
{
    TChord c;
    std::string_view s = name;
    const size_t slash = s.find('/');
    std::string_view bass;
    if (slash != std::string_view::npos)
    {
        bass = s.substr(slash + 1);
        s = s.substr(0, slash);
    }
    c.Root = ReadRoot(s);
    struct TQuality
    {
        const char* Suffix;
        std::vector<int> Intervals;
    };
    static const TQuality qualities[] = {
        {"", {0, 4, 7}},           {"m", {0, 3, 7}},
        {"7", {0, 4, 7, 10}},      {"maj7", {0, 4, 7, 11}},
        {"m7", {0, 3, 7, 10}},     {"sus4", {0, 5, 7}},
        {"sus2", {0, 2, 7}},       {"6", {0, 4, 7, 9}},
        {"m6", {0, 3, 7, 9}},      {"maj9", {0, 4, 7, 11, 14}},
        {"m9", {0, 3, 7, 10, 14}}, {"add9", {0, 4, 7, 14}},
        {"m7b5", {0, 3, 6, 10}},   {"dim", {0, 3, 6}},
    };
    for (const TQuality& q : qualities)
    {
        if (s == q.Suffix)
        {
            c.Intervals = q.Intervals;
        }
    }
    if (c.Intervals.empty())
    {
        throw std::runtime_error("unknown chord: " + std::string(name));
    }
    c.Bass = c.Root;
    if (!bass.empty())
    {
        c.Bass = ReadRoot(bass);
    }
    return c;
}

std::vector<TChord> ParseChords(std::string_view text)
{
    std::vector<TChord> chords;
    for (std::string_view w : Words(text))
    {
        chords.push_back(ParseChord(w));
    }
    return chords;
}

std::vector<int> Voicing(const TChord& chord, int low)
{
    std::vector<int> notes;
    int base = low + ((chord.Root - low) % 12 + 12) % 12;
    // Keep the whole chord within reach: start an octave lower when the root lies high.
    if (base - low > 6)
    {
        base -= 12;
        if (base < low - 2)
        {
            base += 12;
        }
    }
    for (int i : chord.Intervals)
    {
        notes.push_back(base + i);
    }
    // Lift anything that fell under the floor.
    for (int& n : notes)
    {
        while (n < low)
        {
            n += 12;
        }
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

int BassNote(const TChord& chord, int low) { return low + ((chord.Bass - low) % 12 + 12) % 12; }

int ThirdBelow(int pitch, int keyRoot, bool minor)
{
    static const int major[7] = {0, 2, 4, 5, 7, 9, 11};
    static const int natural[7] = {0, 2, 3, 5, 7, 8, 10};
    const int* scale = minor ? natural : major;
    auto inScale = [&](int p)
    {
        const int pc = ((p - keyRoot) % 12 + 12) % 12;
        for (int i = 0; i < 7; ++i)
        {
            if (scale[i] == pc)
            {
                return true;
            }
        }
        return false;
    };
    int steps = 0;
    int p = pitch;
    while (steps < 2)
    {
        --p;
        if (inScale(p))
        {
            ++steps;
        }
    }
    return p;
}
