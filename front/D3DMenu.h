// The 3D menu widget: numbered screens of flat textured items floating in the room. Each
// item is a pair of images (normal and highlighted) placed by scale, position and rotation.
// The widget keeps the shown screen and each screen's highlight, draws the shown screen,
// moves the highlight with the arrow keys or under the cursor, and reports activation
// (Enter, Space) and back (Escape) to the menu logic, which decides what items do.
//
// Screens and items are numbered from 1 as the menu file counts them (front/MenuScreens.h).
#pragma once

#include "front/MenuScreens.h"
#include "front/VirtualKeys.h"
#include "render/Graphics.h"
#include "game/Sounds.h"
#include "render/Texture.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

// Scale, position and rotation, in the layout of a sprite's three fields.
struct TItemTransform
{
    TVector3 Scale;
    TVector3 Position;
    TVector3 Rotation;

    void CopyTo(T3DSprite& sprite) const
    {
        sprite.Scale = Scale;
        sprite.Position = Position;
        sprite.Rotation = Rotation;
    }
};

struct TMenuItem
{
    TItemTransform PressedTransform; // 98 % wide and high, 0.03 lower
    TItemTransform NormalTransform;  // as read from the menu file
    // Shared: the options screen borrows a caption's highlighted look for its spare slot.
    std::shared_ptr<T3DSprite> NormalSprite;
    std::shared_ptr<T3DSprite> HighlightSprite;
    bool Visible = false;
    bool Selectable = false;

    bool Usable() const { return Visible && Selectable; }
    // Inside the rectangle of NormalTransform, edges included (rotation ignored).
    bool Hit(float x, float y) const;
};

struct TMenuScreen
{
    int ItemCount = 0;
    int SelectedItem = 0; // 0 = none
    int HoverItem = 0;    // under the cursor after the last move: decides the move sound
    std::array<TMenuItem, MaxMenuItems + 1> Items{}; // 1-based
};

enum TMenuAction : int
{
    maNone = 0,
    maMoved = 1,
    maActivate = 2,
    maBack = 3,
};

struct TMenuKeyResult
{
    int Screen = 0;
    TMenuAction Action = maNone;
    int Item = 0;
};

class TD3DMenu
{
public:
    // playSound: how the menu sounds are heard; clock: seconds on a steady clock (the
    // 0.25 s guard after ShowScreen reads it). A null clock uses the system's.
    explicit TD3DMenu(std::function<void(TSound)> playSound, std::function<double()> clock = {});

    // ScreenCount := n (at most MaxMenuScreens), every screen emptied, screen 1 current.
    void SetScreenCount(int n);
    // Appends one item to a screen; a sprite is made only when its image exists. False
    // (and nothing added) for a screen outside 1..ScreenCount or a screen already full.
    bool AddItem(const std::shared_ptr<TDevice>& device, int screen,
                 const std::filesystem::path& normalImage,
                 const std::filesystem::path& highlightImage, const TVector3& position,
                 const TVector3& scale, const TVector3& rotation, bool visible, bool selectable);
    // Makes screen k current and highlights its lowest-numbered visible selectable item.
    // Its pictures are read; those of every other screen are let go.
    void ShowScreen(int k);
    // Reads the pictures of screen k and lets go of the others' (ShowScreen does it).
    void KeepPicturesOf(int k);
    // On the current screen: hides one item, shows another and highlights it.
    void SwapItem(int hidden, int shown);
    // The current screen, the highlighted item last and on top.
    void Draw(const TGraphics& g);
    TMenuKeyResult HandleKey(int key);
    // x, y: the cursor in world units on the menu plane.
    void HandleMouseMove(float x, float y);
    // More than 0.25 s since the last ShowScreen.
    bool InputReady() const;

    TMenuScreen& Screen(int k) { return Screens[k]; }
    TMenuScreen& Current() { return Screens[CurrentScreen]; }
    const TMenuScreen& Current() const { return Screens[CurrentScreen]; }
    TMenuItem& Item(int screen, int item) { return Screens[screen].Items[item]; }

    int ScreenCount = 0;
    double ShownAt = 0; // seconds on Clock
    int CurrentScreen = 1;
    std::array<TMenuScreen, MaxMenuScreens + 1> Screens{}; // 1-based
    bool Pressed = false;

private:
    // Moves the highlight by step (-1 or +1) with wrap-around to the next usable item; a
    // screen without one keeps its highlight (the search is bounded by the item count).
    void StepSelection(int step);
    // Reads (keep) or lets go of the pictures of screen k's items.
    void KeepScreen(int k, bool keep);
    void Play(TSound sound) const;
    double Now() const;

    std::function<void(TSound)> PlaySound;
    std::function<double()> Clock;
};
