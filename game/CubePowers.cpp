// Special cubes: where a bomb, a paint cube or a shot cube comes on the board, and what
// each does when it arrives.
#include "game/Game.h"
#include "game/RuleHelpers.h"

#include <algorithm>

using namespace rules;

namespace
{
// Label position of the points of a bomb, a paint cube or a shot.
TVector3 PointsLabelAt(int x, int y)
{
    return {static_cast<float>(x - 6), static_cast<float>(y - 5), 0.0f};
}
} // namespace

void TGame::AddSpecialCube(uint8_t kind)
{
    if (FreeCount <= 0)
    {
        return;
    }
    const TCell cell = TakeFreeCell();
    if (cell.X == 0)
    {
        return;
    }
    PutNewCube(kind, cell, true);
}

// When the cell is no longer free (the shot cube's cell was taken while the player aimed,
// or its old cube is not yet cleared away) the cube goes to a random free cell instead,
// so the player keeps it and no cell is ever used twice.
void TGame::PlaceSpecialCube(uint8_t kind, TCell cell)
{
    if (FreeCount <= 0 || CheckGameOver(true))
    {
        return;
    }
    int j = 0;
    for (int i = 1; i <= FreeCount; ++i)
    {
        if (FreeCells[i] == cell)
        {
            j = i;
        }
    }
    if (j == 0)
    {
        j = Deal.Random(FreeCount) + 1;
    }
    const TCell target = FreeCells[j];
    DropFreeCell(j);
    PutNewCube(kind, target, true);
}

void TGame::AddSpecial()
{
    const TLevel& l = CurrentLevel();
    uint8_t allowed[3];
    int count = 0;
    if (l.AllowBombs)
    {
        allowed[count++] = ckBomb;
    }
    if (l.AllowPaints)
    {
        allowed[count++] = ckPaint1;
    }
    if (l.AllowShots)
    {
        allowed[count++] = ckShot;
    }
    if (count == 0)
    {
        return;
    }
    uint8_t special = allowed[0];
    if (count == 2)
    {
        special = Deal.Random(2) == 0 ? allowed[0] : allowed[1];
    }
    else if (count == 3)
    {
        special = allowed[Deal.Random(3)];
    }

    if (special == ckPaint1)
    {
        const int r = Deal.Random(ColourCount(l, Mode));
        AddSpecialCube(static_cast<uint8_t>(r >= 1 && r <= 6 ? ckPaint1 + r : ckPaint1));
    }
    else
    {
        AddSpecialCube(special);
    }
}

void TGame::ExplodeBomb(TCell cell)
{
    const TLevel& l = CurrentLevel();
    const bool bombsFree = Mode == gmNormal && l.LevelKind == lkBonus;
    long long total = 0;
    for (int x = std::max(1, cell.X - 1); x <= std::min(9, cell.X + 1); ++x)
    {
        for (int y = std::max(1, cell.Y - 1); y <= std::min(9, cell.Y + 1); ++y)
        {
            if (Cells[x][y].Occupancy != coOccupied)
            {
                continue;
            }
            const int i = Cells[x][y].Cube;
            if (i < 1 || i > CubeCount)
            {
                continue;
            }
            SetState(i, csVanishing);
            Cubes[i].Anim = 0;
            if (!(bombsFree && Cubes[i].Kind == ckBomb))
            {
                total += l.CubePoints;
            }
        }
    }
    PendingScore += static_cast<double>(total);
    Labels.AddBoardLabel(PointsLabelAt(cell.X, cell.Y), 2, 2, TLabelText().Number(total).View(),
                         14);
    Host.PlaySound(snExplodeBomb);
    NoScoreMove = false;
}

void TGame::Paint(TCell cell, int k)
{
    const TLevel& l = CurrentLevel();
    long long total = 0;
    for (int x = std::max(1, cell.X - 1); x <= std::min(9, cell.X + 1); ++x)
    {
        for (int y = std::max(1, cell.Y - 1); y <= std::min(9, cell.Y + 1); ++y)
        {
            const int i = Cells[x][y].Cube;
            if (Cells[x][y].Occupancy == coOccupied && i >= 1 && i <= CubeCount &&
                IsColourKind(Cubes[i].Kind))
            {
                total += l.CubePoints;
                Cubes[i].Kind = static_cast<uint8_t>(k + 1);
            }
        }
    }
    const int centre = Cells[cell.X][cell.Y].Cube;
    if (centre >= 1 && centre <= CubeCount)
    {
        SetState(centre, csVanishing);
        Cubes[centre].Anim = 0;
    }
    PendingScore += static_cast<double>(total);
    Labels.AddBoardLabel(PointsLabelAt(cell.X, cell.Y), 2, 2, TLabelText().Number(total).View(),
                         14);
    Host.PlaySound(snColorize);
    NoScoreMove = false;
}

void TGame::Shoot(uint8_t kind)
{
    const TLevel& l = CurrentLevel();
    long long total = 0;
    for (int i = 1; i <= CubeCount; ++i)
    {
        if (Cubes[i].Kind == kind && Cubes[i].State != csWaiting)
        {
            total += l.CubePoints;
            SetState(i, csVanishing);
            Cubes[i].Anim = 0;
        }
    }
    PendingScore += static_cast<double>(total);
    const TLabelText text = TLabelText().Number(total);
    Labels.AddBoardLabel(PointsLabelAt(HoverCell.X, HoverCell.Y), 2, 2, text.View(), 14);
    Host.PlaySound(snShot);
    NoScoreMove = false;
}
