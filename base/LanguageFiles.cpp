#include "base/LanguageFiles.h"

#include "base/DebugLog.h"
#include "base/Text.h"

#include <mutex>
#include <set>
#include <string>
#include <system_error>

std::filesystem::path LanguageFile(const std::filesystem::path& programFolder, std::string_view language,
                                   const std::filesystem::path& relative)
{
    if (language.empty())
    {
        return programFolder / relative;
    }
    return programFolder / LanguagesFolder / std::string(language) / relative;
}

std::filesystem::path LocalFile(const std::filesystem::path& programFolder, const std::filesystem::path& relative,
                                std::string_view language)
{
    const std::filesystem::path own = LanguageFile(programFolder, language, relative);
    std::error_code ec;
    if (language.empty() || std::filesystem::is_regular_file(own, ec))
    {
        return own;
    }
    // Menu pictures are looked up again each time their screen shows: one line is enough.
    static std::mutex guard;
    static std::set<std::filesystem::path> told;
    const std::lock_guard lock(guard);
    if (told.insert(own).second)
    {
        DebugLog(" " + own.string() + " is missing: the English " + (programFolder / relative).string() +
                 " is used");
    }
    return programFolder / relative;
}

std::filesystem::path LocalFile(const std::filesystem::path& programFolder, const std::filesystem::path& relative)
{
    return LocalFile(programFolder, relative, CurrentLanguage());
}
