// The room around the board, seen while the camera circles on fly-by levels and at the end
// of a game: Images/floor.jpg and Images/wall1..4.jpg (all upright, ceiling at the top).
#pragma once

#include "tools/content/Output.h"
#include "tools/content/Sources.h"

void MakeRoom(const TOutput& out, const TSources& sources);
