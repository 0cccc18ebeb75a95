// End-to-end tests of the main window: Start on the launcher, the window in the chosen
// mode, the loading steps in debug.txt, and the settings written when it closes.
#include "tests/support/EndToEnd.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>
#include <unistd.h>

namespace
{
using namespace std::chrono_literals;

const std::string Windowed800 = "[Tandrel]\nSoundVol=300\nMusicVol=120\nFullscreen=0\nResolution=3\nColor=1\n"
                                "Desktop=0\nTexture=2\nHelp=1\nWriteDebug=0\nPseudoFullscreen=0\n";

// The messages of debug.txt without their time stamps.
std::vector<std::string> LogMessages(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(file));
    std::string line;
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        const auto digits = line.find_first_not_of("0123456789");
        lines.push_back(digits == std::string::npos ? "" : line.substr(digits));
    }
    return lines;
}

// Waits until debug.txt holds the line.
bool WaitForLogLine(const std::filesystem::path& file, const std::string& message,
                    std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    return WaitUntil(
        [&]
        {
            const std::vector<std::string> lines = LogMessages(file);
            return std::find(lines.begin(), lines.end(), message) != lines.end();
        },
        limit);
}

// True when the wanted lines appear in this order (others may come between).
::testing::AssertionResult InOrder(const std::vector<std::string>& lines, const std::vector<std::string>& wanted)
{
    size_t w = 0;
    for (const std::string& line : lines)
    {
        if (w < wanted.size() && line == wanted[w])
        {
            ++w;
        }
    }
    if (w == wanted.size())
    {
        return ::testing::AssertionSuccess();
    }
    std::string all;
    for (const std::string& line : lines)
    {
        all += "\n  [" + line + "]";
    }
    return ::testing::AssertionFailure() << "missing [" << wanted[w] << "] in" << all;
}
} // namespace

TEST(MainWindow, EnterStartsTheGameInAWindowOfTheChosenSizeAndClosingSaves)
{
    TempFolder tmp;
    TProgram program(tmp);
    const std::string launcher = program.StartOnLauncher(Windowed800);
    ASSERT_FALSE(launcher.empty()) << program.Output();
    TProgram::Keys(launcher, "Return");

    const std::string window = TProgram::WaitForGameWindow();
    ASSERT_FALSE(window.empty()) << "no game window";
    const std::string geometry = Shell("xdotool getwindowgeometry " + window);
    EXPECT_NE(geometry.find("Geometry: 800x600"), std::string::npos) << geometry;
    ASSERT_TRUE(WaitForLogLine(program.DebugFile(), " ... Loading finished"));

    const std::vector<std::string> lines = LogMessages(program.DebugFile());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), " Main form created") << "debug.txt starts afresh";
    EXPECT_TRUE(InOrder(lines, {" Main form created", " Fullscreen = False", " Showing main form ",
                                " Fullscreen = False", " Resolution = 3 = 800x600x32", " Inintialize D3D",
                                " D3D initialized", " Main form showed", " Vertices initialized",
                                " loading initialise 1", " loading createlevels", " loading createbonus",
                                " loading initialise particles", " ... Loading finished", ""}));
    EXPECT_EQ(ReadFile(program.SettingsFile()), Windowed800) << "nothing is saved before the window closes";

    // A second start on the same user folder writes nothing: it brings the running window to
    // the front rather than taking the focus with a box of its own, and ends.
    const std::string log = ReadFile(program.DebugFile());
    TProgram second(tmp);
    second.Start();
    EXPECT_EQ(second.WaitForExit(), 0);
    EXPECT_NE(second.Output().find("already running"), std::string::npos) << second.Output();
    EXPECT_TRUE(WaitForLogLine(program.DebugFile(), " Brought to the front by a second copy"));
    EXPECT_EQ(ReadFile(program.DebugFile()).rfind(log, 0), 0u) << "the log was started afresh";
    EXPECT_EQ(ReadFile(program.SettingsFile()), Windowed800);

    TProgram::CloseWindow(window);
    EXPECT_EQ(program.WaitForExit(), 0);
    const std::string settings = ReadFile(program.SettingsFile());
    EXPECT_NE(settings.find("SoundVol=44\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Resolution=3\n"), std::string::npos) << settings;
    EXPECT_TRUE(InOrder(LogMessages(program.DebugFile()),
                        {" ... Loading finished", " Closing mainform", " Main form closed", " Closing DGfx"}));
}

TEST(MainWindow, StartOptionPassesTheLauncherByAndAnUnknownOptionIsNamed)
{
    TempFolder tmp;
    TProgram program(tmp);
    tmp.Write("config/tandrel/settings.ini", Windowed800);
    program.Start("--start"); // no key reaches the launcher: it is never shown
    const std::string window = TProgram::WaitForGameWindow();
    ASSERT_FALSE(window.empty()) << "no game window " << program.Output();
    TProgram::CloseWindow(window); // closed while loading, the program ends after it
    EXPECT_EQ(program.WaitForExit(60), 0);

    TProgram wrong(tmp);
    wrong.Start("--strat");
    EXPECT_EQ(wrong.WaitForExit(), 2);
    EXPECT_NE(wrong.Output().find("unknown option '--strat'"), std::string::npos) << wrong.Output();

    // A display that refuses the connection ends the start with a message and status 1, not
    // with a game running unseen on SDL's off-screen driver.
    const std::string refused =
        Shell("env DISPLAY=:7777 XDG_CONFIG_HOME='" + (tmp.Path() / "config").string() + "' XDG_DATA_HOME='" +
              (tmp.Path() / "data").string() + "' SDL_AUDIODRIVER=dummy timeout 60 '" + TANDREL_GAME_DIR +
              "/tandrel' --start 2>&1; echo \" $?\"");
    EXPECT_NE(refused.find("Could not open the game's window"), std::string::npos) << refused;
    EXPECT_EQ(refused.substr(refused.size() - 2), " 1") << refused;
}

TEST(MainWindow, DesktopSizedRunWithoutASoundDeviceSavesResolutionNineAndTheVolumes)
{
    TempFolder tmp;
    TProgram program(tmp);
    program.AudioDriver = "no-such-driver"; // the mixer cannot start: a silent run
    // The first run, in German as the environment asks: full screen at the display's size.
    setenv("LANGUAGE", "de", 1);
    program.Start();
    unsetenv("LANGUAGE");
    const std::string launcher = TProgram::WaitForWindow("Tandrel");
    ASSERT_FALSE(launcher.empty()) << program.Output();
    TProgram::Keys(launcher, "Return");
    const std::string window = TProgram::WaitForGameWindow();
    ASSERT_FALSE(window.empty());
    const std::string display = Shell("xdotool getdisplaygeometry");
    const std::string geometry = Shell("xdotool getwindowgeometry " + window);
    EXPECT_NE(geometry.find("Geometry: " + display.substr(0, display.find(' ')) + "x" +
                            display.substr(display.find(' ') + 1)),
              std::string::npos)
        << geometry << " on a display of " << display;
    ASSERT_TRUE(WaitForLogLine(program.DebugFile(), " ... Loading finished"));
    EXPECT_TRUE(InOrder(LogMessages(program.DebugFile()), {" Fullscreen = True", " use desktop settings"}));
    // Every picture and voice line with words that loading reads is the language's own.
    EXPECT_TRUE(InOrder(LogMessages(program.DebugFile()), {" Language: Deutsch", " ... Loading finished"}));
    EXPECT_EQ(ReadFile(program.DebugFile()).find("is missing"), std::string::npos);

    kill(program.Pid(), SIGHUP); // the session ends: the window closes as usual
    EXPECT_EQ(program.WaitForExit(), 0);
    const std::string settings = ReadFile(program.SettingsFile());
    EXPECT_NE(settings.find("Resolution=9\n"), std::string::npos) << settings;
    // A missing sound device silences this run only: the stored volumes stay.
    EXPECT_NE(settings.find("SoundVol=160\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("MusicVol=120\n"), std::string::npos) << settings;
}

// The copy's folder `copy`, a link to `shipped`, becomes a folder of links to its entries
// but one, `gone` (a path below it), so that one file is missing from the copy alone.
static void LinkAllBut(const std::filesystem::path& shipped, const std::filesystem::path& copy,
                const std::filesystem::path& gone)
{
    std::filesystem::remove(copy);
    std::filesystem::create_directories(copy);
    const std::filesystem::path first = *gone.begin();
    for (const auto& entry : std::filesystem::directory_iterator(shipped))
    {
        const auto name = entry.path().filename();
        if (name != first)
        {
            std::filesystem::create_symlink(entry.path(), copy / name);
        }
        else if (gone != first)
        {
            LinkAllBut(entry.path(), copy / name, gone.lexically_relative(first));
        }
    }
}

// A damaged level file, a cube skin picture shown only in a game and a sound effect: all
// three in one message box, each with its problem, and the program ends. The box fits the
// screen whole (ctest runs this also on a 640 x 480 screen).
TEST(MainWindow, BadDataFileIsNamedInOneMessageAndTheProgramEnds)
{
    TempFolder tmp;
    TProgram program(tmp);
    // Paths longer than a line of the box.
    const auto folder = program.UseCopiedProgram("program/a-folder-with-a-name-as-long-as-a-line-of-the-message-box");
    std::string levels = ReadFile(folder / "data" / "Levels.dat");
    // Line 3 loses its number.
    size_t at = 0;
    for (int line = 1; line < 3; ++line)
    {
        at = levels.find('\n', at) + 1;
    }
    levels.replace(at, levels.find('\n', at) - at, "many");
    tmp.Write((folder.lexically_relative(tmp.Path()) / "data" / "Levels.dat").string(), levels);
    LinkAllBut(std::filesystem::path(TANDREL_GAME_DIR) / "Images", folder / "Images", "Skin3/tex2.tga");
    LinkAllBut(std::filesystem::path(TANDREL_GAME_DIR) / "Sounds", folder / "Sounds", "Shot.ogg");
    const std::string launcher = program.StartOnLauncher(Windowed800);
    ASSERT_FALSE(launcher.empty()) << program.Output();
    TProgram::Keys(launcher, "Return");

    // One message box, titled as the game, over the game window.
    const std::string game = TProgram::WaitForGameWindow();
    const std::string box = TProgram::WaitForWindow("Tandrel", game);
    ASSERT_FALSE(box.empty()) << program.Output();
    const std::string output = program.Output();
    const std::vector<std::string> named = {(folder / "data" / "Levels.dat").string() + ", line 3",
                                            (folder / "Images/Skin3/tex2.tga").string() + ": is missing",
                                            (folder / "Sounds/Shot.ogg").string() + ": is missing"};
    for (const std::string& problem : named)
    {
        EXPECT_NE(output.find(problem), std::string::npos) << output;
    }
    std::istringstream shown(Shell("xdotool getwindowgeometry --shell " + box + "; xdotool getdisplaygeometry"));
    int x = -1, width = 0, screen = 0;
    for (std::string line; std::getline(shown, line);)
    {
        std::sscanf(line.c_str(), "X=%d", &x);
        std::sscanf(line.c_str(), "WIDTH=%d", &width);
        std::sscanf(line.c_str(), "%d %*d", &screen);
    }
    EXPECT_TRUE(x >= 0 && width > 0 && x + width <= screen) << "a box " << width << " wide at " << x << " on "
                                                             << screen;
    TProgram::Keys(box, "Return");
    EXPECT_EQ(program.WaitForExit(), 1);
    const std::vector<std::string> lines = LogMessages(program.DebugFile());
    EXPECT_TRUE(InOrder(lines, {" Cannot read " + named[1], " Cannot read " + named[2], " Closing mainform",
                                " Main form closed"}));
    for (const std::string& line : lines)
    {
        EXPECT_NE(line, " ... Loading finished");
    }
}

TEST(MainWindow, InstalledProgramFindsItsFolderBesideItselfAndLoads)
{
    TempFolder tmp;
    const std::string install = std::string("DESTDIR='") + (tmp.Path() / "dest").string() + "' '" + TANDREL_CMAKE +
                                "' --install '" + TANDREL_BUILD_DIR + "' --prefix /opt/tandrel >/dev/null && echo done";
    ASSERT_EQ(Shell(install), "done");
    const auto prefix = tmp.Path() / "dest" / "opt" / "tandrel";
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix / "share" / "tandrel" / "data" / "Levels.dat"));
    EXPECT_FALSE(std::filesystem::exists(prefix / "bin" / "data")) << "nothing of the program folder beside it";
    // Without a display: the version, and the folders in use, the program folder found from
    // the executable's own place (the build's configured prefix is elsewhere).
    const std::string executable = "'" + (prefix / "bin" / "tandrel").string() + "'";
    EXPECT_EQ(Shell("env -u DISPLAY " + executable + " --version"), std::string("Tandrel ") + TANDREL_VERSION);
    const std::string help = Shell("env -u DISPLAY " + executable + " --help");
    EXPECT_NE(help.find("files          " + (prefix / "share" / "tandrel").string() + "\n"), std::string::npos) << help;
    EXPECT_EQ(Shell(executable + " --bogus 2>&1; echo \" $?\""),
              "tandrel: unknown option '--bogus'\nTry 'tandrel --help' for more information.\n 2");

    TProgram program(tmp);
    program.UseProgram(prefix / "bin" / "tandrel");
    const std::string launcher = program.StartOnLauncher(Windowed800);
    ASSERT_FALSE(launcher.empty()) << program.Output();
    if (*TANDREL_HOMEPAGE == '\0')
    {
        // Homepage opens the installed player's manual.
        TProgram::Keys(launcher, "alt+h");
        const auto opened = tmp.Path() / "opened.txt";
        WaitUntil([&] { return !ReadFile(opened).empty(); }, 5s);
        EXPECT_EQ(ReadFile(opened), "file://" + (prefix / "share/doc/tandrel/manual.html").string());
    }
    TProgram::Keys(launcher, "Return");
    const std::string window = TProgram::WaitForGameWindow();
    ASSERT_FALSE(window.empty()) << "no game window";
    EXPECT_TRUE(WaitForLogLine(program.DebugFile(), " ... Loading finished")) << program.Output();
    TProgram::CloseWindow(window);
    EXPECT_EQ(program.WaitForExit(), 0);
}

// Natively on a Wayland compositor (weston with its X11 backend in the test's X server, so
// that it has a seat for xdotool to drive; its headless backend has none, and SDL cannot
// start without one): the pointer is never held, so it leaves the window freely; Enter
// acts on the menu's first item wherever the pointer rests; closing with a game on the
// board saves it.
TEST(NativeWayland, ThePointerLeavesEnterPlaysAndClosingSavesTheGame)
{
    TempFolder tmp;
    const std::filesystem::path runtime = tmp.Path() / "runtime";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    pid_t weston = fork();
    if (weston == 0)
    {
        std::freopen("/dev/null", "w", stderr);
        execlp("weston", "weston", "--backend=x11-backend.so", "--socket=tandrel-test", "--width=1024",
               "--height=768", "--idle-time=0", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(runtime / "tandrel-test"); })) << "no weston";
    // The compositor's window takes the keys; the pointer rests where QUIT is drawn.
    std::string output;
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            output = Shell("xwininfo -root -children | grep -o '0x[0-9a-f]* \"Weston' | cut -d' ' -f1");
            return !output.empty();
        }));
    Shell("xdotool windowfocus --sync " + output + " mousemove 512 470");

    TProgram program(tmp);
    std::string settings = Windowed800;
    settings.replace(settings.find("Help=1"), 6, "Help=0"); // the game straight after the menu
    tmp.Write("config/tandrel/settings.ini", settings);
    program.WaylandDisplay = "tandrel-test";
    program.Start("--start");
    ASSERT_TRUE(WaitForLogLine(program.DebugFile(), " ... Loading finished")) << program.Output();
    EXPECT_NE(ReadFile(program.DebugFile()).find(" Video driver wayland"), std::string::npos);
    // PLAY, then the classic game: a key is taken a quarter of a second after a screen shows.
    bool playing = false;
    for (int key = 0; key < 8 && !playing; ++key)
    {
        Shell("xdotool key Return");
        playing = WaitForLogLine(program.DebugFile(), " State menu -> game", 1s);
    }
    EXPECT_TRUE(playing) << "Enter did not reach PLAY and the classic game";
    // Into the window (an 800 x 600 window on the 1024 x 768 output always holds its middle),
    // then out of it, wherever the compositor put it: it cannot hold two opposite corners.
    bool entered = false;
    for (int tries = 0; tries < 10 && !entered; ++tries)
    {
        Shell("xdotool mousemove 500 380 sleep 0.1 mousemove 512 384");
        entered = WaitForLogLine(program.DebugFile(), " Pointer came into the window", 1s);
    }
    // weston 10 in Xvfb does not always give the pointer to a window smaller than its output
    // (seen here since the session's packages changed): without an entry there is no leaving
    // to see, and the run says so.
    if (entered)
    {
        Shell("xdotool mousemove 1 1 sleep 0.2 mousemove 1020 760");
        EXPECT_TRUE(WaitForLogLine(program.DebugFile(), " Pointer left the window"))
            << "the pointer is held\n" << ReadFile(program.DebugFile());
    }
    else
    {
        std::printf("the compositor never gave the window the pointer: its leaving is not checked\n");
    }
    kill(program.Pid(), SIGTERM);
    EXPECT_EQ(program.WaitForExit(), 0);
    EXPECT_TRUE(std::filesystem::exists(tmp.Path() / "data" / "tandrel" / "data" / "Save1.dat"));
    kill(weston, SIGTERM);
    WaitForExit(weston);
}
