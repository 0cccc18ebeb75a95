// The particle textures and the drawing of the six particle systems the game feeds.
#pragma once

#include "render/Device.h"
#include "game/Particles.h"

#include <array>
#include <filesystem>
#include <string>

struct TParticleTextures
{
    std::array<TTextureRef, 7> Slots; // 0..5 effect1..6, 6 the banner slot
    std::filesystem::path ProgramFolder;
    int Slot6Version = -1; // the game's picture version that slot 6 holds
};

// Loads the seven particle textures (without mipmaps); slot 6 starts as effect1.
void InitParticles(TDevice& device, TParticleTextures& textures,
                   const std::filesystem::path& programFolder);
// Loads the game's slot-6 picture when the game has set a new one since the last call.
void SyncParticleImage(TDevice& device, TParticleTextures& textures,
                       const TParticleSystems& systems);

// Draws system s (0..5) as one streamed run: texture and blending of its front particle,
// each quad white with opacity = low byte of its Life. With a pass (TGraphics::Pass), the
// quads seen wholly outside it are left out.
void DrawParticles(TDevice& device, const TParticleTextures& textures,
                   const TParticleSystems& systems, int s, const TFrameRegion* pass = nullptr);
