// The launcher: the small window that opens first, with the program's artwork and the
// buttons Start Game, Options, Homepage and Exit. It runs GTK's loop until the player
// starts the game or leaves; leaving (Exit or the close box) saves no settings.
#pragma once

#include "base/Options.h"

#include <filesystem>

enum class TLaunchChoice
{
    Start,
    Exit,   // the Exit button
    Closed, // the close box
};

// The artwork shown beside the buttons, below the program folder; missing is allowed.
std::filesystem::path LauncherArtworkFile(const std::filesystem::path& programFolder);

// Shows the launcher, titled "Tandrel", and returns the player's choice. On Start the
// launcher is gone from the screen when this returns.
TLaunchChoice RunLauncher(TOptions& options, const std::filesystem::path& programFolder);
