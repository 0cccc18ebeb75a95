// The window system's side of the kept picture: where the GL window can show one region of
// its back buffer and leave the rest of the window as it was, the picture is kept in the
// window itself. Kept apart from the rest of the device: the X headers' macros clash with
// names of the game.
#include "render/GLDevice_local.h"

#include <epoxy/glx.h>

#include <cstring>

bool WindowShowsRegions()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0 || glXGetCurrentContext() == nullptr)
    {
        return false; // another window system, or a GL context not made through GLX
    }
    Display* display = glXGetCurrentDisplay();
    return display != nullptr && epoxy_has_glx_extension(display, DefaultScreen(display), "GLX_MESA_copy_sub_buffer");
}

void ShowWindowRegion(int x, int y, int width, int height)
{
    // Flushes the frame's drawing first, as a swap does.
    glXCopySubBufferMESA(glXGetCurrentDisplay(), glXGetCurrentDrawable(), x, y, width, height);
}
