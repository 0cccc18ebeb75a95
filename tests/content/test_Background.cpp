// The back plane as the player sees it: grid lines exactly on the cell borders of the 9 x 9
// board, light windows where the game writes its purple numbers, dark sockets for the lamps.
#include "tests/content/ContentReaders.h"

#include <gtest/gtest.h>

namespace
{
// A picture point shows world x = 5.425 - 14.45 u, y = 5.16875 - 10.8375 v.
struct TProbe
{
    const TPicture& P;
    int PixelX(double x) const { return static_cast<int>((5.425 - x) / 14.45 * P.Width); }
    int PixelY(double y) const { return static_cast<int>((5.16875 - y) / 10.8375 * P.Height); }
    double Luma(int px, int py) const
    {
        const uint8_t* p = P.At(px, py);
        return 0.3 * p[0] + 0.59 * p[1] + 0.11 * p[2];
    }
    double At(double x, double y) const { return Luma(PixelX(x), PixelY(y)); }
};

const TPicture& Background()
{
    static const TPicture p = ReadJpeg(GameFolder() / "Images" / "background.jpg");
    return p;
}
} // namespace

TEST(Background, IsAFourByThreePicture)
{
    const TPicture& p = Background();
    EXPECT_EQ(p.Width * 3, p.Height * 4);
    EXPECT_GE(p.Width, 1024);
}

TEST(Background, GridLinesLieOnTheCellBorders)
{
    const TProbe probe{Background()};
    const double cell = probe.P.Width / 14.45;
    for (int k = 0; k <= 9; ++k)
    {
        const double border = 4.5 - k;
        for (int c = -4; c <= 4; ++c)
        {
            // A vertical line at x = border, crossing the row of cells at y = c.
            const int lx = probe.PixelX(border);
            const int ly = probe.PixelY(c);
            const double line = std::max(probe.Luma(lx, ly), probe.Luma(lx - 1, ly));
            if (k > 0)
            {
                EXPECT_GT(line, probe.Luma(lx - static_cast<int>(cell * 0.3), ly) + 25)
                    << "x " << border << " y " << c;
            }
            if (k < 9)
            {
                EXPECT_GT(line, probe.Luma(lx + static_cast<int>(cell * 0.3), ly) + 25)
                    << "x " << border << " y " << c;
            }
            // A horizontal line at y = border, crossing the column of cells at x = c.
            const int hx = probe.PixelX(c);
            const int hy = probe.PixelY(border);
            const double across = std::max(probe.Luma(hx, hy), probe.Luma(hx, hy - 1));
            if (k > 0)
            {
                EXPECT_GT(across, probe.Luma(hx, hy - static_cast<int>(cell * 0.3)) + 25)
                    << "y " << border << " x " << c;
            }
            if (k < 9)
            {
                EXPECT_GT(across, probe.Luma(hx, hy + static_cast<int>(cell * 0.3)) + 25)
                    << "y " << border << " x " << c;
            }
        }
    }
}

TEST(Background, CellCentresAreFreeOfLines)
{
    const TProbe probe{Background()};
    for (int x = -4; x <= 4; ++x)
    {
        for (int y = -4; y <= 4; ++y)
        {
            // Where cubes stand the tile is dark and even, not crossed by anything bright.
            EXPECT_LT(probe.At(x, y), 110) << x << ", " << y;
            EXPECT_NEAR(probe.At(x + 0.2, y), probe.At(x - 0.2, y), 30) << x << ", " << y;
        }
    }
}

TEST(Background, NumbersAreWrittenOnLightWindows)
{
    const TProbe probe{Background()};
    // Level number from (-6.75, 3.6), score around (-6.9, 1.93), figure value from (-6.4, -3.5):
    // purple digits need a light ground along their whole run.
    for (double x = -6.8; x > -7.8; x -= 0.2)
    {
        EXPECT_GT(probe.At(x, 3.6), 170) << "level at " << x;
    }
    for (double x = -5.9; x > -8.2; x -= 0.2)
    {
        EXPECT_GT(probe.At(x, 1.93), 170) << "score at " << x;
    }
    for (double x = -6.45; x > -7.9; x -= 0.2)
    {
        EXPECT_GT(probe.At(x, -3.5), 170) << "figure value at " << x;
    }
}

TEST(Background, LampsAndProgressBarHaveDarkBeds)
{
    const TProbe probe{Background()};
    for (int j = 0; j < 5; ++j)
    {
        EXPECT_LT(probe.At(-6.387875 - 0.289 * j, 0.5266875), 70) << "lamp " << j + 1;
    }
    for (double x = 4.4; x > -4.2; x -= 0.5)
    {
        EXPECT_LT(probe.At(x, -5.33), 70) << "progress groove at " << x;
    }
}
