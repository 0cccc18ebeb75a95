#include "base/Options.h"

#include "base/AtomicFile.h"
#include "base/DataError.h"
#include "base/PlayerFile.h"

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>
#include <vector>

namespace
{
// The address the launcher's Homepage button opens, set by the build (TANDREL_HOMEPAGE); when
// empty the button opens the player's manual.
constexpr const char* TandrelHomePage = TANDREL_HOMEPAGE;

// Twelve values take a few hundred bytes; a player's comments and groups fit many times
// over. A larger file is refused unread, with the defaults.
constexpr std::uintmax_t MaxSettingsSize = 64 * 1024;

// GError owner: freed on every path.
struct TErrorHolder
{
    GError* Error = nullptr;
    ~TErrorHolder()
    {
        if (Error != nullptr)
        {
            g_error_free(Error);
        }
    }
    std::string Message() const { return Error != nullptr ? Error->message : "unknown error"; }
};

std::string Format(std::string_view pattern, const char* name)
{
    std::string text(pattern);
    const auto at = text.find("%s");
    text.replace(at, 2, name);
    return text;
}

uint8_t Low8(int value)
{
    return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu);
}

// A line the key-file parser accepts on its own. Key lines are only valid inside a
// group, so they are tried below a stand-in group header once a group has begun.
bool LineParses(const std::string& line, bool inGroup, std::string& problem)
{
    const std::string probe = inGroup ? "[probe]\n" + line : line;
    std::unique_ptr<GKeyFile, void (*)(GKeyFile*)> kf(g_key_file_new(), g_key_file_free);
    TErrorHolder err;
    if (g_key_file_load_from_data(kf.get(), probe.data(), probe.size(), G_KEY_FILE_NONE, &err.Error))
    {
        return true;
    }
    // The parser quotes the whole line: a long one is cut to a short excerpt, and so is the
    // message.
    problem = err.Message();
    if (const size_t at = problem.find(line); line.size() > 40 && at != std::string::npos)
    {
        problem.replace(at, line.size(), Excerpt(line));
    }
    problem = Excerpt(problem, 160);
    return false;
}

bool StartsGroup(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t");
    return first != std::string::npos && line[first] == '[';
}
} // namespace

std::filesystem::path DefaultSettingsFile()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/')
    {
        return std::filesystem::path(xdg) / "tandrel" / "settings.ini";
    }
    return HomeFolder() / ".config" / "tandrel" / "settings.ini";
}

TOptions::TOptions(std::filesystem::path settingsFile)
    : SettingsFile(std::move(settingsFile)), KeyFile(g_key_file_new(), g_key_file_free)
{
    Resolutions = {{{512, 384},
                    {640, 400},
                    {640, 480},
                    {800, 600},
                    {1024, 768},
                    {1152, 864},
                    {1280, 768},
                    {1280, 960},
                    {1280, 1024},
                    {0, 0}}};
    ColorBits = {16, 32};
    ResetEye();
}

TOptions::~TOptions() = default;

void TOptions::ResetEye()
{
    Eye = RestEye;
}

void TOptions::SetDefaults()
{
    SoundVol = 160;
    MusicVol = 120;
    Fullscreen = true;
    Resolution = 6;
    Color = 0;
    Desktop = true;
    Texture = 2;
    Help = true;
    WriteDebug = false;
    PseudoFullscreen = false;
}

void TOptions::Report(const std::string& text) const
{
    InFile = false;
    if (ShowMessage)
    {
        ShowMessage(text);
    }
    else
    {
        std::fprintf(stderr, "Tandrel: %s\n", text.c_str());
    }
}

void TOptions::RemoveStaleTemporaryFiles() const
{
    // A save killed half-way leaves its temporary file, under a name of the game's own: any
    // other file beside the settings is the player's.
    RemoveStaleTemporaryFile(SettingsFile);
}

TOptions::TReadResult TOptions::ReadFile()
{
    RemoveStaleTemporaryFiles();
    KeyFile.reset(g_key_file_new());
    const TPlayerFile file = ReadPlayerFile(SettingsFile, MaxSettingsSize);
    if (file.Status == TPlayerFile::TStatus::Missing)
    {
        return TReadResult::Missing;
    }
    if (file.Status != TPlayerFile::TStatus::Read)
    {
        Report("The settings file '" + SettingsFile.string() + "' " + file.Problem +
               ".\nThe default settings are used for this run.");
        return TReadResult::Unreadable;
    }
    const std::string& text = file.Bytes;

    // Keep every line the parser accepts; report the others with their line numbers.
    std::string kept;
    std::vector<std::pair<int, std::string>> damaged;
    bool inGroup = false;
    size_t start = 0;
    for (int lineNo = 1; start < text.size(); ++lineNo)
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
        {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        std::string problem;
        if (LineParses(line, inGroup, problem))
        {
            kept += line;
            kept += '\n';
            inGroup = inGroup || StartsGroup(line);
        }
        else
        {
            damaged.emplace_back(lineNo, problem);
        }
        start = end + 1;
    }
    if (!damaged.empty())
    {
        std::filesystem::path copy = SettingsFile;
        copy += ".damaged";
        const bool kept = WriteFileAtomically(copy, text).empty();
        std::string message = TDataError(SettingsFile, damaged.front().first, damaged.front().second).what();
        if (damaged.size() > 1)
        {
            message += "\n" + std::to_string(damaged.size() - 1) + " more damaged line(s) follow.";
        }
        message += damaged.size() > 1 ? "\nThese lines are skipped." : "\nThe line is skipped.";
        if (kept)
        {
            message += " The file as it was is kept as '" + copy.string() + "'.";
        }
        Report(message);
    }
    TErrorHolder parseErr;
    if (!g_key_file_load_from_data(KeyFile.get(), kept.data(), kept.size(), G_KEY_FILE_KEEP_COMMENTS, &parseErr.Error))
    {
        KeyFile.reset(g_key_file_new());
        return TReadResult::Missing;
    }
    return g_key_file_has_group(KeyFile.get(), Group) ? TReadResult::Read : TReadResult::Missing;
}

void TOptions::ReadFirstGroup()
{
    struct TField
    {
        const char* Name;
        std::function<void(int)> Set;
    };
    const TField fields[] = {
        {"Fullscreen", [this](int v) { Fullscreen = v != 0; }},
        // An index beyond the tables (only an edited file holds one) means the default.
        {"Resolution", [this](int v) { Resolution = Low8(v) <= DesktopResolution ? Low8(v) : 6; }},
        {"Color", [this](int v) { Color = Low8(v) <= 1 ? Low8(v) : 0; }},
        {"Desktop", [this](int v) { Desktop = v != 0; }},
        {"Texture", [this](int v) { Texture = Low8(v); }},
        {"SoundVol", [this](int v) { SoundVol = Low8(v); }},
        {"MusicVol", [this](int v) { MusicVol = Low8(v); }},
        {"Help", [this](int v) { Help = v != 0; }},
    };
    // A value that is missing or mistyped takes its default; every other keeps its own.
    SetDefaults();
    std::string problems;
    for (const TField& field : fields)
    {
        TErrorHolder err;
        const int value = g_key_file_get_integer(KeyFile.get(), Group, field.Name, &err.Error);
        if (err.Error != nullptr)
        {
            const bool missing = err.Error->domain == G_KEY_FILE_ERROR &&
                                 (err.Error->code == G_KEY_FILE_ERROR_KEY_NOT_FOUND ||
                                  err.Error->code == G_KEY_FILE_ERROR_GROUP_NOT_FOUND);
            problems += (problems.empty() ? "" : ", ") +
                        Format(missing ? "Failed to get data for '%s'" : "Invalid data type for '%s'", field.Name);
            continue;
        }
        field.Set(value);
    }
    if (!problems.empty())
    {
        std::filesystem::path copy = SettingsFile;
        copy += ".damaged";
        std::error_code ec;
        // The file was read whole as a regular file moments ago.
        std::filesystem::copy_file(SettingsFile, copy, std::filesystem::copy_options::overwrite_existing, ec);
        std::string message = TDataError(SettingsFile, 0, problems).what();
        message += "\nThese settings take their default values; the others keep theirs.";
        if (!ec)
        {
            message += " The file as it was is kept as '" + copy.string() + "'.";
        }
        Report(message);
    }
}

bool TOptions::ReadSecondGroup()
{
    TErrorHolder pseudoErr;
    const int pseudo = g_key_file_get_integer(KeyFile.get(), Group, "PseudoFullscreen", &pseudoErr.Error);
    if (pseudoErr.Error != nullptr)
    {
        return false;
    }
    PseudoFullscreen = pseudo != 0;
    TErrorHolder debugErr;
    const int debug = g_key_file_get_integer(KeyFile.get(), Group, "WriteDebug", &debugErr.Error);
    if (debugErr.Error != nullptr)
    {
        return false;
    }
    WriteDebug = debug != 0;
    return true;
}

void TOptions::ReadWindowSize()
{
    // Optional: missing or mistyped means no stored size.
    WindowSize = {};
    TErrorHolder widthErr, heightErr;
    const int width = g_key_file_get_integer(KeyFile.get(), Group, "WindowWidth", &widthErr.Error);
    const int height = g_key_file_get_integer(KeyFile.get(), Group, "WindowHeight", &heightErr.Error);
    if (widthErr.Error == nullptr && heightErr.Error == nullptr)
    {
        WindowSize = {width, height};
    }
}

void TOptions::ReadLanguage()
{
    // Optional: missing, or anything but a plain code, means the system's language.
    Language.clear();
    gchar* value = g_key_file_get_string(KeyFile.get(), Group, "Language", nullptr);
    if (value == nullptr)
    {
        return;
    }
    const std::string_view code = value;
    if (code.size() <= 16 && code.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_") ==
                                 std::string_view::npos)
    {
        Language = code;
    }
    g_free(value);
}

void TOptions::Load()
{
    InFile = true;
    const TReadResult read = ReadFile();
    if (read != TReadResult::Read)
    {
        SetDefaults();
        Language.clear();
        // A file that exists but cannot be read is not written over at start-up.
        if (read == TReadResult::Missing)
        {
            Save();
        }
        return;
    }
    ReadWindowSize();
    ReadLanguage();
    ReadFirstGroup();
    if (!ReadSecondGroup())
    {
        WriteDebug = false;
        PseudoFullscreen = false;
        Save();
    }
}

bool TOptions::Save()
{
    struct TField
    {
        const char* Name;
        int Value;
    };
    const TField fields[] = {
        {"SoundVol", SoundVol},        {"MusicVol", MusicVol},
        {"Fullscreen", Fullscreen},    {"Resolution", Resolution},
        {"Color", Color},              {"Desktop", Desktop},
        {"Texture", Texture},          {"Help", Help},
        {"WriteDebug", WriteDebug},    {"PseudoFullscreen", PseudoFullscreen},
    };
    // Other keys and groups a player may have added stay; the ten go to the end of the
    // group in the order above.
    for (const TField& field : fields)
    {
        g_key_file_remove_key(KeyFile.get(), Group, field.Name, nullptr);
        g_key_file_set_integer(KeyFile.get(), Group, field.Name, field.Value);
    }
    g_key_file_remove_key(KeyFile.get(), Group, "WindowWidth", nullptr);
    g_key_file_remove_key(KeyFile.get(), Group, "WindowHeight", nullptr);
    if (WindowSize.Width != 0 || WindowSize.Height != 0)
    {
        g_key_file_set_integer(KeyFile.get(), Group, "WindowWidth", WindowSize.Width);
        g_key_file_set_integer(KeyFile.get(), Group, "WindowHeight", WindowSize.Height);
    }
    g_key_file_remove_key(KeyFile.get(), Group, "Language", nullptr);
    if (!Language.empty())
    {
        g_key_file_set_string(KeyFile.get(), Group, "Language", Language.c_str());
    }
    gsize length = 0;
    gchar* data = g_key_file_to_data(KeyFile.get(), &length, nullptr);
    const std::string bytes(data, length);
    g_free(data);
    std::string problem;
    const std::string folder = SettingsFile.parent_path().string();
    if (!folder.empty() && g_mkdir_with_parents(folder.c_str(), 0700) != 0)
    {
        problem = "cannot create the folder '" + folder + "': " + g_strerror(errno);
    }
    else if (const std::string failed = WriteFileAtomically(SettingsFile, bytes); !failed.empty())
    {
        problem = "the file " + failed;
    }
    const bool written = problem.empty();
    InFile = written;
    if (!written)
    {
        Report("The settings could not be saved to '" + SettingsFile.string() + "': " + problem);
    }
    return written;
}

void TOptions::Reload()
{
    Load();
    HomePage = TandrelHomePage;
}
