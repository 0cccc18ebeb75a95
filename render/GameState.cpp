#include "render/GameState.h"

#include "base/DebugLog.h"

#include <string>

const char* GameStateName(TGameState state)
{
    return state < GameStateCount ? GameStates[state].Name : "unknown";
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
