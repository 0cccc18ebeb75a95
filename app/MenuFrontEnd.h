// The shell's front end once the menus exist: every hook of the load sequence, the frame
// and the input routing goes to the menu logic of front/ (TFrontEnd).
#pragma once

#include "app/FrontEnd.h"
#include "front/Menu.h"

#include <functional>

class TGame;

class TMenuFrontEnd final : public IFrontEnd
{
public:
    // currentGame: the game object of the load sequence (made after the menu is read).
    TMenuFrontEnd(TFrontEnd& front, std::function<TGame*()> currentGame = {})
        : Front(front), CurrentGame(std::move(currentGame))
    {
    }

    void LoadMenu(TLoadingBar& bar) override { Front.LoadMenu(&bar); }
    void EnterMainMenu() override;
    void CreateHiScores() override { Front.CreateHiScores(); }
    THiScores* HiScores() override { return Front.HiScores.get(); }
    std::string SaveGameOnExit() override { return Front.SaveGameOnExit(); }
    // The caret of a name being typed pulses.
    bool Animating() const override;
    void DrawMenuOverlay() override { Front.DrawFrontEnd(); }
    void DrawHiScoreTable(double totalTime) override { Front.DrawScores(totalTime); }
    void MenuCommand(uint16_t key) override { Front.MenuCommand(key); }
    void MenuMouseDown() override { Front.MenuMouseDown(); }
    void MenuMouseUp(int button, float x, float y) override { Front.MenuMouseUp(button, x, y); }
    void HighlightOptionLabels() override { Front.HighlightOptionLabels(); }
    void HandleMouseMove(float x, float y) override;
    void ShowScreen(int screen) override;
    void SwapItem(int hide, int show) override;

private:
    TFrontEnd& Front;
    std::function<TGame*()> CurrentGame;
};
