#include "JpegImage.h"

#include <csetjmp>
#include <cstdio>
// libjpeg's header needs FILE and size_t declared first.
#include <jpeglib.h>

namespace
{
// Artwork larger than this is refused rather than decoded into hundreds of megabytes.
constexpr JDIMENSION MaxSide = 4096;

struct TJpegError
{
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TJpegError*>(info->err)->Jump, 1);
}

void SilenceJpegWarning(j_common_ptr, int)
{
}

// The decoding proper: everything it changes lives outside its frame, so a jump back
// from the error handler leaves nothing half-made on the stack.
bool Decode(std::FILE* in, jpeg_decompress_struct& info, TJpegError& error, TRgbImage& image)
{
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = OnJpegError;
    error.Manager.emit_message = SilenceJpegWarning;
    if (setjmp(error.Jump) != 0)
    {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width > MaxSide || info.output_height > MaxSide)
    {
        jpeg_destroy_decompress(&info);
        return false;
    }
    image.Width = static_cast<int>(info.output_width);
    image.Height = static_cast<int>(info.output_height);
    image.Pixels.resize(static_cast<size_t>(image.Width) * 3 * static_cast<size_t>(image.Height));
    while (info.output_scanline < info.output_height)
    {
        JSAMPROW row = image.Pixels.data() + static_cast<size_t>(info.output_scanline) * image.Width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}
} // namespace

std::optional<TRgbImage> LoadJpeg(const std::filesystem::path& file)
{
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr)
    {
        return std::nullopt;
    }
    jpeg_decompress_struct info{};
    TJpegError error{};
    TRgbImage image;
    const bool ok = Decode(in, info, error, image);
    std::fclose(in);
    if (!ok || image.Width <= 0 || image.Height <= 0)
    {
        return std::nullopt;
    }
    return image;
}
