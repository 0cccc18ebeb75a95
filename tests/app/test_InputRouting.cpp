#include "base/DebugLog.h"
#include "render/Cursor.h"
#include "game/GameSetup.h"
#include "front/HighScores.h"
#include "app/InputRouting.h"
#include "render/RecordingDevice.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// The menus do not exist on this side of the program: a front end that writes down what
// reached it, with a real high-score table behind it.
class TRecordingFrontEnd final : public IFrontEnd
{
public:
    explicit TRecordingFrontEnd(const std::filesystem::path& folder) :
        Table(folder / "Hiscores.dat", [](TSound) {})
    {
        Table.Create();
    }

    void LoadMenu(TLoadingBar*) override { Calls.push_back("LoadMenu"); }
    void SetGame(TGame*) override {}
    void LeaveGameOver() override { Calls.push_back("LeaveGameOver"); }
    void EnterMainMenu() override { Calls.push_back("EnterMainMenu"); }
    void CreateHiScores() override {}
    THiScores* Scores() override { return &Table; }
    bool Animating() const override { return false; }
    void DrawFrontEnd() override {}
    void DrawScores(double) override {}
    void MenuCommand(int key) override { Calls.push_back("MenuCommand " + std::to_string(key)); }
    void MenuMouseDown() override { Calls.push_back("MenuMouseDown"); }
    void MenuMouseUp(int button, float, float) override { Calls.push_back("MenuMouseUp " + std::to_string(button)); }
    void HighlightOptionLabels() override { Calls.push_back("HighlightOptionLabels"); }
    void HandleMouseMove(float x, float y) override
    {
        Calls.push_back("HandleMouseMove");
        LastX = x;
        LastY = y;
    }
    void ShowScreen(int screen) override { Calls.push_back("ShowScreen " + std::to_string(screen)); }
    void SwapItem(int hide, int show) override
    {
        Calls.push_back("SwapItem " + std::to_string(hide) + " " + std::to_string(show));
    }

    THiScores Table;
    std::vector<std::string> Calls;
    float LastX = 0, LastY = 0;
};

struct TShell
{
    TShell() :
        Device(std::make_shared<TRecordingDevice>()),
        Front(Tmp.Path()),
        Router(State, Front, AppActive),
        Cursor(Device, Tmp.Path(), 800, 600)
    {
        SetDebugLogFolder(Tmp.Path()); // state changes are logged
        State = gsMenu;
        Graphics.Device = Device;
        Router.Game = &Game.Game;
        Router.Cursor = &Cursor;
        Router.Graphics = &Graphics;
        Router.ResumeState = [this] { ++Resumes; };
    }
    ~TShell() { SetDebugLogFolder({}); }

    TempFolder Tmp;
    std::shared_ptr<TRecordingDevice> Device;
    TGraphics Graphics;
    TestGame Game;
    TScreenState State;
    bool AppActive = true;
    int Resumes = 0;
    TRecordingFrontEnd Front;
    TInputRouter Router;
    TCursor Cursor;
};
} // namespace

TEST(InputRouting, NothingMovesWhileLoading)
{
    for (TGameState s : {gsLaunch, gsLoading})
    {
        TShell sh;
        sh.State = s;
        sh.AppActive = false;
        const float x = sh.Cursor.X();
        sh.Router.KeyDown(27);
        sh.Router.MouseMove(10, 10);
        sh.Router.MouseDown(0);
        sh.Router.MouseUp(0);
        EXPECT_TRUE(sh.Front.Calls.empty());
        EXPECT_EQ(sh.Cursor.X(), x);
        EXPECT_FALSE(sh.AppActive) << "not even the wake-up release";
        EXPECT_EQ(sh.State, s);
    }
}

TEST(InputRouting, KeysByState)
{
    TShell sh;
    for (TGameState s : {gsMenu, gsTutorial, gsHelp})
    {
        sh.State = s;
        sh.Router.KeyDown(38);
    }
    EXPECT_EQ(sh.Front.Calls, (std::vector<std::string>{"MenuCommand 38", "MenuCommand 38", "MenuCommand 38"}));

    // In a game only the pause keys act, and only while playing.
    sh.Front.Calls.clear();
    sh.State = gsGame;
    sh.Game.Game.EndPhase = epPlaying;
    sh.Router.KeyDown(65);
    EXPECT_TRUE(sh.Front.Calls.empty());
    EXPECT_EQ(sh.Game.Game.EndPhase, epPlaying);
    for (uint16_t key : {27, 112, 80})
    {
        sh.Game.Game.EndPhase = epPlaying;
        sh.Router.KeyDown(key);
        EXPECT_EQ(sh.Game.Game.EndPhase, epPaused) << key;
        EXPECT_EQ(sh.Front.Calls.back(), "ShowScreen 5");
    }
    // On the pause screen the keys work the menu (Escape there resumes); held, they act once.
    sh.Front.Calls.clear();
    sh.Router.KeyDown(27);
    sh.Router.KeyDown(13, true);
    EXPECT_EQ(sh.Front.Calls, (std::vector<std::string>{"MenuCommand 27"}));
    EXPECT_EQ(sh.State, gsGame);
}

TEST(InputRouting, HighScoreKeys)
{
    TShell sh;
    sh.State = gsHiScores;
    sh.Front.Table.Entering = false;
    sh.Router.KeyDown(65); // other keys do nothing
    EXPECT_EQ(sh.State, gsHiScores);
    sh.Router.KeyDown(13);
    EXPECT_EQ(sh.State, gsMenu);
    EXPECT_EQ(sh.Front.Calls.back(), "ShowScreen 1");
    EXPECT_TRUE(std::filesystem::exists(sh.Front.Table.File())) << "the tables are saved";

    // While a name is typed, Escape and Enter go to the name.
    sh.State = gsHiScores;
    sh.Front.Table.ShownMode = 1;
    sh.Front.Table.Entering = true;
    sh.Front.Table.EditRow = static_cast<uint8_t>(sh.Front.Table.InsertScore(5000));
    sh.Router.KeyDown(13, true); // held from the game-over picture: no empty name
    EXPECT_TRUE(sh.Front.Table.Entering);
    sh.Router.KeyDown(65);
    sh.Router.KeyDown(27);
    EXPECT_EQ(sh.State, gsHiScores);
    EXPECT_EQ(sh.Front.Table.Tables[1][sh.Front.Table.EditRow].PlayerName().substr(0, 1), "A");
}

TEST(InputRouting, MouseByState)
{
    TShell sh;
    sh.State = gsMenu;
    sh.Router.MouseMove(0, 0);
    EXPECT_EQ(sh.Front.Calls, (std::vector<std::string>{"HighlightOptionLabels", "HandleMouseMove"}));
    // The pixel (0, 0) is the top left of the 14.45 x 10.8375 picture round the room centre.
    EXPECT_NEAR(sh.Front.LastX, 5.425f, 1e-4f);
    EXPECT_NEAR(sh.Front.LastY, 5.16875f, 1e-4f);
    // The cursor light follows, handed to the device as light 1.
    EXPECT_NEAR(sh.Device->State().Lights[1].Position.x, 5.425f, 1e-4f);
    EXPECT_NEAR(sh.Device->State().Lights[1].Position.z, 1.05f, 1e-6f);

    sh.Front.Calls.clear();
    sh.State = gsHiScores;
    sh.Router.MouseMove(800, 600);
    EXPECT_EQ(sh.Front.Calls, (std::vector<std::string>{"HandleMouseMove"}));
    EXPECT_NEAR(sh.Front.LastX, -9.025f, 1e-4f);
    EXPECT_NEAR(sh.Front.LastY, -5.66875f, 1e-4f);

    sh.Front.Calls.clear();
    sh.Router.MouseDown(0);
    sh.Router.MouseUp(1);
    EXPECT_EQ(sh.Front.Calls, (std::vector<std::string>{"MenuMouseDown", "MenuMouseUp 1"}));

    // The game's closing sequence swallows presses and releases.
    sh.Front.Calls.clear();
    sh.State = gsGame;
    sh.Game.Game.EndPhase = epGameOver;
    sh.Router.MouseDown(0);
    sh.Router.MouseUp(0);
    EXPECT_TRUE(sh.Front.Calls.empty());
}

TEST(InputRouting, FirstReleaseOnlyWakesTheApplication)
{
    TShell sh;
    sh.AppActive = false;
    sh.Router.MouseUp(0);
    EXPECT_TRUE(sh.AppActive);
    EXPECT_EQ(sh.Resumes, 1);
    EXPECT_TRUE(sh.Front.Calls.empty());
    sh.Router.MouseUp(0);
    EXPECT_EQ(sh.Front.Calls, (std::vector<std::string>{"MenuMouseUp 0"}));
    EXPECT_EQ(sh.Resumes, 1);
}

TEST(InputRouting, KeysAndReleasesOnTheGameOverPictureGoToTheFrontEnd)
{
    // The table and its name entry are the front end's (tests/front/test_Menu.cpp).
    TShell sh;
    sh.State = gsGameOver;
    sh.Router.KeyDown(32);
    sh.Router.MouseUp(0);
    EXPECT_EQ(sh.Front.Calls, (std::vector<std::string>{"LeaveGameOver", "LeaveGameOver"}));
}

TEST(InputRouting, ScoresRoundHalvesToEvenAndClampTo32Bits)
{
    EXPECT_EQ(RoundedScore(1000.5), 1000);
    EXPECT_EQ(RoundedScore(1001.5), 1002);
    EXPECT_EQ(RoundedScore(1001.4), 1001);
    EXPECT_EQ(TableScore(RoundedScore(5e9)), 2147483647) << "not the low 32 bits";
    EXPECT_EQ(TableScore(RoundedScore(1e300)), 2147483647);
    EXPECT_EQ(TableScore(RoundedScore(4294967396.0)), 2147483647) << "2^32 + 100, not 100";
}
