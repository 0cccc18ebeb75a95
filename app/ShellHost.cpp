#include "app/ShellHost.h"

#include "app/MessageBox.h"
#include "render/Renderer.h"
#include "sound/Sound.h"

#include <SDL_events.h>

void TShellHost::PlaySound(TSound sound)
{
    ::PlaySound(sound, Options.SoundVol);
}

void TShellHost::StopSound(TSound sound)
{
    ::StopSound(sound);
}

void TShellHost::PlayMusic(TTune tune)
{
    if (tune == tnMenu1 || tune == tnMenu2)
    {
        PlayMenuMusic(tune);
    }
    else
    {
        ::PlayMusic(tune, true);
    }
}

void TShellHost::StopMusic()
{
    ::StopMusic();
}

void TShellHost::ApplySoundVolume()
{
    ::ApplySoundVolume(Options.SoundVol);
}

void TShellHost::ApplyMusicVolume()
{
    ::ApplyMusicVolume(Options.MusicVol);
}

bool TShellHost::StartSound(const std::filesystem::path& programFolder)
{
    return ::StartSound(programFolder, Options.SoundVol, Options.MusicVol, {});
}

bool TShellHost::MusicFinished() const
{
    return ::MusicFinished();
}

void TShellHost::MenuMusicTick()
{
    ::MenuMusicTick();
}

void TShellHost::ShutdownSound()
{
    ::ShutdownSound();
}

void TShellHost::CloseMainWindow()
{
    // The loop closes the window between two passes, as after its close box.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void TShellHost::ShowMessage(const std::string& text)
{
    ShowMessageBox(TMessageKind::Warning, "Tandrel", text);
}

float TShellHost::CursorX() const
{
    return Renderer.Cursor ? Renderer.Cursor->X() : 100.0f;
}

float TShellHost::CursorY() const
{
    return Renderer.Cursor ? Renderer.Cursor->Y() : 100.0f;
}

int TShellHost::Cursor() const
{
    return Renderer.Cursor ? Renderer.Cursor->CursorIndex : 1;
}

void TShellHost::SetCursor(int cursor)
{
    if (Renderer.Cursor)
    {
        Renderer.Cursor->CursorIndex = static_cast<uint8_t>(cursor);
    }
}

void TShellHost::PlaceCursor(float x, float y)
{
    if (Renderer.Cursor)
    {
        Renderer.Cursor->PlaceCursor(x, y);
    }
}
