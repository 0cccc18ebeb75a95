#include "front/MenuFile.h"

#include "base/LanguageFiles.h"
#include "base/PlayerFile.h"
#include "game/DataReader.h"

#include <system_error>

namespace
{
TVector3 ReadVector(TDataReader& in)
{
    double v[3];
    in.ReadReals(3, v);
    return {static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])};
}

// A picture of the menu lies in the program folder: a path that starts at the root or
// climbs out with ".." is refused, whether the file exists or not.
void CheckInside(TDataReader& in, const std::string& image)
{
    const std::filesystem::path path(image);
    bool climbs = false;
    for (const std::filesystem::path& part : path)
    {
        climbs = climbs || part == "..";
    }
    if (path.is_absolute() || climbs)
    {
        in.Fail("the image '" + Excerpt(image, 80) + "' lies outside the program folder");
    }
}

void CheckImage(TDataReader& in, const std::filesystem::path& programFolder, const std::string& image)
{
    CheckInside(in, image);
    std::error_code ec;
    if (image.empty() || !std::filesystem::is_regular_file(programFolder / image, ec))
    {
        in.Fail("the image '" + Excerpt(image, 80) + "' does not exist");
    }
}
} // namespace

std::vector<std::filesystem::path> TMenuFile::Pictures(const std::filesystem::path& programFolder) const
{
    std::vector<std::filesystem::path> files{programFolder / Background};
    for (const auto& screen : Screens)
    {
        for (const TMenuItemData& item : screen)
        {
            files.push_back(LocalFile(programFolder, item.NormalImage));
            files.push_back(LocalFile(programFolder, item.HighlightImage));
        }
    }
    return files;
}

TMenuFile TMenuFile::Load(const std::filesystem::path& programFolder, bool checkImages)
{
    TDataReader in(programFolder / "data" / "Menu.dat");
    TMenuFile menu;

    in.SkipLine();
    menu.Background = in.ReadText();
    CheckInside(in, menu.Background);
    in.SkipLine();
    const int screens = in.ReadInt();
    if (screens < MenuScreensUsed || screens > MaxMenuScreens)
    {
        in.Fail("the menu has " + std::to_string(screens) + " screens; it needs " +
                std::to_string(MenuScreensUsed) + " to " + std::to_string(MaxMenuScreens));
    }

    for (int s = 1; s <= screens; ++s)
    {
        if (in.AtEnd())
        {
            in.Fail("the file ends before screen " + std::to_string(s));
        }
        in.SkipLine();
        const int items = in.ReadInt();
        const int countLine = in.LastLine();
        const int required = s <= MenuScreensUsed ? RequiredItems[s] : 0;
        if (items < required || items > MaxMenuItems)
        {
            in.Fail("screen " + std::to_string(s) + " has " + std::to_string(items) + " items; it needs " +
                    std::to_string(required) + " to " + std::to_string(MaxMenuItems));
        }
        auto& list = menu.Screens.emplace_back();
        bool usable = false;
        for (int i = 1; i <= items; ++i)
        {
            if (in.AtEnd())
            {
                in.Fail("the file ends before item " + std::to_string(i) + " of screen " + std::to_string(s));
            }
            TMenuItemData item;
            item.NormalImage = in.ReadText();
            checkImages ? CheckImage(in, programFolder, item.NormalImage) : CheckInside(in, item.NormalImage);
            item.HighlightImage = in.ReadText();
            checkImages ? CheckImage(in, programFolder, item.HighlightImage) : CheckInside(in, item.HighlightImage);
            item.Position = ReadVector(in);
            item.Scale = ReadVector(in);
            item.Rotation = ReadVector(in);
            item.Visible = in.ReadInt() == 1;
            item.Selectable = in.ReadInt() == 1;
            usable = usable || (item.Visible && item.Selectable);
            list.push_back(item);
        }
        if (CanBeShown(s) && !usable)
        {
            in.FailAt(countLine, "screen " + std::to_string(s) + " has no item that is both visible and selectable");
        }
    }
    return menu;
}
