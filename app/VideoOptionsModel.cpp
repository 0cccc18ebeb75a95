#include "app/VideoOptionsModel.h"

const std::array<const char*, TVideoOptionsModel::ResolutionCount> TVideoOptionsModel::ResolutionTexts = {
    "512x384", "640x400", "640x480", "800x600", "1024x768", "1152x864", "1280x768", "1280x960", "1280x1024",
};

namespace
{
constexpr int DesktopShownResolution = 3; // "800x600", shown while the display's size is used
}

void TVideoOptionsModel::Show()
{
    PickItem(Options.Fullscreen ? FullscreenItem : WindowedItem);
    // A stored 9 (the display's size) has no entry in the list.
    Resolution = Options.Resolution < ResolutionCount ? Options.Resolution : NoResolution;
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
    if (ResolutionEnabled && index >= 0 && index < ResolutionCount)
    {
        Resolution = index;
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
}

void TVideoOptionsModel::Ok()
{
    Options.Fullscreen = Item == FullscreenItem;
    Options.Color = 1; // 32 bits, always
    const auto resolution = static_cast<uint8_t>(Resolution != NoResolution ? Resolution : DesktopShownResolution);
    if (resolution != Options.Resolution)
    {
        Options.WindowSize = {}; // a newly chosen size replaces the one the window was left at
    }
    Options.Resolution = resolution;
    Options.Desktop = DesktopChecked;
    Options.Help = ShowHelp;
    Options.Save();
}
