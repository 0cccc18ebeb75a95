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
#include "render/Renderer.h"

#include <SDL.h>

#include <glib.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
constexpr const char* ApplicationTitle = "Tandrel";

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
        g_usleep(100000);
    }
    return false;
}

// Start: the launcher is gone; the main window and its loop take over until it closes.
int StartGame(TOptions& options, const std::filesystem::path& programFolder)
{
    // The game's own handlers, not SDL's: SIGHUP too, and every one of them saves the game.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    InstallExitSignals();
    // The game's window carries the application id as its class, as the launcher does, so
    // that the desktop finds the desktop entry and icon of both.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", TANDREL_APP_ID, 1);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", TANDREL_APP_ID, 1);
    if (!Retried([] { return SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0; }))
    {
        ShowMessageBox(TMessageKind::Error, "Error", std::string("Could not open the game's window: ") + SDL_GetError());
        return 1;
    }
    TInputEvents::StartControllers(UserFolder());
    int status = 1;
    {
        TFormMain form(options, programFolder, UserFolder());
        // The menus, declared after the window so they let go of its device first.
        TFrontEnd front(form.FrontHost(), form.Renderer, options, form.GameState, programFolder, UserFolder(),
                        CacheFolder());
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
    const TCommandLine line = ParseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    switch (line.Command)
    {
    case TCommand::Help:
        std::fputs(HelpText(ProgramFolder(), UserFolder(), CacheFolder(), DefaultSettingsFile()).c_str(), stdout);
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
    g_set_application_name(ApplicationTitle);
    g_set_prgname(TANDREL_APP_ID); // the launcher's window class and Wayland application id
    if (!Retried([] { return gtk_init_check(nullptr, nullptr) != FALSE; }))
    {
        std::fprintf(stderr, "Tandrel: cannot open the display\n");
        return 1;
    }
    gdk_set_program_class(TANDREL_APP_ID);
    gtk_window_set_default_icon_name(TANDREL_APP_ID);
    const std::filesystem::path programFolder = ProgramFolder();
    if (programFolder.empty())
    {
        ShowMessageBox(TMessageKind::Error, ApplicationTitle,
                       ProgramFolderMissingText(ProgramFolderCandidates(ExecutableFolder())));
        return ExitFailure;
    }
    // A second copy would share and overwrite the first one's saves, scores and log: it
    // says so and ends before it writes anything.
    if (!LockUserFolder(UserFolder()))
    {
        ShowMessageBox(TMessageKind::Information, ApplicationTitle,
                       "Tandrel is already running. Switch to its window to play on.");
        return 0;
    }
    SetDebugLogFolder(UserFolder());
    RemoveOldTutorialBitmaps(UserFolder()); // they live in the cache folder now

    TOptions options;
    options.ShowMessage = [](const std::string& text) { ShowMessageBox(TMessageKind::Error, ApplicationTitle, text); };
    options.Reload();

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
    return StartGame(options, programFolder);
}
