#include "base/DebugLog.h"

#include <cstdio>
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
    // The file is never kept open between lines.
    std::FILE* f = std::fopen(file.c_str(), truncate ? "wb" : "ab");
    if (f == nullptr)
    {
        return;
    }
    std::fprintf(f, "%u%.*s\r\n", SystemTickCount(), static_cast<int>(message.size()), message.data());
    std::fclose(f);
}
