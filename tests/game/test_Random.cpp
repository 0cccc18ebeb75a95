#include "game/Random.h"

#include <gtest/gtest.h>

TEST(Random, FollowsTheLinearSequence)
{
    TRandom r(0);
    // 0 * 134775813 + 1 = 1; upper 32 bits of 1 * 10 are 0.
    EXPECT_EQ(r.Random(10), 0);
    EXPECT_EQ(r.Seed, 1u);
    EXPECT_EQ(r.Random(10), 0); // seed 134775814: 134775814 * 10 >> 32 = 0
    EXPECT_EQ(r.Seed, 134775814u);

    TRandom s(0xFFFFFFFFu);
    // 0xFFFFFFFF * 134775813 + 1 wraps to -134775812 mod 2^32.
    const uint32_t expected = 0xFFFFFFFFu * 134775813u + 1u;
    const int value = s.Random(1000);
    EXPECT_EQ(s.Seed, expected);
    EXPECT_EQ(value, static_cast<int>((uint64_t(expected) * 1000u) >> 32));
}

TEST(Random, EmptyAndSingleRangesGiveZeroButStillAdvance)
{
    TRandom r(12345);
    for (int n : {0, 1, -3})
    {
        const uint32_t before = r.Seed;
        EXPECT_EQ(r.Random(n), 0);
        EXPECT_NE(r.Seed, before);
    }
}

TEST(Random, StaysInRangeAndCoversIt)
{
    TRandom r(7);
    int seen[6] = {};
    for (int i = 0; i < 6000; ++i)
    {
        const int v = r.Random(6);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 6);
        ++seen[v];
    }
    for (int count : seen)
    {
        EXPECT_GT(count, 800);
    }
    for (int i = 0; i < 1000; ++i)
    {
        const double f = r.RandomFloat();
        ASSERT_GE(f, 0.0);
        ASSERT_LT(f, 1.0);
    }
}

TEST(Random, FloatIsTheNewSeedOverTwoToThe32)
{
    TRandom r(41);
    const double f = r.RandomFloat();
    EXPECT_DOUBLE_EQ(f, r.Seed / 4294967296.0);
}

TEST(Random, TimeOfDaySeedIsMillisecondsSinceMidnight)
{
    EXPECT_LT(TRandom::TimeOfDaySeed(), 24u * 60 * 60 * 1000);
}
