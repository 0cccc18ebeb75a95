#include "app/CommandLine.h"

#include "base/PlayerFile.h"

// The build defines TANDREL_VERSION (the project's version) for this file.

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    TCommandLine line;
    for (const std::string& a : arguments)
    {
        TCommand command = TCommand::Refused;
        if (a == "--help" || a == "-h")
        {
            command = TCommand::Help;
        }
        else if (a == "--version")
        {
            command = TCommand::Version;
        }
        else if (a == "--start")
        {
            command = TCommand::Start;
        }
        if (command == TCommand::Refused)
        {
            return {TCommand::Refused,
                    (a.rfind('-', 0) == 0 ? "unknown option '" : "unexpected argument '") + Excerpt(a, 60) + "'"};
        }
        if (line.Command != TCommand::Play && line.Command != command)
        {
            return {TCommand::Refused, "--help, --version and --start exclude each other"};
        }
        line.Command = command;
    }
    return line;
}

std::string VersionText()
{
    return std::string("Tandrel ") + TANDREL_VERSION + "\n";
}

std::string UsageHint()
{
    return "Try 'tandrel --help' for more information.\n";
}

std::string HelpText(const std::filesystem::path& programFolder, const std::filesystem::path& userFolder,
                     const std::filesystem::path& settingsFile)
{
    return "Usage: tandrel [--start | --help | --version]\n"
           "\n"
           "Tandrel, a puzzle game about coloured cubes. Without options the launcher opens:\n"
           "Start Game, Options (the video mode), Homepage and Exit.\n"
           "\n"
           "  --start      straight into the game's window, without the launcher (for a\n"
           "               handheld's or a TV's launcher, to be played with a gamepad)\n"
           "  -h, --help   show this help and the folders the game uses, then exit\n"
           "  --version    show the version, then exit\n"
           "\n"
           "Folders:\n"
           "  the game's files          " +
           (programFolder.empty() ? std::string("not found") : programFolder.string()) +
           "\n"
           "  games, scores, debug.txt  " +
           userFolder.string() +
           "\n"
           "  settings                  " +
           settingsFile.string() +
           "\n"
           "\n"
           "The manual page tandrel(6) and the player's manual (the launcher's Homepage\n"
           "button) tell more.\n";
}
