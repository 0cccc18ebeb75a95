#include "app/VideoOptionsModel.h"

#include "base/Text.h"

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
    // The largest size the display shows: its desktop, or a larger mode of its own.
    TResolution largest = desktop;
    for (const TResolution& m : modes)
    {
        largest = {std::max(largest.Width, m.Width), std::max(largest.Height, m.Height)};
    }
    Offered.clear();
    for (int i = 0; i < ResolutionCount; ++i)
    {
        const TResolution size = Options.Resolutions[static_cast<size_t>(i)];
        if (largest.Width <= 0 || (size.Width <= largest.Width && size.Height <= largest.Height))
        {
            Offered.push_back(i);
        }
    }
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
            Offered.push_back(ResolutionCount + static_cast<int>(DisplayModes.size()) - 1);
        }
    }
}

int TVideoOptionsModel::RowOf(int index) const
{
    if (Offered.empty())
    {
        return index >= 0 && index < ResolutionCount ? index : NoResolution;
    }
    const auto row = std::find(Offered.begin(), Offered.end(), index);
    return row != Offered.end() ? static_cast<int>(row - Offered.begin()) : NoResolution;
}

std::vector<std::string> TVideoOptionsModel::Entries() const
{
    std::vector<std::string> rows;
    if (Offered.empty())
    {
        return {ResolutionTexts.begin(), ResolutionTexts.end()};
    }
    for (const int i : Offered)
    {
        const TResolution m = i < ResolutionCount ? TResolution{} : DisplayModes[static_cast<size_t>(i - ResolutionCount)];
        rows.push_back(i < ResolutionCount ? std::string(ResolutionTexts[static_cast<size_t>(i)])
                                           : std::to_string(m.Width) + "x" + std::to_string(m.Height));
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
    if (Resolution != NoResolution && RowOf(Resolution) == NoResolution)
    {
        // Stored for a larger display: the largest of the nine this one shows.
        Resolution = *std::max_element(Offered.begin(), std::find_if(Offered.begin(), Offered.end(), [](int i)
                                                                     { return i >= ResolutionCount; }));
    }
    DesktopChecked = Options.Desktop;
    ShowHelp = Options.Help;
    const auto language = std::find(Languages.begin(), Languages.end(), Options.Language);
    LanguageRow = language == Languages.end() ? 0 : 1 + static_cast<int>(language - Languages.begin());
    DesktopRule();
}

void TVideoOptionsModel::SetLanguages(std::vector<std::string> codes)
{
    Languages = std::move(codes);
}

std::vector<std::string> TVideoOptionsModel::LanguageEntries() const
{
    std::vector<std::string> rows{_("The system's language")};
    for (const std::string& code : Languages)
    {
        rows.push_back(LanguageName(code));
    }
    return rows;
}

void TVideoOptionsModel::SelectLanguage(int row)
{
    LanguageRow = row >= 0 && row <= static_cast<int>(Languages.size()) ? row : 0;
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

void TVideoOptionsModel::SelectResolution(int row)
{
    const int rows = Offered.empty() ? ResolutionCount : static_cast<int>(Offered.size());
    if (ResolutionEnabled && row >= 0 && row < rows)
    {
        Resolution = Offered.empty() ? row : Offered[static_cast<size_t>(row)];
        Row = row;
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
    Row = RowOf(Resolution);
    if (DesktopChecked && Desktop.Width > 0)
    {
        // The greyed list shows the size that will be used.
        const auto fixed = std::find(Options.Resolutions.begin(), Options.Resolutions.begin() + ResolutionCount, Desktop);
        const auto mode = std::find(DisplayModes.begin(), DisplayModes.end(), Desktop);
        if (fixed != Options.Resolutions.begin() + ResolutionCount)
        {
            Row = RowOf(static_cast<int>(fixed - Options.Resolutions.begin()));
        }
        else if (mode != DisplayModes.end())
        {
            Row = RowOf(ResolutionCount + static_cast<int>(mode - DisplayModes.begin()));
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
    Options.Language = LanguageRow == 0 ? std::string() : Languages[static_cast<size_t>(LanguageRow - 1)];
    Options.Save();
}
