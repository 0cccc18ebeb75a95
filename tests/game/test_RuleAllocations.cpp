// The rules run every frame; they must not touch the heap while a game is played.
#include "tests/game/HeapCount.h"
#include "tests/game/RulesFixture.h"

#include <gtest/gtest.h>

using heap::Allocations;
using heap::Counting;

TEST(RuleAllocations, PlayingTurnsMovesSquaresShotsAndUndoAllocatesNothing)
{
    RulesGame t;
    t.Host.Record = false;
    t.Level().AllowBombs = t.Level().AllowPaints = t.Level().AllowShots = true;
    t.Level().JokerOdds = 5;
    SetFigure(t.Game, 1, {"12"}, 80);
    t.Game.NewFigure(false);

    Allocations = 0;
    Counting = true;
    for (int round = 0; round < 40; ++round)
    {
        t.Game.NewTurn();
        t.Settle();
        t.FinishGrowth();
        t.Game.CheckSquares();
        for (int k = 0; k < 3; ++k)
        {
            t.Game.AddSpecial();
        }
        // The player: point at a cube, click it, point at a cell, click to send it.
        for (int i = 1; i <= t.Game.CubeCount; ++i)
        {
            const TCube& c = t.Game.Cubes[i];
            if (c.Kind != ckStone && c.Kind != ckShot && c.State == csIdle)
            {
                t.Host.MouseX = c.X - 5.0f;
                t.Host.MouseY = c.Y - 5.0f;
                t.Game.MouseMove();
                t.Game.MouseDown(0);
                break;
            }
        }
        t.Host.MouseX = static_cast<float>(round % 9) - 4.0f;
        t.Host.MouseY = static_cast<float>(round * 7 % 9) - 4.0f;
        t.Game.MouseMove();
        t.Game.MouseDown(0);
        const int mover = t.Game.Selected;
        for (int guard = 0; guard < 1000 && mover != 0 && t.Game.Cubes[mover].State == csMoving;
             ++guard)
        {
            t.Game.PrevStateCounts = t.Game.StateCounts;
            t.Game.UpdateMoving(mover, 16);
        }
        t.Game.CheckSquares();
        t.Settle();
        t.Game.HoverCell = {5, 5};
        t.Game.Shoot(static_cast<uint8_t>(round % 5 + 1));
        t.Game.ExplodeBomb({static_cast<uint8_t>(round % 9 + 1), 5});
        t.FinishVanishing();
        t.Game.BankScore(false, 16);
        t.Game.Labels.UpdateLabels(400);
        t.Game.CheckGameOver(false);
        t.Game.Select(0);
        if (round % 4 == 3)
        {
            t.Settle();
            t.Game.Undo(); // the move's board comes back from the fixed undo point
        }
    }
    Counting = false;
    EXPECT_EQ(Allocations.load(), 0);
    EXPECT_GT(t.Game.Score, 0);
    EXPECT_EQ(t.Game.EndPhase, epPlaying);
}
