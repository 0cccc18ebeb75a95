#include "app/MessageBox.h"

#include <SDL.h>
#include <gtk/gtk.h>

#include <cstdio>

namespace
{
// GTK's dialog where SDL has no box to offer (its X11 box may rely on a helper program
// that is not installed).
bool ShowGtkMessageBox(TMessageKind kind, const std::string& caption, const std::string& text)
{
    if (gdk_display_get_default() == nullptr)
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
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending())
    {
        gtk_main_iteration();
    }
    return true;
}
} // namespace

void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& text)
{
    // Also on standard error, for a player who started the game from a terminal.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    const Uint32 flags = kind == TMessageKind::Error     ? SDL_MESSAGEBOX_ERROR
                         : kind == TMessageKind::Warning ? SDL_MESSAGEBOX_WARNING
                                                         : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr) == 0)
    {
        return;
    }
    ShowGtkMessageBox(kind, caption, text);
}
