#include "app/ContentCheck.h"

#include "base/Text.h"

#include "base/ContentFile.h"

#include "base/DataError.h"
#include "front/FrontEnd.h"
#include "front/MenuFile.h"
#include "game/Game.h"
#include "game/GameHost.h"
#include "render/Font.h"
#include "render/LoadingBar.h"
#include "render/Texture.h"
#include "sound/Sound.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace
{
std::string TextFileProblem(const fs::path& file)
{
    std::string problem;
    std::FILE* in = OpenContentFile(file, problem);
    if (in == nullptr)
    {
        return problem;
    }
    std::fclose(in);
    return "";
}

class TProblems
{
public:
    void Check(const fs::path& file, std::string (*problem)(const fs::path&))
    {
        if (Checked.insert(file).second)
        {
            Add(file, problem(file));
        }
    }

    void Add(const fs::path& file, const std::string& problem)
    {
        if (!problem.empty())
        {
            Lines.push_back(file.string() + ": " + problem);
        }
    }

    // Runs a reader; what it throws is the file's problem (its own text names the file).
    template <typename F>
    void Read(const fs::path& file, F read)
    {
        if (!Lines.empty() && std::any_of(Lines.begin(), Lines.end(),
                                          [&](const std::string& l) { return l.rfind(file.string() + ":", 0) == 0; }))
        {
            return; // already named: missing or unreadable
        }
        try
        {
            read();
        }
        catch (const std::exception& e)
        {
            Lines.emplace_back(e.what());
        }
    }

    std::vector<std::string> Lines;

private:
    std::set<fs::path> Checked;
};
} // namespace

std::vector<std::string> ContentProblems(const fs::path& programFolder, bool readDataFiles)
{
    TProblems p;
    const fs::path data = programFolder / "data";
    for (const char* name : {"Menu.dat", "Levels.dat", "BonusFigures.dat"})
    {
        p.Check(data / name, TextFileProblem);
    }
    for (const fs::path& file : FontFiles(programFolder))
    {
        p.Check(file, file.extension() == ".tga" ? PictureProblem : TextFileProblem);
    }
    // The menu file names its own pictures; it is small, and read again when the menu loads.
    std::vector<fs::path> pictures;
    p.Read(data / "Menu.dat", [&] { pictures = TMenuFile::Load(programFolder, false).Pictures(programFolder); });
    for (const std::vector<fs::path>& list : {pictures, RenderPictures(programFolder), FrontPictures(programFolder)})
    {
        for (const fs::path& file : list)
        {
            p.Check(file, PictureProblem);
        }
    }
    for (const fs::path& file : SoundFiles(programFolder))
    {
        p.Check(file, AudioFileProblem);
    }
    if (readDataFiles)
    {
        NullGameHost host;
        TRandom random(1);
        auto game = std::make_unique<TGame>(host, random, data, fs::temp_directory_path());
        const size_t before = p.Lines.size();
        p.Read(data / "Levels.dat", [&] { game->CreateLevels(); });
        if (p.Lines.size() != before)
        {
            // The figures alone, without levels to hold them against.
            game = std::make_unique<TGame>(host, random, data, fs::temp_directory_path());
        }
        p.Read(data / "BonusFigures.dat", [&] { game->CreateBonus(); });
        TFont font;
        for (const fs::path& file : FontFiles(programFolder))
        {
            if (file.extension() == ".dat")
            {
                p.Read(file, [&] { ReadFontMetrics(file, font); });
            }
        }
    }
    return p.Lines;
}

std::string ContentMessage(const std::vector<std::string>& problems)
{
    std::string text = problems.size() == 1 ? _("A file of the game cannot be read, so the game cannot start:\n")
                                            : _("Files of the game cannot be read, so the game cannot start:\n");
    for (const std::string& line : problems)
    {
        text += "\n" + line;
    }
    return text + _("\n\nInstalling the game again puts its files back.");
}
