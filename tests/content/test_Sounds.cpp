// The 27 effects as the mixer loads them: Ogg Vorbis at 44.1 kHz, sensible lengths, no
// clipping, no click at either end, levels that sit together, and a seamless held loop.
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
    const char* Name;
    double MinSeconds;
    double MaxSeconds;
};

// In the game's sound numbering, 0..26.
const TExpected Effects[] = {
    {"NewLevel", 0.8, 2.5},    {"BonusLevel", 1.0, 3.0},     {"NewTurn", 0.1, 0.6},
    {"FlyingBy", 1.5, 4.0},    {"BonusLevelDone", 1.0, 3.5}, {"SelectCube", 0.05, 0.4},
    {"MoveCube", 0.2, 0.8},    {"MoveBomb", 0.2, 1.0},       {"Moved", 0.05, 0.5},
    {"FigureDone", 0.5, 2.5},  {"vDouble", 0.5, 2.8},        {"vTriple", 0.5, 2.8},
    {"vQuadro", 0.5, 2.8},     {"vExcellent", 0.5, 2.8},     {"vTandrel", 0.4, 2.8},
    {"ExplodeBomb", 0.8, 3.0}, {"Colorize", 0.3, 1.8},       {"Shot", 0.15, 1.0},
    {"ShowBonus", 0.3, 1.6},   {"GameOver", 1.5, 4.5},       {"MenuMove", 0.02, 0.2},
    {"MenuEnter", 0.1, 0.6},   {"MenuEsc", 0.1, 0.6},        {"MenuKey", 0.02, 0.2},
    {"Selected", 0.5, 3.0},    {"TimeUp", 0.03, 0.25},       {"Message", 0.2, 1.0},
};

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
    ASSERT_EQ(27u, std::size(Effects));
    for (const TExpected& e : Effects)
    {
        SCOPED_TRACE(e.Name);
        const TAudio a = ReadOgg(GameFolder() / "Sounds" / (std::string(e.Name) + ".ogg"));
        EXPECT_EQ(44100, a.Rate);
        EXPECT_GE(a.Seconds(), e.MinSeconds);
        EXPECT_LE(a.Seconds(), e.MaxSeconds);
        EXPECT_LT(a.Peak(), 0.99f);
        EXPECT_GT(a.Peak(), 0.1f) << "nearly silent";
    }
}

TEST(Sounds, EffectsStartAndEndQuietlySoThatNothingClicks)
{
    for (const TExpected& e : Effects)
    {
        if (std::string(e.Name) == "Selected")
        {
            continue; // a loop: its ends meet each other instead
        }
        SCOPED_TRACE(e.Name);
        const TAudio a = ReadOgg(GameFolder() / "Sounds" / (std::string(e.Name) + ".ogg"));
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
    for (const TExpected& e : Effects)
    {
        if (std::string(e.Name) == "Selected")
        {
            continue;
        }
        levels.push_back(
            LoudestRms(ReadOgg(GameFolder() / "Sounds" / (std::string(e.Name) + ".ogg")), 0.05));
    }
    std::vector<float> sorted = levels;
    std::sort(sorted.begin(), sorted.end());
    const float median = sorted[sorted.size() / 2];
    size_t i = 0;
    for (const TExpected& e : Effects)
    {
        if (std::string(e.Name) == "Selected")
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
