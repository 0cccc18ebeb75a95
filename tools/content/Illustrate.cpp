#include "tools/content/Illustrate.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

void DrawTexturedQuad(TImage& img, const TImage& texture, TVec2 o, TVec2 u, TVec2 v, float shade,
                      float opacity)
{
    const float det = u.X * v.Y - u.Y * v.X;
    if (std::fabs(det) < 1e-6f)
    {
        return;
    }
    const float xs[4] = {o.X, o.X + u.X, o.X + v.X, o.X + u.X + v.X};
    const float ys[4] = {o.Y, o.Y + u.Y, o.Y + v.Y, o.Y + u.Y + v.Y};
    const int x0 = std::max(0, static_cast<int>(std::floor(*std::min_element(xs, xs + 4))) - 1);
    const int x1 =
        std::min(img.Width(), static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))) + 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(*std::min_element(ys, ys + 4))) - 1);
    const int y1 =
        std::min(img.Height(), static_cast<int>(std::ceil(*std::max_element(ys, ys + 4))) + 1);
    const float lenU = Length(u);
    const float lenV = Length(v);
    const float tw = static_cast<float>(texture.Width());
    const float th = static_cast<float>(texture.Height());
    for (int y = y0; y < y1; ++y)
    {
        for (int x = x0; x < x1; ++x)
        {
            const TVec2 p{static_cast<float>(x) + 0.5f - o.X, static_cast<float>(y) + 0.5f - o.Y};
            const float a = (p.X * v.Y - p.Y * v.X) / det;
            const float b = (u.X * p.Y - u.Y * p.X) / det;
            // Distance outside the parallelogram in pixels, for a soft edge.
            const float out =
                std::max({-a * lenU, (a - 1.0f) * lenU, -b * lenV, (b - 1.0f) * lenV});
            const float cov = Coverage(out);
            if (cov <= 0)
            {
                continue;
            }
            TColour c =
                texture.Sample(std::clamp(a, 0.0f, 1.0f) * tw, std::clamp(b, 0.0f, 1.0f) * th);
            c = Scaled(c, shade);
            img.Blend(x, y, c, cov * opacity);
        }
    }
}

void DrawIsoCube(TImage& img, const TImage& texture, TVec2 c, float size)
{
    const float a = size * 0.866f;
    const float b = size * 0.5f;
    const TVec2 n{c.X, c.Y - b};
    const TVec2 e{c.X + a, c.Y};
    const TVec2 s{c.X, c.Y + b};
    const TVec2 w{c.X - a, c.Y};
    // A soft shadow below.
    DrawSoftShape(
        img, c.X - a * 1.3f, c.Y + size * 0.4f, c.X + a * 1.3f, c.Y + size * 2.4f,
        [&](TVec2 p)
        {
            const TVec2 d{(p.X - c.X) / (a * 1.1f), (p.Y - c.Y - size * 1.45f) / (b * 0.9f)};
            return (Length(d) - 1.0f) * b;
        },
        TColour{0, 0, 0, 0.45f}, size * 0.12f);
    DrawTexturedQuad(img, texture, w, s - w, TVec2{0, size}, 0.72f);
    DrawTexturedQuad(img, texture, s, e - s, TVec2{0, size}, 0.5f);
    DrawTexturedQuad(img, texture, w, n - w, s - w, 1.0f);
}

void DrawTopCube(TImage& img, const TImage& texture, TVec2 c, float size, float scale)
{
    const float half = size * scale / 2.0f;
    DrawSoftShape(
        img, c.X - half * 1.1f, c.Y - half * 1.1f, c.X + half * 1.3f, c.Y + half * 1.3f,
        [&](TVec2 p) {
            return SdRoundBox(p, {c.X + half * 0.12f, c.Y + half * 0.18f}, half, half, half * 0.2f);
        },
        TColour{0, 0, 0, 0.6f}, half * 0.15f);
    DrawTexturedQuad(img, texture, {c.X - half, c.Y - half}, {half * 2, 0}, {0, half * 2});
}

namespace
{
// The words of the text in lines no wider than `width` where they can be; a word wider than
// that stands on a line of its own. Only plain spaces break: a no-break space keeps French
// punctuation with its word.
std::vector<std::string> Wrap(const TSources& sources, std::string_view text, float width,
                              const TTextStyle& style)
{
    std::vector<std::string> words;
    std::string word;
    for (char ch : text)
    {
        if (ch == ' ')
        {
            if (!word.empty())
            {
                words.push_back(word);
            }
            word.clear();
        }
        else
        {
            word += ch;
        }
    }
    if (!word.empty())
    {
        words.push_back(word);
    }
    std::vector<std::string> lines;
    std::string line;
    for (const std::string& w : words)
    {
        const std::string candidate = line.empty() ? w : line + " " + w;
        if (!line.empty() && MeasureText(sources, candidate, style) > width)
        {
            lines.push_back(line);
            line = w;
        }
        else
        {
            line = candidate;
        }
    }
    if (!line.empty())
    {
        lines.push_back(line);
    }
    return lines;
}

float DrawLines(TImage& img, const TSources& sources, const std::vector<std::string>& lines, float x,
                float y, float lineHeight, const TTextStyle& style, TAlign align)
{
    for (const std::string& line : lines)
    {
        DrawTextLine(img, sources, line, x, y, style, align);
        y += lineHeight;
    }
    return y;
}
} // namespace

float DrawParagraph(TImage& img, const TSources& sources, std::string_view text, float x, float y,
                    float width, float lineHeight, const TTextStyle& style, TAlign align)
{
    CheckMarked(sources, text);
    return DrawLines(img, sources, Wrap(sources, text, width, style), x, y, lineHeight, style, align);
}

float DrawParagraphIn(TImage& img, const TSources& sources, std::string_view text, float x, float y,
                      float width, float lineHeight, float bottom, const TTextStyle& style,
                      TAlign align)
{
    CheckMarked(sources, text);
    TTextStyle s = style;
    size_t lineCount = 0;
    float widest = 0;
    // A pixel of em at a time, the lines' spacing and the letters' tracking shrinking with it.
    for (float em = style.Em; em >= style.Em * SmallestEm; em -= 1.0f)
    {
        const float k = em / style.Em;
        s.Em = em;
        s.Tracking = style.Tracking * k;
        const std::vector<std::string> lines = Wrap(sources, text, width, s);
        widest = 0;
        for (const std::string& line : lines)
        {
            widest = std::max(widest, MeasureText(sources, line, s));
        }
        const float last = y + lineHeight * k * static_cast<float>(lines.size() - 1);
        lineCount = lines.size();
        if (widest <= width && last + lineHeight * k / 2 <= bottom)
        {
            return DrawLines(img, sources, lines, x, y, lineHeight * k, s, align);
        }
    }
    throw TClipped("\"" + std::string(text) + "\" takes " + std::to_string(lineCount) +
                   " lines up to " + std::to_string(std::lround(widest)) +
                   " px wide at its smallest size, its box " + std::to_string(std::lround(width)) +
                   " x " + std::to_string(std::lround(bottom - y + lineHeight / 2)) + " px");
}

void DrawMiniBoard(TImage& img, float x0, float y0, int columns, int rows, float cell)
{
    const float x1 = x0 + cell * static_cast<float>(columns);
    const float y1 = y0 + cell * static_cast<float>(rows);
    TPanelStyle frame = GildedFrame(cell * 0.12f, 1.5f);
    frame.ShadowBlur = cell * 0.1f;
    frame.ShadowOffset = cell * 0.06f;
    DrawPanel(img, x0 - cell * 0.1f, y0 - cell * 0.1f, x1 + cell * 0.1f, y1 + cell * 0.1f, frame);
    for (int r = 0; r < rows; ++r)
    {
        for (int c = 0; c < columns; ++c)
        {
            const float cx0 = x0 + cell * static_cast<float>(c);
            const float cy0 = y0 + cell * static_cast<float>(r);
            const float tone = ((r + c) % 2 == 0) ? 1.0f : 0.9f;
            FillShape(
                img, cx0, cy0, cx0 + cell, cy0 + cell,
                [&](TVec2 p) {
                    return SdRoundBox(p, {cx0 + cell / 2, cy0 + cell / 2}, cell / 2, cell / 2,
                                      2.0f);
                },
                [&](TVec2 p)
                {
                    const float t = ((p.X - cx0) + (p.Y - cy0)) / (2 * cell);
                    return Scaled(Mix(Rgb(0x2C3A74), Rgb(0x1A244C), t), tone);
                });
        }
    }
    const float half = std::max(0.8f, cell * 0.012f);
    FillShape(
        img, x0 - 4, y0 - 4, x1 + 4, y1 + 4,
        [&](TVec2 p)
        {
            float d = 1e9f;
            for (int c = 0; c <= columns; ++c)
            {
                d = std::min(d, std::fabs(p.X - (x0 + cell * static_cast<float>(c))) - half);
            }
            for (int r = 0; r <= rows; ++r)
            {
                d = std::min(d, std::fabs(p.Y - (y0 + cell * static_cast<float>(r))) - half);
            }
            return std::max(d, SdRoundBox(p, {(x0 + x1) / 2, (y0 + y1) / 2}, (x1 - x0) / 2 + half,
                                          (y1 - y0) / 2 + half, 0));
        },
        [&](TVec2) { return Rgb(0xA9C8FF, 0.85f); });
}
