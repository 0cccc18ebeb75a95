// Every effect of the game's table as the mixer loads them: Ogg Vorbis at 44.1 kHz, sensible lengths, no
// clipping, no click at either end, levels that sit together, and a seamless held loop.
#include "game/Sounds.h"
#include "tests/content/ContentReaders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
struct TExpected
{
    TSound Number;
    double MinSeconds;
    double MaxSeconds;
    std::string Name = {};
};

// The lengths the sounds are meant to have; a sound without a row here may last 0.02 to
// 4.5 seconds.
const TExpected Lengths[] = {
    {snNewLevel, 0.8, 2.5},    {snBonusLevel, 1.0, 3.0},     {snNewTurn, 0.1, 0.6},
    {snFlyingBy, 1.5, 4.0},    {snBonusLevelDone, 1.0, 3.5}, {snSelectCube, 0.05, 0.4},
    {snMoveCube, 0.2, 0.8},    {snMoveBomb, 0.2, 1.0},       {snMoved, 0.05, 0.5},
    {snFigureDone, 0.5, 2.5},  {snDouble, 0.5, 2.8},         {snTriple, 0.5, 2.8},
    {snQuadro, 0.5, 2.8},      {snExcellent, 0.5, 2.8},      {snTandrel, 0.4, 2.8},
    {snExplodeBomb, 0.8, 3.0}, {snColorize, 0.3, 1.8},       {snShot, 0.15, 1.0},
    {snShowBonus, 0.3, 1.6},   {snGameOver, 1.5, 4.5},       {snMenuMove, 0.02, 0.2},
    {snMenuEnter, 0.1, 0.6},   {snMenuEsc, 0.1, 0.6},        {snMenuKey, 0.02, 0.2},
    {snSelected, 0.5, 3.0},    {snTimeUp, 0.03, 0.25},       {snMessage, 0.2, 1.0},
};

// Every sound of the game's table, with its file name.
std::vector<TExpected> Effects()
{
    std::vector<TExpected> v;
    for (int n = 0; n < SoundCount; ++n)
    {
        TExpected e{static_cast<TSound>(n), 0.02, 4.5, SoundNames[static_cast<size_t>(n)]};
        for (const TExpected& l : Lengths)
        {
            if (l.Number == e.Number)
            {
                e.MinSeconds = l.MinSeconds;
                e.MaxSeconds = l.MaxSeconds;
            }
        }
        v.push_back(e);
    }
    return v;
}

float LoudestRms(const TAudio& a, double window)
{
    const size_t n = static_cast<size_t>(window * a.Rate) * a.Channels;
    double sum = 0;
    double best = 0;
    for (size_t i = 0; i < a.Samples.size(); ++i)
    {
        sum += a.Samples[i] * a.Samples[i];
        if (i >= n)
        {
            sum -= a.Samples[i - n] * a.Samples[i - n];
        }
        best = std::max(best, sum);
    }
    return static_cast<float>(std::sqrt(best / static_cast<double>(std::min(n, a.Samples.size()))));
}
} // namespace

TEST(Sounds, EveryEffectDecodesAt44kHzWithinItsLengthAndWithoutClipping)
{
    for (const TExpected& e : Effects())
    {
        SCOPED_TRACE(e.Name);
        const TAudio a = ReadOgg(GameFolder() / "Sounds" / (e.Name + ".ogg"));
        EXPECT_EQ(44100, a.Rate);
        EXPECT_GE(a.Seconds(), e.MinSeconds);
        EXPECT_LE(a.Seconds(), e.MaxSeconds);
        EXPECT_LT(a.Peak(), 0.99f);
        EXPECT_GT(a.Peak(), 0.1f) << "nearly silent";
    }
}

TEST(Sounds, EffectsStartAndEndQuietlySoThatNothingClicks)
{
    for (const TExpected& e : Effects())
    {
        if (e.Number == snSelected)
        {
            continue; // a loop: its ends meet each other instead
        }
        SCOPED_TRACE(e.Name);
        const TAudio a = ReadOgg(GameFolder() / "Sounds" / (e.Name + ".ogg"));
        ASSERT_GT(a.Samples.size(), 8u);
        for (int c = 0; c < a.Channels; ++c)
        {
            EXPECT_LT(std::fabs(a.Samples[c]), 0.02f);
            EXPECT_LT(std::fabs(a.Samples[a.Samples.size() - a.Channels + c]), 0.02f);
        }
    }
}

TEST(Sounds, LevelsAreMatched)
{
    std::vector<float> levels;
    for (const TExpected& e : Effects())
    {
        if (e.Number == snSelected)
        {
            continue;
        }
        levels.push_back(
            LoudestRms(ReadOgg(GameFolder() / "Sounds" / (e.Name + ".ogg")), 0.05));
    }
    std::vector<float> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const float median = sorted[sorted.size() / 2];
    size_t i = 0;
    for (const TExpected& e : Effects())
    {
        if (e.Number == snSelected)
        {
            continue;
        }
        // Within 8 dB of the median: nothing leaps out, nothing gets lost.
        EXPECT_GT(levels[i], median * 0.4f) << e.Name;
        EXPECT_LT(levels[i], median * 2.5f) << e.Name;
        ++i;
    }
}

TEST(Sounds, SelectedLoopsWithoutASeam)
{
    const TAudio a = ReadOgg(GameFolder() / "Sounds" / "Selected.ogg");
    ASSERT_GT(a.Samples.size(), 1000u);
    // The step across the loop point is no larger than the steps inside the sound.
    float largestStep = 0;
    for (size_t i = a.Channels; i < a.Samples.size(); ++i)
    {
        largestStep = std::max(largestStep, std::fabs(a.Samples[i] - a.Samples[i - a.Channels]));
    }
    for (int c = 0; c < a.Channels; ++c)
    {
        const float seam = std::fabs(a.Samples[c] - a.Samples[a.Samples.size() - a.Channels + c]);
        EXPECT_LE(seam, largestStep * 1.2f) << "channel " << c;
    }
    // And it keeps sounding to its very end: a loop does not fade out.
    const size_t tail = a.Samples.size() - static_cast<size_t>(0.05 * a.Rate) * a.Channels;
    float tailPeak = 0;
    for (size_t i = tail; i < a.Samples.size(); ++i)
    {
        tailPeak = std::max(tailPeak, std::fabs(a.Samples[i]));
    }
    EXPECT_GT(tailPeak, a.Peak() * 0.3f);
}

TEST(Sounds, TimeUpIsAShortTick)
{
    const TAudio a = ReadOgg(GameFolder() / "Sounds" / "TimeUp.ogg");
    // The warning repeats every 150 ms at its fastest: each tick must be over well before.
    const size_t after = static_cast<size_t>(0.06 * a.Rate) * a.Channels;
    float late = 0;
    for (size_t i = after; i < a.Samples.size(); ++i)
    {
        late = std::max(late, std::fabs(a.Samples[i]));
    }
    EXPECT_LT(late, a.Peak() * 0.1f);
}
