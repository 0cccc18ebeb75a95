// Reading a file from the player's folders, where anything may lie in its place: a FIFO, a
// device or a folder is refused without waiting on it (opened without blocking, then
// checked to be a regular file), and a file over the caller's bound is refused unread.
// Also the pieces of a message about such a file: a short excerpt of a damaged line, and
// the home folder when HOME cannot be trusted.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct TPlayerFile
{
    enum class TStatus
    {
        Read,
        Missing,
        NotAFile, // a FIFO, a device, a socket or a folder
        TooLarge,
        Unreadable,
    };
    TStatus Status = TStatus::Missing;
    std::string Bytes;      // the whole file when Read
    std::uintmax_t Size = 0; // its size as the file system tells it (Read and TooLarge)
    std::string Problem;    // in the words of a message: "is a FIFO, not a file", ...
};

// Reads the whole file when it is a regular file of at most maxBytes.
TPlayerFile ReadPlayerFile(const std::filesystem::path& file, std::uintmax_t maxBytes);

// At most maxChars bytes of a damaged line for a message, cut between characters, control
// characters shown as '?', and "..." where it is cut.
std::string Excerpt(std::string_view line, size_t maxChars = 40);

// The player's home folder: HOME when it is an absolute path, else the password database's
// entry of the user (an empty or relative HOME would put every file below the working
// folder, which may be the program folder); "/" when even that is missing.
std::filesystem::path HomeFolder();
