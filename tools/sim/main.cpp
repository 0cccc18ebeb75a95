// tandrel-sim: plays whole games headless with the bot and reports how far it gets.
//
//   tandrel-sim [--games N] [--seed S] [--mode 1|2] [--dt MS] [--max-level L]
//               [--level L] [--think MS] [--from N] [--data DIR] [--json]
//
// --level L starts every game at level L on an empty board (as after a bonus level), to
// balance one stretch of levels without playing the ones before it.
//
// Game n of a run (counted from 0) always plays the same game for the same seed and
// settings; --from N starts at game N, to replay one game of a long run.
//
// Every update is followed by a check of the board's bookkeeping; any broken rule is
// counted as an invariant violation and the run exits with status 1.
#include "base/DataError.h"
#include "tools/sim/Playthrough.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace
{
struct TOptions
{
    int Games = 100;
    int From = 0; // number of the first game: game n of a run always plays the same
    uint32_t Seed = 1;
    bool Json = false;
    std::filesystem::path Data;
    TPlaySettings Play;
};

std::filesystem::path ProgramDataFolder()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto folder = ec ? std::filesystem::current_path() : exe.parent_path();
    return folder.parent_path() / "game" / "data"; // build/tools -> build/game/data
}

[[noreturn]] void Usage(const char* problem)
{
    std::fprintf(stderr,
                 "tandrel-sim: %s\n"
                 "usage: tandrel-sim [--games N] [--seed S] [--mode 1|2] [--dt MS] "
                 "[--max-level L] [--level L] [--think MS] [--from N] [--data DIR] "
                 "[--json]\n",
                 problem);
    std::exit(2);
}

double Number(const char* name, const char* text, double lo, double hi)
{
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(v >= lo && v <= hi))
    {
        std::string problem = std::string(name) + " needs a number in " + std::to_string(lo) +
                              ".." + std::to_string(hi) + ", got '" + text + "'";
        Usage(problem.c_str());
    }
    return v;
}

TOptions ParseOptions(int argc, char** argv)
{
    TOptions o;
    o.Data = ProgramDataFolder();
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if (a == "--json")
        {
            o.Json = true;
            continue;
        }
        if (a == "--help" || a == "-h")
        {
            Usage("plays whole games with the bot and prints what happened");
        }
        if (i + 1 >= argc)
        {
            Usage(("missing value after " + a).c_str());
        }
        const char* v = argv[++i];
        if (a == "--games")
        {
            o.Games = static_cast<int>(Number("--games", v, 1, 1e7));
        }
        else if (a == "--from")
        {
            o.From = static_cast<int>(Number("--from", v, 0, 1e9));
        }
        else if (a == "--seed")
        {
            o.Seed = static_cast<uint32_t>(Number("--seed", v, 0, 4294967295.0));
        }
        else if (a == "--mode")
        {
            o.Play.Mode = static_cast<int>(Number("--mode", v, 1, 2));
        }
        else if (a == "--dt")
        {
            o.Play.Dt = static_cast<float>(Number("--dt", v, 1, 1000));
        }
        else if (a == "--max-level")
        {
            o.Play.MaxLevel = static_cast<int>(Number("--max-level", v, 1, MaxLevels));
        }
        else if (a == "--level")
        {
            o.Play.FirstLevel = static_cast<int>(Number("--level", v, 1, MaxLevels));
        }
        else if (a == "--think")
        {
            o.Play.Bot.ThinkMs = static_cast<float>(Number("--think", v, 0, 60000));
        }
        else if (a == "--data")
        {
            o.Data = v;
        }
        else
        {
            Usage(("unknown option " + a).c_str());
        }
    }
    return o;
}

struct TSummary
{
    double Mean = 0;
    double Median = 0;
    double Max = 0;
};

TSummary Summarise(std::vector<double> values)
{
    TSummary s;
    if (values.empty())
    {
        return s;
    }
    std::sort(values.begin(), values.end());
    s.Mean = std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    const size_t n = values.size();
    s.Median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.Max = values.back();
    return s;
}

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (char c : s)
    {
        if (c == '"' || c == '\\')
        {
            out += '\\';
            out += c;
        }
        else if (c == '\n')
        {
            out += "\\n";
        }
        else if (static_cast<unsigned char>(c) < 0x20)
        {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        }
        else
        {
            out += c;
        }
    }
    return out + "\"";
}
} // namespace

int main(int argc, char** argv)
{
    const TOptions o = ParseOptions(argc, argv);

    std::unique_ptr<TPlaythrough> play;
    try
    {
        play = std::make_unique<TPlaythrough>(o.Data, o.Play);
    }
    catch (const TDataError& e)
    {
        std::fprintf(stderr, "tandrel-sim: %s\n", e.what());
        return 1;
    }

    std::vector<TGameResult> results;
    results.reserve(static_cast<size_t>(o.Games));
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < o.Games; ++n)
    {
        results.push_back(play->Play(GameSeed(o.Seed, o.From + n)));
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::vector<double> levels, scores, moves;
    std::array<int, MaxLevels + 2> reached{}, passed{}, bonusPaid{}, bonusDone{};
    std::array<long, MaxLevels + 2> specialsGiven{}, specialsPeak{}, cubesAtPeak{};
    std::array<double, MaxLevels + 2> startSeconds{};
    long bombs = 0, paints = 0, shots = 0, squares = 0, figures = 0, misses = 0, violations = 0;
    long updates = 0;
    double simSeconds = 0;
    int ends[4] = {};
    std::string firstViolation;
    std::string stuckBoard;
    std::vector<int> stuckGames;
    int maxReached = 0;
    for (size_t n = 0; n < results.size(); ++n)
    {
        const TGameResult& r = results[n];
        if (r.End == TGameEnd::Stuck)
        {
            stuckGames.push_back(o.From + static_cast<int>(n));
            stuckBoard = stuckBoard.empty() ? r.StuckBoard : stuckBoard;
        }
        levels.push_back(r.LastLevel);
        scores.push_back(r.Score);
        moves.push_back(r.Bot.Moves);
        for (int l = o.Play.FirstLevel; l <= r.LastLevel && l <= MaxLevels; ++l)
        {
            ++reached[l];
            startSeconds[l] += r.LevelStart[l];
            passed[l] += r.Passed[l] ? 1 : 0;
            specialsGiven[l] += r.SpecialsGiven[l];
            specialsPeak[l] += r.SpecialsPeak[l];
            cubesAtPeak[l] += r.CubesAtPeak[l];
            if (r.BonusPaid[l] >= 0)
            {
                ++bonusDone[l];
                bonusPaid[l] += r.BonusPaid[l];
            }
        }
        maxReached = std::max(maxReached, r.LastLevel);
        bombs += r.Bot.Bombs;
        paints += r.Bot.Paints;
        shots += r.Bot.Shots;
        squares += r.Bot.Squares;
        figures += r.Bot.Figures;
        misses += r.Bot.Misses;
        violations += r.Violations;
        updates += r.Updates;
        simSeconds += r.SimSeconds;
        ++ends[static_cast<int>(r.End)];
        if (firstViolation.empty() && !r.FirstViolation.empty())
        {
            firstViolation = r.FirstViolation;
        }
    }
    // The steepest fall of the pass rate from one level to the next: once over the levels
    // enough games reach for a rate to mean something, and once over all levels. Where only
    // a handful of games get, a single game moves the rate by tens of points, and the last
    // level any game reaches always passes none.
    constexpr int SteadySample = 20;
    struct TFall
    {
        double Points = 0;
        int Level = 0;
    } steadyFall, anyFall;
    for (int l = o.Play.FirstLevel + 1; l <= maxReached; ++l)
    {
        const double before = 100.0 * passed[l - 1] / std::max(reached[l - 1], 1);
        const double now = 100.0 * passed[l] / std::max(reached[l], 1);
        if (before - now > anyFall.Points)
        {
            anyFall = {before - now, l};
        }
        if (reached[l] >= SteadySample && before - now > steadyFall.Points)
        {
            steadyFall = {before - now, l};
        }
    }
    const TSummary lv = Summarise(levels);
    const TSummary sc = Summarise(scores);
    const TSummary mv = Summarise(moves);
    const double speed = wall > 0 ? simSeconds / wall : 0;
    const double games = static_cast<double>(results.size());

    if (o.Json)
    {
        std::printf("{\n");
        std::printf("  \"games\": %d, \"seed\": %u, \"mode\": %d, \"dt_ms\": %g, \"max_level\": %d,\n",
                    o.Games, o.Seed, o.Play.Mode, static_cast<double>(o.Play.Dt), o.Play.MaxLevel);
        std::printf("  \"levels_reached\": {\"mean\": %.3f, \"median\": %g, \"max\": %g},\n", lv.Mean,
                    lv.Median, lv.Max);
        std::printf("  \"scores\": {\"mean\": %.1f, \"median\": %.1f, \"max\": %.1f},\n", sc.Mean,
                    sc.Median, sc.Max);
        std::printf("  \"moves\": {\"mean\": %.1f, \"median\": %g, \"max\": %g, \"total\": %.0f},\n",
                    mv.Mean, mv.Median, mv.Max, mv.Mean * games);
        std::printf("  \"specials_used\": {\"bombs\": %ld, \"paints\": %ld, \"shots\": %ld},\n", bombs,
                    paints, shots);
        std::printf("  \"square_moves\": %ld, \"figure_moves\": %ld, \"bot_misses\": %ld,\n", squares,
                    figures, misses);
        std::printf("  \"ends\": {\"game_over\": %d, \"max_level\": %d, \"stuck\": %d, \"time_cap\": %d},\n",
                    ends[0], ends[1], ends[2], ends[3]);
        std::printf("  \"stuck_games\": [");
        for (size_t k = 0; k < stuckGames.size(); ++k)
        {
            std::printf("%s%d", k > 0 ? ", " : "", stuckGames[k]);
        }
        std::printf("],\n");
        if (!stuckBoard.empty())
        {
            std::printf("  \"first_stuck_board\": %s,\n", JsonString(stuckBoard).c_str());
        }
        // The level each game ended on, in game order: with --from, one long game of a run
        // can be replayed on its own.
        std::printf("  \"last_levels\": [");
        for (size_t k = 0; k < results.size(); ++k)
        {
            std::printf("%s%d", k > 0 ? ", " : "", results[k].LastLevel);
        }
        std::printf("],\n");
        std::printf("  \"levels\": [\n");
        for (int l = o.Play.FirstLevel; l <= maxReached; ++l)
        {
            std::printf("    {\"level\": %d, \"reached\": %d, \"passed\": %d, \"pass_rate\": %.4f, "
                        "\"passed_share_of_games\": %.4f, \"start_seconds_mean\": %.1f",
                        l, reached[l], passed[l], reached[l] ? passed[l] / double(reached[l]) : 0.0,
                        passed[l] / games, reached[l] ? startSeconds[l] / reached[l] : 0.0);
            if (bonusDone[l] > 0)
            {
                std::printf(", \"bonus_finished\": %d, \"bonus_paid\": %d", bonusDone[l], bonusPaid[l]);
            }
            else if (reached[l] > 0)
            {
                const double n = reached[l];
                std::printf(", \"specials_given_mean\": %.2f, \"specials_peak_mean\": %.2f, "
                            "\"cubes_at_peak_mean\": %.1f",
                            specialsGiven[l] / n, specialsPeak[l] / n, cubesAtPeak[l] / n);
            }
            std::printf("}%s\n", l < maxReached ? "," : "");
        }
        std::printf("  ],\n");
        std::printf("  \"steepest_fall\": {\"min_games\": %d, \"points\": %.1f, \"level\": %d},\n",
                    SteadySample, steadyFall.Points, steadyFall.Level);
        std::printf("  \"steepest_fall_any\": {\"points\": %.1f, \"level\": %d, \"games\": %d},\n",
                    anyFall.Points, anyFall.Level, anyFall.Level > 0 ? reached[anyFall.Level] : 0);
        std::printf("  \"invariant_violations\": %ld,\n", violations);
        if (!firstViolation.empty())
        {
            std::printf("  \"first_violation\": %s,\n", JsonString(firstViolation).c_str());
        }
        std::printf("  \"updates\": %ld, \"simulated_seconds\": %.1f, \"wall_seconds\": %.3f,\n", updates,
                    simSeconds, wall);
        std::printf("  \"simulated_seconds_per_wall_second\": %.1f\n", speed);
        std::printf("}\n");
    }
    else
    {
        std::printf("games %d (seed %u, mode %d, dt %g ms, up to level %d)\n", o.Games, o.Seed,
                    o.Play.Mode, static_cast<double>(o.Play.Dt), o.Play.MaxLevel);
        std::printf("levels reached: mean %.2f, median %g, max %g\n", lv.Mean, lv.Median, lv.Max);
        std::printf("scores: mean %.0f, median %.0f, max %.0f\n", sc.Mean, sc.Median, sc.Max);
        std::printf("moves per game: mean %.1f, median %g, max %g\n", mv.Mean, mv.Median, mv.Max);
        std::printf("specials used: %ld bombs, %ld paints, %ld shots\n", bombs, paints, shots);
        std::printf("square moves %ld, figure moves %ld, bot misses %ld\n", squares, figures, misses);
        std::printf("ends: %d game over, %d last level passed, %d stuck, %d time cap\n", ends[0],
                    ends[1], ends[2], ends[3]);
        if (!stuckBoard.empty())
        {
            std::printf("first board the bot could not move on (game %d):\n%s", stuckGames.front(),
                        stuckBoard.c_str());
        }
        std::printf("\nlevel  reached  passed  pass rate  of all games  starts at  bonus paid /"
                    " specials: given, most at once (cubes then)\n");
        for (int l = o.Play.FirstLevel; l <= maxReached; ++l)
        {
            std::printf("%5d  %7d  %6d  %8.1f%%  %11.1f%%  %6.1f min", l, reached[l], passed[l],
                        reached[l] ? 100.0 * passed[l] / reached[l] : 0.0,
                        100.0 * passed[l] / games,
                        reached[l] ? startSeconds[l] / reached[l] / 60 : 0.0);
            if (bonusDone[l] > 0)
            {
                std::printf("  %d of %d", bonusPaid[l], bonusDone[l]);
            }
            else if (reached[l] > 0)
            {
                const double n = reached[l];
                std::printf("  %5.1f  %4.1f (%4.1f)", specialsGiven[l] / n, specialsPeak[l] / n,
                            cubesAtPeak[l] / n);
            }
            std::printf("\n");
        }
        std::printf("\nsteepest fall of the pass rate: %.1f points at level %d (levels at least %d "
                    "games reach); %.1f points at level %d over all levels (%d games)\n",
                    steadyFall.Points, steadyFall.Level, SteadySample, anyFall.Points, anyFall.Level,
                    anyFall.Level > 0 ? reached[anyFall.Level] : 0);
        std::printf("invariant violations: %ld\n", violations);
        if (!firstViolation.empty())
        {
            std::printf("first: %s", firstViolation.c_str());
        }
        std::printf("simulated %.0f s in %.2f s of wall-clock time: %.0f simulated seconds per second\n",
                    simSeconds, wall, speed);
    }
    return violations == 0 ? 0 : 1;
}
