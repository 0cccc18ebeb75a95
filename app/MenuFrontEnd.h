// The shell's front end once the menus exist: every hook of the load sequence, the frame
// and the input routing goes to the menu logic of front/ (TFrontEnd).
#pragma once

#include "FrontEnd.h"
#include "Menu.h"

class TMenuFrontEnd final : public IFrontEnd
{
public:
    explicit TMenuFrontEnd(TFrontEnd& front) : Front(front) {}

    void LoadMenu(TLoadingBar& bar) override { Front.LoadMenu(&bar); }
    void EnterMainMenu() override { Front.EnterMainMenu(); }
    void CreateHiScores() override { Front.CreateHiScores(); }
    THiScores* HiScores() override { return Front.HiScores.get(); }
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
};
