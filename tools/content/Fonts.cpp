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

// Where a glyph's cell lies in the font picture, in pixels of the normal set.
struct TCellPlace
{
    int Pad = 0;   // from the cell's left edge to the pen
    int Width = 0; // the whole cell
};

// One glyph cell, one row high: the game advances the pen by the whole cell, so the cell is
// the glyph's advance and two pixels a side, one for the rim and one left empty. The rim
// reaches a little further than that only beside letters with hardly any side bearing,
// where the neighbour's rim takes over; a wider cell would space the letters apart.
TCellPlace PlaceCell(const TFontFace::TGlyph& g)
{
    // Ink reaching left of the pen or right of the advance widens the cell rather than
    // being cut off.
    const int pad = 2 + std::max(0, -g.Left);
    return {pad, std::max(static_cast<int>(std::lround(g.Advance)) + 2 + pad, pad + g.Left + g.Mask.Width() + 2)};
}

// The cell drawn `scale` times larger than place (the large set: the same cells, pen and
// baseline, each pixel of the normal set as scale x scale pixels) from the glyph g rendered
// at that scale.
TImage MakeCell(const TFontFace::TGlyph& g, const TCellPlace& place, const TFontStyle& style, int baseline,
                int scale)
{
    const int width = place.Width * scale;
    const int height = FontRowHeight * scale;
    TMask ink(width, height);
    for (int y = 0; y < g.Mask.Height(); ++y)
    {
        for (int x = 0; x < g.Mask.Width(); ++x)
        {
            const int tx = place.Pad * scale + g.Left + x;
            const int ty = baseline * scale - g.Top + y;
            if (tx >= 0 && ty >= 0 && tx < width && ty < height)
            {
                ink.At(tx, ty) = std::max(ink.At(tx, ty), g.Mask.At(x, y));
            }
        }
    }
    TMask rim = ink.Dilated(style.Outline * static_cast<float>(scale));
    rim.Blur(style.OutlineBlur * static_cast<float>(scale));
    TImage cell(width, height);
    for (int y = 0; y < height; ++y)
    {
        // The outermost pixels stay empty so that filtering never reaches a neighbour.
        if (y < scale || y >= height - scale)
        {
            continue;
        }
        const float t = static_cast<float>(y) / static_cast<float>(height);
        const float white = 1.0f - style.Shade * std::clamp((t - 0.3f) / 0.5f, 0.0f, 1.0f);
        for (int x = scale; x + scale < width; ++x)
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
    const TFontFace large(sources.Font(style.File), style.Em * LargeFontScale);
    // Capitals and digits sit in the middle of the row, where the game puts the text's y.
    const int baseline =
        static_cast<int>(std::lround(FontRowHeight / 2.0f + face.CapHeight() / 2.0f));
    std::vector<TImage> cells;
    std::vector<TImage> largeCells;
    for (const char32_t c : FontCharacters)
    {
        const TFontFace::TGlyph g = face.Render(c);
        const TCellPlace place = PlaceCell(g);
        cells.push_back(MakeCell(g, place, style, baseline, 1));
        largeCells.push_back(MakeCell(large.Render(c), place, style, baseline, LargeFontScale));
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
    TImage largeAtlas(FontTextureWidth * LargeFontScale, FontRowHeight * LargeFontScale * static_cast<int>(rows.size()));
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
            largeAtlas.DrawImage(largeCells[glyph], static_cast<float>(rows[r][k] * LargeFontScale),
                                 static_cast<float>(r * FontRowHeight * LargeFontScale));
        }
        // A row ends with its last number: nothing may follow it before the line break.
        for (size_t k = 0; k < rows[r].size(); ++k)
        {
            metrics += std::to_string(rows[r][k]);
            metrics += (k + 1 < rows[r].size()) ? " " : "\n";
        }
    }
    out.WriteText(metricsName, metrics);
    out.WriteTga("data/" + pictureName, atlas);
    // The same cells LargeFontScale times the size, for screens whose picture is taller than 960 pixels;
    // the one metrics file serves both, as it counts in the normal set's pixels.
    out.WriteTga("data/large/" + pictureName, largeAtlas);
}
} // namespace

void MakeFonts(const TOutput& out, const TSources& sources)
{
    const TFontStyle labels{SansCondensedBold, 33.0f, 2.4f, 0.8f, 0.85f, 0.10f, "font 1"};
    const TFontStyle numbers{SansBold, 32.0f, 2.8f, 0.9f, 0.95f, 0.16f, "font 2"};
    MakeFont(out, sources, labels, "data/font.dat", "font.tga");
    MakeFont(out, sources, numbers, "data/font1.dat", "font1.tga");
}
