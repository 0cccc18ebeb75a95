// The nine tutorial pages, Images/Tutorial/tut1..9.jpg: board pictures drawn with the game's
// own cubes, board and path marks, and a few lines each. The foot of every page stays clear
// for the close, next and previous buttons.
#pragma once

#include "Output.h"
#include "Sources.h"

void MakeTutorial(const TOutput& out, const TSources& sources);
