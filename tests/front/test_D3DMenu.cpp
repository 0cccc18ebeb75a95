// The 3D menu widget: highlight by keys and by the cursor, the input guard after a screen
// change, and what it draws.
#include "front/D3DMenu.h"
#include "tests/front/FrontFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
struct TItem
{
    bool Visible = true;
    bool Selectable = true;
    float X = 0;
    float Y = 0;
    float W = 1.0f;
    float H = 0.4f;
};

// A widget with one screen of the given items (and an empty second screen), normal image
// of item i 10 + i pixels wide, highlighted one 50 + i.
struct TWidget
{
    explicit TWidget(const std::vector<TItem>& items)
    {
        Menu.SetScreenCount(2);
        for (int i = 1; i <= static_cast<int>(items.size()); ++i)
        {
            const TItem& it = items[i - 1];
            const auto normal = Tmp.Path() / ("n" + std::to_string(i) + ".tga");
            const auto high = Tmp.Path() / ("h" + std::to_string(i) + ".tga");
            WriteImage(normal, 10 + i, 1);
            WriteImage(high, 50 + i, 1);
            Menu.AddItem(Renderer.R.Device, 1, normal, high, {it.X, it.Y, 0.1f}, {it.W, it.H, 1},
                         {0, 0, 0}, it.Visible, it.Selectable);
        }
        Menu.ShowScreen(1);
        Now += 0.3;
    }

    TMenuKeyResult Key(int key)
    {
        Now += 0.3;
        return Menu.HandleKey(key);
    }

    int Selected() const { return Menu.Screens[1].SelectedItem; }

    // The texture widths of the sprites drawn, in order.
    std::vector<int> DrawnWidths()
    {
        Renderer.Device().Draws.clear();
        Menu.Draw(Renderer.R);
        std::vector<int> widths;
        for (const auto& d : Renderer.Device().Draws)
        {
            widths.push_back(TextureWidth(d.State.Texture));
        }
        return widths;
    }

    TempFolder Tmp;
    TRecordingRenderer Renderer;
    std::vector<TSound> Sounds;
    double Now = 500;
    TD3DMenu Menu{[this](TSound s) { Sounds.push_back(s); }, [this] { return Now; }};
};

std::vector<TItem> Column(int n)
{
    std::vector<TItem> items(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
    {
        items[static_cast<size_t>(i)].Y = 2.0f - 0.5f * static_cast<float>(i);
    }
    return items;
}
} // namespace

TEST(D3DMenu, ShowScreenHighlightsTheFirstUsableItemAndKeepsTheOldOneWithoutAny)
{
    auto items = Column(4);
    items[0].Selectable = false;
    items[1].Selectable = false;
    TWidget w(items);
    EXPECT_EQ(w.Selected(), 3);

    // A screen where nothing qualifies keeps the highlight it had.
    w.Menu.Screens[1].Items[3].Visible = false;
    w.Menu.Screens[1].Items[4].Visible = false;
    w.Menu.Screens[1].SelectedItem = 4;
    w.Menu.ShowScreen(1);
    EXPECT_EQ(w.Selected(), 4);
    // The arrows find nothing and come back at once instead of searching for ever.
    EXPECT_EQ(w.Key(VkDown).Action, maMoved);
    EXPECT_EQ(w.Selected(), 4);
}

TEST(D3DMenu, ArrowsWrapAroundAndSkipHiddenAndUnselectableItems)
{
    TWidget five(Column(5));
    EXPECT_EQ(five.Selected(), 1);
    EXPECT_EQ(five.Key(VkUp).Item, 5);
    EXPECT_EQ(five.Key(VkDown).Item, 1);
    EXPECT_EQ(five.Key(VkLeft).Item, 5);
    EXPECT_EQ(five.Key(VkRight).Item, 1);
    EXPECT_EQ(five.Sounds, std::vector<TSound>(4, snMenuMove));

    auto items = Column(5);
    items[1].Visible = false;    // 2 hidden
    items[2].Selectable = false; // 3 a caption
    items[4].Visible = false;    // 5 hidden
    TWidget w(items);
    EXPECT_EQ(w.Key(VkDown).Item, 4);
    EXPECT_EQ(w.Key(VkDown).Item, 1);
    EXPECT_EQ(w.Key(VkUp).Item, 4);
    EXPECT_EQ(w.Key(VkUp).Item, 1);
}

TEST(D3DMenu, EnterSpaceAndEscapeReportTheHighlightedItemWithTheirSounds)
{
    TWidget w(Column(3));
    w.Key(VkDown);
    w.Sounds.clear();
    const TMenuKeyResult enter = w.Key(VkEnter);
    EXPECT_EQ(enter.Screen, 1);
    EXPECT_EQ(enter.Action, maActivate);
    EXPECT_EQ(enter.Item, 2);
    EXPECT_EQ(w.Key(VkSpace).Action, maActivate);
    const TMenuKeyResult back = w.Key(VkEscape);
    EXPECT_EQ(back.Action, maBack);
    EXPECT_EQ(back.Item, 2);
    EXPECT_EQ(w.Key('A').Action, maNone);
    EXPECT_EQ(w.Sounds, (std::vector<TSound>{snMenuEnter, snMenuEnter, snMenuEsc}));
}

TEST(D3DMenu, NothingReactsWithinAQuarterSecondOfShowScreen)
{
    TWidget w(Column(3));
    w.Menu.ShowScreen(1);
    w.Now += 0.2;
    EXPECT_EQ(w.Menu.HandleKey(VkDown).Action, maNone);
    EXPECT_EQ(w.Menu.HandleKey(VkEnter).Action, maNone);
    w.Menu.HandleMouseMove(0, 1.5f);
    EXPECT_EQ(w.Selected(), 1);
    EXPECT_TRUE(w.Sounds.empty());

    w.Now += 0.06; // 0.26 s after the screen was shown
    EXPECT_TRUE(w.Menu.InputReady());
    EXPECT_EQ(w.Menu.HandleKey(VkDown).Item, 2);
}

TEST(D3DMenu, TheCursorHitsEdgesInclusivelyAndLeavingEveryItemReleasesTheButton)
{
    TWidget w(Column(3)); // item 2: x -0.5..0.5, y 1.3..1.7
    w.Menu.HandleMouseMove(0.5f, 1.3f);
    EXPECT_EQ(w.Selected(), 2);
    w.Menu.HandleMouseMove(-0.5f, 1.7f);
    EXPECT_EQ(w.Selected(), 2);
    EXPECT_EQ(w.Sounds, std::vector<TSound>{snMenuMove}); // one sound for one change

    w.Menu.Pressed = true;
    w.Menu.HandleMouseMove(0.51f, 1.5f);
    EXPECT_EQ(w.Selected(), 0);
    EXPECT_FALSE(w.Menu.Pressed);
    w.Sounds.clear();
    const TMenuKeyResult enter = w.Key(VkEnter);
    EXPECT_EQ(enter.Action, maActivate);
    EXPECT_EQ(enter.Item, 0);
    EXPECT_TRUE(w.Sounds.empty());
    // Arrows start again from the first item.
    EXPECT_EQ(w.Key(VkDown).Item, 1);
}

TEST(D3DMenu, OfOverlappingItemsTheHighestNumberedWinsAndEachChangeSounds)
{
    std::vector<TItem> items(3);
    items[0] = {true, true, 0, 0, 2, 2};
    items[1] = {true, false, 0, 0, 2, 2}; // a caption under the cursor takes nothing
    items[2] = {true, true, 0.5f, 0, 2, 2};
    TWidget w(items);
    w.Menu.Screens[1].HoverItem = 0;
    w.Menu.HandleMouseMove(0, 0);
    EXPECT_EQ(w.Selected(), 3);
    EXPECT_EQ(w.Sounds, (std::vector<TSound>{snMenuMove, snMenuMove}));
    w.Sounds.clear();
    w.Menu.HandleMouseMove(0.1f, 0.1f);
    EXPECT_EQ(w.Selected(), 3);
    // Item 1 takes the hover on the way to item 3 again: two changes, two sounds.
    EXPECT_EQ(w.Sounds, (std::vector<TSound>{snMenuMove, snMenuMove}));
}

TEST(D3DMenu, DrawsTheHighlightLastAndPressedSmallerAndLower)
{
    auto items = Column(4);
    items[3].Visible = false;
    TWidget w(items);
    w.Key(VkDown); // item 2
    EXPECT_EQ(w.DrawnWidths(), (std::vector<int>{11, 13, 52}));
    const TRecordedDraw& highlight = w.Renderer.Device().Draws.back();
    EXPECT_FLOAT_EQ(highlight.State.World.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(highlight.State.World.m[3][1], 1.5f);
    EXPECT_EQ(highlight.State.RenderStates[rsAlphaBlendEnable], StateTrue);
    EXPECT_EQ(highlight.State.RenderStates[rsLighting], StateFalse);

    w.Menu.Pressed = true;
    w.DrawnWidths();
    const TMatrix& pressed = w.Renderer.Device().Draws.back().State.World;
    EXPECT_FLOAT_EQ(pressed.m[0][0], 0.98f);
    EXPECT_FLOAT_EQ(pressed.m[1][1], 0.4f * 0.98f);
    EXPECT_FLOAT_EQ(pressed.m[3][1], 1.47f);
    EXPECT_FLOAT_EQ(pressed.m[3][0], 0.0f);
    // Afterwards the device is left lit, unblended and without a texture.
    const TDeviceState& after = w.Renderer.Device().State();
    EXPECT_EQ(after.RenderStates[rsLighting], StateTrue);
    EXPECT_EQ(after.RenderStates[rsAlphaBlendEnable], StateFalse);
    EXPECT_EQ(after.Texture, nullptr);

    // ShowScreen undoes the pressed look.
    w.Menu.Pressed = false;
    w.Menu.ShowScreen(1);
    w.DrawnWidths();
    EXPECT_FLOAT_EQ(w.Renderer.Device().Draws.back().State.World.m[3][1], 2.0f);
}

TEST(D3DMenu, SwapItemShowsOneHidesTheOtherAndMovesTheHighlight)
{
    auto items = Column(3);
    items[1].Visible = false;
    TWidget w(items);
    w.Menu.SwapItem(3, 2);
    EXPECT_TRUE(w.Menu.Screens[1].Items[2].Visible);
    EXPECT_FALSE(w.Menu.Screens[1].Items[3].Visible);
    EXPECT_EQ(w.Selected(), 2);
    EXPECT_EQ(w.Menu.Screens[1].HoverItem, 2);
    EXPECT_EQ(w.DrawnWidths(), (std::vector<int>{11, 52}));
}

TEST(D3DMenu, RefusesItemsBeyondTheScreensAndTheTwentiethAndDrawsItemsWithoutImages)
{
    TWidget w({});
    const auto image = w.Tmp.Path() / "x.tga";
    WriteImage(image, 7, 1);
    for (int i = 1; i <= MaxMenuItems; ++i)
    {
        EXPECT_TRUE(
            w.Menu.AddItem(w.Renderer.R.Device, 2, image, image, {}, {1, 1, 1}, {}, true, true));
    }
    EXPECT_FALSE(
        w.Menu.AddItem(w.Renderer.R.Device, 2, image, image, {}, {1, 1, 1}, {}, true, true));
    EXPECT_FALSE(
        w.Menu.AddItem(w.Renderer.R.Device, 3, image, image, {}, {1, 1, 1}, {}, true, true));
    EXPECT_EQ(w.Menu.Screens[2].ItemCount, MaxMenuItems);

    // Only the screen shown holds its pictures: read when it shows, let go when another does.
    const TMenuItem& first = w.Menu.Screens[2].Items[1];
    EXPECT_EQ(first.NormalSprite->Texture, nullptr);
    w.Menu.ShowScreen(2);
    EXPECT_EQ(w.DrawnWidths(), std::vector<int>(MaxMenuItems, 7));
    w.Menu.ShowScreen(1);
    EXPECT_EQ(first.NormalSprite->Texture, nullptr);
    EXPECT_EQ(first.HighlightSprite->Texture, nullptr);

    // An item whose images are missing has no sprites; the screen still draws.
    EXPECT_TRUE(w.Menu.AddItem(w.Renderer.R.Device, 1, w.Tmp.Path() / "none.tga",
                               w.Tmp.Path() / "none.tga", {}, {1, 1, 1}, {}, true, true));
    w.Menu.ShowScreen(1);
    EXPECT_TRUE(w.DrawnWidths().empty());
}
