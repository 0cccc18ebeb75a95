// The program's folders at run time: the program folder holds the read-only content (data/,
// Images/, Sounds/, Music/); the user folder $XDG_DATA_HOME/tandrel (~/.local/share/tandrel)
// holds saved games, high scores and debug.txt; the cache folder $XDG_CACHE_HOME/tandrel
// (~/.cache/tandrel) only holds what earlier versions converted there (the tutorial
// bitmaps, removed at start).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The places the program folder is looked for, in order: the executable's own folder (the
// build tree), ../share/tandrel from it (an install under any prefix, a package unpacked
// anywhere), the same for the configured layout when it differs, and the configured data
// folder itself.
std::vector<std::filesystem::path> ProgramFolderCandidates(const std::filesystem::path& executableFolder);
// The first candidate that holds a data/ folder; empty when none does (a missing file inside
// a found folder is reported by whatever reads it, naming the file).
std::filesystem::path FindProgramFolder(const std::vector<std::filesystem::path>& candidates);
// The message for a program folder found nowhere, naming every place looked at.
std::string ProgramFolderMissingText(const std::vector<std::filesystem::path>& candidates);

// The player's manual (manual.html) that goes with a program folder: ../doc/tandrel from it
// (the build tree and the standard install), the same for the configured layout, then the
// configured documentation folder; in each, the manual of `language` ("de", "pt_BR": its
// folder <code>/) before the English one. Empty when none exists.
std::filesystem::path ManualFile(const std::filesystem::path& programFolder, const std::string& language);

// The folder of the running executable.
std::filesystem::path ExecutableFolder();
// The program folder found from the executable's folder, or empty.
std::filesystem::path ProgramFolder();
std::filesystem::path UserFolder();

// One copy of the game per user folder: takes the lock of the folder itself for the life
// of the process. False when another copy holds it (that copy's saves, scores and log are
// then left alone); true also where no lock can be taken at all.
bool LockUserFolder(const std::filesystem::path& userFolder);
// The copy that holds the lock writes its process number into it; a second copy asks it to
// bring its window to the front (SIGURG, which a process that does not listen ignores)
// instead of taking the focus with a box of its own. False when no copy could be asked.
bool AskRunningCopyToShow(const std::filesystem::path& userFolder);
// The running copy listens for that request from the start; true once for every request.
void ListenForShowRequests();
bool ShowRequested();
std::filesystem::path CacheFolder();
