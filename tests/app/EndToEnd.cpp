#include "EndToEnd.h"

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
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

std::filesystem::path TProgram::UseCopiedProgram()
{
    const auto folder = Tmp.Path() / "program";
    std::filesystem::create_directories(folder);
    std::filesystem::copy(std::filesystem::path(TANDREL_GAME_DIR) / "tandrel", folder / "tandrel");
    std::filesystem::copy(std::filesystem::path(TANDREL_GAME_DIR) / "data", folder / "data",
                          std::filesystem::copy_options::recursive);
    // The menu file is read, its pictures checked, before the levels.
    std::filesystem::create_directory_symlink(std::filesystem::path(TANDREL_GAME_DIR) / "Images",
                                              folder / "Images");
    Program = folder / "tandrel";
    return folder;
}

void TProgram::Start()
{
    const std::string config = (Tmp.Path() / "config").string();
    const std::string data = (Tmp.Path() / "data").string();
    const std::string path = (Tmp.Path() / "bin").string() + ":" + std::getenv("PATH");
    const std::string program = Program.string();
    const std::string output = (Tmp.Path() / "output.txt").string();
    Process = fork();
    if (Process == 0)
    {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        setenv("PATH", path.c_str(), 1);
        setenv("NO_AT_BRIDGE", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (std::FILE* out = std::fopen(output.c_str(), "w"))
        {
            dup2(fileno(out), 1);
            dup2(fileno(out), 2);
        }
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
}

std::string TProgram::WaitForWindow(const std::string& title)
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

std::string TProgram::WaitForGameWindow()
{
    // The launcher's class is "Tandrel", SDL's "tandrel"; xdotool matches either, so
    // wait until the only visible one is left.
    for (int i = 0; i < 500; ++i)
    {
        const std::string launcher = Shell("xdotool search --onlyvisible --name '^Tandrel$' 2>/dev/null");
        const std::string id = Shell("xdotool search --onlyvisible --classname '^tandrel$' 2>/dev/null | head -1");
        if (launcher.empty() && !id.empty())
        {
            return id;
        }
        std::this_thread::sleep_for(20ms);
    }
    return "";
}

bool TProgram::WaitForWindowGone(const std::string& title)
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

void TProgram::Keys(const std::string& window, const std::string& keys)
{
    Shell("xdotool windowfocus --sync " + window + " 2>/dev/null; xdotool key --delay 60 " + keys);
}

void TProgram::CloseWindow(const std::string& window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
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

int TProgram::WaitForExit(int seconds)
{
    for (int i = 0; i < seconds * 50; ++i)
    {
        int status = 0;
        if (waitpid(Process, &status, WNOHANG) == Process)
        {
            Process = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(20ms);
    }
    return -1;
}
