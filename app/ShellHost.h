// What the rules and the menus ask of the program, wired to the real parts: the sounds
// and tunes at the stored volumes, the drawn cursor, the camera eye of the settings, the
// game-over picture, the main window closed as its close box would, and message boxes
// captioned with the game's name. One host serves both, so the sound is wired once.
#pragma once

#include "front/FrontHost.h"
#include "game/GameHost.h"
#include "render/GameState.h"
#include "base/Options.h"

#include <filesystem>

struct TRenderer;

class TShellHost final : public IGameHost, public IFrontHost
{
public:
    TShellHost(TOptions& options, TRenderer& renderer, TScreenState& state) :
        Options(options), Renderer(renderer), State(state)
    {
    }

    // Sound and music, for the rules and the menus alike.
    void PlaySound(TSound sound) override;
    void StopSound(TSound sound) override;
    void PlayMusic(TTune tune) override;
    void StopMusic() override;
    void ApplySoundVolume() override;
    void ApplyMusicVolume() override;
    // The mixer's life and the menu tunes' turns, for the frame loop: the sound starts (on
    // the loader's thread), the menu tune that ended gives way to the other, the sound ends.
    bool StartSound(const std::filesystem::path& programFolder);
    bool MusicFinished() const;
    void MenuMusicTick();
    void ShutdownSound();

    float CursorX() const override;
    float CursorY() const override;
    int Cursor() const override;
    void SetCursor(int cursor) override;
    void PlaceCursor(float x, float y) override;
    TVector3& Eye() override { return Options.Eye; }
    void ResetEye() override { Options.ResetEye(); }
    void ShowGameOver() override { State = gsGameOver; }

    void CloseMainWindow() override;
    void ShowMessage(const std::string& text) override;

private:
    TOptions& Options;
    TRenderer& Renderer;
    TScreenState& State;
};
