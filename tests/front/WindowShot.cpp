#include "tests/front/WindowShot.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <cstdint>

TRgb TShot::At(int x, int y) const
{
    x = std::clamp(x, 0, Width - 1);
    y = std::clamp(y, 0, Height - 1);
    return Pixels[static_cast<size_t>(y) * Width + x];
}

namespace
{
// A window that is minimised, or goes away, while it is read gives an empty shot rather than
// the end of the test program.
int IgnoreError(Display*, XErrorEvent*)
{
    return 0;
}
} // namespace

TShot Grab(const std::string& window)
{
    TShot shot;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        return shot;
    }
    const auto previous = XSetErrorHandler(IgnoreError);
    const Window w = static_cast<Window>(std::stoul(window));
    XWindowAttributes a{};
    if (XGetWindowAttributes(display, w, &a) != 0 && a.map_state == IsViewable)
    {
        if (XImage* image = XGetImage(display, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap))
        {
            shot.Width = a.width;
            shot.Height = a.height;
            shot.Pixels.resize(static_cast<size_t>(a.width) * a.height);
            for (int y = 0; y < a.height; ++y)
            {
                for (int x = 0; x < a.width; ++x)
                {
                    const unsigned long p = XGetPixel(image, x, y);
                    shot.Pixels[static_cast<size_t>(y) * a.width + x] = {
                        static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                        static_cast<int>(p & 0xFF)};
                }
            }
            XDestroyImage(image);
        }
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return shot;
}

TShot Grab(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
    {
        return {};
    }
    XSync(info.info.x11.display, False);
    return Grab(std::to_string(info.info.x11.window));
}

void SavePng(const TShot& shot, const std::filesystem::path& file)
{
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormat(0, shot.Width, shot.Height, 24, SDL_PIXELFORMAT_RGB24);
    if (s == nullptr)
    {
        return;
    }
    for (int y = 0; y < shot.Height; ++y)
    {
        auto* row = static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
        for (int x = 0; x < shot.Width; ++x)
        {
            const TRgb c = shot.At(x, y);
            row[3 * x] = static_cast<uint8_t>(c.r);
            row[3 * x + 1] = static_cast<uint8_t>(c.g);
            row[3 * x + 2] = static_cast<uint8_t>(c.b);
        }
    }
    std::filesystem::create_directories(file.parent_path());
    IMG_SavePNG(s, file.string().c_str());
    SDL_FreeSurface(s);
}

void ScreenSize(int& width, int& height)
{
    width = height = 0;
    if (Display* display = XOpenDisplay(nullptr))
    {
        width = DisplayWidth(display, DefaultScreen(display));
        height = DisplayHeight(display, DefaultScreen(display));
        XCloseDisplay(display);
    }
}
