#include "tools/content/Paint.h"

#include "base/Text.h"
#include "tools/content/Noise.h"
#include "tools/content/Text.h"

#include <cmath>
#include <string>

namespace
{
TColour Gradient(const TColour& a, const TColour& b, float t)
{
    return Mix(a, b, std::clamp(t, 0.0f, 1.0f));
}
} // namespace

float MeasureText(const TSources& sources, std::string_view text, const TTextStyle& style)
{
    const TFontFace face(sources.Font(style.Font), style.Em);
    float width = 0;
    const std::u32string s = Decode(text);
    for (size_t i = 0; i < s.size(); ++i)
    {
        width += face.Advance(s[i]) + (i + 1 < s.size() ? style.Tracking : 0.0f);
        if (i > 0)
        {
            width += face.Kerning(s[i - 1], s[i]);
        }
    }
    return width;
}

float FitEm(const TSources& sources, std::string_view text, const TTextStyle& style, float width)
{
    const float w = MeasureText(sources, text, style);
    if (w <= width || w <= 0)
    {
        return style.Em;
    }
    const float em = std::floor(style.Em * width / w);
    if (em < style.Em * SmallestEm)
    {
        throw TClipped("\"" + std::string(text) + "\" is " + std::to_string(std::lround(w * SmallestEm)) +
                       " px wide at its smallest size, its box " + std::to_string(std::lround(width)) +
                       " px");
    }
    return em;
}

void CheckMarked(const TSources& sources, std::string_view text)
{
    if (sources.Pseudo() && HasUnmarkedWord(text))
    {
        throw TClipped("the text \"" + std::string(text) + "\" is not in the catalogue");
    }
}

float DrawText(TImage& img, const TSources& sources, std::string_view text, float x, float y,
               const TTextStyle& style, TAlign align)
{
    CheckMarked(sources, text);
    return DrawTextLine(img, sources, text, x, y, style, align);
}

float DrawTextLine(TImage& img, const TSources& sources, std::string_view text, float x, float y,
                   const TTextStyle& style, TAlign align)
{
    const TFontFace face(sources.Font(style.Font), style.Em);
    const int pad =
        static_cast<int>(std::ceil(std::max(
            {style.Outline + 2.0f, style.GlowBlur * 3.0f,
             style.ShadowBlur * 3.0f + std::fabs(style.ShadowX) + std::fabs(style.ShadowY)}))) +
        2;
    const TTextMask t = SetText(face, text, style.Tracking, pad);
    float left = x;
    if (align == TAlign::Centre)
    {
        left = x - t.Width / 2.0f;
    }
    else if (align == TAlign::Right)
    {
        left = x - t.Width;
    }
    const int ox = static_cast<int>(std::lround(left)) - t.OriginX;
    const int oy = static_cast<int>(std::lround(y + t.CapHeight / 2.0f)) - t.BaselineY;

    if (style.GlowBlur > 0)
    {
        TMask glow = t.Mask.Dilated(style.GlowBlur * 0.5f);
        glow.Blur(style.GlowBlur);
        img.DrawMask(glow, ox, oy, style.GlowColour);
    }
    if (style.ShadowBlur > 0 || style.ShadowX != 0 || style.ShadowY != 0)
    {
        TMask shadow = style.Outline > 0 ? t.Mask.Dilated(style.Outline) : t.Mask;
        shadow.Blur(style.ShadowBlur);
        img.DrawMask(shadow, ox + static_cast<int>(std::lround(style.ShadowX)),
                     oy + static_cast<int>(std::lround(style.ShadowY)), style.ShadowColour);
    }
    if (style.Outline > 0)
    {
        TMask rim = t.Mask.Dilated(style.Outline);
        img.DrawMask(rim, ox, oy, style.OutlineColour);
    }
    const float capTop = static_cast<float>(t.BaselineY) - t.CapHeight;
    for (int my = 0; my < t.Mask.Height(); ++my)
    {
        const TColour fill =
            Gradient(style.Top, style.Bottom, (static_cast<float>(my) - capTop) / t.CapHeight);
        for (int mx = 0; mx < t.Mask.Width(); ++mx)
        {
            const float v = t.Mask.At(mx, my);
            if (v > 0)
            {
                img.Blend(ox + mx, oy + my, fill, v);
            }
        }
    }
    return t.Width;
}

TPanelStyle GildedFrame(float radius, float border)
{
    TPanelStyle s;
    s.Radius = radius;
    s.Top = Rgb(0xF1D08A);
    s.Bottom = Rgb(0x9A6E2C);
    s.Border = border;
    s.BorderColour = Rgb(0xFFE9B0);
    return s;
}

void DrawPanel(TImage& img, float x0, float y0, float x1, float y1, const TPanelStyle& s)
{
    const TVec2 c{(x0 + x1) / 2, (y0 + y1) / 2};
    const float hx = (x1 - x0) / 2;
    const float hy = (y1 - y0) / 2;
    if (s.ShadowColour.A > 0 && (s.ShadowBlur > 0 || s.ShadowOffset > 0))
    {
        const int margin = static_cast<int>(s.ShadowBlur * 3 + s.ShadowOffset) + 2;
        const int w = static_cast<int>(x1 - x0) + 2 * margin;
        const int h = static_cast<int>(y1 - y0) + 2 * margin;
        TMask shadow = ShapeMask(w, h,
                                 [&](TVec2 p)
                                 {
                                     return SdRoundBox(
                                         p, {static_cast<float>(w) / 2, static_cast<float>(h) / 2},
                                         hx, hy, s.Radius);
                                 });
        shadow.Blur(s.ShadowBlur);
        img.DrawMask(shadow, static_cast<int>(c.X) - w / 2,
                     static_cast<int>(c.Y + s.ShadowOffset) - h / 2, s.ShadowColour);
    }
    FillShape(
        img, x0 - 2, y0 - 2, x1 + 2, y1 + 2,
        [&](TVec2 p) { return SdRoundBox(p, c, hx, hy, s.Radius); },
        [&](TVec2 p)
        {
            TColour col = Gradient(s.Top, s.Bottom, (p.Y - y0) / (y1 - y0));
            if (s.InnerShade > 0)
            {
                const float d = p.Y - y0;
                const float k = s.InnerShade * std::exp(-d / std::max(2.0f, (y1 - y0) * 0.12f));
                col = Mix(col, TColour{0, 0, 0, col.A}, k);
            }
            if (s.Gloss > 0)
            {
                const float t = (p.Y - y0) / (y1 - y0);
                if (t < 0.5f)
                {
                    col = Mix(col, TColour{1, 1, 1, col.A}, s.Gloss * (1.0f - t * 2.0f));
                }
            }
            return col;
        });
    if (s.Border > 0)
    {
        FillShape(
            img, x0 - s.Border - 2, y0 - s.Border - 2, x1 + s.Border + 2, y1 + s.Border + 2,
            [&](TVec2 p) { return std::fabs(SdRoundBox(p, c, hx, hy, s.Radius)) - s.Border / 2; },
            [&](TVec2 p)
            {
                // Metal catches light on its upper side.
                const float t = (p.Y - y0) / (y1 - y0);
                return Gradient(Mix(s.BorderColour, TColour{1, 1, 1, s.BorderColour.A}, 0.35f),
                                Scaled(s.BorderColour, 0.7f), t);
            });
    }
}

void FillGradient(TImage& img, const TColour& top, const TColour& bottom)
{
    for (int y = 0; y < img.Height(); ++y)
    {
        const TColour c =
            Gradient(top, bottom, static_cast<float>(y) / static_cast<float>(img.Height() - 1));
        for (int x = 0; x < img.Width(); ++x)
        {
            img.Set(x, y, c);
        }
    }
}

void Vignette(TImage& img, float strength)
{
    const float cx = static_cast<float>(img.Width()) / 2;
    const float cy = static_cast<float>(img.Height()) / 2;
    for (int y = 0; y < img.Height(); ++y)
    {
        for (int x = 0; x < img.Width(); ++x)
        {
            const float dx = (static_cast<float>(x) - cx) / cx;
            const float dy = (static_cast<float>(y) - cy) / cy;
            const float k = 1.0f - strength * std::clamp((dx * dx + dy * dy) * 0.5f, 0.0f, 1.0f);
            float* p = img.Pixel(x, y);
            p[0] *= k;
            p[1] *= k;
            p[2] *= k;
        }
    }
}

void Grain(TImage& img, float amount, uint32_t seed)
{
    for (int y = 0; y < img.Height(); ++y)
    {
        for (int x = 0; x < img.Width(); ++x)
        {
            const float n = (HashUnit(x, y, seed) - 0.5f) * amount;
            float* p = img.Pixel(x, y);
            for (int c = 0; c < 3; ++c)
            {
                p[c] = std::clamp(p[c] + n * p[3], 0.0f, p[3]);
            }
        }
    }
}
