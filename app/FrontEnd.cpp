#include "app/FrontEnd.h"

#include "render/GameState.h"
#include "sound/Sound.h"

void TNoFrontEnd::EnterMainMenu()
{
    State = gsMenu;
    Options.ResetEye();
    StopMusic();
    PlayMenuMusic(tnMenu1);
}
