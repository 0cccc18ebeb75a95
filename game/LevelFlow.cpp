// The level flow: the end of a won level.
#include "Game.h"

void TGame::CompleteLevel()
{
    BankScore(true, 0);
    EndPhase = epLevelDone;
    PhaseTime = 0;
    if (CurrentLevel().LevelKind == lkBonus)
    {
        ClearBoard();
    }
}
