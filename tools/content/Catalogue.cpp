#include "tools/content/Catalogue.h"

#include "base/DataError.h"

#include <fstream>
#include <vector>

namespace
{
// One entry as it is read: every keyword's string, joined from its continuation lines.
struct TEntry
{
    int Line = 0;
    bool Fuzzy = false;
    bool HasContext = false;
    bool Plural = false;
    std::string Id;
    std::string Str;
    bool HasId = false;
    bool HasStr = false;
};

// The text of a quoted string that starts at `at`, with its escapes resolved; the rest of
// the line after it may only be blank.
std::string Unquote(const std::filesystem::path& file, int line, std::string_view text, size_t at)
{
    if (at >= text.size() || text[at] != '"')
    {
        throw TDataError(file, line, "a string in double quotes is expected");
    }
    std::string out;
    size_t i = at + 1;
    for (; i < text.size() && text[i] != '"'; ++i)
    {
        if (text[i] != '\\')
        {
            out += text[i];
            continue;
        }
        if (++i >= text.size())
        {
            break;
        }
        switch (text[i])
        {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        default:
            throw TDataError(file, line, std::string("unknown escape \\") + text[i]);
        }
    }
    if (i >= text.size())
    {
        throw TDataError(file, line, "the string is not closed");
    }
    if (text.find_first_not_of(" \t\r", i + 1) != std::string_view::npos)
    {
        throw TDataError(file, line, "unexpected text after the string");
    }
    return out;
}
} // namespace

TCatalogue TCatalogue::Read(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
    {
        throw TDataError(file, 0, "cannot be read");
    }
    TCatalogue catalogue;
    TEntry entry;
    bool fuzzyNext = false;
    std::string* continued = nullptr; // the string that a line starting with " continues
    std::string ignored;              // the texts of what the pictures do not use
    auto finish = [&](int line)
    {
        if (entry.HasId && !entry.HasStr)
        {
            throw TDataError(file, entry.Line, "msgid without msgstr");
        }
        if (entry.HasId && entry.Id.empty())
        {
            // The header: the generator needs only that the texts are UTF-8.
            if (entry.Str.find("charset=") != std::string::npos &&
                entry.Str.find("charset=UTF-8") == std::string::npos)
            {
                throw TDataError(file, entry.Line, "the catalogue must be UTF-8");
            }
        }
        else if (entry.HasId && !entry.Fuzzy && !entry.HasContext && !entry.Plural &&
                 !entry.Str.empty())
        {
            if (!catalogue.Entries.emplace(entry.Id, entry.Str).second)
            {
                throw TDataError(file, entry.Line, "msgid \"" + entry.Id + "\" is given twice");
            }
        }
        entry = TEntry{};
        entry.Line = line;
        continued = nullptr;
    };
    std::string text;
    int line = 0;
    while (std::getline(in, text))
    {
        ++line;
        if (!text.empty() && text.back() == '\r')
        {
            text.pop_back();
        }
        const size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos)
        {
            finish(line + 1);
            continue;
        }
        if (text[start] == '#')
        {
            // Obsolete entries (#~) and the previous texts of fuzzy ones (#|) are not read.
            if (text.compare(start, 2, "#,") == 0 && text.find("fuzzy", start) != std::string::npos)
            {
                fuzzyNext = true;
            }
            continue;
        }
        if (text[start] == '"')
        {
            if (continued == nullptr)
            {
                throw TDataError(file, line, "a string that continues nothing");
            }
            *continued += Unquote(file, line, text, start);
            continue;
        }
        const size_t space = text.find_first_of(" \t", start);
        const std::string keyword = text.substr(start, space - start);
        const size_t value = space == std::string::npos ? text.size() : text.find_first_not_of(" \t", space);
        const std::string str = Unquote(file, line, text, value);
        if ((keyword == "msgctxt" && (entry.HasId || entry.HasContext)) ||
            (keyword == "msgid" && entry.HasId))
        {
            if (!entry.HasStr)
            {
                throw TDataError(file, line, keyword + " where a msgstr is expected");
            }
            finish(line);
        }
        if ((keyword == "msgctxt" || keyword == "msgid") && !entry.HasId && !entry.HasContext)
        {
            entry.Line = line;
            entry.Fuzzy = fuzzyNext;
            fuzzyNext = false;
        }
        if (keyword == "msgctxt")
        {
            entry.HasContext = true;
            continued = &ignored;
        }
        else if (keyword == "msgid")
        {
            entry.HasId = true;
            entry.Id = str;
            continued = &entry.Id;
        }
        else if (keyword == "msgid_plural" && entry.HasId && !entry.HasStr)
        {
            entry.Plural = true;
            continued = &ignored;
        }
        else if ((keyword == "msgstr" && !entry.Plural) ||
                 (keyword.rfind("msgstr[", 0) == 0 && keyword.back() == ']' && entry.Plural))
        {
            if (!entry.HasId)
            {
                throw TDataError(file, line, keyword + " without a msgid");
            }
            if (entry.HasStr && !entry.Plural)
            {
                throw TDataError(file, line, "a second msgstr");
            }
            entry.HasStr = true;
            entry.Str = str;
            continued = entry.Plural ? &ignored : &entry.Str;
        }
        else
        {
            throw TDataError(file, line, "\"" + keyword + "\" is not expected here");
        }
    }
    finish(line + 1);
    return catalogue;
}

const std::string* TCatalogue::Find(std::string_view english) const
{
    const auto found = Entries.find(english);
    return found == Entries.end() ? nullptr : &found->second;
}
