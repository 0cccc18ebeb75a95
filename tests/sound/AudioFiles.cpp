#include "tests/sound/AudioFiles.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace
{
constexpr int Rate = 44100;

void Put16(std::ofstream& out, uint16_t v)
{
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

void Put32(std::ofstream& out, uint32_t v)
{
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

void WritePages(std::ofstream& out, ogg_stream_state& os, bool flush)
{
    ogg_page page;
    while (flush ? ogg_stream_flush(&os, &page) != 0 : ogg_stream_pageout(&os, &page) != 0)
    {
        out.write(reinterpret_cast<const char*>(page.header), page.header_len);
        out.write(reinterpret_cast<const char*>(page.body), page.body_len);
    }
}
} // namespace

void WriteWavTone(const std::filesystem::path& file, double frequency, double seconds, int amplitude)
{
    std::filesystem::create_directories(file.parent_path());
    const auto frames = static_cast<uint32_t>(seconds * Rate);
    std::ofstream out(file, std::ios::binary);
    out.write("RIFF", 4);
    Put32(out, 36 + frames * 2);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, Rate);
    Put32(out, Rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, frames * 2);
    for (uint32_t i = 0; i < frames; ++i)
    {
        const double s = std::sin(2.0 * M_PI * frequency * i / Rate);
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * amplitude))));
    }
}

void WriteOggTone(const std::filesystem::path& file, double frequency, double seconds, double amplitude)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, Rate, 0.1f) != 0)
    {
        throw std::runtime_error("vorbis encoder refused the settings");
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_dsp_state vd;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block vb;
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 1);

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    WritePages(out, os, true);

    const int frames = static_cast<int>(seconds * Rate);
    float** buffer = vorbis_analysis_buffer(&vd, frames);
    for (int i = 0; i < frames; ++i)
    {
        buffer[0][i] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * i / Rate));
    }
    vorbis_analysis_wrote(&vd, frames);
    vorbis_analysis_wrote(&vd, 0); // end of stream

    while (vorbis_analysis_blockout(&vd, &vb) == 1)
    {
        vorbis_analysis(&vb, nullptr);
        vorbis_bitrate_addblock(&vb);
        ogg_packet packet;
        while (vorbis_bitrate_flushpacket(&vd, &packet) != 0)
        {
            ogg_stream_packetin(&os, &packet);
            WritePages(out, os, false);
        }
    }
    WritePages(out, os, true);

    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
}
