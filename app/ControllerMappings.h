// The player's own game-controller mappings: gamecontrollerdb.txt in the user folder, in
// SDL's mapping format, one controller a line. Read as every file of the player's is (a
// regular file of a sane size, without waiting on a FIFO) and handed to SDL's parser.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The file's largest size: the mapping database of every known controller is a few
// hundred kilobytes.
constexpr std::uintmax_t MaxControllerMappingsSize = 4 * 1024 * 1024;

// Adds the file's mappings. Returns the debug log's line: how many were added, or why none
// were; empty when there is no such file.
std::string AddControllerMappings(const std::filesystem::path& file);
