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
#include <vector>

class TLoadingBar
{
public:
    TLoadingBar(TRenderer& renderer, const std::filesystem::path& programFolder);

    // The picture, then the first Lit lamps with blending (left on afterwards).
    void Draw();
    // Lights n lamps (clamped to 30), then shows it: OnProgress, or else a frame drawn.
    void SetProgress(int n);

    TRenderer& Renderer;
    std::unique_ptr<T3DSprite> Background;
    uint8_t Lit = 0;
    std::array<std::unique_ptr<T3DSprite>, 31> Segments; // 1-based
    // The frame of a progress step: by default RenderScene in gsLoading; the shell replaces
    // it to draw and to dispatch the window's events to its handlers.
    std::function<void()> OnProgress;
};

// One step of loading: the lamp of the bar it lights, and what it loads (writing its lines
// to the debug log).
struct TLoadStep
{
    int Progress = 0;
    std::function<void()> Load;
};
// What the game scene draws, in the order it is loaded: the pictures, the path dots, the
// materials, the room, the back plane, the scene objects and the particle textures. The
// steps hold r; run them in order, while r lives.
std::vector<TLoadStep> ResourceLoadSteps(TRenderer& r, const std::filesystem::path& programFolder);
// Runs those steps at once, lighting lamps 15 to 29 of the bar (when there is one).
void LoadResources(TRenderer& r, TLoadingBar* bar, const std::filesystem::path& programFolder);

// Every picture below Images/ that the renderer loads, at start or later: the loading bar,
// the scene, the cursor and the particles (the fonts: FontFiles).
std::vector<std::filesystem::path> RenderPictures(const std::filesystem::path& programFolder);
