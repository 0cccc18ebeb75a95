// Program entry. For now it loads the level and figure tables from the program folder
// and reports them; the window, the launcher and the frame loop build on this.
#include "DataError.h"
#include "Game.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace
{
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
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".local/share/tandrel";
}
} // namespace

int main()
{
    NullGameHost host;
    TRandom random(TRandom::TimeOfDaySeed());
    TGame game(host, random, ProgramFolder() / "data", UserFolder() / "data");
    try
    {
        game.CreateLevels();
        game.CreateBonus();
    }
    catch (const TDataError& e)
    {
        std::fprintf(stderr, "tandrel: %s\n", e.what());
        return 1;
    }
    std::printf("Tandrel: %d levels in the file (100 in play), %d bonus figures, from %s\n",
                game.LevelCount, game.FigureCount, game.DataFolder.c_str());
    std::printf("Saved games and high scores go to %s\n", game.UserFolder.c_str());
    return 0;
}
