#include "render/Jpeg.h"

#include <algorithm>
#include <bit>
#include <cstdint>
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

// The decoder may take this much memory at most (a progressive picture keeps all its
// coefficients): far above what the game's pictures need.
constexpr long MaxDecoderMemory = 256L << 20;

// The declared size against the limit and against what the file could hold: even a picture
// of one flat colour takes a bit or two per 8 x 8 block, so no real file declares more than
// 256 pixels a byte. Checked before the decoder takes memory for the picture.
bool SizeFits(unsigned width, unsigned height, unsigned maxSide, uintmax_t fileSize, std::string& message)
{
    if (width > maxSide || height > maxSide)
    {
        message = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                  " pixels is more than the game's pictures can be (" + std::to_string(maxSide) + " a side)";
        return false;
    }
    if (static_cast<uintmax_t>(width) * height > 256 * fileSize + 4096)
    {
        message = "a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                  " pixels cannot be held in a file of " + std::to_string(fileSize) + " bytes";
        return false;
    }
    return true;
}

// Decodes into rows of the colour space's pixels, in the buffer rows(width, height, held)
// gives (null when it cannot) for held rows at a time; each time it is full, and at the
// end, strip(first, count) takes the rows it holds, and answers false to stop. The
// decoder's state is kept out of this frame's C++ objects so a long jump leaves nothing
// undestroyed. width and height are set on success.
template <class TRows, class TStrip>
bool Decode(FILE* in, uintmax_t fileSize, J_COLOR_SPACE space, int components, TRows rows, TStrip strip,
            int& outWidth, int& outHeight, std::string& message, unsigned maxSide, bool keepDamaged)
{
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
    info.mem->max_memory_to_use = MaxDecoderMemory;
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    if (!SizeFits(info.image_width, info.image_height, maxSide, fileSize, message))
    {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = space;
    jpeg_start_decompress(&info);
    if (info.output_width > maxSide || info.output_height > maxSide ||
        info.output_components != components)
    {
        message = "a picture of " + std::to_string(info.output_width) + " x " +
                  std::to_string(info.output_height) + " pixels is more than a page can be";
        jpeg_destroy_decompress(&info);
        return false;
    }
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    int held = 0;
    uint8_t* const pixels = rows(width, height, held);
    if (pixels == nullptr || held <= 0)
    {
        message = "not enough memory for the picture";
        jpeg_destroy_decompress(&info);
        return false;
    }
    auto refused = [&] { return err.Corrupt && !keepDamaged; };
    bool taken = true;
    for (int first = 0; taken && info.output_scanline < info.output_height && !refused();)
    {
        JSAMPROW row = pixels + static_cast<size_t>(static_cast<int>(info.output_scanline) - first) * width * components;
        jpeg_read_scanlines(&info, &row, 1);
        const int done = static_cast<int>(info.output_scanline);
        if (done - first == held || done == height)
        {
            taken = strip(first, done - first);
            first = done;
        }
    }
    if (!taken)
    {
        message = "the picture's rows could not be taken";
        jpeg_destroy_decompress(&info);
        return false;
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
    outWidth = width;
    outHeight = height;
    return true;
}

// Opens the file and decodes it as Decode does.
template <class TRows, class TStrip>
bool DecodeFile(const std::filesystem::path& file, J_COLOR_SPACE space, int components, TRows rows, TStrip strip,
                int& width, int& height, std::string& problem, unsigned maxSide, bool keepDamaged)
{
    FILE* in = std::fopen(file.string().c_str(), "rb");
    if (in == nullptr)
    {
        problem = "cannot open the picture";
        return false;
    }
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(file, ec);
    const bool ok =
        Decode(in, ec ? 0 : size, space, components, rows, strip, width, height, problem, maxSide, keepDamaged);
    std::fclose(in);
    return ok;
}

// A buffer of width x height pixels of the element type, or null when memory is short.
template <class T>
auto Rows(std::vector<T>& pixels, int perPixel)
{
    return [&pixels, perPixel](int width, int height, int& held) -> uint8_t*
    {
        held = height;
        try
        {
            pixels.resize(static_cast<size_t>(width) * height * perPixel);
        }
        catch (const std::bad_alloc&)
        {
            return nullptr;
        }
        return reinterpret_cast<uint8_t*>(pixels.data());
    };
}

// The whole picture is in the buffer: nothing to take strip by strip.
bool Whole(int /*first*/, int /*count*/)
{
    return true;
}
} // namespace

bool DecodeJpeg(const std::filesystem::path& file, TRgbImage& image, std::string& problem,
                unsigned maxSide, bool keepDamaged)
{
    return DecodeFile(file, JCS_RGB, 3, Rows(image.Pixels, 3), Whole, image.Width, image.Height, problem,
                      maxSide, keepDamaged);
}

bool DecodeJpegArgb(const std::filesystem::path& file, std::vector<uint32_t>& pixels, int& width,
                    int& height, std::string& problem, unsigned maxSide)
{
    static_assert(std::endian::native == std::endian::little, "B, G, R, A bytes make an ARGB word");
    return DecodeFile(file, JCS_EXT_BGRA, 4, Rows(pixels, 1), Whole, width, height, problem, maxSide, true);
}

bool DecodeJpegArgbStrips(const std::filesystem::path& file, std::string& problem, unsigned maxSide,
                          const std::function<int(int width, int height)>& start,
                          const std::function<bool(const uint32_t* rows, int first, int count)>& strip)
{
    std::vector<uint32_t> buffer;
    int width = 0, height = 0;
    const auto rows = [&](int w, int h, int& held) -> uint8_t*
    {
        held = std::min(start(w, h), h);
        int whole = 0;
        return held > 0 ? Rows(buffer, 1)(w, held, whole) : nullptr;
    };
    const auto take = [&](int first, int count) { return strip(buffer.data(), first, count); };
    return DecodeFile(file, JCS_EXT_BGRA, 4, rows, take, width, height, problem, maxSide, true);
}

bool JpegSizeFits(const std::filesystem::path& file, unsigned maxSide, std::string& problem)
{
    FILE* in = std::fopen(file.string().c_str(), "rb");
    if (in == nullptr)
    {
        problem = "cannot open the picture";
        return false;
    }
    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(file, ec);
    jpeg_decompress_struct info{};
    TJpegError err{};
    info.err = jpeg_std_error(&err.Manager);
    err.Manager.error_exit = OnJpegError;
    err.Manager.emit_message = OnJpegMessage;
    bool fits = false;
    if (setjmp(err.Jump))
    {
        problem = err.Message;
    }
    else
    {
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, in);
        jpeg_read_header(&info, TRUE);
        fits = SizeFits(info.image_width, info.image_height, maxSide, ec ? 0 : size, problem);
    }
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    return fits;
}
