#include "app/JpegImage.h"

#include <string>

namespace
{
// Artwork larger than this is refused rather than decoded into hundreds of megabytes.
constexpr unsigned MaxSide = 4096;
} // namespace

std::optional<TRgbImage> LoadJpeg(const std::filesystem::path& file)
{
    TRgbImage image;
    std::string problem;
    if (!DecodeJpeg(file, image, problem, MaxSide, true) || image.Width <= 0 || image.Height <= 0)
    {
        return std::nullopt;
    }
    return image;
}
