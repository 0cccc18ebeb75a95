#include "tools/sim/BotChoice.h"

#include <algorithm>
#include <array>

namespace
{
constexpr int N = BoardSize;

bool IsSpecialKind(int kind) { return kind >= ckBomb; }

// The board as the player sees it: what stands on each cell and whether it is only
// announced (a small waiting cube). Cells outside the board are walls.
struct TView
{
    std::array<std::array<uint8_t, N + 2>, N + 2> Kind{};
    std::array<std::array<bool, N + 2>, N + 2> Waiting{};
    int Occupied = 0;
    double Crowd = 0; // 0 while the board is open, 1 when it is nearly full

    bool Empty(int x, int y) const { return Kind[x][y] == 0; }
    bool Grown(int x, int y) const { return Kind[x][y] != 0 && !Waiting[x][y]; }
    // A cube may pass or land here: nothing stands there, or only an announced cube.
    bool Open(int x, int y) const
    {
        return x >= 1 && x <= N && y >= 1 && y <= N && (Kind[x][y] == 0 || Waiting[x][y]);
    }
};

// Worth of a 2 x 2 window at (x, y) as a square in the making.
double WindowValue(const TView& v, int x, int y)
{
    int colour = 0;
    int count = 0;
    int waiting = 0;
    for (int dx = 0; dx <= 1; ++dx)
    {
        for (int dy = 0; dy <= 1; ++dy)
        {
            const int k = v.Kind[x + dx][y + dy];
            if (k == 0)
            {
                continue;
            }
            if (IsSpecialKind(k))
            {
                return 0;
            }
            ++count;
            waiting += v.Waiting[x + dx][y + dy] ? 1 : 0;
            if (k != ckJoker)
            {
                if (colour == 0)
                {
                    colour = k;
                }
                else if (colour != k)
                {
                    return -0.3;
                }
            }
        }
    }
    static constexpr double Worth[5] = {0, 1, 4, 20, 0};
    if (count == 4)
    {
        return waiting > 0 ? 40 : 0; // grows into a square next turn
    }
    return Worth[count];
}

// Four grown cubes of one colour (jokers match any) and no special: the game's square.
bool SquareAt(const TView& v, int x, int y)
{
    int colour = 0;
    for (int dx = 0; dx <= 1; ++dx)
    {
        for (int dy = 0; dy <= 1; ++dy)
        {
            const int k = v.Kind[x + dx][y + dy];
            if (k == 0 || v.Waiting[x + dx][y + dy] || IsSpecialKind(k))
            {
                return false;
            }
            if (k != ckJoker)
            {
                if (colour != 0 && colour != k)
                {
                    return false;
                }
                colour = k;
            }
        }
    }
    return true;
}

// A set of 2 x 2 windows, each named by its lower corner.
struct TWindows
{
    std::array<TCell, 24> At{};
    int Count = 0;

    void Add(int wx, int wy)
    {
        if (wx < 1 || wx > N - 1 || wy < 1 || wy > N - 1)
        {
            return;
        }
        const TCell c{static_cast<uint8_t>(wx), static_cast<uint8_t>(wy)};
        if (Count < static_cast<int>(At.size()) &&
            std::find(At.begin(), At.begin() + Count, c) == At.begin() + Count)
        {
            At[Count++] = c;
        }
    }
    // The windows that contain the cell (x, y).
    void AddAround(int x, int y)
    {
        for (int wx = x - 1; wx <= x; ++wx)
        {
            for (int wy = y - 1; wy <= y; ++wy)
            {
                Add(wx, wy);
            }
        }
    }
    double Value(const TView& v) const
    {
        double sum = 0;
        for (int i = 0; i < Count; ++i)
        {
            sum += WindowValue(v, At[i].X, At[i].Y);
        }
        return sum;
    }
};

// One placement of the bonus figure on the board and how far it is from complete.
struct TPlacement
{
    int Need = 0;
    int Matched = 0;
    int Blocked = 0;
    std::array<TCell, 16> Cells{};
    std::array<uint8_t, 16> Colour{};
    std::array<bool, 16> Done{};
};

struct TFigureView
{
    struct TCover
    {
        uint8_t Place = 0; // index in Places
        uint8_t Cell = 0;  // index in the placement's cells
    };

    bool Active = false;
    int Count = 0;
    std::array<TPlacement, 81> Places{};
    // The placements that cover each cell (at most 16 for a 4 x 4 figure).
    std::array<std::array<std::array<TCover, 16>, N + 1>, N + 1> Cover{};
    std::array<std::array<uint8_t, N + 1>, N + 1> CoverCount{};
    double Weight = 70;

    void Build(const TGameFields& g, const TView& v)
    {
        Count = 0;
        for (auto& row : CoverCount)
        {
            row.fill(0);
        }
        Active = g.CurrentLevel().LevelKind != lkBonus && g.Figure >= 1 && g.Figure <= g.FigureCount;
        if (!Active)
        {
            return;
        }
        const TBonusFigure& f = g.Figures[g.Figure];
        if (f.Width < 1 || f.Width > 4 || f.Height < 1 || f.Height > 4)
        {
            Active = false;
            return;
        }
        for (int r = 1; r <= 10 - f.Width; ++r)
        {
            for (int s = 1; s <= 10 - f.Height; ++s)
            {
                const int n = Count++;
                TPlacement& p = Places[n];
                p = TPlacement{};
                for (int i = 1; i <= f.Width; ++i)
                {
                    for (int j = 1; j <= f.Height; ++j)
                    {
                        const uint8_t colour = f.At(i, j).ShownColour;
                        if (colour == 0)
                        {
                            continue;
                        }
                        const int x = r + i - 1;
                        const int y = s + j - 1;
                        const int k = v.Kind[x][y];
                        const bool done = v.Grown(x, y) && (k == colour || k == ckJoker);
                        const bool blocked = !done && k != 0 &&
                                             !(v.Waiting[x][y] && (k == colour || k == ckJoker));
                        p.Cells[p.Need] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
                        p.Colour[p.Need] = colour;
                        p.Done[p.Need] = done;
                        Cover[x][y][CoverCount[x][y]++] = {static_cast<uint8_t>(n), static_cast<uint8_t>(p.Need)};
                        ++p.Need;
                        p.Matched += done ? 1 : 0;
                        p.Blocked += blocked ? 1 : 0;
                    }
                }
            }
        }
    }

    double Promise(const TPlacement& p, int matched) const
    {
        return Weight * matched * matched / (p.Need * p.Need);
    }

    // A cube of this kind moved from s to t: does it complete a placement, and what is
    // the figure's gain in the making?
    double MoveValue(TCell s, TCell t, uint8_t kind, bool& completes) const
    {
        completes = false;
        if (!Active)
        {
            return 0;
        }
        double gain = 0;
        double loss = 0;
        // What leaving s costs or clears; the placements that lose a matched cell.
        std::array<int8_t, 81> atS{}; // 0 not at s, 1 s matched, 2 s blocked by this cube
        for (int e = 0; e < CoverCount[s.X][s.Y]; ++e)
        {
            const TCover c = Cover[s.X][s.Y][e];
            const TPlacement& p = Places[c.Place];
            if (p.Done[c.Cell])
            {
                atS[c.Place] = 1;
                loss = std::max(loss, p.Blocked == 0 ? Promise(p, p.Matched) : 0.0);
            }
            else
            {
                atS[c.Place] = 2;
                if (p.Blocked == 1)
                {
                    gain = std::max(gain, 0.5 * Promise(p, p.Matched)); // it clears the way
                }
            }
        }
        for (int e = 0; e < CoverCount[t.X][t.Y]; ++e)
        {
            const TCover c = Cover[t.X][t.Y][e];
            const TPlacement& p = Places[c.Place];
            if (atS[c.Place] == 1 || p.Done[c.Cell] || !(kind == p.Colour[c.Cell] || kind == ckJoker))
            {
                continue;
            }
            const int blocked = p.Blocked - (atS[c.Place] == 2 ? 1 : 0);
            if (blocked > 0)
            {
                continue;
            }
            completes = completes || p.Matched + 1 == p.Need;
            gain = std::max(gain, Promise(p, p.Matched + 1));
        }
        return gain - loss;
    }
};

// Steps from a cell to every cell a cube there can reach, as the game counts them.
struct TReach
{
    std::array<std::array<uint8_t, N + 2>, N + 2> Distance{};

    void From(const TView& v, TCell start)
    {
        for (auto& row : Distance)
        {
            row.fill(0);
        }
        std::array<TCell, 81> queue{};
        int head = 0;
        int tail = 0;
        queue[tail++] = start;
        Distance[start.X][start.Y] = 0;
        static constexpr int Dx[4] = {1, -1, 0, 0};
        static constexpr int Dy[4] = {0, 0, 1, -1};
        while (head < tail)
        {
            const TCell c = queue[head++];
            const int d = Distance[c.X][c.Y];
            if (d >= 30)
            {
                continue;
            }
            for (int k = 0; k < 4; ++k)
            {
                const int x = c.X + Dx[k];
                const int y = c.Y + Dy[k];
                if (!v.Open(x, y) || Distance[x][y] != 0 || (x == start.X && y == start.Y))
                {
                    continue;
                }
                Distance[x][y] = static_cast<uint8_t>(d + 1);
                queue[tail++] = {static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
            }
        }
    }
};

// Empty cells next to t that the cube at t would wall in completely.
int HolesMade(const TView& v, TCell t)
{
    static constexpr int Dx[4] = {1, -1, 0, 0};
    static constexpr int Dy[4] = {0, 0, 1, -1};
    int holes = 0;
    for (int k = 0; k < 4; ++k)
    {
        const int x = t.X + Dx[k];
        const int y = t.Y + Dy[k];
        if (!v.Open(x, y))
        {
            continue;
        }
        bool walled = true;
        for (int m = 0; m < 4 && walled; ++m)
        {
            walled = !v.Open(x + Dx[m], y + Dy[m]);
        }
        holes += walled ? 1 : 0;
    }
    return holes;
}

// Cells of the 3 x 3 block around c, clipped to the board.
template <typename F> void ForBlock(TCell c, F f)
{
    for (int x = std::max(1, c.X - 1); x <= std::min(N, c.X + 1); ++x)
    {
        for (int y = std::max(1, c.Y - 1); y <= std::min(N, c.Y + 1); ++y)
        {
            f(x, y);
        }
    }
}
// What putting a cube of this kind on t does around t: the change in the worth of the
// windows that contain t, the squares it completes and the holes it walls in. The view is
// left as it was.
struct TPlaceEval
{
    double Delta = 0;
    int Squares = 0;
    int Holes = 0;
};

TPlaceEval EvalPlace(TView& v, TCell t, uint8_t kind)
{
    TPlaceEval e;
    TWindows around;
    around.AddAround(t.X, t.Y);
    const uint8_t savedKind = v.Kind[t.X][t.Y];
    const bool savedWaiting = v.Waiting[t.X][t.Y];
    const double before = around.Value(v);
    v.Kind[t.X][t.Y] = kind;
    v.Waiting[t.X][t.Y] = false;
    for (int w = 0; w < around.Count; ++w)
    {
        e.Squares += SquareAt(v, around.At[w].X, around.At[w].Y) ? 1 : 0;
    }
    e.Delta = around.Value(v) - before;
    e.Holes = HolesMade(v, t);
    v.Kind[t.X][t.Y] = savedKind;
    v.Waiting[t.X][t.Y] = savedWaiting;
    return e;
}
// A choice's worth, and what the bot expects of it.
struct TScore
{
    double Value = 0;
    bool Square = false;
    bool Completes = false; // the bonus figure
};

// One look at the board: every move of every movable cube is weighed.
class TChooser
{
public:
    explicit TChooser(const TGameFields& game) : G(game)
    {
        for (int i = 1; i <= G.CubeCount; ++i)
        {
            const TCube& c = G.Cubes[i];
            if (c.X < 1 || c.X > N || c.Y < 1 || c.Y > N)
            {
                continue;
            }
            V.Kind[c.X][c.Y] = c.Kind;
            V.Waiting[c.X][c.Y] = c.State == csWaiting;
            ++V.Occupied;
            Stones += c.Kind == ckStone ? 1 : 0;
            Bombs += c.Kind == ckBomb ? 1 : 0;
            Paints += IsPaintKind(c.Kind) ? 1 : 0;
            Shots += c.Kind == ckShot ? 1 : 0;
        }
        V.Crowd = std::clamp((V.Occupied - 35) / 40.0, 0.0, 1.0);
        BonusLevel = G.CurrentLevel().LevelKind == lkBonus;
        Figure.Build(G, V);
        // Specials kept in reserve take cells; beyond a small reserve they are spent.
        SpareBombs = 40.0 * std::max(0, Bombs - 2);
        SparePaints = 25.0 * std::max(0, Paints - 2);
        SpareShots = 40.0 * std::max(0, Shots - 1);
    }

    // Calls offer(from, to, cube kind, score) for every possible action; a shot is
    // offered with from = to, the shot cube's own cell.
    template <typename F> void Choose(F offer)
    {
        for (int i = 1; i <= G.CubeCount; ++i)
        {
            const TCube& cube = G.Cubes[i];
            const uint8_t kind = cube.Kind;
            if (kind == ckStone || cube.State == csWaiting)
            {
                continue;
            }
            const TCell s{cube.X, cube.Y};
            if (kind == ckShot)
            {
                const TScore score = Shot();
                if (score.Value > -1e29)
                {
                    offer(s, s, kind, score);
                }
                continue;
            }
            Reach.From(V, s);
            const double leave = kind <= ckJoker ? LeaveDelta(s, kind) : 0;
            for (int x = 1; x <= N; ++x)
            {
                for (int y = 1; y <= N; ++y)
                {
                    if (Reach.Distance[x][y] == 0)
                    {
                        continue;
                    }
                    const TCell t{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
                    const TScore score = kind == ckBomb     ? Bomb(s, t)
                                         : IsPaintKind(kind) ? Paint(s, t, kind)
                                                             : Colour(s, t, kind, leave);
                    offer(s, t, kind, score);
                }
            }
        }
    }

private:
    // The shot on the commonest colour of the grown cubes.
    TScore Shot() const
    {
        std::array<int, MaxColours + 1> count{};
        for (int j = 1; j <= G.CubeCount; ++j)
        {
            const TCube& c = G.Cubes[j];
            count[c.Kind <= MaxColours ? c.Kind : 0] += c.State != csWaiting ? 1 : 0;
        }
        const int best = *std::max_element(count.begin() + 1, count.end());
        if (best == 0)
        {
            return {-1e30};
        }
        return {best * (4 + 40 * V.Crowd) + 25 * V.Crowd - 30 + SpareShots};
    }

    // The bomb from s blowing up on t: stones first, then crowded corners; on a bonus
    // level every stone counts and the other bombs are worth keeping.
    TScore Bomb(TCell s, TCell t) const
    {
        int stones = 0;
        int cubes = 0;
        int bombs = 0;
        int specials = 0;
        ForBlock(t, [&](int bx, int by) {
            const int k = V.Kind[bx][by];
            if (k == 0 || V.Waiting[bx][by] || (bx == s.X && by == s.Y))
            {
                return;
            }
            stones += k == ckStone ? 1 : 0;
            bombs += k == ckBomb ? 1 : 0;
            specials += (k >= ckShot && k <= ckPaint7) ? 1 : 0;
            cubes += k <= ckJoker ? 1 : 0;
        });
        if (BonusLevel)
        {
            const bool spare = Bombs - 1 - bombs > 0 || stones >= Stones;
            return {stones > 0 ? 1000.0 + 100 * stones - (spare ? 20 : 300) * bombs : -50.0};
        }
        return {150 * stones + cubes * (1 + 45 * V.Crowd * V.Crowd) + 20 * V.Crowd - 80 * bombs -
                40 * specials - 25 + (cubes > 0 ? SpareBombs : 0)};
    }

    // The paint cube from s landing on t: the block around t takes its colour, and the
    // squares that makes with cubes beside the block.
    TScore Paint(TCell s, TCell t, uint8_t kind)
    {
        const int x = t.X;
        const int y = t.Y;
        const uint8_t savedKind = V.Kind[x][y];
        const bool savedWaiting = V.Waiting[x][y];
        const uint8_t colour = static_cast<uint8_t>(kind - 10);
        std::array<uint8_t, 9> before{};
        int painted = 0;
        int n = 0;
        ForBlock(t, [&](int bx, int by) {
            before[n++] = V.Kind[bx][by];
            if (IsColourKind(V.Kind[bx][by]) && !V.Waiting[bx][by] && !(bx == s.X && by == s.Y))
            {
                painted += V.Kind[bx][by] != colour ? 1 : 0;
            }
        });
        TWindows windows;
        for (int wx = x - 2; wx <= x + 1; ++wx)
        {
            for (int wy = y - 2; wy <= y + 1; ++wy)
            {
                windows.Add(wx, wy); // every window that meets the block
            }
        }
        windows.AddAround(s.X, s.Y);
        V.Kind[s.X][s.Y] = 0;
        const double potentialBefore = windows.Value(V);
        V.Kind[x][y] = kind; // the paint cube itself blocks squares on its cell
        V.Waiting[x][y] = false;
        ForBlock(t, [&](int bx, int by) {
            if (IsColourKind(V.Kind[bx][by]) && !V.Waiting[bx][by])
            {
                V.Kind[bx][by] = colour;
            }
        });
        int squares = 0;
        for (int w = 0; w < windows.Count; ++w)
        {
            squares += SquareAt(V, windows.At[w].X, windows.At[w].Y) ? 1 : 0;
        }
        V.Kind[x][y] = 0;
        const double potentialAfter = windows.Value(V);
        n = 0;
        ForBlock(t, [&](int bx, int by) { V.Kind[bx][by] = before[n++]; });
        V.Kind[s.X][s.Y] = kind;
        V.Kind[x][y] = savedKind;
        V.Waiting[x][y] = savedWaiting;
        const bool square = squares > 0;
        return {(square ? 900 + 300 * squares : -10) + potentialAfter - potentialBefore + 2 * painted +
                    20 * V.Crowd + (painted > 0 ? SparePaints : 0),
                square, false};
    }

    // The change in the windows around s when its cube leaves.
    double LeaveDelta(TCell s, uint8_t kind)
    {
        TWindows around;
        around.AddAround(s.X, s.Y);
        const double before = around.Value(V);
        V.Kind[s.X][s.Y] = 0;
        const double delta = around.Value(V) - before;
        V.Kind[s.X][s.Y] = kind;
        return delta;
    }

    // A coloured cube or a joker moved from s to t: squares, the bonus figure, squares in
    // the making, and cells it walls in.
    TScore Colour(TCell s, TCell t, uint8_t kind, double leave)
    {
        const int x = t.X;
        const int y = t.Y;
        const uint8_t savedKind = V.Kind[x][y];
        const bool savedWaiting = V.Waiting[x][y];
        TPlaceEval place;
        if (std::max(std::abs(x - s.X), std::abs(y - s.Y)) > 2)
        {
            // Far from the source: what happens at t does not depend on s.
            TPlaceEval& cached = PlaceCache[kind][x][y];
            if (!PlaceCached[kind][x][y])
            {
                cached = EvalPlace(V, t, kind);
                PlaceCached[kind][x][y] = true;
            }
            place = cached;
            place.Delta += leave;
        }
        else
        {
            TWindows windows;
            windows.AddAround(s.X, s.Y);
            windows.AddAround(x, y);
            const double before = windows.Value(V);
            V.Kind[s.X][s.Y] = 0;
            place = EvalPlace(V, t, kind); // its squares and holes
            V.Kind[x][y] = kind;
            V.Waiting[x][y] = false;
            place.Delta = windows.Value(V) - before;
            V.Kind[x][y] = savedKind;
            V.Waiting[x][y] = savedWaiting;
            V.Kind[s.X][s.Y] = kind;
        }
        TScore score;
        const double fig = Figure.MoveValue(s, t, kind, score.Completes);
        score.Square = place.Squares > 0;
        score.Value = place.Delta + fig - 10 * place.Holes - (savedKind != 0 ? 3 : 0);
        if (score.Square)
        {
            score.Value += 1000 + 300 * place.Squares;
        }
        if (score.Completes)
        {
            score.Value += 1200 + G.Figures[G.Figure].Value;
        }
        return score;
    }

    const TGameFields& G;
    TView V;
    TFigureView Figure;
    TReach Reach;
    bool BonusLevel = false;
    int Stones = 0;
    int Bombs = 0;
    int Paints = 0;
    int Shots = 0;
    double SpareBombs = 0;
    double SparePaints = 0;
    double SpareShots = 0;
    std::array<std::array<std::array<TPlaceEval, N + 1>, N + 1>, ckJoker + 1> PlaceCache{};
    std::array<std::array<std::array<bool, N + 1>, N + 1>, ckJoker + 1> PlaceCached{};
};
} // namespace

TBotMove BestMove(const TGameFields& game)
{
    static_assert(sizeof(TChooser) < 64 * 1024, "the chooser lives on the stack");
    TChooser chooser(game);
    TBotMove best;
    chooser.Choose([&best](TCell from, TCell to, uint8_t cubeKind, const TScore& score) {
        if (score.Value > best.Value)
        {
            best = TBotMove{from, to, cubeKind, score.Square, score.Completes, score.Value};
        }
    });
    return best;
}
