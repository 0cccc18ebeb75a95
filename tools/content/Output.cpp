#include "tools/content/Output.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include <jpeglib.h>
#include <zlib.h>

namespace
{
uint8_t ToByte(float v)
{
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

void WriteBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
    {
        throw std::runtime_error(file.string() + ": cannot be written");
    }
}
// The same picture run-length coded (TGA type 10): packets of up to 128 equal pixels, or of up
// to 128 pixels as they are, never across a row.
std::vector<uint8_t> RunLengthTga(const std::vector<uint8_t>& plain, int w, int h)
{
    std::vector<uint8_t> out(plain.begin(), plain.begin() + 18);
    out[2] = 10;
    auto pixel = [&](int x, int y) { return plain.data() + 18 + (static_cast<size_t>(y) * w + x) * 4; };
    auto same = [&](int x, int y) { return x + 1 < w && std::equal(pixel(x, y), pixel(x, y) + 4, pixel(x + 1, y)); };
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w;)
        {
            int n = 1;
            if (same(x, y))
            {
                while (n < 128 && same(x + n - 1, y))
                {
                    ++n;
                }
                out.push_back(static_cast<uint8_t>(0x80 | (n - 1)));
                out.insert(out.end(), pixel(x, y), pixel(x, y) + 4);
            }
            else
            {
                while (n < 128 && x + n < w && !same(x + n, y))
                {
                    ++n;
                }
                out.push_back(static_cast<uint8_t>(n - 1));
                out.insert(out.end(), pixel(x, y), pixel(x, y) + 4 * n);
            }
            x += n;
        }
    }
    return out;
}
} // namespace

std::filesystem::path TOutput::Prepare(const std::string& relative) const
{
    const std::filesystem::path file = Root / relative;
    std::filesystem::create_directories(file.parent_path());
    return file;
}

void TOutput::WriteText(const std::string& relative, const std::string& text) const
{
    WriteBytes(Prepare(relative), std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> ToRgba8(const TImage& image)
{
    const int w = image.Width();
    const int h = image.Height();
    std::vector<float> colour(static_cast<size_t>(w) * h * 3);
    std::vector<uint8_t> known(static_cast<size_t>(w) * h);
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const size_t i = static_cast<size_t>(y) * w + x;
            const float* p = image.Pixel(x, y);
            out[i * 4 + 3] = ToByte(p[3]);
            if (out[i * 4 + 3] > 0)
            {
                for (int c = 0; c < 3; ++c)
                {
                    colour[i * 3 + c] = p[c] / p[3];
                }
                known[i] = 1;
            }
        }
    }
    // Grow the visible colours into the transparent pixels, a ring at a time.
    for (int pass = 0; pass < 16; ++pass)
    {
        std::vector<uint8_t> next = known;
        bool grew = false;
        for (int y = 0; y < h; ++y)
        {
            for (int x = 0; x < w; ++x)
            {
                const size_t i = static_cast<size_t>(y) * w + x;
                if (known[i])
                {
                    continue;
                }
                float acc[3] = {0, 0, 0};
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                {
                    for (int dx = -1; dx <= 1; ++dx)
                    {
                        const int nx = x + dx;
                        const int ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h)
                        {
                            continue;
                        }
                        const size_t j = static_cast<size_t>(ny) * w + nx;
                        if (known[j])
                        {
                            for (int c = 0; c < 3; ++c)
                            {
                                acc[c] += colour[j * 3 + c];
                            }
                            ++n;
                        }
                    }
                }
                if (n > 0)
                {
                    for (int c = 0; c < 3; ++c)
                    {
                        colour[i * 3 + c] = acc[c] / static_cast<float>(n);
                    }
                    next[i] = 1;
                    grew = true;
                }
            }
        }
        known.swap(next);
        if (!grew)
        {
            break;
        }
    }
    for (size_t i = 0; i < known.size(); ++i)
    {
        for (int c = 0; c < 3; ++c)
        {
            out[i * 4 + c] = ToByte(colour[i * 3 + c]);
        }
    }
    return out;
}

void TOutput::WriteTga(const std::string& relative, const TImage& image) const
{
    const int w = image.Width();
    const int h = image.Height();
    const std::vector<uint8_t> rgba = ToRgba8(image);
    std::vector<uint8_t> bytes(18 + static_cast<size_t>(w) * h * 4);
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = static_cast<uint8_t>(w & 255);
    bytes[13] = static_cast<uint8_t>(w >> 8);
    bytes[14] = static_cast<uint8_t>(h & 255);
    bytes[15] = static_cast<uint8_t>(h >> 8);
    bytes[16] = 32;
    bytes[17] = 8; // eight alpha bits, origin at the lower left
    size_t o = 18;
    for (int y = h - 1; y >= 0; --y)
    {
        for (int x = 0; x < w; ++x)
        {
            const size_t i = (static_cast<size_t>(y) * w + x) * 4;
            bytes[o++] = rgba[i + 2];
            bytes[o++] = rgba[i + 1];
            bytes[o++] = rgba[i];
            bytes[o++] = rgba[i + 3];
        }
    }
    WriteBytes(Prepare(relative), RunLength ? RunLengthTga(bytes, w, h) : bytes);
    if (!Previews.empty())
    {
        TImage shown(w, h);
        for (int y = 0; y < h; ++y)
        {
            for (int x = 0; x < w; ++x)
            {
                const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
                shown.Set(x, y, dark ? Rgb(0x505058) : Rgb(0x707078));
                shown.Blend(x, y, image.Get(x, y));
            }
        }
        std::string name = relative;
        std::replace(name.begin(), name.end(), '/', '_');
        TOutput(Previews).WritePreview(name + ".png", shown);
    }
}

namespace
{
uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < n; ++i)
    {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
        {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& v, uint32_t x)
{
    for (int s = 24; s >= 0; s -= 8)
    {
        v.push_back(static_cast<uint8_t>(x >> s));
    }
}

void PutChunk(std::vector<uint8_t>& png, const char* type, const std::vector<uint8_t>& data)
{
    PutBigEndian(png, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    PutBigEndian(png, Crc32(body.data(), body.size()));
}
} // namespace

void TOutput::WritePreview(const std::string& relative, const TImage& image) const
{
    // An uncompressed PNG (stored deflate blocks): only for looking at, never shipped.
    const int w = image.Width();
    const int h = image.Height();
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; ++y)
    {
        raw.push_back(0);
        for (int x = 0; x < w; ++x)
        {
            const float* p = image.Pixel(x, y);
            for (int c = 0; c < 3; ++c)
            {
                raw.push_back(ToByte(p[c]));
            }
        }
    }
    std::vector<uint8_t> z{0x78, 0x01};
    for (size_t pos = 0; pos < raw.size() || pos == 0;)
    {
        const size_t n = std::min<size_t>(65535, raw.size() - pos);
        z.push_back(pos + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n & 255));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n & 255));
        z.push_back(static_cast<uint8_t>((~n >> 8) & 255));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
        if (n == 0)
        {
            break;
        }
    }
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t v : raw)
    {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(z, (b << 16) | a);
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(w));
    PutBigEndian(header, static_cast<uint32_t>(h));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    WriteBytes(Prepare(relative), png);
}

void TOutput::WriteJpeg(const std::string& relative, const TImage& image, int quality) const
{
    const int w = image.Width();
    const int h = image.Height();
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const float* p = image.Pixel(x, y); // premultiplied: over black
            const size_t i = (static_cast<size_t>(y) * w + x) * 3;
            rgb[i] = ToByte(p[0]);
            rgb[i + 1] = ToByte(p[1]);
            rgb[i + 2] = ToByte(p[2]);
        }
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // Full colour resolution: thin lines and small type stay clean.
    cinfo.comp_info[0].h_samp_factor = 1;
    cinfo.comp_info[0].v_samp_factor = 1;
    cinfo.optimize_coding = TRUE;
    cinfo.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        JSAMPROW row = &rgb[static_cast<size_t>(cinfo.next_scanline) * w * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    WriteBytes(Prepare(relative), std::vector<uint8_t>(buffer, buffer + size));
    std::free(buffer);
    if (!Previews.empty())
    {
        std::string name = relative;
        std::replace(name.begin(), name.end(), '/', '_');
        TOutput(Previews).WritePreview(name + ".png", image);
    }
}

void TOutput::WritePng(const std::string& relative, const TImage& image) const
{
    const int w = image.Width();
    const int h = image.Height();
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(w * 4 + 1) * h);
    for (int y = 0; y < h; ++y)
    {
        raw.push_back(0); // no filter
        for (int x = 0; x < w; ++x)
        {
            const float* p = image.Pixel(x, y);
            const uint8_t alpha = ToByte(p[3]);
            for (int c = 0; c < 3; ++c)
            {
                raw.push_back(alpha == 0 ? 0 : ToByte(p[c] / p[3]));
            }
            raw.push_back(alpha);
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> z(size);
    if (compress2(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    {
        throw std::runtime_error(relative + ": cannot be compressed");
    }
    z.resize(size);
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(w));
    PutBigEndian(header, static_cast<uint32_t>(h));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    WriteBytes(Prepare(relative), png);
}
