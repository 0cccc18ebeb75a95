#include "tools/content/Fonts.h"

#include "tools/content/Text.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
struct TFontStyle
{
    const char* File;
    float Em;           // pixels per em
    float Outline;      // radius of the dark rim in pixels
    float OutlineBlur;  // softness of the rim
    float OutlineAlpha; // opacity of the rim
    float Shade;        // how much darker the glyph's foot is than its head
    const char* Name;   // for the first line of the metrics file
};

// One glyph cell, one row high: the game advances the pen by the whole cell, so the cell is
// the glyph's advance and two pixels a side, one for the rim and one left empty. The rim
// reaches a little further than that only beside letters with hardly any side bearing,
// where the neighbour's rim takes over; a wider cell would space the letters apart.
TImage MakeCell(const TFontFace& face, char32_t c, const TFontStyle& style, int baseline)
{
    const TFontFace::TGlyph g = face.Render(c);
    // Ink reaching left of the pen or right of the advance widens the cell rather than
    // being cut off.
    const int pad = 2 + std::max(0, -g.Left);
    const int width = std::max(static_cast<int>(std::lround(g.Advance)) + 2 + pad,
                               pad + g.Left + g.Mask.Width() + 2);
    TMask ink(width, FontRowHeight);
    for (int y = 0; y < g.Mask.Height(); ++y)
    {
        for (int x = 0; x < g.Mask.Width(); ++x)
        {
            const int tx = pad + g.Left + x;
            const int ty = baseline - g.Top + y;
            if (tx >= 0 && ty >= 0 && tx < width && ty < FontRowHeight)
            {
                ink.At(tx, ty) = std::max(ink.At(tx, ty), g.Mask.At(x, y));
            }
        }
    }
    TMask rim = ink.Dilated(style.Outline);
    rim.Blur(style.OutlineBlur);
    TImage cell(width, FontRowHeight);
    for (int y = 0; y < FontRowHeight; ++y)
    {
        // The outermost pixels stay empty so that filtering never reaches a neighbour.
        if (y == 0 || y == FontRowHeight - 1)
        {
            continue;
        }
        const float t = static_cast<float>(y) / FontRowHeight;
        const float white = 1.0f - style.Shade * std::clamp((t - 0.3f) / 0.5f, 0.0f, 1.0f);
        for (int x = 1; x + 1 < width; ++x)
        {
            cell.Blend(x, y, {0.02f, 0.02f, 0.05f, style.OutlineAlpha}, rim.At(x, y));
            cell.Blend(x, y, {white, white, white, 1.0f}, ink.At(x, y));
        }
    }
    return cell;
}

void MakeFont(const TOutput& out, const TSources& sources, const TFontStyle& style,
              const std::string& metricsName, const std::string& pictureName)
{
    const TFontFace face(sources.Font(style.File), style.Em);
    // Capitals and digits sit in the middle of the row, where the game puts the text's y.
    const int baseline =
        static_cast<int>(std::lround(FontRowHeight / 2.0f + face.CapHeight() / 2.0f));
    std::vector<TImage> cells;
    for (char c : FontGlyphs)
    {
        cells.push_back(MakeCell(face, static_cast<char32_t>(c), style, baseline));
    }
    // Fill rows left to right.
    std::vector<std::vector<int>> rows(1, std::vector<int>{0});
    for (const TImage& cell : cells)
    {
        if (rows.back().back() + cell.Width() > FontTextureWidth)
        {
            rows.push_back(std::vector<int>{0});
        }
        rows.back().push_back(rows.back().back() + cell.Width());
    }
    TImage atlas(FontTextureWidth, FontRowHeight * static_cast<int>(rows.size()));
    size_t glyph = 0;
    std::string metrics = std::string("Tandrel ") + style.Name + ": glyph boundaries per row\n" +
                          std::to_string(FontTextureWidth) + "\nrows\n" +
                          std::to_string(rows.size()) + "\n";
    for (size_t r = 0; r < rows.size(); ++r)
    {
        for (size_t k = 0; k + 1 < rows[r].size(); ++k, ++glyph)
        {
            atlas.DrawImage(cells[glyph], static_cast<float>(rows[r][k]),
                            static_cast<float>(r * FontRowHeight));
        }
        // A row ends with its last number: nothing may follow it before the line break.
        for (size_t k = 0; k < rows[r].size(); ++k)
        {
            metrics += std::to_string(rows[r][k]);
            metrics += (k + 1 < rows[r].size()) ? " " : "\n";
        }
    }
    out.WriteText(metricsName, metrics);
    out.WriteTga(pictureName, atlas);
}
} // namespace

void MakeFonts(const TOutput& out, const TSources& sources)
{
    const TFontStyle labels{SansCondensedBold, 33.0f, 2.4f, 0.8f, 0.85f, 0.10f, "font 1"};
    const TFontStyle numbers{SansBold, 32.0f, 2.8f, 0.9f, 0.95f, 0.16f, "font 2"};
    MakeFont(out, sources, labels, "data/font.dat", "data/font.tga");
    MakeFont(out, sources, numbers, "data/font1.dat", "data/font1.tga");
}
