#include "game/Invariants.h"

#include "game/Game.h"

#include <array>

namespace
{
std::string CellText(int x, int y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}
} // namespace

std::string CheckInvariants(const TGame& whole)
{
    const TGameFields& game = whole.View();
    std::string problems;
    auto fail = [&problems](const std::string& text) { problems += text + "\n"; };

    if (game.CubeCount < 0 || game.CubeCount > CellCount)
    {
        fail("CubeCount " + std::to_string(game.CubeCount) + " is outside 0..81");
        return problems; // nothing below can be read safely
    }
    if (game.FreeCount < 0 || game.FreeCount > CellCount)
    {
        fail("FreeCount " + std::to_string(game.FreeCount) + " is outside 0..81");
        return problems;
    }
    if (game.FreeCount + game.CubeCount != CellCount)
    {
        fail("FreeCount " + std::to_string(game.FreeCount) + " + CubeCount " +
             std::to_string(game.CubeCount) + " is not 81");
    }

    // Where each cell is: the free list and the cubes together must name it once.
    std::array<std::array<int, BoardSize + 1>, BoardSize + 1> seen{};
    for (int j = 1; j <= game.FreeCount; ++j)
    {
        const TCell c = game.FreeCells[j];
        if (c.X < 1 || c.X > BoardSize || c.Y < 1 || c.Y > BoardSize)
        {
            fail("FreeCells[" + std::to_string(j) + "] = " + CellText(c.X, c.Y) + " is off the board");
            continue;
        }
        ++seen[c.X][c.Y];
        if (game.Cells[c.X][c.Y].Occupancy != coEmpty)
        {
            fail("free cell " + CellText(c.X, c.Y) + " is not coEmpty");
        }
    }

    std::array<int, 10> states{};
    for (int i = 1; i <= game.CubeCount; ++i)
    {
        const TCube& cube = game.Cubes[i];
        ++states[StateSlot(cube.State)];
        auto name = [i] { return "cube " + std::to_string(i); };
        if (cube.X < 1 || cube.X > BoardSize || cube.Y < 1 || cube.Y > BoardSize)
        {
            fail(name() + " stands off the board at " + CellText(cube.X, cube.Y));
            continue;
        }
        ++seen[cube.X][cube.Y];
        const TBoardCell& cell = game.Cells[cube.X][cube.Y];
        if (cell.Cube != i)
        {
            fail("cell " + CellText(cube.X, cube.Y) + " names cube " + std::to_string(cell.Cube) +
                 " but " + name() + " stands there");
        }
        const bool fits = cube.State == csWaiting   ? cell.Occupancy == coReserved
                          : cube.State == csGrowing ? cell.Occupancy != coEmpty
                                                    : cell.Occupancy == coOccupied;
        if (!fits)
        {
            fail("cell " + CellText(cube.X, cube.Y) + " has occupancy " +
                 std::to_string(cell.Occupancy) + " under " + name() + " in state " +
                 std::to_string(cube.State));
        }
    }

    for (int x = 1; x <= BoardSize; ++x)
    {
        for (int y = 1; y <= BoardSize; ++y)
        {
            if (seen[x][y] != 1)
            {
                fail("cell " + CellText(x, y) + " is in " + std::to_string(seen[x][y]) +
                     " places instead of one");
            }
        }
    }

    for (int s = 1; s <= 9; ++s)
    {
        if (game.StateCounts[s] != states[s])
        {
            fail("StateCounts[" + std::to_string(s) + "] is " + std::to_string(game.StateCounts[s]) +
                 " but " + std::to_string(states[s]) + " cubes are in that state");
        }
    }

    // The moving cube stays the selection until it arrives.
    if (game.Selected != 0 &&
        (game.Selected < 0 || game.Selected > game.CubeCount ||
         (game.Cubes[game.Selected].State != csSelected && game.Cubes[game.Selected].State != csMoving)))
    {
        fail("Selected " + std::to_string(game.Selected) + " names no selected cube");
    }
    if (game.PathLength < 0 || game.PathLength > CellCount)
    {
        fail("PathLength " + std::to_string(game.PathLength) + " is outside 0..81");
    }
    return problems;
}
