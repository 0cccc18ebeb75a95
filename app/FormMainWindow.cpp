// The main window's own part: making it, placing it on the screen, its size and full
// screen, minimising and restoring it.
#include "app/FormMain.h"

#include "base/DataError.h"
#include "base/DebugLog.h"
#include "app/ContentCheck.h"
#include "base/Memory.h"
#include "base/Text.h"
#include "app/DeviceErrorText.h"
#include "app/ExitSignals.h"
#include "app/Folders.h"
#include "render/Font.h"
#include "render/GLDevice.h"
#include "game/Game.h"
#include "app/KeyCodes.h"
#include "render/LoadingBar.h"
#include "render/PictureArea.h"
#include "app/MessageBox.h"
#include "render/RenderScene.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <future>
#include <string>
#include <vector>

namespace
{
int DesktopColourBits()
{
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
    {
        return 32;
    }
    return SDL_BITSPERPIXEL(desktop.format) <= 16 ? 16 : 32;
}

// Wayland: the compositor always carries out a request for full screen and says when it
// takes full screen away; a window has no place of its own.
bool OnWayland()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "wayland") == 0;
}
} // namespace

bool TFormMain::MakeWindow(bool hardware)
{
    if (Win.Handle != nullptr)
    {
        SDL_DestroyWindow(Win.Handle);
        Win.Handle = nullptr;
    }
    // The visual of the window is chosen when it is made: the device's pixel format first.
    TDeviceParams params;
    params.Fullscreen = Mode.DeviceFullscreen;
    params.Width = Mode.Width;
    params.Height = Mode.Height;
    params.ColourBits = Mode.DeviceFullscreen ? Mode.ColourBits : DesktopColourBits();
    params.Hardware = hardware;
    params.Depth = true;
    SetDeviceAttributes(params);
    // A high-density output gets the picture at its own pixels; the mouse keeps the window's
    // units, mapped into the picture area of the window's size.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (Mode.Borderless)
    {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    else
    {
        // The picture keeps its shape in any size: a window may be resized and maximised.
        flags |= SDL_WINDOW_RESIZABLE | (Mode.Maximised ? SDL_WINDOW_MAXIMIZED : 0);
    }
    const int position = Mode.Borderless && !Mode.DeviceFullscreen ? 0 : static_cast<int>(SDL_WINDOWPOS_CENTERED);
    Win.Handle = SDL_CreateWindow(ApplicationTitle, position, position, Mode.Width, Mode.Height, flags);
    if (Win.Handle != nullptr && !Mode.Borderless)
    {
        SDL_SetWindowMinimumSize(Win.Handle, MinimumWindow.Width, MinimumWindow.Height);
    }
    CursorPlatform = Win.Handle != nullptr ? std::make_unique<TSDLCursorPlatform>(Win.Handle) : nullptr;
    return Win.Handle != nullptr;
}

void TFormMain::ShowWindow()
{
    SDL_ShowWindow(Win.Handle);
    if (!Mode.Borderless)
    {
        PlacePending = true;
        PlaceBy = SDL_GetTicks() + 1000;
        SDL_GetWindowSize(Win.Handle, &AskedSize.Width, &AskedSize.Height);
        PlaceWindow();
    }
    SDL_RaiseWindow(Win.Handle);
    Minimised = false;
}

void TFormMain::Minimize()
{
    AppActive = false;
    Minimised = true;
    DebugLog(" Application minimized");
}

void TFormMain::Restore()
{
    DebugLog(" Restore application");
    ResumeState();
    // The device survives minimising, also in true full screen: a game in progress goes
    // on where it was, with nothing released or loaded again.
    SDL_RestoreWindow(Win.Handle);
    Minimised = false;
    AppActive = true;
    DebugLog(" Application restored");
}

void TFormMain::ResumeState()
{
    FocusPaused = false;
    // The time spent away never reaches the game as one long frame (a timed game would
    // drain it all at once).
    Clock.Skip(SDL_GetTicks());
    switch (GameState)
    {
    case gsLaunch: DebugLog(" Game = gsLaunch"); break;
    case gsMenu: DebugLog(" Game = gsMenu"); break;
    case gsGame: DebugLog(" Game = gsGame"); break;
    case gsLoading: DebugLog(" Game = gsLoading"); break;
    default: DebugLog(" Game = other"); break;
    }
    Host.StopMusic();
    if (GameState == gsGame)
    {
        if (Game && Game->View().Mode == gmNormal)
        {
            Host.PlayMusic(tnTheme1);
        }
        else if (Game && Game->View().Mode == gmTimed)
        {
            Host.PlayMusic(tnTheme2);
        }
    }
    else
    {
        Host.PlayMusic(tnMenu1);
    }
    NeedFrame = true;
}

void TFormMain::Resized()
{
    // The device draws into the new size at once; the mouse maps into the new picture area.
    int width = 0, height = 0;
    SDL_GetWindowSize(Win.Handle, &width, &height);
    if (Renderer.Cursor)
    {
        Renderer.Cursor->SetClientSize(width, height);
    }
    // Across 960 pixels of picture height the other font set comes in, the one before going
    // (a few milliseconds, once); the fonts load with the cursor, so it tells they are in.
    // Pixels as drawn: on a high-density output the drawable has more than the window's size.
    int drawnWidth = 0, drawnHeight = 0;
    SDL_GL_GetDrawableSize(Win.Handle, &drawnWidth, &drawnHeight);
    if (const bool large = LargeFontsFor(PictureArea(drawnWidth, drawnHeight).Height);
        Renderer.Cursor && Renderer.Device && large != Renderer.Fonts.Large)
    {
        LoadFontTextures(*Renderer.Device, Renderer.Fonts, ProgramFolder, large);
        DebugLog(large ? " Large fonts" : " Normal fonts");
    }
    const Uint32 flags = SDL_GetWindowFlags(Win.Handle);
    if ((flags & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) == 0 && !FullScreenNow() &&
        (NormalSize.Width != width || NormalSize.Height != height))
    {
        EarlierNormal = NormalSize;
        NormalSize = {width, height};
    }
    RememberWindowSize(); // as it is now, for leaving full screen and for the next start
    NeedFrame = true;
}

void TFormMain::FollowFullScreen()
{
    // Full screen is what the window is, whoever changed it: the window manager may have
    // made it so or taken it away.
    if (const bool full = FullScreenNow();
        full != Options.Fullscreen && (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_MINIMIZED) == 0)
    {
        Options.Fullscreen = full;
        Options.PseudoFullscreen = Options.PseudoFullscreen && full;
        Mode.Borderless = Mode.Borderless && full;
        Mode.DeviceFullscreen = Mode.DeviceFullscreen && full;
        DebugLog(full ? " Full screen on (the window fills its display)" : " Full screen off (a window again)");
        if (!full && OnWayland() && (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_BORDERLESS) != 0)
        {
            // Made full screen at the start and left by the compositor borderless, of the
            // display's size: the window the player would have had.
            BecomeWindow(std::max(0, SDL_GetWindowDisplayIndex(Win.Handle)));
        }
    }
}

bool TFormMain::FullScreenNow() const
{
    if (Win.Handle == nullptr)
    {
        return false;
    }
    SDL_Rect bounds{}, client{};
    SDL_GetWindowPosition(Win.Handle, &client.x, &client.y);
    SDL_GetWindowSize(Win.Handle, &client.w, &client.h);
    const bool covers = SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(Win.Handle)), &bounds) == 0 &&
                        client.w >= bounds.w && client.h >= bounds.h;
    // Wayland tells a window whether it is full screen, whoever made it so (SDL's flag follows
    // the compositor's word), but nothing of where it lies: a window the compositor took out
    // of full screen keeps the display's size. Only the game's own borderless full screen is
    // judged by its size there.
    if (OnWayland())
    {
        return (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_FULLSCREEN) != 0 ||
               (Mode.Borderless && !Mode.DeviceFullscreen && covers);
    }
    // The client area covers the display: no frame, no panel.
    return covers && client.x <= bounds.x && client.y <= bounds.y;
}

void TFormMain::PlaceWindow()
{
    const Uint32 flags = SDL_GetWindowFlags(Win.Handle);
    const uint32_t now = SDL_GetTicks();
    // A moment after placing, the window manager may still change the frame (openbox gives a
    // window coming out of full screen its bottom edge late): placed again for the new one.
    const bool watching = !PlacePending && WatchFrameUntil != 0 && !SDL_TICKS_PASSED(now, WatchFrameUntil);
    if ((!PlacePending && !watching) || (flags & (SDL_WINDOW_MAXIMIZED | SDL_WINDOW_MINIMIZED)) != 0 ||
        Mode.Borderless || Options.Fullscreen)
    {
        PlacePending = PlacePending && (flags & SDL_WINDOW_MINIMIZED) != 0;
        return;
    }
    TFrameBorders frame;
    const bool framed = SDL_GetWindowBordersSize(Win.Handle, &frame.Top, &frame.Left, &frame.Bottom, &frame.Right) == 0 &&
                        frame.Top + frame.Left + frame.Bottom + frame.Right > 0;
    if (watching ? !framed || frame == Borders : !framed && !SDL_TICKS_PASSED(now, PlaceBy))
    {
        return; // the window manager has not framed it yet, or the frame is the one placed in
    }
    PlacePending = false;
    WatchFrameUntil = now + 1000;
    if (framed)
    {
        Borders = frame;
    }
    const int display = std::max(0, SDL_GetWindowDisplayIndex(Win.Handle));
    SDL_Rect area{};
    if (SDL_GetDisplayUsableBounds(display, &area) != 0)
    {
        return;
    }
    const TScreenRect usable{area.x, area.y, area.w, area.h};
    TScreenRect shown;
    SDL_GetWindowPosition(Win.Handle, &shown.X, &shown.Y);
    SDL_GetWindowSize(Win.Handle, &shown.Width, &shown.Height);
    // The chosen resolution is the outer size: the frame comes off it. Centred on the display;
    // a size given from outside meanwhile (the player, a window manager) is only kept on it.
    const TResolution size = WindowClientSize(Mode, Borders, usable);
    const int outerW = size.Width + Borders.Left + Borders.Right;
    const int outerH = size.Height + Borders.Top + Borders.Bottom;
    const bool ours = shown.Width == AskedSize.Width && shown.Height == AskedSize.Height;
    const TScreenRect placed =
        FitOnScreen(ours ? TScreenRect{area.x + (area.w - outerW) / 2 + Borders.Left,
                                       area.y + (area.h - outerH) / 2 + Borders.Top, size.Width, size.Height}
                         : shown,
                    Borders, usable);
    AskedSize = {placed.Width, placed.Height};
    if (shown.Width != placed.Width || shown.Height != placed.Height)
    {
        SDL_SetWindowSize(Win.Handle, placed.Width, placed.Height);
    }
    if (shown.X != placed.X || shown.Y != placed.Y)
    {
        SDL_SetWindowPosition(Win.Handle, placed.X, placed.Y);
    }
    DebugLog(" Window placed at " + std::to_string(placed.X) + "," + std::to_string(placed.Y) + " " +
             std::to_string(placed.Width) + "x" + std::to_string(placed.Height) +
             (framed ? " in a frame of " + std::to_string(frame.Left + frame.Right) + "x" +
                           std::to_string(frame.Top + frame.Bottom)
                     : " (no frame known)"));
    // From now on the window's size is its client area.
    Mode.Width = placed.Width;
    Mode.Height = placed.Height;
    Mode.ClientSize = true;
}

void TFormMain::RememberWindowSize()
{
    if (Win.Handle == nullptr || Mode.Borderless || FullScreenNow() ||
        (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_MINIMIZED) != 0)
    {
        return;
    }
    // The client area, as the window is made from it; a maximised window keeps the size it
    // had before.
    Options.WindowMaximised = (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_MAXIMIZED) != 0;
    if (!Options.WindowMaximised)
    {
        int width = 0, height = 0;
        SDL_GetWindowSize(Win.Handle, &width, &height);
        Options.WindowSize = {width, height};
    }
    else if (NormalSize.Width > 0)
    {
        Options.WindowSize = NormalSize;
    }
}

void TFormMain::KeepOnADisplay()
{
    // A display went away (a laptop undocked): a window that no display shows any more
    // comes to the first display and fits it, full screen there when it was full screen.
    if (Win.Handle == nullptr)
    {
        return;
    }
    SDL_Rect window{};
    SDL_GetWindowPosition(Win.Handle, &window.x, &window.y);
    SDL_GetWindowSize(Win.Handle, &window.w, &window.h);
    bool shown = false;
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i)
    {
        SDL_Rect bounds{};
        shown = shown || (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_HasIntersection(&window, &bounds));
    }
    const bool full = FullScreenNow();
    SDL_Rect first{};
    if (shown || SDL_GetDisplayBounds(0, &first) != 0)
    {
        return;
    }
    DebugLog(" A display went away: the window moves to the first display");
    if (full)
    {
        SDL_SetWindowFullscreen(Win.Handle, 0);
        SDL_SetWindowPosition(Win.Handle, first.x, first.y);
        SDL_SetWindowSize(Win.Handle, first.w, first.h);
        if (SDL_SetWindowFullscreen(Win.Handle, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        {
            DebugLog(std::string(" Full screen refused, a borderless window is used: ") + SDL_GetError());
        }
    }
    else
    {
        SDL_SetWindowSize(Win.Handle, std::min(window.w, first.w), std::min(window.h, first.h));
        SDL_SetWindowPosition(Win.Handle, static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(0)),
                              static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(0)));
    }
    Resized();
}

void TFormMain::BecomeWindow(int display)
{
    // An ordinary window of the remembered size, fitted with its frame to the display.
    Options.Fullscreen = false;
    Options.PseudoFullscreen = false;
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(display, &desktop);
    std::vector<std::string> log;
    const TVideoMode windowed = ChooseVideoMode(Options, {desktop.w, desktop.h}, log);
    SDL_Rect area{};
    SDL_GetDisplayUsableBounds(display, &area);
    const TResolution size = WindowClientSize(windowed, Borders, {area.x, area.y, area.w, area.h});
    SDL_SetWindowBordered(Win.Handle, SDL_TRUE);
    SDL_SetWindowResizable(Win.Handle, SDL_TRUE);
    SDL_SetWindowMinimumSize(Win.Handle, MinimumWindow.Width, MinimumWindow.Height);
    SDL_SetWindowSize(Win.Handle, size.Width, size.Height);
    SDL_SetWindowPosition(Win.Handle, static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(display)),
                          static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(display)));
    Mode = windowed;
    Mode.Width = size.Width;
    Mode.Height = size.Height;
    Mode.ClientSize = true;
    if (Mode.Maximised)
    {
        SDL_MaximizeWindow(Win.Handle);
    }
    // Once framed again, the window is fitted and centred with its frame.
    SDL_GetWindowSize(Win.Handle, &AskedSize.Width, &AskedSize.Height);
    PlacePending = true;
    PlaceBy = SDL_GetTicks() + 1000;
}

void TFormMain::ToggleFullscreen()
{
    // What the window is, not what was last asked: the window manager may have changed it.
    const bool full = FullScreenNow();
    const bool sdlFull = (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_FULLSCREEN) != 0;
    // Full screen goes to the display the window is on.
    const int display = std::max(0, SDL_GetWindowDisplayIndex(Win.Handle));
    if (!full)
    {
        RememberWindowSize();
        // Borderless over the whole display first, so the window fills it also where no
        // window manager carries out the request; then the request, for those that do. A
        // compositor gives the window its size back itself when it ends full screen.
        SDL_Rect bounds{};
        SDL_GetDisplayBounds(display, &bounds);
        if (sdlFull)
        {
            SDL_SetWindowFullscreen(Win.Handle, 0); // left by the window manager: SDL still thinks it full
        }
        if (!OnWayland())
        {
            SDL_SetWindowBordered(Win.Handle, SDL_FALSE);
            SDL_SetWindowPosition(Win.Handle, bounds.x, bounds.y);
            SDL_SetWindowSize(Win.Handle, bounds.w, bounds.h);
        }
        if (SDL_SetWindowFullscreen(Win.Handle, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        {
            DebugLog(std::string(" Full screen refused, a borderless window is used: ") + SDL_GetError());
        }
        Options.Fullscreen = true;
        Options.Desktop = true; // the toggle uses the display's own size
        DebugLog(" Full screen on");
    }
    else
    {
        // An ordinary window of the remembered size, also when it was made for full screen,
        // fitted with its frame to the display.
        if (!sdlFull)
        {
            // Made full by the window manager, or a borderless window of the display's size.
            SDL_SetWindowFullscreen(Win.Handle, SDL_WINDOW_FULLSCREEN_DESKTOP);
        }
        SDL_SetWindowFullscreen(Win.Handle, 0);
        BecomeWindow(display);
        DebugLog(" Full screen off");
    }
    Resized();
}
