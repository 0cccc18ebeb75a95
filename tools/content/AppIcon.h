// The application's icon for the desktop: four cubes of one colour in a square on a piece of
// the board, seen from above at an angle. One list of flat shapes with vertical gradients is
// both rasterised (the PNG sizes of the icon theme) and written as SVG (the scalable icon), so
// that every size shows the same picture.
#pragma once

#include "tools/content/Output.h"
#include "tools/content/Shapes.h"
#include "tools/content/Sources.h"

#include <string>
#include <vector>

// The icon's edge in its own units; every shape lies within 0..IconUnits.
inline constexpr float IconUnits = 512.0f;

struct TIconShape
{
    std::vector<TVec2> Points; // a closed polygon, in icon units
    TColour Top, Bottom;       // the gradient from the shape's highest to its lowest point
};

// Back to front: later shapes cover earlier ones.
std::vector<TIconShape> IconShapes();
// The shapes as a square picture of `size` pixels, antialiased by supersampling.
TImage IconPicture(int size);
// The shapes as an SVG document with a viewBox of IconUnits.
std::string IconSvg();

// The sizes of the icon theme's PNGs.
inline constexpr int IconSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};

// icons/N.png for every size and icons/scalable.svg; only on request (--only icons), as these
// belong to the desktop, not to the program folder.
void MakeIcons(const TOutput& out, const TSources& sources);
