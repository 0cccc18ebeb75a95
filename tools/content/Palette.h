// The look shared by every picture: the seven cube colours, the colours of the board and
// panels, and where world points fall on a full-screen picture.
#pragma once

#include "tools/content/Image.h"

#include <array>

// Cube colours 1..7 (index 0 unused) of the four coloured skins.
inline const std::array<TColour, 8> CubeColours = {
    TColour{0, 0, 0, 1}, Rgb(0xE5302B), Rgb(0x2FBF45), Rgb(0x2E69EA),
    Rgb(0xF4CC1F),       Rgb(0xA23ED6), Rgb(0x1FC6D6), Rgb(0xECE8E0),
};
// The colour-blind skin: a palette kept apart for every kind of colour vision, each colour
// with its own symbol as well.
inline const std::array<TColour, 8> SymbolColours = {
    TColour{0, 0, 0, 1}, Rgb(0xD55E00), Rgb(0x009E73), Rgb(0x0072B2),
    Rgb(0xF0E442),       Rgb(0xCC79A7), Rgb(0x56B4E9), Rgb(0xF2F2F2),
};

// The room: deep twilight blue with warm gold.
inline const TColour Ink = Rgb(0x0B1022);
inline const TColour Night = Rgb(0x141C3A);
inline const TColour Dusk = Rgb(0x243063);
inline const TColour Gold = Rgb(0xE2B65A);
inline const TColour PaleGold = Rgb(0xF7E2A8);
inline const TColour Ivory = Rgb(0xF4EEDC);
inline const TColour Glow = Rgb(0x9FD8FF);

// A full-screen picture shows world x from 5.425 (left) to -9.025 (right) and y from
// 5.16875 (top) to -5.66875 (bottom): world +x runs to the left of the screen.
struct TScreenMap
{
    int Width;
    int Height;

    float X(float worldX) const { return (5.425f - worldX) / 14.45f * static_cast<float>(Width); }
    float Y(float worldY) const
    {
        return (5.16875f - worldY) / 10.8375f * static_cast<float>(Height);
    }
    // Pixels per world unit (the same across and down for a 4:3 picture).
    float Unit() const { return static_cast<float>(Width) / 14.45f; }
};
