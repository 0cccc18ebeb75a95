// Every picture the game loads: present, decodable, of the right shape, with alpha where the
// game blends it, and the cube skins complete for every skin.
#include "front/Skins.h"
#include "tests/content/ContentReaders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace
{
std::filesystem::path Images() { return GameFolder() / "Images"; }

double Aspect(const TPicture& p) { return static_cast<double>(p.Width) / p.Height; }

uint8_t AlphaAt(const TPicture& p, int x, int y) { return p.At(x, y)[3]; }

bool CornersClear(const TPicture& p)
{
    return AlphaAt(p, 0, 0) == 0 && AlphaAt(p, p.Width - 1, 0) == 0 &&
           AlphaAt(p, 0, p.Height - 1) == 0 && AlphaAt(p, p.Width - 1, p.Height - 1) == 0;
}
} // namespace

TEST(Pictures, FullScreenAndRoomPicturesDecodeInTheirShapes)
{
    struct TCase
    {
        const char* Name;
        double Aspect;
    };
    for (const TCase& c :
         {TCase{"loading.jpg", 4.0 / 3}, TCase{"gameover.jpg", 4.0 / 3}, TCase{"help.jpg", 4.0 / 3},
          TCase{"floor.jpg", 28.0 / 24}, TCase{"wall1.jpg", 24.0 / 12},
          TCase{"wall2.jpg", 24.0 / 12}, TCase{"wall3.jpg", 28.0 / 12},
          TCase{"wall4.jpg", 28.0 / 12}, TCase{"launcher.jpg", 155.0 / 145}})
    {
        SCOPED_TRACE(c.Name);
        const TPicture p = ReadJpeg(Images() / c.Name);
        EXPECT_NEAR(c.Aspect, Aspect(p), 0.02 * c.Aspect);
        EXPECT_GE(p.Width, 300);
    }
}

TEST(Pictures, SpritesHaveAlphaAndTheProportionsTheyAreDrawnAt)
{
    struct TCase
    {
        const char* Name;
        double Aspect; // width / height of the quad the game draws it on; 0 = any
    };
    for (const TCase& c :
         {TCase{"bonuslight.tga", 1}, TCase{"plugbonus.tga", 1.76545 / 2.6095},
          TCase{"dot1.tga", 1}, TCase{"dot2.tga", 1}, TCase{"dot3.tga", 1}, TCase{"cursor.tga", 1},
          TCase{"cursor1.tga", 1}, TCase{"effect1.tga", 1}, TCase{"effect2.tga", 1},
          TCase{"effect3.tga", 1}, TCase{"effect4.tga", 1}, TCase{"effect5.tga", 1},
          TCase{"effect6.tga", 1}, TCase{"newlevel.tga", 4.45 / 0.85},
          TCase{"lineleft.tga", 0.27 / 0.42}, TCase{"icon.tga", 1}})
    {
        SCOPED_TRACE(c.Name);
        const TPicture p = ReadTga(Images() / c.Name);
        EXPECT_NEAR(c.Aspect, Aspect(p), 0.03 * c.Aspect);
        EXPECT_TRUE(CornersClear(p)) << "blended over the scene, its corners must be see-through";
        int solid = 0;
        for (size_t i = 3; i < p.Data.size(); i += 4)
        {
            solid += p.Data[i] > 128;
        }
        EXPECT_GT(solid, 4);
    }
}

TEST(Pictures, ProgressBarLooksTheSameAllAlongItsLength)
{
    // The game stretches line.tga over up to 8.75 units: every column must match.
    const TPicture p = ReadTga(Images() / "line.tga");
    for (int y = 0; y < p.Height; ++y)
    {
        for (int x = 1; x < p.Width; ++x)
        {
            for (int c = 0; c < 4; ++c)
            {
                ASSERT_EQ(p.At(0, y)[c], p.At(x, y)[c]) << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(0, AlphaAt(p, 0, 0));
    EXPECT_EQ(255, AlphaAt(p, 0, p.Height / 2));
}

TEST(Pictures, CursorsHaveTheirHotSpotAtTheCentre)
{
    const TPicture arrow = ReadTga(Images() / "cursor.tga");
    const int cx = arrow.Width / 2;
    const int cy = arrow.Height / 2;
    // The arrow's tip is at the centre and the arrow lies below and to the right of it.
    EXPECT_GT(AlphaAt(arrow, cx + 1, cy + 2), 200);
    // (A rim of a few pixels round the tip is allowed.)
    for (int y = 0; y < cy - 5; ++y)
    {
        for (int x = 0; x < arrow.Width; ++x)
        {
            ASSERT_EQ(0, AlphaAt(arrow, x, y)) << "nothing above the tip: " << x << ", " << y;
        }
    }
    for (int y = 0; y < arrow.Height; ++y)
    {
        for (int x = 0; x < cx - 5; ++x)
        {
            ASSERT_EQ(0, AlphaAt(arrow, x, y)) << "nothing left of the tip: " << x << ", " << y;
        }
    }
    // The crosshair is balanced around the centre.
    const TPicture aim = ReadTga(Images() / "cursor1.tga");
    double sx = 0;
    double sy = 0;
    double total = 0;
    for (int y = 0; y < aim.Height; ++y)
    {
        for (int x = 0; x < aim.Width; ++x)
        {
            const double a = AlphaAt(aim, x, y);
            sx += a * (x + 0.5);
            sy += a * (y + 0.5);
            total += a;
        }
    }
    ASSERT_GT(total, 0);
    EXPECT_NEAR(aim.Width / 2.0, sx / total, 1.0);
    EXPECT_NEAR(aim.Height / 2.0, sy / total, 1.0);
}

TEST(Pictures, LoadingPictureLeavesDarkSocketsForItsThirtyLamps)
{
    const TPicture p = ReadJpeg(Images() / "loading.jpg");
    for (int i = 0; i < 30; ++i)
    {
        const double x = 1.9 - 0.255 * i;
        const int px = static_cast<int>((5.425 - x) / 14.45 * p.Width);
        const int py = static_cast<int>((5.16875 + 0.28) / 10.8375 * p.Height);
        const uint8_t* c = p.At(px, py);
        EXPECT_LT(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2], 60) << "lamp " << i + 1;
    }
}

TEST(Skins, EverySkinHasAllEighteenOpaqueSquareTextures)
{
    for (int skin = 1; skin <= SkinCount; ++skin)
    {
        for (int k = 0; k < CubeTextureCount; ++k)
        {
            const auto file = GameFolder() / SkinFile(skin, k);
            SCOPED_TRACE(file.string());
            const TPicture p = ReadTga(file);
            EXPECT_EQ(p.Width, p.Height);
            EXPECT_EQ(0, p.Width & (p.Width - 1)) << "a power of two";
            for (size_t i = 3; i < p.Data.size(); i += 4)
            {
                ASSERT_EQ(255, p.Data[i]) << "cubes are opaque";
            }
        }
    }
}

TEST(Skins, TheSevenColoursOfEachSkinStayApart)
{
    for (int skin = 1; skin <= SkinCount; ++skin)
    {
        double mean[7][3] = {};
        for (int k = 0; k < 7; ++k)
        {
            const TPicture p = ReadTga(GameFolder() / SkinFile(skin, k));
            // The flat face spans 0.1004 .. 0.8996 of the picture. Its colour is that of its
            // strongly coloured pixels (leaving out white or black symbols, dark glass), or of
            // all of them for a cube with no strong colour at all.
            const int lo = static_cast<int>(0.1004 * p.Width) + 1;
            const int hi = static_cast<int>(0.8996 * p.Width) - 1;
            double all[3] = {};
            int n = 0;
            int strong = 0;
            for (int y = lo; y < hi; ++y)
            {
                for (int x = lo; x < hi; ++x)
                {
                    const uint8_t* c = p.At(x, y);
                    const int spread = std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
                    for (int i = 0; i < 3; ++i)
                    {
                        all[i] += c[i];
                        if (spread > 60)
                        {
                            mean[k][i] += c[i];
                        }
                    }
                    strong += spread > 60;
                    ++n;
                }
            }
            for (int i = 0; i < 3; ++i)
            {
                mean[k][i] = strong > n / 20 ? mean[k][i] / strong : all[i] / n;
            }
        }
        for (int a = 0; a < 7; ++a)
        {
            for (int b = a + 1; b < 7; ++b)
            {
                const double d = std::sqrt(std::pow(mean[a][0] - mean[b][0], 2) +
                                           std::pow(mean[a][1] - mean[b][1], 2) +
                                           std::pow(mean[a][2] - mean[b][2], 2));
                EXPECT_GT(d, 40.0) << "skin " << skin << ": colours " << a + 1 << " and " << b + 1;
            }
        }
    }
}

TEST(Tutorial, NinePagesWithTheirFootClearForTheButtons)
{
    for (int page = 1; page <= 9; ++page)
    {
        SCOPED_TRACE(page);
        const TPicture p =
            ReadJpeg(Images() / "Tutorial" / ("tut" + std::to_string(page) + ".jpg"));
        EXPECT_NEAR(4.0 / 3.0, Aspect(p), 0.01);
        // Close, next and previous sit at y -5.0 across the page: nothing bright there.
        const int y0 = static_cast<int>((5.16875 + 4.65) / 10.8375 * p.Height);
        const int y1 = static_cast<int>((5.16875 + 5.35) / 10.8375 * p.Height);
        double brightest = 0;
        for (int y = y0; y < y1; ++y)
        {
            for (int x = 0; x < p.Width; ++x)
            {
                const uint8_t* c = p.At(x, y);
                brightest = std::max(brightest, 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]);
            }
        }
        EXPECT_LT(brightest, 140);
    }
}

TEST(Pictures, EveryLanguageHasItsOwnPicturesWithWordsAndVoiceLines)
{
    std::vector<std::string> jpegs = {"Images/loading.jpg", "Images/gameover.jpg", "Images/help.jpg",
                                      "Images/background.jpg"};
    for (int page = 1; page <= 9; ++page)
    {
        jpegs.push_back("Images/Tutorial/tut" + std::to_string(page) + ".jpg");
    }
    for (const std::string& code : ShippedLanguages())
    {
        SCOPED_TRACE(code);
        const std::filesystem::path own = GameFolder() / "lang" / code;
        auto same = [&](const TPicture& a, const TPicture& b, const std::string& file, bool words = true)
        {
            EXPECT_EQ(a.Width, b.Width) << file;
            EXPECT_EQ(a.Height, b.Height) << file;
            EXPECT_TRUE(!words || a.Data != b.Data) << file << " shows the English words";
        };
        for (const std::string& file : jpegs)
        {
            same(ReadJpeg(own / file), ReadJpeg(GameFolder() / file), file);
        }
        same(ReadTga(own / "Images/newlevel.tga"), ReadTga(GameFolder() / "Images/newlevel.tga"), "newlevel");
        // "BONUS LEVEL" is the same in German.
        same(ReadTga(own / "Images/plugbonus.tga"), ReadTga(GameFolder() / "Images/plugbonus.tga"), "plugbonus",
             code != "de");
        for (const std::string file : {"vDouble", "vTriple", "vQuadro", "vExcellent", "vTandrel"})
        {
            const TAudio voice = ReadOgg(own / "Sounds" / (file + ".ogg"));
            EXPECT_EQ(voice.Channels, 2) << file;
            EXPECT_GT(voice.Seconds(), 0.4) << file;
            EXPECT_NE(voice.Samples, ReadOgg(GameFolder() / "Sounds" / (file + ".ogg")).Samples) << file;
        }
        // Nothing else: every file of the language stands in for an English one.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(own))
        {
            EXPECT_TRUE(!entry.is_regular_file() ||
                        std::filesystem::exists(GameFolder() / std::filesystem::relative(entry.path(), own)))
                << entry.path();
        }
    }
}
