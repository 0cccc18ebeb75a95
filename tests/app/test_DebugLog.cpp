#include "base/DebugLog.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>

TEST(DebugLog, TruncatesThenAppendsTimeStampedLines)
{
    TempFolder tmp;
    SetDebugLogFolder(tmp.Path() / "tandrel");
    DebugLog(" before");
    DebugLog(true, " Main form created");
    DebugLog(" Inintialize D3D");
    DebugLog("");
    const std::string text = ReadFile(tmp.Path() / "tandrel" / "debug.txt");
    EXPECT_TRUE(std::regex_match(text, std::regex("[0-9]+ Main form created\r\n[0-9]+ Inintialize D3D\r\n[0-9]+\r\n")))
        << text;
    SetDebugLogFolder({});
}

TEST(DebugLog, UnwritableFolderIsSkippedSilently)
{
    TempFolder tmp;
    const auto blocker = tmp.Write("not-a-folder", "x");
    SetDebugLogFolder(blocker / "tandrel");
    DebugLog(true, " Main form created");
    DebugLog(" Closing DGfx");
    EXPECT_FALSE(std::filesystem::exists(blocker / "tandrel" / "debug.txt"));
    EXPECT_EQ(ReadFile(blocker), "x");
    SetDebugLogFolder({});
}
