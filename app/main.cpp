// Program entry: the settings are read, the launcher opens, and Start hands over to the
// game. Until the game's window exists, Start loads the level and figure tables from the
// program folder and reports them.
#include "DataError.h"
#include "DebugLog.h"
#include "Folders.h"
#include "Game.h"
#include "Launcher.h"
#include "MessageBox.h"
#include "Options.h"

#include <glib.h>
#include <gtk/gtk.h>

#include <cstdio>

namespace
{
constexpr const char* ApplicationTitle = "Tandrel";

int StartGame(TOptions& options)
{
    (void)options;
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
        ShowMessageBox(TMessageKind::Error, ApplicationTitle, e.what());
        return 1;
    }
    std::printf("Tandrel: %d levels in the file (100 in play), %d bonus figures, from %s\n", game.LevelCount,
                game.FigureCount, game.DataFolder.c_str());
    std::printf("Saved games and high scores go to %s\n", game.UserFolder.c_str());
    return 0;
}
} // namespace

int main()
{
    g_set_application_name(ApplicationTitle);
    g_set_prgname("tandrel");
    if (!gtk_init_check(nullptr, nullptr))
    {
        std::fprintf(stderr, "Tandrel: cannot open the display\n");
        return 1;
    }
    SetDebugLogFolder(UserFolder());

    TOptions options;
    options.ShowMessage = [](const std::string& text) { ShowMessageBox(TMessageKind::Error, ApplicationTitle, text); };
    options.Reload();

    if (RunLauncher(options, ProgramFolder()) == TLaunchChoice::Exit)
    {
        return 0; // leaving from the launcher saves nothing
    }
    return StartGame(options);
}
