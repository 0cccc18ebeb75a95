// End-to-end tests of the launcher: the real program in the X server of xvfb-run, driven
// with xdotool through XTEST (GTK ignores synthetic key events), with its own XDG folders.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using namespace std::chrono_literals;

std::string Shell(const std::string& command)
{
    std::string out;
    if (std::FILE* p = popen(command.c_str(), "r"))
    {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p) != nullptr)
        {
            out += buffer;
        }
        pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' '))
    {
        out.pop_back();
    }
    return out;
}

// The program with temporary config and data folders, and a PATH whose xdg-open only
// writes down the address it was asked to open.
class TProgram
{
public:
    explicit TProgram(const TempFolder& tmp) : Tmp(tmp)
    {
        const auto opener = tmp.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"" +
                                                          (tmp.Path() / "opened.txt").string() + "\"\n");
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    }
    ~TProgram()
    {
        if (Pid > 0)
        {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
    }

    std::filesystem::path SettingsFile() const { return Tmp.Path() / "config" / "tandrel" / "settings.ini"; }

    void Start()
    {
        const std::string config = (Tmp.Path() / "config").string();
        const std::string data = (Tmp.Path() / "data").string();
        const std::string path = (Tmp.Path() / "bin").string() + ":" + std::getenv("PATH");
        const std::string program = std::string(TANDREL_GAME_DIR) + "/tandrel";
        Pid = fork();
        if (Pid == 0)
        {
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            setenv("XDG_DATA_HOME", data.c_str(), 1);
            setenv("PATH", path.c_str(), 1);
            setenv("NO_AT_BRIDGE", "1", 1);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }

    // The id of the visible window with exactly this title, or "" after ten seconds.
    static std::string WaitForWindow(const std::string& title)
    {
        for (int i = 0; i < 500; ++i)
        {
            const std::string id = Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1");
            if (!id.empty())
            {
                return id;
            }
            std::this_thread::sleep_for(20ms);
        }
        return "";
    }

    // True once no visible window has this title (within five seconds).
    static bool WaitForWindowGone(const std::string& title)
    {
        for (int i = 0; i < 250; ++i)
        {
            if (Shell("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null | head -1").empty())
            {
                return true;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

    static void Keys(const std::string& window, const std::string& keys)
    {
        Shell("xdotool windowfocus --sync " + window + " 2>/dev/null; xdotool key --delay 60 " + keys);
    }

    // The exit status, or -1 when the program is still running after five seconds.
    int WaitForExit()
    {
        for (int i = 0; i < 250; ++i)
        {
            int status = 0;
            if (waitpid(Pid, &status, WNOHANG) == Pid)
            {
                Pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

private:
    const TempFolder& Tmp;
    pid_t Pid = -1;
};

const std::string StoredSettings = "# kept as written\n[Tandrel]\nSoundVol=300\nMusicVol=120\nFullscreen=1\n"
                                   "Resolution=6\nColor=0\nDesktop=1\nTexture=2\nHelp=1\nWriteDebug=0\n"
                                   "PseudoFullscreen=0\n";
} // namespace

TEST(Launcher, AppearsTitledTandrelAndExitWritesNoSettings)
{
    TempFolder tmp;
    TProgram program(tmp);
    tmp.Write("config/tandrel/settings.ini", StoredSettings);
    program.Start();
    const std::string window = TProgram::WaitForWindow("Tandrel");
    ASSERT_FALSE(window.empty()) << "no launcher window titled Tandrel";
    const std::string geometry = Shell("xdotool getwindowgeometry " + window);
    EXPECT_NE(geometry.find("Geometry:"), std::string::npos) << geometry;

    TProgram::Keys(window, "alt+x");
    EXPECT_EQ(program.WaitForExit(), 0);
    // A save would have rewritten SoundVol as 44 and dropped nothing else; the file is
    // exactly as it was.
    EXPECT_EQ(ReadFile(program.SettingsFile()), StoredSettings);
}

TEST(Launcher, FirstRunWritesTheDefaultsBeforeTheWindowShows)
{
    TempFolder tmp;
    TProgram program(tmp);
    program.Start();
    const std::string window = TProgram::WaitForWindow("Tandrel");
    ASSERT_FALSE(window.empty());
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
    tmp.Write("config/tandrel/settings.ini", StoredSettings);
    program.Start();
    const std::string launcher = TProgram::WaitForWindow("Tandrel");
    ASSERT_FALSE(launcher.empty());

    // Escape cancels: nothing is written.
    TProgram::Keys(launcher, "alt+o");
    std::string dialog = TProgram::WaitForWindow("Options");
    ASSERT_FALSE(dialog.empty()) << "no Options dialog";
    // From OK: Tab to the desktop box, Cancel (the list is greyed out), the radio group.
    TProgram::Keys(dialog, "Tab Tab Tab Right Escape");
    ASSERT_TRUE(TProgram::WaitForWindowGone("Options"));
    EXPECT_EQ(ReadFile(program.SettingsFile()), StoredSettings);

    // Windowed, then one step down the list (800x600 to 1024x768), then OK.
    TProgram::Keys(launcher, "alt+o");
    dialog = TProgram::WaitForWindow("Options");
    ASSERT_FALSE(dialog.empty());
    TProgram::Keys(dialog, "Tab Tab Tab Right Tab Tab Tab Down alt+o");
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

TEST(Launcher, HomepageOpensTheAddressWithTheDesktopHandler)
{
    TempFolder tmp;
    TProgram program(tmp);
    program.Start();
    const std::string launcher = TProgram::WaitForWindow("Tandrel");
    ASSERT_FALSE(launcher.empty());
    TProgram::Keys(launcher, "alt+h");
    const auto opened = tmp.Path() / "opened.txt";
    for (int i = 0; i < 250 && !std::filesystem::exists(opened); ++i)
    {
        std::this_thread::sleep_for(20ms);
    }
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ReadFile(opened).rfind("https://", 0), 0u) << ReadFile(opened);
    // The launcher stays up.
    EXPECT_EQ(TProgram::WaitForWindow("Tandrel"), launcher);
    TProgram::Keys(launcher, "Tab Tab Tab Return"); // Exit by the keyboard, from Homepage
    EXPECT_EQ(program.WaitForExit(), 0);
}
