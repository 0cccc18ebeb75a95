// The one-step undo of the normal mode: the board as it stood when a move began is kept
// (KeepUndoPoint), and Undo puts it back once. The point is dropped at every new level,
// game or loaded save and when the game ends, so no undo crosses them.
#include "game/Game.h"
#include "game/RuleHelpers.h"

#include <algorithm>

namespace
{
constexpr int GameCursor = 2;
constexpr int AimCursor = 3;
} // namespace

bool TGameFields::CanUndo() const
{
    const auto none = [this](uint8_t state) { return StateCounts[StateSlot(state)] == 0; };
    return UndoReady && Mode == gmNormal && EndPhase == epPlaying && UndoPoint.Level == Level &&
           none(csGrowing) && none(csMoving) && none(csVanishing) && none(csRemoved) &&
           SpecialsOwed == 0;
}

void TGame::KeepUndoPoint()
{
    UndoReady = Mode == gmNormal;
    if (!UndoReady)
    {
        return;
    }
    TUndoPoint& u = UndoPoint;
    u.Level = Level;
    u.LevelState = CurrentLevel();
    u.Score = Score;
    u.PendingScore = PendingScore;
    u.Combo = Combo;
    u.NoScoreMove = NoScoreMove;
    u.SpecialsOwed = SpecialsOwed;
    u.CubeCount = CubeCount;
    u.Cubes = Cubes;
    u.StateCounts = StateCounts;
    std::copy(&Cells[0][0], &Cells[0][0] + (BoardSize + 1) * (BoardSize + 1), &u.Cells[0][0]);
    u.FreeCount = FreeCount;
    u.FreeCells = FreeCells;
    u.Figure = Figure;
    u.FigureShown = Figures[std::clamp(Figure, 0, MaxFigures)];
    u.Deal = Deal;
    // The cube picked up for the move comes back put down on its cell.
    for (int i = 1; i <= u.CubeCount; ++i)
    {
        TCube& c = u.Cubes[i];
        if (c.State == csSelected)
        {
            --u.StateCounts[StateSlot(csSelected)];
            ++u.StateCounts[StateSlot(csIdle)];
            c.State = csIdle;
            rules::PutDown(c);
        }
    }
}

bool TGame::Undo()
{
    if (!CanUndo())
    {
        return false;
    }
    if (Host.Cursor() == AimCursor)
    {
        Host.SetCursor(GameCursor); // the shot being aimed is taken back with its cube
    }
    Select(0);
    PathLength = 0;

    const TUndoPoint& u = UndoPoint;
    CurrentLevel() = u.LevelState;
    Score = u.Score;
    PendingScore = u.PendingScore;
    Combo = u.Combo;
    NoScoreMove = u.NoScoreMove;
    SpecialsOwed = u.SpecialsOwed;
    CubeCount = u.CubeCount;
    Cubes = u.Cubes;
    StateCounts = u.StateCounts;
    PrevStateCounts = StateCounts;
    std::copy(&u.Cells[0][0], &u.Cells[0][0] + (BoardSize + 1) * (BoardSize + 1), &Cells[0][0]);
    FreeCount = u.FreeCount;
    FreeCells = u.FreeCells;
    Figure = u.Figure;
    Figures[std::clamp(Figure, 0, MaxFigures)] = u.FigureShown;
    Deal = u.Deal;

    // The points of the move taken back no longer float over the board.
    Labels.Clear();
    BoardQuiet = true;
    UndoReady = false;
    WasAtRest = true;
    SaveRequest = srWrite;
    SyncDisplay();
    Host.PlaySound(snMenuEsc);
    return true;
}
