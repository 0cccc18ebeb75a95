// What the program asks of its front end (the 3D menu, its screens, the high-score table
// and the tutorial): the steps of the load sequence, what a frame draws over the scene, and
// where keys and mouse events go. TFrontEnd (FrontEnd.h) is the implementation; the shell's input
// routing and frame loop call it through this interface.
#pragma once

#include <cstdint>
#include <string>

class TGame;
class THiScores;
class TLoadingBar;

class IFrontEnd
{
public:
    virtual ~IFrontEnd() = default;

    // --- load sequence
    // Reads the menu file, lighting lamps 2 to 10 of the bar (when there is one).
    virtual void LoadMenu(TLoadingBar* bar) = 0;
    // The game object the menus start and leave, made by the load sequence.
    virtual void SetGame(TGame* game) = 0;
    // Makes the high-score object, which reads the stored tables.
    virtual void CreateHiScores() = 0;
    // The main menu: the state becomes gsMenu, the main screen shows, the eye is at rest and
    // the menu music starts.
    virtual void EnterMainMenu() = 0;
    virtual THiScores* Scores() = 0; // null until made
    // The game-over picture is left for the high-score table.
    virtual void LeaveGameOver() = 0;
    // The program ends: a game on the board is saved; the problem of a failed save, or empty.
    virtual std::string SaveGameOnExit() { return {}; }
    // The save on the way out failed and the player chose: leave without the game (its save
    // goes, as leaving unsaved from the pause screen), or go back to it, paused.
    virtual void DropGameOnExit() {}
    virtual void BackToPausedGame() {}
    // After every update of the rules: what they ask of the save file is done.
    virtual void Autosave() {}
    // True while a save is being written (on a thread of its own).
    virtual bool Saving() const { return false; }

    // --- drawing, inside RenderScene
    // True while something on the screen moves by itself (the caret of a name being typed):
    // the menus are then drawn every frame rather than only after a change.
    virtual bool Animating() const = 0;
    virtual void DrawFrontEnd() = 0;
    // A value that changes whenever what DrawFrontEnd draws changes.
    virtual uint64_t OverlayKey() const { return 0; }
    virtual void DrawScores(double totalTime) = 0;

    // --- input
    virtual void MenuCommand(int key) = 0;
    virtual void MenuMouseDown() = 0;
    virtual void MenuMouseUp(int button, float x, float y) = 0;
    virtual void HighlightOptionLabels() = 0;
    virtual void HandleMouseMove(float x, float y) = 0;
    virtual void ShowScreen(int screen) = 0;
    virtual void SwapItem(int hide, int show) = 0;
};
