#include "MessageBox.h"

#include <SDL.h>

#include <cstdio>

void ShowMessageBox(TMessageKind kind, const std::string& caption, const std::string& text)
{
    const Uint32 flags = kind == TMessageKind::Error     ? SDL_MESSAGEBOX_ERROR
                         : kind == TMessageKind::Warning ? SDL_MESSAGEBOX_WARNING
                                                         : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), nullptr) != 0)
    {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
}
