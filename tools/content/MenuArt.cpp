#include "tools/content/MenuArt.h"

#include "front/MenuScreens.h"
#include "tools/content/Board.h"
#include "tools/content/Illustrate.h"
#include "tools/content/Languages.h"
#include "tools/content/Paint.h"
#include "tools/content/Palette.h"
#include "tools/content/Pictures.h"
#include "tools/content/Skins.h"

#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr float PerUnit = 110.0f; // item picture pixels per world unit
constexpr float QuestionHeight = 3.5f; // a question's plate, its answers in the lower third
constexpr float ResumeLines = 0.9f;    // more of the resume offer's plate, for two lines of the game
constexpr float Depth = 0.1f;     // the menu floats just above the back plane

enum class TLook
{
    Button,  // a plate with a word
    Small,   // a square button with a sign: - + < >, or "undo" (an arrow curving back)
    Caption, // a row caption with the groove of its slider or the frame of its choice
    Bar,     // a volume bar, stretched by the game
    Title,   // gilded words, no plate
    Dialog,  // a question on a large plate; the answers lie on it as items of their own
    Skin,    // a skin's name and four of its cubes
    Toggle,  // a check box with its words
};

struct TItem
{
    std::string Name; // picture file stem under Images/Menu
    TLook Look;
    std::string Text;
    std::string Detail; // second line of a dialog; the sign of a small button
    float X, Y;         // centre in world units
    float W, H;         // size in world units
    bool Visible = true;
    bool Selectable = true;
    int Skin = 0; // for skin labels
    bool Checked = false;
    bool Draw = true; // false: reuse the pictures of an item drawn earlier
};

struct TScreen
{
    std::string Role;
    std::vector<TItem> Items;
};

// Converts world x/y offsets inside an item into its picture's pixels: +x is to the left.
struct TItemMap
{
    const TItem& Item;
    int Width() const { return static_cast<int>(std::lround(Item.W * PerUnit)); }
    int Height() const { return static_cast<int>(std::lround(Item.H * PerUnit)); }
    float X(float worldX) const { return (Item.X + Item.W / 2 - worldX) * PerUnit; }
};

TTextStyle LabelStyle(float em, bool lit)
{
    TTextStyle s;
    s.Font = SansBold;
    s.Em = em;
    s.Tracking = em * 0.06f;
    s.Top = lit ? Rgb(0xFFFBEA) : Rgb(0xF2EEDF);
    s.Bottom = lit ? Rgb(0xFFD877) : Rgb(0xC9C2AE);
    s.ShadowY = 2;
    s.ShadowBlur = 2;
    s.ShadowColour = TColour{0, 0, 0, 0.8f};
    if (lit)
    {
        s.GlowBlur = em * 0.18f;
        s.GlowColour = Rgb(0xFFC850, 0.55f);
    }
    return s;
}

void Plate(TImage& img, float margin, bool lit, float radius)
{
    TPanelStyle s;
    s.Radius = radius;
    s.Top = lit ? Rgb(0x3A4FA8, 0.95f) : Rgb(0x1B2550, 0.88f);
    s.Bottom = lit ? Rgb(0x1D2B70, 0.95f) : Rgb(0x0A0F2C, 0.88f);
    s.Border = lit ? 3.0f : 2.0f;
    s.BorderColour = lit ? Rgb(0xFFE7A8) : Gold;
    s.ShadowBlur = 0;
    s.ShadowOffset = 0;
    s.Gloss = lit ? 0.12f : 0.06f;
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    if (lit)
    {
        DrawSoftShape(
            img, margin, margin, w - margin, h - margin,
            [&](TVec2 p) {
                return std::fabs(
                           SdRoundBox(p, {w / 2, h / 2}, w / 2 - margin, h / 2 - margin, radius)) -
                       2.0f;
            },
            Rgb(0xFFC850, 0.8f), margin * 0.35f);
    }
    DrawPanel(img, margin, margin, w - margin, h - margin, s);
}

// A sign drawn with shapes, so that it does not depend on a font's symbols.
void Sign(TImage& img, const std::string& sign, bool lit)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    const TVec2 c{w / 2, h / 2};
    const float r = std::min(w, h) * 0.2f;
    auto sdf = [&](TVec2 p)
    {
        if (sign == "undo")
        {
            // The upper half of a ring, from the right round to the left, where its head
            // points down: the move goes back the way it came.
            const float k = r * 1.5f; // the arrow fills more of its plate than a sign
            const TVec2 o{c.X + k * 0.15f, c.Y + k * 0.3f};
            const float radius = k * 0.75f;
            const float arc = std::max(std::fabs(Length(p - o) - radius) - k * 0.16f, p.Y - o.Y);
            const float head = SdPolygon(p, {{o.X - radius - k * 0.5f, o.Y - k * 0.05f},
                                             {o.X - radius + k * 0.5f, o.Y - k * 0.05f},
                                             {o.X - radius, o.Y + k * 0.6f}}) -
                               1.0f;
            return std::min(arc, head);
        }
        const float bar = SdRoundBox(p, c, r, r * 0.24f, r * 0.2f);
        if (sign == "-")
        {
            return bar;
        }
        if (sign == "+")
        {
            return std::min(bar, SdRoundBox(p, c, r * 0.24f, r, r * 0.2f));
        }
        const float dir = sign == "<" ? -1.0f : 1.0f;
        return SdPolygon(p, {{c.X + dir * r * 0.9f, c.Y},
                             {c.X - dir * r * 0.6f, c.Y - r},
                             {c.X - dir * r * 0.6f, c.Y + r}}) -
               1.0f;
    };
    FillShape(
        img,
        [&](TVec2 p) {
            return sdf(p - TVec2{0, -2}) - 1.0f;
        },
        [&](TVec2) {
            return TColour{0, 0, 0, 0.7f};
        });
    FillShape(img, sdf,
              [&](TVec2 p)
              {
                  return Mix(lit ? Rgb(0xFFFBEA) : Rgb(0xF2EEDF),
                             lit ? Rgb(0xFFD877) : Rgb(0xC9C2AE), (p.Y - c.Y + r) / (2 * r));
              });
}

void DrawButton(TImage& img, const TSources& sources, const TItem& item, bool lit)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    const float margin = 0.07f * PerUnit;
    Plate(img, margin, lit, (h - 2 * margin) * 0.3f);
    TTextStyle s = LabelStyle(h * 0.36f, lit);
    // At least two margins of plate between the text and the plate's rim.
    const std::string text = sources.Tr(item.Text);
    s.Em = FitEm(sources, text, s, w - 6 * margin);
    DrawText(img, sources, text, w / 2, h / 2, s);
}

void DrawSmallButton(TImage& img, const TItem& item, bool lit)
{
    const float h = static_cast<float>(img.Height());
    const float margin = 0.07f * PerUnit;
    Plate(img, margin, lit, (h - 2 * margin) * 0.3f);
    Sign(img, item.Detail, lit);
}

void DrawCaption(TImage& img, const TSources& sources, const TItem& item, const TItemMap& map,
                 bool lit)
{
    const float h = static_cast<float>(img.Height());
    // The words on the left; then, where the slider or the choice sits (world x -0.92 to
    // -2.58), a groove or a frame. Between them the - or < button stays clear.
    TTextStyle s = LabelStyle(0.3f * PerUnit, lit);
    s.Font = SerifCondensedBold;
    s.Top = lit ? Rgb(0xFFF6D8) : PaleGold;
    s.Bottom = lit ? Rgb(0xFFD877) : Gold;
    s.Tracking = 0.04f * PerUnit;
    const std::string text = sources.Tr(item.Text);
    // Within the menu's pane, whose rim is at x 2.65.
    s.Em = FitEm(sources, text, s, map.X(0.35f) - map.X(2.5f));
    DrawText(img, sources, text, map.X(0.35f), h / 2, s, TAlign::Right);
    TPanelStyle groove;
    groove.Radius = h * 0.2f;
    groove.Top = Rgb(0x020308, 0.95f);
    groove.Bottom = Rgb(0x111733, 0.95f);
    groove.Border = 2;
    groove.BorderColour = lit ? Rgb(0xFFE7A8) : Rgb(0x9A7632);
    groove.ShadowBlur = 0;
    groove.ShadowOffset = 0;
    groove.InnerShade = 0.5f;
    const float half = item.Detail == "frame" ? h * 0.46f : h * 0.4f;
    DrawPanel(img, map.X(-0.92f), h / 2 - half, map.X(-2.58f), h / 2 + half, groove);
}

void DrawBar(TImage& img)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    for (int y = 0; y < img.Height(); ++y)
    {
        const float t = (static_cast<float>(y) + 0.5f) / h * 2.0f - 1.0f;
        const float a = Coverage((std::fabs(t) - 0.8f) * h / 2);
        const float shine = std::exp(-std::pow((t + 0.4f) / 0.2f, 2.0f));
        for (int x = 0; x < img.Width(); ++x)
        {
            const float u = static_cast<float>(x) / w;
            TColour c =
                Mix(Rgb(0x1A7FB8), Rgb(0x8FF4FF), u * 0.7f + (1.0f - (t + 1.0f) / 2.0f) * 0.3f);
            c = Mix(c, TColour{1, 1, 1, 1}, 0.6f * shine);
            img.Set(x, y, WithAlpha(c, a));
        }
    }
}

void DrawTitle(TImage& img, const TSources& sources, const TItem& item)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    const float margin = 0.07f * PerUnit;
    TTextStyle s;
    s.Font = SerifBold;
    s.Em = h * 0.62f;
    s.Top = Rgb(0xFFF6D8);
    s.Bottom = Rgb(0xD9A441);
    s.Tracking = h * 0.05f;
    s.Outline = 2;
    s.OutlineColour = Rgb(0x2A1A05);
    s.GlowBlur = h * 0.06f;
    s.GlowColour = Rgb(0xF3C360, 0.35f);
    s.ShadowY = 3;
    s.ShadowBlur = 3;
    const std::string text = sources.Tr(item.Text);
    s.Em = FitEm(sources, text, s, w - 2 * margin);
    DrawText(img, sources, text, w / 2, h / 2, s);
}

void DrawDialog(TImage& img, const TSources& sources, const TItem& item)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    const float margin = 0.07f * PerUnit;
    TPanelStyle s;
    s.Radius = 0.3f * PerUnit;
    s.Top = Rgb(0x1C2654, 0.95f);
    s.Bottom = Rgb(0x0A0F2C, 0.95f);
    s.Border = 3;
    s.BorderColour = Gold;
    s.ShadowBlur = margin * 0.3f;
    s.ShadowOffset = margin * 0.3f;
    s.ShadowColour = TColour{0, 0, 0, 0.6f};
    s.Gloss = 0.06f;
    DrawPanel(img, margin, margin, w - margin, h - margin, s);
    // The question and its detail lie in the plate's first 3.5 units; a taller plate keeps
    // the rest free for what the game writes on it.
    const float part = std::min(h, QuestionHeight * PerUnit);
    TTextStyle title;
    title.Font = SerifBold;
    title.Em = 0.5f * PerUnit;
    title.Top = Rgb(0xFFF6D8);
    title.Bottom = Rgb(0xD9A441);
    title.ShadowY = 3;
    title.ShadowBlur = 3;
    const std::string text = sources.Tr(item.Text);
    title.Em = FitEm(sources, text, title, w - 4 * margin);
    DrawText(img, sources, text, w / 2, part * 0.24f, title);
    TTextStyle body = LabelStyle(0.24f * PerUnit, false);
    body.Font = Sans;
    // The answers lie on the plate from two thirds of its height down.
    DrawParagraphIn(img, sources, sources.Tr(item.Detail), w / 2, part * 0.45f, w - 6 * margin,
                    0.34f * PerUnit, part * 0.67f, body, TAlign::Centre);
}

void DrawSkinChoice(TImage& img, const TSources& sources, const TItem& item, bool lit)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    const float margin = 0.07f * PerUnit;
    Plate(img, margin, lit, 0.12f * PerUnit);
    const float face = 0.32f * PerUnit;
    for (int k = 0; k < 4; ++k)
    {
        const int index = k == 3 ? 10 : k * 2; // three colours and a paint cube
        const float x = w / 2 + (static_cast<float>(k) - 1.5f) * face * 1.12f;
        DrawTopCube(img, SkinTexture(item.Skin, index), {x, h * 0.36f}, face, 0.95f);
    }
    TTextStyle s = LabelStyle(0.2f * PerUnit, lit);
    const std::string name = sources.Tr(SkinName(item.Skin));
    s.Em = FitEm(sources, name, s, w - 2 * margin);
    DrawText(img, sources, name, w / 2, h * 0.76f, s);
}

void DrawToggle(TImage& img, const TSources& sources, const TItem& item, bool lit)
{
    const float w = static_cast<float>(img.Width());
    const float h = static_cast<float>(img.Height());
    const float margin = 0.07f * PerUnit;
    Plate(img, margin, lit, (h - 2 * margin) * 0.3f);
    const float box = h * 0.42f;
    const TVec2 c{margin + h * 0.55f, h / 2};
    FillShape(
        img, [&](TVec2 p) { return SdRoundBox(p, c, box / 2, box / 2, 3); },
        [&](TVec2) { return Rgb(0xF4EEDC); });
    FillShape(
        img, [&](TVec2 p) { return std::fabs(SdRoundBox(p, c, box / 2, box / 2, 3)) - 1.2f; },
        [&](TVec2) { return Gold; });
    if (item.Checked)
    {
        const std::vector<TVec2> tick = {{c.X - box * 0.32f, c.Y},
                                         {c.X - box * 0.08f, c.Y + box * 0.26f},
                                         {c.X + box * 0.36f, c.Y - box * 0.3f}};
        FillShape(
            img,
            [&](TVec2 p)
            {
                return std::min(SdSegment(p, tick[0], tick[1], box * 0.09f),
                                SdSegment(p, tick[1], tick[2], box * 0.09f));
            },
            [&](TVec2) { return Rgb(0x2A8A3A); });
    }
    TTextStyle s = LabelStyle(h * 0.32f, lit);
    const std::string text = sources.Tr(item.Text);
    s.Em = FitEm(sources, text, s, w - h * 1.4f - 2 * margin);
    DrawText(img, sources, text, c.X + box, h / 2, s, TAlign::Left);
}

TImage DrawItem(const TSources& sources, const TItem& item, bool lit)
{
    const TItemMap map{item};
    TImage img(map.Width(), map.Height());
    switch (item.Look)
    {
    case TLook::Button:
        DrawButton(img, sources, item, lit);
        break;
    case TLook::Small:
        DrawSmallButton(img, item, lit);
        break;
    case TLook::Caption:
        DrawCaption(img, sources, item, map, lit);
        break;
    case TLook::Bar:
        DrawBar(img);
        break;
    case TLook::Title:
        DrawTitle(img, sources, item);
        break;
    case TLook::Dialog:
        DrawDialog(img, sources, item);
        break;
    case TLook::Skin:
        DrawSkinChoice(img, sources, item, lit);
        break;
    case TLook::Toggle:
        DrawToggle(img, sources, item, lit);
        break;
    }
    return img;
}

TItem Button(const std::string& name, const std::string& text, float x, float y, float w = 4.2f,
             float h = 0.8f)
{
    return TItem{name, TLook::Button, text, "", x, y, w, h};
}

TItem Fixed(TItem item)
{
    item.Selectable = false;
    return item;
}

TItem Hidden(TItem item)
{
    item.Visible = false;
    return item;
}

// Puts an item at the number the game addresses it by (front/MenuScreens.h); the generator
// stops when the items before it do not add up to that number.
void Put(TScreen& screen, int number, TItem item)
{
    if (static_cast<int>(screen.Items.size()) + 1 != number)
    {
        throw std::runtime_error("menu screen '" + screen.Role + "': item " + item.Name +
                                 " would be item " + std::to_string(screen.Items.size() + 1) +
                                 ", the game expects it as item " + std::to_string(number));
    }
    screen.Items.push_back(std::move(item));
}

// A question on a large plate, its top at y 2.1; its answers lie on it as items of their own.
// A plate taller than QuestionHeight has room below the detail (extra units of it).
TScreen Question(const std::string& role, const std::string& name, const std::string& question,
                 const std::string& detail, float extra = 0)
{
    const float h = QuestionHeight + extra;
    return {role, {Fixed(TItem{name, TLook::Dialog, question, detail, 0.0f, 2.1f - h / 2, 7.2f, h})}};
}

// An answer on a question's plate, on the left or on the right, extra units lower on a
// taller plate.
TItem Answer(const std::string& name, const std::string& text, bool left, float extra = 0)
{
    return Button(name, text, left ? 1.6f : -1.6f, -0.65f - extra, 3.1f, 0.75f);
}

std::vector<TScreen> Screens(int skins)
{
    std::vector<TScreen> screens(MenuScreensUsed);
    TScreen& main = screens[scMain - 1];
    main.Role = "main menu";
    Put(main, mainPlay, Button("play", N_("PLAY"), -1.8f, 1.45f));
    Put(main, mainOptions, Button("options", N_("OPTIONS"), -1.8f, 0.35f));
    Put(main, mainHiScores, Button("scores", N_("HIGH SCORES"), -1.8f, -0.75f));
    Put(main, mainQuit, Button("quit", N_("QUIT"), -1.8f, -1.85f));

    TScreen& play = screens[scPlay - 1];
    play.Role = "play menu";
    Put(play, playNormal, Button("classic", N_("CLASSIC GAME"), -1.8f, 1.45f));
    Put(play, playTimed, Button("timed", N_("TIMED GAME"), -1.8f, 0.35f));
    Put(play, playTutorial, Button("tutorial", N_("HOW TO PLAY"), -1.8f, -0.75f));
    Put(play, playBack, Button("back", N_("BACK"), -1.8f, -1.85f));
    play.Items.push_back(
        Fixed(TItem{"choose", TLook::Title, N_("CHOOSE A GAME"), "", -1.8f, 2.75f, 6.0f, 0.8f}));

    // Options. Sliders: the sound bar lies at y 1.801..2.201, the music bar at
    // -0.00525..0.39475, both from x -1.0 growing to the right.
    const float soundY = 2.001f;
    const float musicY = 0.19475f;
    const float skinY = -1.55f;
    auto small = [](const std::string& name, const std::string& sign, float x, float y)
    {
        return TItem{name, TLook::Small, "", sign, x, y, 0.7f, 0.7f};
    };
    auto caption =
        [](const std::string& name, const std::string& text, float y, const std::string& detail)
    {
        return Fixed(TItem{name, TLook::Caption, text, detail, 0.4f, y, 6.1f,
                           detail == "frame" ? 1.0f : 0.62f});
    };
    TScreen& options = screens[scOptions - 1];
    options.Role = "options";
    Put(options, optSave, Button("save", N_("SAVE"), -0.2f, -3.35f, 2.8f, 0.75f));
    Put(options, optCancel, Button("cancel", N_("CANCEL"), -3.4f, -3.35f, 2.8f, 0.75f));
    TItem spare = Hidden(caption("sound", N_("SOUND"), soundY, "groove"));
    spare.Draw = false;
    Put(options, optSpare, spare);
    Put(options, optSoundDown, small("minus", "-", -0.45f, soundY));
    Put(options, optSoundCaption, caption("sound", N_("SOUND"), soundY, "groove"));
    Put(options, optSoundUp, small("plus", "+", -3.05f, soundY));
    Put(options, optSoundBar, Fixed(TItem{"bar", TLook::Bar, "", "", -1.75f, soundY, 1.5f, 0.4f}));
    Put(options, optMusicDown, small("minus", "-", -0.45f, musicY));
    Put(options, optMusicCaption, caption("music", N_("MUSIC"), musicY, "groove"));
    Put(options, optMusicUp, small("plus", "+", -3.05f, musicY));
    Put(options, optMusicBar, Fixed(TItem{"bar", TLook::Bar, "", "", -1.75f, musicY, 1.5f, 0.4f}));
    Put(options, optSkinDown, small("left", "<", -0.45f, skinY));
    Put(options, optSkinCaption, caption("cubes", N_("CUBES"), skinY, "frame"));
    Put(options, optSkinUp, small("right", ">", -3.05f, skinY));
    for (int skin = 1; skin <= skins; ++skin)
    {
        TItem label{
            "skin" + std::to_string(skin), TLook::Skin, "", "", -1.75f, skinY, 1.75f, 0.95f};
        label.Skin = skin;
        label.Visible = skin == 1;
        Put(options, SkinLabel(skin), label);
    }
    Put(options, OptionsItemCount(skins),
        Fixed(TItem{"optionstitle", TLook::Title, N_("OPTIONS"), "", -1.8f, 3.3f, 5.0f, 0.85f}));

    // During a game, buttons in the recess at the foot of the side panel.
    TScreen& inGame = screens[scInGame - 1];
    inGame.Role = "in-game menu button";
    Put(inGame, inGameMenu, Button("menu", N_("MENU"), -7.1f, -4.6f, 1.8f, 0.6f));
    // Beside it, nearer the board, the undo of the normal mode (the game hides it otherwise).
    Put(inGame, inGameUndo, TItem{"undo", TLook::Small, "", "undo", -5.85f, -4.6f, 0.6f, 0.6f});

    TScreen& leave = screens[scLeave - 1];
    leave = Question("leave the game?", "leave", N_("LEAVE THE GAME?"),
                     N_("Your game is saved and waits for you."));
    Put(leave, leaveSave, Answer("saveleave", N_("SAVE AND LEAVE"), true));
    Put(leave, leavePlayOn, Answer("playon", N_("PLAY ON (ESC)"), false));
    // While the game's save fails: the plate that says so in place of the first, and a
    // third choice below, to leave without the game.
    Put(leave, leaveNotSaved,
        Hidden(Fixed(TItem{"notsaved", TLook::Dialog, N_("LEAVE THE GAME?"), N_("Your game could not be saved."),
                           0.0f, 0.35f, 7.2f, 3.5f})));
    Put(leave, leaveUnsaved, Hidden(Button("leaveunsaved", N_("LEAVE UNSAVED"), 0.0f, -2.0f, 4.2f, 0.75f)));

    // The high scores; the game writes the table from y 2.34 down.
    TScreen& scores = screens[scHiScores - 1];
    scores.Role = "high scores";
    Put(scores, scoresBack, Button("scoresback", N_("BACK"), -1.8f, -4.05f, 3.0f, 0.7f));
    Put(scores, scoresShowTimed, Button("showtimed", N_("CLASSIC GAME  >"), -1.8f, 2.88f, 4.6f, 0.56f));
    Put(scores, scoresShowNormal,
        Hidden(Button("showclassic", N_("TIMED GAME  >"), -1.8f, 2.88f, 4.6f, 0.56f)));
    scores.Items.push_back(
        Fixed(TItem{"scorestitle", TLook::Title, N_("HIGH SCORES"), "", -1.8f, 3.58f, 5.0f, 0.75f}));

    TScreen& resume = screens[scResume - 1];
    // The game writes what waits (mode, level, score, when it was saved) between the detail
    // and the answers (front/FrontEndSession.cpp, TFrontEnd::DrawSavedGame).
    resume = Question("resume the saved game?", "resume", N_("RESUME YOUR GAME?"),
                      N_("A saved game of this kind is waiting."), ResumeLines);
    Put(resume, resumeYes, Answer("resumeyes", N_("RESUME"), true, ResumeLines));
    Put(resume, resumeNew, Answer("newgame", N_("NEW GAME"), false, ResumeLines));

    // Not shown by the game; kept so that the screen numbers stay as they are.
    screens[scSpare - 1] = {"spare", {Button("back", N_("BACK"), -1.8f, -1.85f)}};

    // The tutorial's buttons along the foot of its pages.
    TScreen& tutorial = screens[scTutorial - 1];
    tutorial.Role = "tutorial";
    Put(tutorial, tutClose, Button("close", N_("CLOSE"), -1.8f, -5.0f, 2.6f, 0.62f));
    Put(tutorial, tutNext, Button("next", N_("NEXT  >"), -6.2f, -5.0f, 2.6f, 0.62f));
    Put(tutorial, tutPrevious, Hidden(Button("previous", N_("<  PREVIOUS"), 2.6f, -5.0f, 2.6f, 0.62f)));

    // The help page before a game.
    TItem on{"helpon", TLook::Toggle, N_("SHOW THIS BEFORE EVERY GAME"), "", 0.9f, -4.95f, 5.6f,
             0.62f};
    on.Checked = true;
    TItem off = Hidden(on);
    off.Name = "helpoff";
    off.Checked = false;
    TScreen& help = screens[scHelp - 1];
    help.Role = "help before a game";
    Put(help, helpStart, Button("start", N_("START"), -6.2f, -4.95f, 2.8f, 0.7f));
    Put(help, helpOn, on);
    Put(help, helpOff, off);
    for (int screen = 1; screen <= MenuScreensUsed; ++screen)
    {
        const int items = static_cast<int>(screens[screen - 1].Items.size());
        if (items < MenuRequiredItems[screen] || items > MaxMenuItems)
        {
            throw std::runtime_error("menu screen " + std::to_string(screen) + " has " +
                                     std::to_string(items) + " items; the game takes " +
                                     std::to_string(MenuRequiredItems[screen]) + " to " +
                                     std::to_string(MaxMenuItems));
        }
    }
    return screens;
}

std::string Real(float v)
{
    // The menu file is read with a point whatever the locale: never the C library's printf.
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v), std::chars_format::fixed, 5);
    std::string s(buffer, r.ptr);
    while (s.size() > 1 && s.back() == '0')
    {
        s.pop_back();
    }
    if (s.back() == '.')
    {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

TImage MenuBackground(const TSources& sources)
{
    const TScreenMap m{PictureWidth, PictureHeight};
    const float unit = m.Unit();
    TImage img = Backdrop(PictureWidth, PictureHeight, 301);
    DrawTitle(img, sources, "TANDREL", m.X(-1.8f), m.Y(4.5f), unit * 0.95f);
    // A pane of dark glass behind the menus and the score table.
    TPanelStyle pane;
    pane.Radius = unit * 0.3f;
    pane.Top = Rgb(0x0E1538, 0.6f);
    pane.Bottom = Rgb(0x060A1E, 0.7f);
    pane.Border = 2;
    pane.BorderColour = Rgb(0xB08A3E, 0.8f);
    pane.ShadowBlur = unit * 0.12f;
    pane.ShadowOffset = unit * 0.05f;
    pane.ShadowColour = TColour{0, 0, 0, 0.5f};
    DrawPanel(img, m.X(2.65f), m.Y(4.0f), m.X(-6.25f), m.Y(-4.6f), pane);
    // Cubes at the sides: a square just made on the left, a stack with specials on the right.
    const float size = unit * 0.6f;
    auto cube = [&](int skin, int index, float x, float y)
    {
        DrawIsoCube(img, SkinTexture(skin, index), {m.X(x), m.Y(y)}, size);
    };
    cube(1, 2, 4.35f, -1.5f);
    cube(1, 2, 3.83f, -1.8f);
    cube(1, 2, 4.87f, -1.8f);
    cube(1, 2, 4.35f, -2.1f);
    cube(3, 0, 4.0f, -3.6f);
    cube(2, 3, 4.6f, -4.0f);
    cube(1, 7, -7.6f, -1.3f);
    cube(1, 8, -7.9f, -2.9f);
    cube(4, 5, -7.3f, -3.2f);
    cube(5, 1, -8.0f, -4.3f);
    Grain(img, 0.015f, 302);
    return img;
}
// Both pictures of an item, Images/Menu/NAME.tga and NAME_lit.tga.
void WriteItem(const TOutput& out, const TSources& sources, const TItem& item)
{
    for (const bool lit : {false, true})
    {
        const std::string file = "Images/Menu/" + item.Name + (lit ? "_lit" : "") + ".tga";
        out.WriteTga(file, Drawn(file, sources, [&] { return DrawItem(sources, item, lit); }));
    }
}

// Each screen as the player sees it, its first selectable item highlighted, when the output
// has a previews folder.
void PreviewScreens(const TOutput& out, const TSources& sources, const std::vector<TScreen>& screens)
{
    if (!out.HasPreviews())
    {
        return;
    }
    const TImage menuBack = MenuBackground(sources);
    const TImage board = DrawBackground(sources);
    const TScreenMap m{PictureWidth, PictureHeight};
    for (size_t s = 0; s < screens.size(); ++s)
    {
        const int number = static_cast<int>(s) + 1;
        const bool overBoard = number == scInGame || number == scLeave || number == scResume;
        TImage shot = overBoard ? board.Resized(PictureWidth, PictureHeight) : menuBack;
        bool highlighted = false;
        for (const TItem& item : screens[s].Items)
        {
            if (!item.Visible)
            {
                continue;
            }
            const bool lit = !highlighted && item.Selectable;
            highlighted = highlighted || lit;
            const TImage picture = DrawItem(sources, item, lit);
            const float scale = m.Unit() / PerUnit;
            shot.DrawImage(picture, m.X(item.X + item.W / 2), m.Y(item.Y + item.H / 2), scale);
        }
        out.Preview("menu-screen" + std::to_string(s + 1), shot.Downsampled(2));
    }
}
} // namespace

void MakeMenu(const TOutput& out, const TSources& sources)
{
    out.WriteJpeg("Images/menu.jpg", MenuBackground(sources), 90);
    const std::vector<TScreen> screens = Screens(sources.Skins);
    std::string dat =
        "Tandrel menu: ten screens of items, each item's normal and highlighted picture\n"
        "Images/menu.jpg\n"
        "number of screens\n" +
        std::to_string(screens.size()) + "\n";
    std::map<std::string, std::string> drawn;
    int index = 0;
    for (const TScreen& screen : screens)
    {
        ++index;
        dat += "--- screen " + std::to_string(index) + ": " + screen.Role + " ---\n";
        dat += std::to_string(screen.Items.size()) + "\n";
        for (const TItem& item : screen.Items)
        {
            const std::string normal = "Images/Menu/" + item.Name + ".tga";
            const std::string lit = "Images/Menu/" + item.Name + "_lit.tga";
            // Items that look the same share their pictures.
            const std::string size = Real(item.W) + "x" + Real(item.H);
            const auto known = drawn.find(item.Name);
            if (known != drawn.end() && known->second != size)
            {
                throw std::runtime_error("menu item " + item.Name + " is drawn at two sizes");
            }
            if (item.Draw && known == drawn.end())
            {
                drawn[item.Name] = size;
                WriteItem(out, sources, item);
            }
            dat += normal + "\n" + lit + "\n";
            dat += Real(item.X) + " " + Real(item.Y) + " " + Real(Depth) + "\n";
            dat += Real(item.W) + " " + Real(item.H) + " 1\n";
            dat += "0 0 0\n";
            dat += std::string(item.Visible ? "1" : "0") + "\n";
            dat += std::string(item.Selectable ? "1" : "0") + "\n";
        }
    }
    out.WriteText("data/Menu.dat", dat);
    PreviewScreens(out, sources, screens);
}

void MakeMenuWords(const TOutput& out, const TSources& sources)
{
    const std::vector<TScreen> screens = Screens(sources.Skins);
    std::set<std::string> drawn;
    for (const TScreen& screen : screens)
    {
        for (const TItem& item : screen.Items)
        {
            // All of them, the signs and bars too: the menu reads every item's pictures in
            // the language shown.
            if (item.Draw && drawn.insert(item.Name).second)
            {
                WriteItem(out, sources, item);
            }
        }
    }
    PreviewScreens(out, sources, screens);
}
