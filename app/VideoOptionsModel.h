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
    // The display: its size now and its own modes. Of the nine, only the sizes the display
    // can show are offered; the modes that are not among the nine follow them in the list
    // (indices 9 and on); one of those is stored as Resolution 9 with the size in
    // WindowSize, which the video mode uses when the player confirmed it.
    void SetDisplay(TResolution desktop, const std::vector<TResolution>& modes);
    // The list's rows: the sizes offered of the nine, then the display's other modes.
    std::vector<std::string> Entries() const;
    // The player picks a row of the list (ignored while the list is disabled).
    void SelectResolution(int row);
    void SetShowHelp(bool checked);
    // The languages offered (codes whose catalogue is installed, English among them): the
    // list shows the system's language first, then each of these named in itself.
    void SetLanguages(std::vector<std::string> codes);
    std::vector<std::string> LanguageEntries() const;
    void SelectLanguage(int row);
    // Writes the choices into the settings and saves them. Cancel touches nothing.
    void Ok();

    int Item = FullscreenItem;
    bool DesktopChecked = false;
    bool DesktopEnabled = true;
    int Resolution = NoResolution; // the selection: 0..8 the nine, 9 and on the display's modes
    // The row the list shows: the selection's, or with "Use desktop settings" the row of the
    // size that will be used (the display's); NoResolution when the list shows none.
    int Row = NoResolution;
    TResolution Desktop{};
    std::vector<TResolution> DisplayModes; // not among the nine, largest first
    bool ResolutionEnabled = true;  // the list and its "Resolution:" label
    bool ShowHelp = false;
    std::vector<std::string> Languages;
    int LanguageRow = 0; // 0 the system's language, else Languages[LanguageRow - 1]

private:
    void DesktopRule();
    int RowOf(int index) const;

    std::vector<int> Offered; // the index of each row; all nine until the display is known

    TOptions& Options;
};
