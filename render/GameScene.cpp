#include "GameScene.h"

#include "Game.h"

#include <cmath>
#include <string>

namespace
{
std::string RoundedText(double value)
{
    return std::to_string(static_cast<long long>(std::nearbyint(value)));
}

int CursorVariant(const TRenderer& r, const TGame& game)
{
    return r.Cursor ? r.Cursor->CursorIndex : game.Host.Cursor();
}
} // namespace

void DrawPictureScreen(TRenderer& r, TGameState state)
{
    TDevice& d = *r.Device;
    d.SetTextureStageState(0, tsMagFilter, tfNone);
    d.SetTextureStageState(0, tsMinFilter, tfNone);
    TTextureRef picture;
    switch (state)
    {
    case gsMenu:
    case gsHiScores:
        picture = r.MenuBackground;
        break;
    case gsGameOver:
        picture = r.GameOverPicture;
        break;
    case gsHelp:
        picture = r.HelpPicture;
        break;
    default:
        break;
    }
    d.SetTexture(0, picture);
    d.SetMaterial(r.Materials[0]);
    TMatrix m = IdentityMatrix();
    m.m[0][0] = 14.45f;
    m.m[1][1] = 10.8375f;
    m.m[3][0] = RoomCentreX;
    m.m[3][1] = RoomCentreY;
    d.SetTransform(tkWorld, m);
    r.DrawMesh(meshQuad);
    d.SetTexture(0, nullptr);
    d.SetTextureStageState(0, tsMagFilter, tfLinear);
    d.SetTextureStageState(0, tsMinFilter, tfLinear);
}

void DrawGameScene(TRenderer& r, const TGame& game, double totalTime)
{
    TDevice& d = *r.Device;
    TSceneObjects& s = r.Scene;
    d.SetRenderState(rsAmbient, 0x00FFFFFF);
    d.SetTextureStageState(0, tsMagFilter, tfNone);
    d.SetTextureStageState(0, tsMinFilter, tfNone);
    // The room, then the back plane over it: the floor and the back plane meet in one
    // plane, and with the depth test's less-or-equal the later one must be the board.
    for (int i = 1; i <= 5; ++i)
    {
        if (s.RoomPlanes[i])
        {
            s.RoomPlanes[i]->Draw(r, meshQuad);
        }
    }
    if (s.BackPlane)
    {
        s.BackPlane->Draw(r, meshQuad);
    }
    d.SetTextureStageState(0, tsMagFilter, tfLinear);
    d.SetTextureStageState(0, tsMinFilter, tfLinear);

    if (s.ScoreLine)
    {
        if (game.EndPhase == epPlaying)
        {
            const TLevel& level = game.CurrentLevel();
            const int mode = game.Mode == gmTimed ? 2 : 1;
            s.ScoreLine->Fraction = static_cast<float>(level.Progress / level.Target[mode]);
            s.ScoreLine->StartFraction = s.ScoreLine->Fraction;
        }
        else
        {
            s.ScoreLine->Fraction = static_cast<float>(game.Display.Fraction);
            s.ScoreLine->StartFraction = static_cast<float>(game.Display.StartFraction);
        }
        s.ScoreLine->Draw(r, meshQuad, game.Mode, totalTime, r.PlaySound);
    }

    d.SetRenderState(rsAlphaBlendEnable, StateTrue);
    if (s.BonusLights)
    {
        s.BonusLights->Count = static_cast<uint8_t>(std::clamp(game.Display.LampCount, 0, 5));
        s.BonusLights->Draw(r, meshQuad);
    }
    d.SetRenderState(rsAlphaBlendEnable, StateFalse);
    d.SetRenderState(rsAmbient, 0x00666666);

    DrawGame(r, game);
    DrawLabels(d, r.Fonts, game.Labels);
    SyncParticleImage(d, r.ParticleTextures, game.Particles);
    for (const int system : {5, 1, 2, 3, 4, 6})
    {
        DrawParticles(d, r.ParticleTextures, game.Particles, system - 1);
    }
}

void DrawGame(TRenderer& r, const TGame& game)
{
    TDevice& d = *r.Device;
    d.SetTextureStageState(0, tsColorOp, toModulate);

    if (CursorVariant(r, game) != 3 && game.PathLength > 0)
    {
        d.SetRenderState(rsAlphaBlendEnable, StateTrue);
        d.SetMaterial(r.Materials[0]);
        for (int i = 0; i < game.PathLength && i < static_cast<int>(game.Path.size()); ++i)
        {
            const TDot& dot = game.Path[i];
            const TTextureRef& texture =
                dot.Texture ? dot.Texture : game.DotTextures[std::clamp<int>(dot.DotKind, 1, 3)];
            d.SetTexture(0, texture);
            d.SetTransform(tkWorld, MakeWorldMatrix(dot.Scale, dot.Position, dot.Rotation));
            r.DrawMesh(meshQuad);
        }
        d.SetTexture(0, nullptr);
    }
    d.SetRenderState(rsAlphaBlendEnable, StateFalse);

    for (int i = 1; i <= game.CubeCount && i <= CellCount; ++i)
    {
        const TCube& c = game.Cubes[i];
        d.SetTexture(0, game.CubeTextures[KindToTextureIndex(c.Kind)]);
        int mesh = meshCube;
        if (c.Kind == ckBomb)
        {
            d.SetMaterial(r.Materials[1]);
            mesh = meshBomb;
        }
        else
        {
            d.SetMaterial(r.Materials[0]);
            if (c.Kind == ckStone)
            {
                mesh = meshStone;
            }
        }
        d.SetTransform(tkWorld, MakeWorldMatrix(c.Scale, c.Position, c.Rotation));
        r.DrawMesh(mesh);
    }
    d.SetTexture(0, nullptr);
    d.SetRenderState(rsAlphaBlendEnable, StateTrue);

    const bool bonusLevel = game.Level >= 1 && game.CurrentLevel().LevelKind == lkBonus;
    if (bonusLevel)
    {
        if (r.Scene.PlugBonus)
        {
            r.Scene.PlugBonus->TBackPlane::Draw(r, meshQuad);
        }
    }
    else if (game.Figure >= 1 && game.Figure <= MaxFigures)
    {
        const TBonusFigure& f = game.Figures[game.Figure];
        for (int col = 1; col <= f.Width && col <= 4; ++col)
        {
            for (int row = 1; row <= f.Height && row <= 4; ++row)
            {
                const TBonusCube& cell = f.At(col, row);
                if (cell.ShownColour == 0)
                {
                    continue;
                }
                d.SetMaterial(r.Materials[0]);
                d.SetTexture(0, game.CubeTextures[KindToTextureIndex(cell.ShownColour)]);
                d.SetTransform(tkWorld, MakeWorldMatrix(cell.Scale, cell.Position, cell.Rotation));
                r.DrawMesh(meshCube);
            }
        }
    }
    d.SetTexture(0, nullptr);
    d.SetMaterial(r.Materials[0]);

    DrawText(d, r.Fonts, 2, 1, 12, -6.75f, 3.6f, std::to_string(game.Level), 0.1f, 255);
    const std::string score = RoundedText(game.Score);
    DrawText(d, r.Fonts, 2, 1, 12, 0.15f * static_cast<float>(score.size()) - 6.9f, 1.93f, score,
             0.1f, 255);
    std::string value = "+";
    if (bonusLevel)
    {
        value += std::to_string(game.CurrentLevel().BonusPoints);
    }
    else if (game.Figure >= 1 && game.Figure <= MaxFigures)
    {
        value += RoundedText(game.Figures[game.Figure].Value);
    }
    else
    {
        value += "0";
    }
    DrawText(d, r.Fonts, 2, 1, 12, -6.4f, -3.5f, value, 0.1f, 255);
    d.SetRenderState(rsAlphaBlendEnable, StateFalse);
}
