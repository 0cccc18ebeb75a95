#include "app/Folders.h"

#include <glib.h>

#include <cstdlib>
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
