// Sound buffers at the game's rate and the finishing steps every sound goes through.
#pragma once

#include <cstddef>
#include <vector>

inline constexpr int SampleRate = 44100;

struct TWave
{
    int Channels = 1;
    std::vector<float> Samples; // interleaved

    static TWave Mono(double seconds);
    static TWave Stereo(double seconds);
    size_t Frames() const { return Samples.size() / static_cast<size_t>(Channels); }
    float& At(size_t frame, int channel) { return Samples[frame * Channels + channel]; }
    float At(size_t frame, int channel) const { return Samples[frame * Channels + channel]; }
    float Peak() const;
    // The loudest stretch: the highest RMS over windows of `window` seconds.
    float LoudestRms(double window = 0.05) const;
};

inline size_t FramesOf(double seconds) { return static_cast<size_t>(seconds * SampleRate + 0.5); }

// Short fades at both ends so that nothing clicks.
void Fade(TWave& s, double inSeconds, double outSeconds);
void RemoveDc(TWave& s);
// Scales the sound so that its loudest 50 ms reach `rms`, then lowers it further if a peak
// would pass `peak`.
void Level(TWave& s, float rms, float peak = 0.85f);
// Plain gain so the highest peak is exactly `peak`.
void Normalise(TWave& s, float peak);
// Cuts trailing near-silence, keeping a short fade.
void TrimTail(TWave& s, float threshold = 0.0005f);

// Reads a 16-bit PCM WAV held in memory; returns mono at the file's rate in `rate`.
std::vector<float> ParseWav(const std::vector<unsigned char>& bytes, int& rate);
// Windowed-sinc resampling of a mono signal.
std::vector<float> Resample(const std::vector<float>& in, double fromRate, double toRate);
