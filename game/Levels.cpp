// Reading the level table and the bonus figures from their data files.
#include "game/DataReader.h"
#include "game/Game.h"

#include <string>

namespace
{
std::string Range(int lo, int hi)
{
    return std::to_string(lo) + ".." + std::to_string(hi);
}

int ReadIntIn(TDataReader& in, const char* what, int lo, int hi)
{
    const int v = in.ReadInt();
    if (v < lo || v > hi)
    {
        in.Fail(std::string(what) + " " + std::to_string(v) + " is outside " + Range(lo, hi));
    }
    return v;
}

// A real in 0..MaxPoints: what the score and its labels can carry.
double ReadPoints(TDataReader& in, const char* what)
{
    const double v = in.ReadReal();
    if (!(v >= 0 && v <= MaxPoints))
    {
        in.Fail(std::string(what) + " " + RealText(v) + " is outside 0..1e12");
    }
    return v;
}
} // namespace

void TGame::CreateLevels()
{
    TDataReader in(DataFolder / "Levels.dat");

    const int n = in.ReadInt();
    if (n < MinLevels || n > MaxLevels)
    {
        in.Fail("the file holds " + std::to_string(n) + " levels; a level file needs " +
                Range(MinLevels, MaxLevels));
    }
    LevelCount = n;

    for (int l = 1; l <= n; ++l)
    {
        TLevel& v = Levels[l];
        v = TLevel{};
        in.SkipLine();
        // A file cut short says where, rather than reading the missing values as 0.
        auto next = [&in, l]
        {
            if (!in.HasValue())
            {
                in.FailAt(in.Line() - 1, "the file ends inside level " + std::to_string(l));
            }
            return &in;
        };
        v.Darkness = static_cast<uint8_t>(next()->ReadInt());
        v.Colours[1] = static_cast<uint8_t>(ReadIntIn(*next(), "Colours", 1, MaxColours));
        v.Colours[2] = static_cast<uint8_t>(ReadIntIn(*next(), "Colours", 1, MaxColours));
        v.NewCubes[1] = static_cast<uint8_t>(ReadIntIn(*next(), "NewCubes", 0, CellCount));
        v.NewCubes[2] = static_cast<uint8_t>(ReadIntIn(*next(), "NewCubes", 0, CellCount));
        v.FigureMin = static_cast<uint8_t>(ReadIntIn(*next(), "FigureMin", 1, MaxFigures));
        FigureRangeLine[l] = in.LastLine();
        v.FigureMax = static_cast<uint8_t>(ReadIntIn(*next(), "FigureMax", 1, MaxFigures));
        if (v.FigureMax < v.FigureMin)
        {
            in.Fail("FigureMax " + std::to_string(v.FigureMax) + " is below FigureMin " +
                    std::to_string(v.FigureMin));
        }
        v.Target[1] = ReadPoints(*next(), "Target");
        v.Target[2] = ReadPoints(*next(), "Target");
        v.Drain = ReadPoints(*next(), "Drain");
        v.JokerOdds = next()->ReadInt();
        // Stones still to come, or on a bonus level the bombs given: as many as the board
        // holds beside the level's stones, with a cell to spare.
        const bool bonus = l % 5 == 0;
        v.Stones[1] = ReadIntIn(*next(), bonus ? "Bombs" : "Stones", 0, bonus ? CellCount - 1 - v.NewCubes[1] : MaxStones);
        v.Stones[2] = ReadIntIn(*next(), bonus ? "Bombs" : "Stones", 0, bonus ? CellCount - 1 - v.NewCubes[2] : MaxStones);
        v.AllowBombs = in.ReadFlag();
        v.AllowShots = in.ReadFlag();
        v.AllowPaints = in.ReadFlag();

        const int q = l / 5;
        v.LevelKind = l % 5 == 4 ? lkFlyBy : (l % 5 == 0 ? lkBonus : lkNormal);
        v.CubePoints = 5 * q + 15;
        v.SquarePoints = 5 * q + 40;
        v.FigureFactor = 0.2 * q;
        v.BonusPoints = 100 * q + 300;
        if (v.LevelKind == lkBonus)
        {
            v.Target[1] = static_cast<double>(v.NewCubes[1]) * v.CubePoints;
        }
    }

    // Levels beyond the file are harder repetitions of the level fifty before.
    for (int l = n + 1; l <= MaxLevels; ++l)
    {
        TLevel& v = Levels[l];
        v = Levels[l - 50];
        FigureRangeLine[l] = FigureRangeLine[l - 50];
        v.Colours[1] = v.Colours[2] = MaxColours;
        if (v.LevelKind != lkBonus)
        {
            v.NewCubes[1] = static_cast<uint8_t>((l - 50) / 10 + 6);
            v.NewCubes[2] = static_cast<uint8_t>((l - 50) / 10 + 5);
            v.Target[1] *= 2;
            v.Target[2] *= 2;
        }
    }
}

void TGame::CreateBonus()
{
    TDataReader in(DataFolder / "BonusFigures.dat");

    const int m = in.ReadInt();
    if (m < 1 || m > MaxFigures)
    {
        in.Fail("the file holds " + std::to_string(m) + " figures; a figure file needs " +
                Range(1, MaxFigures));
    }
    FigureCount = m;

    for (int f = 1; f <= m; ++f)
    {
        TBonusFigure& fig = Figures[f];
        fig = TBonusFigure{};
        in.SkipLine();
        fig.TopColour = static_cast<uint8_t>(in.ReadInt());
        fig.Width = static_cast<uint8_t>(ReadIntIn(in, "Width", 1, 4));
        fig.Height = static_cast<uint8_t>(ReadIntIn(in, "Height", 1, 4));
        fig.BaseValue = ReadPoints(in, "BaseValue");
        for (int r = 1; r <= 4; ++r)
        {
            int digits[4];
            in.ReadDigits(4, digits);
            for (int c = 1; c <= 4; ++c)
            {
                TBonusCube& cell = fig.At(c, r);
                const int colour = digits[c - 1] >= 1 && digits[c - 1] <= MaxColours ? digits[c - 1] : 0;
                cell.Colour = cell.ShownColour = static_cast<uint8_t>(colour);
                cell.Scale = {0.46f, 0.46f, 0.46f};
                cell.Position = {static_cast<float>((c - fig.Width / 2.0) * 0.46 - 7.14),
                                 static_cast<float>((r - fig.Height / 2.0) * 0.46 - 2.32), 0.2f};
                cell.Rotation = {0, 0, 0};
            }
        }
    }

    // Every level must offer figures that exist.
    for (int l = 1; l <= MaxLevels && LevelCount > 0; ++l)
    {
        if (Levels[l].FigureMax > FigureCount)
        {
            throw TDataError(DataFolder / "Levels.dat", FigureRangeLine[l] + 1,
                             "FigureMax " + std::to_string(Levels[l].FigureMax) + " of level " +
                                 std::to_string(l) + " is above the " + std::to_string(FigureCount) +
                                 " figures of BonusFigures.dat");
        }
    }
}
