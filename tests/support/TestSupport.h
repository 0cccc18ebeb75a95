// Helpers shared by the tests: temporary folders and a game wired to a headless host.
#pragma once

#include "game/GameSetup.h"

#include <chrono>
#include <filesystem>
#include <functional>
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

// Polls until pred holds; false when it still does not after the limit. Every wait of the
// tests is on a condition like this, never a fixed sleep.
bool WaitUntil(const std::function<bool()>& pred,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

// The shipped program folder's data and the source tree's content folder.
std::filesystem::path ShippedDataFolder();

// Hand-made levels and bonus figures in place of the shipped files, so that the rules a test
// meets are the ones it set. A normal level with `colours` colours in both modes, three new
// cubes a turn, bonus figure 1 only, 15 points a cube, 40 a square, 300 for the bonus figure,
// and the targets of the normal and the timed mode.
TLevel HandMadeLevel(uint8_t colours, double normalTarget, double timedTarget);
// Levels first..last become `level`, each then adjusted by `each` (given n) when there is one.
void SetLevels(TGameSetup& game, int first, int last, const TLevel& level,
               const std::function<void(int n, TLevel& l)>& each = {});
// Bonus figure `index` from rows of colour digits (0 none): rows[j - 1] is row j of the
// figure, one digit a column; the figure is as wide and as high as the rows, shown as made.
void SetFigure(TGameSetup& game, int index, const std::vector<std::string>& rows, double base);

// A cube of the kind placed as the rules place one, at rest or in the given state (a waiting
// or growing one keeps its cell reserved); returns its index.
int PutCube(TGameSetup& game, int kind, int x, int y, uint8_t state = csIdle);
// Lays out rows of kinds: rows[0] is y = y0, character k of a row is x = x0 + k. Digits
// 1..7 are colours, J joker, B bomb, S shot, P paint 1, X stone, '.' nothing.
void LayOut(TGameSetup& game, int x0, int y0, const std::vector<std::string>& rows);

// A game with its own host and generator, reading from dataFolder, saving to userFolder.
struct TestGame
{
    explicit TestGame(const std::filesystem::path& dataFolder = ShippedDataFolder(),
                      const std::filesystem::path& userFolder = std::filesystem::temp_directory_path(),
                      uint32_t seed = 1);

    NullGameHost Host;
    TRandom Rng;
    TGameSetup Game;
};
