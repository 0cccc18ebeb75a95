#include "app/VideoMode.h"

#include <algorithm>

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
            mode.ClientSize = !mode.Borderless;
            log.emplace_back(" Window size = " + text);
        }
    }
    mode.Maximised = !mode.Borderless && o.WindowMaximised;
    log.emplace_back(o.Fullscreen ? " Fullscreen = True" : " Fullscreen = False");
    log.emplace_back(" Resolution = " + std::to_string(o.Resolution) + " = " + std::to_string(size.Width) + "x" +
                     std::to_string(size.Height) + "x" + std::to_string(mode.ColourBits));
    return mode;
}

TScreenRect FitOnScreen(const TScreenRect& client, const TFrameBorders& frame, const TScreenRect& usable)
{
    const int roomW = usable.Width - frame.Left - frame.Right;
    const int roomH = usable.Height - frame.Top - frame.Bottom;
    TScreenRect r = client;
    if (r.Width > roomW || r.Height > roomH)
    {
        // The largest size of the window's shape that fits.
        const long long w = r.Width, h = r.Height;
        if (w * roomH > h * roomW)
        {
            r.Height = static_cast<int>(h * roomW / w);
            r.Width = roomW;
        }
        else
        {
            r.Width = static_cast<int>(w * roomH / h);
            r.Height = roomH;
        }
        r.Width = std::max(r.Width, MinimumWindow.Width);
        r.Height = std::max(r.Height, MinimumWindow.Height);
    }
    // Its frame's top left inside the area first, then its bottom right where there is room.
    r.X = std::max(std::min(r.X, usable.X + usable.Width - frame.Right - r.Width), usable.X + frame.Left);
    r.Y = std::max(std::min(r.Y, usable.Y + usable.Height - frame.Bottom - r.Height), usable.Y + frame.Top);
    return r;
}

TResolution WindowClientSize(const TVideoMode& mode, const TFrameBorders& frame, const TScreenRect& usable)
{
    TScreenRect client{usable.X + frame.Left, usable.Y + frame.Top, mode.Width, mode.Height};
    if (!mode.ClientSize)
    {
        client.Width = std::max(MinimumWindow.Width, mode.Width - frame.Left - frame.Right);
        client.Height = std::max(MinimumWindow.Height, mode.Height - frame.Top - frame.Bottom);
    }
    const TScreenRect fitted = FitOnScreen(client, frame, usable);
    return {fitted.Width, fitted.Height};
}
