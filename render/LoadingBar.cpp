#include "render/LoadingBar.h"

#include "base/DebugLog.h"
#include "base/LanguageFiles.h"
#include "render/RenderScene.h"

#include <algorithm>
#include <iterator>
#include <numbers>
#include <string_view>

TLoadingBar::TLoadingBar(TRenderer& renderer, const std::filesystem::path& programFolder)
    : Renderer(renderer)
{
    Background = std::make_unique<T3DSprite>(renderer.Device,
                                             LocalFile(programFolder, "Images/loading.jpg"), true);
    Background->Scale = {14.45f, 10.8375f, 1};
    Background->Position = {RoomCentreX, RoomCentreY, 0};
    TTextureRef lamp; // one texture for the thirty lamps
    LoadTexture(*renderer.Device, programFolder / "Images" / "bonuslight.tga", lamp);
    for (int i = 1; i <= 30; ++i)
    {
        auto& s = Segments[i];
        s = std::make_unique<T3DSprite>(renderer.Device, lamp);
        s->Scale = {0.36125f, 0.36125f, 1};
        s->Position = {1.9f - static_cast<float>(i - 1) * 0.255f, -0.28f, 0};
        s->Rotation = {0, 0, std::numbers::pi_v<float>};
    }
    Lit = 0;
}

void TLoadingBar::Draw()
{
    SampleMinifiedThroughMipmaps(*Renderer.Device, true);
    Background->Draw(Renderer);
    SampleMinifiedThroughMipmaps(*Renderer.Device, false);
    Renderer.Device->SetRenderState(rsAlphaBlendEnable, StateTrue);
    for (int i = 1; i <= Lit && i <= 30; ++i)
    {
        Segments[i]->Draw(Renderer);
    }
}

void TLoadingBar::SetProgress(int n)
{
    Lit = static_cast<uint8_t>(std::clamp(n, 0, 30));
    if (OnProgress)
    {
        OnProgress();
        return;
    }
    TFrame frame;
    frame.State = gsLoading;
    frame.LoadingBar = this;
    RenderScene(Renderer, frame);
}

std::vector<TLoadStep> ResourceLoadSteps(TRenderer& r, const std::filesystem::path& dir)
{
    const auto images = dir / "Images";
    constexpr float HalfPi = 1.5707964f;
    constexpr float Pi = 3.1415927f;
    auto plane = [&r, images](const char* image, TVector3 scale, TVector3 position, TVector3 rotation)
    { return std::make_unique<TBackPlane>(r.Device, images / image, scale, position, rotation); };
    // The room's pictures are read when a flight first shows it (DrawGameScene).
    auto room = [&r, images](int i, const char* image, TVector3 scale, TVector3 position,
                             TVector3 rotation)
    {
        return [&r, images, i, image, scale, position, rotation]
        {
            DebugLog(" loading room " + std::to_string(i - 1));
            r.Scene.RoomPlanes[i] =
                std::make_unique<TBackPlane>(r.Device, images / image, scale, position, rotation, false);
        };
    };
    return {
        // The game-over and help pictures are read when their screens show
        // (KeepScreenPictures); their lines stay where the loading has always written them.
        {15, [&r, dir] { DebugLog(" loading gameover"); r.GameOverFile = LocalFile(dir, "Images/gameover.jpg"); }},
        {17, [&r, dir] { DebugLog(" loading help"); r.HelpFile = LocalFile(dir, "Images/help.jpg"); }},
        {18,
         [&r, images]
         {
             DebugLog(" loading dots");
             for (int n = 1; n <= 3; ++n)
             {
                 LoadTexture(*r.Device, images / ("dot" + std::to_string(n) + ".tga"), r.DotTextures[n]);
             }
             DebugLog(" loading materials");
             InitMaterial(r.Materials[0], 1, 1, 1, 0, 10);
             InitMaterial(r.Materials[1], 1, 1, 1, 0, 255);
             InitMaterial(r.Materials[2], 1, 1, 1, 1, 0);
             InitMaterial(r.Materials[3], 1, 1, 1, 0, 255);
         }},
        {20, room(1, "floor.jpg", {28, 24, 1}, {-1.8f, -0.25f, -0.11f}, {0, 0, 0})},
        {22, room(2, "wall1.jpg", {24, 12, 1}, {-15.8f, -0.25f, 5.8f}, {0, HalfPi, HalfPi})},
        {24, room(3, "wall2.jpg", {24, 12, 1}, {12.2f, -0.25f, 5.8f}, {0, -HalfPi, -HalfPi})},
        {25, room(4, "wall3.jpg", {28, 12, 1}, {-1.8f, -12.25f, 5.8f}, {-HalfPi, 0, Pi})},
        {26, room(5, "wall4.jpg", {28, 12, 1}, {-1.8f, 11.75f, 5.8f}, {HalfPi, 0, 0})},
        {27,
         [&r, dir]
         {
             DebugLog(" loading backplane");
             // Read by the game's first frame (DrawGameScene), let go by other screens.
             r.Scene.BackPlane = std::make_unique<TBackPlane>(r.Device, LocalFile(dir, "Images/background.jpg"),
                                                              TVector3{14.45f, 10.8375f, 1},
                                                              TVector3{-1.8f, -0.25f, 0}, TVector3{}, false);
         }},
        {29,
         [&r, images, plane, dir]
         {
             TSceneObjects& s = r.Scene;
             DebugLog(" loading bonuslight");
             s.BonusLights = std::make_unique<TBonusLight>(r.Device, images / "bonuslight.tga",
                                                           TVector3{0.36125f, 0.36125f, 1},
                                                           TVector3{-6.387875f, 0.5266875f, 0}, TVector3{});
             DebugLog(" loading plub bonus");
             s.PlugBonus = std::make_unique<TBonusLight>(r.Device, LocalFile(dir, "Images/plugbonus.tga"),
                                                         TVector3{1.76545f, 2.6095f, 1},
                                                         TVector3{-7.02f, -1.92f, 0.01f}, TVector3{});
             DebugLog(" loading scoreline");
             s.ScoreLine = std::make_unique<TScoreLine>(r.Device, images / "line.tga",
                                                        TVector3{0.27f, 0.42f, 1},
                                                        TVector3{4.0f, -5.33459375f, 0.01f}, TVector3{});
             s.ScoreLine->LeftCap =
                 plane("lineleft.tga", {0.27f, 0.42f, 1}, {4.615f, -5.33459375f, 0.01f}, {0, 0, 0});
             DebugLog(" loading initialise particles");
             InitParticles(*r.Device, r.ParticleTextures, dir);
         }},
    };
}

void LoadResources(TRenderer& r, TLoadingBar* bar, const std::filesystem::path& dir)
{
    for (const TLoadStep& step : ResourceLoadSteps(r, dir))
    {
        if (bar != nullptr)
        {
            bar->SetProgress(step.Progress);
        }
        step.Load();
    }
}

namespace
{
// The renderer's pictures that carry words, each read in the language shown (LocalFile).
constexpr std::string_view PicturesWithWords[] = {"loading.jpg",    "gameover.jpg",  "help.jpg",
                                                  "background.jpg", "plugbonus.tga", "newlevel.tga"};
} // namespace

std::vector<std::filesystem::path> RenderPictures(const std::filesystem::path& programFolder)
{
    std::vector<std::filesystem::path> files;
    for (const char* name : {"loading.jpg", "bonuslight.tga", "gameover.jpg", "help.jpg", "dot1.tga", "dot2.tga",
                             "dot3.tga", "floor.jpg", "wall1.jpg", "wall2.jpg", "wall3.jpg", "wall4.jpg",
                             "background.jpg", "plugbonus.tga", "line.tga", "lineleft.tga", "cursor.tga",
                             "cursor1.tga", "effect1.tga", "effect2.tga", "effect3.tga", "effect4.tga",
                             "effect5.tga", "effect6.tga", "newlevel.tga"})
    {
        // The pictures with words in the language shown, as they are loaded.
        const bool words = std::find(std::begin(PicturesWithWords), std::end(PicturesWithWords),
                                     std::string_view(name)) != std::end(PicturesWithWords);
        files.push_back(words ? LocalFile(programFolder, std::filesystem::path("Images") / name)
                              : programFolder / "Images" / name);
    }
    return files;
}
