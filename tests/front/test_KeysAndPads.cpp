// The whole game without a mouse: SDL's key and game-controller events, pushed through
// SDL's own queue, reach the menus, the board and the high-score table through the
// shell's event translation and routing, on a real game.
#include "app/InputEvents.h"
#include "game/Invariants.h"
#include "tests/front/FrontFixture.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace
{
// Keys of a Russian (ЙЦУКЕН) layout: the letter keys type Cyrillic, and SDL's key symbol
// is the Cyrillic letter. Only the key's place tells what the game needs.
constexpr SDL_Keycode CyrillicZe = 0x0437; // on the P key
constexpr SDL_Keycode CyrillicKa = 0x043A; // on the R key
constexpr SDL_Keycode CyrillicSha = 0x0448; // on the I key
constexpr SDL_Keycode CyrillicEf = 0x0444; // on the A key

struct TKeysAndPads : ::testing::Test, TFrontFixture
{
    TKeysAndPads()
    {
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        EXPECT_EQ(SDL_Init(SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        Pump();
    }
    ~TKeysAndPads() override
    {
        Input.reset();
        SDL_Quit();
    }

    // Everything in SDL's queue goes through the shell's translation, as the window's loop
    // hands it over.
    void Pump()
    {
        SDL_Event e;
        while (SDL_PollEvent(&e))
        {
            Input->Handle(e);
        }
    }
    void Push(SDL_Event e)
    {
        Wait(); // past the menu's guard after a new screen
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
        Pump();
    }
    void Key(SDL_Scancode scancode, SDL_Keycode symbol, uint16_t mod = KMOD_NONE, bool repeat = false)
    {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = symbol;
        e.key.keysym.mod = mod;
        Push(e);
    }
    // A key of a US layout (SDL's key map needs a video driver; this test has none).
    void Key(SDL_Scancode scancode)
    {
        SDL_Keycode symbol = SDL_SCANCODE_TO_KEYCODE(scancode);
        switch (scancode)
        {
        case SDL_SCANCODE_RETURN: symbol = SDLK_RETURN; break;
        case SDL_SCANCODE_SPACE: symbol = SDLK_SPACE; break;
        case SDL_SCANCODE_BACKSPACE: symbol = SDLK_BACKSPACE; break;
        case SDL_SCANCODE_DELETE: symbol = SDLK_DELETE; break;
        case SDL_SCANCODE_ESCAPE: symbol = SDLK_ESCAPE; break;
        case SDL_SCANCODE_A: symbol = SDLK_a; break;
        default: break;
        }
        Key(scancode, symbol);
    }

    // A game on a board of the test's own making, with nothing growing.
    void StartGameOn(std::initializer_list<std::tuple<int, int, int>> cubes)
    {
        State = gsMenu;
        Front.StartGame(gmNormal);
        ASSERT_EQ(Play.Game.EndPhase, epPlaying);
        Play.Game.ClearBoard();
        for (auto [kind, x, y] : cubes)
        {
            PutCube(Play.Game, kind, x, y);
        }
    }
    // Frames until the board is at rest (or a minute of game time has gone).
    void RunUntilQuiet()
    {
        for (int frame = 0; frame < 3750 && (frame < 2 || !Play.Game.BoardQuiet); ++frame)
        {
            Play.Game.Update(16); // milliseconds
        }
        ASSERT_TRUE(Play.Game.BoardQuiet);
    }
    // The board cursor by the cursor keys (the board's x grows to the left of the screen).
    void MoveTo(int x, int y)
    {
        while (Router.BoardX() != x || Router.BoardY() != y)
        {
            const int before = Router.BoardX() * 10 + Router.BoardY();
            Key(Router.BoardX() < x ? SDL_SCANCODE_LEFT : Router.BoardX() > x ? SDL_SCANCODE_RIGHT
                : Router.BoardY() < y ? SDL_SCANCODE_UP : SDL_SCANCODE_DOWN);
            ASSERT_NE(Router.BoardX() * 10 + Router.BoardY(), before);
        }
    }
    int CubeAt(int x, int y) const
    {
        for (int i = 1; i <= Play.Game.CubeCount; ++i)
        {
            const TCube& c = Play.Game.Cubes[i];
            if (c.X == x && c.Y == y && c.State != csRemoved && c.State != csVanishing)
            {
                return i;
            }
        }
        return 0;
    }

    std::unique_ptr<TInputEvents> Input = std::make_unique<TInputEvents>(Router);
};
} // namespace

TEST_F(TKeysAndPads, AWholeMoveByKeysAndTheBoardCursorGivesWayToTheMouse)
{
    StartGameOn({{1, 5, 5}, {2, 3, 4}});
    RunUntilQuiet();
    const int cube = CubeAt(5, 5);
    ASSERT_NE(cube, 0);

    // The first key shows the board cursor in the middle, where the game reads the mouse.
    Key(SDL_SCANCODE_LEFT);
    EXPECT_TRUE(Router.BoardKeys());
    EXPECT_EQ(Play.Host.MouseX, 0.0f);
    EXPECT_EQ(Play.Host.MouseY, 0.0f);
    Key(SDL_SCANCODE_SPACE);
    EXPECT_EQ(Play.Game.Selected, cube);
    // Two cells to the right on the screen (the board's x grows leftwards), the path shows.
    Key(SDL_SCANCODE_RIGHT);
    Key(SDL_SCANCODE_RIGHT, SDLK_RIGHT, KMOD_NONE, true);
    EXPECT_EQ(Router.BoardX(), 3);
    EXPECT_GT(Play.Game.PathLength, 0);
    EXPECT_EQ(Play.Game.Path[0].DotKind, 2) << "the target ring over a reachable cell";
    // Jumps: Home to the left edge, End to the right, Page Up and Down to the top and bottom.
    Key(SDL_SCANCODE_HOME);
    Key(SDL_SCANCODE_PAGEUP);
    EXPECT_EQ(std::make_pair(Router.BoardX(), Router.BoardY()), std::make_pair(9, 9));
    Key(SDL_SCANCODE_END);
    Key(SDL_SCANCODE_PAGEDOWN);
    EXPECT_EQ(std::make_pair(Router.BoardX(), Router.BoardY()), std::make_pair(1, 1));
    MoveTo(3, 5);
    ASSERT_EQ(std::make_pair(Router.BoardX(), Router.BoardY()), std::make_pair(3, 5));

    // Enter sends the cube; a held Enter and every other key mashed meanwhile neither
    // queue a second move nor pick up another cube.
    Key(SDL_SCANCODE_RETURN);
    EXPECT_EQ(Play.Game.Cubes[cube].State, csMoving);
    for (int round = 0; round < 3; ++round)
    {
        Key(SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NONE, true);
        for (SDL_Scancode k : {SDL_SCANCODE_SPACE, SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_DELETE, SDL_SCANCODE_A,
                               SDL_SCANCODE_KP_5})
        {
            Key(k);
        }
        Play.Game.Update(16); // milliseconds
    }
    RunUntilQuiet();
    EXPECT_EQ(Play.Game.Cubes[cube].X, 3);
    EXPECT_EQ(Play.Game.Cubes[cube].Y, 5);
    EXPECT_EQ(CubeAt(3, 4), 2) << "the other cube never moved";
    EXPECT_EQ(Play.Game.EndPhase, epPlaying);

    // Ctrl+Z takes the move back.
    Key(SDL_SCANCODE_Z, SDLK_z, KMOD_LCTRL);
    EXPECT_EQ(CubeAt(5, 5), cube);
    EXPECT_EQ(CheckInvariants(Play.Game), "");

    // Backspace drops a selection, even with the cursor on the selected cube.
    MoveTo(3, 4);
    Key(SDL_SCANCODE_RETURN);
    ASSERT_EQ(Play.Game.Selected, CubeAt(3, 4));
    Key(SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(Play.Game.Selected, 0);
    EXPECT_EQ(Play.Game.PathLength, 0);

    // The mouse takes the cursor back; the next key finds the board cursor afresh.
    Router.MouseMove(10, 10);
    EXPECT_FALSE(Router.BoardKeys());
}

TEST_F(TKeysAndPads, AShotFiredByKeys)
{
    StartGameOn({{ckShot, 5, 5}, {2, 7, 7}, {2, 2, 3}, {3, 8, 2}});
    RunUntilQuiet();
    Key(SDL_SCANCODE_UP); // the cursor appears on the shot cube
    Key(SDL_SCANCODE_KP_ENTER);
    RunUntilQuiet();
    ASSERT_EQ(Play.Host.CursorIndex, 3) << "aiming";
    // Backspace puts the shot back, Enter takes it up again.
    Key(SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(Play.Host.CursorIndex, 2);
    int shot = 0;
    for (int i = 1; i <= Play.Game.CubeCount; ++i)
    {
        if (Play.Game.Cubes[i].Kind == ckShot && Play.Game.Cubes[i].State != csRemoved)
        {
            shot = i;
        }
    }
    ASSERT_NE(shot, 0) << "the shot cube is back on the board";
    RunUntilQuiet();
    MoveTo(Play.Game.Cubes[shot].X, Play.Game.Cubes[shot].Y);
    Key(SDL_SCANCODE_RETURN);
    RunUntilQuiet();
    ASSERT_EQ(Play.Host.CursorIndex, 3);
    // Onto a cube of colour 2: it spins under the cursor, and Space fires.
    MoveTo(7, 7);
    for (int frame = 0; frame < 5; ++frame)
    {
        Play.Game.Update(16); // milliseconds
    }
    Key(SDL_SCANCODE_SPACE);
    EXPECT_EQ(Play.Host.CursorIndex, 2);
    RunUntilQuiet();
    EXPECT_EQ(CubeAt(7, 7), 0);
    EXPECT_EQ(CubeAt(2, 3), 0);
    EXPECT_NE(CubeAt(8, 2), 0) << "another colour stays";
}

TEST_F(TKeysAndPads, LettersOnANonLatinLayoutPauseResumeAndTypeAName)
{
    StartGameOn({{1, 5, 5}});
    // P on a Russian layout pauses; the pause screen is left by P again or Escape.
    Key(SDL_SCANCODE_P, CyrillicZe);
    EXPECT_EQ(Play.Game.EndPhase, epPaused);
    EXPECT_EQ(Screen(), 5);
    Key(SDL_SCANCODE_P, CyrillicZe, KMOD_NONE, true);
    EXPECT_EQ(Play.Game.EndPhase, epPaused) << "a held key pauses once";
    Key(SDL_SCANCODE_P, CyrillicZe);
    EXPECT_EQ(Play.Game.EndPhase, epPlaying);
    EXPECT_EQ(Screen(), 4);
    Key(SDL_SCANCODE_ESCAPE);
    Key(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(Play.Game.EndPhase, epPlaying);
    // On the pause screen the arrows move the highlight and Enter chooses: leave with a save.
    Key(SDL_SCANCODE_F1);
    ASSERT_EQ(Screen(), 5);
    Front.Menu->Current().SelectedItem = 3;
    Key(SDL_SCANCODE_UP);
    EXPECT_EQ(Selected(), 2);
    Key(SDL_SCANCODE_RETURN);
    EXPECT_EQ(State, gsMenu);
    EXPECT_TRUE(std::filesystem::exists(Play.Game.SaveFile(gmNormal)));

    // A score for the table, then a Latin name from Cyrillic keys, and keypad digits.
    Play.Game.Score = 1e6;
    State = gsGameOver;
    Key(SDL_SCANCODE_SPACE);
    ASSERT_EQ(State, gsHiScores);
    ASSERT_TRUE(Front.HiScores->Entering);
    Key(SDL_SCANCODE_K, CyrillicKa);
    Key(SDL_SCANCODE_I, CyrillicSha);
    Key(SDL_SCANCODE_R, CyrillicKa + 1);
    Key(SDL_SCANCODE_A, CyrillicEf, KMOD_SHIFT);
    Key(SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM);
    // Num Lock off, the keypad's 8 is the up key: it steps the character at the caret.
    Key(SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NONE);
    Key(SDL_SCANCODE_RETURN);
    EXPECT_FALSE(Front.HiScores->Entering);
    const THiScores& t = *Front.HiScores;
    EXPECT_EQ(t.Tables[1][t.EditRow].PlayerName(), "KIRA8");
}

TEST_F(TKeysAndPads, AGamepadPlaysPausesTypesANameAndItsUnpluggingPauses)
{
    // A controller plugged in: SDL's virtual one, seen through SDL's controller interface.
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    Pump();
    ASSERT_EQ(Input->OpenControllers(), 1);
    SDL_Joystick* pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
    ASSERT_NE(pad, nullptr);
    auto press = [&](SDL_GameControllerButton b)
    {
        Wait();
        SDL_JoystickSetVirtualButton(pad, b, SDL_PRESSED);
        Pump();
        SDL_JoystickSetVirtualButton(pad, b, SDL_RELEASED);
        Pump();
    };
    auto lean = [&](SDL_GameControllerAxis a, int16_t v)
    {
        Wait();
        SDL_JoystickSetVirtualAxis(pad, a, v);
        Pump();
    };

    // The stick moves the board cursor one cell per lean, however long it is held; A
    // selects; B cancels; Start pauses and resumes.
    StartGameOn({{1, 5, 5}, {2, 3, 5}});
    RunUntilQuiet();
    press(SDL_CONTROLLER_BUTTON_DPAD_UP); // shows the board cursor
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(Play.Game.Selected, CubeAt(5, 5));
    lean(SDL_CONTROLLER_AXIS_LEFTX, 30000);
    lean(SDL_CONTROLLER_AXIS_LEFTX, 20000);
    lean(SDL_CONTROLLER_AXIS_LEFTX, 12000); // still leaning: no second step
    EXPECT_EQ(Router.BoardX(), 4);
    lean(SDL_CONTROLLER_AXIS_LEFTX, 0);
    lean(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    EXPECT_EQ(std::make_pair(Router.BoardX(), Router.BoardY()), std::make_pair(4, 6));
    press(SDL_CONTROLLER_BUTTON_B);
    EXPECT_EQ(Play.Game.Selected, 0);
    EXPECT_EQ(Play.Game.EndPhase, epPlaying) << "B on the board cancels, it does not pause";
    // A move up by the pad, and Y takes it back with the cubes the move brought.
    const int padCube = CubeAt(5, 5);
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    press(SDL_CONTROLLER_BUTTON_A);
    press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    press(SDL_CONTROLLER_BUTTON_A);
    RunUntilQuiet();
    ASSERT_EQ(Play.Game.Cubes[padCube].Y, 6) << "the pad's move was not made";
    press(SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(Play.Game.Cubes[padCube].Y, 5);
    EXPECT_EQ(Play.Game.CubeCount, 2);
    press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(Play.Game.EndPhase, epPaused);
    press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(Play.Game.EndPhase, epPlaying);

    // A name from the pad alone: up and down choose the character at the caret, right adds
    // one, left deletes, A confirms.
    Play.Game.Score = 1e6;
    State = gsGameOver;
    press(SDL_CONTROLLER_BUTTON_A);
    ASSERT_TRUE(Front.HiScores->Entering);
    press(SDL_CONTROLLER_BUTTON_DPAD_UP);   // A
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); // wraps to /
    press(SDL_CONTROLLER_BUTTON_DPAD_DOWN); // -
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT); // -A
    press(SDL_CONTROLLER_BUTTON_DPAD_UP);    // -B
    press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT); // -BA
    press(SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // -B
    press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_FALSE(Front.HiScores->Entering);
    const THiScores& t = *Front.HiScores;
    EXPECT_EQ(t.Tables[1][t.EditRow].PlayerName(), "-B");
    press(SDL_CONTROLLER_BUTTON_B); // leaves the table
    EXPECT_EQ(State, gsMenu);

    // Unplugged in the middle of a game: the game pauses.
    State = gsMenu;
    Front.StartGame(gmNormal);
    ASSERT_EQ(Play.Game.EndPhase, epPlaying);
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0);
    Pump();
    EXPECT_EQ(Input->OpenControllers(), 0);
    EXPECT_EQ(Play.Game.EndPhase, epPaused);
    EXPECT_EQ(Screen(), 5);
}

TEST_F(TKeysAndPads, MashingEveryKeyAndButtonMovesOneCubeAtATimeAndLetsTheBoardRest)
{
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    Pump();
    SDL_Joystick* pad = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
    ASSERT_NE(pad, nullptr);
    const SDL_Scancode keys[] = {SDL_SCANCODE_LEFT, SDL_SCANCODE_RIGHT, SDL_SCANCODE_UP, SDL_SCANCODE_DOWN,
                                 SDL_SCANCODE_HOME, SDL_SCANCODE_END, SDL_SCANCODE_PAGEUP, SDL_SCANCODE_PAGEDOWN,
                                 SDL_SCANCODE_RETURN, SDL_SCANCODE_SPACE, SDL_SCANCODE_BACKSPACE, SDL_SCANCODE_DELETE,
                                 SDL_SCANCODE_ESCAPE, SDL_SCANCODE_P, SDL_SCANCODE_F1, SDL_SCANCODE_A,
                                 SDL_SCANCODE_KP_5, SDL_SCANCODE_TAB, SDL_SCANCODE_U};
    TRandom rng(7);
    State = gsMenu;
    Front.StartGame(gmNormal);
    int moves = 0;
    for (int step = 0; step < 40000; ++step)
    {
        if (State != gsGame)
        {
            // Mashing leaves the game now and then (through the pause screen, or the game
            // ends): a new one starts, so the board stays under fire.
            State = gsMenu;
            Front.HiScores->Entering = false;
            Front.StartGame(gmNormal);
        }
        const uint32_t pick = rng.Random(static_cast<int>(std::size(keys)) + SDL_CONTROLLER_BUTTON_MAX + 2);
        if (pick < std::size(keys))
        {
            Key(keys[pick], SDL_SCANCODE_TO_KEYCODE(keys[pick]), KMOD_NONE, rng.Random(3) == 0);
        }
        else if (pick < std::size(keys) + SDL_CONTROLLER_BUTTON_MAX)
        {
            const int button = static_cast<int>(pick - std::size(keys));
            SDL_JoystickSetVirtualButton(pad, button, SDL_PRESSED);
            Pump();
            SDL_JoystickSetVirtualButton(pad, button, SDL_RELEASED);
            Pump();
        }
        else
        {
            SDL_JoystickSetVirtualAxis(pad, static_cast<int>(rng.Random(2)),
                                       static_cast<int16_t>(static_cast<int>(rng.Random(65536)) - 32768));
            Pump();
        }
        if (State == gsGame && Play.Game.EndPhase == epPaused && rng.Random(4) == 0)
        {
            Key(SDL_SCANCODE_ESCAPE); // back to the board more often than the mashing finds it
        }
        for (int frame = 0; frame < 3 && State == gsGame; ++frame)
        {
            Play.Game.Update(16);
            const int moving = Play.Game.StateCounts[StateSlot(csMoving)];
            ASSERT_LE(moving, 1) << "two cubes on the move at step " << step;
            moves += moving;
        }
        ASSERT_EQ(CheckInvariants(Play.Game), "") << "step " << step;
    }
    EXPECT_GT(moves, 0) << "the mashing never moved a cube";
    // Let go of everything: a game still on the board comes to rest.
    if (State == gsGame && Play.Game.EndPhase == epPlaying)
    {
        RunUntilQuiet();
    }
}
