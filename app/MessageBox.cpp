#include "app/MessageBox.h"

#include "app/ExitSignals.h"
#include "base/Text.h"

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
// that is not installed): the index of the answer chosen, the last one when the dialog was
// closed otherwise, -1 when GTK has no display.
int ShowGtkMessageBox(TMessageKind kind, const std::string& caption, const std::string& text,
                      const std::vector<std::string>& answers)
{
    if (!StartGtk())
    {
        return -1;
    }
    const GtkMessageType type = kind == TMessageKind::Error     ? GTK_MESSAGE_ERROR
                                : kind == TMessageKind::Warning ? GTK_MESSAGE_WARNING
                                                                : GTK_MESSAGE_INFO;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type,
                                               answers.empty() ? GTK_BUTTONS_OK : GTK_BUTTONS_NONE, "%s", text.c_str());
    for (size_t i = 0; i < answers.size(); ++i)
    {
        gtk_dialog_add_button(GTK_DIALOG(dialog), answers[i].c_str(), static_cast<gint>(i));
    }
    if (!answers.empty())
    {
        gtk_dialog_set_default_response(GTK_DIALOG(dialog), 0);
    }
    gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    // The program asked to end closes the dialog as its close button does.
    TGtkBoxWatch watch{dialog};
    const guint source = ExitSignalFd() >= 0 ? g_unix_fd_add(ExitSignalFd(), G_IO_IN, CloseGtkBox, &watch) : 0;
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    if (source != 0 && !watch.Fired)
    {
        g_source_remove(source);
    }
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
    {
        gtk_main_iteration();
    }
    if (response >= 0 && static_cast<size_t>(response) < answers.size())
    {
        return response;
    }
    return answers.empty() ? 0 : static_cast<int>(answers.size()) - 1;
}
} // namespace

void CheckShownWidgets(GtkWidget* widget)
{
    if (GTK_IS_WINDOW(widget) && gtk_window_get_title(GTK_WINDOW(widget)) != nullptr)
    {
        CheckShownText(gtk_window_get_title(GTK_WINDOW(widget)));
    }
    if (GTK_IS_LABEL(widget))
    {
        CheckShownText(gtk_label_get_text(GTK_LABEL(widget)));
    }
    if (GTK_IS_CONTAINER(widget))
    {
        gtk_container_forall(
            GTK_CONTAINER(widget), [](GtkWidget* child, gpointer) { CheckShownWidgets(child); }, nullptr);
    }
}

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

namespace
{
// Where the character after the first n of UTF-8 text starts (its size when it has no more).
size_t CharacterStart(const std::string& text, size_t n)
{
    size_t at = 0;
    for (size_t seen = 0; at < text.size(); ++at)
    {
        if ((static_cast<unsigned char>(text[at]) & 0xC0u) != 0x80u && seen++ == n)
        {
            break;
        }
    }
    return at;
}
} // namespace

std::string WrapMessage(const std::string& text, size_t columns)
{
    std::string out;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Columns count characters, not bytes: a line breaks between two characters.
        for (size_t limit = CharacterStart(line, columns); limit < line.size(); limit = CharacterStart(line, columns))
        {
            // The last blank that leaves the line short enough, else the last '/' (the next
            // line starts with what follows it), else a hard break.
            size_t cut = line.rfind(' ', limit);
            size_t resume = cut + 1;
            if (cut == std::string::npos || cut == 0)
            {
                cut = line.rfind('/', limit - 1);
                cut = cut == std::string::npos || cut == 0 ? limit : cut + 1;
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
        out += _("(The message goes on on standard error.)");
    }
    return out;
}

namespace
{
Uint32 BoxFlags(TMessageKind kind)
{
    return kind == TMessageKind::Error     ? SDL_MESSAGEBOX_ERROR
           : kind == TMessageKind::Warning ? SDL_MESSAGEBOX_WARNING
                                           : SDL_MESSAGEBOX_INFORMATION;
}
} // namespace

void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& message, SDL_Window* parent)
{
    CheckShownText(caption);
    CheckShownText(message);
    // Also on standard error, for a player who started the game from a terminal.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
    if (ExitSignalled())
    {
        return;
    }
    const std::string text = FitMessage(message);
    {
        const TBoxWatch watch;
        if (SDL_ShowSimpleMessageBox(BoxFlags(kind), caption.c_str(), text.c_str(), parent) == 0)
        {
            return;
        }
    }
    if (!ExitSignalled())
    {
        ShowGtkMessageBox(kind, caption, text, {});
    }
}

int AskMessageBox(TMessageKind kind, const std::string& caption, const std::string& message,
                  const std::vector<std::string>& answers, SDL_Window* parent)
{
    CheckShownText(caption);
    CheckShownText(message);
    for (const std::string& answer : answers)
    {
        CheckShownText(answer);
    }
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
    if (ExitSignalled() || answers.empty())
    {
        return -1;
    }
    const std::string text = FitMessage(message);
    std::vector<SDL_MessageBoxButtonData> buttons(answers.size());
    for (size_t i = 0; i < answers.size(); ++i)
    {
        buttons[i].buttonid = static_cast<int>(i);
        buttons[i].text = answers[i].c_str();
    }
    buttons.front().flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    buttons.back().flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    SDL_MessageBoxData box{};
    box.flags = BoxFlags(kind) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    box.window = parent;
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = static_cast<int>(buttons.size());
    box.buttons = buttons.data();
    int chosen = -1;
    {
        const TBoxWatch watch;
        if (SDL_ShowMessageBox(&box, &chosen) == 0)
        {
            // A box ended from outside (the program asked to end) answers nothing.
            return ExitSignalled() ? -1 : chosen;
        }
    }
    if (ExitSignalled())
    {
        return -1;
    }
    const int answer = ShowGtkMessageBox(kind, caption, text, answers);
    return ExitSignalled() ? -1 : answer;
}
