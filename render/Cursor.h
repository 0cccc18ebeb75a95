// The mouse cursor drawn as a sprite in the scene. Its sprite position is the game's
// notion of where the mouse is: the menu, the cell picking and the cursor light read it.
#pragma once

#include "render/Graphics.h"
#include "render/PictureArea.h"
#include "render/Texture.h"

#include <array>
#include <filesystem>
#include <memory>

struct SDL_Window;

// The system pointer and the window, in screen coordinates.
class ICursorPlatform
{
public:
    virtual ~ICursorPlatform() = default;
    // Outer window rectangle: left, top, width, height.
    virtual void WindowRect(int& left, int& top, int& width, int& height) const = 0;
    virtual void Pointer(int& x, int& y) const = 0;
    virtual void MovePointer(int x, int y) = 0;
};

// The real pointer over an SDL window; its rectangle is the 4:3 picture inside the window,
// so the edge rules of the cursor hold at the picture's borders.
class TSDLCursorPlatform final : public ICursorPlatform
{
public:
    explicit TSDLCursorPlatform(SDL_Window* window) : Window(window) {}
    void WindowRect(int& left, int& top, int& width, int& height) const override;
    void Pointer(int& x, int& y) const override;
    void MovePointer(int x, int y) override;

private:
    SDL_Window* Window;
};

class TCursor
{
public:
    // The three sprites at the screen centre; 1 / client size kept for the mapping.
    TCursor(std::shared_ptr<TDevice> device, const std::filesystem::path& programFolder,
            int clientWidth, int clientHeight);

    // Maps client pixels to world units: the window's 4:3 picture area onto the
    // full-screen picture's 14.45 x 10.8375; a pointer beside the area puts the cursor
    // on its border.
    void MoveCursor(int x, int y);
    // Puts the cursor on a point of the board plane in world units, as the keys and the
    // gamepad move it; the next mouse move takes it back. While placed so, the cursor is
    // drawn wherever the system pointer is.
    void PlaceCursor(float x, float y);
    // The window took a new client size: the picture area is the largest centred 4:3
    // part of it.
    void SetClientSize(int clientWidth, int clientHeight);
    // Draws variant v (1..3) with blending, by the window-edge rules of the display mode.
    void DrawCursor(const TGraphics& g, int v, ICursorPlatform& platform, bool fullscreen,
                    bool pseudoFullscreen);

    float X() const { return Sprites[1]->Position.x; }
    float Y() const { return Sprites[1]->Position.y; }

    std::array<std::unique_ptr<T3DSprite>, 4> Sprites; // 1-based
    uint8_t CursorIndex = 1;                           // 1 menus, 2 game, 3 aiming a shot
    bool Placed = false;                               // by PlaceCursor since the last mouse move
    float InvWidth = 0;  // of the picture area
    float InvHeight = 0;
    TPictureArea Area;
};

// False where the window system cannot move the pointer for a program (Wayland, and X
// programs on a Wayland desktop, where SDL would lock the pointer to pretend it did).
bool PointerCanBeMoved();

// Centres the system pointer over the window where it can be moved, logs where it is, and
// makes the cursor.
std::unique_ptr<TCursor> CreateCursor(std::shared_ptr<TDevice> device,
                                      const std::filesystem::path& programFolder,
                                      SDL_Window* window);
