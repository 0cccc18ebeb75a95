// The menu: data/Menu.dat with its ten screens, every item's normal and highlighted picture
// (Images/Menu/...), and the menu background (Images/menu.jpg).
#pragma once

#include "tools/content/Output.h"
#include "tools/content/Sources.h"

void MakeMenu(const TOutput& out, const TSources& sources);
// Every item's pictures in the language of `sources` (into the output of that language), and
// the previews of its screens.
void MakeMenuWords(const TOutput& out, const TSources& sources);
