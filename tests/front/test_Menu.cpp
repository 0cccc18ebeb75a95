// The menu screens and their commands, driven as the player drives them: clicks on items,
// keys, the sliders, and what reaches the settings file, the game and the save files.
#include "tests/front/FrontFixture.h"

#include "base/AtomicFile.h"
#include "base/DataError.h"
#include "game/GameSetup.h"
#include "render/GameScene.h"
#include "render/LoadingBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// The skins whose labels show.
std::vector<int> SkinLabels(const TFrontFixture& f)
{
    std::vector<int> v;
    for (int skin = 1; skin <= SkinCount; ++skin)
    {
        if (f.Visible(scOptions, SkinLabel(skin)))
        {
            v.push_back(skin);
        }
    }
    return v;
}

void OpenOptions(TFrontFixture& f)
{
    f.ClickItem(2);
    ASSERT_EQ(f.Screen(), 3);
}

const TMenuItem& Bar(TFrontFixture& f, int item)
{
    return f.Front.Menu->Screens[3].Items[item];
}

struct TCubeOnBoard
{
    int Kind, X, Y;
    friend bool operator==(const TCubeOnBoard&, const TCubeOnBoard&) = default;
};

std::vector<TCubeOnBoard> Board(const TGameSetup& g)
{
    std::vector<TCubeOnBoard> v;
    for (int i = 1; i <= g.CubeCount; ++i)
    {
        v.push_back({g.Cubes[i].Kind, g.Cubes[i].X, g.Cubes[i].Y});
    }
    return v;
}

// Main menu, play menu, the mode's item.
void StartMode(TFrontFixture& f, int mode)
{
    f.ClickItem(1);
    ASSERT_EQ(f.Screen(), 2);
    f.ClickItem(mode);
}
} // namespace

TEST(MenuScreens, OptionsShowTheLabelOfTheSkinAndTheSkinButtonsWrapAround)
{
    TFrontFixture f;
    f.Options.Texture = 3;
    OpenOptions(f);
    EXPECT_EQ(SkinLabels(f), std::vector<int>{3});
    EXPECT_EQ(f.Selected(), SkinLabel(3));

    for (int skin = 4; skin <= SkinCount; ++skin)
    {
        f.ClickItem(optSkinUp);
        EXPECT_EQ(f.Options.Texture, skin);
        EXPECT_EQ(SkinLabels(f), std::vector<int>{skin});
    }
    f.ClickItem(optSkinUp);
    EXPECT_EQ(f.Options.Texture, 1);
    EXPECT_EQ(SkinLabels(f), std::vector<int>{1});
    EXPECT_EQ(f.Selected(), optSkinUp); // the highlight stays on the button
    f.ClickItem(optSkinDown);
    EXPECT_EQ(f.Options.Texture, SkinCount);
    EXPECT_EQ(SkinLabels(f), std::vector<int>{SkinCount});
    EXPECT_EQ(f.Selected(), optSkinDown);
}

TEST(MenuScreens, VolumeButtonsStepByTenWithinTheirRangeAndResizeTheBars)
{
    TFrontFixture f;
    f.Options.SoundVol = 250;
    f.Options.MusicVol = 0;
    OpenOptions(f);
    EXPECT_FLOAT_EQ(Bar(f, optSoundBar).NormalTransform.Scale.x, 250 * 1.4f / 255);
    EXPECT_FLOAT_EQ(Bar(f, optSoundBar).NormalTransform.Position.x, -1.06f - 250 * 1.4f / 255 / 2);
    EXPECT_FLOAT_EQ(Bar(f, optMusicBar).NormalTransform.Scale.x, 0);

    f.ClickItem(optSoundUp);
    f.ClickItem(optMusicDown);
    EXPECT_EQ(f.Options.SoundVol, 250);
    EXPECT_EQ(f.Options.MusicVol, 0);
    const int applied = f.Host.SoundVolumeApplied;
    f.ClickItem(optSoundDown);
    f.ClickItem(optMusicUp);
    EXPECT_EQ(f.Options.SoundVol, 240);
    EXPECT_EQ(f.Options.MusicVol, 10);
    EXPECT_GT(f.Host.SoundVolumeApplied, applied);
    EXPECT_FLOAT_EQ(Bar(f, optMusicBar).NormalTransform.Scale.x, 10 * 1.4f / 255);
    EXPECT_FLOAT_EQ(Bar(f, optMusicBar).NormalSprite->Scale.x, 10 * 1.4f / 255);
    // A value a slider left between the steps never passes the top of the range.
    f.Options.SoundVol = 5;
    f.ClickItem(optSoundDown);
    EXPECT_EQ(f.Options.SoundVol, 0);
}

TEST(MenuScreens, ASliderClickSetsTheVolumeUnderTheCursorAndTheFarEndIsHeldAt250)
{
    TFrontFixture f;
    f.Options.SoundVol = 160;
    f.Options.MusicVol = 100;
    OpenOptions(f);
    f.Click(-1.76f, 2.0f);
    EXPECT_EQ(f.Options.SoundVol, 125);
    EXPECT_EQ(f.Options.MusicVol, 100);
    EXPECT_FLOAT_EQ(Bar(f, optSoundBar).NormalTransform.Scale.x, 0.75f);
    EXPECT_FLOAT_EQ(Bar(f, optSoundBar).NormalTransform.Position.x, -1.375f);
    EXPECT_FLOAT_EQ(Bar(f, optSoundBar).NormalSprite->Position.x, -1.375f);
    EXPECT_FLOAT_EQ(Bar(f, optMusicBar).NormalTransform.Scale.x, 0.6f); // 100 at 1.5 / 250
    EXPECT_EQ(f.Screen(), 3);

    f.Click(-2.6f, 0.2f); // the far end of the music slider: 265 before it is held
    EXPECT_EQ(f.Options.MusicVol, 250);
    f.Click(-2.61f, 2.0f); // just beyond the zone
    f.Click(-1.8f, 2.25f);
    EXPECT_EQ(f.Options.SoundVol, 125);
    f.Click(-1.0f, 2.201f); // the zone's corner counts
    EXPECT_EQ(f.Options.SoundVol, 1);
}

TEST(MenuScreens, SaveWritesTheSettingsAndCancelTakesBackWhatWasChanged)
{
    TFrontFixture f;
    f.Options.Texture = 2;
    f.Options.SoundVol = 160;
    OpenOptions(f);
    f.ClickItem(optSoundDown);
    f.ClickItem(optSkinUp);
    f.ClickItem(1);
    EXPECT_EQ(f.Screen(), 1);
    const std::string saved = ReadFile(f.Options.File());
    EXPECT_NE(saved.find("SoundVol=150"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Texture=3"), std::string::npos) << saved;

    OpenOptions(f);
    f.ClickItem(optSoundDown);
    f.ClickItem(optSkinUp);
    EXPECT_EQ(f.Options.SoundVol, 140);
    f.ClickItem(2);
    EXPECT_EQ(f.Screen(), 1);
    EXPECT_EQ(f.Options.SoundVol, 150);
    EXPECT_EQ(f.Options.Texture, 3);
    EXPECT_EQ(ReadFile(f.Options.File()), saved);
}

TEST(MenuScreens, CaptionOfTheButtonPairUnderTheCursorTakesItsHighlightedLook)
{
    TFrontFixture f;
    OpenOptions(f);
    TD3DMenu& m = *f.Front.Menu;
    auto move = [&](int item)
    {
        f.Wait();
        f.Front.HighlightOptionLabels();
        m.HandleMouseMove(0, ItemY(item));
    };
    move(optMusicDown);
    move(optMusicDown);
    const TMenuScreen& s = m.Screens[3];
    EXPECT_FALSE(s.Items[optMusicCaption].Visible);
    EXPECT_TRUE(s.Items[optSpare].Visible);
    EXPECT_EQ(s.Items[optSpare].NormalSprite, s.Items[optMusicCaption].HighlightSprite);
    EXPECT_EQ(s.Items[optSpare].NormalTransform.Position.y, ItemY(optMusicCaption));
    f.Renderer.Device().Draws.clear();
    f.Front.DrawFrontEnd();
    int highlightedCaptions = 0;
    for (const auto& d : f.Renderer.Device().Draws)
    {
        highlightedCaptions += TextureWidth(d.State.Texture) == NormalWidth(3, optMusicCaption) &&
                               TextureHeight(d.State.Texture) == 2;
    }
    EXPECT_EQ(highlightedCaptions, 1);

    move(1);
    move(1);
    EXPECT_TRUE(s.Items[optMusicCaption].Visible);
    EXPECT_FALSE(s.Items[optSpare].Visible);
}

TEST(MenuScreens, TheHighScoreModeSwitchWaitsUntilTheNameIsTyped)
{
    TFrontFixture f;
    f.Play.Game.Mode = gmNormal;
    f.Play.Game.Score = 950.5; // rounds to 950, halves to even
    f.Front.LeaveGameOver();
    EXPECT_EQ(f.State, gsHiScores);
    EXPECT_EQ(f.Screen(), 6);
    THiScores& h = *f.Front.HiScores;
    EXPECT_TRUE(h.Entering);
    EXPECT_EQ(h.EditRow, 2);
    EXPECT_EQ(h.Tables[1][2].Points, 950);

    f.ClickItem(2);
    EXPECT_EQ(h.ShownMode, 1);
    EXPECT_TRUE(f.Visible(6, 2));
    EXPECT_FALSE(f.Visible(6, 3));

    for (uint16_t key : {'A', 'B', '\b', 'C', '\r'})
    {
        f.Router.KeyDown(key);
    }
    EXPECT_EQ(h.Tables[1][2].PlayerName(), "AC");
    EXPECT_FALSE(h.Entering);
    EXPECT_EQ(std::filesystem::file_size(f.User / "data" / "Hiscores.dat"), 400u);

    f.ClickItem(2);
    EXPECT_EQ(h.ShownMode, 2);
    EXPECT_TRUE(f.Visible(6, 3));
    EXPECT_FALSE(f.Visible(6, 2));
    f.ClickItem(3);
    EXPECT_EQ(h.ShownMode, 1);
    f.Router.KeyDown(VkEscape);
    EXPECT_EQ(f.State, gsMenu);
    EXPECT_EQ(f.Screen(), 1);
}

TEST(MenuScreens, GameOverScoresEnterTheTableOfTheirModeOnlyAboveTheTenthPlace)
{
    TFrontFixture f;
    f.Play.Game.Mode = gmTimed;
    f.Play.Game.Score = 100.4; // equal to the tenth place once rounded
    f.Front.LeaveGameOver();
    EXPECT_FALSE(f.Front.HiScores->Entering);
    EXPECT_EQ(f.Front.HiScores->ShownMode, 2);
    EXPECT_TRUE(f.Visible(6, 3)); // the timed table is shown
    f.Router.KeyDown(VkEnter);
    EXPECT_EQ(f.State, gsMenu);

    f.Play.Game.Score = 1e12; // beyond the file's 32 bits
    f.Front.LeaveGameOver();
    EXPECT_EQ(f.Front.HiScores->EditRow, 1);
    EXPECT_EQ(f.Front.HiScores->Tables[2][1].Points, 2147483647);
    // Leaving with the mouse while the name is typed keeps the score in the file.
    f.Router.KeyDown('Z');
    f.Router.EndOfEvents(); // the pass of the key ends (the text input may add to it)
    f.ClickItem(1, 1);
    EXPECT_EQ(f.State, gsMenu);
    THiScores reread(f.User / "data" / "Hiscores.dat", {});
    EXPECT_EQ(reread.Create(), "");
    EXPECT_EQ(reread.Tables[2][1].PlayerName(), "Z");
}

TEST(MenuScreens, TheHelpScreenComesBeforeAGameAndItsToggleChangesTheSettingAtOnce)
{
    TFrontFixture f;
    f.Options.Help = true;
    StartMode(f, 2);
    EXPECT_EQ(f.State, gsHelp);
    EXPECT_EQ(f.Screen(), 10);
    EXPECT_EQ(f.Host.Tune, tnTheme2);

    f.ClickItem(2);
    EXPECT_FALSE(f.Options.Help);
    EXPECT_TRUE(f.Visible(10, 3));
    EXPECT_FALSE(f.Visible(10, 2));
    EXPECT_EQ(f.Selected(), 3);
    f.ClickItem(3);
    EXPECT_TRUE(f.Options.Help);
    EXPECT_TRUE(f.Visible(10, 2));

    // A saved timed game is offered once the game starts (a game of level 1: no game has
    // been played yet, and a file of level 0 is refused before it is offered).
    f.Play.Game.Mode = gmTimed;
    f.Play.Game.Level = 1;
    f.Play.Game.SaveGame();
    f.Play.Game.Mode = gmNormal;
    f.ClickItem(1);
    EXPECT_EQ(f.State, gsGame);
    EXPECT_EQ(f.Play.Game.Mode, gmTimed);
    EXPECT_EQ(f.Screen(), 7);
    EXPECT_EQ(f.Play.Game.EndPhase, epPaused);
}

TEST(MenuScreens, RightClickGoesBackExceptOnTheLeaveQuestion)
{
    TFrontFixture f;
    f.ClickItem(1);
    EXPECT_EQ(f.Screen(), 2);
    f.Click(8, 8, 1);
    EXPECT_EQ(f.Screen(), 1);

    f.Options.Help = false;
    StartMode(f, 1);
    f.ClickItem(1);
    EXPECT_EQ(f.Screen(), 5);
    f.Click(8, 8, 1);
    EXPECT_EQ(f.Screen(), 5);
    EXPECT_EQ(f.State, gsGame);
    f.ClickItem(3);
    EXPECT_EQ(f.Screen(), 4);
    EXPECT_EQ(f.Play.Game.EndPhase, epPlaying);
}

TEST(MenuScreens, AGameStartsWithTheChosenSkinAndTheSharedSpecialCubes)
{
    TFrontFixture f;
    f.Options.Help = false;
    f.Options.Texture = 3;
    StartMode(f, 1);
    EXPECT_EQ(f.State, gsGame);
    EXPECT_EQ(f.Screen(), 4);
    EXPECT_EQ(f.Play.Game.EndPhase, epPlaying);
    EXPECT_EQ(f.Host.Tune, tnTheme1);
    EXPECT_GT(f.Play.Game.CubeCount, 0);
    for (int k = 0; k <= 17; ++k)
    {
        const bool shared = k == 7 || k == 8 || k == 9 || k == 17;
        EXPECT_EQ(TextureWidth(f.Renderer.R.CubeTextures[k]), shared ? 1 : 3) << "texture " << k;
        EXPECT_EQ(TextureHeight(f.Renderer.R.CubeTextures[k]), k + 1) << "texture " << k;
    }
}

TEST(MenuScreens, LeavingSavesTheGameAndTheNextStartOffersToResumeIt)
{
    TFrontFixture f;
    f.Options.Help = false;
    StartMode(f, 1);
    TGameSetup& g = f.Play.Game;
    const auto board = Board(g);
    const double score = g.Score;
    ASSERT_FALSE(board.empty());
    // The figure the player builds, with the colours it shows.
    const auto figure = [&]
    {
        std::vector<int> shown{g.Figure};
        for (const TBonusCube& cell : g.Figures[g.Figure].Cells)
        {
            shown.push_back(cell.ShownColour);
        }
        return shown;
    };
    const auto built = figure();

    f.ClickItem(1); // the in-game button
    f.ClickItem(2); // leave
    EXPECT_EQ(f.State, gsMenu);
    EXPECT_EQ(f.Screen(), 1);
    EXPECT_EQ(f.Host.Tune, tnMenu1);
    EXPECT_TRUE(std::filesystem::exists(f.User / "data" / "Save1.dat"));
    EXPECT_FALSE(std::filesystem::exists(f.User / "data" / "Save2.dat"));

    StartMode(f, 1);
    EXPECT_EQ(f.Screen(), 7);
    EXPECT_EQ(g.EndPhase, epPaused);
    // The offer shows the game that waits on its own board, its figure as it was.
    EXPECT_EQ(Board(g), board);
    EXPECT_EQ(g.Score, score);
    EXPECT_EQ(figure(), built);
    f.ClickItem(2); // resume
    EXPECT_EQ(f.Screen(), 4);
    EXPECT_EQ(g.EndPhase, epPlaying);
    EXPECT_EQ(Board(g), board);
    EXPECT_EQ(g.Score, score);
    EXPECT_EQ(figure(), built);
    EXPECT_TRUE(f.Host.Messages.empty());

    // Declining the offer keeps the fresh game and the file; the program ending while the
    // offer is shown does not write the fresh board over the save.
    const auto save = f.User / "data" / "Save1.dat";
    f.ClickItem(1);
    f.ClickItem(2);
    const std::string offered = ReadFile(save);
    StartMode(f, 1);
    EXPECT_EQ(f.Front.SaveGameOnExit(), "");
    EXPECT_EQ(ReadFile(save), offered);
    f.ClickItem(3);
    EXPECT_EQ(g.EndPhase, epPlaying);
    EXPECT_EQ(f.Screen(), 4);
    EXPECT_TRUE(std::filesystem::exists(save));

    // The program ending in the middle of a game saves it as leaving does; a game that is
    // over is not saved.
    std::filesystem::remove(save);
    const auto fresh = Board(g);
    EXPECT_EQ(f.Front.SaveGameOnExit(), "");
    g.LoadGame(gmNormal);
    EXPECT_EQ(Board(g), fresh);
    std::filesystem::remove(save);
    g.EndPhase = epGameOver;
    EXPECT_EQ(f.Front.SaveGameOnExit(), "");
    EXPECT_FALSE(std::filesystem::exists(save));
    g.EndPhase = epPlaying;

    // A save that cannot be written: the exit names the file; leaving keeps the game paused
    // as often as the save fails, the pause screen no longer says it is saved, and only
    // the player's choice leaves without it.
    const auto blocker = TemporaryFileFor(save);
    TMenuScreen& pause = f.Front.Menu->Screens[5];
    const auto savedPlate = pause.Items[1].NormalSprite;
    const auto failedPlate = pause.Items[4].NormalSprite;
    std::filesystem::create_directory(blocker);
    EXPECT_NE(f.Front.SaveGameOnExit().find("Save1.dat"), std::string::npos);
    f.ClickItem(1);
    EXPECT_EQ(pause.Items[1].NormalSprite, failedPlate) << "the exit's failure is told at once";
    for (size_t tries = 1; tries <= 2; ++tries)
    {
        f.ClickItem(2);
        EXPECT_EQ(f.State, gsGame);
        EXPECT_EQ(f.Screen(), 5);
        ASSERT_EQ(f.Host.Messages.size(), tries);
        EXPECT_NE(f.Host.Messages.back().find("could not be saved and stays paused"), std::string::npos);
        EXPECT_EQ(pause.Items[1].NormalSprite, failedPlate);
        EXPECT_FALSE(f.Visible(5, 4));
        EXPECT_TRUE(f.Visible(5, 5));
    }
    // Trying again once the folder takes it: saved, and the next pause says so.
    std::filesystem::remove(blocker);
    f.ClickItem(2);
    EXPECT_EQ(f.State, gsMenu);
    EXPECT_TRUE(std::filesystem::exists(save));
    StartMode(f, 1);
    f.ClickItem(2);
    f.ClickItem(1);
    EXPECT_EQ(pause.Items[1].NormalSprite, savedPlate);
    EXPECT_FALSE(f.Visible(5, 5));
    // Failing again, the player leaves without saving: the game and its file go. (The
    // resumed game may be being written meanwhile, through the same temporary file.)
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            std::error_code ec;
            std::filesystem::create_directory(blocker, ec);
            return std::filesystem::is_directory(blocker);
        }));
    f.ClickItem(2);
    EXPECT_EQ(f.State, gsGame);
    f.ClickItem(5);
    EXPECT_EQ(f.State, gsMenu);
    EXPECT_EQ(f.Screen(), 1);
    EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists(save); }));
}

TEST(MenuScreens, ABoardAtRestIsSavedOffTheFrameAndAGameThatEndsRemovesIt)
{
    TFrontFixture f;
    f.Options.Help = false;
    StartMode(f, 1);
    TGameSetup& g = f.Play.Game;
    const auto save = f.User / "data" / "Save1.dat";
    const auto afterDate = [](const std::string& text) { return text.substr(text.find('\n')); };
    // The first cubes grow; once they rest, the game is written on the writer's thread.
    for (int frame = 0; frame < 500 && (frame == 0 || !g.BoardQuiet); ++frame)
    {
        g.Update(16);
        f.Front.Autosave();
    }
    ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(save); }));
    EXPECT_EQ(afterDate(ReadFile(save)), afterDate(g.SaveText()));
    // Game over: the file goes, after any write still on its way.
    f.Front.Autosave();
    while (g.FreeCount > 0)
    {
        PutCube(g, 1 + g.FreeCount % 5, g.FreeCells[1].X, g.FreeCells[1].Y);
    }
    g.EndPhase = epPlaying;
    ASSERT_TRUE(g.CheckGameOver(true));
    f.Front.Autosave();
    EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists(save); }));
}

TEST(MenuScreens, ADamagedSaveIsRefusedWithItsLineAndTheNewGameGoesOn)
{
    TFrontFixture f;
    f.Options.Help = false;
    const auto save = f.User / "data" / "Save1.dat";
    const std::string damaged = "today\n1\nseven\n";
    std::filesystem::create_directories(save.parent_path());
    f.Tmp.Write("user/data/Save1.dat", damaged);
    StartMode(f, 1);
    // Read before it would be offered: no "Resume your game?" over a file that cannot be read.
    ASSERT_EQ(f.Host.Messages.size(), 1u);
    EXPECT_NE(f.Host.Messages[0].find("Save1.dat, line 3"), std::string::npos)
        << f.Host.Messages[0];
    EXPECT_EQ(f.State, gsGame);
    EXPECT_EQ(f.Screen(), 4);
    EXPECT_EQ(f.Play.Game.EndPhase, epPlaying);
    EXPECT_EQ(f.Play.Game.Level, 1);
    EXPECT_GT(f.Play.Game.CubeCount, 0);
    // Kept aside once: the next game offers nothing.
    EXPECT_FALSE(std::filesystem::exists(save));
    EXPECT_EQ(ReadFile(save.string() + ".damaged"), damaged);
    EXPECT_NE(f.Host.Messages[0].find("Save1.dat.damaged"), std::string::npos);
}

TEST(MenuScreens, TheTutorialOpensOnPageOneWithOnlyTheButtonsThatLeadSomewhere)
{
    TFrontFixture f;
    f.ClickItem(1);
    f.ClickItem(3);
    EXPECT_EQ(f.State, gsTutorial);
    EXPECT_EQ(f.Screen(), 9);
    ASSERT_TRUE(f.Front.Tutorial);
    EXPECT_TRUE(f.Visible(9, 2));
    EXPECT_FALSE(f.Visible(9, 3));
    for (int i = 0; i < 8; ++i)
    {
        f.ClickItem(2);
    }
    EXPECT_EQ(f.Front.Tutorial->Page(), 9);
    EXPECT_FALSE(f.Visible(9, 2));
    EXPECT_TRUE(f.Visible(9, 3));
    f.Key(VkEnter); // the highlight still on the hidden next button
    EXPECT_EQ(f.Front.Tutorial->Page(), 9);

    f.Renderer.Device().Draws.clear();
    f.Front.DrawFrontEnd();
    ASSERT_FALSE(f.Renderer.Device().Draws.empty());
    EXPECT_EQ(TextureWidth(f.Renderer.Device().Draws.front().State.Texture),
              19); // page 9, under the buttons

    f.Key(VkEscape);
    EXPECT_EQ(f.State, gsMenu);
    EXPECT_EQ(f.Screen(), 2);
    EXPECT_FALSE(f.Front.Tutorial);
    f.ClickItem(3);
    EXPECT_EQ(f.Front.Tutorial->Page(), 1);
    EXPECT_TRUE(f.Visible(9, 2));
    EXPECT_FALSE(f.Visible(9, 3));
    EXPECT_EQ(f.Selected(), 1);
}

TEST(MenuScreens, MainMenuOpensTheTablesOfTheNormalModeAndTheExitClosesTheWindow)
{
    TFrontFixture f;
    f.Front.HiScores->ShownMode = 2;
    f.Front.HiScores->Entering = true;
    f.ClickItem(3);
    EXPECT_EQ(f.State, gsHiScores);
    EXPECT_EQ(f.Screen(), 6);
    EXPECT_EQ(f.Front.HiScores->ShownMode, 1);
    EXPECT_FALSE(f.Front.HiScores->Entering);
    EXPECT_TRUE(f.Visible(6, 2));
    f.ClickItem(1, 1);
    EXPECT_EQ(f.State, gsMenu);
    EXPECT_FALSE(f.Host.Closed);
    f.Key(VkUp); // item 4 by the keys
    f.Key(VkEnter);
    EXPECT_TRUE(f.Host.Closed);
}

TEST(MenuScreens, LoadingTheMenuLightsBarSteps2To10InOrder)
{
    TFrontFixture f;
    TLoadingBar bar(f.Renderer.R, f.Program);
    std::vector<int> steps;
    bar.OnProgress = [&] { steps.push_back(bar.Lit); };
    f.Front.LoadMenu(&bar);
    EXPECT_EQ(steps, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_FALSE(f.Renderer.R.MenuBackground); // read by the menu's first frame
    KeepScreenPictures(f.Renderer.R, gsMenu);
    EXPECT_EQ(TextureWidth(f.Renderer.R.MenuBackground), 64);
    EXPECT_EQ(f.Screen(), 1);
    EXPECT_EQ(f.Front.Menu->ScreenCount, 10);

    f.Tmp.Write("program/data/Menu.dat", "menu\nImages/menubg.tga\n\n14\n");
    try
    {
        f.Front.LoadMenu(nullptr);
        ADD_FAILURE() << "a menu of 14 screens was accepted";
    }
    catch (const TDataError& e)
    {
        EXPECT_EQ(e.Line, 4);
        EXPECT_EQ(e.File.filename(), "Menu.dat");
    }
}

// A screen's first item stays highlighted, for the keys, until the cursor comes over an item;
// from then on (or from a click) the highlight follows the cursor as it always did.
TEST(MenuScreens, TheFirstItemKeepsItsHighlightUntilTheCursorComesOverTheMenu)
{
    TFrontFixture f;
    f.Wait();
    const TMenuItem& second = f.Front.Menu->Current().Items[2];
    f.Front.Menu->HandleMouseMove(-7.0f, -5.0f); // a corner, no item there
    EXPECT_EQ(f.Selected(), 1);
    f.Front.Menu->HandleMouseMove(second.NormalTransform.Position.x, second.NormalTransform.Position.y);
    EXPECT_EQ(f.Selected(), 2);
    f.Front.Menu->HandleMouseMove(-7.0f, -5.0f);
    EXPECT_EQ(f.Selected(), 0);
}
