// What the rules ask of the program, wired to the real parts: the sounds at the stored
// volume, the drawn cursor, the camera eye of the settings, and the game-over picture.
#pragma once

#include "game/GameHost.h"
#include "render/GameState.h"
#include "base/Options.h"

struct TRenderer;

class TShellHost final : public IGameHost
{
public:
    TShellHost(TOptions& options, TRenderer& renderer, TScreenState& state) :
        Options(options), Renderer(renderer), State(state)
    {
    }

    void PlaySound(TSound sound) override;
    void StopSound(TSound sound) override;
    // The themes loop; a menu tune plays once and the other follows it in the menus.
    void PlayMusic(TTune tune) override;
    void StopMusic() override;
    float CursorX() const override;
    float CursorY() const override;
    int Cursor() const override;
    void SetCursor(int cursor) override;
    void PlaceCursor(float x, float y) override;
    TVector3& Eye() override { return Options.Eye; }
    void ResetEye() override { Options.ResetEye(); }
    void ShowGameOver() override { State = gsGameOver; }

private:
    TOptions& Options;
    TRenderer& Renderer;
    TScreenState& State;
};
