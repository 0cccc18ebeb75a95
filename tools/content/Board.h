// The back plane of the game, seen all game long: the board, the right-hand panel and the
// groove of the progress bar, drawn for the camera at rest (Images/background.jpg).
#pragma once

#include "base/BoardFrame.h"
#include "tools/content/Image.h"
#include "tools/content/Output.h"
#include "tools/content/Sources.h"

inline constexpr int BackgroundWidth = 1600;
inline constexpr int BackgroundHeight = 1200;

TImage DrawBackground(const TSources& sources);
void MakeBackground(const TOutput& out, const TSources& sources);
