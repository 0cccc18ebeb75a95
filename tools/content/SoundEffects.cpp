#include "tools/content/SoundEffects.h"

#include "tools/content/Audio.h"
#include "tools/content/Synth.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

namespace
{
constexpr double Pi = 3.14159265358979323846;

// A mono sound of the given length from a function of time in seconds.
TWave Render(double seconds, const std::function<double(double)>& f)
{
    TWave s = TWave::Mono(seconds);
    for (size_t i = 0; i < s.Frames(); ++i)
    {
        s.Samples[i] = static_cast<float>(f(static_cast<double>(i) / SampleRate));
    }
    return s;
}

// A struck metal bar: frequency modulation whose brightness fades faster than its body.
double Bell(double t, double hz, double decay, double ratio = 3.5, double index = 1.6)
{
    if (t < 0)
    {
        return 0;
    }
    const double mod = std::sin(TwoPi * hz * ratio * t) * index * std::exp(-t / (decay * 0.35));
    return std::sin(TwoPi * hz * t + mod) * Perc(t, 0.0015, decay);
}

// A wooden bar: a round fundamental and a quickly fading fourth partial.
double Marimba(double t, double hz, double decay = 0.35)
{
    if (t < 0)
    {
        return 0;
    }
    return std::sin(TwoPi * hz * t) * Perc(t, 0.001, decay) +
           0.35 * std::sin(TwoPi * hz * 3.93 * t) * Perc(t, 0.001, decay * 0.15);
}

double Hz(int note) { return NoteHz(note); }

TWave NewLevel()
{
    // A rising major arpeggio of bells over a soft swell.
    const int notes[] = {72, 76, 79, 84, 88};
    TWave s =
        Render(1.5,
               [&](double t)
               {
                   double v = 0;
                   for (int i = 0; i < 5; ++i)
                   {
                       v += 0.5 * Bell(t - 0.075 * i, Hz(notes[i]), 0.7 - 0.06 * i);
                   }
                   const double swell = std::sin(Pi * std::min(1.0, t / 1.2)) * 0.25;
                   v += swell * (std::sin(TwoPi * Hz(60) * t) + 0.6 * std::sin(TwoPi * Hz(67) * t) +
                                 0.4 * std::sin(TwoPi * Hz(64) * t));
                   return v;
               });
    return WithReverb(s, 0.6, 0.4, 0.35, 0.6);
}

TWave BonusLevel()
{
    // A quick pentatonic run up into a shimmering chord.
    const int run[] = {67, 69, 72, 74, 76, 79, 81, 84, 86, 88};
    TWave s = Render(1.8,
                      [&](double t)
                      {
                          double v = 0;
                          for (int i = 0; i < 10; ++i)
                          {
                              v += 0.35 * Bell(t - 0.045 * i, Hz(run[i]), 0.35, 2.0, 1.0);
                          }
                          const double tc = t - 0.45;
                          if (tc > 0)
                          {
                              for (int n : {72, 76, 79, 84})
                              {
                                  v += 0.22 * Bell(tc, Hz(n), 1.1, 3.0, 0.8) *
                                       (1.0 + 0.3 * std::sin(TwoPi * 6.0 * tc));
                              }
                          }
                          return v;
                      });
    return WithReverb(s, 0.7, 0.3, 0.4, 0.8);
}

TWave NewTurn()
{
    // Two soft bubbles: the new cubes popping up.
    TOsc a;
    TOsc b;
    return Render(0.32,
                  [&](double t)
                  {
                      const double f1 = 380.0 + 500.0 * std::exp(-t / 0.03);
                      const double t2 = t - 0.07;
                      const double f2 = 520.0 + 600.0 * std::exp(-std::max(0.0, t2) / 0.03);
                      double v = a.Sine(f1) * Perc(t, 0.003, 0.05);
                      if (t2 > 0)
                      {
                          v += 0.8 * b.Sine(f2) * Perc(t2, 0.003, 0.06);
                      }
                      return v;
                  });
}

TWave FlyingBy()
{
    // A long whoosh passing from left to right with a rising and falling band of air.
    TNoise noise(3);
    TSvf band;
    TSvf low;
    TOsc hum;
    const double length = 2.8;
    TWave mono = Render(length,
                         [&](double t)
                         {
                             const double x = t / length;
                             const double centre = 350.0 + 2200.0 * std::pow(std::sin(Pi * x), 2.0);
                             band.Set(centre, 1.4);
                             low.Set(800.0, 0.7);
                             const double env = std::pow(std::sin(Pi * x), 1.5);
                             const double air =
                                 band.Band(noise.Next()) * 1.4 + low.Low(noise.Next()) * 0.3;
                             const double tone = hum.Sine(110.0 + 40.0 * std::sin(Pi * x)) * 0.15;
                             return (air + tone) * env;
                         });
    TWave s = TWave::Stereo(length);
    for (size_t i = 0; i < mono.Frames(); ++i)
    {
        const double x = static_cast<double>(i) / static_cast<double>(mono.Frames());
        const double angle = x * Pi / 2.0;
        s.At(i, 0) = static_cast<float>(mono.Samples[i] * std::cos(angle) * 1.3);
        s.At(i, 1) = static_cast<float>(mono.Samples[i] * std::sin(angle) * 1.3);
    }
    return WithReverb(s, 0.5, 0.5, 0.2, 0.4);
}

// A brass-like chord: filtered saws with a soft attack.
double BrassChord(double t, double hold, const std::vector<int>& notes, std::vector<TOsc>& osc,
                  TSvf& filter)
{
    const double env = Adsr(t, hold, 0.03, 0.2, 0.7, 0.25);
    filter.Set(600.0 + 3500.0 * env, 0.8);
    double v = 0;
    for (size_t i = 0; i < notes.size(); ++i)
    {
        v += osc[i * 2].Saw(Hz(notes[i]) * 1.002) + osc[i * 2 + 1].Saw(Hz(notes[i]) * 0.998);
    }
    return filter.Low(v) * env * 0.2;
}

TWave BonusLevelDone()
{
    // A little fanfare: three chords and a bell on top.
    std::vector<TOsc> osc(8);
    TSvf filter;
    const std::vector<std::vector<int>> chords = {
        {60, 64, 67, 72}, {62, 67, 71, 74}, {64, 67, 72, 76}};
    const double starts[] = {0.0, 0.22, 0.44};
    const double holds[] = {0.15, 0.15, 1.0};
    TWave s = Render(2.1,
                      [&](double t)
                      {
                          int c = 0;
                          while (c < 2 && t >= starts[c + 1])
                          {
                              ++c;
                          }
                          double v = BrassChord(t - starts[c], holds[c],
                                                chords[static_cast<size_t>(c)], osc, filter);
                          v += 0.3 * Bell(t - 0.44, Hz(84), 1.2) + 0.2 * Bell(t - 0.5, Hz(91), 1.0);
                          return v;
                      });
    return WithReverb(s, 0.7, 0.4, 0.35, 0.8);
}

TWave SelectCube()
{
    // A bright pluck that leans upward.
    TOsc o;
    TNoise noise(5);
    TSvf hp;
    hp.Set(3000, 0.7);
    return Render(0.16,
                  [&](double t)
                  {
                      const double f = 900.0 + 500.0 * (1.0 - std::exp(-t / 0.02));
                      return o.Sine(f) * Perc(t, 0.002, 0.04) +
                             0.25 * hp.High(noise.Next()) * Perc(t, 0.0005, 0.004);
                  });
}

TWave MoveCube()
{
    // A cube sliding over the board: a falling band of air and a soft glide.
    TNoise noise(6);
    TSvf band;
    TOsc tone;
    const double length = 0.4;
    return Render(
        length,
        [&](double t)
        {
            const double x = t / length;
            band.Set(2200.0 - 1300.0 * x, 2.0);
            const double env = std::sin(Pi * std::min(1.0, x * 1.05)) * (1.0 - 0.3 * x);
            return (band.Band(noise.Next()) * 1.6 + tone.Triangle(320.0 - 110.0 * x) * 0.25) * env;
        });
}

TWave MoveBomb()
{
    // Heavier: a rolling rumble with a metallic clink at the start.
    TNoise noise(7);
    TSvf low;
    low.Set(260.0, 1.2);
    TOsc body;
    const double length = 0.55;
    return Render(length,
                  [&](double t)
                  {
                      const double x = t / length;
                      const double roll = 0.6 + 0.4 * std::sin(TwoPi * 17.0 * t);
                      const double env = std::sin(Pi * std::min(1.0, x * 1.1));
                      const double rumble =
                          (low.Low(noise.Next()) * 3.0 + body.Sine(70.0 + 20.0 * x) * 0.5) * roll *
                          env;
                      const double clink = 0.3 * Bell(t, 1850.0, 0.08, 2.76, 1.2);
                      return rumble + clink;
                  });
}

TWave Moved()
{
    // The cube sets down: a short woody knock.
    TOsc o;
    TNoise noise(8);
    TSvf band;
    band.Set(1400, 1.5);
    return Render(0.22,
                  [&](double t)
                  {
                      const double f = 150.0 + 140.0 * std::exp(-t / 0.015);
                      return o.Sine(f) * Perc(t, 0.001, 0.05) +
                             0.5 * band.Band(noise.Next()) * Perc(t, 0.0005, 0.01) +
                             0.3 * Marimba(t, 523.0, 0.06);
                  });
}

TWave FigureDone()
{
    // A bright major-seventh chime, quickly rolled.
    const int notes[] = {72, 76, 79, 83, 84, 88};
    TWave s =
        Render(1.2,
               [&](double t)
               {
                   double v = 0;
                   for (int i = 0; i < 6; ++i)
                   {
                       v += 0.35 * Bell(t - 0.03 * i, Hz(notes[i]), 0.8, 1.0 + 0.5 * (i % 3), 1.2);
                   }
                   return v;
               });
    return WithReverb(s, 0.65, 0.3, 0.35, 0.6);
}

TWave ExplodeBomb()
{
    // A burst of noise closing down, a deep boom under it and some crackle after.
    TNoise noise(9);
    TNoise crackleNoise(10);
    TRng crackle(11);
    TSvf low;
    TOsc boom;
    const double length = 1.7;
    TWave s =
        Render(length,
               [&](double t)
               {
                   low.Set(200.0 + 5000.0 * std::exp(-t / 0.18), 0.8);
                   double v = low.Low(noise.Next()) * Perc(t, 0.002, 0.45) * 1.4;
                   v += boom.Sine(38.0 + 70.0 * std::exp(-t / 0.08)) * Perc(t, 0.003, 0.35) * 0.9;
                   if (t > 0.05 && crackle.Uniform() < 0.004 * std::exp(-t / 0.5))
                   {
                       v += crackleNoise.Next() * 0.8;
                   }
                   return v;
               });
    return WithReverb(s, 0.75, 0.5, 0.3, 0.8);
}

TWave Colorize()
{
    // Paint spreads: an upward sweep with a sparkling trail.
    TOsc sweep;
    TOsc vib;
    const double length = 0.8;
    TWave s =
        Render(length,
               [&](double t)
               {
                   const double x = t / length;
                   const double f =
                       500.0 * std::pow(4.0, std::min(1.0, x * 1.6)) * (1.0 + 0.01 * vib.Sine(9.0));
                   double v = sweep.Sine(f) * Adsr(t, 0.35, 0.02, 0.2, 0.6, 0.12) * 0.6;
                   for (int i = 0; i < 6; ++i)
                   {
                       v += 0.18 * Bell(t - 0.2 - 0.06 * i, Hz(84 + (i * 5) % 12), 0.25, 2.0, 0.8);
                   }
                   return v;
               });
    return WithReverb(s, 0.6, 0.3, 0.3, 0.5);
}

TWave Shot()
{
    // A bright zap falling fast, with a soft thump.
    TOsc zap;
    TOsc thump;
    TSvf low;
    return Render(0.42,
                  [&](double t)
                  {
                      const double f = 180.0 + 1700.0 * std::exp(-t / 0.06);
                      low.Set(400.0 + 6000.0 * std::exp(-t / 0.1), 0.9);
                      const double v = low.Low(zap.Square(f, 0.3)) * Perc(t, 0.002, 0.12) * 0.6;
                      return v + thump.Sine(90.0 + 60.0 * std::exp(-t / 0.02)) *
                                     Perc(t, 0.002, 0.06) * 0.7;
                  });
}

TWave ShowBonus()
{
    // A glint: two high bells and a breath of sparkle.
    TNoise noise(12);
    TSvf high;
    high.Set(7000, 0.7);
    TWave s = Render(0.75,
                      [&](double t)
                      {
                          double v = 0.5 * Bell(t, Hz(88), 0.4, 3.0, 1.0) +
                                     0.45 * Bell(t - 0.09, Hz(95), 0.45, 3.0, 1.0);
                          v += 0.12 * high.High(noise.Next()) * Perc(t, 0.05, 0.12);
                          return v;
                      });
    return WithReverb(s, 0.6, 0.3, 0.35, 0.5);
}

TWave GameOver()
{
    // A slow falling minor line on a mellow horn, ending low.
    const int notes[] = {67, 65, 63, 62, 60};
    const double starts[] = {0.0, 0.32, 0.64, 0.96, 1.3};
    const double holds[] = {0.26, 0.26, 0.26, 0.3, 1.0};
    std::vector<TOsc> osc(2);
    TOsc sub;
    TSvf filter;
    TOsc vib;
    TWave s = Render(2.8,
                      [&](double t)
                      {
                          int n = 0;
                          while (n < 4 && t >= starts[n + 1])
                          {
                              ++n;
                          }
                          const double u = t - starts[n];
                          const double env = Adsr(u, holds[n], 0.04, 0.3, 0.75, 0.18);
                          const double f = Hz(notes[n] - 12) *
                                           (1.0 + 0.004 * vib.Sine(5.0) * std::min(1.0, u * 2.0));
                          filter.Set(300.0 + 1400.0 * env, 1.0);
                          double v = filter.Low(osc[0].Saw(f) + osc[1].Saw(f * 1.004)) * env * 0.5;
                          if (n == 4)
                          {
                              v += 0.4 * sub.Sine(Hz(36)) * Adsr(u, 1.0, 0.1, 0.5, 0.8, 0.3);
                          }
                          return v;
                      });
    return WithReverb(s, 0.7, 0.5, 0.35, 0.8);
}

TWave MenuMove()
{
    TOsc o;
    return Render(0.07,
                  [&](double t) {
                      return o.Sine(1900.0) * Perc(t, 0.001, 0.012) +
                             0.3 * o.Sine(3800) * Perc(t, 0.0005, 0.004);
                  });
}

// Two quick notes on the wooden bar: up for entering a menu, down for leaving it.
TWave MenuChime(int first, int second)
{
    return Render(0.3,
                  [&](double t)
                  {
                      return Marimba(t, Hz(first), 0.12) +
                             0.9 * Marimba(t - 0.07, Hz(second), 0.16);
                  });
}

TWave MenuEnter() { return MenuChime(76, 83); }

TWave MenuEsc() { return MenuChime(79, 72); }

// A short click: a burst of band-passed noise over a sine ping.
struct TTick
{
    uint32_t Seed;
    double Seconds;
    double BandHz, BandQ;
    double NoiseDecay, NoiseLevel;
    double PingHz, PingAttack, PingDecay, PingLevel;
};

TWave Tick(const TTick& tick)
{
    TNoise noise(tick.Seed);
    TSvf band;
    band.Set(tick.BandHz, tick.BandQ);
    TOsc ping;
    return Render(tick.Seconds,
                  [&](double t)
                  {
                      return band.Band(noise.Next()) * Perc(t, 0.0003, tick.NoiseDecay) *
                                 tick.NoiseLevel +
                             ping.Sine(tick.PingHz) * Perc(t, tick.PingAttack, tick.PingDecay) *
                                 tick.PingLevel;
                  });
}

TWave MenuKey()
{
    // A typewriter tick.
    return Tick({.Seed = 13, .Seconds = 0.06, .BandHz = 3200, .BandQ = 2.5, .NoiseDecay = 0.006,
                 .NoiseLevel = 2.0, .PingHz = 220.0, .PingAttack = 0.001, .PingDecay = 0.012,
                 .PingLevel = 0.4});
}

TWave TimeUp()
{
    // A clock tick: a dry wooden click with a short high ping.
    return Tick({.Seed = 14, .Seconds = 0.09, .BandHz = 2600, .BandQ = 3.0, .NoiseDecay = 0.005,
                 .NoiseLevel = 2.5, .PingHz = 1650.0, .PingAttack = 0.0005, .PingDecay = 0.018,
                 .PingLevel = 0.6});
}

TWave Message()
{
    TWave s =
        Render(0.5, [&](double t)
               { return 0.6 * Marimba(t, Hz(79), 0.25) + 0.5 * Marimba(t - 0.09, Hz(86), 0.3); });
    return WithReverb(s, 0.5, 0.4, 0.25, 0.3);
}
// The held-cube hum: every part repeats a whole number of times in the loop, so its end
// meets its start without a seam.
TWave Selected()
{
    const size_t length = 52920; // 1.2 s
    TWave s;
    s.Channels = 2;
    s.Samples.assign(length * 2, 0.0f);
    struct TPart
    {
        int Cycles;
        double Level;
        double Pan;
    };
    // 440, 440.83, 660, 880 Hz and a faint 1320 Hz shimmer.
    const TPart parts[] = {{528, 0.35, -0.3},
                           {529, 0.35, 0.3},
                           {792, 0.18, 0.0},
                           {1056, 0.10, -0.2},
                           {1584, 0.05, 0.2}};
    for (size_t i = 0; i < length; ++i)
    {
        const double x = static_cast<double>(i) / static_cast<double>(length);
        const double tremolo = 0.75 + 0.25 * std::sin(TwoPi * 5.0 * x);
        const double shimmer = 0.5 + 0.5 * std::sin(TwoPi * 2.0 * x + 1.0);
        double l = 0;
        double r = 0;
        for (const TPart& p : parts)
        {
            double v = std::sin(TwoPi * p.Cycles * x) * p.Level;
            if (p.Cycles == 1584)
            {
                v *= shimmer;
            }
            l += v * (1.0 - p.Pan);
            r += v * (1.0 + p.Pan);
        }
        s.At(i, 0) = static_cast<float>(l * tremolo);
        s.At(i, 1) = static_cast<float>(r * tremolo);
    }
    return s;
}

struct TEffectRecipe
{
    TSound Number;
    TWave (*Make)();
    float Level = 1.0f; // against the common level
    bool Loop = false;  // keeps its exact length: no trimming, fading or filtering
};

// Every sound of the table but the voices.
const TEffectRecipe Effects[] = {
    {snNewLevel, NewLevel},
    {snBonusLevel, BonusLevel},
    {snNewTurn, NewTurn, 0.8f},
    {snFlyingBy, FlyingBy, 0.9f},
    {snBonusLevelDone, BonusLevelDone},
    {snSelectCube, SelectCube, 0.8f},
    {snMoveCube, MoveCube, 0.8f},
    {snMoveBomb, MoveBomb, 0.9f},
    {snMoved, Moved, 0.8f},
    {snFigureDone, FigureDone},
    {snExplodeBomb, ExplodeBomb, 1.2f},
    {snColorize, Colorize},
    {snShot, Shot},
    {snShowBonus, ShowBonus},
    {snGameOver, GameOver},
    {snMenuMove, MenuMove, 0.6f},
    {snMenuEnter, MenuEnter, 0.8f},
    {snMenuEsc, MenuEsc, 0.8f},
    {snMenuKey, MenuKey, 0.6f},
    {snSelected, Selected, 1.0f, true},
    {snTimeUp, TimeUp, 0.8f},
    {snMessage, Message, 0.8f},
};
} // namespace

void CheckSoundRecipes()
{
    for (int n = 0; n < SoundCount; ++n)
    {
        const auto sound = static_cast<TSound>(n);
        const auto recipes =
            std::count_if(std::begin(Effects), std::end(Effects),
                          [sound](const TEffectRecipe& r) { return r.Number == sound; }) +
            (IsVoice(sound) ? 1 : 0);
        if (recipes != 1)
        {
            throw std::runtime_error(std::string("sound ") + SoundNames[static_cast<size_t>(n)] +
                                     (recipes == 0 ? " has no recipe" : " has more than one recipe"));
        }
    }
}

void FinishEffect(const TOutput& out, TSound number, TWave sound, float level)
{
    RemoveDc(sound);
    TrimTail(sound);
    Fade(sound, 0.002, 0.01);
    Level(sound, EffectRms * level, EffectPeak);
    out.WriteOgg(std::string("Sounds/") + SoundNames[static_cast<size_t>(number)] + ".ogg", sound,
                 0.5f);
}

void MakeSounds(const TOutput& out, const TSources&)
{
    CheckSoundRecipes();
    for (const TEffectRecipe& r : Effects)
    {
        TWave sound = r.Make();
        if (r.Loop)
        {
            Normalise(sound, 0.3f);
            out.WriteOgg(std::string("Sounds/") + SoundNames[static_cast<size_t>(r.Number)] + ".ogg",
                         sound, 0.5f);
        }
        else
        {
            FinishEffect(out, r.Number, std::move(sound), r.Level);
        }
    }
}
