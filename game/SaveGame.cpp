// Saved games: one text file per mode in the user folder, one value per line.
//
//   1        date and time of saving (never read)
//   2        mode (1 or 2)
//   3        level (1..100)
//   4        stones still to come on that level, for that mode
//   5, 6     progress of the level, score (reals, 23-character scientific field)
//   7        bonus figure on offer (read, then replaced by a fresh choice)
//   8        number of cubes N (0..81)
//   then 4 lines per cube: 1 if the cube had grown else 0, kind code, X, Y
//   last     how far the figure's colours were moved up when it was chosen; with it the
//            figure of line 7 stays on offer when the game is resumed (a file without it,
//            or with a figure the level could not have chosen, gets a fresh choice)
//
// The file is written to a temporary file beside it, synced and renamed over the old one,
// so a crash, a kill, a power loss or a full disk never leaves half a save. A damaged file
// is refused as a whole before anything of the game changes.
#include "base/AtomicFile.h"
#include "base/DataError.h"
#include "game/DataReader.h"
#include "game/Game.h"

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

// Everything a save file holds, checked before any of it reaches the game.
struct TSaveContent
{
    int Mode = 0;
    int Level = 0;
    int Stones = 0;
    double Progress = 0;
    double Score = 0;
    int Figure = 0;
    int CubeCount = 0;
    std::array<TSavedCube, CellCount + 1> Cubes{};
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
    save.CubeCount = in.IntIn("cube count", 0, CellCount);

    std::array<std::array<int, BoardSize + 1>, BoardSize + 1> owner{}; // cube on each cell
    for (int i = 1; i <= save.CubeCount; ++i)
    {
        const std::string cube = "cube " + std::to_string(i);
        TSavedCube& c = save.Cubes[i];
        c.Grown = in.Int((cube + " state").c_str()) != 0;
        c.Kind = TextureIndexToKind(in.Int((cube + " kind").c_str()));
        c.X = static_cast<uint8_t>(in.IntIn((cube + " X").c_str(), 1, BoardSize));
        c.Y = static_cast<uint8_t>(in.IntIn((cube + " Y").c_str(), 1, BoardSize));
        int& first = owner[c.X][c.Y];
        if (first != 0)
        {
            in.Fail("cell (" + std::to_string(c.X) + ", " + std::to_string(c.Y) + ") of cube " +
                    std::to_string(i) + " is already taken by cube " + std::to_string(first));
        }
        first = i;
    }
    if (in.HasValue())
    {
        save.FigureShift = in.IntIn("figure colour shift", 0, MaxColours);
    }
    return save;
}
} // namespace

std::string TGame::SaveText() const
{
    const TLevel& level = Levels[Level];

    std::string text = SaveDateLine() + "\n";
    auto line = [&text](const std::string& value) { text += value + "\n"; };
    line(std::to_string(Mode));
    line(std::to_string(Level));
    line(std::to_string(level.Stones[Mode]));
    line(FormatSaveReal(level.Progress));
    line(FormatSaveReal(Score));
    line(std::to_string(Figure));
    line(std::to_string(CubeCount));
    for (int i = 1; i <= CubeCount; ++i)
    {
        const TCube& c = Cubes[i];
        line(c.State != csWaiting ? "1" : "0");
        line(std::to_string(KindToTextureIndex(c.Kind)));
        line(std::to_string(c.X));
        line(std::to_string(c.Y));
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
    level.Stones[Mode] = save.Stones;
    level.Progress = save.Progress;
    Score = save.Score;
    Figure = save.Figure;

    // Every cube comes back small; a grown one grows to full size again on its cell.
    for (int i = 1; i <= save.CubeCount; ++i)
    {
        const TSavedCube& s = save.Cubes[i];
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
