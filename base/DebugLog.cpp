#include "base/DebugLog.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <ctime>
#include <string>
#include <system_error>

namespace
{
std::filesystem::path& Folder()
{
    static std::filesystem::path folder;
    return folder;
}
} // namespace

void SetDebugLogFolder(const std::filesystem::path& folder)
{
    Folder() = folder;
}

std::filesystem::path DebugLogFile()
{
    return Folder().empty() ? std::filesystem::path("debug.txt") : Folder() / "debug.txt";
}

uint32_t SystemTickCount()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void DebugLog(bool truncate, std::string_view message)
{
    const std::filesystem::path file = DebugLogFile();
    if (!Folder().empty())
    {
        std::error_code ec;
        std::filesystem::create_directories(Folder(), ec);
    }
    // The file is never kept open between lines. Opened without blocking and written only
    // when it is a regular file: a FIFO or a device in its place is passed by (said once on
    // standard error), so that it never holds the game.
    const int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (truncate ? O_TRUNC : O_APPEND);
    const int fd = ::open(file.c_str(), flags, 0644);
    if (fd < 0)
    {
        return;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(fd);
        static std::atomic<bool> told{false};
        if (!told.exchange(true))
        {
            std::fprintf(stderr, "Tandrel: %s is not a regular file; the debug log is not written\n", file.c_str());
        }
        return;
    }
    char stamp[16];
    const int length = std::snprintf(stamp, sizeof stamp, "%u", SystemTickCount());
    std::string line(stamp, static_cast<size_t>(std::max(length, 0)));
    line.append(message);
    line += "\r\n";
    [[maybe_unused]] const ssize_t written = ::write(fd, line.data(), line.size());
    ::close(fd);
}
