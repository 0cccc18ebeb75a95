// The sound and music the rules and the menus ask for, one interface for both: IGameHost
// and IFrontHost extend it, and the shell's one host plays them at the stored volumes.
#pragma once

#include "game/Sounds.h"

class ISoundHost
{
public:
    virtual ~ISoundHost() = default;

    virtual void PlaySound(TSound sound) = 0;
    // Only the looping "Selected" sound is ever stopped.
    virtual void StopSound(TSound sound) = 0;
    // Stops the current tune and starts this one: a theme loops, a menu tune plays once
    // and the other menu tune follows it.
    virtual void PlayMusic(TTune tune) = 0;
    virtual void StopMusic() = 0;
    // Both volumes from the settings, as they are now, to the mixer.
    virtual void ApplySoundVolume() = 0;
    virtual void ApplyMusicVolume() = 0;
};
