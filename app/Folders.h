// The program's folders at run time: the program folder beside the executable holds the
// read-only content; the user folder $XDG_DATA_HOME/tandrel (~/.local/share/tandrel)
// holds saved games, high scores and debug.txt.
#pragma once

#include <filesystem>

std::filesystem::path ProgramFolder();
std::filesystem::path UserFolder();
