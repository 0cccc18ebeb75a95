// The video options dialog: full screen or a window, the resolution, the display's own
// size, the help picture. A GTK dialog over TVideoOptionsModel, shown modally from the
// launcher; OK saves the choices at once, Cancel, Escape and the close box change nothing.
#pragma once

#include "base/Options.h"

#include <string>
#include <vector>

typedef struct _GtkWindow GtkWindow;

void RunVideoOptionsDialog(GtkWindow* parent, TOptions& options, const std::vector<std::string>& languages);
