// The whole game end to end: the real program in the X server of xvfb-run, started from a
// temporary copy of its program folder with its own XDG folders, driven with xdotool
// through XTEST as a player would, watched through screenshots of its window.
//
// Most runs carry a menu of our own (data/Menu.dat over solid-coloured item images), so a
// pixel proves which screen is shown: the normal image of item i on screen s is
// (40 + 20 s, 12 i, 90), the highlighted one (40 + 20 s, 12 i, 230). The rest of the
// content is the program's own.
#include "tests/support/EndToEnd.h"
#include "base/AtomicFile.h"
#include "tests/front/FrontFixture.h"
#include "front/MenuFile.h"
#include "tests/front/WindowShot.h"
#include "render/PictureArea.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace
{
constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;

TRgb ItemColour(int screen, int item, bool highlighted)
{
    return {40 + 20 * screen, 12 * item, highlighted ? 230 : 90};
}

bool Near(const TRgb& a, const TRgb& b, int tolerance = 6)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

std::string Text(const TRgb& c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ")";
}

// Where each item of the test menu lies: (x, y, width, height) in world units.
struct TPlace
{
    float X, Y, W, H;
};

TPlace TestPlace(int screen, int item)
{
    if (screen == 3)
    {
        switch (item)
        {
        case 1: return {3.5f, -4.0f, 2.0f, 0.8f};
        case 2: return {0.5f, -4.0f, 2.0f, 0.8f};
        case 7: return {-1.8f, 2.0f, 1.6f, 0.3f};
        case 11: return {-1.8f, 0.2f, 1.6f, 0.3f};
        default: break;
        }
        if (item >= 15)
        {
            return {-1.8f, -1.8f, 1.6f, 0.8f};
        }
        // Rows of button, caption, button: sound (4..6, caption 3 spare), music, skin.
        const int row = item == 3 ? 0 : (item - 4) / 4;
        const int column = item == 3 ? 1 : (item - 4) % 4;
        return {3.5f - 1.5f * static_cast<float>(column), 2.0f - 1.8f * static_cast<float>(row),
                1.2f, 0.8f};
    }
    if (screen == 4 || screen == 5 || screen == 7)
    {
        // Beside the board, where a click on a cube cannot reach them.
        return {-7.0f, 4.0f - 1.3f * static_cast<float>(item - 1), 3.0f, 0.9f};
    }
    return {2.0f, 3.0f - 1.3f * static_cast<float>(item - 1), 3.0f, 0.9f};
}

void WriteTestMenu(const fs::path& program)
{
    const std::vector<std::vector<std::pair<bool, bool>>> flags = {
        {},
        {{1, 1}, {1, 1}, {1, 1}, {1, 1}},
        {{1, 1}, {1, 1}, {1, 1}, {1, 1}},
        {{1, 1},
         {1, 1},
         {0, 0},
         {1, 1},
         {1, 0},
         {1, 1},
         {1, 0},
         {1, 1},
         {1, 0},
         {1, 1},
         {1, 0},
         {1, 1},
         {1, 0},
         {1, 1},
         {1, 0},
         {1, 0},
         {1, 0},
         {1, 0},
         {1, 0}},
        {{1, 1}, {1, 1}},
        {{1, 0}, {1, 1}, {1, 1}, {0, 0}, {0, 1}},
        {{1, 1}, {1, 1}, {0, 1}},
        {{1, 0}, {1, 1}, {1, 1}},
        {{1, 1}},
        {{1, 1}, {1, 1}, {1, 1}},
        {{1, 1}, {1, 1}, {0, 1}},
    };
    std::ostringstream s;
    s << "Tandrel test menu\nImages/TestMenu/background.tga\n-- screens\n10\n";
    for (int screen = 1; screen <= 10; ++screen)
    {
        s << "--- screen " << screen << "\n" << flags[screen].size() << "\n";
        for (int i = 1; i <= static_cast<int>(flags[screen].size()); ++i)
        {
            const std::string base =
                "Images/TestMenu/s" + std::to_string(screen) + "i" + std::to_string(i);
            for (const bool high : {false, true})
            {
                const TRgb c = ItemColour(screen, i, high);
                WriteImage(program / (base + (high ? "h" : "") + ".tga"), 4, 4,
                           0xFF000000u | static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b));
            }
            const TPlace p = TestPlace(screen, i);
            s << base << ".tga\n" << base << "h.tga\n";
            s << p.X << " " << p.Y << " 0\n" << p.W << " " << p.H << " 1\n0 0 0\n";
            s << flags[screen][i - 1].first << "\n" << flags[screen][i - 1].second << "\n";
        }
    }
    WriteImage(program / "Images/TestMenu/background.tga", 4, 4, 0xFF203040);
    std::ofstream(program / "data" / "Menu.dat") << s.str();
}

// Where the game's 4:3 picture lies in its window (TGameRun follows the window's size).
TPictureArea Picture{0, 0, WindowWidth, WindowHeight};

// Client pixels of a point of the menu and board plane, to the nearest.
int PixelX(float x)
{
    return PlanePixelX(x, Picture.Left, Picture.Width);
}
int PixelY(float y)
{
    return PlanePixelY(y, Picture.Top, Picture.Height);
}


// Polls until what look() sees has stayed the same for 300 ms.
bool WaitForStill(const std::function<std::vector<int>()>& look)
{
    std::vector<int> seen = look();
    auto since = std::chrono::steady_clock::now();
    return WaitUntil(
        [&]
        {
            std::vector<int> now = look();
            if (now != seen)
            {
                seen = std::move(now);
                since = std::chrono::steady_clock::now();
            }
            return std::chrono::steady_clock::now() - since >= 300ms;
        });
}

// The program from a temporary copy of its folder, with its own XDG folders.
class TGameRun
{
public:
    // ownMenu: the menu of this test over the program's own (which then stays unused).
    explicit TGameRun(const std::string& settings, bool ownMenu = true)
    {
        const fs::path shipped = TANDREL_GAME_DIR;
        fs::create_directories(Program / "data");
        fs::create_directories(Program / "Images");
        fs::copy_file(shipped / "tandrel", Program / "tandrel");
        fs::copy(shipped / "data", Program / "data", fs::copy_options::recursive);
        for (const auto& e : fs::directory_iterator(shipped / "Images"))
        {
            fs::create_directory_symlink(e.path(), Program / "Images" / e.path().filename());
        }
        for (const char* folder : {"Sounds", "Music", "locale", "lang"})
        {
            fs::create_directory_symlink(shipped / folder, Program / folder);
        }
        if (!fs::exists(Program / "Images" / "Tutorial" / "tut1.jpg"))
        {
            fs::remove(Program / "Images" / "Tutorial");
            for (int n = 1; n <= 9; ++n)
            {
                WriteJpeg(Program / "Images" / "Tutorial" / ("tut" + std::to_string(n) + ".jpg"),
                          64, 48, static_cast<uint8_t>(20 + 25 * n));
            }
        }
        if (ownMenu)
        {
            WriteTestMenu(Program);
        }
        Tmp.Write("config/tandrel/settings.ini", settings);
    }

    ~TGameRun()
    {
        if (Pid > 0)
        {
            kill(Pid, SIGKILL);
            waitpid(Pid, nullptr, 0);
        }
    }

    fs::path UserData() const { return Tmp.Path() / "data" / "tandrel" / "data"; }
    fs::path SettingsFile() const { return Tmp.Path() / "config" / "tandrel" / "settings.ini"; }
    fs::path DebugFile() const { return Tmp.Path() / "data" / "tandrel" / "debug.txt"; }

    // Start on the launcher, then the window once the load sequence has finished.
    ::testing::AssertionResult Start()
    {
        const std::string config = (Tmp.Path() / "config").string();
        const std::string data = (Tmp.Path() / "data").string();
        const std::string cache = (Tmp.Path() / "cache").string();
        const std::string program = (Program / "tandrel").string();
        const std::string errors = (Tmp.Path() / "stderr.txt").string();
        Pid = fork();
        if (Pid == 0)
        {
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            setenv("XDG_DATA_HOME", data.c_str(), 1);
            setenv("XDG_CACHE_HOME", cache.c_str(), 1);
            setenv("NO_AT_BRIDGE", "1", 1);
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            if (!Locale.empty())
            {
                setenv("LANG", Locale.c_str(), 1);
                setenv("LC_ALL", Locale.c_str(), 1);
            }
            if (!Language.empty())
            {
                setenv("LANGUAGE", Language.c_str(), 1);
                const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                dup2(err, 2);
            }
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string launcher = TProgram::WaitForWindow("Tandrel");
        if (launcher.empty())
        {
            return ::testing::AssertionFailure() << "no launcher";
        }
        if (Language == "xx")
        {
            // The options dialog shows its texts too (its mnemonics are accented: Tab to it).
            TProgram::Keys(launcher, "Tab space");
            const std::string options = TProgram::WaitForWindow("[Őptîőñŝ]");
            if (options.empty())
            {
                return ::testing::AssertionFailure() << "no options dialog in the pseudo-language";
            }
            TProgram::Keys(options, "Escape");
            TProgram::WaitForWindowGone("[Őptîőñŝ]");
            TProgram::Keys(launcher, "shift+Tab");
        }
        TProgram::Keys(launcher, "Return");
        Window = TProgram::WaitForGameWindow();
        if (Window.empty())
        {
            return ::testing::AssertionFailure() << "no game window";
        }
        // A loaded machine takes its time over the software-rendered loading bar.
        if (!WaitUntil(
                [&] {
                    return ReadFile(DebugFile()).find(" ... Loading finished") != std::string::npos;
                },
                60s))
        {
            return ::testing::AssertionFailure() << "loading did not finish:\n"
                                                 << ReadFile(DebugFile());
        }
        Shell("xdotool windowfocus --sync " + Window + " 2>/dev/null");
        FollowWindowSize();
        return ::testing::AssertionSuccess();
    }

    // The picture area of the window as it is now (once it shows).
    void FollowWindowSize() const
    {
        TShot shot;
        WaitUntil(
            [&]
            {
                shot = Grab(Window);
                return shot.Width > 0;
            });
        Picture = PictureArea(shot.Width, shot.Height);
    }

    // Whether item i of screen s shows at its left end now (normal or highlighted).
    bool ScreenShown(int screen, int item) const
    {
        const TPlace p = TestPlace(screen, item);
        const TShot shot = Grab(Window);
        return shot.Width > 0 && (Near(shot.At(PixelX(p.X + p.W / 2 - 0.2f), PixelY(p.Y)), ItemColour(screen, item, false)) ||
                                  Near(shot.At(PixelX(p.X + p.W / 2 - 0.2f), PixelY(p.Y)), ItemColour(screen, item, true)));
    }

    // Waits until item i of screen s shows at its left end (normal or highlighted), and
    // keeps a screenshot named after the stage.
    ::testing::AssertionResult WaitForScreen(int screen, int item, const std::string& stage)
    {
        const TPlace p = TestPlace(screen, item);
        const int x = PixelX(p.X + p.W / 2 - 0.2f);
        const int y = PixelY(p.Y);
        TShot shot;
        const bool shown = WaitUntil(
            [&]
            {
                shot = Grab(Window);
                if (shot.Width == 0)
                {
                    return false;
                }
                const TRgb c = shot.At(x, y);
                return Near(c, ItemColour(screen, item, false)) ||
                       Near(c, ItemColour(screen, item, true));
            });
        Screenshot(stage, shot);
        if (!shown)
        {
            return ::testing::AssertionFailure()
                   << stage << ": screen " << screen << " item " << item << " is not shown at ("
                   << x << ", " << y << "), found " << Text(shot.Width ? shot.At(x, y) : TRgb{})
                   << ", wanted " << Text(ItemColour(screen, item, false));
        }
        return ::testing::AssertionSuccess();
    }

    void Screenshot(const std::string& stage, const TShot& shot) const
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        SavePng(shot, fs::path(TANDREL_SCREENSHOT_DIR) / (name + "-" + stage + ".png"));
    }
    void Screenshot(const std::string& stage) const { Screenshot(stage, Grab(Window)); }

    // A click at a point of the plane: the pointer comes from one pixel aside, so the
    // move is seen, after the menu's quarter-second guard.
    void Click(float x, float y, int button = 1) const
    {
        std::this_thread::sleep_for(350ms);
        const std::string px = std::to_string(PixelX(x));
        const std::string py = std::to_string(PixelY(y));
        Shell("xdotool mousemove --window " + Window + " " + std::to_string(PixelX(x) + 2) + " " +
              py);
        std::this_thread::sleep_for(60ms);
        Shell("xdotool mousemove --window " + Window + " " + px + " " + py);
        std::this_thread::sleep_for(120ms);
        Shell("xdotool click " + std::to_string(button));
    }
    void ClickItem(int screen, int item, int button = 1) const
    {
        const TPlace p = TestPlace(screen, item);
        Click(p.X, p.Y, button);
    }
    void MovePointer(float x, float y) const
    {
        Shell("xdotool mousemove --window " + Window + " " + std::to_string(PixelX(x)) + " " +
              std::to_string(PixelY(y)));
    }

    // Polls until the board has looked the same for 300 ms: cubes have grown, moved and
    // settled (the board takes clicks only then).
    bool WaitForStillBoard() const
    {
        return WaitForStill(
            [&]
            {
                const TShot shot = Grab(Window);
                std::vector<int> v;
                for (int y = PixelY(4.6f); y <= PixelY(-4.6f); y += 2)
                {
                    for (int x = PixelX(4.6f); x <= PixelX(-4.6f); x += 2)
                    {
                        const TRgb c = shot.Width > 0 ? shot.At(x, y) : TRgb{};
                        v.push_back(c.r << 16 | c.g << 8 | c.b);
                    }
                }
                return v;
            });
    }

    void Keys(const std::string& keys) const
    {
        std::this_thread::sleep_for(350ms);
        Shell("xdotool key --delay 80 " + keys);
    }

    // Escape, and "leave" on the pause screen: the game is saved to `save` (removed
    // first); returns what it holds (nothing when it was not written).
    TSavedGame LeaveThroughPause(const fs::path& save, const std::string& stage)
    {
        fs::remove(save);
        Keys("Escape");
        if (!WaitForScreen(5, 2, stage))
        {
            return {};
        }
        ClickItem(5, 2);
        return WaitUntil([&] { return fs::exists(save); }) ? ReadSave(save) : TSavedGame{};
    }

    // Waits until tutorial page n (from 1) of the run's language fills the window under its
    // buttons: a point of its picture shows.
    bool ShowsTutorialPage(int n) const
    {
        TImage page;
        const fs::path folder = Language.empty() ? Program : Program / "lang" / Language;
        const fs::path jpeg = folder / "Images" / "Tutorial" / ("tut" + std::to_string(n) + ".jpg");
        EXPECT_TRUE(ReadImageFile(jpeg, page)) << jpeg;
        const uint32_t p = page.Width > 0 ? page.At(page.Width / 8, page.Height / 2) : 0;
        const TRgb want{static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                        static_cast<int>(p & 0xFF)};
        return WaitUntil([&] { return Near(Grab(Window).At(WindowWidth / 8, WindowHeight / 2), want, 12); });
    }

    // Clicks item `item` of each step's screen and waits for its next screen (by the item
    // given), keeping a screenshot named after the stage.
    struct TStep
    {
        int Screen, Item, Next, NextItem;
        std::string Stage;
    };
    ::testing::AssertionResult Walk(const std::vector<TStep>& steps)
    {
        for (const TStep& step : steps)
        {
            ClickItem(step.Screen, step.Item);
            if (auto shown = WaitForScreen(step.Next, step.NextItem, step.Stage); !shown)
            {
                return shown;
            }
        }
        return ::testing::AssertionSuccess();
    }

    // After a run in the pseudo-language: no text was shown unmarked, and every picture with
    // words shown was the pseudo-language's own, none the English fallback (the announcer's
    // voice and this test's own menu have none of their own).
    ::testing::AssertionResult ShowedOnlyMarkedText() const
    {
        const std::string errors = ErrorOutput();
        if (errors.find("marked text shown") == std::string::npos ||
            errors.find("untranslated text shown") != std::string::npos)
        {
            return ::testing::AssertionFailure() << errors;
        }
        for (const std::string& line : Lines(ReadFile(DebugFile())))
        {
            if (line.find("is missing: the English") != std::string::npos &&
                line.find("Images/") != std::string::npos && line.find("Images/TestMenu/") == std::string::npos)
            {
                return ::testing::AssertionFailure() << line;
            }
        }
        return ::testing::AssertionSuccess();
    }

    void Signal(int signal) const { kill(Pid, signal); }

    int WaitForExit(int seconds = 10) { return ::WaitForExit(Pid, seconds); }

    TempFolder Tmp;
    fs::path Program = Tmp.Path() / "program";
    std::string Window;
    std::string Locale; // LANG and LC_ALL of the program when set
    // LANGUAGE of the program when set; its standard error then goes to ErrorOutput().
    std::string Language;
    std::string ErrorOutput() const { return ReadFile(Tmp.Path() / "stderr.txt"); }

private:
    pid_t Pid = -1;
};

std::string Settings(bool help, int soundVol = 160, int texture = 2)
{
    return "[Tandrel]\nSoundVol=" + std::to_string(soundVol) +
           "\nMusicVol=120\nFullscreen=0\nResolution=3\n"
           "Color=1\nDesktop=0\nTexture=" +
           std::to_string(texture) + "\nHelp=" + (help ? "1" : "0") +
           "\nWriteDebug=0\nPseudoFullscreen=0\n";
}

bool HasCube(const TSavedGame& s, int x, int y)
{
    for (const auto& c : s.Cubes)
    {
        if (c[2] == x && c[3] == y)
        {
            return true;
        }
    }
    return false;
}

// Waits until the save shows a cube of the kind on (x, y), or a score above `before` (the
// move scored and the cube is gone); `saved` is the save as last read.
bool WaitForMoveInSave(const fs::path& save, int x, int y, int kind, double before, TSavedGame& saved)
{
    return WaitUntil(
        [&]
        {
            saved = ReadSave(save);
            return KindAt(saved, x, y) == kind || saved.Score > before;
        });
}

// A grown cube of a plain colour with a free neighbour where it would make no square.
bool ChooseMove(const TSavedGame& s, int& fromX, int& fromY, int& toX, int& toY)
{
    for (const auto& c : s.Cubes)
    {
        if (c[0] != 1 || c[1] > 6)
        {
            continue;
        }
        const int dirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (const auto& d : dirs)
        {
            const int x = c[2] + d[0], y = c[3] + d[1];
            if (x < 1 || x > 9 || y < 1 || y > 9 || HasCube(s, x, y))
            {
                continue;
            }
            bool square = false;
            for (int sx = -1; sx <= 0; ++sx)
            {
                for (int sy = -1; sy <= 0; ++sy)
                {
                    int same = 0;
                    for (int k = 0; k < 4; ++k)
                    {
                        const int cx = x + sx + k % 2, cy = y + sy + k / 2;
                        same += (cx == x && cy == y) ||
                                (!(cx == c[2] && cy == c[3]) && KindAt(s, cx, cy) == c[1]);
                    }
                    square = square || same == 4;
                }
            }
            if (!square)
            {
                fromX = c[2];
                fromY = c[3];
                toX = x;
                toY = y;
                return true;
            }
        }
    }
    return false;
}
} // namespace

TEST(GameEndToEnd, PlayPauseLeaveResumeMoveACubeAndSurviveSigterm)
{
    TGameRun run(Settings(true));
    // A desktop with a decimal comma: the saves must resume all the same.
    run.Locale = "de_DE.UTF-8";
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForScreen(1, 1, "1-main-menu"));

    // Play, normal mode, through the help screen.
    run.ClickItem(1, 1);
    ASSERT_TRUE(run.WaitForScreen(2, 1, "2-play-menu"));
    run.ClickItem(2, 1);
    ASSERT_TRUE(run.WaitForScreen(10, 1, "3-help"));
    run.ClickItem(10, 1);
    ASSERT_TRUE(run.WaitForScreen(4, 1, "4-game"));
    const fs::path save = run.UserData() / "Save1.dat";
    // The new game is kept from the moment its first cubes rest.
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(save); }));

    // Escape pauses; leaving saves.
    const TSavedGame left = run.LeaveThroughPause(save, "5-pause");
    ASSERT_TRUE(run.WaitForScreen(1, 1, "6-left-to-menu"));
    ASSERT_EQ(left.Mode, 1);
    ASSERT_GT(left.CubeCount, 0);

    // Start again: the saved game is offered, and resuming brings its board back (leaving
    // at once writes the same board again).
    auto startNormal = [&](const std::string& stage, bool keys = false)
    {
        // By the mouse, or by Enter alone: each step's first item is the one wanted.
        const auto choose = [&](int screen, int item)
        {
            if (keys)
            {
                run.Keys("Return");
            }
            else
            {
                run.ClickItem(screen, item);
            }
        };
        ASSERT_TRUE(run.WaitForScreen(1, 1, stage + "-menu"));
        choose(1, 1);
        ASSERT_TRUE(run.WaitForScreen(2, 1, stage + "-play-menu"));
        choose(2, 1);
        ASSERT_TRUE(run.WaitForScreen(10, 1, stage + "-help"));
        choose(10, 1);
        ASSERT_TRUE(run.WaitForScreen(7, 2, stage + "-resume-offer"));
        choose(7, 2);
        ASSERT_TRUE(run.WaitForScreen(4, 1, stage + "-resumed"));
    };
    startNormal("7");
    const TSavedGame resumed = run.LeaveThroughPause(save, "8-pause");
    EXPECT_EQ(resumed.Level, left.Level);
    EXPECT_EQ(resumed.Score, left.Score);
    EXPECT_EQ(resumed.Cubes, left.Cubes);

    // Resume once more and move a cube by clicking it and a free cell beside it.
    ASSERT_TRUE(run.WaitForScreen(1, 1, "9-menu"));
    startNormal("10");
    int fx = 0, fy = 0, tx = 0, ty = 0;
    ASSERT_TRUE(ChooseMove(resumed, fx, fy, tx, ty)) << "no cube with a free neighbour";
    ASSERT_TRUE(run.WaitForStillBoard()) << "the resumed cubes never settled";
    const int kind = KindAt(resumed, fx, fy);
    run.Click(static_cast<float>(fx - 5), static_cast<float>(fy - 5));
    run.Screenshot("11-selected");
    run.Click(static_cast<float>(tx - 5), static_cast<float>(ty - 5));
    // Off the board, so no cube turns under the cursor, until the move and its turn are over.
    run.MovePointer(-7.0f, -4.0f);
    EXPECT_TRUE(run.WaitForStillBoard()) << "the board never settled after the move";
    run.Screenshot("12-moved");

    // U takes the move back: the board the autosave writes is the one before the move. The
    // same move again deals the same new cubes.
    TSavedGame firstMove;
    ASSERT_TRUE(WaitForMoveInSave(save, tx, ty, kind, resumed.Score, firstMove)) << "the move never reached the save";
    run.Keys("u");
    TSavedGame undone;
    EXPECT_TRUE(WaitUntil([&] { return (undone = ReadSave(save)).Cubes == resumed.Cubes; }))
        << "U did not bring the board back";
    EXPECT_EQ(undone.Score, resumed.Score);
    run.Screenshot("12a-undone");
    run.Click(static_cast<float>(fx - 5), static_cast<float>(fy - 5));
    run.Click(static_cast<float>(tx - 5), static_cast<float>(ty - 5));
    run.MovePointer(-7.0f, -4.0f);
    EXPECT_TRUE(run.WaitForStillBoard()) << "the board never settled after the move made again";
    EXPECT_TRUE(WaitUntil([&] { return ReadSave(save).Cubes == firstMove.Cubes; }))
        << "the same move dealt other cubes";

    // Logging out in the middle of the game: SIGTERM saves it as leaving does, and the
    // settings with it.
    fs::remove(save);
    fs::remove(run.SettingsFile());
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitForExit(), 0);
    ASSERT_TRUE(fs::exists(save)) << ReadFile(run.DebugFile());
    EXPECT_NE(ReadFile(run.SettingsFile()).find("Resolution=3"), std::string::npos);
    const TSavedGame moved = ReadSave(save);
    EXPECT_TRUE(KindAt(moved, tx, ty) == kind || moved.Score > resumed.Score)
        << "the cube of kind " << kind << " did not move from (" << fx << ", " << fy << ") to ("
        << tx << ", " << ty << ")";
    EXPECT_GE(moved.CubeCount, resumed.CubeCount);

    // The next start offers it, and the board comes back.
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForScreen(1, 1, "13-restarted"));
    startNormal("14");
    const TSavedGame back = run.LeaveThroughPause(save, "15-pause");
    EXPECT_EQ(back.Level, moved.Level);
    EXPECT_EQ(back.Score, moved.Score);
    EXPECT_EQ(back.Cubes, moved.Cubes);


    // The keyboard alone: through the menus, the offer of the saved game, a move on the
    // board with the board cursor, and the pause screen. The pointer stays off the board.
    startNormal("17-keys", true);
    ASSERT_TRUE(run.WaitForStillBoard()) << "the resumed cubes never settled";
    ASSERT_TRUE(ChooseMove(moved, fx, fy, tx, ty)) << "no cube with a free neighbour";
    const int keyKind = KindAt(moved, fx, fy);
    // The board cursor starts in the middle (5, 5); the board's x grows to the left.
    auto steps = [](int from, int to, const char* more, const char* less)
    {
        std::string keys;
        for (int i = from; i != to; i += to > from ? 1 : -1)
        {
            keys += std::string(to > from ? more : less) + " ";
        }
        return keys;
    };
    run.Keys("Up " + steps(5, fx, "Left", "Right") + steps(5, fy, "Up", "Down") + "space");
    TShot onCube;
    ASSERT_TRUE(WaitUntil([&] { return (onCube = Grab(run.Window)).Width > 0; }));
    run.Screenshot("22-keys-selected", onCube);
    run.Keys(steps(fx, tx, "Left", "Right") + steps(fy, ty, "Up", "Down"));
    // The board cursor, its light, the path dot and the target ring change the target cell.
    TShot onTarget;
    int changed = 0;
    WaitUntil(
        [&]
        {
            onTarget = Grab(run.Window);
            changed = 0;
            for (int dy = -12; dy <= 12 && onTarget.Width > 0; dy += 2)
            {
                for (int dx = -12; dx <= 12; dx += 2)
                {
                    const int x = PixelX(static_cast<float>(tx - 5)) + dx;
                    const int y = PixelY(static_cast<float>(ty - 5)) + dy;
                    changed += onCube.At(x, y).r != onTarget.At(x, y).r || onCube.At(x, y).g != onTarget.At(x, y).g;
                }
            }
            return changed > 20;
        });
    run.Screenshot("23-keys-board-cursor-on-target", onTarget);
    EXPECT_GT(changed, 20) << "nothing shows the board cursor on the target cell";
    // Enter sends the cube; the board cursor then goes to a free cell, so no cube turns
    // under it, until the move and its turn are over.
    int ex = 1, ey = 1;
    while (HasCube(moved, ex, ey) || (ex == tx && ey == ty))
    {
        ex = ex % 9 + 1;
        ey += ex == 1 ? 1 : 0;
    }
    run.Keys("Return " + steps(tx, ex, "Left", "Right") + steps(ty, ey, "Up", "Down"));
    EXPECT_TRUE(run.WaitForStillBoard()) << "the board never settled after the keyboard's move";
    run.Screenshot("24-keys-moved");

    // Killed outright: the move just made is in the save already, and the next start
    // resumes the board as it was after that move.
    TSavedGame autosaved;
    ASSERT_TRUE(WaitForMoveInSave(save, tx, ty, keyKind, moved.Score, autosaved)) << "the move never reached the save";
    run.Signal(SIGKILL);
    run.WaitForExit();
    ASSERT_TRUE(run.Start());
    startNormal("24a-killed", true);
    const TSavedGame afterKill = run.LeaveThroughPause(save, "24b-pause");
    EXPECT_EQ(afterKill.Level, autosaved.Level);
    EXPECT_EQ(afterKill.Score, autosaved.Score);
    EXPECT_EQ(afterKill.Cubes, autosaved.Cubes);
    startNormal("24c-keys", true);
    // Escape pauses and Escape resumes; then the arrows and Enter leave with a save.
    run.Keys("Escape");
    ASSERT_TRUE(run.WaitForScreen(5, 2, "25-keys-pause"));
    run.Keys("Escape");
    ASSERT_TRUE(run.WaitForScreen(4, 1, "26-keys-resumed-from-pause"));
    fs::remove(save);
    run.Keys("p");
    ASSERT_TRUE(run.WaitForScreen(5, 2, "27-keys-pause"));
    run.Keys("Down Up Return");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(save); }));
    const TSavedGame keyed = ReadSave(save);
    EXPECT_TRUE(KindAt(keyed, tx, ty) == keyKind || keyed.Score > moved.Score)
        << "the keys did not move the cube of kind " << keyKind << " from (" << fx << ", " << fy << ") to ("
        << tx << ", " << ty << ")";

    // Exit from the main menu: the program ends and the settings are written.
    ASSERT_TRUE(run.WaitForScreen(1, 4, "28-menu"));
    run.ClickItem(1, 4);
    EXPECT_EQ(run.WaitForExit(), 0);
}

// Logging out while a message box is open: the box closes, and the game on the board is
// saved and the program ends as at once as without the box.
TEST(GameEndToEnd, SigtermUnderAMessageBoxSavesTheGameAndEndsAtOnce)
{
    TGameRun run(Settings(true));
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForScreen(1, 1, "1-main-menu"));
    // Enter on Play, on the normal mode and on the help screen.
    for (const auto& [screen, stage] : {std::pair{2, "2-play-menu"}, {10, "3-help"}, {4, "4-game"}})
    {
        run.Keys("Return");
        ASSERT_TRUE(run.WaitForScreen(screen, 1, stage));
    }
    // A folder where the save's temporary file goes: leaving cannot save, and a box says so.
    const fs::path save = run.UserData() / "Save1.dat";
    fs::create_directories(TemporaryFileFor(save));
    run.Keys("Escape");
    ASSERT_TRUE(run.WaitForScreen(5, 2, "5-pause"));
    run.ClickItem(5, 2);
    const std::string told = TProgram::WaitForWindow("Tandrel", run.Window);
    ASSERT_FALSE(told.empty()) << "no message box";
    TProgram::Keys(told, "Return");
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            const std::vector<TWindowInfo> shown = VisibleWindows();
            return std::none_of(shown.begin(), shown.end(), [&](const TWindowInfo& w) { return w.Id == told; });
        }));

    // Closing the window cannot save either: the player is asked, and going back to the game
    // keeps it on the board. Asked again, the desktop ends the program under the question.
    TProgram::CloseWindow(run.Window);
    const std::string asked = TProgram::WaitForWindow("Tandrel", run.Window);
    ASSERT_FALSE(asked.empty()) << "no question when the save on closing failed";
    TProgram::Keys(asked, "Escape");
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(run.DebugFile()).find(" Back to the game") != std::string::npos; }));
    TProgram::CloseWindow(run.Window);
    ASSERT_FALSE(TProgram::WaitForWindow("Tandrel", run.Window).empty()) << "not asked again";
    fs::remove(TemporaryFileFor(save));
    fs::remove(save); // what an early save left: the one made on the way out must be there

    const auto signalled = std::chrono::steady_clock::now();
    run.Signal(SIGTERM);
    EXPECT_EQ(run.WaitForExit(3), 0) << "still running with the box open";
    std::printf("ended %lld ms after SIGTERM\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - signalled)
                                           .count()));
    EXPECT_TRUE(fs::exists(save)) << ReadFile(run.DebugFile());
    EXPECT_TRUE(TProgram::WaitForWindowGone("Tandrel")) << "the box stayed";
}

// In the pseudo-language, where every text of the catalogue is marked "[Ŝţàŕţ]": the launcher,
// the options dialog, the menus, the help page, every tutorial page, a game, the pause and
// resume screens, the game-over lines and the name entry show no unmarked English text, and
// every picture with words comes in the pseudo-language (whose texts the content generator
// checks as it draws them), none from the English fallback.
TEST(GameEndToEnd, ATimedGameRunsOutTheNameGoesIntoTheTableAndTheSaveIsGone)
{
    TGameRun run(Settings(true));
    run.Language = "xx";
    // Level 1 of the timed mode drains its progress in a fraction of a second.
    std::string levels = ReadFile(run.Program / "data" / "Levels.dat");
    const size_t drain = levels.find("drain per millisecond");
    ASSERT_NE(drain, std::string::npos);
    const size_t lineStart = levels.rfind('\n', drain) + 1;
    levels.replace(lineStart, levels.find(' ', lineStart) - lineStart, "3");
    std::ofstream(run.Program / "data" / "Levels.dat", std::ios::trunc) << levels;
    // A saved timed game on an empty board, and a timed table that any score enters.
    run.Tmp.Write("data/tandrel/data/Save2.dat", "saved\n2\n1\n0\n 3.00000000000000E+0002\n"
                                                 " 0.00000000000000E+0000\n1\n0\n");
    std::string table(400, '\0');
    for (int e = 0; e < 20; ++e)
    {
        const int32_t points = e < 10 ? 1000 - 100 * e : -1 - (e - 10);
        table[static_cast<size_t>(e) * 20] = 3;
        table.replace(static_cast<size_t>(e) * 20 + 1, 3, "OLD");
        for (int b = 0; b < 4; ++b)
        {
            table[static_cast<size_t>(e) * 20 + 16 + b] =
                static_cast<char>((static_cast<uint32_t>(points) >> (8 * b)) & 0xFF);
        }
    }
    run.Tmp.Write("data/tandrel/data/Hiscores.dat", table);

    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForScreen(1, 1, "1-main-menu"));
    run.ClickItem(1, 1);
    ASSERT_TRUE(run.WaitForScreen(2, 2, "2-play-menu"));
    run.ClickItem(2, 2);
    ASSERT_TRUE(run.WaitForScreen(10, 1, "3-help"));
    run.ClickItem(10, 1);
    ASSERT_TRUE(run.WaitForScreen(7, 3, "3-resume-offer"));
    run.ClickItem(7, 3); // a new game instead
    // The game runs out; the game-over picture gives way to the table at the next key. The
    // game lasts a fraction of a second, which a busy machine may take to show its first
    // frame: its end (the saved game gone) also tells that it ran.
    const fs::path save = run.UserData() / "Save2.dat";
    ASSERT_TRUE(WaitUntil([&] { return !fs::exists(save) || run.ScreenShown(4, 1); }))
        << "no game after the new-game item";
    ASSERT_TRUE(WaitUntil([&] { return !fs::exists(save); })) << "game over keeps the saved game";
    // The game-over picture tells the final score and level: white strokes on its score line.
    auto whiteOnScoreLine = [](const TShot& shot)
    {
        int white = 0;
        for (int y = PixelY(-0.7f); y <= PixelY(-1.0f); ++y)
        {
            for (int x = PixelX(-0.8f); x <= PixelX(-2.8f); ++x)
            {
                const TRgb p = shot.At(x, y);
                white += p.r > 220 && p.g > 220 && p.b > 220;
            }
        }
        return white;
    };
    TShot gameOver;
    ASSERT_TRUE(WaitUntil([&] { return whiteOnScoreLine(gameOver = Grab(run.Window)) > 40; }, 40s))
        << "no score on the game-over picture";
    run.Screenshot("5-game-over", gameOver);
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            Shell("xdotool key shift");
            const TShot shot = Grab(run.Window);
            const TPlace p = TestPlace(6, 1);
            return shot.Width > 0 && Near(shot.At(PixelX(p.X + p.W / 2 - 0.2f), PixelY(p.Y)),
                                          ItemColour(6, 1, false));
        },
        40s))
        << "no high-score table after the game";
    run.Screenshot("5-table");
    // The timed table is shown (item 3 switches back to the normal one).
    EXPECT_TRUE(run.WaitForScreen(6, 3, "6-timed-table"));

    // Letters of other languages come from the keyboard's text, as capitals in UTF-8.
    run.Keys("T E S T eacute Cyrillic_zhe Return");
    const fs::path scores = run.UserData() / "Hiscores.dat";
    const std::string name = "\x08TESTÉЖ";
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(scores).substr(200, 9) == name; }))
        << "the name is not in the file: " << ReadFile(scores).substr(200, 9);
    const std::string written = ReadFile(scores);
    EXPECT_EQ(written.size(), 400u);
    EXPECT_EQ(written.substr(220, 4),
              std::string("\x03OLD", 4));                    // the former first place moved down
    EXPECT_EQ(written.substr(0, 200), table.substr(0, 200)); // the normal table untouched
    run.Screenshot("7-name-typed");

    run.Keys("Escape");
    ASSERT_TRUE(run.WaitForScreen(1, 4, "8-menu"));

    // Every tutorial page.
    ASSERT_TRUE(run.Walk({{1, 1, 2, 3, "9-play-menu"}, {2, 3, 9, 1, "10-tutorial"}}));
    for (int page = 1; page <= 9; ++page)
    {
        EXPECT_TRUE(run.ShowsTutorialPage(page)) << "tutorial page " << page;
        run.ClickItem(9, 2);
    }
    run.Keys("Escape");
    // A game of the normal mode, paused and left, then offered and resumed.
    ASSERT_TRUE(run.WaitForScreen(2, 1, "11-play-menu"));
    ASSERT_TRUE(run.Walk({{2, 1, 10, 1, "12-help"}, {10, 1, 4, 1, "13-game"}}));
    const fs::path normalSave = run.UserData() / "Save1.dat";
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(normalSave); }));
    ASSERT_GT(run.LeaveThroughPause(normalSave, "14-pause").CubeCount, 0);
    ASSERT_TRUE(run.WaitForScreen(1, 1, "15-menu"));
    ASSERT_TRUE(run.Walk({{1, 1, 2, 1, "16-play-menu"},
                          {2, 1, 10, 1, "17-help"},
                          {10, 1, 7, 2, "18-resume-offer"},
                          {7, 2, 4, 1, "19-resumed"}}));
    ASSERT_GT(run.LeaveThroughPause(normalSave, "20-pause").CubeCount, 0);
    ASSERT_TRUE(run.WaitForScreen(1, 4, "21-menu"));
    run.ClickItem(1, 4);
    EXPECT_EQ(run.WaitForExit(), 0);
    EXPECT_TRUE(run.ShowedOnlyMarkedText());
}

TEST(GameEndToEnd, OptionsReachTheSettingsFileAndTheTutorialPages)
{
    TGameRun run(Settings(true, 160, 2));
    // Bitmaps an earlier version converted into the user folder: removed at the start, while the
    // rest of the folder stays.
    run.Tmp.Write("data/tandrel/Images/Tutorial/tut1.bmp", "old");
    run.Tmp.Write("data/tandrel/Images/Tutorial/tut9.bmp", "old");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForScreen(1, 2, "1-main-menu"));
    EXPECT_FALSE(fs::exists(run.Tmp.Path() / "data" / "tandrel" / "Images"));
    EXPECT_TRUE(fs::exists(run.Tmp.Path() / "data" / "tandrel" / "debug.txt"));
    run.ClickItem(1, 2);
    ASSERT_TRUE(run.WaitForScreen(3, 16, "2-options")); // the label of skin 2
    run.ClickItem(3, 6);                                // sound up: 170
    run.Click(-1.76f, 2.0f);                            // the sound slider: 125
    run.ClickItem(3, 14);                               // skin up: 3
    ASSERT_TRUE(run.WaitForScreen(3, 17, "3-changed"));
    EXPECT_NE(ReadFile(run.SettingsFile()).find("SoundVol=160\n"), std::string::npos)
        << "saved before Save";
    run.ClickItem(3, 1);
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFile(run.SettingsFile()).find("SoundVol=125\n") != std::string::npos; }))
        << ReadFile(run.SettingsFile());
    EXPECT_NE(ReadFile(run.SettingsFile()).find("Texture=3\n"), std::string::npos);
    ASSERT_TRUE(run.WaitForScreen(1, 1, "4-saved"));

    // The tutorial, page by page: each page fills the window under its buttons.
    run.ClickItem(1, 1);
    ASSERT_TRUE(run.WaitForScreen(2, 3, "5-play-menu"));
    run.ClickItem(2, 3);
    ASSERT_TRUE(run.WaitForScreen(9, 1, "6-tutorial-page-1"));
    auto showsPage = [&](int n) { return run.ShowsTutorialPage(n); };
    EXPECT_TRUE(showsPage(1));
    run.ClickItem(9, 2);
    EXPECT_TRUE(showsPage(2)) << "next page";
    run.ClickItem(9, 2);
    EXPECT_TRUE(showsPage(3));
    run.Screenshot("7-tutorial-page-3");
    run.ClickItem(9, 3);
    EXPECT_TRUE(showsPage(2)) << "previous page";
    run.Keys("Escape");
    ASSERT_TRUE(run.WaitForScreen(2, 4, "8-play-menu"));
    run.ClickItem(2, 4);
    ASSERT_TRUE(run.WaitForScreen(1, 4, "9-menu"));
    run.ClickItem(1, 4);
    EXPECT_EQ(run.WaitForExit(), 0);
}

// The program's own menu, clicked where its file places the items: nothing covers an item
// the commands need, and the options reach the settings. In the pseudo-language, so that its
// word pictures and the tutorial's show no English either.
TEST(GameEndToEnd, TheShippedMenuWorksWithTheMouse)
{
    TGameRun run(Settings(false, 160, 2), false);
    run.Language = "xx";
    const TMenuFile menu = TMenuFile::Load(run.Program);
    auto click = [&](int screen, int item)
    {
        const TMenuItemData& d = menu.Screens[static_cast<size_t>(screen - 1)][static_cast<size_t>(item - 1)];
        run.Click(d.Position.x, d.Position.y);
    };
    // The item area of the screen, to tell screens apart.
    auto items = [&]
    {
        const TShot shot = Grab(run.Window);
        std::vector<int> v;
        for (int y = 0; y < shot.Height; y += 4)
        {
            for (int x = 0; x < shot.Width; x += 4)
            {
                const TRgb c = shot.At(x, y);
                v.push_back(c.r << 16 | c.g << 8 | c.b);
            }
        }
        return v;
    };
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(WaitUntil([&] { return !items().empty(); }) && WaitForStill(items));
    const std::vector<int> main = items();
    run.Screenshot("1-main-menu");

    click(1, 2);
    ASSERT_TRUE(WaitUntil([&] { return items() != main; })) << "the options did not open";
    run.Screenshot("2-options");
    click(3, 6); // sound up
    click(3, 14); // skin up
    click(3, 1); // save
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFile(run.SettingsFile()).find("SoundVol=170\n") != std::string::npos; }))
        << ReadFile(run.SettingsFile());
    EXPECT_NE(ReadFile(run.SettingsFile()).find("Texture=3\n"), std::string::npos);

    click(1, 1); // play
    WaitForStill(items); // settled, for the picture
    run.Screenshot("3-play-menu");
    click(2, 3); // the tutorial
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(run.DebugFile()).find(" -> tutorial") != std::string::npos; }))
        << "the tutorial did not open";
    WaitForStill(items); // settled, for the picture
    run.Screenshot("4-tutorial");
    click(9, 2);
    WaitForStill(items); // settled, for the picture
    run.Screenshot("5-tutorial-page-2");
    click(9, 1); // close
    click(2, 4); // back
    WaitForStill(items); // settled, for the picture
    run.Screenshot("6-main-menu");
    click(1, 4); // exit
    EXPECT_EQ(run.WaitForExit(), 0);
    const std::string log = ReadFile(run.DebugFile());
    EXPECT_NE(log.find(" loaded2"), std::string::npos) << "the next page was not shown";
    EXPECT_TRUE(run.ShowedOnlyMarkedText());
}

namespace
{
// A saved game of the mode at this progress with grown cubes {kind, x, y}.
// Play, a mode (item 1 normal, 2 timed) and resume its saved game, all by mouse.
::testing::AssertionResult ResumeSavedGame(TGameRun& run, int modeItem)
{
    return run.Walk({{1, 1, 2, modeItem, "to-2"}, {2, modeItem, 7, 2, "to-7"}, {7, 2, 4, 1, "to-4"}});
}
} // namespace

// How sharp the edges of the text in a world rectangle are drawn: the steepest step in
// brightness between neighbouring pixels, as a share of the whole range of brightness in
// it. An edge spread over n pixels takes about 1 / n.
double EdgeSharpness(const TShot& shot, float x0, float y0, float x1, float y1)
{
    auto light = [&](int x, int y) { return shot.At(x, y).r + shot.At(x, y).g + shot.At(x, y).b; };
    int lo = 765, hi = 0, step = 0;
    for (int y = PixelY(y0); y <= PixelY(y1); ++y)
    {
        for (int x = PixelX(x0); x <= PixelX(x1); ++x)
        {
            lo = std::min(lo, light(x, y));
            hi = std::max(hi, light(x, y));
            step = std::max({step, std::abs(light(x + 1, y) - light(x, y)), std::abs(light(x, y + 1) - light(x, y))});
        }
    }
    return hi > lo ? static_cast<double>(step) / (hi - lo) : 0.0;
}

// Full screen at the desktop's size on the X server's screen (ctest runs this at 1920 x 1080,
// 1280 x 800, 2560 x 1080, 1280 x 960, 2560 x 1440 and 3840 x 2160): the menu is drawn and
// clicked in the centred 4:3 picture, the bands beside it continue the backdrop, a cube is as
// wide as it is tall, the text beside the board is sharp (from the large font pictures where
// the picture is taller than 960 pixels), and the cursor light follows the pointer.
TEST(ScreenShape, TheBoardKeepsItsShapeAndTheMenuIsClickedWhereItIsDrawn)
{
    std::string settings = Settings(false);
    settings.replace(settings.find("Fullscreen=0"), 12, "Fullscreen=1");
    settings.replace(settings.find("Desktop=0"), 9, "Desktop=1");
    TGameRun run(settings);
    // One cube in the cell under the camera, (3, 5) at (-2, 0).
    run.Tmp.Write("data/tandrel/data/Save1.dat", SaveWith(1, " 0.00000000000000E+0000", {{1, 3, 5}}));
    ASSERT_TRUE(run.Start());
    int screenWidth = 0, screenHeight = 0;
    ScreenSize(screenWidth, screenHeight);
    ASSERT_EQ(Picture, PictureArea(screenWidth, screenHeight));
    ASSERT_TRUE(run.WaitForScreen(1, 1, "1-main-menu"));
    if (Picture.Left > 0 || Picture.Top > 0)
    {
        // The menu's backdrop (0x203040) dimmed: neither black bars nor the picture itself.
        const TShot shot = Grab(run.Window);
        const TRgb band = shot.At(Picture.Left / 2, Picture.Top / 2);
        EXPECT_TRUE(Near(band, {0x20 * 45 / 100, 0x30 * 45 / 100, 0x40 * 45 / 100}, 5)) << Text(band);
    }
    ASSERT_TRUE(ResumeSavedGame(run, 1));
    run.MovePointer(-7.0f, -4.0f);
    ASSERT_TRUE(run.WaitForStillBoard());
    const TShot board = Grab(run.Window);
    run.Screenshot("2-board", board);

    // The cube: the pixels of its cell that differ from the board beside it.
    const TRgb floor = board.At(PixelX(-3.0f), PixelY(0.0f));
    int left = board.Width, right = -1, top = board.Height, bottom = -1;
    for (int y = PixelY(0.45f); y <= PixelY(-0.45f); ++y)
    {
        for (int x = PixelX(-1.55f); x <= PixelX(-2.45f); ++x)
        {
            const TRgb c = board.At(x, y);
            if (std::abs(c.r - floor.r) + std::abs(c.g - floor.g) + std::abs(c.b - floor.b) > 120)
            {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    }
    ASSERT_GT(right - left, Picture.Width / 25) << "no cube at (3, 5)";
    EXPECT_NEAR(static_cast<double>(right - left + 1) / (bottom - top + 1), 1.0, 0.02)
        << "the cube is drawn " << right - left + 1 << " x " << bottom - top + 1 << " pixels";

    // The score on its plate at high density, drawn from the large font pictures: its edges
    // sharp. Measured: 0.65 at 1440 pixels of picture height and 0.38 at 2160; the normal
    // pictures drawn as large give 0.43 and 0.29 (the softness the design gives the rim grows
    // with the picture in both).
    if (Picture.Height >= 1440)
    {
        const double sharpness = EdgeSharpness(board, -6.7f, 2.13f, -7.1f, 1.73f);
        EXPECT_GT(sharpness, 750.0 / Picture.Height) << "the score's edges are blurred";
    }
    EXPECT_EQ(ReadFile(run.DebugFile()).find(" Large fonts") != std::string::npos, Picture.Height > 960);

    // The cursor light: beside the cube (screen right of it, so the arrow stays off it) it
    // lights the cube's near half; taken away, the light goes with it.
    auto brightness = [&](const TShot& shot)
    {
        long sum = 0;
        for (int y = PixelY(0.3f); y <= PixelY(-0.3f); ++y)
        {
            for (int x = PixelX(-2.05f); x <= PixelX(-2.4f); ++x)
            {
                sum += shot.At(x, y).r + shot.At(x, y).g + shot.At(x, y).b;
            }
        }
        return sum;
    };
    const long unlit = brightness(board);
    run.MovePointer(-2.55f, 0.0f);
    EXPECT_TRUE(WaitUntil([&] { return brightness(Grab(run.Window)) > unlit * 21 / 20; })) << "no light";
    run.Screenshot("3-light");
    run.MovePointer(-7.0f, -4.0f);
    EXPECT_TRUE(WaitUntil([&] { return std::labs(brightness(Grab(run.Window)) - unlit) < unlit / 50; }))
        << "the light stayed";
    run.Keys("Escape");
    ASSERT_TRUE(run.WaitForScreen(5, 2, "4-pause"));
    run.ClickItem(5, 2);
    ASSERT_TRUE(run.WaitForScreen(1, 4, "5-menu"));
    run.ClickItem(1, 4);
    EXPECT_EQ(run.WaitForExit(), 0);
}

// A window resized from outside mid-game maps clicks right; F11 and Alt+Enter switch full
// screen and back; Alt-Tab away from a timed game for longer than its bar lasts leaves the
// bar where it was. Run with no window manager (the request to minimise comes to nothing)
// and under openbox (the window is minimised and brought back).
TEST(FocusLoss, AResizedWindowMapsClicksAndTheTimedGamePausesWhileUnfocused)
{
    TGameRun run(Settings(false));
    std::string levels = ReadFile(run.Program / "data" / "Levels.dat");
    const size_t lineStart = levels.rfind('\n', levels.find("drain per millisecond")) + 1;
    levels.replace(lineStart, levels.find(' ', lineStart) - lineStart, "0.02"); // 300 lasts 15 s
    std::ofstream(run.Program / "data" / "Levels.dat", std::ios::trunc) << levels;
    run.Tmp.Write("data/tandrel/data/Save2.dat", SaveWith(2, " 3.00000000000000E+0002", {{1, 3, 5}, {2, 7, 7}}));
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.WaitForScreen(1, 1, "1-main-menu"));
    ASSERT_TRUE(ResumeSavedGame(run, 2));

    int screenWidth = 0, screenHeight = 0;
    ScreenSize(screenWidth, screenHeight);
    auto windowWidth = [&] { return Grab(run.Window).Width; };
    run.Keys("F11");
    EXPECT_TRUE(WaitUntil([&] { return windowWidth() == screenWidth; })) << "F11 gave no full screen";
    run.Keys("alt+Return");
    EXPECT_TRUE(WaitUntil([&] { return windowWidth() > 0 && windowWidth() < screenWidth; })) << "Alt+Enter";
    // The window left full screen fits the screen whole (under a window manager, with its frame).
    std::istringstream where(Shell("xdotool getwindowgeometry --shell " + run.Window));
    std::map<std::string, int> at;
    for (std::string line; std::getline(where, line);)
    {
        if (const size_t eq = line.find('='); eq != std::string::npos && line[0] != 'W')
        {
            at[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
        }
    }
    EXPECT_TRUE(at["X"] >= 0 && at["Y"] >= 0 && at["Y"] + Grab(run.Window).Height <= screenHeight)
        << "the window left full screen at " << at["X"] << "," << at["Y"];
    Shell("xdotool windowsize --sync " + run.Window + " 1000 500 2>/dev/null");
    ASSERT_TRUE(WaitUntil([&] { return run.FollowWindowSize(), Picture.Left > 0; })) << "not resized";
    run.Click(-2.0f, 0.0f);
    run.Click(-1.0f, 0.0f); // the cube from (3, 5) to (4, 5)
    run.MovePointer(-7.0f, -4.0f);

    const fs::path save = run.UserData() / "Save2.dat";
    {
        TFocusThief away;
        ASSERT_TRUE(WaitUntil([&] { return away.HasFocus(); }));
        // Paused, and a window stays on the screen: only a full-screen game is minimised.
        EXPECT_NE(Shell("xwininfo -id " + run.Window).find("IsViewable"), std::string::npos) << "iconified";
        std::this_thread::sleep_for(17s); // the time away is what is tested: longer than the bar
        EXPECT_TRUE(fs::exists(save)) << "the timed game ran out while unfocused";
    }
    TProgram::Activate(run.Window);
    run.FollowWindowSize();
    const TSavedGame back = run.LeaveThroughPause(save, "3-pause-after-focus");
    EXPECT_GT(back.Progress, 100.0) << "the bar drained while unfocused";
    EXPECT_EQ(KindAt(back, 4, 5), 1) << "the click after the resize did not move the cube";
    const std::string log = ReadFile(run.DebugFile());
    EXPECT_NE(log.find(" Game = gsGame", log.find(" Application deactivated")), std::string::npos)
        << "the tune was not restarted";
    ASSERT_TRUE(run.WaitForScreen(1, 4, "4-menu"));
    run.ClickItem(1, 4);
    EXPECT_EQ(run.WaitForExit(), 0);
    const std::string settings = ReadFile(run.SettingsFile()); // a window again, its size kept
    EXPECT_NE(settings.find("Fullscreen=0\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("WindowWidth=1"), std::string::npos) << settings;
}
