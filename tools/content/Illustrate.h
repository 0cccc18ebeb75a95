// Drawing the game's own things into pictures: cubes seen from the side or from above,
// paragraphs of text.
#pragma once

#include "tools/content/Image.h"
#include "tools/content/Paint.h"
#include "tools/content/Shapes.h"
#include "tools/content/Sources.h"

#include <string_view>

// Maps the texture onto the parallelogram origin + u * axisU + v * axisV, darkened by `shade`.
void DrawTexturedQuad(TImage& img, const TImage& texture, TVec2 origin, TVec2 axisU, TVec2 axisV,
                      float shade = 1.0f, float opacity = 1.0f);
// A cube seen from above and the side, its top face centred at `centre`, `size` pixels across
// a face; the texture shows on all three visible sides.
void DrawIsoCube(TImage& img, const TImage& texture, TVec2 centre, float size);
// A cube on the board seen from straight above, with a soft shadow; `size` is the cell size.
void DrawTopCube(TImage& img, const TImage& texture, TVec2 centre, float size, float scale = 0.8f);
// A piece of the board: `columns` x `rows` tiles of `cell` pixels from (x0, y0), grid lines
// on their borders, as on the back plane.
void DrawMiniBoard(TImage& img, float x0, float y0, int columns, int rows, float cell);
// Wraps text into lines no wider than `width`, first line's capitals centred on `y`; returns
// the y after the last line.
float DrawParagraph(TImage& img, const TSources& sources, std::string_view text, float x, float y,
                    float width, float lineHeight, const TTextStyle& style,
                    TAlign align = TAlign::Left);
// DrawParagraph at the largest em size (down to SmallestEm of the style's, the line height
// shrinking with it) whose lines are no wider than `width` and whose last line ends above
// `bottom` (its capitals' centre half a line height above it); throws TClipped when even
// the smallest does not fit.
float DrawParagraphIn(TImage& img, const TSources& sources, std::string_view text, float x, float y,
                      float width, float lineHeight, float bottom, const TTextStyle& style,
                      TAlign align = TAlign::Left);
