// Writing parts bar by bar with step patterns: one character per equal step of the bar.
//   drums:  X accent, x normal, o soft, . rest
//   chords: X/x/o start the bar's chord, - holds the previous one, . rest
//   bass:   R/r root, O/o octave, F/f fifth, A/a a step leading to the next bar's root,
//           - hold, . rest (capitals strong, small letters soft)
//   arpeggio: X/x/o the next tone of the bar's chord, climbing and falling over two octaves
#pragma once

#include "tools/content/Music.h"

#include <string_view>
#include <vector>

void AddRhythm(TPart& part, const TSong& song, int bar, int bars, std::string_view steps,
               float velocity = 0.8f, int pitch = 60);
void AddChords(TPart& part, const TSong& song, int bar, const std::vector<TChord>& chords, int low,
               std::string_view steps, float velocity = 0.6f);
void AddBass(TPart& part, const TSong& song, int bar, const std::vector<TChord>& chords, int low,
             std::string_view steps, float velocity = 0.85f, const TChord* after = nullptr);
void AddArpeggio(TPart& part, const TSong& song, int bar, const std::vector<TChord>& chords,
                 int low, std::string_view steps, float velocity = 0.6f, double noteBeats = 0);
// A melody placed at a bar.
void AddLine(TPart& part, const TSong& song, int bar, std::string_view melody,
             float velocity = 0.8f, int transpose = 0);
// The same melody a diatonic third lower, for a second voice.
void AddHarmony(TPart& part, const TSong& song, int bar, std::string_view melody, int keyRoot,
                bool minor, float velocity = 0.6f);
