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
    // The fuse sparks are bounded (Next); any other particle asks for the whole frame.
    for (int s = 0; s < ParticleSystemCount; ++s)
    {
        if (s != FuseSparkSystem && game->Particles.Count(s) > 0)
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

bool TChangeRegions::TBoxes::Near(const TBox& a, const TBox& b)
{
    const float m = 2 * Margin;
    return b.X0 <= a.X1 + m && a.X0 <= b.X1 + m && b.Y0 <= a.Y1 + m && a.Y0 <= b.Y1 + m;
}

TChangeRegions::TBox TChangeRegions::TBoxes::Union(const TBox& a, const TBox& b)
{
    return {std::min(a.X0, b.X0), std::min(a.Y0, b.Y0), std::max(a.X1, b.X1), std::max(a.Y1, b.Y1)};
}

float TChangeRegions::TBoxes::Area(const TBox& b)
{
    const float m = 2 * Margin;
    return (b.X1 - b.X0 + m) * (b.Y1 - b.Y0 + m);
}

void TChangeRegions::TBoxes::Add(const TBox& b)
{
    if (b.Empty())
    {
        return;
    }
    // Into a box it comes near, else a box of its own; with no room left, into the last.
    for (int i = 0; i < Count; ++i)
    {
        if (Near(Items[i], b))
        {
            Items[i] = Union(Items[i], b);
            return;
        }
    }
    if (Count < Max)
    {
        Items[Count++] = b;
        return;
    }
    Items[Max - 1] = Union(Items[Max - 1], b);
}

void TChangeRegions::TBoxes::Join(int most, float cheap)
{
    // Boxes that came near each other as they grew become one, until none are near; then
    // the pair whose union adds the least area, while there are more than `most` or that
    // area is below `cheap` (a pass of its own costs more than drawing it).
    for (bool again = true; again;)
    {
        again = false;
        for (int i = 0; i < Count && !again; ++i)
        {
            for (int j = i + 1; j < Count && !again; ++j)
            {
                if (Near(Items[i], Items[j]))
                {
                    Items[i] = Union(Items[i], Items[j]);
                    Items[j] = Items[--Count];
                    again = true;
                }
            }
        }
    }
    while (Count > 1)
    {
        float best = INFINITY;
        int bi = 0, bj = 1;
        for (int i = 0; i < Count; ++i)
        {
            for (int j = i + 1; j < Count; ++j)
            {
                const float extra = Area(Union(Items[i], Items[j])) - Area(Items[i]) - Area(Items[j]);
                if (extra < best)
                {
                    best = extra;
                    bi = i;
                    bj = j;
                }
            }
        }
        if (Count <= most && best >= cheap)
        {
            break;
        }
        Items[bi] = Union(Items[bi], Items[bj]);
        Items[bj] = Items[--Count];
    }
}

bool TChangeRegions::Next(const TRenderer& r, const TFrame& frame, const TMatrix& viewProjection,
                          TFrameRegions& regions)
{
    const bool bounded = Capture(r, frame, Now);
    bool limited = bounded && Last.Valid && Last.Scene == Now.Scene;
    const int width = Now.Scene.Width, height = Now.Scene.Height;
    // The box of one drawn object in the picture: its mesh's extents (a cube or a stone
    // +-0.5, the bomb with its wick within +-0.66, a dot's or a particle's quad +-0.5 flat)
    // through its world matrix and the camera.
    const auto project = [&](const TPlaced& p, float half, float depth, TBox& box, bool& ok)
    {
        const TMatrix m = MatrixMultiply(MakeWorldMatrix(p.Scale, p.Position, p.Rotation), viewProjection);
        ok = ProjectBox(m, half, depth, width, height, box) && ok; // false: behind the eye, not bounded
    };
    TBox changed; // the cubes and dots, one box as they lie close
    const auto addCube = [&](const TPlaced& p)
    {
        const float half = p.Kind == ckBomb ? 0.66f : 0.5f;
        project(p, half, half, changed, limited);
    };
    // Where this frame draws the sparks, for the next frame to paint over (whole or not,
    // this frame is the next one's picture to draw over).
    Now.Sparks.Count = 0;
    if (bounded)
    {
        const TParticleSystems& particles = frame.Game->View().Particles;
        for (int i = 0; i < particles.Count(FuseSparkSystem) && Now.Valid; ++i)
        {
            const TParticle& p = particles.At(FuseSparkSystem, i);
            TBox box;
            project({{p.Width, p.Height, 1}, p.Position, {0, 0, p.Angle}, 0}, 0.5f, 0, box, Now.Valid);
            Now.Sparks.Add(box);
        }
        Now.Sparks.Join(TBoxes::Max, 0);
        limited = limited && Now.Valid;
    }
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
                project(Last.Dots[i], 0.5f, 0, changed, limited);
            }
            if (after)
            {
                project(Now.Dots[i], 0.5f, 0, changed, limited);
            }
        }
    }
    regions.Count = 0;
    if (limited)
    {
        // The sparks of the last frame are painted over, those of this one drawn.
        TBoxes all = Now.Sparks;
        for (int i = 0; i < Last.Sparks.Count; ++i)
        {
            all.Add(Last.Sparks.Items[i]);
        }
        all.Add(changed);
        all.Join(TFrameRegions::Max, JoinShare * static_cast<float>(width) * static_cast<float>(height));
        for (int i = 0; i < all.Count; ++i)
        {
            const TBox& b = all.Items[i];
            const int left = std::max(0, static_cast<int>(std::floor(b.X0)) - Margin);
            const int top = std::max(0, static_cast<int>(std::floor(b.Y0)) - Margin);
            const int right = std::min(width, static_cast<int>(std::ceil(b.X1)) + Margin);
            const int bottom = std::min(height, static_cast<int>(std::ceil(b.Y1)) + Margin);
            if (right > left && bottom > top)
            {
                regions.Rects[regions.Count++] = {left, top, right - left, bottom - top};
            }
        }
        if (regions.Count == 0)
        {
            regions.Rects[regions.Count++] = {}; // nothing changed: the picture is shown again as it is
        }
        limited = static_cast<float>(regions.Area()) <= MaxShare * static_cast<float>(width) * static_cast<float>(height);
    }
    std::swap(Last, Now);
    WasLimited = limited;
    LastRegions = limited ? regions : TFrameRegions{};
    return limited;
}
