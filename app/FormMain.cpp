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
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <future>
#include <string>
#include <vector>

namespace
{
// The waits of the loop when a pass asks for no immediate successor, in ms.
constexpr uint32_t LaunchWait = 1;    // the load sequence follows the launch step
constexpr uint32_t StillMenuWait = 20; // a still menu looks for the end of its tune
constexpr uint32_t StillBoardWait = static_cast<uint32_t>(StillUpdateInterval);
constexpr uint32_t MinimisedWait = 250;
constexpr uint32_t LoadingFrameInterval = 100; // ms between frames of the loading bar
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
        ShowMessageBox(TMessageKind::Warning, _("Warning."), _("Error initializing 3D Hardware.\nNow software will be used..."));
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
        const char* driver = SDL_GetCurrentVideoDriver();
        const bool kept = gl->KeepPicture(true);
        DebugLog(std::string(" Video driver ") + (driver != nullptr ? driver : "?") +
                 (!kept                         ? ": frames drawn whole"
                  : gl->KeepsPictureInWindow() ? ": the window keeps the picture, a region frame shows its region"
                                               : ": the picture kept off screen, copied whole at every frame"));
    }
    DebugLog(" Main form showed");
    ShowWindow();
    return true;
}

void TFormMain::FatalError(const std::string& message)
{
    ShowMessageBox(TMessageKind::Error, _("Error"), message);
    Terminating = true;
    ExitCode = 1;
}

void TFormMain::Close()
{
    if (Closed)
    {
        return;
    }
    // A game on the board goes to its save file as from the pause screen. When that fails,
    // the player chooses: try again, leave without the game, or go back to it. A desktop
    // that ends the program (a signal) leaves no one to ask: the failure is told on standard
    // error and in the log, and the last save that did land stays.
    bool lastTry = false;
    for (;;)
    {
        std::string problem = FrontEnd->SaveGameOnExit();
        if (problem.empty())
        {
            break;
        }
        std::string line = problem;
        std::replace(line.begin(), line.end(), '\n', ' ');
        DebugLog(" " + line);
        if (ExitSignalled())
        {
            // No one to ask: one more try (the folder may have been mended while a question
            // was open), then the last save that landed stays.
            if (lastTry)
            {
                break;
            }
            lastTry = true;
            continue;
        }
        const int answer =
            AskMessageBox(TMessageKind::Warning, ApplicationTitle,
                          problem + "\n" + _("Try again, leave without the game, or go back to it?"),
                          {_("Try again"), _("Leave unsaved"), _("Back to the game")}, Win.Handle);
        ++Host.MessagesShown; // the game's own box took the focus: no reason to get out of the way
        if (answer == 1)
        {
            DebugLog(" Left without the game, as the player chose");
            FrontEnd->DropGameOnExit();
            break;
        }
        if (answer == 2)
        {
            DebugLog(" Back to the game, which could not be saved");
            CloseRequested = false;
            FrontEnd->BackToPausedGame();
            NeedFrame = true;
            return;
        }
        if (answer != 0 && !ExitSignalled())
        {
            break; // no box could ask
        }
    }
    Closed = true;
    DebugLog(" Closing mainform");
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
    const bool ownBox = Host.MessagesShown != MessagesAtFocus;
    MessagesAtFocus = Host.MessagesShown;
    if ((SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_INPUT_FOCUS) != 0)
    {
        return; // the focus came back already (a box of the game's own has closed)
    }
    AppActive = false;
    FocusPaused = true;
    // A full-screen game gets out of the way; a window stays where it is, paused. A box of
    // the game's own took the focus over the game, which stays.
    if (!ownBox && FullScreenNow())
    {
        SDL_MinimizeWindow(Win.Handle);
    }
    DebugLog(" Application deactivated");
    Host.StopMusic();
    Host.StopSound(snSelected);
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
        case SDL_WINDOWEVENT_ENTER:
            DebugLog(" Pointer came into the window");
            PointerResting = true;
            RestX = -1;
            break;
        case SDL_WINDOWEVENT_LEAVE: DebugLog(" Pointer left the window"); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
        {
            MessagesAtFocus = Host.MessagesShown;
            const bool paused = FocusPaused;
            FormActivate();
            if (paused && !Minimised)
            {
                ResumeState();
            }
            break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            Resized();
            FollowFullScreen();
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (NormalSize.Width > 0 && EarlierNormal.Width > 0)
            {
                int width = 0, height = 0;
                SDL_GetWindowSize(Win.Handle, &width, &height);
                if (NormalSize.Width == width && NormalSize.Height == height)
                {
                    NormalSize = EarlierNormal; // the maximised size came before the news
                }
            }
            RememberWindowSize();
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST: Deactivate(); break;
        case SDL_WINDOWEVENT_MINIMIZED: Minimize(); break;
        case SDL_WINDOWEVENT_RESTORED:
            if (Minimised)
            {
                Restore();
            }
            RememberWindowSize();
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
    case SDL_TEXTINPUT:
        NeedFrame = true;
        Router.TextInput(e.text.text);
        break;
    case SDL_MOUSEMOTION:
        NeedFrame = true;
        // Where the pointer rests when the menu shows or comes into the window (or where the
        // start-up move put it) is not the player's move: the menu's highlight stays.
        if (PointerResting)
        {
            if (RestX < 0 || (e.motion.x == RestX && e.motion.y == RestY))
            {
                RestX = e.motion.x;
                RestY = e.motion.y;
                break;
            }
            PointerResting = false;
        }
        Router.MouseMove(e.motion.x, e.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        NeedFrame = true;
        if (PointerResting && e.type == SDL_MOUSEBUTTONDOWN)
        {
            PointerResting = false; // a click is meant where the pointer is
            Router.MouseMove(e.button.x, e.button.y);
        }
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
    if (ShowRequested() && Win.Handle != nullptr)
    {
        // A second copy was started: this window comes to the front instead of its box.
        if ((SDL_GetWindowFlags(Win.Handle) & SDL_WINDOW_MINIMIZED) != 0)
        {
            SDL_RestoreWindow(Win.Handle);
        }
        SDL_RaiseWindow(Win.Handle);
        DebugLog(" Brought to the front by a second copy");
    }
    SDL_Event e;
    while (SDL_PollEvent(&e))
    {
        HandleEvent(e);
    }
    Router.EndOfEvents();
}

int TFormMain::Run()
{
    while (!Terminating)
    {
        PumpEvents();
        if (CloseRequested)
        {
            Close();
            if (Terminating)
            {
                break;
            }
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
    in.MusicDue = Traits(GameState).MenuMusic && Host.MusicFinished();
    in.BoardStill = DrawnStill && Game && Game->Still();
    in.BoardSparking = DrawnSparking && Game && Game->Still(true);
    in.SinceDrawnMs = SDL_GetTicks() - DrawnAt;
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
    PlaceWindow();
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
    if (Renderer.Device && Renderer.Device->OwesWholeFrame())
    {
        NeedFrame = true; // a new size: drawn whole until the window shows it at that size
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
            FrontEnd->Autosave();
            done = Game->Still(DrawnSparking);
            NoteSaving(-1);
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
    DrawnSparking = GameState == gsGame && Game && Game->Still(true);
    DrawnAt = SDL_GetTicks();
    const uint64_t frameStart = SDL_GetPerformanceCounter();
    const TResult result = RenderScene(Renderer, Frame());
    if (Failed(result))
    {
        AppActive = false;
        ShowDeviceError(_("Render"), result);
        DebugLog(" Render error ");
        return;
    }
    DrawnState = GameState;
    PacePresentation();
    const uint32_t now = SDL_GetTicks();
    Clock.FrameDone(now, SDL_GetTicks());
    uint64_t logged = 0; // the debug log's own write is not the frame's
    if (auto line = Clock.FrameRate(GameState, Options.WriteDebug, SDL_GetTicks()))
    {
        logged = SDL_GetPerformanceCounter();
        DebugLog(*line);
        logged = SDL_GetPerformanceCounter() - logged;
    }
    if (GameState == gsGame && Game)
    {
        Game->Update(static_cast<float>(Clock.FrameDelta));
        FrontEnd->Autosave();
        NoteSaving(static_cast<double>(SDL_GetPerformanceCounter() - frameStart - logged) * 1000.0 /
                   static_cast<double>(SDL_GetPerformanceFrequency()));
    }
    if (Traits(GameState).MenuMusic)
    {
        Host.MenuMusicTick();
    }
    done = false;
}

void TFormMain::NoteSaving(double frameMs)
{
    if (!Options.WriteDebug)
    {
        return;
    }
    // The frame that asks for the save counts too: it builds the save's text.
    const bool saving = FrontEnd->Saving();
    if (saving || SaveUnderWay)
    {
        if (frameMs >= 0)
        {
            ++SaveFrames;
            SaveLongestFrame = std::max(SaveLongestFrame, frameMs);
        }
    }
    if (SaveUnderWay && !saving)
    {
        // No locale reaches the log: a point before the tenths, on every desktop.
        char longest[32];
        const auto end = std::to_chars(longest, longest + sizeof longest, SaveLongestFrame, std::chars_format::fixed, 1);
        DebugLog(" Saved; frames meanwhile: " + std::to_string(SaveFrames) + ", the longest " +
                 std::string(longest, end.ptr) + " ms");
        SaveFrames = 0;
        SaveLongestFrame = 0;
    }
    SaveUnderWay = saving;
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
        SDL_GL_GetDrawableSize(Win.Handle, &width, &height);
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
    if (PointerCanBeMoved())
    {
        SDL_WarpMouseGlobal(left - borderLeft + width / 2, top - borderTop + height / 2);
    }
    PointerResting = true;
    RestX = -1;
    NeedFrame = true;
}

bool TFormMain::ContinueLoading()
{
    if (LoadsAfterMenu.empty() || Traits(GameState).Loading)
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
