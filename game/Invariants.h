// The board's bookkeeping rules, checked from outside: the simulator runs this after
// every update and the tests after every step they take.
//
//   - every cell is in exactly one place: listed once in FreeCells, or under exactly one
//     cube, and FreeCount + CubeCount = 81;
//   - a free cell is coEmpty, a waiting cube's cell coReserved, a growing cube's cell
//     coReserved or coOccupied, every other cube's cell coOccupied;
//   - Cells[X][Y].Cube names the cube that stands on (X, Y);
//   - StateCounts holds, slot by slot, the number of cubes in each state;
//   - Selected is 0 or names a cube in csSelected (or csMoving: the moving cube stays
//     selected until it arrives).
#pragma once

#include <string>

class TGame;

// An empty text when every rule holds, else one line per broken rule.
std::string CheckInvariants(const TGame& game);
