// The two menu tunes: calm, about a minute each, each with a proper ending because the menu
// plays them one after the other.
#include "tools/content/Arrange.h"
#include "tools/content/Music.h"

namespace
{
using I = TInstrument;
}

TSong MenuTuneOne()
{
    // D major, 76 beats a minute: piano arpeggios, a bell tune, a soft bass.
    TSong song{.Bpm = 76, .Bars = 18, .EndSeconds = 5.0, .Room = 0.8, .Damping = 0.45,
               .Loudness = 0.17f, .Seed = 303};

    const auto chords = ParseChords("Dmaj7 Bm7 Gmaj7 A6 Dmaj7 Bm7 Gmaj7 A6 Dmaj7 Bm7 Em7 A "
                                    "Em7 F#m7 Gmaj7 A Gmaj7 Dmaj9");
    TPart& pad = song.NewPart(I::Pad, 0.5f, 0.0f, 0.4f);
    TPart& keys = song.NewPart(I::EPiano, 0.5f, -0.3f, 0.35f);
    TPart& bell = song.NewPart(I::Bell, 0.42f, 0.25f, 0.5f);
    TPart& bass = song.NewPart(I::Bass, 0.6f, 0.0f, 0.08f);
    TPart& strings = song.NewPart(I::Strings, 0.3f, 0.3f, 0.45f);
    TPart& shaker = song.NewPart(I::Shaker, 0.18f, -0.4f, 0.2f);
    TPart& rim = song.NewPart(I::Rim, 0.2f, 0.1f, 0.3f);

    AddChords(pad, song, 0, chords, 50, "x", 0.5f);
    std::vector<TChord> arpeggioChords(chords.begin(), chords.end() - 1);
    AddArpeggio(keys, song, 0, arpeggioChords, 57, "x.x.x.x.x.x.x.x.", 0.42f, 1.0);
    // The last chord rings out on the piano.
    AddChords(keys, song, 17, {chords[17]}, 57, "x", 0.45f);
    AddBass(bass, song, 4, std::vector<TChord>(chords.begin() + 4, chords.begin() + 17), 38,
            "R-------F-------", 0.6f, &chords[17]);
    AddBass(bass, song, 17, {chords[17]}, 38, "R", 0.6f);
    AddRhythm(shaker, song, 4, 12, "..x...x...x...x.", 0.5f);
    AddRhythm(rim, song, 8, 8, "........x.......", 0.45f);

    AddLine(
        bell, song, 4,
        "F#5:1.5 E5:.5 D5:1 A4:1 | B4:2 D5:1 C#5:1 | D5:1.5 B4:.5 G4:1 B4:1 | A4:3 r:1 |"
        "F#5:1.5 E5:.5 D5:1 F#5:1 | A5:2 F#5:1 D5:1 | E5:1.5 F#5:.5 G5:1 B5:1 | A5:2 E5:1 C#5:1 |",
        0.65f);
    AddLine(strings, song, 12, "G5:2 E5:2 | F#5:2 C#5:2 | D5:2 B4:1 D5:1 | E5:3 r:1 |", 0.5f);
    AddChords(strings, song, 12, {chords[12], chords[13], chords[14], chords[15]}, 55, "x", 0.35f);
    AddLine(bell, song, 16, "D5:1 F#5:1 A5:2 | F#5:4 |", 0.6f);
    return song;
}

TSong MenuTuneTwo()
{
    // G major in three, 84 beats a minute: a music box over a harp and strings.
    TSong song{.Bpm = 84, .BeatsPerBar = 3, .Bars = 26, .EndSeconds = 5.0, .Room = 0.78,
               .Damping = 0.5, .Loudness = 0.17f, .Seed = 404};

    const auto chords =
        ParseChords("G Em C D G Em C D G Bm C D Em C G D Em C Am D G Em C D Cmaj7 G");
    TPart& box = song.NewPart(I::MusicBox, 0.5f, 0.15f, 0.45f);
    TPart& harp = song.NewPart(I::Pluck, 0.42f, -0.3f, 0.35f);
    TPart& strings = song.NewPart(I::Strings, 0.32f, 0.2f, 0.45f);
    TPart& bass = song.NewPart(I::Bass, 0.55f, 0.0f, 0.1f);
    TPart& bell = song.NewPart(I::Bell, 0.25f, 0.35f, 0.5f);

    // The harp plays the waltz: bass note, then two chord tones.
    std::vector<TChord> waltz(chords.begin(), chords.end() - 1);
    AddBass(harp, song, 0, waltz, 43, "R..", 0.55f);
    AddArpeggio(harp, song, 0, waltz, 59, ".xx", 0.45f, 0.9);
    AddChords(harp, song, 25, {chords[25]}, 55, "x", 0.5f);
    AddChords(strings, song, 4, std::vector<TChord>(chords.begin() + 4, chords.end()), 55, "x",
              0.4f);
    AddBass(bass, song, 12, std::vector<TChord>(chords.begin() + 12, chords.end()), 36, "R--",
            0.5f);

    AddLine(box, song, 4,
            "D5:2 B4:1 | E5:2 D5:1 | C5:1 E5:1 G5:1 | F#5:2 A4:1 | B4:1 D5:1 G5:1 | F#5:1.5 E5:.5 "
            "D5:1 |"
            "E5:1 C5:1 A4:1 | D5:3 |",
            0.7f, 12);
    AddLine(box, song, 12,
            "G5:2 E5:1 | E5:1 C5:1 E5:1 | D5:2 B4:1 | A4:3 | B4:1 E5:1 G5:1 | G5:1.5 E5:.5 C5:1 |"
            "C5:1 E5:1 A5:1 | F#5:3 |",
            0.7f, 12);
    AddLine(bell, song, 12, "B4:3 | G4:3 | B4:3 | A4:3 | G4:3 | E4:3 | E4:3 | D4:3 |", 0.45f, 12);
    AddLine(box, song, 20,
            "D5:2 B4:1 | E5:2 D5:1 | C5:1 E5:1 G5:1 | A5:2 F#5:1 | E5:1 D5:1 B4:1 | G5:3 |", 0.7f,
            12);
    return song;
}
