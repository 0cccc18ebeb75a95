// Deterministic randomness: a seeded generator and smooth value noise. Nothing here reads
// the clock or the standard library's distributions, so every run gives the same numbers.
#pragma once

#include <cstdint>

class TRng
{
public:
    explicit TRng(uint64_t seed) : State(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}

    uint64_t Next();
    // 0 <= value < 1
    float Uniform();
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    // 0 <= value < n
    int Below(int n);

private:
    uint64_t State;
};

uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);
// A value in 0..1 fixed by the integers.
float HashUnit(int x, int y, uint32_t seed);

// Smooth noise in 0..1 with a feature size of one unit; `period` > 0 makes it tile.
float ValueNoise(float x, float y, uint32_t seed, int period = 0);
// Sum of octaves, normalised to 0..1.
float Fbm(float x, float y, uint32_t seed, int octaves, int period = 0);
