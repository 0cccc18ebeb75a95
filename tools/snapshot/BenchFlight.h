// tandrel-snapshot --bench-flight ROUNDS: a camera flight's frame rate, every frame drawn
// whole and shown in the window as the game draws it.
#pragma once

#include "game/GameSetup.h"
#include "render/Renderer.h"

struct SDL_Window;
class TGLDevice;

// Prints, for each round, the fly-by's frames: wall time, worst frame and processor time.
int BenchFlight(TRenderer& r, TGLDevice& gl, TGameSetup& game, NullGameHost& host, SDL_Window* window, int rounds);
