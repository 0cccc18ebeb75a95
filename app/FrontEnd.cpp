#include "FrontEnd.h"

#include "GameState.h"
#include "Sound.h"

void TNoFrontEnd::EnterMainMenu()
{
    State = gsMenu;
    Options.ResetEye();
    StopMusic();
    PlayMenuMusic(tnMenu1);
}
