// Helpers shared by the tests: temporary folders and a game wired to a headless host.
#pragma once

#include "game/Game.h"

#include <filesystem>
#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed again at the end.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return Root; }
    // Writes text to a file below the folder (folders made as needed); returns its path.
    std::filesystem::path Write(const std::string& relative, const std::string& text) const;

private:
    std::filesystem::path Root;
};

std::string ReadFile(const std::filesystem::path& file);
// The text's lines, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// The shipped program folder's data and the source tree's content folder.
std::filesystem::path ShippedDataFolder();

// A game with its own host and generator, reading from dataFolder, saving to userFolder.
struct TestGame
{
    explicit TestGame(const std::filesystem::path& dataFolder = ShippedDataFolder(),
                      const std::filesystem::path& userFolder = std::filesystem::temp_directory_path(),
                      uint32_t seed = 1);

    NullGameHost Host;
    TRandom Rng;
    TGame Game;
};
