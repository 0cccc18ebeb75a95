#include "tools/content/Board.h"

#include "tools/content/Languages.h"
#include "tools/content/Noise.h"
#include "tools/content/Paint.h"
#include "tools/content/Palette.h"
#include "tools/content/Pictures.h"

#include <cmath>
#include <string>

namespace
{
// The velvet mat the board lies on: deep blue with a faint woven lattice.
void Mat(TImage& img)
{
    FillGradient(img, Rgb(0x1B2550), Rgb(0x090D1D));
    for (int y = 0; y < img.Height(); ++y)
    {
        for (int x = 0; x < img.Width(); ++x)
        {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float n = Fbm(fx * 0.006f, fy * 0.006f, 11, 4);
            const float weave =
                0.5f + 0.5f * std::sin((fx + fy) * 0.09f) * std::sin((fx - fy) * 0.09f);
            const float k = 0.82f + 0.3f * n + 0.035f * weave;
            float* p = img.Pixel(x, y);
            p[0] *= k;
            p[1] *= k;
            p[2] *= k;
        }
    }
    // A faint lattice of diamonds.
    const float step = 96.0f;
    FillShape(
        img,
        [&](TVec2 p)
        {
            const float a = std::fmod(p.X + p.Y + 10000.0f, step);
            const float b = std::fmod(p.X - p.Y + 10000.0f, step);
            return std::min(std::min(a, step - a), std::min(b, step - b)) - 0.6f;
        },
        [&](TVec2) { return Rgb(0x8CA0E0, 0.05f); });
    Vignette(img, 0.45f);
}

void Board(TImage& img, const TScreenMap& m)
{
    const float left = m.X(4.5f);
    const float right = m.X(-4.5f);
    const float top = m.Y(4.5f);
    const float bottom = m.Y(-4.5f);
    const float unit = m.Unit();

    // The gilded frame with its shadow on the mat, round a dark well that is widest where
    // the perspective leans the cubes furthest out.
    TPanelStyle frame = GildedFrame(unit * 0.16f, 2.0f);
    frame.ShadowBlur = unit * 0.12f;
    frame.ShadowOffset = unit * 0.08f;
    frame.ShadowColour = TColour{0, 0, 0, 0.7f};
    DrawPanel(img, m.X(FrameWellLeft + FrameRim), m.Y(FrameWellTop + FrameRim),
              m.X(FrameWellRight - FrameRim), m.Y(FrameWellBottom - FrameRim), frame);
    TPanelStyle well;
    well.Radius = unit * 0.06f;
    well.Top = Rgb(0x05070F);
    well.Bottom = Rgb(0x0B1022);
    well.Border = 1.5f;
    well.BorderColour = Rgb(0x5A4520);
    well.ShadowBlur = 0;
    well.ShadowOffset = 0;
    DrawPanel(img, m.X(FrameWellLeft), m.Y(FrameWellTop), m.X(FrameWellRight),
              m.Y(FrameWellBottom), well);

    // The 81 cells: slightly raised slate tiles, a quiet checker to help the eye count.
    for (int cy = 0; cy < 9; ++cy)
    {
        for (int cx = 0; cx < 9; ++cx)
        {
            const float x0 = m.X(4.5f - static_cast<float>(cx));
            const float x1 = m.X(3.5f - static_cast<float>(cx));
            const float y0 = m.Y(4.5f - static_cast<float>(cy));
            const float y1 = m.Y(3.5f - static_cast<float>(cy));
            const float tone = ((cx + cy) % 2 == 0) ? 1.0f : 0.9f;
            const TVec2 c{(x0 + x1) / 2, (y0 + y1) / 2};
            const float h = (x1 - x0) / 2;
            FillShape(
                img, x0, y0, x1, y1, [&](TVec2 p) { return SdRoundBox(p, c, h, h, 3.0f); },
                [&](TVec2 p)
                {
                    const float t = ((p.X - x0) + (p.Y - y0)) / (2 * h * 2);
                    const float n = Fbm(p.X * 0.05f, p.Y * 0.05f, 21, 2);
                    const TColour a = Scaled(Rgb(0x2C3A74), tone * (0.92f + 0.12f * n));
                    const TColour b = Scaled(Rgb(0x1A244C), tone * (0.92f + 0.12f * n));
                    TColour col = Mix(a, b, t);
                    // Bevel: light on the upper left rim, shade on the lower right.
                    const float dl = std::min(p.X - x0, p.Y - y0);
                    const float dr = std::min(x1 - p.X, y1 - p.Y);
                    const float bevel = h * 0.12f;
                    if (dl < bevel)
                    {
                        col = Mix(col, Rgb(0x7F93D8), 0.35f * (1.0f - dl / bevel));
                    }
                    if (dr < bevel)
                    {
                        col = Mix(col, Rgb(0x05070F), 0.45f * (1.0f - dr / bevel));
                    }
                    return col;
                });
        }
    }

    // Grid lines on the cell borders: thin, luminous, with a faint halo.
    TImage lines(img.Width(), img.Height());
    const float half = std::max(1.2f, unit * 0.012f);
    auto gridSdf = [&](TVec2 p)
    {
        float d = 1e9f;
        for (int k = 0; k <= 9; ++k)
        {
            const float gx = m.X(4.5f - static_cast<float>(k));
            const float gy = m.Y(4.5f - static_cast<float>(k));
            if (p.Y >= top - half && p.Y <= bottom + half)
            {
                d = std::min(d, std::fabs(p.X - gx) - half);
            }
            if (p.X >= left - half && p.X <= right + half)
            {
                d = std::min(d, std::fabs(p.Y - gy) - half);
            }
        }
        return d;
    };
    FillShape(lines, left - 8, top - 8, right + 8, bottom + 8, gridSdf,
              [&](TVec2) { return Rgb(0xA9C8FF); });
    TImage halo = lines;
    halo.Blur(unit * 0.03f);
    img.DrawImage(halo, 0, 0, 1.0f, 0.5f);
    img.DrawImage(lines, 0, 0, 1.0f, 0.85f);
}

// A gold-rimmed recess in the panel or the mat, shaded darker under its top edge.
TPanelStyle Recess(float radius, const TColour& top, const TColour& bottom, float innerShade)
{
    TPanelStyle s;
    s.Radius = radius;
    s.Top = top;
    s.Bottom = bottom;
    s.Border = 2.5f;
    s.BorderColour = Gold;
    s.ShadowBlur = 3;
    s.ShadowOffset = 2;
    s.InnerShade = innerShade;
    return s;
}

// An ivory window for the purple numbers of the game display.
void Window(TImage& img, const TScreenMap& m, float x0, float x1, float y, float halfHeight)
{
    DrawPanel(img, m.X(x0), m.Y(y + halfHeight), m.X(x1), m.Y(y - halfHeight),
              Recess(m.Unit() * 0.1f, Rgb(0xE9E1CB), Rgb(0xFBF7EC), 0.25f));
}

// A caption of the side panel centred at (x, y), at most `width` units wide.
void Caption(TImage& img, const TSources& sources, const TScreenMap& m, const char* text, float x,
             float y, float width)
{
    TTextStyle s = HeadingStyle(m.Unit() * 0.31f);
    s.Tracking = m.Unit() * 0.03f;
    const std::string words = sources.Tr(text);
    s.Em = FitEm(sources, words, s, width * m.Unit());
    DrawText(img, sources, words, m.X(x), m.Y(y), s);
}

// The widest a caption across the side panel may be, in units: the panel less its rims.
constexpr float CaptionWidth = 3.6f;

void Panel(TImage& img, const TSources& sources, const TScreenMap& m)
{
    const float unit = m.Unit();
    TPanelStyle panel;
    panel.Radius = unit * 0.25f;
    panel.Top = Rgb(0x1C2654, 0.92f);
    panel.Bottom = Rgb(0x0D1230, 0.95f);
    panel.Border = 3.0f;
    panel.BorderColour = Gold;
    panel.ShadowBlur = unit * 0.1f;
    panel.ShadowOffset = unit * 0.06f;
    panel.ShadowColour = TColour{0, 0, 0, 0.65f};
    panel.Gloss = 0.06f;
    DrawPanel(img, m.X(-4.77f), m.Y(5.0f), m.X(-8.86f), m.Y(-5.45f), panel);

    // The name of the game at the head of the panel.
    TTextStyle title;
    title.Font = SerifBold;
    title.Em = unit * 0.62f;
    title.Top = Rgb(0xFFF1C8);
    title.Bottom = Rgb(0xD9A441);
    title.Tracking = unit * 0.04f;
    title.GlowBlur = unit * 0.06f;
    title.GlowColour = Rgb(0xF3C360, 0.35f);
    title.ShadowY = 3;
    title.ShadowBlur = 3;
    DrawText(img, sources, "TANDREL", m.X(-6.79f), m.Y(4.5f), title);
    FillShape(
        img,
        [&](TVec2 p) {
            return SdSegment(p, {m.X(-5.3f), m.Y(4.08f)}, {m.X(-8.28f), m.Y(4.08f)}, 1.0f);
        },
        [&](TVec2 p)
        {
            const float t = std::fabs(p.X - m.X(-6.79f)) / (m.X(-8.28f) - m.X(-6.79f));
            return WithAlpha(Gold, 0.9f * (1.0f - t));
        });

    // Level: the number starts at x -6.75, y 3.6.
    // Between the panel's rim and the level's window.
    Caption(img, sources, m, N_("LEVEL"), -5.62f, 3.6f, 1.5f);
    Window(img, m, -6.55f, -8.5f, 3.6f, 0.33f);
    // Score: written around x -6.9 at y 1.93.
    Caption(img, sources, m, N_("SCORE"), -6.79f, 2.64f, CaptionWidth);
    Window(img, m, -5.25f, -8.5f, 1.93f, 0.33f);
    // The five bonus lamps from x -6.388 at y 0.527, 0.289 apart, captioned above their
    // strip as the score is above its window: beside it the word reaches the panel's rim.
    Caption(img, sources, m, N_("BONUS"), -6.965f, 1.15f, CaptionWidth);
    TPanelStyle strip;
    strip.Radius = unit * 0.2f;
    strip.Top = Rgb(0x05070F);
    strip.Bottom = Rgb(0x10162E);
    strip.Border = 2.0f;
    strip.BorderColour = Rgb(0x8E6B2C);
    strip.ShadowBlur = 0;
    strip.ShadowOffset = 0;
    strip.InnerShade = 0.4f;
    DrawPanel(img, m.X(-6.17f), m.Y(0.527f + 0.24f), m.X(-7.76f), m.Y(0.527f - 0.24f), strip);
    for (int j = 0; j < 5; ++j)
    {
        const TVec2 c{m.X(-6.387875f - 0.289f * static_cast<float>(j)), m.Y(0.5266875f)};
        const float r = unit * 0.1f;
        FillShape(
            img, [&](TVec2 p) { return SdCircle(p, c, r + 2.5f); },
            [&](TVec2 p)
            {
                const float t = (p.Y - c.Y + r) / (2 * r);
                return Mix(Rgb(0x6B5226), Rgb(0xE8C77E), t);
            });
        FillShape(
            img, [&](TVec2 p) { return SdCircle(p, c, r); },
            [&](TVec2 p)
            {
                const float t = Length(p - TVec2{c.X - r * 0.3f, c.Y - r * 0.3f}) / (r * 1.4f);
                return Mix(Rgb(0x3A2A14), Rgb(0x0C0804), t);
            });
    }
    // The bonus figure: its cells gather around (-6.91, -2.09); its value follows at
    // (-6.4, -3.5), on an ivory strip at the foot of the same card.
    Caption(img, sources, m, N_("FIGURE"), -6.95f, -0.3f, CaptionWidth);
    DrawPanel(img, m.X(-5.72f), m.Y(-0.56f), m.X(-8.2f), m.Y(-3.86f),
              Recess(unit * 0.14f, Rgb(0x070A17), Rgb(0x141B3C), 0.35f));
    // A soft light in the middle of the card, where the figure floats.
    FillShape(
        img, m.X(-5.72f), m.Y(-0.56f), m.X(-8.2f), m.Y(-3.2f),
        [&](TVec2 p)
        {
            return SdRoundBox(p, {m.X(-6.96f), m.Y(-1.88f)}, (m.X(-8.2f) - m.X(-5.72f)) / 2 - 4,
                              (m.Y(-3.2f) - m.Y(-0.56f)) / 2 - 4, 8);
        },
        [&](TVec2 p)
        {
            const float d = Length(p - TVec2{m.X(-6.91f), m.Y(-2.09f)}) / (unit * 1.3f);
            return Rgb(0x4A64C8, 0.28f * std::max(0.0f, 1.0f - d));
        });
    Window(img, m, -5.82f, -8.1f, -3.52f, 0.27f);
    // A recess at the foot of the panel where the in-game menu button sits.
    TPanelStyle slot = strip;
    slot.Radius = unit * 0.16f;
    DrawPanel(img, m.X(-5.45f), m.Y(-4.25f), m.X(-8.05f), m.Y(-4.95f), slot);
}

// The groove the progress bar runs in: from its cap at x 4.75 to the full end at -4.24.
void Groove(TImage& img, const TScreenMap& m)
{
    DrawPanel(img, m.X(4.84f), m.Y(-5.33f + 0.25f), m.X(-4.34f), m.Y(-5.33f - 0.25f),
              Recess(m.Unit() * 0.24f, Rgb(0x020308), Rgb(0x111733), 0.5f));
    // Quarter marks along the groove.
    for (int k = 1; k < 4; ++k)
    {
        const float x = m.X(4.51f - 8.75f * static_cast<float>(k) / 4.0f);
        FillShape(
            img,
            [&](TVec2 p) {
                return SdSegment(p, {x, m.Y(-5.33f + 0.2f)}, {x, m.Y(-5.33f - 0.2f)}, 0.8f);
            },
            [&](TVec2) { return Rgb(0x8E6B2C, 0.7f); });
    }
}
} // namespace

namespace
{
// The mat and the board, the same in every language.
TImage BackgroundBoard()
{
    const TScreenMap m{BackgroundWidth, BackgroundHeight};
    TImage img(BackgroundWidth, BackgroundHeight);
    Mat(img);
    Board(img, m);
    return img;
}

TImage DrawBackground(const TSources& sources, TImage img)
{
    const TScreenMap m{BackgroundWidth, BackgroundHeight};
    Panel(img, sources, m);
    Groove(img, m);
    Grain(img, 0.015f, 5);
    return img;
}
} // namespace

TImage DrawBackground(const TSources& sources)
{
    return DrawBackground(sources, BackgroundBoard());
}

void MakeBackground(const TOutput& out, const TSources& sources)
{
    const TImage board = BackgroundBoard();
    ForEachLanguage(out, sources,
                    [&](const TOutput& o, const TSources& s)
                    {
                        o.WriteJpeg("Images/background.jpg",
                                    Drawn("Images/background.jpg", s,
                                          [&] { return DrawBackground(s, board); }),
                                    92);
                    });
}
