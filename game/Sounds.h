// Sound and tune numbers the rules ask for; the sound module plays them.
#pragma once

#include <array>
#include <cstddef>

// Every sound effect, in the order of its number (0, 1, ...): its name in the code and its
// file in the program folder's Sounds/ (NAME.ogg, or NAME.wav). The sound module loads one
// file per entry (sound/Sound.cpp); the content generator makes them from its recipes
// (tools/content/SoundEffects.cpp, Voices.cpp) and stops when one has no recipe.
#define TANDREL_SOUNDS(X)                                                                     \
    X(snNewLevel, "NewLevel")                                                                 \
    X(snBonusLevel, "BonusLevel")                                                             \
    X(snNewTurn, "NewTurn")                                                                   \
    X(snFlyingBy, "FlyingBy")                                                                 \
    X(snBonusLevelDone, "BonusLevelDone")                                                     \
    X(snSelectCube, "SelectCube")                                                             \
    X(snMoveCube, "MoveCube")                                                                 \
    X(snMoveBomb, "MoveBomb")                                                                 \
    X(snMoved, "Moved")                                                                       \
    X(snFigureDone, "FigureDone")                                                             \
    X(snDouble, "vDouble")                                                                    \
    X(snTriple, "vTriple")                                                                    \
    X(snQuadro, "vQuadro")                                                                    \
    X(snExcellent, "vExcellent")                                                              \
    X(snTandrel, "vTandrel")                                                                  \
    X(snExplodeBomb, "ExplodeBomb")                                                           \
    X(snColorize, "Colorize")                                                                 \
    X(snShot, "Shot")                                                                         \
    X(snShowBonus, "ShowBonus")                                                               \
    X(snGameOver, "GameOver")                                                                 \
    X(snMenuMove, "MenuMove")                                                                 \
    X(snMenuEnter, "MenuEnter")                                                               \
    X(snMenuEsc, "MenuEsc")                                                                   \
    X(snMenuKey, "MenuKey")                                                                   \
    X(snSelected, "Selected") /* the one looping sound: plays until stopped */                \
    X(snTimeUp, "TimeUp")                                                                     \
    X(snMessage, "Message")

enum TSound : int
{
#define TANDREL_SOUND_NUMBER(number, file) number,
    TANDREL_SOUNDS(TANDREL_SOUND_NUMBER)
#undef TANDREL_SOUND_NUMBER
};

// The file name of each sound without its extension, by number.
inline constexpr std::array SoundNames = {
#define TANDREL_SOUND_FILE(number, file) file,
    TANDREL_SOUNDS(TANDREL_SOUND_FILE)
#undef TANDREL_SOUND_FILE
};
constexpr int SoundCount = static_cast<int>(SoundNames.size());
// The announcer's lines are the files named v...: spoken, so made in every language.
constexpr bool IsSpokenSound(int n)
{
    return n >= 0 && n < SoundCount && SoundNames[static_cast<std::size_t>(n)][0] == 'v';
}

enum TTune : int
{
    tnMenu1 = 0,
    tnMenu2 = 1,
    tnTheme1 = 2,
    tnTheme2 = 3,
};
constexpr int TuneCount = 4;
