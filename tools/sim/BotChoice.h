// How the bot chooses its move: it reads the board as a player does and weighs every move
// of every movable cube, and every shot, by the squares and the bonus figure it makes or
// prepares, the room it keeps and the specials it spends.
#pragma once

#include "game/Game.h"

#include <cstdint>

struct TBotMove
{
    TCell From;
    TCell To;
    uint8_t CubeKind = 0; // ckShot for a shot: To is then a cube of the colour to shoot
    bool Square = false;    // the bot expects a square
    bool Completes = false; // the bot expects the bonus figure
    double Value = -1e30;   // nothing to do keeps this
};

// The best move on the board as it stands; of equal ones the first weighed.
TBotMove BestMove(const TGameFields& game);
