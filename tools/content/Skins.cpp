#include "tools/content/Skins.h"

#include "base/Text.h"
#include "tools/content/Noise.h"
#include "tools/content/Palette.h"
#include "tools/content/Shapes.h"

#include <cmath>
#include <iterator>
#include <string>

namespace
{
constexpr float Pi = 3.14159265f;
constexpr float S = static_cast<float>(SkinTextureSize);
constexpr float Lo = CubeFlatStart * S; // the flat face
constexpr float Hi = CubeFlatEnd * S;
constexpr float Mid = S / 2.0f;

TColour Lerp(const TColour& a, const TColour& b, float t)
{
    return Mix(a, b, std::clamp(t, 0.0f, 1.0f));
}

float Luma(const TColour& c) { return 0.3f * c.R + 0.59f * c.G + 0.11f * c.B; }

// Fills the whole picture from a colour function of the pixel centre.
template <class F> void Paint(TImage& img, F f)
{
    for (int y = 0; y < img.Height(); ++y)
    {
        for (int x = 0; x < img.Width(); ++x)
        {
            img.Set(x, y, f(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f));
        }
    }
}

// Light falls from the upper left: a factor by the direction a surface faces.
float Facing(float angle) { return std::cos(angle - 1.25f * Pi); }

// The flat face's rim: a bright line along the top and left, a dark one along the bottom
// and right, so that the face reads as raised.
void FaceRim(TImage& img, float inset, float strength)
{
    const float lo = Lo + inset;
    const float hi = Hi - inset;
    FillShape(
        img,
        [&](TVec2 p) {
            return std::fabs(SdRoundBox(p, {Mid, Mid}, (hi - lo) / 2, (hi - lo) / 2, 6.0f)) - 0.8f;
        },
        [&](TVec2 p)
        {
            const float a = std::atan2(p.Y - Mid, p.X - Mid);
            const float f = Facing(a);
            return f > 0 ? TColour{1, 1, 1, 0.55f * strength * f}
                         : TColour{0, 0, 0, -0.6f * strength * f};
        });
}

// A square line cut into the face, `half` from its centre: the dark groove, and offset down
// and to the right, the lit lip of its far side at half the groove's width.
void Engrave(TImage& img, float half, float radius, float width, const TColour& cut,
             float lipOffset, const TColour& lip)
{
    FillShape(
        img,
        [&](TVec2 p) {
            return std::fabs(SdRoundBox(p, {Mid, Mid}, half, half, radius)) - width;
        },
        [&](TVec2) { return cut; });
    FillShape(
        img,
        [&](TVec2 p)
        {
            return std::fabs(SdRoundBox(p, {Mid + lipOffset, Mid + lipOffset}, half, half,
                                        radius)) -
                   width * 0.5f;
        },
        [&](TVec2) { return lip; });
}

// --- skin 1: cut gems ---
TImage Gem(const TColour& base, uint32_t seed)
{
    TImage img(SkinTextureSize, SkinTextureSize);
    Paint(img,
          [&](float x, float y)
          {
              const float n = Fbm(x * 0.08f, y * 0.08f, seed, 3);
              return Scaled(base, 0.62f + 0.1f * n - 0.1f * ((x + y) / S - 1.0f));
          });
    const TVec2 c{Mid, Mid};
    const float outer = (Hi - Lo) / 2.0f - 3.0f;
    const float table = 26.0f;
    std::vector<TVec2> oct;
    std::vector<TVec2> square;
    for (int k = 0; k < 8; ++k)
    {
        const float a = -Pi / 2.0f + static_cast<float>(k) * Pi / 4.0f;
        oct.push_back({c.X + table * std::cos(a), c.Y + table * std::sin(a)});
        const float r = (k % 2 == 0) ? outer : outer * std::sqrt(2.0f);
        square.push_back({c.X + r * std::cos(a), c.Y + r * std::sin(a)});
    }
    for (int k = 0; k < 8; ++k)
    {
        const int j = (k + 1) % 8;
        const std::vector<TVec2> facet = {oct[static_cast<size_t>(k)], oct[static_cast<size_t>(j)],
                                          square[static_cast<size_t>(j)],
                                          square[static_cast<size_t>(k)]};
        const float a = -Pi / 2.0f + (static_cast<float>(k) + 0.5f) * Pi / 4.0f;
        const float light = 0.86f + 0.34f * Facing(a);
        FillShape(
            img, [&](TVec2 p) { return SdPolygon(p, facet); },
            [&](TVec2 p)
            {
                const float t = Length(p - c) / outer;
                return Lerp(Scaled(base, light * 1.05f), Scaled(base, light * 0.85f), t);
            });
    }
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, oct); },
        [&](TVec2 p)
        {
            const float t = ((p.X - c.X) + (p.Y - c.Y)) / (4.0f * table) + 0.5f;
            return Lerp(Lerp(base, TColour{1, 1, 1, 1}, 0.3f), Scaled(base, 0.92f), t);
        });
    // Facet edges catch the light.
    const TColour edge = WithAlpha(Lerp(base, TColour{1, 1, 1, 1}, 0.6f), 0.55f);
    for (int k = 0; k < 8; ++k)
    {
        const TVec2 a = oct[static_cast<size_t>(k)];
        const TVec2 b = oct[static_cast<size_t>((k + 1) % 8)];
        const TVec2 s = square[static_cast<size_t>(k)];
        FillShape(
            img,
            [&](TVec2 p) { return std::min(SdSegment(p, a, b, 0.5f), SdSegment(p, a, s, 0.5f)); },
            [&](TVec2) { return edge; });
    }
    FaceRim(img, 0.5f, 1.0f);
    // A glint on the table.
    TImage glint(SkinTextureSize, SkinTextureSize);
    const TVec2 g{c.X - 11.0f, c.Y - 12.0f};
    FillShape(
        glint, [&](TVec2 p) { return SdPolygon(p, StarPoints(g, 4, 9.0f, 1.6f)); },
        [&](TVec2) {
            return TColour{1, 1, 1, 0.9f};
        });
    FillShape(
        glint, [&](TVec2 p) { return SdCircle(p, g, 3.0f); },
        [&](TVec2) {
            return TColour{1, 1, 1, 1};
        });
    TImage halo = glint;
    halo.Blur(2.5f);
    img.DrawImage(halo, 0, 0, 1.0f, 0.8f);
    img.DrawImage(glint, 0, 0);
    return img;
}

// --- skin 2: stained wood ---
float Grain(float x, float y, uint32_t seed)
{
    // Long fibres running down the face, gently bent, with a few darker late-wood lines.
    const float warp = Fbm(x * 0.01f, y * 0.012f, seed, 3) * 14.0f;
    const float v = (x + warp + 4.0f * std::sin(y * 0.025f + static_cast<float>(seed % 7))) / 13.0f;
    const float line = 0.5f + 0.5f * std::sin(v * 2.0f * Pi);
    return std::pow(line, 6.0f) * 0.55f + Fbm(x * 0.6f, y * 0.03f, seed + 3, 2) * 0.3f;
}

TImage Wood(const TColour& stain, uint32_t seed, bool natural = false)
{
    TImage img(SkinTextureSize, SkinTextureSize);
    const TColour light = Rgb(0xE6C48F);
    const TColour dark = Rgb(0x9A6A3A);
    Paint(img,
          [&](float x, float y)
          {
              const TColour wood = Lerp(light, dark, Grain(x, y, seed));
              if (natural)
              {
                  return wood;
              }
              const float l = 0.55f + 0.6f * Luma(wood);
              const TColour tinted{std::min(1.0f, stain.R * l), std::min(1.0f, stain.G * l),
                                   std::min(1.0f, stain.B * l), 1};
              return Lerp(tinted, wood, 0.1f);
          });
    // Rounded edges a shade darker, like worn varnish.
    FillShape(
        img,
        [&](TVec2 p) {
            return -SdRoundBox(p, {Mid, Mid}, (Hi - Lo) / 2, (Hi - Lo) / 2, 4.0f);
        },
        [&](TVec2) {
            return TColour{0.1f, 0.05f, 0.0f, 0.25f};
        },
        6.0f);
    // A carved groove inside the face.
    Engrave(img, (Hi - Lo) / 2.0f - 10.0f, 5.0f, 1.2f, TColour{0.12f, 0.06f, 0.02f, 0.55f}, 1.2f,
            TColour{1, 0.95f, 0.85f, 0.3f});
    FaceRim(img, 0.5f, 0.6f);
    return img;
}

// --- skin 3: brushed anodised metal ---
TImage Metal(const TColour& base, uint32_t seed)
{
    TImage img(SkinTextureSize, SkinTextureSize);
    Paint(img,
          [&](float x, float y)
          {
              const float streak = Fbm(x * 0.02f, y * 0.9f, seed, 3);
              const float sheen = std::exp(-std::pow((x + y - 110.0f) / 34.0f, 2.0f));
              TColour c = Scaled(base, 0.62f + 0.38f * streak + 0.35f * sheen);
              return Lerp(c, TColour{1, 1, 1, 1}, 0.18f * sheen);
          });
    // An engraved frame: a dark cut with a bright lip under it.
    Engrave(img, (Hi - Lo) / 2.0f - 9.0f, 3.0f, 1.0f, TColour{0, 0, 0, 0.55f}, 1.5f,
            TColour{1, 1, 1, 0.35f});
    // Four rivets.
    const float r = Lo + 7.5f;
    const float q = Hi - 7.5f;
    for (TVec2 at : {TVec2{r, r}, TVec2{q, r}, TVec2{r, q}, TVec2{q, q}})
    {
        FillShape(
            img, [&](TVec2 p) { return SdCircle(p, at, 3.6f); },
            [&](TVec2 p)
            {
                const float t = ((p.X - at.X) + (p.Y - at.Y)) / 7.2f + 0.5f;
                return Lerp(TColour{0.95f, 0.95f, 0.97f, 1}, Scaled(base, 0.45f), t);
            });
    }
    FaceRim(img, 0.5f, 0.8f);
    return img;
}

// --- skin 4: neon tubes on dark glass ---
TImage Neon(const TColour& base, uint32_t seed, bool frameOnly = false)
{
    TImage img(SkinTextureSize, SkinTextureSize);
    Paint(img,
          [&](float x, float y)
          {
              const float n = Fbm(x * 0.05f, y * 0.05f, seed, 2);
              const float reflection = std::clamp(1.0f - (x + y) / S, 0.0f, 1.0f);
              return TColour{0.05f + 0.03f * n + 0.07f * reflection,
                             0.06f + 0.03f * n + 0.08f * reflection,
                             0.09f + 0.04f * n + 0.1f * reflection, 1};
          });
    TImage tube(SkinTextureSize, SkinTextureSize);
    const float half = (Hi - Lo) / 2.0f - 8.0f;
    auto shape = [&](TVec2 p)
    {
        const float frame = std::fabs(SdRoundBox(p, {Mid, Mid}, half, half, 10.0f)) - 3.8f;
        if (frameOnly)
        {
            return frame;
        }
        const float ring = std::fabs(SdCircle(p, {Mid, Mid}, 17.0f)) - 3.8f;
        return std::min(frame, ring);
    };
    FillShape(tube, shape, [&](TVec2) { return base; });
    TImage glow = tube;
    glow.Blur(5.0f);
    for (int y = 0; y < img.Height(); ++y)
    {
        for (int x = 0; x < img.Width(); ++x)
        {
            const TColour g = glow.Get(x, y);
            img.AddLight(x, y, g, 1.6f);
        }
    }
    // The hot white core of the tube.
    FillShape(
        img, [&](TVec2 p) { return shape(p) + 1.6f; },
        [&](TVec2) {
            return Lerp(base, TColour{1, 1, 1, 1}, 0.65f);
        });
    FillShape(
        img, [&](TVec2 p) { return shape(p); },
        [&](TVec2) {
            return WithAlpha(Lerp(base, TColour{1, 1, 1, 1}, 0.2f), 0.6f);
        });
    FillShape(
        img, [&](TVec2 p) { return shape(p) + 2.2f; },
        [&](TVec2) {
            return TColour{1, 1, 1, 0.9f};
        });
    FaceRim(img, 0.5f, 0.5f);
    return img;
}

// --- skin 5: colours with symbols ---
float SymbolSdf(int colour, TVec2 p, float size)
{
    const TVec2 c{Mid, Mid};
    switch (colour)
    {
    case 1: return SdCircle(p, c, size * 0.9f);
    case 2: return SdPolygon(p, RegularPolygon({c.X, c.Y + size * 0.15f}, 3, size * 1.15f));
    case 3: return SdRoundBox(p, c, size * 0.8f, size * 0.8f, 2.0f);
    case 4: return SdPolygon(p, RegularPolygon(c, 4, size * 1.1f));
    case 5: return SdPolygon(p, StarPoints(c, 5, size * 1.1f, size * 0.45f));
    case 6:
        return std::min(SdRoundBox(p, c, size * 0.95f, size * 0.3f, 1.5f),
                        SdRoundBox(p, c, size * 0.3f, size * 0.95f, 1.5f));
    default: return std::fabs(SdCircle(p, c, size * 0.75f)) - size * 0.22f; // a ring
    }
}

TImage Symbol(const TColour& base, int colour, uint32_t seed, bool light = false)
{
    TImage img(SkinTextureSize, SkinTextureSize);
    const TColour face = light ? Rgb(0xD9DCE2) : base;
    Paint(img,
          [&](float x, float y)
          {
              const float n = Fbm(x * 0.06f, y * 0.06f, seed, 2);
              return Scaled(face, 0.9f + 0.08f * n + 0.1f * (1.0f - (x + y) / S));
          });
    FaceRim(img, 0.5f, 0.8f);
    if (!light)
    {
        const bool darkMark = Luma(base) > 0.55f;
        const TColour mark = darkMark ? Rgb(0x15171C) : Rgb(0xFFFFFF);
        const TColour rim = darkMark ? Rgb(0xFFFFFF, 0.5f) : Rgb(0x000000, 0.45f);
        FillShape(
            img, [&](TVec2 p) { return SymbolSdf(colour, p, 30.0f) - 1.5f; },
            [&](TVec2) { return rim; });
        FillShape(
            img, [&](TVec2 p) { return SymbolSdf(colour, p, 30.0f); }, [&](TVec2) { return mark; });
    }
    return img;
}

// A splash of paint for the paint cubes: a blob with runs, darker rim, wet highlight.
void Splash(TImage& img, const TColour& paint, int colour, uint32_t seed, int skin)
{
    const TVec2 c{Mid, Mid - 2.0f};
    float phase[5];
    for (int k = 0; k < 5; ++k)
    {
        phase[k] = HashUnit(k, colour, seed) * 2.0f * Pi;
    }
    auto blob = [&](TVec2 p)
    {
        const TVec2 d = p - c;
        const float a = std::atan2(d.Y, d.X);
        float r = 27.0f;
        for (int k = 0; k < 5; ++k)
        {
            r += 3.2f / (1.0f + 0.4f * k) * std::sin(static_cast<float>(k + 3) * a + phase[k]);
        }
        float dist = Length(d) - r;
        // Runs of paint down the face.
        for (int k = 0; k < 3; ++k)
        {
            const float x = c.X - 16.0f + 16.0f * k + 5.0f * HashUnit(k, 11, seed);
            const float len = 18.0f + 16.0f * HashUnit(k, 12, seed);
            dist = std::min(
                dist, SdSegment(p, {x, c.Y + 15.0f}, {x, c.Y + 15.0f + len}, 3.4f - 0.5f * k));
            dist = std::min(dist, SdCircle(p, {x, c.Y + 15.0f + len}, 4.6f - 0.5f * k));
        }
        // A few drops.
        dist = std::min(dist, SdCircle(p, {c.X + 33.0f, c.Y - 24.0f}, 4.0f));
        dist = std::min(dist, SdCircle(p, {c.X - 34.0f, c.Y - 18.0f}, 3.0f));
        return dist;
    };
    const bool lightPaint = Luma(paint) > 0.7f;
    FillShape(
        img, [&](TVec2 p) { return blob(p) - 1.6f; },
        [&](TVec2) {
            return lightPaint ? Rgb(0x303540, 0.8f) : TColour{0, 0, 0, 0.5f};
        });
    FillShape(img, blob,
              [&](TVec2 p) { return Scaled(paint, 1.0f - 0.15f * ((p.Y - c.Y) / 40.0f)); });
    // The wet shine.
    FillShape(
        img,
        [&](TVec2 p) {
            return SdCircle(p, {c.X - 9.0f, c.Y - 10.0f}, 7.0f);
        },
        [&](TVec2 p)
        {
            const float t = Length(p - TVec2{c.X - 11.0f, c.Y - 12.0f}) / 7.0f;
            return TColour{1, 1, 1, 0.55f * (1.0f - t)};
        });
    if (skin == 5)
    {
        const bool darkMark = Luma(paint) > 0.55f;
        FillShape(
            img,
            [&](TVec2 p) {
                return SymbolSdf(colour, p + TVec2{0, 2.0f}, 15.0f);
            },
            [&](TVec2) { return darkMark ? Rgb(0x15171C) : Rgb(0xFFFFFF); });
    }
}

TImage PaintCube(int skin, int colour)
{
    const uint32_t seed = Hash(static_cast<uint32_t>(skin), static_cast<uint32_t>(colour), 77);
    TImage img;
    switch (skin)
    {
    case 1: img = Gem(Rgb(0xE9EDF2), seed); break;
    case 2: img = Wood(TColour{}, seed, true); break;
    case 3: img = Metal(Rgb(0xC8CCD3), seed); break;
    case 4: img = Neon(Rgb(0xFFFFFF), seed, true); break;
    default: img = Symbol(TColour{}, colour, seed, true); break;
    }
    const TColour paint = skin == 5 ? SymbolColours[static_cast<size_t>(colour)]
                                    : CubeColours[static_cast<size_t>(colour)];
    Splash(img, paint, colour, seed, skin);
    return img;
}

// --- the specials, shared by every skin ---
TImage Joker()
{
    TImage img(SkinTextureSize, SkinTextureSize);
    Paint(img,
          [&](float x, float y)
          {
              const float a = std::atan2(y - Mid, x - Mid) + Pi;
              const float sector = a / (2.0f * Pi) * 7.0f;
              const int i = static_cast<int>(sector) % 7;
              const float f = sector - std::floor(sector);
              const TColour c = Lerp(CubeColours[static_cast<size_t>(i + 1)],
                                     CubeColours[static_cast<size_t>((i + 1) % 7 + 1)],
                                     std::clamp((f - 0.7f) / 0.3f, 0.0f, 1.0f));
              const float r = std::sqrt((x - Mid) * (x - Mid) + (y - Mid) * (y - Mid)) / Mid;
              return Lerp(Lerp(TColour{1, 1, 1, 1}, c, std::min(1.0f, r * 1.6f)), Scaled(c, 0.7f),
                          std::max(0.0f, r - 0.85f) * 3.0f);
          });
    const std::vector<TVec2> star = StarPoints({Mid, Mid + 1.0f}, 5, 30.0f, 13.0f);
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, star) - 2.5f; },
        [&](TVec2) { return Rgb(0x7A5A12); });
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, star); },
        [&](TVec2 p) { return Lerp(Rgb(0xFFF6D0), Rgb(0xF0C040), (p.Y - Mid + 30.0f) / 60.0f); });
    FaceRim(img, 0.5f, 1.0f);
    return img;
}

TImage Bomb()
{
    TImage img(SkinTextureSize, SkinTextureSize);
    Paint(img,
          [&](float x, float y)
          {
              const float n = Fbm(x * 0.05f, y * 0.05f, 901, 4);
              const float fine = Fbm(x * 0.4f, y * 0.4f, 902, 2);
              const float sheen = std::exp(-std::pow((x + y - 80.0f) / 40.0f, 2.0f));
              return TColour{0.13f + 0.08f * n + 0.03f * fine + 0.22f * sheen,
                             0.14f + 0.08f * n + 0.03f * fine + 0.22f * sheen,
                             0.17f + 0.09f * n + 0.03f * fine + 0.25f * sheen, 1};
          });
    // A band of hazard stripes round the middle.
    FillShape(
        img, [&](TVec2 p) { return std::fabs(p.Y - Mid) - 9.0f; },
        [&](TVec2 p)
        {
            const bool stripe = std::fmod(p.X + p.Y + 400.0f, 16.0f) < 8.0f;
            return stripe ? Rgb(0xE8B81C) : Rgb(0x1A1A1A);
        });
    FillShape(
        img, [&](TVec2 p) { return std::fabs(std::fabs(p.Y - Mid) - 9.0f) - 0.8f; },
        [&](TVec2) { return Rgb(0x0A0A0A, 0.8f); });
    return img;
}

TImage Shot()
{
    TImage img = Metal(Rgb(0xD4D8DE), 903);
    const TVec2 c{Mid, Mid};
    const TColour red = Rgb(0xD8281E);
    for (int ring = 4; ring >= 1; --ring)
    {
        const TColour colour = (ring % 2 == 0) ? red : Rgb(0xF6F3EC);
        FillShape(
            img, [&](TVec2 p) { return SdCircle(p, c, 9.0f * static_cast<float>(ring)); },
            [&](TVec2) { return colour; });
    }
    FillShape(
        img,
        [&](TVec2 p)
        {
            return std::min(SdSegment(p, {c.X - 44, c.Y}, {c.X + 44, c.Y}, 1.2f),
                            SdSegment(p, {c.X, c.Y - 44}, {c.X, c.Y + 44}, 1.2f));
        },
        [&](TVec2) { return Rgb(0x202228, 0.9f); });
    return img;
}

TImage Stone()
{
    TImage img(SkinTextureSize, SkinTextureSize);
    const float lo = StoneFlatStart * S;
    const float hi = StoneFlatEnd * S;
    Paint(img,
          [&](float x, float y)
          {
              const float n = Fbm(x * 0.04f, y * 0.04f, 904, 5);
              const float speck = HashUnit(static_cast<int>(x), static_cast<int>(y), 905);
              float v = 0.36f + 0.28f * n;
              if (speck > 0.93f)
              {
                  v += 0.12f;
              }
              else if (speck < 0.05f)
              {
                  v -= 0.1f;
              }
              const bool bevel = x < lo || y < lo || x > hi || y > hi;
              if (bevel)
              {
                  v += 0.08f;
              }
              return TColour{v * 1.02f, v * 0.98f, v * 0.92f, 1};
          });
    // Cracks.
    TRng rng(906);
    for (int k = 0; k < 3; ++k)
    {
        TVec2 p{rng.Range(lo + 10, hi - 10), rng.Range(lo + 10, hi - 10)};
        float a = rng.Range(0, 2 * Pi);
        for (int s = 0; s < 7; ++s)
        {
            const TVec2 q{p.X + 6.0f * std::cos(a), p.Y + 6.0f * std::sin(a)};
            FillShape(
                img, [&](TVec2 x) { return SdSegment(x, p, q, 0.6f); },
                [&](TVec2) { return Rgb(0x1C1A18, 0.7f); });
            p = q;
            a += rng.Range(-0.7f, 0.7f);
        }
    }
    FillShape(
        img,
        [&](TVec2 p) {
            return std::fabs(SdRoundBox(p, {Mid, Mid}, (hi - lo) / 2, (hi - lo) / 2, 1.0f)) - 0.7f;
        },
        [&](TVec2) { return Rgb(0x000000, 0.35f); });
    return img;
}
} // namespace

const char* SkinName(int skin)
{
    static const char* const names[] = {"", N_("GEMS"), N_("WOOD"), N_("METAL"), N_("NEON"), N_("SYMBOLS")};
    static_assert(std::size(names) == SkinCount + 1, "a name for every skin");
    return names[std::clamp(skin, 1, SkinCount)];
}

TImage SkinTexture(int skin, int index)
{
    const uint32_t seed = Hash(static_cast<uint32_t>(skin), static_cast<uint32_t>(index), 31);
    if (index >= 0 && index <= 6)
    {
        const int colour = index + 1;
        const TColour base = CubeColours[static_cast<size_t>(colour)];
        switch (skin)
        {
        case 1: return Gem(base, seed);
        case 2: return Wood(base, seed);
        case 3: return Metal(base, seed);
        case 4: return Neon(base, seed);
        default: return Symbol(SymbolColours[static_cast<size_t>(colour)], colour, seed);
        }
    }
    if (index >= 10 && index <= 16)
    {
        return PaintCube(skin, index - 9);
    }
    switch (index)
    {
    case 7: return Joker();
    case 8: return Bomb();
    case 9: return Shot();
    default: return Stone();
    }
}

void MakeSkins(const TOutput& out, const TSources& sources)
{
    TImage sheet(CubeTextureCount * 100, sources.Skins * 100, Rgb(0x303030));
    for (int skin = 1; skin <= sources.Skins; ++skin)
    {
        for (int index = 0; index < CubeTextureCount; ++index)
        {
            const TImage texture = SkinTexture(skin, index);
            out.WriteTga(SkinFile(skin, index), texture);
            sheet.DrawImage(texture, static_cast<float>(index * 100 + 2),
                            static_cast<float>((skin - 1) * 100 + 2), 96.0f / SkinTextureSize);
        }
    }
    out.Preview("skins", sheet);
}
