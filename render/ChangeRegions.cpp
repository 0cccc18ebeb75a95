#include "render/ChangeRegions.h"

#include "render/RenderScene.h"

#include <algorithm>
#include <cmath>
#include <utility>

bool TChangeRegions::Capture(const TRenderer& r, const TFrame& frame, TDrawn& d)
{
    d.Valid = false;
    const TGameFields* game = frame.Game != nullptr ? &frame.Game->View() : nullptr;
    if (frame.State != gsGame || game == nullptr || !r.Device || game->EndPhase != epPlaying ||
        game->Mode == gmTimed || game->Labels.LabelCount != 0 || game->Level < 0)
    {
        return false;
    }
    for (int s = 0; s < ParticleSystemCount; ++s)
    {
        if (game->Particles.Count(s) > 0)
        {
            return false;
        }
    }
    TScene& s = d.Scene;
    s.State = frame.State;
    s.Eye = frame.Eye;
    s.Width = r.Device->Width();
    s.Height = r.Device->Height();
    s.Overlay = frame.OverlayKey;
    s.Lights = r.Device->State().Lights;
    s.LightOn = r.Device->State().LightEnabled;
    s.CursorIndex = r.Cursor ? r.Cursor->CursorIndex : frame.Game->GameHost().Cursor();
    s.CursorX = r.Cursor ? r.Cursor->X() : 0;
    s.CursorY = r.Cursor ? r.Cursor->Y() : 0;
    s.CursorPlaced = r.Cursor && r.Cursor->Placed;
    s.Level = game->Level;
    s.Mode = game->Mode;
    s.EndPhase = game->EndPhase;
    s.Figure = game->Figure;
    s.LampCount = game->Display.LampCount;
    s.CubeCount = std::clamp(game->CubeCount, 0, CellCount);
    s.BoardQuiet = game->BoardQuiet;
    s.Score = game->Score;
    const TLevel& level = game->CurrentLevel();
    s.Progress = level.Progress;
    s.Target = level.Target[game->Mode == gmTimed ? 2 : 1];
    s.FigureWidth = s.FigureHeight = 0;
    s.FigureValue = 0;
    s.FigureCells = {};
    if (level.LevelKind != lkBonus && game->Figure >= 1 && game->Figure <= MaxFigures)
    {
        const TBonusFigure& f = game->Figures[game->Figure];
        s.FigureWidth = f.Width;
        s.FigureHeight = f.Height;
        s.FigureValue = f.Value;
        for (size_t i = 0; i < f.Cells.size(); ++i)
        {
            const TBonusCube& c = f.Cells[i];
            s.FigureCells[i] = {c.Scale, c.Position, c.Rotation, c.ShownColour};
        }
    }
    for (int i = 1; i <= s.CubeCount; ++i)
    {
        const TCube& c = game->Cubes[i];
        d.Cubes[i] = {c.Scale, c.Position, c.Rotation, c.Kind};
    }
    d.DotCount = 0;
    if (s.CursorIndex != 3)
    {
        d.DotCount = std::clamp(game->PathLength, 0, static_cast<int>(game->Path.size()));
        for (int i = 0; i < d.DotCount; ++i)
        {
            const TDot& dot = game->Path[i];
            d.Dots[i] = {dot.Scale, dot.Position, dot.Rotation, dot.DotKind};
        }
    }
    d.Valid = true;
    return true;
}

bool TChangeRegions::Next(const TRenderer& r, const TFrame& frame, const TMatrix& viewProjection,
                          TFrameRegion& region)
{
    const bool bounded = Capture(r, frame, Now);
    bool limited = bounded && Last.Valid && Last.Scene == Now.Scene;
    const int width = Now.Scene.Width, height = Now.Scene.Height;
    float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    // The box of one drawn object in the picture: its mesh's extents (a cube or a stone
    // +-0.5, the bomb with its wick within +-0.66, a dot's quad +-0.5 flat) through its
    // world matrix and the camera.
    const auto add = [&](const TPlaced& p, float half, float depth)
    {
        const TMatrix m = MatrixMultiply(MakeWorldMatrix(p.Scale, p.Position, p.Rotation), viewProjection);
        for (int k = 0; k < 8; ++k)
        {
            const TVector3 c{(k & 1) ? half : -half, (k & 2) ? half : -half, (k & 4) ? depth : -depth};
            const TVector3 q = TransformPoint(c, m);
            const float w = c.x * m.m[0][3] + c.y * m.m[1][3] + c.z * m.m[2][3] + m.m[3][3];
            if (!(w > 0.01f) || !std::isfinite(q.x) || !std::isfinite(q.y))
            {
                limited = false; // behind the eye, or nowhere: not bounded
                return;
            }
            const float sx = (q.x / w + 1) / 2 * static_cast<float>(width);
            const float sy = (1 - q.y / w) / 2 * static_cast<float>(height);
            x0 = std::min(x0, sx);
            x1 = std::max(x1, sx);
            y0 = std::min(y0, sy);
            y1 = std::max(y1, sy);
        }
    };
    const auto addCube = [&](const TPlaced& p)
    {
        const float half = p.Kind == ckBomb ? 0.66f : 0.5f;
        add(p, half, half);
    };
    if (limited)
    {
        for (int i = 1; i <= Now.Scene.CubeCount; ++i)
        {
            if (Last.Cubes[i] != Now.Cubes[i])
            {
                // Where it was and where it is: what moved away is painted over too.
                addCube(Last.Cubes[i]);
                addCube(Now.Cubes[i]);
            }
        }
        for (int i = 0; i < std::max(Last.DotCount, Now.DotCount); ++i)
        {
            const bool before = i < Last.DotCount, after = i < Now.DotCount;
            if (before && after && Last.Dots[i] == Now.Dots[i])
            {
                continue;
            }
            if (before)
            {
                add(Last.Dots[i], 0.5f, 0);
            }
            if (after)
            {
                add(Now.Dots[i], 0.5f, 0);
            }
        }
    }
    if (limited && x0 <= x1)
    {
        const int left = std::max(0, static_cast<int>(std::floor(x0)) - Margin);
        const int top = std::max(0, static_cast<int>(std::floor(y0)) - Margin);
        const int right = std::min(width, static_cast<int>(std::ceil(x1)) + Margin);
        const int bottom = std::min(height, static_cast<int>(std::ceil(y1)) + Margin);
        region = {left, top, std::max(0, right - left), std::max(0, bottom - top)};
        limited = static_cast<float>(region.Width) * static_cast<float>(region.Height) <=
                  MaxShare * static_cast<float>(width) * static_cast<float>(height);
    }
    else if (limited)
    {
        region = {}; // nothing changed: the picture is shown again as it is
    }
    std::swap(Last, Now);
    WasLimited = limited;
    LastRegion = limited ? region : TFrameRegion{};
    return limited;
}
