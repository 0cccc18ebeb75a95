// One frame: clear the depth buffer, draw what the application state shows, then the
// overlays without depth test (menu, cursor), and present.
#pragma once

#include "render/GameState.h"
#include "render/Renderer.h"

#include <functional>

class TChangeRegions;
class TGame;
class TLoadingBar;

struct TFrame
{
    TGameState State = gsLaunch;
    const TGame* Game = nullptr;
    TVector3 Eye = RestEye;
    double TotalTime = 0;
    bool Fullscreen = false;
    bool PseudoFullscreen = false;
    ICursorPlatform* CursorPlatform = nullptr; // null: the cursor is drawn without edge rules
    TLoadingBar* LoadingBar = nullptr;
    // Filled by the front end: the 3D menu (in gsTutorial the page first, then the menu),
    // and the high-score table, which is passed TotalTime (on the game-over picture the
    // same call draws the game's summary).
    std::function<void()> DrawMenuOverlay;
    std::function<void(double)> DrawHiScoreTable;
    // Set by the shell: a frame of the board that changes only a small part of it redraws
    // that part alone over the picture the device kept of the last frame of the board
    // (frames that may be followed by such a one are kept). Null: every frame is drawn
    // whole, straight to the window.
    TChangeRegions* Regions = nullptr;
    // Changes whenever what DrawMenuOverlay draws changes.
    uint64_t OverlayKey = 0;
};

// D3D_OK, or the first failing result of the clear, the scene or the presentation.
// In gsLaunch nothing is drawn or presented; without a device the result is E_FAIL.
TResult RenderScene(TRenderer& r, const TFrame& frame);
