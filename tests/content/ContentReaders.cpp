#include "tests/content/ContentReaders.h"

#include "tests/support/TestSupport.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <stdexcept>

#include <jpeglib.h>
#include <vorbis/vorbisfile.h>

std::filesystem::path GameFolder() { return std::filesystem::path(TANDREL_GAME_DIR); }

std::vector<std::string> ShippedLanguages()
{
    std::istringstream list(ReadFile(std::filesystem::path(TANDREL_PO_DIR) / "LINGUAS"));
    std::vector<std::string> codes;
    for (std::string line; std::getline(list, line);)
    {
        std::istringstream words(line.substr(0, line.find('#')));
        for (std::string code; words >> code;)
        {
            codes.push_back(code);
        }
    }
    return codes;
}

TPicture ReadTga(const std::filesystem::path& file)
{
    const std::string bytes = ReadFile(file);
    auto fail = [&](const std::string& why)
    {
        throw std::runtime_error(file.string() + ": " + why);
    };
    if (bytes.size() < 18)
    {
        fail("too short for a TGA header");
    }
    auto u8 = [&](size_t i)
    {
        return static_cast<uint8_t>(bytes[i]);
    };
    if (u8(2) != 2 && u8(2) != 10)
    {
        fail("not a true-colour TGA");
    }
    if (u8(16) != 32 || (u8(17) & 15) != 8)
    {
        fail("not 32 bits with 8 alpha bits");
    }
    TPicture p;
    p.Width = u8(12) | (u8(13) << 8);
    p.Height = u8(14) | (u8(15) << 8);
    p.Channels = 4;
    const size_t pixels = static_cast<size_t>(p.Width) * p.Height;
    std::string plain = bytes.substr(18 + u8(0));
    if (u8(2) == 10)
    {
        // Run-length coded: packets of 1..128 pixels, repeated (high bit) or as they are.
        plain.clear();
        for (size_t at = 18 + u8(0); plain.size() < pixels * 4;)
        {
            if (at >= bytes.size())
            {
                fail("run-length data cut short");
            }
            const size_t count = (u8(at) & 127u) + 1;
            const bool run = (u8(at) & 128u) != 0;
            const size_t size = run ? 4 : count * 4;
            if (at + 1 + size > bytes.size())
            {
                fail("run-length data cut short");
            }
            for (size_t k = 0; k < (run ? count : 1); ++k)
            {
                plain.append(bytes, at + 1, size);
            }
            at += 1 + size;
        }
    }
    const size_t start = 0;
    if (plain.size() < pixels * 4)
    {
        fail("pixel data cut short");
    }
    const bool topDown = (u8(17) & 0x20) != 0;
    p.Data.resize(static_cast<size_t>(p.Width) * p.Height * 4);
    for (int y = 0; y < p.Height; ++y)
    {
        const int row = topDown ? y : p.Height - 1 - y;
        for (int x = 0; x < p.Width; ++x)
        {
            const size_t s = start + (static_cast<size_t>(row) * p.Width + x) * 4;
            uint8_t* d = &p.Data[(static_cast<size_t>(y) * p.Width + x) * 4];
            d[0] = static_cast<uint8_t>(plain[s + 2]);
            d[1] = static_cast<uint8_t>(plain[s + 1]);
            d[2] = static_cast<uint8_t>(plain[s]);
            d[3] = static_cast<uint8_t>(plain[s + 3]);
        }
    }
    return p;
}

namespace
{
struct TJpegError
{
    jpeg_error_mgr Manager;
};

[[noreturn]] void JpegFail(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    throw std::runtime_error(text);
}
} // namespace

TPicture ReadJpeg(const std::filesystem::path& file)
{
    const std::string bytes = ReadFile(file);
    if (bytes.empty())
    {
        throw std::runtime_error(file.string() + ": missing or empty");
    }
    jpeg_decompress_struct info;
    TJpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegFail;
    jpeg_create_decompress(&info);
    TPicture p;
    try
    {
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        p.Width = static_cast<int>(info.output_width);
        p.Height = static_cast<int>(info.output_height);
        p.Channels = 3;
        p.Data.resize(static_cast<size_t>(p.Width) * p.Height * 3);
        while (info.output_scanline < info.output_height)
        {
            JSAMPROW row = &p.Data[static_cast<size_t>(info.output_scanline) * p.Width * 3];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    }
    catch (const std::exception& e)
    {
        jpeg_destroy_decompress(&info);
        throw std::runtime_error(file.string() + ": " + e.what());
    }
    jpeg_destroy_decompress(&info);
    return p;
}

float TAudio::Peak() const
{
    float peak = 0;
    for (float s : Samples)
    {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}

TAudio ReadOgg(const std::filesystem::path& file)
{
    OggVorbis_File vf;
    if (ov_fopen(file.string().c_str(), &vf) != 0)
    {
        throw std::runtime_error(file.string() + ": not an Ogg Vorbis file");
    }
    const vorbis_info* vi = ov_info(&vf, -1);
    TAudio a;
    a.Rate = static_cast<int>(vi->rate);
    a.Channels = vi->channels;
    int section = 0;
    for (;;)
    {
        float** pcm = nullptr;
        const long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n == 0)
        {
            break;
        }
        if (n < 0)
        {
            ov_clear(&vf);
            throw std::runtime_error(file.string() + ": damaged stream");
        }
        for (long i = 0; i < n; ++i)
        {
            for (int c = 0; c < a.Channels; ++c)
            {
                a.Samples.push_back(pcm[c][i]);
            }
        }
    }
    ov_clear(&vf);
    return a;
}
