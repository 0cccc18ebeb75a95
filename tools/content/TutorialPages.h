// The nine tutorial pages, Images/Tutorial/tut1..9.jpg: frames of the real game rendered by
// tandrel-snapshot from the set-up scenes of tools/pages/scenes.txt (read from the renders
// folder of the sources), with titles, captions and a few lines each. The foot of every page
// stays clear for the close, next and previous buttons. Every language has its own pages.
#pragma once

#include "tools/content/Output.h"
#include "tools/content/Sources.h"

// How many pages there are, and page `number` (from 1) in every language.
int TutorialPageCount();
void MakeTutorialPage(const TOutput& out, const TSources& sources, int number);
