// game/ owns the rules: board, cubes, levels, figures, moves, scoring, level flow, input,
// saved games. It includes base/ only and no SDL, GL, GTK or mixer header; what it needs of
// the program goes through IGameHost (GameHost.h). This is its main header.
//
// The game object: board, cubes, levels, bonus figures and score, with every rule that
// changes them. It knows nothing of windows, sound devices or graphics: what it needs
// from them goes through IGameHost, and what the scene shows is plain state here.
//
// Tables are 1-based as the rules count them (index 0 unused) except Path, which is
// 0-based. Cells are indexed [X][Y] with X and Y in 1..9.
#pragma once

#include "game/GameHost.h"
#include "game/Labels.h"
#include "game/Particles.h"
#include "game/Random.h"
#include "base/TexMatrix.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

enum TCubeKind : uint8_t
{
    ckJoker = 8,
    ckBomb = 9,
    ckShot = 10,
    ckPaint1 = 11,
    ckPaint7 = 17,
    ckStone = 18,
};

enum TCubeState : uint8_t
{
    csWaiting = 0,
    csGrowing = 1,
    csIdle = 2,
    csSpin = 3,
    csSelected = 4,
    csTurn = 5,
    csMoving = 6,
    csVanishing = 7,
    csRemoved = 8,
};

enum TOccupancy : uint8_t
{
    coEmpty = 0,
    coReserved = 1, // a waiting or growing cube stands here
    coOccupied = 2,
};

enum TEndPhase : uint8_t
{
    epPlaying = 0,
    epLevelDone = 1,
    epGameOver = 2,
    epPaused = 3,
};

// What the rules ask of the save file of the game's mode (TGame::TakeSaveRequest).
// A saved game as the offer to resume it shows it.
struct TSaveSummary
{
    int Mode = 0;
    int Level = 0;
    double Score = 0;
    std::filesystem::file_time_type Written; // the file's time
};

enum TSaveRequest : uint8_t
{
    srNone = 0,
    srWrite = 1,  // a move has ended: the game on the board is due for its file
    srRemove = 2, // the game is over: its file goes
};

enum TLevelKind : uint8_t
{
    lkNormal = 0,
    lkFlyBy = 1, // level number mod 5 = 4
    lkBonus = 2, // level number mod 5 = 0
};

enum TGameMode : uint8_t
{
    gmNormal = 1,
    gmTimed = 2,
};

constexpr int BoardSize = 9;
constexpr int CellCount = 81;
constexpr int MaxLevels = 100;
constexpr int MinLevels = 50;
constexpr int MaxFigures = 30;
constexpr int MaxColours = 7;
// The most stones a level may still bring: no board holds more.
constexpr int MaxStones = CellCount;
// The largest score, target, drain or figure value a file may hold: far beyond any game
// played, and every score shown from it stays an exact whole number.
constexpr double MaxPoints = 1e12;
// A still board is updated at least this often (in ms), so that an idle turn rolled in an
// update starts within a few frames of its moment; the rate of the turns does not depend
// on it.
constexpr float StillUpdateInterval = 50;

// A score or value as the whole number its label shows: rounded, and clamped to the
// points a file may hold (a NaN shows 0).
inline long long PointsText(double value)
{
    if (std::isnan(value))
    {
        return 0;
    }
    return static_cast<long long>(std::nearbyint(std::clamp(value, -MaxPoints, MaxPoints)));
}

// Texture index of a kind: kind - 1 for 1..17, 17 for anything else.
constexpr int KindToTextureIndex(int kind)
{
    return (kind >= 1 && kind <= 17) ? kind - 1 : 17;
}
// Kind made from a random or stored index: n + 1 for 1..17, 1 for anything else.
constexpr uint8_t TextureIndexToKind(int n)
{
    return static_cast<uint8_t>((n >= 1 && n <= 17) ? n + 1 : 1);
}
// Counter slot of a state in StateCounts: s + 1 for 0..7, 9 for anything else.
constexpr int StateSlot(int state)
{
    return (state >= 0 && state <= 7) ? state + 1 : 9;
}
constexpr bool IsColourKind(int kind) { return kind >= 1 && kind <= MaxColours; }
constexpr bool IsPaintKind(int kind) { return kind >= ckPaint1 && kind <= ckPaint7; }

struct TCell
{
    uint8_t X = 0;
    uint8_t Y = 0;

    friend bool operator==(const TCell&, const TCell&) = default;
};

// One level; fields that exist once per mode are indexed by the mode (1 or 2).
struct TLevel
{
    std::array<uint8_t, 3> NewCubes{}; // on a bonus level: the stones laid out
    std::array<uint8_t, 3> Colours{};
    int JokerOdds = 0;
    std::array<int, 3> Stones{}; // normal level: stones still to come; bonus level: bombs given
    bool AllowBombs = false;
    bool AllowShots = false;
    bool AllowPaints = false;
    uint8_t FigureMin = 0;
    uint8_t FigureMax = 0;
    double Progress = 0;
    std::array<double, 3> Target{};
    double Drain = 0; // progress lost per millisecond in the timed mode
    uint8_t LevelKind = lkNormal;
    uint8_t Darkness = 0;
    int CubePoints = 0;
    int SquarePoints = 0;
    double FigureFactor = 0;
    int BonusPoints = 0;
};

struct TCube
{
    TVector3 Scale;
    TVector3 Position;
    TVector3 Rotation;
    uint8_t State = csWaiting;
    float Anim = 0;
    uint8_t TurnAxis = 1; // 1 = X, 2 = Y, 3 = Z
    int8_t TurnDir = 1;
    float TurnTarget = 0;
    float PathStart = 0;
    float PathPos = 0;
    float NextHop = 0;
    TVector3 Velocity; // scatter effect
    TVector3 Gravity;
    TVector3 Spin;
    uint8_t Kind = 1;
    uint8_t X = 0;
    uint8_t Y = 0;
};

struct TBoardCell
{
    uint8_t Occupancy = coEmpty;
    uint8_t Cube = 0;     // index in Cubes
    uint8_t Distance = 0; // steps from the selected cube, 0 = not reached
};

// A step of the path shown on the board; the renderer picks its picture by DotKind.
struct TDot
{
    TVector3 Scale;
    TVector3 Position;
    TVector3 Rotation;
    uint8_t DotKind = 1; // 1 path step, 2 reachable target, 3 unreachable target
    uint8_t X = 0;
    uint8_t Y = 0;
};

// A cube of the bonus figure shown beside the board, drawn with its colour's texture.
struct TBonusCube
{
    TVector3 Scale;
    TVector3 Position;
    TVector3 Rotation;
    uint8_t Colour = 0;      // 0 = empty, 1..7 as read
    uint8_t ShownColour = 0; // after the colour shift; 0 = empty
};

struct TBonusFigure
{
    uint8_t Width = 0;  // columns used, 1..4
    uint8_t Height = 0; // rows used, 1..4
    uint8_t TopColour = 0;
    std::array<TBonusCube, 16> Cells{}; // column by column: (c, r) is (c - 1) * 4 + (r - 1)
    double BaseValue = 0;
    double Value = 0;
    uint8_t ColourShift = 0; // what the shown colours add to the colours read

    TBonusCube& At(int c, int r) { return Cells[(c - 1) * 4 + (r - 1)]; }
    const TBonusCube& At(int c, int r) const { return Cells[(c - 1) * 4 + (r - 1)]; }
};

struct TDelayedScoreLabel
{
    bool Active = false;
    TVector3 Position;
    std::string Text;
};

// What the progress bar and the bonus lamps show, written by the rules, read by the scene.
struct TGameDisplay
{
    double Fraction = 0;      // progress bar fill, 0..1
    double StartFraction = 0; // fill when the level-end phase began
    int LampCount = 5;        // bonus lamps lit
};

// The game as it stood when the last move began, kept for the one-step undo of the normal
// mode: a fixed copy inside the game's state, so taking it allocates nothing. The cube that
// was picked up to move is kept put down, at rest.
struct TUndoPoint
{
    int Level = 0;
    TLevel LevelState; // the level's progress and the stones it still brings
    double Score = 0;
    double PendingScore = 0;
    int Combo = 0;
    bool NoScoreMove = false;
    int SpecialsOwed = 0;
    int CubeCount = 0;
    std::array<TCube, CellCount + 1> Cubes{};
    std::array<int, 10> StateCounts{};
    TBoardCell Cells[BoardSize + 1][BoardSize + 1]{};
    int8_t FreeCount = 0;
    std::array<TCell, CellCount + 1> FreeCells{};
    int Figure = 0;
    TBonusFigure FigureShown; // the figure on offer, in its shown colours
    TRandom Deal;
};

// The state of a game: what the rules change and the scene, the menus and the shell show.
// Only the rules write it (TGame); the rest of the program reads it through TGame::View(),
// and the tests and tools that lay out boards write it through TGameSetup (GameSetup.h).
struct TGameFields
{
    TLevel& CurrentLevel() { return Levels[Level]; }
    const TLevel& CurrentLevel() const { return Levels[Level]; }
    // Every change of a cube's State goes through here to keep StateCounts true.
    void SetState(int cube, uint8_t state);
    // The fill of the progress bar, 0..1: the level's progress towards its target while
    // playing, else what the level-end phases show.
    double BarFraction() const;
    // The last move can be taken back (TGame::Undo): the normal mode, in play, a move made
    // on this level and not taken back yet, and every cube at rest (none grows, moves or
    // vanishes) with no special cube owed.
    bool CanUndo() const;

    int Level = 0;
    int LevelCount = 0;
    std::array<TLevel, MaxLevels + 1> Levels{};
    double LevelTime = 0;
    uint8_t Mode = gmNormal;
    double Score = 0;
    double PendingScore = 0;
    int Combo = 0;
    int CubeCount = 0;
    int Selected = 0;
    std::array<TCube, CellCount + 1> Cubes{};
    std::array<int, 10> StateCounts{};     // slots 1..9
    std::array<int, 10> PrevStateCounts{}; // copy taken at the end of every update
    int8_t FreeCount = 0;
    std::array<TCell, CellCount + 1> FreeCells{};
    int PathLength = 0;
    std::array<TDot, CellCount> Path{};
    TBoardCell Cells[BoardSize + 1][BoardSize + 1]{};
    TCell HoverCell;
    TCell ShotCell;
    int FigureCount = 0;
    int Figure = 0;
    std::array<TBonusFigure, MaxFigures + 1> Figures{};
    int SpecialsOwed = 0;
    bool NoScoreMove = false;
    uint8_t EndPhase = epPlaying;
    uint8_t PausedPhase = epPlaying; // what a pause interrupted, and Resume goes back to
    double PhaseTime = 0;
    bool BoardQuiet = false;
    // The time-up warning of the timed mode: the game time the update has counted while
    // the bar was low, and when the next beep is due in it (0: none scheduled).
    double WarningTime = 0;
    double NextBeep = 0;
    // Nothing grew, moved or vanished at the end of the last update; what the save file is due.
    bool WasAtRest = false;
    uint8_t SaveRequest = srNone;
    // The draws that decide what the board gets (new cubes and their cells, special cubes,
    // bonus figures) come from this generator of the game's own, so that the same move from
    // the same board deals the same cubes however long the player waited or the animations
    // took; looks (turns, sparks, bursts) draw from the shared one. Seeded from the shared
    // one when a game starts, and saved with the game.
    TRandom Deal;
    bool UndoReady = false; // UndoPoint holds the board before the last move
    TUndoPoint UndoPoint;

    std::array<TDelayedScoreLabel, 3> DelayedLabels{}; // slots 1 and 2
    TScoreLabels Labels;
    TParticleSystems Particles;
    TGameDisplay Display;
};

// The game object: the rules over TGameFields. The front end and the shell drive it by
// its verbs (start, pause, resume, save, load, the update and the player's input) and
// read what it shows through View().
class TGame : protected TGameFields
{
public:
    // dataFolder holds Levels.dat and BonusFigures.dat; userFolder receives the saves.
    TGame(IGameHost& host, TRandom& random, std::filesystem::path dataFolder,
          std::filesystem::path userFolder);

    // What the scene, the menus and the shell read.
    const TGameFields& View() const { return *this; }
    IGameHost& GameHost() const { return Host; }
    int CountKind(uint8_t kind) const;

    // --- loading ---------------------------------------------------------------------------
    // A fresh game object: its levels, figures and pictures are still to be loaded.
    void Create();
    // Throw TDataError naming the file, the line and the problem.
    void CreateLevels();
    void CreateBonus();
    // The pen advance of the label fonts, once the renderer has measured them.
    void SetLabelAdvance(const TScoreLabels& measured) { Labels.Advance = measured.Advance; }

    // --- the game's course, as the menus and the shell steer it ------------------------------
    // A new game of the mode (gmNormal, gmTimed) at its first level, in play.
    void Start(uint8_t mode);
    // The board stops (the pause screen, the offer of the saved game) and goes on again
    // in the phase it was in: play, or the end of a level.
    void Pause();
    void Resume();

    // --- per-frame update --------------------------------------------------------------------
    void Update(float dt);
    // Nothing on the board moves: no cube grows, turns, spins, hovers, moves or vanishes,
    // no particle or label is alive, no score is being counted in, no bar drains, no
    // level-end phase or camera flight runs. An update of a still board changes nothing
    // that is drawn, unless an idle cube's turn is rolled (after which it is not still).
    // With sparksFly, the bombs' fuse sparks may fly on such a board: a looping effect,
    // which the shell may draw at a lower rate.
    bool Still(bool sparksFly = false) const;

    // --- input ---------------------------------------------------------------------------
    void MouseMove();
    void MouseDown(int button);
    uint8_t Deselect();
    bool CursorOnBoard() const;
    TCell CursorCell() const;
    bool CursorOnCube(int i) const;

    // --- saved games ---------------------------------------------------------------------
    std::filesystem::path SaveFile(int mode) const;
    // The game on the board in the save file's format.
    std::string SaveText() const;
    // Writes SaveText() to the mode's file at once; throws TDataError naming the file.
    void SaveGame();
    // What the rules have asked of the save file since the last call (TSaveRequest): a
    // write once the board is at rest again after a move while playing (also the first
    // rest of a new level or a resumed game), the removal when the game is over.
    uint8_t TakeSaveRequest();
    // --- the one-step undo of the normal mode ----------------------------------------------
    // When CanUndo(): the board, the announced cubes, the score, the level's progress, the
    // combo and the bonus figure return to what they were before the last move, the game is
    // due for its save file, and true is returned; otherwise nothing changes.
    bool Undo();

    // The saved game of the mode on the board; a missing file leaves an empty board of the
    // mode's first level. Throws TDataError naming the file and the problem.
    void LoadGame(int mode);
    // What the mode's save file holds, read and checked whole without touching the game.
    // Throws TDataError naming the file, the line and the problem.
    TSaveSummary ReadSavedGame(int mode) const;

protected:
    // --- moves and turns -------------------------------------------------------------
    void ClearBoard();
    void NewTurn();
    void AddCube();
    void AddSpecialCube(uint8_t kind);
    void PlaceSpecialCube(uint8_t kind, TCell cell);
    void AddSpecial();
    TCell TakeFreeCell(); // (0, 0) when the game is over
    void DropFreeCell(int i);
    void TakeCell(TCell cell); // off the free list, if it is on it
    // A new cube on a cell already off the free list: announced (small, the cell reserved)
    // or full and at rest (the cell occupied). Returns its index.
    int PutNewCube(uint8_t kind, TCell cell, bool full);
    void GrowWaitingCubes();
    void Select(int i);
    void ComputeDistances();
    void BuildPath();
    void AddDot(TCell cell, uint8_t kind);
    void StartMove();
    void UpdateMoving(int i, float dt);
    void Arrive(int i);
    void RemoveCube(int i);
    void ExplodeBomb(TCell cell);
    void Paint(TCell cell, int k);
    void Shoot(uint8_t kind);
    bool CheckGameOver(bool onSpawn);
    // A move begins: the board as it is becomes the undo point (normal mode only).
    void KeepUndoPoint();

    // --- squares, figures and score ----------------------------------------------------
    void CheckSquares();
    bool CheckFigure();
    void NewFigure(bool reward);
    // Figure `figure` on offer with its colours moved up by `shift` (the random part of a
    // new figure), and that shift read back from the figure on offer.
    void ShowFigure(int figure, int shift);
    int FigureShift() const;
    // The figure and shift of a saved game, when the level could have chosen them.
    bool KeepFigure(int figure, int shift);
    void BankScore(bool all, float dt);
    void EndBonusLevel();

    // --- level flow ------------------------------------------------------------------------
    void NewGame();
    void NewDeal();
    void NextLevel();
    void CompleteLevel();
    // While playing, the progress bar shows Progress / Target[Mode] (Update calls this at
    // its start).
    void SyncDisplay();

    // --- animations and level-end effects ----------------------------------------------------
    void Grow(int i, float dt);
    void StartTurn(int i);
    void Turn(int i, float dt);
    void StartSpin(int i);
    void SpinCube(int i, float dt);
    void Hover(int i, float dt);
    void Vanish(int i, float dt);
    void EmitFuseSparks(int i);
    void Burst(int i);
    void Scatter(int style);
    void ScatterStep();
    void MoveCamera(double t);

    IGameHost& Host;
    TRandom& Rng;
    std::filesystem::path DataFolder;
    std::filesystem::path UserFolder;

private:
    // Parts of Update, in the order of the frame.
    void StartFrame(float dt);
    void AnimateCubes(float dt);
    void AnimateEffects(float dt);
    void LookForSquares();
    void DrainProgress(float dt);
    void CheckLevelEnd();
    void EndTurnAfterMiss();
    void BurstVanishingCubes();
    void AddOwedSpecials();
    void UpdateEndPhase(float dt);
    bool HasOrdinaryCubes() const;
    // No cube is in the state now, and some were at the end of the last update.
    bool JustEnded(uint8_t state) const;
    void ShowDelayedLabel(int slot);
    TVector3 Centred(TVector3 english, std::string_view englishText, std::string_view shown) const;
    void UpdateLevelDone(float dt);
    void UpdateGameOver(float dt);
    void WarnOfTimeUp(float dt);

    // Line of each level's FigureMin in Levels.dat, to name it when the range is refused.
    std::array<int, MaxLevels + 1> FigureRangeLine{};
};
