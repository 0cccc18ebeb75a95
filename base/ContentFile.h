#pragma once
// Opening one of the game's content files to look at its first bytes, with the reason it
// cannot be opened in the words of the game's messages.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

// The open file, or null with problem set to "is missing", "is not a file" or
// "cannot be read (...)". The caller closes the file.
inline std::FILE* OpenContentFile(const std::filesystem::path& file, std::string& problem)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
    {
        problem = "is missing";
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(file, ec))
    {
        problem = "is not a file";
        return nullptr;
    }
    std::FILE* in = std::fopen(file.c_str(), "rb");
    if (in == nullptr)
    {
        problem = std::string("cannot be read (") + std::strerror(errno) + ")";
    }
    return in;
}
