#include "base/Text.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdio>
#include <functional>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace
{
// English first: the source language, which needs no catalogue.
constexpr std::array<TLanguage, 8> Languages{{
    {"en", "English"},
    {"de", "Deutsch"},
    {"fr", "Français"},
    {"es", "Español"},
    {"pt_BR", "Português (Brasil)"},
    {"pl", "Polski"},
    {"ru", "Русский"},
    {"xx", "[Pŝéüdő]"}, // the pseudo-language of the build tree, never installed
}};

std::string Current;
std::string LogLine = "Language: English";

std::filesystem::path CatalogueFile(const std::filesystem::path& localeFolder, std::string_view code)
{
    return localeFolder / std::string(code) / "LC_MESSAGES" / (std::string(TextDomain) + ".mo");
}

bool HasCatalogue(const std::filesystem::path& localeFolder, std::string_view code)
{
    std::error_code ec;
    return !code.empty() && std::filesystem::is_regular_file(CatalogueFile(localeFolder, code), ec);
}

// A code as a catalogue folder may be named: letters, digits and '_' only.
bool PlainCode(std::string_view code)
{
    if (code.empty() || code.size() > 16)
    {
        return false;
    }
    for (const char c : code)
    {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '_')
        {
            return false;
        }
    }
    return true;
}

// One entry of a locale variable ("pt_BR.UTF-8@euro") matched as gettext does: the
// language with its territory, then the language alone. "C" and "POSIX" mean English.
std::string MatchEntry(const std::filesystem::path& localeFolder, std::string_view entry, bool& english)
{
    entry = entry.substr(0, entry.find_first_of(".@"));
    english = entry == "C" || entry == "POSIX";
    if (english || !PlainCode(entry))
    {
        return {};
    }
    if (HasCatalogue(localeFolder, entry))
    {
        return std::string(entry);
    }
    const std::string_view language = entry.substr(0, entry.find('_'));
    return language != entry && HasCatalogue(localeFolder, language) ? std::string(language) : std::string();
}

const char* Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0' ? value : nullptr;
}
} // namespace

std::string Formatted(std::string_view pattern, std::initializer_list<std::string_view> values)
{
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i)
    {
        if (pattern[i] != '%' || i + 1 >= pattern.size())
        {
            out += pattern[i];
            continue;
        }
        if (pattern[i + 1] == '%')
        {
            out += '%';
            ++i;
            continue;
        }
        size_t at = i + 1;
        size_t index = next++;
        if (at + 2 < pattern.size() && pattern[at] >= '1' && pattern[at] <= '9' && pattern[at + 1] == '$')
        {
            index = static_cast<size_t>(pattern[at] - '1');
            at += 2;
        }
        if (at < pattern.size() && (pattern[at] == 's' || pattern[at] == 'd'))
        {
            if (index < values.size())
            {
                out += values.begin()[index];
            }
            i = at;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

std::span<const TLanguage> KnownLanguages()
{
    return Languages;
}

std::string LanguageName(std::string_view code)
{
    for (const TLanguage& language : Languages)
    {
        if (code == language.Code)
        {
            return language.Name;
        }
    }
    return std::string(code);
}

std::filesystem::path LocaleFolder(const std::filesystem::path& programFolder)
{
    std::error_code ec;
    const std::filesystem::path inside = programFolder / "locale";
    if (std::filesystem::is_directory(inside, ec))
    {
        return inside;
    }
    return (programFolder / ".." / "locale").lexically_normal();
}

std::vector<std::string> AvailableLanguages(const std::filesystem::path& localeFolder)
{
    std::vector<std::string> codes;
    for (const TLanguage& language : Languages)
    {
        if (std::string_view(language.Code) == "en" || HasCatalogue(localeFolder, language.Code))
        {
            codes.emplace_back(language.Code);
        }
    }
    return codes;
}

std::string SystemLanguage(const std::filesystem::path& localeFolder)
{
    // LANGUAGE is a list of preferences and, where set, the only one consulted.
    if (const char* list = Environment("LANGUAGE"))
    {
        std::string_view rest = list;
        while (!rest.empty())
        {
            const size_t colon = rest.find(':');
            bool english = false;
            const std::string code = MatchEntry(localeFolder, rest.substr(0, colon), english);
            if (!code.empty() || english)
            {
                return code;
            }
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
        return {};
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        if (const char* value = Environment(name))
        {
            bool english = false;
            return MatchEntry(localeFolder, value, english);
        }
    }
    return {};
}

void StartLanguage(const std::filesystem::path& localeFolder, std::string_view chosen)
{
    std::setlocale(LC_ALL, "");
    // Text is UTF-8 (the keyboard's text input, the messages on standard error) even where
    // the environment names no locale.
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype == nullptr || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0)
    {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    std::string code;
    if (chosen.empty())
    {
        code = SystemLanguage(localeFolder);
    }
    else if (chosen != "en" && PlainCode(chosen) && HasCatalogue(localeFolder, chosen))
    {
        code = std::string(chosen);
    }
    // gettext is told the choice in its own terms: LANGUAGE, which it honours only where the
    // messages' locale is not plain C (a player may have no locale of that language at all).
    ::setenv("LANGUAGE", code.empty() ? "en" : code.c_str(), 1);
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    if (!code.empty() && (messages == nullptr || std::strcmp(messages, "C") == 0 || std::strcmp(messages, "POSIX") == 0))
    {
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    bindtextdomain(TextDomain, localeFolder.c_str());
    bind_textdomain_codeset(TextDomain, "UTF-8");
    textdomain(TextDomain); // also forgets the texts looked up in the language before

    Current = code;
    LogLine = "Language: " + LanguageName(code.empty() ? "en" : code);
    // A catalogue that loads answers the empty text with its header.
    static const char* const HeaderKey = "";
    if (!code.empty() && gettext(HeaderKey)[0] == '\0')
    {
        LogLine = "The catalogue '" + CatalogueFile(localeFolder, code).string() +
                  "' cannot be read: the texts are shown in English";
        Current.clear();
    }
}

bool HasUnmarkedWord(std::string_view text)
{
    int depth = 0;
    size_t word = 0;
    for (size_t i = 0; i <= text.size(); ++i)
    {
        const char c = i < text.size() ? text[i] : ' ';
        const bool wordChar = c != ' ' && c != '\n' && c != '[' && c != ']' && c != ',' && c != ':' && c != '(' &&
                              c != ')' && c != '\'' && c != '"';
        if (!wordChar)
        {
            const std::string_view w = text.substr(word, i - word);
            const bool letters = w.find_first_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") != w.npos;
            const bool notWord = w.find_first_of("0123456789/._") != w.npos || w == "Tandrel" || w == "TANDREL";
            if (depth == 0 && letters && !notWord)
            {
                return true;
            }
            depth += c == '[' ? 1 : c == ']' && depth > 0 ? -1 : 0;
            word = i + 1;
        }
    }
    return false;
}

void CheckShownText(std::string_view text)
{
    if (Current != PseudoLanguage)
    {
        return;
    }
    static std::array<size_t, 128> named{};
    static size_t namedCount = 0;
    const bool untranslated = HasUnmarkedWord(text);
    // The first marked text is named too: it tells that the check runs.
    static bool markedNamed = false;
    if (!untranslated)
    {
        if (!markedNamed && text.find('[') != text.npos)
        {
            markedNamed = true;
            std::fprintf(stderr, "Tandrel: marked text shown: %.*s\n", static_cast<int>(text.size()), text.data());
        }
        return;
    }
    const size_t key = std::hash<std::string_view>{}(text);
    const auto end = named.begin() + static_cast<std::ptrdiff_t>(namedCount);
    if (namedCount == named.size() || std::find(named.begin(), end, key) != end)
    {
        return;
    }
    named[namedCount++] = key;
    std::fprintf(stderr, "Tandrel: untranslated text shown: %.*s\n", static_cast<int>(text.size()), text.data());
}

std::string CurrentLanguage()
{
    return Current;
}

std::string LanguageLogLine()
{
    return LogLine;
}
