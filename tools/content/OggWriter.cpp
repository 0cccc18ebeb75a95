// Ogg Vorbis output through libvorbisenc.
#include "tools/content/Audio.h"
#include "tools/content/Noise.h"
#include "tools/content/Output.h"

#include <fstream>
#include <stdexcept>

#include <vorbis/vorbisenc.h>

void TOutput::WriteOgg(const std::string& relative, const TWave& sound, float quality) const
{
    const std::filesystem::path file = Prepare(relative);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out)
    {
        throw std::runtime_error(file.string() + ": cannot be written");
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, sound.Channels, SampleRate, quality) != 0)
    {
        vorbis_info_clear(&vi);
        throw std::runtime_error(file.string() + ": the encoder refuses the settings");
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", file.stem().string().c_str());
    vorbis_comment_add_tag(&vc, "ARTIST", "Tandrel");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    // A serial number fixed by the name keeps the bytes the same from run to run.
    uint32_t serial = 0;
    for (char c : relative)
    {
        serial = Hash(serial, static_cast<uint32_t>(static_cast<unsigned char>(c)));
    }
    ogg_stream_init(&os, static_cast<int>(serial & 0x7FFFFFFF));
    ogg_page og;
    ogg_packet op;
    auto writePage = [&](const ogg_page& page)
    {
        out.write(reinterpret_cast<const char*>(page.header), page.header_len);
        out.write(reinterpret_cast<const char*>(page.body), page.body_len);
    };
    {
        ogg_packet header;
        ogg_packet comments;
        ogg_packet codebooks;
        vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
        ogg_stream_packetin(&os, &header);
        ogg_stream_packetin(&os, &comments);
        ogg_stream_packetin(&os, &codebooks);
        while (ogg_stream_flush(&os, &og) != 0)
        {
            writePage(og);
        }
    }
    const size_t frames = sound.Frames();
    size_t pos = 0;
    bool done = false;
    while (!done)
    {
        const size_t chunk = std::min<size_t>(4096, frames - pos);
        if (chunk == 0)
        {
            vorbis_analysis_wrote(&vd, 0);
        }
        else
        {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(chunk));
            for (size_t i = 0; i < chunk; ++i)
            {
                for (int c = 0; c < sound.Channels; ++c)
                {
                    buffer[c][i] = sound.At(pos + i, c);
                }
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(chunk));
            pos += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1)
        {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op) != 0)
            {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og) != 0)
                {
                    writePage(og);
                    if (ogg_page_eos(&og) != 0)
                    {
                        done = true;
                    }
                }
            }
        }
        if (chunk == 0)
        {
            while (ogg_stream_flush(&os, &og) != 0)
            {
                writePage(og);
            }
            done = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    if (!out)
    {
        throw std::runtime_error(file.string() + ": cannot be written");
    }
}
