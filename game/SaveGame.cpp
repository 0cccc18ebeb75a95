// Saved games: one text file per mode in the user folder, one value per line.
//
//   1        date and time of saving (never read)
//   2        mode (1 or 2)
//   3        level (1..100)
//   4        stones still to come on that level, for that mode
//   5, 6     progress of the level, score (reals, 23-character scientific field)
//   7        bonus figure on offer
//   8        number of cubes N (0..81)
//   then 4 lines per cube: 1 if the cube had grown else 0, kind code, X, Y
//
// Files written since the undo came carry more lines (older files end here, and load with
// a fresh deal, no undo and a fresh figure):
//   the deal's seed (0..4294967295), then 1 if the last move can be taken back else 0;
//   with 1, the game before that move: its deal's seed, stones still to come, progress,
//   score, combo, bonus figure, its colour shift, number of cubes, and its cubes as above;
//   last, how far the figure's colours were moved up when it was chosen: with it the figure
//   of line 7 stays on offer when the game is resumed (a file without it, or with a figure
//   the level could not have chosen, gets a fresh choice).
//
// The file is written to a temporary file beside it, synced and renamed over the old one,
// so a crash, a kill, a power loss or a full disk never leaves half a save. A damaged file
// is refused as a whole before anything of the game changes.
#include "base/AtomicFile.h"
#include "base/DataError.h"
#include "game/DataReader.h"
#include "game/Game.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ctime>
#include <string>
#include <utility>

namespace
{
// The date line: the local date and time in the user's own format.
std::string SaveDateLine()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[128] = {};
    if (local == nullptr || std::strftime(text, sizeof text, "%x %X", local) == 0)
    {
        return "-";
    }
    return text;
}

// A real in the save file's 23-character scientific field: a blank or a minus, one digit,
// a point, 14 digits, E, the exponent's sign and four digits (" 1.50000000000000E+0003").
// Formatted without the C library's locale, so a German desktop writes the same point.
std::string FormatSaveReal(double value)
{
    if (!std::isfinite(value))
    {
        value = 0; // never produced by play; write something that reads back
    }
    char text[40];
    const auto r = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 14);
    const std::string s(text, r.ptr);
    const size_t e = s.find('e');
    const std::string mantissa = s.substr(0, e);
    const char sign = s[e + 1];
    std::string exponent = s.substr(e + 2);
    while (exponent.size() < 4)
    {
        exponent.insert(0, "0");
    }
    return (mantissa.front() == '-' ? "" : " ") + mantissa + "E" + sign + exponent;
}

struct TSavedCube
{
    bool Grown = false;
    uint8_t Kind = 1;
    uint8_t X = 0;
    uint8_t Y = 0;
};

// A board of saved cubes.
struct TSavedBoard
{
    int CubeCount = 0;
    std::array<TSavedCube, CellCount + 1> Cubes{};
};

// A game on its level: what the file holds of the game and of its undo point alike.
struct TSavedPlay
{
    int Stones = 0;
    double Progress = 0;
    double Score = 0;
    int Figure = 0;
    TSavedBoard Board;
};

// The game before its last move, for the undo.
struct TSavedUndo : TSavedPlay
{
    uint32_t Deal = 0;
    int Combo = 0;
    int FigureShift = 0;
};

// Everything a save file holds, checked before any of it reaches the game.
struct TSaveContent : TSavedPlay
{
    int Mode = 0;
    int Level = 0;
    bool HasDeal = false;
    uint32_t Deal = 0;
    bool HasUndo = false;
    TSavedUndo Undo;
    int FigureShift = -1; // none in the file
};

// Reads one value of a save file; a save file that ends early is damaged.
class TSaveReader
{
public:
    explicit TSaveReader(const std::filesystem::path& file) : In(file) {}

    void SkipLine() { In.SkipLine(); }

    int Int(const char* what)
    {
        Require(what);
        return In.ReadInt();
    }

    int IntIn(const char* what, int lo, int hi)
    {
        const int v = Int(what);
        if (v < lo || v > hi)
        {
            In.Fail(std::string(what) + " " + std::to_string(v) + " is outside " +
                    std::to_string(lo) + ".." + std::to_string(hi));
        }
        return v;
    }

    // A real within what the score and its labels can carry (-1e12..1e12).
    double RealIn(const char* what)
    {
        Require(what);
        const double v = In.ReadReal(true); // a decimal comma comes from builds that followed the locale
        if (!(v >= -MaxPoints && v <= MaxPoints))
        {
            In.Fail(std::string(what) + " " + RealText(v) + " is outside -1e12..1e12");
        }
        return v;
    }

    // A generator's seed, 0..4294967295.
    uint32_t Seed(const char* what)
    {
        Require(what);
        const double v = In.ReadReal();
        if (!(v >= 0 && v <= 4294967295.0 && v == std::floor(v)))
        {
            In.Fail(std::string(what) + " " + RealText(v) + " is not a whole number in 0..4294967295");
        }
        return static_cast<uint32_t>(v);
    }

    // Whether the file goes on: an older file ends after its cubes.
    bool More() { return In.HasValue(); }

    [[noreturn]] void Fail(const std::string& problem) const { In.Fail(problem); }
    bool HasValue() { return In.HasValue(); }

private:
    void Require(const char* what)
    {
        if (!In.HasValue())
        {
            In.FailAt(In.Line(), std::string("the file ends where the ") + what + " belongs");
        }
    }

    TDataReader In;
};

void ReadBoard(TSaveReader& in, TSavedBoard& board, const std::string& part);

TSaveContent ReadSaveFile(const std::filesystem::path& file)
{
    TSaveReader in(file);
    TSaveContent save;

    in.SkipLine(); // the date of saving
    save.Mode = in.Int("game mode");
    if (save.Mode != gmNormal && save.Mode != gmTimed)
    {
        in.Fail("game mode " + std::to_string(save.Mode) + " is neither 1 nor 2");
    }
    save.Level = in.IntIn("level", 1, MaxLevels);
    save.Stones = in.IntIn("stone count", 0, MaxStones);
    save.Progress = in.RealIn("level progress");
    save.Score = in.RealIn("score");
    save.Figure = in.Int("bonus figure");
    ReadBoard(in, save.Board, "");
    if (!in.More())
    {
        return save;
    }
    save.HasDeal = true;
    save.Deal = in.Seed("deal seed");
    save.HasUndo = in.IntIn("undo flag", 0, 1) == 1;
    if (save.HasUndo)
    {
        TSavedUndo& u = save.Undo;
        u.Deal = in.Seed("undo deal seed");
        u.Stones = in.IntIn("undo stone count", 0, MaxStones);
        u.Progress = in.RealIn("undo level progress");
        u.Score = in.RealIn("undo score");
        u.Combo = in.IntIn("undo combo", 0, 1000000);
        u.Figure = in.IntIn("undo bonus figure", 0, MaxFigures);
        u.FigureShift = in.IntIn("undo figure colour shift", 0, MaxColours);
        ReadBoard(in, u.Board, "undo ");
    }
    if (in.More())
    {
        save.FigureShift = in.IntIn("figure colour shift", 0, MaxColours);
    }
    return save;
}

void ReadBoard(TSaveReader& in, TSavedBoard& board, const std::string& part)
{
    board.CubeCount = in.IntIn((part + "cube count").c_str(), 0, CellCount);
    std::array<std::array<int, BoardSize + 1>, BoardSize + 1> owner{}; // cube on each cell
    for (int i = 1; i <= board.CubeCount; ++i)
    {
        const std::string cube = part + "cube " + std::to_string(i);
        TSavedCube& c = board.Cubes[i];
        c.Grown = in.Int((cube + " state").c_str()) != 0;
        c.Kind = TextureIndexToKind(in.Int((cube + " kind").c_str()));
        c.X = static_cast<uint8_t>(in.IntIn((cube + " X").c_str(), 1, BoardSize));
        c.Y = static_cast<uint8_t>(in.IntIn((cube + " Y").c_str(), 1, BoardSize));
        int& first = owner[c.X][c.Y];
        if (first != 0)
        {
            in.Fail("cell (" + std::to_string(c.X) + ", " + std::to_string(c.Y) + ") of " + cube +
                    " is already taken by " + part + "cube " + std::to_string(first));
        }
        first = i;
    }
}
} // namespace

std::string TGame::SaveText() const
{
    const TLevel& level = Levels[Level];

    std::string text = SaveDateLine() + "\n";
    auto line = [&text](const std::string& value) { text += value + "\n"; };
    auto board = [&line](int count, const std::array<TCube, CellCount + 1>& cubes)
    {
        line(std::to_string(count));
        for (int i = 1; i <= count; ++i)
        {
            const TCube& c = cubes[i];
            line(c.State != csWaiting ? "1" : "0");
            line(std::to_string(KindToTextureIndex(c.Kind)));
            line(std::to_string(c.X));
            line(std::to_string(c.Y));
        }
    };
    line(std::to_string(Mode));
    line(std::to_string(Level));
    line(std::to_string(level.Stones[Mode]));
    // Points still being counted in belong to the score (and to the progress, where the
    // counting adds to it): a game left or saved at once keeps them.
    const bool toProgress = Mode != gmTimed || level.LevelKind != lkBonus;
    const double pending = std::max(PendingScore, 0.0);
    line(FormatSaveReal(level.Progress + (toProgress ? pending : 0)));
    line(FormatSaveReal(Score + pending));
    line(std::to_string(Figure));
    board(CubeCount, Cubes);
    line(std::to_string(Deal.Seed));
    // Also while paused or in mid-move: the point stays good until the next rest.
    const bool undo = UndoReady && Mode == gmNormal && UndoPoint.Level == Level;
    line(undo ? "1" : "0");
    if (undo)
    {
        const TUndoPoint& u = UndoPoint;
        line(std::to_string(u.Deal.Seed));
        line(std::to_string(u.LevelState.Stones[Mode]));
        const double undoPending = std::max(u.PendingScore, 0.0);
        line(FormatSaveReal(u.LevelState.Progress + (toProgress ? undoPending : 0)));
        line(FormatSaveReal(u.Score + undoPending));
        line(std::to_string(u.Combo));
        line(std::to_string(u.Figure));
        line(std::to_string(u.FigureShown.ColourShift));
        board(u.CubeCount, u.Cubes);
    }
    line(std::to_string(FigureShift()));
    return text;
}

void TGame::SaveGame()
{
    const std::filesystem::path file = SaveFile(Mode);
    if (const std::string problem = WriteFileAtomically(file, SaveText()); !problem.empty())
    {
        throw TDataError(file, 0, problem);
    }
}

uint8_t TGame::TakeSaveRequest()
{
    return std::exchange(SaveRequest, srNone);
}

void TGame::LoadGame(int mode)
{
    UndoReady = false;
    ClearBoard();
    Level = 1;
    Mode = static_cast<uint8_t>(mode);

    const std::filesystem::path file = SaveFile(mode);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
    {
        return;
    }
    if (!std::filesystem::is_regular_file(file, ec))
    {
        throw TDataError(file, 0, "is not a file");
    }
    const TSaveContent save = ReadSaveFile(file);

    Mode = static_cast<uint8_t>(save.Mode);
    Level = save.Level;
    TLevel& level = Levels[Level];
    const TLevel levelRead = level;
    if (save.HasDeal)
    {
        Deal = TRandom(save.Deal);
    }
    else
    {
        NewDeal();
    }
    if (save.HasUndo)
    {
        // The game before the last move is laid out at rest and kept as the undo point.
        const TSavedUndo& u = save.Undo;
        level.Stones[Mode] = u.Stones;
        level.Progress = u.Progress;
        Score = u.Score;
        PendingScore = 0;
        Combo = u.Combo;
        NoScoreMove = false;
        SpecialsOwed = 0;
        for (int i = 1; i <= u.Board.CubeCount; ++i)
        {
            const TSavedCube& s = u.Board.Cubes[i];
            TakeCell({s.X, s.Y});
            PutNewCube(s.Kind, {s.X, s.Y}, s.Grown);
        }
        ShowFigure(u.Figure, u.FigureShift);
        KeepUndoPoint();
        UndoPoint.Deal = TRandom(u.Deal);
        ClearBoard();
        level = levelRead;
    }

    level.Stones[Mode] = save.Stones;
    level.Progress = save.Progress;
    Score = save.Score;
    PendingScore = 0;
    Figure = save.Figure;

    // Every cube comes back small; a grown one grows to full size again on its cell.
    for (int i = 1; i <= save.Board.CubeCount; ++i)
    {
        const TSavedCube& s = save.Board.Cubes[i];
        const TCell cell{s.X, s.Y};
        TakeCell(cell);
        const int n = PutNewCube(s.Kind, cell, false);
        if (s.Grown)
        {
            SetState(n, csGrowing);
            Cells[s.X][s.Y].Occupancy = coOccupied;
        }
    }

    PrevStateCounts = StateCounts;
    PathLength = 0;
    Selected = 0;
    Combo = 0;
    LevelTime = 0;
    // The figure the player was building stays on offer.
    if (!KeepFigure(save.Figure, save.FigureShift))
    {
        NewFigure(false);
    }

    const double target = level.Target[Mode];
    const double fraction = target != 0 ? level.Progress / target : 0;
    Display.Fraction = fraction;
    Display.StartFraction = fraction;
}

TSaveSummary TGame::ReadSavedGame(int mode) const
{
    const std::filesystem::path file = SaveFile(mode);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec))
    {
        throw TDataError(file, 0, "is not a file");
    }
    const TSaveContent save = ReadSaveFile(file);
    TSaveSummary saved{save.Mode, save.Level, save.Score, {}};
    saved.Written = std::filesystem::last_write_time(file, ec);
    return saved;
}
