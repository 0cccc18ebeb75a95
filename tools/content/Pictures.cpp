#include "tools/content/Pictures.h"

#include "tools/content/Illustrate.h"
#include "tools/content/Languages.h"
#include "tools/content/Noise.h"
#include "tools/content/Palette.h"
#include "tools/content/Renders.h"
#include "tools/content/Skins.h"
#include "tools/content/Sprites.h"

#include <cmath>
#include <string>

namespace
{
constexpr float Pi = 3.14159265f;

// A small group of cubes on an isometric grid, drawn back to front. Each entry: grid
// column, row, height (stacked), texture.
struct TIsoCube
{
    float I, J, K;
    int Skin, Index;
};

void DrawIsoGroup(TImage& img, TVec2 origin, float size, std::vector<TIsoCube> cubes)
{
    std::sort(cubes.begin(), cubes.end(),
              [](const TIsoCube& a, const TIsoCube& b)
              { return a.I + a.J + a.K * 0.01f < b.I + b.J + b.K * 0.01f; });
    const float a = size * 0.866f;
    const float b = size * 0.5f;
    for (const TIsoCube& c : cubes)
    {
        const TVec2 at{origin.X + (c.I - c.J) * a, origin.Y + (c.I + c.J) * b - c.K * size};
        DrawIsoCube(img, SkinTexture(c.Skin, c.Index), at, size);
    }
}

TTextStyle BodyStyle(float em)
{
    TTextStyle s;
    s.Font = Sans;
    s.Em = em;
    s.Top = Rgb(0xEEF2FF);
    s.Bottom = Rgb(0xC8D2F0);
    s.ShadowY = 2;
    s.ShadowBlur = 2;
    s.ShadowColour = TColour{0, 0, 0, 0.7f};
    return s;
}

// The widest a line of words may be on a full-screen picture, as the titles are.
constexpr float LineWidth = PictureWidth * 0.9f;

// The loading picture up to its first words: the same in every language.
TImage LoadingBase(const TSources& sources)
{
    const TScreenMap m{PictureWidth, PictureHeight};
    const float unit = m.Unit();
    TImage img = Backdrop(PictureWidth, PictureHeight, 201);
    // Cubes around the title.
    DrawIsoGroup(
        img, {m.X(3.6f), m.Y(3.2f)}, unit * 0.55f,
        {{0, 0, 0, 1, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 1, 0}, {1, 1, 0, 1, 0}, {0, 0, 1, 1, 3}});
    DrawIsoGroup(img, {m.X(-7.3f), m.Y(3.0f)}, unit * 0.5f,
                 {{0, 0, 0, 1, 2}, {1, 0, 0, 1, 5}, {0, 1, 0, 1, 7}, {1, 1, 0, 1, 4}});
    DrawTitle(img, sources, "TANDREL", m.X(-1.8f), m.Y(2.35f), unit * 1.55f);
    return img;
}

TImage Loading(const TSources& sources, TImage img)
{
    const TScreenMap m{PictureWidth, PictureHeight};
    const float unit = m.Unit();
    TTextStyle tag = HeadingStyle(unit * 0.34f);
    tag.Tracking = unit * 0.09f;
    const std::string puzzle = sources.Tr(N_("A PUZZLE OF COLOURED CUBES"));
    tag.Em = FitEm(sources, puzzle, tag, LineWidth);
    DrawText(img, sources, puzzle, m.X(-1.8f), m.Y(1.1f), tag);

    // The lamp track: 30 lamps light from x 1.9 to -5.5 at y -0.28, 0.255 apart.
    TPanelStyle track;
    track.Radius = unit * 0.22f;
    track.Top = Rgb(0x03050C);
    track.Bottom = Rgb(0x121833);
    track.Border = 3;
    track.BorderColour = Gold;
    track.ShadowBlur = 6;
    track.ShadowOffset = 4;
    track.InnerShade = 0.5f;
    DrawPanel(img, m.X(2.17f), m.Y(-0.28f + 0.25f), m.X(-5.77f), m.Y(-0.28f - 0.25f), track);
    for (int i = 0; i < 30; ++i)
    {
        const TVec2 c{m.X(1.9f - 0.255f * static_cast<float>(i)), m.Y(-0.28f)};
        const float r = unit * 0.085f;
        FillShape(
            img, [&](TVec2 p) { return SdCircle(p, c, r + 2.0f); },
            [&](TVec2 p) { return Mix(Rgb(0x6B5226), Rgb(0xE8C77E), (p.Y - c.Y + r) / (2 * r)); });
        FillShape(
            img, [&](TVec2 p) { return SdCircle(p, c, r); },
            [&](TVec2 p) { return Mix(Rgb(0x3A2A14), Rgb(0x0C0804), Length(p - c) / r); });
    }
    TTextStyle small = HeadingStyle(unit * 0.26f);
    small.Tracking = unit * 0.12f;
    const std::string loading = sources.Tr(N_("LOADING"));
    small.Em = FitEm(sources, loading, small, LineWidth);
    DrawText(img, sources, loading, m.X(-1.8f), m.Y(-0.9f), small);

    // A corner of a board with a square about to form.
    const float cell = unit * 0.7f;
    const float bx = m.X(-1.8f) - cell * 2.5f;
    const float by = m.Y(-1.9f);
    DrawMiniBoard(img, bx, by, 5, 3, cell);
    const int colours[3][5] = {{0, 3, 3, 0, 1}, {5, 3, 0, 2, 0}, {6, 0, 0, 3, 4}};
    for (int r = 0; r < 3; ++r)
    {
        for (int c = 0; c < 5; ++c)
        {
            if (colours[r][c] > 0)
            {
                DrawTopCube(img, SkinTexture(1, colours[r][c] - 1),
                            {bx + cell * (c + 0.5f), by + cell * (r + 0.5f)}, cell);
            }
        }
    }
    // The fourth cube of the square on its way, with its path.
    const TImage step = DotImage(1);
    img.DrawImage(step, bx + cell * 2.5f - cell * 0.45f, by + cell * 2.5f - cell * 0.45f,
                  cell * 0.9f / 128.0f);
    img.DrawImage(DotImage(2), bx + cell * 2.5f - cell * 0.45f, by + cell * 1.5f - cell * 0.45f,
                  cell * 0.9f / 128.0f);
    Grain(img, 0.015f, 202);
    return img;
}

// The game-over picture without its words.
TImage GameOverBase()
{
    const TScreenMap m{PictureWidth, PictureHeight};
    const float unit = m.Unit();
    TImage img = Backdrop(PictureWidth, PictureHeight, 203, 0.6f);
    // A tumbled heap of cubes at the foot of the picture.
    TRng rng(204);
    std::vector<TIsoCube> heap;
    for (int k = 0; k < 26; ++k)
    {
        const float i = rng.Range(-4.0f, 4.0f);
        const float j = rng.Range(-1.0f, 1.0f);
        const float height = std::max(0.0f, 1.4f - std::fabs(i + j) * 0.3f) * rng.Uniform();
        heap.push_back({i, j - i, height, 1 + rng.Below(5), rng.Below(7)});
    }
    DrawIsoGroup(img, {m.X(-1.8f), m.Y(-3.3f)}, unit * 0.6f, heap);
    TImage dim(PictureWidth, PictureHeight, TColour{0.02f, 0.0f, 0.05f, 0.35f});
    img.DrawImage(dim, 0, 0);
    return img;
}

TImage GameOver(const TSources& sources, TImage img)
{
    const TScreenMap m{PictureWidth, PictureHeight};
    const float unit = m.Unit();
    DrawTitle(img, sources, sources.Tr(N_("GAME OVER")), m.X(-1.8f), m.Y(1.2f), unit * 1.35f);
    TTextStyle tag = HeadingStyle(unit * 0.3f);
    tag.Tracking = unit * 0.08f;
    const std::string goOn = sources.Tr(N_("PRESS A KEY OR CLICK TO GO ON"));
    tag.Em = FitEm(sources, goOn, tag, LineWidth);
    DrawText(img, sources, goOn, m.X(-1.8f), m.Y(-0.1f), tag);
    Grain(img, 0.015f, 205);
    return img;
}

// One box of the help page, in `column` 0..2 and `row` 0..1 of its grid: a heading, a small
// picture drawn by `draw`, a few lines.
template <class F>
void HelpBox(TImage& img, const TSources& sources, const TScreenMap& m, int column, int row,
             const char* heading, const char* text, F draw)
{
    const float xs[4] = {5.2f, 0.5f, -4.1f, -8.8f};
    const float top[2] = {3.75f, -0.35f};
    const float bottom[2] = {-0.15f, -4.25f};
    // Neighbouring boxes keep 0.2 apart.
    const float x0 = column == 0 ? xs[0] : xs[column] - 0.1f;
    const float x1 = column == 2 ? xs[3] : xs[column + 1] + 0.1f;
    const float y0 = top[row];
    const float y1 = bottom[row];
    const float unit = m.Unit();
    TPanelStyle box;
    box.Radius = unit * 0.18f;
    box.Top = Rgb(0x1C2654, 0.9f);
    box.Bottom = Rgb(0x0D1230, 0.92f);
    box.Border = 2.5f;
    box.BorderColour = Gold;
    box.ShadowBlur = 8;
    box.ShadowOffset = 5;
    box.Gloss = 0.05f;
    const float px0 = m.X(x0);
    const float px1 = m.X(x1);
    const float py0 = m.Y(y0);
    const float py1 = m.Y(y1);
    DrawPanel(img, px0, py0, px1, py1, box);
    const std::string title = sources.Tr(heading);
    TTextStyle headingStyle = HeadingStyle(unit * 0.3f);
    headingStyle.Em = FitEm(sources, title, headingStyle, px1 - px0 - unit * 0.4f);
    DrawText(img, sources, title, (px0 + px1) / 2, py0 + unit * 0.32f, headingStyle);
    draw((px0 + px1) / 2, py0 + unit * 1.35f);
    DrawParagraphIn(img, sources, sources.Tr(text), (px0 + px1) / 2, py0 + unit * 2.35f,
                    px1 - px0 - unit * 0.4f, unit * 0.3f, py1 - unit * 0.12f, BodyStyle(unit * 0.2f),
                    TAlign::Centre);
}

TImage Help(const TSources& sources, const TImage& backdrop)
{
    const TScreenMap m{PictureWidth, PictureHeight};
    const float unit = m.Unit();
    TImage img = backdrop;
    DrawTitle(img, sources, sources.Tr(N_("HOW TO PLAY")), m.X(-1.8f), m.Y(4.45f), unit * 0.8f);
    // A frame of the real game in the box, as large as fits above the text.
    auto shot = [&](const char* render, float widest = 4.1f)
    {
        return [&img, &sources, unit, render, widest](float cx, float cy)
        {
            return DrawRender(img, ReadRender(sources, render), cx, cy, unit * widest, unit * 1.45f);
        };
    };

    HelpBox(img, sources, m, 0, 0, N_("MOVE"),
            N_("Click a cube, then click a free cell. The cube travels there when the way is open; "
               "a red sign means it cannot. Keys: arrows, Enter, Backspace; U takes a move back "
               "(classic game); Esc pauses. Gamepad: d-pad, A, B; Y takes a move back; Start pauses."),
            shot("help-move"));
    HelpBox(img, sources, m, 1, 0, N_("SQUARES"),
            N_("Four cubes of one colour in a square vanish and score. After a move that scores "
               "nothing, new cubes grow where the small ones wait."),
            shot("help-square"));
    HelpBox(img, sources, m, 2, 0, N_("COMBOS"),
            N_("Score with move after move and the points double, triple and more. A move "
               "that scores nothing ends the run."),
            shot("help-combo"));
    HelpBox(img, sources, m, 0, 1, N_("BONUS FIGURE"),
            N_("Build the figure shown on the right, in the same colours and the same way up, "
               "for a bonus. It shows what it is worth."),
            shot("help-figure"));
    HelpBox(img, sources, m, 1, 1, N_("SPECIAL CUBES"),
            N_("A joker fits any colour. Move a bomb to clear its 3 x 3 block, a paint cube to "
               "colour it. Aim a shot at a colour to clear it all."),
            [&](float cx, float cy)
            {
                const TPlaced at = shot("help-specials", 3.5f)(cx, cy - unit * 0.15f);
                const char* names[4] = {N_("JOKER"), N_("BOMB"), N_("PAINT"), N_("SHOT")};
                for (int k = 0; k < 4; ++k)
                {
                    const float x = at.X0 + (at.X1 - at.X0) * (static_cast<float>(k) + 0.5f) / 4;
                    const std::string name = sources.Tr(names[k]);
                    TTextStyle label = HeadingStyle(unit * 0.15f);
                    label.Em = FitEm(sources, name, label, (at.X1 - at.X0) / 4 - unit * 0.05f);
                    DrawText(img, sources, name, x, at.Y1 + unit * 0.2f, label);
                }
            });
    HelpBox(img, sources, m, 2, 1, N_("LEVELS"),
            N_("Fill the bar under the board to reach the next level. The game ends when the "
               "board is full; in the timed game the bar drains away, and it ends when the bar runs empty."),
            shot("help-bar"));
    Grain(img, 0.015f, 207);
    return img;
}

TImage Launcher(const TSources& sources)
{
    // 155 x 145 in the launcher, drawn at twice that for sharp screens.
    const int w = 310;
    const int h = 290;
    TImage img = Backdrop(w, h, 208);
    DrawIsoGroup(img, {155, 88}, 38,
                 {{0, 0, 0, 1, 0},
                  {1, 0, 0, 1, 0},
                  {0, 1, 0, 1, 0},
                  {1, 1, 0, 4, 0},
                  {-1, 1, 0, 1, 3},
                  {1, -1, 0, 1, 5},
                  {0, 0, 1, 1, 7}});
    DrawTitle(img, sources, "TANDREL", 155, 248, 58);
    return img;
}

TImage Icon()
{
    TImage img(64, 64);
    DrawIsoCube(img, SkinTexture(1, 7), {32, 19}, 24);
    // Keep the corners clear for window managers that show the icon on any colour.
    img.MultiplyAlpha(ShapeMask(64, 64,
                                [](TVec2 p) {
                                    return SdRoundBox(p, {32, 32}, 31, 31, 10);
                                }));
    return img;
}
} // namespace

TImage Backdrop(int width, int height, uint32_t seed, float warmth)
{
    TImage img(width, height);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            const float dx = (static_cast<float>(x) - w * 0.5f) / w;
            const float dy = (static_cast<float>(y) - h * 0.1f) / h;
            const float light = std::exp(-(dx * dx * 2.2f + dy * dy * 1.6f));
            const float n =
                Fbm(static_cast<float>(x) * 4.0f / w, static_cast<float>(y) * 4.0f / w, seed, 4);
            const float a = std::atan2(dy, dx);
            const float rays = 0.5f + 0.5f * std::sin(a * 9.0f + 1.3f);
            TColour c = Mix(Rgb(0x070A18), Rgb(0x2A3874), light * (0.75f + 0.25f * n));
            c = Mix(c, Rgb(0x6A1E3A), warmth * light * 0.6f);
            c = Mix(c, Rgb(0x4A5CA8), 0.08f * rays * light);
            img.Set(x, y, c);
        }
    }
    // A scatter of faint sparkles.
    TRng rng(seed + 1);
    for (int i = 0; i < width * height / 6000; ++i)
    {
        const TVec2 p{rng.Range(0, w), rng.Range(0, h)};
        const float r = rng.Range(0.5f, 1.6f);
        FillShape(
            img, p.X - 3, p.Y - 3, p.X + 3, p.Y + 3, [&](TVec2 q) { return SdCircle(q, p, r); },
            [&](TVec2) { return Rgb(0xCFE0FF, rng.Range(0.2f, 0.6f)); });
    }
    Vignette(img, 0.5f);
    return img;
}

TTextStyle HeadingStyle(float em)
{
    TTextStyle s;
    s.Font = SerifCondensedBold;
    s.Em = em;
    s.Top = PaleGold;
    s.Bottom = Gold;
    s.Tracking = em * 0.08f;
    s.ShadowY = 2;
    s.ShadowBlur = 2;
    s.ShadowColour = TColour{0, 0, 0, 0.8f};
    return s;
}

void DrawTitle(TImage& img, const TSources& sources, std::string_view text, float x, float y, float em,
               float width)
{
    TTextStyle s;
    s.Font = SerifBold;
    s.Em = em;
    s.Top = Rgb(0xFFF6D8);
    s.Bottom = Rgb(0xD9A441);
    s.Tracking = em * 0.05f;
    s.Outline = std::max(1.5f, em * 0.025f);
    s.OutlineColour = Rgb(0x2A1A05);
    s.GlowBlur = em * 0.08f;
    s.GlowColour = Rgb(0xF3C360, 0.4f);
    s.ShadowY = em * 0.04f;
    s.ShadowBlur = em * 0.04f;
    s.ShadowColour = TColour{0, 0, 0, 0.75f};
    s.Em = FitEm(sources, text, s, width > 0 ? width : static_cast<float>(img.Width()) * 0.9f);
    DrawText(img, sources, text, x, y, s);
}

void MakePictures(const TOutput& out, const TSources& sources)
{
    // Drawn once up to their first words, which follow in every language.
    const TImage loading = LoadingBase(sources);
    const TImage gameOver = GameOverBase();
    ForEachLanguage(out, sources,
                    [&](const TOutput& o, const TSources& s)
                    {
                        o.WriteJpeg("Images/loading.jpg",
                                    Drawn("Images/loading.jpg", s, [&] { return Loading(s, loading); }),
                                    90);
                        o.WriteJpeg(
                            "Images/gameover.jpg",
                            Drawn("Images/gameover.jpg", s, [&] { return GameOver(s, gameOver); }), 90);
                    });
    out.WriteJpeg("Images/launcher.jpg", Launcher(sources), 92);
    out.WriteTga("Images/icon.tga", Icon());
}

void MakeHelp(const TOutput& out, const TSources& sources)
{
    const TImage backdrop = Backdrop(PictureWidth, PictureHeight, 206);
    ForEachLanguage(out, sources,
                    [&](const TOutput& o, const TSources& s)
                    {
                        o.WriteJpeg("Images/help.jpg",
                                    Drawn("Images/help.jpg", s, [&] { return Help(s, backdrop); }), 92);
                    });
}
