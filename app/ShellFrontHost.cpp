#include "app/ShellFrontHost.h"

#include "app/MessageBox.h"
#include "sound/Sound.h"

#include <SDL_events.h>

void TShellFrontHost::PlaySound(TSound sound)
{
    ::PlaySound(sound, Options.SoundVol);
}

void TShellFrontHost::StopSound(TSound sound)
{
    ::StopSound(sound);
}

void TShellFrontHost::PlayMusic(TTune tune, bool loop)
{
    ::PlayMusic(tune, loop);
}

void TShellFrontHost::StopMusic()
{
    ::StopMusic();
}

void TShellFrontHost::PlayMenuMusic()
{
    ::PlayMenuMusic(tnMenu1);
}

void TShellFrontHost::ApplySoundVolume()
{
    ::ApplySoundVolume(Options.SoundVol);
}

void TShellFrontHost::ApplyMusicVolume()
{
    ::ApplyMusicVolume(Options.MusicVol);
}

void TShellFrontHost::CloseMainWindow()
{
    // The loop closes the window between two passes, as after its close box.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void TShellFrontHost::ShowMessage(const std::string& text)
{
    ShowMessageBox(TMessageKind::Warning, "Tandrel", text);
}
