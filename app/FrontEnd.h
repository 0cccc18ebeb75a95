// What the shell asks of the front end (the 3D menu, its screens, the high-score table
// and the tutorial): the steps of the load sequence, the overlays of a frame, and where
// keys and mouse events go. TNoFrontEnd stands in while the menus do not exist: loading
// goes straight to the menu state with its music, and events to the menu are dropped.
#pragma once

#include "base/Options.h"

#include <cstdint>
#include <string>

class THiScores;
class TLoadingBar;
enum TGameState : uint8_t;

class IFrontEnd
{
public:
    virtual ~IFrontEnd() = default;

    // --- load sequence
    // Reads the menu file, lighting lamps 2 to 10 of the bar.
    virtual void LoadMenu(TLoadingBar& bar) = 0;
    // The main menu: the state becomes gsMenu, the main screen shows, the eye is at
    // rest and the menu music starts.
    virtual void EnterMainMenu() = 0;
    // Makes the high-score object, which reads the stored tables.
    virtual void CreateHiScores() = 0;
    virtual THiScores* HiScores() = 0; // null until made
    // The program ends: a game on the board is saved; the problem of a failed save, or empty.
    virtual std::string SaveGameOnExit() { return {}; }

    // --- drawing, inside RenderScene
    // True while something on the screen moves by itself (a highlight, a caret, a page
    // turning): the menus are then drawn every frame rather than only after a change.
    virtual bool Animating() const = 0;
    virtual void DrawMenuOverlay() = 0;
    virtual void DrawHiScoreTable(double totalTime) = 0;

    // --- input
    virtual void MenuCommand(uint16_t key) = 0;
    virtual void MenuMouseDown() = 0;
    virtual void MenuMouseUp(int button, float x, float y) = 0;
    virtual void HighlightOptionLabels() = 0;
    virtual void HandleMouseMove(float x, float y) = 0;
    virtual void ShowScreen(int screen) = 0;
    virtual void SwapItem(int hide, int show) = 0;
};

class TNoFrontEnd final : public IFrontEnd
{
public:
    TNoFrontEnd(TGameState& state, TOptions& options) : State(state), Options(options) {}

    void LoadMenu(TLoadingBar&) override {}
    void EnterMainMenu() override;
    void CreateHiScores() override {}
    THiScores* HiScores() override { return nullptr; }
    bool Animating() const override { return false; }
    void DrawMenuOverlay() override {}
    void DrawHiScoreTable(double) override {}
    void MenuCommand(uint16_t) override {}
    void MenuMouseDown() override {}
    void MenuMouseUp(int, float, float) override {}
    void HighlightOptionLabels() override {}
    void HandleMouseMove(float, float) override {}
    void ShowScreen(int) override {}
    void SwapItem(int, int) override {}

private:
    TGameState& State;
    TOptions& Options;
};
