#include "render/GameState.h"

#include "base/DebugLog.h"

#include <string>

const char* GameStateName(TGameState state)
{
    switch (state)
    {
    case gsLaunch: return "launch";
    case gsMenu: return "menu";
    case gsHiScores: return "high scores";
    case gsGame: return "game";
    case gsGameOver: return "game over";
    case gsLoading: return "loading";
    case gsTutorial: return "tutorial";
    case gsHelp: return "help";
    }
    return "unknown";
}

void TScreenState::Set(TGameState next)
{
    if (next == Value)
    {
        return;
    }
    DebugLog(std::string(" State ") + GameStateName(Value) + " -> " + GameStateName(next));
    Value = next;
}
