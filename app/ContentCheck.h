// Every content file the game needs, checked before anything is loaded: the pictures (also
// those shown only later: skins, help, game over, tutorial pages), the fonts, the menu file
// with its pictures, the level and figure files, the sounds and the tunes. A file that is
// missing, cannot be read or is damaged is named with its problem, all of them in one
// message, and the program ends, whichever kind of file it is.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// "FILE: PROBLEM" for each file the game cannot read. The cheap check opens each file and
// reads its header only; with readDataFiles the text files (menu, levels, figures, font
// metrics) are also read through, so a damaged one is named with its line.
std::vector<std::string> ContentProblems(const std::filesystem::path& programFolder, bool readDataFiles);

// The one message that names them all.
std::string ContentMessage(const std::vector<std::string>& problems);
