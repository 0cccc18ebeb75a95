// front/ owns the front end: the 3D menu widget, the menu screens, the high-score tables
// and the tutorial. It includes render/, game/ and base/, and asks the program for sound,
// music and message boxes through IFrontHost (FrontHost.h). This is its main header.
//
// The menu logic on top of the 3D menu widget: it builds the menu from data/Menu.dat and
// decides what every item of every screen does. The screen and item numbers are the
// contract with the menu file (front/MenuScreens.h).
//
// It also starts games (with the cube skin), keeps the high-score tables and the tutorial,
// and turns mouse clicks into the widget's Enter and Escape.
#pragma once

#include "front/D3DMenu.h"
#include "front/FrontHost.h"
#include "render/GameState.h"
#include "front/HighScores.h"
#include "front/IFrontEnd.h"
#include "front/MenuScreens.h"
#include "render/Renderer.h"
#include "front/Tutorial.h"
#include "base/AtomicFile.h"
#include "game/Game.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TGame;
class TLoadingBar;
class TOptions;

// The loudest volume the buttons and the sliders give.
constexpr int MaxVolume = 250;

// The picture of cube texture k (0..17) in skin 1..SkinCount.
std::filesystem::path SkinPicture(const std::filesystem::path& programFolder, int skin, int k);
// Every picture the menus and games load later than the start: the cube skins, all of them
// (the options switch between them), and the tutorial's pages.
std::vector<std::filesystem::path> FrontPictures(const std::filesystem::path& programFolder);

class TFrontEnd final : public IFrontEnd
{
public:
    // programFolder holds data/Menu.dat and the images; userFolder (writable) receives
    // data/Hiscores.dat. state is the application state.
    TFrontEnd(IFrontHost& host, TRenderer& renderer, TOptions& options, TScreenState& state,
              std::filesystem::path programFolder, std::filesystem::path userFolder);
    ~TFrontEnd() override;

    // --- the load sequence --------------------------------------------------------------
    // Reads and checks the menu file (a TDataError names the file, the line and the
    // problem), loads the menu background and builds the widget, moving the loading bar
    // (when there is one) through steps 2 to 10. Ends on screen 1.
    void LoadMenu(TLoadingBar* bar) override;
    void SetGame(TGame* game) override { Game = game; }
    // Makes the high-score tables from the user folder's file; a damaged file is set aside
    // and reported in a message box, and the default tables are used.
    void CreateHiScores() override;
    THiScores* Scores() override { return HiScores.get(); }
    // State gsMenu, the menu cursor, screen 1, the camera at rest, the menu tunes.
    void EnterMainMenu() override;

    // --- input -------------------------------------------------------------------------------
    // One key given to the menu (gsMenu, gsTutorial, gsHelp, the in-game screens while the
    // game is paused, and the mouse's Enter and Escape).
    void MenuCommand(int key) override;
    void MenuMouseDown() override;
    // button 0 left (Enter), 1 right (Escape), 2 middle (nothing); x, y the cursor in world
    // units. On the options screen the two volume bars are sliders as well.
    void MenuMouseUp(int button, float x, float y) override;
    // On the options screen: the caption of the button pair under the highlight is drawn in
    // its highlighted look. Called on every mouse move in gsMenu, before the widget's own.
    void HighlightOptionLabels() override;
    // The widget's own: the highlight follows the cursor (x, y in world units).
    void HandleMouseMove(float x, float y) override;
    void ShowScreen(int screen) override;
    void SwapItem(int hide, int show) override;

    // --- screens -------------------------------------------------------------------------------
    // Sizes the two volume bars of the options screen from the settings.
    void UpdateVolumeBars();
    // Loads the cube skin and starts a game of the mode (gmNormal, gmTimed); offers the
    // saved game of that mode when there is one.
    void StartGame(uint8_t mode);
    // The game-over picture is left: the high-score table of the game's mode shows, taking
    // the player's name when the score enters it.
    void LeaveGameOver() override;
    // The program is ending (window closed, logout, a signal): a game on the board is saved
    // as leaving through the pause screen saves it. A game that has ended, or a fresh board
    // still offering the saved one, is not saved. Returns the problem of a failed save;
    // empty when it was saved or nothing was to be saved.
    std::string SaveGameOnExit() override;
    void DropGameOnExit() override;
    void BackToPausedGame() override;
    // After every update of the rules: the game goes to its save file when a move has
    // ended, written on a thread of its own, and its file goes when the game is over.
    void Autosave() override;
    bool Saving() const override { return !Saves.Idle(); }
    // The tutorial page in gsTutorial, then the menu.
    void DrawFrontEnd() override;
    uint64_t OverlayKey() const override;
    // The high-score table of the shown mode, with the typing caret pulsing by totalTime.
    void DrawScores(double totalTime) override;
    // The caret of a name being typed pulses.
    bool Animating() const override;

    // Where the cube skin k of the current skin is read from (k = 0..17).
    std::filesystem::path SkinTexture(int k) const;

    TGame* Game = nullptr; // the game object, made by the load sequence
    std::unique_ptr<TD3DMenu> Menu;
    std::unique_ptr<THiScores> HiScores;
    std::unique_ptr<TTutorial> Tutorial;
    // Seconds on a steady clock for the menu's input guard; tests set their own.
    std::function<double()> Clock;

private:
    // The widget's key and what the activated item does; the mouse's Enter and Escape.
    void MenuKey(int key);
    void MainMenuCommand(TMenuAction action, int item);
    void PlayMenuCommand(TMenuAction action, int item);
    void OptionsCommand(TMenuAction action, int item);
    void HiScoresCommand(TMenuAction action, int item);
    void TutorialCommand(TMenuAction action, int item);
    void OpenOptions();
    void OpenTutorial();
    void SetTutorialButtons(int page);
    void SetVolumeBar(int item, int volume, float perUnit, float rightEnd);
    void StepSkin(int delta);
    void LeaveGameToMenu();
    void LeaveUnsaved();
    // What this game saved of itself goes (a choice of the player's).
    void DropSave();
    // The game paused, under the pause screen.
    void PauseOnLeaveScreen();
    void ShowMenuAfterGame();
    // The game on the board to its mode's file on the writer's thread; with wait, the
    // problem of the write once it is done ("" when it went well).
    std::string WriteSave(bool wait);
    // The pause screen says whether the game is saved, and offers to leave without it when not.
    void TellSaveState();
    // At a new game of a mode whose file exists: the saved game is read whole; a readable
    // one is laid on the board, paused, and offered (true); a damaged one is set aside with
    // a message naming the file and the problem, and the new game goes on (false).
    bool OfferSavedGame(uint8_t mode);
    void ResumeSavedGame();
    // The offer's lines about the game that waits: its mode, level and score, and when it was
    // saved, in the player's language and date format.
    void DrawSavedGame();
    void SaveScores();
    void SetCursor(int index);

    IFrontHost& Host;
    TRenderer& Renderer;
    TOptions& Options;
    TScreenState& State;
    std::filesystem::path ProgramFolder;
    std::filesystem::path UserFolder;
    int LastTutorialPage = 1;
    uint8_t ChosenMode = 1; // gmNormal or gmTimed as chosen in the play menu, for the help screen's start
    TBackgroundWriter Saves;  // every save and removal of a saved game, in order
    bool Autosaved = false;   // this game has written its mode's file
    std::filesystem::path LastSave; // the file the last save went to
    TSaveSummary Waiting;             // the saved game offered (scResume)
    bool PauseTellsFailure = false; // the pause screen's plate says the save failed
};
