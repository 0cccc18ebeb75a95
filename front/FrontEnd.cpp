#include "front/FrontEnd.h"

#include "base/Text.h"

#include "base/DataError.h"
#include "base/LanguageFiles.h"
#include "game/Game.h"
#include "render/LoadingBar.h"
#include "front/MenuFile.h"
#include "base/Options.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace
{
// The volume a click at x on a slider gives: the bar runs from quiet at x = -1.0 to loud
// at x = -2.6. The far end would give up to 265; it is held at the loudest the buttons give.
uint8_t SliderVolume(float x)
{
    const float v = std::fabs(std::trunc((x + 1.01f) * 250.0f / 1.5f));
    return static_cast<uint8_t>(std::min(v, static_cast<float>(MaxVolume)));
}

bool InSlider(float x, float y, float bottom, float top)
{
    return -2.6f <= x && x <= -1.0f && bottom <= y && y <= top;
}

uint8_t VolumeDown(uint8_t v)
{
    return v > 0 ? static_cast<uint8_t>(std::max(0, v - 10)) : v;
}

uint8_t VolumeUp(uint8_t v)
{
    return v < MaxVolume ? static_cast<uint8_t>(std::min(255, v + 10)) : v;
}
} // namespace

TFrontEnd::TFrontEnd(IFrontHost& host, TRenderer& renderer, TOptions& options, TScreenState& state,
                     fs::path programFolder, fs::path userFolder)
    : Host(host), Renderer(renderer), Options(options), State(state),
      ProgramFolder(std::move(programFolder)), UserFolder(std::move(userFolder))
{
}

TFrontEnd::~TFrontEnd() = default;

// --- the load sequence ---------------------------------------------------------------------

void TFrontEnd::LoadMenu(TLoadingBar* bar)
{
    auto step = [bar](int n)
    {
        if (bar != nullptr)
        {
            bar->SetProgress(n);
        }
    };
    const TMenuFile file = TMenuFile::Load(ProgramFolder);
    // The background is read by the menu's first frame, once the loading picture is gone
    // (KeepScreenPictures): the two are never held at once.
    Renderer.MenuBackgroundFile = ProgramFolder / file.Background;
    Renderer.MenuBackground.reset();
    Renderer.PicturesKeptFor = gsLaunch;
    step(2);

    Menu = std::make_unique<TD3DMenu>([this](TSound s) { Host.PlaySound(s); }, Clock);
    const int screens = static_cast<int>(file.Screens.size());
    Menu->SetScreenCount(screens);
    for (int s = 1; s <= screens; ++s)
    {
        switch (s)
        {
        case scPlay: step(4); break;
        case scOptions: step(5); break;
        case scLeave: step(7); break;
        case scHiScores: step(8); break;
        case scResume: step(9); break;
        case scSpare: step(10); break;
        default: break;
        }
        const auto& items = file.Screens[s - 1];
        for (size_t i = 1; i <= items.size(); ++i)
        {
            if (s == scMain && i == 2)
            {
                step(3);
            }
            if (s == scOptions && i == 10)
            {
                step(6);
            }
            const TMenuItemData& d = items[i - 1];
            // Every item's pictures come in the language shown.
            Menu->AddItem(Renderer.Device, s, LocalFile(ProgramFolder, d.NormalImage),
                          LocalFile(ProgramFolder, d.HighlightImage), d.Position, d.Scale,
                          d.Rotation, d.Visible, d.Selectable);
        }
    }
    Menu->ShowScreen(scMain);
}

void TFrontEnd::CreateHiScores()
{
    HiScores = std::make_unique<THiScores>(UserFolder / "data" / "Hiscores.dat",
                                           [this](TSound s) { Host.PlaySound(s); });
    // Every way of saving the table (Enter after a name, leaving it, the menu item) tells
    // the player when it fails.
    HiScores->ShowProblem = [this](const std::string& problem) { Host.ShowMessage(problem); };
    if (const std::string problem = HiScores->Create(); !problem.empty())
    {
        Host.ShowMessage(problem);
    }
}

void TFrontEnd::EnterMainMenu()
{
    State = gsMenu;
    SetCursor(1);
    Menu->ShowScreen(scMain);
    Options.ResetEye();
    Host.StopMusic();
    Host.PlayMusic(tnMenu1);
}

void TFrontEnd::SetCursor(int index)
{
    if (Renderer.Cursor)
    {
        Renderer.Cursor->CursorIndex = static_cast<uint8_t>(index);
    }
    if (Game != nullptr)
    {
        Game->GameHost().SetCursor(index);
    }
}

// --- commands ---------------------------------------------------------------------------------

void TFrontEnd::MenuCommand(int key)
{
    // The in-game screens by keys: Escape, or a pause key again, leaves the pause screen
    // for the game, and Escape declines the offer of the saved game as its "no" does. The
    // mouse's right button keeps doing nothing there.
    if (Menu && State == gsGame && Menu->InputReady())
    {
        const bool pauseKey = key == VkEscape || key == VkF1 || key == VkP;
        if ((Menu->CurrentScreen == scLeave && pauseKey) || (Menu->CurrentScreen == scResume && key == VkEscape))
        {
            Menu->Current().SelectedItem = Menu->CurrentScreen == scLeave ? leavePlayOn : resumeNew;
            key = VkEnter;
        }
        else if (Menu->CurrentScreen == scResume && key == VkP)
        {
            key = VkEnter; // the gamepad's Start chooses the highlighted answer
        }
    }
    MenuKey(key);
}

void TFrontEnd::MenuKey(int key)
{
    if (!Menu)
    {
        return;
    }
    const TMenuKeyResult r = Menu->HandleKey(key);
    if (r.Action != maActivate && r.Action != maBack)
    {
        return;
    }
    const bool activate = r.Action == maActivate;
    switch (r.Screen)
    {
    case scMain: MainMenuCommand(r.Action, r.Item); break;
    case scPlay: PlayMenuCommand(r.Action, r.Item); break;
    case scOptions: OptionsCommand(r.Action, r.Item); break;
    case scInGame:
        if (activate && r.Item == inGameMenu && Game != nullptr)
        {
            PauseOnLeaveScreen();
        }
        else if (activate && r.Item == inGameUndo && Game != nullptr)
        {
            Game->Undo(); // nothing when there is no move to take back
        }
        break;
    case scLeave:
        if (activate && r.Item == leaveSave)
        {
            LeaveGameToMenu();
        }
        else if (activate && r.Item == leavePlayOn && Game != nullptr)
        {
            Game->Resume();
            ShowScreen(scInGame);
        }
        else if (activate && r.Item == leaveUnsaved && Game != nullptr)
        {
            LeaveUnsaved();
        }
        break;
    case scHiScores: HiScoresCommand(r.Action, r.Item); break;
    case scResume:
        if (activate && (r.Item == resumeYes || r.Item == resumeNew) && Game != nullptr)
        {
            Game->Resume();
            if (r.Item == resumeYes)
            {
                ResumeSavedGame();
            }
            else
            {
                Game->Start(Game->View().Mode); // the waiting game leaves the board; its file stays
            }
            ShowScreen(scInGame);
        }
        break;
    case scTutorial: TutorialCommand(r.Action, r.Item); break;
    case scHelp:
        if (!activate)
        {
            break;
        }
        if (r.Item == helpStart)
        {
            StartGame(ChosenMode);
        }
        else if (r.Item == helpOn)
        {
            Options.Help = false;
            Menu->SwapItem(helpOn, helpOff);
        }
        else if (r.Item == helpOff)
        {
            Options.Help = true;
            Menu->SwapItem(helpOff, helpOn);
        }
        break;
    default: break;
    }
}

void TFrontEnd::MainMenuCommand(TMenuAction action, int item)
{
    if (action != maActivate)
    {
        return;
    }
    switch (item)
    {
    case mainPlay: Menu->ShowScreen(scPlay); break;
    case mainOptions: OpenOptions(); break;
    case mainHiScores:
        if (HiScores)
        {
            State = gsHiScores;
            HiScores->Entering = false;
            HiScores->ShownMode = 1;
            Menu->ShowScreen(scHiScores);
            Menu->SwapItem(scoresShowNormal, scoresShowTimed);
        }
        break;
    case mainQuit: Host.CloseMainWindow(); break;
    default: break;
    }
}

void TFrontEnd::PlayMenuCommand(TMenuAction action, int item)
{
    if (action == maBack || item == playBack)
    {
        Menu->ShowScreen(scMain);
        return;
    }
    if ((item == playNormal || item == playTimed) && Game != nullptr)
    {
        Host.StopMusic();
        Host.PlayMusic(item == playNormal ? tnTheme1 : tnTheme2);
        ChosenMode = static_cast<uint8_t>(item);
        if (Options.Help)
        {
            State = gsHelp;
            // The toggle shows the setting as it is (it can only be on here).
            TMenuScreen& help = Menu->Screen(scHelp);
            help.Items[helpOn].Visible = true;
            help.Items[helpOff].Visible = false;
            Menu->ShowScreen(scHelp);
        }
        else
        {
            StartGame(ChosenMode);
        }
    }
    else if (item == playTutorial)
    {
        OpenTutorial();
    }
}

void TFrontEnd::OpenOptions()
{
    Menu->ShowScreen(scOptions);
    UpdateVolumeBars();
    for (int skin = 2; skin <= SkinCount; ++skin)
    {
        Menu->SwapItem(SkinLabel(skin), SkinLabel(1));
    }
    Menu->SwapItem(SkinLabel(1), SkinLabel(StoredSkin(Options.Texture)));
}

void TFrontEnd::StepSkin(int delta)
{
    const int old = StoredSkin(Options.Texture);
    const int skin = SteppedSkin(old, delta);
    Options.Texture = static_cast<uint8_t>(skin);
    Menu->SwapItem(SkinLabel(old), SkinLabel(skin));
}

void TFrontEnd::OptionsCommand(TMenuAction action, int item)
{
    if (action == maBack)
    {
        Menu->ShowScreen(scMain); // the changes stay in force and are saved with the window
        return;
    }
    if (item == 0)
    {
        return; // Enter with nothing highlighted: no item was activated
    }
    switch (item)
    {
    case optSave:
        Options.Save();
        Menu->ShowScreen(scMain);
        break;
    case optCancel:
        Options.Reload();
        Menu->ShowScreen(scMain);
        break;
    case optSoundDown: Options.SoundVol = VolumeDown(Options.SoundVol); break;
    case optSoundUp: Options.SoundVol = VolumeUp(Options.SoundVol); break;
    case optMusicDown: Options.MusicVol = VolumeDown(Options.MusicVol); break;
    case optMusicUp: Options.MusicVol = VolumeUp(Options.MusicVol); break;
    case optSkinDown: StepSkin(-1); break;
    case optSkinUp: StepSkin(+1); break;
    default: break;
    }
    UpdateVolumeBars();
    Host.ApplySoundVolume();
    Host.ApplyMusicVolume();
    Menu->Screen(scOptions).SelectedItem = item;
}

void TFrontEnd::HiScoresCommand(TMenuAction action, int item)
{
    if (!HiScores)
    {
        return;
    }
    if (action == maBack || item == scoresBack)
    {
        // Leaving the table keeps what it shows: a score whose name was being typed is not
        // lost when the table is left with the mouse.
        SaveScores();
        HiScores->Entering = false;
        State = gsMenu;
        Menu->ShowScreen(scMain);
        return;
    }
    if (HiScores->Entering)
    {
        return; // the mode cannot change under a name being typed
    }
    if (item == scoresShowTimed)
    {
        HiScores->ShownMode = 2;
        Menu->SwapItem(scoresShowTimed, scoresShowNormal);
    }
    else if (item == scoresShowNormal)
    {
        HiScores->ShownMode = 1;
        Menu->SwapItem(scoresShowNormal, scoresShowTimed);
    }
}

void TFrontEnd::OpenTutorial()
{
    SetTutorialButtons(1);
    Menu->ShowScreen(scTutorial);
    State = gsTutorial;
    Tutorial = std::make_unique<TTutorial>(Renderer.Device, ProgramFolder);
}

void TFrontEnd::SetTutorialButtons(int page)
{
    TMenuScreen& s = Menu->Screen(scTutorial);
    s.Items[tutNext].Visible = page != TutorialPages;
    s.Items[tutPrevious].Visible = page != 1;
}

void TFrontEnd::TutorialCommand(TMenuAction action, int item)
{
    if (action == maBack || item == tutClose)
    {
        State = gsMenu;
        Menu->ShowScreen(scPlay);
        if (Tutorial)
        {
            LastTutorialPage = Tutorial->Page();
        }
        Tutorial.reset();
    }
    else if (Tutorial && (item == tutNext || item == tutPrevious))
    {
        Tutorial->ChangePage(item == tutNext ? +1 : -1);
    }
    if (action == maActivate)
    {
        SetTutorialButtons(Tutorial ? Tutorial->Page() : LastTutorialPage);
    }
}

// --- high scores --------------------------------------------------------------------------------

void TFrontEnd::LeaveGameOver()
{
    // The game's score enters the table of its mode when it beats the tenth place; the
    // table shows either way.
    if (HiScores && Game != nullptr)
    {
        HiScores->ShownMode = Game->View().Mode == gmTimed ? 2 : 1;
        const int64_t score = RoundedScore(Game->View().Score);
        if (HiScores->Reaches(HiScores->ShownMode, score))
        {
            HiScores->Entering = true;
            HiScores->EditRow = static_cast<uint8_t>(HiScores->InsertScore(TableScore(score)));
        }
        else
        {
            HiScores->Entering = false;
        }
    }
    State = gsHiScores;
    ShowScreen(scHiScores);
    SwapItem(scoresShowNormal, scoresShowTimed);
    if (HiScores && HiScores->ShownMode == 2)
    {
        SwapItem(scoresShowTimed, scoresShowNormal);
    }
}

void TFrontEnd::SaveScores()
{
    if (HiScores)
    {
        HiScores->SaveScores(); // a failure is told through ShowProblem
    }
}

void TFrontEnd::DrawScores(double totalTime)
{
    if (HiScores && State == gsGameOver)
    {
        if (Game != nullptr)
        {
            const TGameFields& g = Game->View();
            HiScores->DrawGameOver(*Renderer.Device, Renderer.Fonts, g.Mode == gmTimed ? 2 : 1,
                                   RoundedScore(g.Score), g.Level);
        }
    }
    else if (HiScores)
    {
        HiScores->DrawScores(*Renderer.Device, Renderer.Fonts, totalTime);
    }
}

// --- mouse and drawing --------------------------------------------------------------------------

void TFrontEnd::MenuMouseDown()
{
    if (Menu)
    {
        Menu->PointerPressed();
        Menu->Pressed = true;
    }
}

void TFrontEnd::SetVolumeBar(int item, int volume, float perUnit, float rightEnd)
{
    TMenuItem& bar = Menu->Item(scOptions, item);
    bar.NormalTransform.Scale.x = static_cast<float>(volume) * perUnit;
    bar.NormalTransform.Position.x = rightEnd - bar.NormalTransform.Scale.x / 2;
    if (bar.NormalSprite)
    {
        bar.NormalTransform.CopyTo(*bar.NormalSprite);
    }
}

void TFrontEnd::UpdateVolumeBars()
{
    if (!Menu || Menu->CurrentScreen != scOptions)
    {
        return;
    }
    SetVolumeBar(optSoundBar, Options.SoundVol, 1.4f / 255, -1.06f);
    SetVolumeBar(optMusicBar, Options.MusicVol, 1.4f / 255, -1.06f);
}

void TFrontEnd::MenuMouseUp(int button, float x, float y)
{
    if (!Menu)
    {
        return;
    }
    if (Menu->CurrentScreen == scOptions)
    {
        if (InSlider(x, y, 1.801f, 2.201f))
        {
            Options.SoundVol = SliderVolume(x);
        }
        SetVolumeBar(optSoundBar, Options.SoundVol, 1.5f / 250, -1.0f);
        if (InSlider(x, y, -0.00525f, 0.39475f))
        {
            Options.MusicVol = SliderVolume(x);
        }
        SetVolumeBar(optMusicBar, Options.MusicVol, 1.5f / 250, -1.0f);
        Host.ApplySoundVolume();
        Host.ApplyMusicVolume();
    }
    if (button == 0)
    {
        MenuKey(VkEnter);
    }
    else if (button == 1)
    {
        MenuKey(VkEscape);
    }
    Menu->Pressed = false;
}

void TFrontEnd::HighlightOptionLabels()
{
    if (!Menu || Menu->CurrentScreen != scOptions)
    {
        return;
    }
    TMenuScreen& s = Menu->Screen(scOptions);
    TMenuItem& spare = s.Items[optSpare];
    spare.Visible = false;
    struct TPair
    {
        int Down, Caption, Up;
    };
    for (const TPair p : {TPair{optSoundDown, optSoundCaption, optSoundUp},
                          TPair{optMusicDown, optMusicCaption, optMusicUp},
                          TPair{optSkinDown, optSkinCaption, optSkinUp}})
    {
        TMenuItem& caption = s.Items[p.Caption];
        if (s.SelectedItem == p.Down || s.SelectedItem == p.Up)
        {
            spare = caption;
            spare.NormalSprite = caption.HighlightSprite;
            caption.Visible = false;
            spare.Visible = true;
        }
        else
        {
            caption.Visible = true;
        }
    }
}

void TFrontEnd::DrawFrontEnd()
{
    if (State == gsTutorial && Tutorial)
    {
        Tutorial->Draw(Renderer);
    }
    if (Menu)
    {
        Menu->Draw(Renderer);
        if (State == gsGame && Menu->CurrentScreen == scResume)
        {
            DrawSavedGame();
        }
    }
}

uint64_t TFrontEnd::OverlayKey() const
{
    // What DrawFrontEnd reads: the tutorial's page, the menu's screen, its highlight, the
    // press and which items show.
    uint64_t key = 1469598103934665603ull;
    const auto mix = [&key](uint64_t v) { key = (key ^ v) * 1099511628211ull; };
    mix(static_cast<uint64_t>(static_cast<TGameState>(State)));
    mix(Tutorial ? static_cast<uint64_t>(Tutorial->Page()) : 0);
    if (Menu)
    {
        const TMenuScreen& s = Menu->Current();
        mix(static_cast<uint64_t>(Menu->CurrentScreen));
        mix(static_cast<uint64_t>(s.SelectedItem));
        mix(Menu->Pressed ? 1 : 0);
        for (int i = 1; i <= s.ItemCount; ++i)
        {
            mix(s.Items[i].Visible ? 1 : 0);
        }
    }
    return key;
}

bool TFrontEnd::Animating() const
{
    return HiScores && HiScores->Entering;
}

void TFrontEnd::HandleMouseMove(float x, float y)
{
    if (Menu)
    {
        Menu->HandleMouseMove(x, y);
    }
}

void TFrontEnd::ShowScreen(int screen)
{
    if (screen == scLeave)
    {
        TellSaveState();
    }
    if (screen == scInGame && Menu && Game != nullptr)
    {
        // The undo is the normal mode's.
        Menu->Screen(scInGame).Items[inGameUndo].Visible = Game->View().Mode == gmNormal;
    }
    if (Menu)
    {
        Menu->ShowScreen(screen);
    }
}

void TFrontEnd::SwapItem(int hide, int show)
{
    if (Menu)
    {
        Menu->SwapItem(hide, show);
    }
}
