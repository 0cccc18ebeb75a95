#include "tools/content/Languages.h"

#include "base/DataError.h"

#include <algorithm>
#include <fstream>
#include <sstream>

std::string TSources::Tr(std::string_view english) const
{
    const std::string* found = Language != nullptr ? Language->Words->Find(english) : nullptr;
    return found != nullptr ? *found : std::string(english);
}

std::string TSources::LanguageName() const
{
    return Language != nullptr ? Language->Code : "English";
}

bool TSources::Pseudo() const
{
    return Language != nullptr && Language->Code == PseudoLanguage;
}

std::vector<TTranslation> ReadTranslations(const std::filesystem::path& poFolder,
                                           const std::vector<std::string>& only)
{
    const std::filesystem::path list = poFolder / "LINGUAS";
    std::ifstream in(list);
    if (!in)
    {
        throw TDataError(list, 0, "cannot be read");
    }
    std::vector<std::string> codes;
    std::string line;
    while (std::getline(in, line))
    {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string code;
        while (words >> code)
        {
            codes.push_back(code);
        }
    }
    for (const std::string& code : only)
    {
        if (std::find(codes.begin(), codes.end(), code) == codes.end())
        {
            throw TDataError(list, 0, "does not name the language " + code);
        }
    }
    std::vector<TTranslation> languages;
    for (const std::string& code : codes)
    {
        if (only.empty() || std::find(only.begin(), only.end(), code) != only.end())
        {
            languages.push_back(
                {code, std::make_shared<TCatalogue>(TCatalogue::Read(poFolder / (code + ".po")))});
        }
    }
    return languages;
}

TOutput LanguageOutput(const TOutput& out, const TSources& sources)
{
    if (sources.Language == nullptr)
    {
        return out;
    }
    // Run-length coded, the menu's word pictures of a language take a quarter of the room.
    return out.Below(std::filesystem::path(LanguagesFolder) / sources.Language->Code, true);
}
