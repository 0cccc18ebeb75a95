#include "game/DataReader.h"

#include "base/PlayerFile.h"

#include <charconv>
#include <sstream>
#include <system_error>

namespace
{
constexpr size_t MaxToken = 32;
constexpr std::uintmax_t MaxFileSize = 1 << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Quote(std::string_view s)
{
    return "'" + std::string(s) + "'";
}
} // namespace

std::string RealText(double value)
{
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, value);
    return std::string(text, r.ptr);
}

TDataReader::TDataReader(std::filesystem::path file) : Path(std::move(file))
{
    // No data file of the game comes near this size: a larger one is refused before any
    // of it is held in memory. Saves lie in the player's folder, where a FIFO or a device
    // in a file's place is refused without waiting on it.
    const TPlayerFile read = ReadPlayerFile(Path, MaxFileSize);
    switch (read.Status)
    {
    case TPlayerFile::TStatus::Read: break;
    case TPlayerFile::TStatus::Missing: FailAt(0, "file not found");
    case TPlayerFile::TStatus::TooLarge:
        FailAt(0, "is " + std::to_string(read.Size) + " bytes long; no file of its kind is larger than " +
                      std::to_string(MaxFileSize));
    default: FailAt(0, read.Problem);
    }
    std::istringstream in(read.Bytes);
    std::string line;
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        Lines.push_back(std::move(line));
    }
}

void TDataReader::Fail(const std::string& problem) const
{
    FailAt(LastValueLine, problem);
}

void TDataReader::FailAt(int line, const std::string& problem) const
{
    throw TDataError(Path, line, problem);
}

std::string_view TDataReader::NextToken()
{
    while (Current < Lines.size())
    {
        const std::string& line = Lines[Current];
        size_t start = 0;
        while (start < line.size() && IsBlank(line[start]))
        {
            ++start;
        }
        if (start == line.size())
        {
            ++Current; // a blank line where a value belongs is passed over
            continue;
        }
        size_t end = start;
        while (end < line.size() && !IsBlank(line[end]))
        {
            ++end;
        }
        LastValueLine = static_cast<int>(Current) + 1;
        ++Current; // whatever follows the token on its line is a comment
        const std::string_view token(line.data() + start, end - start);
        if (token.size() > MaxToken)
        {
            Fail("value " + Quote(token.substr(0, MaxToken)) + "... is longer than 32 characters");
        }
        return token;
    }
    LastValueLine = static_cast<int>(Lines.size());
    return {};
}

int TDataReader::ReadInt()
{
    const std::string_view token = NextToken();
    if (token.empty())
    {
        return 0; // values missing at the end of the file read as 0
    }
    const size_t sign = (token.front() == '+' || token.front() == '-') ? 1 : 0;
    bool digitsOnly = token.size() > sign;
    for (size_t i = sign; i < token.size(); ++i)
    {
        digitsOnly = digitsOnly && IsDigit(token[i]);
    }
    if (!digitsOnly)
    {
        Fail("expected a whole number, found " + Quote(token));
    }
    const std::string_view body = token.front() == '+' ? token.substr(1) : token;
    int value = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || end != body.data() + body.size())
    {
        Fail("number " + Quote(token) + " is out of range");
    }
    return value;
}

double TDataReader::ParseReal(std::string_view token, bool decimalComma) const
{
    // Decimal reals only: sign, digits, an optional point and exponent. No inf or nan.
    if (token.size() > MaxToken)
    {
        Fail("value " + Quote(token.substr(0, MaxToken)) + "... is longer than 32 characters");
    }
    size_t i = 0;
    if (token[i] == '+' || token[i] == '-')
    {
        ++i;
    }
    bool anyDigit = false;
    while (i < token.size() && IsDigit(token[i]))
    {
        ++i;
        anyDigit = true;
    }
    size_t point = std::string_view::npos;
    if (i < token.size() && (token[i] == '.' || (decimalComma && token[i] == ',')))
    {
        point = i;
        ++i;
        while (i < token.size() && IsDigit(token[i]))
        {
            ++i;
            anyDigit = true;
        }
    }
    bool valid = anyDigit;
    if (valid && i < token.size() && (token[i] == 'e' || token[i] == 'E'))
    {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-'))
        {
            ++i;
        }
        valid = i < token.size() && IsDigit(token[i]);
        while (i < token.size() && IsDigit(token[i]))
        {
            ++i;
        }
    }
    if (!valid || i != token.size())
    {
        Fail("expected a number, found " + Quote(token));
    }
    double value = 0;
    char copy[MaxToken + 1];
    token.copy(copy, token.size());
    if (point != std::string_view::npos)
    {
        copy[point] = '.';
    }
    std::string_view body(copy, token.size());
    if (body.front() == '+')
    {
        body.remove_prefix(1);
    }
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || end != body.data() + body.size())
    {
        Fail("number " + Quote(token) + " is out of range");
    }
    return value;
}

double TDataReader::ReadReal(bool decimalComma)
{
    const std::string_view token = NextToken();
    return token.empty() ? 0 : ParseReal(token, decimalComma);
}

void TDataReader::ReadReals(int count, double* values)
{
    const std::string_view first = NextToken();
    if (first.empty())
    {
        for (int i = 0; i < count; ++i)
        {
            values[i] = 0;
        }
        return;
    }
    // NextToken moved past the line; read the rest of the same line.
    const std::string& line = Lines[Current - 1];
    size_t pos = static_cast<size_t>(first.data() + first.size() - line.data());
    values[0] = ParseReal(first);
    for (int i = 1; i < count; ++i)
    {
        while (pos < line.size() && IsBlank(line[pos]))
        {
            ++pos;
        }
        size_t end = pos;
        while (end < line.size() && !IsBlank(line[end]))
        {
            ++end;
        }
        if (end == pos)
        {
            Fail("expected " + std::to_string(count) + " numbers on the line, found " + std::to_string(i));
        }
        values[i] = ParseReal(std::string_view(line).substr(pos, end - pos));
        pos = end;
    }
}

std::string TDataReader::ReadText()
{
    if (Current >= Lines.size())
    {
        LastValueLine = static_cast<int>(Lines.size());
        return {};
    }
    LastValueLine = static_cast<int>(Current) + 1;
    return Lines[Current++];
}

bool TDataReader::ReadFlag()
{
    if (Current >= Lines.size())
    {
        LastValueLine = static_cast<int>(Lines.size());
        return false;
    }
    LastValueLine = static_cast<int>(Current) + 1;
    const std::string& line = Lines[Current++];
    return !line.empty() && line.front() == '1';
}

void TDataReader::SkipLine()
{
    if (Current < Lines.size())
    {
        ++Current;
    }
}

void TDataReader::ReadDigits(int count, int* digits)
{
    if (Current >= Lines.size())
    {
        LastValueLine = static_cast<int>(Lines.size());
        Fail("the file ends where a row of " + std::to_string(count) + " digits belongs");
    }
    LastValueLine = static_cast<int>(Current) + 1;
    const std::string& line = Lines[Current++];
    for (int c = 0; c < count; ++c)
    {
        if (static_cast<size_t>(c) >= line.size())
        {
            Fail("expected " + std::to_string(count) + " digits, the line has only " +
                 std::to_string(line.size()) + " characters");
        }
        if (!IsDigit(line[c]))
        {
            Fail(Quote(std::string_view(&line[c], 1)) + " is not a valid integer value");
        }
        digits[c] = line[c] - '0';
    }
}

bool TDataReader::HasValue()
{
    while (Current < Lines.size())
    {
        const std::string& line = Lines[Current];
        for (char c : line)
        {
            if (!IsBlank(c))
            {
                return true;
            }
        }
        ++Current;
    }
    return false;
}
