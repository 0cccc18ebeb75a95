// The two bitmap fonts of the game: glyph images in rows and their boundary files.
#pragma once

#include "base/Glyphs.h"
#include "tools/content/Output.h"
#include "tools/content/Sources.h"

#include <string_view>

// The glyphs are those of base/Glyphs.h (FontCharacters), in its order.
// Height of one glyph row in the font pictures: the game draws every glyph 40 pixels high.
inline constexpr int FontRowHeight = 40;
inline constexpr int FontTextureWidth = 512;
// The large set (data/large/) draws the same glyphs this many times larger, for screens whose
// picture is taller than 960 pixels: up to 2880 pixels tall a glyph's pixel is never drawn
// larger than a screen pixel (3840 x 2160 draws it 0.8 pixels wide, 1920 x 1080 0.4).
inline constexpr int LargeFontScale = 3;

// data/font.dat + font.tga (labels and high scores) and data/font1.dat + font1.tga
// (the numbers of the game display), with the large pictures data/large/font.tga and
// data/large/font1.tga.
void MakeFonts(const TOutput& out, const TSources& sources);
