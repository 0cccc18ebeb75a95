#include "Tutorial.h"

#include "Illustrate.h"
#include "Noise.h"
#include "Palette.h"
#include "Pictures.h"
#include "Skins.h"
#include "Sprites.h"

#include <cctype>
#include <cmath>
#include <utility>
#include <string>
#include <vector>

namespace
{
// A piece of board written as rows of letters:
//   R G B Y P C W  cubes of colours 1..7      r g b y p c w  small (announced) cubes
//   J joker   X bomb   T shot   O stone       1..7 paint cubes of that colour   . empty
struct TDiagram
{
    std::vector<std::string> Rows;
    TVec2 Centre;
    float Cell;

    int Columns() const { return static_cast<int>(Rows[0].size()); }
    int RowCount() const { return static_cast<int>(Rows.size()); }
    TVec2 At(float column, float row) const
    {
        return {Centre.X + (column - static_cast<float>(Columns()) / 2.0f + 0.5f) * Cell,
                Centre.Y + (row - static_cast<float>(RowCount()) / 2.0f + 0.5f) * Cell};
    }
};

int ColourOf(char c)
{
    const std::string colours = "RGBYPCW";
    const size_t i = colours.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return i == std::string::npos ? 0 : static_cast<int>(i) + 1;
}

void DrawDiagram(TImage& img, const TDiagram& d)
{
    const TVec2 corner = d.At(-0.5f, -0.5f);
    DrawMiniBoard(img, corner.X, corner.Y, d.Columns(), d.RowCount(), d.Cell);
    for (int r = 0; r < d.RowCount(); ++r)
    {
        for (int c = 0; c < d.Columns(); ++c)
        {
            const char ch = d.Rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
            const TVec2 at = d.At(static_cast<float>(c), static_cast<float>(r));
            int index = -1;
            float scale = 0.8f;
            if (ch >= 'A' && ch <= 'Z' && ColourOf(ch) > 0)
            {
                index = ColourOf(ch) - 1;
            }
            else if (ch >= 'a' && ch <= 'z' && ColourOf(ch) > 0)
            {
                index = ColourOf(ch) - 1;
                scale = 0.3f;
            }
            else if (ch >= '1' && ch <= '7')
            {
                index = 10 + (ch - '1');
            }
            else
            {
                const std::string specials = "JXT";
                const size_t k = specials.find(ch);
                if (k != std::string::npos)
                {
                    index = 7 + static_cast<int>(k);
                }
                else if (ch == 'O')
                {
                    index = 17;
                }
            }
            if (index >= 0)
            {
                DrawTopCube(img, SkinTexture(1, index), at, d.Cell, scale);
            }
        }
    }
}

void Mark(TImage& img, const TDiagram& d, int kind, float column, float row)
{
    const TVec2 at = d.At(column, row);
    img.DrawImage(DotImage(kind), at.X - d.Cell * 0.45f, at.Y - d.Cell * 0.45f,
                  d.Cell * 0.9f / 128.0f);
}

// A glowing frame round a block of cells: what vanishes or what counts.
void Ring(TImage& img, const TDiagram& d, float c0, float r0, float c1, float r1,
          const TColour& colour)
{
    const TVec2 a = d.At(c0 - 0.5f, r0 - 0.5f);
    const TVec2 b = d.At(c1 + 0.5f, r1 + 0.5f);
    const TVec2 c{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
    auto sdf = [&](TVec2 p)
    {
        return std::fabs(SdRoundBox(p, c, (b.X - a.X) / 2, (b.Y - a.Y) / 2, d.Cell * 0.15f)) - 2.5f;
    };
    DrawSoftShape(img, a.X - 6, a.Y - 6, b.X + 6, b.Y + 6, sdf, WithAlpha(colour, 0.9f),
                  d.Cell * 0.08f);
    FillShape(img, a.X - 6, a.Y - 6, b.X + 6, b.Y + 6, sdf,
              [&](TVec2) {
                  return Mix(colour, TColour{1, 1, 1, 1}, 0.4f);
              });
}

// A fat arrow pointing right, from one picture to the next.
void Arrow(TImage& img, TVec2 at, float size)
{
    const std::vector<TVec2> shape = {
        {at.X - size, at.Y - size * 0.22f},        {at.X + size * 0.2f, at.Y - size * 0.22f},
        {at.X + size * 0.2f, at.Y - size * 0.55f}, {at.X + size, at.Y},
        {at.X + size * 0.2f, at.Y + size * 0.55f}, {at.X + size * 0.2f, at.Y + size * 0.22f},
        {at.X - size, at.Y + size * 0.22f}};
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, shape) - 3.0f; },
        [&](TVec2) { return Rgb(0x2A1A05, 0.9f); });
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, shape); },
        [&](TVec2 p) { return Mix(PaleGold, Gold, (p.Y - at.Y + size * 0.55f) / (size * 1.1f)); });
}

void Caption(TImage& img, const TSources& sources, const std::string& text, TVec2 at, float unit,
             const TColour& colour = Rgb(0xFFFFFF))
{
    TTextStyle s;
    s.Font = SansBold;
    s.Em = unit * 0.3f;
    s.Top = colour;
    s.Bottom = Mix(colour, Gold, 0.5f);
    s.Outline = 2.5f;
    s.OutlineColour = Rgb(0x0A0C18);
    s.GlowBlur = 5;
    s.GlowColour = WithAlpha(colour, 0.45f);
    DrawText(img, sources, text, at.X, at.Y, s);
}

struct TPage
{
    TImage Image;
    TScreenMap Map{PictureWidth, PictureHeight};
    float Unit() const { return Map.Unit(); }
};

TPage StartPage(const TSources& sources, int number, const char* title, uint32_t seed)
{
    TPage page{Backdrop(PictureWidth, PictureHeight, seed)};
    const TScreenMap& m = page.Map;
    DrawTitle(page.Image, sources, title, m.X(-1.8f), m.Y(4.45f), m.Unit() * 0.72f);
    TTextStyle s;
    s.Font = SerifCondensedBold;
    s.Em = m.Unit() * 0.24f;
    s.Top = PaleGold;
    s.Bottom = Gold;
    s.Tracking = m.Unit() * 0.05f;
    DrawText(page.Image, sources, std::to_string(number) + " / 9", m.X(-8.3f), m.Y(4.75f), s);
    return page;
}

// The explanation under the pictures, on a dark pane; the foot stays free for the buttons.
void Text(TPage& page, const TSources& sources, const std::string& text)
{
    const TScreenMap& m = page.Map;
    TPanelStyle pane;
    pane.Radius = m.Unit() * 0.2f;
    pane.Top = Rgb(0x0E1538, 0.75f);
    pane.Bottom = Rgb(0x060A1E, 0.8f);
    pane.Border = 2;
    pane.BorderColour = Rgb(0xB08A3E, 0.9f);
    pane.ShadowBlur = 6;
    pane.ShadowOffset = 4;
    DrawPanel(page.Image, m.X(4.3f), m.Y(-1.85f), m.X(-7.9f), m.Y(-4.3f), pane);
    TTextStyle body;
    body.Font = Sans;
    body.Em = m.Unit() * 0.27f;
    body.Top = Rgb(0xF2F4FF);
    body.Bottom = Rgb(0xCCD5F2);
    body.ShadowY = 2;
    body.ShadowBlur = 2;
    DrawParagraph(page.Image, sources, text, m.X(-1.8f), m.Y(-2.3f), m.Unit() * 11.4f,
                  m.Unit() * 0.44f, body, TAlign::Centre);
}

TDiagram Left(const TPage& page, std::vector<std::string> rows)
{
    return {std::move(rows), {page.Map.X(1.3f), page.Map.Y(1.0f)}, page.Unit() * 0.62f};
}

TDiagram Right(const TPage& page, std::vector<std::string> rows)
{
    return {std::move(rows), {page.Map.X(-4.9f), page.Map.Y(1.0f)}, page.Unit() * 0.62f};
}

void Between(TPage& page)
{
    Arrow(page.Image, {page.Map.X(-1.8f), page.Map.Y(1.0f)}, page.Unit() * 0.5f);
}

TImage Moving(const TSources& sources)
{
    TPage page = StartPage(sources, 1, "MOVING A CUBE", 401);
    const TDiagram a = Left(page, {"......", ".R..B.", ".BB.G.", "...Y..", "......"});
    DrawDiagram(page.Image, a);
    Ring(page.Image, a, 1, 1, 1, 1, Rgb(0xFFE7A8));
    for (auto [c, r] : std::vector<std::pair<float, float>>{{1, 0}, {2, 0}, {3, 0}, {3, 1}})
    {
        Mark(page.Image, a, 1, c, r);
    }
    Mark(page.Image, a, 2, 3, 2);
    Caption(page.Image, sources, "THE WAY IS OPEN", a.At(2.5f, 5.0f), page.Unit(), Rgb(0x9DF7C0));
    const TDiagram b = Right(page, {"..GG..", ".GR.G.", ".G..G.", "..GG..", "......"});
    DrawDiagram(page.Image, b);
    Ring(page.Image, b, 2, 1, 2, 1, Rgb(0xFFE7A8));
    Mark(page.Image, b, 3, 4, 4);
    Caption(page.Image, sources, "NO WAY THROUGH", b.At(2.5f, 5.0f), page.Unit(), Rgb(0xFF9C90));
    Text(page, sources,
         "Click a cube to pick it up: it rises and hovers. Point at a free cell and dots show the "
         "way "
         "the cube will take; click, and off it goes. Cubes never pass through each other, so a "
         "walled-in "
         "cube or a cell too far away shows a red ring instead.");
    return page.Image;
}

TImage Squares(const TSources& sources)
{
    TPage page = StartPage(sources, 2, "SQUARES", 402);
    const TDiagram a = Left(page, {"......", ".YY...", ".Y..B.", "....G.", "......"});
    DrawDiagram(page.Image, a);
    Mark(page.Image, a, 1, 3, 3);
    Mark(page.Image, a, 2, 2, 2);
    Caption(page.Image, sources, "THE FOURTH ONE...", a.At(2.5f, 5.0f), page.Unit());
    Between(page);
    const TDiagram b = Right(page, {"......", ".YY...", ".YY.B.", "....G.", "......"});
    DrawDiagram(page.Image, b);
    Ring(page.Image, b, 1, 1, 2, 2, Rgb(0xFFD060));
    Caption(page.Image, sources, "+ POINTS", b.At(1.5f, 0.0f), page.Unit(), Rgb(0xFFE7A8));
    Caption(page.Image, sources, "...AND THEY VANISH", b.At(2.5f, 5.0f), page.Unit());
    Text(page, sources,
         "Four cubes of one colour that form a square vanish and score. A bigger block of one "
         "colour "
         "counts every square inside it, so it pays more. Clearing cubes is also what keeps the "
         "board "
         "from filling up.");
    return page.Image;
}

TImage Turns(const TSources& sources)
{
    TPage page = StartPage(sources, 3, "TURNS AND NEW CUBES", 403);
    const TDiagram a = Left(page, {"..r...", ".B..P.", "...g..", ".R...b", "..Y..."});
    DrawDiagram(page.Image, a);
    Caption(page.Image, sources, "SMALL CUBES WAIT", a.At(2.5f, 5.0f), page.Unit());
    Between(page);
    const TDiagram b = Right(page, {"..R...", ".B..P.", "...G..", ".R...B", "..Y..."});
    DrawDiagram(page.Image, b);
    Caption(page.Image, sources, "...AND GROW", b.At(2.5f, 5.0f), page.Unit());
    Text(page, sources,
         "Small cubes show where the next cubes will appear. After every move that clears nothing "
         "they "
         "grow to full size and new small ones are announced. A move that scores brings no new "
         "cubes. "
         "Landing on a small cube sends it elsewhere. The game is over when the board is full.");
    return page.Image;
}

TImage Combos(const TSources& sources)
{
    TPage page = StartPage(sources, 4, "COMBOS", 404);
    const TScreenMap& m = page.Map;
    const char* words[4] = {"DOUBLE SCORE!", "TRIPLE SCORE!", "QUADRO SCORE!", "EXCELLENT!"};
    for (int k = 0; k < 4; ++k)
    {
        TTextStyle s;
        s.Font = SerifBold;
        s.Em = m.Unit() * (0.42f + 0.08f * static_cast<float>(k));
        s.Top = Rgb(0xFFFFFF);
        s.Bottom = k == 3 ? Rgb(0xFFD060) : Rgb(0x9FD8FF);
        s.Outline = 2.5f;
        s.OutlineColour = Rgb(0x0A0C18);
        s.GlowBlur = 8;
        s.GlowColour = k == 3 ? Rgb(0xFFC850, 0.6f) : Rgb(0x6FB8FF, 0.5f);
        const float x = 2.3f - static_cast<float>(k) * 1.2f;
        const float y = 2.6f - static_cast<float>(k) * 0.95f;
        DrawText(page.Image, sources, words[k], m.X(x), m.Y(y), s);
    }
    Text(
        page, sources,
        "Score on move after move and the points multiply: the second scoring move in a row is "
        "worth "
        "double, the third triple, and so on. One move that scores nothing ends the run, so plan a "
        "few squares ahead.");
    return page.Image;
}

TImage Figure(const TSources& sources)
{
    TPage page = StartPage(sources, 5, "THE BONUS FIGURE", 405);
    const TScreenMap& m = page.Map;
    // The figure as the side panel shows it.
    TPanelStyle card;
    card.Radius = m.Unit() * 0.14f;
    card.Top = Rgb(0x070A17);
    card.Bottom = Rgb(0x141B3C);
    card.Border = 2.5f;
    card.BorderColour = Gold;
    card.InnerShade = 0.35f;
    DrawPanel(page.Image, m.X(2.8f), m.Y(2.6f), m.X(-0.2f), m.Y(-0.6f), card);
    const float cell = m.Unit() * 0.55f;
    const int shape[3][3] = {{1, 1, 0}, {0, 1, 0}, {0, 1, 1}};
    for (int r = 0; r < 3; ++r)
    {
        for (int c = 0; c < 3; ++c)
        {
            if (shape[r][c])
            {
                DrawTopCube(page.Image, SkinTexture(1, 5),
                            {m.X(1.3f) + (c - 1) * cell, m.Y(1.0f) + (r - 1) * cell}, cell);
            }
        }
    }
    Caption(page.Image, sources, "THE FIGURE", {m.X(1.3f), m.Y(-1.1f)}, page.Unit());
    Arrow(page.Image, {m.X(-1.1f), m.Y(1.0f)}, page.Unit() * 0.45f);
    const TDiagram b = Right(page, {"......", ".CC...", "..C.R.", "..CC..", "......"});
    DrawDiagram(page.Image, b);
    Ring(page.Image, b, 1, 1, 3, 3, Rgb(0xFFD060));
    Caption(page.Image, sources, "BUILT ON THE BOARD", b.At(2.5f, 5.0f), page.Unit());
    Text(page, sources,
         "The side panel shows a bonus figure and what it is worth. Build the same pattern "
         "anywhere on "
         "the board, in its colours and the same way up (no turning, no mirroring): it vanishes "
         "for the "
         "bonus and a new figure takes its place.");
    return page.Image;
}

TImage JokersStones(const TSources& sources)
{
    TPage page = StartPage(sources, 6, "JOKERS AND STONES", 406);
    const TDiagram a = Left(page, {"......", ".GJ...", ".GG...", "....O.", "......"});
    DrawDiagram(page.Image, a);
    Ring(page.Image, a, 1, 1, 2, 2, Rgb(0xFFD060));
    Caption(page.Image, sources, "A JOKER FITS ANY SQUARE", a.At(2.5f, 5.0f), page.Unit());
    const TDiagram b = Right(page, {"......", ".OO...", ".OO.R.", "......", "......"});
    DrawDiagram(page.Image, b);
    Caption(page.Image, sources, "STONES NEVER MATCH", b.At(2.5f, 5.0f), page.Unit());
    Text(page, sources,
         "A rainbow joker counts as any colour, so it completes a square of whatever colour "
         "surrounds "
         "it. Grey stones are the opposite: they match nothing and just stand in the way. Only a "
         "bomb "
         "breaks them.");
    return page.Image;
}

TImage Bombs(const TSources& sources)
{
    TPage page = StartPage(sources, 7, "BOMBS", 407);
    const TDiagram a = Left(page, {"......", ".RBO..", ".G.Y..", ".PYC..", "X....."});
    DrawDiagram(page.Image, a);
    Mark(page.Image, a, 1, 0, 3);
    Mark(page.Image, a, 1, 0, 2);
    Mark(page.Image, a, 1, 1, 2);
    Mark(page.Image, a, 2, 2, 2);
    Caption(page.Image, sources, "MOVE THE BOMB...", a.At(2.5f, 5.0f), page.Unit());
    Between(page);
    const TDiagram b = Right(page, {"......", "......", "......", "......", "......"});
    DrawDiagram(page.Image, b);
    Ring(page.Image, b, 1, 1, 3, 3, Rgb(0xFF8A40));
    const TVec2 c = b.At(2, 2);
    const float r = b.Cell * 1.4f;
    DrawSoftShape(
        page.Image, c.X - r, c.Y - r, c.X + r, c.Y + r,
        [&](TVec2 p) { return SdCircle(p, c, r * 0.6f); }, Rgb(0xFFB040, 0.75f), r * 0.25f);
    Caption(page.Image, sources, "...AND ITS BLOCK IS CLEARED", b.At(2.5f, 5.0f), page.Unit());
    Text(page, sources,
         "Pick up a bomb and move it like any cube. Where it lands it blows up the 3 x 3 block "
         "around "
         "it, stones included, and every cube in the blast scores. Cubes that are still small are "
         "left "
         "alone.");
    return page.Image;
}

TImage PaintShot(const TSources& sources)
{
    TPage page = StartPage(sources, 8, "PAINT AND SHOT CUBES", 408);
    const TDiagram a = Left(page, {"......", ".RGB..", ".Y2P..", ".BCG..", "......"});
    DrawDiagram(page.Image, a);
    Ring(page.Image, a, 1, 1, 3, 3, Rgb(0x9DF7C0));
    Caption(page.Image, sources, "PAINT COLOURS ITS BLOCK", a.At(2.5f, 5.0f), page.Unit());
    const TDiagram b = Right(page, {"B...B.", "..R...", ".BT.Y.", "...B..", "B....."});
    DrawDiagram(page.Image, b);
    const TVec2 aim = b.At(4, 0);
    TImage cross(128, 128);
    FillShape(
        cross,
        [&](TVec2 p) {
            return std::fabs(SdCircle(p, {64, 64}, 24)) - 2.5f;
        },
        [&](TVec2) { return Rgb(0xFF6A3D); });
    page.Image.DrawImage(cross, aim.X - b.Cell * 0.7f, aim.Y - b.Cell * 0.7f,
                         b.Cell * 1.4f / 128.0f);
    for (auto [c, r] : std::vector<std::pair<int, int>>{{0, 0}, {4, 0}, {1, 2}, {3, 3}, {0, 4}})
    {
        Ring(page.Image, b, static_cast<float>(c), static_cast<float>(r), static_cast<float>(c),
             static_cast<float>(r), Rgb(0xFF8A40));
    }
    Caption(page.Image, sources, "A SHOT CLEARS ONE COLOUR", b.At(2.5f, 5.0f), page.Unit());
    Text(
        page, sources,
        "Move a paint cube and every coloured cube in its 3 x 3 block takes its colour, often "
        "making "
        "squares at once. Pick up a shot cube and aim at a cube instead: every cube of that colour "
        "on the board vanishes.");
    return page.Image;
}

TImage Levels(const TSources& sources)
{
    TPage page = StartPage(sources, 9, "LEVELS AND THE CLOCK", 409);
    const TScreenMap& m = page.Map;
    const TDiagram a = Left(page, {"OOOOOO", "OOXOOO", "OOOOOO", "OOOOXO", "OOOOOO"});
    DrawDiagram(page.Image, a);
    Caption(page.Image, sources, "EVERY FIFTH LEVEL: BONUS", a.At(2.5f, 5.0f), page.Unit());
    // The progress bar, full and draining.
    const float w = m.Unit() * 4.2f;
    for (int k = 0; k < 2; ++k)
    {
        const float cy = m.Y(2.0f - static_cast<float>(k) * 1.5f);
        const float cx = m.X(-4.9f);
        TPanelStyle groove;
        groove.Radius = m.Unit() * 0.18f;
        groove.Top = Rgb(0x020308);
        groove.Bottom = Rgb(0x111733);
        groove.Border = 2.5f;
        groove.BorderColour = Gold;
        groove.InnerShade = 0.5f;
        DrawPanel(page.Image, cx - w / 2, cy - m.Unit() * 0.2f, cx + w / 2, cy + m.Unit() * 0.2f,
                  groove);
        const float fill = k == 0 ? 0.85f : 0.15f;
        const TColour top = k == 0 ? Rgb(0x7FF0FF) : Rgb(0xFF8A70);
        const TColour bottom = k == 0 ? Rgb(0x1A7FB8) : Rgb(0xA01808);
        const float half = (w - m.Unit() * 0.16f) * fill / 2;
        const float left = cx - w / 2 + m.Unit() * 0.08f;
        FillShape(
            page.Image,
            [&](TVec2 p) {
                return SdRoundBox(p, {left + half, cy}, half, m.Unit() * 0.13f, m.Unit() * 0.13f);
            },
            [&](TVec2 p)
            { return Mix(top, bottom, (p.Y - cy + m.Unit() * 0.13f) / (m.Unit() * 0.26f)); });
        Caption(page.Image, sources, k == 0 ? "FILL THE BAR: NEXT LEVEL" : "TIMED: IT DRAINS!",
                {cx, cy + m.Unit() * 0.55f}, page.Unit(), k == 0 ? Rgb(0xFFFFFF) : Rgb(0xFF9C90));
    }
    Text(
        page, sources,
        "Fill the bar under the board to finish a level. Every fifth level is a bonus level: blast "
        "the stones with the bombs you are given. Win the level before it and the camera takes a "
        "flight round the room. In the timed game the bar drains all the time; when it runs empty, "
        "the game is over.");
    return page.Image;
}
} // namespace

void MakeTutorial(const TOutput& out, const TSources& sources)
{
    const TImage pages[9] = {Moving(sources), Squares(sources),   Turns(sources),
                             Combos(sources), Figure(sources),    JokersStones(sources),
                             Bombs(sources),  PaintShot(sources), Levels(sources)};
    for (int i = 0; i < 9; ++i)
    {
        out.WriteJpeg("Images/Tutorial/tut" + std::to_string(i + 1) + ".jpg", pages[i], 90);
    }
}
