// data/Menu.dat read the way the menu reads it, and checked against what the menu code
// expects of each screen's items.
#include "front/MenuScreens.h"
#include "tests/content/ContentReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct TItem
{
    std::string Normal, Lit;
    double X = 0, Y = 0, Z = 0, W = 0, H = 0;
    bool Visible = false;
    bool Selectable = false;

    double Left() const { return X - W / 2; }
    double Right() const { return X + W / 2; }
    double Bottom() const { return Y - H / 2; }
    double Top() const { return Y + H / 2; }
};

struct TMenuFile
{
    std::string Background;
    std::vector<std::vector<TItem>> Screens; // [screen - 1][item - 1]
};

TMenuFile ReadMenu()
{
    std::istringstream in(ReadFile(GameFolder() / "data" / "Menu.dat"));
    std::string line;
    auto next = [&]()
    {
        if (!std::getline(in, line))
        {
            throw std::runtime_error("Menu.dat ends early");
        }
        return line;
    };
    TMenuFile menu;
    next();
    menu.Background = next();
    next();
    const int screens = std::stoi(next());
    for (int s = 0; s < screens; ++s)
    {
        next();
        const int items = std::stoi(next());
        std::vector<TItem> list;
        for (int i = 0; i < items; ++i)
        {
            TItem item;
            item.Normal = next();
            item.Lit = next();
            std::istringstream(next()) >> item.X >> item.Y >> item.Z;
            double sz = 0;
            std::istringstream(next()) >> item.W >> item.H >> sz;
            double rx = 1, ry = 1, rz = 1;
            std::istringstream(next()) >> rx >> ry >> rz;
            EXPECT_EQ(0.0, rx + ry + rz) << "menu items lie flat";
            item.Visible = next().substr(0, 1) == "1";
            item.Selectable = next().substr(0, 1) == "1";
            list.push_back(item);
        }
        menu.Screens.push_back(list);
    }
    return menu;
}

const TMenuFile& Menu()
{
    static const TMenuFile menu = ReadMenu();
    return menu;
}

const TItem& Item(int screen, int item)
{
    return Menu().Screens.at(static_cast<size_t>(screen - 1)).at(static_cast<size_t>(item - 1));
}

bool Overlap(const TItem& a, const TItem& b)
{
    return a.Left() <= b.Right() && b.Left() <= a.Right() && a.Bottom() <= b.Top() &&
           b.Bottom() <= a.Top();
}
} // namespace

TEST(MenuFile, HasTenScreensWithinTheItemLimitEachWithSomethingToChoose)
{
    ASSERT_EQ(10u, Menu().Screens.size());
    for (size_t s = 0; s < Menu().Screens.size(); ++s)
    {
        const auto& items = Menu().Screens[s];
        EXPECT_LE(items.size(), static_cast<size_t>(MaxMenuItems));
        bool choosable = false;
        for (const TItem& item : items)
        {
            choosable = choosable || (item.Visible && item.Selectable);
            EXPECT_NEAR(0.1, item.Z, 0.05) << "screen " << s + 1;
        }
        EXPECT_TRUE(choosable) << "screen " << s + 1 << " has no visible selectable item";
    }
}

TEST(MenuFile, EveryPictureExistsWithAlphaAndTheItemsProportions)
{
    EXPECT_NO_THROW(ReadJpeg(GameFolder() / Menu().Background));
    for (size_t s = 0; s < Menu().Screens.size(); ++s)
    {
        for (const TItem& item : Menu().Screens[s])
        {
            for (const std::string& path : {item.Normal, item.Lit})
            {
                SCOPED_TRACE(path);
                const TPicture p = ReadTga(GameFolder() / path);
                EXPECT_NEAR(item.W / item.H, static_cast<double>(p.Width) / p.Height,
                            0.05 * item.W / item.H);
                int clear = 0;
                int solid = 0;
                for (size_t i = 3; i < p.Data.size(); i += 4)
                {
                    clear += p.Data[i] == 0;
                    solid += p.Data[i] == 255;
                }
                EXPECT_GT(clear, 0) << "a floating item needs see-through parts";
                EXPECT_GT(solid, 0) << "nothing to see";
            }
        }
    }
}

TEST(MenuFile, SelectableItemsNeverCoverEachOther)
{
    for (size_t s = 0; s < Menu().Screens.size(); ++s)
    {
        const auto& items = Menu().Screens[s];
        for (size_t i = 0; i < items.size(); ++i)
        {
            for (size_t j = i + 1; j < items.size(); ++j)
            {
                const TItem& a = items[i];
                const TItem& b = items[j];
                if (!a.Selectable || !b.Selectable)
                {
                    continue;
                }
                // Two states of one control share a place; only one of them is shown.
                const bool samePlace = a.X == b.X && a.Y == b.Y && a.W == b.W && a.H == b.H;
                if (samePlace && !(a.Visible && b.Visible))
                {
                    continue;
                }
                EXPECT_FALSE(Overlap(a, b))
                    << "screen " << s + 1 << ": items " << i + 1 << " and " << j + 1;
            }
        }
    }
}

TEST(MenuFile, OptionsScreenHasItsSlidersButtonsCaptionsAndSkinLabels)
{
    ASSERT_EQ(Menu().Screens[2].size(), static_cast<size_t>(OptionsItemCount(SkinCount)));
    // Bars: 7 sound, 11 music, in their click zones, starting at x -1.0 on the left.
    const TItem& sound = Item(3, 7);
    const TItem& music = Item(3, 11);
    EXPECT_NEAR(1.801, sound.Bottom(), 0.01);
    EXPECT_NEAR(2.201, sound.Top(), 0.01);
    EXPECT_NEAR(-0.00525, music.Bottom(), 0.01);
    EXPECT_NEAR(0.39475, music.Top(), 0.01);
    for (const TItem* bar : {&sound, &music})
    {
        EXPECT_NEAR(-1.0, bar->Right(), 0.07);
        EXPECT_GE(bar->Left(), -2.6);
        EXPECT_TRUE(bar->Visible);
        EXPECT_FALSE(bar->Selectable);
    }
    // Button pairs with their captions between them.
    for (int caption : {5, 9, 13})
    {
        EXPECT_TRUE(Item(3, caption).Visible) << caption;
        EXPECT_FALSE(Item(3, caption).Selectable) << caption;
        for (int button : {caption - 1, caption + 1})
        {
            EXPECT_TRUE(Item(3, button).Visible && Item(3, button).Selectable) << button;
            EXPECT_NEAR(Item(3, caption).Y, Item(3, button).Y, 0.01) << button;
        }
        // The down button sits on the left of the up button (world +x is to the left).
        EXPECT_GT(Item(3, caption - 1).X, Item(3, caption + 1).X);
    }
    // A click in a slider zone hits no button.
    TItem soundZone{"", "", -1.8, 2.001, 0.1, 1.6, 0.4};
    TItem musicZone{"", "", -1.8, 0.19475, 0.1, 1.6, 0.4};
    for (size_t i = 0; i < Menu().Screens[2].size(); ++i)
    {
        const TItem& item = Menu().Screens[2][i];
        if (item.Selectable)
        {
            EXPECT_FALSE(Overlap(item, soundZone)) << "item " << i + 1;
            EXPECT_FALSE(Overlap(item, musicZone)) << "item " << i + 1;
        }
    }
    // The spare slot 3 starts hidden; of the skin labels only the first is shown.
    EXPECT_FALSE(Item(3, 3).Visible);
    EXPECT_FALSE(Item(3, 3).Selectable);
    for (int skin = 1; skin <= SkinCount; ++skin)
    {
        const int label = SkinLabel(skin);
        EXPECT_TRUE(Item(3, label).Selectable) << label;
        EXPECT_EQ(skin == 1, Item(3, label).Visible) << label;
        EXPECT_NEAR(Item(3, SkinLabel(1)).X, Item(3, label).X, 1e-6);
        EXPECT_NEAR(Item(3, SkinLabel(1)).Y, Item(3, label).Y, 1e-6);
    }
    EXPECT_TRUE(Item(3, 1).Visible && Item(3, 1).Selectable);
    EXPECT_TRUE(Item(3, 2).Visible && Item(3, 2).Selectable);
}

TEST(MenuFile, TwoStatePairsShareTheirPlaceWithTheFirstShown)
{
    for (int screen : {6, 10})
    {
        SCOPED_TRACE(screen);
        const TItem& shown = Item(screen, 2);
        const TItem& other = Item(screen, 3);
        EXPECT_TRUE(shown.Visible);
        EXPECT_FALSE(other.Visible);
        EXPECT_TRUE(shown.Selectable && other.Selectable);
        EXPECT_EQ(shown.X, other.X);
        EXPECT_EQ(shown.Y, other.Y);
        EXPECT_NE(shown.Normal, other.Normal);
        EXPECT_TRUE(Item(screen, 1).Visible && Item(screen, 1).Selectable);
    }
}

TEST(MenuFile, ScreensHaveTheItemsTheirCodeUses)
{
    ASSERT_GE(Menu().Screens[0].size(), 4u);
    ASSERT_GE(Menu().Screens[1].size(), 4u);
    for (int i = 1; i <= 4; ++i)
    {
        EXPECT_TRUE(Item(1, i).Visible && Item(1, i).Selectable);
        EXPECT_TRUE(Item(2, i).Visible && Item(2, i).Selectable);
    }
    for (int screen : {5, 7})
    {
        EXPECT_TRUE(Item(screen, 2).Visible && Item(screen, 2).Selectable) << screen;
        EXPECT_TRUE(Item(screen, 3).Visible && Item(screen, 3).Selectable) << screen;
    }
    // Tutorial: close, next and previous along the foot of the page.
    for (int i = 1; i <= 3; ++i)
    {
        EXPECT_TRUE(Item(9, i).Selectable) << i;
        EXPECT_LT(Item(9, i).Top(), -4.3) << i;
    }
}

TEST(MenuFile, TheInGameButtonKeepsOffTheBoard)
{
    const TItem& button = Item(4, 1);
    EXPECT_TRUE(button.Visible && button.Selectable);
    const TItem board{"", "", 0, 0, 0, 9.0, 9.0};
    EXPECT_FALSE(Overlap(button, board));
    // And it stays on the screen (x -8.96 .. 5.36, y -5.62 .. 5.12).
    EXPECT_GT(button.Left(), -8.96);
    EXPECT_GT(button.Bottom(), -5.62);
}

TEST(MenuFile, EveryLanguageHasEveryItemsPicturesWithItsOwnWords)
{
    for (const std::string& code : ShippedLanguages())
    {
        SCOPED_TRACE(code);
        const std::filesystem::path own = GameFolder() / "lang" / code;
        for (const auto& screen : Menu().Screens)
        {
            for (const TItem& item : screen)
            {
                for (const std::string& file : {item.Normal, item.Lit})
                {
                    const TPicture english = ReadTga(GameFolder() / file);
                    const TPicture translated = ReadTga(own / file);
                    EXPECT_EQ(translated.Width, english.Width) << file;
                    EXPECT_EQ(translated.Height, english.Height) << file;
                }
            }
        }
        // The words differ, the signs do not.
        EXPECT_NE(ReadTga(own / "Images/Menu/play.tga").Data, ReadTga(GameFolder() / "Images/Menu/play.tga").Data);
        EXPECT_EQ(ReadTga(own / "Images/Menu/plus.tga").Data, ReadTga(GameFolder() / "Images/Menu/plus.tga").Data);
    }
}

TEST(MenuFile, AWordTooLongForItsPictureOrASlipInACatalogueStopsTheGenerator)
{
    TempFolder tmp;
    tmp.Write("po/LINGUAS", "# one test language\nxx\n");
    // As a language of po/LINGUAS, or as the pseudo-language, whose texts must all be marked.
    auto generate = [&](const std::string& catalogue, const std::string& how = "--po")
    {
        tmp.Write("po/xx.po", catalogue);
        const std::filesystem::path from = how == "--po" ? tmp.Path() / "po" : tmp.Path() / "po" / "xx.po";
        const std::string command = std::string("'") + TANDREL_CONTENT_TOOL + "' --out '" +
                                    (tmp.Path() / "out").string() + "' --fonts '" + TANDREL_FONT_DIR + "' " + how +
                                    " '" + from.string() + "' --only menu/xx > /dev/null 2> '" +
                                    (tmp.Path() / "errors").string() + "'";
        EXPECT_NE(0, std::system(command.c_str()));
        return ReadFile(tmp.Path() / "errors");
    };
    const std::string clipped = generate("msgid \"PLAY\"\n"
                                         "msgstr \"PLAY ON AND ON UNTIL THE LAST CUBE IS GONE\"\n");
    EXPECT_NE(clipped.find("Images/Menu/play.tga in xx: \"PLAY ON AND ON UNTIL THE LAST CUBE IS GONE\""),
              std::string::npos)
        << clipped;
    const std::string slip = generate("msgid \"PLAY\"\nmsgstr \"PLAY\\q\"\n");
    EXPECT_NE(slip.find("xx.po, line 2: unknown escape \\q"), std::string::npos) << slip;
    const std::string unmarked = generate("msgid \"PLAY\"\nmsgstr \"[PĹÀŶ]\"\n", "--pseudo");
    EXPECT_NE(unmarked.find(" in xx: the text \""), std::string::npos) << unmarked;
    EXPECT_NE(unmarked.find("\" is not in the catalogue"), std::string::npos) << unmarked;
}
