#include "app/ShellHost.h"

#include "render/Renderer.h"
#include "sound/Sound.h"

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
