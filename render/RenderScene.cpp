#include "render/RenderScene.h"

#include "game/Game.h"
#include "render/ChangeRegions.h"
#include "render/GameScene.h"
#include "render/LoadingBar.h"

namespace
{
// One pass of the frame: the whole picture, or what lies inside one region.
TResult DrawFrame(TRenderer& r, const TFrame& frame, const TMatrix* view, const TMatrix* projection,
                  bool keep, const TFrameRegion* region)
{
    TDevice& d = *r.Device;
    // Only inside the device's scissor is anything left out.
    r.Pass = d.BeginFrame(keep, region) ? region : nullptr;
    TResult result = d.Clear(clZBuffer, 0x02215BFF, 1.0f);
    if (!Failed(result))
    {
        result = d.BeginScene();
    }
    if (Failed(result))
    {
        r.Pass = nullptr;
        return result;
    }

    if (view != nullptr)
    {
        d.SetTransform(tkView, *view);
    }
    if (projection != nullptr)
    {
        d.SetTransform(tkProjection, *projection);
    }
    d.SetTransform(tkWorld, IdentityMatrix());
    d.SetRenderState(rsNormalizeNormals, StateTrue);

    if (frame.State == gsLoading)
    {
        if (frame.LoadingBar != nullptr)
        {
            frame.LoadingBar->Draw();
        }
    }
    else
    {
        const TGameState s = frame.State;
        const TStateTraits& traits = Traits(s);
        if (traits.Picture != spNone)
        {
            DrawPictureScreen(r, s);
        }
        if (traits.ScoreTable && frame.DrawHiScoreTable)
        {
            frame.DrawHiScoreTable(frame.TotalTime);
        }
        if (traits.DrawsGame && frame.Game != nullptr)
        {
            DrawGameScene(r, *frame.Game, frame.TotalTime);
        }

        d.SetRenderState(rsZEnable, StateFalse);
        const TGameFields* game = frame.Game != nullptr ? &frame.Game->View() : nullptr;
        bool menu = traits.MenuOverlay;
        if (game != nullptr)
        {
            const bool flyByDone = game->EndPhase == epLevelDone && game->Level >= 0 &&
                                   game->CurrentLevel().LevelKind == lkFlyBy;
            menu = menu && game->EndPhase != epGameOver && !flyByDone;
        }
        if (menu && frame.DrawMenuOverlay)
        {
            frame.DrawMenuOverlay();
        }
        bool cursor = true;
        if (s == gsGame && game != nullptr)
        {
            cursor =
                game->BoardQuiet && game->EndPhase != epLevelDone && game->EndPhase != epGameOver;
        }
        if (cursor && r.Cursor)
        {
            if (frame.CursorPlatform != nullptr)
            {
                r.Cursor->DrawCursor(r, r.Cursor->CursorIndex, *frame.CursorPlatform,
                                     frame.Fullscreen, frame.PseudoFullscreen);
            }
            else
            {
                struct TNoPlatform final : ICursorPlatform
                {
                    void WindowRect(int& l, int& t, int& w, int& h) const override
                    {
                        l = t = w = h = 0;
                    }
                    void Pointer(int& x, int& y) const override { x = y = 0; }
                    void MovePointer(int, int) override {}
                } none;
                r.Cursor->DrawCursor(r, r.Cursor->CursorIndex, none, true, false);
            }
        }
        d.SetRenderState(rsZEnable, 1);
    }

    r.Pass = nullptr;
    result = d.EndScene();
    if (!Failed(result))
    {
        result = d.Present();
    }
    return result;
}
} // namespace

TResult RenderScene(TRenderer& r, const TFrame& frame)
{
    if (frame.State == gsLaunch)
    {
        return D3D_OK;
    }
    if (!r.Device)
    {
        return E_FAIL;
    }
    KeepScreenPictures(r, frame.State);
    TMatrix view;
    const bool viewMade = !Failed(BuildViewMatrix(view, frame.Eye, {RoomCentreX, RoomCentreY, 0}, {0, 0, 1}));
    TMatrix projection;
    const bool projectionMade = !Failed(BuildProjectionMatrix(projection, 0.8f, 0.75f, 0.01f, 200));
    // A small change of the board is drawn over the last frame inside its regions only,
    // one pass each. Any other frame goes straight to the window.
    TFrameRegions regions;
    bool limited = false, keep = false;
    if (frame.Regions != nullptr)
    {
        limited = frame.Regions->Next(r, frame, MatrixMultiply(view, projection), regions) && viewMade &&
                  projectionMade;
        keep = frame.Regions->Bounded();
    }
    TResult result = D3D_OK;
    for (int i = 0; i < (limited ? regions.Count : 1) && !Failed(result); ++i)
    {
        result = DrawFrame(r, frame, viewMade ? &view : nullptr, projectionMade ? &projection : nullptr, keep,
                           limited ? &regions.Rects[i] : nullptr);
    }
    if (Failed(result) && frame.Regions != nullptr)
    {
        frame.Regions->Forget();
    }
    return result;
}
