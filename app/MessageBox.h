// Modal message boxes without an owner window: SDL's box, or GTK's dialog where SDL has
// none to offer. The text also goes to standard error, so a message is never lost.
#pragma once

#include <cstddef>
#include <string>

enum class TMessageKind
{
    Error,
    Warning,
    Information,
};

void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& text);

// The boxes' lines are kept this short so that a box fits a 640 pixels wide screen whole;
// a longer line would make a box wider than the screen, cut off at both ends.
constexpr size_t MessageColumns = 60;

// The text broken into lines of at most columns characters: at blanks, else after a '/'
// inside a long path, else hard; line breaks already in it stay.
std::string WrapMessage(const std::string& text, size_t columns);
