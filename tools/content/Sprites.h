// Small pictures with alpha drawn over the scene: progress bar and cap, lamp, bonus-level
// card, path dots, the two cursors, the six particle images and the new-level banner.
#pragma once

#include "tools/content/Image.h"
#include "tools/content/Output.h"
#include "tools/content/Sources.h"

TImage LampImage(int size);
// Path dots: 1 a step of the path, 2 a reachable target, 3 an unreachable one.
TImage DotImage(int kind);
void MakeSprites(const TOutput& out, const TSources& sources);
