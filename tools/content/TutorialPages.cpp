#include "tools/content/TutorialPages.h"

#include "tools/content/Illustrate.h"
#include "tools/content/Languages.h"
#include "tools/content/Palette.h"
#include "tools/content/Pictures.h"
#include "tools/content/Renders.h"

#include <string>
#include <vector>

namespace
{
struct TPage
{
    TImage Image;
    TScreenMap Map{PictureWidth, PictureHeight};
    float Unit() const { return Map.Unit(); }
};

// One rendered picture on a page: its render, the centre and the largest size it may take
// (world units of the back plane), and the caption under it.
struct TShot
{
    const char* Render;
    float X, Y, Width, Height;
    const char* Caption;
    uint32_t Colour = 0xFFFFFF;
};

// The usual two pictures side by side, the left one first.
constexpr float LeftX = 1.55f;
constexpr float RightX = -5.15f;
constexpr float ShotY = 1.45f;
constexpr float ShotWidth = 6.2f;
constexpr float ShotHeight = 4.75f;
// The explanation's pane, across the page below the pictures.
constexpr float PaneLeft = 4.65f;
constexpr float PaneRight = -8.25f;

TShot Left(const char* render, const char* caption, uint32_t colour = 0xFFFFFF)
{
    return {render, LeftX, ShotY, ShotWidth, ShotHeight, caption, colour};
}

TShot Right(const char* render, const char* caption, uint32_t colour = 0xFFFFFF)
{
    return {render, RightX, ShotY, ShotWidth, ShotHeight, caption, colour};
}

// A caption in bright capitals centred at `at`, no wider than `width` pixels.
void Caption(TImage& img, const TSources& sources, const std::string& text, TVec2 at, float width,
             float unit, const TColour& colour)
{
    TTextStyle s;
    s.Font = SansBold;
    s.Em = unit * 0.28f;
    s.Top = colour;
    s.Bottom = Mix(colour, Gold, 0.5f);
    s.Outline = 2.5f;
    s.OutlineColour = Rgb(0x0A0C18);
    s.GlowBlur = 5;
    s.GlowColour = WithAlpha(colour, 0.4f);
    s.Tracking = unit * 0.02f;
    s.Em = FitEm(sources, text, s, width);
    DrawText(img, sources, text, at.X, at.Y, s);
}

// A fat arrow pointing right, from one picture to the next.
void Arrow(TImage& img, TVec2 at, float size)
{
    const std::vector<TVec2> shape = {
        {at.X - size, at.Y - size * 0.22f},        {at.X + size * 0.2f, at.Y - size * 0.22f},
        {at.X + size * 0.2f, at.Y - size * 0.55f}, {at.X + size, at.Y},
        {at.X + size * 0.2f, at.Y + size * 0.55f}, {at.X + size * 0.2f, at.Y + size * 0.22f},
        {at.X - size, at.Y + size * 0.22f}};
    DrawSoftShape(
        img, at.X - size * 1.5f, at.Y - size * 1.2f, at.X + size * 1.5f, at.Y + size * 1.4f,
        [&](TVec2 p) { return SdPolygon(p, shape) - 2.0f; }, TColour{0, 0, 0, 0.7f}, size * 0.15f);
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, shape) - 3.0f; },
        [&](TVec2) { return Rgb(0x2A1A05, 0.95f); });
    FillShape(
        img, [&](TVec2 p) { return SdPolygon(p, shape); },
        [&](TVec2 p) { return Mix(PaleGold, Gold, (p.Y - at.Y + size * 0.55f) / (size * 1.1f)); });
}

TPage StartPage(const TSources& sources, int number, int count, const char* title,
                const TImage& backdrop)
{
    TPage page{backdrop};
    const TScreenMap& m = page.Map;
    // Centred at x -1.8, clear of the page's number at x -8.3.
    DrawTitle(page.Image, sources, sources.Tr(title), m.X(-1.8f), m.Y(4.45f), m.Unit() * 0.72f,
              m.Unit() * 11.4f);
    TTextStyle s;
    s.Font = SerifCondensedBold;
    s.Em = m.Unit() * 0.24f;
    s.Top = PaleGold;
    s.Bottom = Gold;
    s.Tracking = m.Unit() * 0.05f;
    DrawText(page.Image, sources, std::to_string(number) + " / " + std::to_string(count),
             m.X(-8.3f), m.Y(4.75f), s);
    return page;
}

// How much wider than its picture's box a caption may be: the boxes keep at least this much
// apart.
constexpr float CaptionSpill = 0.5f;

void Shots(TPage& page, const TSources& sources, const std::vector<TShot>& shots)
{
    const TScreenMap& m = page.Map;
    for (const TShot& shot : shots)
    {
        const TPlaced at = DrawRender(page.Image, ReadRender(sources, shot.Render), m.X(shot.X),
                                      m.Y(shot.Y), shot.Width * m.Unit(), shot.Height * m.Unit());
        if (shot.Caption[0] != '\0')
        {
            Caption(page.Image, sources, sources.Tr(shot.Caption),
                    {(at.X0 + at.X1) / 2, at.Y1 + m.Unit() * 0.36f}, (shot.Width + CaptionSpill) * m.Unit(),
                    m.Unit(),
                    Rgb(shot.Colour));
        }
    }
}

void Between(TPage& page)
{
    Arrow(page.Image, {page.Map.X((LeftX + RightX) / 2), page.Map.Y(ShotY)}, page.Unit() * 0.42f);
}

// The explanation under the pictures, on a dark pane from PaneLeft to PaneRight (world x, the
// left edge the larger); the foot stays free for the buttons.
void Text(TPage& page, const TSources& sources, const std::string& text, float top = -1.68f)
{
    const TScreenMap& m = page.Map;
    TPanelStyle pane;
    pane.Radius = m.Unit() * 0.2f;
    pane.Top = Rgb(0x0E1538, 0.78f);
    pane.Bottom = Rgb(0x060A1E, 0.82f);
    pane.Border = 2;
    pane.BorderColour = Rgb(0xB08A3E, 0.9f);
    pane.ShadowBlur = 6;
    pane.ShadowOffset = 4;
    const float bottom = -4.3f;
    DrawPanel(page.Image, m.X(PaneLeft), m.Y(top), m.X(PaneRight), m.Y(bottom), pane);
    TTextStyle body;
    body.Font = Sans;
    body.Em = m.Unit() * 0.3f;
    body.Top = Rgb(0xF2F4FF);
    body.Bottom = Rgb(0xCCD5F2);
    body.ShadowY = 2;
    body.ShadowBlur = 2;
    DrawParagraphIn(page.Image, sources, sources.Tr(text), m.X(-1.8f), m.Y(top - 0.55f),
                    m.Unit() * 12.0f, m.Unit() * 0.5f, m.Y(bottom + 0.1f), body, TAlign::Centre);
}

// A caption of its own on a page, not under a picture: its text, centre and colour. It may
// take up to LabelWidth, beside the picture it labels.
constexpr float LabelWidth = 2.6f;

// The timed bar of the last page, with a label on either side: each label's room runs from a
// gap beside the bar to the pane's edge, so that a long word (the Spanish one) keeps clear
// of the bar.
constexpr float BarX = -1.8f;
constexpr float BarY = -0.95f;
constexpr float BarWidth = 7.0f;
constexpr float BarGap = 0.3f;
constexpr float BarLabelLeft = (PaneLeft + BarX + BarWidth / 2 + BarGap) / 2;
constexpr float BarLabelRight = (PaneRight + BarX - BarWidth / 2 - BarGap) / 2;
static_assert(PaneLeft - (BarX + BarWidth / 2 + BarGap) >= LabelWidth &&
                  (BarX - BarWidth / 2 - BarGap) - PaneRight >= LabelWidth,
              "a label beside the timed bar has its full width");
struct TLabel
{
    const char* Text;
    float X, Y;
    uint32_t Colour;
};

// What one page shows, drawn in this order: the pictures, an arrow between the two usual ones
// when the right one follows from the left, the free captions and the explanation.
struct TPageContent
{
    const char* Title;
    std::vector<TShot> Shots;
    bool Arrow;
    const char* Text;
    float TextTop = -1.68f;
    std::vector<TLabel> Labels = {};
};

std::vector<TPageContent> Pages()
{
    return {
        {N_("MOVING A CUBE"),
         {Left("move-open", N_("THE WAY IS OPEN"), 0x9DF7C0),
          Right("move-blocked", N_("NO WAY THROUGH"), 0xFF9C90)},
         false,
         N_("Click a cube to pick it up, then a free cell: dots show its way and off it goes. Cubes "
            "never pass through each other; a cell out of reach shows a red sign. No mouse? Arrow "
            "keys move on the board (Home, End, Page Up/Down jump to edges), Enter clicks, "
            "Backspace lets go; or a gamepad's d-pad, A, B."),
         -1.55f},
        {N_("SQUARES"),
         {Left("square-before", N_("THE FOURTH ONE...")),
          Right("square-after", N_("...AND THEY VANISH"), 0xFFE7A8)},
         true,
         N_("Four cubes of one colour that form a square vanish and score. A bigger block of one "
            "colour counts every square inside it, so it pays more. Clearing cubes is also what "
            "keeps the board from filling up.")},
        {N_("TURNS AND NEW CUBES"),
         {Left("turn-before", N_("SMALL CUBES WAIT...")), Right("turn-after", N_("...AND GROW"))},
         true,
         N_("Small cubes show where the next cubes will appear. After every move that clears "
            "nothing they grow to full size and new small ones are announced. A move that scores "
            "brings no new cubes. The game is over when the board is full.")},
        {N_("COMBOS"),
         {Left("combo-double", N_("SECOND IN A ROW: DOUBLE"), 0x9FD8FF),
          Right("combo-triple", N_("THIRD IN A ROW: TRIPLE"), 0xFFD060)},
         false,
         N_("Score on move after move and the points multiply: the second scoring move in a row is "
            "worth double, the third triple, and so on, and long runs earn special cubes. One move "
            "that scores nothing ends the run, so plan a few squares ahead.")},
        {N_("THE BONUS FIGURE"),
         {{"figure-panel", 2.25f, ShotY, 4.6f, ShotHeight, N_("THE FIGURE AND ITS WORTH")},
          {"figure-built", -4.45f, ShotY, 7.4f, ShotHeight, N_("BUILT ON THE BOARD"), 0xFFE7A8}},
         false,
         N_("The side panel shows a bonus figure and what it is worth. Build the same pattern "
            "anywhere on the board, in its colours and the same way up (no turning, no "
            "mirroring): it vanishes for the bonus, a special cube is earned and a new figure "
            "takes its place.")},
        {N_("JOKERS AND STONES"),
         {Left("joker", N_("A JOKER FITS ANY SQUARE"), 0x9DF7C0),
          Right("stones", N_("STONES STAND IN THE WAY"), 0xD8D8D8)},
         false,
         N_("A rainbow joker counts as any colour, so it completes a square of whatever colour "
            "surrounds it. Grey stones are the opposite: they match nothing, cannot be picked up "
            "and only stand in the way. Only a bomb breaks them.")},
        {N_("BOMBS"),
         {Left("bomb-aim", N_("MOVE THE BOMB...")),
          Right("bomb-blast", N_("...AND ITS BLOCK IS CLEARED"), 0xFFB070)},
         true,
         N_("Pick up a bomb and move it like any cube. Where it lands it blows up the 3 x 3 block "
            "around it, stones included, and every cube in the blast scores. Cubes that are still "
            "small are left alone.")},
        {N_("PAINT AND SHOT CUBES"),
         {Left("paint", N_("PAINT COLOURS ITS BLOCK"), 0x9DF7C0),
          Right("shot", N_("A SHOT CLEARS ONE COLOUR"), 0xFF9C90)},
         false,
         N_("Move a paint cube and every coloured cube in its 3 x 3 block takes its colour, often "
            "making squares at once. Click a shot cube and the pointer turns into a sight: click a "
            "cube and every cube of that colour on the board vanishes.")},
        {N_("LEVELS AND THE CLOCK"),
         {{"bonus-level", LeftX, 2.05f, ShotWidth, 3.55f, N_("EVERY FIFTH LEVEL: BONUS"), 0xFFE7A8},
          {"flyby", RightX, 2.05f, ShotWidth, 3.55f, N_("A FLIGHT ROUND THE ROOM"), 0x9FD8FF},
          {"timed-bar", BarX, BarY, BarWidth, 0.62f, ""}},
         false,
         N_("Fill the bar under the board to finish a level. Every fifth level is a bonus level: "
            "blast the stones with the bombs you are given. Win the level before it and the camera "
            "takes a flight round the room. In the timed game the bar drains all the time; when it "
            "runs empty, the game is over."),
         -1.55f,
         {{N_("TIMED:"), BarLabelLeft, BarY, 0xFF9C90}, {N_("IT DRAINS!"), BarLabelRight, BarY, 0xFF9C90}}},
    };
}

// Page `number` (from 1) of `count`, with its own seed for the backdrop.
TImage Compose(const TSources& sources, int number, int count, const TPageContent& content,
               const TImage& backdrop)
{
    TPage page = StartPage(sources, number, count, content.Title, backdrop);
    Shots(page, sources, content.Shots);
    if (content.Arrow)
    {
        Between(page);
    }
    const TScreenMap& m = page.Map;
    for (const TLabel& label : content.Labels)
    {
        Caption(page.Image, sources, sources.Tr(label.Text), {m.X(label.X), m.Y(label.Y)},
                LabelWidth * page.Unit(), page.Unit(), Rgb(label.Colour));
    }
    Text(page, sources, content.Text, content.TextTop);
    return page.Image;
}
} // namespace

int TutorialPageCount()
{
    return static_cast<int>(Pages().size());
}

void MakeTutorialPage(const TOutput& out, const TSources& sources, int number)
{
    const std::vector<TPageContent> pages = Pages();
    const int count = static_cast<int>(pages.size());
    // The page's backdrop once, its words in every language.
    const TImage backdrop = Backdrop(PictureWidth, PictureHeight, 400 + static_cast<uint32_t>(number));
    const TPageContent& content = pages.at(static_cast<size_t>(number - 1));
    const std::string file = "Images/Tutorial/tut" + std::to_string(number) + ".jpg";
    ForEachLanguage(out, sources,
                    [&](const TOutput& o, const TSources& s)
                    {
                        o.WriteJpeg(file,
                                    Drawn(file, s,
                                          [&] { return Compose(s, number, count, content, backdrop); }),
                                    90);
                    });
}
