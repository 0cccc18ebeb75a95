// The full-screen pictures: the loading picture with its lamp track, game over, the help
// page shown before a game (composed from rendered frames); the launcher's artwork and the
// window icon.
#pragma once

#include "tools/content/Image.h"
#include "tools/content/Output.h"
#include "tools/content/Paint.h"
#include "tools/content/Sources.h"

#include <string_view>

inline constexpr int PictureWidth = 1600;
inline constexpr int PictureHeight = 1200;

// The deep blue backdrop with a soft light from above, shared by the full-screen pictures.
TImage Backdrop(int width, int height, uint32_t seed, float warmth = 0.0f);
// The game's name in gilded letters, centred at (x, y), `em` pixels per em, no wider than
// `width` pixels (0: nine tenths of the picture).
void DrawTitle(TImage& img, const TSources& sources, std::string_view text, float x, float y, float em,
               float width = 0.0f);
// Gold condensed capitals with a soft shadow: the headings and captions of the pictures and
// of the game display.
TTextStyle HeadingStyle(float em);

// The loading and game-over pictures, the launcher's artwork and the icon.
void MakePictures(const TOutput& out, const TSources& sources);
// The help page, Images/help.jpg, with frames of the game rendered by tandrel-snapshot.
void MakeHelp(const TOutput& out, const TSources& sources);
