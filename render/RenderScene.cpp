#include "render/RenderScene.h"

#include "game/Game.h"
#include "render/ChangeRegions.h"
#include "render/GameScene.h"
#include "render/LoadingBar.h"

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
    TDevice& d = *r.Device;
    TMatrix view;
    const bool viewMade = !Failed(BuildViewMatrix(view, frame.Eye, {RoomCentreX, RoomCentreY, 0}, {0, 0, 1}));
    TMatrix projection;
    const bool projectionMade = !Failed(BuildProjectionMatrix(projection, 0.8f, 0.75f, 0.01f, 200));
    // A small change of the board is drawn over the last frame inside its region only.
    // Any other frame goes straight to the window.
    TFrameRegion region;
    bool limited = false, keep = false;
    if (frame.Regions != nullptr)
    {
        limited = frame.Regions->Next(r, frame, MatrixMultiply(view, projection), region) && viewMade &&
                  projectionMade;
        keep = frame.Regions->Bounded();
    }
    d.BeginFrame(keep, limited ? &region : nullptr);
    TResult result = d.Clear(clZBuffer, 0x02215BFF, 1.0f);
    if (!Failed(result))
    {
        result = d.BeginScene();
    }
    if (Failed(result))
    {
        if (frame.Regions != nullptr)
        {
            frame.Regions->Forget();
        }
        return result;
    }

    if (viewMade)
    {
        d.SetTransform(tkView, view);
    }
    if (projectionMade)
    {
        d.SetTransform(tkProjection, projection);
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
        if (s == gsMenu || s == gsHiScores || s == gsGameOver || s == gsHelp)
        {
            DrawPictureScreen(r, s);
        }
        if ((s == gsHiScores || s == gsGameOver) && frame.DrawHiScoreTable)
        {
            frame.DrawHiScoreTable(frame.TotalTime);
        }
        if (s == gsGame && frame.Game != nullptr)
        {
            DrawGameScene(r, *frame.Game, frame.TotalTime);
        }

        d.SetRenderState(rsZEnable, StateFalse);
        const TGameFields* game = frame.Game != nullptr ? &frame.Game->View() : nullptr;
        bool menu = s != gsGameOver;
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

    result = d.EndScene();
    if (!Failed(result))
    {
        result = d.Present();
    }
    if (Failed(result) && frame.Regions != nullptr)
    {
        frame.Regions->Forget();
    }
    return result;
}
