// The nine tutorial pages, Images/Tutorial/tut1..9.jpg: frames of the real game rendered by
// tandrel-snapshot from the set-up scenes of tools/pages/scenes.txt (read from the renders
// folder of the sources), with titles, captions and a few lines each. The foot of every page
// stays clear for the close, next and previous buttons.
#pragma once

#include "tools/content/Output.h"
#include "tools/content/Sources.h"

void MakeTutorial(const TOutput& out, const TSources& sources);
