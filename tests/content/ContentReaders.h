// Readers for the generated files, independent of the generator's own code: what the game
// will find when it loads them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

std::filesystem::path GameFolder();
// The codes of po/LINGUAS: the languages whose pictures and voice lines are in lang/<code>/.
std::vector<std::string> ShippedLanguages();

struct TPicture
{
    int Width = 0;
    int Height = 0;
    int Channels = 0;          // 3 for JPEG, 4 for TGA
    std::vector<uint8_t> Data; // top row first

    const uint8_t* At(int x, int y) const
    {
        return &Data[(static_cast<size_t>(y) * Width + x) * Channels];
    }
};

// 32-bit true-colour Targa, uncompressed or run-length coded; throws with the reason when the
// file is not one.
TPicture ReadTga(const std::filesystem::path& file);
TPicture ReadJpeg(const std::filesystem::path& file);

struct TAudio
{
    int Rate = 0;
    int Channels = 0;
    std::vector<float> Samples; // interleaved

    double Seconds() const
    {
        return Channels > 0 ? static_cast<double>(Samples.size()) / Channels / Rate : 0.0;
    }
    float Peak() const;
};

TAudio ReadOgg(const std::filesystem::path& file);
