// The player's language: every text a player reads goes through the catalogue of the text
// domain "tandrel" (po/ in the source tree, locale/<code>/LC_MESSAGES/tandrel.mo beside the
// program folder). English is the source language: a text missing from a catalogue, or a
// catalogue that cannot be read, shows the English text.
//
//   _("Start Game")                        translated where it is used
//   N_("Double score")                     marked for the catalogue, translated later with _()
//   ngettext("%d cube left", "%d cubes left", n)   where a number stands beside a word
//
// The language is chosen once at start-up (StartLanguage), from LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG as every gettext program does, unless the settings name one.
#pragma once

#include <libintl.h>

#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#define _(text) gettext(text)
#define N_(text) text

constexpr const char* TextDomain = "tandrel";
// The pseudo-language of the tests and translators (po/pseudo): never shipped.
constexpr const char* PseudoLanguage = "xx";

// A translated pattern with its values put in: "%s" (or "%d") takes the next value, "%1$s"
// the first, so that a translation may reorder them; "%%" is a percent sign. Numbers are
// written by the caller, locale-free.
std::string Formatted(std::string_view pattern, std::initializer_list<std::string_view> values);
inline std::string Formatted(std::string_view pattern, std::string_view value)
{
    return Formatted(pattern, {value});
}

// A language the game ships: its catalogue's code and its name in itself.
struct TLanguage
{
    const char* Code; // "de", "pt_BR"
    const char* Name; // "Deutsch", "Português (Brasil)"
};
// The languages whose names the game knows, in the order the options dialog lists them. Only
// those whose catalogue is present are offered (AvailableLanguages).
std::span<const TLanguage> KnownLanguages();
// The name in itself of a code of KnownLanguages, or the code itself.
std::string LanguageName(std::string_view code);

// The folder of the catalogues that go with a program folder: locale/ inside it (the build
// tree), otherwise ../locale from it (share/tandrel -> share/locale when installed).
std::filesystem::path LocaleFolder(const std::filesystem::path& programFolder);
// English and the codes whose compiled catalogue is in the locale folder, in KnownLanguages'
// order.
std::vector<std::string> AvailableLanguages(const std::filesystem::path& localeFolder);

// The language as gettext would choose it from the environment: the first entry of LANGUAGE
// (a colon list), else LC_ALL, LC_MESSAGES, LANG, whose catalogue is present ("pt_BR.UTF-8"
// matches pt_BR, then pt). Empty: English.
std::string SystemLanguage(const std::filesystem::path& localeFolder);

// Sets the C library's locale from the environment, binds the text domain to the locale
// folder in UTF-8 and chooses `chosen` (a code, or empty for the system's language). Call
// once the settings are read; may be called again to change the language.
void StartLanguage(const std::filesystem::path& localeFolder, std::string_view chosen = {});
// The language the texts are shown in: "de", "pt_BR", ... or "" for English (also when the
// chosen language's catalogue cannot be read). Per-language content lives in folders so named.
std::string CurrentLanguage();
// The debug log's line about the language: which one, or why English is used.
std::string LanguageLogLine();

// In the pseudo-language xx (po/pseudo marks every text "[Ŝţàŕţ]"), a text the program shows
// with an English word outside the marks is one its catalogue does not carry: it is named on
// standard error, once. Words with digits, '/', '.' or '_' (numbers, sizes, paths, files) and
// the game's name are not words of a text. Does nothing in any other language.
void CheckShownText(std::string_view text);
// The test of CheckShownText, in any language: the text has a word with a Latin letter outside
// the pseudo-language's marks (the content generator asks it of what it draws in xx).
bool HasUnmarkedWord(std::string_view text);
