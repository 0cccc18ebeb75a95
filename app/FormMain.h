// app/ owns the program: main(), the launcher and dialogs (GTK), the main window with its
// frame loop and load sequence, SDL events turned into key codes, and the hosts that wire
// the rules and the menus to sound, cursor and camera. It may include every folder; nothing
// past it sees an SDL type. This is its main header.
//
// The main window: the SDL window with the game's OpenGL device, and the loop that drives
// everything once the launcher has handed over. One idle pass drains the events, then
// runs the launch step or the load sequence, draws a frame, measures the frame time,
// advances a running game and keeps the menu music going.
//
// Unlike the original loop, this one never burns a core: presentation is paced at the
// display's refresh (vertical sync, or a wait for the rest of the interval where the
// driver gives none), a minimised window waits for events, and the menu screens and the
// board are redrawn only after a change, while something moves, or when the music needs
// its tick; a still board's rules are updated without frames (DecideFrame, FrameClock.h).
#pragma once

#include "app/FrameClock.h"
#include "front/IFrontEnd.h"
#include "render/ChangeRegions.h"
#include "render/GameState.h"
#include "app/InputEvents.h"
#include "app/InputRouting.h"
#include "base/Options.h"
#include "game/Random.h"
#include "render/RenderScene.h"
#include "render/Renderer.h"
#include "app/ShellHost.h"
#include "app/VideoMode.h"

#include <SDL_events.h>

#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TGame;
class TLoadingBar;
struct SDL_Window;

class TFormMain
{
public:
    // FormCreate: seeds the generator, gsLaunch, hides the pointer, starts a new
    // debug.txt with " Main form created".
    TFormMain(TOptions& options, std::filesystem::path programFolder, std::filesystem::path userFolder);
    ~TFormMain();
    TFormMain(const TFormMain&) = delete;
    TFormMain& operator=(const TFormMain&) = delete;

    // The launcher hands over: the window in the mode of the settings with its device.
    // False when no device could be started (the "Error" box has been shown).
    bool Show();
    // Events and frames until the window is closed; the program's exit status.
    int Run();
    // Closing the window: the settings are saved, the sound shut down, the device released.
    void Close();
    // The menus: set once, before Show. They reach the shell through FrontHost().
    void SetFrontEnd(IFrontEnd& frontEnd);
    IFrontHost& FrontHost() { return Host; }

    TScreenState GameState; // starts at gsLaunch
    TOptions& Options;
    TRenderer Renderer;
    std::unique_ptr<TGame> Game;
    TFrameClock Clock; // FrameDelta, TotalTime and the frame-rate window
    bool AppActive = false;
    SDL_Window* Window() const { return Win.Handle; }

private:
    struct TWindowHandle
    {
        SDL_Window* Handle = nullptr;
        ~TWindowHandle();
    };

    bool FormShow();
    bool MakeWindow(bool hardware);
    void ShowWindow();
    void FatalError(const std::string& message);
    void FormActivate();
    void Deactivate();
    void Minimize();
    void Restore();
    void ResumeState();
    void ToggleFullscreen();
    // The window look after full screen: framed, of the remembered size, on this display.
    void BecomeWindow(int display);
    // The window covers its display, whoever made it so (the game, the window manager).
    bool FullScreenNow() const;
    // After a new size: the settings and the mode say full screen exactly when it is.
    void FollowFullScreen();
    void KeepOnADisplay();
    void Resized();
    void RememberWindowSize();
    // Once the window manager has framed an ordinary window (or after a moment without
    // one): the window and its frame lie wholly on the display's usable area.
    void PlaceWindow();
    void ShowDeviceError(const char* caption, TResult code);
    void IdlePass(bool& done);
    void DataFileFailed(const std::exception& e);
    void ContentFailed(std::vector<std::string> problems);
    void LoadSequence();
    // The rest of the loading, after the menu shows: one step a pass while the menu waits,
    // all of it before anything the player does is acted on.
    bool ContinueLoading();
    void FinishLoading();
    void HandleEvent(const SDL_Event& e);
    void PumpEvents();
    TFrameDecision DecideFrame() const;
    void PacePresentation();
    // With the debug log on: while a save is written, the longest frame (ms; below zero
    // when no frame was drawn this pass), told in one line when the save is done.
    void NoteSaving(double frameMs);
    TFrame Frame();

    // Declared first, so the window outlives everything that draws into it.
    TWindowHandle Win;
    std::filesystem::path ProgramFolder;
    std::filesystem::path UserFolder;
    TRandom Random;
    IFrontEnd* FrontEnd = nullptr;
    TShellHost Host;
    TInputRouter Router;
    TInputEvents Input;
    std::unique_ptr<ICursorPlatform> CursorPlatform;
    std::unique_ptr<TLoadingBar> LoadingBar;
    std::deque<std::function<void()>> LoadsAfterMenu;
    TVideoMode Mode;
    bool Minimised = false;
    // The focus went to another program: frames, the tune and the timed drain stay stopped
    // until the focus comes back (or a click resumes), whatever the window manager did
    // with the request to minimise.
    bool FocusPaused = false;
    bool PointerShown = true;
    // The game's own message boxes counted at the last focus event: a focus lost to one of
    // them never minimises.
    int MessagesAtFocus = 0;
    bool PlacePending = false;
    bool PointerResting = true; // no move of the player's since the pointer came to rest
    int RestX = -1, RestY = -1; // where it rests in the window (-1: its next position)
    uint32_t PlaceBy = 0;      // the tick after which a window is placed without its frame known
    uint32_t WatchFrameUntil = 0; // until then a new frame places the window again
    TFrameBorders Borders;     // the frame last seen around an ordinary window
    TResolution AskedSize;     // the client size the game last gave its window
    TResolution NormalSize;    // the client area before the window was last maximised
    TResolution EarlierNormal; // the one before that (a maximise may report its size first)
    bool Terminating = false;
    bool Closed = false;
    bool CloseRequested = false; // a close that arrived while loading, done after it
    int ExitCode = 0;
    bool NeedFrame = true;
    TGameState DrawnState = gsLaunch;
    bool DrawnStill = false; // the game's board was still in the last frame drawn
    bool DrawnSparking = false; // ... still but for the bombs' fuse sparks
    uint32_t DrawnAt = 0;       // tick at which the last frame began
    uint32_t WaitMs = 10;
    uint64_t LastPresent = 0;
    bool SaveUnderWay = false;
    int SaveFrames = 0;
    double SaveLongestFrame = 0;
    uint32_t LoadingShownAt = 0; // when the loading bar was last drawn (0: not yet)
    TChangeRegions Regions; // what the last frame drew of the board, for the next one's region
};
