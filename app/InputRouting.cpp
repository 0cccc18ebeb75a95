#include "app/InputRouting.h"

#include "render/Cursor.h"
#include "game/Game.h"
#include "render/Graphics.h"
#include "front/HighScores.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr uint16_t VkEscape = 27;
constexpr uint16_t VkEnter = 13;
constexpr uint16_t VkF1 = 112;
constexpr uint16_t VkP = 80;
constexpr int PauseScreen = 5;
constexpr int MainScreen = 1;
constexpr int HiScoreScreen = 6;
} // namespace

int64_t RoundedScore(double score)
{
    if (std::isnan(score))
    {
        return 0;
    }
    constexpr double Limit = 9.2e18; // inside the 64-bit range
    // std::nearbyint rounds halves to even in the default rounding mode.
    return static_cast<int64_t>(std::nearbyint(std::clamp(score, -Limit, Limit)));
}

int32_t TableScore(int64_t rounded)
{
    return static_cast<int32_t>(std::clamp<int64_t>(rounded, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool TInputRouter::Loading() const
{
    return State == gsLaunch || State == gsLoading;
}

bool TInputRouter::ClosingGame() const
{
    return Game != nullptr && Game->EndPhase == epGameOver;
}

void TInputRouter::KeyDown(uint16_t key)
{
    if (Loading())
    {
        return;
    }
    if (State == gsGame && Game != nullptr && Game->EndPhase == epPlaying &&
        (key == VkEscape || key == VkF1 || key == VkP))
    {
        Game->Deselect();
        Game->EndPhase = epPaused;
        FrontEnd->ShowScreen(PauseScreen);
        return;
    }
    if (Game != nullptr)
    {
        Game->KeyDown(key);
    }
    switch (State)
    {
    case gsMenu:
    case gsTutorial:
    case gsHelp:
        FrontEnd->MenuCommand(key);
        break;
    case gsGameOver:
        LeaveGameOver();
        break;
    case gsHiScores:
        if (THiScores* scores = FrontEnd->Scores(); scores != nullptr && scores->Entering)
        {
            scores->EditName(key & 0xFF);
        }
        else if (key == VkEscape || key == VkEnter)
        {
            if (scores != nullptr)
            {
                scores->SaveScores();
            }
            State = gsMenu;
            FrontEnd->ShowScreen(MainScreen);
        }
        break;
    default:
        break;
    }
}

void TInputRouter::MouseMove(int x, int y)
{
    if (Loading() || Cursor == nullptr)
    {
        return;
    }
    Cursor->MoveCursor(x, y);
    if (Graphics != nullptr && Graphics->Device)
    {
        Graphics->CursorLight.Position = {Cursor->X(), Cursor->Y(), 1.05f};
        Graphics->Device->SetTransform(tkWorld, IdentityMatrix());
        Graphics->Device->SetLight(1, Graphics->CursorLight);
    }
    if (State == gsGame && Game != nullptr)
    {
        Game->MouseMove();
    }
    if (State == gsMenu)
    {
        FrontEnd->HighlightOptionLabels();
    }
    FrontEnd->HandleMouseMove(Cursor->X(), Cursor->Y());
}

void TInputRouter::MouseDown(int button)
{
    if (Loading() || ClosingGame())
    {
        return;
    }
    if (State == gsGame && Game != nullptr)
    {
        Game->MouseDown(button);
    }
    FrontEnd->MenuMouseDown();
}

void TInputRouter::MouseUp(int button)
{
    if (Loading())
    {
        return;
    }
    if (!AppActive)
    {
        // This release only wakes the application.
        AppActive = true;
        if (ResumeState)
        {
            ResumeState();
        }
        return;
    }
    if (ClosingGame())
    {
        return;
    }
    if (State == gsGameOver)
    {
        LeaveGameOver();
        return;
    }
    const float x = Cursor != nullptr ? Cursor->X() : 0.0f;
    const float y = Cursor != nullptr ? Cursor->Y() : 0.0f;
    FrontEnd->MenuMouseUp(button, x, y);
}

void TInputRouter::LeaveGameOver()
{
    THiScores* scores = FrontEnd->Scores();
    if (scores != nullptr && Game != nullptr)
    {
        scores->ShownMode = Game->Mode == gmTimed ? 2 : 1;
        const int64_t score = RoundedScore(Game->Score);
        if (scores->Tables[scores->ShownMode][HiScorePlaces].Points < score)
        {
            scores->Entering = true;
            scores->EditRow = static_cast<uint8_t>(scores->InsertScore(TableScore(score)));
        }
        else
        {
            scores->Entering = false;
        }
    }
    State = gsHiScores;
    FrontEnd->ShowScreen(HiScoreScreen);
    FrontEnd->SwapItem(3, 2);
    if (scores != nullptr && scores->ShownMode == 2)
    {
        FrontEnd->SwapItem(2, 3);
    }
}
