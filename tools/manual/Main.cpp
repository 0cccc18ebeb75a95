// tandrel-manual: the player's manual's texts for its translators, and the
// manual in a language from its catalogue (see Manual.h). Usage:
//   tandrel-manual --template FILE --pot OUT
//   tandrel-manual --template FILE --po CATALOGUE --language CODE --out FILE
// Texts a catalogue leaves untranslated stay English and are counted on
// standard error; a translation that breaks its markup fails with the catalogue
// and the text.
#include "tools/manual/Manual.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace
{
int Usage()
{
    std::fprintf(stderr, "usage: tandrel-manual --template FILE (--pot OUT | "
                         "--po CATALOGUE --language CODE --out FILE)\n");
    return 2;
}

std::string ReadText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
    {
        throw std::runtime_error(file.string() + ": cannot be read");
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::filesystem::path& file, const std::string& text)
{
    if (file.has_parent_path())
    {
        std::filesystem::create_directories(file.parent_path());
    }
    std::ofstream out(file, std::ios::binary);
    out << text;
    out.close();
    if (!out)
    {
        throw std::runtime_error(file.string() + ": cannot be written");
    }
}
} // namespace

int main(int argc, char** argv)
{
    std::map<std::string, std::string> args;
    for (int i = 1; i + 1 < argc; i += 2)
    {
        args[argv[i]] = argv[i + 1];
    }
    if (argc % 2 == 0 || !args.contains("--template"))
    {
        return Usage();
    }
    const std::filesystem::path page = args["--template"];
    try
    {
        const std::string text = ReadText(page);
        if (args.contains("--pot") && args.size() == 2)
        {
            WriteText(args["--pot"], ManualTemplate(text, "dist/" + page.filename().string()));
            return 0;
        }
        if (!args.contains("--po") || !args.contains("--language") || !args.contains("--out") || args.size() != 4)
        {
            return Usage();
        }
        const std::filesystem::path po = args["--po"];
        const TTranslatedManual manual = TranslateManual(text, TCatalogue::Read(po), args["--language"], po);
        if (manual.Untranslated > 0)
        {
            std::fprintf(stderr, "tandrel-manual: %s leaves %d of the manual's texts in English\n", po.c_str(),
                         manual.Untranslated);
        }
        WriteText(args["--out"], manual.Page);
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "tandrel-manual: %s: %s\n", page.c_str(), e.what());
        return 1;
    }
    return 0;
}
