#include "tools/content/Noise.h"

#include <cmath>
#include <initializer_list>

uint64_t TRng::Next()
{
    // SplitMix64
    uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float TRng::Uniform() { return static_cast<float>(Next() >> 40) / static_cast<float>(1ull << 24); }

int TRng::Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    uint32_t h = 0x811C9DC5u;
    for (uint32_t v : {a, b, c, d})
    {
        h ^= v;
        h *= 0x01000193u;
        h ^= h >> 15;
        h *= 0x2C1B3C6Du;
        h ^= h >> 12;
    }
    return h;
}

float HashUnit(int x, int y, uint32_t seed)
{
    return static_cast<float>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) >> 8) /
           static_cast<float>(1u << 24);
}

float ValueNoise(float x, float y, uint32_t seed, int period)
{
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    int x0 = static_cast<int>(fx);
    int y0 = static_cast<int>(fy);
    float tx = x - fx;
    float ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    int x1 = x0 + 1;
    int y1 = y0 + 1;
    if (period > 0)
    {
        auto wrap = [period](int v)
        {
            return ((v % period) + period) % period;
        };
        x0 = wrap(x0);
        x1 = wrap(x1);
        y0 = wrap(y0);
        y1 = wrap(y1);
    }
    const float a = HashUnit(x0, y0, seed);
    const float b = HashUnit(x1, y0, seed);
    const float c = HashUnit(x0, y1, seed);
    const float d = HashUnit(x1, y1, seed);
    const float top = a + (b - a) * tx;
    const float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves, int period)
{
    float sum = 0;
    float amp = 1;
    float total = 0;
    for (int i = 0; i < octaves; ++i)
    {
        sum += ValueNoise(x, y, seed + static_cast<uint32_t>(i) * 1013u, period) * amp;
        total += amp;
        amp *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        if (period > 0)
        {
            period *= 2;
        }
    }
    return sum / total;
}
