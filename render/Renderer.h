// render/ owns everything drawn: the device seam (Device.h; only GLDevice*.cpp call gl*),
// meshes, textures, fonts, cursor, particles, the loading bar and the game scene. It reads
// the game's state to draw it and includes game/ and base/. This is its main header.
//
// Everything the renderer owns, one of each: the device with its shared state, the fonts,
// the cursor, the game scene objects, the particle textures and the pictures. The shell
// makes one and hands it to whatever draws.
#pragma once

#include "render/Cursor.h"
#include "render/Font.h"
#include "render/GameState.h"
#include "render/Graphics.h"
#include "render/ParticleDrawing.h"
#include "render/SceneObjects.h"

#include <array>
#include <filesystem>
#include <memory>

struct TRenderer : TGraphics
{
    TFonts Fonts;
    std::unique_ptr<TCursor> Cursor;
    TSceneObjects Scene;
    TParticleTextures ParticleTextures;
    // Cube textures by kind - 1 (KindToTextureIndex; 18 entries) of the chosen skin, and
    // the three path dots (1-based by DotKind).
    std::array<TTextureRef, 18> CubeTextures{};
    std::array<TTextureRef, 4> DotTextures{};
    TTextureRef GameOverPicture;
    TTextureRef HelpPicture;
    TTextureRef MenuBackground; // loaded with the menu file by the front end
    // Where the three full-screen pictures above are read from. Each is held only while its
    // screen shows (KeepScreenPictures); a picture without a file is kept as it was set.
    std::filesystem::path GameOverFile, HelpFile, MenuBackgroundFile;
    TGameState PicturesKeptFor = gsLaunch;
};

// " Closing DGfx": releases the fonts, the vertex buffer and the device, logging each step.
void ReleaseD3D(TRenderer& r);
