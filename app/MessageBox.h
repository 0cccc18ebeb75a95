// Modal message boxes without an owner window: SDL's box, or GTK's dialog where SDL has
// none to offer. The text also goes to standard error, so a message is never lost.
#pragma once

#include <string>

enum class TMessageKind
{
    Error,
    Warning,
    Information,
};

void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& text);
