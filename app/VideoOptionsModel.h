// The rules of the video options dialog, free of any toolkit: what each control shows,
// which are enabled, and what OK writes. The dialog window mirrors this state and passes
// the player's picks in; tests drive it directly.
#pragma once

#include "base/Options.h"

#include <array>

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
    // The player picks a resolution 0..8 (ignored while the list is disabled).
    void SelectResolution(int index);
    void SetShowHelp(bool checked);
    // Writes the choices into the settings and saves them. Cancel touches nothing.
    void Ok();

    int Item = FullscreenItem;
    bool DesktopChecked = false;
    bool DesktopEnabled = true;
    int Resolution = NoResolution; // the list's selection, NoResolution when none
    bool ResolutionEnabled = true;  // the list and its "Resolution:" label
    bool ShowHelp = false;

private:
    void DesktopRule();

    TOptions& Options;
};
