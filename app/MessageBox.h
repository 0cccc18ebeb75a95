// Modal message boxes without an owner window: SDL's box, or GTK's dialog where SDL has
// none to offer. The text also goes to standard error, so a message is never lost.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The game's name on its window and its message boxes.
constexpr const char* ApplicationTitle = "Tandrel";

enum class TMessageKind
{
    Error,
    Warning,
    Information,
};

struct SDL_Window;

// Shown over parent when one is given. Once the program is asked to end (app/ExitSignals.h)
// an open box closes at once and no new one opens: the text goes to standard error only.
void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& text,
                    SDL_Window* parent = nullptr);

// A question with answers, shown as ShowMessageBox shows its text: the index of the answer
// chosen (Enter takes the first, Escape the last), or -1 when no box could be shown or the
// program was asked to end while it was open.
int AskMessageBox(TMessageKind kind, const std::string& caption, const std::string& text,
                  const std::vector<std::string>& answers, SDL_Window* parent = nullptr);

// GTK started once, for the launcher or the first box that needs it: the game's own window
// never does (GTK's start-up costs a tenth of a second and some 60 MB of memory). The
// application's name, class and icon are set with it. False when no display opens.
bool StartGtk();

typedef struct _GtkWidget GtkWidget;
// The texts of a window and everything in it, checked in the pseudo-language (base/Text.h).
void CheckShownWidgets(GtkWidget* widget);

// The boxes' lines are kept this short so that a box fits a 640 pixels wide screen whole;
// a longer line would make a box wider than the screen, cut off at both ends.
constexpr size_t MessageColumns = 60;

// A box holds at most this many lines, so that it fits a 480 pixels high screen; a longer
// text is cut, its whole still on standard error.
constexpr size_t MessageLines = 24;

// The text broken into lines of at most columns characters: at blanks, else after a '/'
// inside a long path, else hard; line breaks already in it stay.
std::string WrapMessage(const std::string& text, size_t columns);

// The text wrapped as above and cut to MessageLines lines, the last one saying so.
std::string FitMessage(const std::string& text);
