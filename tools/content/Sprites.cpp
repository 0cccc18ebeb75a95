#include "tools/content/Sprites.h"

#include "tools/content/Languages.h"
#include "tools/content/Noise.h"
#include "tools/content/Paint.h"
#include "tools/content/Palette.h"
#include "tools/content/Shapes.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr float Pi = 3.14159265f;

float Smooth(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// The colour across the progress bar's tube, t = -1 (top) .. 1 (bottom).
TColour TubeColour(float t)
{
    const TColour body = Mix(Rgb(0x7FF0FF), Rgb(0x1A7FB8), (t + 1.0f) / 2.0f);
    const float shine = std::exp(-std::pow((t + 0.45f) / 0.18f, 2.0f));
    return Mix(body, TColour{1, 1, 1, 1}, 0.75f * shine);
}

constexpr float TubeHalf = 0.78f; // of the bar's half height

// A pixel of a round picture: its column and row, and where it lies from the centre in
// half-widths (Dx, Dy) and how far (R, 1 at the middle of an edge).
struct TRadial
{
    float X, Y;
    float Dx, Dy, R;
};

// A square picture of `size` pixels, each the colour `pixel` gives for its TRadial.
template <typename TPixel> TImage Radial(int size, TPixel pixel)
{
    TImage img(size, size);
    const float c = static_cast<float>(size) / 2.0f;
    for (int y = 0; y < size; ++y)
    {
        for (int x = 0; x < size; ++x)
        {
            const float dx = (static_cast<float>(x) + 0.5f - c) / c;
            const float dy = (static_cast<float>(y) + 0.5f - c) / c;
            const float r = std::sqrt(dx * dx + dy * dy);
            img.Set(x, y, pixel(TRadial{static_cast<float>(x), static_cast<float>(y), dx, dy, r}));
        }
    }
    return img;
}

// line.tga: stretched along its length by the game, so every column is the same.
TImage Line()
{
    TImage img(32, 64);
    for (int y = 0; y < img.Height(); ++y)
    {
        const float t = (static_cast<float>(y) + 0.5f - 32.0f) / 32.0f;
        const float a = Coverage((std::fabs(t) - TubeHalf) * 32.0f);
        for (int x = 0; x < img.Width(); ++x)
        {
            img.Set(x, y, WithAlpha(TubeColour(t / TubeHalf), a));
        }
    }
    return img;
}

// lineleft.tga: the rounded left end of the tube. The cap's quad spans world x 4.75 .. 4.48
// and the bar starts at 4.51, so the round end is centred 0.889 of the way across.
TImage LineLeft()
{
    const int w = 64;
    const int h = 100;
    TImage img(w, h);
    const float cx = 0.889f * static_cast<float>(w);
    const float radiusY = TubeHalf * static_cast<float>(h) / 2.0f;
    const float radiusX = radiusY * (0.42f / 0.27f) * static_cast<float>(w) / static_cast<float>(h);
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const float py =
                (static_cast<float>(y) + 0.5f - static_cast<float>(h) / 2.0f) / radiusY;
            float px = (static_cast<float>(x) + 0.5f - cx) / radiusX;
            px = std::min(px, 0.0f);
            const float d = std::sqrt(px * px + py * py);
            const float a = Coverage((d - 1.0f) * radiusY);
            img.Set(x, y, WithAlpha(TubeColour(py), a));
        }
    }
    return img;
}

} // namespace

TImage DotImage(int kind)
{
    const int size = 128;
    TImage img(size, size);
    const TVec2 c{64, 64};
    TImage shape(size, size);
    if (kind == 1)
    {
        // A path step: a small glowing bead.
        FillShape(
            shape, [&](TVec2 p) { return SdCircle(p, c, 9.0f); },
            [&](TVec2 p) { return Mix(Rgb(0xFFFFFF), Rgb(0xF5D27A), Length(p - c) / 9.0f); });
        TImage glow = shape;
        glow.Blur(6.0f);
        img.DrawImage(glow, 0, 0, 1.0f, 1.0f);
        img.DrawImage(glow, 0, 0, 1.0f, 0.6f);
        img.DrawImage(shape, 0, 0);
        return img;
    }
    const TColour colour = kind == 2 ? Rgb(0x63F2A0) : Rgb(0xFF5046);
    auto sdf = [&](TVec2 p)
    {
        float d = std::fabs(SdCircle(p, c, 38.0f)) - 4.5f;
        if (kind == 2)
        {
            d = std::min(d, SdCircle(p, c, 7.0f));
            for (int k = 0; k < 4; ++k)
            {
                const float a = static_cast<float>(k) * Pi / 2.0f;
                const TVec2 dir{std::cos(a), std::sin(a)};
                d = std::min(d, SdSegment(p, c + dir * 45.0f, c + dir * 54.0f, 3.0f));
            }
        }
        else
        {
            const float r = 24.0f;
            d = std::min(d, SdSegment(p, {c.X - r, c.Y - r}, {c.X + r, c.Y + r}, 4.5f));
        }
        return d;
    };
    FillShape(
        shape, [&](TVec2 p) { return sdf(p) - 2.0f; }, [&](TVec2) { return Rgb(0x06080F, 0.8f); });
    FillShape(shape, sdf, [&](TVec2) { return colour; });
    FillShape(
        shape, [&](TVec2 p) { return sdf(p) + 2.0f; },
        [&](TVec2) {
            return Mix(colour, TColour{1, 1, 1, 1}, 0.6f);
        });
    TImage glow = shape;
    glow.Blur(5.0f);
    img.DrawImage(glow, 0, 0, 1.0f, 0.9f);
    img.DrawImage(shape, 0, 0);
    return img;
}

namespace
{
// The pointer: its tip is the picture's centre, the hot spot of the game's cursor.
TImage Pointer()
{
    const int size = 128;
    const float l = 46.0f;
    const TVec2 tip{64.0f, 64.0f};
    const std::vector<TVec2> arrow = {
        tip,
        {tip.X, tip.Y + 0.84f * l},
        {tip.X + 0.21f * l, tip.Y + 0.66f * l},
        {tip.X + 0.36f * l, tip.Y + 0.98f * l},
        {tip.X + 0.50f * l, tip.Y + 0.92f * l},
        {tip.X + 0.35f * l, tip.Y + 0.60f * l},
        {tip.X + 0.62f * l, tip.Y + 0.60f * l},
    };
    TImage img(size, size);
    TImage shadow(size, size);
    FillShape(
        shadow,
        [&](TVec2 p) {
            return SdPolygon(p - TVec2{3, 4}, arrow) - 2.0f;
        },
        [&](TVec2) {
            return TColour{0, 0, 0, 0.55f};
        });
    shadow.Blur(2.5f);
    img.DrawImage(shadow, 0, 0);
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, arrow) - 2.2f; },
        [&](TVec2) { return Rgb(0x14182C); });
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, arrow); },
        [&](TVec2 p) { return Mix(Rgb(0xFFFFFF), Rgb(0xF2D48A), (p.Y - tip.Y) / l); });
    return img;
}

// The aiming cursor for a shot cube: a crosshair centred on the hot spot.
TImage Crosshair()
{
    const int size = 128;
    const TVec2 c{64, 64};
    auto sdf = [&](TVec2 p)
    {
        float d = std::fabs(SdCircle(p, c, 24.0f)) - 2.2f;
        d = std::min(d, SdCircle(p, c, 3.0f));
        for (int k = 0; k < 4; ++k)
        {
            const float a = static_cast<float>(k) * Pi / 2.0f;
            const TVec2 dir{std::cos(a), std::sin(a)};
            d = std::min(d, SdSegment(p, c + dir * 12.0f, c + dir * 36.0f, 2.2f));
        }
        return d;
    };
    TImage img(size, size);
    FillShape(
        img, [&](TVec2 p) { return sdf(p) - 2.0f; }, [&](TVec2) { return Rgb(0x14182C, 0.85f); });
    FillShape(img, sdf, [&](TVec2) { return Rgb(0xFF6A3D); });
    FillShape(
        img, [&](TVec2 p) { return sdf(p) + 1.2f; }, [&](TVec2) { return Rgb(0xFFD2B0); });
    return img;
}

// --- particles: additive, so their colour times alpha is the light they add ---
TImage Sparkle()
{
    return Radial(64, [](const TRadial& p)
    {
        const float rays = std::exp(-std::fabs(p.Dx) * 14.0f) * std::exp(-std::fabs(p.Dy) * 2.2f) +
                           std::exp(-std::fabs(p.Dy) * 14.0f) * std::exp(-std::fabs(p.Dx) * 2.2f);
        const float core = std::exp(-p.R * p.R * 30.0f);
        const float halo = std::exp(-p.R * p.R * 5.0f) * 0.35f;
        const float a =
            std::clamp(rays * 0.8f + core + halo, 0.0f, 1.0f) * Smooth(1.0f, 0.85f, p.R);
        return WithAlpha(Mix(Rgb(0xFFE9B0), Rgb(0xFFFFFF), core), a);
    });
}

TImage Puff()
{
    return Radial(64, [](const TRadial& p)
    {
        const float n = Fbm(p.X * 0.12f, p.Y * 0.12f, 61, 3);
        const float a =
            std::clamp((1.0f - p.R) * (0.6f + 0.6f * n), 0.0f, 1.0f) * Smooth(1.0f, 0.8f, p.R);
        return WithAlpha(Mix(Rgb(0xFFFFFF), Rgb(0xC9B8FF), p.R), a * 0.9f);
    });
}

TImage Fireball()
{
    return Radial(128, [](const TRadial& p)
    {
        const float n = Fbm(p.X * 0.06f, p.Y * 0.06f, 62, 4);
        const float heat = std::clamp(1.1f - p.R * 1.3f + (n - 0.5f) * 0.7f, 0.0f, 1.0f);
        TColour c = heat > 0.7f ? Mix(Rgb(0xFFB030), Rgb(0xFFF6C8), (heat - 0.7f) / 0.3f)
                                : Mix(Rgb(0xA01808), Rgb(0xFFB030), heat / 0.7f);
        const float a = std::clamp(heat * 1.4f, 0.0f, 1.0f) * Smooth(1.0f, 0.75f, p.R);
        return WithAlpha(c, a);
    });
}

TImage Ember()
{
    return Radial(32, [](const TRadial& p)
    {
        const float a =
            std::clamp(std::exp(-p.R * p.R * 9.0f) * 1.3f, 0.0f, 1.0f) * Smooth(1.0f, 0.8f, p.R);
        return WithAlpha(Mix(Rgb(0xFFF2C0), Rgb(0xFF7A20), p.R * 1.5f), a);
    });
}

TImage Swirl()
{
    return Radial(128, [](const TRadial& p)
    {
        const float r = p.R;
        const float a0 = std::atan2(p.Dy, p.Dx);
        // Three arms winding out from the centre, each in the colours of the paints.
        const float arm =
            std::fmod(a0 + r * 5.0f + 4.0f * Pi, 2.0f * Pi / 3.0f) / (2.0f * Pi / 3.0f);
        const float band = std::exp(-std::pow((arm - 0.5f) / 0.18f, 2.0f));
        const float hue = std::fmod((a0 + Pi) / (2.0f * Pi) * 7.0f + r * 3.0f, 7.0f);
        const int i = static_cast<int>(hue);
        const TColour c =
            Mix(CubeColours[static_cast<size_t>(i + 1)],
                CubeColours[static_cast<size_t>((i + 1) % 7 + 1)], hue - static_cast<float>(i));
        const float a = band * Smooth(1.0f, 0.6f, r) * Smooth(0.0f, 0.15f, r) +
                        std::exp(-r * r * 40.0f) * 0.6f;
        return WithAlpha(Mix(c, TColour{1, 1, 1, 1}, 0.25f), std::clamp(a, 0.0f, 1.0f));
    });
}

TImage Spark()
{
    return Radial(32, [](const TRadial& p)
    {
        const float a = std::clamp(std::exp(-p.R * p.R * 14.0f) * 1.5f +
                                       std::exp(-p.R * p.R * 3.0f) * 0.3f,
                                   0.0f, 1.0f) *
                        Smooth(1.0f, 0.8f, p.R);
        return WithAlpha(Mix(Rgb(0xFFFFFF), Rgb(0xFFD040), p.R * 2.0f), a);
    });
}

// The "new level" banner, drawn 4.45 x 0.85 with normal blending as it rises and fades.
TImage NewLevelBanner(const TSources& sources)
{
    const int w = 1024;
    const int h = 196;
    TImage img(w, h);
    // A ribbon of dark glass that thins out at its ends.
    FillShape(
        img,
        [&](TVec2 p) {
            return SdRoundBox(p, {512, 98}, 490, 62, 62);
        },
        [&](TVec2 p)
        {
            const float edge = std::fabs(p.X - 512.0f) / 490.0f;
            return Rgb(0x0D1433, 0.75f * (1.0f - std::pow(edge, 3.0f)));
        });
    for (float y : {40.0f, 156.0f})
    {
        FillShape(
            img,
            [&](TVec2 p) {
                return SdSegment(p, {80, y}, {944, y}, 1.6f);
            },
            [&](TVec2 p)
            { return WithAlpha(Gold, 1.0f - std::pow(std::fabs(p.X - 512.0f) / 432.0f, 2.0f)); });
    }
    TTextStyle s;
    s.Font = SerifBold;
    s.Em = 104;
    s.Top = Rgb(0xFFF6D8);
    s.Bottom = Rgb(0xE8B04A);
    s.Tracking = 8;
    s.Outline = 3;
    s.OutlineColour = Rgb(0x3A2608);
    s.GlowBlur = 10;
    s.GlowColour = Rgb(0xFFC860, 0.55f);
    const std::string words = sources.Tr(N_("NEW LEVEL"));
    s.Em = FitEm(sources, words, s, 960);
    DrawText(img, sources, words, 512, 98, s);
    return img;
}

// The bonus-level card shown in place of the figure: 1.765 x 2.61 units.
TImage PlugBonus(const TSources& sources)
{
    const int w = 270;
    const int h = 400;
    TImage img(w, h);
    TPanelStyle card;
    card.Radius = 22;
    card.Top = Rgb(0x3A2A8C);
    card.Bottom = Rgb(0x140E3A);
    card.Border = 5;
    card.BorderColour = Gold;
    card.ShadowBlur = 0;
    card.ShadowOffset = 0;
    card.Gloss = 0.08f;
    DrawPanel(img, 8, 8, static_cast<float>(w) - 8, static_cast<float>(h) - 8, card);
    // Rays behind a big star.
    const TVec2 c{135, 165};
    FillShape(
        img, 12, 12, static_cast<float>(w) - 12, static_cast<float>(h) - 12,
        [&](TVec2 p) {
            return SdRoundBox(p, {135, 200}, 118, 180, 18);
        },
        [&](TVec2 p)
        {
            const float a = std::atan2(p.Y - c.Y, p.X - c.X);
            const float ray = 0.5f + 0.5f * std::cos(a * 12.0f);
            const float fade = std::max(0.0f, 1.0f - Length(p - c) / 170.0f);
            return Rgb(0xFFD870, 0.22f * ray * fade);
        });
    const std::vector<TVec2> star = StarPoints(c, 5, 70, 30);
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, star) - 4.0f; },
        [&](TVec2) { return Rgb(0x5A3A08); });
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, star); },
        [&](TVec2 p) { return Mix(Rgb(0xFFF4C8), Rgb(0xE4A030), (p.Y - c.Y + 70) / 140); });
    TTextStyle s;
    s.Font = SerifBold;
    s.Em = 62;
    s.Top = Rgb(0xFFF6D8);
    s.Bottom = Rgb(0xE8B04A);
    s.Outline = 2.5f;
    s.OutlineColour = Rgb(0x2A1A05);
    s.ShadowY = 3;
    s.ShadowBlur = 3;
    // TRANSLATORS: the two lines of the card shown for a bonus level, the first large and the
    // second small (as "BONUS" over "LEVEL"); keep the line break.
    const std::string words = sources.Tr(N_("BONUS\nLEVEL"));
    const size_t lineBreak = words.find('\n');
    const std::string large = words.substr(0, lineBreak);
    const std::string small = lineBreak == std::string::npos ? "" : words.substr(lineBreak + 1);
    CheckMarked(sources, words);
    s.Em = FitEm(sources, large, s, 220);
    DrawTextLine(img, sources, large, 135, 290, s, TAlign::Centre);
    s.Em = 44;
    s.Em = FitEm(sources, small, s, 220);
    DrawTextLine(img, sources, small, 135, 350, s, TAlign::Centre);
    return img;
}
} // namespace

// A round lamp: a warm glass bulb with a bright core and a soft halo.
TImage LampImage(int size)
{
    const float c = static_cast<float>(size) / 2.0f;
    return Radial(size, [c](const TRadial& p)
    {
        const float bulb = Coverage((p.R - 0.5f) * c);
        const float halo = std::exp(-std::pow(p.R / 0.62f, 4.0f)) * Smooth(1.0f, 0.8f, p.R);
        TColour col = Mix(Rgb(0xFFFBE6), Rgb(0xFFB52E), std::clamp(p.R / 0.5f, 0.0f, 1.0f));
        // A highlight on the upper left of the glass.
        const float hl =
            std::exp(-(std::pow(p.Dx + 0.18f, 2.0f) + std::pow(p.Dy + 0.2f, 2.0f)) / 0.012f);
        col = Mix(col, TColour{1, 1, 1, 1}, hl * 0.8f);
        const float a = std::max(bulb, halo * 0.75f);
        return WithAlpha(bulb > 0.0f ? col : Rgb(0xFFB52E), a);
    });
}

void MakeSprites(const TOutput& out, const TSources& sources)
{
    std::vector<std::pair<std::string, TImage>> sprites;
    sprites.emplace_back("line", Line());
    sprites.emplace_back("lineleft", LineLeft());
    sprites.emplace_back("bonuslight", LampImage(64));
    sprites.emplace_back("plugbonus",
                         Drawn("Images/plugbonus.tga", sources, [&] { return PlugBonus(sources); }));
    for (int k = 1; k <= 3; ++k)
    {
        sprites.emplace_back("dot" + std::to_string(k), DotImage(k));
    }
    sprites.emplace_back("cursor", Pointer());
    sprites.emplace_back("cursor1", Crosshair());
    sprites.emplace_back("effect1", Sparkle());
    sprites.emplace_back("effect2", Puff());
    sprites.emplace_back("effect3", Fireball());
    sprites.emplace_back("effect4", Ember());
    sprites.emplace_back("effect5", Swirl());
    sprites.emplace_back("effect6", Spark());
    sprites.emplace_back(
        "newlevel", Drawn("Images/newlevel.tga", sources, [&] { return NewLevelBanner(sources); }));
    TImage sheet(1600, 420, Rgb(0x3A4050));
    float x = 4;
    float y = 4;
    for (const auto& [name, image] : sprites)
    {
        out.WriteTga("Images/" + name + ".tga", image);
        const float scale = 128.0f / static_cast<float>(std::max(image.Height(), 64));
        if (x + image.Width() * scale > 1600)
        {
            x = 4;
            y += 140;
        }
        sheet.DrawImage(image, x, y, scale);
        x += image.Width() * scale + 8;
    }
    out.Preview("sprites", sheet);
    // The two with words, in every other language.
    ForEachTranslation(out, sources,
                       [](const TOutput& o, const TSources& s)
                       {
                           o.WriteTga("Images/plugbonus.tga",
                                      Drawn("Images/plugbonus.tga", s, [&] { return PlugBonus(s); }));
                           o.WriteTga("Images/newlevel.tga", Drawn("Images/newlevel.tga", s,
                                                                   [&] { return NewLevelBanner(s); }));
                       });
}
