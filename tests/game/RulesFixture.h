// A game on a hand-made level with a host that records what the rules asked for, and
// helpers that lay out boards and stand in for the animations the rules wait on.
#pragma once

#include "game/GameSetup.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

class RecordingHost : public NullGameHost
{
public:
    void PlaySound(TSound s) override
    {
        if (Record)
        {
            Played.push_back(s);
        }
        if (s == snSelected)
        {
            SelectedLoop = true;
        }
    }
    void StopSound(TSound s) override
    {
        if (Record)
        {
            Stopped.push_back(s);
        }
        if (s == snSelected)
        {
            SelectedLoop = false;
        }
    }
    void StopMusic() override { MusicStopped = true; }

    int Count(TSound s) const
    {
        return static_cast<int>(std::count(Played.begin(), Played.end(), s));
    }
    void Forget() { Played.clear(), Stopped.clear(); }

    std::vector<TSound> Played;
    std::vector<TSound> Stopped;
    bool SelectedLoop = false;
    bool MusicStopped = false;
    bool Record = true; // off, the host itself never allocates
};

// Level 1: normal, five colours, three new cubes a turn, 15 points a cube, 40 a square,
// bonus figure 1 = two cubes of colour 7 one above the other (never made by this level).
struct RulesGame
{
    explicit RulesGame(uint32_t seed = 1) : Rng(seed), Game(Host, Rng, User.Path(), User.Path())
    {
        SetLevels(Game, 1, 1, HandMadeLevel(5, 1000, 1000));
        Game.Level = 1;
        Game.Mode = gmNormal;
        SetFigure(Game, 1, {"7", "7"}, 100);
        Game.FigureCount = 1;
        Game.Figure = 1;
        Game.Figures[1].Value = 100;
        Game.ClearBoard();
        Game.BoardQuiet = true;
        Game.Deal = TRandom(seed); // the seed decides the deal too, as a new game's does
        Host.CursorIndex = 2;
    }

    TLevel& Level() { return Game.Levels[Game.Level]; }

    int CubeAt(int x, int y) const
    {
        for (int i = 1; i <= Game.CubeCount; ++i)
        {
            if (Game.Cubes[i].X == x && Game.Cubes[i].Y == y)
            {
                return i;
            }
        }
        return 0;
    }

    int CountState(uint8_t state) const
    {
        int n = 0;
        for (int i = 1; i <= Game.CubeCount; ++i)
        {
            n += Game.Cubes[i].State == state;
        }
        return n;
    }

    // What the growth animation does when it ends.
    void FinishGrowth()
    {
        for (int i = 1; i <= Game.CubeCount; ++i)
        {
            TCube& c = Game.Cubes[i];
            if (c.State == csGrowing)
            {
                Game.SetState(i, csIdle);
                Game.Cells[c.X][c.Y].Occupancy = coOccupied;
            }
        }
    }

    // Vanishing cubes end as removed ones, which the next update deletes.
    void FinishVanishing()
    {
        for (int i = 1; i <= Game.CubeCount; ++i)
        {
            if (Game.Cubes[i].State == csVanishing)
            {
                Game.SetState(i, csRemoved);
            }
        }
        for (int i = 1; i <= Game.CubeCount;)
        {
            if (Game.Cubes[i].State == csRemoved)
            {
                Game.RemoveCube(i);
            }
            else
            {
                ++i;
            }
        }
    }

    // Selects cube i and shows the path to (x, y) as the mouse would.
    void Aim(int i, int x, int y)
    {
        Game.Select(i);
        Game.ComputeDistances();
        Game.HoverCell = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
        Game.BuildPath();
    }

    // Starts the move of the selected cube (unless a click did) and runs the updates until
    // it arrives; afterwards the state counters tell that a move has just ended.
    void RunMove(float dt = 16)
    {
        const int i = Game.Selected;
        if (Game.Cubes[i].State != csMoving)
        {
            Game.StartMove();
        }
        for (int guard = 0; guard < 10000 && Game.Cubes[i].State == csMoving; ++guard)
        {
            Game.PrevStateCounts = Game.StateCounts;
            Game.UpdateMoving(i, dt);
        }
    }

    // Aim, move and arrive; false when no path leads there.
    bool Move(int i, int x, int y)
    {
        Aim(i, x, y);
        if (Game.PathLength == 0 || Game.Path[0].DotKind != 2)
        {
            return false;
        }
        RunMove();
        return true;
    }

    // Counters after an update in which no move ended (a growth check, say).
    void Settle() { Game.PrevStateCounts = Game.StateCounts; }

    TempFolder User;
    RecordingHost Host;
    TRandom Rng;
    TGameSetup Game;
};

// The board's bookkeeping: every cell in exactly one place, indices true, counters true.
inline ::testing::AssertionResult BoardIsConsistent(const TGameSetup& g)
{
    if (g.FreeCount < 0 || g.CubeCount < 0 || g.FreeCount + g.CubeCount != CellCount)
    {
        return ::testing::AssertionFailure() << "free " << int(g.FreeCount) << " + cubes "
                                             << g.CubeCount << " != 81";
    }
    int where[BoardSize + 1][BoardSize + 1] = {};
    for (int k = 1; k <= g.FreeCount; ++k)
    {
        const TCell c = g.FreeCells[k];
        if (c.X < 1 || c.X > 9 || c.Y < 1 || c.Y > 9)
        {
            return ::testing::AssertionFailure() << "free cell off the board";
        }
        if (++where[c.X][c.Y] > 1)
        {
            return ::testing::AssertionFailure() << "cell " << int(c.X) << "," << int(c.Y)
                                                 << " listed twice";
        }
        if (g.Cells[c.X][c.Y].Occupancy != coEmpty)
        {
            return ::testing::AssertionFailure() << "free cell " << int(c.X) << "," << int(c.Y)
                                                 << " is not empty";
        }
    }
    std::array<int, 10> counts{};
    for (int i = 1; i <= g.CubeCount; ++i)
    {
        const TCube& c = g.Cubes[i];
        ++counts[StateSlot(c.State)];
        if (c.X < 1 || c.X > 9 || c.Y < 1 || c.Y > 9)
        {
            return ::testing::AssertionFailure() << "cube " << i << " off the board";
        }
        if (++where[c.X][c.Y] > 1)
        {
            return ::testing::AssertionFailure() << "cell " << int(c.X) << "," << int(c.Y)
                                                 << " used twice (cube " << i << ")";
        }
        const TBoardCell& b = g.Cells[c.X][c.Y];
        const uint8_t expected =
            (c.State == csWaiting || c.State == csGrowing) ? coReserved : coOccupied;
        if (b.Occupancy != expected)
        {
            return ::testing::AssertionFailure() << "cube " << i << " in state " << int(c.State)
                                                 << " has occupancy " << int(b.Occupancy);
        }
        if (b.Cube != i)
        {
            return ::testing::AssertionFailure() << "cell of cube " << i << " names cube "
                                                 << int(b.Cube);
        }
    }
    int sum = 0;
    for (int s = 1; s <= 9; ++s)
    {
        sum += g.StateCounts[s];
        if (g.StateCounts[s] != counts[s])
        {
            return ::testing::AssertionFailure() << "state slot " << s << " counts "
                                                 << g.StateCounts[s] << ", cubes " << counts[s];
        }
    }
    if (sum != g.CubeCount)
    {
        return ::testing::AssertionFailure() << "state counts sum " << sum;
    }
    if (g.Selected != 0 && (g.Selected > g.CubeCount || g.Cubes[g.Selected].State != csSelected))
    {
        return ::testing::AssertionFailure() << "selection " << g.Selected << " is stale";
    }
    return ::testing::AssertionSuccess();
}

inline std::vector<std::string> LabelTexts(const TGameSetup& g)
{
    std::vector<std::string> texts;
    for (int i = 1; i <= g.Labels.LabelCount; ++i)
    {
        texts.emplace_back(g.Labels.Labels[i].GetText());
    }
    return texts;
}
