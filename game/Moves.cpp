// Putting cubes on the board, moving them and taking them off: the free-cell list, new
// cubes each turn, the path search, the move itself and the end of the game when the
// board is full. What special cubes do (bombs, paint, shots) is in CubePowers.cpp.
#include "game/Game.h"
#include "game/RuleHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <system_error>

using namespace rules;

namespace
{
constexpr float WaitingHeight = 0.15f; // centre of an announced cube
constexpr float JumpedHeight = 0.25f;  // an announced cube pushed aside by an arriving one
constexpr float WaitingScale = 0.3f;
constexpr float CellsPerMs = 0.014f; // 14 cells per second
constexpr int MaxPathSteps = 30;

TVector3 CellCentre(int x, int y, float z)
{
    return {static_cast<float>(x - 5), static_cast<float>(y - 5), z};
}
} // namespace

void TGame::ClearBoard()
{
    CubeCount = 0;
    PathLength = 0;
    FreeCount = CellCount;
    int i = 1;
    for (int x = 1; x <= BoardSize; ++x)
    {
        for (int y = 1; y <= BoardSize; ++y)
        {
            FreeCells[i++] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
            Cells[x][y].Occupancy = coEmpty;
            Cells[x][y].Cube = 0;
        }
    }
    StateCounts.fill(0);
    PrevStateCounts = StateCounts;
    Select(0);
}

void TGame::DropFreeCell(int i)
{
    if (i < 1 || i > FreeCount)
    {
        return;
    }
    for (int j = i; j < FreeCount; ++j)
    {
        FreeCells[j] = FreeCells[j + 1];
    }
    --FreeCount;
}

TCell TGame::TakeFreeCell()
{
    if (CheckGameOver(true) || FreeCount <= 0)
    {
        return {};
    }
    const int i = Deal.Random(FreeCount) + 1;
    const TCell cell = FreeCells[i];
    DropFreeCell(i);
    return cell;
}

void TGame::AddCube()
{
    if (CheckGameOver(true))
    {
        return;
    }
    TLevel& l = CurrentLevel();
    const int m = ModeIndex(Mode);
    uint8_t kind = ckStone;
    bool stoneMade = false;
    if (l.LevelKind != lkBonus)
    {
        kind = static_cast<uint8_t>(Deal.Random(ColourCount(l, Mode)) + 1);
        if (Deal.Random(l.JokerOdds) == 1)
        {
            kind = ckJoker;
        }
        const int a = l.Stones[m];
        if (a > 0 && Deal.Random(std::abs(40 - 2 * a)) == 1)
        {
            kind = ckStone;
            stoneMade = true;
        }
    }

    // No cell (the game is over, or the board is full while a level ends): nothing is
    // placed and no stone is used up.
    const TCell cell = TakeFreeCell();
    if (cell.X == 0)
    {
        return;
    }
    if (stoneMade)
    {
        --l.Stones[m];
    }

    PutNewCube(kind, cell, false);
}

int TGame::PutNewCube(uint8_t kind, TCell cell, bool full)
{
    const int n = ++CubeCount;
    TCube& c = Cubes[n];
    c = TCube{};
    c.Kind = kind;
    c.X = cell.X;
    c.Y = cell.Y;
    const float scale = full ? CubeScale : WaitingScale;
    c.Position = CellCentre(cell.X, cell.Y, full ? RestHeight : WaitingHeight);
    c.Scale = {scale, scale, scale};
    c.State = full ? csIdle : csWaiting;
    ++StateCounts[StateSlot(c.State)];
    TBoardCell& b = Cells[cell.X][cell.Y];
    b.Occupancy = full ? coOccupied : coReserved;
    b.Cube = static_cast<uint8_t>(n);
    return n;
}

void TGame::TakeCell(TCell cell)
{
    for (int i = 1; i <= FreeCount; ++i)
    {
        if (FreeCells[i] == cell)
        {
            DropFreeCell(i);
            return;
        }
    }
}

void TGame::GrowWaitingCubes()
{
    if (CheckGameOver(true))
    {
        return;
    }
    for (int i = 1; i <= CubeCount; ++i)
    {
        TCube& c = Cubes[i];
        if (c.State == csWaiting)
        {
            c.Anim = 0;
            Cells[c.X][c.Y].Occupancy = coReserved;
            Cells[c.X][c.Y].Cube = static_cast<uint8_t>(i);
            SetState(i, csGrowing);
        }
    }
}

void TGame::NewTurn()
{
    GrowWaitingCubes();
    const TLevel& l = CurrentLevel();
    if (l.LevelKind != lkBonus)
    {
        for (int k = 0; k < l.NewCubes[ModeIndex(Mode)]; ++k)
        {
            AddCube();
        }
    }
    ComputeDistances();
    Host.PlaySound(snNewTurn);
    BoardQuiet = true;
}

void TGame::Select(int i)
{
    if (i == 0)
    {
        for (int j = 1; j <= CubeCount; ++j)
        {
            if (Cubes[j].State == csSelected)
            {
                PutDown(Cubes[j]);
                SetState(j, csIdle);
            }
        }
    }
    // The former selection (a cube that has just arrived, say) is put down too, unless it
    // is still on its way (a pause in mid-move must not strand it between two cells) or
    // has started to vanish (a scored cube must not come back).
    if (Selected >= 1 && Selected <= CubeCount)
    {
        TCube& old = Cubes[Selected];
        if (old.State == csSelected || old.State == csIdle)
        {
            PutDown(old);
            SetState(Selected, csIdle);
        }
    }
    const int former = Selected;
    Selected = (i >= 1 && i <= CubeCount) ? i : 0;
    if (Selected == 0)
    {
        // The hum belongs to a selected cube: whatever clears the selection silences it.
        if (former != 0)
        {
            Host.StopSound(snSelected);
        }
        return;
    }
    TCube& c = Cubes[Selected];
    c.Scale = {CubeScale, CubeScale, CubeScale};
    c.Rotation = {};
    c.Anim = 0;
    SetState(Selected, csSelected);
    Host.PlaySound(snSelectCube);
}

namespace
{
// Gives distance d to the free neighbours of (x, y) not reached yet; reports any marked.
bool MarkNeighbours(TBoardCell (&cells)[BoardSize + 1][BoardSize + 1], int x, int y, int d)
{
    static constexpr int dx[4] = {1, -1, 0, 0};
    static constexpr int dy[4] = {0, 0, 1, -1};
    bool marked = false;
    for (int k = 0; k < 4; ++k)
    {
        const int nx = x + dx[k];
        const int ny = y + dy[k];
        if (OnBoard(nx, ny) && cells[nx][ny].Occupancy != coOccupied && cells[nx][ny].Distance == 0)
        {
            cells[nx][ny].Distance = static_cast<uint8_t>(d);
            marked = true;
        }
    }
    return marked;
}
} // namespace

void TGame::ComputeDistances()
{
    if (Selected == 0)
    {
        return;
    }
    for (int x = 1; x <= BoardSize; ++x)
    {
        for (int y = 1; y <= BoardSize; ++y)
        {
            Cells[x][y].Occupancy = coEmpty;
            Cells[x][y].Distance = 0;
        }
    }
    for (int i = 1; i <= CubeCount; ++i)
    {
        const TCube& c = Cubes[i];
        Cells[c.X][c.Y].Occupancy = c.State == csWaiting ? coReserved : coOccupied;
        Cells[c.X][c.Y].Cube = static_cast<uint8_t>(i);
    }

    const TCube& s = Cubes[Selected];
    MarkNeighbours(Cells, s.X, s.Y, 1);
    for (int d = 2; d <= MaxPathSteps; ++d)
    {
        bool marked = false;
        for (int x = 1; x <= BoardSize; ++x)
        {
            for (int y = 1; y <= BoardSize; ++y)
            {
                if (Cells[x][y].Occupancy != coOccupied && Cells[x][y].Distance == d - 1)
                {
                    marked = MarkNeighbours(Cells, x, y, d) || marked;
                }
            }
        }
        if (!marked)
        {
            break;
        }
    }
}

void TGame::BuildPath()
{
    if (Selected == 0)
    {
        return;
    }
    PathLength = 0;
    int x = HoverCell.X;
    int y = HoverCell.Y;
    if (!OnBoard(x, y) || Cells[x][y].Occupancy == coOccupied)
    {
        return;
    }
    const int d = Cells[x][y].Distance;
    if (d == 0)
    {
        AddDot(HoverCell, 3);
        return;
    }
    AddDot(HoverCell, 2);
    for (int step = 1; step < d; ++step)
    {
        const int want = Cells[x][y].Distance - 1;
        if (x <= 8 && Cells[x + 1][y].Distance == want)
        {
            ++x;
        }
        else if (x > 1 && Cells[x - 1][y].Distance == want)
        {
            --x;
        }
        else if (y < 9 && Cells[x][y + 1].Distance == want)
        {
            ++y;
        }
        else if (y > 1 && Cells[x][y - 1].Distance == want)
        {
            --y;
        }
        else
        {
            break;
        }
        AddDot({static_cast<uint8_t>(x), static_cast<uint8_t>(y)}, 1);
    }
}

void TGame::AddDot(TCell cell, uint8_t kind)
{
    if (PathLength < 0 || PathLength >= static_cast<int>(Path.size()))
    {
        return;
    }
    TDot& d = Path[PathLength++];
    d.DotKind = kind;
    d.X = cell.X;
    d.Y = cell.Y;
    d.Position = CellCentre(cell.X, cell.Y, 0.05f);
    d.Scale = {0.9f, 0.9f, 1.0f};
    d.Rotation = {};
}

// The moving cube makes the board busy at once, so no press or cursor move can lay a new
// path or start a second move before the next update has seen the move.
void TGame::StartMove()
{
    if (Selected == 0 || PathLength <= 0 || Path[0].DotKind != 2)
    {
        return;
    }
    KeepUndoPoint();
    NoScoreMove = true;
    Host.StopSound(snSelected);
    TCube& c = Cubes[Selected];
    SetState(Selected, csMoving);
    c.Anim = 0;
    c.Position = CellCentre(c.X, c.Y, RestHeight);
    AddDot({c.X, c.Y}, 1);
    c.PathStart = c.PathPos = c.NextHop = static_cast<float>(PathLength);
    BoardQuiet = false;
}

void TGame::UpdateMoving(int i, float dt)
{
    TCube& c = Cubes[i];
    const float t = c.PathPos;
    int a = static_cast<int>(t);
    float f = t - static_cast<float>(a);
    // At the very start t is the path length, one past the last dot: the same point
    // is dot a - 1 taken whole. The path's own length is taken from the cube, as the
    // shown path may be dropped (a pause) while the cube travels on.
    const int dots = std::min(static_cast<int>(c.PathStart), static_cast<int>(Path.size()));
    if (a >= dots)
    {
        a = dots - 1;
        f = 1.0f;
    }
    if (a >= 1)
    {
        const TDot& to = Path[a];
        const TDot& from = Path[a - 1];
        c.Position.x = to.Position.x * f + from.Position.x * (1.0f - f);
        c.Position.y = to.Position.y * f + from.Position.y * (1.0f - f);
        Path[a].Position.z = -1.0f;
    }
    c.Position.z = std::fabs(std::sin(t * std::numbers::pi_v<float> / 2.0f)) + RestHeight;

    if (t <= c.NextHop)
    {
        c.NextHop -= 1.0f;
        if (c.NextHop == 1.0f)
        {
            Host.PlaySound(snMoved);
        }
        else
        {
            Host.PlaySound(c.Kind == ckBomb ? snMoveBomb : snMoveCube);
        }
    }
    c.PathPos -= dt * CellsPerMs;
    if (c.PathPos <= 1.0f)
    {
        PathLength = 0;
        Arrive(i);
    }
}

void TGame::Arrive(int i)
{
    TCube& m = Cubes[i];
    const TCell s{m.X, m.Y};
    const TCell t{Path[0].X, Path[0].Y};
    bool sFreed = false;

    if (Cells[t.X][t.Y].Occupancy == coReserved)
    {
        const int w = Cells[t.X][t.Y].Cube;
        TCube& waiting = Cubes[w];
        if (FreeCount > 0)
        {
            // The announced cube jumps to a random free cell; the target takes its place
            // in the free list until the step below hands it over.
            const int j = Deal.Random(FreeCount) + 1;
            const TCell n = FreeCells[j];
            waiting.X = n.X;
            waiting.Y = n.Y;
            waiting.Position = CellCentre(n.X, n.Y, JumpedHeight);
            Cells[n.X][n.Y].Occupancy = coReserved;
            Cells[n.X][n.Y].Cube = static_cast<uint8_t>(w);
            FreeCells[j] = t;
            Cells[t.X][t.Y].Occupancy = coEmpty;
            Cells[t.X][t.Y].Cube = 0;
        }
        else
        {
            // No free cell: the announced cube and the arriving one swap cells.
            waiting.X = s.X;
            waiting.Y = s.Y;
            waiting.Position = CellCentre(s.X, s.Y, JumpedHeight);
            Cells[s.X][s.Y].Occupancy = coReserved;
            Cells[s.X][s.Y].Cube = static_cast<uint8_t>(w);
            sFreed = true; // S is taken over, not freed
        }
    }

    if (!sFreed)
    {
        int j = 0;
        for (int k = 1; k <= FreeCount; ++k)
        {
            if (FreeCells[k] == t)
            {
                j = k;
            }
        }
        if (j != 0)
        {
            FreeCells[j] = s;
        }
        else if (FreeCount < CellCount)
        {
            FreeCells[++FreeCount] = s;
        }
        Cells[s.X][s.Y].Occupancy = coEmpty;
        Cells[s.X][s.Y].Cube = 0;
    }

    m.X = t.X;
    m.Y = t.Y;
    m.Position = CellCentre(t.X, t.Y, RestHeight);
    Cells[t.X][t.Y].Occupancy = coOccupied;
    Cells[t.X][t.Y].Cube = static_cast<uint8_t>(i);
    SetState(i, csIdle);
    Select(0);

    if (m.Kind == ckBomb)
    {
        ExplodeBomb(t);
    }
    else if (IsPaintKind(m.Kind))
    {
        Paint(t, m.Kind - ckPaint1);
    }
}

// Cubes after i move down one place; the grid and the selection follow them, so every
// index in Cells and Selected names the same cube as before.
void TGame::RemoveCube(int i)
{
    if (CubeCount <= 0 || i < 1 || i > CubeCount)
    {
        return;
    }
    const TCube& c = Cubes[i];
    if (FreeCount < CellCount)
    {
        FreeCells[++FreeCount] = {c.X, c.Y};
    }
    Cells[c.X][c.Y].Occupancy = coEmpty;
    Cells[c.X][c.Y].Cube = 0;
    --StateCounts[StateSlot(c.State)];
    for (int j = i; j < CubeCount; ++j)
    {
        Cubes[j] = Cubes[j + 1];
    }
    --CubeCount;

    for (int x = 1; x <= BoardSize; ++x)
    {
        for (int y = 1; y <= BoardSize; ++y)
        {
            if (Cells[x][y].Cube > i)
            {
                --Cells[x][y].Cube;
            }
        }
    }
    if (Selected == i)
    {
        Selected = 0;
    }
    else if (Selected > i)
    {
        --Selected;
    }
}

bool TGame::CheckGameOver(bool onSpawn)
{
    if (EndPhase == epGameOver)
    {
        return true;
    }
    if (EndPhase == epLevelDone || EndPhase == epPaused)
    {
        return false;
    }
    const TLevel& l = CurrentLevel();
    const bool over = onSpawn ? (CubeCount > CellCount || FreeCount <= 0)
                              : (Mode == gmTimed && l.LevelKind != lkBonus && l.Progress < 0);
    if (!over)
    {
        return false;
    }
    EndPhase = epGameOver;
    PhaseTime = 0;
    UndoReady = false;
    Host.PlaySound(snGameOver);
    Select(0);
    Host.StopSound(snSelected);
    Host.StopMusic();
    std::error_code ec;
    std::filesystem::remove(SaveFile(Mode), ec); // a missing file is no error
    SaveRequest = srRemove; // and so must any write of it still under way
    return true;
}
