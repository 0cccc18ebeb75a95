#include "front/FrontEnd.h"

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

int Skin(const TOptions& options)
{
    return std::clamp<int>(options.Texture, 1, SkinCount);
}
} // namespace

TFrontEnd::TFrontEnd(IFrontHost& host, TRenderer& renderer, TOptions& options, TScreenState& state,
                     fs::path programFolder, fs::path userFolder, fs::path cacheFolder)
    : Host(host), Renderer(renderer), Options(options), State(state),
      ProgramFolder(std::move(programFolder)), UserFolder(std::move(userFolder)),
      CacheFolder(std::move(cacheFolder))
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
        case 2: step(4); break;
        case 3: step(5); break;
        case 5: step(7); break;
        case 6: step(8); break;
        case 7: step(9); break;
        case 8: step(10); break;
        default: break;
        }
        const auto& items = file.Screens[s - 1];
        for (size_t i = 1; i <= items.size(); ++i)
        {
            if (s == 1 && i == 2)
            {
                step(3);
            }
            if (s == 3 && i == 10)
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
    Menu->ShowScreen(1);
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
    Menu->ShowScreen(1);
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
        Game->Host.SetCursor(index);
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
        const bool pauseKey = key == vkEscape || key == vkF1 || key == vkP;
        if ((Menu->CurrentScreen == 5 && pauseKey) || (Menu->CurrentScreen == 7 && key == vkEscape))
        {
            Menu->Current().SelectedItem = 3;
            key = vkReturn;
        }
        else if (Menu->CurrentScreen == 7 && key == vkP)
        {
            key = vkReturn; // the gamepad's Start chooses the highlighted answer
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
    case 1: MainMenuCommand(r.Action, r.Item); break;
    case 2: PlayMenuCommand(r.Action, r.Item); break;
    case 3: OptionsCommand(r.Action, r.Item); break;
    case 4:
        if (activate && r.Item == 1 && Game != nullptr)
        {
            SetCursor(2);
            Game->EndPhase = epPaused;
            Menu->ShowScreen(5);
        }
        break;
    case 5:
        if (activate && r.Item == 2)
        {
            LeaveGameToMenu();
        }
        else if (activate && r.Item == 3 && Game != nullptr)
        {
            LeaveSaveFailed = false;
            Game->EndPhase = epPlaying;
            Menu->ShowScreen(4);
        }
        break;
    case 6: HiScoresCommand(r.Action, r.Item); break;
    case 7:
        if (activate && (r.Item == 2 || r.Item == 3) && Game != nullptr)
        {
            Game->EndPhase = epPlaying;
            if (r.Item == 2)
            {
                ResumeSavedGame();
            }
            Menu->ShowScreen(4);
        }
        break;
    case 9: TutorialCommand(r.Action, r.Item); break;
    case 10:
        if (!activate)
        {
            break;
        }
        if (r.Item == 1)
        {
            StartGame();
        }
        else if (r.Item == 2)
        {
            Options.Help = false;
            Menu->SwapItem(2, 3);
        }
        else if (r.Item == 3)
        {
            Options.Help = true;
            Menu->SwapItem(3, 2);
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
    case 1: Menu->ShowScreen(2); break;
    case 2: OpenOptions(); break;
    case 3:
        if (HiScores)
        {
            State = gsHiScores;
            HiScores->Entering = false;
            HiScores->ShownMode = 1;
            Menu->ShowScreen(6);
            Menu->SwapItem(3, 2);
        }
        break;
    case 4: Host.CloseMainWindow(); break;
    default: break;
    }
}

void TFrontEnd::PlayMenuCommand(TMenuAction action, int item)
{
    if (action == maBack || item == 4)
    {
        Menu->ShowScreen(1);
        return;
    }
    if ((item == 1 || item == 2) && Game != nullptr)
    {
        Host.StopMusic();
        Host.PlayMusic(item == 1 ? tnTheme1 : tnTheme2);
        Game->Mode = static_cast<uint8_t>(item);
        if (Options.Help)
        {
            State = gsHelp;
            // The toggle shows the setting as it is (it can only be on here).
            TMenuScreen& help = Menu->Screen(10);
            help.Items[2].Visible = true;
            help.Items[3].Visible = false;
            Menu->ShowScreen(10);
        }
        else
        {
            StartGame();
        }
    }
    else if (item == 3)
    {
        OpenTutorial();
    }
}

void TFrontEnd::OpenOptions()
{
    Menu->ShowScreen(3);
    UpdateVolumeBars();
    for (int label = optFirstSkinLabel + 1; label <= optFirstSkinLabel + 4; ++label)
    {
        Menu->SwapItem(label, optFirstSkinLabel);
    }
    Menu->SwapItem(optFirstSkinLabel, optFirstSkinLabel - 1 + Skin(Options));
}

void TFrontEnd::StepSkin(int delta)
{
    const int old = Skin(Options);
    int skin = old + delta;
    if (skin < 1)
    {
        skin = 5;
    }
    else if (skin > 5)
    {
        skin = 1;
    }
    Options.Texture = static_cast<uint8_t>(skin);
    Menu->SwapItem(optFirstSkinLabel - 1 + old, optFirstSkinLabel - 1 + skin);
}

void TFrontEnd::OptionsCommand(TMenuAction action, int item)
{
    if (action == maBack)
    {
        Menu->ShowScreen(1); // the changes stay in force and are saved with the window
        return;
    }
    if (item == 0)
    {
        return; // Enter with nothing highlighted: no item was activated
    }
    switch (item)
    {
    case 1:
        Options.Save();
        Menu->ShowScreen(1);
        break;
    case 2:
        Options.Reload();
        Menu->ShowScreen(1);
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
    Menu->Screen(3).SelectedItem = item;
}

void TFrontEnd::HiScoresCommand(TMenuAction action, int item)
{
    if (!HiScores)
    {
        return;
    }
    if (action == maBack || item == 1)
    {
        // Leaving the table keeps what it shows: a score whose name was being typed is not
        // lost when the table is left with the mouse.
        SaveScores();
        HiScores->Entering = false;
        State = gsMenu;
        Menu->ShowScreen(1);
        return;
    }
    if (HiScores->Entering)
    {
        return; // the mode cannot change under a name being typed
    }
    if (item == 2)
    {
        HiScores->ShownMode = 2;
        Menu->SwapItem(2, 3);
    }
    else if (item == 3)
    {
        HiScores->ShownMode = 1;
        Menu->SwapItem(3, 2);
    }
}

void TFrontEnd::OpenTutorial()
{
    SetTutorialButtons(1);
    Menu->ShowScreen(9);
    State = gsTutorial;
    Tutorial = std::make_unique<TTutorial>(Renderer.Device, ProgramFolder, CacheFolder);
}

void TFrontEnd::SetTutorialButtons(int page)
{
    TMenuScreen& s = Menu->Screen(9);
    s.Items[2].Visible = page != TutorialPages;
    s.Items[3].Visible = page != 1;
}

void TFrontEnd::TutorialCommand(TMenuAction action, int item)
{
    if (action == maBack || item == 1)
    {
        State = gsMenu;
        Menu->ShowScreen(2);
        if (Tutorial)
        {
            LastTutorialPage = Tutorial->Page();
        }
        Tutorial.reset();
    }
    else if (Tutorial && (item == 2 || item == 3))
    {
        Tutorial->ChangePage(item == 2 ? +1 : -1);
    }
    if (action == maActivate)
    {
        SetTutorialButtons(Tutorial ? Tutorial->Page() : LastTutorialPage);
    }
}

// --- games ------------------------------------------------------------------------------------

fs::path SkinPicture(const fs::path& programFolder, int skin, int k)
{
    // Joker, bomb, shot and stone look the same in every skin.
    if (k == 7 || k == 8 || k == 9 || k == 17)
    {
        skin = 1;
    }
    return programFolder / "Images" / ("Skin" + std::to_string(skin)) / ("tex" + std::to_string(k) + ".tga");
}

std::vector<fs::path> FrontPictures(const fs::path& programFolder)
{
    std::vector<fs::path> files;
    for (int skin = 1; skin <= SkinCount; ++skin)
    {
        for (int k = 0; k < CubeTextureCount; ++k)
        {
            if (skin == 1 || SkinPicture(programFolder, skin, k) != SkinPicture(programFolder, 1, k))
            {
                files.push_back(SkinPicture(programFolder, skin, k));
            }
        }
    }
    for (int n = 1; n <= TutorialPages; ++n)
    {
        files.push_back(ShippedTutorialPage(programFolder, n));
    }
    return files;
}

fs::path TFrontEnd::SkinTexture(int k) const
{
    return SkinPicture(ProgramFolder, Skin(Options), k);
}

void TFrontEnd::StartGame()
{
    if (Game == nullptr)
    {
        return;
    }
    TGame& g = *Game;
    g.Level = 1;
    g.ClearBoard();
    g.Levels[1].Progress = 0;
    g.Display.Fraction = 0;
    g.Display.StartFraction = 0;
    for (int k = 0; k < static_cast<int>(Renderer.CubeTextures.size()); ++k)
    {
        LoadTexture(*Renderer.Device, SkinTexture(k), Renderer.CubeTextures[k]);
    }
    g.NewGame();
    State = gsGame;
    std::error_code ec;
    if (fs::exists(g.SaveFile(g.Mode), ec))
    {
        g.EndPhase = epPaused;
        Menu->ShowScreen(7);
    }
    else
    {
        g.EndPhase = epPlaying;
        Menu->ShowScreen(4);
    }
}

void TFrontEnd::ResumeSavedGame()
{
    TGame& g = *Game;
    try
    {
        g.LoadGame(g.Mode);
    }
    catch (const std::exception& e)
    {
        // The damaged file is kept aside once, so it is not offered (and refused) at every
        // new game, and the new game goes on.
        const fs::path save = g.SaveFile(g.Mode);
        fs::path aside = save;
        aside += ".damaged";
        std::error_code ec;
        fs::rename(save, aside, ec);
        Host.ShowMessage(std::string(e.what()) + "\nThe saved game cannot be resumed; a new game starts." +
                         (ec ? std::string() : "\nThe file is kept as " + aside.filename().string() + "."));
        g.NewGame();
        g.EndPhase = epPlaying;
    }
}

void TFrontEnd::LeaveGameToMenu()
{
    if (Game != nullptr)
    {
        try
        {
            Game->SaveGame();
        }
        catch (const std::exception& e)
        {
            // The game stays on the board, paused: the player may try again, and a second
            // failure in a row leaves without saving.
            if (!LeaveSaveFailed)
            {
                LeaveSaveFailed = true;
                Host.ShowMessage(std::string(e.what()) +
                                 "\nThe game could not be saved and stays paused. Leave again to retry; "
                                 "if the save fails again, the game is left without saving.");
                return;
            }
            Host.ShowMessage(std::string(e.what()) + "\nThe game could not be saved; it is left unsaved.");
        }
    }
    LeaveSaveFailed = false;
    State = gsMenu;
    Host.StopMusic();
    Host.StopSound(snSelected);
    Host.PlayMusic(tnMenu1);
    Menu->ShowScreen(1);
}

std::string TFrontEnd::SaveGameOnExit()
{
    if (State != gsGame || Game == nullptr || Game->EndPhase == epGameOver || (Menu && Menu->CurrentScreen == 7))
    {
        return {};
    }
    try
    {
        Game->SaveGame();
    }
    catch (const std::exception& e)
    {
        return std::string(e.what()) + "\nThe game in progress could not be saved.";
    }
    return {};
}

// --- high scores --------------------------------------------------------------------------------

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
            HiScores->DrawGameOver(*Renderer.Device, Renderer.Fonts, Game->Mode == gmTimed ? 2 : 1,
                                   RoundedScore(Game->Score), Game->Level);
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
        Menu->Pressed = true;
    }
}

void TFrontEnd::SetVolumeBar(int item, int volume, float perUnit, float rightEnd)
{
    TMenuItem& bar = Menu->Item(3, item);
    bar.NormalTransform.Scale.x = static_cast<float>(volume) * perUnit;
    bar.NormalTransform.Position.x = rightEnd - bar.NormalTransform.Scale.x / 2;
    if (bar.NormalSprite)
    {
        bar.NormalTransform.CopyTo(*bar.NormalSprite);
    }
}

void TFrontEnd::UpdateVolumeBars()
{
    if (!Menu || Menu->CurrentScreen != 3)
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
    if (Menu->CurrentScreen == 3)
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
        MenuKey(vkReturn);
    }
    else if (button == 1)
    {
        MenuKey(vkEscape);
    }
    Menu->Pressed = false;
}

void TFrontEnd::HighlightOptionLabels()
{
    if (!Menu || Menu->CurrentScreen != 3)
    {
        return;
    }
    TMenuScreen& s = Menu->Screen(3);
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
