// Driving the real program in the X server of xvfb-run: start it with its own XDG folders,
// find its windows, send keys through XTEST with xdotool, close windows as a window
// manager's close box would, and wait for it to end.
#pragma once

#include "tests/support/TestSupport.h"

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

std::string Shell(const std::string& command);

// The exit status of a child process (process then becomes -1), or -1 when it is still
// running after the given time.
int WaitForExit(pid_t& process, int seconds = 10);

struct TWindowInfo
{
    std::string Id; // decimal, as xdotool takes it
    std::string Title;
};
std::vector<TWindowInfo> VisibleWindows();

class TProgram
{
public:
    // A PATH whose xdg-open only writes down the address it was asked to open.
    explicit TProgram(const TempFolder& tmp);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    std::filesystem::path SettingsFile() const;
    std::filesystem::path DebugFile() const;
    // What the program wrote to standard output and standard error.
    std::string Output() const;
    // Runs a copy of the program with its data files (its pictures, sounds and tunes linked)
    // from the folder `below` the temporary one, so a test may damage them; returns that folder.
    std::filesystem::path UseCopiedProgram(const std::filesystem::path& below = "program");
    // Runs this executable instead of the build tree's (an installed copy, say).
    void UseProgram(const std::filesystem::path& executable) { Program = executable; }
    // option: one command-line argument for the program, or none.
    void Start(const std::string& option = "");
    // Stores these settings (none when empty), starts, and waits for the launcher: its
    // window id, or "" when it never showed.
    std::string StartOnLauncher(const std::string& settings = "", const std::string& option = "");
    pid_t Pid() const { return Process; }
    std::string AudioDriver = "dummy"; // SDL's audio driver for the next Start
    // A Wayland compositor's socket: the next Start runs natively on it (otherwise on the
    // test's X server, whatever desktop runs the tests).
    std::string WaylandDisplay;

    // The id of a visible window with exactly this title (other than except), or "" after
    // ten seconds.
    static std::string WaitForWindow(const std::string& title, const std::string& except = "");
    // The visible game window (SDL's, found by its class once the launcher is gone).
    static std::string WaitForGameWindow();
    static bool WaitForWindowGone(const std::string& title);
    static void Keys(const std::string& window, const std::string& keys);
    // Asks the window to close, as a window manager's close box does (WM_DELETE_WINDOW).
    static void CloseWindow(const std::string& window);

    // Gives the window the focus as a player would: through the window manager when one
    // runs (which also brings back a minimised window), else directly.
    static void Activate(const std::string& window);

    // The exit status, or -1 when the program is still running after the given time.
    int WaitForExit(int seconds = 10) { return ::WaitForExit(Process, seconds); }

private:
    const TempFolder& Tmp;
    std::filesystem::path Program;
    pid_t Process = -1;
};

// Another program's window that takes the focus while it exists (Alt-Tab away).
class TFocusThief
{
public:
    TFocusThief();
    ~TFocusThief();
    TFocusThief(const TFocusThief&) = delete;
    TFocusThief& operator=(const TFocusThief&) = delete;
    // True when it was shown and has the focus.
    bool HasFocus() const;

private:
    struct _XDisplay* Connection = nullptr;
    unsigned long Thief = 0;
};

// A save file as the game writes it: its mode, level, progress bar, score and cubes.
struct TSavedGame
{
    int Mode = 0, Level = 0, CubeCount = -1;
    double Progress = 0, Score = 0;
    std::vector<std::array<int, 4>> Cubes; // grown, kind code, x, y
};
// What the save file holds (no cubes, CubeCount -1, when it is missing or short).
TSavedGame ReadSave(const std::filesystem::path& file);
// The kind code of the cube on cell (x, y), or -1 when none is.
int KindAt(const TSavedGame& s, int x, int y);
// A save of level 1 in this mode (1 normal, 2 timed) with its progress as the game writes a
// number and grown cubes {kind, x, y}.
std::string SaveWith(int mode, const char* progress, const std::vector<std::array<int, 3>>& cubes);

// The pixel of a point of the menu and board plane (world units) in a picture `size` pixels
// wide (or high) starting at `start`, to the nearest.
int PlanePixelX(float x, int start, int size);
int PlanePixelY(float y, int start, int size);
