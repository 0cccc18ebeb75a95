// What the menus ask of the shell: sound and music at the stored volumes, the main window
// closed as its close box would, and message boxes captioned with the game's name.
#pragma once

#include "front/FrontHost.h"
#include "base/Options.h"

// Sound and music at the stored volumes, the window closed as its close box would, and
// message boxes captioned with the game's name.
class TShellFrontHost final : public IFrontHost
{
public:
    explicit TShellFrontHost(TOptions& options) : Options(options) {}

    void PlaySound(TSound sound) override;
    void StopSound(TSound sound) override;
    void PlayMusic(TTune tune, bool loop) override;
    void StopMusic() override;
    void PlayMenuMusic() override;
    void ApplySoundVolume() override;
    void ApplyMusicVolume() override;
    void CloseMainWindow() override;
    void ShowMessage(const std::string& text) override;

private:
    TOptions& Options;
};
