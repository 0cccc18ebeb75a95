// The player's mouse on the board: the path under the cursor, selecting a cube, sending
// it off, and aiming a shot. The game has no keys of its own.
#include "game/Game.h"
#include "game/RuleHelpers.h"

#include <algorithm>
#include <cmath>

using namespace rules;

namespace
{
constexpr int GameCursor = 2;
constexpr int AimCursor = 3;
constexpr int LeftButton = 0;
constexpr int RightButton = 1;

// Board cell of a board coordinate; halves round to even as the cursor always has.
int CellOf(float v)
{
    const float r = std::nearbyint(std::clamp(v, -10.0f, 10.0f));
    return std::clamp(static_cast<int>(r) + 5, 1, BoardSize);
}
} // namespace

void TGame::MouseMove()
{
    if (EndPhase != epPlaying || !BoardQuiet)
    {
        return;
    }
    if (CursorOnBoard())
    {
        HoverCell = CursorCell();
        BuildPath();
    }
    else
    {
        PathLength = 0;
    }
}

void TGame::MouseDown(int button)
{
    if (EndPhase != epPlaying)
    {
        return;
    }
    const bool aiming = Host.Cursor() == AimCursor;
    if (aiming && StateCounts[StateSlot(csVanishing)] == 0)
    {
        if (button == LeftButton)
        {
            for (int i = 1; i <= CubeCount; ++i)
            {
                if (Cubes[i].State == csSpin && IsColourKind(Cubes[i].Kind))
                {
                    Shoot(Cubes[i].Kind);
                    Host.SetCursor(GameCursor);
                    return;
                }
            }
        }
        else if (button == RightButton)
        {
            PlaceSpecialCube(ckShot, ShotCell);
            Host.SetCursor(GameCursor);
            return;
        }
    }
    if (aiming || !BoardQuiet)
    {
        return;
    }

    if (button == RightButton)
    {
        // A right click lets go of the held cube; on another cube it takes that one instead.
        const int held = Deselect();
        if (held != 0 && CursorOnCube(held))
        {
            Host.StopSound(snSelected);
            return;
        }
    }
    if (PathLength > 0)
    {
        if (Path[0].DotKind == 2)
        {
            StartMove();
        }
        return;
    }

    const int before = Selected;
    Select(0);
    if (!CursorOnBoard())
    {
        Host.StopSound(snSelected);
    }
    // Cubes on their way out (vanishing, or vanished and not yet cleared away) are not
    // there for the player any more.
    for (int i = 1; i <= CubeCount; ++i)
    {
        const TCube& c = Cubes[i];
        if (c.Kind == ckStone || c.State == csWaiting || c.State == csVanishing ||
            c.State == csRemoved || !CursorOnCube(i))
        {
            continue;
        }
        if (i == before)
        {
            Host.StopSound(snSelected);
        }
        else
        {
            Select(i);
        }
    }
    if (Selected == before)
    {
        return;
    }
    if (Selected == 0)
    {
        Host.StopSound(snSelected);
    }
    if (Selected != 0 && Cubes[Selected].Kind != ckShot)
    {
        Host.PlaySound(snSelected);
    }
    ComputeDistances();
    if (Selected != 0 && Cubes[Selected].Kind == ckShot)
    {
        const int shot = Selected;
        KeepUndoPoint(); // taking up the shot cube begins the move
        ShotCell = {Cubes[shot].X, Cubes[shot].Y};
        Select(0);
        SetState(shot, csVanishing);
        Cubes[shot].Anim = 0;
        Host.SetCursor(AimCursor);
    }
}

uint8_t TGame::Deselect()
{
    const int former = Selected;
    PathLength = 0;
    Select(0);
    return static_cast<uint8_t>(former & 0xFF);
}

bool TGame::CursorOnBoard() const
{
    const float x = Host.CursorX();
    const float y = Host.CursorY();
    return x >= -4.5f && x < 4.5f && y >= -4.5f && y < 4.5f;
}

TCell TGame::CursorCell() const
{
    return {static_cast<uint8_t>(CellOf(Host.CursorX())),
            static_cast<uint8_t>(CellOf(Host.CursorY()))};
}

bool TGame::CursorOnCube(int i) const
{
    const float x = Host.CursorX();
    const float y = Host.CursorY();
    const float cx = static_cast<float>(Cubes[i].X);
    const float cy = static_cast<float>(Cubes[i].Y);
    return cx - 5.5f <= x && x < cx - 4.5f && cy - 5.5f <= y && y < cy - 4.5f;
}
