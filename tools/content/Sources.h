// Where the generator finds its free inputs, and the shared look of the game.
#pragma once

#include "front/Skins.h"

#include <filesystem>

struct TSources
{
    std::filesystem::path FontFolder; // the DejaVu fonts of Debian's font packages
    std::filesystem::path Espeak;     // the espeak-ng program
    // Frames of the game rendered by tandrel-snapshot for the tutorial and help pages; the
    // jobs that need them run only when it is set.
    std::filesystem::path Renders;
    // The cube skins drawn and offered on the options screen: the game's count, unless a
    // run tries the menu and the pictures with another (--skins).
    int Skins = SkinCount;

    std::filesystem::path Font(const char* name) const { return FontFolder / name; }
};

// Font files used across the content.
inline constexpr const char* SansBold = "DejaVuSans-Bold.ttf";
inline constexpr const char* SansCondensedBold = "DejaVuSansCondensed-Bold.ttf";
inline constexpr const char* Sans = "DejaVuSans.ttf";
inline constexpr const char* SansCondensed = "DejaVuSansCondensed.ttf";
inline constexpr const char* SerifBold = "DejaVuSerif-Bold.ttf";
inline constexpr const char* SerifCondensedBold = "DejaVuSerifCondensed-Bold.ttf";
