// Screenshots of a window through Xlib, kept apart from the tests (Xlib's macros clash
// with the test framework's names).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct TRgb
{
    int r = 0, g = 0, b = 0;
};

// The window's pixels.
struct TShot
{
    int Width = 0;
    int Height = 0;
    std::vector<TRgb> Pixels;

    TRgb At(int x, int y) const;
};

// The client area of the window with this id (empty when it cannot be read).
TShot Grab(const std::string& window);
// The client area of an SDL window of this process, once every request the process sent
// its X server has been carried out (empty when it cannot be read).
struct SDL_Window;
TShot Grab(SDL_Window* window);
void SavePng(const TShot& shot, const std::filesystem::path& file);
// The size of the X server's default screen (0 x 0 without a server).
void ScreenSize(int& width, int& height);
