#include "app/Launcher.h"

#include "app/Folders.h"
#include "app/JpegImage.h"
#include "app/MessageBox.h"
#include "app/VideoOptionsDialog.h"
#include "base/Text.h"

#include <SDL.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace
{
constexpr int ArtworkWidth = 155;
constexpr int ArtworkHeight = 145;

struct TLauncher
{
    TOptions* Options = nullptr;
    std::filesystem::path ProgramFolder;
    GtkWidget* Window = nullptr;
    std::array<GtkWidget*, 4> Buttons{}; // Start, Options, Homepage, Exit
    TLaunchChoice Choice = TLaunchChoice::Exit;
};

// The artwork centred in its box, shrunk proportionally when it is larger; an empty
// picture when the file is missing or unreadable.
GtkWidget* ArtworkImage(const std::filesystem::path& file)
{
    GtkWidget* image = nullptr;
    if (auto jpeg = LoadJpeg(file))
    {
        GdkPixbuf* full = gdk_pixbuf_new_from_data(jpeg->Pixels.data(), GDK_COLORSPACE_RGB, FALSE, 8, jpeg->Width,
                                                   jpeg->Height, jpeg->Width * 3, nullptr, nullptr);
        const double scale = std::min({1.0, static_cast<double>(ArtworkWidth) / jpeg->Width,
                                       static_cast<double>(ArtworkHeight) / jpeg->Height});
        const int width = std::max(1, static_cast<int>(jpeg->Width * scale + 0.5));
        const int height = std::max(1, static_cast<int>(jpeg->Height * scale + 0.5));
        // A scaled copy owns its pixels, so the decoded buffer may go.
        GdkPixbuf* shown = gdk_pixbuf_scale_simple(full, width, height, GDK_INTERP_BILINEAR);
        g_object_unref(full);
        if (shown != nullptr)
        {
            image = gtk_image_new_from_pixbuf(shown);
            g_object_unref(shown);
        }
    }
    if (image == nullptr)
    {
        image = gtk_image_new();
    }
    gtk_widget_set_size_request(image, ArtworkWidth, ArtworkHeight);
    return image;
}

void OnStart(GtkButton*, gpointer data)
{
    auto& l = *static_cast<TLauncher*>(data);
    l.Choice = TLaunchChoice::Start;
    gtk_main_quit();
}

// The buttons' texts in the language shown.
void LabelButtons(const TLauncher& l)
{
    const char* texts[] = {_("_Start Game"), _("_Options"), _("_Homepage"), _("E_xit")};
    for (size_t i = 0; i < l.Buttons.size(); ++i)
    {
        gtk_button_set_label(GTK_BUTTON(l.Buttons[i]), texts[i]);
    }
}

void OnOptions(GtkButton*, gpointer data)
{
    auto& l = *static_cast<TLauncher*>(data);
    const std::filesystem::path locale = LocaleFolder(l.ProgramFolder);
    const std::string before = l.Options->Language;
    RunVideoOptionsDialog(GTK_WINDOW(l.Window), *l.Options, AvailableLanguages(locale));
    if (l.Options->Language != before)
    {
        StartLanguage(locale, l.Options->Language);
        LabelButtons(l);
    }
}

void OnHome(GtkButton*, gpointer data)
{
    // The desktop's default handler opens the address; a failure is of no consequence. Without
    // a configured home page the player's manual is opened.
    const auto& l = *static_cast<TLauncher*>(data);
    if (!l.Options->HomePage.empty())
    {
        SDL_OpenURL(l.Options->HomePage.c_str());
        return;
    }
    const std::filesystem::path manual = ManualFile(l.ProgramFolder, CurrentLanguage());
    gchar* uri = manual.empty() ? nullptr : g_filename_to_uri(manual.c_str(), nullptr, nullptr);
    if (uri == nullptr)
    {
        std::fprintf(stderr, "Tandrel: %s\n", _("the player's manual is not installed"));
        return;
    }
    SDL_OpenURL(uri);
    g_free(uri);
}

void OnExit(GtkButton*, gpointer data)
{
    static_cast<TLauncher*>(data)->Choice = TLaunchChoice::Exit;
    gtk_main_quit();
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data)
{
    static_cast<TLauncher*>(data)->Choice = TLaunchChoice::Closed;
    gtk_main_quit();
    return TRUE; // the window goes with the loop
}

// The buttons keep the spacing of the original layout: wider gaps before Homepage.
GtkWidget* AddButton(GtkWidget* column, int gapAbove, GCallback onClick, TLauncher& l)
{
    GtkWidget* b = gtk_button_new_with_label("");
    gtk_button_set_use_underline(GTK_BUTTON(b), TRUE);
    gtk_widget_set_size_request(b, 105, 25);
    gtk_widget_set_margin_top(b, gapAbove);
    gtk_box_pack_start(GTK_BOX(column), b, FALSE, FALSE, 0);
    g_signal_connect(b, "clicked", onClick, &l);
    return b;
}
} // namespace

std::filesystem::path LauncherArtworkFile(const std::filesystem::path& programFolder)
{
    return programFolder / "Images" / "launcher.jpg";
}

TLaunchChoice RunLauncher(TOptions& options, const std::filesystem::path& programFolder)
{
    TLauncher l;
    l.Options = &options;
    l.ProgramFolder = programFolder;
    l.Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(l.Window);
    gtk_window_set_title(window, "Tandrel");
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    g_signal_connect(l.Window, "delete-event", G_CALLBACK(OnDelete), &l);

    // The panel: a bevelled frame filling the window, the artwork left of the buttons.
    GtkWidget* panel = gtk_frame_new(nullptr);
    gtk_frame_set_shadow_type(GTK_FRAME(panel), GTK_SHADOW_OUT);
    gtk_container_add(GTK_CONTAINER(l.Window), panel);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    gtk_container_set_border_width(GTK_CONTAINER(row), 8);
    gtk_container_add(GTK_CONTAINER(panel), row);
    gtk_box_pack_start(GTK_BOX(row), ArtworkImage(LauncherArtworkFile(programFolder)), FALSE, FALSE, 0);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_valign(column, GTK_ALIGN_CENTER);
    gtk_box_pack_start(GTK_BOX(row), column, FALSE, FALSE, 0);

    // Added in the tab order: Start, Options, Homepage, Exit.
    GtkWidget* start = l.Buttons[0] = AddButton(column, 0, G_CALLBACK(OnStart), l);
    l.Buttons[1] = AddButton(column, 5, G_CALLBACK(OnOptions), l);
    l.Buttons[2] = AddButton(column, 11, G_CALLBACK(OnHome), l);
    l.Buttons[3] = AddButton(column, 6, G_CALLBACK(OnExit), l);
    LabelButtons(l);
    gtk_widget_set_can_default(start, TRUE);
    gtk_window_set_default(window, start);

    gtk_widget_show_all(l.Window);
    CheckShownWidgets(l.Window);
    gtk_widget_grab_focus(start);
    gtk_main();

    // Hidden for good: the game's window takes over, or the program ends.
    gtk_widget_destroy(l.Window);
    while (gtk_events_pending())
    {
        gtk_main_iteration();
    }
    gdk_display_flush(gdk_display_get_default());
    return l.Choice;
}
