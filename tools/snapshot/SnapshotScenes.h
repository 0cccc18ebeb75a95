// Scenes for the snapshot tool: a game played by the bot, and the heaviest scene the
// renderer has to draw.
#pragma once

#include "game/GameSetup.h"

#include <cstdint>

// Starts a game at level (1..100) and lets the bot play until it has started moves moves.
void PlayBotMoves(TGameSetup& game, NullGameHost& host, int level, int moves);

// 81 cubes (5 of them bombs throwing fuse sparks), a 3 x 3 block bursting, 20 labels.
void BuildHeaviestScene(TGameSetup& game, NullGameHost& host);
