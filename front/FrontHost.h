// What the front end asks of the program around it: sound and music, closing the main
// window, and message boxes. The shell implements it; the settings, the application state,
// the renderer and the game are handed to the front end directly.
#pragma once

#include "game/Sounds.h"

#include <string>

class IFrontHost
{
public:
    virtual ~IFrontHost() = default;

    virtual void PlaySound(TSound sound) = 0;
    // Only the looping "Selected" is ever stopped.
    virtual void StopSound(TSound sound) = 0;
    virtual void PlayMusic(TTune tune, bool loop) = 0;
    virtual void StopMusic() = 0;
    // The first menu tune once, with the second to follow it.
    virtual void PlayMenuMusic() = 0;
    // Both volumes from the settings, as they are now, to the mixer.
    virtual void ApplySoundVolume() = 0;
    virtual void ApplyMusicVolume() = 0;

    // Closes the main window: the settings are saved and the program ends.
    virtual void CloseMainWindow() = 0;
    // A modal message box with one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};
