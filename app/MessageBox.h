// Modal message boxes without an owner window. When no box can be shown (no display),
// the text goes to standard error, so a message is never lost.
#pragma once

#include <string>

enum class TMessageKind
{
    Error,
    Warning,
    Information,
};

void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& text);
