#include "render/Font.h"

#include "base/DataError.h"
#include "render/Texture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

const std::array<TFontColour, 8> FontColours = {{
    {0, 0, 0},
    {115, 0, 153},
    {255, 255, 255},
    {255, 255, 255},
    {255, 255, 255},
    {0, 255, 255},
    {255, 0, 0},
    {0, 0, 0},
}};

int GlyphCode(char c)
{
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (u >= '0' && u <= '9')
    {
        return u - '0' + 1;
    }
    if (u >= 'A' && u <= 'Z')
    {
        return u - 'A' + 11;
    }
    static constexpr std::string_view Signs = ":,!<>'-.+/|=?@$";
    const size_t i = Signs.find(u);
    if (i != std::string_view::npos)
    {
        return 37 + static_cast<int>(i);
    }
    return u == ' ' ? GlyphBlank : GlyphNone;
}

namespace
{
// Reads whitespace-separated integers with the line structure of a text file: a number
// read at the end of a line carries on onto the next, and "end of line" means the very
// next character is a line break (or the file has ended).
class TMetricsReader
{
public:
    explicit TMetricsReader(const std::filesystem::path& file) : Path(file)
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
        {
            throw TDataError(file, 0, "cannot open the font metrics");
        }
        // A hundred glyphs take a few hundred bytes: a larger file is refused unread.
        constexpr size_t MaxSize = 64 * 1024;
        Text.resize(MaxSize + 1);
        in.read(Text.data(), static_cast<std::streamsize>(Text.size()));
        Text.resize(static_cast<size_t>(in.gcount()));
        if (Text.size() > MaxSize)
        {
            throw TDataError(file, 0, "is larger than the 64 KB a font's metrics can take");
        }
    }

    int ReadInt()
    {
        while (At < Text.size() && std::isspace(static_cast<unsigned char>(Text[At])))
        {
            Next();
        }
        const size_t start = At;
        if (At < Text.size() && (Text[At] == '-' || Text[At] == '+'))
        {
            ++At;
        }
        long value = 0;
        bool digits = false;
        while (At < Text.size() && std::isdigit(static_cast<unsigned char>(Text[At])))
        {
            value = value * 10 + (Text[At] - '0');
            if (value > 1000000)
            {
                Fail("number too large");
            }
            digits = true;
            ++At;
        }
        if (!digits || (At < Text.size() && !std::isspace(static_cast<unsigned char>(Text[At]))))
        {
            Fail(At >= Text.size() && start == At ? "a number is missing at the end of the file"
                                                  : "expected a whole number");
        }
        return Text[start] == '-' ? static_cast<int>(-value) : static_cast<int>(value);
    }

    void SkipLine()
    {
        while (At < Text.size() && Text[At] != '\n')
        {
            ++At;
        }
        if (At < Text.size())
        {
            Next();
        }
    }

    bool EndOfLine() const { return At >= Text.size() || Text[At] == '\n' || Text[At] == '\r'; }
    [[noreturn]] void Fail(const std::string& problem) const
    {
        throw TDataError(Path, Line, problem);
    }
    int CurrentLine() const { return Line; }

private:
    void Next()
    {
        if (Text[At] == '\n')
        {
            ++Line;
        }
        ++At;
    }

    std::filesystem::path Path;
    std::string Text;
    size_t At = 0;
    int Line = 1;
};

void DrawGlyphRun(TDevice& device, const std::vector<TVertex>& run, const TMatrix& lastWorld)
{
    if (run.empty())
    {
        return;
    }
    device.DrawStream(run);
    device.SetTransform(tkWorld, lastWorld);
}
} // namespace

void ReadFontMetrics(const std::filesystem::path& file, TFont& font)
{
    TMetricsReader r(file);
    r.SkipLine();
    const int width = r.ReadInt();
    r.SkipLine();
    r.SkipLine();
    const int rows = r.ReadInt();
    r.SkipLine();
    if (width <= 0)
    {
        r.Fail("the texture width must be positive");
    }
    if (rows <= 0)
    {
        r.Fail("the number of glyph rows must be positive");
    }
    float v = 0;
    const float rowHeight = 1.0f / static_cast<float>(rows);
    int n = 1;
    for (int row = 0; row < rows; ++row)
    {
        int left = r.ReadInt();
        while (!r.EndOfLine())
        {
            const int right = r.ReadInt();
            if (n > MaxGlyphs)
            {
                r.Fail("more than 100 glyphs");
            }
            // A glyph is a strip of the texture, left to right, inside it.
            if (right < left)
            {
                r.Fail("glyph " + std::to_string(n) + " has a negative width (" + std::to_string(left) + " to " +
                       std::to_string(right) + ")");
            }
            if (left < 0 || right > width)
            {
                r.Fail("glyph " + std::to_string(n) + " (" + std::to_string(left) + " to " + std::to_string(right) +
                       ") lies outside the texture's " + std::to_string(width) + " pixels");
            }
            font.Glyphs[n] = {static_cast<float>(left) / width, v + rowHeight,
                              static_cast<float>(right) / width, v};
            font.GlyphWidths[n] = right - left;
            ++n;
            left = right;
        }
        v += rowHeight;
    }
    font.GlyphCount = n - 1;
    if (font.GlyphCount < MinGlyphs)
    {
        throw TDataError(file, r.CurrentLine(),
                         "only " + std::to_string(font.GlyphCount) +
                             " glyphs; the font needs at least 51");
    }
}

void LoadFontMetrics(TFonts& fonts, const std::filesystem::path& programFolder)
{
    ReadFontMetrics(programFolder / "data" / "font.dat", fonts.Font[1]);
    ReadFontMetrics(programFolder / "data" / "font1.dat", fonts.Font[2]);
}

void LoadFontTextures(TDevice& device, TFonts& fonts, const std::filesystem::path& programFolder, bool large)
{
    // The set loaded before goes first: only one set is ever held.
    ReleaseFonts(fonts);
    const std::filesystem::path folder = large ? programFolder / "data" / "large" : programFolder / "data";
    // The normal set is drawn below its size in small windows and keeps its strokes through
    // its mipmap chain; the large set is drawn at 0.33 to 0.75 of its size, where its strokes
    // (three texels wide) survive plain bilinear reading, which is also the sharper.
    if (large)
    {
        LoadTexture(device, folder / "font.tga", fonts.Font[1].Texture);
        LoadTexture(device, folder / "font1.tga", fonts.Font[2].Texture);
    }
    else
    {
        LoadMipmappedTexture(device, folder / "font.tga", fonts.Font[1].Texture);
        LoadMipmappedTexture(device, folder / "font1.tga", fonts.Font[2].Texture);
    }
    fonts.Large = large;
}

std::vector<std::filesystem::path> FontFiles(const std::filesystem::path& programFolder)
{
    const std::filesystem::path data = programFolder / "data";
    return {data / "font.dat",  data / "font1.dat", data / "font.tga", data / "font1.tga", data / "large" / "font.tga",
            data / "large" / "font1.tga"};
}

void ReleaseFonts(TFonts& fonts)
{
    fonts.Font[1].Texture.reset();
    fonts.Font[2].Texture.reset();
}

std::array<TVertex, 6> WriteGlyphQuad(const TFonts& fonts, int g, int f, uint32_t colour)
{
    const TGlyph& gl = fonts.Font[f].Glyphs[g];
    auto vertex = [&](float x, float y, float u, float v)
    {
        TVertex t;
        t.x = x;
        t.y = y;
        t.nz = 1;
        t.Diffuse = colour;
        t.u = u;
        t.v = v;
        return t;
    };
    return {vertex(0, -0.5f, gl.uLeft, gl.vBottom),   vertex(-1, -0.5f, gl.uRight, gl.vBottom),
            vertex(0, 0.5f, gl.uLeft, gl.vTop),       vertex(0, 0.5f, gl.uLeft, gl.vTop),
            vertex(-1, -0.5f, gl.uRight, gl.vBottom), vertex(-1, 0.5f, gl.uRight, gl.vTop)};
}

float TextWidth(const TFonts& fonts, int f, int s, std::string_view text)
{
    if (f < 1 || f > 2)
    {
        return 0;
    }
    int pixels = 0;
    for (const char ch : text)
    {
        const int g = GlyphCode(ch);
        pixels += g == GlyphBlank ? SpaceWidth
                  : g > 0 && g <= fonts.Font[f].GlyphCount ? fonts.Font[f].GlyphWidths[g]
                                                           : 0;
    }
    return static_cast<float>(pixels) * static_cast<float>(s) * 0.001f;
}

float DrawText(TDevice& device, const TFonts& fonts, int f, int c, int s, float x, float y,
               std::string_view text, float z, int alpha)
{
    const float k = static_cast<float>(s) * 0.001f;
    device.SetTextureStageState(0, tsAlphaOp, toModulate);
    device.SetTextureStageState(0, tsAlphaArg1, taTexture);
    device.SetTextureStageState(0, tsAlphaArg2, taDiffuse);
    device.SetRenderState(rsAlphaBlendEnable, StateTrue);
    device.SetRenderState(rsSrcBlend, blSrcAlpha);
    device.SetRenderState(rsDestBlend, blInvSrcAlpha);
    device.SetRenderState(rsLighting, StateFalse);
    const bool drawable = f >= 1 && f <= 2 && c >= 1 && c <= 7;
    device.SetTexture(0, drawable ? fonts.Font[f].Texture : nullptr);
    SampleMinifiedThroughMipmaps(device, true); // small windows draw the glyphs below their size

    float pen = x;
    thread_local std::vector<TVertex> run;
    run.clear();
    TMatrix last = IdentityMatrix();
    const uint8_t a = static_cast<uint8_t>(std::clamp(alpha, 0, 255));
    for (const char ch : text)
    {
        const int g = GlyphCode(ch);
        if (g == GlyphBlank)
        {
            pen -= SpaceWidth * k;
        }
        else if (g > 0 && drawable && g <= fonts.Font[f].GlyphCount)
        {
            const TFontColour& fc = FontColours[c];
            const auto quad = WriteGlyphQuad(fonts, g, f, ColorARGB(a, fc.r, fc.g, fc.b));
            const float w = static_cast<float>(fonts.Font[f].GlyphWidths[g]) * k;
            const float h = FontHeight * k;
            for (TVertex t : quad)
            {
                t.x = t.x * w + pen;
                t.y = t.y * h + y;
                t.z = z;
                run.push_back(t);
            }
            last = IdentityMatrix();
            last.m[0][0] = w;
            last.m[1][1] = h;
            last.m[3][0] = pen;
            last.m[3][1] = y;
            last.m[3][2] = z;
            pen -= w;
        }
    }
    DrawGlyphRun(device, run, last);
    device.SetTexture(0, nullptr);
    SampleMinifiedThroughMipmaps(device, false);
    device.SetRenderState(rsAlphaBlendEnable, StateFalse);
    device.SetRenderState(rsLighting, StateTrue);
    return pen;
}

void DrawLabels(TDevice& device, const TFonts& fonts, const TScoreLabels& labels)
{
    for (int i = 1; i <= labels.LabelCount && i <= MaxLabels; ++i)
    {
        const TScoreLabel& l = labels.Labels[i];
        DrawText(device, fonts, l.Font, l.Colour, l.Size, l.Position.x, l.Position.y, l.GetText(),
                 l.Position.z, static_cast<int>(std::nearbyint(l.Alpha)));
    }
}

void MeasureLabels(const TFonts& fonts, TScoreLabels& labels)
{
    for (int f = 1; f <= 2; ++f)
    {
        for (size_t c = 0; c < labels.Advance[f].size(); ++c)
        {
            const int g = GlyphCode(static_cast<char>(c));
            const int width = g == GlyphBlank ? SpaceWidth
                              : g > 0 && g <= fonts.Font[f].GlyphCount
                                  ? fonts.Font[f].GlyphWidths[g]
                                  : 0;
            labels.Advance[f][c] = static_cast<uint16_t>(std::clamp(width, 0, 65535));
        }
    }
}
