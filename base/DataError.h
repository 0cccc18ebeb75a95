// The one error type of the game's files: it names the file, the line and the problem.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

class TDataError : public std::runtime_error
{
public:
    TDataError(const std::filesystem::path& file, int line, const std::string& problem)
        : std::runtime_error(Format(file, line, problem)), File(file), Line(line), Problem(problem)
    {
    }

    std::filesystem::path File;
    int Line; // 1-based; 0 when the problem concerns the whole file
    std::string Problem;

private:
    static std::string Format(const std::filesystem::path& file, int line, const std::string& problem)
    {
        std::string s = file.string();
        if (line > 0)
        {
            s += ", line " + std::to_string(line);
        }
        return s + ": " + problem;
    }
};
