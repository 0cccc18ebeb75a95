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
    log.emplace_back(o.Fullscreen ? " Fullscreen = True" : " Fullscreen = False");
    log.emplace_back(" Resolution = " + std::to_string(o.Resolution) + " = " + std::to_string(size.Width) + "x" +
                     std::to_string(size.Height) + "x" + std::to_string(mode.ColourBits));
    return mode;
}
