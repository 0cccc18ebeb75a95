// JPEG pictures decoded with libjpeg into 8-bit RGB rows, for the launcher's artwork.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

struct TRgbImage
{
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels; // Width * 3 bytes per row, rows top to bottom
};

// Empty when the file is missing or is not a JPEG picture the library can read; a damaged
// file never stops the program.
std::optional<TRgbImage> LoadJpeg(const std::filesystem::path& file);
