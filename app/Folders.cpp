#include "app/Folders.h"

#include <glib.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <system_error>

std::filesystem::path ProgramFolder()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : exe.parent_path();
}

std::filesystem::path UserFolder()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && *xdg == '/')
    {
        return std::filesystem::path(xdg) / "tandrel";
    }
    // Without a usable HOME the password database names the home folder, as for the
    // settings: never the working directory, which may be the program folder.
    const char* home = std::getenv("HOME");
    const std::filesystem::path base = (home != nullptr && home[0] == '/') ? home : g_get_home_dir();
    return base / ".local/share/tandrel";
}

bool LockUserFolder(const std::filesystem::path& userFolder)
{
    std::error_code ec;
    std::filesystem::create_directories(userFolder, ec);
    const int fd = ::open((userFolder / "tandrel.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        return true; // a folder that cannot hold the lock cannot hold saves either: play on
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    {
        ::close(fd);
        return false;
    }
    return true; // the descriptor stays open, and the lock held, until the process ends
}
