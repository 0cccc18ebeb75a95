#include "app/VideoOptionsModel.h"

#include <algorithm>

const std::array<const char*, TVideoOptionsModel::ResolutionCount> TVideoOptionsModel::ResolutionTexts = {
    "512x384", "640x400", "640x480", "800x600", "1024x768", "1152x864", "1280x768", "1280x960", "1280x1024",
};

namespace
{
constexpr int DesktopShownResolution = 3; // "800x600", shown while the display's size is used
}

void TVideoOptionsModel::SetDisplay(TResolution desktop, const std::vector<TResolution>& modes)
{
    Desktop = desktop;
    DisplayModes.clear();
    for (const TResolution& m : modes)
    {
        const bool fixed = std::find(Options.Resolutions.begin(), Options.Resolutions.begin() + ResolutionCount, m) !=
                           Options.Resolutions.begin() + ResolutionCount;
        // A mode larger than the desktop is not offered: a window cannot take it, and the
        // game uses every mode it offers, in a window and in full screen alike.
        const bool fits = desktop.Width <= 0 || (m.Width <= desktop.Width && m.Height <= desktop.Height);
        if (m.Width > 0 && m.Height > 0 && !fixed && fits &&
            std::find(DisplayModes.begin(), DisplayModes.end(), m) == DisplayModes.end())
        {
            DisplayModes.push_back(m);
        }
    }
}

std::vector<std::string> TVideoOptionsModel::Entries() const
{
    std::vector<std::string> rows(ResolutionTexts.begin(), ResolutionTexts.end());
    for (const TResolution& m : DisplayModes)
    {
        rows.push_back(std::to_string(m.Width) + "x" + std::to_string(m.Height));
    }
    return rows;
}

void TVideoOptionsModel::Show()
{
    PickItem(Options.Fullscreen ? FullscreenItem : WindowedItem);
    // A stored 9 is the display's size, or one of its modes chosen here.
    Resolution = Options.Resolution < ResolutionCount ? Options.Resolution : NoResolution;
    if (Options.Resolution == TOptions::DesktopResolution)
    {
        const auto m = std::find(DisplayModes.begin(), DisplayModes.end(), Options.WindowSize);
        if (m != DisplayModes.end())
        {
            Resolution = ResolutionCount + static_cast<int>(m - DisplayModes.begin());
        }
    }
    DesktopChecked = Options.Desktop;
    ShowHelp = Options.Help;
    DesktopRule();
}

void TVideoOptionsModel::PickItem(int item)
{
    Item = item == WindowedItem ? WindowedItem : FullscreenItem;
    DesktopEnabled = Item == FullscreenItem;
    DesktopChecked = DesktopEnabled;
    DesktopRule();
}

void TVideoOptionsModel::SetDesktop(bool checked)
{
    if (!DesktopEnabled)
    {
        return;
    }
    DesktopChecked = checked;
    DesktopRule();
}

void TVideoOptionsModel::SelectResolution(int index)
{
    if (ResolutionEnabled && index >= 0 && index < ResolutionCount + static_cast<int>(DisplayModes.size()))
    {
        Resolution = index;
        Row = index;
    }
}

void TVideoOptionsModel::SetShowHelp(bool checked)
{
    ShowHelp = checked;
}

void TVideoOptionsModel::DesktopRule()
{
    ResolutionEnabled = !DesktopChecked;
    if (DesktopChecked)
    {
        Resolution = DesktopShownResolution;
    }
    Row = Resolution;
    if (DesktopChecked && Desktop.Width > 0)
    {
        // The greyed list shows the size that will be used.
        const auto fixed = std::find(Options.Resolutions.begin(), Options.Resolutions.begin() + ResolutionCount, Desktop);
        const auto mode = std::find(DisplayModes.begin(), DisplayModes.end(), Desktop);
        if (fixed != Options.Resolutions.begin() + ResolutionCount)
        {
            Row = static_cast<int>(fixed - Options.Resolutions.begin());
        }
        else if (mode != DisplayModes.end())
        {
            Row = ResolutionCount + static_cast<int>(mode - DisplayModes.begin());
        }
    }
}

void TVideoOptionsModel::Ok()
{
    Options.Fullscreen = Item == FullscreenItem;
    Options.Color = 1; // 32 bits, always
    if (Resolution >= ResolutionCount)
    {
        // One of the display's own modes: the display's entry, with the size beside.
        Options.Resolution = TOptions::DesktopResolution;
        Options.WindowSize = DisplayModes[static_cast<size_t>(Resolution - ResolutionCount)];
    }
    else
    {
        const auto resolution = static_cast<uint8_t>(Resolution != NoResolution ? Resolution : DesktopShownResolution);
        if (resolution != Options.Resolution)
        {
            Options.WindowSize = {}; // a newly chosen size replaces the one the window was left at
        }
        Options.Resolution = resolution;
    }
    Options.Desktop = DesktopChecked;
    Options.Help = ShowHelp;
    Options.Save();
}
