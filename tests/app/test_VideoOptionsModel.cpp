#include "tests/support/TestSupport.h"
#include "app/VideoMode.h"
#include "app/VideoOptionsModel.h"

#include <gtest/gtest.h>

namespace
{
struct TDialog
{
    TDialog() : Options(Tmp.Path() / "settings.ini"), Model(Options)
    {
        Options.ShowMessage = [](const std::string& m) { ADD_FAILURE() << m; };
        Options.Load(); // first run: defaults written
    }

    void Set(bool fullscreen, bool desktop, uint8_t resolution, bool help)
    {
        Options.Fullscreen = fullscreen;
        Options.Desktop = desktop;
        Options.Resolution = resolution;
        Options.Help = help;
        Options.Save();
    }

    TempFolder Tmp;
    TOptions Options;
    TVideoOptionsModel Model;
};

// What a player sees: the radio item, "Use desktop settings" (enabled, checked), the
// resolution list (enabled, selection) and the help box.
struct TView
{
    int Item;
    bool DesktopEnabled, DesktopChecked, ResolutionEnabled;
    int Resolution;
    bool Help;

    friend bool operator==(const TView&, const TView&) = default;
    friend std::ostream& operator<<(std::ostream& out, const TView& v)
    {
        return out << "item " << v.Item << " desktop " << v.DesktopEnabled << v.DesktopChecked << " list "
                   << v.ResolutionEnabled << " " << v.Resolution << " help " << v.Help;
    }
};

TView Seen(const TVideoOptionsModel& m)
{
    return {m.Item, m.DesktopEnabled, m.DesktopChecked, m.ResolutionEnabled, m.Resolution, m.ShowHelp};
}
} // namespace

TEST(VideoOptionsModel, ShowingPresentsTheStoredSettings)
{
    TDialog d;
    // First-run settings: full screen at the desktop's size, help on.
    d.Model.Show();
    EXPECT_EQ(Seen(d.Model), (TView{0, true, true, false, 3, true}));

    d.Set(true, false, 5, false);
    d.Model.Show();
    EXPECT_EQ(Seen(d.Model), (TView{0, true, false, true, 5, false}));

    d.Set(false, false, 2, true);
    d.Model.Show();
    EXPECT_EQ(Seen(d.Model), (TView{1, false, false, true, 2, true}));

    // Windowed with Desktop stored on: the box is greyed out but checked as stored, so
    // the list is greyed out too and shows 800x600.
    d.Set(false, true, 7, true);
    d.Model.Show();
    EXPECT_EQ(Seen(d.Model), (TView{1, false, true, false, 3, true}));

    // After a run at the display's size the list shows nothing.
    d.Set(false, false, 9, true);
    d.Model.Show();
    EXPECT_EQ(Seen(d.Model), (TView{1, false, false, true, TVideoOptionsModel::NoResolution, true}));
}

TEST(VideoOptionsModel, RadioItemsAndDesktopBoxEnableTheirControls)
{
    TDialog d;
    d.Set(true, false, 6, true);
    d.Model.Show();
    EXPECT_EQ(Seen(d.Model), (TView{0, true, false, true, 6, true}));

    d.Model.PickItem(TVideoOptionsModel::WindowedItem);
    EXPECT_EQ(Seen(d.Model), (TView{1, false, false, true, 6, true}));
    d.Model.SetDesktop(true); // greyed out: no effect
    EXPECT_EQ(Seen(d.Model), (TView{1, false, false, true, 6, true}));

    d.Model.PickItem(TVideoOptionsModel::FullscreenItem);
    EXPECT_EQ(Seen(d.Model), (TView{0, true, true, false, 3, true}));
    d.Model.SelectResolution(8); // greyed out: no effect
    EXPECT_EQ(d.Model.Resolution, 3);

    // Unchecking enables the list without changing its selection.
    d.Model.SetDesktop(false);
    EXPECT_EQ(Seen(d.Model), (TView{0, true, false, true, 3, true}));
    d.Model.SelectResolution(8);
    EXPECT_EQ(d.Model.Resolution, 8);
    d.Model.SetDesktop(true);
    EXPECT_EQ(Seen(d.Model), (TView{0, true, true, false, 3, true}));

    d.Model.SetShowHelp(false);
    EXPECT_FALSE(d.Model.ShowHelp);
}

TEST(VideoOptionsModel, OkStoresAndSavesTheChoices)
{
    TDialog d;
    d.Model.Show();
    d.Model.PickItem(TVideoOptionsModel::WindowedItem);
    d.Model.SelectResolution(4);
    d.Model.SetShowHelp(false);
    d.Model.Ok();
    EXPECT_FALSE(d.Options.Fullscreen);
    EXPECT_FALSE(d.Options.Desktop);
    EXPECT_EQ(d.Options.Resolution, 4);
    EXPECT_EQ(d.Options.Color, 1) << "32 bits, always, though the first-run default is 16";
    EXPECT_FALSE(d.Options.Help);

    // The choices are in the file at once.
    TOptions stored(d.Options.File());
    stored.Load();
    EXPECT_FALSE(stored.Fullscreen);
    EXPECT_EQ(stored.Resolution, 4);
    EXPECT_EQ(stored.Color, 1);
    EXPECT_FALSE(stored.Help);
    EXPECT_EQ(stored.SoundVol, 160) << "values without a control are saved unchanged";
}

TEST(VideoOptionsModel, OkWithoutAResolutionStoresEntry3)
{
    // A run at the display's size left 9; confirming without a choice stores 800x600.
    TDialog d;
    d.Set(false, false, 9, true);
    d.Model.Show();
    d.Model.Ok();
    EXPECT_EQ(d.Options.Resolution, 3);
    EXPECT_EQ(d.Options.Color, 1);

    // With "Use desktop settings" checked the list shows 800x600 and that is stored.
    TDialog e;
    e.Set(true, true, 6, true);
    e.Model.Show();
    e.Model.Ok();
    EXPECT_EQ(e.Options.Resolution, 3);
    EXPECT_TRUE(e.Options.Desktop);
    EXPECT_TRUE(e.Options.Fullscreen);
}

TEST(VideoOptionsModel, CancelChangesNothing)
{
    TDialog d;
    d.Set(true, false, 5, true);
    const std::string before = ReadFile(d.Options.File());
    d.Model.Show();
    d.Model.PickItem(TVideoOptionsModel::WindowedItem);
    d.Model.SelectResolution(1);
    d.Model.SetShowHelp(false);
    // Cancel: the model is simply dropped.
    EXPECT_TRUE(d.Options.Fullscreen);
    EXPECT_EQ(d.Options.Resolution, 5);
    EXPECT_TRUE(d.Options.Help);
    EXPECT_EQ(ReadFile(d.Options.File()), before);
    // The next showing shows the stored values again.
    d.Model.Show();
    EXPECT_EQ(Seen(d.Model), (TView{0, true, false, true, 5, true}));
}

// The display's modes follow the nine; a pick of one is stored as entry 9 with its size
// (WindowWidth, WindowHeight) and used by the video mode; an absurd stored size falls back,
// and one the display cannot take stays stored. Modes beyond the desktop are not offered.
TEST(VideoOptionsModel, TheDisplaysOwnModesFollowTheNineAndTheDesktopSizeIsShown)
{
    TDialog d;
    d.Model.SetDisplay({1920, 1080}, {{2560, 1440}, {1920, 1080}, {1280, 1024}, {1920, 1080}, {1280, 800}});
    const std::vector<std::string> rows = d.Model.Entries();
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 8, rows.end()),
              (std::vector<std::string>{"1280x1024", "1920x1080", "1280x800"})); // none beyond the desktop
    d.Model.Show(); // first run: the greyed list shows the size used, OK would still store 3
    EXPECT_EQ(d.Model.Row, 9);
    EXPECT_EQ(d.Model.Resolution, 3);

    d.Model.PickItem(TVideoOptionsModel::WindowedItem);
    d.Model.SelectResolution(10);
    d.Model.Ok();
    TOptions stored(d.Tmp.Path() / "settings.ini");
    stored.Load();
    EXPECT_EQ(stored.Resolution, 9);
    EXPECT_EQ(stored.WindowSize, (TResolution{1280, 800}));
    d.Model.Show();
    EXPECT_EQ(d.Model.Row, 10);
    for (const bool fullscreen : {false, true}) // a window of that size, or that display mode
    {
        stored.Fullscreen = fullscreen;
        stored.Desktop = false;
        std::vector<std::string> log;
        const TVideoMode mode = ChooseVideoMode(stored, {1920, 1080}, log);
        EXPECT_EQ(mode.Width * 10000 + mode.Height, 1280 * 10000 + 800);
    }
    for (const TResolution absurd : {TResolution{0, 700}, TResolution{-5, -5}, TResolution{3000, 700}})
    {
        stored.WindowSize = absurd;
        std::vector<std::string> log;
        EXPECT_EQ(ChooseVideoMode(stored, {1920, 1080}, log).Width, 1920) << absurd.Width;
        // Too small is dropped; too large for this display stays the player's choice.
        EXPECT_EQ(stored.WindowSize, absurd.Width > 1920 ? absurd : TResolution{});
    }
    d.Model.SelectResolution(4); // one of the nine: the size beside is dropped
    d.Model.Ok();
    EXPECT_EQ(d.Options.Resolution, 4);
    EXPECT_EQ(d.Options.WindowSize, TResolution{});
}
