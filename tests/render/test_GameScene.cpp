#include "base/DebugLog.h"
#include "render/GameScene.h"
#include "render/LoadingBar.h"
#include "render/RenderScene.h"
#include "tests/render/RenderTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// A game with its scene loaded on the recording device, and a board of three cubes.
struct TScene
{
    TScene()
    {
        SetDebugLogFolder(Log.Path());
        T.Game.CreateLevels();
        T.Game.CreateBonus();
        LoadResources(R.R, nullptr, TANDREL_GAME_DIR);
        // Textures the test can tell apart.
        for (int k = 0; k < 18; ++k)
        {
            R.R.CubeTextures[k] =
                R.Device->CreateTexture(SolidImage(2, 2, 0xFF000000u + k), true);
        }
        TGameSetup& g = T.Game;
        g.Mode = gmNormal;
        g.Level = 1;
        g.Levels[1].Target[1] = 1000;
        g.Levels[1].Progress = 250;
        const uint8_t kinds[3] = {3, ckBomb, ckStone};
        for (int i = 1; i <= 3; ++i)
        {
            TCube& c = g.Cubes[i];
            c.Kind = kinds[i - 1];
            c.Scale = {0.8f, 0.8f, 0.8f};
            c.Position = {static_cast<float>(i) - 5, -4, 0.4f};
        }
        g.CubeCount = 3;
        g.Figure = 1;
        g.Figures[1].Width = 1;
        g.Figures[1].Height = 2;
        g.Figures[1].At(1, 1).ShownColour = 2;
        g.Figures[1].At(1, 2).ShownColour = 0;
        g.Display.LampCount = 5;
        R.Device->Draws.clear();
    }
    TempFolder Log;
    TRecordingRenderer R;
    TestGame T;
};

int MeshOf(const TRecordingRenderer& r, const TRecordedDraw& d)
{
    for (int e = 0; e < r.R.Collector.Count; ++e)
    {
        if (!d.Streamed && d.StartVertex == r.R.Collector.FirstVertex(e))
        {
            return e;
        }
    }
    return -1;
}
} // namespace

TEST(GameScene, DrawsInTheGameOrder)
{
    TScene s;
    s.T.Game.Particles.EmitParticle(4, 1, {0, 0, 1}, {0, 0, 0}, 200); // system 5
    s.T.Game.Particles.EmitParticle(0, 0, {0, 0, 1}, {0, 0, 0}, 200); // system 1
    s.T.Game.Particles.EmitParticle(5, 6, {0, 0, 1}, {0, 0, 0}, 200); // system 6
    s.T.Game.Labels.AddLabel({0, 0, 0}, 1, 2, "Hi", 12);
    LookFrom(*s.R.Device, {8.2f, -0.25f, 1.7f}); // flying low over the board: the room shows
    DrawGameScene(s.R.R, s.T.Game, 1000);
    const auto& d = s.R.Device->Draws;
    const TSceneObjects& o = s.R.R.Scene;
    // The five room planes, then the back plane over them, all with their own matrices,
    // filters off, depth-tested.
    ASSERT_GE(d.size(), 6u);
    EXPECT_EQ(d[5].State.World, o.BackPlane->Placement.Matrix);
    for (int i = 0; i < 6; ++i)
    {
        if (i < 5)
        {
            EXPECT_EQ(d[i].State.World, o.RoomPlanes[i + 1]->Placement.Matrix) << i;
        }
        EXPECT_EQ(d[i].State.StageStates[tsMagFilter], tfNone);
        EXPECT_EQ(d[i].State.RenderStates[rsAmbient], 0x00FFFFFFu);
        EXPECT_NE(d[i].State.RenderStates[rsZEnable], 0u);
        EXPECT_EQ(d[i].State.RenderStates[rsAlphaBlendEnable], StateFalse);
    }
    // Score line: cap then line, blended, filters back to linear.
    EXPECT_EQ(d[6].State.World, o.ScoreLine->LeftCap->Placement.Matrix);
    EXPECT_EQ(d[7].State.StageStates[tsMinFilter], tfLinear);
    EXPECT_FLOAT_EQ(o.ScoreLine->Fraction, 0.25f);
    EXPECT_FLOAT_EQ(o.ScoreLine->StartFraction, 0.25f);
    // Five lamps in a row to the screen right.
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_NEAR(d[8 + i].State.World.m[3][0], -6.387875f - 0.289f * i, 1e-5f);
        EXPECT_NEAR(d[8 + i].State.World.m[3][1], 0.5266875f, 1e-6f);
        EXPECT_EQ(d[8 + i].State.RenderStates[rsAlphaBlendEnable], StateTrue);
    }
    // Cubes: mesh, material and texture by kind; modulated from here on.
    EXPECT_EQ(MeshOf(s.R, d[13]), meshCube);
    EXPECT_EQ(d[13].State.Texture, s.R.R.CubeTextures[2]);
    EXPECT_EQ(d[13].State.StageStates[tsColorOp], toModulate);
    EXPECT_EQ(d[13].State.RenderStates[rsAmbient], 0x00666666u);
    EXPECT_EQ(MeshOf(s.R, d[14]), meshBomb);
    EXPECT_EQ(d[14].State.Material.Power, 255.0f);
    EXPECT_EQ(MeshOf(s.R, d[15]), meshStone);
    EXPECT_EQ(d[15].State.Material.Power, 10.0f);
    // One figure cell, blended, then the three numbers, the label and the particles.
    EXPECT_EQ(MeshOf(s.R, d[16]), meshCube);
    EXPECT_EQ(d[16].State.Texture, s.R.R.CubeTextures[1]);
    EXPECT_EQ(d[16].State.RenderStates[rsAlphaBlendEnable], StateTrue);
    // Without a font file the numbers and the label draw nothing; particles follow in
    // the order 5, 1, 6 with the blending of each system's kind.
    std::vector<const TRecordedDraw*> streamed;
    for (size_t i = 17; i < d.size(); ++i)
    {
        streamed.push_back(&d[i]);
    }
    ASSERT_GE(streamed.size(), 3u);
    const auto* p5 = streamed[streamed.size() - 3];
    const auto* p1 = streamed[streamed.size() - 2];
    const auto* p6 = streamed[streamed.size() - 1];
    EXPECT_EQ(p5->State.Texture, s.R.R.ParticleTextures.Slots[1]);
    EXPECT_EQ(p5->State.RenderStates[rsDestBlend], blOne);
    EXPECT_EQ(p1->State.RenderStates[rsDestBlend], blOne);
    EXPECT_EQ(p6->State.RenderStates[rsDestBlend], blInvSrcAlpha);
    EXPECT_EQ(p6->State.RenderStates[rsLighting], StateFalse);
    EXPECT_EQ(p6->Vertices[0].Diffuse, 0xC8FFFFFFu);
}

TEST(GameScene, RoomIsLeftOutOnlyWhileTheBackPlaneHidesIt)
{
    TScene s;
    const TSceneObjects& o = s.R.R.Scene;
    // Whether the frame drew the room, checking that the back plane still comes after it.
    auto roomDrawn = [&](const TVector3& eye, bool blended = false)
    {
        s.R.Device->Draws.clear();
        LookFrom(*s.R.Device, eye);
        s.R.Device->SetRenderState(rsAlphaBlendEnable, blended ? StateTrue : StateFalse);
        DrawGameScene(s.R.R, s.T.Game, 1000);
        const auto& d = s.R.Device->Draws;
        int room = 0;
        while (room < static_cast<int>(d.size()) && room < 5 &&
               d[room].State.World == o.RoomPlanes[room + 1]->Placement.Matrix)
        {
            ++room;
        }
        EXPECT_TRUE(room == 0 || room == 5) << room << " room planes";
        EXPECT_EQ(d.at(room).State.World, o.BackPlane->Placement.Matrix);
        // Each room plane drawn with its picture, read for the frame that shows it.
        for (int i = 0; i < room; ++i)
        {
            EXPECT_TRUE(d[i].State.Texture) << i;
        }
        return room == 5;
    };
    auto roomHeld = [&o]
    {
        int held = 0;
        for (int i = 1; i <= 5; ++i)
        {
            held += o.RoomPlanes[i]->Placement.Texture != nullptr;
        }
        return held;
    };
    EXPECT_EQ(roomHeld(), 0); // nothing read before a frame shows the room
    // At rest the back plane fills the screen.
    EXPECT_FALSE(roomDrawn(RestEye));
    EXPECT_FALSE(roomDrawn({RoomCentreX, RoomCentreY, 12.0f})); // closer still fills it
    // So it does in the smallest window the game offers, and in a wide one.
    for (const auto& [w, h] : {std::pair{512, 384}, std::pair{1920, 1080}})
    {
        const int keptW = s.R.Device->Width(), keptH = s.R.Device->Height();
        s.R.Device->SetSize(w, h);
        EXPECT_FALSE(roomDrawn(RestEye)) << w << "x" << h;
        s.R.Device->SetSize(keptW, keptH);
    }
    // Backed away, circling the board, low over it: the room shows around the back plane.
    EXPECT_TRUE(roomDrawn({RestEye.x, RestEye.y - 0.5f, RestEye.z}));
    EXPECT_TRUE(roomDrawn({RoomCentreX, RoomCentreY, 13.5f}));
    EXPECT_TRUE(roomDrawn({RestEye.x, RestEye.y - 10, RestEye.z}));
    EXPECT_TRUE(roomDrawn({8.2f, -0.25f, 1.7f}));
    // A back plane drawn blended (left so by some overlay) would let the room through.
    EXPECT_TRUE(roomDrawn(RestEye, true));
    EXPECT_EQ(roomHeld(), 5);
    // A board at rest keeps its kept picture for region frames even where the room shows;
    // only a flight lets it go.
    EXPECT_EQ(s.R.Device->KeptPicturesLetGo, 0);
    s.T.Game.EndPhase = epLevelDone;
    EXPECT_TRUE(roomDrawn({8.2f, -0.25f, 1.7f}));
    EXPECT_EQ(s.R.Device->KeptPicturesLetGo, 1);
    // A flight passing the rest point keeps the pictures; play at rest lets them go, and
    // so does any other screen.
    s.T.Game.EndPhase = epGameOver;
    EXPECT_FALSE(roomDrawn(RestEye));
    EXPECT_EQ(roomHeld(), 5);
    s.T.Game.EndPhase = epPlaying;
    EXPECT_FALSE(roomDrawn(RestEye));
    EXPECT_EQ(roomHeld(), 0);
    EXPECT_TRUE(roomDrawn({8.2f, -0.25f, 1.7f}));
    EXPECT_TRUE(o.BackPlane->Placement.Texture);
    KeepScreenPictures(s.R.R, gsMenu);
    EXPECT_EQ(roomHeld(), 0);
    EXPECT_FALSE(o.BackPlane->Placement.Texture);
}

TEST(GameScene, ScoreLineClampsAndPulsesOnlyInTheTimedMode)
{
    TScene s;
    TGameSetup& g = s.T.Game;
    TScoreLine& line = *s.R.R.Scene.ScoreLine;

    g.EndPhase = epLevelDone;
    g.Display.Fraction = 1.7;
    DrawGameScene(s.R.R, g, 0);
    EXPECT_FLOAT_EQ(line.Fraction, 1.0f);
    EXPECT_NEAR(line.Placement.Scale.x, 8.75f, 1e-5f);

    // Normal mode, low bar: no pulse.
    g.Display.Fraction = 0.1;
    DrawGameScene(s.R.R, g, 5000);
    EXPECT_EQ(line.LineMaterial, s.R.R.Materials[3]);

    // Timed mode: red and green pulse (the rules beep meanwhile: test_LevelFlow.cpp).
    g.Mode = gmTimed;
    DrawGameScene(s.R.R, g, 1000);
    const double a = 0.1 * 1000 / 200;
    EXPECT_NEAR(line.LineMaterial.Ambient.r, std::fabs(std::sin(a)), 1e-5);
    EXPECT_NEAR(line.LineMaterial.Ambient.g, std::fabs(std::cos(a)), 1e-5);

    // An empty bar pulses; the cap is not drawn.
    g.Display.Fraction = 0;
    s.R.Device->Draws.clear();
    DrawGameScene(s.R.R, g, 3000);
    EXPECT_EQ(s.R.Device->Draws[6].State.World, line.Placement.Matrix);
}

TEST(GameScene, TheBombsWickEndsWhereItsSparksBurst)
{
    TScene s;
    TGameSetup& g = s.T.Game;
    g.Cubes[2].Position = {0, 0, 0.4f}; // in the middle: on an edge cell the sparks keep inside the frame
    for (const float turn : {0.0f, 0.7f, 2.5f})
    {
        TCube& bomb = g.Cubes[2];
        bomb.Rotation = {0, 0, turn};
        g.EmitFuseSparks(2);
        const TVector3 spark = g.Particles.At(3, 0).Position;
        // The wick's tip is the bomb's vertex farthest along its neck.
        const auto& v = s.R.Device->Vertices;
        const int first = s.R.R.Collector.FirstVertex(meshBomb);
        const int last = first + 3 * s.R.R.Collector.Triangles(meshBomb);
        const TVertex tip = *std::max_element(v.begin() + first, v.begin() + last,
                                              [](const TVertex& a, const TVertex& b)
                                              { return a.y < b.y; });
        const TVector3 drawn = TransformPoint(
            {tip.x, tip.y, tip.z}, MakeWorldMatrix(bomb.Scale, bomb.Position, bomb.Rotation));
        EXPECT_NEAR(drawn.x, spark.x, 0.02f) << turn;
        EXPECT_NEAR(drawn.y, spark.y, 0.02f) << turn;
        EXPECT_NEAR(drawn.z, spark.z, 0.02f) << turn;
    }
}

TEST(GameScene, NoPathDotsWhileAimingAShot)
{
    TScene s;
    TGameSetup& g = s.T.Game;
    g.PathLength = 2;
    for (int i = 0; i < 2; ++i)
    {
        g.Path[i].Scale = {0.9f, 0.9f, 1};
        g.Path[i].Position = {static_cast<float>(i), 0, 0.05f};
        g.Path[i].DotKind = static_cast<uint8_t>(i + 1);
    }
    s.T.Host.CursorIndex = 2;
    DrawGame(s.R.R, g);
    EXPECT_EQ(s.R.Device->Draws.size(), 2u + 3 + 1);
    s.R.Device->Draws.clear();
    s.T.Host.CursorIndex = 3;
    DrawGame(s.R.R, g);
    EXPECT_EQ(s.R.Device->Draws.size(), 3u + 1);
}

TEST(RenderScene, DispatchByState)
{
    TScene s;
    TRecordingDevice& d = *s.R.Device;
    int menus = 0;
    TFrame f;
    f.Game = &s.T.Game;
    f.DrawMenuOverlay = [&] { ++menus; };
    s.R.R.Cursor = std::make_unique<TCursor>(s.R.Device, TANDREL_GAME_DIR, 640, 480);

    f.State = gsLaunch;
    EXPECT_EQ(RenderScene(s.R.R, f), D3D_OK);
    EXPECT_EQ(d.Clears + d.Presents, 0);

    // A moving board: the menu overlay is drawn, the cursor is not.
    f.State = gsGame;
    s.T.Game.BoardQuiet = false;
    EXPECT_EQ(RenderScene(s.R.R, f), D3D_OK);
    EXPECT_EQ(d.LastClearFlags, static_cast<uint32_t>(clZBuffer));
    EXPECT_EQ(menus, 1);
    const size_t gameDraws = d.Draws.size();
    s.T.Game.BoardQuiet = true;
    d.Draws.clear();
    RenderScene(s.R.R, f);
    EXPECT_EQ(d.Draws.size(), gameDraws + 1);
    EXPECT_EQ(d.Draws.back().State.RenderStates[rsZEnable], StateFalse);
    EXPECT_EQ(d.State().RenderStates[rsZEnable], 1u);

    // Game over: no menu.
    f.State = gsGameOver;
    RenderScene(s.R.R, f);
    EXPECT_EQ(menus, 2);

    d.FailPresent = D3DERR_DEVICELOST;
    EXPECT_EQ(RenderScene(s.R.R, f), D3DERR_DEVICELOST);
    s.R.R.Device.reset();
    f.State = gsMenu;
    EXPECT_EQ(RenderScene(s.R.R, f), E_FAIL);
}

TEST(LoadingBar, LightsTheLampsAsLoadingGoes)
{
    TScene s;
    TLoadingBar bar(s.R.R, TANDREL_GAME_DIR);
    std::vector<int> lit;
    bar.OnProgress = [&] { lit.push_back(bar.Lit); };
    LoadResources(s.R.R, &bar, TANDREL_GAME_DIR);
    EXPECT_EQ(lit, (std::vector<int>{15, 17, 18, 20, 22, 24, 25, 26, 27, 29}));
    EXPECT_TRUE(s.R.R.DotTextures[3]);

    // The lamps: 30 at most, the first at the left end of the row.
    s.R.Device->Draws.clear();
    bar.Lit = 30;
    bar.Draw();
    ASSERT_EQ(s.R.Device->Draws.size(), 31u);
    EXPECT_NEAR(s.R.Device->Draws[1].State.World.m[3][0], 1.9f, 1e-5f);
    EXPECT_NEAR(s.R.Device->Draws[30].State.World.m[3][0], 1.9f - 29 * 0.255f, 1e-4f);
    bar.OnProgress = nullptr;
    bar.SetProgress(45);
    EXPECT_EQ(bar.Lit, 30);
}
