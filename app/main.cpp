// Program entry: the settings are read, the launcher opens, and Start hands over to the
// main window, whose loop runs until it is closed. With --start the launcher is passed by
// (a handheld's or a TV's launcher starts the game so, to be played with a gamepad).
#include "base/DebugLog.h"
#include "base/Memory.h"
#include "app/ExitSignals.h"
#include "app/CommandLine.h"
#include "app/Folders.h"
#include "app/InputEvents.h"
#include "app/Launcher.h"
#include "app/FormMain.h"
#include "front/FrontEnd.h"
#include "front/Tutorial.h"
#include "app/MessageBox.h"
#include "base/Options.h"
#include "base/Text.h"
#include "render/Renderer.h"

#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace
{

// A busy X server may refuse a new connection for a moment (a full listen queue resets it):
// a few attempts a tenth of a second apart before the display counts as unavailable.
template <typename TOpen> bool Retried(TOpen open)
{
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        if (open())
        {
            return true;
        }
        SDL_Delay(100);
    }
    return false;
}

// SDL's video on the player's display. Where the display refuses the connection, SDL would
// fall back on its own to a driver that shows nothing (off screen), and the game would run
// unseen: that counts as a failure too, unless the player asked for that driver.
bool OpenDisplay()
{
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
    {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool unseen = driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
    if (unseen && SDL_getenv("SDL_VIDEODRIVER") == nullptr)
    {
        SDL_SetError("the display refused the connection");
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    return true;
}

// Start from the launcher: the program runs itself again with --start, in the same process,
// so that the game does not carry the launcher's toolkit (a tenth of a second of its start-up
// and some 60 MB that the game never uses). Only when the settings file holds what the
// launcher holds, so that nothing the player chose is lost and no message shows twice;
// otherwise, or when the program cannot be run again, the game starts here.
void HandOverToGame(const TOptions& options, char** argv)
{
    if (!options.MatchesFile())
    {
        return;
    }
    std::fflush(nullptr);
    char start[] = "--start";
    char* arguments[] = {argv[0], start, nullptr};
    ::execv("/proc/self/exe", arguments);
    DebugLog(std::string(" Starting the game in the launcher's process: ") + std::strerror(errno));
}

// Start: the launcher is gone; the main window and its loop take over until it closes.
int StartGame(TOptions& options, const std::filesystem::path& programFolder)
{
    // The game's own handlers, not SDL's: SIGHUP too, and every one of them saves the game.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    InstallExitSignals();
    // The game decides when a full-screen window gets out of the way: when another program
    // takes the focus, not when one of the game's own boxes does (TFormMain::Deactivate).
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The game's window carries the application id as its class, as the launcher does, so
    // that the desktop finds the desktop entry and icon of both.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", TANDREL_APP_ID, 1);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", TANDREL_APP_ID, 1);
    // On a Wayland desktop the game runs natively, X11 being the fallback; SDL_VIDEODRIVER
    // in the environment chooses otherwise.
    if (const char* wayland = SDL_getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != '\0')
    {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
    }
    if (!Retried(OpenDisplay))
    {
        ShowMessageBox(TMessageKind::Error, _("Error"), Formatted(_("Could not open the game's window: %s"), SDL_GetError()));
        return 1;
    }
    TInputEvents::StartControllers(UserFolder());
    int status = 1;
    {
        TFormMain form(options, programFolder, UserFolder());
        // The menus, declared after the window so they let go of its device first.
        TFrontEnd front(form.FrontHost(), form.Renderer, options, form.GameState, programFolder, UserFolder());
        form.SetFrontEnd(front);
        if (form.Show())
        {
            status = form.Run();
        }
    }
    SDL_Quit();
    return status;
}
} // namespace

int main(int argc, char** argv)
{
    KeepLargeBlocksOutOfTheHeap();
    // The language from the environment at once, so that even --help speaks it; the
    // settings' choice follows once they are read.
    const std::filesystem::path programFolder = ProgramFolder();
    const std::filesystem::path localeFolder = LocaleFolder(programFolder.empty() ? ExecutableFolder() : programFolder);
    StartLanguage(localeFolder);
    const TCommandLine line = ParseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    switch (line.Command)
    {
    case TCommand::Help:
        std::fputs(HelpText(programFolder, UserFolder(), DefaultSettingsFile()).c_str(), stdout);
        return ExitOk;
    case TCommand::Version:
        std::fputs(VersionText().c_str(), stdout);
        return ExitOk;
    case TCommand::Refused:
        std::fprintf(stderr, "tandrel: %s\n%s", line.Problem.c_str(), UsageHint().c_str());
        return ExitUsage;
    case TCommand::Play:
    case TCommand::Start:
        break;
    }
    // The launcher needs GTK; the game's window does not, and GTK starts only if a message
    // box needs it.
    if (line.Command == TCommand::Play && !StartGtk())
    {
        std::fprintf(stderr, "Tandrel: %s\n", _("cannot open the display"));
        return 1;
    }
    if (programFolder.empty())
    {
        ShowMessageBox(TMessageKind::Error, ApplicationTitle,
                       ProgramFolderMissingText(ProgramFolderCandidates(ExecutableFolder())));
        return ExitFailure;
    }
    // A second copy would share and overwrite the first one's saves, scores and log: it
    // says so and ends before it writes anything.
    ListenForShowRequests();
    if (!LockUserFolder(UserFolder()))
    {
        if (AskRunningCopyToShow(UserFolder()))
        {
            std::fputs("Tandrel is already running: its window comes to the front.\n", stderr);
        }
        else
        {
            ShowMessageBox(TMessageKind::Information, ApplicationTitle,
                           "Tandrel is already running. Switch to its window to play on.");
        }
        return 0;
    }
    SetDebugLogFolder(UserFolder());
    // The tutorial is drawn from its JPEG pages: the bitmaps earlier versions converted go.
    RemoveOldTutorialBitmaps(UserFolder());
    RemoveOldTutorialBitmaps(CacheFolder());

    TOptions options;
    options.ShowMessage = [](const std::string& text) { ShowMessageBox(TMessageKind::Error, ApplicationTitle, text); };
    options.Reload();
    if (!options.Language.empty())
    {
        StartLanguage(localeFolder, options.Language);
    }

    if (line.Command == TCommand::Start)
    {
        return StartGame(options, programFolder);
    }
    switch (RunLauncher(options, programFolder))
    {
    case TLaunchChoice::Exit:
    {
        // No device exists yet; its release still logs its steps.
        TRenderer none;
        ReleaseD3D(none);
        return 0; // leaving from the launcher saves nothing
    }
    case TLaunchChoice::Closed:
        return 0;
    case TLaunchChoice::Start:
        break;
    }
    HandOverToGame(options, argv); // the folder's lock goes with the exec and is taken again
    return StartGame(options, programFolder);
}
