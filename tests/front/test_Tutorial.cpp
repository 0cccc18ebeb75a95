// The tutorial: its pages drawn from the shipped JPEGs, in the language shown with English for
// a page it lacks, paging within 1..9, and the removal of the bitmaps earlier versions left in
// the user and cache folders.
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

TEST(Tutorial, ThePagesAreDrawnFromTheirJpegsAndTheOldCacheIsCleared)
{
    TTutorialFolder f;
    // An earlier version's bitmaps in the cache folder, one of them claiming 30000 x 20000
    // pixels: none is read, all go.
    std::string huge = "BM" + std::string(16, '\0');
    huge += std::string("\x30\x75\0\0\x20\x4e\0\0", 8);
    for (int n = 1; n <= 9; ++n)
    {
        f.Tmp.Write("cache/Images/Tutorial/tut" + std::to_string(n) + ".bmp", huge);
    }
    TTutorial t(f.Renderer.R.Device, f.Program);
    EXPECT_EQ(t.Page(), 1);
    EXPECT_EQ(f.ShownWidth(t), 11);
    EXPECT_EQ(t.PageFile(5), f.Page(5, ".jpg"));
    RemoveOldTutorialBitmaps(f.Cache); // at start, as for the user folder
    EXPECT_FALSE(fs::exists(f.Cache / "Images"));
    EXPECT_FALSE(fs::exists(f.User / "Images")) << "nothing in the user folder";
    t.ChangePage(+1);
    EXPECT_EQ(f.ShownWidth(t), 12);
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
        TTutorial t(f.Renderer.R.Device, f.Program);
        EXPECT_EQ(f.ShownWidth(t), 31);
        EXPECT_EQ(t.PageFile(2), f.Program / "lang" / "de" / "Images" / "Tutorial" / "tut2.jpg");
        EXPECT_EQ(t.PageFile(9), f.Page(9, ".jpg"));
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
    TTutorial t(f.Renderer.R.Device, f.Program);
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
