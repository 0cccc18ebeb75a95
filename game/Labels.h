// Floating score labels: short texts that rise from the board, drift and fade.
// The game adds and advances them; the renderer draws them with the bitmap fonts.
#pragma once

#include "base/Glyphs.h"
#include "base/TexMatrix.h"

#include <array>
#include <cstdint>
#include <string_view>

constexpr int MaxLabels = 20;
constexpr int MaxLabelText = 79; // bytes of UTF-8 kept of a label's text, whole characters
constexpr int LabelFontHeight = 40; // glyph height in font texture pixels; no glyph is wider

struct TScoreLabel
{
    TVector3 Position; // pen position; z is always 1.0
    TVector3 Velocity; // world units per millisecond
    TVector3 Damping;  // each update adds Velocity x Damping x dt to Velocity
    float Alpha = 0;   // opacity, starts at 255
    uint8_t Font = 1;  // motion style: font number 1 or 2
    uint8_t Colour = 1; // colour style: index into the font colours
    int Size = 0;
    std::array<char, MaxLabelText + 1> Text{}; // zero-terminated, no allocation

    std::string_view GetText() const { return Text.data(); }
};

class TScoreLabels
{
public:
    TScoreLabels();

    // Appends a label; the 21st label while 20 are alive is dropped.
    void AddLabel(const TVector3& position, int font, int colour, std::string_view text, int size);
    // A label the rules put beside board cells (points, the combo's call, BONUS): moved only
    // as far as it takes to keep it inside the board as the resting camera sees it, its whole
    // text where it starts and the height it rises while it fades. A text wider than the
    // board starts at the board's left edge.
    void AddBoardLabel(const TVector3& position, int font, int colour, std::string_view text,
                       int size);
    // Width of the text in world units at the given size, as far as the label keeps it.
    float TextWidth(int font, std::string_view text, int size) const;
    // Moves, slows and fades every label by dt milliseconds and removes the faded ones.
    void UpdateLabels(float dt);
    void Clear() { LabelCount = 0; }

    int LabelCount = 0;
    std::array<TScoreLabel, MaxLabels + 1> Labels{}; // 1-based: Labels[1..LabelCount]
    // Pen advance of each glyph (base/Glyphs.h; 0 the blank) in texture pixels, per font (1,
    // 2). The renderer fills it from the fonts it loaded; until then every character counts
    // as LabelFontHeight, which no glyph exceeds.
    std::array<std::array<uint16_t, FontGlyphCount + 1>, 3> Advance{};
};
