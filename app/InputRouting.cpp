#include "app/InputRouting.h"

#include "app/KeyCodes.h"

#include "render/Cursor.h"
#include "game/Game.h"
#include "render/Graphics.h"
#include "front/HighScores.h"
#include "front/MenuScreens.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr int AimCursor = 3;
constexpr int BoardCells = 9;

bool CursorKey(uint16_t key)
{
    return key >= VkPageUp && key <= VkDown;
}

bool PauseKey(uint16_t key)
{
    return key == VkEscape || key == VkF1 || key == VkP;
}
} // namespace

bool TInputRouter::Loading() const
{
    return Traits(State).Loading;
}

bool TInputRouter::ClosingGame() const
{
    return Game != nullptr && Game->View().EndPhase == epGameOver;
}

bool TInputRouter::OnBoard() const
{
    return State == gsGame && Game != nullptr && Game->View().EndPhase == epPlaying;
}

bool TInputRouter::InGame() const
{
    return State == gsGame && Game != nullptr &&
           (Game->View().EndPhase == epPlaying || Game->View().EndPhase == epPaused);
}

bool TInputRouter::PauseGame()
{
    if (Loading() || !OnBoard())
    {
        return false;
    }
    Game->Deselect();
    Game->Pause();
    FrontEnd->ShowScreen(scLeave);
    return true;
}

void TInputRouter::KeyDown(uint16_t key, bool repeat)
{
    EndOfEvents(); // a name key whose text never came types before the next key acts
    if (Loading())
    {
        return;
    }
    if (State == gsGame && repeat && !CursorKey(key))
    {
        return; // a held key clicks, pauses or resumes once
    }
    if (State == gsHiScores && repeat && (key == VkEnter || key == VkEscape))
    {
        return; // the Enter held from the game-over picture does not confirm an empty name
    }
    if (OnBoard() && PauseKey(key))
    {
        PauseGame();
        return;
    }
    if (State != gsGame)
    {
        KeysOnBoard = false; // the next game's first key finds the board cursor afresh
    }
    switch (State)
    {
    case gsMenu:
    case gsTutorial:
    case gsHelp:
        FrontEnd->MenuCommand(key);
        break;
    case gsGameOver:
        FrontEnd->LeaveGameOver();
        break;
    case gsHiScores:
        if (THiScores* scores = FrontEnd->Scores(); scores != nullptr && scores->Entering)
        {
            NameKey(*scores, key);
        }
        else if (key == VkEscape || key == VkEnter)
        {
            if (scores != nullptr)
            {
                scores->SaveScores();
            }
            State = gsMenu;
            FrontEnd->ShowScreen(scMain);
        }
        break;
    case gsGame:
        if (OnBoard())
        {
            BoardKey(key);
        }
        else if (Game != nullptr && Game->View().EndPhase == epPaused)
        {
            FrontEnd->MenuCommand(key); // the pause screen and the offer of the saved game
        }
        break;
    default:
        break;
    }
}

void TInputRouter::NameKey(THiScores& scores, uint16_t key)
{
    // The cursor keys choose letters, so a name can be made without letter keys (a
    // gamepad): up and down change the letter at the caret, right adds one, left deletes.
    switch (key)
    {
    case VkUp: scores.StepNameCharacter(+1); break;
    case VkDown: scores.StepNameCharacter(-1); break;
    case VkRight: scores.EditName('A'); break;
    case VkLeft: scores.EditName(VkBack); break;
    default:
        if (THiScores::NameCharacter(key & 0xFF) != 0)
        {
            PendingNameKey = key;
        }
        else
        {
            scores.EditName(key & 0xFF);
        }
        break;
    }
}

void TInputRouter::TextInput(std::string_view text)
{
    THiScores* scores = FrontEnd != nullptr && State == gsHiScores ? FrontEnd->Scores() : nullptr;
    if (scores == nullptr || !scores->Entering)
    {
        PendingNameKey = 0;
        return;
    }
    if (scores->TypeText(text))
    {
        PendingNameKey = 0;
    }
    EndOfEvents();
}

void TInputRouter::EndOfEvents()
{
    const uint16_t key = PendingNameKey;
    PendingNameKey = 0;
    THiScores* scores = FrontEnd != nullptr && State == gsHiScores ? FrontEnd->Scores() : nullptr;
    if (key != 0 && scores != nullptr && scores->Entering)
    {
        scores->EditName(key & 0xFF);
    }
}

void TInputRouter::BoardKey(uint16_t key)
{
    if (key == VkU)
    {
        Game->Undo(); // nothing when there is no move to take back
        return;
    }
    const bool click = key == VkEnter || key == VkSpace;
    const bool cancel = key == VkBack || key == VkDelete;
    if (!CursorKey(key) && !click && !cancel)
    {
        return;
    }
    if (!KeysOnBoard)
    {
        // The first key shows the board cursor on the selected cube, or in the middle.
        KeysOnBoard = true;
        CellX = CellY = (BoardCells + 1) / 2;
        const TGameFields& g = Game->View();
        if (g.Selected >= 1 && g.Selected <= g.CubeCount)
        {
            CellX = std::clamp<int>(g.Cubes[g.Selected].X, 1, BoardCells);
            CellY = std::clamp<int>(g.Cubes[g.Selected].Y, 1, BoardCells);
        }
        PlaceBoardCursor();
        return;
    }
    // The board's x grows to the left of the screen and its y upwards.
    switch (key)
    {
    case VkLeft: CellX = std::min(CellX + 1, BoardCells); break;
    case VkRight: CellX = std::max(CellX - 1, 1); break;
    case VkUp: CellY = std::min(CellY + 1, BoardCells); break;
    case VkDown: CellY = std::max(CellY - 1, 1); break;
    case VkHome: CellX = BoardCells; break;
    case VkEnd: CellX = 1; break;
    case VkPageUp: CellY = BoardCells; break;
    case VkPageDown: CellY = 1; break;
    case VkEnter:
    case VkSpace: Game->MouseDown(0); break;
    default:
        // Cancel: while aiming the shot cube goes back, as with the right button; otherwise
        // the selection is dropped (a right click would pick up the cube under the cursor
        // again, and the board cursor usually stands on the selected cube).
        if (Game->GameHost().Cursor() == AimCursor)
        {
            Game->MouseDown(1);
        }
        else if (Game->View().BoardQuiet && Game->View().Selected != 0)
        {
            Game->Deselect();
            Game->GameHost().StopSound(snSelected);
        }
        break;
    }
    PlaceBoardCursor();
}

void TInputRouter::PlaceBoardCursor()
{
    // The middle of the cell, where the mouse would point at it.
    const float x = static_cast<float>(CellX - 5);
    const float y = static_cast<float>(CellY - 5);
    Game->GameHost().PlaceCursor(x, y);
    if (Graphics != nullptr && Graphics->Device)
    {
        Graphics->CursorLight.Position = {x, y, 1.05f};
        Graphics->Device->SetTransform(tkWorld, IdentityMatrix());
        Graphics->Device->SetLight(1, Graphics->CursorLight);
    }
    Game->MouseMove();
    FrontEnd->HandleMouseMove(x, y);
}

void TInputRouter::MouseMove(int x, int y)
{
    if (Loading())
    {
        return;
    }
    KeysOnBoard = false; // the mouse takes the cursor back
    if (Cursor == nullptr)
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
    if (Traits(State).BoardInput && Game != nullptr)
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
    EndOfEvents();
    if (Loading() || ClosingGame())
    {
        return;
    }
    if (Traits(State).BoardInput && Game != nullptr)
    {
        Game->MouseDown(button);
    }
    FrontEnd->MenuMouseDown();
}

void TInputRouter::MouseUp(int button)
{
    EndOfEvents();
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
        FrontEnd->LeaveGameOver();
        return;
    }
    const float x = Cursor != nullptr ? Cursor->X() : 0.0f;
    const float y = Cursor != nullptr ? Cursor->Y() : 0.0f;
    FrontEnd->MenuMouseUp(button, x, y);
}
