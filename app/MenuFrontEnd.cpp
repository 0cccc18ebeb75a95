#include "app/MenuFrontEnd.h"

void TMenuFrontEnd::EnterMainMenu()
{
    if (CurrentGame)
    {
        Front.Game = CurrentGame(); // a load sequence run again makes a new game object
    }
    Front.EnterMainMenu();
}

bool TMenuFrontEnd::Animating() const
{
    return Front.HiScores && Front.HiScores->Entering;
}

void TMenuFrontEnd::HandleMouseMove(float x, float y)
{
    if (Front.Menu)
    {
        Front.Menu->HandleMouseMove(x, y);
    }
}

void TMenuFrontEnd::ShowScreen(int screen)
{
    if (Front.Menu)
    {
        Front.Menu->ShowScreen(screen);
    }
}

void TMenuFrontEnd::SwapItem(int hide, int show)
{
    if (Front.Menu)
    {
        Front.Menu->SwapItem(hide, show);
    }
}
