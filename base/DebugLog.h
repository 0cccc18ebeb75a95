// The debug log: "debug.txt" in the user folder, one line per message, the system tick
// count in decimal immediately followed by the message, lines ended by CR LF. Every
// subsystem writes its start-up, loading and window-state steps here. A log that cannot
// be written is skipped silently: logging never stops the program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

// Where debug.txt lives; until set, the current working folder.
void SetDebugLogFolder(const std::filesystem::path& folder);
std::filesystem::path DebugLogFile();

// Milliseconds since the system started, as an unsigned 32-bit count that wraps.
uint32_t SystemTickCount();

// With truncate the file starts afresh (the main window does this once when it is
// created); otherwise the line is appended, creating the file when it is missing.
void DebugLog(bool truncate, std::string_view message);
inline void DebugLog(std::string_view message)
{
    DebugLog(false, message);
}
