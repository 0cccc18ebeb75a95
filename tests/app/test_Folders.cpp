#include "app/Folders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(Folders, ProgramFolderIsBesideTheExecutableThenUnderShareThenTheConfiguredOne)
{
    TempFolder tmp;
    const fs::path bin = tmp.Path() / "prefix" / "bin";
    fs::create_directories(bin);
    const auto candidates = ProgramFolderCandidates(bin);
    ASSERT_GE(candidates.size(), 3u);
    EXPECT_EQ(candidates[0], bin);
    EXPECT_EQ(candidates[1], tmp.Path() / "prefix" / "share" / "tandrel");
    EXPECT_EQ(candidates.back().lexically_normal(), candidates.back()) << "every place is written plainly";

    // Nothing there: no folder, and the message names every place looked at.
    EXPECT_EQ(FindProgramFolder(candidates), fs::path());
    const std::string message = ProgramFolderMissingText(candidates);
    for (const fs::path& place : candidates)
    {
        EXPECT_NE(message.find("\n  " + place.string()), std::string::npos) << message;
    }

    // An install: found relative to the executable; a build tree beside it wins.
    tmp.Write("prefix/share/tandrel/data/Levels.dat", "");
    EXPECT_EQ(FindProgramFolder(candidates), candidates[1]);
    tmp.Write("prefix/bin/data/Levels.dat", "");
    EXPECT_EQ(FindProgramFolder(candidates), candidates[0]);
    // A file named data is no program folder.
    fs::remove_all(bin / "data");
    tmp.Write("prefix/bin/data", "");
    EXPECT_EQ(FindProgramFolder(candidates), candidates[1]);
}
