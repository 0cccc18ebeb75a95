#include "render/Cursor.h"

#include "base/DebugLog.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

void TSDLCursorPlatform::WindowRect(int& left, int& top, int& width, int& height) const
{
    SDL_GetWindowPosition(Window, &left, &top);
    SDL_GetWindowSize(Window, &width, &height);
    const TPictureArea a = PictureArea(width, height);
    left += a.Left;
    top += a.Top;
    width = a.Width;
    height = a.Height;
}

void TSDLCursorPlatform::Pointer(int& x, int& y) const
{
    SDL_GetGlobalMouseState(&x, &y);
}

void TSDLCursorPlatform::MovePointer(int x, int y)
{
    if (PointerCanBeMoved())
    {
        SDL_WarpMouseGlobal(x, y);
    }
}

bool PointerCanBeMoved()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (driver == nullptr || std::strcmp(driver, "wayland") != 0) && (wayland == nullptr || *wayland == '\0');
}

TCursor::TCursor(std::shared_ptr<TDevice> device, const std::filesystem::path& programFolder,
                 int clientWidth, int clientHeight)
{
    const char* images[4] = {nullptr, "cursor.tga", "cursor.tga", "cursor1.tga"};
    for (int i = 1; i <= 3; ++i)
    {
        Sprites[i] = std::make_unique<T3DSprite>(device, programFolder / "Images" / images[i]);
        Sprites[i]->Scale = {1, 1, 1};
        Sprites[i]->Position = {RoomCentreX, RoomCentreY, 0.01f};
    }
    SetClientSize(clientWidth, clientHeight);
    CursorIndex = 1;
}

void TCursor::SetClientSize(int clientWidth, int clientHeight)
{
    Area = PictureArea(clientWidth, clientHeight);
    InvWidth = Area.Width > 0 ? 1.0f / static_cast<float>(Area.Width) : 0.0f;
    InvHeight = Area.Height > 0 ? 1.0f / static_cast<float>(Area.Height) : 0.0f;
}

void TCursor::MoveCursor(int x, int y)
{
    if (!Sprites[1])
    {
        return;
    }
    T3DSprite& s = *Sprites[1];
    Placed = false;
    x = std::clamp(x - Area.Left, 0, Area.Width);
    y = std::clamp(y - Area.Top, 0, Area.Height);
    s.Position.x = (0.5f - static_cast<float>(x) * InvWidth) * 14.45f + RoomCentreX;
    s.Position.y = (0.5f - static_cast<float>(y) * InvHeight) * 10.8375f + RoomCentreY;
    for (int i = 2; i <= 3; ++i)
    {
        Sprites[i]->Scale = s.Scale;
        Sprites[i]->Position = s.Position;
        Sprites[i]->Rotation = s.Rotation;
    }
}

void TCursor::PlaceCursor(float x, float y)
{
    if (!Sprites[1])
    {
        return;
    }
    for (int i = 1; i <= 3; ++i)
    {
        Sprites[i]->Position.x = x;
        Sprites[i]->Position.y = y;
    }
    Placed = true;
}

void TCursor::DrawCursor(const TGraphics& g, int v, ICursorPlatform& platform, bool fullscreen,
                         bool pseudoFullscreen)
{
    if (!Sprites[1] || v < 1 || v > 3)
    {
        return;
    }
    int left = 0, top = 0, width = 0, height = 0;
    platform.WindowRect(left, top, width, height);
    const int right = left + width;
    const int bottom = top + height;
    int px = 0, py = 0;
    if (!fullscreen && !Placed)
    {
        platform.Pointer(px, py);
        if (!(left < px && px < right && top < py && py < bottom))
        {
            return;
        }
    }
    if (pseudoFullscreen)
    {
        // Keep the pointer inside the window, each edge tested on a fresh reading.
        platform.Pointer(px, py);
        if (px <= left)
        {
            platform.MovePointer(left + 1, py);
        }
        platform.Pointer(px, py);
        if (px >= right)
        {
            platform.MovePointer(right - 1, py);
        }
        platform.Pointer(px, py);
        if (py <= top)
        {
            platform.MovePointer(px, top + 1);
        }
        platform.Pointer(px, py);
        if (py >= bottom)
        {
            platform.MovePointer(px, bottom - 1);
        }
    }
    g.Device->SetRenderState(rsAlphaBlendEnable, StateTrue);
    Sprites[v]->Draw(g);
    g.Device->SetRenderState(rsAlphaBlendEnable, StateFalse);
}

std::unique_ptr<TCursor> CreateCursor(std::shared_ptr<TDevice> device,
                                      const std::filesystem::path& programFolder,
                                      SDL_Window* window)
{
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    if (PointerCanBeMoved())
    {
        SDL_WarpMouseInWindow(window, w / 2, h / 2);
    }
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    DebugLog("Mouse created at " + std::to_string(x) + "_" + std::to_string(y));
    return std::make_unique<TCursor>(std::move(device), programFolder, w, h);
}
