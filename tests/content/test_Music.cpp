// The four tunes as the mixer streams them.
#include "tests/content/ContentReaders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace
{
TAudio Tune(const char* name) { return ReadOgg(GameFolder() / "Music" / name); }

float Rms(const TAudio& a, size_t from, size_t count)
{
    double sum = 0;
    const size_t end = std::min(a.Samples.size(), from + count);
    for (size_t i = from; i < end; ++i)
    {
        sum += a.Samples[i] * a.Samples[i];
    }
    return end > from ? static_cast<float>(std::sqrt(sum / static_cast<double>(end - from))) : 0.0f;
}
} // namespace

TEST(Music, TunesAreStereoAt44kHzOfTheirLengthAndNeverClip)
{
    struct TCase
    {
        const char* Name;
        double Min;
        double Max;
    };
    for (const TCase& c : {TCase{"menu1.ogg", 45, 80}, TCase{"menu2.ogg", 45, 80},
                           TCase{"theme1.ogg", 120, 180}, TCase{"theme2.ogg", 120, 180}})
    {
        SCOPED_TRACE(c.Name);
        const TAudio a = Tune(c.Name);
        EXPECT_EQ(44100, a.Rate);
        EXPECT_EQ(2, a.Channels);
        EXPECT_GE(a.Seconds(), c.Min);
        EXPECT_LE(a.Seconds(), c.Max);
        EXPECT_LT(a.Peak(), 0.99f);
        EXPECT_GT(Rms(a, 0, a.Samples.size()), 0.03f) << "too quiet to be music";
    }
}

TEST(Music, ThemesLoopWithoutASeam)
{
    for (const char* name : {"theme1.ogg", "theme2.ogg"})
    {
        SCOPED_TRACE(name);
        const TAudio a = Tune(name);
        const size_t n = a.Samples.size();
        ASSERT_GT(n, 100000u);
        // Steps between neighbouring samples around the loop point.
        float local = 0;
        for (size_t i = n - 2000; i < n; ++i)
        {
            local = std::max(local, std::fabs(a.Samples[i] - a.Samples[i - 2]));
        }
        for (size_t i = 2; i < 2000; ++i)
        {
            local = std::max(local, std::fabs(a.Samples[i] - a.Samples[i - 2]));
        }
        for (int c = 0; c < 2; ++c)
        {
            EXPECT_LE(std::fabs(a.Samples[static_cast<size_t>(c)] -
                                a.Samples[n - 2 + static_cast<size_t>(c)]),
                      local * 1.5f);
        }
        // The end is not a fade: the music carries on into the start at about its level.
        const size_t second = 44100 * 2;
        const float end = Rms(a, n - second, second);
        const float start = Rms(a, 0, second);
        EXPECT_GT(end, 0.02f);
        EXPECT_GT(start, 0.02f);
        EXPECT_LT(std::max(end, start) / std::min(end, start), 4.0f);
    }
}

TEST(Music, MenuTunesEndInSilenceBecauseTheNextOneStartsAfter)
{
    for (const char* name : {"menu1.ogg", "menu2.ogg"})
    {
        SCOPED_TRACE(name);
        const TAudio a = Tune(name);
        const size_t half = 44100;
        EXPECT_LT(Rms(a, a.Samples.size() - half, half), 0.005f);
        EXPECT_LT(std::fabs(a.Samples.front()), 0.02f);
    }
}
