// Sound and tune numbers the rules ask for; the sound module plays them.
#pragma once

enum TSound : int
{
    snNewLevel = 0,
    snBonusLevel = 1,
    snNewTurn = 2,
    snFlyingBy = 3,
    snBonusLevelDone = 4,
    snSelectCube = 5,
    snMoveCube = 6,
    snMoveBomb = 7,
    snMoved = 8,
    snFigureDone = 9,
    snDouble = 10,
    snTriple = 11,
    snQuadro = 12,
    snExcellent = 13,
    snTandrel = 14,
    snExplodeBomb = 15,
    snColorize = 16,
    snShot = 17,
    snShowBonus = 18,
    snGameOver = 19,
    snMenuMove = 20,
    snMenuEnter = 21,
    snMenuEsc = 22,
    snMenuKey = 23,
    snSelected = 24, // the one looping sound: plays until stopped
    snTimeUp = 25,
    snMessage = 26,
};
constexpr int SoundCount = 27;

enum TTune : int
{
    tnMenu1 = 0,
    tnMenu2 = 1,
    tnTheme1 = 2,
    tnTheme2 = 3,
};
constexpr int TuneCount = 4;
