// Pixel probes on real frames drawn by the GL device on the software rasteriser.
#include "base/DebugLog.h"
#include "game/GameSetup.h"
#include "render/ChangeRegions.h"
#include "render/GameScene.h"
#include "render/LoadingBar.h"
#include "render/Meshes.h"
#include "render/RenderScene.h"
#include "render/Texture.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/front/WindowShot.h"
#include "base/BoardFrame.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace
{
constexpr uint32_t CRed = 0xFFFF0000, CGreen = 0xFF00FF00, CBlue = 0xFF0000FF, CWhite = 0xFFFFFFFF;

void BeginFrame(TGLRenderer& t)
{
    TDevice& d = *t.R.Device;
    d.Clear(clTarget | clZBuffer, 0xFF000000, 1.0f);
    d.BeginScene();
    LookFrom(d);
}

void EndFrame(TGLRenderer& t)
{
    t.R.Device->EndScene();
    t.GL().Finish();
}

// A full-screen picture with the given texture.
void Picture(TGLRenderer& t, const TTextureRef& texture)
{
    t.R.MenuBackground = texture;
    DrawPictureScreen(t.R, gsMenu);
}

bool Near(uint32_t a, uint32_t b, int tolerance = 8)
{
    return std::abs(::Red(a) - ::Red(b)) <= tolerance &&
           std::abs(::Green(a) - ::Green(b)) <= tolerance &&
           std::abs(::Blue(a) - ::Blue(b)) <= tolerance;
}
} // namespace

TEST(GLPixels, FullScreenPictureReachesAllCornersUnmirrored)
{
    TGLRenderer t;
    TempFolder dir;
    WriteTga(dir.Path() / "p.tga", QuadrantImage(64, 48, CRed, CGreen, CBlue, CWhite));
    TTextureRef picture;
    LoadTexture(*t.R.Device, dir.Path() / "p.tga", picture);
    ASSERT_TRUE(picture);
    BeginFrame(t);
    Picture(t, picture);
    EndFrame(t);
    const TImage f = t.Frame();
    EXPECT_TRUE(Near(f.At(0, 0), CRed)) << std::hex << f.At(0, 0);
    EXPECT_TRUE(Near(f.At(319, 0), CGreen)) << std::hex << f.At(319, 0);
    EXPECT_TRUE(Near(f.At(0, 239), CBlue)) << std::hex << f.At(0, 239);
    EXPECT_TRUE(Near(f.At(319, 239), CWhite)) << std::hex << f.At(319, 239);
}

TEST(GLPixels, SelectArg1ShowsThePlainTextureAndModulateTintsIt)
{
    TGLRenderer t;
    TempFolder dir;
    WriteBmp(dir.Path() / "p.bmp", SolidImage(8, 8, 0xFF80C040));
    TTextureRef picture;
    LoadTexture(*t.R.Device, dir.Path() / "p.bmp", picture);
    ASSERT_TRUE(picture);
    // A dim lit colour: only a quarter grey of ambient, no lights.
    TDevice& d = *t.R.Device;
    d.SetRenderState(rsAmbient, 0x00404040);
    d.SetRenderState(rsSpecularEnable, StateFalse);
    d.LightEnable(0, false);
    d.LightEnable(1, false);
    BeginFrame(t);
    Picture(t, picture);
    EndFrame(t);
    EXPECT_TRUE(Near(t.Frame().At(160, 20), 0xFF80C040, 2)) << std::hex << t.Frame().At(160, 20);
    d.SetTextureStageState(0, tsColorOp, toModulate);
    BeginFrame(t);
    Picture(t, picture);
    EndFrame(t);
    EXPECT_TRUE(Near(t.Frame().At(160, 20), 0xFF203010, 3)) << std::hex << t.Frame().At(160, 20);
}

TEST(GLPixels, UntexturedObjectsAreLitAndTheCursorLightReachesOnlyItsRange)
{
    TGLRenderer t;
    TDevice& d = *t.R.Device;
    d.SetRenderState(rsAmbient, 0);
    d.SetRenderState(rsSpecularEnable, StateFalse);
    TLight cursor = t.R.CursorLight;
    cursor.Position = {2.0f, 2.0f, 1.05f};
    d.SetLight(1, cursor);
    // Untextured cubes: one under the cursor light, one beside it, one far away. Lighting
    // is per vertex, so the light reaches the cube whose corners lie within its range.
    const TVector3 at[3] = {{2, 2, 0.4f}, {3.5f, 2, 0.4f}, {-4, -3, 0.4f}};
    auto draw = [&](bool cursorLight, int* b)
    {
        d.LightEnable(1, cursorLight);
        BeginFrame(t);
        d.SetMaterial(t.R.Materials[0]);
        for (const TVector3& p : at)
        {
            d.SetTransform(tkWorld, MakeWorldMatrix({0.8f, 0.8f, 0.8f}, p, {}));
            t.R.DrawMesh(meshCube);
        }
        EndFrame(t);
        const TImage f = t.Frame();
        for (int i = 0; i < 3; ++i)
        {
            int x = 0, y = 0;
            t.Project({at[i].x, at[i].y, 0.8f}, x, y);
            b[i] = Brightness(f.At(x, y));
        }
    };
    int with[3], without[3];
    draw(true, with);
    draw(false, without);
    // Lit grey from the room light alone, brighter only under the cursor light.
    EXPECT_GT(without[2], 3 * 80);
    EXPECT_LT(without[2], 3 * 200);
    EXPECT_GT(with[0], without[0] + 60);
    EXPECT_NEAR(with[1], without[1], 2);
    EXPECT_NEAR(with[2], without[2], 2);
}

TEST(GLPixels, CubeCellsAndCulling)
{
    TGLRenderer t;
    TestGame game;
    game.Game.Level = 1;
    game.Game.CubeCount = 2;
    const int cells[2][2] = {{1, 1}, {9, 9}};
    for (int i = 0; i < 2; ++i)
    {
        TCube& c = game.Game.Cubes[i + 1];
        c.Kind = 1;
        c.Scale = {0.8f, 0.8f, 0.8f};
        c.Position = {cells[i][0] - 5.0f, cells[i][1] - 5.0f, 0.4f};
    }
    BeginFrame(t);
    DrawGame(t.R, game.Game);
    EndFrame(t);
    const TImage f = t.Frame();
    int x1 = 0, y1 = 0, x9 = 0, y9 = 0;
    t.Project({-4, -4, 0.8f}, x1, y1);
    t.Project({4, 4, 0.8f}, x9, y9);
    // Cell (1, 1) sits at the bottom right of the board, (9, 9) at the top left.
    EXPECT_GT(x1, 160);
    EXPECT_GT(y1, 120);
    EXPECT_LT(x9, 160);
    EXPECT_LT(y9, 120);
    EXPECT_GT(Brightness(f.At(x1, y1)), 60);
    EXPECT_GT(Brightness(f.At(x9, y9)), 60);
    int xm = 0, ym = 0;
    t.Project({0, 0, 0.8f}, xm, ym);
    EXPECT_EQ(Brightness(f.At(xm, ym)), 0);

    // Cubes, bombs and stones resting on the four corner cells stay inside the dark well
    // of the back plane's frame, however far the perspective leans them out.
    int left = 0, top = 0, right = 0, bottom = 0;
    t.Project({FrameWellLeft, FrameWellTop, 0}, left, top);
    t.Project({FrameWellRight, FrameWellBottom, 0}, right, bottom);
    // The lit pixels of the frame, and how many of them lie outside the well.
    const auto litOutside = [&](int& lit, int& outside)
    {
        const TImage f = t.Frame();
        lit = outside = 0;
        for (int y = 0; y < f.Height; ++y)
        {
            for (int x = 0; x < f.Width; ++x)
            {
                const bool on = Brightness(f.At(x, y)) > 0;
                lit += on;
                outside += on && (x < left || x > right || y < top || y > bottom);
            }
        }
    };
    for (const uint8_t kind : {uint8_t{1}, uint8_t{ckBomb}, uint8_t{ckStone}})
    {
        game.Game.CubeCount = 4;
        const int corners[4][2] = {{1, 1}, {1, 9}, {9, 1}, {9, 9}};
        for (int i = 0; i < 4; ++i)
        {
            TCube& c = game.Game.Cubes[i + 1];
            c.Kind = kind;
            c.Scale = {0.8f, 0.8f, 0.8f};
            c.Position = {corners[i][0] - 5.0f, corners[i][1] - 5.0f, 0.4f};
        }
        BeginFrame(t);
        DrawGame(t.R, game.Game);
        EndFrame(t);
        int outside = 0, lit = 0;
        litOutside(lit, outside);
        EXPECT_GT(lit, 4 * 200) << "kind " << int(kind);
        EXPECT_EQ(outside, 0) << "kind " << int(kind);
    }
    // So do the sparks of bombs there, whichever way each turns its wick (drawn untextured:
    // whole quads, larger than their glow).
    TGameSetup& g = game.Game;
    for (int step = 0; step < 60; ++step)
    {
        for (int i = 1; i <= 4; ++i)
        {
            g.Cubes[i].Rotation.z = 0.105f * static_cast<float>(step * i);
            g.EmitFuseSparks(i);
        }
        g.Particles.UpdateParticles(FuseSparkSystem, 16);
    }
    BeginFrame(t);
    DrawParticles(*t.R.Device, TParticleTextures{}, g.Particles, FuseSparkSystem);
    EndFrame(t);
    int sparkLit = 0, sparkOutside = 0;
    litOutside(sparkLit, sparkOutside);
    EXPECT_GT(sparkLit, 4 * 50) << "sparks drawn";
    EXPECT_EQ(sparkOutside, 0) << "sparks beyond the frame's well";

    // A quad wound clockwise on the screen is culled; its counter-clockwise twin is not.
    std::vector<TVertex> quad;
    AppendQuad(quad, 2, 2, 0, 1, 1);
    std::swap(quad[1], quad[2]);
    std::swap(quad[4], quad[5]);
    t.R.Device->WriteVertices(0, quad);
    BeginFrame(t);
    t.R.Device->SetTransform(tkWorld, IdentityMatrix());
    t.R.Device->DrawPrimitive(0, 2);
    EndFrame(t);
    int xc = 0, yc = 0;
    t.Project({0, 0, 0}, xc, yc);
    EXPECT_EQ(Brightness(t.Frame().At(xc, yc)), 0);
    BeginFrame(t);
    t.R.Device->DrawPrimitive(6, 2);
    EndFrame(t);
    EXPECT_GT(Brightness(t.Frame().At(xc, yc)), 0);
}

TEST(GLPixels, AdditiveParticlesBrightenAndKindSixBlendsNormally)
{
    TGLRenderer t;
    TParticleTextures textures;
    textures.Slots.fill(t.R.Device->CreateTexture(SolidImage(4, 4, CWhite), false));
    TParticleSystems systems;
    systems.EmitParticle(0, 1, {0, 0, 1}, {}, 128);           // additive, opacity 128
    systems.EmitParticle(1, 6, {-3.5f, 0, 1}, {}, 128 + 256); // normal blending, opacity 128
    const TTextureRef grey = t.R.Device->CreateTexture(SolidImage(4, 4, 0xFF808080), false);
    int xa = 0, ya = 0, xb = 0, yb = 0;
    t.Project({0, 0, 1}, xa, ya);
    t.Project({-3.5f, 0, 1}, xb, yb);
    BeginFrame(t);
    Picture(t, grey);
    EndFrame(t);
    const TImage before = t.Frame();
    BeginFrame(t);
    Picture(t, grey);
    DrawParticles(*t.R.Device, textures, systems, 0);
    DrawParticles(*t.R.Device, textures, systems, 1);
    EndFrame(t);
    const TImage f = t.Frame();
    const int a = ::Red(before.At(xa, ya));
    EXPECT_NEAR(::Red(f.At(xa, ya)), std::min(255, a + 128), 3); // background + half white
    const int b = ::Red(before.At(xb, yb));
    EXPECT_NEAR(::Red(f.At(xb, yb)), (b * 127 + 255 * 128) / 255, 3); // halfway to white
    EXPECT_EQ(f.At(10, 10), before.At(10, 10));
}

TEST(GLPixels, OverlaysIgnoreTheDepthTest)
{
    TGLRenderer t;
    const TTextureRef red = t.R.Device->CreateTexture(SolidImage(4, 4, CRed), false);
    const TTextureRef green = t.R.Device->CreateTexture(SolidImage(4, 4, CGreen), false);
    BeginFrame(t);
    TDevice& d = *t.R.Device;
    d.SetRenderState(rsLighting, StateFalse);
    TMatrix nearQuad = MakeWorldMatrix({4, 4, 1}, {0, 0, 2}, {});
    TMatrix farQuad = MakeWorldMatrix({4, 4, 1}, {0, 0, 0}, {});
    d.SetTexture(0, red);
    d.SetTransform(tkWorld, nearQuad);
    t.R.DrawMesh(meshQuad);
    d.SetTexture(0, green);
    d.SetTransform(tkWorld, farQuad);
    t.R.DrawMesh(meshQuad); // hidden behind
    EndFrame(t);
    int x = 0, y = 0;
    t.Project({0, 0, 0}, x, y);
    EXPECT_TRUE(Near(t.Frame().At(x, y), CRed));
    BeginFrame(t);
    d.SetTexture(0, red);
    d.SetTransform(tkWorld, nearQuad);
    t.R.DrawMesh(meshQuad);
    d.SetRenderState(rsZEnable, StateFalse);
    d.SetTexture(0, green);
    d.SetTransform(tkWorld, farQuad);
    t.R.DrawMesh(meshQuad); // an overlay: drawn over
    EndFrame(t);
    EXPECT_TRUE(Near(t.Frame().At(x, y), CGreen));
}

TEST(GLPixels, ScoreLineFollowsTheFractionAndPulsesOnlyWhenTimed)
{
    TGLRenderer t;
    const TTextureRef white = t.R.Device->CreateTexture(SolidImage(4, 4, CWhite), true);
    t.R.Scene.ScoreLine =
        std::make_unique<TScoreLine>(t.R.Device, "/nonexistent", TVector3{0.27f, 0.42f, 1},
                                     TVector3{4.0f, -5.33459375f, 0.01f}, TVector3{});
    t.R.Scene.ScoreLine->Placement.Texture = white;
    auto lineLength = [&](float fraction, int mode, double time, uint32_t* colour)
    {
        TScoreLine& line = *t.R.Scene.ScoreLine;
        line.Fraction = fraction;
        BeginFrame(t);
        t.R.Device->SetTextureStageState(0, tsColorOp, toModulate);
        line.Draw(t.R, meshQuad, mode, time);
        EndFrame(t);
        const TImage f = t.Frame();
        int x = 0, y = 0;
        t.Project({4.51f, RoomCentreY - 5.08459375f, 0}, x, y);
        int n = 0;
        for (int i = 0; i < f.Width; ++i)
        {
            n += Brightness(f.At(i, y)) > 60;
        }
        if (colour != nullptr)
        {
            *colour = f.At(x + 2, y);
        }
        return n;
    };
    const int half = lineLength(0.5f, 1, 0, nullptr);
    const int full = lineLength(1.0f, 1, 0, nullptr);
    EXPECT_NEAR(full, 2 * half, 3);
    EXPECT_GT(full, 150);
    uint32_t a = 0, b = 0;
    lineLength(0.1f, 1, 1000, &a);
    lineLength(0.1f, 1, 3000, &b);
    EXPECT_EQ(a, b);
    lineLength(0.1f, 2, 1000 * 3.14159 * 2 / 1.0, &a); // sin 0 x: green
    lineLength(0.1f, 2, 1000 * 3.14159, &b);           // a = pi / 2: red
    EXPECT_GT(::Green(a), ::Red(a) + 40);
    EXPECT_GT(::Red(b), ::Green(b) + 40);
}

TEST(GLPixels, LoadingBarLightsItsLamps)
{
    TGLRenderer t(640, 480);
    TempFolder dir;
    std::filesystem::create_directories(dir.Path() / "Images");
    WriteBmp(dir.Path() / "Images" / "loading.bmp", SolidImage(8, 8, 0xFF000040));
    std::filesystem::rename(dir.Path() / "Images" / "loading.bmp",
                            dir.Path() / "Images" / "loading.jpg");
    WriteTga(dir.Path() / "Images" / "bonuslight.tga", SolidImage(8, 8, 0xFFFFFF00));
    TLoadingBar bar(t.R, dir.Path());
    auto lamps = [&](int n)
    {
        TFrame frame;
        frame.State = gsLoading;
        frame.LoadingBar = &bar;
        bar.Lit = static_cast<uint8_t>(n);
        RenderScene(t.R, frame);
        t.GL().Finish();
        const TImage f = t.Frame();
        int x = 0, y = 0;
        t.Project({0, -0.28f, 0}, x, y);
        int count = 0;
        for (int i = 0; i < f.Width; ++i)
        {
            count += ::Red(f.At(i, y)) > 100;
        }
        return count;
    };
    // n lamps 0.36125 wide at 0.255 apart cover 0.36125 + (n - 1) x 0.255 units.
    auto span = [&](int n)
    {
        int x0 = 0, x1 = 0, y = 0;
        t.Project({0, -0.28f, 0}, x0, y);
        t.Project({-(0.36125f + (n - 1) * 0.255f), -0.28f, 0}, x1, y);
        return x1 - x0;
    };
    EXPECT_EQ(lamps(0), 0);
    EXPECT_NEAR(lamps(1), span(1), 2);
    EXPECT_NEAR(lamps(5), span(5), 2);
    EXPECT_NEAR(lamps(30), span(30), 2);
}

TEST(GLPixels, MeshesDrawAsTheirTrianglesAndFollowRewrites)
{
    // The device draws a mesh range as an indexed copy; it must give the very pixels of
    // the same triangles sent one corner at a time, and follow a rewrite of the range.
    TGLRenderer t;
    TDevice& d = *t.R.Device;
    std::vector<TVertex> cube;
    AppendMesh(CubeMesh(), 3.0f, cube);
    const TMatrix turn = MakeWorldMatrix({1, 1, 1}, {}, {0.5f, 0.7f, 0.2f});
    for (TVertex& v : cube)
    {
        const TVector3 p = TransformPoint({v.x, v.y, v.z}, turn);
        const TVector3 n = TransformPoint({v.nx, v.ny, v.nz}, turn); // a turn about the origin
        v.x = p.x;
        v.y = p.y;
        v.z = p.z;
        v.nx = n.x;
        v.ny = n.y;
        v.nz = n.z;
    }
    const TTextureRef texture =
        t.R.Device->CreateTexture(QuadrantImage(16, 16, CRed, CGreen, CBlue, CWhite), true);
    const int first = t.R.Collector.FirstVertex(meshCube);
    const int triangles = t.R.Collector.Triangles(meshCube);
    ASSERT_EQ(static_cast<int>(cube.size()), 3 * triangles);
    ASSERT_EQ(d.WriteVertices(first, cube), D3D_OK);
    auto frame = [&](auto draw)
    {
        BeginFrame(t);
        d.SetTextureStageState(0, tsColorOp, toModulate);
        d.SetTexture(0, texture);
        d.SetMaterial(t.R.Materials[1]);
        d.SetTransform(tkWorld, IdentityMatrix());
        draw();
        EndFrame(t);
        return t.Frame();
    };
    const TImage meshFrame = frame([&] { d.DrawPrimitive(first, triangles); });
    const TImage cornerFrame = frame([&] { d.DrawStream(cube); });
    int lit = 0;
    for (size_t i = 0; i < meshFrame.Pixels.size(); ++i)
    {
        lit += Brightness(meshFrame.Pixels[i]) > 0;
    }
    EXPECT_GT(lit, 320 * 240 / 20); // a cube about 70 pixels across
    EXPECT_TRUE(meshFrame.Pixels == cornerFrame.Pixels);

    for (TVertex& v : cube)
    {
        v.Diffuse = CBlue;
    }
    ASSERT_EQ(d.WriteVertices(first, cube), D3D_OK);
    d.SetRenderState(rsLighting, StateFalse);
    d.SetTextureStageState(0, tsColorArg2, taDiffuse);
    const TImage rewritten = frame(
        [&]
        {
            d.SetTextureStageState(0, tsColorOp, toSelectArg2);
            d.DrawPrimitive(first, triangles);
        });
    int x = 0, y = 0;
    t.Project({0, 0, 1}, x, y);
    EXPECT_EQ(rewritten.At(x, y), CBlue) << std::hex << rewritten.At(x, y);
}

TEST(GLPixels, RoomShowsOnlyAroundTheBackPlane)
{
    // The floor lies just below the back plane, close enough for a 16-bit depth buffer to
    // take them for one depth: wherever the back plane is, the board must win. SDL's
    // off-screen driver gives such a buffer (Xvfb's visuals have 24 bits); where it cannot
    // start, the X display of the test serves for the rest.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::unique_ptr<TGLRenderer> made;
    try
    {
        made = std::make_unique<TGLRenderer>(640, 480);
    }
    catch (const std::exception&)
    {
    }
    unsetenv("SDL_VIDEODRIVER");
    if (!made)
    {
        made = std::make_unique<TGLRenderer>(640, 480);
    }
    TGLRenderer& t = *made;
    TempFolder log;
    SetDebugLogFolder(log.Path());
    TestGame game;
    game.Game.CreateLevels();
    game.Game.CreateBonus();
    LoadResources(t.R, nullptr, TANDREL_GAME_DIR);
    // Plain pictures the planes read, as the game's, when the frame first shows them.
    WriteTga(log.Path() / "back.tga", SolidImage(4, 4, CBlue));
    WriteTga(log.Path() / "room.tga", SolidImage(4, 4, CRed));
    ASSERT_TRUE(t.R.Scene.BackPlane);
    t.R.Scene.BackPlane->Image = log.Path() / "back.tga";
    for (int i = 1; i <= 5; ++i)
    {
        ASSERT_TRUE(t.R.Scene.RoomPlanes[i]);
        t.R.Scene.RoomPlanes[i]->Image = log.Path() / "room.tga";
    }
    game.Game.Level = 1;
    auto count = [&](const TVector3& eye, int& red, int& blue)
    {
        TFrame frame;
        frame.State = gsGame;
        frame.Game = &game.Game;
        frame.Eye = eye;
        frame.Fullscreen = true;
        ASSERT_EQ(RenderScene(t.R, frame), D3D_OK);
        t.GL().Finish();
        const TImage f = t.Frame();
        red = blue = 0;
        for (const uint32_t p : f.Pixels)
        {
            red += ::Red(p) > 100 && ::Green(p) < 40 && ::Blue(p) < 40;
            blue += ::Blue(p) > 100 && ::Red(p) < 40 && ::Green(p) < 40;
        }
    };
    int red = 0, blue = 0;
    count(RestEye, red, blue); // at rest: the board fills the screen
    EXPECT_EQ(red, 0);
    EXPECT_GT(blue, 640 * 480 / 2);
    count({RestEye.x, RestEye.y - 10, RestEye.z}, red, blue); // backed away: the room around it
    EXPECT_GT(red, 640 * 480 / 10);
    EXPECT_GT(blue, 640 * 480 / 5);
    // Another screen lets the pictures go; the next flight reads them again.
    KeepScreenPictures(t.R, gsMenu);
    EXPECT_FALSE(t.R.Scene.RoomPlanes[1]->Placement.Texture);
    EXPECT_FALSE(t.R.Scene.BackPlane->Placement.Texture);
    count({RestEye.x, RestEye.y - 10, RestEye.z}, red, blue);
    EXPECT_GT(red, 640 * 480 / 10);
    EXPECT_GT(blue, 640 * 480 / 5);
}

// A picture screen drawn smaller than its texture reads it through its mipmap chain, so
// every one-texel stripe still shows (blended) in every pixel; a texture without a chain is
// read from its one level whatever the mip filter, and stripes fall between the pixels.
TEST(GLPixels, PictureDrawnSmallerReadsItsMipmapChainAndOnlyATextureWithOneHasIt)
{
    TGLRenderer t;
    TempFolder dir;
    TImage stripes = SolidImage(1024, 1024, CRed);
    for (int y = 0; y < 1024; ++y)
    {
        for (int x = 1; x < 1024; x += 2)
        {
            stripes.Pixels[static_cast<size_t>(y) * 1024 + x] = CBlue;
        }
    }
    WriteTga(dir.Path() / "stripes.tga", stripes);
    TTextureRef picture, flat;
    LoadMipmappedTexture(*t.R.Device, dir.Path() / "stripes.tga", picture);
    LoadTexture(*t.R.Device, dir.Path() / "stripes.tga", flat);
    ASSERT_TRUE(picture && flat);

    auto mixedPixels = [&](const TTextureRef& picture)
    {
        BeginFrame(t);
        Picture(t, picture);
        EndFrame(t);
        const TImage f = t.Frame();
        int mixed = 0;
        for (int x = 100; x < 220; ++x)
        {
            const uint32_t c = f.At(x, 120);
            mixed += (::Red(c) > 60 && ::Blue(c) > 60) ? 1 : 0;
        }
        return mixed;
    };
    EXPECT_EQ(mixedPixels(picture), 120);
    EXPECT_LT(mixedPixels(flat), 100) << "without a chain some stripes fall between the pixels";
    EXPECT_EQ(t.R.Device->State().StageStates[tsMipFilter], tfNone) << "the picture leaves no mip filter set";

    // A chain halved on the processor is the device's own to the bit, on noise, where
    // rounding shows; it ends at the last level with even sides (96 x 40 -> 12 x 5).
    TImage noise = SolidImage(96, 40, 0);
    uint32_t seed = 12345;
    for (uint32_t& p : noise.Pixels)
    {
        seed = seed * 1664525u + 1013904223u;
        p = seed;
    }
    const TTextureRef halved = t.R.Device->CreateTexture(noise, true);
    t.GL().DeviceMadeMipmaps = true;
    const TTextureRef made = t.R.Device->CreateTexture(noise, true);
    t.GL().DeviceMadeMipmaps = false;
    for (int level = 1; level <= 3; ++level)
    {
        const TImage a = t.GL().ReadTextureLevel(halved, level);
        const TImage b = t.GL().ReadTextureLevel(made, level);
        EXPECT_EQ(a.Width, 96 >> level);
        EXPECT_TRUE(a.Width == b.Width && a.Height == b.Height && a.Pixels == b.Pixels) << "level " << level;
    }

    // A JPEG picture is decoded strip by strip into its texture, its chain halved strip by
    // strip: every level is the one made from the whole decoded picture, to the bit.
    const std::filesystem::path page = std::filesystem::path(TANDREL_GAME_DIR) / "Images" / "help.jpg";
    TImage whole;
    ASSERT_TRUE(ReadImageFile(page, whole));
    for (const bool mipmapped : {true, false})
    {
        TTextureRef strips;
        (mipmapped ? LoadMipmappedTexture : LoadTexture)(*t.R.Device, page, strips);
        const TTextureRef made = t.R.Device->CreateTexture(whole, mipmapped);
        ASSERT_TRUE(strips && made);
        for (int level = 0; level <= (mipmapped ? 4 : 0); ++level)
        {
            const TImage a = t.GL().ReadTextureLevel(strips, level);
            const TImage b = t.GL().ReadTextureLevel(made, level);
            EXPECT_EQ(a.Width, whole.Width >> level);
            EXPECT_TRUE(a.Width == b.Width && a.Height == b.Height && a.Pixels == b.Pixels)
                << "level " << level << (mipmapped ? ", with its chain" : "");
        }
    }
}

// The help page drawn smaller than its 1600 x 1200 picture keeps every stroke of its text:
// along its first line of words (the MOVE box's "Click a cube, ..."), every pixel that the
// page inks strongly (its area of the picture averaged) shows that ink. Read texel for pixel
// from the full-size picture, as the game read it before, thin strokes fall between the
// pixels at 640 x 480 ("C ick a cube").
TEST(GLPixels, HelpPageTextKeepsEveryStrokeWhenDrawnSmaller)
{
    TImage page;
    ASSERT_TRUE(ReadImageFile(std::filesystem::path(TANDREL_GAME_DIR) / "Images" / "help.jpg", page));
    auto lum = [](uint32_t p) { return (2 * ::Red(p) + 5 * ::Green(p) + ::Blue(p)) / 8; };
    // The line: the first band of rows with light text in the left third, below the box's
    // picture (from 0.32 of the height), and the columns it inks.
    const int left = page.Width * 3 / 100, right = page.Width / 3;
    int top = -1, bottom = -1, first = right, last = left;
    for (int y = page.Height * 32 / 100; y < page.Height / 2 && (bottom < 0 || y == bottom + 1); ++y)
    {
        int inked = 0;
        for (int x = left; x < right; ++x)
        {
            if (lum(page.At(x, y)) > 150)
            {
                ++inked;
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        if (inked > 0)
        {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    ASSERT_GT(bottom - top, 8) << "no line of text found";
    std::vector<int> levels;
    for (int y = top; y <= bottom; ++y)
    {
        for (int x = first; x <= last; ++x)
        {
            levels.push_back(lum(page.At(x, y)));
        }
    }
    std::sort(levels.begin(), levels.end());
    const float ground = static_cast<float>(levels[levels.size() / 10]);
    const float ink = static_cast<float>(levels[levels.size() * 99 / 100]) - ground;

    // The share of strongly inked pixels of the line that show less than a third of their ink.
    auto lostInk = [&](TGLRenderer& t)
    {
        const TImage f = t.Frame();
        // Where the picture's edges land: it reaches a little past the window's.
        const TMatrix vp = ViewProjection();
        auto onScreen = [&](float wx, float wy, int axis)
        {
            const float c = wx * vp.m[0][axis] + wy * vp.m[1][axis] + vp.m[3][axis];
            const float cw = wx * vp.m[0][3] + wy * vp.m[1][3] + vp.m[3][3];
            return axis == 0 ? (c / cw * 0.5f + 0.5f) * static_cast<float>(f.Width)
                             : (0.5f - c / cw * 0.5f) * static_cast<float>(f.Height);
        };
        const float x0 = std::min(onScreen(RoomCentreX - 7.225f, RoomCentreY, 0), onScreen(RoomCentreX + 7.225f, RoomCentreY, 0));
        const float x1 = std::max(onScreen(RoomCentreX - 7.225f, RoomCentreY, 0), onScreen(RoomCentreX + 7.225f, RoomCentreY, 0));
        const float y0 = std::min(onScreen(RoomCentreX, RoomCentreY - 5.41875f, 1), onScreen(RoomCentreX, RoomCentreY + 5.41875f, 1));
        const float y1 = std::max(onScreen(RoomCentreX, RoomCentreY - 5.41875f, 1), onScreen(RoomCentreX, RoomCentreY + 5.41875f, 1));
        const float sx = static_cast<float>(page.Width) / (x1 - x0), sy = static_cast<float>(page.Height) / (y1 - y0);
        // Pixel x (its centre on a whole coordinate, as the game's device puts pictures)
        // covers the picture's texels from (x - 1/2 - x0) sx to (x + 1/2 - x0) sx.
        auto texel = [](float v) { return static_cast<int>(std::lround(v)); };
        int inked = 0, lost = 0;
        for (int y = texel(top / sy + y0) + 1; texel((static_cast<float>(y) + 0.5f - y0) * sy) <= bottom; ++y)
        {
            for (int x = texel(first / sx + x0) + 1; texel((static_cast<float>(x) + 0.5f - x0) * sx) <= last; ++x)
            {
                float sum = 0;
                int n = 0;
                for (int v = texel((static_cast<float>(y) - 0.5f - y0) * sy); v < texel((static_cast<float>(y) + 0.5f - y0) * sy); ++v)
                {
                    for (int u = texel((static_cast<float>(x) - 0.5f - x0) * sx); u < texel((static_cast<float>(x) + 0.5f - x0) * sx); ++u)
                    {
                        sum += static_cast<float>(lum(page.At(u, v)));
                        ++n;
                    }
                }
                const float wanted = (sum / static_cast<float>(n) - ground) / ink;
                const float shown = (static_cast<float>(lum(f.At(x, y))) - ground) / ink;
                if (wanted >= 0.4f)
                {
                    ++inked;
                    lost += shown < wanted / 3 ? 1 : 0;
                }
            }
        }
        EXPECT_GT(inked, 50) << f.Width;
        return inked > 0 ? static_cast<float>(lost) / static_cast<float>(inked) : 1.0f;
    };
    for (const auto& [w, h] : {std::pair{640, 480}, std::pair{1280, 960}})
    {
        TGLRenderer t(w, h);
        LoadMipmappedTexture(*t.R.Device, std::filesystem::path(TANDREL_GAME_DIR) / "Images" / "help.jpg",
                             t.R.HelpPicture);
        TFrame frame; // the help screen as the game draws it, the camera at rest
        frame.State = gsHelp;
        ASSERT_EQ(RenderScene(t.R, frame), D3D_OK);
        t.GL().Finish();
        EXPECT_LT(lostInk(t), 0.02f) << w << "x" << h;
        if (w == 640)
        {
            // The same transforms, the full-size picture read texel for pixel.
            LoadTexture(*t.R.Device, std::filesystem::path(TANDREL_GAME_DIR) / "Images" / "help.jpg",
                        t.R.HelpPicture);
            t.R.Device->Clear(clTarget | clZBuffer, 0xFF000000, 1.0f);
            t.R.Device->SetTextureStageState(0, tsMinFilter, tfNone);
            t.R.Device->SetTextureStageState(0, tsMagFilter, tfNone);
            t.R.Device->SetTexture(0, t.R.HelpPicture);
            TMatrix m = IdentityMatrix();
            m.m[0][0] = 14.45f;
            m.m[1][1] = 10.8375f;
            m.m[3][0] = RoomCentreX;
            m.m[3][1] = RoomCentreY;
            t.R.Device->SetTransform(tkWorld, m);
            t.R.DrawMesh(meshQuad);
            t.GL().Finish();
            EXPECT_GT(lostInk(t), 0.05f) << "the full-size picture read texel for pixel";
        }
    }
}

namespace
{
// A new game of level 1 with the renderer's resources loaded and the pointer still, off the
// board; the frame that draws it.
TFrame LevelOneOnTheBoard(TGLRenderer& t, TestGame& game)
{
    game.Game.CreateLevels();
    game.Game.CreateBonus();
    LoadResources(t.R, nullptr, TANDREL_GAME_DIR);
    game.Host.MouseX = 20;
    game.Host.MouseY = 20;
    game.Game.NewGame();
    TFrame frame;
    frame.State = gsGame;
    frame.Game = &game.Game;
    frame.Fullscreen = true;
    return frame;
}
} // namespace

// The loop draws a still board once and then only updates its rules until something
// moves: whatever those updates do, the frame drawn after them (a window exposed, a key
// that changes nothing) is the frame that stayed on the screen, pixel for pixel.
TEST(GLPixels, AStillBoardDrawsTheSameFrameAfterItsRulesRanWithoutFrames)
{
    TGLRenderer t(400, 300);
    TempFolder log;
    SetDebugLogFolder(log.Path());
    TestGame game;
    TGameSetup& g = game.Game;
    TFrame frame = LevelOneOnTheBoard(t, game);
    const auto draw = [&]
    {
        EXPECT_EQ(RenderScene(t.R, frame), D3D_OK);
        t.GL().Finish();
        return t.Frame();
    };
    int rests = 0;
    for (int frames = 0; frames < 20000 && rests < 3; ++frames)
    {
        if (!g.Still())
        {
            g.Update(16); // a frame, drawn or not: only the still ones matter here
            continue;
        }
        const TImage before = draw();
        // Rests of the board as the loop spends them: updates every 50 ms, no frame,
        // until an idle turn is rolled or ten seconds have passed.
        for (int k = 0; k < 200 && g.Still(); ++k)
        {
            g.Update(StillUpdateInterval);
            frame.TotalTime += StillUpdateInterval;
        }
        const TImage after = draw();
        ASSERT_EQ(after.Width, before.Width);
        EXPECT_TRUE(after.Pixels == before.Pixels) << "rest " << rests << ", board still: " << g.Still();
        ++rests;
        g.Update(16);
    }
    EXPECT_EQ(rests, 3);
}

// A small change of the board (the cubes growing in, an idle quarter-turn, a cube growing)
// drawn only inside its region over the kept picture of the frame before gives, frame after
// frame, the very pixels of the same state drawn whole into the kept picture; and that is
// the frame drawn straight to the window. In a window of the picture's shape
// and in a wider one, where the picture lies inset; with the picture kept in the window
// itself, as this X server and GL allow, the window as shown is read after each region
// frame; and with the picture kept off screen, as where they do not.
TEST(GLPixels, RegionFramesOfSmallChangesEqualWholeFrames)
{
    TempFolder log;
    SetDebugLogFolder(log.Path());
    // 4:3, and wider and taller than that: the bands beside or above the picture too.
    for (const auto& [w, h, offScreen] : {std::tuple{400, 300, false}, std::tuple{480, 300, false},
                                          std::tuple{400, 360, false}, std::tuple{400, 300, true},
                                          std::tuple{480, 300, true}})
    {
        TGLRenderer t(w, h);
        SDL_Window* window = t.GL().Window();
        if (!offScreen)
        {
            SDL_ShowWindow(window);
            t.GL().SetSwapOnPresent(true);
            for (int k = 0; k < 500 && Grab(window).Width == 0; ++k)
            {
                SDL_PumpEvents(); // until the window is mapped
            }
        }
        // The window as the player sees it equals this frame.
        const auto shown = [&](const TImage& frame)
        {
            const TShot shot = Grab(window);
            if (shot.Width != frame.Width || shot.Height != frame.Height)
            {
                return false;
            }
            for (size_t i = 0; i < frame.Pixels.size(); ++i)
            {
                const uint32_t p = frame.Pixels[i];
                const TRgb c = shot.Pixels[i];
                if (c.r != static_cast<int>((p >> 16) & 0xFF) || c.g != static_cast<int>((p >> 8) & 0xFF) ||
                    c.b != static_cast<int>(p & 0xFF))
                {
                    return false;
                }
            }
            return true;
        };
        TestGame game;
        TGameSetup& g = game.Game;
        TFrame frame = LevelOneOnTheBoard(t, game);
        TChangeRegions regions, whole; // whole forgets each frame: drawn whole into the kept picture
        const auto draw = [&](TChangeRegions* tracker)
        {
            whole.Forget();
            frame.Regions = tracker;
            EXPECT_EQ(RenderScene(t.R, frame), D3D_OK);
            t.GL().Finish();
            return t.Frame();
        };
        const TImage straight = draw(nullptr);
        ASSERT_TRUE(t.GL().KeepPicture(true, offScreen));
        ASSERT_EQ(t.GL().KeepsPictureInWindow(), !offScreen) << "this machine's X server and GL show a region";
        EXPECT_TRUE(draw(&whole).Pixels == straight.Pixels) << "the kept picture drawn whole, " << w << "x" << h;
        int limited = 0;
        const auto play = [&](const char* change, int frames, int largest)
        {
            for (int k = 0; k < frames; ++k)
            {
                const TImage part = draw(&regions);
                const bool region = regions.Limited() && regions.Regions().Area() > 0;
                if (region)
                {
                    ++limited;
                    EXPECT_LE(regions.Regions().Area(), largest) << change;
                }
                const bool partShown = offScreen || shown(part);
                // The same state drawn whole: also the picture the next region is drawn over.
                const TImage full = draw(&whole);
                ASSERT_TRUE(part.Pixels == full.Pixels) << change << ", frame " << k << ", " << w << "x" << h;
                ASSERT_TRUE(partShown) << "shown in the window: " << change << ", frame " << k << ", " << w << "x" << h;
                g.Update(16);
            }
        };
        play("the cubes growing in", 50, w * h / 2);
        for (int k = 0; k < 2000 && !g.Still(); ++k)
        {
            g.Update(16);
        }
        int cube = 0;
        for (int i = 1; i <= g.CubeCount && cube == 0; ++i)
        {
            cube = g.Cubes[i].State == csIdle && IsColourKind(g.Cubes[i].Kind) ? i : 0;
        }
        ASSERT_NE(cube, 0);
        const int before = limited;
        g.StartTurn(cube);
        play("an idle quarter-turn", 40, w * h / 20);
        g.SetState(cube, csIdle);
        g.SetState(cube, csGrowing);
        g.Cubes[cube].Anim = 0; // from the start of its growth
        play("a growing cube", 15, w * h / 20);
        EXPECT_EQ(g.Cubes[cube].State, csIdle) << "grown";
        EXPECT_GE(limited - before, 45) << "frames of the turn and the growth drawn in their region";

        // Bombs in two far corners (free on a level-1 board or not) grow in; then only their
        // fuses spark, each bomb's sparks in a small region of their own.
        for (const TCell cell : {TCell{1, 1}, TCell{9, 9}})
        {
            if (g.Cells[cell.X][cell.Y].Occupancy == coEmpty)
            {
                g.TakeCell(cell);
                g.SetState(g.PutNewCube(ckBomb, cell, false), csGrowing);
                g.Cells[cell.X][cell.Y].Occupancy = coOccupied;
            }
            else
            {
                g.Cubes[g.Cells[cell.X][cell.Y].Cube].Kind = ckBomb;
            }
        }
        for (int k = 0; k < 2000 && !g.Still(true); ++k)
        {
            g.Update(16);
        }
        ASSERT_GT(g.Particles.Count(FuseSparkSystem), 0);
        const int sparked = limited;
        int apart = 0;
        for (int k = 0; k < 20; ++k)
        {
            play("fuse sparks", 1, w * h / 8);
            apart += regions.Limited() && regions.Regions().Count >= 2 ? 1 : 0;
        }
        EXPECT_GE(limited - sparked, 18) << "frames of sparks drawn in their regions";
        EXPECT_GE(apart, 18) << "the two bombs' sparks drawn apart";

        if (!offScreen)
        {
            // Resized from outside: the loop draws whole frames while the device owes them
            // (Mesa takes the new size at a swap), and no region frame after them is drawn over
            // a picture of the size before.
            SDL_SetWindowSize(window, w + 160, h + 40);
            for (int k = 0; k < 500 && Grab(window).Width != w + 160; ++k)
            {
                SDL_PumpEvents();
            }
            regions.Forget();
            int owed = 0;
            for (; owed < 4 && t.GL().OwesWholeFrame(); ++owed)
            {
                draw(&regions);
            }
            EXPECT_EQ(owed, 2) << "whole frames after the resize";
            g.StartTurn(cube);
            // The bombs still spark: their regions come with the turn's.
            play("a turn after a resize", 10, (w + 160) * (h + 40) / 20 + (w + 160) * (h + 40) / 8);
        }
    }
}
