#include "tests/support/TestSupport.h"
#include "app/VideoMode.h"

#include <gtest/gtest.h>

namespace
{
struct TCase
{
    bool Fullscreen, Desktop, Pseudo;
    uint8_t Resolution, Color;
};

struct TResult
{
    TVideoMode Mode;
    std::vector<std::string> Log;
    uint8_t Resolution;
};

TResult Decide(const TCase& c, TResolution display = {1920, 1080})
{
    TempFolder tmp;
    TOptions o(tmp.Path() / "settings.ini");
    o.Fullscreen = c.Fullscreen;
    o.Desktop = c.Desktop;
    o.PseudoFullscreen = c.Pseudo;
    o.Resolution = c.Resolution;
    o.Color = c.Color;
    TResult r;
    r.Mode = ChooseVideoMode(o, display, r.Log);
    r.Resolution = o.Resolution;
    return r;
}
} // namespace

TEST(VideoMode, TheFiveRowsOfTheModeTable)
{
    // Full screen at the chosen mode.
    auto r = Decide({true, false, false, 3, 1});
    EXPECT_TRUE(r.Mode.Borderless && r.Mode.DeviceFullscreen);
    EXPECT_EQ(r.Mode.Width, 800);
    EXPECT_EQ(r.Mode.Height, 600);
    EXPECT_EQ(r.Mode.ColourBits, 32);
    EXPECT_EQ(r.Log, (std::vector<std::string>{" Fullscreen = True", " Resolution = 3 = 800x600x32"}));

    // Full screen at the display's size.
    r = Decide({true, true, false, 6, 1});
    EXPECT_TRUE(r.Mode.Borderless && r.Mode.DeviceFullscreen);
    EXPECT_EQ(r.Mode.Width, 1920);
    EXPECT_EQ(r.Resolution, 9);
    EXPECT_EQ(r.Log, (std::vector<std::string>{" use desktop settings", " Fullscreen = True",
                                               " Resolution = 9 = 1920x1080x32"}));

    // Pseudo full screen: borderless at the display's size with a windowed device, and
    // the log still says full screen.
    r = Decide({true, false, true, 2, 0});
    EXPECT_TRUE(r.Mode.Borderless);
    EXPECT_FALSE(r.Mode.DeviceFullscreen);
    EXPECT_EQ(r.Mode.Height, 1080);
    EXPECT_EQ(r.Log, (std::vector<std::string>{" use desktop settings with pseudofullscreen mode",
                                               " Fullscreen = True", " Resolution = 9 = 1920x1080x16"}));

    // Windowed at the chosen outer size; Desktop does not matter.
    r = Decide({false, true, false, 4, 0});
    EXPECT_FALSE(r.Mode.Borderless || r.Mode.DeviceFullscreen);
    EXPECT_EQ(r.Mode.Width, 1024);
    EXPECT_EQ(r.Mode.Height, 768);
    EXPECT_EQ(r.Resolution, 4);
    EXPECT_EQ(r.Log, (std::vector<std::string>{" Fullscreen = False", " Resolution = 4 = 1024x768x16"}));

    // Windowed with the pseudo full screen: a window of the display's size.
    r = Decide({false, false, true, 4, 1});
    EXPECT_TRUE(r.Mode.Borderless) << "the pseudo full screen has no border";
    EXPECT_FALSE(r.Mode.DeviceFullscreen);
    EXPECT_EQ(r.Mode.Width, 1920);
    EXPECT_EQ(r.Log.back(), " Resolution = 9 = 1920x1080x32");
}

TEST(VideoMode, ResolutionNineIsSavedAfterADesktopSizedRun)
{
    TempFolder tmp;
    TOptions o(tmp.Path() / "settings.ini");
    o.Load(); // first run: full screen at the desktop's size, Resolution 6
    std::vector<std::string> log;
    ChooseVideoMode(o, {1920, 1080}, log);
    ASSERT_TRUE(o.Save()); // as the main window's close does
    TOptions again(tmp.Path() / "settings.ini");
    again.Load();
    EXPECT_EQ(again.Resolution, 9);
    EXPECT_NE(ReadFile(tmp.Path() / "settings.ini").find("Resolution=9\n"), std::string::npos);

    // A later run in a window with that 9 stored opens at the display's size rather than
    // at an unset 0 x 0.
    again.Fullscreen = false;
    std::vector<std::string> log2;
    const TVideoMode mode = ChooseVideoMode(again, {1600, 900}, log2);
    EXPECT_EQ(mode.Width, 1600);
    EXPECT_EQ(mode.Height, 900);
    EXPECT_EQ(log2.back(), " Resolution = 9 = 1600x900x16");
}

// A window lies with its frame wholly on the usable area, its shape kept where it must
// shrink; a stored size is its client area, kept from start to start with the maximised state.
TEST(VideoMode, AWindowAndItsFrameFitTheScreenAndTheClientSizeKeeps)
{
    const TFrameBorders frame{20, 1, 5, 1};
    // 800 x 600 outer on a 640 x 480 screen (the window was put at (-79, -40)).
    EXPECT_EQ(FitOnScreen({-79, -40, 798, 575}, frame, {0, 0, 640, 480}), (TScreenRect{1, 20, 631, 455}));
    // Fits already: left where it is; past the right and bottom edges: moved in.
    EXPECT_EQ(FitOnScreen({100, 100, 400, 300}, frame, {0, 0, 1920, 1080}), (TScreenRect{100, 100, 400, 300}));
    EXPECT_EQ(FitOnScreen({1800, 1000, 400, 300}, frame, {0, 30, 1920, 1050}), (TScreenRect{1519, 775, 400, 300}));
    // Leaving full screen at the display's size: under the title bar, whole.
    TVideoMode display;
    display.Width = 1920;
    display.Height = 1080;
    display.ClientSize = true;
    EXPECT_EQ(WindowClientSize(display, frame, {0, 0, 1920, 1080}), (TResolution{1875, 1055}));
    display.ClientSize = false; // an outer size chosen in the options: the frame comes off it
    display.Width = 800;
    display.Height = 600;
    EXPECT_EQ(WindowClientSize(display, frame, {0, 0, 1920, 1080}), (TResolution{798, 575}));

    TempFolder tmp;
    TResolution first{};
    for (int start = 0; start < 3; ++start)
    {
        TOptions o(tmp.Path() / "settings.ini");
        o.Load();
        o.Fullscreen = false;
        std::vector<std::string> log;
        const TVideoMode mode = ChooseVideoMode(o, {1920, 1080}, log);
        const TResolution size = WindowClientSize(mode, frame, {0, 0, 1920, 1080});
        first = start == 0 ? size : first;
        EXPECT_EQ(size, first) << "start " << start; // the same client area at every start
        EXPECT_EQ(mode.Maximised, start > 0);
        o.WindowSize = size; // as the window is closed, left maximised
        o.WindowMaximised = true;
        ASSERT_TRUE(o.Save());
    }
}
