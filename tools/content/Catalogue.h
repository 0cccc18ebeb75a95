// A translator's catalogue (po/LANG.po) as the generator reads it: only what it needs to draw
// the pictures and say the voice lines in that language. Strict, so that a slip in a
// catalogue stops the build with its file and line rather than drawing something else.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

class TCatalogue
{
public:
    // Reads a .po file: comments, msgctxt, msgid, msgid_plural, msgstr and msgstr[N], each
    // string in double quotes with the escapes \n \t \" \\ and continued on lines of their
    // own. Throws TDataError with the line on anything else, on a msgid given twice, and on
    // a catalogue that is not UTF-8.
    static TCatalogue Read(const std::filesystem::path& file);

    // The translation of `english`; null when there is none, the entry is marked fuzzy or
    // it translates a plural or a text with a context (the pictures use neither).
    const std::string* Find(std::string_view english) const;
    size_t Size() const { return Entries.size(); }

private:
    std::map<std::string, std::string, std::less<>> Entries;
};
