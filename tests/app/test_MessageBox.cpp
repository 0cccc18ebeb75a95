// Message text broken into lines that fit a 640 pixels wide screen, none of it lost, and a box
// never taller than a 480 pixels high one.
#include "app/MessageBox.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(MessageBox, LongPathsBreakAfterASlashAndNothingIsLost)
{
    const std::string path = "/home/player/.local/share/a-folder-named-at-length/tandrel/Images/Skin3/tex2.tga";
    const std::string text = "Files of the game cannot be read:\n\n" + path + ": is missing\nend";
    const std::string wrapped = WrapMessage(text, MessageColumns);
    std::istringstream lines(wrapped);
    std::string joined;
    for (std::string line; std::getline(lines, line);)
    {
        EXPECT_LE(line.size(), MessageColumns) << line;
        // A break inside the path comes after a slash; one at a blank takes the blank.
        joined += line + (!line.empty() && line.back() == '/' ? "" : "\n");
    }
    EXPECT_EQ(joined, text + "\n");
    EXPECT_NE(wrapped.find("/tandrel/\nImages/Skin3/tex2.tga: is missing\n"), std::string::npos) << wrapped;
    EXPECT_EQ(WrapMessage(std::string(130, 'x'), 60), std::string(60, 'x') + "\n" + std::string(60, 'x') + "\n" +
                                                          std::string(10, 'x'));
}

TEST(MessageBox, AHugeTextIsCutToTheLinesABoxHolds)
{
    const std::string text = "settings.ini, line 3: " + std::string(256 * 1024, 'x') + "\nend";
    const std::string fitted = FitMessage(text);
    std::istringstream lines(fitted);
    size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count)
    {
        EXPECT_LE(line.size(), MessageColumns) << line;
    }
    EXPECT_EQ(count, MessageLines);
    EXPECT_EQ(fitted.rfind("(The message goes on on standard error.)"), fitted.size() - 40);
    EXPECT_EQ(FitMessage("short\ntext"), "short\ntext");
}
