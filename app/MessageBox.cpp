#include "app/MessageBox.h"

#include "app/ExitSignals.h"

#include <SDL.h>
#include <gtk/gtk.h>

#include <glib-unix.h>
#include <glib.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace
{
// SDL shows its box from a child process it forks and waits for (on X11 and under Wayland
// alike): the box closes when that process ends. The game starts no other child process.
void EndChildProcesses()
{
    const pid_t self = ::getpid();
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end; it.increment(ec))
    {
        const std::string name = it->path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
        {
            continue;
        }
        // "pid (command) state ppid ...": the command may hold anything but its last ')'.
        std::ifstream in(it->path() / "stat");
        std::string stat;
        std::getline(in, stat);
        const size_t close = stat.rfind(')');
        char state = 0;
        long parent = 0;
        if (close != std::string::npos && std::sscanf(stat.c_str() + close + 1, " %c %ld", &state, &parent) == 2 &&
            parent == self)
        {
            ::kill(static_cast<pid_t>(std::stol(name)), SIGKILL);
        }
    }
}

// While an SDL box is up, a watcher ends it when the program is asked to end, so that the
// main loop gets back at once to save the game and close.
class TBoxWatch
{
public:
    TBoxWatch()
    {
        if (ExitSignalFd() >= 0 && ::pipe2(Done, O_CLOEXEC) == 0)
        {
            Thread = std::thread([this] { Watch(); });
        }
    }
    ~TBoxWatch()
    {
        if (Thread.joinable())
        {
            ::close(Done[1]);
            Thread.join();
            ::close(Done[0]);
        }
    }
    TBoxWatch(const TBoxWatch&) = delete;
    TBoxWatch& operator=(const TBoxWatch&) = delete;

private:
    void Watch() const
    {
        pollfd fds[2] = {{ExitSignalFd(), POLLIN, 0}, {Done[0], POLLIN, 0}};
        while ((fds[1].revents & (POLLIN | POLLHUP)) == 0)
        {
            // Once signalled, again every 20 ms until the box is gone: a signal that came
            // just before SDL forked finds the child on the next round.
            const int wait = (fds[0].revents & POLLIN) != 0 ? 20 : -1;
            const int ready = ::poll((fds[0].revents & POLLIN) != 0 ? fds + 1 : fds,
                                     (fds[0].revents & POLLIN) != 0 ? 1 : 2, wait);
            if (ready < 0 && errno != EINTR)
            {
                return;
            }
            if ((fds[0].revents & POLLIN) != 0)
            {
                EndChildProcesses();
            }
        }
    }

    int Done[2] = {-1, -1};
    std::thread Thread;
};

struct TGtkBoxWatch
{
    GtkWidget* Dialog = nullptr;
    bool Fired = false;
};

gboolean CloseGtkBox(gint, GIOCondition, gpointer data)
{
    auto* watch = static_cast<TGtkBoxWatch*>(data);
    watch->Fired = true;
    gtk_dialog_response(GTK_DIALOG(watch->Dialog), GTK_RESPONSE_DELETE_EVENT);
    return G_SOURCE_REMOVE;
}

// GTK's dialog where SDL has no box to offer (its X11 box may rely on a helper program
// that is not installed).
bool ShowGtkMessageBox(TMessageKind kind, const std::string& caption, const std::string& text)
{
    if (!StartGtk())
    {
        return false;
    }
    const GtkMessageType type = kind == TMessageKind::Error     ? GTK_MESSAGE_ERROR
                                : kind == TMessageKind::Warning ? GTK_MESSAGE_WARNING
                                                                : GTK_MESSAGE_INFO;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    // The program asked to end closes the dialog as its close button does.
    TGtkBoxWatch watch{dialog};
    const guint source = ExitSignalFd() >= 0 ? g_unix_fd_add(ExitSignalFd(), G_IO_IN, CloseGtkBox, &watch) : 0;
    gtk_dialog_run(GTK_DIALOG(dialog));
    if (source != 0 && !watch.Fired)
    {
        g_source_remove(source);
    }
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
    {
        gtk_main_iteration();
    }
    return true;
}
} // namespace

bool StartGtk()
{
    static const bool started = []
    {
        g_set_application_name("Tandrel");
        g_set_prgname(TANDREL_APP_ID); // the launcher's window class and Wayland application id
        gtk_disable_setlocale();      // the program sets its locale and language (base/Text.h)
        // A busy X server may refuse a new connection for a moment (a full listen queue
        // resets it): a few attempts a tenth of a second apart before the display counts as
        // unavailable.
        for (int attempt = 0; attempt < 5; ++attempt)
        {
            if (attempt > 0)
            {
                g_usleep(100000);
            }
            if (gtk_init_check(nullptr, nullptr) != FALSE)
            {
                gdk_set_program_class(TANDREL_APP_ID);
                gtk_window_set_default_icon_name(TANDREL_APP_ID);
                return true;
            }
        }
        return false;
    }();
    return started;
}

std::string WrapMessage(const std::string& text, size_t columns)
{
    std::string out;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        while (line.size() > columns)
        {
            // The last blank that leaves the line short enough, else the last '/' (the next
            // line starts with what follows it), else a hard break.
            size_t cut = line.rfind(' ', columns);
            size_t resume = cut + 1;
            if (cut == std::string::npos || cut == 0)
            {
                cut = line.rfind('/', columns - 1);
                cut = cut == std::string::npos || cut == 0 ? columns : cut + 1;
                resume = cut;
            }
            out += line.substr(0, cut) + "\n";
            line.erase(0, resume);
        }
        out += line;
        if (end == std::string::npos)
        {
            break;
        }
        out += '\n';
        start = end + 1;
    }
    return out;
}

std::string FitMessage(const std::string& text)
{
    std::string out = WrapMessage(text, MessageColumns);
    size_t at = 0;
    for (size_t line = 1; line < MessageLines && at != std::string::npos; ++line)
    {
        at = out.find('\n', at);
        at = at == std::string::npos ? at : at + 1;
    }
    if (at != std::string::npos && out.find('\n', at) != std::string::npos)
    {
        out.erase(at);
        out += "(The message goes on on standard error.)";
    }
    return out;
}

void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& message, SDL_Window* parent)
{
    // Also on standard error, for a player who started the game from a terminal.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
    if (ExitSignalled())
    {
        return;
    }
    const std::string text = FitMessage(message);
    const Uint32 flags = kind == TMessageKind::Error     ? SDL_MESSAGEBOX_ERROR
                         : kind == TMessageKind::Warning ? SDL_MESSAGEBOX_WARNING
                                                         : SDL_MESSAGEBOX_INFORMATION;
    {
        const TBoxWatch watch;
        if (SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), parent) == 0)
        {
            return;
        }
    }
    if (!ExitSignalled())
    {
        ShowGtkMessageBox(kind, caption, text);
    }
}
