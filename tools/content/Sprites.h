// Small pictures with alpha drawn over the scene: progress bar and cap, lamp, bonus-level
// card, path dots, the two cursors, the six particle images and the new-level banner.
#pragma once

#include "Image.h"
#include "Output.h"
#include "Sources.h"

TImage LampImage(int size);
void MakeSprites(const TOutput& out, const TSources& sources);
