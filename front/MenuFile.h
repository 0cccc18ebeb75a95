// The menu description data/Menu.dat: the background picture and the screens with their
// items (two images, a placement, and whether each is visible and selectable).
//
// The program relies on screens 1 to 10 and on the items its commands name
// (front/MenuScreens.h); a file that lacks them, exceeds MaxMenuScreens screens or
// MaxMenuItems items, names an image that does not exist, or
// leaves a screen that can be shown without a visible selectable item is refused with a
// TDataError naming the file, the line and the problem.
#pragma once

#include "base/TexMatrix.h"
#include "front/MenuScreens.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

struct TMenuItemData
{
    std::string NormalImage;    // as written in the file
    std::string HighlightImage;
    TVector3 Position;
    TVector3 Scale;
    TVector3 Rotation;
    bool Visible = false;
    bool Selectable = false;
};

struct TMenuFile
{
    std::string Background; // relative to the program folder
    std::vector<std::vector<TMenuItemData>> Screens; // Screens[s - 1][i - 1]

    // Reads and checks programFolder / "data/Menu.dat"; image paths resolve against
    // programFolder. Without checkImages, images that do not exist are left to the caller.
    static TMenuFile Load(const std::filesystem::path& programFolder, bool checkImages = true);
    // The background and every item image, below programFolder.
    std::vector<std::filesystem::path> Pictures(const std::filesystem::path& programFolder) const;

    // The number of items the menu commands address on each screen (index 1..10).
    static constexpr std::array<int, MenuScreensUsed + 1> RequiredItems = MenuRequiredItems;
    // Screens the program can show (the spare screen never is).
    static constexpr bool CanBeShown(int screen) { return screen >= 1 && screen <= MenuScreensUsed && screen != scSpare; }
};
