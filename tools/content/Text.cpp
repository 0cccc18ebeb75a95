#include "tools/content/Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>

struct TFontFace::TImpl
{
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
};

TFontFace::TFontFace(const std::filesystem::path& file, float pixelsPerEm)
    : Impl(std::make_unique<TImpl>())
{
    if (FT_Init_FreeType(&Impl->Library) != 0)
    {
        throw std::runtime_error("FreeType cannot start");
    }
    if (FT_New_Face(Impl->Library, file.string().c_str(), 0, &Impl->Face) != 0)
    {
        FT_Done_FreeType(Impl->Library);
        throw std::runtime_error(file.string() + ": cannot open the font");
    }
    FT_Set_Char_Size(Impl->Face, 0, static_cast<FT_F26Dot6>(std::lround(pixelsPerEm * 64.0f)), 72,
                     72);
}

TFontFace::~TFontFace()
{
    FT_Done_Face(Impl->Face);
    FT_Done_FreeType(Impl->Library);
}

TFontFace::TGlyph TFontFace::Render(char32_t c) const
{
    TGlyph g;
    const FT_UInt index = FT_Get_Char_Index(Impl->Face, c);
    if (FT_Load_Glyph(Impl->Face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0)
    {
        return g;
    }
    const FT_GlyphSlot slot = Impl->Face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.Mask = TMask(static_cast<int>(bm.width), static_cast<int>(bm.rows));
    for (unsigned y = 0; y < bm.rows; ++y)
    {
        for (unsigned x = 0; x < bm.width; ++x)
        {
            g.Mask.At(static_cast<int>(x), static_cast<int>(y)) =
                static_cast<float>(bm.buffer[y * static_cast<unsigned>(bm.pitch) + x]) / 255.0f;
        }
    }
    g.Left = slot->bitmap_left;
    g.Top = slot->bitmap_top;
    g.Advance = static_cast<float>(slot->advance.x) / 64.0f;
    return g;
}

float TFontFace::Advance(char32_t c) const
{
    const FT_UInt index = FT_Get_Char_Index(Impl->Face, c);
    if (FT_Load_Glyph(Impl->Face, index, FT_LOAD_TARGET_LIGHT) != 0)
    {
        return 0;
    }
    return static_cast<float>(Impl->Face->glyph->advance.x) / 64.0f;
}

float TFontFace::Kerning(char32_t left, char32_t right) const
{
    if (!FT_HAS_KERNING(Impl->Face))
    {
        return 0;
    }
    FT_Vector k;
    FT_Get_Kerning(Impl->Face, FT_Get_Char_Index(Impl->Face, left),
                   FT_Get_Char_Index(Impl->Face, right), FT_KERNING_DEFAULT, &k);
    return static_cast<float>(k.x) / 64.0f;
}

float TFontFace::CapHeight() const
{
    const FT_UInt index = FT_Get_Char_Index(Impl->Face, U'H');
    if (FT_Load_Glyph(Impl->Face, index, FT_LOAD_TARGET_LIGHT) != 0)
    {
        return 0;
    }
    return static_cast<float>(Impl->Face->glyph->metrics.horiBearingY) / 64.0f;
}

std::u32string Decode(std::string_view s)
{
    std::u32string out;
    for (size_t i = 0; i < s.size();)
    {
        const auto c = static_cast<unsigned char>(s[i]);
        char32_t cp = c;
        int extra = 0;
        if (c >= 0xF0)
        {
            cp = c & 0x07;
            extra = 3;
        }
        else if (c >= 0xE0)
        {
            cp = c & 0x0F;
            extra = 2;
        }
        else if (c >= 0xC0)
        {
            cp = c & 0x1F;
            extra = 1;
        }
        ++i;
        for (int k = 0; k < extra && i < s.size(); ++k, ++i)
        {
            cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
        }
        out.push_back(cp);
    }
    return out;
}

TTextMask SetText(const TFontFace& face, std::string_view utf8, float tracking, int padding)
{
    const std::u32string text = Decode(utf8);
    struct TPlaced
    {
        TFontFace::TGlyph Glyph;
        float PenX;
    };
    std::vector<TPlaced> placed;
    float pen = 0;
    int top = 0;
    int bottom = 0;
    float minX = 0;
    float maxX = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (i > 0)
        {
            pen += face.Kerning(text[i - 1], text[i]);
        }
        TFontFace::TGlyph g = face.Render(text[i]);
        top = std::max(top, g.Top);
        bottom = std::max(bottom, g.Mask.Height() - g.Top);
        minX = std::min(minX, pen + static_cast<float>(g.Left));
        maxX = std::max(maxX, pen + static_cast<float>(g.Left + g.Mask.Width()));
        const float advance = g.Advance;
        placed.push_back({std::move(g), pen});
        pen += advance + (i + 1 < text.size() ? tracking : 0.0f);
    }
    maxX = std::max(maxX, pen);
    TTextMask out;
    out.Width = pen;
    out.OriginX = padding + static_cast<int>(std::ceil(-minX));
    out.BaselineY = padding + top;
    out.CapHeight = face.CapHeight();
    out.Mask = TMask(out.OriginX + static_cast<int>(std::ceil(maxX)) + padding + 1,
                     top + bottom + 2 * padding);
    for (const TPlaced& p : placed)
    {
        // Pens fall between pixels; round so that stems stay crisp.
        const int x = out.OriginX + static_cast<int>(std::lround(p.PenX)) + p.Glyph.Left;
        const int y = out.BaselineY - p.Glyph.Top;
        for (int gy = 0; gy < p.Glyph.Mask.Height(); ++gy)
        {
            for (int gx = 0; gx < p.Glyph.Mask.Width(); ++gx)
            {
                float& dst = out.Mask.At(x + gx, y + gy);
                dst = std::min(1.0f, dst + p.Glyph.Mask.At(gx, gy));
            }
        }
    }
    return out;
}
