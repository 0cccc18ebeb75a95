#include "tools/snapshot/SetupRender.h"

#include "base/DataError.h"
#include "render/GLDevice.h"
#include "game/GameSetup.h"
#include "render/RenderScene.h"
#include "tools/snapshot/SetupScene.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

void WritePpm(const std::filesystem::path& file, const TImage& frame, int x, int y, int width,
              int height)
{
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    std::vector<char> row(static_cast<size_t>(width) * 3);
    for (int j = 0; j < height; ++j)
    {
        for (int i = 0; i < width; ++i)
        {
            const uint32_t p = frame.At(x + i, y + j);
            row[static_cast<size_t>(i) * 3 + 0] = static_cast<char>((p >> 16) & 0xFF);
            row[static_cast<size_t>(i) * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[static_cast<size_t>(i) * 3 + 2] = static_cast<char>(p & 0xFF);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    if (!out)
    {
        throw std::runtime_error(file.string() + ": cannot be written");
    }
}

int RenderSetupScenes(TRenderer& r, TGLDevice& device, const TSetupRun& run)
{
    std::vector<TSetupScene> scenes;
    try
    {
        scenes = ReadSetupScenes(run.SceneFile);
    }
    catch (const TDataError& e)
    {
        std::fprintf(stderr, "tandrel-snapshot: %s\n", e.what());
        return 1;
    }
    for (const std::string& name : run.Only)
    {
        const bool known = std::any_of(scenes.begin(), scenes.end(),
                                       [&](const TSetupScene& s) { return s.Name == name; });
        if (!known)
        {
            std::fprintf(stderr, "tandrel-snapshot: %s has no scene '%s'\n",
                         run.SceneFile.string().c_str(), name.c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(run.OutFolder, ec);
    for (const TSetupScene& scene : scenes)
    {
        if (!run.Only.empty() && std::find(run.Only.begin(), run.Only.end(), scene.Name) == run.Only.end())
        {
            continue;
        }
        NullGameHost host;
        TRandom rng(scene.Seed);
        auto game = std::make_unique<TGameSetup>(host, rng, run.Program / "data", run.UserFolder);
        try
        {
            game->Create();
            game->CreateLevels();
            game->CreateBonus();
            MeasureLabels(r.Fonts, game->Labels);
            BuildSetupScene(*game, host, scene, run.SceneFile);
        }
        catch (const std::exception& e)
        {
            std::fprintf(stderr, "tandrel-snapshot: scene %s: %s\n", scene.Name.c_str(), e.what());
            return 1;
        }
        const int width = device.Width();
        const int height = device.Height();
        r.Cursor->CursorIndex = static_cast<uint8_t>(scene.Cursor ? host.Cursor() : 0);
        r.Cursor->MoveCursor(static_cast<int>((0.5f - (host.MouseX - RoomCentreX) / 14.45f) * width),
                             static_cast<int>((0.5f - (host.MouseY - RoomCentreY) / 10.8375f) * height));
        TFrame frame;
        frame.Game = game.get();
        frame.State = gsGame;
        frame.Eye = host.Eye();
        frame.Fullscreen = true;
        frame.TotalTime = scene.Clock;
        const TResult result = RenderScene(r, frame);
        if (Failed(result))
        {
            std::fprintf(stderr, "tandrel-snapshot: scene %s: the frame failed (0x%08X)\n",
                         scene.Name.c_str(), static_cast<unsigned>(result));
            return 1;
        }
        const TImage image = device.ReadBackBuffer();
        const TPixelRect crop = SceneCrop(scene, image.Width, image.Height);
        try
        {
            WritePpm(run.OutFolder / (scene.Name + ".ppm"), image, crop.X, crop.Y, crop.Width,
                     crop.Height);
        }
        catch (const std::exception& e)
        {
            std::fprintf(stderr, "tandrel-snapshot: %s\n", e.what());
            return 1;
        }
    }
    return 0;
}
