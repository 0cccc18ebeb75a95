// The program folder's files that carry words (the menu's word pictures, the help, tutorial,
// loading and game-over pictures, the announcer's voice lines) are made once per language
// into lang/<code>/ of the program folder, at the same paths as the English ones
// (lang/de/Images/help.jpg beside Images/help.jpg). Everything else is shared. The English
// file is the fallback, file by file.
#pragma once

#include <filesystem>
#include <string_view>

inline constexpr const char* LanguagesFolder = "lang";

// programFolder/lang/<language>/relative; the English file itself when language is "".
std::filesystem::path LanguageFile(const std::filesystem::path& programFolder, std::string_view language,
                                   const std::filesystem::path& relative);

// The file to read for `relative` (e.g. "Images/help.jpg") in `language` ("de", or "" for
// English): the language's own file when it has one, else the English file. A language
// without the file is written to the debug log, once per file and run.
std::filesystem::path LocalFile(const std::filesystem::path& programFolder, const std::filesystem::path& relative,
                                std::string_view language);
// The same in the language the texts are shown in (CurrentLanguage, base/Text.h).
std::filesystem::path LocalFile(const std::filesystem::path& programFolder, const std::filesystem::path& relative);
