// Where the generator finds its free inputs, and the shared look of the game.
#pragma once

#include "front/Skins.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct TTranslation;

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
    // The languages the pictures and voice lines that carry words are made in besides
    // English, in the order of po/LINGUAS, then the pseudo-language's pictures (--pseudo);
    // none without --po.
    std::vector<TTranslation> Translations;
    // The language being made: null for English.
    const TTranslation* Language = nullptr;

    std::filesystem::path Font(const char* name) const { return FontFolder / name; }
    // `english` in the language being made: the English text itself where its catalogue has
    // no translation. The texts are marked with N_() where they are written, for xgettext.
    std::string Tr(std::string_view english) const;
    // The language's code ("de"), or "English", for messages.
    std::string LanguageName() const;
    // The language being made is the pseudo-language, whose texts must all be marked.
    bool Pseudo() const;
};

// Font files used across the content.
inline constexpr const char* SansBold = "DejaVuSans-Bold.ttf";
inline constexpr const char* SansCondensedBold = "DejaVuSansCondensed-Bold.ttf";
inline constexpr const char* Sans = "DejaVuSans.ttf";
inline constexpr const char* SansCondensed = "DejaVuSansCondensed.ttf";
inline constexpr const char* SerifBold = "DejaVuSerif-Bold.ttf";
inline constexpr const char* SerifCondensedBold = "DejaVuSerifCondensed-Bold.ttf";
