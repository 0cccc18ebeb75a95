// End-to-end tests of the launcher: the real program in the X server of xvfb-run, driven
// with xdotool through XTEST (GTK ignores synthetic key events), with its own XDG folders.
#include "tests/support/EndToEnd.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>

namespace
{
using namespace std::chrono_literals;

const std::string StoredSettings = "# kept as written\n[Tandrel]\nSoundVol=300\nMusicVol=120\nFullscreen=1\n"
                                   "Resolution=6\nColor=0\nDesktop=1\nTexture=2\nHelp=1\nWriteDebug=0\n"
                                   "PseudoFullscreen=0\n";
} // namespace

TEST(Launcher, AppearsTitledTandrelAndExitWritesNoSettings)
{
    TempFolder tmp;
    TProgram program(tmp);
    const std::string window = program.StartOnLauncher(StoredSettings);
    ASSERT_FALSE(window.empty()) << "no launcher window titled Tandrel\n" << program.Output();
    const std::string geometry = Shell("xdotool getwindowgeometry " + window);
    EXPECT_NE(geometry.find("Geometry:"), std::string::npos) << geometry;
    // The desktop entry's StartupWMClass and icon name.
    const std::string id = TANDREL_APP_ID;
    EXPECT_EQ(Shell("xprop -id " + window + " WM_CLASS"), "WM_CLASS(STRING) = \"" + id + "\", \"" + id + "\"");

    TProgram::Keys(window, "alt+x");
    EXPECT_EQ(program.WaitForExit(), 0);
    // A save would have rewritten SoundVol as 44 and dropped nothing else; the file is
    // exactly as it was.
    EXPECT_EQ(ReadFile(program.SettingsFile()), StoredSettings);
    // The release of the device that never was still logs its steps, making the file.
    const std::string log = ReadFile(program.DebugFile());
    EXPECT_NE(log.find(" Closing DGfx\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" D3D released\r\n"), std::string::npos) << log;
}

TEST(Launcher, CloseBoxEndsWithoutSaving)
{
    TempFolder tmp;
    TProgram program(tmp);
    const std::string window = program.StartOnLauncher(StoredSettings);
    ASSERT_FALSE(window.empty()) << program.Output();
    TProgram::CloseWindow(window);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(ReadFile(program.SettingsFile()), StoredSettings);
    EXPECT_FALSE(std::filesystem::exists(program.DebugFile())) << "no main window was made";
}

TEST(Launcher, FirstRunWritesTheDefaultsBeforeTheWindowShows)
{
    TempFolder tmp;
    TProgram program(tmp);
    const std::string window = program.StartOnLauncher();
    ASSERT_FALSE(window.empty()) << program.Output();
    const std::string text = ReadFile(program.SettingsFile());
    EXPECT_NE(text.find("SoundVol=160\nMusicVol=120\nFullscreen=1\nResolution=6\nColor=0\nDesktop=1\n"
                        "Texture=2\nHelp=1\nWriteDebug=0\nPseudoFullscreen=0\n"),
              std::string::npos)
        << text;
    TProgram::Keys(window, "alt+x");
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_EQ(ReadFile(program.SettingsFile()), text);
}

TEST(Launcher, OptionsDialogChoicesReachTheSettingsFile)
{
    TempFolder tmp;
    TProgram program(tmp);
    const std::string launcher = program.StartOnLauncher(StoredSettings);
    ASSERT_FALSE(launcher.empty()) << program.Output();

    // Escape cancels: nothing is written.
    TProgram::Keys(launcher, "alt+o");
    std::string dialog = TProgram::WaitForWindow("Options");
    ASSERT_FALSE(dialog.empty()) << "no Options dialog";
    // From OK: Tab to the desktop box, Cancel (the list is greyed out), the radio group.
    TProgram::Keys(dialog, "Tab Tab Tab Right Escape");
    ASSERT_TRUE(TProgram::WaitForWindowGone("Options"));
    EXPECT_EQ(ReadFile(program.SettingsFile()), StoredSettings);

    // Windowed, then one step down the list (800x600 to 1024x768), then OK. The tab order
    // ends with the language list after the help box.
    TProgram::Keys(launcher, "alt+o");
    dialog = TProgram::WaitForWindow("Options");
    ASSERT_FALSE(dialog.empty());
    TProgram::Keys(dialog, "Tab Tab Tab Right Tab Tab Tab Tab Down alt+o");
    ASSERT_TRUE(TProgram::WaitForWindowGone("Options")); // OK saves before the dialog goes
    const std::string text = ReadFile(program.SettingsFile());
    EXPECT_NE(text.find("Fullscreen=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Desktop=0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Resolution=4\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Color=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Help=1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("SoundVol=44\n"), std::string::npos) << "the other values are saved as read";

    TProgram::Keys(launcher, "alt+x");
    EXPECT_EQ(program.WaitForExit(), 0);
}

TEST(Launcher, HomepageOpensTheHomePageOrTheManualWithTheDesktopHandler)
{
    // In English, and in a language whose manual the build translated (its button "_Webseite").
    for (const auto& [language, key] : {std::pair<std::string, std::string>{"", "alt+h"}, {"de", "alt+w"}})
    {
        TempFolder tmp;
        TProgram program(tmp);
        const std::string launcher =
            program.StartOnLauncher(language.empty() ? "" : StoredSettings + "Language=" + language + "\n");
        ASSERT_FALSE(launcher.empty()) << program.Output();
        TProgram::Keys(launcher, key);
        const auto opened = tmp.Path() / "opened.txt";
        EXPECT_TRUE(WaitUntil([&] { return !ReadFile(opened).empty(); })) << "nothing was opened";
        // The build's home page, or else the player's manual beside the build's program folder.
        const std::string manual =
            "file://" +
            std::filesystem::canonical(std::filesystem::path(TANDREL_BUILD_DIR) / "doc/tandrel" / language / "manual.html")
                .string();
        EXPECT_EQ(ReadFile(opened), *TANDREL_HOMEPAGE ? std::string(TANDREL_HOMEPAGE) : manual) << language;
        // The launcher stays up.
        EXPECT_EQ(TProgram::WaitForWindow("Tandrel"), launcher);
        TProgram::Keys(launcher, "Tab Tab Tab Return"); // Exit by the keyboard, from Homepage
        EXPECT_EQ(program.WaitForExit(), 0);
    }
}
