// The cursor's window-edge rules against the real system pointer of the X server the test
// runs in: the pointer is put in place with SDL and read back both through SDL and, where
// the cursor moved it, through xdotool.
#include "render/Cursor.h"
#include "tests/render/RenderTestSupport.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{
constexpr int ClientW = 320, ClientH = 240;

// A renderer on a shown window at (left, top) with a white cursor at the screen centre.
struct TPointerScene
{
    TPointerScene(int left, int top)
    {
        SDL_SetWindowPosition(T.Window, left, top);
        SDL_ShowWindow(T.Window);
        WaitUntil(
            [&]
            {
                SDL_PumpEvents();
                int x = -1, y = -1;
                SDL_GetWindowPosition(T.Window, &x, &y);
                return x == left && y == top && (SDL_GetWindowFlags(T.Window) & SDL_WINDOW_SHOWN) != 0;
            },
            std::chrono::seconds(1));
        std::filesystem::create_directories(Dir.Path() / "Images");
        WriteTga(Dir.Path() / "Images" / "cursor.tga", SolidImage(8, 8, 0xFFFFFFFF));
        T.R.Cursor = std::make_unique<TCursor>(T.R.Device, Dir.Path(), ClientW, ClientH);
        T.R.Cursor->MoveCursor(ClientW / 2, ClientH / 2);
    }

    // Draws a frame with only the cursor; true when the cursor was drawn.
    bool Frame(bool fullscreen, bool pseudoFullscreen)
    {
        TDevice& d = *T.R.Device;
        d.Clear(clTarget | clZBuffer, 0xFF000000, 1.0f);
        d.BeginScene();
        LookFrom(d);
        d.SetRenderState(rsZEnable, StateFalse);
        T.GL().ResetDrawCalls();
        TSDLCursorPlatform platform(T.Window);
        T.R.Cursor->DrawCursor(T.R, 1, platform, fullscreen, pseudoFullscreen);
        const int calls = T.GL().DrawCalls();
        d.SetRenderState(rsZEnable, 1);
        d.EndScene();
        T.GL().Finish();
        const uint32_t centre = T.Frame().At(ClientW / 2, ClientH / 2);
        EXPECT_EQ(calls == 1, Brightness(centre) == 3 * 255) << std::hex << centre;
        return calls == 1;
    }

    TGLRenderer T{ClientW, ClientH};
    TempFolder Dir;
};

void PutPointer(int x, int y)
{
    SDL_WarpMouseGlobal(x, y);
    SDL_PumpEvents();
}

// The pointer as SDL reads it.
std::pair<int, int> SdlPointer()
{
    int x = -1, y = -1;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

// The pointer as the X server reports it to another client.
std::pair<int, int> XPointer()
{
    FILE* p = popen("xdotool getmouselocation 2>/dev/null", "r");
    if (p == nullptr)
    {
        return {-1, -1};
    }
    int x = -1, y = -1;
    if (std::fscanf(p, "x:%d y:%d", &x, &y) != 2)
    {
        x = y = -1;
    }
    pclose(p);
    return {x, y};
}
} // namespace

TEST(CursorPointer, WindowedCursorIsDrawnOnlyWhileThePointerIsStrictlyInsideTheWindow)
{
    TPointerScene s(100, 80);
    const int l = 100, t = 80, r = l + ClientW, b = t + ClientH;
    const struct
    {
        int X, Y;
        bool Drawn;
    } cases[] = {
        {l + ClientW / 2, t + ClientH / 2, true},
        {l + 1, t + 1, true},
        {r - 1, b - 1, true},
        {l, t + 100, false}, // on the left edge: outside (the test is strict)
        {r, t + 100, false},
        {l + 100, t, false},
        {l + 100, b, false},
        {30, 20, false},
        {900, 700, false},
    };
    for (const auto& c : cases)
    {
        PutPointer(c.X, c.Y);
        ASSERT_EQ(SdlPointer(), std::make_pair(c.X, c.Y))
            << "the X server did not take the pointer";
        const float x = s.T.R.Cursor->X(), y = s.T.R.Cursor->Y();
        EXPECT_EQ(s.Frame(false, false), c.Drawn) << c.X << ", " << c.Y;
        // Not drawn, the cursor keeps its place; the pointer is left where it is.
        EXPECT_EQ(s.T.R.Cursor->X(), x);
        EXPECT_EQ(s.T.R.Cursor->Y(), y);
        EXPECT_EQ(SdlPointer(), std::make_pair(c.X, c.Y));
    }
    // In full screen the pointer is not consulted.
    PutPointer(900, 700);
    EXPECT_TRUE(s.Frame(true, false));
    EXPECT_EQ(SdlPointer(), std::make_pair(900, 700));
}

TEST(CursorPointer, PseudoFullScreenPutsThePointerBackInsideTheWindow)
{
    // The display-sized window of the pseudo full screen, here smaller than the X screen
    // so the pointer can leave it to the right and below.
    TPointerScene s(0, 0);
    const struct
    {
        int X, Y, BackX, BackY;
    } cases[] = {
        {150, 100, 150, 100},                                     // inside: left alone
        {ClientW + 80, 100, ClientW - 1, 100},                    // past the right edge
        {ClientW, 100, ClientW - 1, 100},                         // on it
        {150, ClientH + 60, 150, ClientH - 1},                    // below
        {0, 100, 1, 100},                                         // on the left edge
        {150, 0, 150, 1},                                         // on the top edge
        {0, 0, 1, 1},                                             // both, each on a fresh reading
        {ClientW + 300, ClientH + 300, ClientW - 1, ClientH - 1}, // past the corner
    };
    for (const auto& c : cases)
    {
        PutPointer(c.X, c.Y);
        ASSERT_EQ(SdlPointer(), std::make_pair(c.X, c.Y))
            << "the X server did not take the pointer";
        EXPECT_TRUE(s.Frame(true, true)) << c.X << ", " << c.Y;
        SDL_PumpEvents();
        EXPECT_EQ(SdlPointer(), std::make_pair(c.BackX, c.BackY)) << c.X << ", " << c.Y;
        EXPECT_EQ(XPointer(), std::make_pair(c.BackX, c.BackY)) << c.X << ", " << c.Y;
    }
}
