// The two game themes. Both loop: their last bar leads back into their first.
#include "tools/content/Arrange.h"
#include "tools/content/Music.h"

namespace
{
using I = TInstrument;

// --- the normal game: F major, 96 beats a minute, an easy groove ---
const char* NormalA =
    "C5:1 A4:.5 C5:.5 F5:1.5 E5:.5 | E5:1 C5:1 A4:1.5 r:.5 | D5:1 Bb4:.5 D5:.5 F5:1.5 E5:.5 |"
    "E5:1.5 D5:.5 C5:2 | A4:.5 D5:.5 F5:1 A5:1.5 G5:.5 | F5:1 D5:1 Bb4:1 C5:1 |"
    "D5:1.5 C5:.5 Bb4:1 A4:1 | G4:1 A4:.5 Bb4:.5 C5:2 |";
const char* NormalA2 =
    "C5:1 A4:.5 C5:.5 F5:1 G5:.5 F5:.5 | E5:1 C5:.5 D5:.5 A4:1.5 r:.5 | D5:1 Bb4:.5 D5:.5 F5:1.5 "
    "E5:.5 |"
    "E5:1 F5:.5 E5:.5 D5:1 C5:1 | A4:.5 D5:.5 F5:1 A5:1 C6:1 | Bb5:1.5 A5:.5 F5:1 D5:1 |"
    "F5:1 G5:.5 F5:.5 D5:1 Bb4:1 | C5:1.5 D5:.5 E5:1 G5:1 |";
const char* NormalB =
    "F5:2 E5:1 D5:1 | D5:1.5 C5:.5 Bb4:2 | A4:1 C5:1 F5:1 A5:1 | G5:3 r:1 |"
    "A5:1 G5:.5 F5:.5 E5:1 D5:1 | F5:1.5 D5:.5 Bb4:2 | Bb4:1 D5:1 G5:1 F5:1 | E5:2 G5:1 r:1 |";
const char* NormalBreak =
    "A5:2 F5:2 | E5:2 C5:2 | D5:3 F5:1 | C5:4 | Bb4:2 D5:2 | C5:2 E5:2 | D5:2 F5:2 | E5:2 G5:2 |";
const char* NormalTurn = "C5:1 A4:.5 C5:.5 F5:2 | E5:2 C5:2 | D5:2 F5:2 | E5:4 |";

// --- the timed game: A minor, 128 beats a minute, four to the floor ---
const char* TimedA = "E5:.75 E5:.75 D5:.5 C5:1 B4:.5 C5:.5 | A4:1.5 C5:.5 F5:1 E5:1 |"
                     "G5:.75 G5:.75 F5:.5 E5:1 D5:.5 E5:.5 | D5:2 B4:1 G4:1 |"
                     "E5:.75 E5:.75 D5:.5 C5:1 B4:.5 C5:.5 | A4:1.5 C5:.5 F5:1 A5:1 |"
                     "G5:.75 G5:.75 F5:.5 E5:1 D5:.5 C5:.5 | D5:1 E5:.5 D5:.5 B4:2 |";
const char* TimedB =
    "F5:1 A5:1 F5:.5 E5:.5 D5:1 | E5:1.5 C5:.5 A4:2 | C5:.5 D5:.5 F5:1 A5:1 G5:1 | G5:3 D5:1 |"
    "A5:1 G5:.5 F5:.5 E5:1 F5:1 | G5:1.5 F5:.5 D5:2 | E5:1 G5:1 B5:1 G5:1 | A5:3 r:1 |";
const char* TimedBreak = "E5:4 | D5:4 | C5:2 E5:2 | A5:4 | F5:4 | G5:2 D5:2 | E5:4 | G#5:2 B5:2 |";
} // namespace

TSong NormalTheme()
{
    TSong song{.Bpm = 96, .Bars = 56, .Loops = true, .Room = 0.72, .Loudness = 0.2f, .Seed = 101};

    const auto intro = ParseChords("Dm7 Bbmaj7 Gm7 C");
    const auto a = ParseChords("F Am Bb C Dm Bb Gm7 C");
    const auto b = ParseChords("Dm Bb F C Dm Bb Gm C");
    const auto brk = ParseChords("Dm Am Bb F Gm Am Bb C");
    const auto turn = ParseChords("F Am7 Bbmaj7 C");
    struct TSection
    {
        int Bar;
        const std::vector<TChord>* Chords;
    };
    const TSection sections[] = {{0, &intro}, {4, &a},  {12, &a}, {20, &b},
                                 {28, &brk},  {36, &a}, {44, &b}, {52, &turn}};

    TPart& pad = song.NewPart(I::Pad, 0.5f, 0.0f, 0.35f);
    TPart& keys = song.NewPart(I::EPiano, 0.55f, -0.25f, 0.25f);
    TPart& bass = song.NewPart(I::Bass, 0.62f, 0.0f, 0.05f);
    TPart& lead = song.NewPart(I::Lead, 0.42f, 0.1f, 0.3f);
    TPart& second = song.NewPart(I::Lead, 0.25f, -0.3f, 0.35f);
    TPart& bell = song.NewPart(I::Bell, 0.35f, 0.3f, 0.45f);
    TPart& pluck = song.NewPart(I::Pluck, 0.35f, 0.4f, 0.3f);
    TPart& strings = song.NewPart(I::Strings, 0.3f, -0.2f, 0.4f);
    TPart& kick = song.NewPart(I::Kick, 0.7f, 0.0f, 0.02f);
    TPart& snare = song.NewPart(I::Snare, 0.45f, 0.05f, 0.2f);
    TPart& hats = song.NewPart(I::HatClosed, 0.28f, 0.25f, 0.05f);
    TPart& open = song.NewPart(I::HatOpen, 0.22f, 0.25f, 0.1f);
    TPart& shaker = song.NewPart(I::Shaker, 0.25f, -0.35f, 0.1f);
    TPart& rim = song.NewPart(I::Rim, 0.3f, -0.1f, 0.2f);
    TPart& swell = song.NewPart(I::Swell, 0.25f, 0.0f, 0.4f);

    for (const TSection& s : sections)
    {
        AddChords(pad, song, s.Bar, *s.Chords, 53, "x", s.Bar == 28 ? 0.7f : 0.5f);
    }

    // Intro: keys and pad alone, then the rim and the bass walk in.
    AddChords(keys, song, 0, intro, 57, "x-----x---------", 0.45f);
    AddRhythm(rim, song, 2, 2, "....x.......x..x", 0.5f);
    AddBass(bass, song, 2, {intro[2], intro[3]}, 36, "R-------r-------", 0.6f, &a[0]);
    AddRhythm(swell, song, 3, 1, "x");

    // The groove of the A and B sections.
    const char* comp = "x-----x-----x---";
    const int grooveBars[] = {4, 12, 20, 36, 44};
    for (int start : grooveBars)
    {
        const bool isB = start == 20 || start == 44;
        const auto& chords = isB ? b : a;
        AddChords(keys, song, start, chords, 57, isB ? "x-------x---x---" : comp, 0.5f);
        AddBass(bass, song, start, chords, 36, isB ? "R-------r---F-R-" : "R-----r---F---A-", 0.85f,
                start == 44 ? &turn[0] : (isB ? &brk[0] : (start == 4 ? &a[0] : &b[0])));
        AddRhythm(kick, song, start, 8, "X......x..X.....", 0.9f);
        AddRhythm(snare, song, start, 7, "....X.......X...", 0.8f);
        AddRhythm(snare, song, start + 7, 1, "....X.......oxXX", 0.8f);
        AddRhythm(hats, song, start, 8, "x.o.x.o.x.o.x.o.", 0.8f);
        for (int bar = start + 1; bar < start + 8; bar += 2)
        {
            AddRhythm(open, song, bar, 1, "..............x-", 0.7f);
        }
    }
    AddLine(lead, song, 4, NormalA);
    AddLine(lead, song, 12, NormalA2);
    AddArpeggio(pluck, song, 12, a, 60, "x.x.x.x.x.x.x.x.", 0.5f, 0.6);
    AddLine(lead, song, 20, NormalB);
    AddChords(strings, song, 20, b, 62, "x", 0.45f);

    // The breakdown: no kick, a plucked arpeggio and the bell carrying the tune slowly.
    AddArpeggio(pluck, song, 28, brk, 60, "xoxoxoxoxoxoxoxo", 0.55f, 0.5);
    AddLine(bell, song, 28, NormalBreak, 0.7f);
    AddBass(bass, song, 28, brk, 36, "R-------------r-", 0.6f, &a[0]);
    AddRhythm(shaker, song, 28, 8, "oxoxoxoxoxoxoxox", 0.6f);
    AddRhythm(rim, song, 32, 4, "....x.......x...", 0.5f);
    AddRhythm(swell, song, 35, 1, "x");

    // The return: the tune in two voices, then the second theme with strings.
    AddLine(lead, song, 36, NormalA2);
    AddHarmony(second, song, 36, NormalA2, 5, false, 0.6f);
    AddArpeggio(pluck, song, 36, a, 60, "x.x.x.x.x.x.x.x.", 0.45f, 0.6);
    AddLine(lead, song, 44, NormalB);
    AddHarmony(second, song, 44, NormalB, 5, false, 0.6f);
    AddChords(strings, song, 44, b, 62, "x", 0.5f);
    AddRhythm(shaker, song, 44, 8, "oxoxoxoxoxoxoxox", 0.45f);

    // The turn: everything eases off and leads back to the start.
    AddChords(keys, song, 52, turn, 57, "x-----x-----x---", 0.45f);
    AddBass(bass, song, 52, turn, 36, "R-------r---F---", 0.7f, &intro[0]);
    AddLine(bell, song, 52, NormalTurn, 0.6f);
    AddRhythm(kick, song, 52, 3, "X.........X.....", 0.7f);
    AddRhythm(hats, song, 52, 4, "x.o.x.o.x.o.x.o.", 0.6f);
    AddRhythm(rim, song, 52, 4, "....x.......x...", 0.5f);
    return song;
}

TSong TimedTheme()
{
    TSong song{.Bpm = 128, .Bars = 72, .Loops = true, .Room = 0.6, .Loudness = 0.21f, .Seed = 202};

    const auto a = ParseChords("Am F C G Am F C G");
    const auto b = ParseChords("Dm Am F G F G Em Am");
    const auto brk = ParseChords("F G Am Am Dm G E E");

    TPart& arp = song.NewPart(I::Pluck, 0.38f, 0.3f, 0.25f);
    TPart& pad = song.NewPart(I::Pad, 0.42f, 0.0f, 0.35f);
    TPart& bass = song.NewPart(I::SynthBass, 0.6f, 0.0f, 0.03f);
    TPart& lead = song.NewPart(I::Lead, 0.42f, 0.05f, 0.3f);
    TPart& second = song.NewPart(I::Lead, 0.24f, -0.35f, 0.35f);
    TPart& bell = song.NewPart(I::Bell, 0.32f, 0.35f, 0.45f);
    TPart& strings = song.NewPart(I::Strings, 0.3f, -0.25f, 0.35f);
    TPart& kick = song.NewPart(I::Kick, 0.75f, 0.0f, 0.02f);
    TPart& clap = song.NewPart(I::Clap, 0.42f, 0.05f, 0.2f);
    TPart& snare = song.NewPart(I::Snare, 0.4f, 0.0f, 0.2f);
    TPart& hats = song.NewPart(I::HatClosed, 0.3f, 0.3f, 0.05f);
    TPart& open = song.NewPart(I::HatOpen, 0.24f, 0.3f, 0.08f);
    TPart& shaker = song.NewPart(I::Shaker, 0.22f, -0.4f, 0.05f);
    TPart& swell = song.NewPart(I::Swell, 0.28f, 0.0f, 0.4f);

    // Intro: the arpeggio alone, then the beat.
    AddArpeggio(arp, song, 0, a, 57, "xoxoXoxoxoxoXoxo", 0.55f, 0.2);
    AddChords(pad, song, 0, a, 52, "x", 0.45f);
    AddRhythm(shaker, song, 0, 8, "oxoxoxoxoxoxoxox", 0.55f);
    AddRhythm(hats, song, 0, 8, "..x...x...x...x.", 0.7f);
    AddBass(bass, song, 0, a, 33, "R.r.R.r.R.r.R.r.", 0.7f, &a[0]);
    AddRhythm(kick, song, 4, 4, "X...X...X...X...", 0.85f);
    AddRhythm(swell, song, 7, 1, "x");
    AddRhythm(snare, song, 7, 1, "........xoxoXxXX", 0.6f);

    // The full drive of the A, B and return sections.
    auto drive = [&](int start, const std::vector<TChord>& chords, const TChord& after)
    {
        AddRhythm(kick, song, start, 8, "X...X...X...X...", 0.95f);
        AddRhythm(clap, song, start, 8, "....X.......X...", 0.8f);
        AddRhythm(hats, song, start, 8, "..x...x...x...x.", 0.8f);
        AddRhythm(shaker, song, start, 8, "oxoxoxoxoxoxoxox", 0.6f);
        AddBass(bass, song, start, chords, 33, "R-r-O-r-R-r-O-rA", 0.85f, &after);
        AddArpeggio(arp, song, start, chords, 57, "xoxoXoxoxoxoXoxo", 0.5f, 0.2);
        AddChords(pad, song, start, chords, 52, "x", 0.4f);
    };
    drive(8, a, a[0]);
    drive(16, a, b[0]);
    AddLine(lead, song, 8, TimedA);
    AddLine(lead, song, 16, TimedA);
    AddHarmony(second, song, 16, TimedA, 9, true, 0.55f);
    for (int bar = 17; bar < 24; bar += 2)
    {
        AddRhythm(open, song, bar, 1, "..x-..x-..x-..x-", 0.6f);
    }

    drive(24, b, b[0]);
    drive(32, b, brk[0]);
    AddLine(lead, song, 24, TimedB);
    AddChords(strings, song, 24, b, 60, "x", 0.45f);
    AddLine(lead, song, 32, TimedB);
    AddHarmony(second, song, 32, TimedB, 9, true, 0.55f);
    AddChords(strings, song, 32, b, 60, "x", 0.5f);
    AddRhythm(snare, song, 39, 1, "............xxXX", 0.7f);

    // The break: no kick, the bell sings over held chords; the tension of E leads back in.
    AddChords(pad, song, 40, brk, 52, "x", 0.65f);
    AddArpeggio(arp, song, 40, brk, 57, "xoxoxoxoxoxoxoxo", 0.5f, 0.25);
    AddLine(bell, song, 40, TimedBreak, 0.7f);
    AddBass(bass, song, 40, brk, 33, "R-------R-------", 0.6f, &a[0]);
    AddRhythm(hats, song, 44, 4, "..x...x...x...x.", 0.5f);
    AddRhythm(snare, song, 46, 1, "x...x...x...x...", 0.5f);
    AddRhythm(snare, song, 47, 1, "x.x.x.x.xxxxXXXX", 0.7f);
    AddRhythm(swell, song, 46, 2, "x-");

    drive(48, a, a[0]);
    drive(56, a, a[0]);
    AddLine(lead, song, 48, TimedA);
    AddHarmony(second, song, 48, TimedA, 9, true, 0.55f);
    AddLine(lead, song, 56, TimedA, 0.85f, 12);
    AddLine(second, song, 56, TimedA, 0.55f);
    for (int bar = 49; bar < 64; bar += 2)
    {
        AddRhythm(open, song, bar, 1, "..x-..x-..x-..x-", 0.6f);
    }

    // The outro keeps the beat and hands back to the intro's arpeggio.
    AddRhythm(kick, song, 64, 8, "X...X...X...X...", 0.85f);
    AddRhythm(clap, song, 64, 7, "....X.......X...", 0.7f);
    AddRhythm(hats, song, 64, 8, "..x...x...x...x.", 0.7f);
    AddBass(bass, song, 64, a, 33, "R-r-O-r-R-r-O-r-", 0.75f, &a[0]);
    AddArpeggio(arp, song, 64, a, 57, "xoxoXoxoxoxoXoxo", 0.55f, 0.2);
    AddChords(pad, song, 64, a, 52, "x", 0.45f);
    AddLine(bell, song, 64,
            "E5:3 C5:1 | A4:4 | G5:3 E5:1 | D5:4 | E5:3 C5:1 | A4:4 | G5:2 F5:2 | E5:2 D5:2 |",
            0.6f);
    AddRhythm(snare, song, 71, 1, "........x.x.xxXX", 0.6f);
    return song;
}
