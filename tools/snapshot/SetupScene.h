// Set-up scenes for the snapshot tool: a board laid out cube by cube and a few moves of the
// player, played by the real rules, then one frame cropped to the part of the screen that is
// wanted. The tutorial and help pictures are made from a file of these:
//
//   scene NAME          starts a scene; NAME (a-z, 0-9, '-') names its picture
//   level N             the level played, 1..100 (default 1)
//   mode 1|2            relaxed or timed (default 1)
//   seed S              the random seed of the scene (default 1)
//   board               then nine rows of nine cells, top row first, as the player sees them:
//                         R G B Y P C W  cubes of colours 1..7   r g b y p c w  announced cubes
//                         J joker  X bomb  T shot  O stone  1..7 paint cubes  .  empty cell
//                       (blanks between the cells are allowed); without it the level's own
//                       board stays
//   figure N SHIFT      the bonus figure N of the figure file, its colours moved up by SHIFT
//   combo N             scoring moves in a row so far
//   score N             the score shown
//   progress F          the progress bar filled to F (0..1) of the level's target
//   lamps N             bonus lamps lit, 0..5
//   point C R           the mouse moves to the cell in column C, row R (1..9 from the top left)
//   click C R           the mouse moves there and clicks (picks a cube, sends it, aims a shot)
//   wait MS             the game runs for MS milliseconds
//   cursor on|off       the mouse pointer drawn or not (default on)
//   clock MS            the program's clock when the frame is drawn (the timed bar's warning
//                       pulse follows it; default 10000)
//   cells C0 R0 C1 R1   the picture is that block of cells with a small margin
//   area X0 Y0 X1 Y1    the picture is that rectangle of the back plane, in world units
//                       (without cells or area the picture is the whole frame)
//
// Steps run in the order written. Anything after '#' is a comment.
#pragma once

#include "game/GameSetup.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

struct TSceneStep
{
    int Line = 0;
    std::string Verb;
    std::vector<double> Args;
};

struct TSetupScene
{
    std::string Name;
    int Line = 0;
    int Level = 1;
    int Mode = 1;
    uint32_t Seed = 1;
    bool HasBoard = false;
    std::array<std::string, BoardSize> Board; // top row first, nine cells each
    std::vector<TSceneStep> Steps;
    bool Cursor = true;
    double Clock = 10000;
    bool Cropped = false;
    // The back-plane rectangle shown, in world units (Left > Right: x grows to the screen left).
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
};

// Reads a scene file; a file that cannot be read or a bad line throws TDataError naming the
// file, the line and the problem.
std::vector<TSetupScene> ReadSetupScenes(const std::filesystem::path& file);

// The board cell under column c, row r of the picture (both 1..9 from the top left).
TCell ScreenCell(int column, int row);

// Starts a game at the scene's level and mode, lays out its board and plays its steps. A
// step the rules cannot follow (a click that picks nothing, a figure not in the file) throws
// TDataError naming the scene file and the step's line.
void BuildSetupScene(TGameSetup& game, NullGameHost& host, const TSetupScene& scene,
                     const std::filesystem::path& file);

struct TPixelRect
{
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
};

// The part of a width x height frame, seen from the camera at rest, that the scene shows.
TPixelRect SceneCrop(const TSetupScene& scene, int width, int height);
