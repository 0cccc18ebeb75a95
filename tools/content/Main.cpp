// tandrel-content: makes every picture, font, menu, sound and tune of the game into the
// program folder. Deterministic: fixed seeds, no clock, so the same sources give the same
// files. Usage:
//   tandrel-content --out DIR [--fonts DIR] [--espeak PROGRAM] [--only a,b] [--jobs N]
//                   [--previews DIR] [--renders DIR] [--skins N] [--po DIR [--languages a,b]]
//                   [--pseudo FILE]
// With --po, the pictures and voice lines that carry words are also made in every language of
// DIR/LINGUAS (or those of --languages) from its catalogue DIR/<code>.po, into lang/<code>/.
// --pseudo makes the pictures of the pseudo-language too, from its catalogue FILE (the build's
// po/xx.po), into lang/xx/: for the tests, never installed.
// The tutorial and help pages are composed from frames that tandrel-snapshot renders from the
// program folder this makes: they are made only in a second run given --renders DIR.
// --skins N draws N cube skins and offers them in the menu instead of the game's count, to
// try a skin before the game counts it.
#include "tools/content/Content.h"
#include "tools/content/Languages.h"

#include "front/MenuScreens.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace
{
std::vector<std::string> Split(const std::string& s)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= s.size())
    {
        const size_t comma = s.find(',', start);
        const size_t end = comma == std::string::npos ? s.size() : comma;
        if (end > start)
        {
            parts.push_back(s.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

int Usage()
{
    std::fprintf(stderr, "usage: tandrel-content --out DIR [--fonts DIR] [--espeak PROGRAM] "
                         "[--only JOB,...] [--jobs N] [--previews DIR] [--renders DIR] [--skins N] "
                         "[--po DIR [--languages CODE,...]] [--pseudo FILE]\n");
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    std::filesystem::path outFolder;
    std::filesystem::path previews;
    TSources sources{"/usr/share/fonts/truetype/dejavu", "espeak-ng", {}, SkinCount, {}, nullptr};
    std::vector<std::string> only;
    std::filesystem::path po;
    std::filesystem::path pseudo;
    std::vector<std::string> languages;
    unsigned workers = std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
        {
            return Usage();
        }
        const std::string value = argv[++i];
        if (arg == "--out")
        {
            outFolder = value;
        }
        else if (arg == "--fonts")
        {
            sources.FontFolder = value;
        }
        else if (arg == "--espeak")
        {
            sources.Espeak = value;
        }
        else if (arg == "--only")
        {
            only = Split(value);
        }
        else if (arg == "--jobs")
        {
            workers = static_cast<unsigned>(std::max(1, std::atoi(value.c_str())));
        }
        else if (arg == "--renders")
        {
            sources.Renders = value;
        }
        else if (arg == "--previews")
        {
            previews = value;
        }
        else if (arg == "--skins")
        {
            sources.Skins = std::atoi(value.c_str());
            if (sources.Skins < 1 || OptionsItemCount(sources.Skins) > MaxMenuItems)
            {
                std::fprintf(stderr, "tandrel-content: --skins takes 1 to %d\n",
                             MaxMenuItems - OptionsItemCount(0));
                return 2;
            }
        }
        else if (arg == "--po")
        {
            po = value;
        }
        else if (arg == "--languages")
        {
            languages = Split(value);
        }
        else if (arg == "--pseudo")
        {
            pseudo = value;
        }
        else
        {
            return Usage();
        }
    }
    if (outFolder.empty() || (po.empty() && !languages.empty()))
    {
        return Usage();
    }
    if (!po.empty() || !pseudo.empty())
    {
        try
        {
            if (!po.empty())
            {
                sources.Translations = ReadTranslations(po, languages);
            }
            if (!pseudo.empty())
            {
                sources.Translations.push_back(
                    {PseudoLanguage, std::make_shared<TCatalogue>(TCatalogue::Read(pseudo))});
            }
        }
        catch (const std::exception& e)
        {
            std::fprintf(stderr, "tandrel-content: %s\n", e.what());
            return 1;
        }
    }

    std::vector<TContentJob> jobs;
    for (const TContentJob& job : ContentJobs(sources))
    {
        bool wanted = only.empty() && !job.OnRequest && (!job.NeedsRenders || !sources.Renders.empty());
        for (const std::string& name : only)
        {
            wanted = wanted || job.Name == name || job.Name.rfind(name + "/", 0) == 0;
        }
        if (wanted && job.NeedsRenders && sources.Renders.empty())
        {
            std::fprintf(stderr, "tandrel-content: %s needs --renders\n", job.Name.c_str());
            return 2;
        }
        if (wanted)
        {
            jobs.push_back(job);
        }
    }
    if (jobs.empty())
    {
        std::fprintf(stderr, "tandrel-content: no job matches\n");
        return 2;
    }

    const TOutput out(outFolder, previews);
    const auto start = std::chrono::steady_clock::now();
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex report;
    auto work = [&]()
    {
        for (size_t i = next++; i < jobs.size(); i = next++)
        {
            const auto jobStart = std::chrono::steady_clock::now();
            try
            {
                jobs[i].Make(out, sources);
            }
            catch (const std::exception& e)
            {
                const std::lock_guard lock(report);
                std::fprintf(stderr, "tandrel-content: %s: %s\n", jobs[i].Name.c_str(), e.what());
                failed = true;
                continue;
            }
            const double ms = std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - jobStart)
                                  .count();
            const std::lock_guard lock(report);
            std::printf("  %-16s %7.0f ms\n", jobs[i].Name.c_str(), ms);
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < workers; ++t)
    {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads)
    {
        t.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("tandrel-content: %zu jobs in %.1f s\n", jobs.size(), seconds);
    return failed ? 1 : 0;
}
