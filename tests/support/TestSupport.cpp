#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

TempFolder::TempFolder()
{
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        auto candidate = base / ("tandrel-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(candidate))
        {
            Root = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(Root, ec);
}

std::filesystem::path TempFolder::Write(const std::string& relative, const std::string& text) const
{
    const auto file = Root / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << text;
    return file;
}

std::string ReadFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
    {
        lines.push_back(line);
    }
    return lines;
}

std::filesystem::path ShippedDataFolder()
{
    return std::filesystem::path(TANDREL_GAME_DIR) / "data";
}

TestGame::TestGame(const std::filesystem::path& dataFolder, const std::filesystem::path& userFolder,
                   uint32_t seed)
    : Rng(seed), Game(Host, Rng, dataFolder, userFolder)
{
}

bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit)
{
    // The end-to-end tests poll through X clients; more often makes Xvfb drop connections.
    constexpr auto pause = std::chrono::milliseconds(50);
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end)
    {
        if (pred())
        {
            return true;
        }
        std::this_thread::sleep_for(pause);
    }
    return pred();
}

TLevel HandMadeLevel(uint8_t colours, double normalTarget, double timedTarget)
{
    TLevel l;
    l.NewCubes = {0, 3, 3};
    l.Colours = {0, colours, colours};
    l.FigureMin = 1;
    l.FigureMax = 1;
    l.Target = {0, normalTarget, timedTarget};
    l.CubePoints = 15;
    l.SquarePoints = 40;
    l.BonusPoints = 300;
    return l;
}

void SetLevels(TGameSetup& game, int first, int last, const TLevel& level,
               const std::function<void(int n, TLevel& l)>& each)
{
    for (int n = first; n <= last; ++n)
    {
        game.Levels[n] = level;
        if (each)
        {
            each(n, game.Levels[n]);
        }
    }
}

void SetFigure(TGameSetup& game, int index, const std::vector<std::string>& rows, double base)
{
    TBonusFigure& f = game.Figures[index];
    f = TBonusFigure{};
    f.Width = static_cast<uint8_t>(rows.empty() ? 0 : rows[0].size());
    f.Height = static_cast<uint8_t>(rows.size());
    f.BaseValue = base;
    for (int j = 1; j <= static_cast<int>(rows.size()); ++j)
    {
        for (int i = 1; i <= static_cast<int>(rows[j - 1].size()); ++i)
        {
            const auto c = static_cast<uint8_t>(rows[j - 1][i - 1] - '0');
            f.At(i, j).Colour = f.At(i, j).ShownColour = c;
            f.TopColour = std::max(f.TopColour, c);
        }
    }
}

int PutCube(TGameSetup& game, int kind, int x, int y, uint8_t state)
{
    const TCell cell{static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
    game.PlaceSpecialCube(static_cast<uint8_t>(kind), cell);
    const int i = game.CubeCount;
    EXPECT_EQ(game.Cubes[i].X, x);
    EXPECT_EQ(game.Cubes[i].Y, y);
    if (state != csIdle)
    {
        game.SetState(i, state);
        if (state == csWaiting || state == csGrowing)
        {
            game.Cells[x][y].Occupancy = coReserved;
        }
    }
    return i;
}

void LayOut(TGameSetup& game, int x0, int y0, const std::vector<std::string>& rows)
{
    static const std::string Specials = "JBSPX";
    static const int SpecialKinds[] = {ckJoker, ckBomb, ckShot, ckPaint1, ckStone};
    for (int j = 0; j < static_cast<int>(rows.size()); ++j)
    {
        for (int k = 0; k < static_cast<int>(rows[j].size()); ++k)
        {
            const char c = rows[j][k];
            const size_t special = Specials.find(c);
            const int kind = c >= '1' && c <= '7' ? c - '0' : special != std::string::npos ? SpecialKinds[special] : 0;
            if (kind != 0)
            {
                PutCube(game, kind, x0 + k, y0 + j);
            }
        }
    }
}
