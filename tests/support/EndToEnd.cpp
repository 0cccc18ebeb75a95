#include "tests/support/EndToEnd.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

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

TProgram::TProgram(const TempFolder& tmp) : Tmp(tmp), Program(std::filesystem::path(TANDREL_GAME_DIR) / "tandrel")
{
    const auto opener = tmp.Write("bin/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"" +
                                                      (tmp.Path() / "opened.txt").string() + "\"\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
}

TProgram::~TProgram()
{
    if (Process > 0)
    {
        kill(Process, SIGKILL);
        waitpid(Process, nullptr, 0);
    }
}

std::filesystem::path TProgram::SettingsFile() const
{
    return Tmp.Path() / "config" / "tandrel" / "settings.ini";
}

std::filesystem::path TProgram::DebugFile() const
{
    return Tmp.Path() / "data" / "tandrel" / "debug.txt";
}

std::string TProgram::Output() const
{
    return ReadFile(Tmp.Path() / "output.txt");
}

std::filesystem::path TProgram::UseCopiedProgram(const std::filesystem::path& below)
{
    const auto folder = Tmp.Path() / below;
    std::filesystem::create_directories(folder);
    std::filesystem::copy(std::filesystem::path(TANDREL_GAME_DIR) / "tandrel", folder / "tandrel");
    std::filesystem::copy(std::filesystem::path(TANDREL_GAME_DIR) / "data", folder / "data",
                          std::filesystem::copy_options::recursive);
    for (const char* linked : {"Images", "Sounds", "Music", "locale"})
    {
        std::filesystem::create_directory_symlink(std::filesystem::path(TANDREL_GAME_DIR) / linked, folder / linked);
    }
    Program = folder / "tandrel";
    return folder;
}

void TProgram::Start(const std::string& option)
{
    const std::string config = (Tmp.Path() / "config").string();
    const std::string data = (Tmp.Path() / "data").string();
    const std::string cache = (Tmp.Path() / "cache").string();
    const std::string path = (Tmp.Path() / "bin").string() + ":" + std::getenv("PATH");
    const std::string program = Program.string();
    const std::string output = (Tmp.Path() / "output.txt").string();
    const std::string audio = AudioDriver;
    const std::string wayland = WaylandDisplay;
    Process = fork();
    if (Process == 0)
    {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        setenv("XDG_CACHE_HOME", cache.c_str(), 1);
        setenv("PATH", path.c_str(), 1);
        setenv("NO_AT_BRIDGE", "1", 1);
        setenv("SDL_AUDIODRIVER", audio.c_str(), 1);
        if (wayland.empty())
        {
            unsetenv("WAYLAND_DISPLAY");
        }
        else
        {
            setenv("WAYLAND_DISPLAY", wayland.c_str(), 1);
            setenv("SDL_VIDEODRIVER", "wayland", 1);
        }
        if (std::FILE* out = std::fopen(output.c_str(), "w"))
        {
            dup2(fileno(out), 1);
            dup2(fileno(out), 2);
        }
        if (option.empty())
        {
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        }
        else
        {
            execl(program.c_str(), program.c_str(), option.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
}

std::vector<TWindowInfo> VisibleWindows()
{
    // xdotool lists the visible windows but cannot match a title stored as UTF-8 (SDL's);
    // xwininfo names every window, also those a window manager has put into its frames.
    std::vector<TWindowInfo> windows;
    const std::string visible = " " + Shell("xdotool search --onlyvisible --class '' 2>/dev/null | tr '\\n' ' '") + " ";
    std::istringstream tree(Shell("xwininfo -root -tree 2>/dev/null"));
    std::string line;
    while (std::getline(tree, line))
    {
        const auto hex = line.find("0x");
        const auto open = line.find('"');
        const auto close = line.find("\":", open + 1);
        if (hex == std::string::npos || open == std::string::npos || close == std::string::npos)
        {
            continue;
        }
        const std::string id = std::to_string(std::stoul(line.substr(hex), nullptr, 16));
        if (visible.find(" " + id + " ") != std::string::npos)
        {
            windows.push_back({id, line.substr(open + 1, close - open - 1)});
        }
    }
    return windows;
}

std::string TProgram::StartOnLauncher(const std::string& settings, const std::string& option)
{
    if (!settings.empty())
    {
        Tmp.Write("config/tandrel/settings.ini", settings);
    }
    Start(option);
    return WaitForWindow("Tandrel");
}

std::string TProgram::WaitForWindow(const std::string& title, const std::string& except)
{
    std::string found;
    WaitUntil(
        [&]
        {
            for (const TWindowInfo& w : VisibleWindows())
            {
                if (w.Title == title && w.Id != except)
                {
                    found = w.Id;
                }
            }
            return !found.empty();
        },
        10s);
    return found;
}

std::string TProgram::WaitForGameWindow()
{
    // The launcher, the message boxes and the game's window all carry the application id as
    // their class; only the game's window is not a dialog.
    std::string pattern = std::string("^") + TANDREL_APP_ID + "$";
    for (size_t dot = pattern.find('.'); dot != std::string::npos; dot = pattern.find('.', dot + 2))
    {
        pattern.insert(dot, "\\");
    }
    std::string found;
    WaitUntil(
        [&]
        {
            for (const std::string& id :
                 Lines(Shell("xdotool search --onlyvisible --classname '" + pattern + "' 2>/dev/null")))
            {
                if (Shell("xprop -id " + id + " _NET_WM_WINDOW_TYPE 2>&1").find("_NET_WM_WINDOW_TYPE_NORMAL") !=
                    std::string::npos)
                {
                    found = id;
                }
            }
            return !found.empty();
        },
        10s);
    return found;
}

bool TProgram::WaitForWindowGone(const std::string& title)
{
    return WaitUntil(
        [&]
        {
            const std::vector<TWindowInfo> windows = VisibleWindows();
            return std::none_of(windows.begin(), windows.end(), [&](const TWindowInfo& w) { return w.Title == title; });
        },
        5s);
}

void TProgram::Keys(const std::string& window, const std::string& keys)
{
    // Again when Xvfb turned a connection away (the tools then fail as a whole).
    const std::string command = "xdotool windowfocus --sync " + window + " 2>/dev/null && xdotool key --delay 60 " +
                                keys + " && echo sent";
    WaitUntil([&] { return Shell(command) == "sent"; }, 250ms);
}

void TProgram::CloseWindow(const std::string& window)
{
    Display* display = nullptr;
    if (!WaitUntil([&] { return (display = XOpenDisplay(nullptr)) != nullptr; }, 250ms))
    {
        return;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(std::stoul(window));
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

int WaitForExit(pid_t& process, int seconds)
{
    int status = 0;
    if (process <= 0 || !WaitUntil([&] { return waitpid(process, &status, WNOHANG) == process; },
                                   std::chrono::seconds(seconds)))
    {
        return -1;
    }
    process = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void TProgram::Activate(const std::string& window)
{
    if (Shell("xdotool windowactivate --sync " + window + " 2>/dev/null && echo ok") != "ok")
    {
        Shell("xdotool windowfocus --sync " + window + " 2>/dev/null");
    }
}

TFocusThief::TFocusThief()
{
    Connection = XOpenDisplay(nullptr);
    if (Connection == nullptr)
    {
        return;
    }
    Thief = XCreateSimpleWindow(Connection, DefaultRootWindow(Connection), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(Connection, Thief, "Another program");
    XMapRaised(Connection, Thief);
    XSync(Connection, False);
    TProgram::Activate(std::to_string(Thief));
}

TFocusThief::~TFocusThief()
{
    if (Connection != nullptr)
    {
        XDestroyWindow(Connection, Thief);
        XCloseDisplay(Connection);
    }
}

bool TFocusThief::HasFocus() const
{
    if (Connection == nullptr)
    {
        return false;
    }
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(Connection, &focus, &revert);
    return focus == Thief;
}

TSavedGame ReadSave(const std::filesystem::path& file)
{
    std::istringstream in(ReadFile(file));
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line))
    {
        lines.push_back(line);
    }
    TSavedGame s;
    if (lines.size() < 8)
    {
        return s;
    }
    s.Mode = std::stoi(lines[1]);
    s.Level = std::stoi(lines[2]);
    s.Progress = std::stod(lines[4]);
    s.Score = std::stod(lines[5]);
    s.CubeCount = std::stoi(lines[7]);
    for (int i = 0; i < s.CubeCount && 8 + 4 * i + 3 < static_cast<int>(lines.size()); ++i)
    {
        const size_t at = 8 + 4 * static_cast<size_t>(i);
        s.Cubes.push_back(
            {std::stoi(lines[at]), std::stoi(lines[at + 1]), std::stoi(lines[at + 2]), std::stoi(lines[at + 3])});
    }
    return s;
}

int KindAt(const TSavedGame& s, int x, int y)
{
    for (const auto& c : s.Cubes)
    {
        if (c[2] == x && c[3] == y)
        {
            return c[1];
        }
    }
    return -1;
}

std::string SaveWith(int mode, const char* progress, const std::vector<std::array<int, 3>>& cubes)
{
    std::string s = "saved\n" + std::to_string(mode) + "\n1\n0\n" + progress + "\n 0.00000000000000E+0000\n1\n" +
                    std::to_string(cubes.size()) + "\n";
    for (const auto& c : cubes)
    {
        s += "1\n" + std::to_string(c[0]) + "\n" + std::to_string(c[1]) + "\n" + std::to_string(c[2]) + "\n";
    }
    return s;
}

int PlanePixelX(float x, int start, int size)
{
    return start + static_cast<int>(std::lround(static_cast<float>(size) * (0.5f - (x + 1.8f) / 14.45f)));
}

int PlanePixelY(float y, int start, int size)
{
    return start + static_cast<int>(std::lround(static_cast<float>(size) * (0.5f - (y + 0.25f) / 10.8375f)));
}
