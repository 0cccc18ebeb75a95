// End-to-end tests of the main window: Start on the launcher, the window in the chosen
// mode, the loading steps in debug.txt, and the settings written when it closes.
#include "tests/support/EndToEnd.h"
#include "tests/support/TestSupport.h"
#include "tests/front/WindowShot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
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

namespace
{
// The tick debug.txt gives the last line with this message, or -1.
long LogTick(const std::filesystem::path& file, const std::string& message)
{
    long tick = -1;
    for (std::string line : Lines(ReadFile(file)))
    {
        if (!line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        const size_t digits = line.find_first_not_of("0123456789");
        if (digits != std::string::npos && digits > 0 && line.substr(digits) == message)
        {
            tick = std::stol(line.substr(0, digits));
        }
    }
    return tick;
}

long LogCount(const std::filesystem::path& file, const std::string& message)
{
    const std::vector<std::string> lines = LogMessages(file);
    return std::count(lines.begin(), lines.end(), message);
}

// weston with its X11 backend in the test's X server (a seat that xdotool drives; its headless
// backend has none, and SDL cannot start without one), its scene graph open to weston-debug.
class TWeston
{
public:
    explicit TWeston(const TempFolder& tmp)
    {
        const std::filesystem::path runtime = tmp.Path() / "runtime";
        std::filesystem::create_directory(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        // No panel and no animations: a window is where the scene graph says, at
        // once.
        const std::string config = tmp.Write("weston.ini", "[shell]\npanel-position=none\nanimation=none\n"
                                                           "startup-animation=none\nclose-animation=none\n")
                                       .string();
        Pid = fork();
        if (Pid == 0)
        {
            std::freopen("/dev/null", "w", stderr);
            execlp("weston", "weston", "--backend=x11-backend.so", ("--socket=" + Socket).c_str(), "--width=1024",
                   "--height=768", "--idle-time=0", "--debug", ("--config=" + config).c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        if (WaitUntil([&] { return std::filesystem::exists(runtime / Socket); }))
        {
            WaitUntil(
                [&]
                {
                    Output = Shell("xwininfo -root -children | grep -o '0x[0-9a-f]* "
                                   "\"Weston' | cut -d' ' -f1");
                    return !Output.empty();
                });
        }
        if (!Output.empty())
        {
            Output = std::to_string(std::stoul(Output, nullptr, 16)); // as xdotool and Xlib take it
        }
        // The compositor's window takes the keys.
        Shell("xdotool windowfocus --sync " + Output);
    }
    ~TWeston()
    {
        kill(Pid, SIGTERM);
        WaitForExit(Pid);
    }
    TWeston(const TWeston&) = delete;
    TWeston& operator=(const TWeston&) = delete;

    bool Running() const { return !Output.empty(); }
    std::string Run(const std::string& command) const { return Shell("WAYLAND_DISPLAY=" + Socket + " " + command); }

    // Where the compositor shows the window with this title on its output (0 x 0 when it does
    // not), full screen or not, and the middle of the close button on its title bar.
    struct TView
    {
        int X = 0, Y = 0, Width = 0, Height = 0;
        bool FullScreen = false;
        int CloseX = -1, CloseY = -1;
    };
    TView View(const std::string& title) const
    {
        TView v;
        const std::string graph = Run("timeout 10 weston-debug scene-graph 2>/dev/null");
        const std::string window = "top-level window '" + title + "'";
        const size_t shown = graph.find(window);
        if (shown == std::string::npos)
        {
            return v;
        }
        int x2 = 0, y2 = 0;
        const size_t place = graph.find("position:", shown);
        if (place == std::string::npos)
        {
            return v;
        }
        std::sscanf(graph.c_str() + place, "position: (%d, %d) -> (%d, %d)", &v.X, &v.Y, &x2, &y2);
        v.Width = x2 - v.X;
        v.Height = y2 - v.Y;
        v.FullScreen = graph.find("black background surface for " + window) != std::string::npos;
        // The decoration's title bar: a sub-surface as wide as the window, just
        // above it.
        for (size_t p = graph.find("position:", shown + 1); p != std::string::npos; p = graph.find("position:", p + 1))
        {
            int bx = 0, by = 0, bx2 = 0, by2 = 0;
            if (std::sscanf(graph.c_str() + p, "position: (%d, %d) -> (%d, %d)", &bx, &by, &bx2, &by2) == 4 &&
                bx == v.X && bx2 == x2 && by2 == v.Y)
            {
                v.CloseX = bx2 - 16;
                v.CloseY = (by + by2) / 2;
                break;
            }
        }
        return v;
    }

    // The X11 backend follows the X pointer by its motion alone and takes its place on the
    // output only when it comes into the compositor's window: so the pointer is put at a place
    // by leaving that window (the X screen is larger) and coming back in there.
    static void PointAt(int x, int y)
    {
        Shell("xdotool mousemove 1200 1000 mousemove " + std::to_string(x) + " " + std::to_string(y));
    }
    // A motion within the output, as a player's hand makes it.
    static void Glide(int x, int y) { Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)); }

    // A pixel of the output (black when it cannot be read).
    TRgb At(int x, int y) const
    {
        const TShot shot = Grab(Output);
        return shot.Width > 0 ? shot.At(x, y) : TRgb{};
    }

    const std::string Socket = "tandrel-test";

private:
    pid_t Pid = -1;
    std::string Output; // the compositor's X window
};

// The drain of the bar per millisecond in the timed mode's first level, as shipped.
double TimedDrain()
{
    for (const std::string& line : Lines(ReadFile(std::filesystem::path(TANDREL_GAME_DIR) / "data" / "Levels.dat")))
    {
        if (line.find(" drain per millisecond, timed mode") != std::string::npos)
        {
            return std::stod(line);
        }
    }
    return 0;
}
} // namespace

// Natively on a Wayland compositor: the pointer is never held, so it leaves the window
// freely; Enter acts on the menu's first item wherever the pointer rests; a move by pointer;
// another client's window takes the focus: the game pauses with its clock stopped and stays
// on the screen; after the compositor's own full-screen toggle one F11 does what the player
// expects, both ways; closing the window by its close button saves the game.
TEST(NativeWayland, PointerMoveFocusPauseFullScreenAndClosingSaveTheGame)
{
    TempFolder tmp;
    TWeston weston(tmp);
    ASSERT_TRUE(weston.Running()) << "no weston";
    TProgram program(tmp);
    std::string settings = Windowed800;
    settings.replace(settings.find("Help=1"), 6, "Help=0"); // the game straight after the menu
    tmp.Write("config/tandrel/settings.ini", settings);
    // A timed game to resume: its bar shows whether the game's clock ran.
    const std::filesystem::path save = tmp.Path() / "data" / "tandrel" / "data" / "Save2.dat";
    tmp.Write("data/tandrel/data/Save2.dat", SaveWith(2, " 3.00000000000000E+0002", {{1, 3, 5}, {2, 7, 7}}));
    program.WaylandDisplay = weston.Socket;
    program.Start("--start");
    const std::filesystem::path log = program.DebugFile();
    ASSERT_TRUE(WaitForLogLine(log, " ... Loading finished")) << program.Output();
    EXPECT_NE(ReadFile(log).find(" Video driver wayland"), std::string::npos);
    TWeston::TView window;
    ASSERT_TRUE(WaitUntil([&] { return (window = weston.View("Tandrel")).Width == 800; })) << "no window";

    // The pointer comes in where QUIT is drawn and rests there: Enter opens PLAY all the same
    // (a key is taken a quarter of a second after a screen shows).
    TWeston::PointAt(window.X + 400, window.Y + 386);
    EXPECT_TRUE(WaitForLogLine(log, " Pointer came into the window")) << "the compositor kept the pointer";
    const auto key = [](const std::string& keys)
    {
        std::this_thread::sleep_for(600ms);
        Shell("xdotool key --delay 100 " + keys);
    };
    key("Return");
    // The pointer leaves the window freely, by a motion within the output to the corner
    // farthest from the window, comes back and leaves again.
    const int outX = window.X + window.Width / 2 < 512 ? 1020 : 3;
    const int outY = window.Y + window.Height / 2 < 384 ? 764 : 3;
    for (const bool back : {true, false})
    {
        const long left = LogCount(log, " Pointer left the window");
        TWeston::Glide(outX, outY);
        EXPECT_TRUE(WaitUntil([&] { return LogCount(log, " Pointer left the window") > left; }))
            << "the pointer is held\n" << ReadFile(log);
        if (back)
        {
            const long came = LogCount(log, " Pointer came into the window");
            TWeston::Glide(window.X + 100, window.Y + 100);
            EXPECT_TRUE(WaitUntil([&] { return LogCount(log, " Pointer came into the window") > came; }));
        }
    }
    // The timed game and its resumption.
    key("Down Return");
    key("Return");
    ASSERT_TRUE(WaitForLogLine(log, " State menu -> game")) << "Enter did not reach PLAY and the timed game";
    TSavedGame resumed;
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(save).rfind("saved", 0) != 0; })) << "not resumed";
    const auto resumedAt = std::filesystem::last_write_time(save);
    resumed = ReadSave(save);
    ASSERT_EQ(resumed.Mode, 2);

    // The cube on (3, 5) to (4, 5) by pointer, clicked again until the board takes the clicks
    // (not while cubes grow): then the target looks more like the cube than like an empty cell,
    // and the cell left the other way round (the game's pointer, and its light, in a corner of
    // the window off the board).
    const int restX = window.X + window.Width - 20, restY = window.Y + 20;
    const auto cell = [&](float x) -> std::array<int, 2> {
        return {window.X + PlanePixelX(x, 0, window.Width), window.Y + PlanePixelY(0.0f, 0, window.Height)};
    };
    const auto [fromX, fromY] = cell(-2.0f);
    const auto [toX, toY] = cell(-1.0f);
    TWeston::Glide(restX, restY);
    const auto apart = [](const TRgb& a, const TRgb& b)
    { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); };
    const auto looksLike = [&](const TRgb& c, const TRgb& like, const TRgb& unlike)
    { return apart(c, like) < apart(c, unlike); };
    // Both cells as the board shows them at rest: all but unchanged for half a second.
    TRgb empty, cube, lastEmpty, lastCube;
    auto since = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            empty = weston.At(toX, toY);
            cube = weston.At(fromX, fromY);
            if (apart(empty, lastEmpty) + apart(cube, lastCube) > 40)
            {
                lastEmpty = empty;
                lastCube = cube;
                since = std::chrono::steady_clock::now();
            }
            return apart(empty, cube) > 150 && std::chrono::steady_clock::now() - since >= 500ms;
        }))
        << "the resumed cube never showed";
    bool moved = false;
    for (int tries = 0; tries < 6 && !moved; ++tries)
    {
        if (looksLike(weston.At(fromX, fromY), cube, empty)) // not on its way already
        {
            TWeston::PointAt(fromX, fromY);
            Shell("xdotool click 1");
            TWeston::Glide(toX, toY);
            Shell("xdotool click 1");
            TWeston::Glide(restX, restY);
        }
        moved = WaitUntil(
            [&]
            {
                return looksLike(weston.At(toX, toY), cube, empty) && looksLike(weston.At(fromX, fromY), empty, cube);
            },
            3s);
    }
    EXPECT_TRUE(moved) << "the board did not take the move";

    // Another client takes the focus for a while: the game pauses and stays on the screen.
    {
        const std::string thief = weston.Run("weston-simple-shm >/dev/null 2>&1 & echo $!");
        EXPECT_TRUE(WaitForLogLine(log, " Application deactivated"));
        EXPECT_EQ(weston.View("Tandrel").Width, 800) << "the window went away";
        std::this_thread::sleep_for(3s); // the time away is what is measured
        Shell("kill " + thief);
    }
    EXPECT_TRUE(WaitUntil([&] { return LogTick(log, " Game = gsGame") > LogTick(log, " Application deactivated"); }))
        << "the focus did not come back\n" << ReadFile(log);
    const long away = LogTick(log, " Game = gsGame") - LogTick(log, " Application deactivated");
    EXPECT_EQ(ReadFile(log).find(" Application minimized"), std::string::npos);

    // The compositor's own full-screen binding (Super+Shift+F), then one F11: the window as it
    // was; the other way round, F11 and the binding, then one F11: full screen again.
    const auto full = [&] { return WaitUntil([&] { return weston.View("Tandrel").FullScreen; }); };
    const auto framed = [&]
    {
        return WaitUntil(
            [&]
            {
                window = weston.View("Tandrel");
                return !window.FullScreen && window.Width == 800 && window.Height == 600 && window.CloseX >= 0;
            });
    };
    Shell("xdotool key super+shift+f");
    EXPECT_TRUE(full()) << "the compositor did not";
    EXPECT_TRUE(WaitForLogLine(log, " Full screen on (the window fills its display)"));
    Shell("xdotool key F11");
    EXPECT_TRUE(framed()) << "one F11 did not give the window back (with its title bar)";
    Shell("xdotool key F11");
    EXPECT_TRUE(full()) << "F11 gave no full screen";
    Shell("xdotool key super+shift+f");
    EXPECT_TRUE(WaitForLogLine(log, " Full screen off (a window again)"));
    EXPECT_TRUE(framed()) << "the window the compositor left is not the player's window: " << window.Width << "x"
                          << window.Height << (window.FullScreen ? " full screen" : "")
                          << (window.CloseX < 0 ? " without a title bar" : "");
    Shell("xdotool key F11");
    EXPECT_TRUE(full()) << "one F11 did not give full screen back";
    Shell("xdotool key F11");
    EXPECT_TRUE(framed());

    // The close button: the game is saved with the move, and its bar drained only while the
    // game had the focus.
    TWeston::PointAt(window.CloseX, window.CloseY);
    Shell("xdotool click 1");
    EXPECT_EQ(program.WaitForExit(), 0);
    const TSavedGame closed = ReadSave(save);
    // (Or it made a square or a figure with the cubes the timed game brought meanwhile.)
    EXPECT_TRUE(KindAt(closed, 4, 5) == 1 || closed.Score > resumed.Score)
        << "the cube did not move from (3, 5) to (4, 5)\n" << ReadFile(save);
    const double drained = resumed.Progress - closed.Progress;
    const auto playedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::filesystem::last_write_time(save) - resumedAt)
            .count();
    EXPECT_GT(drained, 0.0) << "the clock never ran";
    EXPECT_LT(drained, TimedDrain() * static_cast<double>(playedMs - away / 2))
        << "the bar drained while the game was away: " << drained << " in " << playedMs << " ms, " << away << " away";
}
