#include "tools/content/Room.h"

#include "tools/content/Noise.h"
#include "tools/content/Paint.h"
#include "tools/content/Palette.h"
#include "tools/content/Shapes.h"
#include "tools/content/Skins.h"

#include <cmath>

namespace
{
constexpr float Pi = 3.14159265f;
constexpr float PerUnit = 50.0f; // texture pixels per world unit

// Wooden planks running across the floor, joints staggered.
void Planks(TImage& img, uint32_t seed)
{
    const float plank = 0.55f * PerUnit;
    for (int y = 0; y < img.Height(); ++y)
    {
        const int row = static_cast<int>(static_cast<float>(y) / plank);
        const float inRow = static_cast<float>(y) - static_cast<float>(row) * plank;
        const float offset = HashUnit(row, 0, seed) * 4.0f * PerUnit;
        for (int x = 0; x < img.Width(); ++x)
        {
            const float fx = static_cast<float>(x) + offset;
            const float length = 3.2f * PerUnit;
            const int piece = static_cast<int>(fx / length);
            const float inPiece = fx - static_cast<float>(piece) * length;
            const float tone = 0.8f + 0.35f * HashUnit(row, piece, seed + 1);
            const float grain = Fbm(fx * 0.01f, static_cast<float>(y) * 0.35f, seed + 2, 3);
            TColour c = Scaled(Mix(Rgb(0x5A3A22), Rgb(0x8A5E38), grain), tone);
            if (inRow < 1.5f || inPiece < 1.5f)
            {
                c = Scaled(c, 0.45f);
            }
            img.Set(x, y, c);
        }
    }
}

// A rug under the board: a deep blue field, a red border with gold lines, a diamond pattern.
void Rug(TImage& img, float cx, float cy, float hw, float hh)
{
    const float border = 1.2f * PerUnit;
    FillShape(
        img,
        [&](TVec2 p) {
            return SdRoundBox(p, {cx, cy}, hw, hh, 6.0f);
        },
        [&](TVec2 p)
        {
            const float dx = hw - std::fabs(p.X - cx);
            const float dy = hh - std::fabs(p.Y - cy);
            const float d = std::min(dx, dy);
            const float n = Fbm(p.X * 0.08f, p.Y * 0.08f, 71, 2);
            if (d < border)
            {
                const bool line =
                    std::fabs(d - border * 0.15f) < 3.0f || std::fabs(d - border * 0.85f) < 3.0f;
                if (line)
                {
                    return Scaled(Gold, 0.8f + 0.2f * n);
                }
                // A running chain of diamonds in the border.
                const float along = (dx < dy ? p.Y : p.X) / (border * 0.7f);
                const float across = (d - border * 0.5f) / (border * 0.3f);
                const float f = along - std::floor(along) - 0.5f;
                const bool diamond = std::fabs(f) * 2.0f + std::fabs(across) < 0.8f;
                return Scaled(diamond ? Rgb(0xD9A441) : Rgb(0x7A1C22), 0.8f + 0.25f * n);
            }
            const float u = (p.X - cx) / (1.4f * PerUnit);
            const float v = (p.Y - cy) / (1.4f * PerUnit);
            const float fu = u - std::floor(u) - 0.5f;
            const float fv = v - std::floor(v) - 0.5f;
            const bool motif = std::fabs(std::fabs(fu) + std::fabs(fv) - 0.3f) < 0.05f;
            return Scaled(motif ? Rgb(0x3C4C8C) : Rgb(0x1A2352), 0.8f + 0.3f * n);
        });
}

void Wallpaper(TImage& img, uint32_t seed)
{
    const float cell = 1.1f * PerUnit;
    for (int y = 0; y < img.Height(); ++y)
    {
        for (int x = 0; x < img.Width(); ++x)
        {
            const float u = static_cast<float>(x) / cell;
            const float v = static_cast<float>(y) / cell;
            const float fu = u - std::floor(u) - 0.5f;
            const float fv = v - std::floor(v) - 0.5f;
            // Ogee lattice and a small flower in each cell.
            const float lattice = std::fabs(std::fabs(fu) + std::fabs(fv) * 0.8f - 0.45f +
                                            0.05f * std::sin(fv * 12.0f));
            const float flower = std::sqrt(fu * fu + fv * fv) -
                                 (0.08f + 0.03f * std::cos(std::atan2(fv, fu) * 5.0f));
            const float n =
                Fbm(static_cast<float>(x) * 0.02f, static_cast<float>(y) * 0.02f, seed, 3);
            TColour c = Scaled(Rgb(0x1E2A52), 0.85f + 0.25f * n);
            if (lattice < 0.025f)
            {
                c = Mix(c, Rgb(0x5869A8), 0.6f);
            }
            if (flower < 0.0f)
            {
                c = Mix(c, Gold, 0.55f);
            }
            img.Set(x, y, c);
        }
    }
}

// Dark wooden panelling below the chair rail, skirting at the foot, moulding at the top.
void Panelling(TImage& img, uint32_t seed)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    const float rail = h * 0.76f;
    FillShape(
        img, 0, rail, w, h, [&](TVec2 p) { return rail - p.Y; },
        [&](TVec2 p)
        {
            const float grain = Fbm(p.X * 0.2f, p.Y * 0.01f, seed, 3);
            return Mix(Rgb(0x2E1B10), Rgb(0x4C3020), grain);
        });
    const float panelW = 2.4f * PerUnit;
    const float gap = 0.3f * PerUnit;
    const int count = static_cast<int>((w - gap) / (panelW + gap));
    const float start = (w - static_cast<float>(count) * (panelW + gap) + gap) / 2.0f;
    for (int k = 0; k < count; ++k)
    {
        const float x = start + static_cast<float>(k) * (panelW + gap);
        TPanelStyle s;
        s.Radius = 4;
        s.Top = Rgb(0x3B2416);
        s.Bottom = Rgb(0x2A190E);
        s.Border = 3;
        s.BorderColour = Rgb(0x6A4428);
        s.ShadowBlur = 2;
        s.ShadowOffset = 2;
        s.InnerShade = 0.3f;
        DrawPanel(img, x, rail + 0.35f * PerUnit, x + panelW, h - 0.55f * PerUnit, s);
    }
    FillShape(
        img, 0, rail - 8, w, rail + 12, [&](TVec2 p) { return std::fabs(p.Y - rail - 2) - 8; },
        [&](TVec2 p) { return Mix(Rgb(0xA27A48), Rgb(0x4A3018), (p.Y - rail + 6) / 16); });
    FillShape(
        img, 0, h - 0.4f * PerUnit, w, h, [&](TVec2 p) { return h - 0.4f * PerUnit - p.Y; },
        [&](TVec2 p) {
            return Mix(Rgb(0x5A3A20), Rgb(0x1E120A),
                       (p.Y - (h - 0.4f * PerUnit)) / (0.4f * PerUnit));
        });
    FillShape(
        img, 0, 0, w, 0.5f * PerUnit, [&](TVec2 p) { return p.Y - 0.5f * PerUnit; },
        [&](TVec2 p) { return Mix(Rgb(0xE8CC8A), Rgb(0x6A4A20), p.Y / (0.5f * PerUnit)); });
}

// A tall window onto a starry night, with curtains.
void Window(TImage& img, float cx, float top, float width, float height, uint32_t seed)
{
    const float x0 = cx - width / 2;
    const float x1 = cx + width / 2;
    const float y1 = top + height;
    TPanelStyle frame;
    frame.Radius = 6;
    frame.Top = Rgb(0x5A3A22);
    frame.Bottom = Rgb(0x3A2414);
    frame.Border = 3;
    frame.BorderColour = Rgb(0x8A6038);
    frame.ShadowBlur = 8;
    frame.ShadowOffset = 6;
    DrawPanel(img, x0 - 14, top - 14, x1 + 14, y1 + 14, frame);
    TRng rng(seed);
    FillShape(
        img, x0, top, x1, y1,
        [&](TVec2 p) {
            return SdRoundBox(p, {cx, top + height / 2}, width / 2, height / 2, 2);
        },
        [&](TVec2 p)
        {
            const float t = (p.Y - top) / height;
            TColour sky = Mix(Rgb(0x070B24), Rgb(0x3A2A6A), std::pow(t, 1.6f));
            const float hill = y1 - height * (0.12f + 0.05f * std::sin(p.X * 0.02f + 1.0f) +
                                              0.03f * std::sin(p.X * 0.057f));
            if (p.Y > hill)
            {
                sky = Rgb(0x05060E);
            }
            return sky;
        });
    // Stars and a moon.
    for (int i = 0; i < 90; ++i)
    {
        const TVec2 s{rng.Range(x0, x1), rng.Range(top, top + height * 0.7f)};
        const float r = rng.Range(0.6f, 1.8f);
        FillShape(
            img, s.X - 3, s.Y - 3, s.X + 3, s.Y + 3, [&](TVec2 p) { return SdCircle(p, s, r); },
            [&](TVec2) { return Rgb(0xFFF6E0, 0.9f); });
    }
    const TVec2 moon{x0 + width * 0.7f, top + height * 0.22f};
    const float moonR = width * 0.09f;
    DrawSoftShape(
        img, moon.X - moonR, moon.Y - moonR, moon.X + moonR, moon.Y + moonR,
        [&](TVec2 p) { return SdCircle(p, moon, moonR); }, Rgb(0xFFF2C8, 0.8f), width * 0.06f);
    FillShape(
        img, [&](TVec2 p) { return SdCircle(p, moon, moonR); },
        [&](TVec2) { return Rgb(0xFFF2C8); });
    // Mullions.
    FillShape(
        img, x0, top, x1, y1,
        [&](TVec2 p) {
            return std::min(std::fabs(p.X - cx) - 5.0f,
                            std::fabs(p.Y - (top + height * 0.45f)) - 5.0f);
        },
        [&](TVec2) { return Rgb(0x4A3020); });
    // Curtains: folds of red velvet at both sides.
    for (int side = -1; side <= 1; side += 2)
    {
        const float inner = cx + static_cast<float>(side) * (width / 2 - width * 0.12f);
        const float outer = cx + static_cast<float>(side) * (width / 2 + width * 0.22f);
        const float l = std::min(inner, outer);
        const float r = std::max(inner, outer);
        FillShape(
            img, l, top - 30, r, y1 + 40,
            [&](TVec2 p)
            {
                const float sway = 10.0f * std::sin((p.Y - top) * 0.01f);
                return std::max(l + (side < 0 ? 0 : sway) - p.X, p.X - r - (side > 0 ? 0 : sway));
            },
            [&](TVec2 p)
            {
                const float fold = 0.5f + 0.5f * std::sin(p.X * 0.09f + std::sin(p.Y * 0.01f));
                return Scaled(Rgb(0x8A1E2A), 0.45f + 0.7f * fold);
            });
    }
    FillShape(
        img, x0 - width * 0.3f, top - 44, x1 + width * 0.3f, top - 26,
        [&](TVec2 p) { return std::fabs(p.Y - (top - 35)) - 6; },
        [&](TVec2 p) { return Mix(Rgb(0xF0D090), Rgb(0x7A5520), (p.Y - top + 41) / 12); });
}

// A framed picture of cubes: a square of four and a few loose ones.
void Painting(TImage& img, float cx, float cy, float width, float height, int skin, int turn)
{
    TPanelStyle frame;
    frame.Radius = 4;
    frame.Top = Rgb(0xF1D08A);
    frame.Bottom = Rgb(0x8A6226);
    frame.Border = 3;
    frame.BorderColour = Rgb(0xFFE9B0);
    frame.ShadowBlur = 8;
    frame.ShadowOffset = 6;
    DrawPanel(img, cx - width / 2 - 18, cy - height / 2 - 18, cx + width / 2 + 18,
              cy + height / 2 + 18, frame);
    TPanelStyle canvas;
    canvas.Radius = 2;
    canvas.Top = Rgb(0x1A2148);
    canvas.Bottom = Rgb(0x0C1028);
    canvas.Border = 0;
    canvas.ShadowBlur = 0;
    canvas.ShadowOffset = 0;
    canvas.InnerShade = 0.4f;
    DrawPanel(img, cx - width / 2, cy - height / 2, cx + width / 2, cy + height / 2, canvas);
    const float cube = std::min(width, height) * 0.22f;
    const TImage face = SkinTexture(skin, turn % 7);
    for (int k = 0; k < 4; ++k)
    {
        const float x = cx - cube + static_cast<float>(k % 2) * cube - cube * 0.5f + cube * 0.5f;
        const float y = cy - cube + static_cast<float>(k / 2) * cube;
        img.DrawImage(face, x - cube / 2 + cube * 0.05f, y - cube / 2 + cube * 0.55f,
                      cube / SkinTextureSize * 0.95f);
    }
    const TImage other = SkinTexture(skin, (turn + 3) % 7);
    img.DrawImage(other, cx + width * 0.25f, cy - height * 0.35f, cube * 0.7f / SkinTextureSize);
    const TImage third = SkinTexture(skin, (turn + 5) % 7);
    img.DrawImage(third, cx - width * 0.42f, cy + height * 0.18f, cube * 0.6f / SkinTextureSize);
}

TImage Wall(int index)
{
    const bool longWall = index >= 3;
    TImage img(static_cast<int>((longWall ? 28.0f : 24.0f) * PerUnit),
               static_cast<int>(12.0f * PerUnit));
    const uint32_t seed = 80 + static_cast<uint32_t>(index);
    Wallpaper(img, seed);
    Panelling(img, seed);
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    if (index == 1 || index == 3)
    {
        Window(img, w / 2, h * 0.16f, 5.0f * PerUnit, 5.2f * PerUnit, seed);
    }
    else
    {
        Painting(img, w * 0.3f, h * 0.42f, 4.2f * PerUnit, 3.2f * PerUnit, 1 + index % 5, index);
        Painting(img, w * 0.7f, h * 0.42f, 4.2f * PerUnit, 3.2f * PerUnit, 1 + (index + 2) % 5,
                 index + 2);
    }
    Vignette(img, 0.35f);
    Grain(img, 0.02f, seed);
    return img;
}

TImage Floor()
{
    TImage img(static_cast<int>(28.0f * PerUnit), static_cast<int>(24.0f * PerUnit));
    Planks(img, 90);
    const float cx = static_cast<float>(img.Width()) / 2;
    const float cy = static_cast<float>(img.Height()) / 2;
    DrawSoftShape(
        img, cx - 9.5f * PerUnit, cy - 7.6f * PerUnit, cx + 9.5f * PerUnit, cy + 7.6f * PerUnit,
        [&](TVec2 p) {
            return SdRoundBox(p, {cx, cy}, 9.5f * PerUnit, 7.6f * PerUnit, 10);
        },
        TColour{0, 0, 0, 0.6f}, 10.0f);
    Rug(img, cx, cy, 9.4f * PerUnit, 7.5f * PerUnit);
    Vignette(img, 0.5f);
    Grain(img, 0.02f, 91);
    return img;
}
} // namespace

void MakeRoom(const TOutput& out, const TSources&)
{
    out.WriteJpeg("Images/floor.jpg", Floor(), 88);
    for (int i = 1; i <= 4; ++i)
    {
        out.WriteJpeg("Images/wall" + std::to_string(i) + ".jpg", Wall(i), 88);
    }
}
