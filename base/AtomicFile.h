// Writing a player's file so that it is always either the old one or the new one: the
// bytes go to a temporary file beside it ("<name>.tandrel-partial"), are synced to the
// disk, and the temporary file is renamed over the old one (the folder synced after). A
// crash, a kill or a power loss at any moment leaves the complete old file or the complete
// new one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// The temporary file a write of `file` goes through.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& file);

// Writes bytes as above, making the folder when it is missing. Returns an empty text, or
// what went wrong (the old file is then untouched and no temporary file is left).
std::string WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// A write killed half-way leaves its temporary file: removes the one of `file`, if any.
void RemoveStaleTemporaryFile(const std::filesystem::path& file);
