// Renders the set-up scenes of a scene file with the real renderer and content, each to
// OUT/NAME.ppm, cropped as the scene says.
#pragma once

#include "render/Renderer.h"

#include <filesystem>
#include <string>
#include <vector>

class TGameSetup;
class TGLDevice;

struct TSetupRun
{
    std::filesystem::path SceneFile;
    std::filesystem::path OutFolder;
    std::filesystem::path Program;    // the program folder: data files and pictures
    std::filesystem::path UserFolder; // a scratch folder for the games' saves
    std::vector<std::string> Only;    // scene names; empty = every scene
};

// Draws each scene with the renderer's loaded resources (cube and dot textures included).
// Returns 0, or 1 after reporting the problem on stderr.
int RenderSetupScenes(TRenderer& r, TGLDevice& device, const TSetupRun& run);

// A binary PPM (P6) of part of a frame.
void WritePpm(const std::filesystem::path& file, const TImage& frame, int x, int y, int width,
              int height);
