#include "app/VideoMode.h"

TVideoMode ChooseVideoMode(TOptions& o, TResolution display, std::vector<std::string>& log)
{
    if (o.Fullscreen && o.Desktop)
    {
        o.Resolution = TOptions::DesktopResolution;
        o.Resolutions[TOptions::DesktopResolution] = display;
        log.emplace_back(" use desktop settings");
    }
    if (o.PseudoFullscreen)
    {
        o.Resolution = TOptions::DesktopResolution;
        o.Resolutions[TOptions::DesktopResolution] = display;
        log.emplace_back(" use desktop settings with pseudofullscreen mode");
    }
    if (o.Resolution == TOptions::DesktopResolution && o.Resolutions[TOptions::DesktopResolution].Width == 0)
    {
        o.Resolutions[TOptions::DesktopResolution] = display;
    }
    TVideoMode mode;
    mode.Borderless = o.Fullscreen || o.PseudoFullscreen;
    mode.DeviceFullscreen = o.Fullscreen && !o.PseudoFullscreen;
    const TResolution size = o.Resolutions[o.Resolution];
    mode.Width = size.Width;
    mode.Height = size.Height;
    mode.ColourBits = o.ColorBits[o.Color];
    // A window's remembered size; in full screen without the desktop's size, a mode of the
    // display chosen in the options (stored as entry 9 with its size).
    const bool chosenMode = mode.DeviceFullscreen && !o.Desktop && o.Resolution == TOptions::DesktopResolution;
    if ((!mode.Borderless || chosenMode) && (o.WindowSize.Width != 0 || o.WindowSize.Height != 0))
    {
        const TResolution w = o.WindowSize;
        const std::string text = std::to_string(w.Width) + "x" + std::to_string(w.Height);
        if (w.Width < MinimumWindow.Width || w.Height < MinimumWindow.Height)
        {
            o.WindowSize = {};
            log.emplace_back(" Stored window size " + text + " is too small: the resolution is used");
        }
        else if (w.Width > display.Width || w.Height > display.Height)
        {
            // The player's choice stays in the settings, for the display it was made on.
            log.emplace_back(" Stored window size " + text + " does not fit the display: the resolution is used "
                             "for this run");
        }
        else
        {
            mode.Width = w.Width;
            mode.Height = w.Height;
            log.emplace_back(" Window size = " + text);
        }
    }
    log.emplace_back(o.Fullscreen ? " Fullscreen = True" : " Fullscreen = False");
    log.emplace_back(" Resolution = " + std::to_string(o.Resolution) + " = " + std::to_string(size.Width) + "x" +
                     std::to_string(size.Height) + "x" + std::to_string(mode.ColourBits));
    return mode;
}
