#include "base/PlayerFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <algorithm>
#include <vector>

namespace
{
std::string KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
    {
        return "is a folder, not a file";
    }
    if (S_ISFIFO(mode))
    {
        return "is a FIFO, not a file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode))
    {
        return "is a device, not a file";
    }
    if (S_ISSOCK(mode))
    {
        return "is a socket, not a file";
    }
    return "is not a file";
}

std::string ErrnoText(int error)
{
    return std::error_code(error, std::generic_category()).message();
}
} // namespace

TPlayerFile ReadPlayerFile(const std::filesystem::path& file, std::uintmax_t maxBytes)
{
    TPlayerFile result;
    // O_NONBLOCK: opening a FIFO for reading returns at once instead of waiting for a writer.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
    {
        const int error = errno;
        result.Status = error == ENOENT ? TPlayerFile::TStatus::Missing : TPlayerFile::TStatus::Unreadable;
        result.Problem = error == ENOENT ? "is missing" : "cannot be read (" + ErrnoText(error) + ")";
        return result;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        result.Status = TPlayerFile::TStatus::NotAFile;
        result.Problem = KindOf(info.st_mode);
        ::close(fd);
        return result;
    }
    result.Size = static_cast<std::uintmax_t>(info.st_size);
    if (result.Size > maxBytes)
    {
        result.Status = TPlayerFile::TStatus::TooLarge;
        result.Problem = "is " + std::to_string(result.Size) + " bytes long; at most " + std::to_string(maxBytes) +
                         " are read";
        ::close(fd);
        return result;
    }
    // The size fstat gave, and no more: a file growing meanwhile is read as it was.
    result.Bytes.resize(static_cast<size_t>(result.Size));
    size_t got = 0;
    while (got < result.Bytes.size())
    {
        const ssize_t n = ::read(fd, result.Bytes.data() + got, result.Bytes.size() - got);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n < 0)
        {
            result.Status = TPlayerFile::TStatus::Unreadable;
            result.Problem = "cannot be read (" + ErrnoText(errno) + ")";
            result.Bytes.clear();
            ::close(fd);
            return result;
        }
        if (n == 0)
        {
            break;
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    result.Bytes.resize(got);
    result.Status = TPlayerFile::TStatus::Read;
    return result;
}

std::string Excerpt(std::string_view line, size_t maxChars)
{
    // Never inside a character of several bytes: the cut moves back to its first byte.
    size_t end = std::min(line.size(), maxChars);
    while (end < line.size() && end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
    {
        --end;
    }
    std::string out;
    for (size_t i = 0; i < end; ++i)
    {
        const auto c = static_cast<unsigned char>(line[i]);
        out += c < 32 || c == 127 ? '?' : static_cast<char>(c);
    }
    if (end < line.size())
    {
        out += "...";
    }
    return out;
}

std::filesystem::path HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
    {
        return home;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
    passwd entry = {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
    {
        return found->pw_dir;
    }
    return "/";
}
