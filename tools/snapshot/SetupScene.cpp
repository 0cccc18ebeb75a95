#include "tools/snapshot/SetupScene.h"

#include "base/DataError.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace
{
constexpr float CropMargin = 0.15f; // world units round a block of cells
constexpr float StepMs = 16;        // one frame of the game loop

// Verbs of the steps with their argument count and the range of each argument.
struct TVerb
{
    int Count;
    double Low;
    double High;
};

const std::map<std::string, TVerb>& Verbs()
{
    static const std::map<std::string, TVerb> verbs = {
        {"point", {2, 1, 9}},  {"click", {2, 1, 9}},   {"wait", {1, 0, 60000}},
        {"figure", {2, 0, 30}}, {"combo", {1, 0, 99}},  {"score", {1, 0, 1e9}},
        {"progress", {1, 0, 1}}, {"lamps", {1, 0, 5}},
    };
    return verbs;
}

std::string Trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos)
    {
        return {};
    }
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

class TSceneReader
{
public:
    explicit TSceneReader(std::filesystem::path file) : File(std::move(file)) {}

    std::vector<TSetupScene> Read()
    {
        std::ifstream in(File);
        if (!in)
        {
            throw TDataError(File, 0, "cannot be read");
        }
        std::string raw;
        while (std::getline(in, raw))
        {
            ++Line;
            const std::string text = Trim(raw.substr(0, raw.find('#')));
            if (text.empty())
            {
                continue;
            }
            if (RowsLeft > 0)
            {
                Row(text);
                continue;
            }
            Statement(text);
        }
        if (RowsLeft > 0)
        {
            Fail("the board ends after " + std::to_string(BoardSize - RowsLeft) +
                 " rows; it needs 9");
        }
        if (Scenes.empty())
        {
            throw TDataError(File, 0, "holds no scene");
        }
        return Scenes;
    }

private:
    [[noreturn]] void Fail(const std::string& problem) const { throw TDataError(File, Line, problem); }

    double Number(const std::string& word, double low, double high) const
    {
        // Parsed without the locale: a scene file reads the same on every desktop.
        const size_t plus = !word.empty() && word.front() == '+' ? 1 : 0;
        double v = 0;
        const auto r = std::from_chars(word.data() + plus, word.data() + word.size(), v);
        if (word.size() == plus || r.ec != std::errc() || r.ptr != word.data() + word.size() || !std::isfinite(v))
        {
            Fail("'" + word + "' is not a number");
        }
        if (v < low || v > high)
        {
            std::ostringstream s;
            s << word << " is outside " << low << ".." << high;
            Fail(s.str());
        }
        return v;
    }

    int Whole(const std::string& word, int low, int high) const
    {
        const double v = Number(word, low, high);
        if (v != std::floor(v))
        {
            Fail("'" + word + "' is not a whole number");
        }
        return static_cast<int>(v);
    }

    TSetupScene& Current()
    {
        if (Scenes.empty())
        {
            Fail("the file must start with a scene line");
        }
        return Scenes.back();
    }

    void Expect(const std::vector<std::string>& words, size_t count) const
    {
        if (words.size() != count + 1)
        {
            Fail("'" + words[0] + "' takes " + std::to_string(count) + " value" +
                 (count == 1 ? "" : "s") + ", not " + std::to_string(words.size() - 1));
        }
    }

    void Statement(const std::string& text)
    {
        std::istringstream in(text);
        std::vector<std::string> words;
        for (std::string w; in >> w;)
        {
            words.push_back(w);
        }
        const std::string& verb = words[0];
        if (verb == "scene")
        {
            Expect(words, 1);
            const std::string& name = words[1];
            const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
                return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
            });
            if (!plain)
            {
                Fail("a scene name takes only a-z, 0-9 and '-': '" + name + "'");
            }
            for (const TSetupScene& s : Scenes)
            {
                if (s.Name == name)
                {
                    Fail("scene '" + name + "' is already named on line " + std::to_string(s.Line));
                }
            }
            TSetupScene scene;
            scene.Name = name;
            scene.Line = Line;
            Scenes.push_back(scene);
            return;
        }
        TSetupScene& scene = Current();
        if (verb == "level")
        {
            Expect(words, 1);
            scene.Level = Whole(words[1], 1, MaxLevels);
        }
        else if (verb == "mode")
        {
            Expect(words, 1);
            scene.Mode = Whole(words[1], 1, 2);
        }
        else if (verb == "seed")
        {
            Expect(words, 1);
            scene.Seed = static_cast<uint32_t>(Number(words[1], 0, 4294967295.0));
        }
        else if (verb == "board")
        {
            Expect(words, 0);
            if (scene.HasBoard)
            {
                Fail("scene '" + scene.Name + "' has a board already");
            }
            scene.HasBoard = true;
            RowsLeft = BoardSize;
        }
        else if (verb == "cursor")
        {
            Expect(words, 1);
            if (words[1] != "on" && words[1] != "off")
            {
                Fail("cursor is 'on' or 'off', not '" + words[1] + "'");
            }
            scene.Cursor = words[1] == "on";
        }
        else if (verb == "clock")
        {
            Expect(words, 1);
            scene.Clock = Number(words[1], 0, 1e9);
        }
        else if (verb == "cells")
        {
            Expect(words, 4);
            int v[4];
            for (int i = 0; i < 4; ++i)
            {
                v[i] = Whole(words[static_cast<size_t>(i) + 1], 1, BoardSize);
            }
            if (v[2] < v[0] || v[3] < v[1])
            {
                Fail("cells run from the top left cell to the bottom right one");
            }
            scene.Cropped = true;
            scene.Left = 5.5f - static_cast<float>(v[0]) + CropMargin;
            scene.Top = 5.5f - static_cast<float>(v[1]) + CropMargin;
            scene.Right = 4.5f - static_cast<float>(v[2]) - CropMargin;
            scene.Bottom = 4.5f - static_cast<float>(v[3]) - CropMargin;
        }
        else if (verb == "area")
        {
            Expect(words, 4);
            float v[4];
            for (int i = 0; i < 4; ++i)
            {
                v[i] = static_cast<float>(Number(words[static_cast<size_t>(i) + 1], -20, 20));
            }
            if (v[0] == v[2] || v[1] == v[3])
            {
                Fail("an area needs a width and a height");
            }
            scene.Cropped = true;
            scene.Left = std::max(v[0], v[2]);
            scene.Right = std::min(v[0], v[2]);
            scene.Top = std::max(v[1], v[3]);
            scene.Bottom = std::min(v[1], v[3]);
        }
        else if (const auto known = Verbs().find(verb); known != Verbs().end())
        {
            Expect(words, static_cast<size_t>(known->second.Count));
            TSceneStep step;
            step.Line = Line;
            step.Verb = verb;
            for (size_t i = 1; i < words.size(); ++i)
            {
                const double high = verb == "figure" && i == 2 ? 6 : known->second.High;
                step.Args.push_back(Number(words[i], known->second.Low, high));
            }
            scene.Steps.push_back(step);
        }
        else
        {
            Fail("unknown word '" + verb + "'");
        }
    }

    void Row(const std::string& text)
    {
        std::string cells;
        for (char c : text)
        {
            if (c == ' ' || c == '\t')
            {
                continue;
            }
            if (std::string("RGBYPCWrgbypcwJXTO1234567.").find(c) == std::string::npos)
            {
                Fail(std::string("'") + c + "' is not a cell of a board row");
            }
            cells += c;
        }
        if (cells.size() != BoardSize)
        {
            Fail("a board row has 9 cells, not " + std::to_string(cells.size()));
        }
        TSetupScene& scene = Current();
        scene.Board[static_cast<size_t>(BoardSize - RowsLeft)] = cells;
        --RowsLeft;
    }

    std::filesystem::path File;
    int Line = 0;
    int RowsLeft = 0;
    std::vector<TSetupScene> Scenes;
};

// The kind of a cube letter and whether it is only announced; kind 0 for an empty cell.
uint8_t KindOf(char c, bool& waiting)
{
    const std::string colours = "RGBYPCW";
    const std::string small = "rgbypcw";
    waiting = false;
    if (const size_t i = colours.find(c); i != std::string::npos)
    {
        return static_cast<uint8_t>(i + 1);
    }
    if (const size_t i = small.find(c); i != std::string::npos)
    {
        waiting = true;
        return static_cast<uint8_t>(i + 1);
    }
    if (c >= '1' && c <= '7')
    {
        return static_cast<uint8_t>(ckPaint1 + (c - '1'));
    }
    switch (c)
    {
    case 'J':
        return ckJoker;
    case 'X':
        return ckBomb;
    case 'T':
        return ckShot;
    case 'O':
        return ckStone;
    default:
        return 0;
    }
}

void PlaceCube(TGameSetup& game, uint8_t kind, bool waiting, TCell cell)
{
    game.TakeCell(cell);
    game.PutNewCube(kind, cell, !waiting);
}

void LayOutBoard(TGameSetup& game, const TSetupScene& scene)
{
    game.ClearBoard();
    for (int row = 1; row <= BoardSize; ++row)
    {
        for (int column = 1; column <= BoardSize; ++column)
        {
            bool waiting = false;
            const uint8_t kind =
                KindOf(scene.Board[static_cast<size_t>(row - 1)][static_cast<size_t>(column - 1)], waiting);
            if (kind != 0)
            {
                PlaceCube(game, kind, waiting, ScreenCell(column, row));
            }
        }
    }
    game.PrevStateCounts = game.StateCounts;
    game.ComputeDistances();
    game.BoardQuiet = true;
}

// The mouse over the centre of a cell, as the player would hold it.
void PointAt(TGameSetup& game, NullGameHost& host, int column, int row)
{
    const TCell cell = ScreenCell(column, row);
    host.MouseX = static_cast<float>(cell.X - 5);
    host.MouseY = static_cast<float>(cell.Y - 5);
    game.MouseMove();
}

void Run(TGameSetup& game, float ms)
{
    for (float t = 0; t < ms; t += StepMs)
    {
        game.Update(StepMs);
    }
}

void SetFigure(TGameSetup& game, int number, int shift, const std::filesystem::path& file, int line)
{
    if (number < 1 || number > std::min(game.FigureCount, MaxFigures))
    {
        throw TDataError(file, line,
                         "there is no figure " + std::to_string(number) + " in the figure file");
    }
    TBonusFigure& f = game.Figures[number];
    for (TBonusCube& cell : f.Cells)
    {
        const int shown = cell.Colour > 0 ? cell.Colour + shift : 0;
        if (shown > MaxColours)
        {
            throw TDataError(file, line,
                             "figure " + std::to_string(number) + " moved up by " +
                                 std::to_string(shift) + " leaves the seven colours");
        }
        cell.ShownColour = static_cast<uint8_t>(shown);
    }
    f.Value = std::nearbyint((game.CurrentLevel().FigureFactor + 1) * f.BaseValue);
    game.Figure = number;
}

void Click(TGameSetup& game, NullGameHost& host, const TSceneStep& step, const std::filesystem::path& file)
{
    const int column = static_cast<int>(step.Args[0]);
    const int row = static_cast<int>(step.Args[1]);
    PointAt(game, host, column, row);
    const int selected = game.Selected;
    const int cursor = host.Cursor();
    const auto counts = game.StateCounts;
    game.MouseDown(0);
    if (game.Selected == selected && host.Cursor() == cursor && game.StateCounts == counts)
    {
        throw TDataError(file, step.Line,
                         "the click on column " + std::to_string(column) + ", row " +
                             std::to_string(row) + " does nothing (no cube there, no way to it)");
    }
}
} // namespace

std::vector<TSetupScene> ReadSetupScenes(const std::filesystem::path& file)
{
    return TSceneReader(file).Read();
}

TCell ScreenCell(int column, int row)
{
    // The board's x runs to the screen left and its y up the screen.
    return {static_cast<uint8_t>(BoardSize + 1 - column), static_cast<uint8_t>(BoardSize + 1 - row)};
}

void BuildSetupScene(TGameSetup& game, NullGameHost& host, const TSetupScene& scene,
                     const std::filesystem::path& file)
{
    game.Mode = static_cast<uint8_t>(scene.Mode);
    game.NewGame();
    if (scene.Level > 1)
    {
        game.Level = scene.Level - 1;
        game.NextLevel();
    }
    if (scene.HasBoard)
    {
        LayOutBoard(game, scene);
    }
    else
    {
        // The level's own board (a bonus level's stones), grown at once.
        game.GrowWaitingCubes();
        Run(game, 1000);
    }
    // No new-level banner over the picture.
    game.Particles = TParticleSystems();
    game.Labels.Clear();
    for (const TSceneStep& step : scene.Steps)
    {
        const auto arg = [&](size_t i) { return static_cast<int>(step.Args[i]); };
        if (step.Verb == "point")
        {
            PointAt(game, host, arg(0), arg(1));
        }
        else if (step.Verb == "click")
        {
            Click(game, host, step, file);
        }
        else if (step.Verb == "wait")
        {
            Run(game, static_cast<float>(step.Args[0]));
        }
        else if (step.Verb == "figure")
        {
            SetFigure(game, arg(0), arg(1), file, step.Line);
        }
        else if (step.Verb == "combo")
        {
            game.Combo = arg(0);
        }
        else if (step.Verb == "score")
        {
            game.Score = step.Args[0];
        }
        else if (step.Verb == "progress")
        {
            TLevel& l = game.CurrentLevel();
            l.Progress = step.Args[0] * l.Target[game.Mode == gmTimed ? 2 : 1];
            game.SyncDisplay();
        }
        else if (step.Verb == "lamps")
        {
            game.Display.LampCount = arg(0);
        }
    }
}

TPixelRect SceneCrop(const TSetupScene& scene, int width, int height)
{
    if (!scene.Cropped)
    {
        return {0, 0, width, height};
    }
    // The back plane fills the frame: x from 5.425 at the left edge over 14.45 units, y from
    // 5.16875 at the top over 10.8375.
    const auto px = [&](float x) { return (5.425f - x) / 14.45f * static_cast<float>(width); };
    const auto py = [&](float y) { return (5.16875f - y) / 10.8375f * static_cast<float>(height); };
    const int x0 = std::clamp(static_cast<int>(std::lround(px(scene.Left))), 0, width - 1);
    const int y0 = std::clamp(static_cast<int>(std::lround(py(scene.Top))), 0, height - 1);
    const int x1 = std::clamp(static_cast<int>(std::lround(px(scene.Right))), x0 + 1, width);
    const int y1 = std::clamp(static_cast<int>(std::lround(py(scene.Bottom))), y0 + 1, height);
    return {x0, y0, x1 - x0, y1 - y0};
}
