#include "render/GameScene.h"

#include "base/Memory.h"
#include "game/Game.h"

#include <array>
#include <cmath>
#include <future>
#include <string>

namespace
{
std::string RoundedText(double value)
{
    return std::to_string(PointsText(value)); // clamped: no value makes the conversion undefined
}

int CursorVariant(const TRenderer& r, const TGame& game)
{
    return r.Cursor ? r.Cursor->CursorIndex : game.GameHost().Cursor();
}

struct TClipPoint
{
    float x, y, z, w;
};

TClipPoint ToClip(const TVector3& p, const TMatrix& m)
{
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
            p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2],
            p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3]};
}

// The corners of a plane drawn with the unit quad, in camera space (the eye at the origin).
std::array<TVector3, 4> CornersSeen(const TBackPlane& plane, const TMatrix& view)
{
    const TMatrix m = MatrixMultiply(plane.Placement.Matrix, view);
    return {TransformPoint({-0.5f, -0.5f, 0}, m), TransformPoint({0.5f, -0.5f, 0}, m),
            TransformPoint({0.5f, 0.5f, 0}, m), TransformPoint({-0.5f, 0.5f, 0}, m)};
}

// Which side of the plane through a, b, c the point p is on (0: on the plane).
float Side(const std::array<TVector3, 4>& q, const TVector3& p)
{
    const TVector3 u{q[1].x - q[0].x, q[1].y - q[0].y, q[1].z - q[0].z};
    const TVector3 v{q[2].x - q[0].x, q[2].y - q[0].y, q[2].z - q[0].z};
    const TVector3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    return n.x * (p.x - q[0].x) + n.y * (p.y - q[0].y) + n.z * (p.z - q[0].z);
}

// True when the back plane hides every room plane, which are drawn before it: it is drawn
// opaque with the depth test (ties going to the later draw) over the whole screen, and no
// room plane comes between it and the eye. Every pixel then ends with the back plane's
// colour and depth whether the room was drawn or not, whatever the depth buffer's precision.
bool RoomHiddenByBackPlane(const TDevice& d, const TSceneObjects& s)
{
    const TDeviceState& st = d.State();
    const auto& rs = st.RenderStates;
    if (!s.BackPlane || rs[rsAlphaBlendEnable] != StateFalse || rs[rsZEnable] == 0 ||
        rs[rsZWriteEnable] == 0 || rs[rsZFunc] != cmLessEqual || d.Width() <= 0 || d.Height() <= 0)
    {
        return false;
    }
    const std::array<TVector3, 4> back = CornersSeen(*s.BackPlane, st.View);
    const TVector3 eye{0, 0, 0};
    const float eyeSide = Side(back, eye);
    if (eyeSide == 0)
    {
        return false;
    }
    // The back plane covers the screen with a margin of a pixel, all of it between the near
    // and the far plane. A pixel is drawn where its centre lies inside a triangle, so a
    // pixel beyond the edge leaves a pixel and a half to spare; at rest the back plane
    // reaches about 0.9 % of the screen beyond each edge, which is a pixel from 218 rows up.
    std::array<std::pair<float, float>, 4> ndc{};
    for (int i = 0; i < 4; ++i)
    {
        const TClipPoint c = ToClip(back[i], st.Projection);
        if (!(c.w > 0 && c.z >= 0 && c.z <= c.w))
        {
            return false;
        }
        ndc[i] = {c.x / c.w, c.y / c.w};
    }
    const float mx = 1 + 2.0f / static_cast<float>(d.Width());
    const float my = 1 + 2.0f / static_cast<float>(d.Height());
    const std::pair<float, float> screen[4] = {{-mx, -my}, {mx, -my}, {mx, my}, {-mx, my}};
    float turn = 0;
    for (int i = 0; i < 4; ++i)
    {
        const auto [ax, ay] = ndc[i];
        const auto [bx, by] = ndc[(i + 1) % 4];
        for (const auto& [px, py] : screen)
        {
            const float cross = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
            if (cross == 0 || (turn != 0 && (cross > 0) != (turn > 0)))
            {
                return false;
            }
            turn = cross;
        }
    }
    // A room plane can only show in front of the back plane if it lies between the two: not
    // when it is wholly behind the back plane, nor when the eye and the back plane are on
    // the same side of it.
    for (int i = 1; i <= 5; ++i)
    {
        if (!s.RoomPlanes[i])
        {
            continue;
        }
        const std::array<TVector3, 4> room = CornersSeen(*s.RoomPlanes[i], st.View);
        bool behind = true;
        for (const TVector3& p : room)
        {
            behind = behind && Side(back, p) * eyeSide <= 0;
        }
        const float roomEyeSide = Side(room, eye);
        bool beside = roomEyeSide != 0;
        for (const TVector3& p : back)
        {
            beside = beside && Side(room, p) * roomEyeSide > 0;
        }
        if (!behind && !beside)
        {
            return false;
        }
    }
    return true;
}

// The room's pictures are read by the first frame that shows the room and let go by the
// first frame of play that hides it again, so a flight reads them once. In a flight they
// take the place of the board's kept picture, of no use while the camera flies. (In some
// windows the back plane at rest does not surely hide the room: there it stays.)
void KeepRoom(TDevice& d, TSceneObjects& s, bool shown, bool playing)
{
    if (shown)
    {
        if (!playing)
        {
            d.LetKeptPictureGo();
        }
        // The pictures are read two at a time, one on a helper thread (the flight's first
        // frames wait for them), and handed to the device here.
        std::array<TBackPlane*, 5> missing{};
        size_t count = 0;
        for (int i = 1; i <= 5; ++i)
        {
            TBackPlane* plane = s.RoomPlanes[i].get();
            if (plane != nullptr && !plane->Image.empty() && !plane->Placement.Texture)
            {
                missing[count++] = plane;
            }
        }
        for (size_t k = 0; k < count; k += 2)
        {
            std::future<TImage> second;
            if (k + 1 < count)
            {
                second = std::async(std::launch::async, [file = missing[k + 1]->Image]
                                    {
                                        TImage image;
                                        ReadImageFile(file, image);
                                        return image;
                                    });
            }
            for (size_t n = k; n < k + 2 && n < count; ++n)
            {
                TImage image;
                if (n == k)
                {
                    ReadImageFile(missing[n]->Image, image);
                }
                else
                {
                    image = second.get();
                }
                if (!image.Pixels.empty())
                {
                    missing[n]->Placement.Texture = d.CreateTexture(image, false);
                }
            }
        }
        return;
    }
    bool released = false;
    for (int i = 1; i <= 5; ++i)
    {
        TBackPlane* plane = s.RoomPlanes[i].get();
        if (plane == nullptr || plane->Image.empty())
        {
            continue;
        }
        if (playing && plane->Placement.Texture)
        {
            plane->Keep(false);
            released = true;
        }
    }
    if (released)
    {
        ReturnFreedMemory();
    }
}
} // namespace

void KeepScreenPictures(TRenderer& r, TGameState state)
{
    const TStateTraits& traits = Traits(state);
    if (state == r.PicturesKeptFor || traits.Loading || !r.Device)
    {
        return;
    }
    r.PicturesKeptFor = state;
    if (!traits.DrawsGame)
    {
        KeepRoom(*r.Device, r.Scene, false, true);
        if (r.Scene.BackPlane && r.Scene.BackPlane->Placement.Texture && !r.Scene.BackPlane->Image.empty())
        {
            r.Scene.BackPlane->Keep(false);
            ReturnFreedMemory();
        }
    }
    struct TPicture
    {
        TTextureRef& Texture;
        const std::filesystem::path& File;
        bool Shown;
    };
    TPicture pictures[] = {
        {r.MenuBackground, r.MenuBackgroundFile, traits.Picture == spMenuBackground},
        {r.GameOverPicture, r.GameOverFile, traits.Picture == spGameOver},
        {r.HelpPicture, r.HelpFile, traits.Picture == spHelp}};
    // Let go first: the picture that comes is loaded with no other one beside it.
    bool released = false;
    for (TPicture& p : pictures)
    {
        if (!p.File.empty() && !p.Shown && p.Texture)
        {
            p.Texture.reset();
            released = true;
        }
    }
    if (released)
    {
        ReturnFreedMemory();
    }
    for (TPicture& p : pictures)
    {
        if (!p.File.empty() && p.Shown && !p.Texture)
        {
            LoadMipmappedTexture(*r.Device, p.File, p.Texture);
        }
    }
}

void DrawPictureScreen(TRenderer& r, TGameState state)
{
    TDevice& d = *r.Device;
    // Texel for pixel at its size and above; smaller, read through the mipmap chain so that
    // no stroke of the picture's text falls between the pixels.
    d.SetTextureStageState(0, tsMagFilter, tfNone);
    SampleMinifiedThroughMipmaps(d, true);
    TTextureRef picture;
    switch (Traits(state).Picture)
    {
    case spMenuBackground: picture = r.MenuBackground; break;
    case spGameOver: picture = r.GameOverPicture; break;
    case spHelp: picture = r.HelpPicture; break;
    case spNone: break;
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
    SampleMinifiedThroughMipmaps(d, false);
}

void DrawGameScene(TRenderer& r, const TGame& whole, double totalTime)
{
    const TGameFields& game = whole.View();
    TDevice& d = *r.Device;
    TSceneObjects& s = r.Scene;
    d.SetRenderState(rsAmbient, 0x00FFFFFF);
    d.SetTextureStageState(0, tsMagFilter, tfNone);
    d.SetTextureStageState(0, tsMinFilter, tfNone);
    // The room, then the back plane over it: the floor lies so close below the board that
    // with the depth test's less-or-equal the later one must be the board. At the camera's
    // rest the back plane fills the screen and the room is never seen: it is only drawn
    // while the camera flies.
    const bool roomShown = !RoomHiddenByBackPlane(d, s);
    KeepRoom(d, s, roomShown, game.EndPhase == epPlaying);
    if (roomShown)
    {
        for (int i = 1; i <= 5; ++i)
        {
            if (s.RoomPlanes[i])
            {
                s.RoomPlanes[i]->Draw(r, meshQuad);
            }
        }
    }
    if (s.BackPlane)
    {
        s.BackPlane->Keep(true);
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
        s.ScoreLine->Draw(r, meshQuad, game.Mode, totalTime);
    }

    d.SetRenderState(rsAlphaBlendEnable, StateTrue);
    if (s.BonusLights)
    {
        s.BonusLights->Count = static_cast<uint8_t>(std::clamp(game.Display.LampCount, 0, 5));
        s.BonusLights->Draw(r, meshQuad);
    }
    d.SetRenderState(rsAlphaBlendEnable, StateFalse);
    d.SetRenderState(rsAmbient, 0x00666666);

    DrawGame(r, whole);
    DrawLabels(d, r.Fonts, game.Labels);
    SyncParticleImage(d, r.ParticleTextures, game.Particles);
    for (const int system : {5, 1, 2, 3, 4, 6})
    {
        DrawParticles(d, r.ParticleTextures, game.Particles, system - 1, r.Pass);
    }
}

void DrawGame(TRenderer& r, const TGame& whole)
{
    const TGameFields& game = whole.View();
    TDevice& d = *r.Device;
    d.SetTextureStageState(0, tsColorOp, toModulate);

    if (CursorVariant(r, whole) != 3 && game.PathLength > 0)
    {
        d.SetRenderState(rsAlphaBlendEnable, StateTrue);
        d.SetMaterial(r.Materials[0]);
        for (int i = 0; i < game.PathLength && i < static_cast<int>(game.Path.size()); ++i)
        {
            const TDot& dot = game.Path[i];
            d.SetTexture(0, r.DotTextures[std::clamp<int>(dot.DotKind, 1, 3)]);
            const TMatrix world = MakeWorldMatrix(dot.Scale, dot.Position, dot.Rotation);
            d.SetTransform(tkWorld, world);
            if (!r.OutsidePass(world, 0.5f, 0))
            {
                r.DrawMesh(meshQuad);
            }
        }
        d.SetTexture(0, nullptr);
    }
    d.SetRenderState(rsAlphaBlendEnable, StateFalse);

    for (int i = 1; i <= game.CubeCount && i <= CellCount; ++i)
    {
        const TCube& c = game.Cubes[i];
        d.SetTexture(0, r.CubeTextures[KindToTextureIndex(c.Kind)]);
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
        const TMatrix world = MakeWorldMatrix(c.Scale, c.Position, c.Rotation);
        d.SetTransform(tkWorld, world);
        // A cube or a stone within +-0.5, the bomb with its wick within +-0.66.
        const float half = mesh == meshBomb ? 0.66f : 0.5f;
        if (!r.OutsidePass(world, half, half))
        {
            r.DrawMesh(mesh);
        }
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
                d.SetTexture(0, r.CubeTextures[KindToTextureIndex(cell.ShownColour)]);
                const TMatrix world = MakeWorldMatrix(cell.Scale, cell.Position, cell.Rotation);
                d.SetTransform(tkWorld, world);
                if (!r.OutsidePass(world, 0.5f, 0.5f))
                {
                    r.DrawMesh(meshCube);
                }
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
