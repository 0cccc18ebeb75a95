// The loading picture with its row of 30 lamps, and the game's resource loading that
// lights them.
#pragma once

#include "render/GameState.h"
#include "render/Renderer.h"
#include "render/Texture.h"

#include <array>
#include <filesystem>
#include <functional>
#include <memory>

class TGame;

class TLoadingBar
{
public:
    TLoadingBar(TRenderer& renderer, const std::filesystem::path& programFolder);

    // The picture, then the first Lit lamps with blending (left on afterwards).
    void Draw();
    // Lights n lamps (clamped to 30), then renders a frame and lets pending events through.
    void SetProgress(int n);

    TRenderer& Renderer;
    std::unique_ptr<T3DSprite> Background;
    uint8_t Lit = 0;
    std::array<std::unique_ptr<T3DSprite>, 31> Segments; // 1-based
    // The frame of a progress step: by default RenderScene in gsLoading and a pump of the
    // SDL event queue; the shell replaces it to dispatch the events to its handlers.
    std::function<void()> OnProgress;
};

// Loads the pictures, fills the materials, makes the scene objects, reads the level and
// figure files and prepares the particles, lighting lamps 15 to 29. Does nothing more than
// its first log line when the game's resources are loaded already. Errors of the level and
// figure files propagate, leaving ResourcesLoaded false.
void LoadResources(TGame& game, TRenderer& r, TLoadingBar* bar,
                   const std::filesystem::path& programFolder, TGameState& state);
