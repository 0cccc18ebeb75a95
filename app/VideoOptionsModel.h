// The rules of the video options dialog, free of any toolkit: what each control shows,
// which are enabled, and what OK writes. The dialog window mirrors this state and passes
// the player's picks in; tests drive it directly.
#pragma once

#include "base/Options.h"

#include <array>
#include <string>
#include <vector>

class TVideoOptionsModel
{
public:
    static constexpr int FullscreenItem = 0;
    static constexpr int WindowedItem = 1;
    static constexpr int NoResolution = -1;
    static constexpr int ResolutionCount = 9;
    static const std::array<const char*, ResolutionCount> ResolutionTexts;

    explicit TVideoOptionsModel(TOptions& options) : Options(options) {}

    // Each showing starts from the current settings.
    void Show();
    // The player picks a radio item: full screen checks and enables "Use desktop
    // settings"; windowed unchecks and disables it.
    void PickItem(int item);
    // The player toggles "Use desktop settings" (ignored while it is disabled).
    void SetDesktop(bool checked);
    // The display: its size now and its own modes. The modes that are not among the nine
    // and fit the desktop follow them in the list (rows 9 and on); a row of those is stored as Resolution 9
    // with the size in WindowSize, which the video mode uses when the player confirmed it.
    void SetDisplay(TResolution desktop, const std::vector<TResolution>& modes);
    // The list's rows: the nine sizes, then the display's other modes.
    std::vector<std::string> Entries() const;
    // The player picks a row of the list (ignored while the list is disabled).
    void SelectResolution(int index);
    void SetShowHelp(bool checked);
    // Writes the choices into the settings and saves them. Cancel touches nothing.
    void Ok();

    int Item = FullscreenItem;
    bool DesktopChecked = false;
    bool DesktopEnabled = true;
    int Resolution = NoResolution; // the list's selection, NoResolution when none
    // The row the list shows: the selection, or with "Use desktop settings" the row of the
    // size that will be used (the display's).
    int Row = NoResolution;
    TResolution Desktop{};
    std::vector<TResolution> DisplayModes; // not among the nine, largest first
    bool ResolutionEnabled = true;  // the list and its "Resolution:" label
    bool ShowHelp = false;

private:
    void DesktopRule();

    TOptions& Options;
};
