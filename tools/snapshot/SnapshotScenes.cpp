#include "tools/snapshot/SnapshotScenes.h"

#include "tools/sim/Bot.h"

#include <string>

void PlayBotMoves(TGameSetup& game, NullGameHost& host, int level, int moves)
{
    game.NewGame();
    if (level > 1)
    {
        game.Level = level - 1;
        game.NextLevel();
    }
    TBot bot(game, host);
    constexpr float Dt = 16;
    // A cap on frames keeps a stuck board from running forever.
    for (long frame = 0; frame < 200000 && bot.Stats.Moves < moves && !host.GameOverShown; ++frame)
    {
        bot.Frame(Dt);
        game.Update(Dt);
    }
    // A few more frames so the last move is under way and its sparks fly.
    for (int frame = 0; frame < 12 && !host.GameOverShown; ++frame)
    {
        bot.Frame(Dt);
        game.Update(Dt);
    }
}

void BuildHeaviestScene(TGameSetup& game, NullGameHost& host)
{
    game.NewGame();
    game.ClearBoard();
    host.MouseX = 100; // cursor off the board
    host.MouseY = 100;
    int n = 0;
    for (int x = 1; x <= BoardSize; ++x)
    {
        for (int y = 1; y <= BoardSize; ++y)
        {
            TCube& c = game.Cubes[++n];
            c = TCube{};
            c.X = static_cast<uint8_t>(x);
            c.Y = static_cast<uint8_t>(y);
            c.Kind = static_cast<uint8_t>(1 + (x * 3 + y * 5) % 7);
            c.Scale = {0.8f, 0.8f, 0.8f};
            c.Position = {x - 5.0f, y - 5.0f, 0.4f};
            c.State = csIdle;
            game.Cells[x][y].Occupancy = coOccupied;
            game.Cells[x][y].Cube = static_cast<uint8_t>(n);
        }
    }
    game.CubeCount = n;
    game.FreeCount = 0;
    game.StateCounts = {};
    game.StateCounts[StateSlot(csIdle)] = n;
    const int bombs[5] = {1, 17, 41, 65, 81};
    for (int b : bombs)
    {
        game.Cubes[b].Kind = ckBomb;
    }
    // The sparks of a few frames of fuse burning, and a 3 x 3 block bursting.
    for (int frame = 0; frame < 20; ++frame)
    {
        for (int b : bombs)
        {
            game.EmitFuseSparks(b);
        }
        if (frame == 10)
        {
            for (int x = 4; x <= 6; ++x)
            {
                for (int y = 4; y <= 6; ++y)
                {
                    game.Burst(game.Cells[x][y].Cube);
                }
            }
        }
        for (int s = 0; s < ParticleSystemCount; ++s)
        {
            game.Particles.UpdateParticles(s, 16);
        }
    }
    game.Labels.Clear();
    for (int i = 0; i < MaxLabels; ++i)
    {
        const TVector3 at{4.0f - (i % 5) * 2.0f, 3.0f - (i / 5) * 2.0f, 1};
        game.Labels.AddLabel(at, 1 + i % 2, 1 + i % 7,
                             i % 2 ? "Double score" : "+" + std::to_string(40 * (i + 1)),
                             i % 2 ? 12 : 16);
    }
    game.BoardQuiet = true;
}
