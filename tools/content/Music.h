// Music composed in code: parts of notes on instruments, rendered with a room reverb into
// a stereo tune. A looping tune wraps its tails (notes and echoes that ring past the end)
// back onto its start, so the loop has no seam.
#pragma once

#include "tools/content/Audio.h"
#include "tools/content/Output.h"
#include "tools/content/Sources.h"

#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

enum class TInstrument
{
    EPiano,    // electric piano, soft tines
    Pad,       // warm detuned saws, slow swell
    Strings,   // brighter ensemble with vibrato
    Bass,      // round plucked bass
    SynthBass, // punchy filtered bass for the driving theme
    Lead,      // soft square lead with delayed vibrato
    Bell,      // struck bell
    MusicBox,  // small high chime
    Pluck,     // plucked string
    Kick,
    Snare,
    Clap,
    HatClosed,
    HatOpen,
    Shaker,
    Rim,
    Swell, // a noise swell that rises into the next bar
};

struct TNote
{
    double Beat;  // start, in beats from the tune's start
    double Beats; // length in beats
    int Pitch;    // MIDI note number (drums ignore it)
    float Velocity;
};

struct TPart
{
    TInstrument Instrument;
    float Gain = 1.0f;
    float Pan = 0.0f;    // -1 left .. 1 right
    float Reverb = 0.2f; // send to the room
    std::vector<TNote> Notes;

    void Add(double beat, double beats, int pitch, float velocity = 0.8f)
    {
        Notes.push_back({beat, beats, pitch, velocity});
    }
};

struct TSong
{
    double Bpm = 100;
    int BeatsPerBar = 4;
    int Bars = 0;
    bool Loops = false;
    double EndSeconds = 0; // extra room after the last bar for a tune that ends
    double Room = 0.7;
    double Damping = 0.5;
    float Loudness = 0.14f; // RMS of the loudest stretch
    uint32_t Seed = 1;
    std::deque<TPart> Parts{}; // a deque: parts handed out by NewPart stay where they are

    double SecondsPerBeat() const { return 60.0 / Bpm; }
    double Beats() const { return static_cast<double>(Bars) * BeatsPerBar; }
    TPart& NewPart(TInstrument instrument, float gain, float pan, float reverb)
    {
        Parts.push_back(TPart{instrument, gain, pan, reverb, {}});
        return Parts.back();
    }
};

TWave RenderSong(const TSong& song);

// --- notation ---

// "C#5", "Bb3" -> MIDI number; "r" is a rest (-1).
int ParsePitch(std::string_view name);
// A melody such as "C5:1 A4:.5 C5:.5 F5:2 | E5:4": pitch:beats, "|" checks that a bar is
// full. Adds it from `startBeat`; returns the beat after its end.
double AddMelody(TPart& part, double startBeat, std::string_view text, int beatsPerBar,
                 float velocity = 0.8f, int transpose = 0);

struct TChord
{
    int Root = 0;               // pitch class 0..11 (0 = C)
    std::vector<int> Intervals; // semitones above the root
    int Bass = 0;               // pitch class of the bass note
};

// "F", "Am", "Bbmaj7", "C7", "Gm7", "Csus4", "F/A", "A6", "Dmaj9", "Em7b5", "Gadd9".
TChord ParseChord(std::string_view name);
// One chord per bar: "F Am Bb C".
std::vector<TChord> ParseChords(std::string_view text);
// The chord's tones stacked upwards from the first one at or above `low`.
std::vector<int> Voicing(const TChord& chord, int low);
// The lowest bass note of the chord at or above `low`.
int BassNote(const TChord& chord, int low);
// The diatonic note two scale steps below (a third) in the major scale of `keyRoot`.
int ThirdBelow(int pitch, int keyRoot, bool minor = false);

// The four tunes: Music/menu1.ogg, menu2.ogg, theme1.ogg, theme2.ogg.
TSong MenuTuneOne();
TSong MenuTuneTwo();
TSong NormalTheme();
TSong TimedTheme();
void MakeTune(const TOutput& out, const char* name, const TSong& song);
