// Reading data/Menu.dat and refusing menus the program could not work with; the generator's
// menu with one skin more than the game counts.
#include "base/DataError.h"
#include "front/MenuFile.h"
#include "tests/front/FrontFixture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <sstream>

namespace
{
// A menu of `screens` screens, each with the items the commands need (at least one),
// every item visible and selectable; edit changes the item lines before they are written.
std::string MenuText(int screens, const std::function<void(int, int, std::vector<std::string>&)>& edit = {},
                     const std::function<int(int)>& items = {})
{
    std::ostringstream s;
    s << "Tandrel menu\nImages/menu.jpg\n-- screens\n" << screens << " screens\n";
    for (int sc = 1; sc <= screens; ++sc)
    {
        int n = sc <= MenuScreensUsed ? std::max(1, TMenuFile::RequiredItems[sc]) : 1;
        if (items)
        {
            n = items(sc);
        }
        s << "--- screen " << sc << "\n" << n << "\n";
        for (int i = 1; i <= n; ++i)
        {
            std::vector<std::string> lines = {"Images/Menu/a.tga", "Images/Menu/b.tga",
                                              std::to_string(i) + ".5 -2 0.1 position", "1.5 0.4 1",
                                              "0 0 0", "1", "1"};
            if (edit)
            {
                edit(sc, i, lines);
            }
            for (const auto& l : lines)
            {
                s << l << "\n";
            }
        }
    }
    return s.str();
}

struct MenuFolder
{
    explicit MenuFolder(const std::string& text)
    {
        tmp.Write("data/Menu.dat", text);
        tmp.Write("Images/Menu/a.tga", "a");
        tmp.Write("Images/Menu/b.tga", "b");
    }
    TempFolder tmp;
};

TDataError Refused(const std::string& text)
{
    MenuFolder f(text);
    try
    {
        TMenuFile::Load(f.tmp.Path());
    }
    catch (const TDataError& e)
    {
        return e;
    }
    ADD_FAILURE() << "the menu was accepted";
    return TDataError("", 0, "");
}
} // namespace

TEST(MenuFile, ReadsScreensItemsAndPlacements)
{
    MenuFolder f(MenuText(10, [](int s, int i, std::vector<std::string>& l) {
        if (s == 3 && i == 7)
        {
            l[2] = "  -1.76\t2.001 0.1   sound bar";
            l[3] = "1.5e0 0.4 1";
            l[4] = "0 0.25 -3.5";
            l[6] = "0 not selectable";
        }
        if (s == 3 && i == 16)
        {
            l[5] = "2"; // anything but 1 is hidden
        }
    }));
    const TMenuFile m = TMenuFile::Load(f.tmp.Path());
    EXPECT_EQ(m.Background, "Images/menu.jpg");
    ASSERT_EQ(m.Screens.size(), 10u);
    ASSERT_EQ(m.Screens[2].size(), 19u);
    const TMenuItemData& bar = m.Screens[2][6];
    EXPECT_FLOAT_EQ(bar.Position.x, -1.76f);
    EXPECT_FLOAT_EQ(bar.Position.y, 2.001f);
    EXPECT_FLOAT_EQ(bar.Position.z, 0.1f);
    EXPECT_FLOAT_EQ(bar.Scale.x, 1.5f);
    EXPECT_FLOAT_EQ(bar.Rotation.z, -3.5f);
    EXPECT_TRUE(bar.Visible);
    EXPECT_FALSE(bar.Selectable);
    EXPECT_FALSE(m.Screens[2][15].Visible);
    EXPECT_EQ(m.Screens[0][0].NormalImage, "Images/Menu/a.tga");
    EXPECT_EQ(m.Screens[0][0].HighlightImage, "Images/Menu/b.tga");
}

TEST(MenuFile, RefusesMenusTheProgramCannotWork)
{
    struct Case
    {
        const char* name;
        std::string text;
        int line;
        std::string words;
    };
    std::string absurd = MenuText(10);
    absurd.replace(absurd.find("--- screen 4\n2\n"), 15, "--- screen 4\n2000000000\n");
    const std::vector<Case> cases = {
        {"fourteen screens", MenuText(14), 4, "14 screens"},
        {"nine screens", MenuText(9), 4, "9 screens"},
        {"one item too many", MenuText(10, {}, [](int s) { return s == 4 ? MaxMenuItems + 1 : std::max(1, TMenuFile::RequiredItems[s]); }),
         0, "screen 4 has " + std::to_string(MaxMenuItems + 1) + " items"},
        {"an absurd item count", absurd, 0, "screen 4 has 2000000000 items"},
        {"options without its sliders", MenuText(10, {}, [](int s) { return s == 3 ? 12 : std::max(1, TMenuFile::RequiredItems[s]); }),
         0, "screen 3 has 12 items"},
        {"missing image", MenuText(10, [](int s, int i, auto& l) { if (s == 2 && i == 3) l[1] = "Images/Menu/none.tga"; }),
         0, "'Images/Menu/none.tga' does not exist"},
        {"absolute image", MenuText(10, [](int s, int i, auto& l) { if (s == 2 && i == 3) l[0] = "/etc/passwd"; }),
         0, "'/etc/passwd' lies outside the program folder"},
        {"climbing image", MenuText(10, [](int s, int i, auto& l) { if (s == 3 && i == 1) l[1] = "Images/../../x.tga"; }),
         0, "'Images/../../x.tga' lies outside the program folder"},
        {"nothing to select", MenuText(10, [](int s, int, auto& l) { if (s == 5) l[6] = "0"; }), 0,
         "screen 5 has no item"},
        {"malformed number", MenuText(10, [](int s, int i, auto& l) { if (s == 1 && i == 2) l[3] = "1.5 wide 1"; }),
         0, "'wide'"},
        {"too few numbers", MenuText(10, [](int s, int i, auto& l) { if (s == 1 && i == 1) l[2] = "1 2"; }), 0,
         "expected 3 numbers"},
        {"cut after an item", MenuText(10).substr(0, MenuText(10).find("--- screen 2") - 1), 0,
         "ends before screen 2"},
        {"cut inside a screen", MenuText(10).substr(0, MenuText(10).find("Images/Menu/a.tga", MenuText(10).find("--- screen 4"))),
         0, "ends before item 1 of screen 4"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const TDataError e = Refused(c.text);
        EXPECT_EQ(e.File.filename(), "Menu.dat");
        EXPECT_GT(e.Line, 0);
        if (c.line > 0)
        {
            EXPECT_EQ(e.Line, c.line);
        }
        EXPECT_NE(std::string(e.what()).find(c.words), std::string::npos) << e.what();
    }
}

TEST(MenuFile, AScreenNeverShownMayHoldNothingSelectable)
{
    MenuFolder f(MenuText(11, [](int s, int, auto& l) {
        if (s == 8 || s == 11)
        {
            l[6] = "0";
        }
    }));
    EXPECT_EQ(TMenuFile::Load(f.tmp.Path()).Screens.size(), 11u);
}

TEST(MenuFile, ErrorsNameTheLineOfTheFault)
{
    // Line of screen 1, item 2's position: 4 header lines, separator, count, 7 lines of
    // item 1, two image lines of item 2, then the position.
    const TDataError e = Refused(MenuText(10, [](int s, int i, auto& l) {
        if (s == 1 && i == 2)
        {
            l[2] = "x 0 0";
        }
    }));
    EXPECT_EQ(e.Line, 4 + 2 + 7 + 2 + 1);
}

// A skin added as ARCHITECTURE.md says, by one more in SkinCount: the generator draws it and
// offers it on the options screen, the game's reader checks that menu (its pictures too) and
// the menu holds every item of it, and the skin buttons step through all the skins.
TEST(MenuFile, TheGeneratorsMenuWithOneMoreSkinIsTakenByTheGame)
{
    constexpr int skins = SkinCount + 1;
    TempFolder tmp;
    const std::string command = std::string("'") + TANDREL_CONTENT_TOOL + "' --out '" +
                                tmp.Path().string() + "' --fonts '" + TANDREL_FONT_DIR +
                                "' --only skins,menu --skins " + std::to_string(skins) +
                                " > /dev/null";
    ASSERT_EQ(0, std::system(command.c_str()));
    for (int k = 0; k < CubeTextureCount; ++k)
    {
        EXPECT_TRUE(std::filesystem::is_regular_file(tmp.Path() / SkinFile(skins, k))) << k;
    }

    const TMenuFile file = TMenuFile::Load(tmp.Path());
    const auto& options = file.Screens[scOptions - 1];
    ASSERT_EQ(options.size(), static_cast<size_t>(OptionsItemCount(skins)));
    for (int skin = 1; skin <= skins; ++skin)
    {
        const TMenuItemData& label = options[static_cast<size_t>(SkinLabel(skin) - 1)];
        EXPECT_EQ(label.NormalImage, "Images/Menu/skin" + std::to_string(skin) + ".tga");
        EXPECT_EQ(label.Visible, skin == 1) << skin;
        EXPECT_TRUE(label.Selectable) << skin;
    }

    TRecordingRenderer renderer;
    TRecordingHost host;
    TOptions settings(tmp.Path() / "settings.ini");
    TScreenState state;
    TFrontEnd front(host, renderer.R, settings, state, tmp.Path(), tmp.Path() / "user");
    front.LoadMenu(nullptr);
    EXPECT_EQ(front.Menu->Screen(scOptions).ItemCount, OptionsItemCount(skins));

    int skin = 1;
    for (int step = 1; step < skins; ++step)
    {
        skin = SteppedSkin(skin, +1, skins);
    }
    EXPECT_EQ(skin, skins);
    EXPECT_EQ(SteppedSkin(skin, +1, skins), 1);
    EXPECT_EQ(SteppedSkin(1, -1, skins), skins);
}
