// The launcher's artwork, decoded into 8-bit RGB rows.
#pragma once

#include "render/Jpeg.h"

#include <filesystem>
#include <optional>

// Empty when the file is missing or is not a JPEG picture the library can read; a damaged
// file never stops the program (what the decoder lost shows grey).
std::optional<TRgbImage> LoadJpeg(const std::filesystem::path& file);
