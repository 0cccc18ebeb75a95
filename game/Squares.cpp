// What scores: 2 x 2 squares of one colour, the current bonus figure, the combo of
// consecutive scoring moves, the flow of points into the score and the level's progress,
// and the bonus paid at the end of a bonus level.
#include "base/Text.h"
#include "game/Game.h"
#include "game/RuleHelpers.h"

#include <algorithm>
#include <cmath>

using namespace rules;

namespace
{
bool IsSpecialKind(int kind)
{
    return kind >= ckBomb && kind <= ckStone;
}

// The cube standing on an occupied cell, or 0.
int CubeOn(const TGameFields& g, int x, int y)
{
    const TBoardCell& c = g.Cells[x][y];
    return c.Occupancy == coOccupied && c.Cube >= 1 && c.Cube <= g.CubeCount ? c.Cube : 0;
}

// The square with its lower corner at (x, y), x and y in 1..8. Overlapping squares all
// count, because only the far corner is asked whether it is vanishing already.
bool TakeSquare(TGameFields& g, int x, int y)
{
    const int q[4] = {CubeOn(g, x, y), CubeOn(g, x + 1, y), CubeOn(g, x, y + 1),
                      CubeOn(g, x + 1, y + 1)};
    if (q[0] == 0 || q[1] == 0 || q[2] == 0 || q[3] == 0)
    {
        return false;
    }
    int kind[4];
    for (int k = 0; k < 4; ++k)
    {
        kind[k] = g.Cubes[q[k]].Kind;
    }
    int h = kind[0];
    if (h == ckJoker)
    {
        if (kind[1] != ckJoker)
        {
            h = kind[1];
        }
        else if (kind[2] == ckJoker)
        {
            h = kind[3];
        }
        else
        {
            h = kind[2];
        }
    }
    for (int k = 0; k < 4; ++k)
    {
        if (kind[k] != h && kind[k] != ckJoker)
        {
            return false;
        }
    }
    if (IsSpecialKind(h) || g.Cubes[q[3]].State == csVanishing)
    {
        return false;
    }
    for (int k = 0; k < 4; ++k)
    {
        if (g.Cubes[q[k]].State != csVanishing)
        {
            g.SetState(q[k], csVanishing);
            g.Cubes[q[k]].Anim = 0;
        }
    }
    return true;
}

// Whether the figure lies on the board with its first column on x = r and its first row
// on y = s. A figure with no visible cell matches nowhere.
bool FigureAt(const TGameFields& g, const TBonusFigure& f, int w, int h, int r, int s)
{
    bool any = false;
    for (int i = 1; i <= w; ++i)
    {
        for (int j = 1; j <= h; ++j)
        {
            const int colour = f.At(i, j).ShownColour;
            if (colour == 0)
            {
                continue;
            }
            const int cube = CubeOn(g, r + i - 1, s + j - 1);
            if (cube == 0)
            {
                return false;
            }
            const int kind = g.Cubes[cube].Kind;
            if (kind != ckJoker && kind != colour)
            {
                return false;
            }
            any = true;
        }
    }
    return any;
}

TVector3 At(int x, int y)
{
    return {static_cast<float>(x), static_cast<float>(y), 0.0f};
}
} // namespace

void TGame::CheckSquares()
{
    const TLevel& l = CurrentLevel();
    int n = 0;
    TCell p{};
    for (int x = 1; x <= BoardSize - 1; ++x)
    {
        for (int y = 1; y <= BoardSize - 1; ++y)
        {
            if (Cells[x][y].Occupancy == coOccupied && TakeSquare(*this, x, y))
            {
                ++n;
                p = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
                NoScoreMove = false;
            }
        }
    }

    if (CheckFigure())
    {
        Host.PlaySound(snShowBonus);
        NoScoreMove = false;
    }

    const int moving = StateSlot(csMoving);
    if (PrevStateCounts[moving] != 0 && StateCounts[moving] == 0)
    {
        if (n > 0)
        {
            ++Combo;
        }
        else if (NoScoreMove)
        {
            Combo = 0;
        }
    }

    if (n == 0)
    {
        return;
    }
    if (Combo == 0)
    {
        Combo = 1;
    }
    PendingScore += static_cast<double>(l.SquarePoints) * n * Combo;
    if (Combo > 2 && Combo % 2 == 1)
    {
        ++SpecialsOwed;
    }

    TLabelText points;
    points.Number(n == 1 ? l.SquarePoints : static_cast<long long>(l.SquarePoints) * n);
    if (Combo > 1)
    {
        points.Text("x").Number(Combo);
    }
    Labels.AddBoardLabel(At(p.X - 6, p.Y - 5), 2, 2, points.View(), 14);

    if (Combo == 1)
    {
        Host.PlaySound(snFigureDone);
        return;
    }
    TLabelText voice;
    TSound sound = snExcellent;
    switch (Combo)
    {
    case 2:
        voice.Text(_("Double score"));
        sound = snDouble;
        break;
    case 3:
        voice.Text(_("Triple score"));
        sound = snTriple;
        break;
    case 4:
        voice.Text(_("Quadro score"));
        sound = snQuadro;
        break;
    default:
        // TRANSLATORS: a combination of five or more scoring moves in a row, "5x score"
        voice.Pattern(_("%dx score"), Combo);
        break;
    }
    const TVector3 where{static_cast<float>(p.X - 5),
                         static_cast<float>(p.Y - 4 + Rng.RandomFloat()), 0.0f};
    Labels.AddBoardLabel(where, 1, 3, voice.View(), 12);
    Host.PlaySound(sound);
}

bool TGame::CheckFigure()
{
    if (Figure < 1 || Figure > std::min(FigureCount, MaxFigures))
    {
        return false;
    }
    TBonusFigure& f = Figures[Figure];
    const int w = std::clamp<int>(f.Width, 1, 4);
    const int h = std::clamp<int>(f.Height, 1, 4);

    TCell q{};
    bool found = false;
    for (int r = 1; r <= 10 - w && !found; ++r)
    {
        for (int s = 1; s <= 10 - h && !found; ++s)
        {
            if (!FigureAt(*this, f, w, h, r, s))
            {
                continue;
            }
            found = true;
            for (int i = 1; i <= w; ++i)
            {
                for (int j = 1; j <= h; ++j)
                {
                    if (f.At(i, j).ShownColour == 0)
                    {
                        continue;
                    }
                    const int x = r + i - 1;
                    const int y = s + j - 1;
                    const int cube = Cells[x][y].Cube;
                    if (Cubes[cube].State != csVanishing)
                    {
                        SetState(cube, csVanishing);
                        Cubes[cube].Anim = 0;
                    }
                    q = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
                }
            }
        }
    }
    if (!found)
    {
        return false;
    }

    PendingScore += f.Value;
    // TRANSLATORS: the bonus figure was made; shown over the board
    Labels.AddBoardLabel(At(q.X - 6, q.Y - 4), 1, 3, _("BONUS"), 12);
    const TLabelText value = TLabelText().Number(PointsText(f.Value));
    Labels.AddBoardLabel(At(q.X - 6, q.Y - 5), 2, 2, value.View(), 14);
    NewFigure(true);
    return true;
}

int TGame::FigureShift() const
{
    return Figure >= 1 && Figure <= MaxFigures ? Figures[Figure].ColourShift : 0;
}

bool TGame::KeepFigure(int figure, int shift)
{
    const TLevel& l = CurrentLevel();
    const int last = std::min({FigureCount, MaxFigures, static_cast<int>(l.FigureMax)});
    if (l.LevelKind == lkBonus || figure < std::max(1, static_cast<int>(l.FigureMin)) || figure > last || shift < 0 ||
        shift >= std::max(1, ColourCount(l, Mode) - Figures[figure].TopColour))
    {
        return false;
    }
    Figure = figure;
    ShowFigure(figure, shift);
    return true;
}

void TGame::NewFigure(bool reward)
{
    TLevel& l = CurrentLevel();
    if (FigureCount < l.FigureMax)
    {
        l.FigureMax = static_cast<uint8_t>(std::max(FigureCount, 0));
    }
    Figure = l.FigureMin + Deal.Random(l.FigureMax - l.FigureMin + 1);
    const int last = std::min(FigureCount, MaxFigures);
    Figure = last >= 1 ? std::clamp(Figure, 1, last) : 0;

    if (Figure != 0 && l.LevelKind != lkBonus)
    {
        // Never negative: a figure using more colours than the level keeps its own.
        ShowFigure(Figure, Deal.Random(ColourCount(l, Mode) - Figures[Figure].TopColour));
    }

    if (reward)
    {
        ++SpecialsOwed;
        Host.PlaySound(Rng.Random(2) == 0 ? snExcellent : snTandrel);
    }
}

void TGame::ShowFigure(int f, int a)
{
    Figure = f;
    if (f < 1 || f > std::min(FigureCount, MaxFigures))
    {
        Figure = 0;
        return;
    }
    TBonusFigure& figure = Figures[f];
    for (TBonusCube& cell : figure.Cells)
    {
        const int shown = cell.Colour + a;
        const bool visible = cell.Colour > 0 && shown >= 1 && shown <= MaxColours;
        cell.ShownColour = static_cast<uint8_t>(visible ? shown : 0);
    }
    figure.ColourShift = static_cast<uint8_t>(std::clamp(a, 0, MaxColours));
    figure.Value = std::nearbyint((CurrentLevel().FigureFactor + 1) * figure.BaseValue);
}

void TGame::BankScore(bool all, float dt)
{
    if (PendingScore <= 0)
    {
        return;
    }
    const double amount = std::clamp(all ? PendingScore : dt * 0.2, 0.0, PendingScore);
    PendingScore -= amount;
    Score += amount;
    TLevel& l = CurrentLevel();
    if (Mode != gmTimed || l.LevelKind != lkBonus)
    {
        l.Progress += amount;
    }
}

// Where a level-end message starts so that its translation stands centred where the English
// text does (font 1 at size 14; the English place is the pen of the English text).
TVector3 TGame::Centred(TVector3 english, std::string_view englishText, std::string_view shown) const
{
    english.x -= 0.5f * (Labels.TextWidth(1, englishText, 14) - Labels.TextWidth(1, shown, 14));
    return english;
}

void TGame::EndBonusLevel()
{
    const TLevel& l = CurrentLevel();
    const int n = CountKind(ckStone);
    Labels.AddLabel(Centred({3.4f, -2.0f, 0.0f}, "LEVEL COMPLETED", _("LEVEL COMPLETED")), 1, 2,
                    _("LEVEL COMPLETED"), 14);
    Host.PlaySound(snMessage);

    TDelayedScoreLabel& first = DelayedLabels[1];
    TDelayedScoreLabel& second = DelayedLabels[2];
    first.Active = second.Active = true;
    if (n > 3)
    {
        // TRANSLATORS: stones left on a bonus level (always more than three)
        first.Text = TLabelText().Pattern(ngettext("%d cube left", "%d cubes left", n), n).View();
        first.Position = Centred({2.67f, -2.0f, 0.0f}, TLabelText().Number(n).Text(" cubes left").View(), first.Text);
        second.Text = _("No bonus");
        second.Position = Centred({2.0f, -2.0f, 0.0f}, "No bonus", second.Text);
    }
    else
    {
        const double bonus = std::nearbyint((1 - n * 0.25) * l.BonusPoints);
        PendingScore += bonus;
        static constexpr const char* Left[4] = {N_("No cubes left"), N_("One cube left"), N_("Two cubes left"),
                                                N_("Three cubes left")};
        static constexpr float LeftX[4] = {3.08f, 3.08f, 3.47f, 3.92f};
        first.Text = _(Left[n]);
        first.Position = Centred({LeftX[n], -2.0f, 0.0f}, Left[n], first.Text);
        const auto points = static_cast<long long>(bonus);
        second.Text = TLabelText().Pattern(_("Bonus  +%d"), points).View();
        second.Position =
            Centred({2.3f, -2.0f, 0.0f}, TLabelText().Text("Bonus  +").Number(points).View(), second.Text);
    }
    CompleteLevel();
}
