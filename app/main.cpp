// Program entry: the settings are read, the launcher opens, and Start hands over to the
// main window, whose loop runs until it is closed.
#include "base/DebugLog.h"
#include "app/Folders.h"
#include "app/Launcher.h"
#include "app/FormMain.h"
#include "front/FrontEnd.h"
#include "app/ShellFrontHost.h"
#include "app/MessageBox.h"
#include "base/Options.h"
#include "render/Renderer.h"

#include <SDL.h>

#include <glib.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <string>

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
int StartGame(TOptions& options)
{
    if (!Retried([] { return SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0; }))
    {
        ShowMessageBox(TMessageKind::Error, "Error", std::string("Could not open the game's window: ") + SDL_GetError());
        return 1;
    }
    int status = 1;
    {
        TFormMain form(options, ProgramFolder(), UserFolder());
        // The menus, declared after the window so they let go of its device first.
        TShellFrontHost frontHost(options);
        TFrontEnd front(frontHost, form.Renderer, options, form.GameState, ProgramFolder(), UserFolder());
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

int main()
{
    g_set_application_name(ApplicationTitle);
    g_set_prgname("tandrel");
    if (!Retried([] { return gtk_init_check(nullptr, nullptr) != FALSE; }))
    {
        std::fprintf(stderr, "Tandrel: cannot open the display\n");
        return 1;
    }
    SetDebugLogFolder(UserFolder());

    TOptions options;
    options.ShowMessage = [](const std::string& text) { ShowMessageBox(TMessageKind::Error, ApplicationTitle, text); };
    options.Reload();

    switch (RunLauncher(options, ProgramFolder()))
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
    return StartGame(options);
}
