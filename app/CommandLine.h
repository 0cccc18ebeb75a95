// The command line: `tandrel` opens the launcher, `tandrel --start` the game's window straight
// away; `--help` and `--version` print and exit without a display. Anything else is refused with a hint (exit status 2).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

enum class TCommand
{
    Play,
    Start, // --start: straight into the game's window, without the launcher
    Help,
    Version,
    Refused,
};

struct TCommandLine
{
    TCommand Command = TCommand::Play;
    std::string Problem; // when refused: what was wrong, naming the argument
};

// The arguments after the program's name.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What the player reads: the version line, the usage hint, and the help with the folders the
// game uses on this machine (an empty program folder is reported as not found).
std::string VersionText();
std::string UsageHint();
std::string HelpText(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder,
                     const std::filesystem::path& settingsFile);

// Process exit statuses, as the manual page lists them.
constexpr int ExitOk = 0;
constexpr int ExitFailure = 1; // no display, no program folder, a damaged file, no OpenGL device
constexpr int ExitUsage = 2;   // an unknown command-line argument
