#include "tools/content/Renders.h"

#include "tools/content/Languages.h"
#include "tools/content/Paint.h"
#include "tools/content/Palette.h"
#include "tools/content/Shapes.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace
{
// The next number of a PPM header, skipping blanks and comments.
int HeaderNumber(std::istream& in, const std::filesystem::path& file)
{
    int c = in.get();
    while (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '#')
    {
        if (c == '#')
        {
            while (c != '\n' && c != EOF)
            {
                c = in.get();
            }
        }
        c = in.get();
    }
    long v = 0;
    int digits = 0;
    while (c >= '0' && c <= '9' && digits < 9)
    {
        v = v * 10 + (c - '0');
        ++digits;
        c = in.get();
    }
    if (digits == 0)
    {
        throw std::runtime_error(file.string() + ": not a binary PPM picture");
    }
    return static_cast<int>(v);
}

// Weights of the source samples that one output sample covers, along one axis.
struct TSpan
{
    int First = 0;
    std::vector<float> Weights;
};

std::vector<TSpan> Spans(int from, int to)
{
    std::vector<TSpan> spans(static_cast<size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i)
    {
        // Enlarging: a one-pixel footprint, so the filter turns into a linear blend.
        const double w = std::max(scale, 1.0);
        const double centre = (i + 0.5) * scale;
        const double a = centre - w / 2;
        const double b = centre + w / 2;
        TSpan& s = spans[static_cast<size_t>(i)];
        s.First = std::max(0, static_cast<int>(std::floor(a)));
        const int last = std::min(from - 1, static_cast<int>(std::ceil(b)) - 1);
        double total = 0;
        for (int k = s.First; k <= last; ++k)
        {
            const double cover = std::min<double>(b, k + 1) - std::max<double>(a, k);
            s.Weights.push_back(static_cast<float>(std::max(0.0, cover)));
            total += std::max(0.0, cover);
        }
        for (float& v : s.Weights)
        {
            v = static_cast<float>(v / total);
        }
    }
    return spans;
}
} // namespace

TImage ReadRender(const TSources& sources, const std::string& name)
{
    // The frames show the game's own words: each language has its own where it was rendered.
    std::filesystem::path file = sources.Renders / (name + ".ppm");
    if (sources.Language != nullptr)
    {
        const std::filesystem::path own =
            sources.Renders / LanguagesFolder / sources.Language->Code / (name + ".ppm");
        std::error_code ec;
        file = std::filesystem::is_regular_file(own, ec) ? own : file;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in)
    {
        throw std::runtime_error(file.string() + ": the render is missing (run tandrel-snapshot --setup)");
    }
    char magic[2] = {};
    in.read(magic, 2);
    if (magic[0] != 'P' || magic[1] != '6')
    {
        throw std::runtime_error(file.string() + ": not a binary PPM picture");
    }
    const int w = HeaderNumber(in, file);
    const int h = HeaderNumber(in, file);
    const int max = HeaderNumber(in, file);
    if (w < 1 || h < 1 || w > 16384 || h > 16384 || max != 255)
    {
        throw std::runtime_error(file.string() + ": unsupported PPM size or depth");
    }
    std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * 3);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size()))
    {
        throw std::runtime_error(file.string() + ": the picture data is cut short");
    }
    TImage img(w, h);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const unsigned char* p = &bytes[(static_cast<size_t>(y) * w + x) * 3];
            img.Set(x, y, {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, 1.0f});
        }
    }
    return img;
}

TImage AreaResized(const TImage& src, int width, int height)
{
    const std::vector<TSpan> across = Spans(src.Width(), width);
    const std::vector<TSpan> down = Spans(src.Height(), height);
    // Across first, into rows of the source height.
    std::vector<float> rows(static_cast<size_t>(width) * src.Height() * 4, 0.0f);
    for (int y = 0; y < src.Height(); ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const TSpan& s = across[static_cast<size_t>(x)];
            float* out = &rows[(static_cast<size_t>(y) * width + x) * 4];
            for (size_t k = 0; k < s.Weights.size(); ++k)
            {
                const float* p = src.Pixel(s.First + static_cast<int>(k), y);
                for (int c = 0; c < 4; ++c)
                {
                    out[c] += p[c] * s.Weights[k];
                }
            }
        }
    }
    TImage img(width, height);
    for (int y = 0; y < height; ++y)
    {
        const TSpan& s = down[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x)
        {
            float* out = img.Pixel(x, y);
            for (int c = 0; c < 4; ++c)
            {
                out[c] = 0;
            }
            for (size_t k = 0; k < s.Weights.size(); ++k)
            {
                const float* p = &rows[(static_cast<size_t>(s.First + static_cast<int>(k)) * width + x) * 4];
                for (int c = 0; c < 4; ++c)
                {
                    out[c] += p[c] * s.Weights[k];
                }
            }
        }
    }
    return img;
}

TPlaced DrawRender(TImage& page, const TImage& render, float cx, float cy, float maxWidth,
                   float maxHeight)
{
    const float scale = std::min(maxWidth / static_cast<float>(render.Width()),
                                 maxHeight / static_cast<float>(render.Height()));
    const int w = std::max(1, static_cast<int>(std::lround(static_cast<float>(render.Width()) * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(static_cast<float>(render.Height()) * scale)));
    const int x0 = static_cast<int>(std::lround(cx - static_cast<float>(w) / 2));
    const int y0 = static_cast<int>(std::lround(cy - static_cast<float>(h) / 2));
    const float radius = std::min(14.0f, static_cast<float>(std::min(w, h)) * 0.12f);
    const float rim = 3.0f;

    TPanelStyle frame = GildedFrame(radius + rim, 1.5f);
    frame.ShadowBlur = 10;
    frame.ShadowOffset = 6;
    frame.ShadowColour = TColour{0, 0, 0, 0.65f};
    DrawPanel(page, static_cast<float>(x0) - rim, static_cast<float>(y0) - rim,
              static_cast<float>(x0 + w) + rim, static_cast<float>(y0 + h) + rim, frame);

    TImage picture = AreaResized(render, w, h);
    const float hw = static_cast<float>(w) / 2;
    const float hh = static_cast<float>(h) / 2;
    picture.MultiplyAlpha(ShapeMask(w, h, [&](TVec2 p) { return SdRoundBox(p, {hw, hh}, hw, hh, radius); }));
    page.DrawImage(picture, static_cast<float>(x0), static_cast<float>(y0));
    return {static_cast<float>(x0), static_cast<float>(y0), static_cast<float>(x0 + w),
            static_cast<float>(y0 + h)};
}
