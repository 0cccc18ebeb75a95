// The generator makes the same bytes every time: a second run into a fresh folder matches
// the program folder the build filled, the pictures and voice lines of a language included.
#include "tests/content/ContentReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(Generator, SecondRunGivesIdenticalFiles)
{
    TempFolder out;
    const std::string command = std::string("'") + TANDREL_CONTENT_TOOL + "' --out '" +
                                out.Path().string() + "' --fonts '" + TANDREL_FONT_DIR +
                                "' --espeak '" + TANDREL_ESPEAK + "' --po '" + TANDREL_PO_DIR +
                                "' --languages de > /dev/null";
    ASSERT_EQ(0, std::system(command.c_str()));
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out.Path()))
    {
        if (!entry.is_regular_file())
        {
            continue;
        }
        const auto relative = std::filesystem::relative(entry.path(), out.Path());
        ++files;
        const auto shipped = GameFolder() / relative;
        ASSERT_TRUE(std::filesystem::exists(shipped)) << relative;
        EXPECT_TRUE(ReadFile(entry.path()) == ReadFile(shipped))
            << relative << " differs between runs";
    }
    // Fonts, menu, sounds, music, skins and pictures, and German words.
    EXPECT_GT(files, 200);
    EXPECT_TRUE(std::filesystem::exists(out.Path() / "lang" / "de" / "Images" / "Menu" / "play.tga"));
}
