#include "game/Game.h"

#include "base/AtomicFile.h"

#include <algorithm>
#include <utility>

TGame::TGame(IGameHost& host, TRandom& random, std::filesystem::path dataFolder,
             std::filesystem::path userFolder)
    : Host(host), Rng(random), DataFolder(std::move(dataFolder)), UserFolder(std::move(userFolder))
{
}

void TGame::Create()
{
    // A save killed half-way by an earlier run left its temporary file behind.
    RemoveStaleTemporaryFile(SaveFile(gmNormal));
    RemoveStaleTemporaryFile(SaveFile(gmTimed));
}

void TGameFields::SetState(int cube, uint8_t state)
{
    TCube& c = Cubes[cube];
    --StateCounts[StateSlot(c.State)];
    c.State = state;
    ++StateCounts[StateSlot(state)];
}

double TGameFields::BarFraction() const
{
    double fraction = Display.Fraction;
    if (EndPhase == epPlaying)
    {
        const TLevel& level = CurrentLevel();
        fraction = level.Progress / level.Target[Mode == gmTimed ? 2 : 1];
    }
    return fraction >= 0 ? std::min(fraction, 1.0) : 0.0; // a NaN shows an empty bar
}

int TGame::CountKind(uint8_t kind) const
{
    int n = 0;
    for (int i = 1; i <= CubeCount; ++i)
    {
        if (Cubes[i].Kind == kind)
        {
            ++n;
        }
    }
    return n;
}
