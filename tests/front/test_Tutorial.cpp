// The tutorial: the one-time conversion of its pages into the cache folder, the fallback to a
// JPEG that cannot be converted, the pages of the language shown with English for one it
// lacks, paging within 1..9, and the removal of the bitmaps earlier versions left in the user
// folder.
#include "tests/front/FrontFixture.h"
#include "front/Tutorial.h"

#include "base/DebugLog.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <vector>

namespace fs = std::filesystem;

namespace
{
struct TTutorialFolder
{
    TTutorialFolder()
    {
        SetDebugLogFolder(User);
        for (int n = 1; n <= 9; ++n)
        {
            WriteJpeg(Page(n, ".jpg"), 10 + n, 6, static_cast<uint8_t>(25 * n));
        }
    }
    ~TTutorialFolder() { SetDebugLogFolder({}); }

    fs::path Page(int n, const char* extension) const
    {
        return Program / "Images" / "Tutorial" / ("tut" + std::to_string(n) + extension);
    }
    fs::path Bitmap(int n) const
    {
        return Cache / "Images" / "Tutorial" / ("tut" + std::to_string(n) + ".bmp");
    }

    int ShownWidth(TTutorial& t)
    {
        Renderer.Device().Draws.clear();
        t.Draw(Renderer.R);
        return Renderer.Device().Draws.size() == 1
                   ? TextureWidth(Renderer.Device().Draws[0].State.Texture)
                   : -1;
    }

    TempFolder Tmp;
    fs::path Program = Tmp.Path() / "program";
    fs::path User = Tmp.Path() / "user";
    fs::path Cache = Tmp.Path() / "cache";
    TRecordingRenderer Renderer;
};
} // namespace

TEST(Tutorial, ThePagesAreConvertedOnceIntoTheCacheFolder)
{
    TTutorialFolder f;
    {
        TTutorial t(f.Renderer.R.Device, f.Program, f.Cache);
        EXPECT_EQ(t.Page(), 1);
        EXPECT_EQ(f.ShownWidth(t), 11);
    }
    std::vector<fs::file_time_type> written;
    for (int n = 1; n <= 9; ++n)
    {
        ASSERT_TRUE(fs::exists(f.Bitmap(n))) << n;
        EXPECT_EQ(ReadFile(f.Bitmap(n)).substr(0, 2), "BM");
        written.push_back(fs::last_write_time(f.Bitmap(n)));
    }
    EXPECT_FALSE(fs::exists(f.Cache / "Images" / "Tutorial" / "tut1.jpg")); // no copy left behind
    EXPECT_FALSE(fs::exists(f.User / "Images")) << "nothing in the user folder";
    EXPECT_FALSE(fs::exists(f.Page(1, ".bmp"))); // the program folder untouched

    // The second visit converts nothing: even without the JPEGs it shows the bitmaps.
    for (int n = 1; n <= 9; ++n)
    {
        fs::remove(f.Page(n, ".jpg"));
    }
    TTutorial again(f.Renderer.R.Device, f.Program, f.Cache);
    EXPECT_EQ(f.ShownWidth(again), 11);
    for (int n = 1; n <= 9; ++n)
    {
        EXPECT_EQ(fs::last_write_time(f.Bitmap(n)), written[static_cast<size_t>(n - 1)]);
    }
}

TEST(Tutorial, APageThatCannotBeConvertedIsShownFromItsJpeg)
{
    TTutorialFolder f;
    // A JPEG the decoder gives up on partway; the picture loader may still show it.
    const std::string page = ReadFile(f.Page(4, ".jpg"));
    f.Tmp.Write("program/Images/Tutorial/tut4.jpg", page.substr(0, 20));
    TTutorial t(f.Renderer.R.Device, f.Program, f.Cache);
    EXPECT_FALSE(fs::exists(f.Bitmap(4)));
    EXPECT_TRUE(fs::exists(f.Bitmap(5)));
    EXPECT_EQ(t.PageFile(4), f.Page(4, ".jpg"));
    EXPECT_EQ(t.PageFile(5), f.Bitmap(5));
    EXPECT_NE(ReadFile(DebugLogFile()).find("tut4.jpg"), std::string::npos);
    for (int i = 0; i < 4; ++i)
    {
        t.ChangePage(+1);
    }
    EXPECT_EQ(t.Page(), 5);
    EXPECT_EQ(f.ShownWidth(t), 15);
}

TEST(Tutorial, PagesComeInTheLanguageShownAndInEnglishWhereItHasNone)
{
    TTutorialFolder f;
    for (int n = 1; n <= 8; ++n)
    {
        WriteJpeg(f.Program / "lang" / "de" / "Images" / "Tutorial" / ("tut" + std::to_string(n) + ".jpg"),
                  30 + n, 6, 40);
    }
    StartLanguage(fs::path(TANDREL_GAME_DIR) / "locale", "de");
    ASSERT_EQ(CurrentLanguage(), "de");
    {
        TTutorial t(f.Renderer.R.Device, f.Program, f.Cache);
        EXPECT_EQ(f.ShownWidth(t), 31);
        EXPECT_EQ(t.PageFile(2), f.Cache / "lang" / "de" / "Images" / "Tutorial" / "tut2.bmp");
        // Page 9 is English, converted where the English pages go.
        EXPECT_EQ(t.PageFile(9), f.Bitmap(9));
        EXPECT_FALSE(fs::exists(f.Bitmap(1)));
        for (int i = 0; i < 8; ++i)
        {
            t.ChangePage(+1);
        }
        EXPECT_EQ(f.ShownWidth(t), 19);
    }
    // The missing page is told once in the debug log, however often it is looked for.
    const std::string log = ReadFile(DebugLogFile());
    const std::string missing = "lang/de/Images/Tutorial/tut9.jpg is missing";
    EXPECT_NE(log.find(missing), std::string::npos) << log;
    EXPECT_EQ(log.find(missing), log.rfind(missing));
    StartLanguage(fs::path(TANDREL_GAME_DIR) / "locale", "en");
}

TEST(Tutorial, PagingStaysWithinOneToNineAndReloadsThePageEachTime)
{
    TTutorialFolder f;
    TTutorial t(f.Renderer.R.Device, f.Program, f.Cache);
    fs::remove(DebugLogFile());
    t.ChangePage(-1);
    EXPECT_EQ(t.Page(), 1);
    EXPECT_EQ(f.ShownWidth(t), 11);
    for (int i = 0; i < 10; ++i)
    {
        t.ChangePage(+1);
    }
    EXPECT_EQ(t.Page(), 9);
    EXPECT_EQ(f.ShownWidth(t), 19);
    t.ChangePage(-1);
    EXPECT_EQ(t.Page(), 8);

    const std::string log = ReadFile(DebugLogFile());
    EXPECT_NE(log.find(" loading 1\r\n"), std::string::npos);
    EXPECT_NE(log.find(" loaded1\r\n"), std::string::npos);
    EXPECT_NE(log.find(" loaded9\r\n"), std::string::npos);
    size_t reloads = 0;
    for (size_t at = log.find(" loaded9"); at != std::string::npos;
         at = log.find(" loaded9", at + 1))
    {
        ++reloads;
    }
    EXPECT_EQ(reloads, 3u); // 8 -> 9, then twice more on page 9

    // The page fills the back plane of the room and is lit as the other pictures are.
    f.Renderer.Device().SetMaterial(f.Renderer.R.Materials[2]);
    t.Draw(f.Renderer.R);
    const TRecordedDraw& d = f.Renderer.Device().Draws.back();
    EXPECT_FLOAT_EQ(d.State.World.m[0][0], 14.45f);
    EXPECT_FLOAT_EQ(d.State.World.m[1][1], 10.8375f);
    EXPECT_FLOAT_EQ(d.State.World.m[3][0], -1.8f);
    EXPECT_FLOAT_EQ(d.State.World.m[3][1], -0.25f);
    EXPECT_NE(d.State.RenderStates[rsLighting], StateFalse);
    EXPECT_TRUE(d.State.Material == f.Renderer.R.Materials[0]);
}

TEST(Tutorial, BitmapsLeftInTheUserFolderByEarlierVersionsAreRemovedAndNothingElse)
{
    TTutorialFolder f;
    for (int n = 1; n <= 9; ++n)
    {
        f.Tmp.Write("user/Images/Tutorial/tut" + std::to_string(n) + ".bmp", "BM");
    }
    f.Tmp.Write("user/Images/Tutorial/tut3.jpg", "a conversion's copy");
    const auto save = f.Tmp.Write("user/data/Save1.dat", "1\n");
    RemoveOldTutorialBitmaps(f.User);
    EXPECT_FALSE(fs::exists(f.User / "Images"));
    EXPECT_EQ(ReadFile(save), "1\n");
    RemoveOldTutorialBitmaps(f.User); // nothing left to do

    // A file of the player's own keeps its folders.
    f.Tmp.Write("user/Images/Tutorial/tut1.bmp", "BM");
    const auto own = f.Tmp.Write("user/Images/Tutorial/notes.txt", "mine");
    RemoveOldTutorialBitmaps(f.User);
    EXPECT_FALSE(fs::exists(f.User / "Images" / "Tutorial" / "tut1.bmp"));
    EXPECT_EQ(ReadFile(own), "mine");
}
