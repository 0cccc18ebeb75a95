// JPEG pictures decoded with libjpeg into 8-bit RGB rows (the pages converted to bitmaps
// and the launcher's artwork) or into the game's 32-bit ARGB pixels (its textures).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct TRgbImage
{
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels; // Width * 3 bytes per row, rows top to bottom
};

// Reads the file into image. False, with the reason in problem, when the file cannot be
// opened, is no JPEG picture, is more than maxSide pixels a side (refused before any
// memory is taken for it), or its data is damaged. The decoder itself only warns of a
// truncated file or damaged data and fills what it lost with grey: with keepDamaged such
// a picture is accepted as it comes out.
bool DecodeJpeg(const std::filesystem::path& file, TRgbImage& image, std::string& problem,
                unsigned maxSide, bool keepDamaged = false);

// Decodes the file straight into 32-bit ARGB words (alpha 255), rows top to bottom, as a
// texture takes them: no copy of the picture in another layout is made. Damaged data is
// kept as the decoder fills it, as the game's picture reader always has.
bool DecodeJpegArgb(const std::filesystem::path& file, std::vector<uint32_t>& pixels, int& width,
                    int& height, std::string& problem, unsigned maxSide);

// Decodes the file into 32-bit ARGB words as DecodeJpegArgb does, a strip of rows at a
// time, so the whole picture never lies in memory: start(width, height) is told the size
// and answers how many rows a strip holds (0 stops the decoding); strip(rows, first, count)
// takes each strip in turn, rows top to bottom, and answers false to stop.
bool DecodeJpegArgbStrips(const std::filesystem::path& file, std::string& problem, unsigned maxSide,
                          const std::function<int(int width, int height)>& start,
                          const std::function<bool(const uint32_t* rows, int first, int count)>& strip);

// Reads only the header: true when the declared size fits maxSide and what the file
// could hold; problem otherwise. Nothing is taken for the picture itself.
bool JpegSizeFits(const std::filesystem::path& file, unsigned maxSide, std::string& problem);
