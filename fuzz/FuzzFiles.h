// What every fuzz target shares: a scratch folder of its own, the shipped content the
// readers need beside the file under test, and the rule that a reader may refuse input
// only with the game's own data error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

// A folder of this process below the system's temporary folder, made on first use.
const std::filesystem::path& ScratchFolder();
// The program folder the corpora were made from (the built game).
std::filesystem::path ShippedFolder();
// Writes the bytes as the file (its folder made), replacing what was there.
void WriteBytes(const std::filesystem::path& file, const uint8_t* data, size_t size);
void WriteBytes(const std::filesystem::path& file, std::string_view text);
