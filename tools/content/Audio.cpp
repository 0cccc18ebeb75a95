#include "tools/content/Audio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

namespace
{
constexpr double Pi = 3.14159265358979323846;
}

TWave TWave::Mono(double seconds)
{
    TWave s;
    s.Channels = 1;
    s.Samples.assign(FramesOf(seconds), 0.0f);
    return s;
}

TWave TWave::Stereo(double seconds)
{
    TWave s;
    s.Channels = 2;
    s.Samples.assign(FramesOf(seconds) * 2, 0.0f);
    return s;
}

float TWave::Peak() const
{
    float p = 0;
    for (float v : Samples)
    {
        p = std::max(p, std::fabs(v));
    }
    return p;
}

float TWave::LoudestRms(double window) const
{
    const size_t n = std::max<size_t>(1, FramesOf(window));
    const size_t frames = Frames();
    double sum = 0;
    double best = 0;
    for (size_t i = 0; i < frames; ++i)
    {
        for (int c = 0; c < Channels; ++c)
        {
            sum += static_cast<double>(At(i, c)) * At(i, c);
        }
        if (i >= n)
        {
            for (int c = 0; c < Channels; ++c)
            {
                sum -= static_cast<double>(At(i - n, c)) * At(i - n, c);
            }
        }
        best = std::max(best, sum);
    }
    return static_cast<float>(std::sqrt(std::max(0.0, best) / static_cast<double>(n * Channels)));
}

void Fade(TWave& s, double inSeconds, double outSeconds)
{
    const size_t frames = s.Frames();
    const size_t fin = std::min(frames, FramesOf(inSeconds));
    const size_t fout = std::min(frames, FramesOf(outSeconds));
    for (size_t i = 0; i < fin; ++i)
    {
        const float k = static_cast<float>(0.5 - 0.5 * std::cos(Pi * static_cast<double>(i) / fin));
        for (int c = 0; c < s.Channels; ++c)
        {
            s.At(i, c) *= k;
        }
    }
    for (size_t i = 0; i < fout; ++i)
    {
        const float k =
            static_cast<float>(0.5 - 0.5 * std::cos(Pi * static_cast<double>(i) / fout));
        for (int c = 0; c < s.Channels; ++c)
        {
            s.At(frames - 1 - i, c) *= k;
        }
    }
}

void RemoveDc(TWave& s)
{
    // A gentle high-pass at about 20 Hz.
    const float r = 0.997f;
    for (int c = 0; c < s.Channels; ++c)
    {
        float x1 = 0;
        float y1 = 0;
        for (size_t i = 0; i < s.Frames(); ++i)
        {
            const float x = s.At(i, c);
            const float y = x - x1 + r * y1;
            x1 = x;
            y1 = y;
            s.At(i, c) = y;
        }
    }
}

void Normalise(TWave& s, float peak)
{
    const float p = s.Peak();
    if (p <= 0)
    {
        return;
    }
    for (float& v : s.Samples)
    {
        v *= peak / p;
    }
}

void Level(TWave& s, float rms, float peak)
{
    const float loud = s.LoudestRms();
    if (loud <= 0)
    {
        return;
    }
    float gain = rms / loud;
    gain = std::min(gain, peak / std::max(1e-9f, s.Peak()));
    for (float& v : s.Samples)
    {
        v *= gain;
    }
}

void TrimTail(TWave& s, float threshold)
{
    size_t last = 0;
    for (size_t i = 0; i < s.Frames(); ++i)
    {
        for (int c = 0; c < s.Channels; ++c)
        {
            if (std::fabs(s.At(i, c)) > threshold)
            {
                last = i;
            }
        }
    }
    const size_t keep = std::min(s.Frames(), last + FramesOf(0.01));
    s.Samples.resize(keep * s.Channels);
    Fade(s, 0.0, 0.01);
}

std::vector<float> ParseWav(const std::vector<unsigned char>& b, int& rate)
{
    auto u16 = [&](size_t i)
    {
        return static_cast<uint32_t>(b[i] | (b[i + 1] << 8));
    };
    auto u32 = [&](size_t i)
    {
        return u16(i) | (u16(i + 2) << 16);
    };
    if (b.size() < 12 || b[0] != 'R' || b[1] != 'I' || b[2] != 'F' || b[3] != 'F')
    {
        throw std::runtime_error("speech is not a WAV stream");
    }
    size_t pos = 12;
    int channels = 1;
    int bits = 16;
    rate = 22050;
    std::vector<float> out;
    while (pos + 8 <= b.size())
    {
        const uint32_t size = u32(pos + 4);
        const bool isFmt = b[pos] == 'f' && b[pos + 1] == 'm' && b[pos + 2] == 't';
        const bool isData =
            b[pos] == 'd' && b[pos + 1] == 'a' && b[pos + 2] == 't' && b[pos + 3] == 'a';
        if (isFmt)
        {
            channels = static_cast<int>(u16(pos + 10));
            rate = static_cast<int>(u32(pos + 12));
            bits = static_cast<int>(u16(pos + 22));
        }
        else if (isData)
        {
            // espeak-ng writes a placeholder size when it streams: take what is there.
            size_t end = (size == 0 || size == 0xFFFFFFFFu || pos + 8 + size > b.size())
                             ? b.size()
                             : pos + 8 + size;
            if (bits != 16)
            {
                throw std::runtime_error("speech is not 16-bit");
            }
            for (size_t i = pos + 8; i + 2 * channels <= end; i += 2 * channels)
            {
                out.push_back(static_cast<float>(static_cast<int16_t>(u16(i))) / 32768.0f);
            }
            return out;
        }
        pos += 8 + size + (size & 1);
    }
    throw std::runtime_error("speech WAV has no data");
}

std::vector<float> Resample(const std::vector<float>& in, double fromRate, double toRate)
{
    const double ratio = toRate / fromRate;
    const size_t n = static_cast<size_t>(static_cast<double>(in.size()) * ratio);
    std::vector<float> out(n);
    const int half = 16;
    const double cutoff = std::min(1.0, ratio) * 0.95;
    for (size_t i = 0; i < n; ++i)
    {
        const double pos = static_cast<double>(i) / ratio;
        const long centre = static_cast<long>(std::floor(pos));
        double acc = 0;
        double norm = 0;
        for (long k = centre - half + 1; k <= centre + half; ++k)
        {
            const double x = pos - static_cast<double>(k);
            const double sinc =
                std::fabs(x) < 1e-9 ? 1.0 : std::sin(Pi * x * cutoff) / (Pi * x * cutoff);
            const double window = 0.5 + 0.5 * std::cos(Pi * x / half);
            const double w = sinc * window;
            norm += w;
            if (k >= 0 && k < static_cast<long>(in.size()))
            {
                acc += w * in[static_cast<size_t>(k)];
            }
        }
        out[i] = static_cast<float>(acc / norm);
    }
    return out;
}
