// What the front end asks of the program around it: sound and music, closing the main
// window, and message boxes. The shell implements it; the settings, the application state,
// the renderer and the game are handed to the front end directly.
#pragma once

#include "game/SoundHost.h"

#include <string>

// Sound and music (ISoundHost, the same the rules use), and the window and message boxes.
class IFrontHost : public ISoundHost
{
public:
    // Closes the main window: the settings are saved and the program ends.
    virtual void CloseMainWindow() = 0;
    // A modal message box with one OK button.
    virtual void ShowMessage(const std::string& text) = 0;
};
