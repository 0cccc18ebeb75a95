// The one random generator of the game: a 32-bit linear congruential sequence.
// Every random choice of a run draws from the same instance, so a seed and the same
// inputs replay the same game.
#pragma once

#include <cstdint>

class TRandom
{
public:
    explicit TRandom(uint32_t seed = 0) : Seed(seed) {}

    // An integer in 0..n-1; 0 when n <= 0 (no range is ever negative).
    int Random(int n)
    {
        Advance();
        if (n <= 0)
        {
            return 0;
        }
        return static_cast<int>((static_cast<uint64_t>(Seed) * static_cast<uint32_t>(n)) >> 32);
    }

    // A real in 0 <= r < 1.
    double RandomFloat()
    {
        Advance();
        return Seed / 4294967296.0;
    }

    // The seed a run starts from: milliseconds since midnight, local time.
    static uint32_t TimeOfDaySeed();
    void Randomize() { Seed = TimeOfDaySeed(); }

    uint32_t Seed;

private:
    void Advance() { Seed = Seed * 134775813u + 1u; }
};
