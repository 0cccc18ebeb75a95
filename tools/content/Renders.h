// Frames of the real game rendered by tandrel-snapshot from set-up scenes (tools/pages),
// and placing them on a page: read, shrunk with an area filter, framed like the game's panels.
#pragma once

#include "tools/content/Image.h"
#include "tools/content/Sources.h"

#include <string>

// The render `name`.ppm from the renders folder of `sources` (from its lang/<code>/ for a
// language when it has one there); throws naming the file when it is
// missing or not a binary PPM.
TImage ReadRender(const TSources& sources, const std::string& name);

// Shrinks (or enlarges) to width x height, each output pixel the average of the source area
// it covers: no aliasing of grid lines when a frame is made smaller.
TImage AreaResized(const TImage& src, int width, int height);

struct TPlaced
{
    float X0 = 0, Y0 = 0, X1 = 0, Y1 = 0; // pixels on the page
};

// Draws the render as large as fits into the box of `maxWidth` x `maxHeight` pixels centred
// at (cx, cy), with rounded corners, a gilded rim and a drop shadow; returns where it went.
TPlaced DrawRender(TImage& page, const TImage& render, float cx, float cy, float maxWidth,
                   float maxHeight);
