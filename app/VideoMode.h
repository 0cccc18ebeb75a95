// The video mode of the main window, decided from the settings each time it is shown:
// full screen at the chosen mode, full screen at the display's size, the pseudo full
// screen (a borderless window of the display's size with a windowed device), or an
// ordinary window whose outer size is the chosen resolution.
#pragma once

#include "base/Options.h"

#include <string>
#include <vector>

struct TVideoMode
{
    bool Borderless = false;       // full screen or pseudo full screen
    bool DeviceFullscreen = false; // the device changes the display mode
    int Width = 0;                 // outer size of the window, size of the device
    int Height = 0;
    int ColourBits = 32;
};

// With Fullscreen and Desktop, or with PseudoFullscreen, Resolution becomes 9 and entry 9
// the display's size; that 9 stays in the settings and is saved with them. A stored 9 in
// an ordinary window (after such a run) also means the display's size. The log lines of
// the decision are appended in their order.
// In an ordinary window a stored window size (WindowSize) is used when it fits the
// display; an absurd one (under 320 x 240) is dropped from the settings, one larger than
// the display is kept there but not used in this run (a line in the log each), and the
// chosen resolution is used.
TVideoMode ChooseVideoMode(TOptions& options, TResolution display, std::vector<std::string>& log);

// Smallest window the game accepts, stored or resized by the player.
constexpr TResolution MinimumWindow{320, 240};
