// Turning the game's state into draw calls: the picture screens, the game scene and the
// game's own objects (dots, cubes, figure preview, in-game numbers). Drawing reads the
// game and changes nothing of it.
#pragma once

#include "render/GameState.h"
#include "render/Renderer.h"

class TGame;

// The full-screen picture of gsMenu, gsHiScores, gsGameOver or gsHelp.
void DrawPictureScreen(TRenderer& r, TGameState state);
// Holds the full-screen pictures the screen of state shows and lets go of the others: the
// game-over and help pictures are loaded when their screen comes and released when it goes,
// and a game or the tutorial carries no menu background; the back plane and the room's
// pictures go with the game scene. Acts on a change of screen only (PicturesKeptFor); the loading states change
// nothing.
void KeepScreenPictures(TRenderer& r, TGameState state);
// Room, score line, lamps, the game's objects, labels and particles, in that order.
void DrawGameScene(TRenderer& r, const TGame& game, double totalTime);
// The game's own objects: path dots, cubes, the figure preview or the bonus picture, and
// the level, score and figure value.
void DrawGame(TRenderer& r, const TGame& game);
