#include "render/Jpeg.h"

#include <cstdio>
#include <new>
// libjpeg's headers need FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>
#include <setjmp.h>

namespace
{
struct TJpegError
{
    jpeg_error_mgr Manager;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    bool Corrupt; // the decoder warned of damaged data and went on with made-up pixels
};

void OnJpegError(j_common_ptr info)
{
    auto* e = reinterpret_cast<TJpegError*>(info->err);
    info->err->format_message(info, e->Message);
    longjmp(e->Jump, 1);
}

// The decoder only warns of a truncated file or damaged entropy-coded data, fills what
// it lost with grey and reports success; such a picture is marked damaged. Harmless
// warnings (an unknown header revision, a damaged colour profile) are let through.
void OnJpegMessage(j_common_ptr info, int level)
{
    auto* e = reinterpret_cast<TJpegError*>(info->err);
    const int code = info->err->msg_code;
    const bool damaged = code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER ||
                         code == JWRN_HUFF_BAD_CODE || code == JWRN_ARITH_BAD_CODE ||
                         code == JWRN_MUST_RESYNC || code == JWRN_NOT_SEQUENTIAL ||
                         code == JWRN_BOGUS_PROGRESSION;
    if (level < 0 && damaged && !e->Corrupt)
    {
        info->err->format_message(info, e->Message);
        e->Corrupt = true;
    }
}

// Decodes into rows of R, G, B bytes; the decoder's state is kept out of this frame's
// C++ objects so a long jump leaves nothing undestroyed.
bool Decode(FILE* in, TRgbImage& image, std::string& message, unsigned maxSide, bool keepDamaged)
{
    std::vector<uint8_t>& rgb = image.Pixels;
    jpeg_decompress_struct info{};
    TJpegError err{};
    info.err = jpeg_std_error(&err.Manager);
    err.Manager.error_exit = OnJpegError;
    err.Manager.emit_message = OnJpegMessage;
    if (setjmp(err.Jump))
    {
        jpeg_destroy_decompress(&info);
        message = err.Message;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_width > maxSide || info.output_height > maxSide ||
        info.output_components != 3)
    {
        message = "a picture of " + std::to_string(info.output_width) + " x " +
                  std::to_string(info.output_height) + " pixels is more than a page can be";
        jpeg_destroy_decompress(&info);
        return false;
    }
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    try
    {
        rgb.resize(static_cast<size_t>(width) * height * 3);
    }
    catch (const std::bad_alloc&)
    {
        message = "not enough memory for the picture";
        jpeg_destroy_decompress(&info);
        return false;
    }
    auto refused = [&] { return err.Corrupt && !keepDamaged; };
    while (info.output_scanline < info.output_height && !refused())
    {
        JSAMPROW row = &rgb[static_cast<size_t>(info.output_scanline) * width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    if (!refused())
    {
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    if (refused())
    {
        message = std::string("damaged picture data (") + err.Message + ")";
        return false;
    }
    image.Width = width;
    image.Height = height;
    return true;
}
} // namespace

bool DecodeJpeg(const std::filesystem::path& file, TRgbImage& image, std::string& problem,
                unsigned maxSide, bool keepDamaged)
{
    FILE* in = std::fopen(file.string().c_str(), "rb");
    if (in == nullptr)
    {
        problem = "cannot open the picture";
        return false;
    }
    const bool ok = Decode(in, image, problem, maxSide, keepDamaged);
    std::fclose(in);
    return ok;
}
