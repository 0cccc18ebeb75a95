// The line reader of the game's text data files.
//
// One value per line: a number is the first token on or after the current line
// (blank lines are passed over), anything after it on the line is a comment. A flag
// is the very first character of its line. Values missing at the end of the file read
// as 0 or false. Every error is a TDataError naming the file and the line.
#pragma once

#include "base/DataError.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A real as messages show it: the shortest text that reads back, never the locale's.
std::string RealText(double value);

class TDataReader
{
public:
    // Reads the whole file; a missing or unreadable file is a TDataError.
    explicit TDataReader(std::filesystem::path file);

    int ReadInt();
    // A decimal real; with decimalComma a ',' may stand for the point.
    double ReadReal(bool decimalComma = false);
    bool ReadFlag();
    // Several reals on the next non-blank line, separated by blanks; a comment may follow.
    void ReadReals(int count, double* values);
    // The whole current line as text, leading blanks included; empty at the end of the file.
    std::string ReadText();
    // Skips the current line unread.
    void SkipLine();
    // The first `count` characters of the current line, each a decimal digit.
    // A missing or non-digit character is an error.
    void ReadDigits(int count, int* digits);
    // Moves past blank lines; true when a value is left to read. For files in which a
    // missing value is an error rather than a 0.
    bool HasValue();

    // 1-based number of the line the next value is read from (or the last value's line).
    int Line() const { return static_cast<int>(Current) + 1; }
    int LastLine() const { return LastValueLine; }
    bool AtEnd() const { return Current >= Lines.size(); }
    [[noreturn]] void Fail(const std::string& problem) const;
    [[noreturn]] void FailAt(int line, const std::string& problem) const;
    const std::filesystem::path& File() const { return Path; }

private:
    // Finds the next token, moving past blank lines; empty at the end of the file.
    std::string_view NextToken();
    double ParseReal(std::string_view token, bool decimalComma = false) const;

    std::filesystem::path Path;
    std::vector<std::string> Lines;
    size_t Current = 0;
    int LastValueLine = 0;
};
