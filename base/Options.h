// base/ is the bottom layer every folder may use: the settings (this file), the debug log,
// the file error type TDataError and the vectors and matrices. It includes no other folder.
//
// The settings store: ten integer values in the per-user key file
// $XDG_CONFIG_HOME/tandrel/settings.ini (group "Tandrel"), plus the camera eye point and
// the home-page address, which are never stored. The one object of the program is
// `Options`, made by the launcher; tests make as many as they like, each on its own file.
#pragma once

#include "base/TexMatrix.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

typedef struct _GKeyFile GKeyFile;

struct TResolution
{
    int32_t Width = 0;
    int32_t Height = 0;

    friend bool operator==(const TResolution&, const TResolution&) = default;
};

// $XDG_CONFIG_HOME/tandrel/settings.ini, or ~/.config/tandrel/settings.ini when the
// variable is unset or not an absolute path.
std::filesystem::path DefaultSettingsFile();

class TOptions
{
public:
    static constexpr const char* Group = "Tandrel";
    static constexpr int DesktopResolution = 9; // Resolutions entry of the display's size

    // Fills Resolutions 0..8 and ColorBits and puts the eye at rest; every stored
    // setting starts at zero until Load.
    explicit TOptions(std::filesystem::path settingsFile = DefaultSettingsFile());
    ~TOptions();
    TOptions(const TOptions&) = delete;
    TOptions& operator=(const TOptions&) = delete;

    void ResetEye();
    // Reads the file. No file (or no "Tandrel" group): first-run defaults, saved at once.
    // A value of the first group that is missing or not an integer takes its default, and
    // one message names the file and every such value (the file is kept beside as
    // settings.ini.damaged); the other values are read, nothing is saved yet. A missing
    // or mistyped "PseudoFullscreen" or "WriteDebug" turns both off and saves all ten.
    // Damaged lines are reported with the file and line, skipped, and the file is kept
    // beside as settings.ini.damaged before anything is written over it.
    void Load();
    // Writes all ten values (temporary file, then renamed over the old one); a failure is
    // reported through ShowMessage. Returns true when the file was written.
    bool Save();
    // Load, then the home-page address.
    void Reload();

    const std::filesystem::path& File() const { return SettingsFile; }
    // The values held are those the file holds: read without a fault, or saved since. A
    // process that reads the file again then starts with the same settings and no message.
    bool MatchesFile() const { return InFile; }

    TVector3 Eye;
    uint8_t SoundVol = 0;   // 0..250, 0 = silent
    uint8_t MusicVol = 0;   // 0..250, 0 = silent
    uint8_t Texture = 0;    // cube skin 1..SkinCount (front/Skins.h)
    std::string HomePage;   // opened by the launcher's Homepage button
    uint8_t Resolution = 0; // index into Resolutions: 0..8 chosen, 9 the display's size
    uint8_t Color = 0;      // index into ColorBits: 0 = 16 bits, 1 = 32 bits
    bool Fullscreen = false;
    bool Desktop = false; // in full screen, use the display's size
    bool PseudoFullscreen = false;
    bool Help = false;
    bool WriteDebug = false; // frame-rate lines in the debug log

    // The size of the window's client area as the player left it (window mode only; when
    // it was left maximised, its last size before), stored beside the ten values as
    // WindowWidth and WindowHeight; 0 x 0 when there is none. The video mode decides
    // whether it is usable on the display.
    TResolution WindowSize{};
    // The window was left maximised (WindowMaximized=1), and opens so again.
    bool WindowMaximised = false;
    // The language chosen in the options dialog, stored as "Language" beside the ten values:
    // a catalogue's code ("de", "pt_BR"), "en", or empty for the system's language.
    std::string Language;

    std::array<TResolution, 10> Resolutions{};
    std::array<uint8_t, 2> ColorBits{};

    // Shows a message to the player (the shell sets a message box; the default writes
    // to standard error). Called for unreadable values and unwritable or damaged files.
    std::function<void(const std::string&)> ShowMessage;

private:
    enum class TReadResult
    {
        Missing, // no file, or no "Tandrel" group in it: a first run
        Unreadable,
        Read,
    };

    void SetDefaults();
    TReadResult ReadFile();
    void RemoveStaleTemporaryFiles() const;
    void ReadFirstGroup();
    bool ReadSecondGroup();
    void ReadWindowSize();
    void ReadLanguage();
    void Report(const std::string& text) const;

    std::filesystem::path SettingsFile;
    mutable bool InFile = false; // see MatchesFile; any message clears it
    std::unique_ptr<GKeyFile, void (*)(GKeyFile*)> KeyFile;
};
