// The two top-ten tables, one per game mode, kept in the 400-byte file Hiscores.dat:
// ten 20-byte entries of mode 1 in place order, then ten of mode 2. An entry is a length
// byte, 15 name characters and the points as a little-endian signed 32-bit number.
#pragma once

#include "game/Sounds.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class TDevice;
struct TFonts;

constexpr int HiScorePlaces = 10;
constexpr int MaxNameLength = 15;
constexpr int HiScoreFileSize = 2 * HiScorePlaces * 20;

// Score as entered into the table: rounded halves to even, and beyond the 32-bit range
// clamped to it (the table holds 32-bit points).
int64_t RoundedScore(double score);
int32_t TableScore(int64_t rounded);

struct THiScoreEntry
{
    uint8_t NameLength = 0;
    std::array<char, MaxNameLength> Name{};
    int32_t Points = 0;

    std::string_view PlayerName() const { return {Name.data(), NameLength}; }
    void SetName(std::string_view name);
};

class THiScores
{
public:
    // file: the table file in the user folder; playSound: how a key click is heard.
    THiScores(std::filesystem::path file, std::function<void(TSound)> playSound);

    // Fills both tables with the defaults, then reads the file. Returns an empty text,
    // or a message for the player when a damaged file had to be set aside (the file is
    // kept as a copy next to it and the defaults are used).
    std::string Create();
    std::string LoadScores();
    // Writes both tables through a temporary file, synced to disk and renamed over the old
    // one. Returns an empty text or what went wrong (also told through ShowProblem); the old
    // file is then untouched. A file that could not be read at start is never written over
    // in that run.
    std::string SaveScores();

    // Puts points into the shown table; the place 1..10, or 0 when they do not qualify.
    int InsertScore(int32_t points);
    // Types one key into the name at EditRow: Enter saves, Backspace deletes, and only
    // characters the font can draw are added.
    void EditName(int key);
    // Types text from the keyboard's text input (UTF-8) into the name at EditRow as capitals,
    // as far as it fits in the 15 bytes. False, and nothing typed, when the fonts cannot draw
    // all of it: the key's position then types its letter (EditName).
    bool TypeText(std::string_view text);
    // Changes the character at the caret (the name's last) through the characters a name
    // can hold, forwards or backwards with wrap-around; an empty name gets its first one.
    void StepNameCharacter(int step);
    // The character a key code types into a name, or 0 when the font cannot draw it.
    static char NameCharacter(int key);
    // The table of ShownMode: names from x = 2.0 and points from x = -4.5, one row every
    // 0.56 below y = 2.9; the row being typed in colour 5 with a caret that pulses by
    // totalTime (milliseconds), and "enter your name" with the cursor keys' hint under the
    // table while typing; each row's place number stands before its name, in the row's colour.
    void DrawScores(TDevice& device, const TFonts& fonts, double totalTime) const;
    bool Qualifies(int32_t points) const { return points > Tables[ShownMode][HiScorePlaces].Points; }
    // Whether a rounded score takes a place in the table of mode 1 or 2.
    bool Reaches(int mode, int64_t points) const { return points > Tables[mode][HiScorePlaces].Points; }
    // The game-over summary over its picture: the final score and the level reached, and
    // a line saying so when the score stays out of the table of the game's mode.
    void DrawGameOver(TDevice& device, const TFonts& fonts, int mode, int64_t points,
                      int level) const;

    std::array<std::array<THiScoreEntry, HiScorePlaces + 1>, 3> Tables{}; // [mode 1..2][place 1..10]
    uint8_t ShownMode = 1;
    bool Entering = false;
    uint8_t EditRow = 1;
    std::string LastSaveError; // what the last SaveScores reported
    // Tells the player of a failed save, whichever way the table was saved (may be empty).
    std::function<void(const std::string&)> ShowProblem;

    const std::filesystem::path& File() const { return Path; }

private:
    void SetDefaults();

    std::filesystem::path Path;
    std::function<void(TSound)> Play;
    std::string Unreadable; // why the file could not be read at start, when it could not
};
