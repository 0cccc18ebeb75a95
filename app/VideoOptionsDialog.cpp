#include "app/VideoOptionsDialog.h"

#include "app/VideoOptionsModel.h"

#include <SDL.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace
{
struct TDialog
{
    explicit TDialog(TOptions& options) : Model(options) {}

    TVideoOptionsModel Model;
    GtkWidget* Window = nullptr;
    GtkWidget* Items[2] = {};
    GtkWidget* ResLabel = nullptr;
    GtkWidget* Desktop = nullptr;
    GtkWidget* Res = nullptr;
    GtkWidget* ShowHelp = nullptr;
    bool Updating = false; // set while the controls are brought in line with the model
};

void ShowModel(TDialog& d)
{
    d.Updating = true;
    const TVideoOptionsModel& m = d.Model;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.Items[m.Item]), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.Desktop), m.DesktopChecked);
    gtk_widget_set_sensitive(d.Desktop, m.DesktopEnabled);
    gtk_combo_box_set_active(GTK_COMBO_BOX(d.Res), m.Row);
    gtk_widget_set_sensitive(d.Res, m.ResolutionEnabled);
    gtk_widget_set_sensitive(d.ResLabel, m.ResolutionEnabled);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d.ShowHelp), m.ShowHelp);
    d.Updating = false;
}

void OnItemToggled(GtkToggleButton* button, gpointer data)
{
    auto& d = *static_cast<TDialog*>(data);
    if (d.Updating || !gtk_toggle_button_get_active(button))
    {
        return;
    }
    d.Model.PickItem(GTK_WIDGET(button) == d.Items[TVideoOptionsModel::WindowedItem]
                         ? TVideoOptionsModel::WindowedItem
                         : TVideoOptionsModel::FullscreenItem);
    ShowModel(d);
}

void OnDesktopToggled(GtkToggleButton* button, gpointer data)
{
    auto& d = *static_cast<TDialog*>(data);
    if (!d.Updating)
    {
        d.Model.SetDesktop(gtk_toggle_button_get_active(button));
        ShowModel(d);
    }
}

void OnResolutionChanged(GtkComboBox* combo, gpointer data)
{
    auto& d = *static_cast<TDialog*>(data);
    if (!d.Updating)
    {
        d.Model.SelectResolution(gtk_combo_box_get_active(combo));
        ShowModel(d);
    }
}

void OnHelpToggled(GtkToggleButton* button, gpointer data)
{
    auto& d = *static_cast<TDialog*>(data);
    if (!d.Updating)
    {
        d.Model.SetShowHelp(gtk_toggle_button_get_active(button));
    }
}

void OnOk(GtkButton*, gpointer dialog)
{
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
}

void OnCancel(GtkButton*, gpointer dialog)
{
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
}

// The launcher runs before SDL's video does, and without it SDL knows no display: it is
// started for the question and stopped after, without SDL's signal handlers, so that the
// desktop's SIGTERM still ends the launcher at once.
class TDisplayQuery
{
public:
    TDisplayQuery() : Started(SDL_WasInit(SDL_INIT_VIDEO) == 0)
    {
        if (Started)
        {
            SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
            Started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        }
    }
    ~TDisplayQuery()
    {
        if (Started)
        {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }
    TDisplayQuery(const TDisplayQuery&) = delete;
    TDisplayQuery& operator=(const TDisplayQuery&) = delete;

private:
    bool Started;
};

TResolution DesktopSize()
{
    SDL_DisplayMode desktop{};
    return SDL_GetDesktopDisplayMode(0, &desktop) == 0 ? TResolution{desktop.w, desktop.h} : TResolution{};
}

// The display's own modes, largest first, as the display lists them.
std::vector<TResolution> DisplayModes()
{
    std::vector<TResolution> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
    {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) == 0)
        {
            modes.push_back({mode.w, mode.h});
        }
    }
    return modes;
}

GtkWidget* Button(const char* mnemonic, int width)
{
    GtkWidget* b = gtk_button_new_with_mnemonic(mnemonic);
    gtk_widget_set_size_request(b, width, 25);
    gtk_widget_set_halign(b, GTK_ALIGN_CENTER);
    return b;
}
} // namespace

void RunVideoOptionsDialog(GtkWindow* parent, TOptions& options)
{
    TDialog d(options);
    d.Window = gtk_dialog_new();
    GtkWindow* window = GTK_WINDOW(d.Window);
    gtk_window_set_title(window, "Options");
    gtk_window_set_transient_for(window, parent);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_default_size(window, 297, 196);

    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_column_homogeneous(GTK_GRID(grid), TRUE);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
    gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 10);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(d.Window))), grid, TRUE, TRUE, 0);

    // The radio group: a frame without a caption, two items side by side.
    GtkWidget* frame = gtk_frame_new(nullptr);
    GtkWidget* itemBox = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_set_homogeneous(GTK_BOX(itemBox), TRUE);
    gtk_container_set_border_width(GTK_CONTAINER(itemBox), 6);
    d.Items[0] = gtk_radio_button_new_with_label(nullptr, "Full screen");
    d.Items[1] = gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(d.Items[0]), "Windowed");
    gtk_box_pack_start(GTK_BOX(itemBox), d.Items[0], TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(itemBox), d.Items[1], TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(frame), itemBox);
    gtk_grid_attach(GTK_GRID(grid), frame, 0, 0, 2, 1);

    d.ResLabel = gtk_label_new("Resolution:");
    gtk_widget_set_halign(d.ResLabel, GTK_ALIGN_START);
    gtk_grid_attach(GTK_GRID(grid), d.ResLabel, 1, 1, 1, 1);

    d.Desktop = gtk_check_button_new_with_label("Use desktop settings");
    gtk_grid_attach(GTK_GRID(grid), d.Desktop, 0, 2, 1, 1);
    d.Res = gtk_combo_box_text_new();
    {
        const TDisplayQuery query;
        d.Model.SetDisplay(DesktopSize(), DisplayModes());
    }
    for (const std::string& text : d.Model.Entries())
    {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(d.Res), text.c_str());
    }
    gtk_grid_attach(GTK_GRID(grid), d.Res, 1, 2, 1, 1);

    GtkWidget* bevel = gtk_separator_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_widget_set_margin_top(bevel, 6);
    gtk_grid_attach(GTK_GRID(grid), bevel, 0, 3, 2, 1);

    d.ShowHelp = gtk_check_button_new_with_label("Show help screen at startup");
    gtk_grid_attach(GTK_GRID(grid), d.ShowHelp, 0, 4, 2, 1);

    GtkWidget* ok = Button("_Ok", 75);
    GtkWidget* cancel = Button("_Cancel", 75);
    gtk_widget_set_margin_top(ok, 6);
    gtk_widget_set_margin_top(cancel, 6);
    gtk_grid_attach(GTK_GRID(grid), ok, 0, 5, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), cancel, 1, 5, 1, 1);
    gtk_widget_set_can_default(ok, TRUE);
    gtk_window_set_default(window, ok);

    // Tab order: OK, desktop box, resolution list, Cancel, radio group, help box.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GList* chain = nullptr;
    for (GtkWidget* w : {ok, d.Desktop, d.Res, cancel, frame, d.ShowHelp})
    {
        chain = g_list_append(chain, w);
    }
    gtk_container_set_focus_chain(GTK_CONTAINER(grid), chain);
    g_list_free(chain);
    G_GNUC_END_IGNORE_DEPRECATIONS

    d.Model.Show();
    ShowModel(d);
    g_signal_connect(d.Items[0], "toggled", G_CALLBACK(OnItemToggled), &d);
    g_signal_connect(d.Items[1], "toggled", G_CALLBACK(OnItemToggled), &d);
    g_signal_connect(d.Desktop, "toggled", G_CALLBACK(OnDesktopToggled), &d);
    g_signal_connect(d.Res, "changed", G_CALLBACK(OnResolutionChanged), &d);
    g_signal_connect(d.ShowHelp, "toggled", G_CALLBACK(OnHelpToggled), &d);
    g_signal_connect(ok, "clicked", G_CALLBACK(OnOk), d.Window);
    g_signal_connect(cancel, "clicked", G_CALLBACK(OnCancel), d.Window);

    gtk_widget_show_all(d.Window);
    gtk_widget_grab_focus(ok);
    // Escape and the close box answer GTK_RESPONSE_DELETE_EVENT: a cancel.
    if (gtk_dialog_run(GTK_DIALOG(d.Window)) == GTK_RESPONSE_OK)
    {
        d.Model.Ok();
    }
    gtk_widget_destroy(d.Window);
}
