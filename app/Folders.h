// The program's folders at run time: the program folder beside the executable holds the
// read-only content; the user folder $XDG_DATA_HOME/tandrel (~/.local/share/tandrel)
// holds saved games, high scores and debug.txt.
#pragma once

#include <filesystem>

std::filesystem::path ProgramFolder();
std::filesystem::path UserFolder();

// One copy of the game per user folder: takes the folder's lock for the life of the
// process. False when another copy holds it (that copy's saves, scores and log are then
// left alone); true also where no lock can be taken at all.
bool LockUserFolder(const std::filesystem::path& userFolder);
