#include "app/FormMain.h"

#include "base/DataError.h"
#include "base/DebugLog.h"
#include "app/ContentCheck.h"
#include "base/Memory.h"
#include "base/Text.h"
#include "app/DeviceErrorText.h"
#include "app/ExitSignals.h"
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
#include <exception>
#include <future>
#include <string>
#include <vector>

namespace
{
constexpr const char* ApplicationTitle = "Tandrel";

// The waits of the loop when a pass asks for no immediate successor, in ms.
constexpr uint32_t LaunchWait = 1;    // the load sequence follows the launch step
constexpr uint32_t StillMenuWait = 20; // a still menu looks for the end of its tune
constexpr uint32_t StillBoardWait = static_cast<uint32_t>(StillUpdateInterval);
constexpr uint32_t MinimisedWait = 250;
constexpr uint32_t LoadingFrameInterval = 100; // ms between frames of the loading bar

bool MusicTickState(TGameState s)
{
    return s == gsMenu || s == gsHiScores || s == gsTutorial;
}

int DesktopColourBits()
{
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0)
    {
        return 32;
    }
    return SDL_BITSPERPIXEL(desktop.format) <= 16 ? 16 : 32;
}
} // namespace

TFormMain::TWindowHandle::~TWindowHandle()
{
    if (Handle != nullptr)
    {
        SDL_DestroyWindow(Handle);
    }
}

TFormMain::TFormMain(TOptions& options, std::filesystem::path programFolder, std::filesystem::path userFolder) :
    Options(options),
    ProgramFolder(std::move(programFolder)),
    UserFolder(std::move(userFolder)),
    Random(TRandom::TimeOfDaySeed()),
    Host(options, Renderer, GameState),
    Router(GameState, AppActive),
    Input(Router)
{
    Renderer.Collector = {};
    SDL_ShowCursor(SDL_DISABLE);
    PointerShown = false;
    Clock.TotalTime = 0.0;
    Router.ResumeState = [this] { ResumeState(); };
    DebugLog(true, " Main form created");
    DebugLog(" " + LanguageLogLine());
}

TFormMain::~TFormMain()
{
    // Everything that holds the device goes before the window it draws into.
    LoadingBar.reset();
    Game.reset();
    Renderer = TRenderer{};
}

void TFormMain::SetFrontEnd(IFrontEnd& frontEnd)
{
    FrontEnd = &frontEnd;
    Router.FrontEnd = &frontEnd;
}

bool TFormMain::Show()
{
    // The launcher hides and gives the window its border.
    DebugLog(Options.Fullscreen ? " Fullscreen = True" : " Fullscreen = False");
    return FormShow();
}

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
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (Mode.Borderless)
    {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    else
    {
        // The picture keeps its shape in any size: a window may be resized and maximised.
        flags |= SDL_WINDOW_RESIZABLE;
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

bool TFormMain::FormShow()
{
    DebugLog(" Showing main form ");
    Renderer.Device.reset();
    SDL_DisplayMode desktop{};
    SDL_GetDesktopDisplayMode(0, &desktop);
    std::vector<std::string> log;
    Mode = ChooseVideoMode(Options, {desktop.w, desktop.h}, log);
    for (const std::string& line : log)
    {
        DebugLog(line);
    }
    bool ok = MakeWindow(true) && InitD3D(Renderer, Win.Handle, Mode.DeviceFullscreen, Mode.Width, Mode.Height,
                                          Mode.ColourBits, 0, true, true);
    if (!ok)
    {
        DebugLog(" Error init 3D");
        ShowMessageBox(TMessageKind::Warning, "Warning.", "Error initializing 3D Hardware.\nNow software will be used...");
        ReleaseD3D(Renderer);
        ok = MakeWindow(false) && InitD3D(Renderer, Win.Handle, Mode.DeviceFullscreen, Mode.Width, Mode.Height,
                                          Mode.ColourBits, 0, false, true);
    }
    if (!ok)
    {
        const char* driver = SDL_GetCurrentVideoDriver();
        DebugLog(" Graphics could not start: " + Renderer.StartError);
        FatalError(GraphicsStartText(driver != nullptr ? driver : "", Renderer.StartError));
        return false;
    }
    SetRenderDefaults(*Renderer.Device);
    SetLights(Renderer);
    // The picture is kept between frames, so a small change of the board redraws little
    // (where the window's formats cannot be matched off screen, frames are drawn whole).
    if (auto* gl = dynamic_cast<TGLDevice*>(Renderer.Device.get()))
    {
        gl->KeepPicture(true);
    }
    DebugLog(" Main form showed");
    ShowWindow();
    return true;
}

void TFormMain::ShowWindow()
{
    SDL_ShowWindow(Win.Handle);
    if (!Mode.Borderless)
    {
        // The chosen resolution is the outer size: the border and caption come off it.
        int top = 0, left = 0, bottom = 0, right = 0;
        if (SDL_GetWindowBordersSize(Win.Handle, &top, &left, &bottom, &right) == 0 && top + left + bottom + right > 0)
        {
            SDL_SetWindowSize(Win.Handle, Mode.Width - left - right, Mode.Height - top - bottom);
        }
        SDL_SetWindowPosition(Win.Handle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    SDL_RaiseWindow(Win.Handle);
    Minimised = false;
}

void TFormMain::FatalError(const std::string& message)
{
    ShowMessageBox(TMessageKind::Error, "Error", message);
    Terminating = true;
    ExitCode = 1;
}

void TFormMain::Close()
{
    if (Closed)
    {
        return;
    }
    Closed = true;
    DebugLog(" Closing mainform");
    // A game on the board goes to its save file as from the pause screen; the program is
    // ending, so a failure is told on standard error and in the log rather than in a box.
    if (std::string problem = FrontEnd->SaveGameOnExit(); !problem.empty())
    {
        std::fprintf(stderr, "Tandrel: %s\n", problem.c_str());
        std::replace(problem.begin(), problem.end(), '\n', ' ');
        DebugLog(" " + problem);
    }
    RememberWindowSize();
    Options.Save();
    Host.ShutdownSound();
    Terminating = true;
    DebugLog(" Main form closed");
    ReleaseD3D(Renderer);
}

void TFormMain::FormActivate()
{
    const uint32_t tick = SDL_GetTicks();
    Clock.Activate(tick, SDL_GetTicks());
    AppActive = true;
    DebugLog(" Form activated");
}

void TFormMain::Deactivate()
{
    AppActive = false;
    FocusPaused = true;
    // Losing the focus always minimises, also in a window.
    SDL_MinimizeWindow(Win.Handle);
    DebugLog(" Application deactivated");
    Host.StopMusic();
    Host.StopSound(snSelected);
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
    if (const bool large = LargeFontsFor(PictureArea(width, height).Height);
        Renderer.Cursor && Renderer.Device && large != Renderer.Fonts.Large)
    {
        LoadFontTextures(*Renderer.Device, Renderer.Fonts, ProgramFolder, large);
        DebugLog(large ? " Large fonts" : " Normal fonts");
    }
    NeedFrame = true;
}

void TFormMain::RememberWindowSize()
{
    if (Win.Handle == nullptr || Mode.Borderless ||
        (SDL_GetWindowFlags(Win.Handle) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED)) != 0)
    {
        return;
    }
    // The outer size, as the window is made from it.
    int width = 0, height = 0, top = 0, left = 0, bottom = 0, right = 0;
    SDL_GetWindowSize(Win.Handle, &width, &height);
    if (SDL_GetWindowBordersSize(Win.Handle, &top, &left, &bottom, &right) != 0)
    {
        top = left = bottom = right = 0;
    }
    Options.WindowSize = {width + left + right, height + top + bottom};
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
    const bool full = (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_FULLSCREEN) != 0 || Mode.Borderless;
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

void TFormMain::ToggleFullscreen()
{
    const bool full = (SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_FULLSCREEN) != 0 || Mode.Borderless;
    // Full screen goes to the display the window is on.
    const int display = std::max(0, SDL_GetWindowDisplayIndex(Win.Handle));
    if (!full)
    {
        RememberWindowSize();
        // Borderless over the whole display first, so the window fills it also where no
        // window manager carries out the request; then the request, for those that do.
        SDL_Rect bounds{};
        SDL_GetDisplayBounds(display, &bounds);
        SDL_SetWindowBordered(Win.Handle, SDL_FALSE);
        SDL_SetWindowPosition(Win.Handle, bounds.x, bounds.y);
        SDL_SetWindowSize(Win.Handle, bounds.w, bounds.h);
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
        // An ordinary window of the remembered size, also when it was made for full screen.
        SDL_SetWindowFullscreen(Win.Handle, 0);
        Options.Fullscreen = false;
        Options.PseudoFullscreen = false;
        SDL_DisplayMode desktop{};
        SDL_GetDesktopDisplayMode(display, &desktop);
        std::vector<std::string> log;
        const TVideoMode windowed = ChooseVideoMode(Options, {desktop.w, desktop.h}, log);
        SDL_SetWindowBordered(Win.Handle, SDL_TRUE);
        SDL_SetWindowResizable(Win.Handle, SDL_TRUE);
        SDL_SetWindowMinimumSize(Win.Handle, MinimumWindow.Width, MinimumWindow.Height);
        SDL_SetWindowSize(Win.Handle, windowed.Width, windowed.Height);
        SDL_SetWindowPosition(Win.Handle, static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(display)),
                              static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(display)));
        Mode.Borderless = false;
        Mode.DeviceFullscreen = false;
        DebugLog(" Full screen off");
    }
    Resized();
}

void TFormMain::ShowDeviceError(const char* caption, TResult code)
{
    AppActive = false;
    ShowMessageBox(TMessageKind::Information, caption, DeviceErrorText(code), Win.Handle);
}

TFrame TFormMain::Frame()
{
    TFrame f;
    f.State = GameState;
    f.Game = Game.get();
    f.Eye = Options.Eye;
    f.TotalTime = Clock.TotalTime;
    f.Fullscreen = Options.Fullscreen;
    f.PseudoFullscreen = Options.PseudoFullscreen;
    f.CursorPlatform = CursorPlatform.get();
    f.LoadingBar = LoadingBar.get();
    f.DrawMenuOverlay = [this] { FrontEnd->DrawFrontEnd(); };
    f.DrawHiScoreTable = [this](double totalTime) { FrontEnd->DrawScores(totalTime); };
    f.Regions = &Regions;
    f.OverlayKey = FrontEnd->OverlayKey();
    return f;
}

void TFormMain::HandleEvent(const SDL_Event& e)
{
    // Whatever the player does may start a game: the loading after the menu ends first.
    if (!LoadsAfterMenu.empty() &&
        (e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP ||
         e.type == SDL_CONTROLLERBUTTONDOWN || e.type == SDL_JOYBUTTONDOWN))
    {
        FinishLoading();
    }
    switch (e.type)
    {
    case SDL_DISPLAYEVENT:
        if (e.display.event == SDL_DISPLAYEVENT_DISCONNECTED)
        {
            KeepOnADisplay();
        }
        break;
    case SDL_QUIT:
        CloseRequested = true;
        break;
    case SDL_WINDOWEVENT:
        if (Win.Handle == nullptr || e.window.windowID != SDL_GetWindowID(Win.Handle))
        {
            break;
        }
        NeedFrame = true;
        switch (e.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE: CloseRequested = true; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        {
            const bool paused = FocusPaused;
            FormActivate();
            if (paused && !Minimised)
            {
                ResumeState();
            }
            break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED: Resized(); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Deactivate(); break;
        case SDL_WINDOWEVENT_MINIMIZED: Minimize(); break;
        case SDL_WINDOWEVENT_RESTORED:
            if (Minimised)
            {
                Restore();
            }
            break;
        default: break;
        }
        break;
    case SDL_KEYDOWN:
        NeedFrame = true;
        if (e.key.keysym.sym == SDLK_F11 ||
            (e.key.keysym.sym == SDLK_RETURN && (e.key.keysym.mod & KMOD_ALT) != 0))
        {
            if (e.key.repeat == 0)
            {
                ToggleFullscreen();
            }
            break;
        }
        Input.Handle(e);
        break;
    case SDL_MOUSEMOTION:
        NeedFrame = true;
        Router.MouseMove(e.motion.x, e.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        NeedFrame = true;
        if (const int button = MouseButton(e.button.button); button >= 0)
        {
            if (e.type == SDL_MOUSEBUTTONDOWN)
            {
                Router.MouseDown(button);
            }
            else
            {
                Router.MouseUp(button);
            }
        }
        break;
    default:
        if (Input.Handle(e))
        {
            NeedFrame = true; // keys and game controllers
        }
        break;
    }
}

void TFormMain::PumpEvents()
{
    if (ExitSignalled())
    {
        CloseRequested = true;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e))
    {
        HandleEvent(e);
    }
}

int TFormMain::Run()
{
    while (!Terminating)
    {
        PumpEvents();
        if (CloseRequested)
        {
            Close();
            break;
        }
        bool done = true;
        WaitMs = LaunchWait;
        IdlePass(done);
        if (!Terminating && !CloseRequested && ContinueLoading())
        {
            done = false;
        }
        if (CloseRequested)
        {
            Close();
        }
        if (done && !Terminating)
        {
            SDL_WaitEventTimeout(nullptr, static_cast<int>(WaitMs));
        }
    }
    return ExitCode;
}

TFrameDecision TFormMain::DecideFrame() const
{
    TFrameInputs in;
    in.State = GameState;
    in.DrawnState = DrawnState;
    in.NeedFrame = NeedFrame;
    in.FrontEndAnimating = FrontEnd->Animating();
    in.MusicDue = MusicTickState(GameState) && Host.MusicFinished();
    in.BoardStill = DrawnStill && Game && Game->Still();
    return ::DecideFrame(in, StillMenuWait, StillBoardWait);
}

void TFormMain::PacePresentation()
{
    // Where vertical sync holds the swap, the interval has passed already; where the
    // driver gives none (Xvfb, some drivers), the rest of it is waited out here.
    SDL_DisplayMode mode{};
    const int display = std::max(0, SDL_GetWindowDisplayIndex(Win.Handle));
    const int hz = SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
    const uint64_t frequency = SDL_GetPerformanceFrequency();
    const uint64_t interval = frequency / static_cast<uint64_t>(hz);
    const uint64_t margin = frequency / 1000; // a swap held by the display returns a little early
    const uint64_t now = SDL_GetPerformanceCounter();
    if (LastPresent != 0 && now - LastPresent + margin < interval)
    {
        SDL_Delay(static_cast<uint32_t>((interval - (now - LastPresent)) * 1000 / frequency));
    }
    LastPresent = SDL_GetPerformanceCounter();
}

void TFormMain::IdlePass(bool& done)
{
    if (!AppActive && !Minimised && !FocusPaused)
    {
        AppActive = true;
        ResumeState();
    }
    if (PointerShown != !AppActive)
    {
        PointerShown = !AppActive;
        SDL_ShowCursor(PointerShown ? SDL_ENABLE : SDL_DISABLE);
    }
    if (!AppActive)
    {
        // Minimised: wait for the event that brings the window back.
        WaitMs = MinimisedWait;
        return;
    }
    if (GameState == gsLaunch && (!Renderer.Device || !Renderer.Device->HasVertexBuffer()))
    {
        InitVertices(Renderer);
        LoadingBar = std::make_unique<TLoadingBar>(Renderer, ProgramFolder);
        LoadingBar->OnProgress = [this]
        {
            // The bar is drawn ten times a second at most: on the software rasteriser each
            // of its frames costs as much as the loading step it shows. The window is
            // served at every step all the same.
            const uint32_t now = SDL_GetTicks();
            if (LoadingShownAt == 0 || now - LoadingShownAt >= LoadingFrameInterval)
            {
                RenderScene(Renderer, Frame());
                LoadingShownAt = std::max<uint32_t>(1, SDL_GetTicks());
            }
            PumpEvents();
        };
        GameState = gsLoading;
        return;
    }
    if (GameState == gsLoading)
    {
        LoadSequence();
        if (Terminating || CloseRequested)
        {
            return;
        }
    }
    if (const TFrameDecision decision = DecideFrame(); !decision.Draw)
    {
        // No frame: the frame time restarts here, so the next frame (a game started from
        // a menu, say) is not handed the whole still spell as one step. A still board's
        // rules are updated all the same, with the time that has passed, so its idle
        // turns keep their rate; one that starts wakes the frames at once.
        const uint32_t now = SDL_GetTicks();
        if (GameState == gsGame && Game)
        {
            const uint32_t dt = now - Clock.LastTick;
            Clock.TotalTime += dt;
            Game->Update(static_cast<float>(dt));
            done = Game->Still();
        }
        Clock.Skip(now);
        WaitMs = decision.WaitMs;
        return;
    }
    if (NeedFrame)
    {
        Regions.Forget(); // after an event the frame is drawn whole
    }
    NeedFrame = false;
    ++Clock.FpsFrames;
    // The board drawn now is still: until it moves, nothing needs drawing again.
    DrawnStill = GameState == gsGame && Game && Game->Still();
    const TResult result = RenderScene(Renderer, Frame());
    if (Failed(result))
    {
        AppActive = false;
        ShowDeviceError("Render", result);
        DebugLog(" Render error ");
        return;
    }
    DrawnState = GameState;
    PacePresentation();
    const uint32_t now = SDL_GetTicks();
    Clock.FrameDone(now, SDL_GetTicks());
    if (auto line = Clock.FrameRate(GameState, Options.WriteDebug, SDL_GetTicks()))
    {
        DebugLog(*line);
    }
    if (GameState == gsGame && Game)
    {
        Game->Update(static_cast<float>(Clock.FrameDelta));
    }
    if (MusicTickState(GameState))
    {
        Host.MenuMusicTick();
    }
    done = false;
}

void TFormMain::ContentFailed(std::vector<std::string> problems)
{
    // Every file that cannot be read, of whatever kind, in one message; the program ends
    // cleanly. The log keeps them too.
    LoadingBar.reset();
    for (const std::string& line : problems)
    {
        DebugLog(" Cannot read " + line);
    }
    ShowMessageBox(TMessageKind::Error, ApplicationTitle, ContentMessage(problems));
    ExitCode = 1;
    CloseRequested = true;
}

void TFormMain::DataFileFailed(const std::exception& e)
{
    // A damaged data file, behind the loading bar or after the menu showed: named with its
    // line, together with any other file's fault.
    LoadsAfterMenu.clear();
    std::vector<std::string> problems = ContentProblems(ProgramFolder, true);
    if (std::find(problems.begin(), problems.end(), e.what()) == problems.end())
    {
        problems.insert(problems.begin(), e.what());
    }
    ContentFailed(std::move(problems));
}

void TFormMain::LoadSequence()
{
    // What the main menu needs is loaded behind the loading bar; the menu then shows, and
    // what a game needs follows while it waits (ContinueLoading), its lines in the same
    // order in the log.
    TLoadingBar& bar = *LoadingBar;
    // Every file is opened and its header read before anything loads, so that a file missing
    // or damaged is named with all the others, also those shown only later. Where one is,
    // the text files are read through as well, to name their faults in the same message.
    if (!ContentProblems(ProgramFolder, false).empty())
    {
        ContentFailed(ContentProblems(ProgramFolder, true));
        return;
    }
    // The sound starts on a thread of its own (the device, the tunes, the effects) while the
    // menu's pictures load; nothing plays before it is joined below. Should the loading end
    // early, the future waits for it as it goes.
    std::future<bool> sound = std::async(std::launch::async, [this] { return Host.StartSound(ProgramFolder); });
    try
    {
        bar.SetProgress(1);
        FrontEnd->LoadMenu(&bar);
        bar.SetProgress(11);
        Game = std::make_unique<TGame>(Host, Random, ProgramFolder / "data", UserFolder / "data");
        Game->Create();
        FrontEnd->SetGame(Game.get());
        Router.Game = Game.get();
        sound.get();
        bar.SetProgress(13);
        Renderer.Cursor = CreateCursor(Renderer.Device, ProgramFolder, Win.Handle);
        Router.Cursor = Renderer.Cursor.get();
        Router.Graphics = &Renderer;
        bar.SetProgress(14);
        int width = 0, height = 0;
        SDL_GetWindowSize(Win.Handle, &width, &height);
        LoadFontTextures(*Renderer.Device, Renderer.Fonts, ProgramFolder, LargeFontsFor(PictureArea(width, height).Height));
        if (Renderer.Fonts.Large)
        {
            DebugLog(" Large fonts");
        }
        LoadFontMetrics(Renderer.Fonts, ProgramFolder);
        TScoreLabels measured;
        MeasureLabels(Renderer.Fonts, measured);
        Game->SetLabelAdvance(measured);
        FrontEnd->CreateHiScores();
        DebugLog(" loading initialise 1");
        LoadsAfterMenu.emplace_back(
            [this]
            {
                DebugLog(" loading initialise 2");
                DebugLog(" loading createlevels");
                Game->CreateLevels();
                DebugLog(" loading createbonus");
                Game->CreateBonus();
            });
        for (TLoadStep& step : ResourceLoadSteps(Renderer, ProgramFolder))
        {
            LoadsAfterMenu.push_back(std::move(step.Load));
        }
        LoadsAfterMenu.emplace_back(
            [this]
            {
                ReturnFreedMemory(); // what the decoders held
                DebugLog(" ... Loading finished");
                DebugLog("");
            });
        bar.SetProgress(30);
        FrontEnd->EnterMainMenu();
    }
    catch (const std::exception& e)
    {
        DataFileFailed(e);
        return;
    }
    LoadingBar.reset();
    ReturnFreedMemory(); // the loading picture
    Host.PlaySound(snTandrel);
    int left = 0, top = 0, width = 0, height = 0;
    SDL_GetWindowPosition(Win.Handle, &left, &top);
    int borderTop = 0, borderLeft = 0;
    SDL_GetWindowBordersSize(Win.Handle, &borderTop, &borderLeft, nullptr, nullptr);
    SDL_GetWindowSize(Win.Handle, &width, &height);
    SDL_WarpMouseGlobal(left - borderLeft + width / 2, top - borderTop + height / 2);
    NeedFrame = true;
}

bool TFormMain::ContinueLoading()
{
    if (LoadsAfterMenu.empty() || GameState == gsLoading || GameState == gsLaunch)
    {
        return false;
    }
    try
    {
        const std::function<void()> step = std::move(LoadsAfterMenu.front());
        LoadsAfterMenu.pop_front();
        step();
    }
    catch (const std::exception& e)
    {
        DataFileFailed(e);
        return false;
    }
    return !LoadsAfterMenu.empty();
}

void TFormMain::FinishLoading()
{
    while (ContinueLoading())
    {
    }
}
