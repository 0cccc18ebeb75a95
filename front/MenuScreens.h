// The screens of data/Menu.dat and the items the program addresses on them, numbered from 1
// as the file counts them: the contract between the content generator, which writes the
// file (tools/content/MenuArt.cpp), the reader that checks it (front/MenuFile.cpp) and the
// menu logic (front/FrontEnd.cpp, app/InputRouting.cpp). Items a screen holds beyond the
// ones named here (titles, say) are the generator's own.
#pragma once

#include "front/Skins.h"

#include <array>

// What a menu file may hold; more is refused with the file's name.
constexpr int MaxMenuScreens = 13;
constexpr int MaxMenuItems = 32; // room for the options screen to offer several more skins

enum TMenuScreenNumber : int
{
    scMain = 1,
    scPlay = 2,
    scOptions = 3,
    scInGame = 4,    // the menu button beside the board during a game
    scLeave = 5,     // leave the game? (the pause screen)
    scHiScores = 6,
    scResume = 7,    // resume the saved game?
    scSpare = 8,     // never shown: keeps the numbers of the screens after it
    scTutorial = 9,  // the buttons below the tutorial's pages
    scHelp = 10,     // the help page before a game
};
constexpr int MenuScreensUsed = scHelp;

// Main menu.
constexpr int mainPlay = 1;
constexpr int mainOptions = 2;
constexpr int mainHiScores = 3;
constexpr int mainQuit = 4;

// Choosing a game.
constexpr int playNormal = 1;
constexpr int playTimed = 2;
constexpr int playTutorial = 3;
constexpr int playBack = 4;

// Options: the volume and skin rows are a button, a caption and a button each; the spare
// slot takes the look of a caption whose buttons are under the cursor.
constexpr int optSave = 1;
constexpr int optCancel = 2;
constexpr int optSpare = 3;
constexpr int optSoundDown = 4;
constexpr int optSoundCaption = 5;
constexpr int optSoundUp = 6;
constexpr int optSoundBar = 7;
constexpr int optMusicDown = 8;
constexpr int optMusicCaption = 9;
constexpr int optMusicUp = 10;
constexpr int optMusicBar = 11;
constexpr int optSkinDown = 12;
constexpr int optSkinCaption = 13;
constexpr int optSkinUp = 14;
constexpr int optFirstSkinLabel = 15; // one label per skin, in one place, one shown at a time
// The label of skin n (1..skins).
constexpr int SkinLabel(int skin)
{
    return optFirstSkinLabel - 1 + skin;
}
// The items of the options screen with this many skins: the labels, then the title.
constexpr int OptionsItemCount(int skins)
{
    return SkinLabel(skins) + 1;
}
static_assert(OptionsItemCount(SkinCount + 4) <= MaxMenuItems, "the options screen has room to grow");

// The in-game screen's buttons: the menu (it pauses the game), and the undo of the last
// move, shown in the normal mode only.
constexpr int inGameMenu = 1;
constexpr int inGameUndo = 2;

// Leaving the game, and the offer of the saved game: a question and two answers.
constexpr int leaveSave = 2;
constexpr int leavePlayOn = 3;
constexpr int leaveNotSaved = 4; // in place of the first plate while the game's save fails
constexpr int leaveUnsaved = 5;  // shown while the save fails: leave without the game
constexpr int resumeYes = 2;
constexpr int resumeNew = 3;

// High scores: back, and a pair of buttons in one place choosing the table shown.
constexpr int scoresBack = 1;
constexpr int scoresShowTimed = 2;
constexpr int scoresShowNormal = 3;

// Tutorial.
constexpr int tutClose = 1;
constexpr int tutNext = 2;
constexpr int tutPrevious = 3;

// Help before a game: start, and a pair of check boxes in one place.
constexpr int helpStart = 1;
constexpr int helpOn = 2;
constexpr int helpOff = 3;

// The items each screen must have because the program addresses them (index 1..10).
constexpr std::array<int, MenuScreensUsed + 1> MenuRequiredItems = {
    0, mainQuit, playBack, SkinLabel(SkinCount), inGameUndo, leaveUnsaved,
    scoresShowNormal, resumeNew, 0, tutPrevious, helpOff};
