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

// One copy per user folder, whatever lies in it: a lock file read-only to this user (left
// by a run under another account) or a folder in the lock file's place.
TEST(Folders, ASecondCopyIsRefusedWhateverTheLockFileIs)
{
    for (const bool folder : {false, true})
    {
        TempFolder tmp;
        const fs::path user = tmp.Path() / "tandrel";
        if (folder)
        {
            fs::create_directories(user / "tandrel.lock");
        }
        else
        {
            tmp.Write("tandrel/tandrel.lock", "");
            fs::permissions(user / "tandrel.lock", fs::perms::owner_read | fs::perms::group_read);
        }
        EXPECT_TRUE(LockUserFolder(user)) << folder;  // the first copy; held until the test ends
        EXPECT_FALSE(LockUserFolder(user)) << folder; // a second one is refused
    }
}
