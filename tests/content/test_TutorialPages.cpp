// The tutorial and help pages show frames of the real game: a regular grid of board cells
// and cubes in the skins' colours inside the picture frames, nothing of the kind in the text
// pane; and a second render of the pages gives the same bytes.
#include "tests/content/ContentReaders.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace
{
std::filesystem::path Images() { return GameFolder() / "Images"; }

// A part of a page in world units of the back plane (x grows to the left).
struct TRegion
{
    double Left, Top, Right, Bottom;
};

struct TPixels
{
    int X0, Y0, X1, Y1;
};

TPixels ToPixels(const TPicture& p, const TRegion& r)
{
    auto px = [&](double x) { return static_cast<int>((5.425 - x) / 14.45 * p.Width); };
    auto py = [&](double y) { return static_cast<int>((5.16875 - y) / 10.8375 * p.Height); };
    return {px(r.Left), py(r.Top), px(r.Right), py(r.Bottom)};
}

double Luma(const uint8_t* c) { return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]; }

// Columns where thin bright lines run down the region: a pixel brighter by 18 than the pixels
// four to the left and right is a peak; a column (give or take one pixel) with peaks in at
// least 40% of the rows is a line. Returns the lines' x positions.
std::vector<int> VerticalLines(const TPicture& p, const TPixels& r)
{
    std::map<int, int> peaks;
    int rows = 0;
    for (int y = r.Y0; y < r.Y1; y += 2)
    {
        ++rows;
        for (int x = r.X0 + 4; x < r.X1 - 4; ++x)
        {
            const double here = Luma(p.At(x, y));
            if (here > Luma(p.At(x - 4, y)) + 18 && here > Luma(p.At(x + 4, y)) + 18 &&
                here >= Luma(p.At(x - 1, y)) && here >= Luma(p.At(x + 1, y)))
            {
                ++peaks[x];
            }
        }
    }
    std::vector<int> lines;
    for (int x = r.X0; x < r.X1; ++x)
    {
        const int n = (peaks.count(x - 1) ? peaks[x - 1] : 0) + (peaks.count(x) ? peaks[x] : 0) +
                      (peaks.count(x + 1) ? peaks[x + 1] : 0);
        if (n >= rows * 4 / 10 && (lines.empty() || x - lines.back() > 3))
        {
            lines.push_back(x);
        }
    }
    return lines;
}

// The lines hold a grid when at least four of them in a row are evenly spaced (give or take
// 3 pixels) at least 20 pixels apart; a frame's rim beside them does not spoil it.
bool RegularGrid(const std::vector<int>& lines)
{
    size_t run = 0;
    for (size_t i = 1; i < lines.size(); ++i)
    {
        const int gap = lines[i] - lines[i - 1];
        size_t n = 1;
        int lo = gap;
        int hi = gap;
        for (size_t j = i + 1; j < lines.size(); ++j)
        {
            const int g = lines[j] - lines[j - 1];
            if (std::max(hi, g) - std::min(lo, g) > 3)
            {
                break;
            }
            lo = std::min(lo, g);
            hi = std::max(hi, g);
            ++n;
        }
        if (lo >= 20)
        {
            run = std::max(run, n);
        }
    }
    return run >= 3;
}

// The colours of the first skin's cubes: the mean of the strongly coloured pixels of each flat
// face (the white cube has too few of them to say).
std::vector<std::array<double, 3>> SkinColours()
{
    std::vector<std::array<double, 3>> colours;
    for (int k = 0; k < 7; ++k)
    {
        const TPicture t = ReadTga(Images() / "Skin1" / ("tex" + std::to_string(k) + ".tga"));
        std::array<double, 3> sum{};
        int n = 0;
        for (int y = t.Height / 5; y < t.Height * 4 / 5; ++y)
        {
            for (int x = t.Width / 5; x < t.Width * 4 / 5; ++x)
            {
                const uint8_t* c = t.At(x, y);
                if (std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}) > 60)
                {
                    for (int i = 0; i < 3; ++i)
                    {
                        sum[i] += c[i];
                    }
                    ++n;
                }
            }
        }
        if (n < t.Width * t.Height / 50)
        {
            continue;
        }
        for (double& v : sum)
        {
            v /= n;
        }
        colours.push_back(sum);
    }
    return colours;
}

// How many of the cube colours show in the region (each in at least 150 pixels).
int CubeColoursShown(const TPicture& p, const TPixels& r)
{
    static const std::vector<std::array<double, 3>> skins = SkinColours();
    int shown = 0;
    for (const auto& s : skins)
    {
        int n = 0;
        for (int y = r.Y0; y < r.Y1; ++y)
        {
            for (int x = r.X0; x < r.X1; ++x)
            {
                const uint8_t* c = p.At(x, y);
                const double d = std::sqrt(std::pow(c[0] - s[0], 2) + std::pow(c[1] - s[1], 2) +
                                           std::pow(c[2] - s[2], 2));
                n += d < 45;
            }
        }
        shown += n >= 150;
    }
    return shown;
}

// The right-hand picture of pages 1 to 8 is a piece of the board; its middle is sure to be
// inside the frame whatever the picture's proportions.
const TRegion RightPicture{-2.7, 3.2, -7.6, -0.3};
const TRegion TextPane{3.8, -2.0, -7.4, -4.1};
} // namespace

TEST(TutorialPages, ThePicturesAreRenderedBoardsWithCubes)
{
    for (int page = 1; page <= 8; ++page)
    {
        SCOPED_TRACE("page " + std::to_string(page));
        const TPicture p = ReadJpeg(Images() / "Tutorial" / ("tut" + std::to_string(page) + ".jpg"));
        const TPixels shot = ToPixels(p, RightPicture);
        const std::vector<int> lines = VerticalLines(p, shot);
        std::string at;
        for (int x : lines)
        {
            at += " " + std::to_string(x);
        }
        EXPECT_TRUE(RegularGrid(lines)) << "grid lines at" << at;
        EXPECT_GE(CubeColoursShown(p, shot), 1) << "no cube of the skin in the picture";
        // The text pane has neither.
        const TPixels pane = ToPixels(p, TextPane);
        EXPECT_FALSE(RegularGrid(VerticalLines(p, pane)));
        EXPECT_EQ(0, CubeColoursShown(p, pane));
    }
}

TEST(TutorialPages, HelpPageBoxesHoldRenderedBoards)
{
    const TPicture p = ReadJpeg(Images() / "help.jpg");
    // The MOVE box's picture: a strip of the board with a red and a blue cube.
    const TPixels move = ToPixels(p, {4.9, 2.95, 0.8, 1.95});
    const std::vector<int> lines = VerticalLines(p, move);
    std::string at;
    for (int x : lines)
    {
        at += " " + std::to_string(x);
    }
    EXPECT_TRUE(RegularGrid(lines)) << "grid lines at" << at;
    EXPECT_GE(CubeColoursShown(p, move), 2);
}

TEST(TutorialPages, ASecondRenderGivesTheSamePages)
{
    TempFolder out;
    const std::string command = std::string("'") + TANDREL_PAGES_SCRIPT + "' --snapshot '" +
                                TANDREL_SNAPSHOT_TOOL + "' --content '" + TANDREL_CONTENT_TOOL +
                                "' --program '" + GameFolder().string() + "' --out '" +
                                out.Path().string() + "' --scenes '" + TANDREL_PAGES_SCENES +
                                "' --renders '" + (out.Path() / "renders").string() + "' --fonts '" +
                                TANDREL_FONT_DIR + "' > /dev/null";
    ASSERT_EQ(0, std::system(command.c_str()));
    std::vector<std::string> pages = {"help.jpg"};
    for (int page = 1; page <= 9; ++page)
    {
        pages.push_back("Tutorial/tut" + std::to_string(page) + ".jpg");
    }
    for (const std::string& page : pages)
    {
        SCOPED_TRACE(page);
        const auto again = out.Path() / "Images" / page;
        ASSERT_TRUE(std::filesystem::exists(again));
        EXPECT_TRUE(ReadFile(again) == ReadFile(Images() / page)) << page << " differs between renders";
    }
}
