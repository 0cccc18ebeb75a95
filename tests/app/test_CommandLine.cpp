#include "app/CommandLine.h"

#include <gtest/gtest.h>

TEST(CommandLine, HelpAndVersionAreKnownAndEverythingElseIsRefusedByName)
{
    EXPECT_EQ(ParseCommandLine({}).Command, TCommand::Play);
    EXPECT_EQ(ParseCommandLine({"--help"}).Command, TCommand::Help);
    EXPECT_EQ(ParseCommandLine({"-h", "--help"}).Command, TCommand::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).Command, TCommand::Version);

    const TCommandLine unknown = ParseCommandLine({"--fullscreen"});
    EXPECT_EQ(unknown.Command, TCommand::Refused);
    EXPECT_NE(unknown.Problem.find("'--fullscreen'"), std::string::npos) << unknown.Problem;
    const TCommandLine file = ParseCommandLine({"--version", "levels.dat"});
    EXPECT_EQ(file.Command, TCommand::Refused);
    EXPECT_NE(file.Problem.find("'levels.dat'"), std::string::npos) << file.Problem;
    EXPECT_EQ(ParseCommandLine({"--help", "--version"}).Command, TCommand::Refused);
}
